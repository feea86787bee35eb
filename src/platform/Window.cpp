#include "platform/Window.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "platform/KeyState.h"
#include "platform/Numbers.h"
#include "platform/SdlVideo.h"
#include "platform/Text.h"
#include "platform/WindowResize.h"

namespace platform {

struct WindowData {
  SDL_Window* sdl = nullptr;
  WindowProc procedure = nullptr;
  bool fullScreen = false;
  int clientWidth = 0;
  int clientHeight = 0;
};

namespace detail {
void (*g_redrawWindow)(WindowHandle window) = nullptr;
void (*g_windowClosing)(WindowHandle window) = nullptr;
}  // namespace detail

namespace {

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

std::map<std::string, WindowProc, NoCaseLess> g_classes;
std::map<std::string, unsigned, NoCaseLess> g_registeredMessages;
std::vector<std::unique_ptr<WindowData>> g_windows;

std::recursive_mutex g_queueMutex;
std::deque<Message> g_queue;
bool g_quitPosted = false;
int g_quitCode = 0;

bool g_videoStarted = false;
std::string g_videoProblem;  // why the video system could not start
int g_presentedFrames = 0;

WindowData* Find(WindowHandle window) {
  for (auto& w : g_windows)
    if (w.get() == window) return w.get();
  return nullptr;
}

void Enqueue(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard<std::recursive_mutex> lock(g_queueMutex);
  g_queue.push_back(Message{window, message, wParam, lParam});
}

// The virtual key of an SDL key, 0 for keys the game has no code for.
int VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_BACKSPACE:
      return VK_BACK;
    case SDLK_TAB:
      return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    case SDLK_PAUSE:
      return VK_PAUSE;
    case SDLK_CAPSLOCK:
      return VK_CAPITAL;
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_SPACE:
      return VK_SPACE;
    case SDLK_PAGEUP:
      return VK_PRIOR;
    case SDLK_PAGEDOWN:
      return VK_NEXT;
    case SDLK_END:
      return VK_END;
    case SDLK_HOME:
      return VK_HOME;
    case SDLK_LEFT:
      return VK_LEFT;
    case SDLK_UP:
      return VK_UP;
    case SDLK_RIGHT:
      return VK_RIGHT;
    case SDLK_DOWN:
      return VK_DOWN;
    case SDLK_INSERT:
      return VK_INSERT;
    case SDLK_DELETE:
      return VK_DELETE;
    case SDLK_KP_0:
      return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY:
      return VK_MULTIPLY;
    case SDLK_KP_PLUS:
      return VK_ADD;
    case SDLK_KP_MINUS:
      return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
      return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
      return VK_DIVIDE;
    case SDLK_SEMICOLON:
      return 0xBA;
    case SDLK_EQUALS:
      return 0xBB;
    case SDLK_COMMA:
      return 0xBC;
    case SDLK_MINUS:
      return 0xBD;
    case SDLK_PERIOD:
      return 0xBE;
    case SDLK_SLASH:
      return 0xBF;
    case SDLK_BACKQUOTE:
      return 0xC0;
    case SDLK_LEFTBRACKET:
      return 0xDB;
    case SDLK_BACKSLASH:
      return 0xDC;
    case SDLK_RIGHTBRACKET:
      return 0xDD;
    case SDLK_QUOTE:
      return 0xDE;
    default:
      return 0;
  }
}

