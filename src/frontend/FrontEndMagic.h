#pragma once
// What the front end asks of the magic item table (cfg\MItems.cfg): the items a quick battle
// offers and the three spells of an item. The table's owner installs the real calls at
// start-up; until then a neutral table offers items 0, 1, 2 ... and knows no spells. Tests
// install fakes with FrontEndMagicScope.

#include <cstdint>

inline constexpr int kMagicItemCount = 21;  // items 0-20

class IFrontEndMagic {
 public:
  virtual ~IFrontEndMagic() = default;
  // Limits count to 0..21 in place and writes that many drawn item numbers into items,
  // among the items whose spells all cost at most the mana.
  virtual void DrawItems(int32_t& count, uint8_t items[kMagicItemCount], int32_t mana);
  // The item's spell of an alignment (kAlignLaw, kAlignNeutral, kAlignVrask of
  // creatures/SpellDefinition.h); -1 when there is none.
  virtual int ItemSpell(int item, int alignment) { return -1; }
};

IFrontEndMagic& FrontEndMagic();
void InstallFrontEndMagic(IFrontEndMagic* magic);

class FrontEndMagicScope {
 public:
  explicit FrontEndMagicScope(IFrontEndMagic& fake) { InstallFrontEndMagic(&fake); }
  ~FrontEndMagicScope() { InstallFrontEndMagic(nullptr); }
  FrontEndMagicScope(const FrontEndMagicScope&) = delete;
  FrontEndMagicScope& operator=(const FrontEndMagicScope&) = delete;
};
