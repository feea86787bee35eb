#pragma once
// Buttons drawn from sprite frames (the menu and battle buttons, the arrows of sliders and
// scroll bars) and the slider knob, a button dragged along one axis.
//
// A press (a button going down over the control, or the pointer entering it with the left
// button held) focuses the button and presses it; the release runs its callback when the
// pointer is still over it (or the button does not capture the mouse); leaving the button
// while pressed cancels the press.

#include "ui/Control.h"

class CSprite;

class CButton : public CControl {
 public:
  void OnMouse(int flags, CMouseEvent event) override;
  void Draw() override;
  void Erase() override;
  void SetRect(const platform::Rect& area) override { rect = area; }

  void SetFrames(int normal, int pressed, int grey) {
    normalFrame = normal;
    pressedFrame = pressed;
    greyFrame = grey;
  }
  void SetAltFrames(int disabled, int highlighted, int sixth) {
    disabledFrame = disabled;
    highlightFrame = highlighted;
    sixthFrame = sixth;
  }
  void SetFrameSprite(CSprite* sprite) { frameSprite = sprite; }
  // The frame the button's state shows, or -1; grey tells to print it in grey.
  int FrameToDraw(bool& grey) const;

  CSprite* frameSprite = nullptr;
  int normalFrame = -1;
  int pressedFrame = -1;
  int greyFrame = -1;  // set: the greyed state prints the normal frame in grey
  int disabledFrame = -1;
  int highlightFrame = -1;
  int sixthFrame = -1;  // kept for the callers; the drawing does not use it
};

// The press and release behaviour of the buttons; releaseNeedsInside makes the release click
// only with the pointer over the button, whether or not it captures the mouse.
void HandleButtonMouse(CControl& button, int flags, const CMouseEvent& event, bool releaseNeedsInside);

class CSliderKnob : public CButton {
 public:
  // Presses run onLeftClick (the knob was taken); moves while dragging run onRightClick
  // (the knob moved).
  void OnMouse(int flags, CMouseEvent event) override;

  int grabOffset = -1;  // -1 when not dragging
  int minPos = 0;       // the lowest and highest left (or top) edge
  int maxPos = 0;
  int horizontal = 1;
};

// Fills the rectangle with the surface's colour key when blits are transparent, else with 0.
void EraseControlRect(CControl& control);
