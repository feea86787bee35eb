#include "core/Main.h"

void* g_hInstance = nullptr;
platform::WindowHandle g_mainWindow = nullptr;
std::timed_mutex* g_startupMutex = nullptr;
unsigned g_autoPlayMessage = 0;
int g_screenHeight = 480;
int g_displayOrigin[2] = {0, 0};
int g_outsideCdPlayerRunning = 0;
std::atomic<int> g_appActive{0};
int g_startFailed = 0;

int g_skipThisFrame = 0;
int g_noSkipThisFrame = 0;
uint32_t g_lastFrameTick = 0;
uint32_t g_idleTime = 0;
int g_framesDrawn = 0;
int g_framesCounted = 0;
uint32_t g_lastRateTick = 0;
int g_fpsFrame = 1;
uint32_t g_lastFpsTick = 0;
int g_blitBenchmark = 0;
int g_spritesPrinted = 0;
int g_overdrawCount = 0;