SDL_Keycode SdlKeyOf(int virtualKey) {
  for (SDL_Keycode key :
       {SDLK_BACKSPACE,   SDLK_TAB,       SDLK_RETURN,       SDLK_LSHIFT,    SDLK_LCTRL,     SDLK_LALT,
        SDLK_PAUSE,       SDLK_CAPSLOCK,  SDLK_ESCAPE,       SDLK_SPACE,     SDLK_PAGEUP,    SDLK_PAGEDOWN,
        SDLK_END,         SDLK_HOME,      SDLK_LEFT,         SDLK_UP,        SDLK_RIGHT,     SDLK_DOWN,
        SDLK_INSERT,      SDLK_DELETE,    SDLK_KP_0,         SDLK_KP_1,      SDLK_KP_2,      SDLK_KP_3,
        SDLK_KP_4,        SDLK_KP_5,      SDLK_KP_6,         SDLK_KP_7,      SDLK_KP_8,      SDLK_KP_9,
        SDLK_KP_MULTIPLY, SDLK_KP_PLUS,   SDLK_KP_MINUS,     SDLK_KP_PERIOD, SDLK_KP_DIVIDE, SDLK_SEMICOLON,
        SDLK_EQUALS,      SDLK_COMMA,     SDLK_MINUS,        SDLK_PERIOD,    SDLK_SLASH,     SDLK_BACKQUOTE,
        SDLK_LEFTBRACKET, SDLK_BACKSLASH, SDLK_RIGHTBRACKET, SDLK_QUOTE}) {
    if (VirtualKeyOf(key) == virtualKey) return key;
  }
  if (virtualKey >= 'A' && virtualKey <= 'Z') return SDLK_a + (virtualKey - 'A');
  if (virtualKey >= '0' && virtualKey <= '9') return SDLK_0 + (virtualKey - '0');
  if (virtualKey >= VK_F1 && virtualKey < VK_F1 + 12) return SDLK_F1 + (virtualKey - VK_F1);
  return SDLK_UNKNOWN;
}

uintptr_t MouseFlags(Uint32 buttons) {
  uintptr_t flags = 0;
  if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
  if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
  SDL_Keymod mods = SDL_GetModState();
  if (mods & KMOD_SHIFT) flags |= MK_SHIFT;
  if (mods & KMOD_CTRL) flags |= MK_CONTROL;
  return flags;
}

WindowHandle TargetOf(Uint32 sdlWindowId) {
  WindowHandle window = detail::WindowOfSdlId(sdlWindowId);
  return window ? window : FirstWindow();
}

// The key's lParam: repeat count 1, the scan code, and whether the key was already down.
intptr_t KeyParam(const SDL_KeyboardEvent& key, bool down) {
  uint32_t param = 1u | (static_cast<uint32_t>(key.keysym.scancode & 0xFF) << 16);
  if (key.repeat) param |= 1u << 30;
  if (!down) param |= 3u << 30;
  return static_cast<intptr_t>(param);
}

