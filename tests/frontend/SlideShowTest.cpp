// The slide show, frame by frame: each slide stays 660 frames unless clicked, a right click
// ends the show, and the first slide that cannot be loaded ends it.
#include <gtest/gtest.h>

#include <filesystem>

#include "FrontEndTestSupport.h"
#include "frontend/SlideShow.h"

using namespace frontend_test;

namespace {

class SlideShow : public FrontEnd {
 protected:
  void Mouse(bool left, bool right) {
    QueueMouseEvent((left ? platform::MK_LBUTTON : 0) | (right ? platform::MK_RBUTTON : 0), 300, 300);
  }
  // Frames until the show pops (at most `limit`); answers how many it ran.
  int FramesUntilItEnds(int limit) {
    int frames = 0;
    while (g_currentScreen == g_slideShow && frames < limit) {
      g_slideShow->Update();
      ++frames;
    }
    return frames;
  }
};

}  // namespace

TEST(SlidePaths, NameTheSlideByResolutionAndNumber) {
  EXPECT_EQ(SlidePath(1, 800, 600), "SlideShow\\800x600\\SlideShow_01.BMP");
  EXPECT_EQ(SlidePath(12, 640, 480), "SlideShow\\640x480\\SlideShow_12.BMP");
}

TEST_F(SlideShow, EachOfTheThreeSlidesStays660FramesAndTheShowEndsWhenTheFourthIsMissing) {
  Open(g_slideShow);
  EXPECT_EQ(g_slideShow->slide, 1);
  g_slideShow->Update();
  SaveFrame("slide_1.png");
  EXPECT_EQ(g_slideShow->slide, 1);
  for (int i = 1; i < 660; ++i) g_slideShow->Update();
  EXPECT_EQ(g_slideShow->slide, 1);
  g_slideShow->Update();  // frame 661: the countdown has run below 0
  EXPECT_EQ(g_slideShow->slide, 2);
  SaveFrame("slide_2.png");
  // Slide 3 after another 661, then slide 4 fails: the show pops at once.
  EXPECT_EQ(FramesUntilItEnds(2000), 2 * 661);
  EXPECT_EQ(g_currentScreen, &bottom_);
  EXPECT_EQ(g_slideShow->slide, 4);
  // At 20 frames a second that is 33 seconds a slide.
  EXPECT_EQ(661 / 20, 33);
}

TEST_F(SlideShow, ALeftClickAdvancesOnceUntilTheButtonIsReleasedAndPressedAgain) {
  Open(g_slideShow);
  Mouse(true, false);
  g_slideShow->Update();
  EXPECT_EQ(g_slideShow->slide, 2);
  EXPECT_EQ(g_slideShow->countdown, CSlideShowScreen::kFramesPerSlide);
  g_slideShow->Update();  // still held
  g_slideShow->Update();
  EXPECT_EQ(g_slideShow->slide, 2);
  Mouse(false, false);
  g_slideShow->Update();
  EXPECT_EQ(g_slideShow->slide, 2);
  Mouse(true, false);
  g_slideShow->Update();
  EXPECT_EQ(g_slideShow->slide, 3);
  SaveFrame("slide_3.png");
  // None of the clicks is left for the screen below.
  EXPECT_EQ(PendingMouseEvents(), 0);
}

TEST_F(SlideShow, ARightClickEndsTheShowInTheSameFrame) {
  Open(g_slideShow);
  g_slideShow->Update();
  Mouse(false, true);
  g_slideShow->Update();
  EXPECT_EQ(g_currentScreen, &bottom_);
  EXPECT_EQ(bottom_.resumed, 1);
}

TEST_F(SlideShow, WithoutTheFirstSlideTheScreenPopsAtItsFirstUpdate) {
  std::filesystem::remove_all("SlideShow");
  Open(g_slideShow);
  EXPECT_EQ(g_slideShow->finished, 1);
  g_slideShow->Update();
  EXPECT_EQ(g_currentScreen, &bottom_);
}

TEST_F(SlideShow, ItStartsAgainFromTheFirstSlideWhenResumed) {
  Open(g_slideShow);
  Mouse(true, false);
  g_slideShow->Update();
  EXPECT_EQ(g_slideShow->slide, 2);
  BottomScreen above;
  PushScreen(&above);
  PopScreen();
  EXPECT_EQ(g_slideShow->slide, 1);
  EXPECT_EQ(g_slideShow->countdown, CSlideShowScreen::kFramesPerSlide);
}
