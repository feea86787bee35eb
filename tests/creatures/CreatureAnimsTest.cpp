// The creature types' animation sets: the checks over small step programs, the loading, and
// what loading measures (pace and attack durations).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/CreatureAnims.h"
#include "forge/AnimationWriter.h"
#include "support/TestSupport.h"

namespace {

using forge::AniSpec;
using forge::AniStep;
using forge::End;
using forge::Event;
using forge::Frame;

using Program = std::vector<AniStep>;

// A walk or fly cycle in the checked form: twelve frames carrying the figure `shift` pixels
// along x, event 5, event 2, the first frame again (a whole cycle on), the end.
Program Cycle(int shift, int firstFrame = 0) {
  Program steps;
  for (int j = 0; j < 12; ++j) steps.push_back(Frame(firstFrame + j % 4, shift * j / 12, 0));
  steps.push_back(Event(5));
  steps.push_back(Event(2));
  steps.push_back(Frame(firstFrame, shift, 0));
  steps.push_back(End());
  return steps;
}

// n frames, then the end: n ticks.
Program Frames(int n) {
  Program steps;
  for (int i = 0; i < n; ++i) steps.push_back(Frame(i % 8));
  steps.push_back(End());
  return steps;
}

// An animation set in a fresh folder, beside a copy of the forged test sprite.
class AnimFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_.File("creatures"));
    std::filesystem::copy_file(testing_support::ForgedDataDir() + "/sprites/testshapes.spr",
                               dir_.File("creatures/testshapes.spr"));
  }
  void TearDown() override {
    for (auto& set : g_creatureTypeAnims) set.reset();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    g_creatureAnimChecks = 0;
    g_prefs.cutDownAnims = 0;
  }
  // Sequences 0..count-1, empty (an end step) unless given.
  static std::vector<Program> Empty(int count) { return std::vector<Program>(static_cast<size_t>(count), {End()}); }
  void Write(const std::string& name, const std::vector<Program>& sequences,
             const std::string& sprite = "testshapes.spr") {
    AniSpec spec;
    spec.spriteName = sprite;
    spec.sequences = sequences;
    const std::vector<uint8_t> bytes = forge::WriteAnimation(spec);
    dir_.Write("creatures/" + name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
  }
  // A set with walk and fly cycles of the given shifts, attack and ranged sequences.
  std::vector<Program> FullSet(int walkShift, int flyShift) {
    std::vector<Program> s = Empty(264);
    for (int f = 0; f < 8; ++f) {
      s[static_cast<size_t>(f)] = Cycle(f % 2 ? 2 * walkShift : walkShift);
      s[static_cast<size_t>(176 + f)] = Cycle(f % 2 ? 2 * flyShift : flyShift);
    }
    for (int block = 24; block < 48; block += 8)
      for (int f = 0; f < 8; ++f) s[static_cast<size_t>(block + f)] = Frames(block == 24 ? 6 : 10);
    for (int f = 0; f < 8; ++f) s[static_cast<size_t>(256 + f)] = Frames(f < 4 ? 4 : 8);
    return s;
  }
  // Loads a file as the set of a type (its record gets the type number and ranged attack),
  // in place of the set it has unless asked to keep it.
  bool Load(int typeNumber, const std::string& name, bool keep = false) {
    if (!keep && typeNumber >= 0 && typeNumber < kCreatureTypes) g_creatureTypeAnims[typeNumber].reset();
    CCreatureType& type = g_creatureTypes[typeNumber];
    type.typeNumber = typeNumber;
    type.rangedAttackSpell = RangedAttackSpellOfType(typeNumber);
    return LoadCreatureTypeAnims(type, typeNumber, ("creatures\\" + name).c_str());
  }
  testing_support::TempDir dir_{true};
};

struct WalkCase {
  const char* what;
  Program steps;
  const char* problem;  // null: valid
};

