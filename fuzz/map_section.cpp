// Feeds arbitrary bytes to the section file reader (formats 4, 5 and 6; any other format
// ends the program by design, so it is left out).
#include <cstdint>

#include "core/Bytes.h"
#include "map/Map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t format = bytes::LoadU32(data);
  if (format < 4 || format > 6) return 0;
  CSectionImage image;
  if (ParseSectionFile(data, size, image)) {
    // A section read is as large as its header says.
    int64_t cells = int64_t{image.header[1]} * image.header[2] * image.header[3];
    if (static_cast<int64_t>(image.cells.size()) != cells) __builtin_trap();
  }
  return 0;
}
