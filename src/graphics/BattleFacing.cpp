#include "graphics/BattleFacing.h"

namespace {
IBattleFacing g_neutralBattleFacing;
}  // namespace

constinit HookSlot<IBattleFacing> g_battleFacing{&g_neutralBattleFacing};

void BattleViewRect(int windowSize, bool highRes, int rect[4]) {
  rect[0] = rect[1] = 0;
  rect[2] = highRes ? 800 : 640;
  rect[3] = windowSize == 1 ? (highRes ? 460 : 340) : (highRes ? 600 : 480);
}
