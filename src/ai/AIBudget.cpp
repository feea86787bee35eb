#include "ai/AIBudget.h"

#include "core/CpuInfo.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "platform/Cpu.h"

CAIBudgetClock g_aiBudgetClock;

namespace {

bool HasCounter() { return g_aiBudgetClock.overridden ? g_aiBudgetClock.hasCounter : g_cpuInfo.hasTsc != 0; }

int TicksPerMicrosecond() {
  const int ticks = g_aiBudgetClock.overridden ? g_aiBudgetClock.ticksPerMicrosecond : g_cpuInfo.mhz;
  return ticks > 0 ? ticks : 1;
}

uint32_t CounterLow() {
  const uint64_t value = g_aiBudgetClock.read ? g_aiBudgetClock.read() : platform::ReadTimeStampCounter();
  return static_cast<uint32_t>(value);
}

}  // namespace

int AIBudgetMode() {
  if (g_recordBattle || g_playBattle || g_networkGame) return kAIBudgetSteps;
  return g_aiTimeSystem;
}

void CAIBudget::Start(int amount) {
  switch (AIBudgetMode()) {
    case kAIBudgetSteps:
      total = steps = amount;
      break;
    case kAIBudgetRealTime:
      total = amount;
      steps = amount / 250;
      if (HasCounter()) startStamp = CounterLow();
      break;
    default:
      break;
  }
}

int CAIBudget::Remaining() const {
  switch (AIBudgetMode()) {
    case kAIBudgetSteps:
      return steps;
    case kAIBudgetRealTime: {
      if (!HasCounter()) return steps;
      const uint32_t elapsed = (CounterLow() - startStamp) / static_cast<uint32_t>(TicksPerMicrosecond());
      const int64_t left = static_cast<int64_t>(total) - static_cast<int64_t>(elapsed);
      return left > 0 ? static_cast<int>(left) : 0;
    }
    default:
      return 0;
  }
}

CAISubBudget::CAISubBudget(CAIBudget& caller, int allowance, int* callerAllowance)
    : caller_(caller), callerAllowance_(callerAllowance) {
  budget.Start(allowance < caller.Remaining() ? allowance : caller.steps);
  caller_.steps -= budget.steps;
  if (callerAllowance_) *callerAllowance_ -= budget.steps;
}

CAISubBudget::~CAISubBudget() {
  caller_.steps += budget.steps;
  if (callerAllowance_) *callerAllowance_ += budget.steps;
}
