#pragma once
// CAIScriptSpellDecision (type 58): a computer wizard that the battle script commands casts the
// spells the script's command events ask of it, at a named place or at itself, when the
// events' conditions hold; an event that forces the cast gives the wizard the mana for it.

#include "ai/AISpellDecision.h"
#include "core/Hooks.h"

// While set, the scripted decisions do not apply.
extern int g_scriptedAIDisabled;

// One spell a script event asks of a caster.
struct CAIScriptSpell {
  int32_t record = -1;
  int32_t spell = -1;
  bool forced = false;     // the caster is given the mana
  float value = -1.0f;     // the event's rating; -1 none
  int32_t targetKind = 0;  // 2 a cell (the centre of a named area), 3 the caster itself
  int32_t targetX = 0, targetY = 0, targetLevel = 0;
  // The event's own wait: the ticks its record holds between its firing and its action (the
  // wait a scripted walk also keeps before it leaves); the decision gives the cast at least
  // that long.
  int32_t recordedWait = 0;
};

// What the decision asks of the battle script; the neutral one knows no events.
class IAIScriptSpells {
 public:
  virtual ~IAIScriptSpells() = default;
  virtual int EventCount() { return 0; }
  // Whether the record is an armed command event of the caster's actor that names a spell
  // and whose conditions and place condition hold; its request in `out`.
  virtual bool OfferedSpell(int record, const CCreature& caster, CAIScriptSpell& out) { return false; }
  // The event acted: armed again.
  virtual void RearmEvent(int record) {}
};
extern HookSlot<IAIScriptSpells> g_aiScriptSpells;

class CAIScriptSpellDecision final : public CAISpellDecisionOf<CAIScriptSpellDecision> {
 public:
  static constexpr int kExtraDelay = 20;

  CAIScriptSpellDecision() : CAISpellDecisionOf<CAIScriptSpellDecision>(kAIScriptSpellDecisionType, -1) {}
  void Prepare(CAIGroupNode* group, CAIPlayerMemory* players, int tick) override;
  bool Evaluate(float* score, CAIBudget& budget, int tick) override;
  void KeepBest() override {
    best = working;
    bestEvent = workingEvent;
    bestWait = workingWait;
  }
  int Execute() override;
  bool Step(CAIPlayerMemory* players, int tick, CAIBudget& budget) override;

  const CAIScriptSpell& ChosenEvent() const { return bestEvent; }

 private:
  bool Qualifies(CCreature& caster, const CAIScriptSpell& offer, int& wait) const;

  int32_t nextRecord = 0;
  CAIScriptSpell workingEvent, bestEvent;
  int32_t workingWait = 0, bestWait = 0;
};
