#include "battle/TimerPanel.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/ControlArt.h"

CTimerPanel g_timerPanel;

namespace {
constexpr int kKeyTolerance = 20;
}  // namespace

int CTimerPanel::DialFrame(int total, int current) {
  const int frame = static_cast<int>((int64_t{total} - current) * kTimerDialFrames / total);
  return std::clamp(frame, 0, kTimerDialFrames - 1);
}

void CTimerPanel::Load() {
  const int x = g_prefs.isHighRes ? 704 : 544, y = g_prefs.isHighRes ? 422 : 302;
  const bool created = surface.IsCreated();
  if (!CreatePanelSurface(surface, kTimerSize, kTimerSize, x, y)) return;
  x_ = x;
  y_ = y;
  if (!created) ClearPanelSurface(surface);
  if (!restore_)
    restore_ = std::make_unique<CPanelRestoreCallback>([this] {
      ClearPanelSurface(surface);
      surface.x = x_;
      surface.y = y_;
      LoadBackground();
      lastFrame_ = -1;
      Repaint();
    });
  surface.restorer = restore_.get();
  if (dial.IsLoaded() || dial.Load("sprites\\timer.spr", 2)) return;
  platform::ShowMessageBox("Could not load timer.spr", "INITIALISATION ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

void CTimerPanel::Release() {
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
  dial.Free();
}

void CTimerPanel::LoadBackground() {
  if (!surface.IsCreated()) return;
  if (!surface.LoadJpeg("bitmaps\\timer background.jpg")) {
    platform::ShowMessageBox("Could not load timer background", "INITIALISATION ERROR", WarningBoxFlags());
    return;
  }
  surface.SnapToColourKey(0, 0, 255, kKeyTolerance);
}

void CTimerPanel::Start(int total) {
  total_ = current_ = total;
  lastFrame_ = -1;
  LoadBackground();
  Repaint();
}

void CTimerPanel::SetTime(int value) {
  if (value == current_) return;
  if (total_ < current_) total_ = current_;
  current_ = value;
  Repaint();
}

void CTimerPanel::SetPosition(int x, int y) {
  x_ = x;
  y_ = y;
  surface.x = x;
  surface.y = y;
}

void CTimerPanel::Repaint() {
  if (total_ == 0) return;
  const int frame = DialFrame(total_, current_);
  if (frame == lastFrame_) return;
  SurfacePrinting printing(&surface, {0, 0, kTimerSize, kTimerSize});
  if (!printing) return;
  PrintControlFrame(&dial, frame, 0, 0);
  lastFrame_ = frame;
  RequestPanelRedraw();
}
