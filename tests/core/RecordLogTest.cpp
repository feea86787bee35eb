#include <gtest/gtest.h>

#include <cstring>

#include "core/RecordLog.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

std::vector<uint8_t> Payload(size_t n, uint8_t seed) {
  std::vector<uint8_t> p(n);
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(seed + i * 3);
  return p;
}

class RecordLogTest : public ::testing::TestWithParam<int> {};

TEST_P(RecordLogTest, RecordsRoundTripBufferedOrNot) {
  TempDir dir;
  std::string name = dir.File("battle.log");
  CRecordLog log;
  ASSERT_TRUE(log.OpenForWrite(name.c_str(), GetParam()));
  std::vector<std::vector<uint8_t>> written;
  for (size_t n : {0u, 1u, 7u, 40u, 200u, 3u}) {
    written.push_back(Payload(n, static_cast<uint8_t>(n)));
    ASSERT_TRUE(log.WriteRecord(written.back().data(), static_cast<uint32_t>(n)));
  }
  log.Close();
  EXPECT_EQ(log.error, 0);

  ASSERT_TRUE(log.OpenForRead(name.c_str(), 0));
  for (const auto& expected : written) {
    std::vector<uint8_t> got(256, 0xAA);
    ASSERT_TRUE(log.ReadRecord(got.data(), 256));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin()));
  }
  EXPECT_EQ(log.isOpen, 0);  // the last read closed it
  std::vector<uint8_t> got(256);
  EXPECT_FALSE(log.ReadRecord(got.data(), 256));
  EXPECT_EQ(log.error, CRecordLog::kNotReading);
}

INSTANTIATE_TEST_SUITE_P(BufferSizes, RecordLogTest, ::testing::Values(0, 16, 48, 4096));

TEST(RecordLog, RecordThatJustFitsTheBufferStaysInIt) {
  TempDir dir;
  std::string name = dir.File("b.log");
  CRecordLog log;
  ASSERT_TRUE(log.OpenForWrite(name.c_str(), 32));
  std::vector<uint8_t> p = Payload(24, 1);
  ASSERT_TRUE(log.WriteRecord(p.data(), 24));
  EXPECT_FALSE(platform::FileExists(name));  // nothing written yet
  std::vector<uint8_t> big = Payload(25, 2);
  ASSERT_TRUE(log.WriteRecord(big.data(), 25));  // flushes the first, then goes straight to the file
  EXPECT_EQ(platform::FileSize(name), 32 + 33);
  log.Close();
  EXPECT_EQ(platform::FileSize(name), 32 + 33);
}

TEST(RecordLog, ReadErrorsCarryTheirCodes) {
  TempDir dir;
  CRecordLog log;
  // A missing file: code 1, and it is not created.
  EXPECT_FALSE(log.OpenForRead(dir.File("none.log").c_str(), 0));
  EXPECT_EQ(log.error, CRecordLog::kReadFailed);
  EXPECT_FALSE(platform::FileExists(dir.File("none.log")));
  // An empty file: code 1.
  dir.Write("empty.log", "");
  EXPECT_FALSE(log.OpenForRead(dir.File("empty.log").c_str(), 0));
  EXPECT_EQ(log.error, CRecordLog::kReadFailed);
  // A wrong tag: code 6.
  dir.Write("tag.log", std::string("lug\0\1\0\0\0x", 9));
  ASSERT_TRUE(log.OpenForRead(dir.File("tag.log").c_str(), 0));
  char buffer[8];
  EXPECT_FALSE(log.ReadRecord(buffer, sizeof buffer));
  EXPECT_EQ(log.error, CRecordLog::kBadRecord);
  // Longer than the caller's buffer: code 6.
  dir.Write("long.log", std::string("log\0\x09\0\0\0abcdefghi", 17));
  ASSERT_TRUE(log.OpenForRead(dir.File("long.log").c_str(), 0));
  EXPECT_FALSE(log.ReadRecord(buffer, sizeof buffer));
  EXPECT_EQ(log.error, CRecordLog::kBadRecord);
  // A payload cut short by the end of the file: code 1.
  dir.Write("short.log", std::string("log\0\x05\0\0\0ab", 10));
  ASSERT_TRUE(log.OpenForRead(dir.File("short.log").c_str(), 0));
  EXPECT_FALSE(log.ReadRecord(buffer, sizeof buffer));
  EXPECT_EQ(log.error, CRecordLog::kReadFailed);
  // Reading a log open for writing: code 5.
  ASSERT_TRUE(log.OpenForWrite(dir.File("w.log").c_str(), 0));
  EXPECT_FALSE(log.ReadRecord(buffer, sizeof buffer));
  EXPECT_EQ(log.error, CRecordLog::kNotReading);
  // A file that cannot be opened for writing: code 3.
  ASSERT_TRUE(log.OpenForWrite(dir.File("no/such/folder.log").c_str(), 0));
  EXPECT_FALSE(log.WriteRecord("x", 1));
  EXPECT_EQ(log.error, CRecordLog::kOpenFailed);
  // Buffered records that cannot be flushed at closing: the failure is left in the code.
  ASSERT_TRUE(log.OpenForWrite(dir.File("no/such/folder.log").c_str(), 64));
  EXPECT_TRUE(log.WriteRecord("x", 1));
  log.Close();
  EXPECT_EQ(log.error, CRecordLog::kOpenFailed);
  EXPECT_EQ(log.isOpen, 0);
}

