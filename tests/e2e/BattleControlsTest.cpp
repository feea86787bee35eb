// The battle's keys in the real program, as a player at the keyboard uses them, driven by a
// script (VRASK_SCRIPT) in the direct battle: held arrows scroll the view one way and back
// again (Shift faster), F12 hides the bar and the face and brings them back, `[` puts the view
// above a panel that stands on its border art and `]` takes it back, and P shows that the
// battle is paused; in a quick battle a creature is selected and walked while a spell is still
// chosen; and an attack order on an enemy closes on it. The frames go to the test output.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "forge/FrontEndLayouts.h"
#include "forge/SetupScreenLayouts.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const uint8_t* At(int x, int y) const { return &rgb[3 * (static_cast<size_t>(y) * width + x)]; }
  // Pixels of a rectangle that pass a test of their colour.
  template <typename Test>
  int Count(int left, int top, int right, int bottom, Test test) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const uint8_t* p = At(x, y);
        n += test(p[0], p[1], p[2]) ? 1 : 0;
      }
    return n;
  }
};

// The mean difference of two frames over a rectangle, per channel.
double Difference(const Frame& a, const Frame& b, int left, int top, int right, int bottom) {
  double total = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      for (int c = 0; c < 3; ++c) total += std::abs(static_cast<int>(a.At(x, y)[c]) - b.At(x, y)[c]);
  return total / (3.0 * (right - left) * (bottom - top));
}

bool Grass(int r, int g, int b) { return g > 60 && g > r + 20 && g > b + 20; }
bool KeyBlue(int r, int g, int b) { return r < 16 && g < 16 && b > 240; }

class BattleControls : public e2e::ProgramRoad {
 protected:
  Frame Load(const std::string& name) {
    Frame frame;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), frame.width, frame.height, frame.rgb)) << name;
    KeepPicture(name, "battle_controls_" + name);
    return frame;
  }
};

