#include "ui/SliderBar.h"

#include <algorithm>

#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"

SharedControlSprite& SliderSprite() {
  static SharedControlSprite shared("sprites\\slider.spr");
  return shared;
}

SharedControlSprite& ScrollBarSprite() {
  static SharedControlSprite shared("sprites\\scrollbar.spr");
  return shared;
}

namespace {

bool Pressed(int flags, const CMouseEvent& event) {
  return (flags & (MF_LEFT_DOWN | MF_RIGHT_DOWN)) || ((flags & MF_ENTER) && event.left);
}

void PlacePart(CButton& part, CSprite* sprite, CSurface* surface, int normal, int pressed, int highlighted) {
  part.SetFrameSprite(sprite);
  part.SetSurface(surface);
  part.SetFrames(normal, pressed, -1);
  part.SetAltFrames(-1, highlighted, -1);
}

}  // namespace

ValueBar::ValueBar(SharedControlSprite& shared, int horizontal) : horizontal_(horizontal), shared_(shared) {
  knob.horizontal = horizontal;
}

ValueBar::~ValueBar() {
  if (sprite_) shared_.Release();
}

int ValueBar::CreateBar(int controlId, const platform::Rect& area, CCallback* callback, int enabled) {
  onLeftClick = callback;
  id = controlId;
  if (!sprite_) sprite_ = shared_.Acquire();
  platform::Rect bar = area;
  // The bar is at least as thick as its arrows.
  if (horizontal_)
    bar.bottom = std::max(bar.bottom, bar.top + ControlFrameHeight(sprite_, 0));
  else
    bar.right = std::max(bar.right, bar.left + ControlFrameWidth(sprite_, 0));
  const int registered = Register(bar, enabled);
  state = enabled ? kStateNormal : kStateDisabled;
  highlight = 0;
  BuildParts();
  return registered;
}

void ValueBar::BuildParts() {
  arrowCallback_ = std::make_unique<CFunctionCallback>([this](int arrow) { OnArrow(arrow); });
  knobPressCallback_ = std::make_unique<CFunctionCallback>([this](int) { OnKnobPressed(); });
  knobMovedCallback_ = std::make_unique<CFunctionCallback>([this](int) { OnKnobMoved(); });
  const int w0 = ControlFrameWidth(sprite_, 0), h0 = ControlFrameHeight(sprite_, 0);
  const int w2 = ControlFrameWidth(sprite_, 2), h2 = ControlFrameHeight(sprite_, 2);
  const int w5 = ControlFrameWidth(sprite_, 5), h5 = ControlFrameHeight(sprite_, 5);
  platform::Rect knobRect, lowRect, highRect;
  if (horizontal_) {
    const int height = rect.bottom - rect.top;
    knobMinPos = rect.left + w0;
    knobMaxPos = rect.right - w2 - w5;
    const int knobTop = rect.top + (height - h5) / 2;
    knobRect = platform::Rect{knobMinPos, knobTop, knobMinPos + w5, knobTop + h5};
    lowRect =
        platform::Rect{rect.left, rect.top + (height - h0) / 2, rect.left + w0, rect.top + (height - h0) / 2 + h0};
    highRect =
        platform::Rect{rect.right - w2, rect.top + (height - h2) / 2, rect.right, rect.top + (height - h2) / 2 + h2};
  } else {
    knobMinPos = rect.top + h0;
    knobMaxPos = rect.bottom - h2 - h5;
    knobRect = platform::Rect{rect.left + 2, knobMinPos, rect.left + 2 + w5, knobMinPos + h5};
    lowRect = platform::Rect{rect.left, rect.top, rect.left + w0, rect.top + h0};
    highRect = platform::Rect{rect.left, rect.bottom - h2, rect.left + w2, rect.bottom};
  }
  knob.minPos = knobMinPos;
  knob.maxPos = std::max(knobMaxPos, knobMinPos);
  PlacePart(knob, sprite_, surface, 5, 5, horizontal_ ? 6 : 5);
  knob.Create(0, knobRect, knobPressCallback_.get(), knobMovedCallback_.get(), 1);
  PlacePart(lowArrow, sprite_, surface, 0, 1, -1);
  lowArrow.Create(0, lowRect, arrowCallback_.get(), nullptr, 1);
  PlacePart(highArrow, sprite_, surface, 2, 3, -1);
  highArrow.Create(1, highRect, arrowCallback_.get(), nullptr, 1);
}

int ValueBar::KnobPositionFor(int v) const {
  const int range = maxValue - minValue;
  if (range <= 0) return knobMinPos;
  return knobMinPos + static_cast<int>(static_cast<double>(knobMaxPos - knobMinPos) / range * (v - minValue));
}

int ValueBar::ValueAtKnob() const {
  const int position = horizontal_ ? knob.rect.left : knob.rect.top;
  const int range = maxValue - minValue, travel = knobMaxPos - knobMinPos;
  if (position == knobMinPos || range <= 0 || travel <= 0) return minValue;
  // Multiplied before dividing, so that the ends of the travel give the ends of the range exactly.
  const int steps = static_cast<int>(static_cast<double>(position - knobMinPos) * range / travel);
  return std::clamp(steps + minValue, minValue, maxValue);
}

