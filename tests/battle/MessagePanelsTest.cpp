// The message lines, the message scroll and the spot icons: the lines a font gives and where
// the frame-rate and debug texts go, the scroll's queue, unrolling and dismissal, the icons'
// frames, recycling and lifetime, and a picture of all three over a battlefield.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/MessagePanel.h"
#include "battle/MessageScroll.h"
#include "battle/PanelSounds.h"
#include "battle/SpotIcons.h"
#include "creatures/CreatureArray.h"
#include "forge/FontWriter.h"
#include "graphics/Font.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"

using namespace panel_test;

namespace {

// A font of plain 8 x 12 boxes whose lines are 20 pixels high.
std::vector<uint8_t> TwentyPixelFont() {
  forge::FontSpec spec;
  spec.bands = 2;
  spec.topOffset = 16;
  spec.secondMetric = 4;
  for (int code = 33; code < 128; ++code) {
    forge::FontGlyph glyph;
    glyph.hotspotY = 12;
    glyph.canvas = forge::Canvas(8, 12);
    glyph.canvas.Fill(63);
    spec.glyphs.push_back(std::move(glyph));
  }
  return forge::WriteFont(spec);
}

struct SoundLog : IPanelSounds {
  void Play(int id, int, CSoundInstance** out) override {
    if (out) *out = nullptr;
    sounds.push_back(id);
  }
  std::vector<int> sounds;
};

class MessagePanels : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    ASSERT_TRUE(font_.LoadImage(TwentyPixelFont(), 0));
  }
  void TearDown() override {
    g_messagePanel.Release();
    g_messagePanel.frameRateLines = false;
    g_messagePanel.SetFont(nullptr);
    g_messageScroll.Release();
    g_spotIcons.Release();
    for (int slot = 0; slot < 12; ++slot) {
      g_creatureArray.At(slot)->inUse = 0;
      g_creatureArray.At(slot)->typeNumber = 0;
    }
    PanelDisplay::TearDown();
  }
  void PutCreature(int slot, int type) {
    CCreature* c = g_creatureArray.At(slot);
    c->index = slot;
    c->inUse = 1;
    c->typeNumber = type;
  }

  InFolder data_{testing_support::ForgedDataDir()};
  DisplayPrefs prefs_{1, 0};
  SoundLog sounds_;
  HookScope<IPanelSounds> soundScope_{g_panelSounds, sounds_};
  CFont font_;
};

TEST_F(MessagePanels, ATwentyPixelFontGivesFourLinesAndTheFrameRateAndDebugLinesTheirPlaces) {
  g_messagePanel.SetFont(&font_);
  g_messagePanel.LoadMessages();
  g_messagePanel.Init();
  ASSERT_EQ(g_messagePanel.LineCount(), 4);
  EXPECT_STREQ(g_messagePanel.Message(1), "The door is locked. A key would open it.");

  // The frame-rate lines stay silent until their flag is set.
  g_messagePanel.DrawFps(60, -1);
  EXPECT_EQ(g_messagePanel.FramesLeft(2), 0);
  g_messagePanel.frameRateLines = true;
  g_messagePanel.DrawFps(60, 12);
  g_messagePanel.PrintDebugLine("debug");
  EXPECT_EQ(g_messagePanel.FramesLeft(2), kDebugLineFrames);
  EXPECT_EQ(g_messagePanel.FramesLeft(3), kDebugLineFrames);
  // "FPS : 60 : 12" is 13 characters of 8 pixels (spaces included), centred on 400.
  const platform::Rect fps = g_messagePanel.LineRect(2);
  EXPECT_EQ(fps.top, 40);
  EXPECT_EQ(fps.bottom, 60);
  EXPECT_EQ(fps.right % 4, 0);
  EXPECT_EQ(g_messagePanel.ScreenX(2) % 4, 0);
  EXPECT_NEAR(g_messagePanel.ScreenX(2) + fps.right / 2, 400, 4);

  // Lines out of range are ignored; a line lasts at least one frame.
  g_messagePanel.PrintLine("lost", 4, 10);
  g_messagePanel.PrintLine("lost", -1, 10);
  g_messagePanel.PrintLine("brief", 0, 0);
  EXPECT_EQ(g_messagePanel.FramesLeft(0), 1);

  // Drawing copies the lit line to the screen and counts every line down.
  g_backBuffer.Fill(0);
  g_messagePanel.Draw();
  EXPECT_EQ(g_messagePanel.FramesLeft(0), 0);
  EXPECT_EQ(g_messagePanel.FramesLeft(2), kDebugLineFrames - 1);
  const int inkX = g_messagePanel.ScreenX(2) + 2, inkY = 40 + 16 - 6;
  EXPECT_NE(graphics_test::PixelAt(g_backBuffer, inkX, inkY), 0);
  EXPECT_EQ(graphics_test::PixelAt(g_backBuffer, 20, inkY), 0);
}

