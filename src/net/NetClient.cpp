#include "net/NetClient.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/ErrorBox.h"
#include "core/RecordLog.h"
#include "net/FramePlacement.h"
#include "net/NetHooks.h"
#include "net/NetLog.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace {

constexpr FramePlacementTexts kHostFrameTexts = {
    "\n[client ignored message from host (had full message queue):]",
    "\n[client ignored *early* message from host (had full message queue):]",
};

// Room each frame keeps for what is added after the commands: its validation record and a
// clock message.
constexpr int kFrameReserve = kValidateBytes + kCounterBytes;

constexpr int kChatLineBytes = 510;

void CopyEntry(CNetMessageQueue& to, const CNetMessageQueue::Entry& from) {
  if (to.Full()) to.DropOldest();
  CNetMessageQueue::Entry* entry = to.Push();
  entry->Reset();
  entry->CopyFrom(from.buffer, from.used);
  entry->frame = from.frame;
  entry->received = 1;
}

std::string SetupLine(const char* prefix, int32_t type) {
  const char* name = NetMessageName(type);
  return std::string(prefix) + (name ? name : "");
}

}  // namespace

void CNetFrameCheckRing::Create(int entries) {
  size_ = std::max(entries, 1);
  entries_ = std::make_unique<Entry[]>(static_cast<size_t>(size_));
  next_ = 0;
}

void CNetFrameCheckRing::Push(int frame, const uint8_t* record) {
  Entry& entry = entries_[next_];
  entry.frame = frame;
  std::memcpy(entry.record, record, kValidateBytes);
  next_ = (next_ + 1) % size_;
}

const CNetFrameCheckRing::Entry* CNetFrameCheckRing::Find(int frame) const {
  for (int i = 0; i < size_; ++i)
    if (entries_[i].frame == frame) return &entries_[i];
  return nullptr;
}

CNetClient::CNetClient(CNetSession& owner) : session(owner) { Reset(); }

void CNetClient::Reset() {
  const int delay = std::max(session.messageDelay, 0);
  frameQueue.Create(kHostFrameBytes, delay + 2);
  outQueue.Create(kClientFrameBytes, delay + 3);
  runFrames_.Create(kHostFrameBytes, delay + 2);
  checkRing.Create(delay + 2);
  ownPlayer = 0;
  wantedFrame = 0;
  framesRun = 0;
  framesQueued = 0;
  initialised = 0;
  pendingUsed_ = 0;
  postedCounter_ = kNoCounter;
  spellListsFrom_ = 0;
  for (std::string& name : clientNames_) name.clear();
  earlyLists_.clear();
  failed_ = false;
  validationsAgreed = 0;
}

bool CNetClient::CreatePlayer(const char* name) {
  platform::NetResult result =
      session.endpoint ? session.endpoint->CreatePlayer(name ? name : "", ownPlayer) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not create player", result);
    return false;
  }
  NetLogLine("\n[CLIENT PLAYER INFO:]", {static_cast<int>(ownPlayer)});
  return true;
}

std::string CNetClient::GetPlayerName() {
  std::string name;
  platform::NetResult result =
      session.endpoint ? session.endpoint->GetPlayerName(ownPlayer, name) : platform::kNetErrNoConnection;
  if (result != platform::kNetOk) {
    NetLogAddError("could not get player name", result);
    name.clear();
  }
  if (name.size() > 255) name.resize(255);
  return name;
}

// --- the outgoing frame --------------------------------------------------------------------

bool CNetClient::BeginFrameMessage() {
  CNetMessageQueue::Entry* entry = outQueue.Push();
  if (!entry) return false;
  entry->Reset();
  FlushPending();
  return true;
}

int CNetClient::RoomForCommands() const {
  CNetMessageQueue& queue = const_cast<CNetMessageQueue&>(outQueue);
  const CNetMessageQueue::Entry* newest = queue.Newest();
  return newest ? newest->Room() - kFrameReserve : 0;
}

