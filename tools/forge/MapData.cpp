// Placement lists, event areas and the doors file.
#include "forge/MapData.h"

#include "core/Bytes.h"
#include "forge/Forge.h"
#include "forge/IniText.h"

namespace forge {

namespace {

template <size_t Words>
std::vector<uint8_t> ListFileBytes(const std::vector<std::array<int32_t, Words>>& items, int32_t version) {
  bytes::Writer out;
  out.I32(0);
  out.I32(0);
  out.I32(version);
  out.I32(static_cast<int32_t>(items.size()));
  for (const auto& item : items)
    for (int32_t word : item) out.I32(word);
  return out.Data();
}

}  // namespace

std::vector<uint8_t> PlacementFileBytes(const std::vector<PlacementItem>& items, int32_t version) {
  return ListFileBytes(items, version);
}

std::vector<uint8_t> EventAreaFileBytes(const std::vector<EventAreaItem>& items, int32_t version) {
  return ListFileBytes(items, version);
}

std::string DoorsFileText(const std::vector<DoorDef>& doors) {
  IniText ini;
  ini.Comment("Door kinds that terrain types name by their door index");
  ini.Section("HEADER").Key("NumberOfDoors", static_cast<int>(doors.size()));
  for (size_t i = 0; i < doors.size(); ++i) {
    const DoorDef& door = doors[i];
    ini.Section("DOOR_" + std::to_string(i))
        .Key("Height", door.height)
        .Key("OpenAnim", door.openAnim)
        .Key("SoundNum", door.soundNum)
        .Key("ObjectNum",
             door.objectNum < 0 ? std::string("NONE ; nothing in the doorway") : std::to_string(door.objectNum));
  }
  return ini.Text();
}

std::vector<DoorDef> ForgedDoors() { return {{3, 1, 1011, -1}, {3, 2, 1012, 7}}; }

namespace {

FORGE_STEP(MapDoors) { ctx.WriteText(std::string(kSectionFolder) + "\\doors.cfg", DoorsFileText(ForgedDoors())); }

// Samples for the readers' tests and seeds for fuzzing.
FORGE_STEP(SampleMapLists) {
  std::vector<PlacementItem> placements = {{4, 5, 1, 1, 0, 100, 0, 0, 0, 0},
                                           {30, 12, 2, 2, 0, 100, 1, 0, 0, 0},
                                           {10, 10, 1, 4, 3, 60, 1, 0, 0, 0},
                                           {18, 3, 1, 5, 19, 50, 0, 0, 0, 0}};
  ctx.WriteFile("samples\\map\\sample.mps", PlacementFileBytes(placements));
  ctx.WriteFile("samples\\map\\empty.mps", PlacementFileBytes({}));
  EventAreaItem area{};
  area = {2, 2, 0, 6, 7, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ctx.WriteFile("samples\\map\\sample.evt", EventAreaFileBytes({area}));
}

}  // namespace

}  // namespace forge
