#include "net/NetHost.h"

#include <algorithm>
#include <string>

#include "net/FramePlacement.h"
#include "net/NetClient.h"
#include "net/NetHooks.h"
#include "net/NetLog.h"
#include "platform/Clock.h"

namespace {

constexpr FramePlacementTexts kClientFrameTexts = {
    "\n[host ignored message from client (had full message queue):]",
    "\n[host ignored *early* message from client (had full message queue):]",
};

std::string SetupLine(const char* prefix, int32_t type) {
  const char* name = NetMessageName(type);
  return std::string(prefix) + (name ? name : "");
}

}  // namespace

CNetHost::CNetHost(CNetSession& owner) : session(owner) { Reset(); }

void CNetHost::Reset() {
  const int entries = std::max(session.messageDelay, 0) + 2;
  for (CNetMessageQueue& queue : clientQueues) queue.Create(kClientFrameBytes, entries);
  frameQueue.Create(kHostFrameBytes, entries);
  std::fill(std::begin(clients), std::end(clients), 0);
  clientCount = 0;
  enumCount = 0;
  takingOver_ = false;
  SetNextFrame(0);
}

void CNetHost::SetNextFrame(int frame) {
  std::fill(std::begin(nextFrame), std::end(nextFrame), frame);
  nextHostFrame = frame;
}

int CNetHost::SlotOf(platform::NetPlayerId player) const {
  if (player == 0) return -1;
  for (int i = 0; i < kMaxClients; ++i)
    if (clients[i] == player) return i;
  return -1;
}

int CNetHost::RefreshClients() {
  hostPlayer = 0;
  clientCount = 0;
  enumCount = 0;
  std::vector<platform::NetPlayerInfo> players;
  platform::NetResult result =
      session.endpoint ? session.endpoint->EnumPlayers(players) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) NetLogAddError("could not enumerate players", result);
  for (const platform::NetPlayerInfo& player : players) {
    if (player.server)
      hostPlayer = player.id;
    else if (enumCount < kMaxClients)
      enumList[enumCount++] = player.id;
  }
  if (enumCount == 0) return 1;
  platform::NetPlayerId fresh[kMaxClients];
  int freshCount = 0;
  for (int i = 0; i < enumCount; ++i)
    if (SlotOf(enumList[i]) < 0) fresh[freshCount++] = enumList[i];
  for (platform::NetPlayerId& slot : clients)
    if (slot && std::find(enumList, enumList + enumCount, slot) == enumList + enumCount) slot = 0;
  int next = 0;
  for (platform::NetPlayerId& slot : clients)
    if (!slot && next < freshCount) slot = fresh[next++];
  clientCount = enumCount;
  return 1;
}

void CNetHost::SetClients(const std::vector<std::string>& names) {
  std::vector<platform::NetPlayerId> aside;
  for (platform::NetPlayerId& slot : clients) {
    if (slot) aside.push_back(slot);
    slot = 0;
  }
  int next = 0;
  for (const std::string& name : names) {
    for (platform::NetPlayerId& candidate : aside) {
      if (!candidate) continue;
      std::string shortName;
      platform::NetResult result =
          session.endpoint ? session.endpoint->GetPlayerName(candidate, shortName) : platform::kNetErrNoConnection;
      if (result != platform::kNetOk) NetLogAddError("could not get player name", result);
      if (shortName == name) {
        if (next < kMaxClients) clients[next++] = candidate;
        candidate = 0;
        break;
      }
    }
  }
  for (platform::NetPlayerId candidate : aside)
    if (candidate && next < kMaxClients) clients[next++] = candidate;
}

int CNetHost::SendInitialise(uint8_t* message) {
  NetLogLine("\n[HOST SENT INITIALISATION MESSAGES:]");
  RefreshClients();
  SetMessageWord(message + kInitSetupAt, kSetupClientCount, clientCount);
  NetLogLine("number of clients:", {clientCount});
  int index = 0;
  for (platform::NetPlayerId client : clients) {
    if (!client) continue;
    SetMessageWord(message + kInitSetupAt, kSetupOwnIndex, index++);
    platform::NetResult result = session.endpoint
                                     ? session.endpoint->Send(hostPlayer, client, true, message, kInitialiseBytes)
                                     : platform::kNetErrNoConnection;
    if (result != platform::kNetOk) NetLogAddError("host failed to send setup message", result);
  }
  return 1;
}

