#pragma once
// Shared by the window and display units of the platform layer only: the SDL side of a
// window. Nothing outside src/platform includes this.

#include <SDL.h>

#include "platform/Window.h"

namespace platform::detail {

// Starts SDL's video (and events) once; false when no video driver works.
bool EnsureVideo();
SDL_Window* SdlWindowOf(WindowHandle window);
WindowHandle WindowOfSdlId(Uint32 id);

// Called when a window's picture must be shown again (exposed, resized).
extern void (*g_redrawWindow)(WindowHandle window);
// Called just before a window is closed, so that the display can let go of it.
extern void (*g_windowClosing)(WindowHandle window);
// Counts a presented frame; with VRASK_CLOSE_AFTER_FRAMES=n in the environment the n-th
// frame asks the windows to close, as the user would (end-to-end runs with no display).
void CountPresentedFrame();
int PresentedFrames();
// The SDL key of a game key code; SDLK_UNKNOWN for codes with no key.
SDL_Keycode SdlKeyOfVirtualKey(int virtualKey);

}  // namespace platform::detail
