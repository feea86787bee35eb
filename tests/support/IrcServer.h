#pragma once
// A chat server of our own for the lobby tests: ngircd in the foreground on a free loopback
// port, with a configuration written into a temporary folder (a server password, no PAM, no
// look-ups), stopped by its process id when the object goes. Tests skip when the program is
// not installed (scripts/deps installs it).

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "support/TestSupport.h"

namespace testing_support {

class IrcServer {
 public:
  // Where scripts/deps puts the program.
  static constexpr const char* kProgram = "/usr/sbin/ngircd";
  static bool Installed();

  // Starts the server and waits (a few seconds at most) until it takes connections.
  explicit IrcServer(const std::string& password = "lobbypass");
  ~IrcServer();
  IrcServer(const IrcServer&) = delete;
  IrcServer& operator=(const IrcServer&) = delete;

  bool Running() const { return ready_; }
  uint16_t Port() const { return port_; }
  const std::string& Password() const { return password_; }
  // The server's log (its standard error and output), for a failing test's message.
  std::string Log() const;

 private:
  TempDir dir_;
  std::string password_;
  uint16_t port_ = 0;
  pid_t pid_ = -1;
  bool ready_ = false;
};

// A loopback port that was free a moment ago (bound, read and let go).
uint16_t FreeLoopbackPort();

}  // namespace testing_support
