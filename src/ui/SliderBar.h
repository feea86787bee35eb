#pragma once
// The horizontal value slider of the option screens (CSliderBar) and the vertical scroll bar
// the list boxes make for themselves (CScrollBar). Both are a track drawn from a tile, a knob
// dragged along it and two arrow buttons, all from one sprite the instances of the class
// share; both map an integer range linearly onto the knob's travel. Every change the user
// makes ends with the bar's click callback.

#include <memory>

#include "ui/Button.h"

class SharedControlSprite;

// What the slider and the scroll bar have in common: the parts, the value and its range, and
// the mapping between the value and the knob's place.
class ValueBar : public CControl {
 public:
  ~ValueBar() override;

  int IsTransparentAt(int, int) override { return 0; }
  void Draw() override;
  void Erase() override {}
  void GreyOut() override;
  void Restore() override;
  void Highlight() override;
  void Unhighlight() override;
  void SetPressed(int) override {}

  // Stores the range and puts the value at its minimum and the knob at its start, with no
  // callback. A maximum below the minimum is taken as the minimum: the range is empty.
  void SetRange(int maximum, int minimum);
  // Clamps the value into the range, stores it and moves the knob; no callback.
  void PlaceValue(int v);
  // The knob's left (or top) edge for a value, and the value at the knob's place. An empty
  // range keeps the knob at its start and the value at the minimum.
  int KnobPositionFor(int v) const;
  int ValueAtKnob() const;
  // A change of value by the user: clamped, the knob moved and the callback run.
  void ChangeValue(int v);

  CSliderKnob knob;
  CButton lowArrow;   // left or up
  CButton highArrow;  // right or down
  int value = 0;
  int minValue = 0;
  int maxValue = 0;
  int knobMinPos = 0;
  int knobMaxPos = 0;

 protected:
  ValueBar(SharedControlSprite& shared, int horizontal);
  // Registers the bar (at least as high, or wide, as the arrow frame) and builds its parts.
  int CreateBar(int controlId, const platform::Rect& area, CCallback* callback, int enabled);
  void MoveKnob();
  virtual void OnArrow(int arrowId) = 0;
  virtual void OnKnobPressed() = 0;
  virtual void OnKnobMoved() = 0;
  CSprite* sprite() const { return sprite_; }

  const int horizontal_;

 private:
  void BuildParts();

  SharedControlSprite& shared_;
  CSprite* sprite_ = nullptr;
  std::unique_ptr<CCallback> arrowCallback_;
  std::unique_ptr<CCallback> knobPressCallback_;
  std::unique_ptr<CCallback> knobMovedCallback_;
};

class CSliderBar : public ValueBar {
 public:
  // Frames of "sprites\slider.spr".
  enum Frame { kLeftArrow, kLeftArrowPressed, kRightArrow, kRightArrowPressed, kTrack, kKnob, kKnobFocused };

  CSliderBar();
  void OnMouse(int flags, CMouseEvent event) override;
  int GetType() override { return kControlSliderBar; }
  void OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  // Answers 1 (0 when the bar could not be registered).
  int Create(int controlId, const platform::Rect& area, CCallback* callback, int enabled);
  // Clamps and stores the value, moves the knob and runs the callback.
  void SetValue(int v);

  int arrowStep = 1;

 protected:
  void OnArrow(int arrowId) override;
  void OnKnobPressed() override;
  void OnKnobMoved() override;
};

class CScrollBar : public ValueBar {
 public:
  // Frames of "sprites\scrollbar.spr".
  enum Frame { kUpArrow, kUpArrowPressed, kDownArrow, kDownArrowPressed, kTrack, kKnob };

  CScrollBar();
  void OnMouse(int flags, CMouseEvent event) override;
  int GetType() override { return kControlScrollBar; }
  void OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  int Create(int controlId, const platform::Rect& area, CCallback* callback, int enabled);

  int trackFrame = kTrack;
  uint8_t dragging = 0;

 protected:
  void OnArrow(int arrowId) override;
  void OnKnobPressed() override;
  void OnKnobMoved() override;
};

// The sprites the slider bars and the scroll bars share.
SharedControlSprite& SliderSprite();
SharedControlSprite& ScrollBarSprite();
