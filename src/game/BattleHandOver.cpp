#include "game/BattleHandOver.h"

#include <cstdio>

#include "battle/Battle.h"
#include "frontend/FrontEndBattle.h"

namespace {

class CBattleHandOver : public IFrontEndBattle {
 public:
  CScreen* LoadBattle(const BattleSetupRecord& setup) override {
    // Told on stderr, so that a run's battle can be found again from its seeds.
    std::fprintf(stderr, "battle set-up: region %d map seed %d battle seed %d armies %d players %d local army %d\n",
                 setup.region, setup.mapSeed, setup.battleSeed, setup.armies, setup.players, setup.localArmy);
    g_battleSetup =
        CBattleSetup{setup.region, setup.mapSeed, setup.battleSeed, setup.armies, setup.players, setup.localArmy};
    // A failed load has shown its box and closed the calling screen.
    if (!g_battle || !::LoadBattle(*g_battle)) return nullptr;
    return g_battle;
  }
};

CBattleHandOver g_handOver;

}  // namespace

void InstallBattleHandOver() { InstallFrontEndBattle(&g_handOver); }
