#pragma once
// The numbering of the computer player's situation measures, 1-129, and the key of each in
// section EMPIRICAL_DECISION_DATA of cfg\ai.cfg. Header only: the data forge writes the file
// from the same table the game reads it by.
//
// Own-group measures (OG_) run 1-57, their enemy-group twins (EG_) 58-111 (own id + 57; the
// last three own measures have no twin), wizard measures (WA_) 112-123 and spell-cast
// values (SC_) 124-129.

#include <string>
#include <string_view>

inline constexpr const char* kAIDecisionSection = "EMPIRICAL_DECISION_DATA";
inline constexpr int kAIMeasureCount = 130;  // slots 0-129; slot 0 names nothing
inline constexpr int kAIFirstEnemyMeasure = 58;
inline constexpr int kAIEnemyMeasureOffset = 57;
inline constexpr int kAIComputedMeasureLast = 123;  // ids above this are no situation measure

// The measure ids the rules name.
namespace ai_measure {
inline constexpr int kNCreatures = 1;
inline constexpr int kAverageHealth = 2;
inline constexpr int kAverageMaxSpeed = 3;
inline constexpr int kGeneralHth = 4;
inline constexpr int kGeneralLrc = 5;
inline constexpr int kSpecificHth = 6;
inline constexpr int kSpecificLrc = 7;
inline constexpr int kAverageMagicResistance = 8;
inline constexpr int kMana = 9;
inline constexpr int kMaxMana = 10;
inline constexpr int kManaIncome = 11;
inline constexpr int kManaGain = 12;
inline constexpr int kAverageIntelligence = 13;
inline constexpr int kAverageHthDuration = 14;
inline constexpr int kAverageLrcDuration = 15;
inline constexpr int kNUndead = 16;
inline constexpr int kAntiUndeadStrength = 17;
inline constexpr int kNFliers = 18;
inline constexpr int kNSwimmers = 19;
inline constexpr int kNWizards = 20;
inline constexpr int kNExploders = 21;
inline constexpr int kSpellPowerAgainstMr = 22;
inline constexpr int kSpellPowerAgainstIt = 23;
inline constexpr int kInvisibility = 24;
inline constexpr int kDamageRate = 25;
inline constexpr int kSpread = 26;
inline constexpr int kAverageBravery = 27;
inline constexpr int kGeneralCombat = 28;
inline constexpr int kAntiUndead = 29;
inline constexpr int kRangedCombat = 30;
inline constexpr int kDefence = 31;
inline constexpr int kPercentFliers = 32;
inline constexpr int kPercentUndead = 33;
inline constexpr int kAverageFireVulnerability = 34;
inline constexpr int kPotentialMana = 35;
inline constexpr int kWizardInGroup = 36;
inline constexpr int kFirstSpellRating = 37;  // SP_FLYING_CREATURE
inline constexpr int kLastSpellRating = 54;   // SP_EVADER
inline constexpr int kAverageDanger = 55;
inline constexpr int kNIllusions = 56;
inline constexpr int kPercentIllusions = 57;
inline constexpr int kLastOwnMeasure = 57;
inline constexpr int kLastEnemyMeasure = 111;
inline constexpr int kWaNCreatures = 112;
inline constexpr int kWaNScouts = 113;
inline constexpr int kWaNAttackers = 114;
inline constexpr int kWaNDefenders = 115;
inline constexpr int kWaAverageMr = 116;
inline constexpr int kWaMana = 117;
inline constexpr int kWaMaxMana = 118;
inline constexpr int kWaManaGain = 119;
inline constexpr int kWaAverageDanger = 120;
inline constexpr int kWaWizardDanger = 121;
inline constexpr int kWaWizardHealth = 122;
inline constexpr int kWaWizardMaxHealth = 123;
inline constexpr int kScManaRemaining = 124;
inline constexpr int kScManaDelay = 125;
inline constexpr int kScSpellCost = 126;
inline constexpr int kScRangeUsed = 127;
inline constexpr int kScDHealth = 128;
inline constexpr int kScChance = 129;
}  // namespace ai_measure

