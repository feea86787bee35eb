#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/Options.h"
#include "core/Preferences.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobalOptions(); }
  void TearDown() override { ResetGlobalOptions(); }
  CPreferences Load(const std::string& text) {
    dir_.Write("cfg/prefs.cfg", text);
    CPreferences prefs;
    prefs.Load();
    return prefs;
  }
  TempDir dir_{true};
};

TEST_F(PreferencesTest, NoFileMeansSoundAndMusicOff) {
  CPreferences prefs;
  prefs.Load();
  EXPECT_EQ(prefs.soundEnabled, 0);
  EXPECT_EQ(prefs.cdMusicEnabled, 0);
  EXPECT_EQ(prefs.musicVolume, 15);  // missing key
  EXPECT_EQ(prefs.sfxVolume, 0);
  EXPECT_EQ(prefs.framePeriod, 50);
}

TEST_F(PreferencesTest, ScrollSpeedMustBeAMultipleOfEight) {
  struct Case {
    const char* value;
    int expected;
  };
  for (Case c : {Case{"20", 32}, Case{"200", 128}, Case{"1", 32}, Case{"16", 16}, Case{"8", 8}}) {
    EXPECT_EQ(Load(std::string("[MOUSE]\nMouseScrollSpeed=") + c.value + "\n").mouseScrollSpeed, c.expected) << c.value;
  }
}

TEST_F(PreferencesTest, ClampsAndFlags) {
  CPreferences prefs = Load(
      "[MOUSE]\nMouseScrollBtn=left\nAllowUnselectMode=TRUE\n"
      "[VIDEO]\nIsHighRes=TRUE\nWindowSize=40\nAlphaBlending=false\nTerrainLightLevels=1\n"
      "DialogSpeed=-2\nMaxFramesPerSec=30\nPlayFMV=no\n"
      "[SOUND]\nSoundEnabled=yes\nCDMusicEnabled=FALSE\nMusicVolume=7\n"
      "[TOOLTIP]\nTooltipQuickDelay=9999\nTooltipLongDelay=-5\n");
  EXPECT_EQ(prefs.mouseScrollButton, 1);
  EXPECT_EQ(prefs.allowUnselectMode, 1);
  EXPECT_EQ(prefs.isHighRes, 1);
  EXPECT_EQ(prefs.windowSize, 15);
  EXPECT_EQ(prefs.alphaBlending, 0);
  EXPECT_EQ(prefs.terrainLightLevels, 2);
  EXPECT_EQ(prefs.dialogSpeed, 0);
  EXPECT_EQ(prefs.maxFramesPerSec, 30);
  EXPECT_EQ(prefs.framePeriod, 33);
  EXPECT_EQ(prefs.playFmv, 0);
  EXPECT_EQ(prefs.soundEnabled, 1);
  EXPECT_EQ(prefs.cdMusicEnabled, 0);
  EXPECT_EQ(prefs.musicVolume, 7);
  EXPECT_EQ(prefs.tooltipQuickDelay, 2000);
  EXPECT_EQ(prefs.tooltipLongDelay, 0);

  EXPECT_EQ(Load("[VIDEO]\nMaxFramesPerSec=0\n").framePeriod, 1000);
}

TEST_F(PreferencesTest, HighResolutionNeedsAKnownInstallation) {
  g_installType = 2;
  EXPECT_EQ(Load("[VIDEO]\nIsHighRes=TRUE\n").isHighRes, 0);
}

TEST_F(PreferencesTest, SaveAndLoadKeepEveryField) {
  dir_.Write("cfg/keep", "");
  CPreferences saved;
  saved.mouseScrollButton = 0;
  saved.mouseScrollSpeed = 64;
  saved.allowUnselectMode = 1;
  saved.isHighRes = 1;
  saved.windowSize = 9;
  saved.transparentBlits = 1;
  saved.alphaBlending = 0;
  saved.terrainLightLevels = 128;
  saved.playFmv = 0;
  saved.playFmvOut = 1;
  saved.cutDownAnims = 1;
  saved.dialogSpeed = 2;
  saved.maxFramesPerSec = 40;
  saved.framePeriod = 25;
  saved.soundEnabled = 1;
  saved.cdMusicEnabled = 1;
  saved.musicVolume = 3;
  saved.sfxVolume = -400;
  saved.playerName = "Morgana";
  saved.lobbyLoginName = "mor\ngana";  // a line break would split the file's line
  saved.lobbyPassword = "secret";
  saved.tooltipQuickDelay = 100;
  saved.tooltipLongDelay = 900;
  ASSERT_TRUE(saved.Save());
  saved.lobbyLoginName = "morgana";

  CPreferences loaded;
  loaded.Load();
  EXPECT_EQ(loaded.mouseScrollButton, saved.mouseScrollButton);
  EXPECT_EQ(loaded.mouseScrollSpeed, saved.mouseScrollSpeed);
  EXPECT_EQ(loaded.allowUnselectMode, saved.allowUnselectMode);
  EXPECT_EQ(loaded.isHighRes, saved.isHighRes);
  EXPECT_EQ(loaded.windowSize, saved.windowSize);
  EXPECT_EQ(loaded.transparentBlits, saved.transparentBlits);
  EXPECT_EQ(loaded.alphaBlending, saved.alphaBlending);
  EXPECT_EQ(loaded.terrainLightLevels, saved.terrainLightLevels);
  EXPECT_EQ(loaded.playFmv, saved.playFmv);
  EXPECT_EQ(loaded.playFmvOut, saved.playFmvOut);
  EXPECT_EQ(loaded.cutDownAnims, saved.cutDownAnims);
  EXPECT_EQ(loaded.dialogSpeed, saved.dialogSpeed);
  EXPECT_EQ(loaded.maxFramesPerSec, saved.maxFramesPerSec);
  EXPECT_EQ(loaded.framePeriod, saved.framePeriod);
  EXPECT_EQ(loaded.soundEnabled, saved.soundEnabled);
  EXPECT_EQ(loaded.cdMusicEnabled, saved.cdMusicEnabled);
  EXPECT_EQ(loaded.musicVolume, saved.musicVolume);
  EXPECT_EQ(loaded.sfxVolume, saved.sfxVolume);
  EXPECT_EQ(loaded.playerName, saved.playerName);
  EXPECT_EQ(loaded.lobbyLoginName, saved.lobbyLoginName);
  EXPECT_EQ(loaded.lobbyPassword, saved.lobbyPassword);
  EXPECT_EQ(loaded.tooltipQuickDelay, saved.tooltipQuickDelay);
  EXPECT_EQ(loaded.tooltipLongDelay, saved.tooltipLongDelay);
}

}  // namespace

