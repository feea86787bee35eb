#include "ui/Flatwin.h"

#include <algorithm>

#include "core/Preferences.h"
#include "graphics/BattleFacing.h"
#include "platform/KeyState.h"
#include "platform/Window.h"
#include "ui/Cursor.h"
#include "ui/Screen.h"

CFlatWin* g_windowTable[kMaxWindowObjects] = {};
int g_windowCount = 0;
int g_hoverIndex = -1;
uint8_t g_captureOn = 0;
int g_captureIndex = 0;
CMouseEvent g_mouseRing[kMouseRingSize];
int g_mouseReadIndex = 0;
int g_mouseWriteIndex = 0;
int g_mouseLatestIndex = 0;
std::atomic<int> g_pointerX{0};
std::atomic<int> g_pointerY{0};

namespace {

// The object whose callback runs; cleared when a callback unregisters it, so that the
// dispatcher never touches an object its own callback has destroyed.
CFlatWin* g_dispatchTarget = nullptr;

int NextRingIndex(int i) { return (i + 1) % kMouseRingSize; }

CFlatWin* FindObjectAt(int x, int y) {
  for (int i = g_windowCount - 1; i >= 0; --i) {
    CFlatWin* object = g_windowTable[i];
    if (object && object->active && object->Contains(x, y) && object->IsTransparentAt(x, y) == 0) return object;
  }
  return nullptr;
}

bool OnBattleScreen() { return Battle().BattleScreenIsCurrent(); }
bool BandRunning() { return BattleState().mouseMode == kMouseModeBand; }

void UpdateBand(const CMouseEvent& event, const CFlatWin& target) {
  CBattleSharedState& battle = BattleState();
  platform::Rect& band = battle.bandRect;
  int view[4];
  BattleViewRect(g_prefs.windowSize, g_prefs.isHighRes != 0, view);
  const int viewLeft = view[0], viewTop = view[1], viewRight = view[2], viewBottom = view[3];
  if (event.leftChanged && event.left) {
    battle.bandAnchorX = std::clamp(event.x, viewLeft, viewRight - 1);
    battle.bandAnchorY = std::clamp(event.y, viewTop, viewBottom - 1);
    band = platform::Rect{battle.bandAnchorX, battle.bandAnchorY, battle.bandAnchorX + 1, battle.bandAnchorY + 1};
  }
  if (event.x > battle.bandAnchorX) {
    band.left = battle.bandAnchorX;
    band.right = std::min(event.x + 1, viewRight);
  } else {
    band.left = std::max(event.x, viewLeft);
    band.right = battle.bandAnchorX;
  }
  if (event.y > battle.bandAnchorY) {
    band.top = battle.bandAnchorY;
    band.bottom = std::min(event.y + 1, viewBottom);
  } else {
    band.top = std::max(event.y, viewTop);
    band.bottom = battle.bandAnchorY;
  }
  if (target.index == 0 && event.moved && event.left && !BandRunning() &&
      (band.right - band.left > 8 || band.bottom - band.top > 8)) {
    Battle().StartBand();
    battle.mouseMode = kMouseModeBand;
  }
  if (BandRunning() && event.leftChanged && !event.left) Battle().EndBand(event.ctrl);
}

// The flag of a button that changed: a press takes the capture for a target that wants it, a
// release ends the capture.
int ButtonFlag(int changed, int held, int downFlag, int upFlag, const CFlatWin& target) {
  if (!changed) return 0;
  if (held) {
    if (target.capturesMouse) g_captureOn = 1;
    return downFlag;
  }
  g_captureOn = 0;
  return upFlag;
}

int FlagsFor(const CMouseEvent& event, const CFlatWin& target) {
  int flags = 0;
  if (g_hoverIndex != target.index)
    flags |= MF_ENTER;
  else if (event.moved)
    flags |= MF_MOVE;
  flags |= ButtonFlag(event.leftChanged, event.left, MF_LEFT_DOWN, MF_LEFT_UP, target);
  flags |= ButtonFlag(event.rightChanged, event.right, MF_RIGHT_DOWN, MF_RIGHT_UP, target);
  return flags;
}

CFlatWin* TargetOf(const CMouseEvent& event) {
  if (g_captureOn && g_captureIndex >= 0 && g_captureIndex < g_windowCount && g_windowTable[g_captureIndex])
    return g_windowTable[g_captureIndex];
  g_captureOn = 0;
  if (OnBattleScreen() && BandRunning()) return g_windowCount > 0 ? g_windowTable[0] : nullptr;
  return FindObjectAt(event.x, event.y);
}

// One event: false when no object took it, which ends this frame's dispatch.
bool DispatchOne(const CMouseEvent& event) {
  CFlatWin* target = TargetOf(event);
  if (!target) return false;
  if (g_cursorKind != kCursorNone) SetCursorKind(target->cursorKind);
  g_captureIndex = target->index;
  g_dispatchTarget = target;
  if (g_hoverIndex != -1 && g_hoverIndex != target->index && g_hoverIndex < g_windowCount) {
    g_windowTable[g_hoverIndex]->OnMouse(MF_LEAVE, event);
    if (!g_dispatchTarget) {
      g_hoverIndex = -1;
      return true;
    }
  }
  const bool battle = OnBattleScreen();
  if (battle) UpdateBand(event, *target);
  const int flags = FlagsFor(event, *target);
  if (flags != 0 && !(battle && BandRunning())) target->OnMouse(flags, event);
  g_hoverIndex = g_dispatchTarget ? g_dispatchTarget->index : -1;
  g_dispatchTarget = nullptr;
  return true;
}

}  // namespace

