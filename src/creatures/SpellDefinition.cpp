// LoadSpells: the reader of cfg\spells.cfg.
#include "creatures/SpellDefinition.h"

#include <algorithm>
#include <cfloat>
#include <cstring>
#include <string>

#include "creatures/GameDataText.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

CSpellDefinition g_spellDefs[kSpellCount];
int g_maxSpellCost = 0;
int g_maxSpellRange = 0;

namespace {

using game_data::CutAt;
using game_data::LeadingIntIn;

// The masks of the AllowedTargets codes 1-14.
constexpr uint8_t kTargetMasks[15] = {0, 1, 2, 4, 8, 12, 14, 13, 10, 5, 9, 11, 15, 32, 44};

// The 18 AI weights, in the order the file names them.
struct AiKey {
  const char* key;
  int32_t CSpellDefinition::*field;
};
constexpr AiKey kAiKeys[18] = {
    {"AI_FlyingCreature", &CSpellDefinition::AI_FlyingCreature},
    {"AI_UndeadCreature", &CSpellDefinition::AI_UndeadCreature},
    {"AI_OtherCreature", &CSpellDefinition::AI_OtherCreature},
    {"AI_OffensivePowerUp", &CSpellDefinition::AI_OffensivePowerUp},
    {"AI_DefensivePowerUp", &CSpellDefinition::AI_DefensivePowerUp},
    {"AI_Missile", &CSpellDefinition::AI_Missile},
    {"AI_Area", &CSpellDefinition::AI_Area},
    {"AI_AntiMR", &CSpellDefinition::AI_AntiMR},
    {"AI_AntiIntelligence", &CSpellDefinition::AI_AntiIntelligence},
    {"AI_AntiUndead", &CSpellDefinition::AI_AntiUndead},
    {"AI_AntiBravery", &CSpellDefinition::AI_AntiBravery},
    {"AI_AntiFlying", &CSpellDefinition::AI_AntiFlying},
    {"AI_Pestilence", &CSpellDefinition::AI_Pestilence},
    {"AI_Guardian", &CSpellDefinition::AI_Guardian},
    {"AI_Totemoflife", &CSpellDefinition::AI_Totemoflife},
    {"AI_Disenchant", &CSpellDefinition::AI_Disenchant},
    {"AI_Restrictors", &CSpellDefinition::AI_Restrictors},
    {"AI_Evaders", &CSpellDefinition::AI_Evaders},
};

// The index of the word in the list that equals the value (whole, without regard to case),
// or -1.
template <size_t N>
int WordIndex(std::string_view value, const char* const (&words)[N]) {
  for (size_t i = 0; i < N; ++i)
    if (platform::EqualNoCase(value, words[i])) return static_cast<int>(i);
  return -1;
}

// A weight at the start of the text: 0 for none, for one not above 0 and for one that is no
// finite number; held within the float range.
float LeadingFloat(const std::string& text) {
  const double value = platform::TextToReal(text);
  if (!(value > 0)) return 0.0f;
  return value > FLT_MAX ? FLT_MAX : static_cast<float>(value);
}

class SpellReader : public game_data::SectionReader {
 public:
  SpellReader(const std::string& path, int number, CSpellDefinition& spell)
      : SectionReader(path, "SPELL_" + std::to_string(number)), spell_(spell) {}

  void Read() {
    ReadInt("Range", spell_.Range, 0, 100);
    g_maxSpellRange = std::max(g_maxSpellRange, spell_.Range);
    spell_.RangeUnits = spell_.Range * 32;
    ReadInt("ManaCost", spell_.ManaCost, 0, 300);
    g_maxSpellCost = std::max(g_maxSpellCost, spell_.ManaCost);
    ReadInt("SpellStrength", spell_.SpellStrength, 0, 500);
    if (Has("MagicItemsNeeded")) ReadMagicItems();
    ReadInt("NoRequired", spell_.NoRequired, 0, 3);
    if (Has("TextName")) std::strncpy(spell_.TextName, Value().c_str(), sizeof spell_.TextName - 1);
    if (Has("AllowedTargets")) spell_.AllowedTargets |= AllowedTargetsMask(LeadingIntIn(Value(), 1, 44));
    ReadInt("Speed", spell_.Speed, 1, 32);
    if (Has("LOFType")) ReadLineOfFire();
    ReadInt("Damage", spell_.Damage, 0, 255);
    ReadInt("Duration", spell_.Duration, 0, 20000);
    static const char* const kAlignments[] = {"LAW", "NEUTRAL", "VRASK"};
    ReadWord("Alignment", spell_.Alignment, kAlignments);
    ReadInt("BalanceAmount", spell_.BalanceAmount, 0, 100);
    ReadFlag("DoMRCheck", spell_.DoMRCheck);
    ReadFlag("DoITCheck", spell_.DoITCheck);
    ReadFlag("DoBRCheck", spell_.DoBRCheck);
    static const char* const kRadii[] = {"SMALL", "MEDIUM", "LARGE"};
    ReadWord("Radius", spell_.Radius, kRadii);
    if (Has("AI_Adjustment", "1")) spell_.AI_Adjustment = LeadingFloat(Value());
    ReadInt("Data1", spell_.Data1, 0, 9999);
    ReadInt("SpellBoxSound", spell_.SpellBoxSound, 1, 9999, "9999");
    for (const AiKey& ai : kAiKeys) {
      if (Has(ai.key, "0")) {
        const int weight = platform::TextToInt(Value());
        spell_.*ai.field = weight < 1 ? 0 : weight;
      }
    }
  }

 private:
  template <size_t N>
  void ReadWord(const char* key, int32_t& field, const char* const (&words)[N]) {
    if (!Has(key)) return;
    const int index = WordIndex(Value(), words);
    if (index >= 0) field = index;
  }
  void ReadLineOfFire() {
    static const char* const kLines[] = {"LOF_NONE", "LOF_STRAIGHTCAST", "LOF_THROWCAST", "LOF_PARTICLE"};
    const int index = WordIndex(CutAt(CutAt(Value(), ';'), ' '), kLines);
    if (index >= 0) spell_.LOFType = index;
  }
  // A record holds 15 item numbers: a longer list keeps its first 15.
  void ReadMagicItems() {
    const std::vector<int> items = game_data::IntList(Value(), ",");
    int count = 0;
    for (int item : items) {
      if (count == kMagicItemsNeededMax) break;
      spell_.MagicItemsNeeded[count++] = item;
    }
    spell_.MagicItemCount = count;
  }

  CSpellDefinition& spell_;
};

}  // namespace

uint8_t AllowedTargetsMask(int code) { return code >= 1 && code <= 14 ? kTargetMasks[code] : 0; }

int LoadSpells(const char* fileName, CSpellDefinition* table) {
  for (int n = 0; n < kSpellCount; ++n) table[n] = CSpellDefinition{};
  g_maxSpellCost = 0;
  g_maxSpellRange = 0;
  const std::string path = game_data::PathOf(fileName);
  if (!platform::FileExists(path)) return 0;
  for (int n = 0; n < kSpellCount; ++n) SpellReader(path, n, table[n]).Read();
  return 1;
}
