#include "frontend/FrontEndWizards.h"

#include <algorithm>
#include <vector>

namespace {

// Until the wizard table exists: the magic of the first records, so that a quick battle's
// set-up and spell box work on something.
class StandInWizards : public IFrontEndWizards {
 public:
  static constexpr int kRecords = 8;
  static constexpr size_t kItems = 25, kPool = 21;

  void ClearTable() override {
    for (Magic& magic : magic_) magic = Magic{};
  }
  void AddItem(int record, int item) override {
    if (Magic* m = Of(record); m && m->items.size() < kItems && item >= 0) m->items.push_back(item);
  }
  void SetTalismans(int record, int law, int neutral, int vrask) override {
    if (Magic* m = Of(record)) {
      m->talismans[0] = law;
      m->talismans[1] = neutral;
      m->talismans[2] = vrask;
    }
  }
  int KnownItems(int record, int items[25]) override {
    const Magic* m = Of(record);
    if (!m) return 0;
    std::copy(m->items.begin(), m->items.end(), items);
    return static_cast<int>(m->items.size());
  }
  void Talismans(int record, int levels[3]) override {
    const Magic* m = Of(record);
    for (int a = 0; a < 3; ++a) levels[a] = m ? m->talismans[a] : 0;
  }
  int SpellPool(int record, int* spells, int max) override {
    const Magic* m = Of(record);
    if (!m || max <= 0) return 0;
    const int n = std::min(max, static_cast<int>(m->pool.size()));
    std::copy_n(m->pool.begin(), n, spells);
    return n;
  }
  void ClearSpellPool(int record) override {
    if (Magic* m = Of(record)) m->pool.clear();
  }
  void AddSpellsToPool(int record, const int* spells, int count) override {
    Magic* m = Of(record);
    for (int i = 0; m && i < count && m->pool.size() < kPool; ++i) m->pool.push_back(spells[i]);
  }

 private:
  struct Magic {
    std::vector<int> items, pool;
    int talismans[3] = {};
  };
  Magic* Of(int record) { return record >= 0 && record < kRecords ? &magic_[record] : nullptr; }
  Magic magic_[kRecords];
};

StandInWizards g_standInWizards;
IFrontEndWizards* g_wizards = &g_standInWizards;

}  // namespace

IFrontEndWizards& FrontEndWizards() { return *g_wizards; }

void InstallFrontEndWizards(IFrontEndWizards* wizards) { g_wizards = wizards ? wizards : &g_standInWizards; }
