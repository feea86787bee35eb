// The single-player battle set-up: the players' rows (the player's portrait and colour, the
// opponents drawn at random, rows 2 and 3 removable), the rules' and handicaps' sliders, the
// magic dealt on Start and the hand-over to the region entry screen, which loads the battle.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FrontEndTestSupport.h"
#include "MagicFakes.h"
#include "core/PlayerSlot.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "forge/SetupScreenLayouts.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/FrontEndMagic.h"
#include "frontend/MapSelection.h"
#include "frontend/QuickBattleMagic.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/RegionEntry.h"
#include "frontend/SinglePlayerBattle.h"
#include "frontend/SpellBox.h"
#include "ui/Button.h"
#include "ui/EditBox.h"
#include "ui/SliderBar.h"

using namespace frontend_test;
using forge::WidgetKind;

namespace {

struct BattleLoader : IFrontEndBattle {
  CScreen* LoadBattle(const BattleSetupRecord& setup) override {
    records.push_back(setup);
    return screen;
  }
  std::vector<BattleSetupRecord> records;
  CScreen* screen = nullptr;
};

class SinglePlayerBattle : public FrontEnd {
 protected:
  void OpenSetUp() {
    PushScreen(&bottom_);
    PushScreen(g_quickBattleMenu);
    PushScreen(g_singlePlayerBattle);
    Frames(1);
  }
  CSliderBar* Slider(int index) { return g_singlePlayerBattle->Slider(index); }
  // Moves a slider as the player would: the value, then its click.
  void MoveSlider(int index, int value) {
    CSliderBar* slider = Slider(index);
    ASSERT_NE(slider, nullptr);
    slider->ChangeValue(value);
  }
  void Click(WidgetKind kind, int number) { ClickWidget(layout_, kind, number); }
  std::string Text(int label) { return g_singlePlayerBattle->Label(label)->text; }

  const forge::ScreenLayout layout_ = forge::SinglePlayerBattleLayout();
  MagicWizards wizards_;
  FrontEndWizardsScope wizardScope_{wizards_};
  NumberedItems magic_;
  FrontEndMagicScope magicScope_{magic_};
  BattleLoader battle_;
  FrontEndBattleScope battleScope_{battle_};
};

}  // namespace

TEST_F(SinglePlayerBattle, OpponentsNeverShareAPortraitOrAColourWithAnyone) {
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    g_random.Seed(seed);
    OpenSetUp();
    std::set<int> portraits, colours;
    for (const CPlayerSlot& slot : g_playerSlots) {
      EXPECT_TRUE(portraits.insert(slot.portrait).second) << "seed " << seed;
      EXPECT_TRUE(colours.insert(slot.colour).second) << "seed " << seed;
    }
    EXPECT_EQ(g_playerSlots[0].portrait, 0);
    EXPECT_EQ(g_playerSlots[0].colour, 0);
    for (int row = 1; row < 4; ++row) {
      EXPECT_STREQ(g_playerSlots[row].name, g_singlePlayerBattle->Label(row)->text.c_str());
      EXPECT_EQ(g_singlePlayerBattle->Picture(row - 1).frame, 27 + 3 * g_playerSlots[row].portrait);
      EXPECT_EQ(g_singlePlayerBattle->Picture(row + 2).frame, 3 * g_playerSlots[row].colour);
    }
    if (seed == 1) SaveFrame("single_player_battle.png");
    while (g_screenCount > 0) PopScreen();
  }
}

TEST_F(SinglePlayerBattle, ThePortraitAndColourButtonsSkipWhatTheOpponentsHold) {
  OpenSetUp();
  std::set<int> held;
  for (int row = 1; row < 4; ++row) held.insert(g_playerSlots[row].portrait);
  std::set<int> visited;
  for (int press = 0; press < 12; ++press) {
    Click(WidgetKind::kStandardButton, 1);
    const int portrait = g_playerSlots[0].portrait;
    EXPECT_EQ(held.count(portrait), 0u) << portrait;
    visited.insert(portrait);
    auto* button = static_cast<CButton*>(g_singlePlayerBattle->ControlOf(kWidgetStandardButton, 0));
    EXPECT_EQ(button->normalFrame, 27 + 3 * portrait);
  }
  EXPECT_EQ(visited.size(), 9u);  // every free portrait, and only those
  for (int press = 0; press < 8; ++press) {
    Click(WidgetKind::kStandardButton, 2);
    for (int row = 1; row < 4; ++row) EXPECT_NE(g_playerSlots[0].colour, g_playerSlots[row].colour);
  }
}

