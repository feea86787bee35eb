#include "ui/SpeechCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "core/Options.h"
#include "core/Preferences.h"

ISpeechCamera* g_speechCamera = nullptr;
namespace {
ISpeechBattle g_neutralSpeechBattle;
}  // namespace
ISpeechBattle* g_speechBattle = &g_neutralSpeechBattle;
CSpeechCtrl g_speechCtrl;

namespace {

bool HighRes() { return g_prefs.isHighRes != 0; }
int Level(int dialogSpeed) { return std::clamp(dialogSpeed, 0, 2); }

// The screen point a speaker is brought to: the middle, or higher up over a reduced view.
void ScreenCentre(int& x, int& y) {
  x = HighRes() ? 400 : 320;
  if (g_prefs.windowSize != 0)
    y = HighRes() ? 230 : 170;
  else
    y = HighRes() ? 300 : 240;
}

int WrapUnits(int v, int span) {
  if (span <= 0) return v;
  v %= span;
  return v < 0 ? v + span : v;
}

int WrappedDistance(int from, int to, int span) {
  int d = to - from;
  if (span > 0) {
    d %= span;
    if (d < 0) d += span;
    if (d > span / 2) d -= span;
  }
  return std::abs(d);
}

// The speaker's screen point P is near enough the camera point's K when a box placed at
// the speaker would be seen.
bool NearEnough(int px, int py, int kx, int ky) {
  if (std::abs(px - kx) >= (HighRes() ? 368 : 288)) return false;
  if (g_prefs.windowSize != 0) return std::abs(py - ky) < (HighRes() ? 198 : 138);
  if (py > ky) return py - ky < (HighRes() ? 128 : 68);
  return ky - py < (HighRes() ? 268 : 208);
}

bool InSafeWindow(int x, int y) {
  if (HighRes()) return x >= 32 && x < 768 && y >= 32 && y < 428;
  return x >= 32 && x < 608 && y >= 32 && y < 308;
}

}  // namespace

int SpeechStartSpeed(int dialogSpeed) { return g_speechStartSpeed[Level(dialogSpeed)]; }
int SpeechSpeedStep(int dialogSpeed) { return g_speechAccelSpeed[Level(dialogSpeed)]; }
int SpeechMaxSpeed(int dialogSpeed) { return g_speechMaxSpeed[Level(dialogSpeed)]; }

void CSpeechCtrl::RegisterFullScreen() {
  Register(platform::Rect{0, 0, HighRes() ? 800 : 640, HighRes() ? 600 : 480}, 1);
}

void CSpeechCtrl::StartGlide(int x, int y, int z) {
  targetX = x;
  targetY = y;
  targetZ = z;
  stepsLeft = g_speechCamera ? g_speechCamera->StartLine(cameraX, cameraY, cameraZ, x, y, z) : 0;
  speed = SpeechStartSpeed(g_prefs.dialogSpeed);
  beenInTargetCell = false;
}

void CSpeechCtrl::Say(const SpeechRequest& said, bool hideInterface, bool rememberOrigin) {
  if (waiting) return;
  if (hideInterface) {
    g_speechBattle->HideInterface(-1);
    if (!active) RegisterFullScreen();
  } else if (active) {
    g_speechBattle->RestoreInterface();
  } else {
    RegisterFullScreen();
  }
  interfaceHidden = hideInterface;
  g_speechBattle->Pause();
  request = said;
  active = true;
  returning = false;
  dismissed = false;
  box.reset();
  boxCountdown = 2;

  int tileX = 0, tileY = 0, level = 0;
  if (g_speechCamera) g_speechCamera->CameraTile(tileX, tileY, level);
  cameraX = tileX * 32;
  cameraY = tileY * 32;
  cameraZ = level * 16;
  ScreenCentre(anchorX, anchorY);
  const bool speaker = said.x != -1 && said.y != -1 && said.level != -1;
  if (!speaker || !g_speechCamera) {
    targetX = cameraX, targetY = cameraY, targetZ = cameraZ;
    stepsLeft = 0;
  } else {
    StartGlide(said.x, said.y, said.level);
    if (!said.fixedBox) {
      int px = 0, py = 0, kx = 0, ky = 0;
      g_speechCamera->ProjectToScreen(said.x, said.y, said.level, px, py);
      g_speechCamera->ProjectToScreen(cameraX, cameraY, cameraZ, kx, ky);
      if (InSafeWindow(px, py)) {
        // The speaker is in sight already: the camera stays and the box goes at the speaker.
        targetX = cameraX, targetY = cameraY, targetZ = cameraZ;
        stepsLeft = 0;
        anchorX = px;
        anchorY = py;
      } else {
        // The first point of the way toward the speaker from which the speaker would be in
        // sight becomes the camera's goal.
        const int spanX = 32 * g_speechCamera->MapWidthTiles(), spanY = 32 * g_speechCamera->MapHeightTiles();
        int x = cameraX, y = cameraY, z = cameraZ;
        for (int n = stepsLeft; n > 0 && !NearEnough(px, py, kx, ky); --n) {
          g_speechCamera->StepLine(x, y, z);
          x = WrapUnits(x, spanX);
          y = WrapUnits(y, spanY);
          g_speechCamera->ProjectToScreen(x, y, z, kx, ky);
        }
        StartGlide(x, y, z);
        int cx = 0, cy = 0;
        ScreenCentre(cx, cy);
        anchorX = px - kx + cx;
        anchorY = py - ky + cy;
      }
    }
  }
  if (rememberOrigin && originX == -1) {
    originX = cameraX;
    originY = cameraY;
    originZ = cameraZ;
  }
  ticks = 0;
}

