// The spell reader's clamps and word rules, the forged spells read back, and the sightings
// block of the saved game.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "creatures/SpellDefinition.h"
#include "forge/CreatureTable.h"
#include "forge/SpellTable.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// A spells file read in a fresh folder: one section, SPELL_<n>, or one section per case.
class SpellFile : public ::testing::Test {
 protected:
  const CSpellDefinition& Read(const std::string& keys, int number = 5) {
    dir_.Write("cfg/spells.cfg", "[SPELL_" + std::to_string(number) + "]\n" + keys);
    EXPECT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
    return g_spellDefs[number];
  }
  // Case i is section SPELL_i; one read for them all.
  void ReadCases(const std::vector<std::string>& keys) {
    std::string text;
    for (size_t i = 0; i < keys.size(); ++i) text += "[SPELL_" + std::to_string(i) + "]\n" + keys[i] + "\n";
    dir_.Write("cfg/spells.cfg", text);
    ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
  }
  void TearDown() override { LoadSpells("cfg\\none.cfg", g_spellDefs); }
  testing_support::TempDir dir_{true};
};

TEST_F(SpellFile, WithoutSectionsEveryRecordHoldsOnlyItsDefaults) {
  dir_.Write("cfg/spells.cfg", "[OTHER]\nRange=5\n");
  ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
  for (const CSpellDefinition& spell : g_spellDefs) {
    EXPECT_EQ(spell.SpellBoxSound, 9999);
    EXPECT_EQ(spell.AI_Adjustment, 1.0f);
    EXPECT_EQ(spell.Range, 0);
    EXPECT_EQ(spell.Speed, 0);
    EXPECT_EQ(spell.AllowedTargets, 0);
    EXPECT_EQ(spell.AI_Evaders, 0);
    EXPECT_STREQ(spell.TextName, "");
  }
}

TEST_F(SpellFile, AMissingFileIsReportedAndLeavesEveryRecordClear) {
  Read("Range=7\nManaCost=12\n");
  EXPECT_EQ(LoadSpells("cfg\\missing.cfg", g_spellDefs), 0);
  EXPECT_EQ(g_spellDefs[5].Range, 0);
  EXPECT_EQ(g_maxSpellCost, 0);
  EXPECT_EQ(g_maxSpellRange, 0);
}

struct NumberCase {
  const char* keys;
  int32_t CSpellDefinition::*field;
  int32_t expected;
};

TEST_F(SpellFile, NumbersAreClampedIntoTheirRanges) {
  const NumberCase cases[] = {
      {"Range=250", &CSpellDefinition::Range, 100},
      {"Range=250", &CSpellDefinition::RangeUnits, 3200},
      {"Range=-4", &CSpellDefinition::Range, 0},
      {"Range=7 tiles", &CSpellDefinition::Range, 7},
      {"Range=about 7", &CSpellDefinition::Range, 0},
      {"ManaCost=999", &CSpellDefinition::ManaCost, 300},
      {"SpellStrength=501", &CSpellDefinition::SpellStrength, 500},
      {"NoRequired=9", &CSpellDefinition::NoRequired, 3},
      {"Speed=0", &CSpellDefinition::Speed, 1},
      {"Speed=40", &CSpellDefinition::Speed, 32},
      {"Damage=256", &CSpellDefinition::Damage, 255},
      {"Duration=99999999999999", &CSpellDefinition::Duration, 20000},
      {"Duration=-99999999999999", &CSpellDefinition::Duration, 0},
      {"BalanceAmount=101", &CSpellDefinition::BalanceAmount, 100},
      {"Data1=10000", &CSpellDefinition::Data1, 9999},
      {"SpellBoxSound=0", &CSpellDefinition::SpellBoxSound, 1},
      {"AI_Missile=-3", &CSpellDefinition::AI_Missile, 0},
      {"AI_Evaders=123456", &CSpellDefinition::AI_Evaders, 123456},
  };
  std::vector<std::string> keys;
  for (const NumberCase& c : cases) keys.push_back(c.keys);
  ReadCases(keys);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(g_spellDefs[i].*cases[i].field, cases[i].expected) << keys[i];
}

