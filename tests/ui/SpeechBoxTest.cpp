// Speech boxes: the layout file, the choice of a layout for a speaker, and the box built on
// its own surface with its art, portrait and words.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "core/Preferences.h"
#include "forge/SpeechBoxes.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"
#include "ui/SpeechBox.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::TempDir;

class SpeechBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_prefs.isHighRes = 1;
    FreeSpeechBoxConfig();
  }
  void TearDown() override {
    FreeSpeechBoxConfig();
    g_prefs.isHighRes = 0;
    forged_.reset();
  }
  void InForgedData() {
    forged_ = std::make_unique<testing_support::ForgedDataCopy>();
    LoadSpeechBoxConfig();
  }
  std::unique_ptr<testing_support::ForgedDataCopy> forged_;
};

TEST_F(SpeechBoxTest, TheForgedLayoutFileReadsBackFieldByField) {
  InForgedData();
  const std::vector<forge::SpeechBoxDef> defs = forge::ForgedSpeechBoxes();
  ASSERT_EQ(g_speechBoxLayouts.size(), defs.size());
  for (size_t i = 0; i < defs.size(); ++i) {
    const forge::SpeechBoxDef& d = defs[i];
    const CSpeechBoxLayout& l = g_speechBoxLayouts[i];
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(l.heading[k], d.heading[static_cast<size_t>(k)]) << i;
      EXPECT_EQ(l.body[k], d.body[static_cast<size_t>(k)]) << i;
    }
    EXPECT_EQ(l.pictureX, d.pictureX);
    EXPECT_EQ(l.pictureY, d.pictureY);
    EXPECT_EQ(l.boxX, d.boxX);
    EXPECT_EQ(l.boxY, d.boxY);
    EXPECT_EQ(l.width800, d.width);
    EXPECT_EQ(l.height800, d.height);
    EXPECT_EQ(l.width640, static_cast<int>(d.width * 0.8));
    EXPECT_EQ(l.hotSpotX, d.hotSpotX);
    EXPECT_EQ(l.hotSpotY, d.hotSpotY);
    EXPECT_EQ(l.textLimit, d.textLimit < 0 ? 0x7FFFFFFF : d.textLimit);
  }
  EXPECT_EQ(SpeechBoxLayout(0), nullptr);
  EXPECT_EQ(SpeechBoxLayout(static_cast<int>(defs.size()) + 1), nullptr);
}

TEST_F(SpeechBoxTest, TheLayoutCountIsKeptWithinItsTableAndTokensAreCutAtEquals) {
  TempDir dir(true);
  struct Case {
    const char* count;
    size_t expected;
  };
  for (const Case c : {Case{"600", 500}, Case{"0", 0}, Case{"-3", 0}, Case{"2", 2}}) {
    FreeSpeechBoxConfig();
    dir.Write("cfg/speechbox.cfg", std::string("[HEADER]\nNumberBoxes=") + c.count +
                                       "\n[SPEECHBOX_1]\nHotSpot=12=junk,30=x\nStrLen=90=abc\nSize800=100,60\n");
    LoadSpeechBoxConfig();
    EXPECT_EQ(g_speechBoxLayouts.size(), c.expected) << c.count;
  }
  const CSpeechBoxLayout* first = SpeechBoxLayout(1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->hotSpotX, 12);
  EXPECT_EQ(first->hotSpotY, 30);
  EXPECT_EQ(first->textLimit, 90);
  EXPECT_EQ(first->width800, 100);
  const CSpeechBoxLayout* second = SpeechBoxLayout(2);  // every key missing
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->hotSpotX, -1);
  EXPECT_EQ(second->textLimit, 0x7FFFFFFF);
  EXPECT_EQ(second->width800, 0);
}

// The chosen box stands inside the screen, holds the text, and is the one nearest to the
// point a quarter down the middle of the screen.
TEST_F(SpeechBoxTest, ChooseLayoutTakesTheBestBoxThatFits) {
  InForgedData();
  for (int x = 50; x < 800; x += 70)
    for (int y = 50; y < 600; y += 60)
      for (int length : {20, 300}) {
        const int chosen = CSpeechBox::ChooseLayout(0, 0, 800, 600, x, y, length);
        if (chosen < 0) continue;
        const CSpeechBoxLayout& l = g_speechBoxLayouts[static_cast<size_t>(chosen)];
        const int left = x - l.hotSpotX, top = y - l.hotSpotY;
        EXPECT_GT(left, 0);
        EXPECT_GT(top, 0);
        EXPECT_LT(left + l.width800, 800);
        EXPECT_LT(top + l.height800, 600);
        EXPECT_GE(l.textLimit, length);
      }
  // A short text near the lower left takes a small box standing up and to the right.
  const int chosen = CSpeechBox::ChooseLayout(0, 0, 800, 600, 100, 500, 20);
  ASSERT_GE(chosen, 0);
  EXPECT_LT(g_speechBoxLayouts[static_cast<size_t>(chosen)].width800, 400);
  EXPECT_EQ(CSpeechBox::ChooseLayout(0, 0, 800, 600, 400, 300, 5000), -1);
}