namespace {

// Names and passwords the reader would trim or unquote if they were written raw come back
// exactly as they were.
TEST_F(PreferencesTest, AwkwardNamesAndPasswordsReadBackExactly) {
  dir_.Write("cfg/keep", "");
  const char* texts[] = {" Bob ",       "\"Bob\"",    "'x'",    "a;b",   "; leading semicolon",
                         "x=y=z",       "=",          "\"",     "\"\"",  "''",
                         "tab\tinside", "[section]",  "\t",     "  ",    "quote\" in the middle",
                         "'mixed\"",    "trailing ;", "\"half", "end\"", "plain"};
  for (const char* text : texts) {
    CPreferences saved;
    saved.playerName = text;
    saved.lobbyLoginName = std::string("login ") + text;
    saved.lobbyPassword = std::string(text) + " ";
    ASSERT_TRUE(saved.Save()) << text;
    CPreferences loaded;
    loaded.Load();
    EXPECT_EQ(loaded.playerName, text);
    EXPECT_EQ(loaded.lobbyLoginName, saved.lobbyLoginName);
    EXPECT_EQ(loaded.lobbyPassword, saved.lobbyPassword);
  }
}

platform::ReplacementStep g_failingStep;
bool FailTheChosenStep(platform::ReplacementStep step) { return step == g_failingStep; }

std::string FileText(const std::string& path) {
  std::vector<uint8_t> bytes;
  platform::ReadWholeFile(path, bytes);
  return std::string(bytes.begin(), bytes.end());
}

// A save interrupted at any of its writes leaves the old file whole or the new one whole,
// never a mixture, and no field of the file changes unless all of them do.
TEST_F(PreferencesTest, ASaveInterruptedAtAnyWriteLeavesTheOldFileOrTheNew) {
  using Step = platform::ReplacementStep;
  dir_.Write("cfg/keep", "");
  CPreferences old;
  old.playerName = "Old";
  old.windowSize = 3;
  ASSERT_TRUE(old.Save());
  const std::string oldText = FileText("cfg/prefs.cfg");
  CPreferences changed = old;
  changed.playerName = "New";
  changed.windowSize = 7;
  ASSERT_TRUE(changed.Save());
  const std::string newText = FileText("cfg/prefs.cfg");
  for (Step step :
       {Step::kCreate, Step::kWrite, Step::kFlush, Step::kSyncFile, Step::kClose, Step::kRename, Step::kSyncFolder}) {
    ASSERT_TRUE(old.Save());
    g_failingStep = step;
    platform::SetReplacementFaultForTesting(FailTheChosenStep);
    EXPECT_FALSE(changed.Save()) << static_cast<int>(step);
    platform::SetReplacementFaultForTesting(nullptr);
    const std::string text = FileText("cfg/prefs.cfg");
    EXPECT_TRUE(text == oldText || text == newText) << static_cast<int>(step);
    CPreferences loaded;
    loaded.Load();
    EXPECT_TRUE((loaded.playerName == "Old" && loaded.windowSize == 3) ||
                (loaded.playerName == "New" && loaded.windowSize == 7))
        << static_cast<int>(step);
  }
}

// The file keeps the lobby password: whether it is new, or was readable by everyone before,
// after a save only its owner may read or write it.
TEST_F(PreferencesTest, TheFileWithThePasswordIsTheOwnersAlone) {
  dir_.Write("cfg/keep", "");
  const std::string path = dir_.File("cfg/prefs.cfg");
  auto mode = [&] {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
  };
  CPreferences prefs;
  prefs.lobbyLoginName = "morgana";
  prefs.lobbyPassword = "secret";
  ASSERT_TRUE(prefs.Save());
  EXPECT_EQ(mode(), 0600u);
  for (mode_t before : {0644, 0666, 0400}) {
    ASSERT_EQ(::chmod(path.c_str(), before), 0);
    ASSERT_TRUE(prefs.Save()) << before;
    EXPECT_EQ(mode(), 0600u) << before;
  }
  CPreferences loaded;
  loaded.Load();
  EXPECT_EQ(loaded.lobbyPassword, "secret");
}

}  // namespace
