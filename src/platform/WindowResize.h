#pragma once
// Changing the size of the game's window while it runs (the switch between the two screen
// resolutions).

#include "platform/Window.h"

namespace platform {

// Gives a windowed window a client area of width x height with its top-left corner at the
// desktop's origin; a full-screen window keeps covering its display and only notes the size
// the game now draws at. False for a handle that is not a window.
bool ResizeClientArea(WindowHandle window, int width, int height);

}  // namespace platform
