// The joining side of the network battle's set-up: it asks the host for another colour or
// portrait, sets its own handicap, chats and declares itself ready.
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/ScreenTable.h"
#include "net/NetMachine.h"
#include "net/NetSession.h"
#include "net/NetTransport.h"
#include "ui/TextButton.h"

CMultiplayerBattleClientScreen* g_multiplayerClient = nullptr;

namespace {

constexpr const char* kJoinLayout = "screen (Multiplayer Battle Join).cfg";

std::vector<MenuWidget> ClientWidgets() { return {{kWidgetTextButton, 1, true, 0, kJoinLayout}}; }

}  // namespace

CMultiplayerBattleClientScreen::CMultiplayerBattleClientScreen()
    : CMultiplayerBattleSetupScreen(kScreenMultiplayerClient, ClientWidgets()) {}

void CMultiplayerBattleClientScreen::OnOwnClick(int type, int index) {
  if (type != kWidgetTextButton || index != kReady) return;
  // Until the host has seated this player there is no place to be ready in: a readiness sent
  // for place 0 would be refused by the host while this screen locked itself for good.
  if (!HasPlace()) return;
  if (transport) transport->SendReady(ownPlace);
  LockControls();
}

void CMultiplayerBattleClientScreen::LockOwnControls() {
  if (CTextButton* ready = Button(kReady)) ready->GreyOut();
}

void CMultiplayerBattleClientScreen::JoinSession(const char* hostAddress) {
  g_netSession.connectionType = kConnectionAddress;
  g_netSession.messageDelay = g_messageDelayFrames_NET;
  if (!g_netSession.CreateInterfaces(0)) {
    ShowGeneralError("could not create directplay object");
    return;
  }
  g_netSession.phase = kNetPhaseSetup;
  g_netMachine.Reset();
  if (hostAddress && std::char_traits<char>::length(hostAddress) < sizeof g_netSession.hostAddress)
    g_netSession.SetHostAddress(hostAddress);
  if (!g_netSession.Connect()) return;
  g_netSession.sessionName = transport ? transport->GetPlayerName() : std::string();
  const char* failure = nullptr;
  if (!g_netSession.JoinGame())
    failure = "could not join directplay session";
  else if (!g_netClient.CreatePlayer(g_prefs.lobbyLoginName.c_str()))
    failure = "could not create directplay client player";
  if (failure) ShowGeneralError(failure);
}
