#include "game/SavedGameParts.h"

#include "battle/Battle.h"
#include "battle/Script.h"
#include "core/SavedGame.h"
#include "creatures/WizardTable.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/RealmView.h"
#include "frontend/SpellBox.h"
#include "frontend/SpellBoxChoices.h"
#include "map/Map.h"

namespace {

class CGameSavedParts : public ISavedGameParts {
 public:
  int WriteRealmState(FILE* file) override { return g_realmView ? g_realmView->realmState.WriteSave(file) : -1; }
  int ReadRealmState(FILE* file) override { return g_realmView ? g_realmView->realmState.ReadSave(file) : -1; }
  void GetSettings(int32_t settings[4]) override {
    ISavedGameParts::GetSettings(settings);
    settings[0] = g_realmTutorialStep;
  }
  void SetSettings(const int32_t settings[4]) override {
    ISavedGameParts::SetSettings(settings);
    g_realmTutorialStep = settings[0];
  }
  // The army's choices in the spell box go with the game; without the screen (tests of other
  // parts) its block keeps its place, empty.
  int WriteSpellBox(FILE* file) override {
    return g_spellBox ? g_spellBox->WriteSave(file) : WriteSpellBoxSave(SpellBoxChoices{}, file);
  }
  int ReadSpellBox(FILE* file) override {
    SpellBoxChoices unused;
    return g_spellBox ? g_spellBox->ReadSave(file) : ReadSpellBoxSave(unused, file);
  }
  void SetLoadedState(int state) override {
    if (g_loadGameScreen) g_loadGameScreen->SetLoadedState(state);
  }
  void DiscardBattle() override { g_map.Clear(); }
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