TEST_F(MessagePanels, TheScrollUnrollsLastsFiftyFramesAndShowsTheNextMessage) {
  g_messageScroll.SetFont(&g_smallFont);
  g_messageScroll.Load();
  ASSERT_EQ(g_messageScroll.FullWidth(), 256 - kMessageEndColumns);
  for (int m = 0; m < 12; ++m) g_messageScroll.QueueMessage(m);
  // The first shows at once; ten wait behind it and the eleventh waiting one was dropped.
  EXPECT_EQ(g_messageScroll.Text(), "The battle begins");
  EXPECT_EQ(g_messageScroll.Queued(), 10);
  EXPECT_EQ(sounds_.sounds, std::vector<int>{kMessageScrollSound});
  std::vector<int> widths;
  for (int frame = 0; frame < 6; ++frame) {
    widths.push_back(g_messageScroll.UnrolledWidth());
    g_messageScroll.Draw();
  }
  EXPECT_EQ(widths, (std::vector<int>{24, 68, 112, 156, 200, 244}));
  for (int frame = 6; frame < kMessageFrames - 1; ++frame) g_messageScroll.Draw();
  EXPECT_EQ(g_messageScroll.FramesLeft(), 1);
  g_messageScroll.Draw();
  EXPECT_EQ(g_messageScroll.Text(), "The door is locked. A key would open it.");
  EXPECT_EQ(g_messageScroll.FramesLeft(), kMessageFrames);
  EXPECT_EQ(g_messageScroll.UnrolledWidth(), kMessageEndColumns);

  // A click shows the next at once.
  QueueMouseEvent(0, 40, 20);
  QueueMouseEvent(platform::MK_LBUTTON, 40, 20);
  QueueMouseEvent(0, 40, 20);
  DispatchMouseEvents();
  EXPECT_EQ(g_messageScroll.Text(), "Your creatures are under attack");
  EXPECT_EQ(g_messageScroll.Queued(), 8);

  // Named messages and texts show at once and are never formats.
  g_messageScroll.ShowNamedMessage("Morwen%s", 6);
  EXPECT_EQ(g_messageScroll.Text(), "Morwen%s has fallen!");
  g_messageScroll.ShowText("[Ash]: hello");
  EXPECT_EQ(g_messageScroll.Text(), "[Ash]: hello");

  // Suppressed messages are not queued.
  g_suppressMessages = 1;
  g_messageScroll.QueueMessage(3);
  g_suppressMessages = 0;
  EXPECT_EQ(g_messageScroll.Queued(), 8);
}

TEST_F(MessagePanels, SpotIconFramesAndTooltips) {
  struct Case {
    int type, kind, frame, tooltip;
  };
  const Case cases[] = {
      {5, 0, 4 + 28, 305}, {5, 1, 4, 333},   {5, 2, 26, 361},  {0, 0, 23 + 28, 300},
      {24, 1, 23, 352},    {26, 2, 23, 382}, {27, 1, 26, 355}, {23, 0, 22 + 28, 323},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " kind " << c.kind);
    EXPECT_EQ(CSpotIcons::IconFrame(c.type, c.kind), c.frame);
    EXPECT_EQ(CSpotIcons::TooltipId(c.type, c.kind), c.tooltip);
  }
}

