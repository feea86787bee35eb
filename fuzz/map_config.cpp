// Feeds arbitrary text to the map generator as a realm's map configuration file: each of its
// first "Region<n>" sections is generated from, with the section folder pointed at three
// small sections of our own. A fatal configuration error ends the input, not the run.
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzFiles.h"
#include "MapMakerInputs.h"
#include "map/MapMaker.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    fuzz::Folder("map_config", true);
    fuzz::WriteSections();
    return true;
  }();
  (void)ready;
  fuzz::WriteInput("map.cfg", data, size);
  int tried = 0;
  for (const std::string& section : platform::ReadProfileSectionNames("map.cfg")) {
    if (section.size() < 7 || section.compare(0, 6, "Region") != 0 || tried == 2) continue;
    ++tried;
    platform::WriteProfileString(section, "Path", "s", "map.cfg");
    platform::WriteProfileString(section, "SectionPreFix", "SEC", "map.cfg");
    auto maker = std::make_unique<CMapMaker>();
    try {
      maker->Generate("map.cfg", platform::TextToInt(section.substr(6)), 1);
    } catch (const fuzz::ProgramEnded&) {
    }
  }
  return 0;
}