void TranslateKey(const SDL_KeyboardEvent& key, bool down) {
  int vk = VirtualKeyOf(key.keysym.sym);
  if (vk == 0) return;
  NoteKeyMessage(vk, down);
  WindowHandle window = TargetOf(key.windowID);
  bool alt = (key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
  unsigned message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
  Enqueue(window, message, static_cast<uintptr_t>(vk), KeyParam(key, down));
  // Keys that type a control character give it as a character too, as text input does not.
  if (down && !alt && (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB))
    Enqueue(window, WM_CHAR, static_cast<uintptr_t>(vk), 1);
}

void TranslateText(const SDL_TextInputEvent& text) {
  WindowHandle window = TargetOf(text.windowID);
  // The game's texts are single-byte: plain ASCII passes, two-byte UTF-8 up to U+00FF becomes
  // its Latin-1 byte, anything else is dropped.
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.text);
  while (*p) {
    if (*p < 0x80) {
      if (*p >= 0x20) Enqueue(window, WM_CHAR, *p, 1);
      ++p;
    } else if ((*p & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
      unsigned code = ((*p & 0x1F) << 6) | (p[1] & 0x3F);
      if (code <= 0xFF) Enqueue(window, WM_CHAR, code, 1);
      p += 2;
    } else {
      ++p;
      while ((*p & 0xC0) == 0x80) ++p;
    }
  }
}

// The mouse id of the moves SimulateMouseMove makes.
constexpr Uint32 kSimulatedMouse = 0xFFFFFFF0u;

// The buttons as they stood at the event being translated: SDL's own state is the one after
// every event already pumped, which would lose a quick click's press.
Uint32 g_buttonsAtEvent = 0;

// The pointer's position as the window's messages carry it. The window system reports points
// of the client area only, in the game's pixels; SDL follows a drag past the window's edge
// (it keeps the mouse while a button is held), and such a point becomes the nearest pixel of
// the client area, so that the 16-bit words of the message never wrap round.
intptr_t ClientPointParam(WindowHandle window, int x, int y) {
  int width = window ? window->clientWidth : 0, height = window ? window->clientHeight : 0;
  if (SDL_Renderer* renderer = window && window->sdl ? SDL_GetRenderer(window->sdl) : nullptr) {
    int logicalWidth = 0, logicalHeight = 0;
    SDL_RenderGetLogicalSize(renderer, &logicalWidth, &logicalHeight);
    if (logicalWidth > 0 && logicalHeight > 0) width = logicalWidth, height = logicalHeight;
  }
  if (width > 0) x = std::clamp(x, 0, width - 1);
  if (height > 0) y = std::clamp(y, 0, height - 1);
  return MakePointParam(x, y);
}

void TranslateMouseButton(const SDL_MouseButtonEvent& button, bool down) {
  unsigned message;
  Uint32 mask;
  if (button.button == SDL_BUTTON_LEFT) {
    message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    mask = SDL_BUTTON_LMASK;
  } else if (button.button == SDL_BUTTON_RIGHT) {
    message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    mask = SDL_BUTTON_RMASK;
  } else {
    return;
  }
  g_buttonsAtEvent = down ? (g_buttonsAtEvent | mask) : (g_buttonsAtEvent & ~mask);
  WindowHandle window = TargetOf(button.windowID);
  Enqueue(window, message, MouseFlags(g_buttonsAtEvent), ClientPointParam(window, button.x, button.y));
}

void TranslateMouseMove(const SDL_MouseMotionEvent& motion) {
  // A simulated move carries no button state of its own: the buttons stay as they were.
  if (motion.which != kSimulatedMouse) g_buttonsAtEvent = motion.state;
  WindowHandle window = TargetOf(motion.windowID);
  Enqueue(window, WM_MOUSEMOVE, MouseFlags(g_buttonsAtEvent), ClientPointParam(window, motion.x, motion.y));
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
  WindowHandle window = detail::WindowOfSdlId(event.windowID);
  if (!window) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
      Enqueue(window, WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      Enqueue(window, WM_ACTIVATEAPP, 1, 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      ReleaseKeysHeldByMessages();  // their key-up messages go to another window
      Enqueue(window, WM_ACTIVATEAPP, 0, 0);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      if (detail::g_redrawWindow) detail::g_redrawWindow(window);
      break;
    default:
      break;
  }
}

void Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      // Asked to end from outside (a signal): the same as closing the main window.
      if (WindowHandle window = FirstWindow()) Enqueue(window, WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event.window);
      break;
    case SDL_KEYDOWN:
      TranslateKey(event.key, true);
      break;
    case SDL_KEYUP:
      TranslateKey(event.key, false);
      break;
    case SDL_TEXTINPUT:
      TranslateText(event.text);
      break;
    case SDL_MOUSEMOTION:
      TranslateMouseMove(event.motion);
      break;
    case SDL_MOUSEBUTTONDOWN:
      TranslateMouseButton(event.button, true);
      break;
    case SDL_MOUSEBUTTONUP:
      TranslateMouseButton(event.button, false);
      break;
    default:
      break;
  }
}

void PumpSystemEvents() {
  // The CD device's notifications come from the audio thread; they join the queue here.
  void* cdWindow = nullptr;
  int outcome = 0;
  while (TakeCdNotify(&cdWindow, &outcome)) {
    WindowHandle target = static_cast<WindowHandle>(cdWindow);
    if (Find(target)) Enqueue(target, MM_MCINOTIFY, static_cast<uintptr_t>(outcome), 0);
  }
  if (!g_videoStarted) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
}

void PushSdlEvent(SDL_Event& event) {
  if (!detail::EnsureVideo()) return;
  SDL_PushEvent(&event);
}

Uint32 FirstSdlWindowId() {
  WindowHandle window = FirstWindow();
  return window && window->sdl ? SDL_GetWindowID(window->sdl) : 0;
}

}  // namespace

