#pragma once
// CSlideShowScreen: a numbered series of full-screen pictures,
// "SlideShow\<w>x<h>\SlideShow_<nn>.BMP" from 01, each shown for 660 frames or until a left
// click, ended by a right click or the first slide that cannot be loaded; then the screen pops
// itself. A plain screen: no layout file and no controls. No menu pushes it yet.

#include <string>

#include "ui/Screen.h"

class CSlideShowScreen : public CScreen {
 public:
  static constexpr int kFramesPerSlide = 660;

  CSlideShowScreen();

  void Enter() override;
  void Resume() override { Enter(); }
  void Update() override;
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }

  int finished = 0;
  int slide = 1;
  int countdown = kFramesPerSlide;
  int leftWasDown = 0;

 private:
  // Loads the current slide into the back buffer; finished when it cannot be loaded.
  void LoadSlide();
};

// "SlideShow\800x600\SlideShow_01.BMP" for slide 1 at 800 x 600.
std::string SlidePath(int slide, int width, int height);

extern CSlideShowScreen* g_slideShow;
