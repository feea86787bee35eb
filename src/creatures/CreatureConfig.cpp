// ReadCreatureConfig: the reader of cfg\creature.cfg and cfg\hth.cfg.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <utility>

#include "core/ErrorBox.h"
#include "creatures/CreatureType.h"
#include "creatures/GameDataText.h"
#include "creatures/SpellDefinition.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "sound/SoundCues.h"

namespace {

constexpr int kNoLimit = INT_MAX;
constexpr const char* kCreatureFile = "cfg\\creature.cfg";
constexpr const char* kHthFile = "cfg\\hth.cfg";
constexpr int32_t kDefaultBlood[4] = {255, 0, 0, 64};
// Eye and marker offsets are added to map and screen positions: a few tiles either way is
// more than any figure needs, and keeps every such sum far inside the int range.
constexpr int kOffsetLimit = 1024;
// Flying heights are levels above the ground, added to a level; no map is this tall.
constexpr int kLevelLimit = 1000;
// Distances, delays and experience thresholds are counts that later sums start from.
constexpr int kCountLimit = 1000000;
// The blood's red, green and blue, and the spread drawn around them, are colour levels.
constexpr int kColourLevels = 255;

void Raise(int32_t& maximum, int value) { maximum = std::max(maximum, value); }

// One rating matrix of cfg\hth.cfg: its section, its field and its range.
struct MatrixSection {
  const char* section;
  int32_t (CCreatureType::*field)[kCreatureTypes];
  int lo, hi;
};
constexpr MatrixSection kMatrices[8] = {
    {"HTH_Matrix", &CCreatureType::HTH_Matrix, 0, 1000},
    {"Stun_Matrix", &CCreatureType::Stun_Matrix, 0, 1000},
    {"LRC_Matrix", &CCreatureType::LRC_Matrix, 0, 2500},
    {"Taunt_Matrix", &CCreatureType::Taunt_Matrix, 0, 1000},
    {"Assist_Matrix", &CCreatureType::Assist_Matrix, 0, 1000},
    {"FearHate_Matrix", &CCreatureType::FearHate_Matrix, -1000, 1000},
    {"Evasion_Matrix", &CCreatureType::Evasion_Matrix, -1000, 1000},
    {"ResponsetoLRC_Matrix", &CCreatureType::ResponsetoLRC_Matrix, -1000, 1000},
};

class TypeReader : public game_data::SectionReader {
 public:
  TypeReader(const std::string& creaturePath, const std::string& hthPath, int number, CCreatureType& type)
      : SectionReader(creaturePath, "CREATURE_" + std::to_string(number)),
        hthPath_(hthPath),
        number_(number),
        type_(type) {}

  void Read() {
    type_.typeNumber = number_;
    type_.alignment = g_spellDefs[number_].Alignment;
    std::copy(std::begin(kDefaultBlood), std::end(kDefaultBlood), type_.BloodColour);
    ReadStats();
    type_.centreOffset = type_.TileSizeXY == 1 ? 16 : 32;
    type_.centreHeight = type_.TileHeight * 8;
    type_.rangedAttackSpell = RangedAttackSpellOfType(number_);
    ReadMatrices();
    ReadLooks();
    ReadWords();
    ReadLater();
  }

 private:
  // A list fills the values it gives, at most count of them, in order, each held within lo..hi.
  template <typename Store>
  void ReadList(const char* key, std::string_view separators, int count, int lo, int hi, Store store) {
    if (!Has(key)) return;
    const std::vector<int> values = game_data::IntList(Value(), separators, lo, hi);
    for (int i = 0; i < count && i < static_cast<int>(values.size()); ++i) store(i, values[static_cast<size_t>(i)]);
  }

  void ReadStats() {
    ReadInt("TileHeight", type_.TileHeight, 1, 5);
    if (Has("TileSizeXY")) type_.TileSizeXY = platform::TextToInt(Value()) < 2 ? 1 : 2;
    ReadInt("Acceleration", type_.Acceleration, 0, kNoLimit);
    ReadInt("Intelligence", type_.Intelligence, 1, 100);
    ReadFlag("IsUndead", type_.IsUndead);
    ReadFlag("IsPhysical", type_.IsPhysical);
    ReadInt("Health", type_.Health, 1, 500);
    ReadInt("Stamina", type_.Stamina, 1, 100);
    ReadInt("Defense", type_.Defense, 1, 100);
    ReadInt("MagicResist", type_.MagicResist, 1, 100);
    ReadInt("ImmuneSystem", type_.ImmuneSystem, 1, 100);
    ReadInt("FireRate", type_.FireRate, 0, 1000);
    ReadInt("FireRange", type_.FireRange, 0, 2000);
    ReadInt("ViewRange", type_.ViewRange, 0, 100);
    ReadFlag("CanFly", type_.CanFly);
    ReadInt("FlyingHeight", type_.FlyingHeight, 0, kLevelLimit);
    ReadInt("SwimmingAbility", type_.SwimmingAbility, INT_MIN, kNoLimit);
    Raise(g_typeMaxima.Health, type_.Health);
    Raise(g_typeMaxima.MagicResist, type_.MagicResist);
    Raise(g_typeMaxima.Intelligence, type_.Intelligence);
    Raise(g_typeMaxima.FireRange, type_.FireRange);
    Raise(g_typeMaxima.ViewRange, type_.ViewRange);
  }

