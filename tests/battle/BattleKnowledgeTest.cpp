// What a battle learns with: a brain file loaded as it is while no newer experience waits;
// otherwise the experience processed into a new brain file, or both files gone when nothing
// can be built; experience that cannot be read left with the brain file; a network battle on
// an empty table that touches no file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "ai/Brain.h"
#include "ai/BrainTableBytes.h"
#include "ai/ExperienceFile.h"
#include "battle/BattleKnowledge.h"
#include "core/Bytes.h"
#include "core/GameSettings.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

enum class Brain { kNone, kGood, kDamaged };
enum class Experience { kNone, kOlder, kNewer };

struct Start {
  const char* name;
  Brain brain;
  Experience experience;
  // What follows.
  bool processed;      // the table was built from the experience and saved
  bool brainFileLeft;  // a brain file is there afterwards
  int32_t key;         // the key the table holds (0: none)
};

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> data;
  platform::ReadWholeFile(path, data);
  return data;
}

void Write(const std::string& path, const std::vector<uint8_t>& data, int age) {
  platform::MakeDirectory("AI");
  ASSERT_TRUE(platform::WriteWholeFile(path, data.data(), data.size()));
  static const auto moment = std::filesystem::file_time_type::clock::now();
  std::filesystem::last_write_time(platform::ResolvePath(path), moment - std::chrono::seconds(age));
}

// A brain file of key 40; experience of key 50.
std::vector<uint8_t> GoodBrain() {
  BrainTable table;
  table.emplace(40, CBrainNode(2, 3));
  return BrainTableBytes(table);
}
std::vector<uint8_t> ExperienceBytes() {
  bytes::Writer out;
  for (int i = 0; i < 12; ++i) WriteExperienceRecord(out, 50, {i, i % 4}, 3, i % 3);
  return out.Data();
}

class BattleKnowledge : public ::testing::Test {
 protected:
  void SetUp() override {
    network_ = g_networkGame;
    g_networkGame = 0;
    g_brain.Reset();
  }
  void TearDown() override {
    g_networkGame = network_;
    g_brain.Reset();
    g_brain.SetLearning(true);
  }
  testing_support::TempDir dir_{true};
  int32_t network_ = 0;
};

TEST_F(BattleKnowledge, ABattleLoadsTheBrainOrRebuildsItFromExperience) {
  const Start starts[] = {
      {"no knowledge at all", Brain::kNone, Experience::kNone, false, false, 0},
      {"a brain file alone", Brain::kGood, Experience::kNone, false, true, 40},
      {"a brain file newer than its experience", Brain::kGood, Experience::kOlder, false, true, 40},
      {"experience newer than the brain file", Brain::kGood, Experience::kNewer, true, true, 50},
      {"experience without a brain file", Brain::kNone, Experience::kNewer, true, true, 50},
      {"a damaged brain file alone", Brain::kDamaged, Experience::kNone, false, false, 0},
      {"a damaged brain file beside older experience", Brain::kDamaged, Experience::kOlder, true, true, 50},
  };
  for (const Start& start : starts) {
    SCOPED_TRACE(start.name);
    std::filesystem::remove_all("AI");
    if (start.brain != Brain::kNone) {
      std::vector<uint8_t> brain = GoodBrain();
      if (start.brain == Brain::kDamaged) brain.resize(brain.size() - 1);
      Write(kBrainFileName, brain, 50);
    }
    if (start.experience != Experience::kNone)
      Write(kExperienceFileName, ExperienceBytes(), start.experience == Experience::kNewer ? 10 : 100);
    const std::vector<uint8_t> brainBefore = Bytes(kBrainFileName);
    g_brain.Table().emplace(99, CBrainNode(1, 3));  // the last battle's table never stays
    PrepareBattleKnowledge();
    EXPECT_TRUE(g_brain.Learning());
    EXPECT_EQ(g_brain.Table().size(), start.key ? 1u : 0u);
    if (start.key) EXPECT_EQ(g_brain.Table().count(start.key), 1u);
    EXPECT_EQ(platform::FileExists(kBrainFileName), start.brainFileLeft);
    if (start.processed) {
      CBrain saved;
      ASSERT_EQ(saved.Load(kBrainFileName), 0);
      EXPECT_EQ(saved.Digest(), g_brain.Digest());
      EXPECT_FALSE(g_brain.ExperienceFileExists());
    } else if (start.brainFileLeft) {
      EXPECT_EQ(Bytes(kBrainFileName), brainBefore);  // loaded, not written
    }
    // Experience is never lost by loading.
    EXPECT_EQ(platform::FileExists(kExperienceFileName), start.experience != Experience::kNone);
    g_brain.Reset();
  }
}

// Experience that waits but cannot be read (here a folder stands in its place) is neither
// learnt from nor thrown away: the battle runs on the brain file as it is, and both stay for
// a later battle that can read them.
TEST_F(BattleKnowledge, ExperienceThatCannotBeReadKeepsBothFiles) {
  Write(kBrainFileName, GoodBrain(), 50);
  const std::string experience = platform::ResolvePath(kExperienceFileName);
  std::filesystem::create_directory(experience);
  std::filesystem::last_write_time(experience, std::filesystem::file_time_type::clock::now());
  ASSERT_TRUE(g_brain.ExperienceFileExists());
  PrepareBattleKnowledge();
  EXPECT_TRUE(g_brain.Learning());
  EXPECT_EQ(g_brain.Table().count(40), 1u);
  EXPECT_EQ(Bytes(kBrainFileName), GoodBrain());
  EXPECT_TRUE(std::filesystem::is_directory(experience));
}

TEST_F(BattleKnowledge, ANetworkBattleRunsOnAnEmptyTableAndWritesNothing) {
  Write(kBrainFileName, GoodBrain(), 50);
  Write(kExperienceFileName, ExperienceBytes(), 10);
  g_networkGame = 1;
  PrepareBattleKnowledge();
  EXPECT_TRUE(g_brain.Table().empty());
  EXPECT_FALSE(g_brain.Learning());
  float chances[3];
  g_brain.Evaluate(50, {1, 2}, 3, chances);
  g_brain.CompleteExperience(g_brain.AddExperience(50, {1, 2}), 2);
  EXPECT_EQ(g_brain.FlushExperience(), 0);
  ReloadBattleKnowledge();  // a saved game's reload keeps the table
  EXPECT_EQ(g_brain.Table().size(), 1u);
  EXPECT_EQ(Bytes(kBrainFileName), GoodBrain());
  EXPECT_EQ(Bytes(kExperienceFileName), ExperienceBytes());
  // The next battle at home learns again.
  g_networkGame = 0;
  PrepareBattleKnowledge();
  EXPECT_TRUE(g_brain.Learning());
  EXPECT_EQ(g_brain.Table().count(50), 1u);
}

TEST_F(BattleKnowledge, ANewBattleDropsTheEntriesTheLastLeftOpen) {
  g_brain.AddExperience(1, {1});
  g_brain.CompleteExperience(g_brain.AddExperience(1, {2}), 0);
  PrepareBattleKnowledge();
  EXPECT_EQ(g_brain.Entry(0).state, kExperienceFree);
  EXPECT_EQ(g_brain.Entry(1).state, kExperienceComplete);
}

}  // namespace
