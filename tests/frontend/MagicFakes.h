#pragma once
// The wizard records' magic and the magic item table as the quick battle's screens use them,
// kept in the open for the tests: records 0-3 with their items, talismans and spell pools,
// and items 0-20 whose spell of alignment a is 3 x item + a.

#include <algorithm>
#include <vector>

#include "frontend/FrontEndMagic.h"
#include "frontend/FrontEndWizards.h"

namespace frontend_test {

struct MagicWizards : IFrontEndWizards {
  void AddItem(int record, int item) override { items[record].push_back(item); }
  void SetTalismans(int record, int law, int neutral, int vrask) override { talismans[record] = {law, neutral, vrask}; }
  int KnownItems(int record, int out[25]) override {
    const int n = std::min<int>(25, static_cast<int>(items[record].size()));
    std::copy_n(items[record].begin(), n, out);
    return n;
  }
  void Talismans(int record, int levels[3]) override {
    for (int a = 0; a < 3; ++a)
      levels[a] = talismans[record].size() == 3 ? talismans[record][static_cast<size_t>(a)] : 0;
  }
  int SpellPool(int record, int* spells, int max) override {
    const int n = std::min<int>(max, static_cast<int>(pool[record].size()));
    std::copy_n(pool[record].begin(), n, spells);
    return n;
  }
  void ClearSpellPool(int record) override { pool[record].clear(); }
  void AddSpellsToPool(int record, const int* spells, int count) override {
    pool[record].insert(pool[record].end(), spells, spells + count);
  }
  std::vector<int> items[4], pool[4], talismans[4];
};

// Items drawn 10, 11, ...; item i's spell of alignment a is 3i + a.
struct NumberedItems : IFrontEndMagic {
  void DrawItems(int32_t& count, uint8_t items[kMagicItemCount], int32_t) override {
    count = std::clamp<int32_t>(count, 0, kMagicItemCount);
    for (int i = 0; i < count; ++i) items[i] = static_cast<uint8_t>((10 + i) % kMagicItemCount);
  }
  int ItemSpell(int item, int alignment) override { return 3 * item + alignment; }
};

}  // namespace frontend_test
