// Feeds arbitrary bytes to the packed-file reader, with output buffers of several sizes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/PackedData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first byte picks the expected size, so outputs both smaller and larger than the
  // header's are tried.
  size_t expected = static_cast<size_t>(data[0]) * 97 % 20000;
  std::vector<uint8_t> buffer(data + 1, data + size);
  std::vector<uint8_t> copy = buffer;
  std::vector<uint8_t> out(expected);
  bool ok = packed::Unpack(buffer.data(), buffer.size(), out.data(), out.size());
  // A failure leaves the bytes as read.
  if (!ok && buffer != copy) __builtin_trap();
  return 0;
}