TEST_F(AnimFolder, WalkChecksNameTheFirstProblemOfEachProgram) {
  Program interleaved = Cycle(32);
  interleaved.insert(interleaved.begin() + 3, Event(3));
  Program noFootfall = Cycle(32);
  noFootfall.erase(noFootfall.begin() + 12);
  Program tooShort = Frames(11);
  Program delayed = Cycle(32);
  delayed.insert(delayed.begin() + 5, forge::Delay(2));
  Program noCycleEnd = Cycle(32);
  noCycleEnd.erase(noCycleEnd.begin() + 13);
  Program otherFrame = Cycle(32);
  otherFrame[14].value = 3;
  Program tooLong = Cycle(32);
  tooLong.insert(tooLong.end() - 1, Frame(1));
  Program lateFootfall = Cycle(32);
  std::swap(lateFootfall[12], lateFootfall[13]);  // event 2 before event 5
  const WalkCase cases[] = {
      {"the checked form", Cycle(32), nullptr},
      {"events among the frames", interleaved, nullptr},
      {"without the footfall", noFootfall, nullptr},
      {"an end before the twelfth frame", tooShort, "walk or fly anim too short"},
      {"a delay among the frames", delayed, "first 12 frames of walk or fly anims must be SPRITE type"},
      {"no event 2", noCycleEnd, "frame 13 of walk or fly anim must be EVENT 2"},
      {"event 2 before event 5", lateFootfall, "last walk or fly anim entry must be same as first"},
      {"another closing frame", otherFrame, "last walk or fly anim entry must be same as first"},
      {"a step after the closing frame", tooLong, "walk or fly anim too long"},
  };
  for (const WalkCase& c : cases) {
    std::vector<Program> sequences = Empty(9);
    for (int f = 0; f < 8; ++f) sequences[static_cast<size_t>(f)] = c.steps;
    Write("walk.ani", sequences);
    ASSERT_TRUE(Load(3, "walk.ani")) << c.what;
    testing_support::BoxRecorder boxes;
    EXPECT_EQ(ValidateWalkAnims(3, 0), c.problem == nullptr) << c.what;
    if (!c.problem) {
      EXPECT_EQ(boxes.Count(), 0u) << c.what;
      continue;
    }
    ASSERT_EQ(boxes.Count(), 1u) << c.what;
    EXPECT_EQ(boxes.Boxes()[0].caption, "CREATURE ANIMATION ERROR");
    EXPECT_EQ(boxes.Boxes()[0].text, std::string("creature type \t: 3\nanim number \t: 0\nproblem \t: ") + c.problem)
        << c.what;
  }
}