TEST_F(SinglePlayerBattle, RemovedRowsShowNoPlayerAndTheirControlsAreGone) {
  OpenSetUp();
  for (int number : {3, 4}) Click(WidgetKind::kStandardButton, number);
  // A second click where the remove buttons and the sliders were does nothing.
  for (int number : {3, 4}) Click(WidgetKind::kStandardButton, number);
  Click(WidgetKind::kSliderBar, 16);
  Click(WidgetKind::kSliderBar, 17);
  Frames(2);
  SaveFrame("single_player_battle_removed.png");
  for (int row : {2, 3}) {
    EXPECT_TRUE(g_playerSlots[row].IsEmpty());
    EXPECT_EQ(g_playerSlots[row].portrait, -1);
    EXPECT_EQ(g_playerSlots[row].colour, -1);
    EXPECT_EQ(g_playerSlots[row].handicap, 0);
    EXPECT_EQ(Text(row), "No Player");
    EXPECT_EQ(g_singlePlayerBattle->Picture(row - 1).frame, -1);
    EXPECT_EQ(g_singlePlayerBattle->Picture(row + 2).frame, -1);
  }
  EXPECT_FALSE(g_playerSlots[1].IsEmpty());                               // row 1 always stays
  EXPECT_EQ(g_singlePlayerBattle->controls.Count(), 3 + 2 + 13 + 2 + 1);  // and the name box

  // The lives slider reaches every place, removed ones too.
  MoveSlider(CSinglePlayerBattleScreen::kLivesSlider, 4);
  for (const CPlayerSlot& slot : g_playerSlots) EXPECT_EQ(slot.lives, 4);
  EXPECT_EQ(g_gameSettings.lives, 4);
  EXPECT_EQ(Text(27 + CSinglePlayerBattleScreen::kLivesSlider), "4");

  // Start: magic for the two seated players only; the spell box, in its timed mode, for the
  // player; when it closes, the region entry screen.
  Click(WidgetKind::kTextButton, 2);
  ASSERT_EQ(FramesUntilChange(), g_spellBox);
  EXPECT_EQ(g_spellBox->timedMode, 1);
  EXPECT_EQ(g_spellBox->wizardRecord, 0);
  EXPECT_EQ(g_spellBox->remainingTime.load(), g_gameSettings.selectionTime);
  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), g_singlePlayerBattle);
  EXPECT_EQ(FramesUntilChange(), g_regionEntry);
  EXPECT_FALSE(wizards_.items[0].empty());
  EXPECT_FALSE(wizards_.items[1].empty());
  EXPECT_TRUE(wizards_.items[2].empty());
  EXPECT_TRUE(wizards_.items[3].empty());
}

