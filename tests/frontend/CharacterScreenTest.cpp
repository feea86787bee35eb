// The character screen: step prices, the tentative steps with their floor, accept and cancel,
// the labels that show numbers, and costs read from hostile numbers.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include "FrontEndTestSupport.h"
#include "creatures/WizardTable.h"
#include "forge/CampaignMenus.h"
#include "frontend/CharacterScreen.h"

namespace {

using frontend_test::FrontEnd;
using C = CCharacterScreen;

// The steps' button ids.
constexpr int Down(int attribute) { return C::kFirstStep + 2 * attribute; }
constexpr int Up(int attribute) { return C::kFirstStep + 2 * attribute + 1; }

TEST(CharacterCosts, PricesFollowThePowerLawOfTheStepsTaken) {
  const StepCosts defaults;  // I 5, K = L = E = 1 for mana
  const struct { int value, raise, refund; } mana[] = {{20, 6, 5}, {25, 7, 6}, {0, 2, 1}, {24, 6, 5}};
  for (const auto& c : mana) {
    EXPECT_EQ(defaults.RaiseCost(kCostMana, c.value), c.raise) << c.value;
    EXPECT_EQ(defaults.Refund(kCostMana, c.value), c.refund) << c.value;
  }
  StepCosts grown;
  grown.groups[kCostTalisman] = StepCost{1, 10.0, 4.0, 1.5};
  EXPECT_EQ(grown.RaiseCost(kCostTalisman, 2), 10 + 41);  // (4 x 3)^1.5 = 41.57 truncated
}

TEST(CharacterCosts, HostileNumbersGiveFiniteCostsAndStepsThatMove) {
  testing_support::TempDir dir{true};
  {
    std::ofstream file("costs.cfg");
    file << "[STEPS_COSTS]\nMana_IncrementAmount=0\nHealth_IncrementAmount=-4\n"
            "Control_LinearComponent=-1\nControl_ExponentialComponent=0.5\n"
            "Talisman_ExponentialComponent=1e9\nHealth_InitialCost=nan\n";
  }
  StepCosts costs;
  costs.Read("costs.cfg");
  EXPECT_EQ(costs.groups[kCostMana].increment, 5);
  EXPECT_EQ(costs.groups[kCostHealth].increment, 5);
  // The square root of a negative number: no price anybody can pay, nothing refunded.
  EXPECT_EQ(costs.RaiseCost(kCostControl, 10), INT_MAX);
  EXPECT_EQ(costs.Refund(kCostControl, 10), 0);
  // A power beyond any number, and one of a value of 0 steps.
  EXPECT_EQ(costs.RaiseCost(kCostTalisman, 3), INT_MAX);
  EXPECT_EQ(costs.Refund(kCostTalisman, 3), 0);
  EXPECT_EQ(costs.Refund(kCostTalisman, 0), 1);
  // "nan" reads as no number: 0.
  EXPECT_EQ(costs.RaiseCost(kCostHealth, 0), 1);
  EXPECT_EQ(costs.RaiseCost(kCostMana, INT_MAX), 429496731);
}

class CharacterScreen : public FrontEnd {
 protected:
  void SetUp() override {
    FrontEnd::SetUp();
    g_wizardTable.Clear();
    CWizard& wizard = g_wizardTable.records[3];
    wizard.inUse = 1;
    wizard.computer = 0;
    wizard.maxMana = 20;
    wizard.maxHealth = 100;
    wizard.controlLimit = 10;
    wizard.talismans[0] = 1;
    wizard.talismans[1] = 0;
    wizard.talismans[2] = 2;
    wizard.experience = 15;
    wizard.rank = 1;
  }
  void TearDown() override {
    g_wizardTable.Clear();
    FrontEnd::TearDown();
  }
  CWizard& Wizard() { return g_wizardTable.records[3]; }
  std::vector<int> Values() {
    std::vector<int> values;
    for (const auto& bar : g_characterScreen->bars) values.push_back(bar.value);
    return values;
  }
};

TEST_F(CharacterScreen, StepsSpendAndRefundExperienceWithinTheirFloor) {
  Open(g_characterScreen);
  C& screen = *g_characterScreen;
  EXPECT_EQ(Values(), (std::vector<int>{20, 100, 10, 1, 0, 2}));
  EXPECT_EQ(screen.unspent, 15);
  EXPECT_EQ(screen.raiseCosts[C::kMana], 6);
  EXPECT_EQ(screen.refunds[C::kMana], 5);
  screen.PressButton(Up(C::kMana));  // 15 - 6
  EXPECT_EQ(screen.bars[C::kMana].value, 25);
  EXPECT_EQ(screen.unspent, 9);
  EXPECT_EQ(screen.raiseCosts[C::kMana], 7);
  EXPECT_EQ(screen.refunds[C::kMana], 6);
  screen.PressButton(Up(C::kMana));  // 9 - 7
  EXPECT_EQ(screen.unspent, 2);
  screen.PressButton(Up(C::kMana));  // costs 8: too little, nothing changes
  EXPECT_EQ(screen.bars[C::kMana].value, 30);
  EXPECT_EQ(screen.unspent, 2);
  screen.PressButton(Down(C::kMana));  // refunds 7
  EXPECT_EQ(screen.bars[C::kMana].value, 25);
  EXPECT_EQ(screen.unspent, 9);
  // Below the value held on entry nothing moves.
  screen.PressButton(Down(C::kNeutral));
  screen.PressButton(Down(C::kMana));
  screen.PressButton(Down(C::kMana));
  EXPECT_EQ(screen.bars[C::kMana].value, 20);
  EXPECT_EQ(screen.bars[C::kNeutral].value, 0);
  EXPECT_EQ(screen.unspent, 15);
  Frames(1);
  SaveFrame("character_screen_800.png");
}

TEST_F(CharacterScreen, CancelRestoresEverythingAndAcceptMakesNewFloors) {
  Open(g_characterScreen);
  C& screen = *g_characterScreen;
  screen.PressButton(Up(C::kMana));
  screen.PressButton(Up(C::kControl));
  screen.PressButton(C::kCancel);
  EXPECT_EQ(Values(), (std::vector<int>{20, 100, 10, 1, 0, 2}));
  EXPECT_EQ(screen.unspent, 15);
  EXPECT_EQ(Wizard().maxMana, 20);
  EXPECT_EQ(FramesUntilChange(), &bottom_);

  Open(g_characterScreen);
  g_characterScreen->PressButton(Up(C::kMana));
  g_characterScreen->PressButton(C::kAccept);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  EXPECT_EQ(Wizard().maxMana, 25);
  EXPECT_EQ(Wizard().experience, 9);
  Open(g_characterScreen);
  EXPECT_EQ(g_characterScreen->bars[C::kMana].floor, 25);
  g_characterScreen->PressButton(Down(C::kMana));
  EXPECT_EQ(g_characterScreen->bars[C::kMana].value, 25);
}

TEST_F(CharacterScreen, LabelsNamedForANumberShowIt) {
  Open(g_characterScreen);
  const forge::ScreenLayout layout = forge::CharacterScreenLayout();
  int shown = 0;
  for (const forge::Widget& w : layout.Widgets()) {
    if (w.kind != forge::WidgetKind::kText || !w.text) continue;
    const std::string& token = *w.text;
    const CTextLabel* label = g_characterScreen->Label(w.number - 1);
    ASSERT_NE(label, nullptr);
    if (token == "VAR_EXPERIENCE") {
      EXPECT_EQ(label->text, "15");
      ++shown;
    } else if (token == "VAR_MANACOST") {
      EXPECT_EQ(label->text, "6");
      ++shown;
    } else if (token.rfind("VAR_", 0) == 0) {
      EXPECT_NE(label->text, token);
      ++shown;
    } else {
      EXPECT_EQ(label->text, token);
    }
  }
  EXPECT_EQ(shown, 7);
  g_characterScreen->PressButton(Up(C::kMana));
  EXPECT_EQ(g_characterScreen->Label(1)->text, "9");
}

TEST_F(CharacterScreen, At640x480ItsArtComesFromTheOtherFolder) {
  CloseDisplay();
  OpenDisplay(false);
  Open(g_characterScreen);
  EXPECT_NE(g_characterScreen->BackgroundPath().find("640x480\\CharacterScreen.JPG"), std::string::npos);
  EXPECT_NE(C::FacePath(0).find("640x480\\WizardFace0.JPG"), std::string::npos);
  g_characterScreen->PressButton(Up(C::kMana));
  EXPECT_EQ(g_characterScreen->bars[C::kMana].value, 25);
  Frames(1);
  SaveFrame("character_screen_640.png");
}

TEST_F(CharacterScreen, ARankOutsideTheTiersShowsTheFirstFace) {
  EXPECT_NE(C::FacePath(2).find("WizardFace2.JPG"), std::string::npos);
  for (int tier : {-1, 3, 499}) EXPECT_NE(C::FacePath(tier).find("WizardFace0.JPG"), std::string::npos) << tier;
  Wizard().rank = 0;
  Open(g_characterScreen);  // no box, no end of the program
  EXPECT_EQ(g_currentScreen, g_characterScreen);
}

}  // namespace
