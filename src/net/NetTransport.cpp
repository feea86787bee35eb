#include "net/NetTransport.h"

#include "net/ChatFormats.h"
#include "net/NetCommandPort.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "net/NetScreen.h"

CNetTransport* g_lobbyTransport = nullptr;

CNetTransport* NetSetupTransport(int phase) {
  if (phase == kNetPhaseDirectSetup) return &g_netCommandPort;
  if (phase == kNetPhaseSetup) return g_lobbyTransport;
  return nullptr;
}

void CNetTransport::NotifyPlayerAdded(const char* name) {
  if (handler) handler->AddUser(name, 0, 0);
}

void CNetTransport::NotifyPlayerRemoved(const char* name) {
  if (handler) handler->RemoveUser(name, 0, 0);
}

void CNetTransport::NotifySelfRemoved() {
  if (handler) handler->RemoveUser(g_netClient.GetPlayerName().c_str(), 0, 1);
}

void CNetTransport::NotifyPlayerSlot(int place, const CPlayerSlot& slot) {
  if (handler) handler->UpdatePlayerRow(place, slot);
}

void CNetTransport::NotifyGameSettings(const CGameSettings& settings) {
  if (handler) handler->OnGameSettings(settings);
}

void CNetTransport::NotifyChat(const char* name, const char* text) {
  if (handler) FormatChatLine(*handler, g_chatFormats.formats[kChatPublicMessage], name, text);
}

void CNetTransport::NotifyReady(int place) {
  if (handler) handler->OnReady(place);
}

void CNetTransport::NotifySetSlot(int place) {
  if (handler) handler->OnSetSlot(place);
}

void CNetTransport::NotifyColourRequest(int place) {
  if (handler) handler->OnRequestColour(place, 1);
}

void CNetTransport::NotifyPortraitRequest(int place) {
  if (handler) handler->OnRequestPortrait(place, 1);
}

void CNetTransport::NotifyHandicap(int place, int value) {
  if (handler) handler->OnSetHandicap(place, value);
}

void CNetTransport::NotifyInitialise(const InitialiseView& message) {
  if (handler) handler->OnInitialise(message);
}

void CNetTransport::NotifyPlayersChanged() {
  if (handler) handler->TryStartGame();
}

namespace {

// The receive loops' set-up events, as the transport of the current phase forwards them to its
// screen.
class TransportSetupEvents final : public INetSetupEvents {
 public:
  void PlayerAdded(const char* name) override {
    if (CNetTransport* transport = Current()) transport->NotifyPlayerAdded(name);
  }
  void PlayerRemoved(const char* name) override {
    if (CNetTransport* transport = Current()) transport->NotifyPlayerRemoved(name);
  }
  void SelfRemoved() override {
    if (CNetTransport* transport = Current()) transport->NotifySelfRemoved();
  }
  void PlayersChanged() override {
    if (CNetTransport* transport = Current()) transport->NotifyPlayersChanged();
  }
  void Chat(const char* name, const char* text) override {
    if (CNetTransport* transport = Current()) transport->NotifyChat(name, text);
  }
  void GameSettings(const uint8_t* settings) override {
    CGameSettings record;
    CNetTransport* transport = Current();
    if (transport && ReadGameSettings(settings, kGameSettingsBytes, record)) transport->NotifyGameSettings(record);
  }
  void PlayerSlot(int slotIndex, const uint8_t* slot) override {
    CPlayerSlot record;
    CNetTransport* transport = Current();
    if (transport && ReadPlayerSlot(slot, kPlayerSlotBytes, record)) transport->NotifyPlayerSlot(slotIndex, record);
  }
  void SetSlot(int slotIndex) override {
    if (CNetTransport* transport = Current()) transport->NotifySetSlot(slotIndex);
  }
  bool SpeaksFor(const char* name, int slotIndex) override {
    CNetTransport* transport = Current();
    return transport && transport->handler && transport->handler->FindPlayer(name) == slotIndex;
  }
  void Ready(int slotIndex) override {
    if (CNetTransport* transport = Current()) transport->NotifyReady(slotIndex);
  }
  void ColourRequest(int slotIndex) override {
    if (CNetTransport* transport = Current()) transport->NotifyColourRequest(slotIndex);
  }
  void PortraitRequest(int slotIndex) override {
    if (CNetTransport* transport = Current()) transport->NotifyPortraitRequest(slotIndex);
  }
  void Handicap(int slotIndex, int value) override {
    if (CNetTransport* transport = Current()) transport->NotifyHandicap(slotIndex, value);
  }
  void Initialise(const InitialiseView& message) override {
    if (CNetTransport* transport = Current()) transport->NotifyInitialise(message);
  }

 private:
  static CNetTransport* Current() { return NetSetupTransport(g_netSession.phase); }
};

TransportSetupEvents g_transportSetupEvents;

}  // namespace

INetSetupEvents& NetTransportSetupEvents() { return g_transportSetupEvents; }
