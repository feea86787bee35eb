#include <gtest/gtest.h>

#include <cstring>

#include "core/Bytes.h"
#include "core/DataFile.h"
#include "core/PackedData.h"
#include "core/Random.h"
#include "forge/Packer.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

std::vector<uint8_t> MixedData(size_t size, uint32_t seed) {
  std::vector<uint8_t> data(size);
  CRandom random(seed);
  for (size_t i = 0; i < size; ++i) {
    uint32_t r = random.Next();
    // Runs, repeats and noise.
    data[i] = (i / 97) % 3 == 0 ? static_cast<uint8_t>(i / 97) : (i % 5 == 0 ? static_cast<uint8_t>(r) : data[i / 2]);
  }
  return data;
}

// Reads a file through CDataFile::ReadPacked with the expected size.
bool ReadPackedFile(const std::string& path, std::vector<uint8_t>& out, size_t expected, int* packedFlag = nullptr) {
  CDataFile file;
  if (!file.Open(path.c_str(), "rb")) return false;
  out.assign(expected, 0xEE);
  bool ok = file.ReadPacked(out.data(), static_cast<int>(expected));
  if (packedFlag) *packedFlag = file.packedFlag;
  return ok;
}

struct Shape {
  uint32_t method;
  size_t size;
};

class PackedRoundTrip : public ::testing::TestWithParam<Shape> {};

TEST_P(PackedRoundTrip, ForgedFilesUnpackToTheirData) {
  TempDir dir;
  const Shape shape = GetParam();
  std::vector<uint8_t> data = MixedData(shape.size, static_cast<uint32_t>(shape.size) * 7 + shape.method);
  std::vector<uint8_t> file = forge::PackData(data, shape.method, 0xC0FFEEu + shape.method);
  dir.Write("p.dat", file);
  std::vector<uint8_t> out;
  int flag = -1;
  ASSERT_TRUE(ReadPackedFile(dir.File("p.dat"), out, data.size(), &flag));
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(out, data);
}

INSTANTIATE_TEST_SUITE_P(Methods, PackedRoundTrip,
                         ::testing::Values(Shape{0, 1}, Shape{0, 4099}, Shape{1, 1}, Shape{1, 1000}, Shape{1, 20000},
                                           Shape{2, 1}, Shape{2, 17}, Shape{2, 5000}, Shape{2, 20000}));

TEST(PackedData, ForgedSamplesUnpack) {
  std::string samples = testing_support::ForgedDataDir() + "/samples/packed/";
  std::vector<uint8_t> plain;
  ASSERT_TRUE(platform::ReadWholeFile(samples + "plain.dat", plain));
  for (const char* name : {"method0.dat", "method1.dat", "method2.dat"}) {
    std::vector<uint8_t> out;
    int flag = 0;
    ASSERT_TRUE(ReadPackedFile(samples + name, out, plain.size(), &flag)) << name;
    EXPECT_EQ(flag, 1) << name;
    EXPECT_EQ(out, plain) << name;
  }
  // A plain file is delivered as it is.
  std::vector<uint8_t> out;
  int flag = 1;
  ASSERT_TRUE(ReadPackedFile(samples + "plain.dat", out, plain.size(), &flag));
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(out, plain);
}

TEST(PackedData, BadBodyChecksumIsDeliveredAsRead) {
  TempDir dir;
  std::vector<uint8_t> data = MixedData(300, 1);
  std::vector<uint8_t> file = forge::PackData(data, packed::kRunLength, 5);
  file[30] ^= 0x40;  // damage the body
  dir.Write("p.dat", file);
  std::vector<uint8_t> out;
  int flag = 1;
  ASSERT_TRUE(ReadPackedFile(dir.File("p.dat"), out, file.size(), &flag));
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(out, file);  // header included, scrambled as it was
}

TEST(PackedData, SmallFilesAreCopiedAsTheyAre) {
  TempDir dir;
  std::vector<uint8_t> twenty(20, 7);
  dir.Write("s.dat", twenty);
  std::vector<uint8_t> out;
  ASSERT_TRUE(ReadPackedFile(dir.File("s.dat"), out, 20));
  EXPECT_EQ(out, twenty);
  // Asking for more than a plain file holds is a failure, never a read past its end.
  EXPECT_FALSE(ReadPackedFile(dir.File("s.dat"), out, 64));
}

// Builds a packed file by hand, around a body given as it is.
std::vector<uint8_t> HandPacked(const std::vector<uint8_t>& body, uint32_t unpackedSize, uint32_t method,
                                uint32_t dataSum) {
  bytes::Writer w;
  w.U32(17);
  w.U32(unpackedSize);
  w.U32(packed::Checksum(body.data(), body.size()));
  w.U32(dataSum);
  w.U32(method);
  w.Bytes(body.data(), body.size());
  std::vector<uint8_t> file = w.Data();
  packed::Scramble(file.data(), file.size());
  return file;
}

TEST(PackedData, RunLengthStopsAtTheExpectedSize) {
  // Runs giving 10 bytes for an expected 6.
  std::vector<uint8_t> body = {5, 'a', 0xFD, 'x', 'y', 'z', 2, 'q'};
  std::vector<uint8_t> file = HandPacked(body, 6, packed::kRunLength, 0);
  std::vector<uint8_t> out(6);
  // Sizes differ from the header's, so no data checksum applies: 6 == 6 here, so give the right one.
  std::vector<uint8_t> expected = {'a', 'a', 'a', 'a', 'a', 'x'};
  file = HandPacked(body, 6, packed::kRunLength, packed::Checksum(expected.data(), expected.size()));
  ASSERT_TRUE(packed::Unpack(file.data(), file.size(), out.data(), out.size()));
  EXPECT_EQ(out, expected);
}

