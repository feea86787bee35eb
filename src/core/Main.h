#pragma once
// The process-wide state of the program's spine (src/game: WinMain, the window procedure,
// the main loop and the frame pacer), kept here so that every subsystem below the spine can
// read it: the main window, the start-up mutex, the screen height, whether the application
// is active, and the frame pacer's decisions.

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
// Set when what the command line asked for could not be set up (a battle that would not
// load, a refused playback log): once its message is shown the program ends, with 1.
extern int g_startFailed;

// The frame pacer's state (src/game/FramePacer.cpp runs it once per frame).
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
