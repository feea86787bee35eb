#pragma once
// The mouse pointer. Its kind (0..22: 16 the normal pointer, 22 none) follows the screens,
// the window objects under the pointer and the battle map. It is shown either as a system
// pointer made from the cursor art, or, with the software cursor, drawn by the game itself
// from a sheet of 40 x 40 cells: once a frame into the composed frame, and between frames
// straight onto the primary surface from the cursor timer's thread every 20 ms.
//
// Threads: the timer's tick takes the start-up mutex (10 ms at most), then g_cursorMutex.
// g_cursorMutex guards the save-under surface, the saved rectangle and position, the frame
// and cell of the animation, the cursor definitions and the primary surface's pixels while
// the cursor or a frame is put on it; the main thread holds it while it presents a frame.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "graphics/Surface.h"

constexpr int kCursorKindsWithArt = 22;  // kinds 0..21
constexpr int kCursorNormal = 16;
constexpr int kCursorNone = 22;
constexpr int kCursorCell = 40;
constexpr int kMaxCursorFrames = 12;

// One kind's art in cfg\cursors.cfg.
struct CCursorDef {
  int hotspotX = 0;  // 0..40
  int hotspotY = 0;
  int frameCount = 0;  // 0..12
  int frames[kMaxCursorFrames] = {};
  int delay = 0;  // 0..1000 ticks of the cursor timer
};

extern std::atomic<int> g_cursorKind;
extern CCursorDef g_cursorDefs[kCursorKindsWithArt];
extern int g_cursorBitmapWidth;
extern int g_cursorBitmapHeight;
extern CSurface g_cursorSheet;
extern CSurface g_cursorSaveUnder;
extern std::timed_mutex g_cursorMutex;
// Cleared while the main thread draws the cursor into the frame and presents it.
extern std::atomic<bool> g_cursorTimerMayDraw;
extern std::atomic<int> g_cursorBackgroundSaved;
extern std::atomic<int> g_cursorCountdown;  // timer ticks until the next animation frame

// Selects the pointer; nothing for the current kind or one outside 0..22. With the software
// cursor a change that cannot take the cursor mutex within 10 ms is skipped.
void SetCursorKind(int kind);
// The saved background no longer belongs to the screen (every screen change).
void ForgetCursorBackground();
// Puts the saved background back onto the work surface (a menu screen's Enter).
void RestoreCursorBackground();
// Draws the software cursor into the work surface, saving what lies under it.
void DrawSoftwareCursor();
// The cursor timer's work, every 20 ms on the timer's thread.
void CursorTimerTick();
// The timer callback the front-end root gives its cursor timer: CursorTimerTick and nothing else.
void CursorTimerCallback(uint32_t timerId, uint32_t message, uintptr_t user, uintptr_t reserved1, uintptr_t reserved2);
// Reads cfg\cursors.cfg and bitmaps\cursors.bmp into the definitions and the sheet; 1. A
// cursor picture that cannot be read ends the program through the file-load error.
int LoadCursorsCfg();
// Releases the cursor surfaces and the system pointers made from the art.
void FreeCursors();
// Draws the cursor bitmap into the sheet again after the sheet was lost.
void ReloadCursorSheet();
// The present of a menu frame: the whole work surface onto the primary surface.
void PresentWorkSurface();
// Shows the primary surface in the window.
void ShowPrimary();
// The saved cursor position becomes 0, 0 (when the mouse is first polled).
void ForgetSavedCursorPosition();
// The system pointer's resource number for a kind (kinds 16, 20, 21 and 22 share 157).
int CursorResourceId(int kind);
// The rectangle of a cell of the sheet, empty for a cell outside it.
platform::Rect CursorCellRect(int cell);
// Whether the cursors are read (the software cursor's surfaces exist).
bool CursorsLoaded();
