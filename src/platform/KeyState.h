#pragma once
// The keyboard as it is at this moment, read without waiting for the window's messages: the
// movie player blocks the message loop and watches the Escape key this way.

#include <functional>

namespace platform {

inline constexpr int kKeyEscape = 0x1B;  // the game's key code of Escape

// Whether the key (a game key code) is held down now.
bool IsKeyDownNow(int key);

// For tests: answers in place of the keyboard; an empty function goes back to it.
void SetKeyStateSource(std::function<bool(int key)> source);

}  // namespace platform