TEST_F(MessagePanels, SpotIconsReuseRecycleTheOldestAndLastTwoHundredFrames) {
  g_spotIcons.Load();
  ASSERT_EQ(g_spotIcons.sprite.FrameCount(), 56);
  for (int slot = 0; slot < 11; ++slot) PutCreature(slot, 1 + slot);
  // Kind 1 reuses the icon that already shows the creature; kind 0 takes another.
  const int first = g_spotIcons.AddCreature(0, 0);
  EXPECT_EQ(g_spotIcons.AddCreature(0, 1), first);
  EXPECT_EQ(g_spotIcons.Order().size(), 1u);
  for (int c = 1; c < 10; ++c) g_spotIcons.AddCreature(c, 0);
  ASSERT_EQ(g_spotIcons.Order().size(), 10u);
  // Two columns of five from (764, 100) down, then (728, 100).
  EXPECT_EQ(g_spotIcons.IconAt(4).rect.top, 244);
  EXPECT_EQ(g_spotIcons.IconAt(5).rect.left, 728);
  EXPECT_EQ(g_spotIcons.IconAt(5).rect.top, 100);
  // The eleventh replaces the oldest.
  EXPECT_EQ(g_spotIcons.AddCreature(10, 0), first);
  EXPECT_EQ(g_spotIcons.IconAt(first).creature, 10);
  EXPECT_EQ(g_spotIcons.Order().back(), first);
  EXPECT_EQ(g_spotIcons.Order().size(), 10u);

  g_spotIcons.RemoveCreature(3);
  EXPECT_FALSE(g_spotIcons.IconAt(3).shown);
  EXPECT_EQ(g_spotIcons.Order().size(), 9u);

  // Greyed, the icons do not age.
  g_spotIcons.Grey();
  g_spotIcons.Tick();
  EXPECT_EQ(g_spotIcons.IconAt(first).framesLeft, kSpotIconFrames);
  g_spotIcons.Ungrey();
  for (int frame = 0; frame < kSpotIconFrames - 1; ++frame) g_spotIcons.Tick();
  EXPECT_TRUE(g_spotIcons.IconAt(first).shown);
  g_spotIcons.Tick();
  EXPECT_TRUE(g_spotIcons.Order().empty());
  for (int i = 0; i < kSpotIconCount; ++i) EXPECT_EQ(g_spotIcons.IconAt(i).creature, -1);
}

// The three panels over something like a battlefield, written for a person to look at.
TEST_F(MessagePanels, PictureOfTheMessagePanels) {
  LoadSharedFontsAndButtons();
  g_messagePanel.SetFont(&g_yellowFont);
  g_messagePanel.LoadMessages();
  g_messagePanel.Init();
  g_messageScroll.SetFont(&g_smallFont);
  g_messageScroll.Load();
  g_spotIcons.Load();
  g_spotIcons.ShowAll();  // as a battle's loading does: a speech in an earlier test may have hidden them
  for (int slot = 0; slot < 7; ++slot) PutCreature(slot, slot == 0 ? 0 : slot * 3);
  for (int slot = 0; slot < 7; ++slot) g_spotIcons.AddCreature(slot, slot % 3 == 2 ? 1 : 0);
  g_spotIcons.AddCreature(1, 2);
  g_messagePanel.PrintLine(g_messagePanel.Message(2), 0, 100);
  g_messagePanel.frameRateLines = true;
  g_messagePanel.DrawFps(60, -1);
  g_messageScroll.QueueMessage(1);
  for (int frame = 0; frame < 8; ++frame) {
    g_backBuffer.FillGradientV(0, 0, 800, 600, 70, 120, 60, 40, 80, 35);
    g_messagePanel.Draw();
    g_messageScroll.Draw();
    g_spotIcons.Draw();
  }
  ASSERT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/message_panels.png", 800, 600,
                                           graphics_test::Pixels(g_backBuffer)));
  FreeSharedButtons();
  // The unrolled parchment is light and warm; an icon's rim is drawn.
  const uint16_t paper = graphics_test::PixelAt(g_backBuffer, 10 + 128, 10 + 10);
  EXPECT_GT((paper >> 11) & 31, 20);
  EXPECT_NE(graphics_test::PixelAt(g_backBuffer, 764 + 18, 100 + 1), graphics_test::PixelAt(g_backBuffer, 700, 101));
}

}  // namespace
