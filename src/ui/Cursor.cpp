#include "ui/Cursor.h"

#include <deque>

#include "platform/Window.h"

int g_cursorKind = kCursorNormal;
int g_mouseX = 0;
int g_mouseY = 0;
void (*g_loadCursors)() = nullptr;
void (*g_freeCursors)() = nullptr;

namespace {
std::deque<CMouseEvent> g_mouseQueue;
}

void QueueMouseEvent(uintptr_t flags, int x, int y) {
  if (g_mouseQueue.size() >= static_cast<size_t>(kMouseQueueSize)) g_mouseQueue.pop_front();
  g_mouseQueue.push_back(CMouseEvent{flags, x, y});
  g_mouseX = x;
  g_mouseY = y;
}

int TakeMouseEvents(CMouseEvent* out, int capacity) {
  int taken = 0;
  while (taken < capacity && !g_mouseQueue.empty()) {
    out[taken++] = g_mouseQueue.front();
    g_mouseQueue.pop_front();
  }
  return taken;
}

int QueuedMouseEventCount() { return static_cast<int>(g_mouseQueue.size()); }

void PollMouse() { platform::GetMousePosition(g_mouseX, g_mouseY); }

void SetCursorKind(int kind) { g_cursorKind = kind; }

void ForgetCursorBackground() {}
