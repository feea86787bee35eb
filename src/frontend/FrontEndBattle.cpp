#include "frontend/FrontEndBattle.h"

#include <cstdio>

BattleSetupRecord g_lastBattleSetup;

namespace {

// Until the battle is there: the hand-over is told on stderr, and nothing is pushed.
class NeutralBattle : public IFrontEndBattle {
 public:
  CScreen* LoadBattle(const BattleSetupRecord& setup) override {
    std::fprintf(stderr, "battle set-up: region %d map seed %d battle seed %d armies %d players %d local army %d\n",
                 setup.region, setup.mapSeed, setup.battleSeed, setup.armies, setup.players, setup.localArmy);
    return nullptr;
  }
};

NeutralBattle g_neutralBattle;
IFrontEndBattle* g_battle = &g_neutralBattle;

}  // namespace

IFrontEndBattle& FrontEndBattle() { return *g_battle; }

void InstallFrontEndBattle(IFrontEndBattle* battle) { g_battle = battle ? battle : &g_neutralBattle; }
