// Feeds arbitrary bytes to the army table's block of the saved game: a block it takes saves
// back byte for byte as far as it was read; one it refuses changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "creatures/Armies.h"

namespace {

std::vector<uint8_t> Saved() {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  if (!out) std::abort();
  const int written = g_armyTable.Save(out);
  std::fclose(out);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  if (written != static_cast<int>(bytes.size())) __builtin_trap();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  g_armyTable.InitDefault();
  const std::vector<uint8_t> before = Saved();
  FILE* in = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile();
  if (!in) return 0;
  const int result = g_armyTable.Load(in);
  const long consumed = std::ftell(in);
  std::fclose(in);
  if (result == -1) {
    if (Saved() != before) __builtin_trap();
    return 0;
  }
  if (result != 1) __builtin_trap();
  // Names are saved whole, so what was read comes back byte for byte.
  const std::vector<uint8_t> after = Saved();
  if (static_cast<long>(after.size()) != consumed || std::memcmp(after.data(), data, after.size()) != 0)
    __builtin_trap();
  return 0;
}
