#include "NetProtocolSupport.h"

namespace net_test {

Bytes ToBytes(const CommandMessage& message) { return Bytes(message.bytes, message.bytes + message.length); }

Bytes FrameOf(int frame, int origin, const std::vector<Bytes>& subs) { return MakeFrameMessage(frame, origin, subs); }

Bytes ClientFrame(int frame, const std::vector<Bytes>& commands) {
  return FrameOf(frame, kFrameOriginClient, commands);
}

Bytes HostFrame(int frame, const std::vector<std::vector<Bytes>>& clients) {
  std::vector<Bytes> nested;
  for (const std::vector<Bytes>& commands : clients) nested.push_back(ClientFrame(frame, commands));
  return FrameOf(frame, kFrameOriginHost, nested);
}

Bytes WalkCommand(int creature, int x, int y, int z) {
  return ToBytes(MakeCellCommand(MSG_CREATURE_WALK, creature, x, y, z));
}

RawPeer::RawPeer(std::unique_ptr<platform::NetEndpoint> peerSession, const char* name, bool server)
    : session(std::move(peerSession)) {
  if (server) {
    session->CreateServerPlayer();
    player = platform::kNetServerPlayer;
  } else {
    session->CreatePlayer(name, player);
  }
}

void RawPeer::Send(platform::NetPlayerId to, const Bytes& message, bool guaranteed) {
  session->Send(player, to, guaranteed, message.data(), message.size());
}

std::vector<Bytes> RawPeer::ReceiveAll() {
  std::vector<Bytes> out;
  Bytes buffer(70000);
  platform::NetMessageInfo info;
  while (session->Receive(player, buffer.data(), buffer.size(), info) == platform::kNetOk) {
    if (info.system)
      ++systemMessages;
    else
      out.emplace_back(buffer.begin(), buffer.begin() + static_cast<long>(info.size));
  }
  return out;
}

std::vector<int> RawPeer::ReceivedFrames() {
  std::vector<int> frames;
  for (const Bytes& message : ReceiveAll())
    if (CheckMessageHeader(message.data(), message.size()) == MSG_COMPOUND)
      frames.push_back(MessageWord(message.data(), 3));
  return frames;
}

}  // namespace net_test
