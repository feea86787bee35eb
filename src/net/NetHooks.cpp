#include "net/NetHooks.h"

#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "net/NetTransport.h"

namespace {

INetCommandSink g_neutralCommands;
INetBattle g_neutralBattle;
INetSetupRecords g_neutralRecords;

}  // namespace

bool INetSetupRecords::CheckGameSettings(const uint8_t* settings) const {
  // Refused when the peer limits would change it: a count below 0, more than 21 magic items or
  // 7 talismans of a kind is nothing a set-up screen could have sent.
  CGameSettings record, limited;
  if (!ReadGameSettings(settings, kGameSettingsBytes, record)) return false;
  limited = record;
  LimitPeerGameSettings(limited);
  for (int i = 0; i < kGameSettingsFields; ++i)
    if (*GameSettingsField(record, i) != *GameSettingsField(limited, i)) return false;
  return true;
}

bool INetSetupRecords::CheckPlayerSlot(const uint8_t* slot) const {
  return CheckPlayerSlotBytes(slot, kPlayerSlotBytes);
}

NetHooks g_netHooks = {&g_neutralCommands, &g_neutralBattle, &NetTransportSetupEvents(), &g_neutralRecords};

NetHooks DefaultNetHooks() {
  return NetHooks{&g_neutralCommands, &g_neutralBattle, &NetTransportSetupEvents(), &g_neutralRecords};
}
