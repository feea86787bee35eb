// A network battle between real programs on this machine's loopback, each led by its own script:
// the host creates a session from the quick battle menu, the guests find it on the game list,
// join, and declare themselves ready; the host starts; all wait on the load screen and play the
// battle in lock step, either for a number of frames or through its minute, with the results
// screen open over it, back to the quick battle menu. Every frame they ran has the same line in
// every frame trace (validation words and the hash of the creatures' battle fields). The scripts
// count from the screens they wait for, since programs never keep the same pace.
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
#include "forge/MultiplayerSetupLayouts.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::Point;
using e2e::ScreenIds;
using forge::WidgetKind;
using testing_support::ReadText;

// One machine: a copy of the forged data with its player's name, the shared list port and a
// short timed battle without magic.
struct Machine {
  Machine(const std::string& player, int listPort) {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir.Path(), std::filesystem::copy_options::recursive);
    const std::string options = dir.File("cfg/vrask.cfg"), prefs = dir.File("cfg/prefs.cfg"),
                      rules = dir.File("cfg/QuickBattleSetup.cfg");
    platform::WriteProfileString("NETWORK", "ListPort", std::to_string(listPort), options);
    platform::WriteProfileString("NETWORK", "GamePort", "0", options);
    platform::WriteProfileString("NETWORK", "messageDelayFrames_LAN", "2", options);
    platform::WriteProfileString("NETGAME", "PlayerName", player, prefs);
    for (const char* key : {"magicItems", "lawTalisman", "neutralTalisman", "vraskTalisman"})
      platform::WriteProfileString("DEFAULTS-MULTIPLAYER", key, "0", rules);
    platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "gameTime", "1", rules);
    platform::WriteProfileString("DEFAULTS-MULTIPLAYER", "regionIndex", "1", rules);
  }
  std::string Command(const std::string& script) const {
    std::ofstream(dir.File("road.txt")) << script;
    return "cd '" + dir.Path() +
           "' && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt VRASK_BATTLE_TRACE=trace.txt "
           "timeout 200 '" +
           VRASK_PROGRAM + "' /win 2>stderr.txt >/dev/null";
  }
  testing_support::TempDir dir;
};

constexpr int kWholeBattle = 0;

// The end of a road in the battle: the program closed after the battle's frames given, or, for
// the whole battle, the results screen opened over the running battle (it runs on underneath
// until its minute is over and everyone leaves it) and the program closed once the quick
// battle menu is back.
std::string BattleEnd(int battleFrames, const std::string& role) {
  if (battleFrames != kWholeBattle) return std::to_string(battleFrames) + " close\n";
  return "300 key ESCAPE\non 31\n30 png " + role + "_results.png\non 27 2\n20 png " + role + "_menu.png\n30 close\n";
}

// The host's script: its session created from the quick battle menu, Start asked for again
// every 40 frames (refused until every guest there is ready), then the battle's end.
std::string HostRoad(int battleFrames) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            set = forge::SetMultiplayerLayout(), create = forge::MultiplayerCreateLayout();
  std::ostringstream road;
  road << "log screens.txt\n1 seed 4242\n4 click " << Point(main, WidgetKind::kTextButton, 3, true) << "\n"
       << "on 27\n20 click " << Point(quick, WidgetKind::kTextButton, 1, true) << "\n"
       << "on 29\n20 png host_set.png\n21 click " << Point(set, WidgetKind::kTextButton, 1, true) << "\n"
       << "on 13\n30 png host_setup.png\n";
  // The first Start waits a while: a guest slower to arrive would be left out of a battle that
  // starts as soon as those already there are ready.
  for (int frame = 200; frame <= 1500; frame += 40)
    road << frame << " click " << Point(create, WidgetKind::kTextButton, 2, true) << "\n";
  road << "on 14\n2 png host_load.png\non 2\n30 png host_battle.png\n" << BattleEnd(battleFrames, "host");
  return road.str();
}

// A guest's script: the join screen, the session on the game list (asked for again every 30
// frames until the list shows it), Ready on the set-up screen.
std::string GuestRoad(int battleFrames) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            join = forge::JoinMultiplayerLayout(), select = forge::MultiplayerGameSelectLayout(),
                            ready = forge::MultiplayerJoinLayout();
  std::ostringstream road;
  road << "log screens.txt\n1 seed 77\n4 click " << Point(main, WidgetKind::kTextButton, 3, true) << "\n"
       << "on 27\n20 click " << Point(quick, WidgetKind::kTextButton, 2, true) << "\n"
       << "on 28\n20 png guest_join.png\n21 click " << Point(join, WidgetKind::kTextButton, 1, true) << "\n"
       << "on 26\n34 png guest_select.png\n";
  const forge::LayoutPoint list = forge::WidgetCentre(select, WidgetKind::kListBox, 1, true);
  for (int frame = 30; frame <= 900; frame += 30)
    road << frame << " click " << list.x << " 185\n"
         << frame + 5 << " click " << Point(select, WidgetKind::kTextButton, 1, true) << "\n";
  // Never listed: the program ends rather than wait for its time-out (late enough for a whole
  // battle, whose screens come after this one's).
  road << "3000 close\n";
  road << "on 12\n30 png guest_setup.png\n40 click " << Point(ready, WidgetKind::kTextButton, 1, true) << "\n"
       << "on 2\n30 png guest_battle.png\n"
       << BattleEnd(battleFrames, "guest");
  return road.str();
}

bool Passes(const std::vector<int>& screens, int id, int times = 1) {
  return std::count(screens.begin(), screens.end(), id) >= times;
}

