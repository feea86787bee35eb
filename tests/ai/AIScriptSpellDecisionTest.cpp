// The spells the battle script asks of a commanded computer wizard: when they are offered,
// what they score, and a forced cast that the script pays for.
#include <gtest/gtest.h>

#include <vector>

#include "AISpellScene.h"
#include "ai/AIScriptSpellDecision.h"
#include "creatures/SpellDefinition.h"

namespace {

using ai_test::SpellScene;

// Script events as the test writes them: every one is offered to any caster.
struct FakeScript : IAIScriptSpells {
  std::vector<CAIScriptSpell> events;
  std::vector<int> rearmed;
  int EventCount() override { return static_cast<int>(events.size()); }
  bool OfferedSpell(int record, const CCreature&, CAIScriptSpell& out) override {
    out = events[static_cast<size_t>(record)];
    out.record = record;
    return true;
  }
  void RearmEvent(int record) override { rearmed.push_back(record); }
};

class ScriptSpell : public SpellScene {
 protected:
  void SetUp() override {
    SpellScene::SetUp();
    wizard->scriptCommand = 1;
    Knows({71});
  }
  void TearDown() override {
    g_scriptedAIDisabled = 0;
    SpellScene::TearDown();
  }
  static CAIScriptSpell Event(int spell, int targetKind, float value = -1.0f, bool forced = false) {
    CAIScriptSpell e;
    e.spell = spell;
    e.targetKind = targetKind;
    e.value = value;
    e.forced = forced;
    e.targetX = 14;
    e.targetY = 10;
    return e;
  }

  FakeScript script;
  HookScope<IAIScriptSpells> scriptScope{g_aiScriptSpells, script};
};

TEST_F(ScriptSpell, OnlyAnEnabledCommandedWizardTakesTheSpellsItKnows) {
  script.events = {Event(71, 2, 0.5f), Event(72, 2, 0.9f), Event(71, 4, 0.9f), Event(71, 3)};
  CAIScriptSpellDecision d;
  const auto scored = ScoreAll(d);
  // The spell it lacks and the target kind it cannot aim are passed over.
  ASSERT_EQ(scored.size(), 2u);
  EXPECT_FLOAT_EQ(scored[0].second, 0.5f);
  EXPECT_FLOAT_EQ(scored[1].second, 0.0f);  // no value of its own
  EXPECT_EQ(d.ChosenEvent().record, 0);

  struct Case {
    const char* what;
    int disabled, commanded;
  } silent[] = {{"disabled", 1, 1}, {"not commanded", 0, 0}};
  for (const Case& c : silent) {
    SCOPED_TRACE(c.what);
    g_scriptedAIDisabled = c.disabled;
    wizard->scriptCommand = c.commanded;
    CAIScriptSpellDecision quiet;
    EXPECT_TRUE(ScoreAll(quiet).empty());
  }
}

// The delay covers the longer of the wizard's mana wait and the event's own wait, 20 more,
// for a wizard standing where it casts.
TEST_F(ScriptSpell, TheDelayCoversTheEventsOwnWait) {
  struct Case {
    int recordedWait;
    bool forced;
    int delay;
  } cases[] = {{0, true, 20}, {45, true, 65}, {45, false, 65}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.recordedWait);
    CAIScriptSpell event = Event(71, 3, 0.2f, c.forced);
    event.recordedWait = c.recordedWait;
    script.events = {event};
    CAIScriptSpellDecision d;
    ASSERT_EQ(ScoreAll(d).size(), 1u);
    EXPECT_EQ(d.Execute(), c.delay);
  }
}

TEST_F(ScriptSpell, AForcedCastIsPaidForThenTheEventIsArmedAgain) {
  script.events = {Event(71, 3, 0.2f, true)};
  wizard->mana = 0;
  CAIScriptSpellDecision d;
  ASSERT_EQ(ScoreAll(d).size(), 1u);
  EXPECT_GE(d.Execute(), CAIScriptSpellDecision::kExtraDelay);
  CAIBudget none;
  EXPECT_TRUE(d.Step(nullptr, 1, none));
  const std::vector<CAICastNote> casts = TakeAICastNotes();
  ASSERT_EQ(casts.size(), 1u);
  EXPECT_EQ(casts[0].spell, 71);
  EXPECT_EQ(casts[0].target, wizard->index);
  EXPECT_EQ(script.rearmed, (std::vector<int>{0}));
  // Unforced, a wizard without the mana waits.
  script.events = {Event(71, 3, 0.2f, false)};
  wizard->mana = 0;
  CAIScriptSpellDecision waiting;
  const auto scored = ScoreAll(waiting);
  if (!scored.empty()) {
    waiting.Execute();
    EXPECT_TRUE(waiting.Step(nullptr, 1, none));
    EXPECT_TRUE(TakeAICastNotes().empty());
  }
}

}  // namespace
