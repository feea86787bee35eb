#pragma once
// cfg\QuickBattleSetup.cfg: the game settings of the last quick battle and of the last
// multiplayer battle hosted here, one section each ("DEFAULTS-SINGLE", "DEFAULTS-MULTIPLAYER"),
// the fourteen fields of CGameSettings under their own names, as decimal integers.

#include "core/GameSettings.h"

class CSliderBar;

enum class QuickBattleSection { kSingle, kMultiplayer };

inline constexpr const char* kQuickBattleSetupFile = "cfg\\QuickBattleSetup.cfg";
const char* QuickBattleSectionName(QuickBattleSection section);

// The range of the slider that edits a tuning field.
struct SettingRange {
  int minimum = 0;
  int maximum = 0;
};

// The ranges of a set-up screen's thirteen setting sliders, in field order (mana first).
void SettingRangesOf(CSliderBar* const sliders[kGameSettingsTuningFields],
                     SettingRange ranges[kGameSettingsTuningFields]);

// Reads the section into g_gameSettings. A key that is present is read as a decimal integer
// (a sign and the leading digits, 0 without digits; beyond the int range it saturates); a
// missing or empty key keeps the field's value. Then every tuning field is clamped into its
// slider's range, and a regionIndex that names no region of the multiplayer realm becomes 0.
void LoadQuickBattleDefaults(QuickBattleSection section, const SettingRange ranges[kGameSettingsTuningFields]);
// Writes the fourteen fields of g_gameSettings into the section (mana first, regionIndex
// last). A failed write is not reported.
void SaveQuickBattleDefaults(QuickBattleSection section);
