#pragma once
// The keyboard and the mouse buttons as they are at this moment, read without waiting for the
// window's messages: the movie player blocks the message loop and watches the Escape key this
// way, and the controls ask whether Shift, Ctrl or Alt is held. Main thread only.

#include <functional>

namespace platform {

inline constexpr int kKeyEscape = 0x1B;  // the game's key code of Escape
// The game's codes of the mouse buttons and the modifier keys, as asked for here.
inline constexpr int kKeyLeftButton = 0x01;
inline constexpr int kKeyRightButton = 0x02;
inline constexpr int kKeyShift = 0x10;
inline constexpr int kKeyControl = 0x11;
inline constexpr int kKeyAlt = 0x12;

// Whether the key (a game key code) is held down now: on the keyboard, or by the key messages
// the window has given out (a key pressed and not yet let go, as a scripted hold makes it).
bool IsKeyDownNow(int key);

// The window's part: a key's down or up message was given out. Losing the focus lets go of
// every key the messages held.
void NoteKeyMessage(int key, bool down);
void ReleaseKeysHeldByMessages();

// For tests: answers in place of the keyboard; an empty function goes back to it.
void SetKeyStateSource(std::function<bool(int key)> source);

}  // namespace platform
