#include "ui/Control.h"

#include <algorithm>

#include "core/Main.h"
#include "graphics/Surface.h"
#include "platform/KeyState.h"
#include "sound/SoundManager.h"

namespace {
IControlHooks g_neutralControlHooks;
}  // namespace

constinit HookSlot<IControlHooks> g_controlHooks{&g_neutralControlHooks};

void IControlHooks::PlaySound(int soundId) {
  if (g_soundManager) g_soundManager->Play(soundId, 0, 0, nullptr, 0);
}

void ShowControlTooltip(int tooltipId) { g_controlHooks->ShowTooltip(tooltipId); }

void RestartTooltipTimer() { g_controlHooks->RestartTooltipTimer(); }

void PlayControlSound(int soundId) { g_controlHooks->PlaySound(soundId); }

void RequestRedraw() { g_noSkipThisFrame = 1; }

int CControl::IsTransparentAt(int x, int y) {
  if (!pixelTest || !surface) return 0;
  const int px = x - surface->x, py = y - surface->y;
  // A point beyond the surface has no pixel of the control.
  if (px < 0 || py < 0 || px >= surface->width || py >= surface->height) return 1;
  uint16_t* pixels = surface->Lock();
  if (!pixels) return 0;
  const uint16_t pixel = *reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                                      static_cast<size_t>(py) * surface->pitch + 2 * px);
  const uint16_t key = surface->GetColourKey();
  surface->Unlock(pixels);
  return pixel == key ? 1 : 0;
}

void CControl::GreyOut() {
  state = kStateGreyed;
  highlight = 2;
  Deactivate();
}

void CControl::Restore() {
  active = 1;
  state = kStateNormal;
  highlight = 0;
}

void CControl::SetPressed(int down) {
  if (down) {
    Press();
    return;
  }
  state = kStateNormal;
  if (onLeftClick) onLeftClick->Invoke(id);
}

void CControl::OnKey(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  if (message != platform::WM_KEYDOWN || !ownerList) return;
  const bool shift = platform::IsKeyDownNow(platform::kKeyShift);
  if ((wParam == static_cast<uintptr_t>(platform::VK_TAB) && !shift) ||
      wParam == static_cast<uintptr_t>(platform::VK_DOWN))
    ownerList->NextFocus();
  else if (wParam == static_cast<uintptr_t>(platform::VK_TAB) || wParam == static_cast<uintptr_t>(platform::VK_UP))
    ownerList->PrevFocus();
}

int CControl::Create(int controlId, const platform::Rect& area, CCallback* left, CCallback* right, int enabled) {
  onLeftClick = left;
  onRightClick = right;
  id = controlId;
  const int registered = Register(area, enabled);
  state = enabled ? kStateNormal : kStateDisabled;
  highlight = 0;
  return registered;
}

void CControl::SetCaption(const char* text) { caption = text ? text : ""; }

void CControl::Enable() {
  state = kStateNormal;
  if (highlight != 2) active = 1;
  Draw();
}

void CControl::Disable() {
  state = kStateDisabled;
  Deactivate();
}

void CControl::Press() {
  if (state == kStatePressed) return;
  PlayControlSound(clickSound);
  state = kStatePressed;
}

platform::Rect CControl::SurfaceRect() const {
  const int dx = surface ? surface->x : 0, dy = surface ? surface->y : 0;
  return platform::Rect{rect.left - dx, rect.top - dy, rect.right - dx, rect.bottom - dy};
}

void CControlList::Reserve(int n) {
  controls.clear();
  controls.reserve(static_cast<size_t>(std::max(n, 0)));
  focusIndex = 0;
}

void CControlList::Clear() {
  controls.clear();
  focusIndex = 0;
}

CControl* CControlList::Focused() const {
  if (focusIndex < 0 || focusIndex >= Count()) return nullptr;
  return controls[static_cast<size_t>(focusIndex)];
}

void CControlList::Add(CControl* control, int focus) {
  if (!control) return;
  controls.push_back(control);
  control->ownerList = this;
  if (focus) {
    control->Unhighlight();
    focusIndex = Count() - 1;
    control->Highlight();
  }
}

void CControlList::Remove(CControl* control) {
  if (CControl* focused = Focused()) focused->Unhighlight();
  auto found = std::find(controls.begin(), controls.end(), control);
  if (found != controls.end()) {
    (*found)->ownerList = nullptr;
    controls.erase(found);
  }
  focusIndex = 0;
}

void CControlList::SetFocus(CControl* control) {
  if (CControl* focused = Focused()) focused->Unhighlight();
  for (int i = 0; i < Count(); ++i) {
    if (controls[static_cast<size_t>(i)] != control) continue;
    control->Highlight();
    focusIndex = i;
  }
}

void CControlList::NextFocus() { MoveFocus(1); }
void CControlList::PrevFocus() { MoveFocus(-1); }

void CControlList::MoveFocus(int step) {
  const int count = Count();
  if (count == 0) return;
  if (CControl* focused = Focused()) focused->Unhighlight();
  auto stepOn = [&] { focusIndex = ((focusIndex + step) % count + count) % count; };
  stepOn();
  // Greyed, disabled and inactive controls are passed over; a list of nothing else keeps the
  // focus where the walk ends.
  for (int tries = 1; tries < count && !controls[static_cast<size_t>(focusIndex)]->CanTakeFocus(); ++tries) stepOn();
  controls[static_cast<size_t>(focusIndex)]->Highlight();
}
