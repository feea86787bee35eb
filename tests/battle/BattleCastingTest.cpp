// A wizard's cast in a battle goes as a frame command: it is paid and its effect starts on the
// frame the loopback network runs it, and the same frames from the same seed play the same.
// The countdown effects reach the battle's scanner, its countdown dial and its end message.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BattleFrameWorld.h"
#include "battle/PanelBattle.h"
#include "battle/Scanner.h"
#include "battle/ScriptActors.h"
#include "battle/TimerPanel.h"
#include "battle/WizardFacePanel.h"

namespace {

constexpr int kCastFrame = 3;  // the frame whose input sends the cast

class BattleCasting : public BattleFrameWorld {
 protected:
  void BuildCastingWorld(uint32_t seed) {
    BuildWorld(seed);
    inputs_ = {{kCastFrame, MakeCastSpellCommand(kMissile, 14 * 32 + 16, 10 * 32 + 16, 0, wizard_, enemy_)}};
  }
};

TEST_F(BattleCasting, ACastCommandIsPaidAndStartsItsEffectOnTheFrameItRuns) {
  BuildCastingWorld(1234);
  EXPECT_EQ(g_alignmentBalance, 0);
  const int cost = g_spellDefs[kMissile].ManaCost * 256;
  ASSERT_GT(cost, 0);
  const int mana = C(wizard_).mana;
  int ranOn = -1;
  for (int n = 0; n < 12 && ranOn < 0; ++n) {
    const int activeBefore = ActiveEffects();
    Frame(n);
    if (C(wizard_).mana != mana) {
      ranOn = n;
      EXPECT_EQ(C(wizard_).mana, mana - cost);
      EXPECT_GT(ActiveEffects(), activeBefore);
    } else {
      EXPECT_EQ(ActiveEffects(), 0) << n;
    }
  }
  EXPECT_GT(ranOn, kCastFrame);  // sent as an input, it runs on a later frame everywhere
}

// The face panel shows the local wizard's figures as they stand: its maximum as the creature
// keeps it, and its mana falling by the spell's cost as the cast is paid.
TEST_F(BattleCasting, TheFacePanelShowsTheManaFallingByTheCastsCostAndItsMaximum) {
  BuildWorld(1234);
  const int cost = g_spellDefs[kMissile].ManaCost;
  inputs_ = {{kCastFrame, MakeCastSpellCommand(kMissile, 14 * 32 + 16, 10 * 32 + 16, 0, wizard_, enemy_)}};
  PanelWizardState state;
  ASSERT_TRUE(g_panelBattle->GetWizard(wizard_, state));
  EXPECT_EQ(state.maxMana, 1000 * 256);
  EXPECT_EQ(state.mana, 200 * 256);
  std::vector<int> shown;
  for (int n = 0; n < 16; ++n) {
    Frame(n);
    if (shown.empty() || shown.back() != g_wizardFacePanel.mana) shown.push_back(g_wizardFacePanel.mana);
  }
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), C(wizard_).mana >> 8);
  EXPECT_EQ(shown.back(), 200 - cost) << "the payment is shown";
}

TEST_F(BattleCasting, TheSameFramesFromOneSeedGiveTheSameTrace) {
  std::vector<std::string> traces[2];
  for (auto& trace : traces) {
    BuildCastingWorld(4321);
    trace_.clear();
    for (int n = 0; n < 40; ++n) Frame(n);
    trace = trace_;
    ClearWorld();
  }
  ASSERT_EQ(traces[0].size(), 80u);
  EXPECT_EQ(traces[0], traces[1]);
  // The cast was paid and its missile flew: the trace is not a still world.
  EXPECT_NE(traces[0].front().substr(traces[0].front().find("mana")),
            traces[0].back().substr(traces[0].back().find("mana")));
}

TEST_F(BattleCasting, CountdownEffectsReachTheScannerTheDialAndTheEndMessage) {
  struct EndMessages : IScriptBattleEnd {
    std::string DefeatMessage(int n) override { return "defeat " + std::to_string(n); }
  } ends;
  HookScope<IScriptBattleEnd> endScope(g_scriptBattleEnd, ends);
  const size_t markers = g_scanner.Markers().size();
  g_effectBattle->AddScannerMarker(7, 9, 0);
  EXPECT_EQ(g_scanner.Markers().size(), markers + 1);
  g_effectBattle->RemoveScannerMarker(7, 9, 0);
  EXPECT_EQ(g_scanner.Markers().size(), markers);

  g_timerPanel.flag = 0;
  g_effectBattle->StartCountdown(90);
  EXPECT_EQ(g_timerPanel.flag, 1);
  EXPECT_EQ(g_timerPanel.Total(), 90);
  g_effectBattle->SetCountdown(40);
  EXPECT_EQ(g_timerPanel.Current(), 40);
  g_timerPanel.flag = 0;

  g_effectBattle->EndWithDefeatMessage(2);
  EXPECT_EQ(ends.endMessage, "defeat 2");
}

}  // namespace
