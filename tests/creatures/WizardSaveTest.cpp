// The wizard table in the saved game and in its own file: byte-for-byte round trips, the
// record's size, and malformed or short blocks refused with the table unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "creatures/WizardTable.h"
#include "support/SavedBlock.h"
#include "support/TestSupport.h"

namespace {

std::vector<uint8_t> Saved(const CWizardTable& table) { return testing_support::SavedBytes(table); }

int LoadBytes(CWizardTable& table, std::vector<uint8_t> bytes) {
  return testing_support::LoadFromBytes(table, std::move(bytes));
}

// A table with a little of everything: the player's wizard with its text block, a computer
// wizard with actions, items, start objects and a larger spell pool.
void Fill(CWizardTable& table) {
  table.Clear();
  CWizard& player = table.records[0];
  player.inUse = 1;
  player.deployed = 1;
  std::snprintf(player.name, kWizardNameSize, "Edric");
  for (int spell = 0; spell < 22; ++spell) player.NoteSeen(5, spell);  // a full list of things seen
  player.NoteSeen(4, 11);
  player.AddSpell(3);
  player.AddMagicItem(11);
  player.rank = 4;
  player.rankCounter = 9;
  player.army = 1;
  CWizard& rival = table.records[41];
  rival.inUse = 1;
  rival.computer = 1;
  std::snprintf(rival.name, kWizardNameSize, "Morgath");
  std::snprintf(rival.animFile, kWizardAnimNameSize, "wizard5");
  rival.spellPool.assign(104, 0);
  for (int s = 0; s < 60; ++s) rival.AddSpell(s);
  rival.spellCursor = 7;
  const int32_t values[4] = {-1, 2, 3, 4};
  rival.AddQueuedEntry(33, values);
  rival.AddQueuedEntry(34, values);
  rival.actions[2].valid = 1;
  rival.actions[2].spellType = 44;
  rival.actions[2].targetKind = 4;
  rival.actions[2].rating = -1.0f;
  rival.actions[2].numberOfActions = -1;
  rival.further[6] = 12345;
  rival.experience = 700;
}

// The size of one record with n start objects, a pool of capacity c and a text block or not.
size_t RecordSize(int n, int c, bool text) { return 330 + 20 * n + 1000 + 12 + 4 * c + 1 + (text ? 1164 : 0); }

TEST(WizardSaveTest, TheTableRoundTripsByteForByte) {
  CWizardTable table;
  Fill(table);
  const std::vector<uint8_t> first = Saved(table);
  EXPECT_EQ(first.size(), 78 * RecordSize(0, 30, false) + RecordSize(0, 30, true) + RecordSize(2, 104, false));
  CWizardTable other;
  ASSERT_EQ(LoadBytes(other, first), static_cast<int>(first.size()));
  EXPECT_EQ(Saved(other), first);
  EXPECT_EQ(other.records[41].spellCount, 60);
  EXPECT_EQ(other.records[41].startObjects[1].kind, 34);
  EXPECT_EQ(other.records[0].NoticeCount(), 20);
  EXPECT_TRUE(other.records[0].HasSeen(4, 11));
  EXPECT_EQ(other.records[41].index, 41);
  // A flag of 0 takes an existing text block away.
  other.records[41].textBlock.assign(kWizardTextBlockBytes, 1);
  ASSERT_EQ(LoadBytes(other, first), static_cast<int>(first.size()));
  EXPECT_TRUE(other.records[41].textBlock.empty());
}

TEST(WizardSaveTest, MalformedAndShortBlocksLeaveTheTableAsItWas) {
  CWizardTable source;
  Fill(source);
  const std::vector<uint8_t> good = Saved(source);
  const size_t rival = 41 * RecordSize(0, 30, false) - RecordSize(0, 30, false) + RecordSize(0, 30, true);
  ASSERT_EQ(good.size() - rival, 38 * RecordSize(0, 30, false) + RecordSize(2, 104, false));
  struct Bad {
    const char* what;
    size_t offset;  // within the rival's record
    int32_t value;
  };
  const size_t objects = 326, actions = objects + 4 + 40, pool = actions + 1000;
  const Bad cases[] = {
      {"in use", 0, 2},
      {"deployed", 4, -1},
      {"max mana", 60, 2147483647},
      {"max health", 64, -2147483647 - 1},
      {"difficulty modifier", 84, kWizardValueLimit + 1},
      {"army", 132, 8},
      {"magic item", 136, 25},
      {"rank", 248, 7},
      {"start objects", objects, 21},
      {"start objects", objects, -1},
      {"action valid", actions + 2 * 100, 2},
      {"destination", actions + 4, 3},
      {"spell type", actions + 2 * 100 + 32, 0},
      {"spell type", actions + 2 * 100 + 32, 104},
      {"target kind", actions + 36, 6},
      {"spell cursor", pool, 105},
      {"spell count", pool + 4, 105},
      {"capacity", pool + 8, 105},
      {"capacity", pool + 8, -1},
      {"pool entry", pool + 12 + 4 * 70, 104},
      {"text flag", pool + 12 + 4 * 104, 2},
  };
  CWizardTable table;
  Fill(table);
  table.records[5].inUse = 1;  // live state the failed loads must keep
  const std::vector<uint8_t> live = Saved(table);
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> bytes = good;
    if (bad.offset == pool + 12 + 4 * 104)
      bytes[rival + bad.offset] = static_cast<uint8_t>(bad.value);
    else
      bytes::StoreI32(bytes.data() + rival + bad.offset, bad.value);
    EXPECT_EQ(LoadBytes(table, bytes), -1);
    EXPECT_EQ(Saved(table), live);
  }
  // The player's list of things seen: flags, count and notices as the record writes them.
  const size_t text = RecordSize(0, 30, false);  // the player's record comes first
  const size_t notices = text + 1004;
  const Bad textCases[] = {
      {"seen flag", text + 4 * 100 + 7, 2},      {"notice count", text + 1000, 21},
      {"notice count", text + 1000, -1},         {"notice kind", notices, 10},
      {"notice number", notices + 4, 100},       {"notice without its flag", notices + 8 * 19 + 4, 77},
      {"notice twice", notices + 12, 0},  // notice 1 the same as notice 0
      {"after the notices", text + 1163 - 3, 1},
  };
  const std::vector<uint8_t> withNotes = Saved(source);
  ASSERT_EQ(bytes::LoadI32(&withNotes[text + 1000]), 20);
  for (const Bad& bad : textCases) {
    SCOPED_TRACE(bad.what);
    std::vector<uint8_t> bytes = withNotes;
    if (std::string(bad.what) == "seen flag")
      bytes[bad.offset] = static_cast<uint8_t>(bad.value);
    else
      bytes::StoreI32(bytes.data() + bad.offset, bad.value);
    if (std::string(bad.what) == "after the notices") bytes::StoreI32(bytes.data() + text + 1000, 19);  // 20 left
    EXPECT_EQ(LoadBytes(table, bytes), -1);
    EXPECT_EQ(Saved(table), live);
  }
  // Names without their terminator.
  for (size_t offset : {size_t{12}, size_t{256}}) {
    std::vector<uint8_t> bytes = good;
    const size_t size = offset == 12 ? kWizardNameSize : kWizardAnimNameSize;
    for (size_t i = 0; i < size; ++i) bytes[rival + offset + i] = 'x';
    EXPECT_EQ(LoadBytes(table, bytes), -1);
  }
  // An animation that leads out of the data folder: the record's look is opened by it.
  for (const char* look : {"../../../../etc/passwd", "/etc/passwd", "..\\wizard"}) {
    SCOPED_TRACE(look);
    std::vector<uint8_t> bytes = good;
    std::snprintf(reinterpret_cast<char*>(bytes.data() + rival + 256), kWizardAnimNameSize, "%s", look);
    EXPECT_EQ(LoadBytes(table, bytes), -1);
  }
  // Cut at every boundary of the rival's fields, and anywhere else.
  for (size_t cut : {size_t{0}, rival, rival + 12, rival + 28, rival + objects, rival + objects + 4, rival + actions,
                     rival + pool, rival + pool + 12, rival + pool + 12 + 4 * 104, good.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(LoadBytes(table, std::vector<uint8_t>(good.begin(), good.begin() + cut)), -1);
  }
  EXPECT_EQ(Saved(table), live);
}

TEST(WizardSaveTest, TheTablesOwnFileIsReplacedWholeAndReadWhole) {
  testing_support::TempDir dir;
  CWizardTable table;
  Fill(table);
  const std::string path = dir.File("wizards.log");
  ASSERT_TRUE(table.SaveToFile(path.c_str()));
  CWizardTable other;
  ASSERT_TRUE(other.LoadFromFile(path.c_str()));
  EXPECT_EQ(Saved(other), Saved(table));
  EXPECT_FALSE(other.LoadFromFile(dir.File("missing.log").c_str()));
  EXPECT_FALSE(table.SaveToFile(dir.File("no/such/folder/w.log").c_str()));
  // A file cut short is refused and changes nothing.
  std::vector<uint8_t> bytes = Saved(table);
  bytes.resize(bytes.size() / 2);
  dir.Write("short.log", bytes);
  other.Clear();
  EXPECT_FALSE(other.LoadFromFile(dir.File("short.log").c_str()));
  EXPECT_EQ(other.records[0].inUse, 0);
}

}  // namespace
