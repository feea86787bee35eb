// The experience buffer and file: entries taken, completed, cleared and flushed; indexes that
// outlived their entry reach nothing; a flush that fails leaves the file and the entries as
// they were; the file is cut to its newest 2500 records.
#include <gtest/gtest.h>

#include "BrainFixtures.h"
#include "ai/AIExperienceStore.h"

namespace {

using namespace brain_test;

using ExperienceBuffer = StoreTest;

// Takes and completes an entry.
int Completed(int32_t key, std::vector<int32_t> inputs, int32_t outcome) {
  const int index = g_brain.AddExperience(key, inputs);
  g_brain.CompleteExperience(index, outcome);
  return index;
}

TEST_F(ExperienceBuffer, CompleteEntriesGoToTheFileInIndexOrder) {
  float chances[4];
  g_brain.Evaluate(9, {5}, 4, chances);  // key 9's node has four classes
  const int first = g_brain.AddExperience(3, {1, 2});
  Completed(9, {7}, 3);
  const int third = g_brain.AddExperience(3, {4, 5});
  g_brain.CompleteExperience(first, 2);
  g_brain.ClearExperience(third);
  // Nothing is on the disk yet.
  EXPECT_FALSE(platform::FileExists(kExperienceFileName));
  ASSERT_EQ(g_brain.FlushExperience(), 0);
  const std::vector<ExperienceRecord> records = FileRecords(kExperienceFileName);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].key, 3);
  EXPECT_EQ(records[0].inputs, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(records[0].classCount, 3);  // a key without a node: the three outcomes
  EXPECT_EQ(records[0].outcome, 2);
  EXPECT_EQ(records[1].key, 9);
  EXPECT_EQ(records[1].classCount, 4);
  EXPECT_EQ(records[1].outcome, 3);
  EXPECT_EQ(FileBytes(kExperienceFileName).size(), 2 * 16 + 3 * 4u);
  for (int slot = 0; slot < kExperienceEntries; ++slot) EXPECT_EQ(g_brain.Entry(slot).state, kExperienceFree);
  // A later flush appends.
  Completed(5, {}, 0);
  ASSERT_EQ(g_brain.FlushExperience(), 0);
  EXPECT_EQ(FileRecords(kExperienceFileName).size(), 3u);
}

TEST_F(ExperienceBuffer, NothingCompleteWritesNoFile) {
  g_brain.AddExperience(1, {1});
  EXPECT_EQ(g_brain.FlushExperience(), 0);
  EXPECT_FALSE(platform::DirectoryExists("AI"));
  EXPECT_FALSE(platform::FileExists(kExperienceFileName));
}

TEST_F(ExperienceBuffer, TheHundredAndFirstOpenEntryTakesOverTheFirst) {
  std::vector<int> indexes;
  for (int i = 0; i < kExperienceEntries; ++i) indexes.push_back(g_brain.AddExperience(1, {i}));
  const int taker = g_brain.AddExperience(2, {500, 501});
  EXPECT_EQ(g_brain.Entry(0).key, 2);
  EXPECT_EQ(g_brain.Entry(0).inputs, (std::vector<int32_t>{500, 501}));
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceOpen);
  // Its old owner's completion and clearing change nothing.
  g_brain.CompleteExperience(indexes[0], 1);
  g_brain.ClearExperience(indexes[0]);
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceOpen);
  EXPECT_EQ(g_brain.Entry(0).key, 2);
  // The new owner's do.
  g_brain.CompleteExperience(taker, 1);
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceComplete);
  EXPECT_FALSE(platform::FileExists(kExperienceFileName));
}

TEST_F(ExperienceBuffer, AFullBufferFlushesAndGivesTheLowestFreedEntry) {
  std::vector<int> indexes;
  for (int i = 0; i < kExperienceEntries; ++i) indexes.push_back(g_brain.AddExperience(1, {i}));
  g_brain.CompleteExperience(indexes[42], 0);
  g_brain.CompleteExperience(indexes[17], 2);
  const int index = g_brain.AddExperience(6, {6});
  EXPECT_EQ(FileRecords(kExperienceFileName).size(), 2u);
  EXPECT_EQ(g_brain.Entry(17).key, 6);
  EXPECT_EQ(g_brain.Entry(17).handle, index);
  EXPECT_EQ(g_brain.Entry(42).state, kExperienceFree);
}