void CNetClient::AddMessage(const uint8_t* message, int length) {
  // A command that the host would refuse would have it refuse the whole frame, again and again.
  if (!message || length < kMessageHeaderBytes || CheckMessageHeader(message, static_cast<size_t>(length)) < 0 ||
      CommandLength(MessageWord(message, 1)) != length) {
    NetLogAdd("client refused a malformed command");
    return;
  }
  if (pendingUsed_ == 0 && length <= RoomForCommands()) {
    outQueue.Newest()->Append(message, length);
    return;
  }
  if (pendingUsed_ + length > kPendingBytes) {
    NetLogAdd("client message buffer overflow: command dropped");
    return;
  }
  std::memcpy(pending_ + pendingUsed_, message, static_cast<size_t>(length));
  pendingUsed_ += length;
}

void CNetClient::FlushPending() {
  CNetMessageQueue::Entry* newest = outQueue.Newest();
  int position = 0;
  while (newest && position < pendingUsed_) {
    const int length = MessageWord(pending_ + position, 2);
    if (length > RoomForCommands()) break;
    newest->Append(pending_ + position, length);
    position += length;
  }
  std::memmove(pending_, pending_ + position, static_cast<size_t>(pendingUsed_ - position));
  pendingUsed_ -= position;
}

void CNetClient::PostCounter(int counter) { postedCounter_.store(counter); }

void CNetClient::AddValidateMessage(const CommandMessage& validation, int frame) {
  checkRing.Push(frame + session.messageDelay, validation.bytes);
  if (!outQueue.Newest()) BeginFrameMessage();
  outQueue.Newest()->Append(validation.bytes, validation.length);
}

void CNetClient::SendFrame(int frame) {
  if (!outQueue.Newest()) BeginFrameMessage();
  CNetMessageQueue::Entry* entry = outQueue.Newest();
  const int counter = postedCounter_.exchange(kNoCounter);
  if (counter != kNoCounter) {
    CommandMessage message = MakeCounterMessage(counter);
    entry->Append(message.bytes, message.length);
  }
  const int stamped = frame + session.messageDelay;
  SetMessageWord(entry->buffer, 3, stamped);
  SetMessageWord(entry->buffer, 4, kFrameOriginClient);
  entry->frame = stamped;
  if (IsNetworked()) {
    platform::NetResult result = session.endpoint->Send(ownPlayer, platform::kNetServerPlayer, false, entry->buffer,
                                                        static_cast<size_t>(entry->used));
    if (result != platform::kNetOk) NetLogAddError("failed to send client frame message", result);
  }
  NetLogLine("\n[frame message sent by client:]", {frame, stamped});
  if (outQueue.Full()) outQueue.DropOldest();
  BeginFrameMessage();
}

// --- running frames ------------------------------------------------------------------------

bool CNetClient::RunFrame(int frame, bool wait) {
  BeginRun(frame);
  return WaitInSteps([&] { return RunStep(wait); });
}

void CNetClient::BeginRun(int frame) {
  wantedFrame = frame;
  lastResendTime = platform::TickCount();
  if (frame < framesRun) NetLogLine("\nframe message not required:", {frame, framesRun});
}

NetWait CNetClient::RunStep(bool wait) {
  if (failed_) return NetWait::kFailed;
  if (PlayingBack()) return PlaybackStep();
  if (wantedFrame < framesRun) return NetWait::kDone;
  if (!IsNetworked()) {
    framesRun = wantedFrame + 1;  // no session: no commands
    return NetWait::kDone;
  }
  if (host_ && session.isHost) host_->Service(wantedFrame);
  Receive();
  if (TryRunWanted()) return failed_ ? NetWait::kFailed : NetWait::kDone;
  if (platform::TickCount() - lastResendTime >= kResendIntervalMs) {
    RequestResendFromHost(wantedFrame);
    lastResendTime = platform::TickCount();
  }
  return wait ? NetWait::kPending : NetWait::kDone;
}

