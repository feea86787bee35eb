// Feeds arbitrary text to the reader of a battle map's doors.cfg: every door it keeps has its
// numbers within their ranges.
#include <cstdint>

#include "GameDataFuzz.h"
#include "map/Doors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("doors_file", {});
  fuzz::WriteInputAs({"doors.cfg"}, data, size);
  fuzz::Expect(LoadDoorsConfig("doors.cfg") == 1);
  for (const CDoorRecord& door : g_doors) {
    fuzz::Expect(door.Height >= 0 && door.Height <= 10);
    fuzz::Expect(door.ObjectNum >= -1 && door.ObjectNum <= 9999);
  }
  fuzz::Expect(FindDoor(-1) == nullptr && FindDoor(static_cast<int>(g_doors.size())) == nullptr);
  FreeDoorsConfig();
  return 0;
}