TEST_F(SinglePlayerBattle, HandicapsShrinkTheItemsDealtAndOpponentsGetSpells) {
  struct Case {
    int items, handicap, expected;
  };
  for (const Case& c : {Case{4, 50, 2}, Case{4, 0, 4}, Case{4, 100, 0}, Case{5, 30, 4}, Case{21, 99, 1}})
    EXPECT_EQ(ItemsForHandicap(c.items, c.handicap), c.expected) << c.items << " " << c.handicap;
  EXPECT_EQ(ItemsForHandicap(4, 250), 0) << "a handicap is taken within 0..100";
  EXPECT_EQ(ItemsForHandicap(4, -30), 4);

  OpenSetUp();
  MoveSlider(2, 4);     // magic items
  MoveSlider(4, 1);     // Law
  MoveSlider(5, 0);     // Neutral
  MoveSlider(6, 2);     // Vrask
  MoveSlider(13, 50);   // the player's handicap
  MoveSlider(15, 100);  // row 2's
  EXPECT_EQ(g_playerSlots[0].handicap, 50);
  EXPECT_EQ(Text(4), "50");
  Click(WidgetKind::kTextButton, 2);
  ASSERT_EQ(FramesUntilChange(), g_spellBox);
  EXPECT_EQ(g_spellBox->SlotItem(-1, 0), 10);  // the player's two items lie in the pool
  EXPECT_EQ(g_spellBox->SlotItem(-1, 1), 11);
  EXPECT_EQ(g_spellBox->SlotItem(-1, 2), -1);
  EXPECT_EQ(wizards_.items[0], (std::vector<int>{10, 11}));
  EXPECT_EQ(wizards_.items[1], (std::vector<int>{10, 11, 12, 13}));
  EXPECT_TRUE(wizards_.items[2].empty());
  EXPECT_EQ(wizards_.talismans[0], (std::vector<int>{1, 0, 2}));
  // The player chooses on the spell box; opponent 1 gets three spells (as many as its
  // talismans), each of one of its items in a Law or Vrask column; opponent 2, with no items,
  // gets none.
  EXPECT_TRUE(wizards_.pool[0].empty());
  ASSERT_EQ(wizards_.pool[1].size(), 3u);
  int law = 0, vrask = 0;
  for (int spell : wizards_.pool[1]) {
    EXPECT_GE(spell / 3, 10);
    EXPECT_LE(spell / 3, 13);
    law += spell % 3 == kAlignLaw;
    vrask += spell % 3 == kAlignVrask;
  }
  EXPECT_EQ(law, 1);
  EXPECT_EQ(vrask, 2);
  EXPECT_TRUE(wizards_.pool[2].empty());
}

TEST_F(SinglePlayerBattle, WithoutTalismansStartGoesStraightToTheRegionEntry) {
  OpenSetUp();
  for (int slider : {4, 5, 6}) MoveSlider(slider, 0);
  Click(WidgetKind::kTextButton, 2);
  EXPECT_EQ(FramesUntilChange(), g_regionEntry);
  for (const auto& items : wizards_.items) EXPECT_TRUE(items.empty());
  EXPECT_EQ(g_gameMode, kGameModeQuickBattle);
  EXPECT_EQ(g_networkGame, 0);
  EXPECT_EQ(g_regionEntry->mode, CRegionEntryScreen::kFromQuickBattle);
  EXPECT_EQ(g_regionEntry->region, 1);
  EXPECT_EQ(g_regionEntry->regionName, "Moor Gate");
}

TEST_F(SinglePlayerBattle, StartWritesTheSingleSectionOnly) {
  const std::string multiplayerBefore = [] {
    char value[64];
    platform::ReadProfileString("DEFAULTS-MULTIPLAYER", "mana", "", value, sizeof value, "cfg/QuickBattleSetup.cfg");
    return std::string(value);
  }();
  OpenSetUp();
  MoveSlider(0, 650);
  for (int slider : {4, 5, 6}) MoveSlider(slider, 0);  // no spell box on the way
  Click(WidgetKind::kTextButton, 2);
  FramesUntilChange();
  platform::FlushProfileCache();
  char value[64];
  platform::ReadProfileString("DEFAULTS-SINGLE", "mana", "", value, sizeof value, "cfg/QuickBattleSetup.cfg");
  EXPECT_STREQ(value, "650");
  platform::ReadProfileString("DEFAULTS-MULTIPLAYER", "mana", "", value, sizeof value, "cfg/QuickBattleSetup.cfg");
  EXPECT_EQ(value, multiplayerBefore);
  EXPECT_NE(multiplayerBefore, "650");
}

TEST_F(SinglePlayerBattle, WithNoMapStartOpensTheMapSelectionAndTheChoiceIsShown) {
  platform::WriteProfileString("DEFAULTS-SINGLE", "regionIndex", "9", "cfg/QuickBattleSetup.cfg");
  platform::FlushProfileCache();
  OpenSetUp();
  EXPECT_EQ(Text(13), "No Map");
  EXPECT_EQ(g_gameSettings.regionIndex, 0);
  Click(WidgetKind::kTextButton, 2);
  EXPECT_EQ(FramesUntilChange(), g_mapSelection);
  EXPECT_EQ(g_singlePlayerBattle->loaded, 1) << "it stays loaded under the map selection";
  ClickWidget(forge::MapSelectionLayout(), WidgetKind::kTextButton, 1);  // accept the first
  EXPECT_EQ(FramesUntilChange(), g_singlePlayerBattle);
  EXPECT_EQ(Text(13), "Moor Gate");
  EXPECT_EQ(g_gameSettings.regionIndex, 1);
}

