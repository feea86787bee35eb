#pragma once
// The forged spells: one row per spell number 0-103, written into cfg\spells.cfg. Spells 0-27
// summon (or, for the wizard types and the herald, only price) the creature type of the same
// number and take its alignment from the creature table; 93-102 are the creatures' missiles;
// numbers no rule starts cost nothing (a spell of cost 0 starts nothing). Several records
// double as tuning values of creature rules (the game's spell_tuning numbers).

#include <array>
#include <vector>

namespace forge {

inline constexpr int kSpells = 104;

// Fields named like a key of cfg\spells.cfg hold what that key is written with.
struct SpellRow {
  const char* TextName = "Unused";
  int Alignment = 1;  // kLaw, kNeutral or kVrask (CreatureTable.h)
  int ManaCost = 0;
  int Range = 0;
  int SpellStrength = 0;
  int Speed = 1;
  int LOFType = 0;  // 0 none, 1 straight cast, 2 throw cast, 3 particle
  int Damage = 0;
  int Duration = 0;
  int BalanceAmount = 0;
  bool DoMRCheck = false, DoITCheck = false, DoBRCheck = false;
  int Radius = 0;          // 0 small, 1 medium, 2 large
  int AllowedTargets = 0;  // the file's code 1-14; 0 writes no key
  int Data1 = 0;
  int SpellBoxSound = 701;
  double AI_Adjustment = 1.0;  // written with two decimals
  std::vector<int> MagicItemsNeeded;
  int NoRequired = 0;
  // The AI weights, in the file's key order (AI_FlyingCreature ... AI_Evaders).
  std::array<int, 18> ai{};
};

const std::array<SpellRow, kSpells>& SpellTable();

// The keys of the AI weights, in order.
inline constexpr const char* kSpellAiKeys[18] = {
    "AI_FlyingCreature", "AI_UndeadCreature", "AI_OtherCreature", "AI_OffensivePowerUp", "AI_DefensivePowerUp",
    "AI_Missile",        "AI_Area",           "AI_AntiMR",        "AI_AntiIntelligence", "AI_AntiUndead",
    "AI_AntiBravery",    "AI_AntiFlying",     "AI_Pestilence",    "AI_Guardian",         "AI_Totemoflife",
    "AI_Disenchant",     "AI_Restrictors",    "AI_Evaders"};

}  // namespace forge
