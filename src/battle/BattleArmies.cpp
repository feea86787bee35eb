#include "battle/BattleArmies.h"

#include <cstdio>
#include <cstring>

CBattleArmies g_battleArmies;

namespace {

void Name(CBattleArmy& army, const char* name) { std::snprintf(army.name, sizeof army.name, "%s", name); }

}  // namespace

void CBattleArmies::Clear() {
  for (CBattleArmy& army : armies) army = CBattleArmy{};
  localArmy = -1;
}

bool CBattleArmies::InitDefault() {
  Clear();
  Name(armies[0], "Edric");
  armies[0].active = 1;
  armies[0].colour = 0;
  Name(armies[1], "secondAI");
  armies[1].active = 1;
  armies[1].computer = 1;
  armies[1].colour = 1;
  return true;
}

bool CBattleArmies::InitNumbered(int count, int localSlot) {
  if (count < 1 || count > kArmies) return false;
  Clear();
  for (int a = 0; a < count; ++a) {
    char name[32];
    std::snprintf(name, sizeof name, "Army%d", a + 1);
    Name(armies[a], name);
    armies[a].active = 1;
    armies[a].colour = a;
  }
  localArmy = localSlot >= 0 && localSlot < count ? localSlot : -1;
  return true;
}

int CBattleArmies::FindByName(const char* name) const {
  for (int a = 0; a < kArmies; ++a)
    if (armies[a].name[0] && std::strcmp(armies[a].name, name) == 0) return a;
  return -1;
}

int CBattleArmies::ActiveCount() const {
  int count = 0;
  for (const CBattleArmy& army : armies) count += army.active != 0;
  return count;
}
