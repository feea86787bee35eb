#include <gtest/gtest.h>

#include <cstdio>

#include "core/Bytes.h"
#include "forge/AnimationWriter.h"
#include "graphics/Animation.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::ExitCodeOf;
using testing_support::ExitTrap;
using testing_support::TempDir;
namespace fa = forge;

namespace {

// Writes the sequences as an animation file and loads it (without its sprite).
struct LoadedAnimation {
  explicit LoadedAnimation(std::vector<std::vector<fa::AniStep>> sequences, int layout = 5) {
    fa::AniSpec spec;
    spec.layout = layout;
    spec.spriteName = "none.spr";
    spec.sequences = std::move(sequences);
    dir.Write("a.ani", fa::WriteAnimation(spec));
    loaded = animation.Load(dir.File("a.ani").c_str());
  }
  TempDir dir;
  CAnimation animation{0};
  bool loaded = false;
};

// What one tick did: the frame shown after it and the answer.
struct Tick {
  int frame, answer;
  bool operator==(const Tick& o) const { return frame == o.frame && answer == o.answer; }
};
std::ostream& operator<<(std::ostream& os, const Tick& t) { return os << "{" << t.frame << "," << t.answer << "}"; }

std::vector<Tick> RunTicks(CAnimPlayer& player, int ticks) {
  std::vector<Tick> out;
  for (int i = 0; i < ticks && player.playing; ++i) {
    const int answer = player.Advance();
    out.push_back({player.CurrentFrame(), answer});
  }
  return out;
}

struct Program {
  const char* name;
  std::vector<fa::AniStep> steps;
  int backwards;
  int startFrame;
  std::vector<Tick> ticks;
};

class PlayerPrograms : public ::testing::TestWithParam<Program> {};

TEST_P(PlayerPrograms, TicksShowTheirFrames) {
  const Program& p = GetParam();
  LoadedAnimation a({p.steps});
  ASSERT_TRUE(a.loaded);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  EXPECT_EQ(player.Start(0, p.backwards), 1);
  EXPECT_EQ(player.CurrentFrame(), p.startFrame);
  EXPECT_EQ(RunTicks(player, 40), p.ticks) << p.name;
}

using fa::Delay, fa::End, fa::Event, fa::Frame, fa::Jump, fa::LoopBack, fa::LoopCount;

INSTANTIATE_TEST_SUITE_P(
    Steps, PlayerPrograms,
    ::testing::Values(
        // The first frame is shown by the start and again by the first tick.
        Program{"straight", {Frame(0), Frame(1), Frame(2), End()}, 0, 0, {{0, 0}, {1, 0}, {2, 0}, {-1, 1}}},
        // A loop count of 2 before a block ending in a loop back runs the block three times.
        Program{"loop three times",
                {LoopCount(2), Frame(2), Frame(3), LoopBack(-2), Event(4), Frame(6), End()},
                0,
                2,
                {{3, 0}, {2, 0}, {3, 0}, {2, 0}, {3, 0}, {3, 4}, {6, 0}, {-1, 1}}},
        Program{
            "delays", {Delay(2), Frame(5), Frame(6), End()}, 0, 5, {{5, 0}, {5, 0}, {6, 0}, {6, 0}, {6, 0}, {-1, 1}}},
        Program{"events on the way to the first frame", {Event(7), Event(9), Frame(1), End()}, 0, 1, {{-1, 1}}},
        // Backwards the first frame, too, shows for two ticks.
        Program{"backwards",
                {Frame(0), Frame(1), Frame(2), Frame(3), End()},
                1,
                3,
                {{2, 0}, {1, 0}, {0, 0}, {0, 0}, {-1, 1}}},
        // A jump back to itself shows no frame: the sequence ends instead of spinning.
        Program{"a loop without a frame", {Frame(1), Jump(0), End()}, 0, 1, {{1, 0}, {-1, 1}}}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

// Backwards through a loop: the count runs until the call that takes the jump back, so the
// backwards play starts at the loop's last frame; from its first frame the count wraps to
// the frame total and replays the loop forwards up to the jump.
TEST(AnimPlayer, BackwardsThroughALoopStartsAtItsLastFrame) {
  LoadedAnimation a({{Frame(0), Frame(1), Frame(2), Jump(-3), End()}});
  ASSERT_TRUE(a.loaded);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  EXPECT_EQ(player.Start(0, 1), 1);
  EXPECT_EQ(player.frameTotal, 4);
  EXPECT_EQ(player.CurrentFrame(), 2);
  std::vector<int> frames;
  for (const Tick& t : RunTicks(player, 10)) frames.push_back(t.frame);
  EXPECT_EQ(frames, (std::vector<int>{1, 0, 0, 0, 2, 1, 0, 0, 0, 2}));
}

TEST(AnimPlayer, LoopBreakPassesTheJumpOnceAndExitLoopLeavesIt) {
  LoadedAnimation a({{Frame(1), Frame(2), Jump(-2), Frame(8), Event(2), Frame(9), End()}});
  ASSERT_TRUE(a.loaded);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  player.Start(0, 0);
  EXPECT_EQ(RunTicks(player, 5), (std::vector<Tick>{{1, 0}, {2, 0}, {1, 0}, {2, 0}, {1, 0}}));
  player.loopBreak = 1;
  EXPECT_EQ(RunTicks(player, 3), (std::vector<Tick>{{2, 0}, {8, 0}, {8, 2}}));
  EXPECT_EQ(player.loopBreak, 0);
  EXPECT_EQ(RunTicks(player, 3), (std::vector<Tick>{{9, 0}, {-1, 1}}));

  player.Start(0, 0);
  player.Advance();
  player.ExitLoop();
  EXPECT_EQ(player.CurrentFrame(), 8);
  EXPECT_EQ(player.Advance(), 2);
  EXPECT_EQ(player.PeekNextFrame(), 9);

  // Told to leave its loop and saved inside it, the player leaves it after loading as well.
  player.Start(0, 0);
  player.Advance();
  player.loopBreak = 1;
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(player.Save(file), 16);
  std::rewind(file);
  CAnimPlayer loaded;
  loaded.SetAnimation(&a.animation);
  ASSERT_EQ(loaded.Load(file), 16);
  std::fclose(file);
  const std::vector<Tick> after = RunTicks(loaded, 4);
  EXPECT_EQ(after, (std::vector<Tick>{{2, 0}, {8, 0}, {8, 2}, {9, 0}}));
  EXPECT_EQ(after, RunTicks(player, 4));
}

TEST(AnimPlayer, RunToFrameRemembersEventsAndRestartGoesBackToTheStart) {
  LoadedAnimation a({{Frame(0), Event(7), Event(9), Frame(1), Frame(2), End()}});
  ASSERT_TRUE(a.loaded);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  player.Start(0, 0);
  EXPECT_EQ(player.Advance(), 0);
  // Events on the way do not stop the run; the last one is the answer.
  EXPECT_EQ(player.RunToFrame(), 9);
  EXPECT_EQ(player.CurrentFrame(), 1);
  EXPECT_EQ(player.PeekNextFrame(), 2);
  EXPECT_EQ(player.RunToFrame(), 0);
  EXPECT_EQ(player.RunToFrame(), 1);  // the end
  EXPECT_EQ(player.playing, 0);
  EXPECT_EQ(player.Restart(), 1);
  EXPECT_EQ(player.playing, 1);
  EXPECT_EQ(player.CurrentFrame(), 0);
  EXPECT_EQ(player.PeekNextFrame(), 0);
}

TEST(AnimPlayer, SwitchSequenceKeepsTheStepIndex) {
  LoadedAnimation a({{Frame(0), Frame(1), Frame(2), Frame(3), End()}, {Frame(10), Frame(11), End()}});
  ASSERT_TRUE(a.loaded);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  player.Start(0, 0);
  player.Advance();
  player.Advance();  // frame 1 shown, the next step is index 2
  player.SwitchSequence(1);
  EXPECT_EQ(player.sequence, 1);
  EXPECT_EQ(player.CurrentFrame(), 11);
  EXPECT_EQ(player.step, a.animation.GetSequence(1) + 2);  // the end step of sequence 1
  EXPECT_EQ(player.Advance(), 1);
  player.SwitchSequence(7);  // no such sequence: nothing changes
  EXPECT_EQ(player.sequence, 1);
}

TEST(AnimPlayer, StartOfAMissingSequenceStops) {
  LoadedAnimation a({{Frame(0), End()}});
  ASSERT_TRUE(a.loaded);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  EXPECT_EQ(player.Start(1, 0), 0);
  EXPECT_EQ(player.Start(-1, 1), 0);
  EXPECT_EQ(player.playing, 0);
  EXPECT_EQ(player.Advance(), 0);
  EXPECT_EQ(player.PeekNextFrame(), -1);
  CAnimPlayer unbound;
  EXPECT_EQ(unbound.Start(0, 0), 0);
}

TEST(AnimPlayer, SaveLoadAndSeekRoundTrips) {
  LoadedAnimation a({{Frame(0), End()}, {Delay(3), Frame(4), Frame(5), Frame(6), End()}});
  ASSERT_TRUE(a.loaded);
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);

  CAnimPlayer none;
  EXPECT_EQ(none.Save(file), 4);
  CAnimPlayer player;
  player.SetAnimation(&a.animation);
  player.Start(1, 0);
  player.ticks = player.delay;  // step at once
  player.Advance();
  player.loopBreak = 1;
  EXPECT_EQ(player.Save(file), 16);
  player.Start(1, 1);
  EXPECT_EQ(player.Save(file), 16);
  std::rewind(file);

  CAnimPlayer loaded;
  loaded.SetAnimation(&a.animation);
  loaded.Start(0, 0);
  EXPECT_EQ(loaded.Load(file), 4);
  EXPECT_EQ(loaded.playing, 0);
  EXPECT_EQ(loaded.Load(file), 16);
  EXPECT_EQ(loaded.sequence, 1);
  EXPECT_EQ(loaded.loopBreak, 1);  // told to leave its loop, it still will
  EXPECT_EQ(loaded.CurrentFrame(), 5);
  EXPECT_EQ(loaded.delay, 3);
  EXPECT_EQ(loaded.step, player.animation->GetSequence(1) + 3);
  EXPECT_EQ(loaded.Load(file), 16);
  EXPECT_EQ(loaded.backwards, 1);
  EXPECT_EQ(loaded.frameTotal, player.frameTotal);
  EXPECT_EQ(loaded.CurrentFrame(), player.CurrentFrame());
  EXPECT_EQ(loaded.Load(file), -1);  // nothing left

  // Blocks that do not fit the animation are refused.
  for (const std::vector<int32_t>& block : {std::vector<int32_t>{5, 0, 0, 0}, {1, 0, 0, 99}, {1, 0, 0, -1}}) {
    std::rewind(file);
    for (int32_t v : block) bytes::WriteU32(file, static_cast<uint32_t>(v));
    std::rewind(file);
    EXPECT_EQ(loaded.Load(file), -1);
  }
  EXPECT_FALSE(loaded.SeekTo(6));
  EXPECT_TRUE(loaded.SeekTo(5));
  std::fclose(file);
}

TEST(AnimationFile, OlderLayoutsLoadToTheSameSteps) {
  const std::string samples = testing_support::ForgedDataDir() + "/samples/anim/";
  CAnimation current(0), layout3(0), layout4(0);
  ASSERT_TRUE(current.Load((samples + "layout5.ani").c_str()));
  ASSERT_TRUE(layout3.Load((samples + "layout3.ani").c_str()));
  ASSERT_TRUE(layout4.Load((samples + "layout4.ani").c_str()));
  ASSERT_EQ(layout3.StepCount(), current.StepCount());
  ASSERT_EQ(layout4.StepCount(), current.StepCount());
  EXPECT_EQ(current.GetLastSequence(), 2);
  for (int i = 0; i < current.StepCount(); ++i) {
    for (const CAnimation* old : {&layout3, &layout4}) {
      EXPECT_EQ(old->Step(i).kind, current.Step(i).kind) << i;
      EXPECT_EQ(old->Step(i).value, current.Step(i).value) << i;
      EXPECT_EQ(old->Step(i).x, current.Step(i).x) << i;
      EXPECT_EQ(old->Step(i).y, current.Step(i).y) << i;
      EXPECT_STREQ(std::string(old->Step(i).text, 8).c_str(), std::string(current.Step(i).text, 8).c_str());
      EXPECT_EQ(old->Step(i).more[1], current.Step(i).more[1]) << i;
    }
    EXPECT_EQ(layout4.Step(i).more[3], current.Step(i).more[3]);
    EXPECT_EQ(layout3.Step(i).more[3], 0);
  }
  EXPECT_EQ(current.Step(1).more[3], 9);
  EXPECT_EQ(layout3.Layout(), 5);
  EXPECT_EQ(current.GetFirstFrame(1), 2);
  EXPECT_TRUE(current.HasSteps(6, 1));
  EXPECT_FALSE(current.HasSteps(7, 1));
  EXPECT_EQ(current.SpriteName(), "testshapes.spr");
}

TEST(AnimationFile, LoadsItsSpriteBesideIt) {
  CAnimation animation(1);
  ASSERT_TRUE(animation.Load((testing_support::ForgedDataDir() + "\\sprites\\testshapes.ani").c_str()));
  ASSERT_NE(animation.Sprite(), nullptr);
  EXPECT_EQ(animation.Sprite()->FrameCount(), 10);
}

std::vector<uint8_t> GoodFile() {
  fa::AniSpec spec;
  spec.spriteName = "x.spr";
  spec.sequences = {{fa::Frame(0), fa::Jump(-1), fa::End()}, {fa::Frame(1), fa::End()}};
  return fa::WriteAnimation(spec);
}

TEST(AnimationFile, MalformedFilesAreRefused) {
  const std::vector<uint8_t> good = GoodFile();
  struct Mutation {
    const char* name;
    size_t at;
    int32_t value;
  } mutations[] = {
      {"size mismatch", 4, 9999},
      {"no table", 20, 0},
      {"negative table", 20, -1},
      {"table past the file", 20, 1000},
      {"layout 0", 12, 0},
      {"layout 6", 12, 6},
      {"first index negative", 44, -2},
      {"jump outside", 56 + 44 + 4, -3},
      {"unknown kind", 56 + 3 * 44, 9},
      {"negative frame", 56 + 4, -1},
      {"end inside", 56, 6},
  };
  TempDir dir;
  for (const Mutation& m : mutations) {
    std::vector<uint8_t> data = good;
    bytes::StoreU32(data.data() + m.at, static_cast<uint32_t>(m.value));
    dir.Write("bad.ani", data);
    CAnimation animation(0);
    EXPECT_FALSE(animation.Load(dir.File("bad.ani").c_str())) << m.name;
    EXPECT_EQ(animation.SequenceCount(), 0) << m.name;
  }
  for (size_t length : {0ul, 10ul, 43ul, 44ul, 50ul, 57ul, good.size() - 1}) {
    dir.Write("cut.ani", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length)));
    CAnimation animation(0);
    EXPECT_FALSE(animation.Load(dir.File("cut.ani").c_str())) << length;
  }
  CAnimation animation(0);
  EXPECT_FALSE(animation.Load(dir.File("missing.ani").c_str()));
  // A negative loop count would never run out.
  EXPECT_FALSE(LoadedAnimation({{fa::LoopCount(-1), fa::Frame(0), fa::LoopBack(-1), fa::End()}}).loaded);
  EXPECT_FALSE(LoadedAnimation({{fa::LoopCount(INT32_MIN), fa::Frame(0), fa::LoopBack(-1), fa::End()}}).loaded);
  dir.Write("good.ani", good);
  EXPECT_TRUE(animation.Load(dir.File("good.ani").c_str()));
}

TEST(AnimationFile, FatalFaultsShowTheirBoxAndEndTheProgram) {
  TempDir dir;
  std::vector<uint8_t> old = GoodFile();
  bytes::StoreU32(old.data() + 12, 2);
  dir.Write("old.ani", old);
  std::vector<uint8_t> broken = GoodFile();
  bytes::StoreU32(broken.data() + 48, 1);  // sequence 1 would start right after a jump
  dir.Write("broken.ani", broken);
  dir.Write("nosprite.ani", GoodFile());
  struct {
    const char* file;
    int loadSprite;
    const char* caption;
    const char* text;
  } cases[] = {{"old.ani", 0, "UPDATE", "Attempting to load out of date animation file"},
               {"broken.ani", 0, "UPDATE", "Animation errors found"},
               {"nosprite.ani", 1, "ERROR", "Unable to load sprite file associated with animation"}};
  for (const auto& c : cases) {
    BoxRecorder boxes;
    ExitTrap trap;
    CAnimation animation(c.loadSprite);
    EXPECT_EQ(ExitCodeOf([&] { animation.Load(dir.File(c.file).c_str()); }), 1) << c.file;
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, c.caption);
    EXPECT_EQ(boxes.Boxes()[0].text, c.text);
  }
}

}  // namespace
