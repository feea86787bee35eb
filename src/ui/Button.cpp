#include "ui/Button.h"

#include <algorithm>

#include "core/Preferences.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"

void HandleButtonMouse(CControl& button, int flags, const CMouseEvent& event, bool releaseNeedsInside) {
  CCallback* const onLeftClick = button.onLeftClick;
  CCallback* const onRightClick = button.onRightClick;
  int& state = button.state;
  const bool enterHeld = (flags & MF_ENTER) && event.left;
  const bool leftPress = onLeftClick && ((flags & MF_LEFT_DOWN) || enterHeld);
  const bool rightPress = onRightClick && ((flags & MF_RIGHT_DOWN) || enterHeld);
  if (leftPress || rightPress) {
    if (button.ownerList) button.ownerList->SetFocus(&button);
    RequestRedraw();
    button.Press();
    button.Draw();
    RestartTooltipTimer();
  }
  const bool inside = button.Contains(event.x, event.y) || (!releaseNeedsInside && !button.capturesMouse);
  CCallback* clicked[2] = {nullptr, nullptr};
  if (onLeftClick && (flags & MF_LEFT_UP) && state == kStatePressed) {
    state = kStateNormal;
    button.Draw();
    if (inside) clicked[0] = onLeftClick;
  }
  if (onRightClick && (flags & MF_RIGHT_UP) && state == kStatePressed) {
    state = kStateNormal;
    button.Draw();
    if (inside) clicked[1] = onRightClick;
  }
  if ((flags & MF_ENTER) && button.tooltipId != -1) ShowControlTooltip(button.tooltipId);
  if (flags & MF_LEAVE) {
    RestartTooltipTimer();
    if (state == kStatePressed) {
      state = kStateNormal;
      button.Draw();
    }
  }
  // Last: a callback may close the screen that owns the button.
  const int clickId = button.id;
  if (clicked[0]) clicked[0]->Invoke(clickId);
  if (clicked[1]) clicked[1]->Invoke(clickId);
}

void CButton::OnMouse(int flags, CMouseEvent event) { HandleButtonMouse(*this, flags, event, false); }

int CButton::FrameToDraw(bool& grey) const {
  grey = false;
  if (highlight == 1 && state != kStatePressed && highlightFrame != -1) return highlightFrame;
  if (state == kStatePressed && pressedFrame != -1) return pressedFrame;
  if (state == kStateNormal && normalFrame != -1) return normalFrame;
  if (state == kStateGreyed) {
    grey = greyFrame != -1;
    return normalFrame;
  }
  return disabledFrame;
}

void CButton::Draw() {
  SurfacePrinting printing(surface);
  if (!printing) return;
  bool grey = false;
  const int frame = FrameToDraw(grey);
  if (frame == -1) return;
  const platform::Rect at = SurfaceRect();
  PrintControlFrame(frameSprite, frame, at.left, at.top, grey);
}

void EraseControlRect(CControl& control) {
  if (!control.surface) return;
  const platform::Rect at = control.SurfaceRect();
  control.surface->FillRect(&at, g_prefs.transparentBlits ? control.surface->GetColourKey() : 0);
}

void CButton::Erase() { EraseControlRect(*this); }

void CSliderKnob::OnMouse(int flags, CMouseEvent event) {
  const bool enterHeld = (flags & MF_ENTER) && event.left;
  if (onLeftClick && ((flags & MF_LEFT_DOWN) || enterHeld)) {
    if (ownerList) ownerList->SetFocus(this);
    RequestRedraw();
    onLeftClick->Invoke(id);
    grabOffset = horizontal ? event.x - rect.left : event.y - rect.top;
  } else if ((flags & MF_RIGHT_DOWN) || (onRightClick && enterHeld)) {
    RequestRedraw();
  }
  if (flags & (MF_LEFT_UP | MF_LEAVE)) grabOffset = -1;
  if (flags == 0 || grabOffset < 0) return;
  const int wanted = (horizontal ? event.x : event.y) - grabOffset;
  // A track shorter than the knob leaves it at its lowest place.
  const int edge = std::max(std::min(wanted, maxPos), minPos);
  if (horizontal) {
    const int shift = edge - rect.left;
    rect.left += shift;
    rect.right += shift;
  } else {
    const int shift = edge - rect.top;
    rect.top += shift;
    rect.bottom += shift;
  }
  if (onRightClick) onRightClick->Invoke(id);
}
