#pragma once
// The protocol of the in-battle panels. Every piece of the battle interface (the wizard face,
// the select bar with its popup buttons, the message lines, the spot icons, the two scrolls,
// the tooltip, the chat console, the battle timer, the control-limit counter, the scanner) is
// a panel: a global object that owns one or two off-screen work surfaces, paints its content
// into them only when that content changes, and copies them onto the back buffer once a frame.
//
// A panel implements the four operations of CInterfacePanel, in this order:
//   Draw     every frame while the battle (or the spell box, the realm view) shows the panel:
//            copies its work surfaces to the back buffer (most through DrawPanelSurface)
//   Init     once, when the front-end root loads the shared art at program start: what lives
//            for the whole program (sprites, texts, the window rectangle)
//   Release  when the battle is left or the display options change: the work surfaces and
//            the restore callback go
//   Load     when a battle starts or the display options change: the work surfaces are
//            created when missing, painted, and the restore callback hung on them
// An operation a panel does not need calls DoNothing(). Panels are global objects whose
// constructors only clear fields; the battle calls Load on entry, Draw every frame after the
// map view, Release when it is left. Panels that take mouse input derive from CFlatWin first
// and carry CInterfacePanel as their second base.
//
// A panel whose work surface cannot be created or locked skips its painting and drawing
// silently; art missing at load time is the panel's own error box.

#include <cstdint>
#include <functional>

#include "graphics/Surface.h"

class CInterfacePanel {
 public:
  virtual ~CInterfacePanel() = default;
  virtual void Draw() = 0;
  virtual void Init() = 0;
  virtual void Release() = 0;
  virtual void Load() = 0;

  // A flag whose meaning the panel gives: lines may be printed (message panel), shown
  // (tooltip, chat console, face panel, scanner), ...
  int flag = 0;
};

// Set to 2 by a panel whose content changed: the battle draws the interface again for the
// next two frames (front and back buffer).
extern int g_panelRedrawFrames;
inline void RequestPanelRedraw() { g_panelRedrawFrames = 2; }

// The empty operation, for a panel operation that a panel does not need.
void DoNothing();

// The 16-bit colour of an empty keyed panel pixel: pure blue (0, 0, 255), the same value in
// the 5-5-5 and 5-6-5 layouts.
constexpr uint16_t kPanelKeyColour = 31;

// Whether a panel whose top lies at that screen row goes onto the back buffer keyed:
// TransParentBlits on, and the full view or a panel over the map. A reduced view (WindowSize
// non-zero) puts the interface below the map on opaque border art, so the panels there copy
// opaque then, without reloading; those over the map stay see-through.
bool PanelKeyedAt(int top);

// Creates a panel's work surface (off-screen plain, system memory) of the size, shown at x, y
// of the screen. False when it could not be created; the panel then skips its painting.
bool CreatePanelSurface(CSurface& surface, int width, int height, int x, int y);

// Clears a work surface for painting: with TransParentBlits on to the key colour, with the
// colour key (0, 0, 255) set so that the empty parts are transparent; else to black.
void ClearPanelSurface(CSurface& surface);

// The panel draw rule: nothing without the surface; an opaque copy to the back buffer at the
// surface's x, y when TransParentBlits is off or the view is reduced; else a keyed copy,
// queued (whole surface, keyed) when deferred blits are on.
void DrawPanelSurface(CSurface& surface);

// Copies a rectangle of one surface onto another at x, y (keyed or plain), queued for the
// frame's flush before the panels go to the back buffer when deferred blits are on.
void CopyPanelRect(CSurface& source, const platform::Rect& rect, CSurface& destination, int x, int y, bool keyed);

// The restore callback a panel hangs on its work surfaces: once the display has restored
// lost surfaces, the panel paints its content again.
class CPanelRestoreCallback : public CSurfaceRestorer {
 public:
  explicit CPanelRestoreCallback(std::function<void()> repaint) : repaint_(std::move(repaint)) {}
  void RestoreSurface(int) override {
    if (repaint_) repaint_();
  }

 private:
  std::function<void()> repaint_;
};