TEST_F(BattleControls, ArrowsScrollBothWaysAndThePanelKeysShowWhatTheyDo) {
  std::ofstream(dir_.File("keys.txt")) << "40 png start.png\n"
                                       << "41 keydown LEFT\n"
                                       << "56 keyup LEFT\n"
                                       << "57 png left.png\n"
                                       << "58 keydown RIGHT\n"
                                       << "73 keyup RIGHT\n"
                                       << "74 png back.png\n"
                                       << "75 keydown SHIFT\n"
                                       << "75 keydown DOWN\n"
                                       << "79 keyup DOWN\n"
                                       << "79 keyup SHIFT\n"
                                       << "80 png down.png\n"
                                       << "81 keydown SHIFT\n"
                                       << "81 keydown UP\n"
                                       << "85 keyup UP\n"
                                       << "85 keyup SHIFT\n"
                                       << "86 png up.png\n"
                                       << "87 key F12\n"
                                       << "90 png hidden.png\n"
                                       << "91 key F12\n"
                                       << "94 png shown.png\n"
                                       << "95 key [\n"
                                       << "100 png above.png\n"
                                       << "101 key ]\n"
                                       << "106 png whole.png\n"
                                       << "107 key p\n"
                                       << "112 png paused.png\n"
                                       << "113 key p\n"
                                       << "118 png running.png\n"
                                       << "120 close\n";
  const int status = std::system(
      Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=keys.txt", "/win direct mapseed=4242").c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  EXPECT_EQ(ReadText(dir_.File("stderr.txt")).find("VRASK_SCRIPT"), std::string::npos)
      << "every key of the script is known";

  // The map above the panels: held arrows move it, and as far back again the other way.
  const Frame start = Load("start.png"), left = Load("left.png"), back = Load("back.png");
  const Frame down = Load("down.png"), up = Load("up.png");
  const double moved = Difference(start, left, 0, 0, 800, 440), returned = Difference(start, back, 0, 0, 800, 440);
  EXPECT_GT(moved, 10.0) << "a held arrow scrolls";
  EXPECT_LT(returned * 3, moved) << "the other arrow scrolls back";
  EXPECT_GT(Difference(back, down, 0, 0, 800, 440), 10.0) << "Shift with an arrow scrolls";
  EXPECT_LT(Difference(back, up, 0, 0, 800, 440) * 3, Difference(back, down, 0, 0, 800, 440));

  // F12: the bar and the face panel go, and the map shows where they were; then they return.
  const Frame hidden = Load("hidden.png"), shown = Load("shown.png");
  const int faceGrassShown = shown.Count(690, 480, 790, 590, Grass),
            faceGrassHidden = hidden.Count(690, 480, 790, 590, Grass);
  EXPECT_GT(faceGrassHidden, faceGrassShown + 2000) << "the face panel is hidden";

  // The view above the panels: the strip below it stands on its border art (no map, no panel
  // blue) and nothing blue shows over the map either; the whole view takes the map back.
  const Frame above = Load("above.png"), whole = Load("whole.png");
  EXPECT_EQ(above.Count(0, 0, 800, 600, KeyBlue), 0);
  EXPECT_LT(above.Count(0, 470, 590, 600, Grass), 590 * 130 / 50) << "the strip under the view shows the map";
  EXPECT_GT(whole.Count(0, 470, 590, 600, Grass), 590 * 130 / 2);

  // A paused battle says so at the top of the screen; running again, it does not.
  const Frame paused = Load("paused.png"), running = Load("running.png");
  auto light = [](int r, int g, int b) { return r > 180 && g > 160 && b < 140; };
  EXPECT_GT(paused.Count(250, 0, 550, 40, light), running.Count(250, 0, 550, 40, light) + 30);
}

// The falls of an army's wizard's mana from one frame of a trace to the next, in order.
std::vector<int> ManaFalls(const std::string& trace, const std::string& army) {
  std::vector<int> falls;
  std::istringstream lines(trace);
  std::string line;
  int last = -1;
  while (std::getline(lines, line)) {
    const size_t at = line.find(" " + army + " moved ");
    const size_t mana = at == std::string::npos ? at : line.find(" mana ", at);
    if (line.rfind("frame ", 0) != 0 || mana == std::string::npos) continue;
    const int now = std::atoi(line.c_str() + mana + 6);
    if (last >= 0 && now < last) falls.push_back(last - now);
    last = now;
  }
  return falls;
}

// The mana cost of the spell of that name in a spells.cfg text; 0 when none is named so.
int SpellCost(const std::string& spells, const std::string& name) {
  const size_t record = spells.find("\nTextName=" + name + "\n");
  if (record == std::string::npos) return 0;
  const size_t next = spells.find("\n[", record), cost = spells.find("\nManaCost=", record);
  return cost < next ? std::atoi(spells.c_str() + cost + 10) : 0;
}

// In a quick battle the wizard summons a creature with the spell of its strip; a left click on
// the new creature selects it, though the spell is still chosen, and a right click on the
// ground walks it there: the trace shows the player's army still until the order. The spell
// chosen again summons a second creature; each cast costs the wizard the spell's mana.
TEST_F(BattleControls, AfterACastAClickSelectsACreatureThatThenWalks) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout();
  using forge::WidgetKind;
  std::ofstream(dir_.File("cast.txt")) << "1 seed 4242\n"
                                       << "4 click " << e2e::Point(main, WidgetKind::kTextButton, 3, true) << "\n"
                                       << "25 click " << e2e::Point(quick, WidgetKind::kTextButton, 3, true) << "\n"
                                       << "46 click " << e2e::Point(setUp, WidgetKind::kTextButton, 2, true) << "\n"
                                       << "71 press 338 136\n73 release 235 549\n"  // an item into the Law column
                                       << "81 click 754 51\n"                       // Begin Battle
                                       << "111 click " << e2e::Point(region, WidgetKind::kTextButton, 1, true) << "\n"
                                       << "201 key TAB\n"        // the spell strip
                                       << "211 click 572 570\n"  // its summoning spell
                                       << "215 move 330 330\n"
                                       << "221 rclick 330 330\n"  // cast: the creature comes
                                       << "261 move 330 322\n"
                                       << "266 click 330 322\n"  // selects it
                                       << "276 move 250 250\n"
                                       << "281 rclick 250 250\n"  // and walks it
                                       << "300 png walked.png\n"
                                       << "301 click 572 570\n"  // the spell again
                                       << "303 move 450 300\n"
                                       << "306 rclick 450 300\n"  // a second creature comes
                                       << "308 png paid.png\n"
                                       << "330 close\n";
  const int status = std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=cast.txt "
                                         "VRASK_BATTLE_TRACE=trace.txt",
                                         "/win")
                                     .c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  Load("walked.png");
  // The frames of the trace on which the player's army moved.
  std::istringstream trace(ReadText(dir_.File("trace.txt")));
  std::string line;
  std::vector<int> movedOn;
  while (std::getline(trace, line)) {
    int frame = 0, moved = 0;
    const size_t at = line.find(" army0 moved ");
    if (std::sscanf(line.c_str(), "frame %d", &frame) == 1 && at != std::string::npos &&
        std::sscanf(line.c_str() + at, " army0 moved %d", &moved) == 1 && moved > 0)
      movedOn.push_back(frame);
  }
  ASSERT_FALSE(movedOn.empty()) << "the summoned creature never walked";
  // The battle's first frame is the script's 120th or so: the order of frame 281 runs near
  // the battle's 160th, and nothing of the player's moved before it.
  EXPECT_GT(movedOn.front(), 150);
  // Each cast takes the spell's cost from the wizard's mana, as its face panel shows it: the
  // mana falls twice, each time by the cost the game's spell file gives the summoning.
  const std::vector<int> falls = ManaFalls(ReadText(dir_.File("trace.txt")), "army0");
  const int cost = SpellCost(ReadText(dir_.File("cfg/spells.cfg")), "Summon Centaur");
  ASSERT_GT(cost, 0);
  EXPECT_EQ(falls, std::vector<int>(2, cost));
  Load("paid.png");
}