void CSpeechCtrl::ReturnCamera() {
  if (!active) return;
  returning = true;
  waiting = false;
  box.reset();
  if (originX != -1) {
    StartGlide(originX, originY, originZ);
    originX = originY = originZ = -1;
  }
}

void CSpeechCtrl::Tick() {
  if (!active) return;
  ++ticks;
  if (AtTarget()) {
    if (returning) {
      EndSpeech();
      g_speechBattle->Resume();
    } else if (!box) {
      // A dismissed box stays down: the script answers in a later frame, with a following
      // speech or by sending the camera back.
      if (!dismissed && --boxCountdown <= 0) ShowBox();
    } else {
      waiting = true;
    }
    return;
  }
  Glide();
  AdaptSpeed();
}

void CSpeechCtrl::Glide() {
  if (!g_speechCamera) {
    cameraX = targetX, cameraY = targetY, cameraZ = targetZ;
    return;
  }
  const int spanX = 32 * g_speechCamera->MapWidthTiles(), spanY = 32 * g_speechCamera->MapHeightTiles();
  for (int n = 0; n < speed; ++n) {
    if (stepsLeft <= 0) {
      // The line is walked: whatever rounding is left, the camera is at its goal.
      cameraX = targetX, cameraY = targetY, cameraZ = targetZ;
    } else {
      g_speechCamera->StepLine(cameraX, cameraY, cameraZ);
      cameraX = WrapUnits(cameraX, spanX);
      cameraY = WrapUnits(cameraY, spanY);
      --stepsLeft;
    }
    g_speechCamera->MoveCamera(cameraX, cameraY, cameraZ);
    if (AtTarget()) break;
    const bool inTargetCell = cameraX / 32 == targetX / 32 && cameraY / 32 == targetY / 32;
    if (inTargetCell) {
      beenInTargetCell = true;
    } else if (beenInTargetCell) {
      // Past the goal: it is where the camera stops.
      cameraX = targetX, cameraY = targetY, cameraZ = targetZ;
      g_speechCamera->MoveCamera(cameraX, cameraY, cameraZ);
      break;
    }
  }
}

void CSpeechCtrl::AdaptSpeed() {
  const int spanX = g_speechCamera ? 32 * g_speechCamera->MapWidthTiles() : 0;
  const int spanY = g_speechCamera ? 32 * g_speechCamera->MapHeightTiles() : 0;
  const int dx = WrappedDistance(cameraX, targetX, spanX), dy = WrappedDistance(cameraY, targetY, spanY);
  const int start = SpeechStartSpeed(g_prefs.dialogSpeed), step = SpeechSpeedStep(g_prefs.dialogSpeed);
  if (dx < 8 * speed && dy < 8 * speed)
    speed = std::max(speed - step, start);
  else
    speed = std::min(speed + step, SpeechMaxSpeed(g_prefs.dialogSpeed));
}

void CSpeechCtrl::ShowBox() {
  // The box stands at the anchor worked out when the speech began.
  box = std::make_unique<CSpeechBox>();
  if (!box->Show(request, anchorX, anchorY)) {
    // No box can be built for this request (its number has no layout): the speech is over as
    // if its box had been clicked, so that the script and the battle go on.
    box.reset();
    if (request.callback) request.callback->OnSpeechDone(request.argument);
    if (!returning) ReturnCamera();
    return;
  }
  if (!interfaceHidden) Unregister(index);
}

void CSpeechCtrl::Dismiss() {
  box.reset();
  waiting = false;
  dismissed = true;
  if (request.callback) request.callback->OnSpeechDone(request.argument);
}

void CSpeechCtrl::OnMouse(int flags, CMouseEvent event) {
  if (!active || ticks < 6) return;
  if (waiting) {
    if ((flags & (MF_LEFT_DOWN | MF_RIGHT_DOWN)) || ((flags & MF_ENTER) && event.left)) Dismiss();
    return;
  }
  if (!box && (flags & MF_RIGHT_DOWN)) {
    cameraX = targetX, cameraY = targetY, cameraZ = targetZ;
    stepsLeft = 0;
    ApplyCamera();
  }
}

void CSpeechCtrl::ApplyCamera() {
  if (g_speechCamera) g_speechCamera->MoveCamera(cameraX, cameraY, cameraZ);
}

void CSpeechCtrl::Draw(CSurface* target) {
  if (box && box->IsShown()) box->Draw(target);
}

void CSpeechCtrl::EndSpeech() {
  box.reset();
  active = returning = waiting = dismissed = false;
  if (interfaceHidden) g_speechBattle->RestoreInterface();
  interfaceHidden = false;
  originX = originY = originZ = -1;
  Unregister(index);
}

void CSpeechCtrl::Clear() {
  EndSpeech();
  request = SpeechRequest{};
  FreeSpeechBoxConfig();
}
