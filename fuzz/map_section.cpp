// Feeds arbitrary bytes to the section file reader (formats 4, 5 and 6; any other format
// ends the program by design, so it is left out), and the same bytes as a whole section file
// through the map generator, which reads the header's sizes and connection ids.
#include <cstdint>
#include <memory>

#include "FuzzFiles.h"
#include "MapMakerInputs.h"
#include "core/Bytes.h"
#include "map/Map.h"
#include "map/MapMaker.h"

namespace {

// Region 0 of a map of every size from 1 x 1 to 3 x 2: the section under test fixed at a
// square, and the plain section to fill the rest.
const char kConfig[] =
    "[Region0]\nSectionPreFix=SEC\nMaxWaterLevel=5\nMinWaterLevel=1\nWaterLevel=3\nRedFactor=1\n"
    "GreenFactor=1\nBlueFactor=1\nMaxRegionofPower=2\nPath=s\nMapSize=(3,2)\nSpecific=(9,0,1,1)\n"
    "Random=(9,2)(1,9)\n";

void GenerateWith(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    fuzz::Folder("map_section", true);
    fuzz::WriteSections();
    platform::WriteWholeFile("map.cfg", kConfig, sizeof kConfig - 1);
    return true;
  }();
  (void)ready;
  fuzz::WriteInput("s/SEC_x9.map", data, size);
  auto maker = std::make_unique<CMapMaker>();
  try {
    maker->Generate("map.cfg", 0, 1);
  } catch (const fuzz::ProgramEnded&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  GenerateWith(data, size);
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
