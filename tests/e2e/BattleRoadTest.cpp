// The battle as a player sees it, in the real program driven by a script (VRASK_SCRIPT) with
// the frame trace (VRASK_BATTLE_TRACE): a quick battle set up and fought with the mouse, from
// the main menu to its results and back; and an unattended battle ("directAI", no army of
// the player's own), which shows the map lit and its armies fighting.
#include <cstdio>
#include <map>

#include "ProgramRoad.h"
#include "forge/BattleEndLayouts.h"
#include "forge/SetupScreenLayouts.h"

namespace {

#ifdef VRASK_PROGRAM

using forge::WidgetKind;
using testing_support::ReadText;

// What the frame trace says of one army over the whole run.
struct ArmyTotals {
  int moved = 0, blows = 0;
};

// The trace's totals per army; lines counts the frames traced.
std::map<int, ArmyTotals> TraceTotals(const std::string& trace, int& lines) {
  std::map<int, ArmyTotals> totals;
  std::istringstream in(trace);
  std::string line;
  lines = 0;
  while (std::getline(in, line)) {
    ++lines;
    for (size_t at = line.find(" army"); at != std::string::npos; at = line.find(" army", at + 1)) {
      int army = 0, moved = 0, blows = 0;
      if (std::sscanf(line.c_str() + at, " army%d moved %d blows %d", &army, &moved, &blows) != 3) continue;
      totals[army].moved += moved;
      totals[army].blows += blows;
    }
  }
  return totals;
}

// The share of the picture's pixels, outside the top-right corner (the scanner), that are
// not near black.
double LitShare(const std::vector<uint8_t>& rgb, int width, int height) {
  int lit = 0, counted = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (y < 120 && x > width - 220) continue;
      const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
      ++counted;
      lit += p[0] + p[1] + p[2] > 60;
    }
  return counted ? static_cast<double>(lit) / counted : 0.0;
}

// One row of the results as the screen tells them on stderr ("battle results: <name> kills
// K deaths D handicap H score S; ..."), in their ranked order.
struct ToldRow {
  std::string name;
  int kills = 0, deaths = 0, handicap = 0, score = 0;
};

std::vector<ToldRow> ToldRows(const std::string& line) {
  std::vector<ToldRow> rows;
  std::string rest = line.substr(line.find(':') + 1);
  std::istringstream parts(rest);
  for (std::string part; std::getline(parts, part, ';');) {
    const size_t at = part.find(" kills ");
    if (at == std::string::npos) continue;
    ToldRow row;
    row.name = part.substr(part.find_first_not_of(' '), at - part.find_first_not_of(' '));
    if (std::sscanf(part.c_str() + at, " kills %d deaths %d handicap %d score %d", &row.kills, &row.deaths,
                    &row.handicap, &row.score) == 4)
      rows.push_back(row);
  }
  return rows;
}

class BattleRoad : public e2e::ProgramRoad {
 protected:
  // Runs the program headless with the script and the trace, as fast as the machine goes
  // (the battle counts frames, not time); its exit status.
  int Run(const std::string& arguments, const std::string& script) {
    std::string prefs = ReadText(dir_.File("cfg/prefs.cfg"));
    const size_t rate = prefs.find("MaxFramesPerSec=");
    if (rate != std::string::npos) prefs.replace(rate, prefs.find('\n', rate) - rate, "MaxFramesPerSec=200");
    std::ofstream(dir_.File("cfg/prefs.cfg")) << prefs;
    std::ofstream(dir_.File("road.txt")) << script;
    return std::system(
        Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt VRASK_BATTLE_TRACE=trace.txt",
                arguments)
            .c_str());
  }
  // A saved frame, kept in the test output for a person to look at.
  std::vector<uint8_t> Picture(const std::string& name, int& width, int& height) {
    std::vector<uint8_t> rgb;
    EXPECT_TRUE(testing_support::ReadStoredPng(dir_.File(name), width, height, rgb)) << name;
    if (!rgb.empty()) KeepPicture(name, "battle_road_" + name);
    return rgb;
  }
};

std::string At(const forge::ScreenLayout& layout, WidgetKind kind, int number) {
  return e2e::Point(layout, kind, number, true);
}

