// The scripted input of unattended runs: its script, its screen log, and the frames it saves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "battle/Battle.h"
#include "core/Random.h"
#include "game/ScriptedInput.h"
#include "graphics/GraphicsFixtures.h"
#include "platform/Files.h"
#include "platform/KeyState.h"
#include "platform/Messages.h"
#include "platform/Window.h"
#include "support/Png.h"
#include "support/TestSupport.h"

TEST(ScriptedInput, ReadsItsCommandsInFrameOrderAndReportsWhatItCannotRead) {
  const InputScript script = ParseInputScript(
      "# the road to the quick battle menu\n"
      "log screens.txt\n"
      "20 png later.png\n"
      "4 click 400 300   # Quick Battle\n"
      "4 key RETURN\n"
      "7 key 27\n"
      "9 rclick 1 2\n"
      "9 move 3 4\n"
      "30 close\n"
      "0 click 1 1\n"
      "x key RETURN\n"
      "5 key NOPE\n"
      "6 click 12\n"
      "6 press 5 6\n"
      "6 release 7\n"
      "6 move 8\n"
      "8 fly\n"
      "8 png\n");
  EXPECT_EQ(script.logFile, "screens.txt");
  ASSERT_EQ(script.commands.size(), 8u);
  EXPECT_EQ(script.commands[0].kind, ScriptCommand::kClick);
  EXPECT_EQ(script.commands[0].frame, 4);
  EXPECT_EQ(script.commands[0].x, 400);
  EXPECT_EQ(script.commands[0].y, 300);
  EXPECT_EQ(script.commands[1].kind, ScriptCommand::kKey);
  EXPECT_EQ(script.commands[1].key, platform::VK_RETURN);
  EXPECT_EQ(script.commands[2].kind, ScriptCommand::kPress);
  EXPECT_EQ(script.commands[2].x, 5);
  EXPECT_EQ(script.commands[2].y, 6);
  EXPECT_EQ(script.commands[3].key, platform::VK_ESCAPE);
  EXPECT_EQ(script.commands[4].kind, ScriptCommand::kRightClick);
  EXPECT_EQ(script.commands[5].kind, ScriptCommand::kMove);
  EXPECT_EQ(script.commands[5].x, 3);
  EXPECT_EQ(script.commands[5].y, 4);
  EXPECT_EQ(script.commands[6].kind, ScriptCommand::kPng);
  EXPECT_EQ(script.commands[6].file, "later.png");
  EXPECT_EQ(script.commands[7].kind, ScriptCommand::kClose);
  EXPECT_EQ(script.errors,
            (std::vector<std::string>{
                "line 10: a frame number from 1 was expected", "line 11: a frame number from 1 was expected",
                "line 12: unknown key 'NOPE'", "line 13: a click needs x and y", "line 15: a release needs x and y",
                "line 16: a move needs x and y", "line 17: unknown command 'fly'", "line 18: png needs a file name"}));
}

TEST(ScriptedInput, ASeedCommandSeedsTheFrontEndsGenerator) {
  const InputScript script = ParseInputScript("1 seed 4294967295\n2 seed 4294967296\n3 seed\n");
  ASSERT_EQ(script.commands.size(), 1u);
  EXPECT_EQ(script.commands[0].kind, ScriptCommand::kSeed);
  EXPECT_EQ(script.commands[0].seed, 4294967295u);
  EXPECT_EQ(script.errors, (std::vector<std::string>{"line 2: seed needs a number below 2^32",
                                                     "line 3: seed needs a number below 2^32"}));
  CScriptedInput input;
  input.Use(ParseInputScript("2 seed 99\n"));
  g_random.Seed(5);
  input.Frame(1, 3);
  input.Frame(2, 3);
  CRandom expected(99);
  EXPECT_EQ(g_random.Next(), expected.Next());
}

// Commands after "on <id>" count from the frame in which that screen first came on top, each
// block from its own screen, or after "on <id> <n>" from the n-th time it came on top; "on 0"
// counts from the start again.
TEST(ScriptedInput, CommandsOnAScreenWaitForItsFirstFrame) {
  const InputScript script =
      ParseInputScript("on 13\n2 seed 7\non 14\n1 seed 8\non 0\n5 seed 9\non x\non 3 3\n1 seed 5\non 3 0\n");
  EXPECT_EQ(script.commands.size(), 1u);
  ASSERT_EQ(script.onScreen.size(), 3u);
  EXPECT_EQ(script.onScreen[0].screen, 13);
  EXPECT_EQ(script.onScreen[2].screenTime, 3);
  EXPECT_EQ(script.errors, (std::vector<std::string>{"line 7: a screen id (and a count from 1) was expected",
                                                     "line 10: a screen id (and a count from 1) was expected"}));
  struct Case {
    int frame, screen;
    uint32_t seeded;  // the seed a command set in the frame; 0: none ran
  };
  // Screen 3 comes on top in frames 1, 4 and 11.
  const Case cases[] = {{1, 3, 0},  {2, 13, 0}, {3, 13, 7}, {4, 3, 0},
                        {5, 3, 9},  {9, 14, 8}, {10, 13, 0}, {11, 3, 5}};
  CScriptedInput input;
  input.Use(script);
  for (const Case& c : cases) {
    g_random.Seed(1);
    input.Frame(c.frame, c.screen);
    CRandom expected(c.seeded ? c.seeded : 1);
    EXPECT_EQ(g_random.Next(), expected.Next()) << "frame " << c.frame;
  }
}