bool CNetClient::TryRunWanted() {
  // Frames that can no longer run (the battle ran them from its playback record) make way.
  while (CNetMessageQueue::Entry* oldest = frameQueue.Oldest()) {
    if (oldest->frame >= framesRun) break;
    frameQueue.DropOldest();
  }
  CNetMessageQueue::Entry* oldest = frameQueue.Oldest();
  if (!oldest || oldest->frame != wantedFrame || !oldest->received) return false;
  RunBattleMessage(oldest->buffer, static_cast<size_t>(oldest->used));
  CopyEntry(runFrames_, *oldest);
  frameQueue.DropOldest();
  framesRun = wantedFrame + 1;
  return true;
}

bool CNetClient::PlayingBack() {
  CRecordLog* log = g_netHooks.battle->RecordLog();
  return log && log->isOpen && !log->isWriting;
}

NetWait CNetClient::PlaybackStep() {
  // The live frames still flow (the battle goes on live when the record ends); those of the
  // frames played from the record are dropped unrun.
  if (IsNetworked()) {
    if (host_ && session.isHost) host_->Service(wantedFrame);
    Receive();
    while (CNetMessageQueue::Entry* oldest = frameQueue.Oldest()) {
      if (oldest->frame > wantedFrame || !oldest->received) break;
      frameQueue.DropOldest();
    }
  }
  if (wantedFrame < framesRun) return NetWait::kDone;
  CRecordLog* log = g_netHooks.battle->RecordLog();
  uint8_t head[kFrameHeaderBytes] = {};
  if (!log->PeekRecord(head, sizeof head)) {
    Fail("Battle event playback record unreadable", "GENERAL ERROR");
    return NetWait::kFailed;
  }
  const CNetFrameHeader header = ReadFrameHeader(head);
  if (header.frame < wantedFrame) {
    Fail("Battle event playback out of synch", "GENERAL ERROR");
    return NetWait::kFailed;
  }
  if (header.frame > wantedFrame) {
    framesRun = wantedFrame + 1;  // nothing recorded for this frame
    return NetWait::kDone;
  }
  const bool fits = header.length >= kFrameHeaderBytes && header.length <= kHostFrameBytes;
  if (fits) std::memset(playbackBuffer_, 0, static_cast<size_t>(header.length));
  const size_t length = fits ? static_cast<size_t>(header.length) : 0;
  if (!fits || !log->ReadRecord(playbackBuffer_, static_cast<uint32_t>(length)) ||
      !(CheckFrameMessage(playbackBuffer_, length, kFrameOriginHost) ||
        CheckFrameMessage(playbackBuffer_, length, kFrameOriginClient))) {
    Fail("Battle event playback record unreadable", "GENERAL ERROR");
    return NetWait::kFailed;
  }
  // The record's last frame closes the log as it is read: the frame still runs as the record's.
  runningRecord_ = true;
  RunBattleMessage(playbackBuffer_, length);
  runningRecord_ = false;
  framesRun = wantedFrame + 1;
  return failed_ ? NetWait::kFailed : NetWait::kDone;
}

bool CNetClient::WaitForStart() {
  if (!IsNetworked()) return true;
  wantedFrame = 0;
  lastResendTime = platform::TickCount();
  return WaitInSteps([this] {
    Receive();
    if (initialised) return NetWait::kDone;
    if (platform::TickCount() - lastResendTime >= kResendIntervalMs) {
      RequestResendFromHost(0);
      lastResendTime = platform::TickCount();
    }
    return NetWait::kPending;
  });
}

void CNetClient::RequestResendFromHost(int frame) {
  NetLogLine("\n[RESEND MESSAGE REQUESTED BY CLIENT:]", {frame});
  uint8_t request[kResendRequestBytes];
  WriteResendRequest(request, frame);
  platform::NetResult result =
      session.endpoint->Send(ownPlayer, platform::kNetServerPlayer, false, request, sizeof request);
  if (result != platform::kNetOk) NetLogAddError("client send 'resend message' request failed", result);
}