CFlatWin::~CFlatWin() {
  if (index >= 0 && index < g_windowCount && g_windowTable[index] == this) Unregister(index);
  index = -1;
}

int CFlatWin::IsTransparentAt(int, int) { return 0; }

int CFlatWin::Register(const platform::Rect& area, int isActive) {
  if (index >= 0 && index < g_windowCount && g_windowTable[index] == this) {
    rect = area;
    active = isActive;
    return 1;
  }
  if (g_windowCount >= kMaxWindowObjects) return 0;
  rect = area;
  active = isActive;
  g_windowTable[g_windowCount] = this;
  index = g_windowCount++;
  return 1;
}

void CFlatWin::Unregister(int at) {
  if (at < 0 || at >= g_windowCount) return;
  CFlatWin* removed = g_windowTable[at];
  if (g_hoverIndex == at) g_hoverIndex = -1;
  removed->active = 0;
  removed->index = -1;
  for (int i = at; i + 1 < g_windowCount; ++i) {
    g_windowTable[i] = g_windowTable[i + 1];
    g_windowTable[i]->index = i;
  }
  g_windowTable[--g_windowCount] = nullptr;
  if (g_hoverIndex > at) --g_hoverIndex;
  // The capture follows its object like the hover does; a removed captor ends the capture.
  if (g_captureIndex == at) {
    g_captureOn = 0;
    g_captureIndex = -1;
  } else if (g_captureIndex > at) {
    --g_captureIndex;
  }
  if (g_dispatchTarget == removed) g_dispatchTarget = nullptr;
}

void CFlatWin::Deactivate() {
  if (index != -1) {
    OnMouse(MF_LEAVE, LatestMouseEvent());
    if (g_hoverIndex == index) g_hoverIndex = -1;
  }
  active = 0;
}

void PollMouse() {
  CMouseEvent& first = g_mouseRing[0];
  first = CMouseEvent{};
  platform::GetMousePosition(first.x, first.y);
  first.left = platform::IsKeyDownNow(platform::kKeyLeftButton) ? 1 : 0;
  first.right = platform::IsKeyDownNow(platform::kKeyRightButton) ? 1 : 0;
  first.shift = platform::IsKeyDownNow(platform::kKeyShift) ? 1 : 0;
  first.ctrl = platform::IsKeyDownNow(platform::kKeyControl) ? 1 : 0;
  first.alt = platform::IsKeyDownNow(platform::kKeyAlt) ? 1 : 0;
  g_mouseReadIndex = 0;
  g_mouseLatestIndex = 0;
  g_mouseWriteIndex = 1;
  g_pointerX = first.x;
  g_pointerY = first.y;
  ForgetSavedCursorPosition();
}

void QueueMouseEvent(uintptr_t keyFlags, int x, int y) {
  const CMouseEvent& before = g_mouseRing[(g_mouseWriteIndex + kMouseRingSize - 1) % kMouseRingSize];
  CMouseEvent event;
  event.x = x & 0xFFFF;
  event.y = y & 0xFFFF;
  event.left = (keyFlags & platform::MK_LBUTTON) ? 1 : 0;
  event.right = (keyFlags & platform::MK_RBUTTON) ? 1 : 0;
  event.moved = (event.x != before.x || event.y != before.y) ? 1 : 0;
  event.leftChanged = event.left != before.left ? 1 : 0;
  event.rightChanged = event.right != before.right ? 1 : 0;
  event.shift = (keyFlags & platform::MK_SHIFT) ? 1 : 0;
  event.ctrl = (keyFlags & platform::MK_CONTROL) ? 1 : 0;
  event.alt = platform::IsKeyDownNow(platform::kKeyAlt) ? 1 : 0;
  g_mouseRing[g_mouseWriteIndex] = event;
  g_mouseLatestIndex = g_mouseWriteIndex;
  g_mouseWriteIndex = NextRingIndex(g_mouseWriteIndex);
  if (g_mouseWriteIndex == g_mouseReadIndex) g_mouseReadIndex = NextRingIndex(g_mouseReadIndex);
  g_pointerX = event.x;
  g_pointerY = event.y;
}

const CMouseEvent& LatestMouseEvent() { return g_mouseRing[g_mouseLatestIndex]; }

int PendingMouseEvents() { return (g_mouseWriteIndex - g_mouseReadIndex + kMouseRingSize) % kMouseRingSize; }

void DispatchMouseEvents() {
  if (PendingMouseEvents() == 0) {
    if (g_cursorKind == kCursorNone) return;
    const CMouseEvent& latest = LatestMouseEvent();
    if (CFlatWin* object = FindObjectAt(latest.x, latest.y)) SetCursorKind(object->cursorKind);
    return;
  }
  while (g_mouseReadIndex != g_mouseWriteIndex) {
    const CMouseEvent event = g_mouseRing[g_mouseReadIndex];
    g_mouseReadIndex = NextRingIndex(g_mouseReadIndex);
    if (!DispatchOne(event)) return;
  }
}

void ResetMouseInput() {
  while (g_windowCount > 0) g_windowTable[g_windowCount - 1]->Unregister(g_windowCount - 1);
  g_hoverIndex = -1;
  g_captureOn = 0;
  g_captureIndex = 0;
  for (CMouseEvent& event : g_mouseRing) event = CMouseEvent{};
  g_mouseReadIndex = g_mouseWriteIndex = g_mouseLatestIndex = 0;
  g_pointerX = 0;
  g_pointerY = 0;
  CBattleSharedState& battle = BattleState();
  battle.mouseMode = kMouseModeNone;
  battle.bandRect = platform::Rect{};
  battle.bandAnchorX = battle.bandAnchorY = 0;
}
