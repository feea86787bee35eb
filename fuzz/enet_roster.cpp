// The roster a host sends a joining machine and the others: at most five machines of distinct
// numbers, each with its own players, names within their bounds. What the reader takes, the
// writer gives back byte for byte.
#include "NetFuzzSupport.h"
#include "platform/EnetWire.h"

using namespace platform::enetwire;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  Roster roster;
  roster.instance = 0x1234567;
  roster.flags = 0x44;
  roster.maxPlayers = 5;
  roster.hostMachine = 1;
  roster.yourMachine = 3;
  roster.sessionName = "field";
  roster.machines = {{1, 0, 28960, {{1, true, ""}, {PlayerIdOf(1, 1), false, "Host"}}},
                     {2, 0x0100007f, 40001, {{PlayerIdOf(2, 1), false, "Ann"}}},
                     {3, 0x0100007f, 40002, {}}};
  net_fuzz::WriteSeeds(*argc, *argv, {EncodeRoster(roster)});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Roster roster;
  if (!DecodeRoster(data, size, roster)) return 0;
  net_fuzz::Require(roster.machines.size() >= 1 && roster.machines.size() <= kMaxMachines);
  for (const RosterMachine& machine : roster.machines)
    for (const RosterPlayer& player : machine.players) net_fuzz::Require(player.name.size() <= kMaxNameBytes);
  net_fuzz::Require(EncodeRoster(roster) == Bytes(data, data + size));
  return 0;
}
