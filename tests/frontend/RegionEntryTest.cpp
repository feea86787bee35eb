// The region entry screen: the region's name from the realm's names file, the difficulty's
// radio buttons, the buttons of the first campaign region, and the quick battle's mode, in
// which going on fills the battle set-up record and loads the battle.
#include <gtest/gtest.h>

#include "FrontEndTestSupport.h"
#include "forge/SetupScreenLayouts.h"
#include "frontend/FrontEndBattle.h"
#include "frontend/RegionEntry.h"
#include "ui/RadioButton.h"

using namespace frontend_test;

namespace {

class RegionEntry : public FrontEnd {
 protected:
  void TearDown() override {
    g_regionEntry->mode = CRegionEntryScreen::kFromRealmView;
    g_difficulty = 0;
    FrontEnd::TearDown();
  }
};

}  // namespace

TEST(RegionNames, ALineOfTheNamesFileNamesTheRegion) {
  const std::string invalid = CRegionEntryScreen::kInvalidRegionName;
  struct Case {
    const char* what;
    std::string text;
    int region;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"first line", "Moorland\nFenside\nHighcrag", 1, "Moorland"},
      {"third line", "Moorland\nFenside\nHighcrag", 3, "Highcrag"},
      {"region 4 of three lines", "Moorland\nFenside\nHighcrag", 4, invalid},
      {"region 0", "Moorland\nFenside\nHighcrag", 0, invalid},
      {"a negative region", "Moorland\n", -3, invalid},
      {"carriage returns and line feeds", "Moorland\r\nFenside\r\nHighcrag\r\n", 2, "Fenside"},
      {"the last of CRLF lines", "Moorland\r\nFenside\r\n", 2, "Fenside"},
      {"an empty line at the end", "Moorland\r\nFenside\r\n", 3, invalid},
      {"a name stops at a zero", std::string("Moor\0land\nFen", 13), 1, "Moor"},
      {"a name stops at the text's end", "Moorland\nFen", 2, "Fen"},
      {"an empty file", "", 1, invalid},
  };
  for (const Case& c : cases) EXPECT_EQ(RegionNameFromText(c.text, c.region), c.expected) << c.what;
}

TEST(RegionNames, StoredDifficultiesPickTheirRadioButton) {
  const std::pair<int, int> cases[] = {{7, 3}, {-2, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 3}};
  for (const auto& [difficulty, button] : cases) EXPECT_EQ(DifficultyButton(difficulty), button) << difficulty;
}

TEST_F(RegionEntry, TheQuickBattleRegionIsNamedFromTheMultiplayerRealm) {
  g_regionEntry->PrepareQuickBattle(3, "Multiplayer");
  EXPECT_EQ(g_regionEntry->regionName, "The Great Moor");
  g_regionEntry->PrepareQuickBattle(1, "multiplayer");  // realm names are file names: any case
  EXPECT_EQ(g_regionEntry->regionName, "Moor Gate");
  Open(g_regionEntry);
  EXPECT_EQ(g_regionEntry->Label(0)->text, "Moor Gate");
  EXPECT_NE(g_regionEntry->BackgroundPath().find("multiplayer_Region_01.JPG"), std::string::npos);
}

TEST_F(RegionEntry, TheFirstMoorlandRegionHidesTheSpellBoxAndCharacterButtons) {
  struct Case {
    const char* realm;
    int region;
    int controls;  // two text buttons, the standard buttons shown and four radio buttons
  };
  for (const Case& c :
       {Case{"Moorland", 1, 7}, Case{"moorland", 1, 7}, Case{"Moorland", 2, 9}, Case{"Moorland", 12, 9}}) {
    g_regionEntry->mode = CRegionEntryScreen::kFromRealmView;
    g_regionEntry->realmName = c.realm;
    g_regionEntry->region = c.region;
    g_difficulty = 7;
    Open(g_regionEntry);
    EXPECT_EQ(g_regionEntry->controls.Count(), c.controls) << c.realm << " " << c.region;
    auto* fourth = static_cast<CRadioButton*>(g_regionEntry->ControlOf(kWidgetRadioButton, 3));
    EXPECT_TRUE(fourth->Selected());
    // A region without a picture of its own shows the first Moorland region's.
    const char* picture = c.region == 2 ? "oorland_Region_02.JPG" : "oorland_Region_01.JPG";
    EXPECT_NE(g_regionEntry->BackgroundPath().find(picture), std::string::npos);
    while (g_screenCount > 0) PopScreen();
  }
}