TEST_F(SpellFile, WordsAreComparedWholeWithoutRegardToCase) {
  const NumberCase cases[] = {
      {"LOFType=LOF_THROWCAST ; thrown", &CSpellDefinition::LOFType, kLofThrowCast},
      {"LOFType=lof_particle", &CSpellDefinition::LOFType, kLofParticle},
      {"LOFType=LOF_SIDEWAYS", &CSpellDefinition::LOFType, 0},
      {"Alignment=vrask", &CSpellDefinition::Alignment, kAlignVrask},
      {"Alignment=NEUTRAL ; a comment", &CSpellDefinition::Alignment, kAlignLaw},
      {"Radius=Large", &CSpellDefinition::Radius, 2},
      {"Radius=HUGE", &CSpellDefinition::Radius, 0},
      {"DoMRCheck=true", &CSpellDefinition::DoMRCheck, 1},
      {"DoMRCheck=FALSE", &CSpellDefinition::DoMRCheck, 0},
      {"DoITCheck=1", &CSpellDefinition::DoITCheck, 0},
      {"DoBRCheck=TRUE", &CSpellDefinition::DoBRCheck, 1},
  };
  std::vector<std::string> keys;
  for (const NumberCase& c : cases) keys.push_back(c.keys);
  ReadCases(keys);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(g_spellDefs[i].*cases[i].field, cases[i].expected) << keys[i];
}

TEST_F(SpellFile, AllowedTargetCodesBecomeMasks) {
  const std::pair<const char*, int> cases[] = {{"0", 1},   {"1", 1},   {"3", 4},   {"6", 14}, {"7", 13},
                                               {"11", 11}, {"13", 32}, {"14", 44}, {"20", 0}, {"60", 0}};
  std::vector<std::string> keys;
  for (const auto& c : cases) keys.push_back(std::string("AllowedTargets=") + c.first);
  ReadCases(keys);
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(g_spellDefs[i].AllowedTargets, cases[i].second) << keys[i];
}

TEST_F(SpellFile, TheAiAdjustmentIsAPositiveNumberOrZero) {
  ReadCases({"AI_Adjustment=2.5", "AI_Adjustment=-2", "AI_Adjustment=none", "Range=1", "AI_Adjustment=1e99"});
  EXPECT_FLOAT_EQ(g_spellDefs[0].AI_Adjustment, 2.5f);
  EXPECT_EQ(g_spellDefs[1].AI_Adjustment, 0.0f);
  EXPECT_EQ(g_spellDefs[2].AI_Adjustment, 0.0f);
  EXPECT_EQ(g_spellDefs[3].AI_Adjustment, 1.0f);
  EXPECT_TRUE(std::isfinite(g_spellDefs[4].AI_Adjustment));
}

TEST_F(SpellFile, MagicItemListsKeepTheirFirstFifteen) {
  const CSpellDefinition& three = Read("MagicItemsNeeded=3, 7=x, 12");
  EXPECT_EQ(three.MagicItemCount, 3);
  EXPECT_EQ(three.MagicItemsNeeded[0], 3);
  EXPECT_EQ(three.MagicItemsNeeded[1], 7);
  EXPECT_EQ(three.MagicItemsNeeded[2], 12);

  std::string list;
  for (int i = 1; i <= 17; ++i) list += (i > 1 ? "," : "") + std::to_string(100 + i);
  const CSpellDefinition& many = Read("MagicItemsNeeded=" + list + "\nNoRequired=2");
  EXPECT_EQ(many.MagicItemCount, 15);
  EXPECT_EQ(many.MagicItemsNeeded[14], 115);
  EXPECT_EQ(many.NoRequired, 2);  // the field behind the list is untouched by its surplus
}

TEST_F(SpellFile, TheMaximaFollowTheLargestValues) {
  dir_.Write("cfg/spells.cfg", "[SPELL_0]\nRange=12\nManaCost=40\n[SPELL_103]\nRange=300\nManaCost=7\n");
  ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
  EXPECT_EQ(g_maxSpellRange, 100);
  EXPECT_EQ(g_maxSpellCost, 40);
  EXPECT_EQ(g_spellDefs[103].RangeUnits, 3200);
}

TEST_F(SpellFile, ALongNameIsCutToItsField) {
  const CSpellDefinition& spell = Read("TextName=" + std::string(400, 'n'));
  EXPECT_EQ(std::string(spell.TextName).size(), 255u);
}

// The forged file holds what the forge's table says, and what the rules need. Read once,
// from the forged folder (reading writes nothing there).
class ForgedSpells : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string here = platform::CurrentDirectory();
    platform::ChangeDirectory(testing_support::ForgedDataDir());
    loaded_ = LoadSpells("cfg\\spells.cfg", g_spellDefs);
    platform::ChangeDirectory(here);
  }
  static void TearDownTestSuite() { LoadSpells("cfg\\none.cfg", g_spellDefs); }
  void SetUp() override { ASSERT_EQ(loaded_, 1); }
  static int loaded_;
};
int ForgedSpells::loaded_ = 0;

