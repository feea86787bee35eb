#include "frontend/SlideShow.h"

#include <cstdio>

#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"

CSlideShowScreen* g_slideShow = nullptr;

std::string SlidePath(int slide, int width, int height) {
  char path[64];
  std::snprintf(path, sizeof path, "SlideShow\\%ix%i\\SlideShow_%02i.BMP", width, height, slide);
  return path;
}

CSlideShowScreen::CSlideShowScreen() { id = kScreenSlideShow; }

void CSlideShowScreen::LoadSlide() {
  const std::string path = SlidePath(slide, ScreenWidth(), ScreenHeight());
  if (!g_backBuffer.LoadBitmap(path.c_str())) finished = 1;
}

void CSlideShowScreen::Enter() {
  finished = 0;
  countdown = kFramesPerSlide;
  slide = 1;
  LoadSlide();
}

void CSlideShowScreen::Update() {
  if (!finished) {
    const CMouseEvent& mouse = LatestMouseEvent();
    // The clicks are the show's: none is left behind for the screen below.
    g_mouseReadIndex = g_mouseWriteIndex;
    if (mouse.right) {
      finished = 1;
    } else {
      bool advance = false;
      if (mouse.left != leftWasDown) {
        leftWasDown = mouse.left;
        advance = mouse.left != 0;
      }
      if (!advance) advance = --countdown < 0;
      if (advance) {
        countdown = kFramesPerSlide;
        ++slide;
        LoadSlide();
      }
      PresentWorkSurface();
    }
  }
  if (finished) PopScreen();
}
