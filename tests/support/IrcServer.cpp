#include "support/IrcServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

namespace {

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool Accepts(uint16_t port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  if (socket < 0) return false;
  const sockaddr_in address = Loopback(port);
  const bool connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(socket);
  return connected;
}

std::string Configuration(uint16_t port, const std::string& password, const std::string& folder) {
  std::string text;
  auto line = [&](const std::string& entry) { text += entry + "\n"; };
  line("[Global]");
  line("Name = lobby.test");
  line("Info = Lobby test server");
  line("Listen = 127.0.0.1");
  line("Ports = " + std::to_string(port));
  line("Password = " + password);
  line("MotdPhrase = \"Welcome to the test lobby\"");
  line("PidFile = " + folder + "/ngircd.pid");
  line("HelpFile = " + folder + "/help.txt");
  line("[Limits]");
  line("MaxNickLength = 9");
  line("MaxConnectionsIP = 0");
  line("PingTimeout = 120");
  // No PAM, no name or ident look-ups: nothing leaves this machine, nothing waits.
  line("[Options]");
  line("PAM = no");
  line("DNS = no");
  line("Ident = no");
  return text;
}

}  // namespace

uint16_t FreeLoopbackPort() {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  if (socket < 0) return 0;
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  uint16_t port = 0;
  if (::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  ::close(socket);
  return port;
}

bool IrcServer::Installed() { return ::access(kProgram, X_OK) == 0; }

IrcServer::IrcServer(const std::string& password) : password_(password) {
  if (!Installed()) return;
  port_ = FreeLoopbackPort();
  if (port_ == 0) return;
  dir_.Write("ngircd.conf", Configuration(port_, password_, dir_.Path()));
  dir_.Write("help.txt", "");
  const std::string config = dir_.File("ngircd.conf");
  const std::string log = dir_.File("server.log");
  std::vector<char*> argv = {const_cast<char*>(kProgram), const_cast<char*>("--nodaemon"),
                             const_cast<char*>("--config"), const_cast<char*>(config.c_str()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (posix_spawn(&pid_, kProgram, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  if (pid_ < 0) return;
  // Bounded: a server that does not listen within five seconds has failed to start.
  for (int attempt = 0; attempt < 250 && !ready_; ++attempt) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    ready_ = Accepts(port_);
    if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

IrcServer::~IrcServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
}

std::string IrcServer::Log() const { return ReadText(dir_.File("server.log")); }

}  // namespace testing_support