TEST_F(ForgedSpells, ReadBackEqualToTheTable) {
  for (int n = 0; n < kSpellCount; ++n) {
    const forge::SpellRow& row = forge::SpellTable()[static_cast<size_t>(n)];
    const CSpellDefinition& spell = g_spellDefs[n];
    SCOPED_TRACE(n);
    EXPECT_STREQ(spell.TextName, row.TextName);
    EXPECT_EQ(spell.Alignment, row.Alignment);
    EXPECT_EQ(spell.ManaCost, row.ManaCost);
    EXPECT_EQ(spell.Range, row.Range);
    EXPECT_EQ(spell.SpellStrength, row.SpellStrength);
    EXPECT_EQ(spell.Speed, row.Speed);
    EXPECT_EQ(spell.LOFType, row.LOFType);
    EXPECT_EQ(spell.Damage, row.Damage);
    EXPECT_EQ(spell.Duration, row.Duration);
    EXPECT_EQ(spell.BalanceAmount, row.BalanceAmount);
    EXPECT_EQ(spell.DoMRCheck, row.DoMRCheck);
    EXPECT_EQ(spell.DoITCheck, row.DoITCheck);
    EXPECT_EQ(spell.DoBRCheck, row.DoBRCheck);
    EXPECT_EQ(spell.Radius, row.Radius);
    EXPECT_EQ(spell.AllowedTargets, AllowedTargetsMask(row.AllowedTargets));
    EXPECT_EQ(spell.Data1, row.Data1);
    EXPECT_EQ(spell.SpellBoxSound, row.SpellBoxSound);
    EXPECT_FLOAT_EQ(spell.AI_Adjustment, static_cast<float>(row.AI_Adjustment));
    EXPECT_EQ(spell.MagicItemCount, static_cast<int>(row.MagicItemsNeeded.size()));
    EXPECT_EQ(spell.NoRequired, row.NoRequired);
    EXPECT_EQ(spell.AI_FlyingCreature, row.ai[0]);
    EXPECT_EQ(spell.AI_Missile, row.ai[5]);
    EXPECT_EQ(spell.AI_Evaders, row.ai[17]);
  }
}

TEST_F(ForgedSpells, EverySpellThatStartsSomethingCostsMana) {
  // The spells a cast starts an effect for: the summons, the creatures' missiles and the
  // rest of the cast table. Every other number costs nothing, so that no spell a wizard is
  // offered takes its mana for nothing: the summons of the rival wizards' types and of the
  // herald (24-27) and the bolt of spell state 2 (98), which no cast starts, among them.
  std::vector<bool> started(kSpellCount, false);
  for (int n = 0; n <= 23; ++n) started[static_cast<size_t>(n)] = true;
  for (int n : {93, 94, 95, 96, 97, 99, 100, 101, 102}) started[static_cast<size_t>(n)] = true;
  for (int n : {33, 34, 35, 38, 41, 42, 43, 44, 46, 50, 52, 54, 55, 58, 60, 62, 65, 68, 69, 70, 71,
                72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92})
    started[static_cast<size_t>(n)] = true;
  for (int n = 0; n < kSpellCount; ++n) EXPECT_EQ(g_spellDefs[n].ManaCost > 0, started[static_cast<size_t>(n)]) << n;
}

TEST_F(ForgedSpells, TuningRecordsHoldValuesTheirRulesCanUse) {
  using namespace spell_tuning;
  EXPECT_GT(g_spellDefs[kFallDamage].Damage, 0);
  EXPECT_GT(g_spellDefs[kFreezeShatter].Data1, 0);
  EXPECT_GT(g_spellDefs[kRaiseDead].Data1, 0);
  EXPECT_LE(g_spellDefs[kRaiseDead].Data1, 100);
  EXPECT_GT(g_spellDefs[kPanic].SpellStrength, 0);
  EXPECT_GT(g_spellDefs[kDrain].Duration, 0);
  EXPECT_GT(g_spellDefs[kDrain].Data1, 0);  // a divisor
  EXPECT_GT(g_spellDefs[kLevitate].Duration, 0);
  EXPECT_GT(g_spellDefs[kLevitate].Data1, 0);
  EXPECT_GT(g_spellDefs[kMightyBlow].Damage, 0);
  EXPECT_GT(g_spellDefs[kFlight].Duration, 0);
  EXPECT_GT(g_spellDefs[kFlight].Data1, 0);
  EXPECT_GT(g_spellDefs[kIllusion].SpellStrength, 0);
  EXPECT_GT(g_spellDefs[kPathFactorFirst].SpellStrength, 0);
  EXPECT_GT(g_spellDefs[kPathFactorSecond].SpellStrength, 0);
  EXPECT_GT(g_spellDefs[kArcaneBolt].Damage, 0);
  EXPECT_GT(g_spellDefs[kHoldShatter].Data1, 0);
}