bool CNetHost::SendFrame(int frame) {
  if (!IsNetworked()) return true;
  for (int i = 0; i < kMaxClients; ++i) {
    if (!clients[i]) continue;
    CNetMessageQueue::Entry* oldest = clientQueues[i].Oldest();
    if (!oldest || !oldest->received || oldest->frame != frame) return false;
  }
  takingOver_ = false;  // every machine still here sent its message: none ran this frame
  if (frameQueue.Full()) frameQueue.DropOldest();
  CNetMessageQueue::Entry* entry = frameQueue.Push();
  entry->Reset();
  for (int i = 0; i < kMaxClients; ++i)
    if (clients[i]) {
      CNetMessageQueue::Entry* oldest = clientQueues[i].Oldest();
      entry->Append(oldest->buffer, oldest->used);
    }
  for (CNetMessageQueue& queue : clientQueues) queue.DropOldest();
  entry->frame = frame;
  entry->received = 1;
  SetMessageWord(entry->buffer, 3, frame);
  SetMessageWord(entry->buffer, 4, kFrameOriginHost);
  NetLogLine("\n[FRAME MESSAGE SENT BY HOST:]", {frame});
  platform::NetResult result = session.endpoint->Send(hostPlayer, platform::kNetAllPlayers, false, entry->buffer,
                                                      static_cast<size_t>(entry->used));
  if (result != platform::kNetOk) NetLogAddError("failed to send host frame message", result);
  return true;
}

void CNetHost::SendReadyFrames() {
  while (SendFrame(nextHostFrame)) ++nextHostFrame;
}

bool CNetHost::SendToAll(const uint8_t* message, size_t size) {
  platform::NetResult result = session.endpoint
                                   ? session.endpoint->Send(hostPlayer, platform::kNetAllPlayers, true, message, size)
                                   : platform::kNetErrNoConnection;
  if (result == platform::kNetOk || result == platform::kNetErrInvalidPlayer) return true;
  NetLogAddError("host failed to send setup message", result);
  return false;
}

bool CNetHost::SendTo(const uint8_t* message, size_t size, platform::NetPlayerId to) {
  platform::NetResult result =
      session.endpoint ? session.endpoint->Send(hostPlayer, to, true, message, size) : platform::kNetErrNoConnection;
  if (result == platform::kNetOk) return true;
  NetLogAddError("host failed to send setup message", result);
  return false;
}

void CNetHost::ResendFrame(platform::NetPlayerId requester, int frame) {
  CNetMessageQueue::Entry* entry = frame >= 0 ? frameQueue.FindFrame(frame) : nullptr;
  if (!entry || !entry->received) {
    NetLogLine("\n[frame message resend requested by client, but ignored by host (message not in queue):]", {frame});
    return;
  }
  NetLogLine("\n[frame message resent by host (requested by client):]", {frame});
  platform::NetResult result =
      session.endpoint->Send(hostPlayer, requester, false, entry->buffer, static_cast<size_t>(entry->used));
  if (result != platform::kNetOk) NetLogAddError("failed to resend host frame message", result);
}

void CNetHost::RequestResend(platform::NetPlayerId client, int frame) {
  NetLogLine("\n[RESEND MESSAGE REQUESTED BY HOST:]", {static_cast<int>(client), frame});
  uint8_t request[kResendRequestBytes];
  WriteResendRequest(request, frame);
  platform::NetResult result = session.endpoint
                                   ? session.endpoint->Send(hostPlayer, client, false, request, sizeof request)
                                   : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) NetLogAddError("host send 'resend message' request failed", result);
}

void CNetHost::Receive() {
  session.ReceiveFor(hostPlayer, receiveBuffer_, sizeof receiveBuffer_, "host message receive error", *this);
}

