#include <gtest/gtest.h>

#include <cstdio>

#include "graphics/PrintFX.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

TEST(PrintFXNames, PrintTypesAndColourEffects) {
  struct {
    const char* name;
    int type;
  } types[] = {
      {"PRT_SHIMMER_16", 30},    {"PRT_SHIMMER_1", 15}, {"prt_normal", 31}, {"  PRT_WATER x", 6},   {"PRT_SHADOW", 1},
      {"PRT_INC", 10},           {"PRT_NONE", -1},      {"PRT_BOGUS", -1},  {"PRT_SHIMMER_17", -1}, {"", -1},
      {"\tprt_outline_pink", 14}};
  for (const auto& t : types) EXPECT_EQ(PrintTypeFromName(t.name), t.type) << t.name;
  EXPECT_EQ(PrintTypeFromName(nullptr), -1);
  EXPECT_EQ(ColourFXFromName("CFX_METAL"), 5);
  EXPECT_EQ(ColourFXFromName(" cfx_redtint ; comment"), 6);
  EXPECT_EQ(ColourFXFromName("CFX_PURPLE"), 0);
}

class PrintFXFile : public ::testing::Test {
 protected:
  void Load(const std::string& text) {
    dir.Write("cfg/printfx.cfg", text);
    LoadPrintFX();
  }
  void TearDown() override { FreePrintFX(); }
  TempDir dir{true};
};

TEST_F(PrintFXFile, CountsAreClampedAndRecordsStartZeroed) {
  Load("[HEADER]\nNumberOfFX=900\n");
  EXPECT_EQ(g_printFXCount, 500);
  EXPECT_EQ(g_printFX[499].stepCount, 0);
  EXPECT_EQ(g_printFX[499].frameSteps[29], 0);
  Load("[HEADER]\nNumberOfFX=0\n");
  EXPECT_EQ(g_printFXCount, 0);
  EXPECT_EQ(g_printFX, nullptr);
  FreePrintFX();
  LoadPrintFX();  // still there: an empty table is the same
  dir.Write("cfg/printfx.cfg", "");
  LoadPrintFX();
  EXPECT_EQ(g_printFXCount, 0);
}

TEST_F(PrintFXFile, ShortListsRepeatTheirLastValue) {
  Load(
      "[HEADER]\nNumberOfFX=3\n"
      "[PRINTFX_0]\nPrintType1=PRT_NORMAL,PRT_TRANS50=4,PRT_TRANS25,PRT_OUTLINE\nPrintType2=PRT_SHADOW,PRT_INC\n"
      "FrameSteps=2,3\nEndCondition=END ; then gone\nColourFX=CFX_STONE ; grey\n"
      "[PRINTFX_1]\nFrameSteps=7\nEndCondition=SOMETIMES\n"
      "[PRINTFX_2]\nPrintType1=PRT_NORMAL\nEndCondition=callback\n");
  const PrintFXRecord& r = g_printFX[0];
  EXPECT_EQ(r.stepCount, 4);
  EXPECT_EQ(r.printType1[1], 4);
  EXPECT_EQ(r.printType2[0], 1);
  EXPECT_EQ(r.printType2[1], 10);
  EXPECT_EQ(r.printType2[2], 10);
  EXPECT_EQ(r.printType2[3], 10);
  EXPECT_EQ(r.frameSteps[3], 3);
  EXPECT_EQ(r.endCondition, kPrintFXEnd);
  EXPECT_EQ(r.colourFX, CFX_STONE);
  // A record without PrintType1 takes the step count before it; an unknown end stays.
  EXPECT_EQ(g_printFX[1].stepCount, 4);
  EXPECT_EQ(g_printFX[1].frameSteps[3], 7);
  EXPECT_EQ(g_printFX[1].endCondition, kPrintFXLoop);
  EXPECT_EQ(g_printFX[2].endCondition, kPrintFXCallback);
}

