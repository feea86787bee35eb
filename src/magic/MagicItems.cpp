// The magic item table's reader and the weighted deal.
#include "magic/MagicItems.h"

#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Random.h"
#include "creatures/GameDataText.h"
#include "creatures/SpellDefinition.h"
#include "platform/Files.h"
#include "platform/Numbers.h"

CMagicItems g_magicItems;
bool g_magicItemsFirstLoad = true;

namespace {

constexpr const char* kSpellKeys[3] = {"LawSpell", "NeutralSpell", "VraskSpell"};
constexpr const char* kItemsFile = "cfg\\MItems.cfg";
constexpr const char* kWeightsFile = "cfg/mitems.cfg";

int StoredSpell(int value) { return value >= 0 && value <= kMagicItemSpellLimit ? value : kMagicItemNoSpell; }

// The weights of items 0-20: below 1 (or missing) 0, above 99 100. False without the file.
bool ReadWeights(std::vector<int>& weights) {
  const std::string path = game_data::PathOf(kWeightsFile);
  if (!platform::FileExists(path)) return false;
  weights.clear();
  for (int item = 0; item < kDealtMagicItems; ++item) {
    const std::string value = game_data::ReadKey(path, "ITEM_" + std::to_string(item), "SelectionWeight");
    weights.push_back(value.empty() ? 0 : game_data::LeadingIntIn(value, 0, 100));
  }
  return true;
}

bool Affordable(const CMagicItems& table, int item, int manaLimit) {
  for (int alignment = 0; alignment < 3; ++alignment) {
    const int spell = table.spells[item][alignment];
    if (spell < 0 || spell >= kSpellCount || g_spellDefs[spell].ManaCost > manaLimit) return false;
  }
  return true;
}

}  // namespace

int CMagicItems::ReadSpellLists(const char* fileName, CMagicItems& table) {
  const std::string path = game_data::PathOf(fileName);
  for (int item = 0; item < kMagicItemRows; ++item) {
    const std::string section = "ITEM_" + std::to_string(item);
    for (int alignment = 0; alignment < 3; ++alignment) {
      const std::string value = game_data::ReadKey(path, section, kSpellKeys[alignment]);
      if (!value.empty()) table.spells[item][alignment] = StoredSpell(platform::TextToInt(value));
    }
  }
  return 1;
}

void LoadMagicItems(int32_t& count, uint8_t items[kDealtMagicItems], int32_t manaLimit) {
  count = count < 1 ? 0 : count > 20 ? kDealtMagicItems : count;
  std::vector<int> weights;
  if (!ReadWeights(weights)) {
    count = 0;
    return;
  }
  if (g_magicItemsFirstLoad) {
    if (!CMagicItems::ReadSpellLists(kItemsFile, g_magicItems)) ShowFileLoadError(kItemsFile);
    g_magicItemsFirstLoad = false;
  }
  std::vector<int> candidates;
  uint32_t sum = 0;
  for (int item = 0; item < kDealtMagicItems; ++item) {
    if (weights[static_cast<size_t>(item)] <= 0 || !Affordable(g_magicItems, item, manaLimit)) continue;
    candidates.push_back(item);
    sum += static_cast<uint32_t>(weights[static_cast<size_t>(item)]);
  }
  for (int dealt = 0; dealt < count; ++dealt) {
    if (candidates.empty()) {
      count = dealt;
      return;
    }
    const uint32_t r = (g_random.Next() & 0x7FFFFFFF) % sum;
    uint32_t running = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
      running += static_cast<uint32_t>(weights[static_cast<size_t>(candidates[i])]);
      if (r >= running) continue;
      items[dealt] = static_cast<uint8_t>(candidates[i]);
      sum -= static_cast<uint32_t>(weights[static_cast<size_t>(candidates[i])]);
      candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
}