void CNetClient::CopyRunFramesTo(CNetMessageQueue& queue) {
  for (int i = 0; CNetMessageQueue::Entry* entry = runFrames_.At(i); ++i) CopyEntry(queue, *entry);
}

// --- receiving -----------------------------------------------------------------------------

void CNetClient::Receive() {
  session.ReceiveFor(ownPlayer, receiveBuffer_, sizeof receiveBuffer_, "client message receive error", *this);
}

void CNetClient::HandleSystemMessage(const platform::NetSystemMessage& message) {
  if (NetLogging()) {
    NetLogAdd("\n[system message to client]:");
    NetLogAdd(NetSystemMessageName(message.kind));
  }
  const bool hostMachine = session.isHost && host_;
  switch (message.kind) {
    case platform::NetSystemKind::kCreatePlayer:
      if (hostMachine) host_->RefreshClients();
      break;
    case platform::NetSystemKind::kDestroyPlayer:
      if (hostMachine) host_->RefreshClients();
      if (!message.shortName.empty()) g_netHooks.battle->RemoveChatRecipient(message.shortName.c_str());
      break;
    case platform::NetSystemKind::kHost:
      if (session.phase == kNetPhaseBattle)
        BecomeHost();
      else
        g_netHooks.setup->SelfRemoved();
      break;
    case platform::NetSystemKind::kChat: {
      std::string name;
      platform::NetResult result = session.endpoint->GetPlayerName(message.player, name);
      if (result != platform::kNetOk) {
        NetLogAddError("could not get player name", result);
        name.clear();
      }
      if (session.phase == kNetPhaseBattle) {
        char line[kChatLineBytes];
        std::snprintf(line, sizeof line, "[%s]: %s", name.c_str(), message.text.c_str());
        g_netHooks.battle->ShowChatLine(line);
      } else {
        g_netHooks.setup->Chat(name.c_str(), message.text.c_str());
      }
      break;
    }
    case platform::NetSystemKind::kSessionLost:
      break;
  }
}

void CNetClient::BecomeHost() {
  if (!host_) return;
  session.isHost = 1;
  session.CreateHostPlayer();
  host_->RefreshClients();
  // From the first frame this machine has not run: the frames before it are in the host frames
  // it ran, which the new host resends to a survivor behind.
  host_->SetNextFrame(std::max(framesRun, 0));
  host_->TakeOverFromClient();
}

void CNetClient::HandleMessage(platform::NetPlayerId from, const uint8_t* data, size_t size) {
  const int32_t type = CheckMessageHeader(data, size);
  const bool fromHost = from == platform::kNetServerPlayer;
  int32_t frame = 0;
  if (type == MSG_INIT_WIZARD_SPELLS) {
    HandleSpellList(from, data, size);
  } else if (!fromHost || type < 0) {
    NetLogLine("misc. non system message received by client");
  } else if (type == MSG_RESEND_REQUEST) {
    if (ReadResendRequest(data, size, frame)) ResendFrame(frame);
  } else if (type == MSG_COMPOUND) {
    HandleHostFrame(data, size);
  } else if (type == MSG_INITIALISE) {
    InitialiseView view;
    if (!ReadInitialise(data, size, *g_netHooks.records, view)) {
      NetLogAdd("client refused a malformed MSG_INITIALISE");
      return;
    }
    NetLogLine("[MSG_INITIALISE received by client:]", {view.setup[kSetupClientCount]});
    // The players in client order: a spell list is taken only from the player it names.
    int client = 0;
    for (const uint8_t* slot : view.slots) {
      CPlayerSlot record;
      if (ReadPlayerSlot(slot, kPlayerSlotBytes, record) && !record.IsEmpty() && client < kMaxClients)
        clientNames_[client++] = record.name;
    }
    if (session.phase == kNetPhaseDirectSetup || session.phase == kNetPhaseSetup) g_netHooks.setup->Initialise(view);
    initialised = 1;
    // Lists that overtook the start message on the way from their senders.
    std::vector<EarlyList> early;
    early.swap(earlyLists_);
    for (const EarlyList& list : early) HandleSpellListOf(list.sender, list.bytes.data(), list.bytes.size());
  } else if (type == MSG_INIT_USER_LIST || type == MSG_INIT_GAME_SETUP || type == MSG_INIT_WIZARD_SETUP ||
             type == MSG_INIT_SET_SLOT) {
    HandleSetupMessage(type, data, size);
  } else if (type == MSG_LEAVE_CHANNEL) {
    NetLogLine("***TOLD TO LEAVE CHANNEL***");
    g_netHooks.setup->SelfRemoved();
  } else {
    NetLogLine("misc. non system message received by client");
  }
}