TEST_F(ExperienceBuffer, IndexesThatOutlivedTheirEntryReachNothing) {
  const int cleared = g_brain.AddExperience(1, {1});
  g_brain.ClearExperience(cleared);
  const int flushed = Completed(1, {2}, 1);
  ASSERT_EQ(g_brain.FlushExperience(), 0);
  const int live = g_brain.AddExperience(1, {3});  // takes entry 0 again
  ASSERT_EQ(live & 127, 0);
  struct Stale {
    const char* name;
    int index;
  } stale[] = {
      {"none", -1},         {"zero", 0},          {"another generation", live ^ 128}, {"slot 100", (live & ~127) | 100},
      {"cleared", cleared}, {"flushed", flushed}, {"a huge number", 0x7fffffff}};
  for (const Stale& s : stale) {
    SCOPED_TRACE(s.name);
    g_brain.CompleteExperience(s.index, 2);
    g_brain.ClearExperience(s.index);
    EXPECT_EQ(g_brain.Entry(0).state, kExperienceOpen);
    EXPECT_EQ(g_brain.Entry(0).inputs, std::vector<int32_t>{3});
  }
  // An outcome outside the entry's classes is refused.
  for (int32_t outcome : {-1, 3}) {
    g_brain.CompleteExperience(live, outcome);
    EXPECT_EQ(g_brain.Entry(0).state, kExperienceOpen);
  }
}

TEST_F(ExperienceBuffer, TooLongASituationIsRefused) {
  EXPECT_EQ(g_brain.AddExperience(1, std::vector<int32_t>(kMaxBrainInputs + 1, 0)), -1);
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceFree);
  EXPECT_GT(g_brain.AddExperience(1, std::vector<int32_t>(kMaxBrainInputs, 0)), 0);
}

int g_failingRecord = 0;

TEST_F(ExperienceBuffer, AFlushThatFailsLeavesFileAndEntriesAsTheyWere) {
  for (bool fileBefore : {false, true}) {
    for (int failing : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << (fileBefore ? "after older records" : "no file yet") << ", record "
                                      << failing);
      g_brain.Reset();
      platform::RemoveFile(kExperienceFileName);
      const std::vector<uint8_t> old = RecordBytes({Record(8, {8, 8}, 1)});
      if (fileBefore) WriteFile(kExperienceFileName, old);
      Completed(1, {10}, 0);
      g_brain.AddExperience(2, {20});  // stays open
      Completed(3, {30, 31}, 1);
      Completed(4, {40}, 2);
      g_failingRecord = failing;
      SetExperienceWriteFaultForTesting([](int record) { return record == g_failingRecord; });
      EXPECT_EQ(g_brain.FlushExperience(), -2);
      SetExperienceWriteFaultForTesting(nullptr);
      EXPECT_EQ(platform::FileExists(kExperienceFileName), fileBefore);
      if (fileBefore) EXPECT_EQ(FileBytes(kExperienceFileName), old);
      for (int slot : {0, 2, 3}) EXPECT_EQ(g_brain.Entry(slot).state, kExperienceComplete);
      EXPECT_EQ(g_brain.Entry(1).state, kExperienceOpen);
      // The next flush writes them all.
      ASSERT_EQ(g_brain.FlushExperience(), 0);
      EXPECT_EQ(FileRecords(kExperienceFileName).size(), fileBefore ? 4u : 3u);
    }
  }
}

TEST_F(ExperienceBuffer, ABattleThatDoesNotLearnLetsItsExperienceGo) {
  g_brain.SetLearning(false);
  Completed(1, {1}, 1);
  EXPECT_EQ(g_brain.FlushExperience(), 0);
  EXPECT_FALSE(platform::FileExists(kExperienceFileName));
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceFree);
}

TEST_F(ExperienceBuffer, ANewBattleDropsTheOpenEntriesAndKeepsTheComplete) {
  g_brain.AddExperience(1, {1});
  Completed(1, {2}, 1);
  g_brain.DropOpenExperience();
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceFree);
  EXPECT_EQ(g_brain.Entry(1).state, kExperienceComplete);
}

