// Feeds arbitrary bytes to the saved-game reader with the game's own parts installed (the
// realm block, the wizard table, the campaign's realm record, the settings, the script's state
// and the battle start): a game it takes saves again, and that save reads back and saves to
// the same bytes. The seed is a campaign the game itself saved.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "GameDataFuzz.h"
#include "SavedBlock.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/SavedGame.h"
#include "creatures/WizardTable.h"
#include "frontend/RealmView.h"
#include "game/SavedGameParts.h"

namespace {

// The file the game writes for the state as it stands.
std::vector<uint8_t> SaveAsTheGameDoes() {
  fuzz::Expect(WriteSavedGame("fuzz", 1) == 1);
  std::vector<uint8_t> bytes;
  fuzz::Expect(platform::ReadWholeFile("Save/fuzz.sav", bytes));
  return bytes;
}

int Read(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
  if (!file) return 0;
  const int result = ReadSavedGame(file);
  std::fclose(file);
  return result;
}

// A campaign under way: two wizards on the realm's map, the player's knowledge noted.
void StartCampaign() {
  std::snprintf(g_realmFile, sizeof g_realmFile, "realms\\moorland\\moorland.cfg");
  std::snprintf(g_realmName, sizeof g_realmName, "moorland");
  CRealmState& s = g_realmView->realmState;
  std::snprintf(s.currentRealmName, sizeof s.currentRealmName, "Moorland");
  s.wizardCount = 2;
  s.playerWizard = 0;
  s.lastRegion = 7;
  s.locations[0] = 3;
  s.movement[0] = CRealmMovement{2, 1, 40, -1, -1};
  s.regionOwners[2] = 1;
  g_realmTutorialStep = 2;
  g_gameMode = kGameModeCampaign;
  g_difficulty = 2;
  g_wizardTable.Clear();
  CWizard& player = g_wizardTable.records[0];
  player.inUse = 1;
  std::snprintf(player.name, sizeof player.name, "Edric");
  player.NoteSeen(1, 4);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::DataFolder("assembled_saved_game", {"Save"});
  g_realmView = new CRealmView;
  InstallSavedGameParts();
  StartCampaign();
  const std::vector<uint8_t> seed = SaveAsTheGameDoes();
  fuzz::SeedEmptyCorpus(*argc, *argv, [&](const std::string& folder) { fuzz::WriteSeed(folder + "/campaign", seed); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    if (Read(std::vector<uint8_t>(data, data + size)) != 1) return 0;
    const std::vector<uint8_t> saved = SaveAsTheGameDoes();
    fuzz::Expect(Read(saved) == 1);
    fuzz::Expect(SaveAsTheGameDoes() == saved);
  } catch (const fuzz::ProgramEnded&) {
  }
  return 0;
}
