#include "battle/ProgressBar.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "graphics/Display.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

CProgressBar g_progressBar;

namespace {

constexpr const char* kArtFolder = "interface\\ProgressIndicator\\";

void LoadOrEnd(CSurface& surface, const std::string& path) {
  if (surface.LoadJpeg(path.c_str())) return;
  platform::ShowMessageBox("Could not load " + path, "INITIALISATION ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

}  // namespace

std::string CProgressBar::DesaturatedPath(const std::string& mapName) {
  return kArtFolder + mapName + " Progress Bar Desaturated.JPG";
}

std::string CProgressBar::ColourPath(const std::string& mapName) { return kArtFolder + mapName + " Progress Bar.JPG"; }

void CProgressBar::Start(int x, int y, int stepCount) {
  mapName_ = g_realmName;
  CreatePanelSurface(picture, kWidth, kHeight, x, y);
  CreatePanelSurface(colour, kWidth, kHeight, x, y);
  LoadArt();
  fillEnd = 0;
  stepsDone = 0;
  // A bar of no steps fills at its first.
  steps = std::max(stepCount, 1);
  stepWidth = kWidth / steps;
  picture.restorer = this;
  colour.restorer = this;
}

void CProgressBar::LoadArt() {
  if (!picture.IsCreated() || !colour.IsCreated()) return;
  LoadOrEnd(picture, DesaturatedPath(mapName_));
  LoadOrEnd(colour, ColourPath(mapName_));
}

void CProgressBar::RestoreSurface(int) {
  LoadArt();
  // What was filled before the loss is filled again.
  if (fillEnd > 0) {
    const platform::Rect filled{0, 0, fillEnd, kHeight};
    colour.BlitRectTo(&picture, &filled, 0, 0);
  }
}

void CProgressBar::Step() {
  if (!picture.IsCreated() || !colour.IsCreated()) return;
  ++stepsDone;
  if (stepsDone > steps) return;
  if (stepsDone == steps)
    fillEnd = kWidth;
  else
    fillEnd = std::min(fillEnd + stepWidth, kWidth);
  // A bar one pixel short of the end is full.
  if (fillEnd == kWidth - 1) fillEnd = kWidth;
  Present();
}

void CProgressBar::Present() {
  const platform::Rect filled{0, 0, fillEnd, kHeight};
  colour.BlitRectTo(&picture, &filled, 0, 0);
  picture.BlitTo(&g_primary, picture.x, picture.y);
  PresentDisplay();
}

void CProgressBar::Release() {
  picture.restorer = nullptr;
  colour.restorer = nullptr;
  picture.Release();
  colour.Release();
}
