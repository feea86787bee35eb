#include "platform/KeyState.h"

#include <SDL.h>

#include <array>
#include <atomic>
#include <mutex>

#include "platform/SdlVideo.h"

namespace platform {
namespace {

std::mutex g_sourceMutex;
std::function<bool(int)> g_source;

// Keys held by their messages, by game key code.
std::array<std::atomic<bool>, 256> g_heldByMessages{};

bool HeldByMessages(int key) { return key >= 0 && key < 256 && g_heldByMessages[key].load(); }

// The keyboard's own state of a key (the keys SDL does not count as modifiers).
bool HeldOnKeyboard(int key) {
  const SDL_Keycode sdlKey = detail::SdlKeyOfVirtualKey(key);
  if (sdlKey == SDLK_UNKNOWN) return false;
  const SDL_Scancode code = SDL_GetScancodeFromKey(sdlKey);
  if (code == SDL_SCANCODE_UNKNOWN) return false;
  const Uint8* state = SDL_GetKeyboardState(nullptr);
  return state != nullptr && state[code] != 0;
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
  if (HeldByMessages(key)) return true;
  bool known = false;
  const bool down = ButtonOrModifierDown(key, known);
  if (known) return down;
  return HeldOnKeyboard(key);
}

void NoteKeyMessage(int key, bool down) {
  if (key >= 0 && key < 256) g_heldByMessages[key] = down;
}

void ReleaseKeysHeldByMessages() {
  for (auto& held : g_heldByMessages) held = false;
}

void SetKeyStateSource(std::function<bool(int key)> source) {
  std::lock_guard<std::mutex> lock(g_sourceMutex);
  g_source = std::move(source);
}

}  // namespace platform
