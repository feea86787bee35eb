#pragma once
// The game's windows and their message queue. A window belongs to a registered class whose
// window procedure receives its messages; input from the system (keys, characters, mouse,
// focus, close) arrives as the messages the procedure's table expects, in the order it
// happened. Everything here runs on the main thread.

#include <cstdint>
#include <string>

#include "platform/Messages.h"

namespace platform {

struct WindowData;
using WindowHandle = WindowData*;

using WindowProc = intptr_t (*)(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);

struct Message {
  WindowHandle window = nullptr;
  unsigned message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// Where and how a window opens.
struct WindowPlacement {
  bool fullScreen = false;
  int display = 0;  // full screen: the display it covers
  int left = 0;     // windowed: the top-left corner of the client area on the desktop
  int top = 0;
  int clientWidth = 640;
  int clientHeight = 480;
};

// Registers a window class; false when the name is taken. Names compare without regard to case.
bool RegisterWindowClass(const char* className, WindowProc procedure);
bool IsWindowClassRegistered(const char* className);
// Forgets every class (tests).
void UnregisterWindowClasses();

// Opens a window of a registered class. Its procedure gets WM_CREATE (a result of -1 refuses
// the window) and then WM_ACTIVATEAPP with 1. Null on failure (VideoProblem may say why).
WindowHandle CreateAppWindow(const char* className, const char* title, const WindowPlacement& placement);
// Why no window can be opened, in a sentence for the player: no display (SDL would fall back
// to drawing off the screen, which is used only when asked for by name), or the video system
// failing to start. Empty while nothing went wrong.
std::string VideoProblem();
// Sends WM_DESTROY to the procedure, then closes the window. False for a handle that is not a window.
bool DestroyAppWindow(WindowHandle window);
bool IsWindow(WindowHandle window);
// The first window still open, or null.
WindowHandle FirstWindow();
// Client area size and its top-left corner on the desktop.
void GetClientSize(WindowHandle window, int& width, int& height);
void ClientToScreen(WindowHandle window, int& x, int& y);

// What a procedure answers for a message it leaves alone: WM_CLOSE destroys the window,
// everything else answers 0.
intptr_t DefaultWindowProc(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);

// The message queue. Peek takes new input from the system first.
bool PeekMessage(Message& message, bool remove);
// Waits for a message; false when it is WM_QUIT (its exit code is in wParam).
bool GetMessage(Message& message);
// Calls the window procedure of the message's window; 0 for a message without a window.
intptr_t DispatchMessage(const Message& message);
intptr_t SendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
bool PostMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
// Queues WM_QUIT with the exit code.
void PostQuitMessage(int exitCode);
// Removes the queued messages of the window (null: of every window) in [first, last].
int RemoveMessages(WindowHandle window, unsigned first, unsigned last);
// Empties the queue and forgets a posted WM_QUIT (tests).
void ClearMessageQueue();

// A message number of its own for a name, the same for the same name (from 0xC000 up).
unsigned RegisterWindowMessage(const char* name);

// The desktop as the game sees it: its size and colour depth (16 bits, one plane, unless a
// test asks for another depth, as another desktop would report it).
void GetScreenSize(int& width, int& height);
int DesktopBitsPerPixel();
int DesktopPlanes();
void SetDesktopBitsPerPixel(int bits);

// Whether the system's mouse pointer is drawn over the windows.
void ShowSystemCursor(bool show);
// The mouse position in the client area of the window, in the game's pixels.
void GetMousePosition(int& x, int& y);

// The system's mouse pointer drawn from the game's own art: a picture of 16-bit 5-6-5 pixels
// (rows pitchPixels apart) whose pixels equal to key are transparent, with its hotspot. Null
// when the system cannot make one (no video).
struct SystemCursor;
SystemCursor* CreateSystemCursor(const uint16_t* pixels, int width, int height, int pitchPixels, uint16_t key,
                                 int hotspotX, int hotspotY);
// Shows the pointer over the game's windows; null goes back to the system's arrow.
void SetSystemCursor(SystemCursor* cursor);
void FreeSystemCursor(SystemCursor* cursor);

// Windows of other programs are never found here.
bool FindOutsideWindow(const char* className);

// Input as the system would deliver it, for tests: it goes through the same translation
// into messages. Key codes are virtual key codes.
void SimulateKey(int virtualKey, bool down, bool alt = false);
void SimulateText(const char* text);
void SimulateMouseMove(int x, int y);
void SimulateMouseButton(bool left, bool down, int x, int y);
void SimulateFocus(bool gained);
void SimulateCloseRequest();

// Shuts the video system down once no window is left (the end of the program, tests).
void ShutdownVideo();

}  // namespace platform
