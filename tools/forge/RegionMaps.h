#pragma once
// The keys of a region's battle map in a realm's map configuration: its size in grid squares,
// water and colour, places of power and mana sprites, the wind, the sections placed at fixed
// squares ("Specific": section, quarter turns, x, y) and those drawn at random ("Random":
// section, most copies), and the folder of the sections.

#include <string>
#include <vector>

#include "forge/IniText.h"

namespace forge {

struct RegionMap {
  int sizeX, sizeY;
  const char* specific;  // groups of section, rotation, x, y
  const char* random;    // pairs of section, most copies
  int regionsOfPower;
  const char* wind;
};

// Appends the region's map keys to the section being written.
void WriteRegionMapKeys(IniText& ini, const RegionMap& map);

// The forged realm's regions, and the names of a region's armies in record order: the
// wanderers, the player's army, then the enemy wizards' armies.
int RegionCount();
std::vector<std::string> RegionArmyNames(int region);

}  // namespace forge
