#include "battle/PanelButton.h"

#include <algorithm>
#include <cstdio>

#include "battle/InterfacePanel.h"
#include "core/Preferences.h"
#include "graphics/Sprite.h"
#include "ui/ControlArt.h"

const CSprite* g_panelBadgeSprite = nullptr;

namespace {

// How far the painted area reaches beyond the button's rectangle.
constexpr int kReachLeft = 4;
constexpr int kReachRight = 5;
constexpr int kReachBelow = 4;
// The saved background: 4 pixels to each side and 4 below.
constexpr int kSavedSides = 4;
constexpr int kSavedBelow = 4;

void PrintIfAny(const CSprite* sprite, int frame, int x, int y, bool grey) {
  if (frame >= 0) PrintControlFrame(sprite, frame, x, y, grey);
}

platform::Rect CutToSurface(platform::Rect r, const CSurface* surface) {
  if (!surface) return platform::Rect{};
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, surface->width);
  r.bottom = std::min(r.bottom, surface->height);
  return r;
}

}  // namespace

CPanelButton::CPanelButton() { pixelTest = 1; }

void CPanelButton::SetStateFrames(int normal, int pressed, int hidden, int greyed) {
  stateFrames[0] = normal;
  stateFrames[1] = pressed;
  stateFrames[2] = hidden;
  stateFrames[3] = greyed;
}

void CPanelButton::SetOverlayFrames(int level0, int level1, int level2) {
  overlayFrames[0] = level0;
  overlayFrames[1] = level1;
  overlayFrames[2] = level2;
}

platform::Rect CPanelButton::PaintRect() const {
  const platform::Rect at = SurfaceRect();
  return CutToSurface({at.left - kReachLeft, at.top, at.right + kReachRight, at.bottom + kReachBelow}, surface);
}

void CPanelButton::Draw() {
  if (state == kPanelGreyed) return;
  SurfacePrinting printing(surface, PaintRect());
  if (!printing) return;
  const platform::Rect at = SurfaceRect();
  const int x = at.left, y = at.top;
  RequestPanelRedraw();
  if (highlight == kPanelInactive) {
    PrintIfAny(frameSprite, stateFrames[kPanelNormal], x, y, true);
    PrintIfAny(frameSprite, overlayFrames[0], x, y, true);
    return;
  }
  const int stateFrame = state >= 0 && state < 4 ? stateFrames[state] : -1;
  PrintIfAny(frameSprite, stateFrame != -1 ? stateFrame : stateFrames[kPanelNormal], x, y, false);
  if (highlight == kPanelSelected) {
    PrintIfAny(frameSprite, overlayFrames[1], x, y, false);
    PrintIfAny(frameSprite, overlayFrames[0], x, y, false);
  } else {
    const int level = highlight >= 0 && highlight < 3 ? overlayFrames[highlight] : -1;
    PrintIfAny(frameSprite, level != -1 ? level : overlayFrames[0], x, y, false);
  }
  if (m_count > 1) PrintBadge(x, y);
}

void CPanelButton::PrintBadge(int x, int y) const {
  if (!g_panelBadgeSprite) return;
  char digits[16];
  const int length = std::snprintf(digits, sizeof digits, "%d", m_count);
  for (int i = 0; i < length; ++i) PrintControlFrame(g_panelBadgeSprite, digits[i] - 32, x + 15 + 5 * i, y + 5);
}

void CPanelButton::Erase() {
  if (!surface || !surface->IsCreated()) return;
  if (backgroundSaved && background.IsCreated()) {
    background.BlitTo(surface, savedAt_.left, savedAt_.top);
    return;
  }
  const platform::Rect r = PaintRect();
  surface->FillRect(&r, g_prefs.transparentBlits ? surface->GetColourKey() : 0);
}

void CPanelButton::Unhighlight() {
  highlight = kPanelPlain;
  Erase();
  Draw();
}

void CPanelButton::Hide() {
  state = kPanelHidden;
  Deactivate();
}

void CPanelButton::Show() {
  state = kPanelNormal;
  if (highlight != kPanelInactive) active = 1;
}

void CPanelButton::SaveBackground() {
  if (!surface || !surface->IsCreated()) return;
  const platform::Rect at = SurfaceRect();
  savedAt_ = CutToSurface({at.left - kSavedSides, at.top, at.right + kSavedSides, at.bottom + kSavedBelow}, surface);
  const int width = savedAt_.right - savedAt_.left, height = savedAt_.bottom - savedAt_.top;
  if (width <= 0 || height <= 0) return;
  // A button moved or resized since the last save needs a copy of its new size.
  if (background.IsCreated() && (background.width != width || background.height != height)) background.Release();
  if (!CreatePanelSurface(background, width, height, 0, 0)) return;
  CopyPanelRect(*surface, savedAt_, background, 0, 0, false);
  backgroundSaved = 1;
}

void CPanelButton::FreeBackground() {
  background.Release();
  backgroundSaved = 0;
}
