#pragma once
// The mouse input queue and the cursor as the screen framework and the window procedure use
// them: the queue keeps the mouse messages for the window objects, dispatched once a frame;
// the cursor kind and the software cursor's saved background follow the screens. The cursor
// sheets, the software cursor's drawing and the window objects come with the controls.

#include <cstdint>

// A mouse message as the window procedure hands it over.
struct CMouseEvent {
  uintptr_t flags;
  int x;
  int y;
};

constexpr int kMouseQueueSize = 64;
constexpr int kCursorNormal = 16;
constexpr int kCursorNone = 22;

extern int g_cursorKind;
extern int g_mouseX;
extern int g_mouseY;

// Keeps a mouse message for the next dispatch; a full queue drops the oldest.
void QueueMouseEvent(uintptr_t flags, int x, int y);
// Takes the queued messages out in order; answers how many.
int TakeMouseEvents(CMouseEvent* out, int capacity);
int QueuedMouseEventCount();
// Reads the mouse position into g_mouseX, g_mouseY.
void PollMouse();
void SetCursorKind(int kind);
// The software cursor's saved background no longer matches the screen.
void ForgetCursorBackground();

// The software cursor's own work, filled by the cursor code when it exists: its timer tick,
// reading and freeing the cursors.
extern void (*g_loadCursors)();
extern void (*g_freeCursors)();