TEST(PackedData, DictionaryCopiesWrapAroundTheWindow) {
  // 4095 literals fill positions 1..4095; the write position is then 0. A copy from 4094
  // of four bytes reads 4094, 4095, then 0 and 1, which this copy has just written.
  std::vector<uint8_t> data(4095);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 3);
  std::vector<uint8_t> body;
  {
    // Bits by hand: flag 1 + 8 bits per literal, then flag 0, p = 4094, k = 2.
    std::vector<int> bits;
    auto put = [&](uint32_t v, int n) {
      for (int i = n - 1; i >= 0; --i) bits.push_back((v >> i) & 1);
    };
    for (uint8_t b : data) put(1, 1), put(b, 8);
    put(0, 1), put(4094, 12), put(2, 4);
    body.assign((bits.size() + 7) / 8, 0);
    for (size_t i = 0; i < bits.size(); ++i)
      if (bits[i]) body[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  }
  std::vector<uint8_t> expected = data;
  expected.push_back(data[4093]);  // window 4094 held data[4093]
  expected.push_back(data[4094]);  // window 4095
  expected.push_back(data[4093]);  // window 0: the first byte of this copy
  expected.push_back(data[4094]);  // window 1: the second
  std::vector<uint8_t> file = HandPacked(body, static_cast<uint32_t>(expected.size()), packed::kDictionary,
                                         packed::Checksum(expected.data(), expected.size()));
  std::vector<uint8_t> out(expected.size());
  ASSERT_TRUE(packed::Unpack(file.data(), file.size(), out.data(), out.size()));
  EXPECT_EQ(out, expected);
}

TEST(PackedData, BodiesThatEndBeforeTheExpectedSizeUnpackWhatTheyHold) {
  struct Case {
    const char* what;
    std::vector<uint8_t> body;
    uint32_t method;
    std::vector<uint8_t> unpacked;  // the first bytes of the destination
  };
  const std::vector<Case> cases = {
      // Three 'a' and a literal "xy", then the body ends.
      {"run-length body ends between runs", {3, 'a', 0xFE, 'x', 'y'}, packed::kRunLength, {'a', 'a', 'a', 'x', 'y'}},
      // A literal 'A' (flag 1, 0x41), then the end marker (flag 0, position 0, length 0).
      {"dictionary end marker", {0xA0, 0x80, 0x00, 0x00}, packed::kDictionary, {'A'}},
  };
  for (const Case& c : cases) {
    // The header's size differs from the expected 16, so no data checksum applies.
    std::vector<uint8_t> file = HandPacked(c.body, 15, c.method, 0);
    std::vector<uint8_t> out(16, 0xEE);
    ASSERT_TRUE(packed::Unpack(file.data(), file.size(), out.data(), out.size())) << c.what;
    std::vector<uint8_t> expected = c.unpacked;
    expected.resize(16, 0xEE);  // what was not unpacked keeps its bytes
    EXPECT_EQ(out, expected) << c.what;
  }
}

TEST(PackedData, MalformedBodiesAreRefusedAndLeftAsRead) {
  struct Case {
    const char* what;
    std::vector<uint8_t> body;
    uint32_t unpackedSize;
    uint32_t method;
    size_t expected;
  };
  const std::vector<Case> cases = {
      {"run-length literal past the body", {0xF0, 1, 2}, 16, packed::kRunLength, 16},
      {"run-length repeat without its byte", {0x05}, 5, packed::kRunLength, 5},
      {"run-length literal cut off by the body's end", {0xFD, 1}, 16, packed::kRunLength, 16},
      {"dictionary body ends early", {0xFF}, 8, packed::kDictionary, 8},
      {"stored size beyond the body", {1, 2, 3, 4}, 9, packed::kStored, 9},
      {"unpacked size larger than the buffer", {1, 2, 3, 4}, 4, packed::kStored, 3},
      {"unknown method", {1, 2, 3, 4}, 4, 9, 4},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = HandPacked(c.body, c.unpackedSize, c.method, 0);
    std::vector<uint8_t> asRead = file;
    std::vector<uint8_t> out(c.expected);
    EXPECT_FALSE(packed::Unpack(file.data(), file.size(), out.data(), out.size())) << c.what;
    EXPECT_EQ(file, asRead) << c.what;
  }
}

TEST(DataFile, SizesAndWholeReads) {
  TempDir dir;
  std::vector<uint8_t> data = MixedData(1000, 3);
  std::vector<uint8_t> file = forge::PackData(data, packed::kDictionary, 9);
  dir.Write("p.dat", file);
  CDataFile f;
  ASSERT_TRUE(f.Open(dir.File("p.dat").c_str(), "rb"));
  EXPECT_EQ(f.GetSize(0), static_cast<int>(file.size()));  // not known to be packed yet
  std::vector<uint8_t> out(data.size());
  ASSERT_TRUE(f.ReadPacked(out.data(), static_cast<int>(out.size())));
  EXPECT_EQ(f.packedFlag, 1);
  ASSERT_TRUE(f.Seek(0, SEEK_SET));
  EXPECT_EQ(f.GetSize(0), 1000);  // the header's unpacked size
  EXPECT_EQ(f.GetSize(1), static_cast<int>(file.size()));
  std::vector<uint8_t> raw(file.size());
  EXPECT_EQ(std::ftell(f.file), 0);  // the size query kept the position
  ASSERT_TRUE(f.Read(raw.data(), static_cast<int>(raw.size())));
  EXPECT_EQ(raw, file);
  EXPECT_FALSE(f.Read(raw.data(), 1));
  EXPECT_FALSE(CDataFile().Open(dir.File("none.dat").c_str(), "rb"));
}

}  // namespace
