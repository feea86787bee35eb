#include "frontend/QuickBattleDefaults.h"

#include <algorithm>
#include <cstdio>

#include "core/Options.h"
#include "frontend/MultiplayerRegions.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "ui/SliderBar.h"

namespace {

std::string SetupFilePath() {
  char path[512];
  MakeCurrentDirPath(kQuickBattleSetupFile, path, sizeof path);
  return path;
}

// The file's key order: the tuning fields, then the region.
int FileOrderField(int position) { return position + 1 < kGameSettingsFields ? position + 1 : 0; }

}  // namespace

const char* QuickBattleSectionName(QuickBattleSection section) {
  return section == QuickBattleSection::kSingle ? "DEFAULTS-SINGLE" : "DEFAULTS-MULTIPLAYER";
}

void SettingRangesOf(CSliderBar* const sliders[kGameSettingsTuningFields],
                     SettingRange ranges[kGameSettingsTuningFields]) {
  for (int i = 0; i < kGameSettingsTuningFields; ++i)
    ranges[i] = sliders[i] ? SettingRange{sliders[i]->minValue, sliders[i]->maxValue} : SettingRange{};
}

void LoadQuickBattleDefaults(QuickBattleSection section, const SettingRange ranges[kGameSettingsTuningFields]) {
  const std::string path = SetupFilePath();
  const char* sectionName = QuickBattleSectionName(section);
  for (int position = 0; position < kGameSettingsFields; ++position) {
    const int field = FileOrderField(position);
    char text[256];
    platform::ReadProfileString(sectionName, kGameSettingsKeys[field], "", text, sizeof text, path);
    if (text[0]) *GameSettingsField(g_gameSettings, field) = platform::TextToInt(text);
  }
  // Every tuning value lies in its slider's range, read or not: a missing file leaves none at
  // a value the slider could not show.
  for (int i = 0; i < kGameSettingsTuningFields; ++i) {
    int32_t& value = *GameSettingsField(g_gameSettings, i + 1);
    value = std::max(std::min(value, ranges[i].maximum), ranges[i].minimum);
  }
  int32_t& region = g_gameSettings.regionIndex;
  if (region < 1 || region > CountMultiplayerRegions()) region = 0;
}

void SaveQuickBattleDefaults(QuickBattleSection section) {
  const std::string path = SetupFilePath();
  const char* sectionName = QuickBattleSectionName(section);
  for (int position = 0; position < kGameSettingsFields; ++position) {
    const int field = FileOrderField(position);
    char text[16];
    std::snprintf(text, sizeof text, "%i", *GameSettingsField(g_gameSettings, field));
    platform::WriteProfileString(sectionName, kGameSettingsKeys[field], text, path);
  }
}
