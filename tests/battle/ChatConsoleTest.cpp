// The in-battle chat console: typing within the line's length and the console's width,
// backspace, sending to the ticked recipients, the three recipient slots, clicks on the tick
// row, the hit test, and a picture of the console over the battle.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/ChatConsole.h"
#include "battle/PanelSounds.h"
#include "battle/TooltipManager.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"

using namespace panel_test;

namespace {

struct SoundLog : IPanelSounds {
  void Play(int id, int pan, CSoundInstance** out) override {
    if (out) *out = nullptr;
    sounds.push_back(id);
  }
  std::vector<int> sounds;
};

struct ChatLog : IChatSender {
  void SendChat(const char* text, const char* name) override { sent.emplace_back(name, text); }
  std::vector<std::pair<std::string, std::string>> sent;  // (recipient, text)
};

class Console : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    LoadSharedFontsAndButtons();
    g_chatConsole.Init();
    g_chatConsole.ClearRecipients();
    g_chatConsole.Load();
    g_chatConsole.Show();
  }
  void TearDown() override {
    g_chatConsole.Release();
    g_chatConsole.ClearRecipients();
    FreeSharedButtons();
    PanelDisplay::TearDown();
  }
  void ClickAt(int x, int y) {
    QueueMouseEvent(0, x, y);
    QueueMouseEvent(platform::MK_LBUTTON, x, y);
    QueueMouseEvent(0, x, y);
    DispatchMouseEvents();
  }
  void Type(const std::string& text) {
    for (char c : text) g_chatConsole.OnKey(static_cast<unsigned char>(c));
  }

  InFolder data_{testing_support::ForgedDataDir()};
  DisplayPrefs prefs_{1, 0};
  SoundLog sounds_;
  ChatLog chat_;
  HookScope<IPanelSounds> soundScope_{g_panelSounds, sounds_};
  HookScope<IChatSender> chatScope_{g_chatSender, chat_};
};

TEST_F(Console, SitsCentredOverTheLeftOfTheBottomBlock) {
  EXPECT_EQ(g_chatConsole.surface.width, 400);
  EXPECT_EQ(g_chatConsole.surface.height, 100);
  EXPECT_EQ(g_chatConsole.surface.x, (596 - 400) / 2);
  EXPECT_EQ(g_chatConsole.surface.y, 460 + 20);
  EXPECT_EQ(g_chatConsole.rect.left, 98);
}

