#pragma once
// The program's spine: WinMain brings every service up in a fixed order, opens the main
// window, runs the main loop and takes the services down; MainWndProc turns the window's
// messages into screen and mouse input. The services above the core are reached through the
// start-up hooks, which the program fills before it calls WinMain (src/main.cpp); a hook
// left empty is a step skipped.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/Window.h"

extern void* g_hInstance;
extern platform::WindowHandle g_mainWindow;
// Taken (10 ms at most) by the software cursor's timer tick; closed when the window goes.
extern std::timed_mutex* g_startupMutex;
extern unsigned g_autoPlayMessage;
extern int g_screenHeight;      // 600 with the high-resolution preference, else 480
extern int g_displayOrigin[2];  // the display's top-left corner on the desktop
extern int g_outsideCdPlayerRunning;
// Frames run only while the application is active; the cursor timer reads it on its thread.
extern std::atomic<int> g_appActive;

struct StartupHooks {
  // The display (graphics): the device choice, answering the device to open (windowed: 0)
  // with its monitor rectangle (left, top, width, height); the display's start and end.
  int (*chooseDisplayDevice)(bool windowed, int monitor[4]) = nullptr;
  int (*initDisplay)(platform::WindowHandle window) = nullptr;
  void (*shutdownDisplay)() = nullptr;
  // Sound, music and movies: the sound manager's start (its boxes and the preference
  // switched off on failure included), the intro movies, the CD audio's opening, the title
  // music, the CD audio's and the sound manager's end (a failed end shows its box and exits),
  // a disc put in while the CD is stopped, and the music track list freed at WM_DESTROY.
  void (*startSound)(platform::WindowHandle window) = nullptr;
  void (*playIntroMovies)(platform::WindowHandle window) = nullptr;
  void (*openCdAudio)(platform::WindowHandle window) = nullptr;
  void (*startTitleMusic)() = nullptr;
  void (*closeCdAudio)() = nullptr;
  void (*shutdownSound)() = nullptr;
  void (*onDiscArrived)() = nullptr;
  void (*freeMusicTrackList)() = nullptr;
  // Screens and input: the root screen's push, the main loop, a keyboard message forwarded
  // to the current screen, the current screen's id (0 for none), the mouse queue, the mouse
  // poll, and the software cursor's end (its timer stopped, then the cursors freed).
  void (*pushRootScreen)() = nullptr;
  int (*runMainLoop)() = nullptr;
  int (*forwardToScreen)(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) = nullptr;
  int (*currentScreenId)() = nullptr;
  void (*queueMouseEvent)(uintptr_t flags, int x, int y) = nullptr;
  void (*pollMouse)() = nullptr;
  void (*releaseSoftwareCursor)() = nullptr;
  // The battle's record log, closed at WM_DESTROY when it exists.
  void (*closeRecordLog)() = nullptr;
};
extern StartupHooks g_startupHooks;

// The game data loaded at start-up, in order; a loader answers nonzero on success. Each
// subsystem puts its own loader in; until then the file only has to be there.
struct GameDataLoad {
  const char* fileName;
  int (*load)(const char* fileName);
};
constexpr int kGameDataLoads = 5;
extern GameDataLoad g_gameDataLoads[kGameDataLoads];
int GameDataFileIsPresent(const char* fileName);

// The program entry: answers the main loop's exit code, or 1 when start-up fails.
int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand);
intptr_t MainWndProc(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
// The timer callback of the software cursor.
void CursorTimerCallback(uint32_t timerId, uint32_t message, uintptr_t user, uintptr_t reserved1, uintptr_t reserved2);
// What the cursor's timer tick does (the cursor code fills it).
extern void (*g_cursorTimerTick)();

// The frame pacer, run by the main loop once per frame before the screen's update.
int PaceFrame();
// Puts the pacer's state back to its start (tests, and a new run of WinMain).
void ResetFramePacer();

extern int g_skipThisFrame;    // the coming frame is not drawn
extern int g_noSkipThisFrame;  // a redraw request: the coming frame is drawn
extern uint32_t g_lastFrameTick;
extern uint32_t g_idleTime;
extern int g_framesDrawn;
extern int g_framesCounted;
extern uint32_t g_lastRateTick;
extern int g_fpsFrame;
extern uint32_t g_lastFpsTick;
extern int g_blitBenchmark;
extern int g_spritesPrinted;  // sprites printed in the current frame
// Pixels the overdraw view of the sprite printers found already drawn in the current frame.
extern int g_overdrawCount;
// The blit benchmark, and the message panel's line for the frame rate (their owners fill them).
extern int (*g_runBlitBenchmark)();
extern void (*g_printMessageLine)(const char* text, int line, int frames);
