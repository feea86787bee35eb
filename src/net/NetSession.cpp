#include "net/NetSession.h"

#include <cstdio>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "net/NetLog.h"
#include "platform/Clock.h"
#include "platform/EnetNetwork.h"
#include "platform/KeyState.h"
#include "platform/MessageBox.h"
#include "ui/Screen.h"

namespace {

constexpr uint32_t kJoinRetryMs = 20;

std::unique_ptr<platform::NetEndpoint> MakeEnetEndpoint() {
  platform::EnetOptions options;
  options.gamePort = static_cast<uint16_t>(g_netGamePort);
  options.listPort = static_cast<uint16_t>(g_netListPort);
  options.joinTimeoutMs = static_cast<uint32_t>(g_netJoinTimeOut);
  options.keepAliveMs = static_cast<uint32_t>(g_netKeepAlive);
  options.log = [](const std::string& line) { NetLogAdd(line.c_str()); };
  return platform::CreateEnetEndpoint(options);
}

}  // namespace

NetEndpointFactory g_netEndpointFactory = MakeEnetEndpoint;

bool CNetSession::CreateInterfaces(int hostFlag) {
  if (endpoint) return true;
  phase = kNetPhaseNone;
  isHost = hostFlag ? 1 : 0;
  endpoint = g_netEndpointFactory ? g_netEndpointFactory() : nullptr;
  if (!endpoint) {
    platform::ShowMessageBox("failed to initialise directplay object", "DIRECTPLAY ERROR", WarningBoxFlags());
    return false;
  }
  return true;
}

void CNetSession::Attach(std::unique_ptr<platform::NetEndpoint> session, bool host) {
  Release();
  endpoint = std::move(session);
  isHost = host ? 1 : 0;
  phase = kNetPhaseNone;
  connectionType = kConnectionLan;
}

void CNetSession::Release() {
  if (endpoint) endpoint->Leave();
  endpoint.reset();
  sessionName.clear();
  hostAddress[0] = '\0';
}

void CNetSession::SetHostAddress(const char* text) {
  std::snprintf(hostAddress, sizeof hostAddress, "%s", text ? text : "");
}

bool CNetSession::Connect() {
  if (!endpoint) return false;
  const char* where = nullptr;
  if (connectionType == kConnectionLan || connectionType == kConnectionAsk) where = "";
  if (connectionType == kConnectionAddress) where = hostAddress;
  if (!where) return false;
  const platform::NetResult result = endpoint->SetSearchAddress(where);
  if (result != platform::kNetOk) {
    NetLogAddError("could not connect to Service Provider", result);
    return false;
  }
  return true;
}

int CNetSession::CreateGame() {
  if (!Connect()) return 0;
  platform::NetResult result =
      endpoint->CreateSession(sessionName, 5, platform::kSessionMigrateHost | platform::kSessionKeepAlive);
  if (result != platform::kNetOk) {
    NetLogAddError("could not create game", result);
    return 0;
  }
  return 1;
}

bool CNetSession::StartSessionList(const std::function<void(const std::string& name)>& listener) {
  std::vector<platform::NetSessionDesc> sessions;
  const platform::NetResult result = endpoint ? endpoint->EnumSessions(sessions) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not enumerate sessions", result);
    return false;
  }
  for (const platform::NetSessionDesc& desc : sessions)
    if (listener) listener(desc.name);
  return true;
}

int CNetSession::JoinGame() {
  platform::NetResult result = platform::kNetErrNoConnection;
  const uint32_t start = platform::TickCount();
  while (endpoint && !platform::IsKeyDownNow(platform::kKeyEscape)) {
    std::vector<platform::NetSessionDesc> sessions;
    result = endpoint->EnumSessions(sessions);
    if (result != platform::kNetOk) break;
    result = platform::kNetErrNoSessions;
    for (const platform::NetSessionDesc& desc : sessions)
      if (desc.name == sessionName) {
        sessionInstance = desc.instance;
        result = endpoint->JoinSession(desc.instance);
        if (result == platform::kNetOk) return 1;
        break;
      }
    if (platform::TickCount() - start >= static_cast<uint32_t>(g_netJoinTimeOut)) {
      result = platform::kNetErrTimeout;
      break;
    }
    if (!PumpMessages()) break;
    platform::SleepMs(kJoinRetryMs);
  }
  NetLogAddError("could not join game", result);
  return 0;
}

int CNetSession::CreateHostPlayer() {
  platform::NetResult result = endpoint ? endpoint->CreateServerPlayer() : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not create host player", result);
    return 0;
  }
  return 1;
}

platform::NetPlayerId CNetSession::FindPlayerByName(const char* name) {
  wantedName = name ? name : "";
  foundPlayer = 0;
  std::vector<platform::NetPlayerInfo> players;
  platform::NetResult result = endpoint ? endpoint->EnumPlayers(players) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not enumerate players", result);
    return 0;
  }
  for (const platform::NetPlayerInfo& player : players)
    if (!player.shortName.empty() && player.shortName == wantedName) {
      foundPlayer = player.id;
      break;
    }
  return foundPlayer;
}

bool CNetSession::SetSessionFlags(uint32_t flags) {
  platform::NetResult result = endpoint ? endpoint->SetSessionFlags(flags) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not set session flags", result);
    return false;
  }
  return true;
}

void CNetSession::ReceiveFor(platform::NetPlayerId player, uint8_t* buffer, size_t capacity, const char* errorText,
                             INetReceiver& receiver) {
  if (!endpoint || !player) return;
  int count = 0;
  platform::NetResult result = endpoint->GetMessageCount(player, count);
  if (result != platform::kNetOk) {
    NetLogAddError("failed to get message count", result);
    count = 0;
  }
  for (int i = 0; i < count; ++i) {
    platform::NetMessageInfo info;
    result = endpoint->Receive(player, buffer, capacity, info);
    if (result == platform::kNetErrNoMessages) break;
    if (result != platform::kNetOk) {
      NetLogAddError(errorText, result);
      if (result == platform::kNetErrBufferTooSmall) continue;
      break;
    }
    if (info.system)
      receiver.HandleSystemMessage(info.systemMessage);
    else
      receiver.HandleMessage(info.from, buffer, info.size);
  }
}

const char* NetSystemMessageName(platform::NetSystemKind kind) {
  switch (kind) {
    case platform::NetSystemKind::kCreatePlayer:
      return "DPSYS_CREATEPLAYERORGROUP";
    case platform::NetSystemKind::kDestroyPlayer:
      return "DPSYS_DESTROYPLAYERORGROUP\n";
    case platform::NetSystemKind::kHost:
      return "DPSYS_HOST\n";
    case platform::NetSystemKind::kChat:
      return "DPSYS_CHAT\n";
    case platform::NetSystemKind::kSessionLost:
      return "DPSYS_SESSIONLOST\n";
  }
  return "<unknown message>\n";
}

bool WaitInSteps(const std::function<NetWait()>& step) {
  for (;;) {
    const NetWait result = step();
    if (result != NetWait::kPending) return result == NetWait::kDone;
    if (!PumpMessages()) return false;
    platform::SleepMs(1);
  }
}
