// The load and save screens: the list of saved games, the names they accept, overwriting,
// failures shown in their box and never costing the old file, and where a loaded game goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "FrontEndTestSupport.h"
#include "battle/BattleKeys.h"
#include "core/SavedGame.h"
#include "forge/CampaignMenus.h"
#include "forge/MiniMenuArt.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/MainMenu.h"
#include "frontend/MiniMenu.h"
#include "frontend/RealmView.h"
#include "frontend/ScreenTable.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"

namespace {

namespace fs = std::filesystem;
using forge::WidgetKind;
using frontend_test::FrontEnd;

class LoadSaveGame : public FrontEnd {
 protected:
  void TearDown() override {
    platform::SetReplacementFaultForTesting(nullptr);
    FrontEnd::TearDown();
  }
  // A saved game whose file was last written the given number of minutes ago.
  static void SaveAged(const std::string& name, int minutesAgo) {
    ASSERT_EQ(WriteSavedGame(name.c_str(), 1), 1) << name;
    fs::last_write_time("Save/" + name + ".sav", fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
  }
  static std::vector<uint8_t> Bytes(const std::string& name) {
    std::vector<uint8_t> bytes;
    platform::ReadWholeFile("Save/" + name + ".sav", bytes);
    return bytes;
  }
  std::vector<std::string> Listed(CSavedGameScreen* screen) {
    std::vector<std::string> names;
    for (int i = 0; i < screen->GameList()->ItemCount(); ++i)
      names.push_back(screen->GameList()->items[static_cast<size_t>(i)].text);
    return names;
  }
  void Type(CSavedGameScreen* screen, const char* name) { screen->NameBox()->SetText(name); }
  void Press(const forge::ScreenLayout& layout, int number) {
    Frames(1);
    ClickWidget(layout, WidgetKind::kTextButton, number);
    Frames(1);
  }

  const forge::ScreenLayout loadLayout_ = forge::LoadGameLayout();
  const forge::ScreenLayout saveLayout_ = forge::SaveGameLayout();
};

TEST_F(LoadSaveGame, SavedGamesListNewestFirstWhateverOrderTheFolderGives) {
  // Names in the folder's order are the reverse of their ages.
  SaveAged("Castle", 1);
  SaveAged("Bridge", 30);
  SaveAged("Abbey", 60 * 24);
  SaveAged("a.b", 5);  // only ".sav" is cut off
  platform::WriteWholeFile("Save/.sav", "x", 1);
  Open(g_loadGameScreen);
  EXPECT_EQ(Listed(g_loadGameScreen), (std::vector<std::string>{"Castle", "a.b", "Bridge", "Abbey"}));
  EXPECT_STREQ(g_loadGameScreen->NameBox()->Text(), "Castle");
  SaveFrame("load_game_800.png");
  // A game whose name holds a dot loads by that name.
  Type(g_loadGameScreen, "a.b");
  Press(loadLayout_, 1);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  EXPECT_EQ(g_loadGameScreen->DialogText(), "");
}

TEST_F(LoadSaveGame, OnlyTheFirstHundredFilesAreConsidered) {
  fs::create_directory("Save");
  for (int i = 0; i < 101; ++i) platform::WriteWholeFile("Save/game" + std::to_string(1000 + i) + ".sav", "x", 1);
  const std::vector<std::string> names = ListSavedGames();
  ASSERT_EQ(names.size(), 100u);
  EXPECT_EQ(std::count(names.begin(), names.end(), "game1100"), 0);
}

TEST_F(LoadSaveGame, ClickingAListedGameCopiesItsNameAndClickingItAgainLoadsIt) {
  SaveAged("Castle", 1);
  SaveAged("Bridge", 2);
  Open(g_loadGameScreen);
  CListBox* list = g_loadGameScreen->GameList();
  list->Select(1);
  g_loadGameScreen->OnClick(kWidgetListBox, 0);
  EXPECT_STREQ(g_loadGameScreen->NameBox()->Text(), "Bridge");
  EXPECT_EQ(g_loadGameScreen->loadRequested, 0);
  g_loadGameScreen->OnClick(kWidgetListBox, 0);
  EXPECT_EQ(g_loadGameScreen->loadRequested, 1);
  EXPECT_EQ(g_loadGameScreen->busy, 1);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(LoadSaveGame, ALoadThatFailsShowsItsBoxAndTheScreenStays) {
  Open(g_loadGameScreen);  // no games: an empty list and name
  EXPECT_EQ(g_loadGameScreen->GameList()->ItemCount(), 0);
  Press(loadLayout_, 1);
  EXPECT_EQ(g_loadGameScreen->DialogText(), CLoadGameScreen::kFailure);
  EXPECT_EQ(g_loadGameScreen->busy, 0);
  SaveFrame("load_game_failure.png");
  g_loadGameScreen->ChooseDialogButton(0);
  EXPECT_EQ(g_loadGameScreen->DialogText(), "");
  Frames(3);
  EXPECT_EQ(g_currentScreen, g_loadGameScreen);
}

TEST_F(LoadSaveGame, OnlyTheMainMenuGoesOnToTheRealmViewAfterALoad) {
  SaveAged("Castle", 1);
  for (int caller : {kScreenMainMenu, kScreenMiniMenu}) {
    SCOPED_TRACE(caller);
    g_mainMenu->resumeInRealmView = 0;
    g_realmView->leaveRequested = 1;
    g_realmView->battlePending = 1;
    g_loadGameScreen->callerId = caller;
    Open(g_loadGameScreen);
    Press(loadLayout_, 1);
    EXPECT_EQ(FramesUntilChange(), &bottom_);
    EXPECT_EQ(g_mainMenu->resumeInRealmView, caller == kScreenMainMenu ? 1 : 0);
    // The loaded game is not the one the realm view was leaving, nor was its battle this one.
    EXPECT_EQ(g_realmView->leaveRequested, 0);
    EXPECT_EQ(g_realmView->battlePending, 0);
    while (g_screenCount > 0) PopScreen();
  }
  // Cancel from the main menu clears its flag.
  g_loadGameScreen->callerId = kScreenMainMenu;
  g_mainMenu->resumeInRealmView = 1;
  Open(g_loadGameScreen);
  Press(loadLayout_, 2);
  EXPECT_EQ(g_mainMenu->resumeInRealmView, 0);
}

TEST_F(LoadSaveGame, SavingUnderAListedNameAsksFirstAndNoKeepsTheFile) {
  SaveAged("Castle", 1);
  std::vector<uint8_t> before = Bytes("Castle");
  before[20] ^= 0x5A;  // marked, so that a rewrite shows
  platform::WriteWholeFile("Save/Castle.sav", before.data(), before.size());
  Open(g_saveGameScreen);
  EXPECT_STREQ(g_saveGameScreen->NameBox()->Text(), "Castle");
  Press(saveLayout_, 1);
  EXPECT_EQ(g_saveGameScreen->DialogText(), CSaveGameScreen::kExists);
  EXPECT_EQ(g_saveGameScreen->overwriteConfirmed, 1);
  SaveFrame("save_game_overwrite.png");
  g_saveGameScreen->ChooseDialogButton(1);  // No
  EXPECT_EQ(Bytes("Castle"), before);
  EXPECT_EQ(g_saveGameScreen->overwriteConfirmed, 0);
  Frames(3);
  EXPECT_EQ(g_currentScreen, g_saveGameScreen);
  Press(saveLayout_, 1);
  g_saveGameScreen->ChooseDialogButton(0);  // Yes
  EXPECT_NE(Bytes("Castle"), before);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(LoadSaveGame, NamesThatCannotBeGamesFailAndTouchNoFile) {
  const std::string tooLong(201, 'n');
  for (const char* name : {"", "   ", "..", "a/b", "a\\b", "../up", "tab\there", tooLong.c_str()}) {
    SCOPED_TRACE(name);
    Open(g_saveGameScreen);
    Type(g_saveGameScreen, name);
    Press(saveLayout_, 1);
    EXPECT_EQ(g_saveGameScreen->DialogText(), CSaveGameScreen::kFailure);
    g_saveGameScreen->ChooseDialogButton(0);
    while (g_screenCount > 0) PopScreen();
  }
  EXPECT_TRUE(ListSavedGames().empty());
  EXPECT_FALSE(fs::exists("up.sav"));
  // Leading blanks are not part of the name.
  Open(g_saveGameScreen);
  Type(g_saveGameScreen, "  Keep");
  Press(saveLayout_, 1);
  EXPECT_TRUE(fs::exists("Save/Keep.sav"));
}

TEST_F(LoadSaveGame, AFailedWriteShowsItsBoxAndKeepsTheOldGame) {
  SaveAged("Castle", 1);
  const std::vector<uint8_t> before = Bytes("Castle");
  platform::SetReplacementFaultForTesting([](platform::ReplacementStep step) {
    return step == platform::ReplacementStep::kWrite || step == platform::ReplacementStep::kRename;
  });
  Open(g_saveGameScreen);
  Press(saveLayout_, 1);
  g_saveGameScreen->ChooseDialogButton(0);  // Yes, overwrite: it fails
  EXPECT_EQ(g_saveGameScreen->DialogText(), CSaveGameScreen::kFailure);
  EXPECT_EQ(Bytes("Castle"), before);
  EXPECT_EQ(ListSavedGames(), std::vector<std::string>{"Castle"});
}

TEST_F(LoadSaveGame, TheMiniMenuOpensThemAndClosesWhenTheyReturn) {
  PushScreen(&bottom_);
  g_miniMenu->mode = CMiniMenuScreen::kBattleMode;
  PushScreen(g_miniMenu);
  Frames(1);
  const forge::ScreenLayout mini = forge::MiniMenuLayout();
  ClickWidget(mini, WidgetKind::kTextButton, 2);  // Save game
  EXPECT_EQ(FramesUntilChange(), g_saveGameScreen);
  Press(saveLayout_, 2);  // cancel
  FramesUntilChange();
  EXPECT_EQ(FramesUntilChange(), &bottom_) << "the mini menu closes after the screen it opened";
  PushScreen(g_miniMenu);
  Frames(1);
  ClickWidget(mini, WidgetKind::kTextButton, 1);  // Load game
  EXPECT_EQ(FramesUntilChange(), g_loadGameScreen);
  EXPECT_EQ(g_loadGameScreen->callerId, kScreenMiniMenu);
}

TEST_F(LoadSaveGame, F2AndF3OpenThemInABattleButNeverInANetworkOne) {
  InstallMiniMenu();
  for (int network : {0, 1}) {
    SCOPED_TRACE(network);
    g_networkGame = network;
    PushScreen(&bottom_);
    g_battleKeyTargets->PushSaveScreen();
    EXPECT_EQ(g_currentScreen, network ? static_cast<CScreen*>(&bottom_) : g_saveGameScreen);
    while (g_screenCount > 0) PopScreen();
    PushScreen(&bottom_);
    g_battleKeyTargets->PushLoadScreen();
    EXPECT_EQ(g_currentScreen, network ? static_cast<CScreen*>(&bottom_) : g_loadGameScreen);
    while (g_screenCount > 0) PopScreen();
  }
  g_battleKeyTargets.Install(nullptr);
  g_networkGame = 0;
}

}  // namespace
