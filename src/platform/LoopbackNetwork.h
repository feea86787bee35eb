#pragma once
// The loopback backend of the network session: a medium in this process that many machines
// connect to. It keeps sessions, players and the messages in flight, and delivers on the
// platform clock (a test's manual clock drives it). Between two machines a message that is
// not guaranteed is lost, doubled, delayed or held back at the rates the conditions give,
// drawn from the medium's own generator, so one seed gives one run; guaranteed messages and
// system messages are never lost, and guaranteed ones keep their order on each link. Between
// two players of one machine every message arrives at once.

#include <cstdint>
#include <memory>

#include "platform/NetEndpoint.h"

namespace platform {

struct LoopbackConditions {
  double loss = 0;       // chance that a message is lost
  double duplicate = 0;  // chance that it arrives twice
  double reorder = 0;    // chance that it is held back by heldBackMs more
  uint32_t minDelayMs = 0, maxDelayMs = 0;
  uint32_t heldBackMs = 0;
};

struct LoopbackStats {
  uint64_t sent = 0;        // messages handed to the medium between machines
  uint64_t lost = 0;        // of those not guaranteed, lost
  uint64_t duplicated = 0;  // of those not guaranteed, sent twice
  uint64_t heldBack = 0;
};

class LoopbackNetwork {
 public:
  explicit LoopbackNetwork(uint64_t seed = 1);
  ~LoopbackNetwork();
  LoopbackNetwork(const LoopbackNetwork&) = delete;
  LoopbackNetwork& operator=(const LoopbackNetwork&) = delete;

  // Conditions of the messages sent from now on.
  void SetConditions(const LoopbackConditions& conditions);
  LoopbackStats Stats() const;

  // A new machine on the medium; it may outlive the network object.
  std::unique_ptr<NetEndpoint> Connect();

  struct Medium;

 private:
  std::shared_ptr<Medium> medium_;
};

}  // namespace platform