void ValueBar::MoveKnob() {
  const int position = KnobPositionFor(value);
  if (horizontal_) {
    knob.rect.right += position - knob.rect.left;
    knob.rect.left = position;
  } else {
    knob.rect.bottom += position - knob.rect.top;
    knob.rect.top = position;
  }
}

void ValueBar::SetRange(int maximum, int minimum) {
  minValue = minimum;
  maxValue = std::max(maximum, minimum);
  value = minValue;
  MoveKnob();
}

void ValueBar::PlaceValue(int v) {
  value = std::clamp(v, minValue, maxValue);
  MoveKnob();
}

void ValueBar::ChangeValue(int v) {
  PlaceValue(v);
  if (onLeftClick) onLeftClick->Invoke(id);
}

void ValueBar::Draw() {
  if (state == kStateDisabled) return;
  if (surface) {
    SurfacePrinting printing(surface);
    if (printing && sprite_) {
      const int tile = sprite_->FrameCount() > 4 ? 4 : 0;
      const int dx = surface->x, dy = surface->y;
      if (horizontal_) {
        const int top = rect.top + (rect.bottom - rect.top - ControlFrameHeight(sprite_, tile)) / 2;
        for (int x = lowArrow.rect.right; x < highArrow.rect.left; ++x)
          PrintControlFrame(sprite_, tile, x - dx, top - dy);
      } else {
        for (int y = lowArrow.rect.bottom; y < highArrow.rect.top; ++y)
          PrintControlFrame(sprite_, tile, rect.left - dx, y - dy);
      }
    }
  }
  knob.Draw();
  lowArrow.Draw();
  highArrow.Draw();
}

void ValueBar::GreyOut() {
  CControl::GreyOut();
  knob.GreyOut();
  lowArrow.GreyOut();
  highArrow.GreyOut();
}

void ValueBar::Restore() {
  CControl::Restore();
  knob.Restore();
  lowArrow.Restore();
  highArrow.Restore();
}

void ValueBar::Highlight() {
  highlight = 1;
  knob.Highlight();
}

void ValueBar::Unhighlight() {
  highlight = 0;
  knob.Unhighlight();
}

CSliderBar::CSliderBar() : ValueBar(SliderSprite(), 1) {}

int CSliderBar::Create(int controlId, const platform::Rect& area, CCallback* callback, int enabled) {
  return CreateBar(controlId, area, callback, enabled) ? 1 : 0;
}

void CSliderBar::SetValue(int v) { ChangeValue(v); }

void CSliderBar::OnMouse(int flags, CMouseEvent event) {
  if (!Pressed(flags, event)) return;
  if (ownerList) ownerList->SetFocus(this);
  RequestRedraw();
  const int quarter = (maxValue - minValue) / 4;
  ChangeValue(event.x < knob.rect.left ? value - quarter : value + quarter);
}

void CSliderBar::OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (message != platform::WM_KEYDOWN) return;
  const int key = static_cast<int>(wParam);
  if (key == platform::VK_LEFT)
    SetValue(value - arrowStep);
  else if (key == platform::VK_RIGHT)
    SetValue(value + arrowStep);
  else
    CControl::OnKey(window, message, wParam, lParam);
}

void CSliderBar::OnArrow(int arrowId) {
  if (ownerList) ownerList->SetFocus(this);
  ChangeValue(arrowId == 0 ? value - arrowStep : value + arrowStep);
}

void CSliderBar::OnKnobPressed() {
  if (ownerList) ownerList->SetFocus(this);
}

void CSliderBar::OnKnobMoved() {
  value = ValueAtKnob();
  if (onLeftClick) onLeftClick->Invoke(id);
}

CScrollBar::CScrollBar() : ValueBar(ScrollBarSprite(), 0) {}

int CScrollBar::Create(int controlId, const platform::Rect& area, CCallback* callback, int enabled) {
  return CreateBar(controlId, area, callback, enabled) ? 1 : 0;
}

void CScrollBar::OnMouse(int flags, CMouseEvent event) {
  const bool pressed = Pressed(flags, event);
  if (pressed) {
    if (ownerList) ownerList->SetFocus(this);
    RequestRedraw();
  }
  if (flags & (MF_LEFT_UP | MF_LEAVE)) dragging = 0;
  if (dragging) {
    // The knob's middle follows the pointer.
    const int height = knob.rect.bottom - knob.rect.top;
    const int top = std::max(std::min(event.y - height / 2, knobMaxPos), knobMinPos);
    knob.rect.bottom += top - knob.rect.top;
    knob.rect.top = top;
    value = ValueAtKnob();
    if (onLeftClick) onLeftClick->Invoke(id);
  } else if (pressed) {
    ChangeValue(event.y < knob.rect.top ? value - 1 : value + 1);
  }
}

void CScrollBar::OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (message != platform::WM_KEYDOWN) return;
  const int key = static_cast<int>(wParam);
  if (key == platform::VK_LEFT)
    ChangeValue(value - 1);
  else if (key == platform::VK_RIGHT)
    ChangeValue(value + 1);
  else
    CControl::OnKey(window, message, wParam, lParam);
}

void CScrollBar::OnArrow(int arrowId) { ChangeValue(arrowId == 0 ? value - 1 : value + 1); }

void CScrollBar::OnKnobPressed() { dragging = 1; }

void CScrollBar::OnKnobMoved() {
  dragging = 0;
  value = ValueAtKnob();
  if (onLeftClick) onLeftClick->Invoke(id);
}
