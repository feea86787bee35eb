#pragma once
// CTimerPanel: the 40 x 40 dial above the bottom-right control block whose picture advances as
// a time runs out: the battle clock in timed battles, a timed effect, the spell box's
// selection countdown. The dial sprite "sprites\timer.spr" (92 frames, frame 0 the full time
// left) lies over "bitmaps\timer background.jpg".

#include <memory>

#include "battle/InterfacePanel.h"
#include "graphics/Sprite.h"

inline constexpr int kTimerDialFrames = 92;
inline constexpr int kTimerSize = 40;

class CTimerPanel : public CInterfacePanel {
 public:
  CTimerPanel() = default;
  ~CTimerPanel() override = default;

  // The panel's operations: Draw copies the dial by the panel draw rule; it has nothing to
  // load at program start.
  void Draw() override { DrawPanelSurface(surface); }
  void Init() override { DoNothing(); }
  // The restore callback, the surface and the dial sprite go.
  void Release() override;
  // Creates the surface when missing (keyed blue with TransParentBlits, else black) at its
  // place for the resolution, hangs the restore callback on it and loads the dial sprite (a
  // missing sprite ends the program).
  void Load() override;

  // A new time: total and current time the value, the background picture drawn (a missing
  // picture is reported and the dial goes on without it) with its near-blue pixels made
  // transparent.
  void Start(int total);
  // A new current time; repaints when it differs. A total below the time it had is raised
  // to it first, so that a time beyond the total shows the full dial and then becomes the
  // new total.
  void SetTime(int value);
  // Moves the dial on the screen.
  void SetPosition(int x, int y);
  // The dial frame for the times: (total - current) x 92 / total, within 0 and 91.
  static int DialFrame(int total, int current);

  int Total() const { return total_; }
  int Current() const { return current_; }
  int LastFrame() const { return lastFrame_; }

  CSurface surface;
  CSprite dial;

 private:
  void Repaint();
  void LoadBackground();

  int total_ = 100;
  int current_ = 0;
  int lastFrame_ = -1;
  int x_ = -1, y_ = -1;  // the stored position; -1 until placed
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CTimerPanel g_timerPanel;
