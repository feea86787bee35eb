// The magic items' files: cfg\MItems.cfg (each item's Law, Neutral and Vrask spell, and the
// selection weights of items 0-20), cfg\Mitt.cfg (the items' titles) and
// "cfg\Spell Summaries.cfg" (a line on every spell). Items are made from the forged spells of
// 0-91: cheap spells on the first items, dearer ones later, so that a wizard of little mana
// is still dealt some.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/SpellTable.h"

namespace {

using forge::kSpells;

constexpr int kItems = 25;
constexpr int kWeighted = 21;
constexpr int kLastItemSpell = 91;

// The spells that price the wizards and the herald summon nothing an item could give.
bool IsWizardSpell(int spell) { return spell == 0 || (spell >= 24 && spell <= 27); }

// The spells of an alignment that an item can carry (a price and a name), cheapest first.
std::vector<int> SpellsOf(int alignment) {
  const auto& table = forge::SpellTable();
  std::vector<int> spells;
  for (int n = 0; n <= kLastItemSpell; ++n) {
    if (IsWizardSpell(n)) continue;
    const forge::SpellRow& row = table[static_cast<size_t>(n)];
    if (row.Alignment == alignment && row.ManaCost > 0 && std::string(row.TextName) != "Unused") spells.push_back(n);
  }
  std::stable_sort(spells.begin(), spells.end(), [&](int a, int b) {
    return table[static_cast<size_t>(a)].ManaCost < table[static_cast<size_t>(b)].ManaCost;
  });
  return spells;
}

// The item's spell of a list: items walk the list from its cheap end, each a step further.
int Pick(const std::vector<int>& spells, int item, int stride) {
  if (spells.empty()) return 0;
  return spells[static_cast<size_t>((item * stride) % static_cast<int>(spells.size()))];
}

// Titles: the object (as its picture shows it), its metal and its gem.
std::string Title(int item) {
  static const char* const objects[7] = {"Amulet", "Ring", "Wand", "Orb", "Chalice", "Scroll", "Crown"};
  static const char* const gems[7] = {"Rubies", "Sapphires", "Emeralds", "Amethysts", "Topaz", "Pearls", "Embers"};
  static const char* const metals[3] = {"Golden", "Silver", "Bronze"};
  return std::string(metals[(item / 7) % 3]) + " " + objects[item % 7] + " of " + gems[item % 7];
}

std::string Summary(int spell) {
  const forge::SpellRow& row = forge::SpellTable()[static_cast<size_t>(spell)];
  static const char* const alignments[3] = {"Law", "Neutral", "Vrask"};
  const std::string name = row.TextName;
  const char* alignment = alignments[std::clamp(row.Alignment, 0, 2)];
  if (name == "Unused") return "No spell.";
  std::string text = name + ": a spell of " + alignment + ", " + std::to_string(row.ManaCost) + " mana";
  if (row.Range > 0) text += ", reaching " + std::to_string(row.Range) + " tiles";
  if (spell < forge::kCreatureTypes && !IsWizardSpell(spell) && name.rfind("Summon", 0) == 0)
    text += ". It calls the creature to serve you";
  return text + ".";
}

FORGE_STEP(MagicItemFiles) {
  const std::vector<int> law = SpellsOf(forge::kLaw), neutral = SpellsOf(forge::kNeutral),
                         vrask = SpellsOf(forge::kVrask);
  forge::IniText items;
  items.Comment("The magic items: a spell of each alignment, and how often items 0-20 are dealt.");
  for (int item = 0; item < kItems; ++item) {
    items.Section("ITEM_" + std::to_string(item))
        .Key("LawSpell", Pick(law, item, 1))
        .Key("NeutralSpell", Pick(neutral, item, 2))
        .Key("VraskSpell", Pick(vrask, item, 3));
    if (item < kWeighted) items.Key("SelectionWeight", 40 - item);
  }
  ctx.WriteText("cfg\\MItems.cfg", items.Text());

  forge::IniText titles;
  titles.Section("STRINGS");
  char key[16];
  for (int item = 0; item < kItems; ++item) {
    std::snprintf(key, sizeof key, "STR_%02d", item);
    titles.Key(key, Title(item));
  }
  ctx.WriteText("cfg\\Mitt.cfg", titles.Text());

  forge::IniText summaries;
  summaries.Section("STRINGS");
  for (int spell = 0; spell < kSpells; ++spell) {
    std::snprintf(key, sizeof key, "STR_%02d", spell);
    summaries.Key(key, Summary(spell));
  }
  ctx.WriteText("cfg\\Spell Summaries.cfg", summaries.Text());
}

}  // namespace