TEST(PrintFXForged, TheGameFileReadsItsNames) {
  TempDir dir(true);
  std::vector<uint8_t> text;
  ASSERT_TRUE(platform::ReadWholeFile(testing_support::ForgedDataDir() + "/cfg/printfx.cfg", text));
  dir.Write("cfg/printfx.cfg", std::string(text.begin(), text.end()));
  LoadPrintFX();
  ASSERT_GE(g_printFXCount, 17);
  EXPECT_EQ(g_printFX[1].printType1[1], 31);  // "prt_normal"
  EXPECT_EQ(g_printFX[7].printType1[0], 30);  // "PRT_SHIMMER_16"
  EXPECT_EQ(g_printFX[12].printType1[0], 6);  // "  PRT_WATER x"
  EXPECT_EQ(g_printFX[8].endCondition, kPrintFXCallback);
  EXPECT_EQ(g_printFX[5].colourFX, CFX_METAL);  // iron skin
  // What the creature rules push and wait for: invisibility, a fading illusion and a teleport.
  EXPECT_EQ(g_printFX[3].endCondition, kPrintFXLoop);
  EXPECT_EQ(g_printFX[9].endCondition, kPrintFXCallback);
  EXPECT_NE(g_printFX[5].endCondition, kPrintFXLoop);  // ends, so an owner sees its illusion
  EXPECT_NE(g_printFX[14].endCondition, kPrintFXLoop);
  for (int i = 0; i < g_printFXCount; ++i) EXPECT_GE(g_printFX[i].stepCount, 1) << i;
  FreePrintFX();
}

struct Owner : CPrintFXOwner {
  void OnPrintEffectEnd(int effect) override { ended.push_back(effect); }
  std::vector<int> ended;
};

class PrintFXPlayer : public PrintFXFile {
 protected:
  void SetUp() override {
    Load(
        "[HEADER]\nNumberOfFX=4\n"
        "[PRINTFX_0]\nPrintType1=PRT_NORMAL\nFrameSteps=1\nEndCondition=LOOP\n"
        "[PRINTFX_1]\nPrintType1=PRT_OUTLINE,PRT_NORMAL\nFrameSteps=2,3\nEndCondition=END\nColourFX=CFX_RED\n"
        "[PRINTFX_2]\nPrintType1=PRT_TRANS50\nFrameSteps=0\nEndCondition=CALLBACK\nColourFX=CFX_BLUE\n"
        "[PRINTFX_3]\nPrintType1=PRT_TRANS25\nFrameSteps=-4\nEndCondition=LOOP\n");
  }
};

TEST_F(PrintFXPlayer, StepsThroughAnEffectThatEnds) {
  CPrintFXPlayer player;
  EXPECT_EQ(player.GetCurrentEffect(), -1);
  player.PushColourFX(CFX_NORMAL);  // the bottom of the colour stack, which stays
  player.PushEffect(0);
  EXPECT_EQ(player.PushEffect(1), CFX_RED);
  EXPECT_EQ(player.currentColour, CFX_RED);
  std::vector<int> steps;
  for (int frame = 0; frame < 5; ++frame) {
    steps.push_back(player.step);
    player.Step();
  }
  EXPECT_EQ(steps, (std::vector<int>{0, 0, 1, 1, 1}));
  // After its last step the effect removed itself and the one below restarted.
  EXPECT_EQ(player.GetCurrentEffect(), 0);
  EXPECT_EQ(player.step, 0);
  EXPECT_EQ(player.currentColour, 0);
  EXPECT_EQ(player.CurrentRecord(), &g_printFX[0]);
}

TEST_F(PrintFXPlayer, CallbackAndStepsOfNoFramesStillAdvance) {
  Owner owner;
  CPrintFXPlayer player;
  player.owner = &owner;
  player.PushEffect(0);
  player.PushEffect(2);
  player.Step();
  EXPECT_EQ(owner.ended, std::vector<int>{2});
  EXPECT_EQ(player.GetCurrentEffect(), 0);
  player.PushEffect(3);
  for (int i = 0; i < 3; ++i) {
    player.Step();
    EXPECT_EQ(player.step, 0);
    EXPECT_EQ(player.frameCounter, 0);
  }
}

