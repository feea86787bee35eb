#pragma once
// CSpotIcons: a column of up to ten portrait buttons at the right edge of the battle screen
// that announce creatures the local player has sighted (or that attack it). Each icon lasts
// 200 frames; an eleventh replaces the oldest. A click centres the view on its creature.
//
// sprites\SpotIcons.spr holds 56 frames of 36 x 36: frames 0-27 the faces of the creature
// types 1-28 (frame 23 the wizard, frame 26 the kind-2 announcement), frames 28-55 the same
// faces in the look of a sighting (kind 0).

#include <memory>
#include <vector>

#include "battle/InterfacePanel.h"
#include "graphics/Sprite.h"
#include "ui/Flatwin.h"

inline constexpr int kSpotIconCount = 10;
inline constexpr int kSpotIconSize = 36;
inline constexpr int kSpotIconFrames = 200;
inline constexpr int kSpotIconsWidth = 72, kSpotIconsHeight = 180;

class CSpotIcons : public CInterfacePanel {
 public:
  struct Icon {
    int creature = -1;
    int framesLeft = 0;
    int kind = 0;   // the announcement: 0 sighted, 1, 2
    int frame = 0;  // of SpotIcons.spr
    int tooltip = 0;
    bool shown = false;
    platform::Rect rect{};  // on the screen
  };

  CSpotIcons();
  ~CSpotIcons() override;

  // The panel's operations, in their order. Draw copies the surface by the panel draw rule
  // while any icon is in use (an empty column shows nothing, not its blank surface).
  void Draw() override;
  // Lays the icons out for the resolution.
  void Init() override { Layout(); }
  void Release() override;
  // Loads the sprite (missing: the program ends), creates the 72 x 180 surface at (728, 100)
  // (568 in 640 x 480) and lays the icons out.
  void Load() override;

  // Announces a creature; answers its icon. Kind 1 first reuses the icon already showing the
  // creature; otherwise a free icon, or the oldest one when all ten are in use.
  int AddCreature(int creature, int kind);
  void RemoveCreature(int creature);
  // From the battle step, unless greyed: every shown icon counts down, and goes at 0.
  void Tick();
  // The pause greys the whole column once; Ungrey draws the shown icons again.
  void Grey();
  void Ungrey();
  // The battle shows or hides its interface: the icons in use take input or not.
  void ShowAll();
  void HideAll();
  // A click on an icon: the view shows the creature's level and centres on it.
  void OnIconClick(int icon);

  // What the column announces, kept over a reload of the battle's graphics (the battle
  // options change the resolution): the creatures are still in sight, so no new sighting would
  // bring their icons back.
  struct Kept {
    Icon icons[kSpotIconCount];
    std::vector<int> order;
    bool greyed = false;
  };
  Kept Keep() const;
  // After Load: the kept icons again, each in its place of the new layout, counting on.
  void Restore(const Kept& kept);

  // The frame and tooltip id of an announcement of a creature type.
  static int IconFrame(int type, int kind);
  static int TooltipId(int type, int kind) { return 300 + 28 * kind + type; }

  const Icon& IconAt(int icon) const { return icons_[icon]; }
  const std::vector<int>& Order() const { return order_; }
  bool Greyed() const { return greyed_; }
  // False while hidden (a speech shows).
  bool AllShown() const { return shownAll_; }

  CSurface surface;
  CSprite sprite;

 private:
  class Button;
  void Layout();
  void Clear(int icon);
  void Repaint();
  int SurfaceX() const;

  Icon icons_[kSpotIconCount];
  std::unique_ptr<Button> buttons_[kSpotIconCount];
  std::vector<int> order_;
  bool greyed_ = false;
  bool shownAll_ = true;
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CSpotIcons g_spotIcons;