// The player's road at 800 x 600: Quick Battle, Single Player Battle, the two lower opponents
// removed, Start; the four dealt items dragged into the talisman columns and Begin Battle; Go
// On. In the battle the player clicks the face (the wizard is selected), opens the spell
// strip, chooses Summon Faun, casts it beside the wizard with a right click, clicks the face
// again and sends the wizard off with a right click on the map. The computer wizard summons
// and comes; both sides walk and strike until one wizard is left: the results come up by
// themselves, Leave Battle, Back, Quit.
TEST_F(BattleRoad, AQuickBattleFromTheMainMenuIsFoughtToItsResults) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout(),
                            results = forge::QuickBattleEndLayout();
  constexpr int kLeave = 1500;  // the battle is over well before
  std::ostringstream script;
  script << "log screens.txt\n1 seed 4242\n"
         << "4 click " << At(main, WidgetKind::kTextButton, 3) << "\n"
         << "25 click " << At(quick, WidgetKind::kTextButton, 3) << "\n"
         << "46 click " << At(setUp, WidgetKind::kStandardButton, 4) << "\n"  // remove row 3
         << "48 click " << At(setUp, WidgetKind::kStandardButton, 3) << "\n"  // and row 2
         << "55 png setup.png\n"
         << "56 click " << At(setUp, WidgetKind::kTextButton, 2)
         << "\n"
         // The pool's four items into the columns (where the spell box's art places them).
         << "80 press 338 136\n82 release 52 549\n84 press 437 136\n86 release 143 549\n"
         << "88 press 536 136\n90 release 235 549\n92 press 635 136\n94 release 52 465\n"
         << "100 click 754 51\n"  // Begin Battle
         << "130 click " << At(region, WidgetKind::kTextButton, 1) << "\n"
         << "200 click 737 530\n"  // the face panel
         << "205 click 614 576\n"  // the strip's toggle
         << "210 click 523 572\n"  // its second button: Summon Faun
         << "212 move 460 330\n214 rclick 460 330\n"
         << "230 png cast.png\n"
         << "240 click 737 530\n242 move 300 250\n244 rclick 300 250\n"
         << "450 png fight.png\n"
         << kLeave << " png results.png\n"
         << kLeave + 1 << " click " << At(results, WidgetKind::kTextButton, 3) << "\n"  // Leave Battle
         << kLeave + 25 << " click " << At(quick, WidgetKind::kTextButton, 4) << "\n"
         << kLeave + 50 << " click " << At(main, WidgetKind::kTextButton, 6) << "\n"
         << kLeave + 200 << " close\n";
  const int status = Run("/win", script.str());
  ASSERT_TRUE(WIFEXITED(status));
  const std::string errors = ReadText(dir_.File("stderr.txt"));
  EXPECT_EQ(WEXITSTATUS(status), 0) << errors;
  EXPECT_NE(errors.find("battle set-up: region 1 "), std::string::npos) << errors;

  // Main menu, quick battle menu, set-up, spell box, region entry, the battle (2), its results
  // (31) once one wizard is left, and back through the region entry and the set-up to the
  // quick battle menu, the main menu and the end.
  const std::string log = ReadText(dir_.File("screens.txt"));
  EXPECT_EQ(e2e::ScreenIds(log), (std::vector<int>{3, 27, 17, 7, 17, 21, 2, 31, 2, 21, 17, 27, 3, 0})) << log;
  // The results rank the battle's figures: one wizard killed the other, and the player sits
  // under the name of the preferences.
  const size_t told = errors.find("battle results:");
  ASSERT_NE(told, std::string::npos) << errors;
  const std::string rows = errors.substr(told, errors.find('\n', told) - told);
  const std::vector<ToldRow> ranked = ToldRows(rows);
  ASSERT_EQ(ranked.size(), 2u) << rows;
  // The winner's row first, with the kill and the fallen wizard's health (250) in its score;
  // the loser's row with the death; the player is one of them, under its name.
  EXPECT_EQ(ranked[0].kills, 1) << rows;
  EXPECT_EQ(ranked[0].deaths, 0) << rows;
  EXPECT_GE(ranked[0].score, 250) << rows;
  EXPECT_EQ(ranked[1].kills, 0) << rows;
  EXPECT_EQ(ranked[1].deaths, 1) << rows;
  EXPECT_LT(ranked[1].score, ranked[0].score) << rows;
  EXPECT_TRUE(ranked[0].name == "Player" || ranked[1].name == "Player") << rows;
  int resultsFrame = 0, frame = 0, id = 0;
  for (std::istringstream lines(log); lines >> frame >> id;)
    if (id == 31 && !resultsFrame) resultsFrame = frame;
  EXPECT_LT(resultsFrame, kLeave) << log;

  // Both sides walked and struck: the player's wizard and faun (army 0), the computer's
  // wizard and its fauns (army 1).
  int lines = 0;
  const std::map<int, ArmyTotals> totals = TraceTotals(ReadText(dir_.File("trace.txt")), lines);
  ASSERT_EQ(totals.size(), 2u) << "one opponent was left at the set-up";
  for (int army : {0, 1}) {
    EXPECT_GT(totals.at(army).moved, 0) << "army " << army;
    EXPECT_GT(totals.at(army).blows, 0) << "army " << army;
  }
  int width = 0, height = 0;
  for (const char* name : {"setup.png", "cast.png", "fight.png", "results.png"}) {
    const std::vector<uint8_t> rgb = Picture(name, width, height);
    EXPECT_EQ(width, 800) << name;
    if (std::string(name) == "cast.png" || std::string(name) == "fight.png")
      EXPECT_GT(LitShare(rgb, width, height), 0.5) << name << " is dark";
  }
}