// The owner stays with the object that holds the player: a copy takes the effects but not
// the owner, and an assignment keeps the owner it had, so a record copied about in a pool
// never calls back to another.
TEST_F(PrintFXPlayer, CopiesTakeTheEffectsButNotTheOwner) {
  Owner first, second;
  CPrintFXPlayer player;
  player.owner = &first;
  player.PushEffect(0);
  player.PushEffect(2);
  CPrintFXPlayer copy(player);
  EXPECT_EQ(copy.owner, nullptr);
  EXPECT_EQ(copy.GetCurrentEffect(), 2);
  CPrintFXPlayer other;
  other.owner = &second;
  other = player;
  EXPECT_EQ(other.owner, &second);
  EXPECT_EQ(other.effectCount, player.effectCount);
  EXPECT_EQ(other.currentColour, player.currentColour);
  other.Step();
  copy.Step();
  EXPECT_TRUE(first.ended.empty());
  EXPECT_EQ(second.ended, std::vector<int>{2});
}

TEST_F(PrintFXPlayer, StacksAreBoundedAndTheBottomStays) {
  CPrintFXPlayer player;
  player.PushEffect(1);
  player.PushEffect(1);
  player.RemoveEffect(1);
  EXPECT_EQ(player.effectCount, 1);  // pushed twice, removed once: one copy left
  player.RemoveEffect(1);
  EXPECT_EQ(player.effectCount, 1);  // the bottom entry is never removed
  for (int i = 0; i < 40; ++i) player.PushEffect(0);
  EXPECT_EQ(player.effectCount, 30);
  EXPECT_EQ(player.PushEffect(0), 30);
  for (int i = 0; i < 40; ++i) player.PushColourFX(i);
  EXPECT_EQ(player.colourCount, 30);
  player.RemoveColourFX(20);
  EXPECT_EQ(player.colourCount, 29);
  EXPECT_EQ(player.currentColour, 28);
  player.Clear();
  EXPECT_EQ(player.GetCurrentEffect(), -1);
  EXPECT_EQ(player.CurrentRecord(), nullptr);
  player.Step();  // idle: nothing happens
}

TEST_F(PrintFXPlayer, SaveAndLoadRoundTripAndRefuseOverfullStacks) {
  CPrintFXPlayer player;
  player.PushEffect(0);
  player.PushEffect(1);
  player.Step();
  player.PushColourFX(CFX_DULL);
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(player.Save(file), 20 + 8 + 8);
  std::rewind(file);
  CPrintFXPlayer loaded;
  EXPECT_EQ(loaded.Load(file), 36);
  EXPECT_EQ(loaded.step, player.step);
  EXPECT_EQ(loaded.frameCounter, 1);
  EXPECT_EQ(loaded.effectCount, 2);
  EXPECT_EQ(loaded.effects[1], 1);
  EXPECT_EQ(loaded.colours[1], CFX_DULL);
  EXPECT_EQ(loaded.currentColour, CFX_DULL);
  EXPECT_EQ(loaded.CurrentRecord(), &g_printFX[1]);
  EXPECT_EQ(loaded.Load(file), -1);  // at the end: a short read

  // A block claiming 31 effects is refused and the player keeps its state.
  std::rewind(file);
  const uint32_t block[] = {0, 0, 31};
  std::fwrite(block, 4, 3, file);
  for (int i = 0; i < 40; ++i) std::fwrite(block, 4, 1, file);
  std::rewind(file);
  EXPECT_EQ(loaded.Load(file), -1);
  EXPECT_EQ(loaded.effectCount, 2);
  std::fclose(file);
}

}  // namespace