// The moves and blows of each army over a frame trace, from its army fields.
std::map<std::string, std::pair<int, int>> MovesAndBlows(const std::string& trace) {
  std::map<std::string, std::pair<int, int>> totals;
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
      if (word.rfind("army", 0) != 0) continue;
      std::string movedWord, blowsWord;
      int moved = 0, blows = 0;
      if (words >> movedWord >> moved >> blowsWord >> blows && movedWord == "moved" && blowsWord == "blows") {
        totals[word].first += moved;
        totals[word].second += blows;
      }
    }
  }
  return totals;
}

// In the direct battle the player selects the wizard (W) and right-clicks an enemy under the
// attack pointer: the wizard walks up to it and strikes. The same battle without the order
// runs alike up to the click, and its side moves and strikes less after it.
TEST_F(BattleControls, AnAttackOrderOnAnEnemyClosesOnItAndStrikes) {
  auto run = [&](const std::string& orders, const std::string& trace) {
    std::ofstream(dir_.File("attack.txt")) << "40 png before.png\n" << orders << "160 png after.png\n161 close\n";
    const int status = std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=attack.txt "
                                           "VRASK_BATTLE_TRACE=" + trace,
                                           "/win direct mapseed=4242")
                                       .c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
    return ReadText(dir_.File(trace));
  };
  const std::string left = run("", "alone.txt");
  // The enemy stands at (655, 372) on the screen of this seed; the wizard at (400, 280).
  const std::string ordered = run("41 key w\n45 move 655 372\n47 rclick 655 372\n", "ordered.txt");
  Load("after.png");
  ASSERT_GT(ordered.size(), 1000u);
  // Alike up to the order.
  const size_t upTo = left.find("frame 47 ");
  ASSERT_NE(upTo, std::string::npos);
  EXPECT_EQ(ordered.substr(0, upTo), left.substr(0, upTo));
  // The player's side (army 1 in the direct battle) walks up and strikes.
  const auto alone = MovesAndBlows(left), attacked = MovesAndBlows(ordered);
  ASSERT_EQ(alone.count("army1"), 1u);
  EXPECT_GE(attacked.at("army1").first, alone.at("army1").first + 3) << "the wizard never closed on the enemy";
  EXPECT_GT(attacked.at("army1").second, alone.at("army1").second) << "the wizard never struck";
}