TEST_F(SinglePlayerBattle, GoingOnFromTheRegionEntryLoadsTheBattleAndEndsOnTheQuickBattleMenu) {
  BottomScreen battleScreen;
  battle_.screen = &battleScreen;
  g_random.Seed(77);
  OpenSetUp();
  for (int slider : {4, 5, 6}) MoveSlider(slider, 0);
  Click(WidgetKind::kTextButton, 2);
  ASSERT_EQ(FramesUntilChange(), g_regionEntry);
  Frames(1);
  SaveFrame("region_entry_quick_battle.png");
  EXPECT_EQ(g_regionEntry->controls.Count(), 2);  // go on and back only
  ClickWidget(forge::RegionEntryLayout(), WidgetKind::kTextButton, 1);
  EXPECT_EQ(FramesUntilChange(), &battleScreen);
  ASSERT_EQ(battle_.records.size(), 1u);
  const BattleSetupRecord& record = battle_.records[0];
  EXPECT_EQ(record.region, 1);
  EXPECT_EQ(record.players, 1);
  EXPECT_EQ(record.armies, 1);
  EXPECT_EQ(record.localArmy, 0);
  EXPECT_GE(record.mapSeed, 0);
  EXPECT_GE(record.battleSeed, 0);
  EXPECT_LT(record.battleSeed, 9999);

  PopScreen();  // the battle ends
  for (int i = 0; i < 40 && g_currentScreen != g_quickBattleMenu; ++i) g_currentScreen->Update();
  EXPECT_EQ(g_currentScreen, g_quickBattleMenu);
}

namespace {

// The player types a name over the first row's: Return or Start keeps it for the battle, the
// preferences file keeps it for the next set-up, and an emptied box keeps the name it had.
TEST_F(SinglePlayerBattle, ThePlayerTypesItsNameAndThePreferencesKeepIt) {
  const std::string before = g_prefs.playerName;
  g_prefs.playerName = "Player";
  OpenSetUp();
  auto* box = static_cast<CEditBox*>(g_singlePlayerBattle->ControlOf(kWidgetEditBox, 0));
  ASSERT_NE(box, nullptr);
  EXPECT_STREQ(box->Text(), "Player");
  EXPECT_EQ(Text(0), "");  // the box shows the name; the label under it stays empty

  Click(WidgetKind::kEditBox, 1);
  for (int i = 0; i < 6; ++i) Key(platform::VK_BACK);
  for (char c : std::string("Aldwyn")) g_currentScreen->OnMessage(nullptr, platform::WM_CHAR, c, 0);
  Frames(1);
  SaveFrame("single_player_battle_name.png");
  Key(platform::VK_RETURN);
  EXPECT_STREQ(g_playerSlots[0].name, "Aldwyn");
  EXPECT_EQ(g_prefs.playerName, "Aldwyn");
  platform::FlushProfileCache();
  char saved[64];
  platform::ReadProfileString("NETGAME", "PlayerName", "", saved, sizeof saved, "cfg/prefs.cfg");
  EXPECT_STREQ(saved, "Aldwyn");

  // Emptied, the box keeps the name the player had.
  for (int i = 0; i < 6; ++i) Key(platform::VK_BACK);
  Key(platform::VK_RETURN);
  EXPECT_STREQ(g_playerSlots[0].name, "Aldwyn");
  EXPECT_STREQ(box->Text(), "Aldwyn");

  // The next set-up starts from it.
  while (g_screenCount > 0) PopScreen();
  OpenSetUp();
  EXPECT_STREQ(g_playerSlots[0].name, "Aldwyn");
  g_prefs.playerName = before;
}

}  // namespace
