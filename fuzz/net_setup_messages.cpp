// The set-up messages (types 14-23) at a client in phases 1 and 2 and at the host in phase 1:
// what reaches the screens has slot and player indexes 0-3, spell numbers 0-103 and records
// that passed their checked readers, and a player's spell list counts once.
#include <memory>
#include <set>

#include "NetFuzzSupport.h"
#include "net/NetMachine.h"
#include "platform/LoopbackNetwork.h"

namespace {

using net_fuzz::Bytes;
using net_fuzz::Require;

struct CheckingScreen : INetSetupEvents {
  void PlayerSlot(int slotIndex, const uint8_t*) override { Slot(slotIndex); }
  void SetSlot(int slotIndex) override { Slot(slotIndex); }
  void Ready(int slotIndex) override { Slot(slotIndex); }
  void ColourRequest(int slotIndex) override { Slot(slotIndex); }
  void PortraitRequest(int slotIndex) override { Slot(slotIndex); }
  void Handicap(int slotIndex, int) override { Slot(slotIndex); }
  void WizardSpellsArrived(const WizardSpells& spells) override {
    Slot(spells.playerIndex);
    Require(spells.count >= 0 && spells.count <= kMaxWizardSpells);
    for (int i = 0; i < spells.count; ++i) Require(spells.spells[i] < kSpellCount);
    Require(senders.insert(spells.playerIndex).second);
  }
  static void Slot(int index) { Require(index >= 0 && index < kMaxClients); }
  std::set<int> senders;
};

struct Scene {
  Scene() {
    host.session.Attach(network.Connect(), true);
    host.session.sessionName = "fuzz";
    host.session.CreateGame();
    host.session.CreateHostPlayer();
    client.session.Attach(network.Connect(), false);
    client.session.sessionName = "fuzz";
    client.session.JoinGame();
    client.client.CreatePlayer("C");
    host.host.RefreshClients();
  }
  platform::LoopbackNetwork network;
  NetMachine host;
  NetMachine client;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const Bytes settings(kGameSettingsBytes, 0);
  Bytes slot(kPlayerSlotBytes, 0);
  slot[0] = 'A';
  const uint8_t spells[3] = {1, 50, 103};
  net_fuzz::WriteSeeds(
      *argc, *argv,
      {net_fuzz::Messages({MakeGameSetupMessage(settings.data()), MakeWizardSetupMessage(slot.data(), 1),
                           MakeSlotMessage(MSG_INIT_SET_SLOT, 2), MakeWizardSpellsMessage(1, spells, 3),
                           MakeWizardSpellsMessage(2, nullptr, 0), MakeLeaveOrder()}),
       net_fuzz::Messages({MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, 1), MakeSlotMessage(MSG_INIT_REQUEST_PORTRAIT, 2),
                           MakeSlotMessage(MSG_INIT_JOIN_READY, 3), MakeHandicapMessage(1, 20)})});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scene* scene = new Scene();
  CheckingScreen screen;
  NetHooks hooks = DefaultNetHooks();
  hooks.setup = &screen;
  NetHooksScope scope(hooks);
  scene->client.client.Reset();
  scene->client.client.ownPlayer = scene->host.host.clients[0];
  const int phase = size > 0 && (data[0] & 1) ? kNetPhaseSetup : kNetPhaseDirectSetup;
  scene->client.session.phase = phase;
  scene->host.session.phase = kNetPhaseDirectSetup;
  for (auto [message, length] : net_fuzz::SplitMessages(data, size)) {
    scene->client.client.HandleMessage(platform::kNetServerPlayer, message, length);
    scene->host.host.HandleMessage(scene->host.host.clients[0], message, length);
  }
  return 0;
}
