#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "core/Options.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobalOptions(); }
  void TearDown() override { ResetGlobalOptions(); }
  // Writes cfg\vrask.cfg and reads the options.
  void Read(const std::string& options) {
    dir_.Write("cfg/vrask.cfg", options);
    ASSERT_EQ(ReadGlobalOptions(), 1);
  }
  TempDir dir_{true};
};

TEST_F(OptionsTest, MissingFileLeavesDefaultsAndSaysSo) {
  EXPECT_EQ(ReadGlobalOptions(), 0);
  EXPECT_EQ(g_ambientLight, -108);
  EXPECT_EQ(g_lightRamp, -16);
  EXPECT_EQ(g_useCSpritePrinter, 1);
  EXPECT_STREQ(g_dataPath, ".\\");
  EXPECT_EQ(g_installType, 0);
  EXPECT_EQ(g_mrDelay, 30);
}

TEST_F(OptionsTest, FrameSkipValuesAreClamped) {
  struct Case {
    const char* text;
    int every, count, max;
  };
  const Case cases[] = {
      {"SkipFrameEvery=2\nSkipXFrames=4\n", 2, 4, 6},
      {"SkipFrameEvery=3\nSkipXFrames=1\n", 3, 3, 6},
      {"SkipXFrames=20\n", 0, 11, 6},
      {"SkipFrameEvery=12\nMaxSkipXFrames=15\n", 10, 1, 15},
      {"MaxSkipXFrames=16\n", 0, 1, 16},
      {"MaxSkipXFrames=99\n", 0, 1, 16},
      {"MaxSkipXFrames=-3\n", 0, 1, 0},
  };
  for (const Case& c : cases) {
    ResetGlobalOptions();
    Read(std::string("[DEBUG]\n") + c.text);
    EXPECT_EQ(g_frameSkipEvery, c.every) << c.text;
    EXPECT_EQ(g_skipCountdown, c.every) << c.text;
    EXPECT_EQ(g_frameSkipCount, c.count) << c.text;
    EXPECT_EQ(g_frameSkipMax, c.max) << c.text;
  }
}

