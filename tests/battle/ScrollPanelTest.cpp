// The story scroll: text\scrolls.txt as a table of texts, the forged file, showing a scroll
// (an unknown one, a second one while the first is open), the click that rolls it away, and a
// picture of the open scroll over a battlefield.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/PanelSounds.h"
#include "battle/ScrollPanel.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"

using namespace panel_test;

namespace {

struct SoundLog : IPanelSounds {
  void Play(int id, int pan, CSoundInstance** out) override {
    if (out) *out = nullptr;
    sounds.push_back(id);
    pans.push_back(pan);
  }
  std::vector<int> sounds, pans;
};

TEST(ScrollText, HeadersHeadingsAndBodies) {
  struct Case {
    const char* name;
    std::string file;
    int scroll;
    const char* heading;
    const char* body;
  };
  const Case cases[] = {
      {"heading and body", "[Tower]\n~HSThe Tower~HE\n~BSIt fell.~BE\n", 0, "The Tower", "It fell."},
      {"no ~BE ends at the next header", "[a]\n~HSOne~HE~BSfirst\n[b]\n~BSsecond~BE", 0, "One", "first"},
      {"the next scroll starts after its header", "[a]\n~BSfirst\n[b]  \n\n ~BSsecond~BE", 1, "Heading", "second"},
      {"no heading gives Heading", "[a]\n~BSonly a body~BE", 0, "Heading", "only a body"},
      {"~BS starts the body afresh", "[a]\nstray words ~BSthe body~BE", 0, "Heading", "the body"},
      {"text without markers is the body", "[a]\nplain words\n", 0, "Heading", "plain words"},
      {"the heading may follow the body", "[a]\n~BSbody~HStitle~HE more", 0, "title", "body more"},
      {"~BE ends the scroll", "[a]\n~BSkept~BE lost ~HSlost~HE", 0, "Heading", "kept"},
      {"a bracket inside a line is no header", "[a]\nsee [b] here", 0, "Heading", "see [b] here"},
      {"carriage returns are dropped", "[a]\r\n~HSA~HE\r\n~BSb\r\nc~BE\r\n", 0, "A", "b\nc"},
      {"a header that ends the file starts an empty scroll there", "[a]\nx\n[last]\n", 1, "Heading", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<size_t> starts = FindScrollStarts(c.file);
    ASSERT_LT(static_cast<size_t>(c.scroll), starts.size());
    std::string heading, body;
    SplitScroll(c.file, starts[static_cast<size_t>(c.scroll)], heading, body);
    EXPECT_EQ(heading, c.heading);
    EXPECT_EQ(body, c.body);
  }
}

TEST(ScrollText, AHundredHeadersAreKeptAndLaterOnesIgnored) {
  std::string file;
  for (int i = 0; i < 101; ++i) file += "[s" + std::to_string(i) + "]\n~BSbody " + std::to_string(i) + "~BE\n";
  const std::vector<size_t> starts = FindScrollStarts(file);
  ASSERT_EQ(starts.size(), 100u);
  std::string heading, body;
  SplitScroll(file, starts[99], heading, body);
  EXPECT_EQ(body, "body 99");
  EXPECT_TRUE(FindScrollStarts("no headers at all\n[unclosed\n").empty());
}

class StoryScroll : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    LoadSharedFontsAndButtons();
    g_scrollPanel.SetFont(&g_bodyFont);
    g_scrollPanel.LoadText();
    g_scrollPanel.Load();
  }
  void TearDown() override {
    g_scrollPanel.Release();
    FreeSharedButtons();
    PanelDisplay::TearDown();
  }
  // Draws frames until the scroll stops moving (or the limit); answers the frames drawn.
  int DrawUntilSettled(int limit = 100) {
    int frames = 0;
    for (; frames < limit && g_scrollPanel.Shown(); ++frames) {
      const int x = g_scrollPanel.Slide() ? g_scrollPanel.Slide()->x : 0;
      const int y = g_scrollPanel.Slide() ? g_scrollPanel.Slide()->y : 0;
      const int width = g_scrollPanel.VisibleWidth();
      g_scrollPanel.Draw();
      if (g_scrollPanel.Slide() && g_scrollPanel.Slide()->x == x && g_scrollPanel.Slide()->y == y &&
          g_scrollPanel.VisibleWidth() == width)
        break;
    }
    return frames;
  }

  InFolder data_{testing_support::ForgedDataDir()};
  DisplayPrefs prefs_{1, 0};
  SoundLog sounds_;
  HookScope<IPanelSounds> soundScope_{g_panelSounds, sounds_};
};

