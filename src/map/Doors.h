#pragma once
// The door kinds of the current battle, read from the doors file (doors.cfg beside the
// section files). Terrain types name a door by their door index.

#include <cstdint>
#include <vector>

struct CDoorRecord {
  int32_t Height = 0;      // cells the door column spans, 0-10
  int32_t OpenAnim = 0;    // animation number of the opening, 0-9999
  int32_t SoundNum = 0;    // sound of the opening, 0-9999
  int32_t ObjectNum = -1;  // object in the doorway, 0-9999, -1 none
};

// The door table; replaced at each load, freed at battle end.
extern std::vector<CDoorRecord> g_doors;

// The door record of a door index, null for an index outside the table.
const CDoorRecord* FindDoor(int doorIndex);

// Reads the doors file (a path joined to the current directory) into a new table, then
// marks the door cells of the map. A missing file reads as no doors. Returns 1.
int LoadDoorsConfig(const char* fileName);
void FreeDoorsConfig();
