// cfg\QuickBattleSetup.cfg: the settings of the last quick and multiplayer battles, read
// back within the set-up sliders' ranges.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/GameSettings.h"
#include "core/Options.h"
#include "forge/GameSettingRanges.h"
#include "frontend/MultiplayerRegions.h"
#include "frontend/QuickBattleDefaults.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"
#include "ui/SliderBar.h"

namespace {

constexpr const char* kFile = "cfg/QuickBattleSetup.cfg";

// The ranges of the forged set-up sliders.
std::vector<SettingRange> ForgedRanges() {
  std::vector<SettingRange> ranges;
  for (const forge::GameSettingRange& r : forge::kGameSettingRanges) ranges.push_back({r.minValue, r.maxValue});
  return ranges;
}

class QuickBattleDefaults : public ::testing::Test {
 protected:
  void SetUp() override { g_gameSettings = CGameSettings{}; }
  void TearDown() override { g_gameSettings = CGameSettings{}; }
  void WriteFile(const std::string& text) {
    platform::WriteWholeFile(kFile, text.data(), text.size());
    platform::FlushProfileCache();
  }
  testing_support::ForgedDataCopy data_;
  std::vector<SettingRange> ranges_ = ForgedRanges();
};

}  // namespace

TEST_F(QuickBattleDefaults, EveryValueReadLiesInItsSlidersRangeAndAnUnknownRegionBecomesNone) {
  struct Case {
    const char* key;
    const char* text;  // null: the key is missing
    int32_t before;
    int32_t after;
  };
  // lives: 1..9, mana: 50..1000, magicItems: 0..21; five regions.
  const Case cases[] = {
      {"lives", "999999", 0, 9},
      {"lives", "-5", 0, 1},
      {"lives", "abc", 5, 1},
      {"lives", "123456789012345678901234567890", 0, 9},
      {"lives", "-123456789012345678901234567890", 0, 1},
      {"lives", nullptr, 0, 1},  // a missing key keeps the value, clamped
      {"lives", nullptr, 4, 4},
      {"lives", "", 7, 7},       // so does an empty one
      {"mana", nullptr, 0, 50},  // no file at all: no value the slider cannot show
      {"magicItems", "21", 0, 21},
      {"regionIndex", "3", 0, 3},
      {"regionIndex", "5", 0, 5},
      {"regionIndex", "6", 0, 0},
      {"regionIndex", "-1", 0, 0},
      {"regionIndex", "123456789012345678901234567890", 0, 0},
      {"regionIndex", nullptr, 2, 2},
      {"regionIndex", nullptr, 9, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + (c.text ? c.text : "(missing)"));
    WriteFile(c.text ? std::string("[DEFAULTS-SINGLE]\n") + c.key + "=" + c.text + "\n" : "");
    g_gameSettings = CGameSettings{};
    for (int i = 0; i < kGameSettingsFields; ++i)
      if (std::string(kGameSettingsKeys[i]) == c.key) *GameSettingsField(g_gameSettings, i) = c.before;
    LoadQuickBattleDefaults(QuickBattleSection::kSingle, ranges_.data());
    for (int i = 0; i < kGameSettingsFields; ++i)
      if (std::string(kGameSettingsKeys[i]) == c.key) EXPECT_EQ(*GameSettingsField(g_gameSettings, i), c.after);
    for (int i = 1; i < kGameSettingsFields; ++i) {
      const int32_t value = *GameSettingsField(g_gameSettings, i);
      EXPECT_GE(value, ranges_[static_cast<size_t>(i - 1)].minimum) << kGameSettingsKeys[i];
      EXPECT_LE(value, ranges_[static_cast<size_t>(i - 1)].maximum) << kGameSettingsKeys[i];
    }
  }
}