TEST_F(ForgedSpells, TheCreatureSpellsCarryTheirTypesAlignments) {
  for (int t = 0; t < forge::kCreatureTypes; ++t)
    EXPECT_EQ(g_spellDefs[t].Alignment, forge::CreatureTable()[static_cast<size_t>(t)].alignment) << t;
}

// --- sightings -----------------------------------------------------------------------------

struct MemoryFile {
  explicit MemoryFile(std::vector<uint8_t> bytes) : data(std::move(bytes)) {
    file = fmemopen(data.data(), data.size(), "rb");
  }
  MemoryFile() { file = open_memstream(&buffer, &size); }
  ~MemoryFile() {
    if (file) std::fclose(file);
    std::free(buffer);
  }
  std::vector<uint8_t> Written() {
    std::fflush(file);
    return std::vector<uint8_t>(reinterpret_cast<uint8_t*>(buffer), reinterpret_cast<uint8_t*>(buffer) + size);
  }
  std::vector<uint8_t> data;
  char* buffer = nullptr;
  size_t size = 0;
  FILE* file = nullptr;
};

class Sightings : public ::testing::Test {
 protected:
  void TearDown() override { ResetSpellSightings(); }
  static void Mark() {
    g_spellDefs[0].Sightings[0][7] = 1;
    g_spellDefs[58].Sightings[3][2] = 1;
    g_spellDefs[103].Sightings[7][7] = 1;
  }
};

TEST_F(Sightings, RoundTripRestoresExactlyWhatWasSaved) {
  Mark();
  MemoryFile out;
  ASSERT_EQ(SaveSpellSightings(out.file), kSightingsBlockBytes);
  std::vector<uint8_t> saved = out.Written();
  ASSERT_EQ(saved.size(), 26624u);
  EXPECT_EQ(bytes::LoadU32(saved.data() + 58 * 256 + (3 * 8 + 2) * 4), 1u);  // [seeing 3][casting 2] of spell 58

  ResetSpellSightings();
  g_spellDefs[12].Sightings[1][1] = 1;  // seen after the save: the load drops it
  MemoryFile in(saved);
  ASSERT_EQ(LoadSpellSightings(in.file), kSightingsBlockBytes);
  EXPECT_EQ(g_spellDefs[0].Sightings[0][7], 1);
  EXPECT_EQ(g_spellDefs[58].Sightings[3][2], 1);
  EXPECT_EQ(g_spellDefs[103].Sightings[7][7], 1);
  EXPECT_EQ(g_spellDefs[12].Sightings[1][1], 0);
}

TEST_F(Sightings, AShortOrBadBlockChangesNothing) {
  Mark();
  MemoryFile out;
  ASSERT_EQ(SaveSpellSightings(out.file), kSightingsBlockBytes);
  std::vector<uint8_t> saved = out.Written();
  ResetSpellSightings();
  g_spellDefs[9].Sightings[2][2] = 1;

  std::vector<uint8_t> shortBlock(saved.begin(), saved.end() - 1);
  std::vector<uint8_t> badValue = saved;
  badValue[100 * 256 + 4] = 2;
  for (const auto& block : {shortBlock, badValue}) {
    MemoryFile in(block);
    EXPECT_EQ(LoadSpellSightings(in.file), -1);
    EXPECT_EQ(g_spellDefs[9].Sightings[2][2], 1);
    EXPECT_EQ(g_spellDefs[0].Sightings[0][7], 0);
  }
}

TEST_F(Sightings, TheForgedSampleLoadsAndSavesBackTheSame) {
  std::vector<uint8_t> sample;
  ASSERT_TRUE(platform::ReadWholeFile(testing_support::ForgedDataDir() + "/samples/sightings/battle.bin", sample));
  MemoryFile in(sample);
  ASSERT_EQ(LoadSpellSightings(in.file), kSightingsBlockBytes);
  EXPECT_EQ(g_spellDefs[13].Sightings[1][2], 1);
  EXPECT_EQ(g_spellDefs[14].Sightings[1][2], 0);
  MemoryFile out;
  ASSERT_EQ(SaveSpellSightings(out.file), kSightingsBlockBytes);
  EXPECT_EQ(out.Written(), sample);
}

TEST_F(Sightings, AFailedWriteReportsMinusOne) {
  Mark();
  std::vector<uint8_t> room(300);  // room for one block and a little
  FILE* file = fmemopen(room.data(), room.size(), "wb");
  ASSERT_NE(file, nullptr);
  std::setvbuf(file, nullptr, _IONBF, 0);
  EXPECT_EQ(SaveSpellSightings(file), -1);
  std::fclose(file);
}

}  // namespace