TEST_F(OptionsTest, ValuesAreStoredAsTheirSubsystemsWantThem) {
  Read(
      "[GLOBAL_OPTIONS]\nAmbientLight=200\nIndicatorLightLevel=40\nLightPower=5000\nColourPower=-1\n"
      "UseWinCursor=maybe\nUseNodeMap=true\nEffectRadius=3,2,4=x,6\nAI_timesystem=REAL_TIME\n"
      "[COMBAT_MODIFIERS]\nImpetus=600\nRelativeHeight=100\nRelativeFacing=10,20\n"
      "[BLOOD_N_GORE]\nTexturedGoreUpper=150\nTexturedGore=no\n"
      "[PEST_FLY]\nTopSpeed=6\nRandom=9\n"
      "[LEVITATE_EFFECT]\nSize=9,0\n"
      "[DIFFICULTY]\nManaModify2=-7\n"
      "[POISON_POINTS]\nPoisonDelay=40\n"
      "[SPEECH_BOX]\nMaxspeed_0=10\nStartspeed_1=7\n"
      "[DEBUG]\nUseCSpritePrinter=FALSE\n"
      "[BATTLE_LOG]\nlogFileName=save/other.log\n");
  EXPECT_EQ(g_ambientLight, -127);
  EXPECT_EQ(g_indicatorLightLevel, 0);
  EXPECT_EQ(g_lightPower, 1000.0);
  EXPECT_EQ(g_colourPower, 0.0);
  EXPECT_EQ(g_softwareCursor, 1);  // anything but TRUE selects the software cursor
  EXPECT_EQ(g_useNodeMap, 1);
  EXPECT_EQ(g_effectRadii, (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(g_aiTimeSystem, kRealTime);
  EXPECT_EQ(g_impetus, 1250);
  EXPECT_EQ(g_relativeHeight, 250);
  EXPECT_EQ(g_relativeFacing[0], 25);
  EXPECT_EQ(g_relativeFacing[1], 50);
  EXPECT_EQ(g_relativeFacing[2], 25);  // the rest of a short list keeps its defaults
  EXPECT_FLOAT_EQ(g_texturedGoreUpper, 1.5f);
  EXPECT_EQ(g_texturedGore, 1);   // only FALSE switches it off
  EXPECT_EQ(g_pestFlyRandom, 3);  // at most half the top speed
  EXPECT_EQ(g_levitateEffect.size[0], 5);
  EXPECT_EQ(g_levitateEffect.size[1], 1);
  EXPECT_EQ(g_manaModify[2], -7);
  EXPECT_EQ(g_poisonDelay, 25);
  EXPECT_EQ(g_mrDelay, 30);  // missing: 30, although a present value is at most 25
  EXPECT_EQ(g_speechMaxSpeed[0], 10);
  EXPECT_EQ(g_speechMaxSpeed[1], 20);
  EXPECT_EQ(g_speechMaxSpeed[2], 40);
  EXPECT_EQ(g_speechStartSpeed[1], 7);
  EXPECT_EQ(g_speechStartSpeed[2], 14);
  EXPECT_EQ(g_useCSpritePrinter, 0);
  EXPECT_STREQ(g_logFileName, "save/other.log");
}

// Hand-made values that once reached casts and sums unchecked: not-a-number, infinities and
// numbers beyond the int range take the clamp or the default.
TEST_F(OptionsTest, HostileNumbersTakeTheClampOrTheDefault) {
  struct Case {
    const char* text;
    std::function<bool()> holds;
  };
  const Case cases[] = {
      {"[GLOBAL_OPTIONS]\nLightPower=nan\n", [] { return g_lightPower == 0.0; }},
      {"[GLOBAL_OPTIONS]\nLightPower=1e10\n", [] { return g_lightPower == 1000.0; }},
      {"[GLOBAL_OPTIONS]\nUWColourPower=-inf\n", [] { return g_uwColourPower == 0.0; }},
      {"[GLOBAL_OPTIONS]\nColourPower=1e999\n", [] { return g_colourPower == 0.0; }},
      {"[GLOBAL_OPTIONS]\nAmbientLight=99999999999\n", [] { return g_ambientLight == -127; }},
      {"[GLOBAL_OPTIONS]\nLightCurve=-99999999999\n", [] { return g_lightCurve == 1; }},
      {"[GLOBAL_OPTIONS]\nLightCurve=1e10\n", [] { return g_lightCurve == 1; }},
      {"[DIFFICULTY]\nHealthModify0=123456789012\n", [] { return g_healthModify[0] == INT_MAX; }},
      {"[SPEECH_BOX]\nMaxspeed_0=2000000000\n",
       [] { return g_speechMaxSpeed[1] == INT_MAX && g_speechMaxSpeed[2] == INT_MAX; }},
      {"[COMBAT_MODIFIERS]\nRelativeFacing=99999999999,nan\n",
       [] { return g_relativeFacing[0] == 1250 && g_relativeFacing[1] == 0; }},
  };
  for (const Case& c : cases) {
    ResetGlobalOptions();
    Read(c.text);
    EXPECT_TRUE(c.holds()) << c.text;
  }
}

TEST_F(OptionsTest, InstallationFiles) {
  dir_.Write("CDRomDrive.cfg", "[CDROM Drive Letter With Colon]\nCDROMDrive=/media/cdrom\n");
  dir_.Write("cfg/Install Type.cfg", "[Installation Type]\nType=standard\n");
  ReadGlobalOptions();
  EXPECT_STREQ(g_dataPath, "/media/cdrom\\");
  EXPECT_EQ(g_installType, 1);
  dir_.Write("CDRomDrive.cfg", "[CDROM Drive Letter With Colon]\nCDROMDrive=/a/very/long/path/of/many/chars\n");
  dir_.Write("cfg/Install Type.cfg", "[Installation Type]\nType=Tiny\n");
  ReadGlobalOptions();
  EXPECT_EQ(std::string(g_dataPath), "/a/very/long/path/\\");  // cut, and still ends in a separator
  EXPECT_EQ(g_installType, 2);
}

TEST_F(OptionsTest, CommandLineSwitches) {
  BoxRecorder boxes;
  ParseCommandLine("win-direct/mapseed=77");
  EXPECT_EQ(g_windowed, 1);
  EXPECT_EQ(g_directStart, 1);
  EXPECT_EQ(g_directAI, 0);  // the whole switch must match
  EXPECT_EQ(g_mapSeed, 77);
  EXPECT_STREQ(g_realmName, "moorland");

  ParseCommandLine("DIRECTAI train=Random region=3 difficulty=2 wizard=merlin log");
  EXPECT_EQ(g_directAI, 1);
  EXPECT_EQ(g_trainingSpells, 1);  // only "random" in lower case
  EXPECT_EQ(g_startRegion, 3);
  EXPECT_EQ(g_difficulty, 2);
  EXPECT_STREQ(g_startWizardFile, "merlin.wzd");
  EXPECT_EQ(g_recordBattle, 1);
  ParseCommandLine("playback train=random");
  EXPECT_EQ(g_playBattle, 1);
  EXPECT_EQ(g_recordBattle, 0);
  EXPECT_EQ(g_trainingSpells, 2);
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(OptionsTest, CommandLineRealmAndBounds) {
  BoxRecorder boxes;
  ParseCommandLine("realm=realms\\ice\\ice.cfg");
  EXPECT_STREQ(g_realmFile, "realms\\ice\\ice.cfg");
  EXPECT_STREQ(g_realmName, "ice");
  // An invalid path shows its box and keeps the realm the line started with.
  ParseCommandLine("realm=nofolder.cfg win");
  EXPECT_TRUE(boxes.Saw("GENERAL ERROR"));
  EXPECT_EQ(boxes.Boxes()[0].text, "invalid realm path");
  EXPECT_STREQ(g_realmFile, "realms\\moorland\\moorland.cfg");
  EXPECT_EQ(g_windowed, 1);  // parsing went on

  std::string longLine = "wizard=" + std::string(400, 'w');
  ParseCommandLine(longLine.c_str());
  // The command line is cut to 255 characters, so the value is 248 'w's; ".wzd" always fits.
  std::string wizard = g_startWizardFile;
  EXPECT_EQ(wizard.size(), 248u + 4u);
  EXPECT_EQ(wizard.substr(wizard.size() - 4), ".wzd");
}

TEST_F(OptionsTest, DifficultyStaysInsideItsTables) {
  for (auto [line, expected] :
       {std::pair{"difficulty=7", 3}, std::pair{"difficulty=1", 1}, std::pair{"difficulty=x", 0}}) {
    ParseCommandLine(line);
    EXPECT_EQ(g_difficulty, expected) << line;
  }
  // A negative value: the '-' also separates switches, so it reads as "difficulty=" and "5".
  ParseCommandLine("difficulty=-5");
  EXPECT_EQ(g_difficulty, 0);
}

TEST_F(OptionsTest, MapSeedZeroComesFromTheClock) {
  platform::ManualClock clock(123456);
  ParseCommandLine("mapseed=0");
  EXPECT_EQ(g_mapSeed, 123456);
}

TEST_F(OptionsTest, ProgramVersionIsTheDigitsOfTheFileVersion) { EXPECT_EQ(GetProgramFileVersion(), 100); }

TEST_F(OptionsTest, CurrentDirectoryPaths) {
  char path[512];
  MakeCurrentDirPath("fx\\x.cfg", path, sizeof path);
  EXPECT_EQ(std::string(path), dir_.Path() + "\\fx\\x.cfg");
  char small[8] = "keep";
  MakeCurrentDirPath("x", small, sizeof small);
  EXPECT_STREQ(small, "");
}

}  // namespace

namespace {

// The computer player's time system changes only for its two words; anything else keeps the
// mode it had, whichever that was.
TEST_F(OptionsTest, AITimeSystemChangesOnlyForItsTwoWords) {
  struct Case {
    int before;
    const char* value;
    int after;
  };
  const Case cases[] = {
      {kRealTime, "NOTIONAL_TIME", kNotionalTime},
      {kNotionalTime, "REAL_TIME", kRealTime},
      {kRealTime, "FAST", kRealTime},
      {kNotionalTime, "real_time_please", kNotionalTime},
      {kRealTime, "", kRealTime},
  };
  for (const Case& c : cases) {
    dir_.Write("cfg/vrask.cfg", std::string("[GLOBAL_OPTIONS]\nAI_timesystem=") + c.value + "\n");
    g_aiTimeSystem = c.before;
    ASSERT_EQ(ReadGlobalOptions(), 1);
    EXPECT_EQ(g_aiTimeSystem, c.after) << c.value;
  }
}

}  // namespace
