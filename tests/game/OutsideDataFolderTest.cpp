// A realm or animation named in a saved game or a wizard file that climbs out of the data
// folder is refused, and no file there is opened: a marker folder beside the data folder holds
// a realm and a wizard's animation that would load, and a watch on it sees nothing opened.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/SavedGame.h"
#include "creatures/Wizard.h"
#include "creatures/WizardTable.h"
#include "frontend/RealmView.h"
#include "game/SavedGameParts.h"
#include "platform/Files.h"
#include "support/OpenWatch.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

class OutsideDataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    // The marker: a whole realm and the wizards' animations, where only a climbing name leads.
    const std::string forged = testing_support::ForgedDataDir();
    fs::copy(forged + "/realms/moorland", outside_.File("moorland"), fs::copy_options::recursive);
    fs::create_directories(outside_.File("creatures"));
    fs::copy_file(forged + "/creatures/wizard1.ani", outside_.File("creatures/wizard1.ani"));
    for (const char* folder : {"", "moorland", "creatures"}) ASSERT_TRUE(watch_.Add(outside_.File(folder)));
    ASSERT_TRUE(watch_.Opened().empty());
    // The watch sees an open of the marker (by this process, as by the reader under test).
    std::ifstream(outside_.File("moorland/moorland.cfg")).close();
    ASSERT_EQ(watch_.Opened(), std::vector<std::string>{"moorland.cfg"});
  }
  // The marker folder as the data folder reaches it by climbing, with '\' as data files write it.
  std::string Climb(const std::string& below) const {
    return "..\\" + fs::path(outside_.Path()).filename().string() + "\\" + below;
  }
  void ExpectNothingOpenedOutside() { EXPECT_EQ(watch_.Opened(), std::vector<std::string>{}); }

  testing_support::TempDir outside_;
  testing_support::TempDir data_{true};
  testing_support::OpenWatch watch_;
  testing_support::BoxRecorder boxes_;
};

TEST_F(OutsideDataFolder, ASavedGameWhoseRealmClimbsOutIsRefusedUnopened) {
  CRealmView view;
  CRealmView* savedView = g_realmView;
  ISavedGameParts* savedParts = g_savedGameParts;
  g_realmView = &view;
  InstallSavedGameParts();
  std::snprintf(g_realmFile, sizeof g_realmFile, "realms\\moorland\\moorland.cfg");
  std::snprintf(g_realmName, sizeof g_realmName, "moorland");
  g_gameMode = kGameModeCampaign;
  g_wizardTable.Clear();
  ASSERT_EQ(WriteSavedGame("campaign", 1), 1);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile("Save/campaign.sav", bytes));

  for (const std::string& realm :
       {Climb("moorland\\moorland.cfg"), Climb("moorland/moorland.cfg"), outside_.File("moorland/moorland.cfg")}) {
    SCOPED_TRACE(realm);
    std::vector<uint8_t> climbing = bytes;
    std::memset(climbing.data() + 12, 0, 512);
    std::memcpy(climbing.data() + 12, realm.data(), realm.size());
    std::memcpy(climbing.data() + 12 + 256, "moorland", 8);
    ASSERT_TRUE(platform::WriteWholeFile("Save/climbing.sav", climbing.data(), climbing.size()));
    EXPECT_EQ(LoadSavedGame("climbing"), 0);
    EXPECT_STREQ(g_realmFile, "realms\\moorland\\moorland.cfg");
    ExpectNothingOpenedOutside();
  }
  g_realmView = savedView;
  g_savedGameParts = savedParts;
}

TEST_F(OutsideDataFolder, AWizardWhoseAnimationClimbsOutIsRefusedUnopened) {
  fs::create_directories(data_.File("wizards"));
  // The animation is looked for as creatures\<name>.ani.
  for (const std::string& anim : {"..\\" + Climb("creatures\\wizard1"), "../" + Climb("creatures/wizard1")}) {
    SCOPED_TRACE(anim);
    data_.Write("wizards/climber.wzd", "[GENERAL]\nName=Climber\nMaxMana=5\nWizardAnimFile=" + anim + "\n");
    CWizard wizard;
    EXPECT_EQ(wizard.LoadDefinition("climber.wzd", 1, 0), 0);
    EXPECT_STREQ(wizard.animFile, CWizard{}.animFile);
    ExpectNothingOpenedOutside();
  }
}

}  // namespace
