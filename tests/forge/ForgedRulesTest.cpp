// What the forged data must hold for the game's rules to work on it: every chest placed on a
// forged section stands beside its world object with a lid above it, both flagged as a
// chest's; the computer player's formulas find no spell field of 0 to divide by; graves lie
// on the sections; every side's starting place has food within reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "forge/MapSections.h"
#include "forge/SpellTable.h"
#include "forge/TerrainTypes.h"

namespace {

constexpr int kObjectPlacement = 5, kChestObject = 50;
constexpr uint8_t kChestFlag = 0x10;

TEST(ForgedRules, EveryPlacedChestHasABodyAndALidToOpen) {
  const std::vector<forge::TerrainDef> types = forge::ForgedTerrainTypes();
  auto isChest = [&](int type) { return type != 0 && (types[static_cast<size_t>(type)].typeFlags & kChestFlag) != 0; };
  // The neighbours the chest rule looks at, in its order: north, west, south, east.
  constexpr int kSides[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
  int chests = 0;
  for (const forge::SectionFile& section : forge::ForgedSections()) {
    const forge::SectionCanvas& c = section.canvas;
    for (const forge::PlacementItem& item : c.placements) {
      if (item[3] != kObjectPlacement || item[4] != kChestObject) continue;
      SCOPED_TRACE(section.name);
      ++chests;
      const int x = item[0], y = item[1], level = item[2];
      bool found = false;
      for (const auto& side : kSides) {
        const int bx = x + side[0], by = y + side[1];
        if (!c.Inside(bx, by) || !isChest(c.At(bx, by, level).terrain)) continue;
        EXPECT_TRUE(isChest(c.At(bx, by, level + 1).terrain)) << "no lid over the chest's body";
        found = true;
        break;
      }
      EXPECT_TRUE(found) << "no chest body beside the chest at " << x << ", " << y;
      EXPECT_EQ(item[8], -1) << "the forged chests are open to any opener";
    }
  }
  EXPECT_GT(chests, 0);
}

// The computer player's formulas divide by these fields of these spells (spacing, reach,
// jumps, the casts a kill needs, a missile's travel time): none of them may be 0.
TEST(ForgedRules, NoSpellFieldTheComputerPlayerDividesByIsZero) {
  const std::array<forge::SpellRow, forge::kSpells>& spells = forge::SpellTable();
  struct Divisor {
    int spell;
    const char* field;
    int forge::SpellRow::*value;
  };
  const Divisor divisors[] = {
      {33, "Duration", &forge::SpellRow::Duration}, {33, "SpellStrength", &forge::SpellRow::SpellStrength},
      {38, "Damage", &forge::SpellRow::Damage},     {38, "Duration", &forge::SpellRow::Duration},
      {58, "Data1", &forge::SpellRow::Data1},       {71, "Damage", &forge::SpellRow::Damage},
      {74, "Duration", &forge::SpellRow::Duration}, {76, "Duration", &forge::SpellRow::Duration},
      {79, "Data1", &forge::SpellRow::Data1},       {79, "SpellStrength", &forge::SpellRow::SpellStrength},
      {81, "Damage", &forge::SpellRow::Damage},     {82, "Duration", &forge::SpellRow::Duration},
      {87, "Damage", &forge::SpellRow::Damage},     {87, "SpellStrength", &forge::SpellRow::SpellStrength},
  };
  for (const Divisor& d : divisors)
    EXPECT_NE(spells[static_cast<size_t>(d.spell)].*d.value, 0) << "spell " << d.spell << " " << d.field;
  // Every spell a wizard casts travels at some speed.
  for (int n = 0; n < 93; ++n)
    if (std::string(spells[static_cast<size_t>(n)].TextName) != "Unused")
      EXPECT_GE(spells[static_cast<size_t>(n)].Speed, 1) << spells[static_cast<size_t>(n)].TextName;
}

TEST(ForgedRules, MostSpellsWeighAsTheirOddsSayAndAFewLeanEachWay) {
  int plain = 0, favoured = 0, shunned = 0;
  for (const forge::SpellRow& row : forge::SpellTable()) {
    EXPECT_GT(row.AI_Adjustment, 0.0) << row.TextName;
    plain += row.AI_Adjustment == 1.0;
    favoured += row.AI_Adjustment > 1.0;
    shunned += row.AI_Adjustment < 1.0;
  }
  EXPECT_GT(plain, forge::kSpells / 2);
  EXPECT_GT(favoured, 0);
  EXPECT_GT(shunned, 0);
}

// Raise Dead calls the dead up from a grave, and the computer player looks for graves: a grave
// type carries flag 4, can be stood on, and lies on a forged section.
TEST(ForgedRules, GravesLieOnTheForgedSections) {
  constexpr uint8_t kGraveFlag = 0x04, kStandable = 0x08;
  const std::vector<forge::TerrainDef> types = forge::ForgedTerrainTypes();
  const forge::TerrainDef& grave = types[forge::terrain::kGrave];
  EXPECT_EQ(grave.typeFlags, kGraveFlag | kStandable);
  int graves = 0;
  for (const forge::SectionFile& section : forge::ForgedSections()) {
    const forge::SectionCanvas& c = section.canvas;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x)
        for (int level = 0; level < forge::kSectionLevels; ++level) {
          const int type = c.At(x, y, level).terrain;
          if (type == 0 || !(types[static_cast<size_t>(type)].typeFlags & kGraveFlag)) continue;
          ++graves;
          EXPECT_EQ(c.StandingLevel(x, y), level) << section.name << " " << x << ", " << y;
        }
  }
  EXPECT_GT(graves, 0);
}

// The computer player sends creatures to fetch food and potions (world objects of kinds 0-4
// and 6): every place a side starts from (the player's, an enemy's, a network player's site)
// has one placed for certain on firm ground a few steps off, on the same section, so that
// every map built from the sections offers one to each side.
TEST(ForgedRules, EverySideStartsWithFoodWithinReach) {
  constexpr int kSitePlacements[] = {1, 2, 3};
  constexpr int kReachSq = 6 * 6;
  const auto isFood = [](const forge::PlacementItem& item) {
    return item[3] == kObjectPlacement && ((item[4] >= 0 && item[4] <= 4) || item[4] == 6);
  };
  int sites = 0;
  for (const forge::SectionFile& section : forge::ForgedSections()) {
    const forge::SectionCanvas& c = section.canvas;
    for (const forge::PlacementItem& food : c.placements) {
      if (!isFood(food)) continue;
      EXPECT_EQ(food[5], 100) << section.name << ": food is placed for certain";
      EXPECT_EQ(c.StandingLevel(food[0], food[1]), food[2]) << section.name << " " << food[0] << ", " << food[1];
    }
    for (const forge::PlacementItem& site : c.placements) {
      if (std::find(std::begin(kSitePlacements), std::end(kSitePlacements), site[3]) == std::end(kSitePlacements))
        continue;
      ++sites;
      const bool fed = std::any_of(c.placements.begin(), c.placements.end(), [&](const forge::PlacementItem& food) {
        const int dx = food[0] - site[0], dy = food[1] - site[1];
        return isFood(food) && dx * dx + dy * dy <= kReachSq;
      });
      EXPECT_TRUE(fed) << section.name << ": no food near the site at " << site[0] << ", " << site[1];
    }
  }
  EXPECT_GT(sites, 0);
}

}  // namespace
