// The tooltip texts: cfg\tooltips.cfg for the front end's controls and cfg\battletooltip.cfg
// for the battle's. The battle's numbers are fixed by what shows them: 0-4 the battle's own
// controls, a spell s at s + 5 (spells 93-103 at 400 + s - 93), an item of object kind k at
// k + 98, the spot icons at the creature type + 182 (under attack), + 206 (in sight) and
// + 230 (arrived), 254 the battle buttons. A table ends at its first missing number, so every
// number up to the last has a text.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/SpellTable.h"

namespace forge {

namespace {

std::string Key(size_t n) {
  char key[32];  // room for any size_t
  std::snprintf(key, sizeof key, "STR_%02zu", n);
  return key;
}

std::string WriteTable(const std::string& comment, const std::vector<std::string>& texts) {
  IniText ini;
  ini.Comment(comment);
  ini.Section("STRINGS");
  for (size_t i = 0; i < texts.size(); ++i) ini.Key(Key(i), texts[i]);
  return ini.Text();
}

std::string CreatureName(int type) {
  const char* name = type >= 0 && type < kCreatureTypes ? CreatureTable()[static_cast<size_t>(type)].displayName : "";
  return name && name[0] ? name : "Wizard";
}

// What the player sees an item as, by its object kind (as its icon shows it).
std::string ItemName(int kind) {
  if (kind >= 28 && kind <= 49) return "Figurine of the " + CreatureName(kind - 27);
  if (kind == 58) return "Figurine of the " + CreatureName(23);
  if (kind >= 62 && kind <= 84) return "Bane of the " + CreatureName(kind - 61);
  if (kind >= 53 && kind <= 56) return "Scroll of lore";
  if (kind >= 85) return "Gem of power";
  static const std::array<const char*, 28> kNames = {"Apple",
                                                     "Loaf of bread",
                                                     "Leg of meat",
                                                     "Healing draught",
                                                     "Greater healing draught",
                                                     "Pouch of herbs",
                                                     "Wedge of cheese",
                                                     "Amulet",
                                                     "Cloak of shadows",
                                                     "Crystal ball",
                                                     "Star wand",
                                                     "Holy symbol",
                                                     "Bone",
                                                     "Horn of calling",
                                                     "Vial of drought",
                                                     "Gauntlet",
                                                     "Iron key",
                                                     "Rune stone",
                                                     "Bomb",
                                                     "Crystal of mana",
                                                     "Vial of flood",
                                                     "Ring of warding",
                                                     "Rod of lightning",
                                                     "Gold coin",
                                                     "Shield of fire warding",
                                                     "Pouch",
                                                     "Boots of speed",
                                                     "Sceptre"};
  if (kind >= 0 && kind < static_cast<int>(kNames.size())) return kNames[static_cast<size_t>(kind)];
  switch (kind) {
    case 50:
      return "Chest";
    case 51:
      return "Silver key";
    case 52:
      return "Gold key";
    case 57:
      return "Stone";
    case 59:
      return "Feather";
    case 60:
      return "Builder's trowel";
    case 61:
      return "Fountain of mana";
    default:
      return "Pouch";
  }
}

std::string SpellText(int spell) {
  const SpellRow& row = SpellTable()[static_cast<size_t>(spell)];
  const std::string name = row.TextName && std::string(row.TextName) != "Unused" ? row.TextName : "Unknown spell";
  return name + " (" + std::to_string(row.ManaCost) + " mana)";
}

std::vector<std::string> BattleTexts() {
  std::vector<std::string> texts(411);
  const char* controls[5] = {"Spells and items", "Close the strip", "Previous page", "Next page", "Talk to the others"};
  for (int i = 0; i < 5; ++i) texts[static_cast<size_t>(i)] = controls[i];
  for (int s = 0; s < 93; ++s) texts[static_cast<size_t>(s + 5)] = SpellText(s);
  for (int id = 98; id < 182; ++id) texts[static_cast<size_t>(id)] = ItemName(id - 98);
  for (int t = 0; t < 24; ++t) {
    texts[static_cast<size_t>(182 + t)] = CreatureName(t) + " under attack";
    texts[static_cast<size_t>(206 + t)] = CreatureName(t) + " in sight";
    texts[static_cast<size_t>(230 + t)] = CreatureName(t) + " has arrived";
  }
  texts[254] = "Change the level you see";
  for (int id = 255; id < 400; ++id) texts[static_cast<size_t>(id)] = "Battle";
  for (int s = 93; s < kSpells; ++s) texts[static_cast<size_t>(400 + s - 93)] = SpellText(s);
  return texts;
}

std::vector<std::string> FrontEndTexts() {
  return {"Begin a new campaign",   "Load a saved game",
          "Fight a single battle",  "Play over the network",
          "Change the options",     "Leave the game",
          "Accept and go on",       "Go back",
          "Raise this figure",      "Lower this figure",
          "Your wizard's portrait", "Start the battle",
          "Choose a map",           "Choose the number of foes",
          "Sound volume",           "Music volume"};
}

}  // namespace

FORGE_STEP(TooltipTexts) {
  ctx.WriteText("cfg\\tooltips.cfg", WriteTable("Tooltips of the front end's controls", FrontEndTexts()));
  ctx.WriteText(
      "cfg\\battletooltip.cfg",
      WriteTable("Tooltips of the battle: its controls, spells, items, spot icons and buttons", BattleTexts()));
}

}  // namespace forge
