#pragma once
// The ENet backend of the network session: machines in separate processes, or on separate
// computers, over UDP. The machine that creates a session listens on the game port and answers
// session queries on the list port; a joining machine says hello with our application id, gets
// a machine number and the roster from the host, and opens a link to every other machine, so
// that the machines form a full mesh of at most five. Guaranteed messages travel reliable and
// in order; the others unreliable and unsequenced, fragments included (a host frame is larger
// than a datagram): whole or not at all. When a machine falls silent for the keep-alive time
// its links drop and its players are gone; when the host goes, the surviving machine with the
// lowest number becomes the host and is told so. Messages are received by polling: every call
// services the links first, without waiting.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/NetEndpoint.h"

namespace platform {

// Faults injected into what arrives, for tests and benches, drawn from the machine's own
// generator: datagrams lost (guaranteed messages come again, the others are gone), and
// messages that are not guaranteed doubled or held back behind later ones for a few
// milliseconds.
struct EnetImpairment {
  double loss = 0;       // a datagram is dropped
  double duplicate = 0;  // a message arrives a second time, a little later
  double reorder = 0;    // a message is held back
  uint64_t seed = 1;
};

struct EnetOptions {
  std::string bindAddress;                        // "" every interface, "127.0.0.1" this machine only
  uint16_t gamePort = 0;                          // where a created session listens; 0 any free port
  uint16_t listPort = 0;                          // where hosts answer and machines ask for sessions
  std::string searchAddress = "255.255.255.255";  // where session queries go, until set otherwise
  uint32_t joinTimeoutMs = 10000;                 // a join's hello waits this long for the roster
  uint32_t keepAliveMs = 5000;                    // a link silent this long drops
  EnetImpairment impairment;
  // Tests of hostile machines: Send takes any sender id, as a forged message would carry it.
  bool forgeSenders = false;
  // Lines about refused peers and malformed bytes; none when empty.
  std::function<void(const std::string&)> log;
};

// A machine of the ENet network; null when ENet cannot start.
std::unique_ptr<NetEndpoint> CreateEnetEndpoint(const EnetOptions& options);

// The port a created session actually listens on (after asking for any free one), and the list
// port its host answers on; 0 when the endpoint is not an ENet host.
uint16_t EnetGamePort(const NetEndpoint& endpoint);
uint16_t EnetListPort(const NetEndpoint& endpoint);

}  // namespace platform
