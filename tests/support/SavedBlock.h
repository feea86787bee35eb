#pragma once
// The saved game's blocks in memory, for the suites that check them: what a block's writer
// writes, and a load from bytes. Header only, so that the support library stays free of the
// game's folders.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace testing_support {

// What write(FILE*) writes.
template <class Write>
std::vector<uint8_t> WrittenBytes(Write write) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  EXPECT_NE(out, nullptr);
  if (!out) return {};
  write(out);
  std::fclose(out);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

// What the block's Save writes; the count it returns must be the bytes it wrote.
template <class Block>
std::vector<uint8_t> SavedBytes(Block& block) {
  int written = -1;
  std::vector<uint8_t> bytes = WrittenBytes([&](FILE* out) { written = block.Save(out); });
  EXPECT_EQ(written, static_cast<int>(bytes.size()));
  return bytes;
}

// What the block's Load returns for the bytes (none: an empty file).
template <class Block>
int LoadFromBytes(Block& block, std::vector<uint8_t> bytes) {
  FILE* in = bytes.empty() ? std::tmpfile() : fmemopen(bytes.data(), bytes.size(), "rb");
  EXPECT_NE(in, nullptr);
  if (!in) return -1;
  const int result = block.Load(in);
  std::fclose(in);
  return result;
}

}  // namespace testing_support