namespace {

// What the environment names as displays, for the message that none of them answered.
std::string NamedDisplays() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool hasX = x && *x, hasWayland = wayland && *wayland;
  if (!hasX && !hasWayland) return "neither DISPLAY nor WAYLAND_DISPLAY is set";
  std::string named;
  if (hasX) named = std::string("DISPLAY=") + x;
  if (hasWayland) named += std::string(hasX ? " and " : "") + "WAYLAND_DISPLAY=" + wayland;
  return named + (hasX && hasWayland ? " name no display that answers" : " names no display that answers");
}

}  // namespace

namespace detail {

SDL_Keycode SdlKeyOfVirtualKey(int virtualKey) { return SdlKeyOf(virtualKey); }

bool EnsureVideo() {
  if (g_videoStarted) return true;
  // Closing the last window must not end the program behind the window procedure's back.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // With no Wayland display named, trying Wayland only fills stderr with its complaints
  // before the game's own word on the display.
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if ((!asked || !*asked) && !std::getenv("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,offscreen");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    g_videoProblem = std::string("the video system could not start: ") + SDL_GetError();
    return false;
  }
  // Without a display SDL falls back to drawing off the screen, where nobody would see the
  // game run: like the dummy driver, that one is used only when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "offscreen") == 0 && !(asked && EqualNoCase(asked, "offscreen"))) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    g_videoProblem = "There is no display to show the game on (" + NamedDisplays() +
                     "). Start it on a desktop, or with SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy to run it "
                     "without one.";
    return false;
  }
  g_videoStarted = true;
  g_videoProblem.clear();
  return true;
}

SDL_Window* SdlWindowOf(WindowHandle window) {
  WindowData* data = Find(window);
  return data ? data->sdl : nullptr;
}

WindowHandle WindowOfSdlId(Uint32 id) {
  for (auto& w : g_windows)
    if (w->sdl && SDL_GetWindowID(w->sdl) == id) return w.get();
  return nullptr;
}

void CountPresentedFrame() {
  ++g_presentedFrames;
  static const int closeAfter = [] {
    const char* text = std::getenv("VRASK_CLOSE_AFTER_FRAMES");
    return text ? TextToInt(text) : 0;
  }();
  if (closeAfter > 0 && g_presentedFrames == closeAfter) SimulateCloseRequest();
}

int PresentedFrames() { return g_presentedFrames; }

}  // namespace detail

bool RegisterWindowClass(const char* className, WindowProc procedure) {
  if (!className || !procedure || g_classes.count(className)) return false;
  g_classes[className] = procedure;
  return true;
}

bool IsWindowClassRegistered(const char* className) { return className && g_classes.count(className) > 0; }

void UnregisterWindowClasses() { g_classes.clear(); }

std::string VideoProblem() { return g_videoProblem; }

WindowHandle CreateAppWindow(const char* className, const char* title, const WindowPlacement& placement) {
  auto found = className ? g_classes.find(className) : g_classes.end();
  if (found == g_classes.end() || !detail::EnsureVideo()) return nullptr;
  Uint32 flags = SDL_WINDOW_SHOWN;
  int x = placement.left, y = placement.top;
  if (placement.fullScreen) {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    x = y = SDL_WINDOWPOS_CENTERED_DISPLAY(placement.display);
  }
  SDL_Window* sdl = SDL_CreateWindow(title ? title : "", x, y, placement.clientWidth, placement.clientHeight, flags);
  if (!sdl) return nullptr;
  auto data = std::make_unique<WindowData>();
  data->sdl = sdl;
  data->procedure = found->second;
  data->fullScreen = placement.fullScreen;
  data->clientWidth = placement.clientWidth;
  data->clientHeight = placement.clientHeight;
  WindowHandle window = data.get();
  g_windows.push_back(std::move(data));
  if (window->procedure(window, WM_CREATE, 0, 0) == -1) {
    DestroyAppWindow(window);
    return nullptr;
  }
  window->procedure(window, WM_ACTIVATEAPP, 1, 0);
  return window;
}