TEST_F(ExperienceBuffer, TheControllersRatingsReachTheStore) {
  const int rated = g_brain.AddExperience(1, {1});
  const int dropped = g_brain.AddExperience(1, {2});
  g_aiExperience->CompleteExperience(rated, 2);
  g_aiExperience->ClearExperience(dropped);
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceComplete);
  EXPECT_EQ(g_brain.Entry(0).outcome, 2);
  EXPECT_EQ(g_brain.Entry(1).state, kExperienceFree);
}

// --- the cut of the file -------------------------------------------------------------------

std::vector<ExperienceRecord> Numbered(int count) {
  std::vector<ExperienceRecord> records;
  for (int i = 0; i < count; ++i) records.push_back(Record(i % 5, {i, i / 2}, i % 3));
  return records;
}

struct Cut {
  const char* name;
  int records;
  std::vector<uint8_t> tail;  // bytes after the last whole record
  int firstKept;              // the number of the first record left
  int kept;
};

TEST_F(ExperienceBuffer, TheFileKeepsItsNewest2500Records) {
  const Cut cuts[] = {
      {"2500 records", 2500, {}, 0, 2500},
      {"2501 records", 2501, {}, 1, 2500},
      {"3000 records", 3000, {}, 500, 2500},
      {"10 records and a torn one", 10, {1, 0, 0, 0, 5, 0, 0, 0, 9}, 0, 10},
      {"10 records and an impossible input count", 10, {1, 0, 0, 0, 0xff, 0xff, 0xff, 0x7f, 0, 0, 0, 0}, 0, 10},
      {"2501 records and a torn one", 2501, {7, 0}, 1, 2500},
  };
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.name);
    std::vector<uint8_t> data = RecordBytes(Numbered(cut.records));
    data.insert(data.end(), cut.tail.begin(), cut.tail.end());
    WriteFile(kExperienceFileName, data);
    SetAge(kExperienceFileName, 100);
    const int64_t time = platform::FileWriteTime(kExperienceFileName);
    int steps = 0;
    EXPECT_EQ(g_brain.RewriteExperienceFile([&] { ++steps; }), 0);
    EXPECT_EQ(steps, 1);
    const std::vector<ExperienceRecord> records = FileRecords(kExperienceFileName);
    ASSERT_EQ(records.size(), static_cast<size_t>(cut.kept));
    EXPECT_EQ(records.front().inputs[0], cut.firstKept);
    EXPECT_EQ(records.back().inputs[0], cut.records - 1);
    const bool rewritten = cut.kept != cut.records || !cut.tail.empty();
    EXPECT_EQ(platform::FileWriteTime(kExperienceFileName) != time, rewritten);  // a file in order is not touched
    EXPECT_EQ(platform::ListDirectory("AI"), std::vector<std::string>{"EXPERIEN.DAT"});
  }
}

platform::ReplacementStep g_failingStep;

TEST_F(ExperienceBuffer, ACutThatFailsKeepsTheWholeFile) {
  const std::vector<uint8_t> data = RecordBytes(Numbered(2600));
  using platform::ReplacementStep;
  for (ReplacementStep step :
       {ReplacementStep::kCreate, ReplacementStep::kWrite, ReplacementStep::kSyncFile, ReplacementStep::kRename}) {
    SCOPED_TRACE(static_cast<int>(step));
    WriteFile(kExperienceFileName, data);
    g_failingStep = step;
    platform::SetReplacementFaultForTesting([](ReplacementStep at) { return at == g_failingStep; });
    EXPECT_EQ(g_brain.RewriteExperienceFile(), -4);
    platform::SetReplacementFaultForTesting(nullptr);
    EXPECT_EQ(FileBytes(kExperienceFileName), data);
    EXPECT_EQ(platform::ListDirectory("AI"), std::vector<std::string>{"EXPERIEN.DAT"});
  }
  // A temporary file left by an earlier run goes.
  WriteFile(kExperienceTempFileName, {1, 2, 3});
  EXPECT_EQ(g_brain.RewriteExperienceFile(), 0);
  EXPECT_EQ(platform::ListDirectory("AI"), std::vector<std::string>{"EXPERIEN.DAT"});
  // No file: -1.
  platform::RemoveFile(kExperienceFileName);
  EXPECT_EQ(g_brain.RewriteExperienceFile(), -1);
}

}  // namespace
