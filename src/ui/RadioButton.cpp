#include "ui/RadioButton.h"

#include <algorithm>

#include "graphics/Font.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"

SharedControlSprite& RadioButtonSprite() {
  static SharedControlSprite shared("sprites\\radiobuttons.spr");
  return shared;
}

void CRadioGroup::Reserve(int n) {
  for (CRadioButton* button : buttons)
    if (button->group == this) button->group = nullptr;
  buttons.clear();
  selected = 0;
  capacity = std::max(n, 0);
  buttons.reserve(static_cast<size_t>(capacity));
}

bool CRadioGroup::Add(CRadioButton* button) {
  if (!button || Count() >= capacity) return false;
  buttons.push_back(button);
  button->group = this;
  return true;
}

void CRadioGroup::Select(CRadioButton* button, bool sound) {
  const auto found = std::find(buttons.begin(), buttons.end(), button);
  if (found == buttons.end()) return;
  const bool already = button->Selected();
  if (selected >= 0 && selected < Count()) buttons[static_cast<size_t>(selected)]->state = kStateNormal;
  selected = static_cast<int>(found - buttons.begin());
  button->state = kStatePressed;
  if (sound && !already) PlayControlSound(button->clickSound);
}

CRadioButton::~CRadioButton() {
  if (group) {
    auto& members = group->buttons;
    members.erase(std::remove(members.begin(), members.end(), this), members.end());
    group->selected = std::min(group->selected, std::max(group->Count() - 1, 0));
  }
  if (hasSprite_) RadioButtonSprite().Release();
}

int CRadioButton::Create(int controlId, const platform::Rect& area) {
  id = controlId;
  const int registered = Register(area, 0);
  state = kStateNormal;
  if (!hasSprite_) {
    frameSprite = RadioButtonSprite().Acquire();
    hasSprite_ = true;
  }
  SetFrames(kUnselected, kSelected, -1);
  return registered;
}

void CRadioButton::SelectInGroup(bool sound) {
  if (group) group->Select(this, sound);
}

void CRadioButton::SetPressed(int down) {
  if (!down) SelectInGroup(true);
}

void CRadioButton::OnMouse(int flags, CMouseEvent event) {
  const bool enterHeld = (flags & MF_ENTER) && event.left;
  if ((flags & (MF_LEFT_DOWN | MF_RIGHT_DOWN)) || enterHeld) {
    if (ownerList) ownerList->SetFocus(this);
    RequestRedraw();
    RestartTooltipTimer();
    SelectInGroup(true);
  }
  if ((flags & MF_ENTER) && tooltipId != -1) ShowControlTooltip(tooltipId);
  if (flags & MF_LEAVE) RestartTooltipTimer();
}

void CRadioButton::Draw() {
  if (state == kStateDisabled || !surface) return;
  const platform::Rect at = SurfaceRect();
  SurfacePrinting printing(surface);
  if (!printing) return;
  const int imageWidth = ControlFrameWidth(frameSprite, kSelected);
  const int imageHeight = ControlFrameHeight(frameSprite, kSelected);
  if (font && !caption.empty()) {
    const int shade = state == kStateGreyed ? 64 : 0;
    font->PrintText(caption.c_str(), TextRect{at.left + imageWidth, at.top, at.right, at.bottom}, shade, shade, shade,
                    kTextLeft | kTextCentreVertically);
  }
  const int top = at.top + (at.bottom - at.top - imageHeight) / 2;
  const int forState = state == kStatePressed ? pressedFrame : normalFrame;
  if (highlight == 1)
    PrintControlFrame(frameSprite, forState + 2, at.left, top);
  else if (state == kStateGreyed)
    PrintControlFrame(frameSprite, greyFrame != -1 ? greyFrame : normalFrame, at.left, top, greyFrame == -1);
  else
    PrintControlFrame(frameSprite, forState, at.left, top);
}
