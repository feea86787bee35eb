#pragma once
// The program's spine: WinMain brings every service up in a fixed order, opens the main
// window, runs the main loop and takes the services down; MainWndProc turns the window's
// messages into screen and mouse input. The spine sits above every subsystem and calls each
// one's start-up, shut-down and per-frame entry directly. The process-wide state it sets
// (the main window, the start-up mutex, the screen height, the frame pacer's state) is in
// core/Main.h, where the subsystems below read it.

#include <cstdint>

#include "platform/Window.h"

// The game data loaded at start-up, in order; a loader answers nonzero on success. A
// subsystem's loader takes its place here once it exists; until then the file only has to
// be there.
struct GameDataLoad {
  const char* fileName;
  int (*load)(const char* fileName);
};
constexpr int kGameDataLoads = 5;
extern GameDataLoad g_gameDataLoads[kGameDataLoads];
int GameDataFileIsPresent(const char* fileName);

// Installs what each subsystem provides to the ones below it (the calls that go up while the
// game runs: core/Hooks.h), in order; the program does this once before it builds the global
// objects. A subsystem's Install...() takes its place here when the subsystem is built.
void InstallSubsystems();

// The program entry: answers the main loop's exit code, or 1 when start-up fails.
int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand);
intptr_t MainWndProc(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
