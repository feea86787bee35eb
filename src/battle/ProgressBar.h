#pragma once
// CProgressBar: the picture of the map being loaded, shown on the screen while a battle loads
// (and while the computer player digests its experience after one). Its bar fills from left
// to right, one step per loading stage; loading runs outside the frame loop, so each step
// puts the picture straight onto the visible surface.
//
// Art: "interface\ProgressIndicator\<map name> Progress Bar Desaturated.JPG" (the picture
// before loading) and "... Progress Bar.JPG" (in full colour), 598 x 36 each. The map name is
// the current realm's name.

#include <string>

#include "battle/InterfacePanel.h"
#include "graphics/Surface.h"

class CProgressBar : public CSurfaceRestorer {
 public:
  static constexpr int kWidth = 598;
  static constexpr int kHeight = 36;

  CProgressBar() = default;
  ~CProgressBar() override { Release(); }
  CProgressBar(const CProgressBar&) = delete;
  CProgressBar& operator=(const CProgressBar&) = delete;

  // Creates the two pictures (the desaturated one shown at x, y), loads their art and empties
  // the bar for `steps` steps. Art that cannot be loaded ends the program after its box.
  void Start(int x, int y, int steps);
  // One loading stage done: the bar grows by a step (the last step fills it) and the picture
  // is shown. Steps past the count change nothing.
  void Step();
  void Release();

  // Loads both pictures again (the restore callback's work).
  void LoadArt();
  void RestoreSurface(int reason) override;

  // The art of a map name.
  static std::string DesaturatedPath(const std::string& mapName);
  static std::string ColourPath(const std::string& mapName);

  int fillEnd = 0;  // the filled rectangle is (0, 0)-(fillEnd, 36)
  int stepWidth = 0;
  int steps = 0;
  int stepsDone = 0;
  CSurface picture;  // the desaturated picture, coloured as the bar fills
  CSurface colour;   // the picture in full colour

 private:
  void Present();
  std::string mapName_;
};

extern CProgressBar g_progressBar;
