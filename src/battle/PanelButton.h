#pragma once
// CPanelButton: a frame-sprite button painted onto a panel's work surface (the select bar's
// slot and popup buttons, the spot icons, the grimoire's buttons) rather than the screen. It
// takes the mouse as a CButton does; what it adds is its drawing: a frame per state, an
// overlay frame per highlight level (the select bar's mana fill or charge mark at level 0,
// the blinking selection mark at level 1), a count badge, a grey picture while inactive, and
// a saved copy of what lies under it for erasing.

#include <cstdint>

#include "graphics/Surface.h"
#include "ui/Button.h"

class CSprite;

// Panel button states (the state field).
enum PanelButtonState : int {
  kPanelNormal = 0,
  kPanelPressed = 1,
  kPanelHidden = 2,  // takes no input, still painted
  kPanelGreyed = 3,  // not painted at all
};

// Highlight levels (the highlight field): 0 plain, 1 selected (the level-1 overlay under the
// level-0 one), 2 inactive with its picture in grey.
enum PanelHighlight : int { kPanelPlain = 0, kPanelSelected = 1, kPanelInactive = 2 };

// The digits of the count badge: the battle's marker sprite "sprites\markers.spr", whose
// frame for a character is its code - 32. The battle sets it when it loads the sprite; while
// it is null no badge is printed.
extern const CSprite* g_panelBadgeSprite;

class CPanelButton : public CButton {
 public:
  CPanelButton();
  // Frees the saved background; the window object unregisters itself.
  ~CPanelButton() override = default;

  // Paints the button onto its surface, clipped to its rectangle widened by 4 pixels on the
  // left, 5 on the right and 4 below: nothing while greyed; in grey (normal frame and
  // level-0 overlay) at highlight 2; else the state's frame (the normal one when the state
  // has none), the overlays of the highlight level and the count badge above 1.
  void Draw() override;
  // Puts back the saved background, or fills the widened rectangle with black (opaque
  // panels) or the surface's colour key (keyed panels).
  void Erase() override;
  // Highlight 0, then Erase and Draw.
  void Unhighlight() override;
  // Hidden: state 2 and no input.
  void Hide();
  // State 0 (normal); input again unless the highlight level is 2.
  void Show();

  // Frames by state (normal, pressed, hidden, greyed) and by highlight level; -1 for none.
  void SetStateFrames(int normal, int pressed, int hidden, int greyed);
  void SetOverlayFrames(int level0, int level1, int level2);
  // The grimoire's page value.
  void SetTag(int tag) { m_tag = tag; }

  // Keeps a copy of what lies under the button on its surface (its rectangle widened by 4
  // pixels left and right and 4 below), a plain copy queued when deferred blits are on. The
  // select bar calls it after painting its surfaces.
  void SaveBackground();
  // Drops the copy (when the surface it came from goes).
  void FreeBackground();

  int stateFrames[4] = {-1, -1, -1, -1};
  int overlayFrames[3] = {-1, -1, -1};
  int m_tag = 0;
  int m_count = 0;  // shown as a number when above 1
  CSurface background;
  uint8_t backgroundSaved = 0;

 private:
  // The rectangle the button paints, in its surface's pixels, cut to the surface.
  platform::Rect PaintRect() const;
  void PrintBadge(int x, int y) const;

  platform::Rect savedAt_{};  // where the saved background came from, in surface pixels
};
