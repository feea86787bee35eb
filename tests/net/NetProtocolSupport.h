#pragma once
// Pieces of the protocol tests: frame messages built by hand, and peers that speak raw bytes
// over the loopback (a fake client at the host, a fake host at a client).

#include <memory>
#include <string>
#include <vector>

#include "map/MapCommands.h"
#include "net/NetMessages.h"
#include "platform/NetEndpoint.h"

namespace net_test {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const CommandMessage& message);
// A frame message of the origin holding the sub-messages.
Bytes FrameOf(int frame, int origin, const std::vector<Bytes>& subs);
Bytes ClientFrame(int frame, const std::vector<Bytes>& commands = {});
// A host frame holding one client frame of the commands per client.
Bytes HostFrame(int frame, const std::vector<std::vector<Bytes>>& clients);
Bytes WalkCommand(int creature, int x = 1, int y = 2, int z = 3);

// One machine's player that sends and receives raw messages.
class RawPeer {
 public:
  RawPeer(std::unique_ptr<platform::NetEndpoint> session, const char* name, bool server = false);
  void Send(platform::NetPlayerId to, const Bytes& message, bool guaranteed = false);
  // Every protocol message waiting; system messages are counted.
  std::vector<Bytes> ReceiveAll();
  // The frame numbers of the frame messages waiting (others are dropped).
  std::vector<int> ReceivedFrames();

  std::unique_ptr<platform::NetEndpoint> session;
  platform::NetPlayerId player = 0;
  int systemMessages = 0;
};

}  // namespace net_test
