// Two computer sides fight an unattended battle ("vrask /win directAI mapseed=N") to its end
// with no one to stop it: the battle ends by itself, the program exits with 0 and shows no
// box, and the frame trace says how (a wizard lost, or the tick limit and the health the
// sides held). Both sides adopt group decisions and strike blows, and no decision is still in
// force when the program leaves; two runs of one seed write the same trace; a recorded run
// played back agrees with it frame for frame. Over ten seeds every kind of group decision is
// adopted, and the runs table how often each kind was adopted and how its decisions ended.
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <vector>

#include "ProgramRoad.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

constexpr int kTickLimit = 400;  // with the wind-down after it, a run stays well under a minute

class AIBattleEnd : public e2e::ProgramRoad {
 protected:
  void SetUp() override {
    ProgramRoad::SetUp();
    Replace("cfg/prefs.cfg", "MaxFramesPerSec=", "MaxFramesPerSec=200");
    Replace("cfg/vrask.cfg", "[DEBUG]", "[DEBUG]\nAIBattleTickLimit=" + std::to_string(kTickLimit));
  }
  void Replace(const std::string& file, const std::string& key, const std::string& line) {
    std::string text = ReadText(dir_.File(file));
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos) << file << " " << key;
    text.replace(at, text.find('\n', at) - at, line);
    std::ofstream(dir_.File(file)) << text;
  }
  // One run to the battle's end; its frame trace. Each run starts from the forged, empty
  // learning store: what an earlier run learned would steer this one otherwise.
  std::string Battle(int seed, const std::string& mode, const std::string& trace) {
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File("AI"))) std::filesystem::remove(entry);
    const std::string environment = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_BATTLE_TRACE=" + trace;
    const int status =
        std::system(Program(environment, "/win directAI " + mode + " mapseed=" + std::to_string(seed), 200).c_str());
    const std::string errors = ReadText(dir_.File("stderr.txt"));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "seed " << seed << " " << mode << "\n" << errors;
    EXPECT_EQ(errors.find("ERROR"), std::string::npos) << errors;
    return ReadText(dir_.File(trace));
  }
  // Checks the run ended by itself, that both sides adopted group decisions and struck blows;
  // tells how it ended and which group decisions were adopted.
  void CheckBattle(int seed, const std::string& trace) {
    std::smatch end;
    ASSERT_TRUE(std::regex_search(trace, end, std::regex(R"(battle end tick (\d+) reason (\w+) winner (-?\d+))")))
        << "seed " << seed << " never ended\n"
        << trace.substr(trace.size() > 2000 ? trace.size() - 2000 : 0);
    const int tick = std::stoi(end[1]);
    EXPECT_LE(tick, kTickLimit);
    if (end[2] == "ticks") EXPECT_EQ(tick, kTickLimit);
    std::printf("seed %d: battle ended at tick %d by %s, winner %s\n", seed, tick, end[2].str().c_str(),
                end[3].str().c_str());
    RecordProperty("seed" + std::to_string(seed), end[0].str());

    std::set<int> engaging, striking;
    const std::regex adopted(R"( a(\d)t([6-9]|1[0-4])\b)");
    for (std::sregex_iterator it(trace.begin(), trace.end(), adopted), stop; it != stop; ++it)
      engaging.insert(std::stoi((*it)[1]));
    const std::regex blows(R"( army(\d) moved \d+ blows ([1-9]\d*))");
    for (std::sregex_iterator it(trace.begin(), trace.end(), blows), stop; it != stop; ++it)
      striking.insert(std::stoi((*it)[1]));
    EXPECT_GE(engaging.size(), 2u) << "seed " << seed << ": sides adopting group decisions";
    EXPECT_GE(striking.size(), 2u) << "seed " << seed << ": sides striking blows";
    ExpectNothingInForceAtTheEnd(seed, trace);
    ReportGroupDecisions(seed, trace);
  }
  // The program leaves once both controllers have wound down: the last frame has no decision
  // in force in either.
  void ExpectNothingInForceAtTheEnd(int seed, const std::string& trace) {
    const size_t last = trace.rfind("\nframe ");
    ASSERT_NE(last, std::string::npos) << "seed " << seed;
    const std::string line = trace.substr(last + 1, trace.find('\n', last + 1) - last - 1);
    std::smatch counts;
    ASSERT_TRUE(std::regex_search(line, counts, std::regex(R"(ai0 groups \d+ decisions (\d+) ai1 groups \d+ decisions (\d+))")))
        << line;
    EXPECT_EQ(counts[1], "0") << "seed " << seed << ": unit decisions in force at the end\n" << line;
    EXPECT_EQ(counts[2], "0") << "seed " << seed << ": side decisions in force at the end\n" << line;
  }
  // Tells, for each group decision type (6-14), how often it was adopted in the run and how
  // its decisions ended: by Step, by expiry, by the wind-down, or taken away. Adds the run's
  // adoptions to `adoptedTypes`.
  void ReportGroupDecisions(int seed, const std::string& trace) {
    std::map<int, int> adoptions;
    std::map<int, std::map<char, int>> ends;
    const std::regex adopted(R"( a\dt(\d+)\b)");
    for (std::sregex_iterator it(trace.begin(), trace.end(), adopted), stop; it != stop; ++it)
      ++adoptions[std::stoi((*it)[1])];
    const std::regex ended(R"( e-?\dt(\d+)([sxwr]))");
    for (std::sregex_iterator it(trace.begin(), trace.end(), ended), stop; it != stop; ++it)
      ++ends[std::stoi((*it)[1])][(*it)[2].str()[0]];
    std::string table;
    for (int type = 6; type <= 14; ++type) {
      const auto count = [&](char how) { return std::to_string(ends[type][how]); };
      table += " t" + std::to_string(type) + "=" + std::to_string(adoptions[type]) + "(step " + count('s') +
               " expiry " + count('x') + " wind-down " + count('w') + " removed " + count('r') + ")";
      if (adoptions[type] > 0) adoptedTypes.insert(type);
    }
    std::printf("seed %d: group decisions adopted (ended by)%s\n", seed, table.c_str());
    RecordProperty("adopted" + std::to_string(seed), table);
  }
  std::set<int> adoptedTypes;  // the group decision types adopted in this test's runs

  // The seed's battle ends by itself, and a second process writes the same trace.
  void EndsTheSameWayTwice(int seed) {
    const std::string first = Battle(seed, "", "first.txt");
    ASSERT_NO_FATAL_FAILURE(CheckBattle(seed, first));
    EXPECT_EQ(Battle(seed, "", "second.txt"), first) << "seed " << seed << " played differently";
  }
};

