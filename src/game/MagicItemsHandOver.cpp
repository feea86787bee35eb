// The front end's magic items are the magic subsystem's table and deal.
#include "game/MagicItemsHandOver.h"

#include "frontend/FrontEndMagic.h"
#include "magic/MagicItems.h"

namespace {

class CMagicItemsHandOver : public IFrontEndMagic {
 public:
  void DrawItems(int32_t& count, uint8_t items[kMagicItemCount], int32_t mana) override {
    LoadMagicItems(count, items, mana);
  }
  int ItemSpell(int item, int alignment) override {
    if (item < 0 || item >= kMagicItemRows || alignment < 0 || alignment > 2) return -1;
    if (g_magicItemsFirstLoad) {
      CMagicItems::ReadSpellLists("cfg\\MItems.cfg", g_magicItems);
      g_magicItemsFirstLoad = false;
    }
    const int spell = g_magicItems.spells[item][alignment];
    return spell >= 0 && spell <= kMagicItemSpellLimit ? spell : -1;
  }
};

CMagicItemsHandOver g_handOver;

}  // namespace

void InstallMagicItemsHandOver() { InstallFrontEndMagic(&g_handOver); }
