#include "LobbyRig.h"

#include <cstring>

#include "core/Options.h"
#include "net/ChatFormats.h"
#include "platform/Clock.h"

namespace lobby_test {

LobbyOptions::LobbyOptions(uint16_t port, int timeOutMs) : port_(g_lobbyPort), timeOut_(g_lobbyTimeOut) {
  std::snprintf(g_lobbyServer, sizeof g_lobbyServer, "127.0.0.1");
  g_lobbyPort = port;
  g_lobbyTimeOut = timeOutMs;
  std::string strings = "[STRINGS]\n";
  for (int n = 0; n <= 28; ++n) {
    char line[64];
    std::snprintf(line, sizeof line, "STR_%02d=STR_%02d %%s %%s %%s\n", n, n);
    strings += line;
  }
  dir_.Write("chat.cfg", strings);
  g_chatStrings.Load("chat.cfg");
}

LobbyOptions::~LobbyOptions() {
  g_lobbyPort = port_;
  g_lobbyTimeOut = timeOut_;
}

bool PumpUntil(std::initializer_list<LobbyUser*> users, const std::function<bool()>& condition, int limitMs) {
  const uint32_t start = platform::TickCount();
  while (platform::TickCount() - start < static_cast<uint32_t>(limitMs)) {
    for (LobbyUser* user : users) user->session.Pump();
    if (condition()) return true;
    platform::SleepMs(5);
  }
  return false;
}

bool LogIn(LobbyUser& user, const std::string& name, const std::string& password) {
  user.session.SetLogin(name.c_str(), password.c_str());
  user.session.Connect();
  return user.session.connected != 0;
}

}  // namespace lobby_test
