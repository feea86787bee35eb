#include "battle/ControlLimitPanel.h"

#include <cstdio>

#include "core/Preferences.h"
#include "graphics/Font.h"
#include "ui/ControlArt.h"
#include "ui/SharedArt.h"

CControlLimitPanel g_controlLimitPanel;

void CControlLimitPanel::Load() {
  const int x = g_prefs.isHighRes ? 714 : 554, y = g_prefs.isHighRes ? 442 : 322;
  if (!CreatePanelSurface(surface, kControlLimitWidth, kControlLimitHeight, x, y)) return;
  if (!restore_)
    restore_ = std::make_unique<CPanelRestoreCallback>([this, x, y] {
      ClearPanelSurface(surface);
      surface.x = x;
      surface.y = y;
      Repaint();
    });
  surface.restorer = restore_.get();
  Repaint();
}

void CControlLimitPanel::Release() {
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
}

void CControlLimitPanel::SetValue(int count) {
  if (count == value_) return;
  value_ = count;
  Repaint();
}

void CControlLimitPanel::SetLimit(int limit) {
  if (limit == limit_) return;
  limit_ = limit;
  Repaint();
}

void CControlLimitPanel::Repaint() {
  if (!surface.IsCreated()) return;
  ClearPanelSurface(surface);
  surface.LoadBitmap("bitmaps\\Control Limit.bmp");
  char text[32];
  std::snprintf(text, sizeof text, "%i/%i", value_, limit_);
  SurfacePrinting printing(&surface);
  if (!printing || !g_smallFont.IsLoaded()) return;
  g_smallFont.PrintText(text, {0, 0, kControlLimitWidth, kControlLimitHeight}, 255, 255, 255,
                        kTextCentre | kTextCentreVertically);
  RequestPanelRedraw();
}