TEST(RecordLog, RecordRunningPastTheLengthSeenAtOpeningFailsAfterItsPayload) {
  TempDir dir;
  std::string name = dir.File("grow.log");
  dir.Write("grow.log", std::string("log\0\x02\0\0\0ab", 10));
  CRecordLog log;
  ASSERT_TRUE(log.OpenForRead(name.c_str(), 0));
  // The file grows behind the reader's back: the record now claims more than was there.
  dir.Write("grow.log", std::string("log\0\x04\0\0\0abcd", 12));
  char buffer[8] = {};
  EXPECT_FALSE(log.ReadRecord(buffer, sizeof buffer));
  EXPECT_EQ(log.error, CRecordLog::kBadRecord);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
}

TEST(RecordLog, PeekDoesNotMove) {
  TempDir dir;
  std::string name = dir.File("p.log");
  CRecordLog log;
  ASSERT_TRUE(log.OpenForWrite(name.c_str(), 0));
  ASSERT_TRUE(log.WriteRecord("hello", 5));
  ASSERT_TRUE(log.WriteRecord("world", 5));
  log.Close();
  ASSERT_TRUE(log.OpenForRead(name.c_str(), 0));
  char a[3], b[3];
  ASSERT_TRUE(log.PeekRecord(a, 3));
  ASSERT_TRUE(log.PeekRecord(b, 3));
  EXPECT_EQ(std::string(a, 3), "hel");
  EXPECT_EQ(std::string(b, 3), "hel");
  char whole[5];
  ASSERT_TRUE(log.ReadRecord(whole, 5));
  ASSERT_TRUE(log.PeekRecord(a, 3));
  EXPECT_EQ(std::string(a, 3), "wor");
}

TEST(RecordLog, PeekBeyondAShortRecordIsABadRecordNotTheNextHeader) {
  TempDir dir;
  // A two-byte record followed by a whole one: a four-byte peek may not run into "log\0".
  dir.Write("short.log", std::string("log\0\x02\0\0\0ablog\0\x04\0\0\0wxyz", 22));
  CRecordLog log;
  ASSERT_TRUE(log.OpenForRead(dir.File("short.log").c_str(), 0));
  char head[4] = {};
  EXPECT_FALSE(log.PeekRecord(head, sizeof head));
  EXPECT_EQ(log.error, CRecordLog::kBadRecord);
  EXPECT_EQ(log.isOpen, 0);
  EXPECT_EQ(std::string(head, 4), std::string(4, '\0'));
  // A peek of exactly the record's length is fine; a record cut by the end of the file fails.
  ASSERT_TRUE(log.OpenForRead(dir.File("short.log").c_str(), 0));
  EXPECT_TRUE(log.PeekRecord(head, 2));
  EXPECT_EQ(std::string(head, 2), "ab");
  dir.Write("cut.log", std::string("log\0\x08\0\0\0abc", 11));
  ASSERT_TRUE(log.OpenForRead(dir.File("cut.log").c_str(), 0));
  EXPECT_FALSE(log.PeekRecord(head, sizeof head));
  EXPECT_EQ(log.error, CRecordLog::kReadFailed);
}

TEST(RecordLog, WritingWhenNotOpenSucceedsWithoutEffect) {
  CRecordLog log;
  EXPECT_TRUE(log.WriteRecord("x", 1));
  EXPECT_EQ(log.error, 0);
}

}  // namespace
