#pragma once
// Writers of the battle map's small data files: placement lists (.mps), event areas (.evt)
// and the doors file (doors.cfg).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

// The folder of the forged map sections, their terrain types and their doors file.
inline constexpr const char* kSectionFolder = "maps\\moorland";

using PlacementItem = std::array<int32_t, 10>;  // x, y, level, category, six deployment words
using EventAreaItem = std::array<int32_t, 18>;  // two corners, twelve script words

// A list file: two carried words, the version, the count, then the items.
std::vector<uint8_t> PlacementFileBytes(const std::vector<PlacementItem>& items, int32_t version = 1);
std::vector<uint8_t> EventAreaFileBytes(const std::vector<EventAreaItem>& items, int32_t version = 1);

struct DoorDef {
  int height = 0;
  int openAnim = 0;
  int soundNum = 0;
  int objectNum = -1;  // -1 is written as NONE
};
// The doors file: [HEADER] NumberOfDoors, then [DOOR_<n>] for each.
std::string DoorsFileText(const std::vector<DoorDef>& doors);

// The doors of the forged terrain types: door 0 the wooden door, door 1 the iron door.
std::vector<DoorDef> ForgedDoors();

}  // namespace forge
