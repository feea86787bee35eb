// The brain file: a table saved and loaded back byte for byte, damaged files refused without
// harm, saves that fail keeping the old file, and whether experience waits to be processed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "BrainFixtures.h"
#include "ai/BrainProcessing.h"
#include "ai/BrainTableBytes.h"

namespace {

using namespace brain_test;

// A table as processing leaves it: one key of two inputs and three classes.
BrainTable ProcessedTable() {
  std::vector<ExperienceRecord> records;
  for (int i = 0; i < 40; ++i) records.push_back(Record(4, {i % 7, (i * 5) % 11}, i % 3));
  BrainTable table;
  EXPECT_EQ(BuildBrainTable(records, table), 0);
  return table;
}

std::vector<uint8_t> WithWord(std::vector<uint8_t> data, size_t at, uint32_t word) {
  bytes::StoreU32(data.data() + at, word);
  return data;
}

uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

// Offsets in the block of the processed table's key.
constexpr size_t kInputCountAt = 4;
constexpr size_t kClassCountAt = 8;
constexpr size_t kBinCountAt = 16;    // after the first class's prior
constexpr size_t kFirstWidthAt = 24;  // the first bin's low, then its width
constexpr size_t kFirstScoreAt = 28;

struct DamagedFile {
  const char* name;
  std::vector<uint8_t> data;
};

TEST(BrainFile, ADamagedFileLoadsAsAnEmptyTable) {
  testing_support::TempDir dir(true);
  const std::vector<uint8_t> good = BrainTableBytes(ProcessedTable());
  const DamagedFile files[] = {
      {"cut inside a class block", std::vector<uint8_t>(good.begin(), good.end() - 10)},
      {"cut inside the key's header", std::vector<uint8_t>(good.begin(), good.begin() + 5)},
      {"bytes after the last block",
       [&] {
         std::vector<uint8_t> data = good;
         data.insert(data.end(), {1, 2, 3});
         return data;
       }()},
      {"bin count unlike the input count", WithWord(good, kBinCountAt, 3)},
      {"input count 2^30", WithWord(good, kInputCountAt, 1u << 30)},
      {"input count -1", WithWord(good, kInputCountAt, 0xFFFFFFFFu)},
      {"no classes", WithWord(good, kClassCountAt, 0)},
      {"17 classes", WithWord(good, kClassCountAt, 17)},
      {"a width of 0", WithWord(good, kFirstWidthAt, FloatBits(0.0f))},
      {"a negative width", WithWord(good, kFirstWidthAt, FloatBits(-1.0f))},
      {"a score that is no number", WithWord(good, kFirstScoreAt, FloatBits(std::nanf("")))},
      {"an infinite score", WithWord(good, kFirstScoreAt, FloatBits(INFINITY))},
  };
  for (const DamagedFile& file : files) {
    SCOPED_TRACE(file.name);
    WriteFile(kBrainFileName, file.data);
    g_brain.Table() = ProcessedTable();  // a table in use goes in any case
    EXPECT_EQ(g_brain.Load(kBrainFileName), -2);
    EXPECT_TRUE(g_brain.Table().empty());
    EXPECT_EQ(FileBytes(kBrainFileName), file.data);  // the file is left for the caller
  }
  g_brain.Reset();
}

TEST(BrainFile, SoundFilesLoad) {
  testing_support::TempDir dir(true);
  // Empty: an empty table.
  WriteFile(kBrainFileName, {});
  g_brain.Table() = ProcessedTable();
  EXPECT_EQ(g_brain.Load(kBrainFileName), 0);
  EXPECT_TRUE(g_brain.Table().empty());
  // None: -1, and an empty table.
  g_brain.Table() = ProcessedTable();
  EXPECT_EQ(g_brain.Load("AI/NONE.DAT"), -1);
  EXPECT_TRUE(g_brain.Table().empty());
  // A key twice: its second block wins.
  BrainTable first = ProcessedTable(), second = ProcessedTable();
  first.at(4).classes[0].prior = 0.25f;
  second.at(4).classes[0].prior = 0.75f;
  std::vector<uint8_t> data = BrainTableBytes(first);
  const std::vector<uint8_t> again = BrainTableBytes(second);
  data.insert(data.end(), again.begin(), again.end());
  WriteFile(kBrainFileName, data);
  EXPECT_EQ(g_brain.Load(kBrainFileName), 0);
  ASSERT_EQ(g_brain.Table().size(), 1u);
  EXPECT_EQ(g_brain.Table().at(4).classes[0].prior, 0.75f);
  g_brain.Reset();
}

TEST(BrainFile, SaveLoadSaveGivesTheSameBytes) {
  testing_support::TempDir dir(true);
  g_brain.Table() = ProcessedTable();
  float chances[3];
  g_brain.Evaluate(-9, {1, 2, 3}, 3, chances);  // a fresh node beside it, at a negative key
  const uint64_t digest = g_brain.Digest();
  ASSERT_EQ(g_brain.Save(), 0);  // the missing folder is made
  const std::vector<uint8_t> saved = FileBytes(kBrainFileName);
  EXPECT_EQ(saved.size(), 2 * 12 + 3 * BrainClassBytes(2) + 3 * BrainClassBytes(3));
  ASSERT_EQ(g_brain.Load(kBrainFileName), 0);
  EXPECT_EQ(g_brain.Digest(), digest);
  ASSERT_EQ(g_brain.Save(), 0);
  EXPECT_EQ(FileBytes(kBrainFileName), saved);
  // In ascending key order.
  EXPECT_EQ(bytes::LoadI32(saved.data()), -9);
  // An empty table: an empty file, and another digest.
  g_brain.Reset();
  EXPECT_NE(g_brain.Digest(), digest);
  ASSERT_EQ(g_brain.Save(), 0);
  EXPECT_EQ(platform::FileSize(kBrainFileName), 0);
}

TEST(BrainFile, TheNamesAreMatchedWithoutRegardToCase) {
  testing_support::TempDir dir(true);
  g_brain.Table() = ProcessedTable();
  platform::MakeDirectory("ai");
  ASSERT_EQ(g_brain.SaveAs("ai/brain.dat"), 0);
  g_brain.Reset();
  ASSERT_EQ(g_brain.Load(kBrainFileName), 0);
  EXPECT_EQ(g_brain.Table().size(), 1u);
  ASSERT_EQ(g_brain.Save(), 0);
  EXPECT_EQ(platform::ListDirectory("."), std::vector<std::string>{"ai"});
  EXPECT_EQ(platform::ListDirectory("ai"), std::vector<std::string>{"brain.dat"});
  g_brain.Reset();
}

platform::ReplacementStep g_failingStep;

TEST(BrainFile, ASaveThatFailsKeepsTheOldFile) {
  testing_support::TempDir dir(true);
  const std::vector<uint8_t> old = BrainTableBytes(ProcessedTable());
  using platform::ReplacementStep;
  for (ReplacementStep step : {ReplacementStep::kCreate, ReplacementStep::kWrite, ReplacementStep::kFlush,
                               ReplacementStep::kSyncFile, ReplacementStep::kClose, ReplacementStep::kRename}) {
    SCOPED_TRACE(static_cast<int>(step));
    WriteFile(kBrainFileName, old);
    g_brain.Reset();
    float chances[3];
    g_brain.Evaluate(8, {1}, 3, chances);
    g_failingStep = step;
    platform::SetReplacementFaultForTesting([](ReplacementStep at) { return at == g_failingStep; });
    EXPECT_NE(g_brain.Save(), 0);
    platform::SetReplacementFaultForTesting(nullptr);
    EXPECT_EQ(FileBytes(kBrainFileName), old);
    EXPECT_EQ(platform::ListDirectory("AI"), std::vector<std::string>{"BRAIN.DAT"});  // nothing left behind
  }
  g_brain.Reset();
}

struct FileState {
  const char* name;
  bool experience, brain;
  int experienceAge, brainAge;  // seconds before now
  bool waiting;
};

TEST(BrainFile, ExperienceWaitsWhenItIsNewerThanTheBrainFile) {
  const FileState states[] = {
      {"neither file", false, false, 0, 0, false},
      {"a brain file alone", false, true, 0, 10, false},
      {"experience alone", true, false, 10, 0, true},
      {"experience newer than the brain file", true, true, 10, 100, true},
      {"experience older than the brain file", true, true, 100, 10, false},
      {"both written at once", true, true, 50, 50, false},
  };
  for (const FileState& state : states) {
    SCOPED_TRACE(state.name);
    testing_support::TempDir dir(true);
    if (state.experience) {
      WriteFile(kExperienceFileName, RecordBytes({Record(1, {2}, 0)}));
      SetAge(kExperienceFileName, state.experienceAge);
    }
    if (state.brain) {
      WriteFile(kBrainFileName, {});
      SetAge(kBrainFileName, state.brainAge);
    }
    EXPECT_EQ(g_brain.ExperienceFileExists(), state.waiting);
  }
}

}  // namespace
