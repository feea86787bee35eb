#include "game/SavedGameParts.h"

#include "battle/Battle.h"
#include "battle/Script.h"
#include "core/SavedGame.h"
#include "creatures/WizardTable.h"
#include "map/Map.h"

namespace {

// The front end's own parts (the realm state, the spell box and where play resumes) keep the
// neutral answers until the front end installs its share.
class CGameSavedParts : public ISavedGameParts {
 public:
  int WriteWizards(FILE* file) override { return g_wizardTable.Save(file); }
  int ReadWizards(FILE* file) override { return g_wizardTable.Load(file); }
  int WriteScript(FILE* file) override { return CScript::Save(file); }
  int ReadScript(FILE* file) override { return CScript::Load(file); }
  bool BattleLoaded() override { return g_battle && g_map.HasCells(); }
  int WriteBattle(FILE* file) override { return g_battle ? g_battle->SaveState(file) : -1; }
  int ReadBattle(FILE* file) override { return g_battle ? g_battle->LoadState(file) : -1; }
};

CGameSavedParts g_gameSavedParts;

}  // namespace

void InstallSavedGameParts() { g_savedGameParts = &g_gameSavedParts; }
