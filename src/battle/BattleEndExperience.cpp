// The Experience Processing screen after a battle.
#include "battle/BattleEndExperience.h"

#include <cstdio>

#include "battle/BattleKnowledge.h"
#include "battle/ProgressBar.h"
#include "core/ErrorBox.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "ui/Cursor.h"
#include "ui/MenuScreen.h"
#include "ui/WidgetControls.h"

namespace {

void ShowPicture() {
  char stem[256] = {};
  ReadScreenGlobal("BackgroundFile", kExperienceLayout, stem);
  char path[512];
  std::snprintf(path, sizeof path, "Interface\\ExperienceProcessing\\%dx%d\\%s %d-%d.JPG", ScreenWidth(),
                ScreenHeight(), stem, ScreenWidth(), ScreenHeight());
  CSurface picture;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  picture.Create(&desc);
  if (!picture.LoadJpeg(path)) ShowFileLoadError(path);
  if (g_backBuffer.IsCreated()) picture.BlitTo(&g_backBuffer, 0, 0);
  CWidgetConfig caption;
  LoadWidgetConfig(kExperienceLayout, &caption, kWidgetText, 1);
  MakeWidgetLabel(caption).Draw();
  ForgetCursorBackground();
  PresentWorkSurface();
}

}  // namespace

void RunExperienceProcessing() {
  g_brain.FlushExperience();
  if (!g_brain.Learning() || !g_brain.ExperienceFileExists()) return;
  ShowPicture();
  const bool highRes = ScreenWidth() == 800;
  g_progressBar.Start(highRes ? 101 : 21, highRes ? 564 : 444, kExperienceSteps);
  DigestExperience([] { g_progressBar.Step(); });
  g_progressBar.Release();
}