// The same road with the computer's handicap raised to 95 on the set-up (three clicks on its
// slider's track, a quarter of the range each, and four on its arrow): its wizard starts with
// a twentieth of the health, mana and control, has next to nothing to summon and comes itself
// at the player's wizard and faun, who kill it. The results rank the player first under its
// name, with the kill and the fallen wizard's health in its score; the computer's row second,
// with its handicap and the death.
TEST_F(BattleRoad, ThePlayersSideKillsTheComputerWizardAndLeadsTheResults) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout(),
                            setUp = forge::SinglePlayerBattleLayout(), region = forge::RegionEntryLayout(),
                            results = forge::QuickBattleEndLayout();
  const forge::LayoutPoint handicap = forge::WidgetCentre(setUp, WidgetKind::kSliderBar, 15, true);
  const std::string track = std::to_string(handicap.x + 58) + " " + std::to_string(handicap.y);
  const std::string arrow = std::to_string(handicap.x + 74) + " " + std::to_string(handicap.y);
  constexpr int kLeave = 5000;
  std::ostringstream script;
  script << "log screens.txt\n1 seed 4242\n"
         << "4 click " << At(main, WidgetKind::kTextButton, 3) << "\n"
         << "25 click " << At(quick, WidgetKind::kTextButton, 3) << "\n"
         << "46 click " << At(setUp, WidgetKind::kStandardButton, 4) << "\n"
         << "48 click " << At(setUp, WidgetKind::kStandardButton, 3) << "\n"
         << "50 click " << track << "\n52 click " << track << "\n54 click " << track << "\n"
         << "55 click " << arrow << "\n56 click " << arrow << "\n57 click " << arrow << "\n58 click " << arrow << "\n"
         << "59 png handicap.png\n"
         << "60 click " << At(setUp, WidgetKind::kTextButton, 2) << "\n"
         << "80 press 338 136\n82 release 52 549\n84 press 437 136\n86 release 143 549\n"
         << "88 press 536 136\n90 release 235 549\n92 press 635 136\n94 release 52 465\n"
         << "100 click 754 51\n"
         << "130 click " << At(region, WidgetKind::kTextButton, 1) << "\n"
         << "200 click 737 530\n"
         << "205 click 614 576\n"
         << "210 click 523 572\n"
         << "212 move 460 330\n214 rclick 460 330\n"
         << "240 click 737 530\n242 move 300 250\n244 rclick 300 250\n"
         << "1200 png fight.png\n"
         << kLeave << " png results.png\n"
         << kLeave + 1 << " click " << At(results, WidgetKind::kTextButton, 3) << "\n"
         << kLeave + 25 << " click " << At(quick, WidgetKind::kTextButton, 4) << "\n"
         << kLeave + 50 << " click " << At(main, WidgetKind::kTextButton, 6) << "\n"
         << kLeave + 200 << " close\n";
  const int status = Run("/win", script.str());
  ASSERT_TRUE(WIFEXITED(status));
  const std::string errors = ReadText(dir_.File("stderr.txt"));
  EXPECT_EQ(WEXITSTATUS(status), 0) << errors;
  EXPECT_NE(errors.find("battle set-up: region 1 "), std::string::npos) << errors;

  // The results came up by themselves, before the script leaves.
  const std::string log = ReadText(dir_.File("screens.txt"));
  EXPECT_EQ(e2e::ScreenIds(log), (std::vector<int>{3, 27, 17, 7, 17, 21, 2, 31, 2, 21, 17, 27, 3, 0})) << log;
  int resultsFrame = 0, frame = 0, id = 0;
  for (std::istringstream lines(log); lines >> frame >> id;)
    if (id == 31 && !resultsFrame) resultsFrame = frame;
  EXPECT_GT(resultsFrame, 0) << log;
  EXPECT_LT(resultsFrame, kLeave) << log;

  // The player's row first: its kill, no death, and a score of at least the fallen wizard's
  // health (250 less 95 per cent); the computer's row second, with its handicap and its death.
  const size_t told = errors.find("battle results:");
  ASSERT_NE(told, std::string::npos) << errors;
  const std::string rows = errors.substr(told, errors.find('\n', told) - told);
  const std::vector<ToldRow> ranked = ToldRows(rows);
  ASSERT_EQ(ranked.size(), 2u) << rows;
  EXPECT_EQ(ranked[0].name, "Player") << rows;
  EXPECT_EQ(ranked[0].kills, 1) << rows;
  EXPECT_EQ(ranked[0].deaths, 0) << rows;
  EXPECT_EQ(ranked[0].handicap, 0) << rows;
  EXPECT_GE(ranked[0].score, 250 - 250 * 95 / 100) << rows;
  EXPECT_FALSE(ranked[1].name.empty()) << rows;
  EXPECT_NE(ranked[1].name, "Player") << rows;
  EXPECT_EQ(ranked[1].kills, 0) << rows;
  EXPECT_EQ(ranked[1].deaths, 1) << rows;
  EXPECT_EQ(ranked[1].handicap, 95) << rows;
  EXPECT_LT(ranked[1].score, ranked[0].score) << rows;

  // The player's side struck the blows.
  int lines = 0;
  const std::map<int, ArmyTotals> totals = TraceTotals(ReadText(dir_.File("trace.txt")), lines);
  ASSERT_EQ(totals.count(0), 1u);
  EXPECT_GT(totals.at(0).blows, 0);
  int width = 0, height = 0;
  for (const char* name : {"handicap.png", "fight.png", "results.png"}) {
    Picture(name, width, height);
    EXPECT_EQ(width, 800) << name;
  }
}

// With no army of the player's the battle has no one to see by: the view is lit all over
// (light sources are off), and both computer sides are seen walking and striking.
TEST_F(BattleRoad, AnUnattendedBattleShowsTheMapAndTheFight) {
  const int status = Run("/win directAI", "120 png unattended.png\n250 close\n");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadText(dir_.File("stderr.txt"));
  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = Picture("unattended.png", width, height);
  ASSERT_FALSE(rgb.empty());
  EXPECT_GT(LitShare(rgb, width, height), 0.8) << "the view is dark";

  int lines = 0;
  const std::map<int, ArmyTotals> totals = TraceTotals(ReadText(dir_.File("trace.txt")), lines);
  EXPECT_GE(lines, 200);
  int fightingSides = 0;
  for (const auto& [army, total] : totals) fightingSides += total.moved > 0 && total.blows > 0;
  EXPECT_GE(fightingSides, 2) << ReadText(dir_.File("trace.txt")).substr(0, 400);
}

#endif

}  // namespace
