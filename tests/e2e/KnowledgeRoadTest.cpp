// The computer player's knowledge on the real program's road: "vrask /win train mapseed=N"
// battles in a copy of the forged data, headless. Experience waiting in AI/EXPERIEN.DAT is
// processed into AI/BRAIN.DAT as the battle loads; more experience makes the next battle build
// a new brain file, none leaves it as it is; every brain file loads and saves back byte for
// byte, and a second copy fought with the same seeds ends with the same bytes.
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
  std::string File(const std::string& name) const { return dir_.File(name); }
  // A headless training battle of 60 frames; the program's exit status.
  int Fight(int seed) const {
    std::ofstream(dir_.File("battle.txt")) << "60 close\n";
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

#endif

}  // namespace