void CNetClient::HandleHostFrame(const uint8_t* data, size_t size) {
  if (!CheckFrameMessage(data, size, kFrameOriginHost)) {
    NetLogAdd("client refused a malformed host frame message");
    return;
  }
  const int frame = ReadFrameHeader(data).frame;
  const int expected = framesQueued;
  if (frame < expected)
    NetLogLine("\n[client received host frame message with low frame number:]",
               {frame, framesRun, wantedFrame, expected});
  else if (frame > expected)
    NetLogLine("\n[client received host frame message with high frame number:]", {frame, expected});
  FramePlaced placed = PlaceFrame(frameQueue, framesQueued, data, static_cast<int>(size), kHostFrameTexts,
                                  [this](int missing) { RequestResendFromHost(missing); });
  if (placed == FramePlaced::kInOrder) NetLogLine("\n[frame message received by client (placed in queue):]", {frame});
}

void CNetClient::HandleSpellList(platform::NetPlayerId from, const uint8_t* data, size_t size) {
  std::string sender;
  if (!session.endpoint || session.endpoint->GetPlayerName(from, sender) != platform::kNetOk) {
    NetLogLine("spell list from an unknown player ignored");
    return;
  }
  // Another machine may have had the start message, and sent its list, before this one has it
  // (on the lobby's road the session is in the set-up phase from the moment it is joined).
  // One list a sender is kept: a peer that sends many must not crowd out the others' lists.
  const bool settingUp = session.phase == kNetPhaseDirectSetup || session.phase == kNetPhaseSetup;
  if (!initialised && settingUp && size == kWizardSpellsBytes) {
    const bool kept = std::any_of(earlyLists_.begin(), earlyLists_.end(),
                                  [&](const EarlyList& list) { return list.sender == sender; });
    if (!kept && earlyLists_.size() < kMaxClients) earlyLists_.push_back({sender, std::vector<uint8_t>(data, data + size)});
    return;
  }
  HandleSpellListOf(sender, data, size);
}

void CNetClient::HandleSpellListOf(const std::string& sender, const uint8_t* data, size_t size) {
  WizardSpells spells;
  if (ReadWizardSpells(data, size, spells) && clientNames_[spells.playerIndex] != sender) {
    NetLogLine("spell list for another player's wizard ignored", {spells.playerIndex});
    return;
  }
  HandleSetupMessage(MSG_INIT_WIZARD_SPELLS, data, size);
}

