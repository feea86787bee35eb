#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TraceLog.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// The counts of the records a dump wrote, in order.
std::vector<int> DumpedCounts(const std::string& text) {
  std::vector<int> counts;
  for (size_t at = text.find("COUNT: "); at != std::string::npos; at = text.find("COUNT: ", at + 1))
    counts.push_back(std::stoi(text.substr(at + 7)));
  return counts;
}

using testing_support::ReadText;

TEST(TraceLog, AFewRecordsAreWrittenAsTheyCame) {
  testing_support::TempDir dir;
  CTraceLog log;
  log.Record("Map", 10);
  log.Record("effects", 20);
  EXPECT_EQ(log.Record("Main", 30), 3);
  log.WriteToFile(dir.File("rand_log.txt").c_str());
  std::string text = ReadText(dir.File("rand_log.txt"));
  EXPECT_EQ(text,
            "\nCOUNT: 0\tFILE: Map\tLINE: 10\nCOUNT: 1\tFILE: effects\tLINE: 20\nCOUNT: 2\tFILE: Main\tLINE: 30\n\n");
}

TEST(TraceLog, AFullRingDumpsOldestFirstAndKeepsItsOrderAcrossDumps) {
  testing_support::TempDir dir;
  auto log = std::make_unique<CTraceLog>();
  for (int i = 0; i < 401; ++i) log->Record("Map", i);
  EXPECT_EQ(log->entries[0].count, 400);
  EXPECT_EQ(log->entries[1].count, 1);
  log->WriteToFile(dir.File("first.txt").c_str());
  std::vector<int> first = DumpedCounts(ReadText(dir.File("first.txt")));
  ASSERT_EQ(first.size(), 400u);
  EXPECT_EQ(first.front(), 1);
  EXPECT_EQ(first.back(), 400);

  for (int i = 0; i < 5; ++i) log->Record("Map", i);
  log->WriteToFile(dir.File("second.txt").c_str());
  std::vector<int> second = DumpedCounts(ReadText(dir.File("second.txt")));
  ASSERT_EQ(second.size(), 400u);
  EXPECT_EQ(second.front(), 6);
  EXPECT_EQ(second.back(), 405);
  for (size_t i = 1; i < second.size(); ++i) ASSERT_EQ(second[i], second[i - 1] + 1);
}

TEST(TraceLog, LongFileTextIsCutAndAnUnopenableFileIsIgnored) {
  auto log = std::make_unique<CTraceLog>();
  std::string longPath(1000, 'p');
  log->Record(longPath.c_str(), 1);
  EXPECT_EQ(std::string(log->entries[0].file).size(), 255u);
  log->WriteToFile("/no/such/folder/rand_log.txt");
  log->Clear();
  EXPECT_EQ(log->counter, 0);
  EXPECT_EQ(log->writeIndex, 0);
}

}  // namespace