// The 54 suffixes shared by the own-group and enemy-group keys, in id order.
inline constexpr std::string_view kAIGroupMeasureSuffixes[54] = {
    "NCREATURES",
    "AVERAGE_HEALTH",
    "AVERAGE_MAXSPEED",
    "GENERAL_HTH_STRENGTH",
    "GENERAL_LRC_STRENGTH",
    "SPECIFIC_HTH_STRENGTH",
    "SPECIFIC_LRC_STRENGTH",
    "AVERAGE_MAGIC_RESISTANCE",
    "MANA",
    "MAXMANA",
    "MANA_INCOME",
    "MANA_GAIN",
    "AVERAGE_INTELLIGENCE",
    "AVERAGE_HTH_DURATION",
    "AVERAGE_LRC_DURATION",
    "NUNDEAD",
    "ANTI_UNDEAD_STRENGTH",
    "NFLIERS",
    "NSWIMMERS",
    "NWIZARDS",
    "NEXPLODERS",
    "SPELL_POWER_AGAINST_MR",
    "SPELL_POWER_AGAINST_IT",
    "INVISIBILITY",
    "DAMAGE_RATE",
    "SPREAD",
    "AVERAGE_BRAVERY",
    "GENERAL_COMBAT",
    "ANTI_UNDEAD",
    "RANGED_COMBAT",
    "DEFENCE",
    "PERCENT_FLIERS",
    "PERCENT_UNDEAD",
    "AVERAGE_FIRE_VULNERABILITY",
    "POTENTIAL_MANA",
    "WIZARD_IN_GROUP",
    "SP_FLYING_CREATURE",
    "SP_UNDEAD_CREATURE",
    "SP_OTHER_CREATURE",
    "SP_OFFENSIVE_POWER_UP",
    "SP_DEFENSIVE_POWER_UP",
    "SP_MISSILE",
    "SP_AREA",
    "SP_ANTI_MR",
    "SP_ANTI_INTELLIGENCE",
    "SP_ANTI_UNDEAD",
    "SP_ANTI_BRAVERY",
    "SP_ANTI_FLYING",
    "SP_PESTILENCE",
    "SP_GUARDIAN",
    "SP_TOTEM_OF_LIFE",
    "SP_DISENCHANT",
    "SP_RESTRICTOR",
    "SP_EVADER",
};

// The keys of ids 55-57 and 112-129.
inline constexpr std::string_view kAIOwnOnlyKeys[3] = {"OG_AVERAGE_DANGER", "OG_NILLUSIONS", "OG_PERCENT_ILLUSIONS"};
inline constexpr std::string_view kAIWizardAndCastKeys[18] = {
    "WA_NCREATURES",    "WA_NSCOUTS",          "WA_NATTACKERS",     "WA_NDEFENDERS",     "WA_AVERAGE_MR",
    "WA_MANA",          "WA_MAXMANA",          "WA_MANA_GAIN",      "WA_AVERAGE_DANGER", "WA_WIZARD_DANGER",
    "WA_WIZARD_HEALTH", "WA_WIZARD_MAXHEALTH", "SC_MANA_REMAINING", "SC_MANA_DELAY",     "SC_SPELL_COST",
    "SC_RANGE_USED",    "SC_DHEALTH",          "SC_CHANCE",
};

// The key of a measure id as prefix and suffix ("OG_", "NCREATURES"); an empty suffix for an
// id outside 1-129.
struct AIMeasureKey {
  std::string_view prefix;
  std::string_view suffix;
};

constexpr AIMeasureKey AIMeasureKeyOf(int id) {
  if (id >= 1 && id <= 54) return {"OG_", kAIGroupMeasureSuffixes[id - 1]};
  if (id >= 55 && id <= 57) return {"", kAIOwnOnlyKeys[id - 55]};
  if (id >= 58 && id <= 111) return {"EG_", kAIGroupMeasureSuffixes[id - 58]};
  if (id >= 112 && id <= 129) return {"", kAIWizardAndCastKeys[id - 112]};
  return {"", ""};
}

// The whole key of a measure id ("OG_NCREATURES"); empty outside 1-129.
inline std::string AIMeasureKeyName(int id) {
  const AIMeasureKey key = AIMeasureKeyOf(id);
  return std::string(key.prefix) + std::string(key.suffix);
}
