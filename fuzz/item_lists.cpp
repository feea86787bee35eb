// Feeds arbitrary bytes to the readers of a section's item lists: the placement list (.mps)
// and the event areas (.evt).
#include <cstdint>

#include "FuzzFiles.h"
#include "map/MapPlacement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Folder("item_lists");
  fuzz::WriteInput("list.bin", data, size);
  CMapPlacement placement;
  if (placement.Load(fuzz::InFolder("list.bin").c_str()) && !placement.items.empty()) {
    CMapPlacement::Item first = placement.items.front();
    placement.AddItem(first);
    placement.RemoveItem(first);
  }
  CEventAreas events;
  if (events.Load(fuzz::InFolder("list.bin").c_str()) && !events.items.empty()) events.AddItem(events.items.front());
  return 0;
}