  void ReadMatrices() {
    char key[16];
    std::snprintf(key, sizeof key, "Creat_%02d", number_);
    for (const MatrixSection& matrix : kMatrices) {
      const std::string value = game_data::ReadKey(hthPath_, matrix.section, key);
      const std::vector<int> values = game_data::IntList(value, ", \t", matrix.lo, matrix.hi);
      int32_t* row = type_.*matrix.field;
      for (size_t i = 0; i < values.size() && i < kCreatureTypes; ++i) row[i] = values[i];
    }
    for (int t = 0; t < kCreatureTypes; ++t) {
      Raise(g_typeMaxima.hth, type_.HTH_Matrix[t]);
      if (number_ != 8 && number_ != 20) Raise(g_typeMaxima.lrc, type_.LRC_Matrix[t]);
    }
  }

  void ReadLooks() {
    const std::pair<const char*, int32_t(*)[2]> markers[3] = {
        {"MarkerHoriz", type_.MarkerHoriz}, {"MarkerVert", type_.MarkerVert}, {"MarkerDiag", type_.MarkerDiag}};
    for (const auto& marker : markers) {
      int32_t(*set)[2] = marker.second;
      ReadList(marker.first, ",", 8, -kOffsetLimit, kOffsetLimit, [set](int i, int v) { set[i / 2][i % 2] = v; });
    }
    ReadList("LRCOffsets", ",", 24, -kOffsetLimit, kOffsetLimit,
             [this](int i, int v) { type_.LRCOffsets[i / 3][i % 3] = v; });
  }

  void ReadWords() {
    if (Has("ArtifactUse")) {
      for (const std::string& word : game_data::WordList(Value())) {
        if (platform::EqualNoCase(word, "NONE"))
          type_.artifactUse &= 0xF0;
        else
          type_.artifactUse |= ArtifactBit(word);
      }
    }
    if (Has("AI_CreatureCategory")) {
      type_.aiCategory = 0;
      for (const std::string& word : game_data::WordList(Value())) {
        if (platform::EqualNoCase(word, "SCOUT")) type_.aiCategory |= ai_category::kScout;
        if (platform::EqualNoCase(word, "ATTACKER")) type_.aiCategory |= ai_category::kAttacker;
        if (platform::EqualNoCase(word, "DEFENDER")) type_.aiCategory |= ai_category::kDefender;
      }
    }
  }
  static uint8_t ArtifactBit(const std::string& word) {
    if (platform::EqualNoCase(word, "COLLECT")) return artifact_use::kCollect;
    if (platform::EqualNoCase(word, "EAT")) return artifact_use::kEat;
    if (platform::EqualNoCase(word, "PICKUP")) return artifact_use::kPickUp;
    if (platform::EqualNoCase(word, "OPENCHEST")) return artifact_use::kOpenChest;
    return 0;
  }

  void ReadLater() {
    ReadInt("WanderDist", type_.WanderDist, 0, kCountLimit);
    ReadInt("WanderDelay", type_.WanderDelay, 0, kCountLimit);
    ReadInt("LordExperienceLevel", type_.LordExperienceLevel, 0, kCountLimit);
    ReadInt("KingExperienceLevel", type_.KingExperienceLevel, 0, kCountLimit);
    ReadList("BloodColour", ",", 4, 0, kColourLevels, [this](int i, int v) { type_.BloodColour[i] = v; });
    ReadInt("BurnTime", type_.BurnTime, 0, 1000);
    ReadInt("BurnDamage", type_.BurnDamage, 0, 1000);
    ReadInt("Weight", type_.Weight, 0, 1000);
    ReadInt("GroundSpeed", type_.GroundSpeed, 0, 1000);
    ReadInt("FlyingSpeed", type_.FlyingSpeed, 0, 1000);
    ReadInt("Bravery", type_.Bravery, 0, 1000);
    Raise(g_typeMaxima.Weight, type_.Weight);
    Raise(g_typeMaxima.GroundSpeed, type_.GroundSpeed);
    Raise(g_typeMaxima.FlyingSpeed, type_.FlyingSpeed);
    Raise(g_typeMaxima.Bravery, type_.Bravery);
  }

  const std::string& hthPath_;
  int number_;
  CCreatureType& type_;
};

}  // namespace

int ReadCreatureConfig(const char* creatureFile, const char* hthFile, CCreatureType* table) {
  for (int n = 0; n < kCreatureTypes; ++n) table[n] = CCreatureType{};
  g_typeMaxima = CTypeMaxima{};
  const std::string creaturePath = game_data::PathOf(creatureFile);
  const std::string hthPath = game_data::PathOf(hthFile);
  if (!platform::FileExists(creaturePath) || !platform::FileExists(hthPath)) return 0;
  for (int n = 0; n < kCreatureTypes; ++n) TypeReader(creaturePath, hthPath, n, table[n]).Read();
  return 1;
}

void LoadCreatureTypes() {
  if (!ReadCreatureConfig(kCreatureFile, kHthFile, g_creatureTypes)) {
    ShowFileLoadError(platform::FileExists(game_data::PathOf(kCreatureFile)) ? kHthFile : kCreatureFile);
    return;
  }
  // Footsteps are as loud as the types are heavy, from the lightest to the heaviest.
  static_assert(kCreatureTypes == kCreatureTypeCount);
  int32_t weights[kCreatureTypeCount];
  for (int n = 0; n < kCreatureTypes; ++n) weights[n] = g_creatureTypes[n].Weight;
  g_soundCues.ScanCreatureTypes(weights);
}