TEST_F(AnimFolder, AWalkBlockThatStartsAtItsEndIsAccepted) {
  std::vector<Program> sequences = Empty(9);
  sequences[1] = Frames(3);  // the rest of the block is not looked at
  Write("none.ani", sequences);
  ASSERT_TRUE(Load(3, "none.ani"));
  testing_support::BoxRecorder boxes;
  EXPECT_TRUE(ValidateWalkAnims(3, 0));
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(AnimFolder, GroupChecksCompareEveryOtherSequenceWithTheFirst) {
  const Program lead = {Frame(1), Event(3), Frame(2), forge::Delay(4), Frame(3), End()};
  Program otherFrames = lead;
  otherFrames[0].value = 7;
  otherFrames[2].x = 9;
  Program otherEvent = lead;
  otherEvent[1].value = 4;
  Program frameForEvent = lead;
  frameForEvent[1] = Frame(1);
  Program longer = lead;
  longer.insert(longer.end() - 1, Frame(4));
  struct GroupCase {
    const char* what;
    Program odd;
    const char* problem;
  } cases[] = {
      {"other frames, same program", otherFrames, nullptr},
      {"another event value", otherEvent, "data1 entries vary in same group (non sprite)"},
      {"a frame where the first has an event", frameForEvent, "entry types vary in same group"},
      {"a longer program", longer, "entry types vary in same group"},
  };
  for (const GroupCase& c : cases) {
    std::vector<Program> sequences = Empty(17);
    for (int f = 0; f < 8; f += 2) sequences[static_cast<size_t>(8 + f)] = lead;
    sequences[12] = c.odd;  // n + 4
    Write("group.ani", sequences);
    ASSERT_TRUE(Load(5, "group.ani"));
    testing_support::BoxRecorder boxes;
    EXPECT_EQ(ValidateAnimGroup(5, 8), c.problem == nullptr) << c.what;
    if (!c.problem) continue;
    ASSERT_EQ(boxes.Count(), 1u) << c.what;
    EXPECT_EQ(boxes.Boxes()[0].text, std::string("creature type \t: 5\nanim number \t: 12\nproblem \t: ") + c.problem);
  }
}

TEST_F(AnimFolder, EveryCheckRunsAndAllMustPass) {
  std::vector<Program> sequences = FullSet(32, 64);
  Write("good.ani", sequences);
  ASSERT_TRUE(Load(9, "good.ani"));
  {
    testing_support::BoxRecorder boxes;
    EXPECT_TRUE(ValidateCreatureAnims(9));
    EXPECT_EQ(boxes.Count(), 0u);
  }
  sequences[180] = Frames(12);  // the fly block
  sequences[34] = Frames(3);    // the second attack block's group of even facings
  Write("bad.ani", sequences);
  ASSERT_TRUE(Load(9, "bad.ani"));
  testing_support::BoxRecorder boxes;
  EXPECT_FALSE(ValidateCreatureAnims(9));
  // The fly block's walk check, then the groups in block order: 34 in block 32, 180 in 176.
  ASSERT_EQ(boxes.Count(), 3u);
  EXPECT_NE(boxes.Boxes()[0].text.find("anim number \t: 176\n"), std::string::npos);
  EXPECT_NE(boxes.Boxes()[1].text.find("anim number \t: 34\n"), std::string::npos);
  EXPECT_NE(boxes.Boxes()[2].text.find("anim number \t: 180\n"), std::string::npos);
}

TEST_F(AnimFolder, WithChecksOnABadSetIsNotLoaded) {
  std::vector<Program> sequences = FullSet(32, 64);
  sequences[3] = Frames(11);
  Write("bad.ani", sequences);
  g_creatureAnimChecks = 1;
  testing_support::BoxRecorder boxes;
  EXPECT_FALSE(Load(4, "bad.ani"));
  EXPECT_EQ(g_creatureTypeAnims[4], nullptr);
  EXPECT_TRUE(boxes.Saw("CREATURE ANIMATION ERROR"));
  g_creatureAnimChecks = 0;
  EXPECT_TRUE(Load(4, "bad.ani"));
}

TEST_F(AnimFolder, AMissingFileOrSpriteLeavesNoSet) {
  Write("nosprite.ani", FullSet(32, 64), "missing.spr");
  EXPECT_FALSE(Load(2, "absent.ani"));
  EXPECT_FALSE(Load(2, "nosprite.ani"));
  EXPECT_EQ(g_creatureTypeAnims[2], nullptr);
  EXPECT_FALSE(LoadCreatureTypeAnims(g_creatureTypes[0], 28, "creatures\\nosprite.ani"));
}

TEST_F(AnimFolder, LoadingMeasuresThePaceFromTheCycles) {
  Write("pace.ani", FullSet(32, 64));
  g_creatureTypes[4].CanFly = 1;
  ASSERT_TRUE(Load(4, "pace.ani"));
  const CCreatureType& type = g_creatureTypes[4];
  ASSERT_NE(g_creatureTypeAnims[4], nullptr);
  EXPECT_TRUE(g_creatureTypeAnims[4]->sprite.IsLoaded());
  EXPECT_EQ(g_creatureTypeAnims[4]->animation.Sprite(), &g_creatureTypeAnims[4]->sprite);
  for (int j = 0; j < 12; ++j) {
    EXPECT_EQ(type.walkAdvanceStraight[j], 16);  // D = 32: one step of 192 a cycle
    EXPECT_EQ(type.walkAdvanceDiagonal[j], 16);  // the diagonal facing shifts twice as far
    EXPECT_EQ(type.flyAdvanceStraight[j], 32);   // two steps a cycle
    EXPECT_EQ(type.flyAdvanceDiagonal[j], 32);
  }
  EXPECT_GT(type.maxSpeed, 0);
}

TEST_F(AnimFolder, UnevenTotalsSpreadOverTheTwelveFrames) {
  std::vector<Program> sequences = FullSet(32, 64);
  sequences[0] = Cycle(35);  // 210 units
  Write("uneven.ani", sequences);
  ASSERT_TRUE(Load(7, "uneven.ani"));
  const int expected[12] = {17, 18, 17, 18, 17, 18, 17, 18, 17, 18, 17, 18};
  int sum = 0;
  for (int j = 0; j < 12; ++j) {
    EXPECT_EQ(g_creatureTypes[7].walkAdvanceStraight[j], expected[j]) << j;
    sum += g_creatureTypes[7].walkAdvanceStraight[j];
  }
  EXPECT_EQ(sum, 210);
  EXPECT_EQ(g_creatureTypes[7].flyAdvanceStraight[0], 0);  // cannot fly: not measured
}

TEST_F(AnimFolder, AttackDurationsAreMeanTickCounts) {
  Write("attacks.ani", FullSet(32, 64));
  g_creatureTypes[1].FireRate = 30;
  ASSERT_TRUE(Load(1, "attacks.ani"));  // a shooter (spell 94)
  // n frames play for n + 1 ticks (the last tick finds the end): blocks of 7, 11 and 11
  // ticks, a mean of 9 (232 / 24), plus 3.
  EXPECT_EQ(g_creatureTypes[1].attackDuration, 12);
  // Ranged sequences of 5 and 9 ticks: FireRate + 7.
  EXPECT_EQ(g_creatureTypes[1].rangedAttackDuration, 37);

  ASSERT_TRUE(Load(5, "attacks.ani"));  // no ranged attack
  EXPECT_EQ(g_creatureTypes[5].rangedAttackDuration, 0);
}

TEST_F(AnimFolder, WithoutAttackSequencesTheDurationsAreZero) {
  std::vector<Program> sequences = Empty(9);
  for (int f = 0; f < 8; ++f) sequences[static_cast<size_t>(f)] = Cycle(32);
  Write("walker.ani", sequences);
  g_creatureTypes[3].FireRate = 50;
  ASSERT_TRUE(Load(3, "walker.ani"));
  EXPECT_EQ(g_creatureTypes[3].attackDuration, 0);
  EXPECT_EQ(g_creatureTypes[3].rangedAttackDuration, 0);  // FireRate is not added alone
}

TEST_F(AnimFolder, AnAttackThatNeverEndsIsCountedWithinABound) {
  std::vector<Program> sequences = FullSet(32, 64);
  for (int s = 24; s < 48; ++s) sequences[static_cast<size_t>(s)] = {Frame(1), Frame(2), forge::Jump(-2), End()};
  Write("endless.ani", sequences);
  ASSERT_TRUE(Load(5, "endless.ani"));
  EXPECT_GT(g_creatureTypes[5].attackDuration, 1000);
}

TEST_F(AnimFolder, AWizardTypeLoadsAfreshWhileOldHoldersKeepTheirSet) {
  Write("wizard1.ani", FullSet(32, 64));
  Write("wizard2.ani", FullSet(48, 64));
  ASSERT_TRUE(Load(24, "wizard1.ani"));
  CreatureAnimSetPtr illusion = g_creatureTypeAnims[24];  // still played by an illusion
  std::weak_ptr<CCreatureAnimSet> watch = illusion;
  ASSERT_TRUE(Load(24, "wizard2.ani", true));
  EXPECT_NE(g_creatureTypeAnims[24], illusion);
  EXPECT_EQ(g_creatureTypes[24].walkAdvanceStraight[0], 24);
  EXPECT_TRUE(illusion->sprite.IsLoaded());
  EXPECT_EQ(illusion->animation.GetFirstFrame(0), 0);
  illusion.reset();
  EXPECT_TRUE(watch.expired());

  // Other types keep the set they have.
  ASSERT_TRUE(Load(2, "wizard1.ani"));
  const CCreatureAnimSet* first = g_creatureTypeAnims[2].get();
  ASSERT_TRUE(Load(2, "wizard2.ani", true));
  EXPECT_EQ(g_creatureTypeAnims[2].get(), first);
}

TEST(CreatureAnimFiles, TheCutDownSetLivesUnderItsOwnFolder) {
  EXPECT_STREQ(ChooseCreatureAnimFile(1, 0), "creatures\\brownie.ani");
  EXPECT_STREQ(ChooseCreatureAnimFile(8, 3), "creatures\\dog.ani");
  EXPECT_STREQ(ChooseCreatureAnimFile(27, 0), "creatures\\herald.ani");
  g_prefs.cutDownAnims = 1;
  EXPECT_STREQ(ChooseCreatureAnimFile(1, 0), "creatures\\16Mb Anims\\brownie.ani");
  EXPECT_STREQ(ChooseCreatureAnimFile(23, 0), "creatures\\16Mb Anims\\vrask.ani");
  g_prefs.cutDownAnims = 0;
  std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "creatures\\wizard4.ani");
  for (int wizard : {0, 24, 25, 26}) EXPECT_STREQ(ChooseCreatureAnimFile(wizard, 1), "creatures\\wizard4.ani");
  g_wizardAnimFileName[0] = '\0';
  EXPECT_STREQ(g_wizardAnimFiles[0][6], "creatures\\wizard6.ani");
  EXPECT_STREQ(g_wizardAnimFiles[1][1], "creatures\\16Mb Anims\\wizard1.ani");
  EXPECT_STREQ(ChooseCreatureAnimFile(28, 0), "");
}

}  // namespace
