#include "frontend/SpellBoxChoices.h"

#include <algorithm>
#include <vector>

#include "core/Bytes.h"
#include "frontend/FrontEndMagic.h"
#include "frontend/FrontEndWizards.h"

namespace {

constexpr int kKnownItems = 25;
constexpr int kSpellPoolMax = 64;

bool IsEntry(int32_t value) { return value == -1 || (value >= 0 && value < kMagicItemCount); }

template <class Visit>
void ForEachWord(SpellBoxChoices& c, Visit visit) {
  for (int32_t& count : c.counts) visit(count);
  for (auto& column : c.columns)
    for (int32_t& entry : column) visit(entry);
  for (int32_t& entry : c.pool) visit(entry);
}

// The first item row that has the spell in one of its columns, and that column.
bool FindItemOfSpell(int spell, int& item, int& column) {
  for (item = 0; item < kMagicItemCount; ++item)
    for (column = 0; column < kSpellBoxColumns; ++column)
      if (FrontEndMagic().ItemSpell(item, column) == spell) return true;
  return false;
}

}  // namespace

void SpellBoxChoices::Reset() {
  std::fill(std::begin(counts), std::end(counts), 0);
  for (auto& column : columns) std::fill(std::begin(column), std::end(column), -1);
  std::fill(std::begin(pool), std::end(pool), -1);
}

bool SpellBoxChoices::operator==(const SpellBoxChoices& other) const {
  uint8_t a[kSpellBoxBlockBytes], b[kSpellBoxBlockBytes];
  WriteSpellBoxChoices(*this, a);
  WriteSpellBoxChoices(other, b);
  return std::equal(std::begin(a), std::end(a), std::begin(b));
}

void WriteSpellBoxChoices(const SpellBoxChoices& choices, uint8_t* out) {
  SpellBoxChoices copy = choices;
  size_t at = 0;
  ForEachWord(copy, [&](int32_t& word) {
    bytes::StoreI32(out + at, word);
    at += 4;
  });
}

bool ReadSpellBoxChoices(const uint8_t* data, size_t size, SpellBoxChoices& choices) {
  choices.Reset();
  if (!data || size != static_cast<size_t>(kSpellBoxBlockBytes)) return false;
  SpellBoxChoices read;
  size_t at = 0;
  ForEachWord(read, [&](int32_t& word) {
    word = bytes::LoadI32(data + at);
    at += 4;
  });
  for (int32_t count : read.counts)
    if (count < 0 || count > kMaxColumnSlots) return false;
  bool valid = true;
  for (const auto& column : read.columns) valid = valid && std::all_of(std::begin(column), std::end(column), IsEntry);
  valid = valid && std::all_of(std::begin(read.pool), std::end(read.pool), IsEntry);
  if (!valid) return false;
  choices = read;
  return true;
}

int WriteSpellBoxSave(const SpellBoxChoices& choices, FILE* file) {
  uint8_t block[kSpellBoxBlockBytes];
  WriteSpellBoxChoices(choices, block);
  if (!file || std::fwrite(block, 1, sizeof block, file) != sizeof block) return -1;
  return kSpellBoxBlockBytes;
}

int ReadSpellBoxSave(SpellBoxChoices& choices, FILE* file) {
  choices.Reset();
  uint8_t block[kSpellBoxBlockBytes];
  if (!file || std::fread(block, 1, sizeof block, file) != sizeof block) return -1;
  return ReadSpellBoxChoices(block, sizeof block, choices) ? kSpellBoxBlockBytes : -1;
}

void PrepareSpellBoxChoices(SpellBoxChoices& choices, int wizardRecord) {
  IFrontEndWizards& wizards = FrontEndWizards();
  int levels[kSpellBoxColumns] = {};
  wizards.Talismans(wizardRecord, levels);
  for (int c = 0; c < kSpellBoxColumns; ++c) choices.counts[c] = std::clamp(levels[c], 0, kMaxColumnSlots);

  int spells[kSpellPoolMax];
  const int spellCount = std::clamp(wizards.SpellPool(wizardRecord, spells, kSpellPoolMax), 0, kSpellPoolMax);
  for (int s = 0; s < spellCount; ++s) {
    int item = 0, column = 0;
    if (!FindItemOfSpell(spells[s], item, column)) continue;
    int32_t* used = choices.columns[column];
    int32_t* end = used + choices.counts[column];
    if (std::find(used, end, item) != end) continue;
    if (int32_t* free = std::find(used, end, -1); free != end) *free = item;
  }

  int known[kKnownItems];
  std::fill(std::begin(known), std::end(known), -1);
  const int knownCount = std::clamp(wizards.KnownItems(wizardRecord, known), 0, kKnownItems);
  auto knows = [&](int32_t item) { return std::find(known, known + knownCount, item) != known + knownCount; };
  for (int c = 0; c < kSpellBoxColumns; ++c)
    for (int i = 0; i < choices.counts[c]; ++i)
      if (choices.columns[c][i] >= 0 && !knows(choices.columns[c][i])) choices.columns[c][i] = -1;
  for (int32_t& entry : choices.pool)
    if (entry >= 0 && !knows(entry)) entry = -1;

  for (int k = 0; k < knownCount; ++k) {
    const int32_t item = known[k];
    if (item < 0 || item >= kMagicItemCount) continue;
    bool placed = std::find(std::begin(choices.pool), std::end(choices.pool), item) != std::end(choices.pool);
    for (int c = 0; c < kSpellBoxColumns && !placed; ++c)
      placed = std::find(choices.columns[c], choices.columns[c] + choices.counts[c], item) !=
               choices.columns[c] + choices.counts[c];
    if (placed) continue;
    if (int32_t* free = std::find(std::begin(choices.pool), std::end(choices.pool), -1); free != std::end(choices.pool))
      *free = item;
  }
}

void CommitSpellBoxChoices(const SpellBoxChoices& choices, int wizardRecord) {
  std::vector<int> spells;
  for (int c = 0; c < kSpellBoxColumns; ++c)
    for (int i = 0; i < std::clamp<int>(choices.counts[c], 0, kMaxColumnSlots); ++i) {
      const int item = choices.columns[c][i];
      const int spell = item >= 0 ? FrontEndMagic().ItemSpell(item, c) : -1;
      if (spell >= 0) spells.push_back(spell);
    }
  FrontEndWizards().ClearSpellPool(wizardRecord);
  if (!spells.empty()) FrontEndWizards().AddSpellsToPool(wizardRecord, spells.data(), static_cast<int>(spells.size()));
}
