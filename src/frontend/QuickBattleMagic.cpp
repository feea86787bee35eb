#include "frontend/QuickBattleMagic.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "frontend/FrontEndMagic.h"
#include "frontend/FrontEndWizards.h"

namespace {

constexpr int kKnownItems = 25;

// Swaps each position with a random one of the list; an empty list stays as it is.
template <class T>
void Shuffle(std::vector<T>& list, CRandom& random) {
  if (list.empty()) return;
  const uint32_t count = static_cast<uint32_t>(list.size());
  for (size_t j = 0; j < list.size(); ++j) std::swap(list[j], list[(random.Next() & 0x7fffffffu) % count]);
}

}  // namespace

int ItemsForHandicap(int items, int handicap) { return items - items * std::clamp(handicap, 0, kMaxHandicap) / 100; }

void ChooseOpponentSpells(int record, const CGameSettings& settings, CRandom& random) {
  int known[kKnownItems];
  std::fill(std::begin(known), std::end(known), -1);
  const int count = std::clamp(FrontEndWizards().KnownItems(record, known), 0, kKnownItems);
  std::vector<int> items;
  for (int j = 0; j < count && known[j] >= 0; ++j) items.push_back(known[j]);
  std::vector<int> talismans;
  for (const auto& [alignment, number] :
       {std::pair{int{kAlignLaw}, settings.lawTalisman}, std::pair{int{kAlignNeutral}, settings.neutralTalisman},
        std::pair{int{kAlignVrask}, settings.vraskTalisman}})
    for (int k = 0; k < number; ++k) talismans.push_back(alignment);
  Shuffle(items, random);
  Shuffle(talismans, random);
  std::vector<int> spells;
  const size_t n = std::min(items.size(), talismans.size());
  for (size_t j = 0; j < n; ++j) {
    const int spell = FrontEndMagic().ItemSpell(items[j], talismans[j]);
    if (spell >= 0) spells.push_back(spell);
  }
  if (!spells.empty()) FrontEndWizards().AddSpellsToPool(record, spells.data(), static_cast<int>(spells.size()));
}

void DealQuickBattleMagic(CGameSettings& settings, const CPlayerSlot slots[kPlayerSlotCount], CRandom& random) {
  uint8_t drawn[kMagicItemCount] = {};
  FrontEndMagic().DrawItems(settings.magicItems, drawn, settings.mana);
  const int items = std::clamp<int>(settings.magicItems, 0, kMagicItemCount);
  for (int i = 0; i < kPlayerSlotCount; ++i) {
    if (slots[i].IsEmpty()) continue;
    const int share = ItemsForHandicap(items, slots[i].handicap);
    for (int j = 0; j < share; ++j) FrontEndWizards().AddItem(i, drawn[j]);
    FrontEndWizards().SetTalismans(i, settings.lawTalisman, settings.neutralTalisman, settings.vraskTalisman);
  }
  for (int i = 1; i < kPlayerSlotCount; ++i)
    if (!slots[i].IsEmpty()) ChooseOpponentSpells(i, settings, random);
}
