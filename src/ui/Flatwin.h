#pragma once
// Window objects and the mouse input. Every mouse message the window procedure receives is
// appended to a ring of 32 events; once a frame the current screen dispatches the ring to
// the window objects (controls, the map view, panels): each event goes to the topmost active
// object under its point (or to the object holding the capture), with flags saying whether
// the pointer entered, moved, or pressed or released a button. The table of objects holds at
// most 400, later registrations on top. Main thread only, but for the pointer position,
// which the software cursor's timer reads.

#include <atomic>
#include <cstdint>

#include "platform/Display.h"

// One entry of the mouse ring.
struct CMouseEvent {
  int x = 0;  // client pixels, unsigned 16-bit values of the message
  int y = 0;
  int moved = 0;  // x or y differs from the entry written before
  int left = 0;   // buttons held
  int right = 0;
  int leftChanged = 0;  // the button differs from the entry written before
  int rightChanged = 0;
  int shift = 0;
  int ctrl = 0;
  int alt = 0;
};

// Flags passed to CFlatWin::OnMouse.
enum MouseFlags : int {
  MF_LEFT_DOWN = 0x01,
  MF_LEFT_UP = 0x02,
  MF_RIGHT_DOWN = 0x04,
  MF_RIGHT_UP = 0x08,
  MF_MOVE = 0x10,   // moved over the object already hovered
  MF_ENTER = 0x20,  // the pointer is over another object than before
  MF_LEAVE = 0x40,  // sent alone, to the object that loses the hover
};

class CFlatWin {
 public:
  CFlatWin() = default;
  // Unregisters the object.
  virtual ~CFlatWin();
  CFlatWin(const CFlatWin&) = delete;
  CFlatWin& operator=(const CFlatWin&) = delete;

  // The input callback.
  virtual void OnMouse(int flags, CMouseEvent event) = 0;
  // Nonzero when the point, though inside rect, does not belong to the object, so that the
  // search goes on below it.
  virtual int IsTransparentAt(int x, int y);
  // Copies the rectangle, stores active and appends the object on top of the table; 0 (and
  // nothing changes) when 400 objects are registered. An object already registered keeps its
  // place and takes the new rectangle.
  virtual int Register(const platform::Rect& area, int isActive);

  // Takes the object at table position `at` out (nothing for -1).
  void Unregister(int at);
  // Sends the object MF_LEAVE, drops the hover from it and stops its input; it keeps its place.
  void Deactivate();
  void SetCursorKind(int kind) { cursorKind = kind; }
  bool Contains(int px, int py) const {
    return px >= rect.left && px < rect.right && py >= rect.top && py < rect.bottom;
  }

  int index = -1;  // position in the table, -1 when not registered
  int active = 0;
  int cursorKind = 16;
  uint8_t capturesMouse = 1;
  platform::Rect rect{};
};

constexpr int kMaxWindowObjects = 400;
constexpr int kMouseRingSize = 32;

extern CFlatWin* g_windowTable[kMaxWindowObjects];
extern int g_windowCount;
extern int g_hoverIndex;
extern uint8_t g_captureOn;
extern int g_captureIndex;
extern CMouseEvent g_mouseRing[kMouseRingSize];
extern int g_mouseReadIndex;
extern int g_mouseWriteIndex;
extern int g_mouseLatestIndex;
// The pointer as the latest event left it, for the software cursor's timer thread.
extern std::atomic<int> g_pointerX;
extern std::atomic<int> g_pointerY;

// Called when the main window is created: the ring's first entry from the pointer and the
// buttons as they are, dispatched first.
void PollMouse();
// Appends a mouse message (its key flags and the low and high words of its lParam); a full
// ring drops its oldest event.
void QueueMouseEvent(uintptr_t keyFlags, int x, int y);
const CMouseEvent& LatestMouseEvent();
int PendingMouseEvents();
// Once a frame: hands the queued events to the window objects.
void DispatchMouseEvents();
// Empties the table, the ring, the hover and the capture, and clears the battle's mouse mode
// and band selection (tests, and a new run of the game).
void ResetMouseInput();
// On the battle screen the dispatcher also drags the battle's band selection: the mouse mode,
// band rectangle and anchor it keeps are the battle's (graphics/BattleFacing.h), and what
// starting and ending a band does to the creatures is the battle's too.