TEST_F(SpeechBoxTest, ShowBuildsTheBoxWithItsArtPortraitAndWords) {
  InForgedData();
  LoadSharedFontsAndButtons();
  BoxRecorder boxes;
  SpeechRequest request;
  request.text = "The bridge is down. We must cross at the ford before the river rises.";
  request.heading = "Redcap";
  request.portrait = "Redcap portrait";
  CSpeechBox box;
  ASSERT_TRUE(box.Show(request, 200, 450));
  EXPECT_TRUE(box.IsShown());
  const CSpeechBoxLayout& layout = *SpeechBoxLayout(box.LayoutNumber());
  EXPECT_EQ(box.boxSurface.width, layout.width800);
  EXPECT_EQ(box.boxSurface.x, 200 - layout.hotSpotX);
  EXPECT_EQ(box.boxSurface.y, 450 - layout.hotSpotY);
  EXPECT_TRUE(box.portraitSurface.IsCreated());
  EXPECT_EQ(boxes.Count(), 0u);

  // A text longer than every box falls back to the given box at the middle of the screen.
  request.text.assign(500, 'a');
  request.boxNumber = 1;
  ASSERT_TRUE(box.Show(request, 200, 450));
  EXPECT_EQ(box.LayoutNumber(), 1);
  EXPECT_EQ(box.boxSurface.x, 400 - SpeechBoxLayout(1)->hotSpotX);
  EXPECT_EQ(box.boxSurface.y, 300 - SpeechBoxLayout(1)->hotSpotY);
  // A fixed or centred box stands at its layout's place; a number beyond the file is refused.
  request.fixedBox = true;
  request.boxNumber = 9;
  ASSERT_TRUE(box.Show(request, 200, 450));
  EXPECT_EQ(box.boxSurface.x, SpeechBoxLayout(9)->boxX);
  request.boxNumber = 10;
  EXPECT_FALSE(box.Show(request, 200, 450));
  EXPECT_FALSE(box.IsShown());
}

TEST_F(SpeechBoxTest, At640x480EverythingIsScaled) {
  InForgedData();
  g_prefs.isHighRes = 0;
  SpeechRequest request;
  request.text = "Hold!";
  request.fixedBox = true;
  request.boxNumber = 2;
  CSpeechBox box;
  ASSERT_TRUE(box.Show(request, 0, 0));
  const CSpeechBoxLayout& layout = *SpeechBoxLayout(2);
  EXPECT_EQ(box.boxSurface.width, layout.width640);
  EXPECT_EQ(box.boxSurface.x, static_cast<int>(layout.boxX * 0.8));
  EXPECT_EQ(box.boxSurface.y, static_cast<int>(layout.boxY * 0.8));
}

TEST_F(SpeechBoxTest, MissingArtIsReportedOnceAndTheBoxGoesOn) {
  TempDir dir(true);
  dir.Write("cfg/speechbox.cfg",
            "[HEADER]\nNumberBoxes=1\n[SPEECHBOX_1]\nHeading=10,5,190,25\nBody=10,30,190,90\nSize800=200,100\n"
            "BoxPos=20,30\n");
  LoadSpeechBoxConfig();
  BoxRecorder boxes;
  SpeechRequest request;
  request.text = "Nobody drew me.";
  request.portrait = "Nobody";
  request.fixedBox = true;
  CSpeechBox box;
  ASSERT_TRUE(box.Show(request, 0, 0));
  EXPECT_TRUE(box.IsShown());
  EXPECT_EQ(boxes.Count(), 2u);  // the box picture and the portrait
  EXPECT_TRUE(boxes.Saw("FILE LOAD ERROR"));
  ASSERT_TRUE(box.Show(request, 0, 0));
  EXPECT_EQ(boxes.Count(), 2u);
}

// Numbers at the ends of the integer range in a layout file neither overflow the placing of a
// box nor let its rectangles reach outside its surface.
TEST_F(SpeechBoxTest, ExtremeNumbersInTheLayoutFileAreHarmless) {
  forged_ = std::make_unique<testing_support::ForgedDataCopy>();  // the fonts, and a layout file of its own
  const std::string big = "2147483647", small = "-2147483648";
  const std::string text = "[HEADER]\nNumberBoxes=3\n[SPEECHBOX_1]\nHeading=" + small + "," + small + "," + big + "," +
                           big + "\nBody=" + big + "," + small + ",5,5\nPicturePos=" + big + "," + small +
                           "\nSize800=120,80\nHotSpot=" + small + "," + big + "\nStrLen=" + big +
                           "\n[SPEECHBOX_2]\nSize800=" + big + "," + big + "\nHotSpot=" + big + "," + small +
                           "\nBoxPos=" + small + "," + big + "\n[SPEECHBOX_3]\nSize800=-5,40\nHotSpot=1,1\n";
  std::ofstream(forged_->File("cfg/speechbox.cfg"), std::ios::trunc) << text;
  platform::FlushProfileCache();
  LoadSpeechBoxConfig();
  LoadSharedFontsAndButtons();
  BoxRecorder boxes;
  for (int x : {-100000, 0, 400, 100000})
    for (int y : {-100000, 0, 300, 100000}) EXPECT_LT(CSpeechBox::ChooseLayout(0, 0, 800, 600, x, y, 10), 3);
  SpeechRequest request;
  request.text = "Far away.";
  request.heading = "Nobody";
  request.portrait = "Nobody";
  CSurface screen;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = 800;
  desc.height = 600;
  ASSERT_TRUE(screen.Create(&desc));
  CSpeechBox box;
  for (int number : {1, 2, 3}) {
    request.fixedBox = number != 1;
    request.boxNumber = number;
    // Only the first has a size that fits the screen; the others are reported and refused.
    EXPECT_EQ(box.Show(request, 400, 300), number == 1) << number;
    box.Draw(&screen);
    box.Free();
  }
}

}  // namespace
