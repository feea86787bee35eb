// Network battles set up through the online lobby, between real programs on this machine and a
// chat server of the test's own: each program logs in with the name and password its
// preferences keep, the host creates a game on the chat screen, the guests find it among the
// games and join it, declare themselves ready, and the host starts once every guest is in the
// battle's session. They play the timed battle to its end in lock step (every frame has one
// line in every trace) and come back to the chat screen, which leaves the game's channel. The
// scripts count from the screens they wait for (the login and the chat screen share one id, so
// the chat's commands come late enough after the login's Enter); the clicks that find the game
// and ask for the start stop before the battle begins.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "forge/FrontEndLayouts.h"
#include "forge/LobbyLayouts.h"
#include "forge/MultiplayerSetupLayouts.h"
#include "platform/Profile.h"
#include "support/IrcServer.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::Point;
using e2e::ScreenIds;
using forge::WidgetKind;
using testing_support::ReadText;

constexpr int kLobbyScreen = 25, kHostSetup = 13, kGuestSetup = 12, kLoad = 14, kBattle = 2, kResults = 31;

// One program: a copy of the forged data whose preferences keep its lobby login, pointed at the
// chat server, with the battles' shared list port and a short timed battle without magic.
struct Machine {
  Machine(const std::string& login, const testing_support::IrcServer& server, int listPort) {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir.Path(), std::filesystem::copy_options::recursive);
    const std::string options = dir.File("cfg/vrask.cfg"), prefs = dir.File("cfg/prefs.cfg"),
                      rules = dir.File("cfg/QuickBattleSetup.cfg");
    platform::WriteProfileString("NETWORK", "LobbyServer", "127.0.0.1", options);
    platform::WriteProfileString("NETWORK", "LobbyPort", std::to_string(server.Port()), options);
    platform::WriteProfileString("NETWORK", "ListPort", std::to_string(listPort), options);
    platform::WriteProfileString("NETWORK", "GamePort", "0", options);
    platform::WriteProfileString("NETWORK", "messageDelayFrames_NET", "2", options);
    platform::WriteProfileString("NETGAME", "LobbyLoginName", login, prefs);
    platform::WriteProfileString("NETGAME", "LobbyPassword", server.Password(), prefs);
    for (const char* key : {"magicItems", "lawTalisman", "neutralTalisman", "vraskTalisman"})
      platform::WriteProfileString("DEFAULTS-MULTIPLAYER", key, "0", rules);
    platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "gameTime", "1", rules);
    platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "regionIndex", "1", rules);
  }
  std::string Command(const std::string& script) const {
    std::ofstream(dir.File("road.txt")) << script;
    return "cd '" + dir.Path() +
           "' && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt VRASK_BATTLE_TRACE=trace.txt "
           "timeout 240 '" +
           VRASK_PROGRAM + "' /win 2>stderr.txt >/dev/null";
  }
  testing_support::TempDir dir;
};

// The way into the lobby: the menu's entry, the login screen (its picture), Enter.
std::string IntoTheLobby(const std::string& tag) {
  std::ostringstream road;
  road << "log screens.txt\n4 click " << Point(forge::MainMenuLayout(), WidgetKind::kTextButton, 4, true) << "\n"
       << "on " << kLobbyScreen << "\n20 png " << tag << "_login.png\n30 key RETURN\n";
  return road.str();
}

// After the battle has begun: its picture, the results screen opened over the running battle
// (it runs on underneath until its minute, some 1130 frames, is over) and its picture, and the
// chat screen's once the battle is over and the set-up screen has gone.
std::string AfterTheStart(const std::string& tag) {
  std::ostringstream road;
  road << "on " << kBattle << "\n30 png " << tag << "_battle.png\n300 key ESCAPE\non " << kResults << "\n30 png " << tag
       << "_results.png\n1600 png " << tag << "_back.png\n1700 close\n";
  return road.str();
}

// The host's script: on the chat screen it types the game's name and creates it; on the set-up
// screen Start is asked for every 40 frames (refused until every guest is ready, and the battle
// starts only once all of them are in its session).
std::string HostRoad() {
  const forge::ScreenLayout chat = forge::LobbyChatLayout(), create = forge::MultiplayerCreateLayout();
  std::ostringstream road;
  road << IntoTheLobby("host") << "70 png host_chat.png\n";
  int frame = 80;
  for (char c : std::string("duel")) road << frame++ << " key " << c << "\n";
  road << "90 click " << Point(chat, WidgetKind::kTextButton, 12, true) << "\n"
       << "on " << kHostSetup << "\n30 png host_setup.png\n";
  for (int at = 300; at <= 900; at += 40) road << at << " click " << Point(create, WidgetKind::kTextButton, 2, true) << "\n";
  road << "on " << kLoad << "\n1 png host_load.png\n" << AfterTheStart("host");
  return road.str();
}

