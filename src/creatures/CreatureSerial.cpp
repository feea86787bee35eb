#include "creatures/CreatureSerial.h"

#include "creatures/CreatureArray.h"

namespace {
uint32_t g_slotSerial[kCreatureCapacity] = {};
uint32_t g_lastSerial = 0;
}  // namespace

uint32_t CreatureSpawnSerial(int slot) { return slot >= 0 && slot < kCreatureCapacity ? g_slotSerial[slot] : 0; }

void NoteCreatureSpawned(int slot) {
  if (slot < 0 || slot >= kCreatureCapacity) return;
  if (++g_lastSerial == 0) ++g_lastSerial;  // 0 stays "never filled"
  g_slotSerial[slot] = g_lastSerial;
}
