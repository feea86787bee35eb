#include "platform/KeyState.h"

#include <SDL.h>

#include <mutex>

namespace platform {
namespace {

std::mutex g_sourceMutex;
std::function<bool(int)> g_source;

SDL_Scancode ScancodeOf(int key) {
  switch (key) {
    case kKeyEscape:
      return SDL_SCANCODE_ESCAPE;
    case 0x0D:
      return SDL_SCANCODE_RETURN;
    case 0x20:
      return SDL_SCANCODE_SPACE;
    default:
      return SDL_SCANCODE_UNKNOWN;
  }
}

// The mouse buttons and the modifier keys, which SDL keeps apart from the other keys.
bool ButtonOrModifierDown(int key, bool& known) {
  known = true;
  switch (key) {
    case kKeyLeftButton:
      return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    case kKeyRightButton:
      return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_RMASK) != 0;
    case kKeyShift:
      return (SDL_GetModState() & KMOD_SHIFT) != 0;
    case kKeyControl:
      return (SDL_GetModState() & KMOD_CTRL) != 0;
    case kKeyAlt:
      return (SDL_GetModState() & KMOD_ALT) != 0;
    default:
      known = false;
      return false;
  }
}

}  // namespace

bool IsKeyDownNow(int key) {
  {
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    if (g_source) return g_source(key);
  }
  // Without a window there is no keyboard to read.
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  SDL_PumpEvents();
  bool known = false;
  const bool down = ButtonOrModifierDown(key, known);
  if (known) return down;
  SDL_Scancode code = ScancodeOf(key);
  if (code == SDL_SCANCODE_UNKNOWN) return false;
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  return state != nullptr && state[code] != 0;
}

void SetKeyStateSource(std::function<bool(int key)> source) {
  std::lock_guard<std::mutex> lock(g_sourceMutex);
  g_source = std::move(source);
}

}  // namespace platform