// In the direct battle the player walks the wizard into the cell behind a stone wall: the
// wall, nearer the view, covers the wizard's feet, and the rest of the wizard is drawn as the
// player knows it (no outline marks a covered creature), never as a dark shape over the wall.
TEST_F(BattleControls, AWizardBehindAWallIsDrawnAboveItInItsOwnColours) {
  std::ofstream(dir_.File("wall.txt")) << "40 png open.png\n41 key w\n45 move 400 366\n47 rclick 400 366\n"
                                       << "120 png behind.png\n121 close\n";
  const int status = std::system(
      Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=wall.txt", "/win direct mapseed=4242").c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
  const Frame open = Load("open.png"), behind = Load("behind.png");
  // The wall of this seed stands at (400, 385) on the screen; the wizard comes to the cell
  // behind it, his body above the wall's top.
  EXPECT_GT(Difference(open, behind, 385, 325, 415, 362), 10.0) << "the wizard never came behind the wall";
  auto dark = [](int r, int g, int b) { return r + g + b < 45; };
  // His outlines and shadows are dark; a body printed dark would be some hundreds of pixels.
  EXPECT_LT(behind.Count(385, 325, 415, 362, dark), 120) << "the wizard is drawn as a dark shape";
  auto stone = [](int r, int g, int b) { return r > 100 && std::abs(r - g) < 12 && std::abs(g - b) < 16; };
  EXPECT_GT(behind.Count(375, 372, 425, 400, stone), 400) << "the wall no longer shows in front";
}

// The portrait and the colour the player picks at the set-up are the wizard's in the quick
// battle: the face panel shows the other portrait, and the wizard's gem and the scanner's dot
// the other colour, where the choices left alone show the first ones.
TEST_F(BattleControls, ThePortraitAndColourChosenAtTheSetUpAreTheWizardsInBattle) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout();
  using forge::WidgetKind;
  auto run = [&](const std::string& choices, const std::string& picture) {
    std::ofstream(dir_.File("choices.txt"))
        << "1 seed 4242\n"
        << "4 click " << e2e::Point(main, WidgetKind::kTextButton, 3, true) << "\n"
        << "25 click " << e2e::Point(quick, WidgetKind::kTextButton, 3, true) << "\n"
        << choices << "55 png " << picture << "_setup.png\n"
        << "56 click " << e2e::Point(setUp, WidgetKind::kTextButton, 2, true) << "\n"
        << "91 click 754 51\n"  // Begin Battle
        << "121 click " << e2e::Point(region, WidgetKind::kTextButton, 1, true) << "\n"
        << "220 png " << picture << ".png\n"
        << "221 close\n";
    const int status = std::system(
        Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=choices.txt", "/win").c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
    Load(picture + "_setup.png");
    return Load(picture + ".png");
  };
  const std::string portrait = e2e::Point(setUp, WidgetKind::kStandardButton, 1, true),
                    colour = e2e::Point(setUp, WidgetKind::kStandardButton, 2, true);
  const Frame first = run("", "first_choices");
  const Frame chosen = run("46 click " + portrait + "\n48 click " + portrait + "\n50 click " + colour + "\n52 click " +
                               colour + "\n",
                           "other_choices");
  // The face panel's portrait (its circle at the bottom right).
  EXPECT_GT(Difference(first, chosen, 705, 495, 775, 575), 12.0) << "the face panel shows the same portrait";
  // The map around the wizard, where the camera starts: only its gem's colour may differ, the
  // battle being the same; and the scanner's dots.
  const int gemFirst = first.Count(380, 220, 420, 265, [](int r, int g, int b) { return r > 150 && g < 90 && b < 90; });
  const int gemChosen = chosen.Count(380, 220, 420, 265, [](int r, int g, int b) { return r > 150 && g < 90 && b < 90; });
  EXPECT_NE(gemFirst, gemChosen) << "the wizard's gem keeps the first colour";
}

#endif  // VRASK_PROGRAM

}  // namespace