bool DestroyAppWindow(WindowHandle window) {
  WindowData* data = Find(window);
  if (!data) return false;
  data->procedure(window, WM_DESTROY, 0, 0);
  if (detail::g_windowClosing) detail::g_windowClosing(window);
  // The procedure may have destroyed the window itself while handling WM_DESTROY.
  auto it = std::find_if(g_windows.begin(), g_windows.end(), [&](auto& w) { return w.get() == window; });
  if (it == g_windows.end()) return true;
  SDL_DestroyWindow((*it)->sdl);
  g_windows.erase(it);
  RemoveMessages(window, 0, 0xFFFFFFFFu);
  return true;
}

bool IsWindow(WindowHandle window) { return Find(window) != nullptr; }

WindowHandle FirstWindow() { return g_windows.empty() ? nullptr : g_windows.front().get(); }

void GetClientSize(WindowHandle window, int& width, int& height) {
  WindowData* data = Find(window);
  width = data ? data->clientWidth : 0;
  height = data ? data->clientHeight : 0;
}

bool ResizeClientArea(WindowHandle window, int width, int height) {
  WindowData* data = Find(window);
  if (!data || width <= 0 || height <= 0) return false;
  data->clientWidth = width;
  data->clientHeight = height;
  if (!data->fullScreen) {
    SDL_SetWindowSize(data->sdl, width, height);
    SDL_SetWindowPosition(data->sdl, 0, 0);
  }
  return true;
}

void ClientToScreen(WindowHandle window, int& x, int& y) {
  // The game's pictures always map onto the client area one to one (the display scales the
  // whole client area to the real window), so client and game coordinates agree.
  (void)window;
}

intptr_t DefaultWindowProc(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_CLOSE) DestroyAppWindow(window);
  return 0;
}

bool PeekMessage(Message& message, bool remove) {
  PumpSystemEvents();
  std::lock_guard<std::recursive_mutex> lock(g_queueMutex);
  if (g_queue.empty()) {
    if (!g_quitPosted) return false;
    message = Message{nullptr, WM_QUIT, static_cast<uintptr_t>(g_quitCode), 0};
    if (remove) g_quitPosted = false;
    return true;
  }
  message = g_queue.front();
  if (remove) g_queue.pop_front();
  return true;
}

bool GetMessage(Message& message) {
  while (!PeekMessage(message, true)) {
    if (g_videoStarted)
      SDL_WaitEventTimeout(nullptr, 10);
    else
      SDL_Delay(1);
  }
  return message.message != WM_QUIT;
}

intptr_t DispatchMessage(const Message& message) {
  WindowData* data = Find(message.window);
  if (!data) return 0;
  return data->procedure(message.window, message.message, message.wParam, message.lParam);
}

intptr_t SendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  return DispatchMessage(Message{window, message, wParam, lParam});
}

bool PostMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (window && !Find(window)) return false;
  Enqueue(window, message, wParam, lParam);
  return true;
}

void PostQuitMessage(int exitCode) {
  std::lock_guard<std::recursive_mutex> lock(g_queueMutex);
  g_quitPosted = true;
  g_quitCode = exitCode;
}

int RemoveMessages(WindowHandle window, unsigned first, unsigned last) {
  PumpSystemEvents();
  std::lock_guard<std::recursive_mutex> lock(g_queueMutex);
  size_t before = g_queue.size();
  g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(),
                               [&](const Message& m) {
                                 return (!window || m.window == window) && m.message >= first && m.message <= last;
                               }),
                g_queue.end());
  return static_cast<int>(before - g_queue.size());
}

void ClearMessageQueue() {
  PumpSystemEvents();
  std::lock_guard<std::recursive_mutex> lock(g_queueMutex);
  g_queue.clear();
  g_quitPosted = false;
  g_quitCode = 0;
}

unsigned RegisterWindowMessage(const char* name) {
  if (!name || !*name) return 0;
  auto found = g_registeredMessages.find(name);
  if (found != g_registeredMessages.end()) return found->second;
  unsigned id = 0xC000 + static_cast<unsigned>(g_registeredMessages.size());
  g_registeredMessages[name] = id;
  return id;
}

void GetScreenSize(int& width, int& height) {
  width = 640;
  height = 480;
  SDL_DisplayMode mode;
  if (detail::EnsureVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    width = mode.w;
    height = mode.h;
  }
}

namespace {
std::atomic<int> g_desktopBits{16};
}  // namespace

