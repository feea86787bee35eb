// The creature code's calls about the local wizard, as the battle's panels answer them: the
// face's gauge and mana bar, the spell buttons' fills, the item buttons, the spell list and
// the control limit.
#include <gtest/gtest.h>

#include "SelectPanelFixtures.h"
#include "battle/SelectBarIcons.h"
#include "creatures/CreatureHooks.h"

using namespace panel_test;

namespace {

class CreaturePanels : public SelectPanels {
 protected:
  void SetUp() override {
    SelectPanels::SetUp();
    saved_ = g_creatureBattle.Get();
    InstallBattlePanels();
    battle_.SetSpells({3, 41});
    battle_.wizard.health = 100;
    battle_.wizard.maxHealth = 100;
    battle_.wizard.mana = 10 * 256;
    battle_.wizard.maxMana = 100 * 256;
    StartBattle();
  }
  void TearDown() override {
    g_creatureBattle.Install(saved_);
    SelectPanels::TearDown();
  }
  ICreatureBattle* saved_ = nullptr;
};

TEST_F(CreaturePanels, HealthManaAndTheSpellsCostReachTheFace) {
  ICreatureBattle& panels = *g_creatureBattle;
  panels.ShowWizardHealth(40);
  EXPECT_EQ(g_wizardFacePanel.health, 40);
  panels.ShowWizardMaxMana(200);
  panels.ShowWizardMana(100);
  EXPECT_EQ(g_wizardFacePanel.FilledEnd(), 64);
  EXPECT_EQ(g_selectBar.popup[1].overlayFrames[0], spl_icons::kManaFill + 31);  // Heal is paid for
  panels.ShowSpellCost(20);
  EXPECT_EQ(g_wizardFacePanel.YellowEnd(), 51);
  // The aimed spell given up: its mark goes, a mark round another spell stays.
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(1, false);
  panels.ShowCurrentSpell(3);
  EXPECT_EQ(g_selectBar.selectedPopup, 1);
  panels.ShowCurrentSpell(41);
  EXPECT_EQ(g_selectBar.selectedPopup, -1);
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelPlain);
}

TEST_F(CreaturePanels, ItemsTakenAndUsedMoveTheirButtons) {
  ICreatureBattle& panels = *g_creatureBattle;
  EXPECT_EQ(panels.EventPanelCount(), 2);
  // An item taken into slot 4, then another of its kind into slot 6.
  battle_.Carry(4, 7, 2);
  panels.NotifyEvent(kWizard, 7);
  EXPECT_EQ(panels.EventPanelCount(), 3);
  EXPECT_EQ(g_selectBar.popup[2].kind, 7);
  EXPECT_EQ(g_selectBar.popup[2].carrySlot, 4);
  battle_.Carry(6, 7, 4);
  panels.NotifyEvent(kWizard, 7);
  EXPECT_EQ(g_selectBar.popup[2].m_count, 2);
  // Another creature's notices are not the wizard's.
  panels.NotifyEvent(kWizard + 1, 9);
  EXPECT_EQ(panels.EventPanelCount(), 3);
  // Slot 4 used once, then used up.
  battle_.Carry(4, 7, 1);
  panels.RefreshEventPanel();
  EXPECT_EQ(g_selectBar.popup[2].overlayFrames[0], spl_icons::kCharge + 1);
  battle_.Carry(4, -1, 0);
  panels.RefreshEventPanel();
  EXPECT_EQ(g_selectBar.popup[2].highlight, kPanelInactive);
  Frames(kRemovalDelayFrames);
  EXPECT_EQ(g_selectBar.popup[2].m_count, 1);
  EXPECT_EQ(g_selectBar.popup[2].carrySlot, 6);
  // Set by slot and updated by slot.
  battle_.Carry(8, 12, 1);
  panels.AddItemButton(8, 12);
  EXPECT_EQ(g_selectBar.popup[3].kind, 12);
  battle_.Carry(8, 12, 0);
  panels.UpdateItemButton(8);
  EXPECT_EQ(g_selectBar.popup[3].highlight, kPanelInactive);
}

TEST_F(CreaturePanels, TheSpellListAndTheControlLimitReachTheBar) {
  ICreatureBattle& panels = *g_creatureBattle;
  panels.ControlLimitReached();
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelInactive);
  panels.ControlLimitLeft();
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelPlain);
  battle_.SetSpells({41, 42, 43});
  panels.RebuildSpellPopup();
  EXPECT_EQ(panels.EventPanelCount(), 3);
  EXPECT_EQ(g_selectBar.popup[2].kind, 43);
}

}  // namespace
