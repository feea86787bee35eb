// The army table: the realm configuration's entries, the other three set-ups, the local army,
// friendly fire, and the saved-game block with malformed blocks refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "CreatureWorld.h"
#include "core/Bytes.h"
#include "core/PlayerSlot.h"
#include "support/SavedBlock.h"
#include "support/TestSupport.h"

namespace creature_test {
namespace {

using testing_support::BoxRecorder;
using testing_support::TempDir;

class Realm : public ::testing::Test {
 protected:
  void TearDown() override { g_armyTable.ResetAll(); }
  // Writes REGION3 with the entries and reads it.
  bool Read(const std::vector<std::string>& entries) {
    std::string text = "[REGION3]\n";
    for (size_t n = 0; n < entries.size(); ++n) text += "Army_" + std::to_string(n) + "=" + entries[n] + "\n";
    dir.Write("realm.cfg", text);
    return g_armyTable.InitFromRealmFile(dir.File("realm.cfg").c_str(), 3);
  }
  std::string Messages() const {
    std::string all;
    for (const auto& box : boxes.Boxes()) all += box.text + "|";
    return all;
  }
  TempDir dir;
  BoxRecorder boxes;
};

TEST_F(Realm, EntriesAsATable) {
  struct Case {
    const char* what;
    std::vector<std::string> entries;
    bool ok;
    const char* message;  // the start of the one message shown, "" for none
  };
  const Case cases[] = {
      {"three armies", {"WANDERING, 0, x, e, e", "Edric, 1, e, x, f", "Morvane 2 e f x"}, true, ""},
      {"three entries with four codes",
       {"A, 0, x, e, e, e", "B, 1, e, x, e, e", "C, 2, e, e, x, e"},
       false,
       "one or more army data entries"},
      {"colour 9, read as a code",
       {"A, 9, x, e", "B, 1, e, x"},
       false,
       "army initialisation config info contains "
       "invalid colour code"},
      {"no colour: the codes start at the second token",
       {"A, x, e", "B, 1, e, x"},
       true,
       "army initialisation config info contains invalid colour code"},
      {"a bad code", {"A, 0, x, q"}, false, "army initialisation config info contains invalid alliance code"},
      {"no name", {", , ,", "B, 1"}, false, "army initialisation config info. contains no army name"},
      {"no entry", {}, false, "no army data was found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    boxes.Clear();
    EXPECT_EQ(Read(c.entries), c.ok);
    if (c.message[0] == '\0')
      EXPECT_EQ(boxes.Count(), 0u) << Messages();
    else
      EXPECT_EQ(Messages().rfind(c.message, 0), 0u) << Messages();
  }
}

TEST_F(Realm, ThreeArmiesTakeNamesColoursAndAlliancesAndNoneIsLocal) {
  ASSERT_TRUE(Read({"WANDERING, 0, x, e, e", "Edric, 1, e, x, F", "Morvane=wizard 2 E f X"}));
  const CArmy* armies = g_armyTable.armies;
  EXPECT_STREQ(armies[1].name, "Edric");
  EXPECT_STREQ(armies[2].name, "Morvane");
  EXPECT_EQ(armies[2].colour, 2);
  EXPECT_EQ(armies[0].alliance[1] + armies[1].alliance[0] + armies[0].alliance[2] + armies[2].alliance[0], 0);
  EXPECT_EQ(armies[1].alliance[2] + armies[2].alliance[1], 2);
  EXPECT_EQ(armies[3].inUse, 0);
  for (const CArmy& army : g_armyTable.armies) EXPECT_EQ(army.local + army.human, 0);
  EXPECT_EQ(g_armyTable.localIndex, -1);
  // No army is human, so none can become local.
  EXPECT_EQ(g_armyTable.SetActiveArmy(1), 0);
  EXPECT_EQ(g_armyTable.localIndex, -1);
  EXPECT_EQ(g_armyTable.FindByName("Morvane"), &g_armyTable.armies[2]);
  EXPECT_EQ(g_armyTable.FindByName("morvane"), nullptr);
}

TEST_F(Realm, ANinthEntryIsNeverRead) {
  std::vector<std::string> entries;
  for (int n = 0; n < 9; ++n) entries.push_back("army" + std::to_string(n) + ", 3, e, e, e, e, e, e, e, e");
  EXPECT_TRUE(Read(entries));
  EXPECT_EQ(boxes.Count(), 0u) << Messages();
  for (const CArmy& army : g_armyTable.armies) EXPECT_EQ(army.inUse, 1);
  EXPECT_EQ(g_armyTable.FindByName("army8"), nullptr);
}

TEST_F(Realm, EveryForgedCampaignRegionNamesItsArmies) {
  const std::string realm = testing_support::ForgedDataDir() + "/realms/moorland/moorland.cfg";
  for (int region = 0; region < 5; ++region) {
    SCOPED_TRACE(region);
    EXPECT_TRUE(g_armyTable.InitFromRealmFile(realm.c_str(), region));
    EXPECT_STREQ(g_armyTable.armies[0].name, "WANDERING");
    EXPECT_STREQ(g_armyTable.armies[1].name, kDefaultPlayerWizardName);
    EXPECT_EQ(g_armyTable.armies[1].colour, 1);
    EXPECT_EQ(g_armyTable.armies[1].alliance[2], 0);
    EXPECT_EQ(g_armyTable.armies[2].inUse, 1);
  }
  EXPECT_EQ(boxes.Count(), 0u) << Messages();
}

TEST(ArmySetups, DefaultNumberedAndSkirmish) {
  ASSERT_TRUE(g_armyTable.InitDefault());
  EXPECT_STREQ(g_armyTable.armies[0].name, "WANDERING");
  EXPECT_STREQ(g_armyTable.armies[1].name, kDefaultPlayerWizardName);
  EXPECT_STREQ(g_armyTable.armies[2].name, "secondAI");
  EXPECT_EQ(g_armyTable.armies[2].colour, 2);
  EXPECT_EQ(g_armyTable.armies[1].alliance[2], 0);
  EXPECT_EQ(g_armyTable.armies[1].alliance[1], 1);  // its own byte stays
  EXPECT_EQ(g_armyTable.armies[1].local, 0);
  EXPECT_EQ(g_armyTable.localIndex, -1);

  for (auto [count, local] : {std::pair{0, 0}, {8, 0}, {3, 3}, {3, -1}})
    EXPECT_EQ(g_armyTable.InitNumbered(count, local), 0);
  EXPECT_EQ(g_armyTable.armies[0].inUse, 0);
  ASSERT_EQ(g_armyTable.InitNumbered(4, 2), 1);
  EXPECT_STREQ(g_armyTable.armies[3].name, "net3");
  EXPECT_EQ(g_armyTable.armies[3].colour, 3);
  EXPECT_EQ(g_armyTable.localIndex, 2);
  EXPECT_EQ(g_armyTable.armies[2].local, 1);
  EXPECT_EQ(g_armyTable.armies[0].local, 0);
  EXPECT_EQ(g_armyTable.armies[0].alliance[3], 0);

  struct Slots : ICreatureBattle {
    const char* PlayerSlotName(int slot) override {
      static const char* const names[4] = {"Gwen", "Bran", "No Player", "Ysolde"};
      return names[slot];
    }
  } slots;
  HookScope<ICreatureBattle> scope(g_creatureBattle, slots);
  // Each army wears its player's colour; a place without one keeps the colour of its number.
  ResetPlayerSlots();
  g_playerSlots[0].colour = 5;
  g_playerSlots[1].colour = 2;
  g_playerSlots[3].colour = 0;
  ASSERT_TRUE(g_armyTable.InitSkirmish());
  EXPECT_EQ(g_armyTable.armies[0].colour, 5);
  EXPECT_EQ(g_armyTable.armies[1].colour, 2);
  EXPECT_EQ(g_armyTable.armies[2].colour, 2);
  EXPECT_EQ(g_armyTable.armies[3].colour, 0);
  ResetPlayerSlots();
  EXPECT_STREQ(g_armyTable.armies[0].name, "Gwen");
  EXPECT_STREQ(g_armyTable.armies[1].name, "secondAI1");
  EXPECT_EQ(g_armyTable.armies[2].inUse, 0);
  EXPECT_STREQ(g_armyTable.armies[3].name, "secondAI3");
  EXPECT_EQ(g_armyTable.armies[3].human, 0);
  EXPECT_EQ(g_armyTable.localIndex, 0);

  // The local army deactivated: still there, no longer local.
  g_armyTable.armies[0].Deactivate();
  EXPECT_EQ(g_armyTable.localIndex, -1);
  EXPECT_EQ(g_armyTable.GetArmy(0), &g_armyTable.armies[0]);
  EXPECT_EQ(g_armyTable.GetArmy(-1), nullptr);
  EXPECT_EQ(g_armyTable.GetArmy(8), nullptr);
  g_armyTable.ResetAll();
}

using Armies = CreatureWorld;

TEST_F(Armies, AHundredPointsOfFriendlyFireEndTheAlliance) {
  UseArmy(0);
  UseArmy(1);
  g_armyTable.armies[0].SetAlliance(1, 1);
  const int ally = Place(5, 1, 3, 3);
  const int own = Place(5, 0, 6, 3);
  C(ally).AdjustHealth(-60, 0, nullptr, 0);
  C(own).AdjustHealth(-50, 1, nullptr, 0);  // the other way round counts apart
  EXPECT_EQ(g_armyTable.armies[0].alliance[1], 1);
  C(ally).health = 500;
  C(ally).AdjustHealth(-40, 0, nullptr, 0);
  EXPECT_EQ(g_armyTable.armies[0].alliance[1], 0);
  EXPECT_EQ(g_armyTable.armies[1].alliance[0], 0);
  EXPECT_EQ(g_armyTable.armies[0].grievance[1], 100);
  C(ally).AdjustHealth(-40, 0, nullptr, 0);  // enemies now: nothing more is counted
  EXPECT_EQ(g_armyTable.armies[0].grievance[1], 100);
  // An illusion's harm is no grievance.
  g_armyTable.armies[0].SetAlliance(1, 1);
  C(ally).illusion = 1;
  C(own).illusion = 1;
  C(own).health = 500;
  C(own).AdjustHealth(-60, 1, nullptr, 0);
  EXPECT_EQ(g_armyTable.armies[1].grievance[0], 50);
}

std::vector<uint8_t> SaveTable() { return testing_support::SavedBytes(g_armyTable); }

int LoadTable(const std::vector<uint8_t>& bytes) { return testing_support::LoadFromBytes(g_armyTable, bytes); }

TEST(ArmyBlock, RoundTripAndMalformedBlocksRefused) {
  g_armyTable.InitNumbered(3, 1);
  g_armyTable.armies[1].wizardCreature = 99;
  g_armyTable.armies[1].wizardRecord = 79;
  g_armyTable.armies[2].SetSharedVision(0, 1);
  g_armyTable.armies[2].grievance[0] = 42;
  const std::vector<uint8_t> block = SaveTable();
  ASSERT_EQ(block.size(), 3 * 332u + 5 * 4u + 4u);

  g_armyTable.InitDefault();
  std::snprintf(g_armyTable.armies[5].name, kArmyNameSize, "kept");
  ASSERT_EQ(LoadTable(block), static_cast<int>(block.size()));  // the bytes read, as the battle block counts
  EXPECT_EQ(SaveTable(), block);
  EXPECT_EQ(g_armyTable.localIndex, 1);
  EXPECT_STREQ(g_armyTable.armies[5].name, "kept");  // not in use: left as it was

  // Offsets in the block of record 0 (in use): human 4, wizard creature 12, wizard record 16,
  // alliance 24, shared vision 32, name 72, colour 328; the local index at the end.
  struct Bad {
    const char* what;
    size_t offset;
    int32_t value;
    bool byte;
  };
  const Bad bads[] = {
      {"in use 2", 0, 2, false},
      {"human 2", 4, 2, false},
      {"wizard creature 100", 12, 100, false},
      {"wizard creature -2", 12, -2, false},
      {"wizard record 80", 16, 80, false},
      {"alliance byte 2", 25, 2, true},
      {"vision byte 7", 33, 7, true},
      {"colour 8", 328, 8, false},
      {"local index 8", block.size() - 4, 8, false},
  };
  for (const Bad& bad : bads) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> broken = block;
    if (bad.byte)
      broken[bad.offset] = static_cast<uint8_t>(bad.value);
    else
      bytes::StoreI32(broken.data() + bad.offset, bad.value);
    g_armyTable.InitDefault();
    const std::vector<uint8_t> before = SaveTable();
    EXPECT_EQ(LoadTable(broken), -1);
    EXPECT_EQ(SaveTable(), before);
  }
  std::vector<uint8_t> unterminated = block;
  for (size_t n = 72; n < 72 + kArmyNameSize; ++n) unterminated[n] = 'a';
  EXPECT_EQ(LoadTable(unterminated), -1);
  for (size_t cut : {size_t{0}, size_t{3}, size_t{100}, block.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(LoadTable(std::vector<uint8_t>(block.begin(), block.begin() + static_cast<long>(cut))), -1);
  }
  g_armyTable.ResetAll();
}

}  // namespace
}  // namespace creature_test