// The pictures, and the screen log and error output that tell what went wrong in a failed run.
void KeepOutputs(const Machine& machine, const std::string& tag) {
  for (const char* file : {"host_set.png", "host_setup.png", "host_load.png", "host_battle.png", "host_results.png",
                           "host_menu.png", "guest_join.png", "guest_select.png", "guest_setup.png", "guest_battle.png",
                           "guest_results.png", "guest_menu.png", "screens.txt", "stderr.txt"})
    if (std::filesystem::exists(machine.dir.File(file)))
      std::filesystem::copy_file(machine.dir.File(file),
                                 testing_support::TestOutputDir() + "/network_road_" + tag + "_" + file,
                                 std::filesystem::copy_options::overwrite_existing);
}

// A host and its guests play a battle of the frames given, or the whole battle (the host leaves
// after hostFrames when that is given); every machine passes the screens of its road, and the
// frames all the machines still there ran have one line in every trace. A battle played whole
// ends in the same frame everywhere: each machine ran every frame, the last included, since the
// host waits for the others to have it before it leaves.
// A hostile guest (the peer program) may join them: it leaves as the battle starts.
void PlayTogether(int guests, int battleFrames, int hostFrames = 0, bool intruder = false) {
  const int listPort = e2e::FreeUdpPort();
  std::vector<std::unique_ptr<Machine>> machines;
  machines.push_back(std::make_unique<Machine>("Hostess", listPort));
  for (int g = 0; g < guests; ++g) machines.push_back(std::make_unique<Machine>("Guest" + std::to_string(g), listPort));
  std::string all;
#ifdef VRASK_NET_PEER
  testing_support::TempDir intruderDir;
  if (intruder)
    all += "(timeout 200 '" VRASK_NET_PEER "' intruder=1 budget=150000 list-port=" + std::to_string(listPort) +
           " out='" + intruderDir.File("intruder.txt") + "' 2>/dev/null) & ";
#endif
  for (size_t m = 0; m < machines.size(); ++m)
    all += "(" +
           machines[m]->Command(m == 0 ? HostRoad(hostFrames ? hostFrames : battleFrames) : GuestRoad(battleFrames)) +
           ") & ";
  std::system((all + "wait").c_str());

#ifdef VRASK_NET_PEER
  if (intruder) EXPECT_EQ(ReadText(intruderDir.File("intruder.txt")), "code 0\nleft at the start\n");
#endif
  const bool whole = battleFrames == kWholeBattle;
  std::vector<std::vector<std::string>> traces;
  std::string errors;
  for (size_t m = 0; m < machines.size(); ++m) {
    SCOPED_TRACE(m == 0 ? "the host" : "guest " + std::to_string(m - 1));
    const std::vector<int> screens = ScreenIds(ReadText(machines[m]->dir.File("screens.txt")));
    for (int id : m == 0 ? std::vector<int>{29, 13, 14, 2} : std::vector<int>{28, 26, 12, 14, 2})
      EXPECT_TRUE(Passes(screens, id)) << "never saw screen " << id;
    if (whole && (m > 0 || !hostFrames)) {
      EXPECT_TRUE(Passes(screens, 31)) << "never saw the results";
      EXPECT_TRUE(Passes(screens, 27, 2)) << "never came back to the quick battle menu";
    }
    // The intruder was seated once, and left no trace on the battle: three armies, alike.
    if (intruder) EXPECT_NE(ReadText(machines[m]->dir.File("stderr.txt")).find("armies 3 players 3"), std::string::npos);
    traces.push_back(e2e::Lines(ReadText(machines[m]->dir.File("trace.txt"))));
    errors += ReadText(machines[m]->dir.File("stderr.txt"));
    KeepOutputs(*machines[m], std::to_string(guests + 1) + (hostFrames ? "_left_" : intruder ? "_intruded_" : "_") +
                                  std::to_string(m));
  }
  // Without its host, the survivors are compared among themselves, beyond the host's last frame.
  const size_t first = hostFrames ? 1 : 0;
  size_t common = traces[first].size();
  for (size_t m = first; m < traces.size(); ++m) common = std::min(common, traces[m].size());
  EXPECT_GE(common, static_cast<size_t>(whole ? 200 : battleFrames / 2)) << errors;
  if (hostFrames) EXPECT_GT(common, traces[0].size() + 20) << "the survivors stopped with their host\n" << errors;
  for (size_t m = first + 1; whole && m < traces.size(); ++m)
    EXPECT_EQ(traces[m].size(), traces[first].size()) << "machine " << m << " ended elsewhere";
  for (size_t m = first + 1; m < traces.size(); ++m)
    for (size_t i = 0; i < common; ++i) ASSERT_EQ(traces[first][i], traces[m][i]) << "machine " << m << ", line " << i;
  for (size_t i = 0; hostFrames && i < std::min(common, traces[0].size()); ++i)
    ASSERT_EQ(traces[0][i], traces[1][i]) << "the host and a survivor, line " << i;
}

TEST(NetworkRoad, AHostAndAGuestPlayTheWholeBattle) { PlayTogether(1, kWholeBattle); }

TEST(NetworkRoad, AHostAndThreeGuestsPlayTheSameBattle) { PlayTogether(3, 150); }

// The host's program ends mid-battle: the lowest of the others takes over and they finish the
// battle alike.
TEST(NetworkRoad, TheGuestsOfAHostThatLeavesFinishAlike) { PlayTogether(3, kWholeBattle, 60); }

#ifdef VRASK_NET_PEER
// A hostile guest asks for the others' places, sends places, settings, seats and a start message
// as if it hosted, and leaves while the others load: their set-up goes on as the host decides,
// nobody waits for its spell list, and the two play alike.
TEST(NetworkRoad, AHostileGuestLeavesTheOthersTheirBattle) { PlayTogether(1, 150, 0, true); }
#endif

#endif

}  // namespace
