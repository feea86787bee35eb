#include "net/NetCommandPort.h"

#include "net/ChatFormats.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "net/NetScreen.h"

CNetCommandPort g_netCommandPort;

namespace {

bool OnHost() { return g_netSession.isHost != 0; }

bool SendToHost(const NetBytes& message) { return g_netClient.SendToHost(message.data(), message.size()); }

}  // namespace

void CNetCommandPort::Pump() {
  if (g_netSession.phase != kNetPhaseDirectSetup) return;
  g_netHost.Receive();
  g_netClient.Receive();
}

bool CNetCommandPort::SendChat(const char* text) {
  const std::string name = g_netClient.GetPlayerName();
  if (handler) FormatChatLine(*handler, g_chatFormats.formats[kChatPublicMessage], name.c_str(), text);
  return g_netClient.SendChatToAll(text);
}

void CNetCommandPort::KickUsers(NetUserList users) {
  if (!OnHost()) return;
  const NetBytes order = MakeLeaveOrder();
  for (const std::string& name : users)
    if (platform::NetPlayerId player = g_netSession.FindPlayerByName(name.c_str()))
      g_netHost.SendTo(order.data(), order.size(), player);
}

bool CNetCommandPort::Leave() {
  if (OnHost()) {
    const NetBytes order = MakeLeaveOrder();
    g_netHost.SendToAll(order.data(), order.size());
  }
  return false;
}

void CNetCommandPort::RefreshPlayers() {
  if (OnHost()) g_netHost.RefreshClients();
}

void CNetCommandPort::RequestColour(int place) { SendToHost(MakeSlotMessage(MSG_INIT_REQUEST_COLOUR, place)); }

void CNetCommandPort::RequestPortrait(int place) { SendToHost(MakeSlotMessage(MSG_INIT_REQUEST_PORTRAIT, place)); }

void CNetCommandPort::SetHandicap(int place, int value) { SendToHost(MakeHandicapMessage(place, value)); }

void CNetCommandPort::SendReady(int place) { SendToHost(MakeSlotMessage(MSG_INIT_JOIN_READY, place)); }

void CNetCommandPort::SendPlayerSlot(int place, const CPlayerSlot& slot) {
  uint8_t record[kPlayerSlotBytes];
  WritePlayerSlot(slot, record);
  const NetBytes message = MakeWizardSetupMessage(record, place);
  g_netHost.SendToAll(message.data(), message.size());
}

void CNetCommandPort::SendGameSettings(const CGameSettings& settings) {
  uint8_t record[kGameSettingsBytes];
  WriteGameSettings(settings, record);
  const NetBytes message = MakeGameSetupMessage(record);
  g_netHost.SendToAll(message.data(), message.size());
}

bool CNetCommandPort::SendSlotNumber(const char* playerName, int place) {
  const platform::NetPlayerId player = g_netSession.FindPlayerByName(playerName);
  if (!player) return false;
  const NetBytes message = MakeSlotMessage(MSG_INIT_SET_SLOT, place);
  return g_netHost.SendTo(message.data(), message.size(), player);
}

std::string CNetCommandPort::GetPlayerName() { return g_netSession.sessionName; }

void CNetCommandPort::BeginGame() {
  if (handler) handler->StartGame();
}