TEST_F(StoryScroll, TheForgedScrollsAreRead) {
  EXPECT_EQ(g_scrollPanel.ScrollCount(), 12);
  g_scrollPanel.ShowScroll(0);
  EXPECT_EQ(g_scrollPanel.Heading(), "The Call of the Realm");
  g_scrollPanel.ShowScroll(9);
  EXPECT_EQ(g_scrollPanel.Heading(), "Heading");
  EXPECT_EQ(g_scrollPanel.Body().rfind("Three measures", 0), 0u);
}

TEST_F(StoryScroll, AnUnknownIndexShowsItsNotice) {
  for (int index : {12, -1, 5000}) {
    g_scrollPanel.ShowScroll(index);
    EXPECT_EQ(g_scrollPanel.Body(), "Scroll not defined in Scroll.txt");
  }
}

TEST_F(StoryScroll, NoFileNoScrolls) {
  testing_support::TempDir empty(true);
  g_scrollPanel.LoadText();
  EXPECT_EQ(g_scrollPanel.ScrollCount(), 0);
}

TEST_F(StoryScroll, ItSlidesInUnrollsAndAClickRollsItAway) {
  g_scrollPanel.ShowScroll(1);
  EXPECT_EQ(sounds_.sounds, std::vector<int>{kScrollOpenSound});
  EXPECT_GE(g_scrollPanel.UnrollStep(), 1);
  DrawUntilSettled();
  ASSERT_TRUE(g_scrollPanel.Shown());
  EXPECT_EQ(g_scrollPanel.Slide()->x, g_scrollPanel.PlaceX());
  EXPECT_EQ(g_scrollPanel.Slide()->y, g_scrollPanel.PlaceY());
  EXPECT_EQ(g_scrollPanel.VisibleWidth(), kScrollBodyColumns);
  // A click anywhere on it.
  const int x = g_scrollPanel.PlaceX() + 200, y = g_scrollPanel.PlaceY() + 100;
  QueueMouseEvent(0, x, y);
  QueueMouseEvent(platform::MK_LBUTTON, x, y);
  QueueMouseEvent(0, x, y);
  DispatchMouseEvents();
  EXPECT_EQ(sounds_.sounds, (std::vector<int>{kScrollOpenSound, kScrollCloseSound}));
  EXPECT_EQ(g_scrollPanel.active, 0);
  for (int frame = 0; frame < 60 && g_scrollPanel.Shown(); ++frame) g_scrollPanel.Draw();
  EXPECT_FALSE(g_scrollPanel.Shown());
  EXPECT_EQ(g_scrollPanel.Slide(), nullptr);
}

TEST_F(StoryScroll, ASecondScrollReplacesTheTextAndRestartsTheSlide) {
  g_scrollPanel.ShowScroll(1);
  for (int i = 0; i < 4; ++i) g_scrollPanel.Draw();
  ASSERT_GT(g_scrollPanel.VisibleWidth(), kScrollStartWidth);
  g_scrollPanel.ShowScroll(2);
  EXPECT_EQ(g_scrollPanel.CurrentScroll(), 2);
  EXPECT_EQ(g_scrollPanel.Heading(), "Amulet of the Deep Wells");
  EXPECT_EQ(g_scrollPanel.VisibleWidth(), kScrollStartWidth);
  EXPECT_FALSE(g_scrollPanel.Slide()->x == g_scrollPanel.PlaceX() &&
               g_scrollPanel.Slide()->y == g_scrollPanel.PlaceY());
  EXPECT_EQ(sounds_.sounds, (std::vector<int>{kScrollOpenSound, kScrollOpenSound}));
  DrawUntilSettled();
  EXPECT_EQ(g_scrollPanel.VisibleWidth(), kScrollBodyColumns);
}

// The open scroll over something like a battlefield, written for a person to look at.
TEST_F(StoryScroll, PictureOfTheOpenScroll) {
  g_scrollPanel.ShowScroll(0);
  for (int frame = 0; frame < 40; ++frame) {
    g_backBuffer.FillGradientV(0, 0, 800, 600, 70, 120, 60, 40, 80, 35);
    g_scrollPanel.Draw();
  }
  ASSERT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/story_scroll.png", 800, 600,
                                           graphics_test::Pixels(g_backBuffer)));
  // Parchment in the lower middle of the body, warm and light.
  const uint16_t paper = graphics_test::PixelAt(g_backBuffer, 140 + 300, 118 + 250);
  EXPECT_GT((paper >> 11) & 31, 20);
  EXPECT_GT((paper >> 11) & 31, paper & 31);
}

}  // namespace
