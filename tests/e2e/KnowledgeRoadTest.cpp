// The computer player's knowledge on the real program's road: "vrask /win train mapseed=N"
// battles in a copy of the forged data, headless. Experience waiting in AI/EXPERIEN.DAT is
// processed into AI/BRAIN.DAT as the battle loads; more experience makes the next battle build
// a new brain file, none leaves it as it is; every brain file loads and saves back byte for
// byte, and a second copy fought with the same seeds ends with the same bytes. Battles long
// enough for the computer players' decisions to end write that experience themselves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ai/Brain.h"
#include "ai/ExperienceFile.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using testing_support::ReadText;

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> data;
  platform::ReadWholeFile(path, data);
  return data;
}

// A copy of the forged data in which the program fights its battles.
class DataCopy {
 public:
  DataCopy() {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  // The battles run as fast as the machine goes (they count frames, not time).
  void Unpaced() const {
    std::string prefs = ReadText(File("cfg/prefs.cfg"));
    const size_t rate = prefs.find("MaxFramesPerSec=");
    ASSERT_NE(rate, std::string::npos);
    prefs.replace(rate, prefs.find('\n', rate) - rate, "MaxFramesPerSec=1000");
    std::ofstream(File("cfg/prefs.cfg")) << prefs;
  }
  std::string File(const std::string& name) const { return dir_.File(name); }
  // A headless training battle of so many frames; the program's exit status.
  int Fight(int seed, int frames = 60) const {
    std::ofstream(dir_.File("battle.txt")) << frames << " close\n";
    const std::string command = "cd '" + dir_.Path() +
                                "' && exec env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=battle.txt "
                                "timeout 120 '" +
                                VRASK_PROGRAM + "' /win train mapseed=" + std::to_string(seed) + " 2>'" +
                                dir_.File("stderr.txt") + "' >/dev/null";
    return std::system(command.c_str());
  }
  // Appends records of the AI's decisions as a battle's flush would, after the brain file.
  void AddExperience(int battle) const {
    bytes::Writer out;
    for (int i = 0; i < 40; ++i)
      WriteExperienceRecord(out, 6 + i % 3, {i % 9 - battle, (i * 7 + battle) % 13, battle}, 3, (i + battle) % 3);
    std::ofstream(File("AI/EXPERIEN.DAT"), std::ios::binary | std::ios::app)
        .write(reinterpret_cast<const char*>(out.Data().data()), static_cast<std::streamsize>(out.Size()));
    const auto before = std::filesystem::last_write_time(File("AI/EXPERIEN.DAT")) - std::chrono::seconds(60);
    if (std::filesystem::exists(File("AI/BRAIN.DAT"))) std::filesystem::last_write_time(File("AI/BRAIN.DAT"), before);
  }

 private:
  testing_support::TempDir dir_;
};

// The brain file loads and saves back byte for byte.
void ExpectSound(const DataCopy& copy) {
  CBrain brain;
  ASSERT_EQ(brain.Load(copy.File("AI/BRAIN.DAT")), 0);
  EXPECT_FALSE(brain.Table().empty());
  ASSERT_EQ(brain.SaveAs(copy.File("again.dat")), 0);
  EXPECT_EQ(Bytes(copy.File("again.dat")), Bytes(copy.File("AI/BRAIN.DAT")));
}

TEST(KnowledgeRoad, TrainingBattlesGrowTheBrainFileFromExperience) {
  DataCopy first, second;
  std::vector<std::vector<uint8_t>> brains;
  for (const DataCopy* copy : {&first, &second}) {
    std::vector<uint8_t> last;
    for (int battle = 1; battle <= 3; ++battle) {
      SCOPED_TRACE(testing::Message() << (copy == &first ? "first" : "second") << " copy, battle " << battle);
      // The first two battles find new experience; the third none.
      if (battle < 3) copy->AddExperience(battle);
      const int status = copy->Fight(100 + battle);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(copy->File("stderr.txt"));
      EXPECT_EQ(ReadText(copy->File("stderr.txt")).find("ERROR"), std::string::npos);
      ExpectSound(*copy);
      const std::vector<uint8_t> brain = Bytes(copy->File("AI/BRAIN.DAT"));
      if (battle < 3)
        EXPECT_NE(brain, last);
      else
        EXPECT_EQ(brain, last);
      EXPECT_EQ(platform::FileSize(copy->File("AI/EXPERIEN.DAT")), battle < 3 ? battle * 40 * 28 : 2 * 40 * 28);
      last = brain;
    }
    brains.push_back(last);
  }
  EXPECT_EQ(brains[0], brains[1]);
}

// The battles learn by themselves: each long enough for its computer players' decisions to
// come to their outcomes writes their records to the experience file; the next battle's
// loading processes them into a brain file, which the one after rebuilds from more. The
// same seeds in another copy give the same bytes.
TEST(KnowledgeRoad, TrainingBattlesWriteTheirOwnExperience) {
  constexpr int kFrames = 530;  // past the first flush of the buffer, at frame 512
  DataCopy first, second;
  std::vector<std::vector<uint8_t>> ends;
  for (const DataCopy* copy : {&first, &second}) {
    ASSERT_NO_FATAL_FAILURE(copy->Unpaced());
    std::vector<uint8_t> lastBrain;
    uintmax_t lastExperience = 0;
    for (int battle = 1; battle <= 3; ++battle) {
      SCOPED_TRACE(testing::Message() << (copy == &first ? "first" : "second") << " copy, battle " << battle);
      const int status = copy->Fight(200 + battle, kFrames);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(copy->File("stderr.txt"));
      EXPECT_EQ(ReadText(copy->File("stderr.txt")).find("ERROR"), std::string::npos);
      const uintmax_t experience = platform::FileSize(copy->File("AI/EXPERIEN.DAT"));
      EXPECT_GT(experience, lastExperience) << "the battle wrote no experience";
      lastExperience = experience;
      // The first battle found no experience to learn from.
      if (battle == 1) {
        EXPECT_FALSE(std::filesystem::exists(copy->File("AI/BRAIN.DAT")));
        continue;
      }
      ExpectSound(*copy);
      const std::vector<uint8_t> brain = Bytes(copy->File("AI/BRAIN.DAT"));
      EXPECT_NE(brain, lastBrain);
      lastBrain = brain;
    }
    std::vector<uint8_t> end = lastBrain;
    const std::vector<uint8_t> experience = Bytes(copy->File("AI/EXPERIEN.DAT"));
    end.insert(end.end(), experience.begin(), experience.end());
    ends.push_back(end);
  }
  EXPECT_EQ(ends[0], ends[1]);
}

#endif

}  // namespace
