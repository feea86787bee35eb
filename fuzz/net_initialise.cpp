// The start message: its reader, and the client's handling of it in the set-up phase. What
// reaches the set-up screen has a client count of 1-4, an own index below it, and records that
// passed their checked readers.
#include <cstring>
#include <memory>

#include "NetFuzzSupport.h"
#include "core/Bytes.h"
#include "net/NetMachine.h"
#include "platform/LoopbackNetwork.h"

namespace {

using net_fuzz::Bytes;
using net_fuzz::Require;

struct CheckingScreen : INetSetupEvents {
  void Initialise(const InitialiseView& message) override {
    const int32_t clients = message.setup[kSetupClientCount];
    Require(clients >= 1 && clients <= kMaxClients);
    Require(message.setup[kSetupOwnIndex] >= 0 && message.setup[kSetupOwnIndex] < clients);
    for (const uint8_t* slot : message.slots) Require(std::memchr(slot, 0, 31) != nullptr);
  }
};

Bytes Slot(const char* name, int colour) {
  Bytes slot(kPlayerSlotBytes, 0);
  std::strncpy(reinterpret_cast<char*>(slot.data()), name, 30);
  bytes::StoreU32(slot.data() + 31, static_cast<uint32_t>(colour));
  bytes::StoreU32(slot.data() + 39, static_cast<uint32_t>(colour));
  return slot;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  Bytes settings(kGameSettingsBytes, 0);
  for (int field = 1; field < 14; ++field) SetMessageWord(settings.data(), field, field % 5);
  const Bytes slots[4] = {Slot("Host", 0), Slot("Ann", 1), Slot("No Player", -1), Slot("No Player", -1)};
  const uint8_t* pointers[4] = {slots[0].data(), slots[1].data(), slots[2].data(), slots[3].data()};
  const uint8_t items[21] = {1, 2, 3};
  const int32_t setup[6] = {2, 1234, 800, 2, 2, 1};
  net_fuzz::WriteSeeds(*argc, *argv, {MakeInitialiseMessage(settings.data(), pointers, items, setup)});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static platform::LoopbackNetwork* network = new platform::LoopbackNetwork();
  static NetMachine* machine = [] {
    auto* m = new NetMachine();
    m->session.Attach(network->Connect(), false);
    m->session.sessionName = "fuzz";
    m->session.CreateGame();
    m->client.CreatePlayer("C");
    return m;
  }();
  CheckingScreen screen;
  NetHooks hooks = DefaultNetHooks();
  hooks.setup = &screen;
  NetHooksScope scope(hooks);
  InitialiseView view;
  ReadInitialise(data, size, *g_netHooks.records, view);
  machine->client.initialised = 0;
  machine->session.phase = kNetPhaseSetup;
  machine->client.HandleMessage(platform::kNetServerPlayer, data, size);
  return 0;
}