void CNetHost::HandleSystemMessage(const platform::NetSystemMessage& message) {
  if (NetLogging()) {
    NetLogAdd("\n[system message to host]:");
    NetLogAdd(NetSystemMessageName(message.kind));
  }
  if (message.kind == platform::NetSystemKind::kCreatePlayer) {
    if (session.phase == kNetPhaseDirectSetup) {
      RefreshClients();
      g_netHooks.setup->PlayerAdded(message.shortName.c_str());
    } else if (session.phase == kNetPhaseSetup) {
      RefreshClients();
      g_netHooks.setup->PlayersChanged();
    }
  } else if (message.kind == platform::NetSystemKind::kDestroyPlayer && message.isPlayer) {
    RefreshClients();
    if (session.phase == kNetPhaseDirectSetup) g_netHooks.setup->PlayerRemoved(message.shortName.c_str());
    // A departed client no longer holds frames back.
    if (session.phase == kNetPhaseBattle) SendReadyFrames();
  }
}

void CNetHost::HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) {
  const int32_t type = CheckMessageHeader(data, size);
  if (type < 0) {
    NetLogLine("misc. non system message received by host");
    return;
  }
  const int slot = SlotOf(from);
  if (slot < 0) {
    NetLogLine("host received client message from unknown player", {static_cast<int>(from)});
    return;
  }
  int32_t frame = 0;
  switch (type) {
    case MSG_RESEND_REQUEST:
      if (ReadResendRequest(data, size, frame)) ResendFrame(from, frame);
      return;
    case MSG_COMPOUND:
      if (takingOver_ && CheckFrameMessage(data, size, kFrameOriginHost))
        AdoptRunFrame(from, data, size);
      else
        HandleClientFrame(slot, from, data, size);
      return;
    case MSG_INIT_REQUEST_COLOUR:
    case MSG_INIT_REQUEST_PORTRAIT:
    case MSG_INIT_JOIN_READY:
    case MSG_INIT_SET_HANDICAP:
      HandleSetupRequest(from, type, data, size);
      return;
    default:
      NetLogLine("misc. non system message received by host");
  }
}

void CNetHost::HandleClientFrame(int slot, platform::NetPlayerId from, const uint8_t* data, size_t size) {
  if (!CheckFrameMessage(data, size, kFrameOriginClient)) {
    NetLogLine("host refused a malformed client frame message", {static_cast<int>(from)});
    return;
  }
  const int frame = ReadFrameHeader(data).frame;
  const int expected = nextFrame[slot];
  if (frame < expected)
    NetLogLine("\n[host received client message with low frame number:]", {static_cast<int>(from), frame, expected});
  else if (frame > expected)
    NetLogLine("\n[host received client message with high frame number:]", {static_cast<int>(from), frame, expected});
  FramePlaced placed = PlaceFrame(clientQueues[slot], nextFrame[slot], data, static_cast<int>(size), kClientFrameTexts,
                                  [&](int missing) { RequestResend(from, missing); });
  if (placed == FramePlaced::kInOrder)
    NetLogLine("\n[frame message received by host:]", {static_cast<int>(from), frame, ReadFrameHeader(data).count});
  if (placed == FramePlaced::kLateFilled || placed == FramePlaced::kInOrder) SendReadyFrames();
}

void CNetHost::HandleSetupRequest(platform::NetPlayerId from, int32_t type, const uint8_t* data, size_t size) {
  if (session.phase != kNetPhaseDirectSetup) {
    NetLogLine(SetupLine("host *ignored* setup message: ", type).c_str());
    return;
  }
  int32_t slot = 0, handicap = 0;
  const bool valid = type == MSG_INIT_SET_HANDICAP ? ReadHandicapMessage(data, size, slot, handicap)
                                                   : ReadSlotMessage(data, size, slot);
  if (!valid) {
    NetLogLine(SetupLine("host refused a malformed setup message: ", type).c_str());
    return;
  }
  INetSetupEvents& events = *g_netHooks.setup;
  // A player asks for its own place only.
  std::string sender;
  if (!session.endpoint || session.endpoint->GetPlayerName(from, sender) != platform::kNetOk ||
      !events.SpeaksFor(sender.c_str(), slot)) {
    NetLogLine(SetupLine("host refused a setup message for another's place: ", type).c_str(), {slot});
    return;
  }
  NetLogLine(SetupLine("received setup message: ", type).c_str());
  if (type == MSG_INIT_REQUEST_COLOUR) events.ColourRequest(slot);
  if (type == MSG_INIT_REQUEST_PORTRAIT) events.PortraitRequest(slot);
  if (type == MSG_INIT_JOIN_READY) events.Ready(slot);
  if (type == MSG_INIT_SET_HANDICAP) events.Handicap(slot, handicap);
}

