#include "map/Doors.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/Options.h"
#include "map/Map.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

std::vector<CDoorRecord> g_doors;

namespace {

constexpr int kMaxDoors = 500;
constexpr int kMaxDoorHeight = 10;
constexpr int kMaxNumber = 9999;

int ClampField(int value, int high) { return value < 1 ? 0 : std::min(value, high); }

// "NONE" names no object; otherwise a number. The text ends at the first ';' or blank.
int ParseObjectNum(const std::string& text) {
  std::string word = text.substr(0, text.find_first_of("; \t"));
  if (word == "NONE") return -1;
  return ClampField(platform::TextToInt(word), kMaxNumber);
}

// Door cells get their door bit: open doorway when the door has no object, else closed.
void MarkDoorCells() {
  CMapCell* cells = g_map.cells;
  if (!cells) return;
  for (int i = 0; i < g_map.cellCount; ++i) {
    const CDoorRecord* door = FindDoor(TerrainOf(cells[i].terrain).doorIndex);
    if (!door) continue;
    cells[i].state |= door->ObjectNum == -1 ? state_bits::kOpenDoorway : state_bits::kClosedDoor;
  }
}

}  // namespace

const CDoorRecord* FindDoor(int doorIndex) {
  if (doorIndex < 0 || doorIndex == kNoDoor || doorIndex >= static_cast<int>(g_doors.size())) return nullptr;
  return &g_doors[static_cast<size_t>(doorIndex)];
}

int LoadDoorsConfig(const char* fileName) {
  g_doors.clear();
  char path[512];
  MakeCurrentDirPath(fileName ? fileName : "", path, sizeof path);
  int count = ClampField(platform::ReadProfileInt("HEADER", "NumberOfDoors", 0, path), kMaxDoors);
  g_doors.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::string section = "DOOR_" + std::to_string(i);
    CDoorRecord& door = g_doors[static_cast<size_t>(i)];
    door.Height = ClampField(platform::ReadProfileInt(section, "Height", 0, path), kMaxDoorHeight);
    door.OpenAnim = ClampField(platform::ReadProfileInt(section, "OpenAnim", 0, path), kMaxNumber);
    door.SoundNum = ClampField(platform::ReadProfileInt(section, "SoundNum", 0, path), kMaxNumber);
    door.ObjectNum = ParseObjectNum(platform::ReadProfileString(section, "ObjectNum", "NONE", path));
  }
  MarkDoorCells();
  return 1;
}

void FreeDoorsConfig() { g_doors.clear(); }