TEST_F(QuickBattleDefaults, AFirstStartWritesTheFourteenKeysOfItsOwnSectionOnly) {
  std::remove(kFile);
  platform::FlushProfileCache();
  for (int i = 0; i < kGameSettingsFields; ++i) *GameSettingsField(g_gameSettings, i) = i * 3 + 1;
  SaveQuickBattleDefaults(QuickBattleSection::kSingle);
  platform::FlushProfileCache();
  EXPECT_EQ(platform::ReadProfileSectionNames(kFile), std::vector<std::string>{"DEFAULTS-SINGLE"});
  const std::vector<std::string> expectedKeys = {
      "mana",     "health", "magicItems",    "selectionTime", "lawTalisman", "neutralTalisman", "vraskTalisman",
      "gameTime", "lives",  "placesOfPower", "manaSprites",   "Artefacts",   "ControlLimit",    "regionIndex"};
  EXPECT_EQ(platform::ReadProfileKeyNames("DEFAULTS-SINGLE", kFile), expectedKeys);
  EXPECT_EQ(platform::ReadProfileString("DEFAULTS-SINGLE", "mana", "", kFile), "4");
  EXPECT_EQ(platform::ReadProfileString("DEFAULTS-SINGLE", "regionIndex", "", kFile), "1");
  EXPECT_EQ(platform::ReadProfileString("DEFAULTS-SINGLE", "ControlLimit", "", kFile), "40");
}

TEST_F(QuickBattleDefaults, TheTwoSectionsNeverShareValues) {
  WriteFile("[DEFAULTS-SINGLE]\nlives=2\nmana=100\n[DEFAULTS-MULTIPLAYER]\nlives=7\n");
  g_gameSettings.mana = 600;
  LoadQuickBattleDefaults(QuickBattleSection::kMultiplayer, ranges_.data());
  EXPECT_EQ(g_gameSettings.lives, 7);
  EXPECT_EQ(g_gameSettings.mana, 600);
  g_gameSettings.lives = 5;
  SaveQuickBattleDefaults(QuickBattleSection::kMultiplayer);
  platform::FlushProfileCache();
  EXPECT_EQ(platform::ReadProfileInt("DEFAULTS-SINGLE", "lives", 0, kFile), 2);
  EXPECT_EQ(platform::ReadProfileInt("DEFAULTS-MULTIPLAYER", "lives", 0, kFile), 5);
}

// The forge writes the file and the sliders from one table: nothing in it needs clamping.
TEST_F(QuickBattleDefaults, TheForgedSettingsLieInsideTheSlidersRanges) {
  for (QuickBattleSection section : {QuickBattleSection::kSingle, QuickBattleSection::kMultiplayer}) {
    const char* name = QuickBattleSectionName(section);
    g_gameSettings = CGameSettings{};
    LoadQuickBattleDefaults(section, ranges_.data());
    for (int i = 0; i < kGameSettingsFields; ++i) {
      const std::string raw = platform::ReadProfileString(name, kGameSettingsKeys[i], "", kFile);
      ASSERT_FALSE(raw.empty()) << name << " " << kGameSettingsKeys[i];
      EXPECT_EQ(*GameSettingsField(g_gameSettings, i), std::stoi(raw)) << name << " " << kGameSettingsKeys[i];
    }
    EXPECT_GE(g_gameSettings.regionIndex, 1);
    EXPECT_LE(g_gameSettings.regionIndex, CountMultiplayerRegions());
  }
}

TEST(SettingRanges, AreTakenFromTheSetUpScreensSliders) {
  CSliderBar sliders[kGameSettingsTuningFields];
  CSliderBar* pointers[kGameSettingsTuningFields];
  for (int i = 0; i < kGameSettingsTuningFields; ++i) {
    sliders[i].SetRange(100 + i, i);
    pointers[i] = &sliders[i];
  }
  pointers[4] = nullptr;  // a slider the screen lacks gives the empty range
  SettingRange ranges[kGameSettingsTuningFields];
  SettingRangesOf(pointers, ranges);
  EXPECT_EQ(ranges[0].minimum, 0);
  EXPECT_EQ(ranges[12].maximum, 112);
  EXPECT_EQ(ranges[4].minimum, 0);
  EXPECT_EQ(ranges[4].maximum, 0);
}