int DesktopBitsPerPixel() { return g_desktopBits; }
void SetDesktopBitsPerPixel(int bits) { g_desktopBits = bits; }
int DesktopPlanes() { return 1; }

void ShowSystemCursor(bool show) {
  if (detail::EnsureVideo()) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void GetMousePosition(int& x, int& y) {
  x = y = 0;
  if (!g_videoStarted) return;
  SDL_GetMouseState(&x, &y);
  // The display scales the game's picture to the window; positions are the game's pixels.
  if (WindowHandle window = FirstWindow()) {
    if (SDL_Renderer* renderer = SDL_GetRenderer(window->sdl)) {
      float lx = 0, ly = 0;
      SDL_RenderWindowToLogical(renderer, x, y, &lx, &ly);
      x = static_cast<int>(lx);
      y = static_cast<int>(ly);
    }
  }
}

namespace {
// SDL frees every cursor when its video stops: a cursor of an earlier start is only forgotten.
int g_videoStarts = 0;
}  // namespace

struct SystemCursor {
  SDL_Cursor* sdl = nullptr;
  int videoStart = 0;
};

SystemCursor* CreateSystemCursor(const uint16_t* pixels, int width, int height, int pitchPixels, uint16_t key,
                                 int hotspotX, int hotspotY) {
  if (!pixels || width <= 0 || height <= 0 || pitchPixels < width || !detail::EnsureVideo()) return nullptr;
  SDL_Surface* image = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!image) return nullptr;
  for (int y = 0; y < height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(image->pixels) + y * image->pitch);
    for (int x = 0; x < width; ++x) {
      const uint16_t p = pixels[static_cast<size_t>(y) * pitchPixels + x];
      if (p == key) {
        row[x] = 0;
        continue;
      }
      const uint32_t r = ((p >> 11) & 31) * 255 / 31, g = ((p >> 5) & 63) * 255 / 63, b = (p & 31) * 255 / 31;
      row[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  SDL_Cursor* cursor =
      SDL_CreateColorCursor(image, std::clamp(hotspotX, 0, width - 1), std::clamp(hotspotY, 0, height - 1));
  SDL_FreeSurface(image);
  if (!cursor) return nullptr;
  return new SystemCursor{cursor, g_videoStarts};
}

void SetSystemCursor(SystemCursor* cursor) {
  if (!g_videoStarted || (cursor && cursor->videoStart != g_videoStarts)) return;
  SDL_SetCursor(cursor ? cursor->sdl : SDL_GetDefaultCursor());
}

void FreeSystemCursor(SystemCursor* cursor) {
  if (!cursor) return;
  if (g_videoStarted && cursor->videoStart == g_videoStarts) {
    if (SDL_GetCursor() == cursor->sdl) SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_FreeCursor(cursor->sdl);
  }
  delete cursor;
}

bool FindOutsideWindow(const char* className) { return false; }

void SimulateKey(int virtualKey, bool down, bool alt) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = FirstSdlWindowId();
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = SdlKeyOf(virtualKey);
  event.key.keysym.mod = alt ? KMOD_LALT : KMOD_NONE;
  PushSdlEvent(event);
}

void SimulateText(const char* text) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.windowID = FirstSdlWindowId();
  std::strncpy(event.text.text, text ? text : "", sizeof event.text.text - 1);
  PushSdlEvent(event);
}

void SimulateMouseMove(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = FirstSdlWindowId();
  event.motion.which = kSimulatedMouse;
  event.motion.x = x;
  event.motion.y = y;
  PushSdlEvent(event);
}

void SimulateMouseButton(bool left, bool down, int x, int y) {
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = FirstSdlWindowId();
  event.button.button = left ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.x = x;
  event.button.y = y;
  PushSdlEvent(event);
}

void SimulateFocus(bool gained) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = FirstSdlWindowId();
  event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
  PushSdlEvent(event);
}

void SimulateCloseRequest() {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = FirstSdlWindowId();
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  PushSdlEvent(event);
}

void ShutdownVideo() {
  if (!g_videoStarted || !g_windows.empty()) return;
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  g_videoStarted = false;
  ++g_videoStarts;
}

}  // namespace platform
