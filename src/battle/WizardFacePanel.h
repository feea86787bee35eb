#pragma once
// CWizardFacePanel: the local wizard at the right end of the bottom control block. Its
// portrait doubles as the health gauge (full colour up to the health level, faded above it);
// a 128-step mana bar round it marks in dull yellow the part of the mana the chosen spell
// would spend; hovering shows the wizard's figures as a tooltip; a click selects the wizard,
// or centres the view on it when it was selected already. It paints into the select bar's
// work surface and owns only the portrait surface and its window rectangle.

#include <memory>

#include "battle/InterfacePanel.h"
#include "core/StringTable.h"
#include "graphics/Sprite.h"
#include "ui/Flatwin.h"

inline constexpr int kPortraitCount = 12;
inline constexpr int kManaBarSteps = 128;
inline constexpr int kGaugeSize = 80;  // the portrait's gauge: 80 x 80 pixels

// The portraits, by a player's portrait index.
extern const char* const kPortraitFiles[kPortraitCount];

class CWizardFacePanel : public CFlatWin, public CInterfacePanel {
 public:
  CWizardFacePanel() = default;
  ~CWizardFacePanel() override = default;

  // The panel's operations. It has nothing to copy each frame: its pictures lie on the select
  // bar's surface.
  void Draw() override { DoNothing(); }
  // Program start: the three mana sprites, the tooltip texts of cfg\wizardface.cfg (each
  // missing one is reported and the program goes on) and the window rectangle, inactive.
  void Init() override;
  // The battle is left: the restore callback, the portrait and the wizard go.
  void Release() override;
  // A battle starts: the portrait of the local wizard is chosen and loaded.
  void Load() override;

  // The window object: a release selects the wizard (or centres the view on it), hovering
  // shows its figures, leaving restarts the tooltip's delay.
  void OnMouse(int flags, CMouseEvent event) override;
  int IsTransparentAt(int, int) override { return 0; }

  // Places the window rectangle for the resolution.
  void PlaceForResolution();
  // The panel is shown and takes input.
  void Activate();
  void SetWizard(int creature) { wizard_ = creature; }
  int Wizard() const { return wizard_; }

  // The health gauge: the part of the portrait that changed is painted again (fallen: faded
  // from the top down to the new level; risen: full colour from the new level down). Health
  // is kept within 0 and the maximum.
  void UpdateHealthGauge(int health);
  // Both parts of the portrait from the stored health, then the whole mana bar.
  void RedrawHealthGauge();
  // Stored without painting; a maximum below 1 counts as 1.
  void SetHealthMax(int maximum);
  void SetManaValue(int mana);  // whole points

  // The mana bar, painted while a wizard is set: the mana (8.8 fixed point), its maximum and
  // the cost of the chosen spell (whole points).
  void SetManaLevel(int mana);
  void SetManaLimit(int maximum);
  void SetSpellCost(int cost);
  // The bar's yellow end (what stays after the spell) and filled end (the mana), 0-128.
  int YellowEnd() const;
  int FilledEnd() const;

  CSurface portrait;  // 164 x 80: full colour in columns 0-80, faded in 81-161
  CSprite manaYellow;
  CSprite manaDullYellow;
  CSprite manaBlack;
  int health = 0;
  int healthMax = 100;
  int mana = 0;  // whole points
  int manaMax = 100;
  int spellCost = 0;
  int lastYellowEnd = 0;
  int lastFilledEnd = kManaBarSteps;
  CStringTable texts;

 private:
  void LoadPortrait();
  void PaintManaBar();
  void CopyGauge(int left, int top, int right, int bottom, int atY);

  int wizard_ = -1;
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CWizardFacePanel g_wizardFacePanel;
