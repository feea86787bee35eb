// The map configuration of the forged realm: one "Region<n>" section per region, naming the
// sections its battle map is made of, its size in grid squares and its settings.
#include <iterator>
#include <string>
#include <vector>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/MapData.h"
#include "forge/RegionMaps.h"

namespace {

using forge::RegionMap;

const RegionMap kRegions[] = {
    {3, 3, "", "(1,4)(2,2)(3,2)(4,1)(5,1)(12,1)", 3, "NORTHEAST"},
    {4, 4, "(9,0,1,1)", "(1,6)(2,3)(3,2)(4,2)(5,2)(12,2)", 4, "WEST"},
    {5, 5, "(10,1,0,0)", "(1,8)(2,4)(3,3)(4,3)(5,2)(12,3)(9,1)", 6, "SOUTH"},
    {5, 3, "", "(1,6)(2,3)(6,4)(7,4)(8,4)(3,2)", 4, "EAST"},
    {3, 4, "", "(1,5)(6,3)(8,3)(12,2)(4,2)", 3, "NORTHWEST"},
    {4, 3, "", "(1,6)(2,2)(7,3)(8,3)(12,2)(5,1)", 4, "SOUTHWEST"},
    {4, 4, "", "(1,7)(2,3)(3,2)(6,3)(9,1)(12,2)", 4, "NORTH"},
    {5, 4, "", "(1,8)(2,4)(4,3)(5,2)(7,3)(12,2)", 5, "EAST"},
};

// The armies of a campaign region, in record order: the wanderers, the player's army (named
// after the player's wizard) and the enemy wizards, two of them allied in every other region.
void WriteArmies(forge::IniText& ini, int region) {
  const std::vector<std::string> names = forge::RegionArmyNames(region);
  const size_t count = names.size();
  for (size_t n = 0; n < count; ++n) {
    std::string entry = names[n] + ", " + std::to_string(n);
    for (size_t other = 0; other < count; ++other) entry += other == n ? ", x" : (n >= 2 && other >= 2) ? ", f" : ", e";
    ini.Key("Army_" + std::to_string(n), entry);
  }
}

FORGE_STEP(RealmMapConfiguration) {
  forge::IniText ini;
  ini.Comment("Battle maps of the realm's regions");
  int region = 0;
  for (const RegionMap& map : kRegions) {
    ini.Section("Region" + std::to_string(region));
    forge::WriteRegionMapKeys(ini, map);
    WriteArmies(ini, region);
    ++region;
  }
  ctx.WriteText("realms\\moorland\\moorland.cfg", ini.Text());
}

}  // namespace

namespace forge {

int RegionCount() { return static_cast<int>(std::size(kRegions)); }

std::vector<std::string> RegionArmyNames(int region) {
  static const char* const kEnemies[] = {"Morvane", "Cadoc", "Ysbail", "Gwyndor", "Tarran", "Breccan"};
  // The first enemy of a campaign region is the wizard who owns it on the realm view.
  static const char* const kOwners[] = {"Morvane", "Ysbail", "Cadoc",   "Morvane",
                                        "Morvane", "Tarran", "Gwyndor", "Gwyndor"};
  std::vector<std::string> names = {"WANDERING", "Edric", kOwners[region % 8]};
  if (region % 2 == 0 && region > 0) names.push_back(kEnemies[(2 * region + 1) % 6]);
  return names;
}

void WriteRegionMapKeys(IniText& ini, const RegionMap& map) {
  ini.Key("SectionPreFix", "SEC")
      .Key("MapSize", std::to_string(map.sizeX) + "," + std::to_string(map.sizeY))
      .Key("MaxWaterLevel", 5)
      .Key("MinWaterLevel", 1)
      .Key("WaterLevel", 3)
      // The tint under the water, each channel's gain: the moorland's deep pools are a darker
      // blue than clear water (-0.4, -0.1, 0.7).
      .Key("RedFactor", -0.5, 2)
      .Key("GreenFactor", -0.25, 2)
      .Key("BlueFactor", 0.55, 2)
      .Key("MaxRegionofPower", map.regionsOfPower)
      .Key("MaxManaSprites", 4)
      .Key("ManaSpriteRegenRate", 3000)
      .Key("NumFlagLevels", 2)
      .Key("StartLevel", 4)
      .Key("WindDirection", map.wind)
      .Key("AvLandHeight", 3);
  if (*map.specific) ini.Key("Specific", map.specific);
  ini.Key("Random", map.random).Key("Path", kSectionFolder);
  for (int type = 0; type < 28; ++type) ini.Key("CreatureDeployOffset_" + std::to_string(type), (type % 5) - 2);
}

}  // namespace forge