void CNetClient::HandleSetupMessage(int32_t type, const uint8_t* data, size_t size) {
  const int wantedPhase = type == MSG_INIT_WIZARD_SPELLS ? kNetPhaseSetup : kNetPhaseDirectSetup;
  if (session.phase != wantedPhase) {
    NetLogLine(SetupLine("*ignored* setup message: ", type).c_str());
    return;
  }
  const INetSetupRecords& records = *g_netHooks.records;
  INetSetupEvents& events = *g_netHooks.setup;
  const uint8_t* record = nullptr;
  int32_t slot = 0;
  WizardSpells spells;
  bool valid = true;
  switch (type) {
    case MSG_INIT_GAME_SETUP:
      valid = ReadGameSetup(data, size, records, record);
      if (valid) events.GameSettings(record);
      break;
    case MSG_INIT_WIZARD_SETUP:
      valid = ReadWizardSetup(data, size, records, record, slot);
      if (valid) events.PlayerSlot(slot, record);
      break;
    case MSG_INIT_SET_SLOT:
      valid = ReadSlotMessage(data, size, slot);
      if (valid) events.SetSlot(slot);
      break;
    case MSG_INIT_WIZARD_SPELLS:
      valid = ReadWizardSpells(data, size, spells);
      if (valid && (spellListsFrom_ & (1u << spells.playerIndex))) {
        NetLogLine("second spell list from one player ignored", {spells.playerIndex});
        return;
      }
      if (valid) {
        spellListsFrom_ |= 1u << spells.playerIndex;
        events.WizardSpellsArrived(spells);
      }
      break;
    default:
      break;  // the user list is only logged
  }
  NetLogLine(
      SetupLine(valid ? "received setup message: " : "client refused a malformed setup message: ", type).c_str());
}

void CNetClient::ResendFrame(int frame) {
  // Asked for the message of a frame this machine has run: only a new host, after the host
  // that sent that frame left, asks so; the frame as run here goes to it instead.
  CNetMessageQueue::Entry* ran = frame >= 0 && frame < framesRun ? runFrames_.FindFrame(frame) : nullptr;
  if (ran && ran->received) {
    NetLogLine("\n[frame run by client sent to a new host:]", {frame});
    platform::NetResult result = session.endpoint->Send(ownPlayer, platform::kNetServerPlayer, false, ran->buffer,
                                                        static_cast<size_t>(ran->used));
    if (result != platform::kNetOk) NetLogAddError("failed to send client frame message", result);
    return;
  }
  CNetMessageQueue::Entry* entry = frame >= 0 ? outQueue.FindFrame(frame) : nullptr;
  if (!entry) {
    NetLogLine("\n[frame message resend requested by host, but ignored by client (message not in queue):]", {frame});
    return;
  }
  NetLogLine("\n[frame message resent by client (requested by host):]", {frame});
  platform::NetResult result = session.endpoint->Send(ownPlayer, platform::kNetServerPlayer, false, entry->buffer,
                                                      static_cast<size_t>(entry->used));
  if (result != platform::kNetOk) NetLogAddError("failed to send client frame message", result);
}

// --- set-up messages and chat --------------------------------------------------------------

bool CNetClient::SendToHost(const uint8_t* message, size_t size) {
  return SendSetup(platform::kNetServerPlayer, message, size);
}

bool CNetClient::SendToAll(const uint8_t* message, size_t size) {
  return SendSetup(platform::kNetAllPlayers, message, size);
}

bool CNetClient::SendSetup(platform::NetPlayerId to, const uint8_t* message, size_t size) {
  platform::NetResult result =
      session.endpoint ? session.endpoint->Send(ownPlayer, to, true, message, size) : platform::kNetErrNoConnection;
  if (result == platform::kNetOk) return true;
  NetLogAddError("failed to send setup message", result);
  return false;
}

bool CNetClient::SendChatToAll(const char* text) {
  platform::NetResult result = session.endpoint
                                   ? session.endpoint->SendChat(ownPlayer, platform::kNetAllPlayers, text ? text : "")
                                   : platform::kNetErrNoConnection;
  if (result == platform::kNetOk) return true;
  NetLogAddError("failed to send chat message", result);
  return false;
}

bool CNetClient::SendChat(const char* text, const char* playerName) {
  const platform::NetPlayerId to = session.FindPlayerByName(playerName);
  if (!to) return true;
  platform::NetResult result = session.endpoint->SendChat(ownPlayer, to, text ? text : "");
  if (result == platform::kNetOk) return true;
  NetLogAddError("failed to send chat message", result);
  return false;
}

void CNetClient::Fail(const char* text, const char* caption) {
  failed_ = true;
  NetLogAdd(text);
  platform::ShowMessageBox(text, caption, WarningBoxFlags());
  g_netHooks.battle->EndBattle(text);
}
