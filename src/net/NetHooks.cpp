#include "net/NetHooks.h"

#include <cstring>

#include "core/Bytes.h"

namespace {

INetCommandSink g_neutralCommands;
INetBattle g_neutralBattle;
INetSetupEvents g_neutralSetup;
INetSetupRecords g_neutralRecords;

int32_t WordAt(const uint8_t* record, int offset) { return static_cast<int32_t>(bytes::LoadU32(record + offset)); }

}  // namespace

bool INetSetupRecords::CheckGameSettings(const uint8_t* settings) const {
  // Fields 1-14: the region, then thirteen counts; none may be negative. Magic items are 0-21
  // and each kind of talisman 0-7.
  for (int field = 0; field < 14; ++field)
    if (WordAt(settings, 4 * field) < 0) return false;
  if (WordAt(settings, 12) > 21) return false;
  for (int talisman = 5; talisman <= 7; ++talisman)
    if (WordAt(settings, 4 * talisman) > 7) return false;
  return true;
}

bool INetSetupRecords::CheckPlayerSlot(const uint8_t* slot) const {
  const int32_t portrait = WordAt(slot, 31), colour = WordAt(slot, 39);
  return std::memchr(slot, 0, 31) != nullptr && portrait >= -1 && portrait <= 11 && colour >= -1 && colour <= 7 &&
         slot[43] <= 1;
}

NetHooks g_netHooks = {&g_neutralCommands, &g_neutralBattle, &g_neutralSetup, &g_neutralRecords};

NetHooks DefaultNetHooks() {
  return NetHooks{&g_neutralCommands, &g_neutralBattle, &g_neutralSetup, &g_neutralRecords};
}
