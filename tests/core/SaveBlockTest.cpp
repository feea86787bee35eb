#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/SaveBlock.h"

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// A stream holding exactly these bytes, read from the start.
File StreamOf(const std::vector<uint8_t>& bytes) {
  File file(std::tmpfile());
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file.get());
  std::rewind(file.get());
  return file;
}

std::vector<uint8_t> CountedBytes(int32_t count, size_t bodyBytes) {
  bytes::Writer out;
  out.I32(count);
  for (size_t i = 0; i < bodyBytes; ++i) out.U8(static_cast<uint8_t>(i));
  return out.Data();
}

TEST(SaveBlock, ACountedBlockRoundTrips) {
  const std::vector<int32_t> records = {7, -3, 1 << 20};
  bytes::Writer out;
  bytes::WriteCounted(out, static_cast<int32_t>(records.size()),
                      [&](bytes::Writer& record, int i) { record.I32(records[static_cast<size_t>(i)]); });
  out.U16(0xBEEF);  // a fixed field after the records
  File file(std::tmpfile());
  EXPECT_EQ(bytes::WriteSaveBlock(file.get(), out), 4 + 12 + 2);
  std::rewind(file.get());

  bytes::CountedBlock block;
  ASSERT_TRUE(bytes::ReadCountedBlock(file.get(), 0, 3, 4, 2, block));
  EXPECT_EQ(block.count, 3);
  EXPECT_EQ(block.Size(), 18);
  bytes::Reader in(block.data);
  for (int32_t value : records) EXPECT_EQ(in.I32(), value);
  EXPECT_EQ(in.U16(), 0xBEEF);
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(SaveBlock, ACountOutOfBoundsOrAShortBlockIsRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t minCount, maxCount;
    bool read;
  };
  const Case cases[] = {
      {"within bounds", CountedBytes(2, 2 * 8 + 4), 0, 4, true},
      {"at the upper bound", CountedBytes(4, 4 * 8 + 4), 0, 4, true},
      {"one over", CountedBytes(5, 5 * 8 + 4), 0, 4, false},
      {"negative", CountedBytes(-1, 64), -5, 4, false},
      {"huge", CountedBytes(0x7FFFFFFF, 16), 0, 0x7FFFFFFF / 8, false},
      {"not the count asked for", CountedBytes(3, 3 * 8 + 4), 2, 2, false},
      {"records cut short", CountedBytes(2, 2 * 8 + 3), 0, 4, false},
      {"no count word", {1, 2, 3}, 0, 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    File file = StreamOf(c.bytes);
    bytes::CountedBlock block;
    block.count = 99;
    EXPECT_EQ(bytes::ReadCountedBlock(file.get(), c.minCount, c.maxCount, 8, 4, block), c.read);
    if (!c.read) {
      EXPECT_EQ(block.count, 99);  // nothing taken
      EXPECT_TRUE(block.data.empty());
    }
  }
}

TEST(SaveBlock, AFailedWriteAnswersMinusOne) {
  File file(std::fopen("/dev/full", "wb"));
  if (!file) GTEST_SKIP() << "no /dev/full";
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  bytes::Writer out;
  out.I32(1);
  EXPECT_EQ(bytes::WriteSaveBlock(file.get(), out), -1);
}

}  // namespace
