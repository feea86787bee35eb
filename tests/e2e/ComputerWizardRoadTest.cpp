// The computer wizards of an unattended battle ("directAI") with many spells each: within a
// few hundred frames they summon creatures and hold their mana, as the frame trace shows, and
// one map seed gives the same trace in two runs of the program.
#include <regex>

#include "ProgramRoad.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

class ComputerWizardRoad : public e2e::ProgramRoad {
 protected:
  void SetUp() override {
    ProgramRoad::SetUp();
    Replace("cfg/prefs.cfg", "MaxFramesPerSec=", "MaxFramesPerSec=200");
    Replace("cfg/vrask.cfg", "NumRandomSpells=", "NumRandomSpells=25");  // summons among them
  }
  // Sets the line of a key in a data file.
  void Replace(const std::string& file, const std::string& key, const std::string& line) {
    std::string text = ReadText(dir_.File(file));
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos) << file << " " << key;
    text.replace(at, text.find('\n', at) - at, line);
    std::ofstream(dir_.File(file)) << text;
  }
  // One unattended battle of 400 frames on the map seed; its frame trace.
  std::string Battle(int seed) {
    const std::string run =
        "VRASK_CLOSE_AFTER_FRAMES=400 SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
        "VRASK_BATTLE_TRACE=trace.txt";
    const int status = std::system(Program(run, "/win directAI mapseed=" + std::to_string(seed), 300).c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(dir_.File("stderr.txt"));
    return ReadText(dir_.File("trace.txt"));
  }
};

TEST_F(ComputerWizardRoad, ComputerWizardsSummonAndHoldTheirManaTheSameWayEachRun) {
  const std::string first = Battle(7);
  const std::regex summon(R"(frame \d+ aicast caster \d+ type 15 spell (\d+) target -1 at)");
  int summons = 0;
  for (std::sregex_iterator it(first.begin(), first.end(), summon), end; it != end; ++it) {
    const int spell = std::stoi((*it)[1]);
    EXPECT_TRUE((spell >= 1 && spell <= 21) || spell == 23) << spell;
    ++summons;
  }
  EXPECT_GT(summons, 0) << first.substr(0, 2000);
  EXPECT_TRUE(std::regex_search(first, std::regex(R"(ai1 groups \d+ decisions \d+ types [0-9,]*\b59\b)")))
      << "no wizard kept its mana";
  EXPECT_EQ(Battle(7), first) << "the same seed played differently";
}

#endif

}  // namespace
