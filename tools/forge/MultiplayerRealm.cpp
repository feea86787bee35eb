// realms\multiplayer\Multiplayer.cfg: the regions a quick or multiplayer battle is fought on.
// Each REGION<n> names its region (the text before the ';' is the name the map selection
// lists) and describes its battle map. Every map holds at least four places of power and
// four wizard sites, so that four wizards find room on it: the sections that carry them are
// placed at fixed squares, the rest is drawn from sections of open ground.
#include <string>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/RegionMaps.h"

namespace {

struct MultiplayerRegion {
  const char* name;
  forge::RegionMap map;
};

// Sections: 1 plain, 2 hills (a place of power, a wizard site), 3 lake, 4 hut, 5 cliff (a
// place of power), 9 castle (2 x 1: a place of power, two wizard sites), 10 keep (2 x 2: the
// same), 12 ford.
const MultiplayerRegion kRegions[] = {
    {"Moor Gate;  a hill pass into the moor, the smallest field",
     {3, 3, "(10,0,0,0)(2,0,2,0)(5,0,2,2)(2,0,0,2)", "(1,3)(3,2)(4,2)(12,2)", 4, "NORTHEAST"}},
    {"Castle Reach;  two strongholds facing across the heath",
     {4, 4, "(9,0,0,0)(10,0,2,2)(5,0,3,0)(2,0,0,3)", "(1,6)(3,3)(4,3)(12,3)(2,2)(5,2)", 6, "WEST"}},
    {"The Great Moor;  the widest battlefield",
     {5, 5, "(10,0,0,0)(10,0,3,3)(9,0,0,3)(2,0,4,0)(5,0,2,2)", "(1,8)(2,3)(3,4)(4,4)(5,2)(12,4)", 8, "SOUTH"}},
    {"Cliffs of Ash;  high ground between the lakes",
     {4, 3, "(9,0,0,0)(5,0,2,1)(2,0,1,2)(2,0,3,2)", "(1,5)(3,3)(4,2)(12,2)", 4, "EAST"}},
    {"Lakeside;  a long shore of hills",
     {3, 4, "(2,0,0,0)(5,0,2,0)(10,0,1,2)(2,0,0,3)", "(1,5)(3,3)(4,2)(12,2)", 4, "NORTHWEST"}},
};

FORGE_STEP(MultiplayerRealm) {
  forge::IniText ini;
  ini.Comment("The battlefields of quick and multiplayer battles");
  int n = 1;
  for (const MultiplayerRegion& region : kRegions) {
    ini.Section("REGION" + std::to_string(n++));
    ini.Key("name", region.name);
    forge::WriteRegionMapKeys(ini, region.map);
  }
  ctx.WriteText("realms\\multiplayer\\Multiplayer.cfg", ini.Text());
  // The region entry screen's names, one line per region: the name the map selection lists.
  std::string names;
  for (const MultiplayerRegion& region : kRegions) {
    const std::string full = region.name;
    names += full.substr(0, full.find(';')) + "\r\n";
  }
  ctx.WriteText("realms\\multiplayer\\regionNames.txt", names);
}

}  // namespace
