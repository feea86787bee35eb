// A campaign's saved game: the realm record, the campaign record (the tutorial's step among
// it) and the player's knowledge (in its wizard record) come back as they were written.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/SavedGame.h"
#include "creatures/WizardTable.h"
#include "frontend/RealmView.h"
#include "game/SavedGameParts.h"
#include "support/TestSupport.h"

namespace {

std::vector<uint8_t> RecordBytes(const CRealmState& state) {
  bytes::Writer out;
  state.Write(out);
  return out.Data();
}

// Puts back what the test points elsewhere, also when a failed check ends it early: a realm
// view left pointing at the test's own stack would be used by whatever runs next.
struct GlobalsRestored {
  CRealmView* realmView = g_realmView;
  ISavedGameParts* parts = g_savedGameParts;
  std::array<char, sizeof g_realmFile> realmFile = Copy(g_realmFile);
  std::array<char, sizeof g_realmName> realmName = Copy(g_realmName);
  ~GlobalsRestored() {
    g_realmView = realmView;
    g_savedGameParts = parts;
    std::memcpy(g_realmFile, realmFile.data(), realmFile.size());
    std::memcpy(g_realmName, realmName.data(), realmName.size());
  }
  template <size_t N>
  static std::array<char, N> Copy(const char (&text)[N]) {
    std::array<char, N> copy{};
    std::memcpy(copy.data(), text, N);
    return copy;
  }
};

TEST(CampaignSave, TheRealmTheTutorialAndTheKnowledgeRoundTrip) {
  testing_support::TempDir dir(true);
  CRealmView view;
  GlobalsRestored restored;
  g_realmView = &view;
  InstallSavedGameParts();
  // The game is saved with its realm's names and refused without them; an earlier test may
  // have left them empty.
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
  std::snprintf(g_realmName, sizeof g_realmName, "%s", "moorland");

  CRealmState& s = view.realmState;
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
  player.NoteSeen(1, 4);
  player.NoteSeen(1, 0);
  const std::vector<uint8_t> written = RecordBytes(s);
  const std::vector<uint8_t> knowledge = player.textBlock;
  ASSERT_EQ(WriteSavedGame("campaign", 1), 1);

  s.Clear();
  g_realmTutorialStep = -1;
  g_difficulty = 0;
  g_wizardTable.Clear();
  ASSERT_EQ(LoadSavedGame("campaign"), 1);
  EXPECT_EQ(RecordBytes(s), written);
  EXPECT_EQ(g_realmTutorialStep, 2);
  EXPECT_EQ(g_difficulty, 2);
  EXPECT_EQ(g_wizardTable.records[0].textBlock, knowledge);
  EXPECT_TRUE(g_wizardTable.records[0].HasSeen(1, 4));

  // A realm record that is not sound abandons the load.
  FILE* file = std::fopen("Save/campaign.sav", "r+b");
  ASSERT_NE(file, nullptr);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  ASSERT_GT(size, 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  std::rewind(file);
  ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
  // The realm record follows the header, the realm block and the wizard table; its count
  // word sits 260 bytes in. Find the record by its realm name.
  const uint8_t name[] = {'M', 'o', 'o', 'r', 'l', 'a', 'n', 'd', 0};
  size_t at = 0;
  for (size_t i = 524; i + sizeof name < bytes.size(); ++i)
    if (std::memcmp(bytes.data() + i, name, sizeof name) == 0 && bytes::LoadI32(bytes.data() + i + 260) == 2) {
      at = i;
      break;
    }
  ASSERT_NE(at, 0u);
  bytes::StoreU32(bytes.data() + at + 260, 500);
  std::rewind(file);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  s.lastRegion = 3;
  EXPECT_EQ(LoadSavedGame("campaign"), 0);
  EXPECT_EQ(s.lastRegion, 3);

  g_wizardTable.Clear();
}

}  // namespace
