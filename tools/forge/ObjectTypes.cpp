// cfg\objects.cfg: the 123 world-object types. Each type gives its kind's four data words
// (Data1 the amount an item gives, Data2 a second amount, Data3 a third, Data4 its charges),
// who uses it, its look (an entry of the effect-animation table) and how often random
// artifacts are of it (the weights of kinds 0-96).
#include <string>

#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/ObjectLooks.h"

namespace {

using forge::effect_art::kObjectKinds;
using forge::effect_art::ObjectLookEntry;

struct ObjectRow {
  const char* name;
  int data1 = 0, data2 = 0, data3 = 0, charges = 1;
  const char* usedBy = "CREATURE";
  int weighting = 0;
};

// The Arcane Bolt, fired by the wand of kind 10.
constexpr int kWandSpell = 98;

ObjectRow RowOf(int kind) {
  if (kind >= 28 && kind <= 49) return {"Summoning Figurine", 0, 0, 0, 1, "CREATURE", 3};
  if (kind >= 53 && kind <= 56) return {"Scroll", kind - 52, 0, 0, 1, "CREATURE", 0};
  if (kind >= 62 && kind <= 84) return {"Bane", 40, 0, 0, 1, "CREATURE", 2};
  if (kind >= 85 && kind <= 96) return {"Gem", 0, 0, 0, 1, "CREATURE", 1};
  if (kind >= 97 && kind <= 121) return {"Magic Item", kind - 97, 0, 0, 1, "CREATURE", 0};
  switch (kind) {
    case 0:
      return {"Apple", 10, 0, 0, 1, "CREATURE", 30};
    case 1:
      return {"Loaf", 15, 0, 0, 1, "CREATURE", 25};
    case 2:
      return {"Leg of Meat", 20, 0, 0, 1, "CREATURE", 20};
    case 3:
      return {"Healing Potion", 30, 0, 0, 1, "CREATURE", 15};
    case 4:
      return {"Great Healing Potion", 50, 0, 0, 1, "CREATURE", 8};
    case 5:
      return {"Pouch", 0, 0, 0, 1, "NONE", 0};
    case 6:
      return {"Cheese", 12, 0, 0, 1, "CREATURE", 20};
    case 7:
      return {"Amulet of Warding", 300, 0, 0, 2, "CREATURE", 6};
    case 8:
      return {"Cloak of Shadows", 400, 0, 0, 2, "CREATURE", 6};
    case 9:
      return {"Crystal of Far Sight", 10, 0, 0, 3, "CREATURE", 6};
    case 10:
      // The wand looks for the nearest enemy within Data2 tiles it has a line of fire to and
      // throws itself there, hurting by Data2; it flies Data1 + 1 tiles at most, so it
      // reaches as far as it looks, a tile to spare.
      return {"Wand of Bolts", 10, 10, kWandSpell, 5, "CREATURE", 8};
    case 11:
      return {"Holy Symbol", 8, 200, 0, 2, "CREATURE", 5};
    case 12:
      return {"Bone of Summoning", 0, 0, 0, 1, "CREATURE", 5};
    case 13:
      return {"Horn of Recall", 0, 0, 0, 2, "CREATURE", 4};
    case 14:
      return {"Vial of Drought", 0, 0, 0, 1, "CREATURE", 3};
    case 15:
      return {"Gauntlet of Sight", 300, 0, 0, 2, "CREATURE", 4};
    case 16:
      return {"Iron Key", 0, 0, 0, 1, "CREATURE", 6};
    case 17:
      return {"Rune Stone", 300, 0, 0, 2, "CREATURE", 5};
    case 18:
      return {"Bomb", 0, 0, 0, 1, "CREATURE", 6};
    case 19:
      return {"Mana Sprite", 20, 0, 0, 1, "WIZARD", 0};
    case 20:
      return {"Vial of Flood", 0, 0, 0, 1, "CREATURE", 3};
    case 21:
      return {"Ring of Vigour", 300, 0, 0, 2, "CREATURE", 5};
    case 22:
      return {"Rod of Lightning", 8, 0, 0, 3, "CREATURE", 5};
    case 23:
      return {"Gold Coin", 0, 0, 0, 1, "CREATURE", 4};
    case 24:
      return {"Shield against Fire", 500, 0, 0, 2, "CREATURE", 5};
    case 25:
      return {"Trinket", 0, 0, 0, 1, "CREATURE", 0};
    case 26:
      return {"Boots of Speed", 400, 0, 0, 2, "CREATURE", 6};
    case 27:
      return {"Sceptre of Command", 6, 50, 0, 1, "CREATURE", 3};
    case 50:
      return {"Chest", 4, 0, 0, 1, "CREATURE", 0};
    case 51:
      return {"Silver Key", 0, 0, 0, 1, "CREATURE", 3};
    case 52:
      return {"Gold Key", 0, 0, 0, 1, "CREATURE", 3};
    case 57:
      return {"Stone", 0, 0, 0, 1, "CREATURE", 0};
    case 58:
      return {"Figurine of the Deep", 0, 0, 0, 1, "CREATURE", 2};
    case 59:
      return {"Feather", 0, 0, 0, 1, "CREATURE", 0};
    case 60:
      return {"Mason's Trowel", 100, 0, 0, 2, "CREATURE", 3};
    case 61:
      return {"Place of Power", 0, 0, 0, 1, "NONE", 0};
    case 122:
      return {"Message", 0, 0, 0, 1, "CREATURE", 0};
    default:
      return {"Trinket", 0, 0, 0, 1, "CREATURE", 0};
  }
}

FORGE_STEP(ObjectTypes) {
  forge::IniText ini;
  ini.Comment("The world-object types: their data words (Data4 the charges), who uses them, their look");
  ini.Comment("(an entry of cfg\\effectani.cfg) and their weight among random artifacts.");
  ini.Section("HEADER").Key("NumberOfObjects", kObjectKinds);
  for (int kind = 0; kind < kObjectKinds; ++kind) {
    const ObjectRow row = RowOf(kind);
    ini.Comment(std::to_string(kind) + ": " + row.name);
    ini.Section("OBJECT_" + std::to_string(kind))
        .Key("Data1", row.data1)
        .Key("Data2", row.data2)
        .Key("Data3", row.data3)
        .Key("Data4", row.charges)
        .Key("Occurance", 1)
        .Key("UsedBy", row.usedBy)
        .Key("AnimNum", ObjectLookEntry(kind))
        .Key("Weighting", kind <= 96 ? row.weighting : 0);
  }
  ctx.WriteText("cfg\\objects.cfg", ini.Text());
}

}  // namespace
