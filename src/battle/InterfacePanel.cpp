#include "battle/InterfacePanel.h"

#include "core/Preferences.h"
#include "graphics/Display.h"

int g_panelRedrawFrames = 0;

void DoNothing() {}

bool CreatePanelSurface(CSurface& surface, int width, int height, int x, int y) {
  if (!surface.IsCreated()) {
    SurfaceDesc desc;
    desc.flags = kDescCaps | kDescWidth | kDescHeight;
    desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
    desc.width = width;
    desc.height = height;
    surface.Create(&desc);
  }
  surface.x = x;
  surface.y = y;
  return surface.IsCreated();
}

void ClearPanelSurface(CSurface& surface) {
  if (!surface.IsCreated()) return;
  if (g_prefs.transparentBlits) {
    surface.Fill(kPanelKeyColour);
    surface.SetColourKey(0, 0, 255);
  } else {
    surface.Fill(0);
  }
}

bool PanelKeyedAt(int top) {
  if (!g_prefs.transparentBlits) return false;
  // In the reduced view only what sits on the border art below the map is copied opaque.
  const int viewBottom = g_prefs.isHighRes ? 460 : 340;
  return g_prefs.windowSize == 0 || top < viewBottom;
}

void DrawPanelSurface(CSurface& surface) {
  if (!surface.IsCreated()) return;
  if (!PanelKeyedAt(surface.y))
    surface.BlitTo(&g_backBuffer, surface.x, surface.y);
  else if (g_deferBlits)
    surface.QueueBlit(1, &g_backBuffer, nullptr, surface.x, surface.y, 1);
  else
    surface.BlitToKeyed(&g_backBuffer, surface.x, surface.y);
}

void CopyPanelRect(CSurface& source, const platform::Rect& rect, CSurface& destination, int x, int y, bool keyed) {
  if (!source.IsCreated() || !destination.IsCreated()) return;
  if (g_deferBlits)
    source.QueueBlit(keyed ? 0 : 2, &destination, &rect, x, y, 0);
  else if (keyed)
    source.BlitRectToKeyed(&destination, &rect, x, y);
  else
    source.BlitRectTo(&destination, &rect, x, y);
}
