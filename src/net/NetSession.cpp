#include "net/NetSession.h"

#include <vector>

#include "net/NetLog.h"
#include "platform/Clock.h"
#include "ui/Screen.h"

void CNetSession::Attach(std::unique_ptr<platform::NetEndpoint> session, bool host) {
  Release();
  transport = std::move(session);
  isHost = host ? 1 : 0;
  phase = kNetPhaseNone;
}

void CNetSession::Release() {
  if (transport) transport->Leave();
  transport.reset();
  sessionName.clear();
}

int CNetSession::CreateGame() {
  if (!transport) return 0;
  platform::NetResult result =
      transport->CreateSession(sessionName, 5, platform::kSessionMigrateHost | platform::kSessionKeepAlive);
  if (result != platform::kNetOk) {
    NetLogAddError("could not create game", result);
    return 0;
  }
  return 1;
}

int CNetSession::JoinGame() {
  if (!transport) return 0;
  std::vector<platform::NetSessionDesc> sessions;
  platform::NetResult result = transport->EnumSessions(sessions);
  if (result == platform::kNetOk) {
    result = platform::kNetErrNoSessions;
    for (const platform::NetSessionDesc& desc : sessions)
      if (desc.name == sessionName) {
        result = transport->JoinSession(desc.instance);
        break;
      }
  }
  if (result != platform::kNetOk) {
    NetLogAddError("could not join game", result);
    return 0;
  }
  return 1;
}

int CNetSession::CreateHostPlayer() {
  platform::NetResult result = transport ? transport->CreateServerPlayer() : platform::kNetErrNoConnection;
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
  platform::NetResult result = transport ? transport->EnumPlayers(players) : platform::kNetErrNoConnection;
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
  platform::NetResult result = transport ? transport->SetSessionFlags(flags) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not set session flags", result);
    return false;
  }
  return true;
}

void CNetSession::ReceiveFor(platform::NetPlayerId player, uint8_t* buffer, size_t capacity, const char* errorText,
                             INetReceiver& receiver) {
  if (!transport || !player) return;
  int count = 0;
  platform::NetResult result = transport->GetMessageCount(player, count);
  if (result != platform::kNetOk) {
    NetLogAddError("failed to get message count", result);
    count = 0;
  }
  for (int i = 0; i < count; ++i) {
    platform::NetMessageInfo info;
    result = transport->Receive(player, buffer, capacity, info);
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
