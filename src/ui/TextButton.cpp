#include "ui/TextButton.h"

#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"

void CTextButton::OnMouse(int flags, CMouseEvent event) { HandleButtonMouse(*this, flags, event, true); }

void CTextButton::Draw() {
  if (state == kStateDisabled || !surface) return;
  const platform::Rect at = SurfaceRect();
  surface->DrawBevel(rect, bevel, state == kStatePressed ? 0 : 1, 0);
  if (highlight == 1) surface->HighlightFrame(platform::Rect{at.left + 3, at.top + 3, at.right - 2, at.bottom - 2});
  if (!font || caption.empty()) return;
  SurfacePrinting printing(surface, at);
  if (!printing) return;
  // A greyed caption is a mid grey, far enough from the black of a live one to read as out of use.
  const int shade = state == kStateGreyed ? 128 : 0;
  const int drop = state == kStatePressed ? 2 : 0;
  const TextRect text{at.left, at.top + drop, at.right, at.bottom + drop};
  font->PrintText(caption.c_str(), text, shade, shade, shade, kTextCentre | kTextCentreVertically);
}

void CTextButton::Erase() {
  EraseControlRect(*this);
  if (g_prefs.windowSize == 1 && g_backBuffer.IsCreated()) g_backBuffer.FillRect(&rect, g_is555 ? 0x4210 : 0x8410);
}
