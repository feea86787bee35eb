#pragma once
// CSelectBar: the bottom-right control block of the battle screen through which the local
// wizard chooses spells and uses carried items. A slot button (three are laid out, one is in
// use) shows the last choice; the toggle opens and closes a strip of up to 26 popup buttons
// (the wizard's spells, then its items); a mark blinks round the chosen spell; each spell
// shows how much of its cost the wizard has, each item what charge is left and how many of
// its kind are carried. In the reduced view the block stands on border art.
//
// The creature code feeds it (spell list, items, mana, the control limit), the battle's keys
// and the speech box lock and free it. A spell choice is this machine's own (the wizard's
// SelectSpell) and is offered to the script as a frame command; using or dropping an item is
// a frame command (MSG_USE_ARTIFACT, MSG_DROP_ARTIFACT), so that every machine runs it.
//
// Surfaces: the bar (204 x 140 at (596, 460), or (436, 340) in 640 x 480), which the wizard
// face panel paints into too, and the popup strip (596 or 436 x 140 at the left of it).

#include <functional>
#include <memory>

#include "battle/InterfacePanel.h"
#include "battle/PanelButton.h"
#include "graphics/Sprite.h"
#include "ui/Button.h"

inline constexpr int kPopupButtons = 26;
inline constexpr int kSlotButtons = 3;
inline constexpr int kSlotButtonsInUse = 1;
inline constexpr int kMaxPopupSpells = 25;
inline constexpr int kRemovalDelayFrames = 20;
inline constexpr int kSelectBarClickSound = 820;

// Entry types of a button.
enum SelectEntryType : int { kEntrySpell = 0, kEntryItem = 1 };

// A popup or slot button with the entry it shows.
class CSelectButton : public CPanelButton {
 public:
  int kind = -1;  // spell id or object kind; -1 none
  int type = kEntrySpell;
  int carrySlot = -1;  // an item's slot among the wizard's 20, -1 for spells
  uint8_t show = 0;
  int chargeStep = 0;  // 0-5
  int manaStep = 0;    // 0-31
  int source = -1;     // a slot button: the popup button it came from
};

class CSelectBar : public CInterfacePanel {
 public:
  CSelectBar() = default;
  ~CSelectBar() override;

  // Every frame: the blinking mark and the removal queue (unless locked), then the bar's
  // surface and, while the strip is open, the strip's, by the panel draw rule.
  void Draw() override;
  // Program start: the icon and toggle sprites (a missing one ends the program) and the
  // buttons' places; nothing takes input until a battle loads the bar.
  void Init() override;
  // The battle is left: surfaces, backgrounds, restore callback and wizard go, the buttons
  // stop taking input.
  void Release() override;
  // A battle starts (or the display options changed): both surfaces, the buttons placed for
  // the resolution, the display mode's background, then the wizard's spells and items.
  void Load() override;

  // The wizard the bar shows (a creature slot, -1 none); set before Load.
  void SetWizard(int creature) { wizard_ = creature; }
  int Wizard() const { return wizard_; }

  // Fills the strip from the wizard's spells (more than 25: an error box; the first 25 are
  // shown) and carried items.
  void BuildSpellPopup();
  // An item picked up (kind, carry slot): a new button, or the badge of its kind's button
  // goes up. Kinds above 96 are no items of the bar; a full strip refuses with a warning.
  void AddPopupButton(int kind, int carrySlot);
  // The wizard's mana (whole points) changed: the spells' fill steps follow.
  void UpdateButtons(int mana);
  // An item's charge changed: its mark follows; used up, it greys for 20 frames and goes (at
  // once when the strip is full). Kinds above 83 are not used up.
  void UpdateItemButton(int carrySlot);
  // The control limit: reached (summoning spells grey and a summoning choice is cleared),
  // fallen below (every spell button works again).
  void ClearCreatureSelection();
  void ResetButtons();
  // Unhighlights the selected popup and slot buttons and clears both selections.
  void PressSelected();

  // The speech box lock: only the spell buttons of that kind stay usable (-1: none) until
  // RefreshAvailability lifts it.
  void SelectByKind(int kind);
  void RefreshAvailability();
  void ShowAll();
  void HideAll();
  // The screen rectangles of the selected popup and slot buttons; false when either is missing.
  bool GetSelectedRects(platform::Rect& popup, platform::Rect& slot) const;
  // Opens or closes the strip (the toggle, and the battle's Tab key).
  void TogglePopup();
  // Paints both surfaces for the display mode: border art in the reduced view, else empty.
  void ApplyDisplayMode();
  // A left or right click on popup button i (also the battle's keys).
  void ClickPopup(int index, bool right);
  void ClickSlot(int index);

  // The bar's left edge and the bottom block's offset for the resolution.
  static int LeftEdge();
  static int BlockOffset();

  CSelectButton popup[kPopupButtons];
  CSelectButton slot[kSlotButtons];
  CButton toggle;
  CSurface barSurface;
  CSurface popupSurface;
  // The reduced view's border art under the strip, shown in its place while it is closed.
  CSurface stripBorder;
  CSprite iconSprite;
  CSprite toggleSprite;
  int selectedPopup = -1;
  int selectedSlot = -1;
  int popupCount = 0;
  int nextSlot = 0;
  int slotsInUse = kSlotButtonsInUse;
  bool popupOpen = false;
  bool locked = false;
  bool shown = false;  // the battle draws the bar while it is shown
  int blink = 0;       // 0-11

  struct Removal {
    int index;
    int framesLeft;
  };
  Removal removals[kPopupButtons] = {};
  int removalCount = 0;

 private:
  void PlaceButtons(bool firstTime);
  void CreateCallbacks();
  void ResetEntries();
  void Repaint(CSelectButton& button);
  // Highlighted as the choice, with the blinking mark's current frame.
  void MarkSelected(CSelectButton& button);
  // Back to plain, without the mark, and painted again.
  void Unmark(CSelectButton& button);
  void FillSpellButton(CSelectButton& button, int spell, int mana);
  void FillItemButton(CSelectButton& button, int kind, int carrySlot, int charges);
  void CopyEntry(CSelectButton& to, const CSelectButton& from);
  void ClearEntry(CSelectButton& button);
  void SelectSpellEntry(int popupIndex);
  void ChooseSlotFor(int popupIndex);
  void RemovePopupButton(int index);
  void QueueRemoval(int index);
  void StepRemovals();
  void StepBlink();
  void SetToggleOpen(bool open);
  void DrawToggle();
  void ShowToggle();
  void HideToggle();
  void RestoreSurfaces();
  void SaveBackgrounds();
  void RedrawAll();
  bool AtControlLimit() const;
  int WizardMana() const;
  void SendItemCommand(int type, int index);

  int wizard_ = -1;
  std::unique_ptr<CCallback> callbacks_[2 * kPopupButtons + kSlotButtons + 1];
  std::unique_ptr<CPanelRestoreCallback> restore_;
  bool placed_ = false;
  bool spellWarningShown_ = false;  // the box about more than 25 spells, once a battle
};

extern CSelectBar g_selectBar;

// Creature-summoning spells: the control limit greys them.
bool IsSummoningSpell(int spell);