bool CNetHost::WaitForFrame(int frame, bool runLocalClient) {
  if (!IsNetworked() || !session.isHost) return true;
  BeginWait(frame);
  return WaitInSteps([&] { return WaitStep(runLocalClient); });
}

void CNetHost::BeginWait(int frame) {
  waitFrame_ = frame;
  lastResendTime = platform::TickCount();
}

NetWait CNetHost::WaitStep(bool runLocalClient) {
  if (!IsNetworked() || !session.isHost) return NetWait::kDone;
  Receive();
  if (waitFrame_ < nextHostFrame) return NetWait::kDone;
  if (platform::TickCount() - lastResendTime < kResendIntervalMs) return NetWait::kPending;
  RequestLaggingResends(waitFrame_);
  if (!runLocalClient) return NetWait::kDone;
  // The local client answers the host's requests and drains its own queue meanwhile.
  if (localClient_) localClient_->RunFrame(waitFrame_, false);
  lastResendTime = platform::TickCount();
  return NetWait::kPending;
}

void CNetHost::Service(int frame) {
  if (!IsNetworked() || !session.isHost) return;
  Receive();
  if (platform::TickCount() - lastResendTime < kResendIntervalMs) return;
  RequestLaggingResends(frame);
  lastResendTime = platform::TickCount();
}

void CNetHost::RequestLaggingResends(int frame) {
  for (int i = 0; i < kMaxClients; ++i) {
    if (!clients[i]) continue;
    // The gaps left by early frames as well: their first request, or its answer, may be lost.
    for (int k = 0; CNetMessageQueue::Entry* entry = clientQueues[i].At(k); ++k)
      if (!entry->received && entry->frame <= frame) RequestResend(clients[i], entry->frame);
    if (nextFrame[i] <= frame) RequestResend(clients[i], nextFrame[i]);
  }
}

void CNetHost::TakeOverFromClient() {
  takingOver_ = true;
  if (localClient_) localClient_->CopyRunFramesTo(frameQueue);
  const int slot = localClient_ ? SlotOf(localClient_->ownPlayer) : -1;
  if (slot >= 0) {
    while (CNetMessageQueue::Entry* sent = localClient_->outQueue.FindFrame(nextFrame[slot])) {
      NetLogLine("\nNew host copying frame from local client", {nextFrame[slot]});
      CNetMessageQueue::Entry* entry = clientQueues[slot].Push();
      if (!entry) break;
      entry->Reset();
      entry->CopyFrom(sent->buffer, sent->used);
      entry->frame = nextFrame[slot]++;
      entry->received = 1;
    }
  }
  SendReadyFrames();
}

void CNetHost::AdoptRunFrame(platform::NetPlayerId from, const uint8_t* data, size_t size) {
  const int frame = ReadFrameHeader(data).frame;
  if (frame != nextHostFrame) {
    NetLogLine("run frame from a client not awaited: message ignored", {static_cast<int>(from), frame});
    return;
  }
  NetLogLine("\nNew host sending the frame a client ran", {static_cast<int>(from), frame});
  if (frameQueue.Full()) frameQueue.DropOldest();
  CNetMessageQueue::Entry* entry = frameQueue.Push();
  entry->Reset();
  entry->CopyFrom(data, static_cast<int>(size));
  entry->frame = frame;
  entry->received = 1;
  // The clients' messages of that frame are in it already, as the departed host joined them.
  for (int i = 0; i < kMaxClients; ++i) {
    while (CNetMessageQueue::Entry* oldest = clientQueues[i].Oldest()) {
      if (oldest->frame > frame) break;
      clientQueues[i].DropOldest();
    }
    nextFrame[i] = std::max(nextFrame[i], frame + 1);
  }
  ++nextHostFrame;
  platform::NetResult result = session.endpoint->Send(hostPlayer, platform::kNetAllPlayers, false, entry->buffer,
                                                      static_cast<size_t>(entry->used));
  if (result != platform::kNetOk) NetLogAddError("failed to send host frame message", result);
  SendReadyFrames();
}