// A guest's script: the games shown, then Refresh and a click on the list's first line every 30
// frames until the game is there and joined; Ready on the set-up screen, asked for until the
// host has given the place.
std::string GuestRoad(const std::string& tag) {
  const forge::ScreenLayout chat = forge::LobbyChatLayout(), ready = forge::MultiplayerJoinLayout();
  const forge::LayoutPoint list = forge::WidgetCentre(chat, WidgetKind::kListBox, 1, true);
  std::ostringstream road;
  road << IntoTheLobby(tag) << "70 click " << Point(chat, WidgetKind::kRadioButton, 2, true) << "\n";
  for (int at = 100; at <= 370; at += 30)
    road << at << " click " << Point(chat, WidgetKind::kTextButton, 5, true) << "\n"
         << at + 15 << " click " << list.x << " 140\n";
  road << "on " << kGuestSetup << "\n30 png " << tag << "_setup.png\n";
  for (int at = 60; at <= 400; at += 40) road << at << " click " << Point(ready, WidgetKind::kTextButton, 1, true) << "\n";
  road << AfterTheStart(tag);
  return road.str();
}

bool Passes(const std::vector<int>& screens, int id) {
  return std::find(screens.begin(), screens.end(), id) != screens.end();
}

// The pictures, and the screen log, the error output and the network log of a program, for a
// person to read.
void KeepPictures(const Machine& machine, const std::string& tag) {
  for (const auto& entry : std::filesystem::directory_iterator(machine.dir.Path())) {
    const std::string name = entry.path().filename().string();
    const bool log = name == "screens.txt" || name == "stderr.txt" || name == "net_log.txt";
    if (entry.path().extension() == ".png" || log)
      std::filesystem::copy_file(entry.path(),
                                 testing_support::TestOutputDir() + "/lobby_road_" + (log ? tag + "_" : "") + name,
                                 std::filesystem::copy_options::overwrite_existing);
  }
}

// The ids of the screens after the last battle.
std::vector<int> AfterTheBattle(const std::vector<int>& screens) {
  const auto last = std::find(screens.rbegin(), screens.rend(), kBattle);
  return last == screens.rend() ? std::vector<int>{} : std::vector<int>(last.base(), screens.end());
}

// A host and its guests meet in the lobby, play the timed battle to its end and come back to
// the chat screen: every program passes the screens of its road, and their traces are one.
void MeetInTheLobbyAndPlay(int guests) {
  if (!testing_support::IrcServer::Installed()) GTEST_SKIP() << "ngircd is not installed";
  testing_support::IrcServer server;
  ASSERT_TRUE(server.Running()) << server.Log();
  const int listPort = e2e::FreeUdpPort();
  std::vector<std::unique_ptr<Machine>> machines;
  machines.push_back(std::make_unique<Machine>("hostess", server, listPort));
  for (int g = 0; g < guests; ++g)
    machines.push_back(std::make_unique<Machine>("guest" + std::to_string(g), server, listPort));
  std::string all;
  for (size_t m = 0; m < machines.size(); ++m)
    all += "(" + machines[m]->Command(m == 0 ? HostRoad() : GuestRoad("guest" + std::to_string(m - 1))) + ") & ";
  std::system((all + "wait").c_str());

  std::vector<std::vector<std::string>> traces;
  std::string errors;
  for (size_t m = 0; m < machines.size(); ++m) {
    SCOPED_TRACE(m == 0 ? "the host" : "guest " + std::to_string(m - 1));
    const std::string stderrText = ReadText(machines[m]->dir.File("stderr.txt"));
    const std::vector<int> screens = ScreenIds(ReadText(machines[m]->dir.File("screens.txt")));
    const int setup = m == 0 ? kHostSetup : kGuestSetup;
    for (int id : {kLobbyScreen, setup, kLoad, kBattle, kResults})
      EXPECT_TRUE(Passes(screens, id)) << "never saw screen " << id << "\n" << stderrText;
    // Back through the set-up screen to the chat, whose return leaves the game's channel.
    const std::vector<int> after = AfterTheBattle(screens);
    EXPECT_TRUE(Passes(after, setup) && !after.empty() && after.back() == kLobbyScreen)
        << ::testing::PrintToString(screens);
    traces.push_back(e2e::Lines(ReadText(machines[m]->dir.File("trace.txt"))));
    errors += stderrText;
    KeepPictures(*machines[m], m == 0 ? "host" : "guest" + std::to_string(m - 1));
  }
  // The whole minute, on every machine alike.
  for (size_t m = 1; m < traces.size(); ++m) EXPECT_EQ(traces[m].size(), traces[0].size()) << "program " << m;
  EXPECT_GE(traces[0].size(), 1000u) << errors;
  const size_t common = std::min_element(traces.begin(), traces.end(), [](const auto& a, const auto& b) {
                          return a.size() < b.size();
                        })->size();
  for (size_t m = 1; m < traces.size(); ++m)
    for (size_t i = 0; i < common; ++i) ASSERT_EQ(traces[0][i], traces[m][i]) << "program " << m << ", line " << i;
  // Nothing of the password reaches the programs' error output.
  EXPECT_EQ(errors.find(server.Password()), std::string::npos);
}

TEST(LobbyRoad, AHostAndTwoGuestsMeetInTheLobbyAndPlayTheSameBattleToItsEnd) { MeetInTheLobbyAndPlay(2); }

#endif

}  // namespace
