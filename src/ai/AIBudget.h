#pragma once
// CAIBudget: how much work one piece of the computer player may do before it stops and
// resumes on a later frame. It counts notional work steps (mode 0) or measures microseconds
// on the processor's time-stamp counter (mode 1); without a counter, mode 1 counts one step
// per 250 microseconds of the amount. Callers charge their work by lowering `steps`.

#include <cstdint>

// The budget modes.
inline constexpr int kAIBudgetSteps = 0;
inline constexpr int kAIBudgetRealTime = 1;

// The mode every budget uses: the option AI_timesystem, except that a battle that is recorded,
// played back or played over the network always counts steps, so that every machine and
// every replay does the same work.
int AIBudgetMode();

// The time-stamp counter as the budget reads it, and whether the processor has one with its
// ticks per microsecond. Tests drive all three.
struct CAIBudgetClock {
  uint64_t (*read)() = nullptr;  // null reads the processor's counter
  bool hasCounter = false;       // taken from the processor probe when not overridden
  int ticksPerMicrosecond = 0;
  bool overridden = false;
};
extern CAIBudgetClock g_aiBudgetClock;

class CAIBudget {
 public:
  // Mode 0: total and steps become the amount. Mode 1: total the amount, steps the amount
  // / 250, and the counter's low half is noted when there is a counter.
  void Start(int amount);
  // What is left: steps (mode 0, or mode 1 without a counter; may be below 0); in mode 1 with
  // a counter the microseconds left, never below 0.
  int Remaining() const;

  int32_t total = 0;
  uint32_t startStamp = 0;
  int32_t steps = 0;
};

// A part of a caller's budget handed to a sub-task: the allowance when it is below the
// caller's Remaining, else the caller's steps. The caller's steps (and its own running
// allowance, when given) are charged up front and refunded with what the sub-task left, so
// the caller pays exactly the steps the sub-task used.
class CAISubBudget {
 public:
  CAISubBudget(CAIBudget& caller, int allowance, int* callerAllowance = nullptr);
  ~CAISubBudget();
  CAISubBudget(const CAISubBudget&) = delete;
  CAISubBudget& operator=(const CAISubBudget&) = delete;

  CAIBudget budget;

 private:
  CAIBudget& caller_;
  int* callerAllowance_;
};