TEST(ScriptedInput, ABattleCommandDecidesTheRunningBattle) {
  const InputScript script = ParseInputScript("1 battle won\n2 battle lost\n3 battle maybe\n");
  ASSERT_EQ(script.commands.size(), 2u);
  EXPECT_EQ(script.commands[0].action, ScriptCommand::kWinBattle);
  EXPECT_EQ(script.commands[1].action, ScriptCommand::kLoseBattle);
  EXPECT_EQ(script.errors, (std::vector<std::string>{"line 3: battle needs won or lost"}));
  ConstructBattle();
  for (bool loaded : {false, true}) {
    SCOPED_TRACE(loaded);
    g_battle->loaded = loaded ? 1 : 0;
    g_battle->victoryReached = g_battle->wizardLostByEffect = 0;
    CScriptedInput input;
    input.Use(ParseInputScript("1 battle won\n"));
    input.Frame(1, kBattleScreenId);
    EXPECT_EQ(g_battle->victoryReached, loaded ? 1 : 0);
    input.Use(ParseInputScript("1 battle lost\n"));
    input.Frame(1, kBattleScreenId);
    EXPECT_EQ(g_battle->wizardLostByEffect, loaded ? 1 : 0);
  }
  g_battle->loaded = 0;
  DestroyBattle();
}

TEST(ScriptedInput, NotesEachScreenThatComesOnTopAndSavesTheShownFrame) {
  testing_support::TempDir dir(true);
  graphics_test::OpenDisplay display(true, false);
  g_primary.Fill(0xF800);
  CScriptedInput input;
  InputScript script = ParseInputScript("log screens.txt\n2 png frame.png\n");
  input.Use(script);
  input.Frame(1, 3);
  input.Frame(2, 3);
  input.Frame(3, 27);
  input.Frame(4, 3);
  input.Frame(5, 0);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile("screens.txt", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "1 3\n3 27\n4 3\n5 0\n");
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(testing_support::ReadStoredPng("frame.png", width, height, rgb));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 0);
}

TEST(ScriptedInput, SaysSoWhenItsScreenLogCannotBeWritten) {
  testing_support::TempDir dir(true);
  CScriptedInput input;
  for (const char* path : {"missing/folder/screens.txt", "."}) {
    testing::internal::CaptureStderr();
    input.Use(ParseInputScript(std::string("log ") + path + "\n"));
    input.Frame(1, 3);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(std::string("cannot write the screen log ") + path), std::string::npos) << errors;
  }
}

TEST(ScriptedInput, SendsClicksAndKeysAsTheSystemWould) {
  graphics_test::OpenDisplay display(true, false);
  platform::ClearMessageQueue();
  CScriptedInput input;
  input.Use(ParseInputScript("1 click 30 40\n1 key ESCAPE\n"));
  input.Frame(1, 3);
  std::vector<unsigned> messages;
  platform::Message message;
  while (platform::PeekMessage(message, true)) messages.push_back(message.message);
  const std::vector<unsigned> expected = {platform::WM_MOUSEMOVE, platform::WM_LBUTTONDOWN, platform::WM_LBUTTONUP,
                                          platform::WM_KEYDOWN,   platform::WM_CHAR,        platform::WM_KEYUP};
  EXPECT_EQ(messages, expected);
}

// A script names a key by its name, its character or its code; a character key also types it.
TEST(ScriptedInput, KnowsEveryKeyTheGameReadsAndTheCharacterItTypes) {
  const struct {
    const char* word;
    int key;
    char typed;
  } cases[] = {
      {"w", 'W', 'w'},
      {"W", 'W', 'w'},
      {"7", '7', '7'},
      {"87", 'W', 'w'},
      {"27", platform::VK_ESCAPE, 0},
      {"[", 0xDB, '['},
      {"]", 0xDD, ']'},
      {",", 0xBC, ','},
      {".", 0xBE, '.'},
      {"SPACE", platform::VK_SPACE, ' '},
      {"shift", platform::VK_SHIFT, 0},
      {"CTRL", platform::VK_CONTROL, 0},
      {"ALT", platform::VK_MENU, 0},
      {"PGUP", platform::VK_PRIOR, 0},
      {"F12", platform::VK_F1 + 11, 0},
      {"f1", platform::VK_F1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    const InputScript script = ParseInputScript(std::string("1 key ") + c.word + "\n");
    ASSERT_EQ(script.commands.size(), 1u);
    EXPECT_EQ(script.commands[0].key, c.key);
    EXPECT_EQ(script.commands[0].typed, c.typed);
  }
  const InputScript bad = ParseInputScript("1 key F13\n2 key 256\n3 key ~\n4 keydown\n");
  EXPECT_EQ(bad.commands.size(), 0u);
  EXPECT_EQ(bad.errors.size(), 4u);
}

// A held key stays down from its keydown to its keyup, typing its character once.
TEST(ScriptedInput, HoldsAKeyFromKeydownToKeyup) {
  graphics_test::OpenDisplay display(true, false);
  platform::ClearMessageQueue();
  CScriptedInput input;
  input.Use(ParseInputScript("1 keydown LEFT\n1 keydown w\n3 keyup LEFT\n3 keyup w\n"));
  std::vector<unsigned> messages;
  platform::Message message;
  for (int frame = 1; frame <= 3; ++frame) {
    input.Frame(frame, 3);
    while (platform::PeekMessage(message, true)) messages.push_back(message.message);
    EXPECT_EQ(platform::IsKeyDownNow(platform::VK_LEFT), frame < 3) << frame;
    EXPECT_EQ(platform::IsKeyDownNow('W'), frame < 3) << frame;
  }
  const std::vector<unsigned> expected = {platform::WM_KEYDOWN, platform::WM_KEYDOWN, platform::WM_CHAR,
                                          platform::WM_KEYUP, platform::WM_KEYUP};
  EXPECT_EQ(messages, expected);
}