TEST_F(AIBattleEnd, Seed11EndsByItselfTheSameWayTwice) { EndsTheSameWayTwice(11); }
TEST_F(AIBattleEnd, Seed4242EndsByItselfTheSameWayTwice) { EndsTheSameWayTwice(4242); }
TEST_F(AIBattleEnd, Seed777EndsByItselfTheSameWayTwice) { EndsTheSameWayTwice(777); }

// One run of each of ten seeds (the three above among them): each ends by itself with nothing
// left in force, and between them they adopt every kind of group decision. The seven others were
// chosen among the first 48 so that every kind is adopted by at least two of them: a change to the
// computer players' choices moves which seeds adopt the rarer kinds (7 and 10), and may call for
// another choice.
TEST_F(AIBattleEnd, TenSeedsEndByThemselvesAndBetweenThemAdoptEveryGroupType) {
  for (int seed : {11, 4242, 777, 4, 6, 7, 12, 22, 41, 43}) {
    const std::string trace = Battle(seed, "", "trace" + std::to_string(seed) + ".txt");
    ASSERT_NO_FATAL_FAILURE(CheckBattle(seed, trace));
  }
  for (int type = 6; type <= 14; ++type) EXPECT_TRUE(adoptedTypes.count(type)) << "type " << type << " never adopted";
}

TEST_F(AIBattleEnd, ARecordedBattlePlayedBackAgreesFrameForFrame) {
  const std::string recorded = Battle(4242, "log", "recorded.txt");
  ASSERT_NO_FATAL_FAILURE(CheckBattle(4242, recorded));
  const std::string played = Battle(99, "playback", "played.txt");
  EXPECT_EQ(ReadText(dir_.File("stderr.txt")).find("out of synch"), std::string::npos);
  EXPECT_EQ(played, recorded);
}

#endif

}  // namespace