TEST_F(Console, TypingKeepsToTheLinesLengthAndTheConsolesWidth) {
  struct Case {
    const char* name;
    std::string typed;
    int key;
    bool handled;
    size_t lengthAfter;
    int refusals;
  };
  // Character 31 has no width: these lines meet the length before the width.
  const Case cases[] = {
      {"the 63rd character is taken", std::string(62, '\x1f'), 31, true, 63, 0},
      {"the 64th is refused with the sound", std::string(63, '\x1f'), 31, true, 63, 1},
      {"backspace takes the last off", "abc", 8, true, 2, 0},
      {"backspace on an empty line plays the sound", "", 8, true, 0, 1},
      {"a character below 31 is not handled", "ab", 13, false, 2, 0},
      {"nor one above 123", "ab", '}', false, 2, 0},
      {"31 and 123 are taken", "a\x1f", '{', true, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_chatConsole.ClearText();
    Type(c.typed);
    ASSERT_EQ(std::string(g_chatConsole.Line()), c.typed);
    sounds_.sounds.clear();
    EXPECT_EQ(g_chatConsole.OnKey(c.key), c.handled);
    EXPECT_EQ(std::string(g_chatConsole.Line()).size(), c.lengthAfter);
    EXPECT_EQ(sounds_.sounds, std::vector<int>(static_cast<size_t>(c.refusals), kChatRefusedSound));
  }
}

TEST_F(Console, ACharacterThatWouldOverflowTheWidthIsRefused) {
  std::string typed;
  while (sounds_.sounds.empty() && typed.size() < 63) {
    g_chatConsole.OnKey('W');
    typed += 'W';
  }
  ASSERT_EQ(sounds_.sounds, std::vector<int>{kChatRefusedSound});
  const std::string line = g_chatConsole.Line();
  EXPECT_EQ(line.size() + 1, typed.size());  // all but the last were taken
  EXPECT_LT(line.size(), 63u);
  auto extent = [](const std::string& text) {
    return g_bodyFont.MeasureText(text.c_str(), {0, 0, 4096, 200}, kTextLeft) + LastGlyphOverhang(g_bodyFont);
  };
  EXPECT_LE(extent(line), 400 - 32);
  EXPECT_GT(extent(line + "W"), 400 - 32);
}

TEST_F(Console, SendGoesToTheTickedRecipientsAndClearsTheLine) {
  ASSERT_EQ(g_chatConsole.SetRecipient(1, "Merlin"), 1);
  ASSERT_EQ(g_chatConsole.SetRecipient(3, "Morgana"), 1);
  ASSERT_EQ(g_chatConsole.SetRecipient(2, "Nimue"), 1);
  ClickAt(g_chatConsole.rect.left + g_chatConsole.SlotX(1) + 4, g_chatConsole.rect.top + 20);  // untick Morgana
  Type("to the tower");
  g_chatConsole.Send();
  EXPECT_EQ(chat_.sent,
            (std::vector<std::pair<std::string, std::string>>{{"Merlin", "to the tower"}, {"Nimue", "to the tower"}}));
  EXPECT_STREQ(g_chatConsole.Line(), "");
  // Nothing ticked: the line is only cleared.
  chat_.sent.clear();
  for (int slot : {0, 2}) ClickAt(g_chatConsole.rect.left + g_chatConsole.SlotX(slot) + 4, g_chatConsole.rect.top + 20);
  Type("anyone?");
  g_chatConsole.Send();
  EXPECT_TRUE(chat_.sent.empty());
  EXPECT_STREQ(g_chatConsole.Line(), "");
  // An empty line sends nothing.
  ClickAt(g_chatConsole.rect.left + g_chatConsole.SlotX(0) + 4, g_chatConsole.rect.top + 20);
  g_chatConsole.Send();
  EXPECT_TRUE(chat_.sent.empty());
}

TEST_F(Console, ThreeRecipientSlotsAtMost) {
  EXPECT_EQ(g_chatConsole.SetRecipient(4, "Merlin"), 1);
  EXPECT_EQ(g_chatConsole.SetRecipient(5, "Morgana"), 1);
  EXPECT_EQ(g_chatConsole.SetRecipient(6, "Nimue"), 1);
  EXPECT_EQ(g_chatConsole.SetRecipient(7, "Vivian"), 0);                     // a fourth key
  EXPECT_EQ(g_chatConsole.SetRecipient(5, "Morgan le Fay of the Isle"), 1);  // renames its slot
  EXPECT_STREQ(g_chatConsole.RecipientName(1), "Morgan le Fay ");            // 14 characters
  EXPECT_TRUE(g_chatConsole.Ticked(2));
  g_chatConsole.RemovePlayer("Merlin");
  EXPECT_EQ(g_chatConsole.RecipientKey(0), -1);
  EXPECT_EQ(g_chatConsole.SetRecipient(7, "Vivian"), 1);  // takes the freed slot
  EXPECT_EQ(g_chatConsole.RecipientKey(0), 7);
  const char* slots[4] = {"Merlin", "No Player", "Morgana", "Nimue"};
  g_chatConsole.SetRecipientsFromSlots(slots, 3);
  EXPECT_EQ(g_chatConsole.RecipientKey(0), 0);
  EXPECT_EQ(g_chatConsole.RecipientKey(1), 2);
  EXPECT_EQ(g_chatConsole.RecipientKey(2), -1);
}

TEST_F(Console, ClicksOnTheTickRowToggleTheSlotUnderThePointer) {
  for (int key = 0; key < 3; ++key) g_chatConsole.SetRecipient(key, "P");
  const int left = g_chatConsole.rect.left, top = g_chatConsole.rect.top;
  const int slotWidth = (400 - 32) / 3;
  struct Case {
    const char* name;
    int x, y;     // from the console's corner
    int toggled;  // the slot, or -1
  };
  const Case cases[] = {
      {"the first box", 17, 20, 0},
      {"the second slot's first column", 16 + slotWidth, 2, 1},
      {"the third slot's last row", 16 + 2 * slotWidth + 30, 47, 2},
      {"the top line is not the row", 20, 0, -1},
      {"below the row", 20, 48, -1},
      {"left of the first slot", 10, 20, -1},
      {"past the third slot", 16 + 3 * slotWidth + 2, 20, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool before[3];
    for (int s = 0; s < 3; ++s) before[s] = g_chatConsole.Ticked(s);
    ClickAt(left + c.x, top + c.y);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(g_chatConsole.Ticked(s), s == c.toggled ? !before[s] : before[s]) << s;
  }
}

TEST_F(Console, AHiddenConsoleTakesNoClicks) {
  g_chatConsole.SetRecipient(0, "Merlin");
  g_chatConsole.Hide();
  const int x = g_chatConsole.rect.left + 20, y = g_chatConsole.rect.top + 20;
  EXPECT_EQ(g_chatConsole.IsTransparentAt(x, y), 1);
  ClickAt(x, y);
  EXPECT_TRUE(g_chatConsole.Ticked(0));
  g_chatConsole.Show();
  EXPECT_EQ(g_chatConsole.IsTransparentAt(x, y), 0);
}

TEST_F(Console, PictureOfTheConsoleOverTheBattle) {
  g_backBuffer.FillGradientV(0, 0, 800, 600, 70, 120, 60, 40, 80, 35);
  g_chatConsole.SetRecipient(0, "Merlin");
  g_chatConsole.SetRecipient(1, "Morgana");
  g_chatConsole.SetRecipient(2, "Nimue");
  ClickAt(g_chatConsole.rect.left + g_chatConsole.SlotX(1) + 4, g_chatConsole.rect.top + 20);
  Type("Meet me at the standing stones");
  g_chatConsole.Draw();
  std::vector<uint16_t> block;
  const std::vector<uint16_t> all = graphics_test::Pixels(g_backBuffer);
  ASSERT_EQ(all.size(), 800u * 600u) << "the back buffer has no pixels";
  for (int y = 440; y < 600; ++y)
    for (int x = 0; x < 600; ++x) block.push_back(all[static_cast<size_t>(y) * 800 + x]);
  ASSERT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/chat_console.png", 600, 160, block));
  EXPECT_NE(graphics_test::PixelAt(g_backBuffer, 110, 500), graphics_test::PixelAt(g_backBuffer, 10, 500));
}

}  // namespace
