#pragma once
// The battle's calls to the select bar and the wizard face panel: their part of the
// front-end root's panel loads at program start, of the battle's SetUpPanels when a battle
// starts (or its graphics are reloaded), and of its FreeGraphics when it is left; and the
// creature code's calls to both panels (the panel part of ICreatureBattle).

#include "creatures/CreatureHooks.h"

// Program start: the art and texts of both panels (the select bar's missing art ends the
// program).
void InitSelectBarAndFace();
// A battle starts: the face panel is loaded and shown; with a local wizard (a creature slot,
// -1 none) the select bar shows its spells and items and the face its health and mana.
void SetUpSelectBarAndFace(int wizard);
// The battle is left, or its graphics are reloaded.
void FreeSelectBarAndFace();

// The battle's other panels. LoadGraphics: the story scroll and (unless the battle runs
// unattended, directAI) the message scroll and the chat console; SetUpPanels: the spot icons
// and the scanner, loaded for this map and shown, and the message panel's lines blanked.
void LoadBattleMessagePanels();
void SetUpSpotIconsAndScanner();
// FreeGraphics: their art and surfaces go, the scanner hidden.
void FreeBattleMessagePanels();
// After the battle's FreeGraphics and a change of resolution or view size: the panels and the
// view's rectangle again, for the resolution now in use; the camera stays where it looked.
class CBattle;
void ReloadBattleGraphics(CBattle& battle);
// The battle step before the map is drawn: the spot icons count down (unless greyed).
void StepBattlePanels();
// After the map, in the battle's order: with a local army the select bar, the chat console
// (not over the open popup strip), the spot icons and the counters; then the message lines,
// the message scroll, the scanner, the story scroll, the tooltip and a showing speech.
void DrawBattlePanels(bool localArmy);

// The creature code's calls about the local wizard, shown on the select bar and the face
// panel. The battle state's answers to the creatures derive from this class so that these
// stay; InstallBattlePanels installs it alone until then.
class CBattleCreaturePanels : public ICreatureBattle {
 public:
  void ShowWizardHealth(int health) override;
  void ShowWizardMana(int mana) override;  // whole points
  void ShowWizardMaxMana(int maxMana) override;
  void ShowSpellCost(int cost) override;
  // A spell aimed no more (-1: whatever was aimed): the bar's mark round it goes.
  void ShowCurrentSpell(int spell) override;
  // The select bar's buttons (0-26): the creature code refuses an item above 25.
  int EventPanelCount() override;
  // An item taken into one of the wizard's carry slots: its button, or its kind's badge.
  void NotifyEvent(int creature, int kind) override;
  // An item was used: every item button follows its item's charge.
  void RefreshEventPanel() override;
  void AddItemButton(int carrySlot, int kind) override;
  void UpdateItemButton(int carrySlot) override;
  void RebuildSpellPopup() override;
  // The local wizard left play: the defeat message of the battle's end screen.
  void ShowDefeatMessage(int n) override;
  void ControlLimitReached() override;
  void ControlLimitLeft() override;
  void ShowControlCount(int count) override;
  // Sighted creatures announce themselves on the spot icons; messages go to the scroll.
  void AddSpotIcon(int creature) override;
  void RemoveSpotIcon(int creature) override;
  void ShowMessage(int message) override;
  void ShowNamedMessage(int message, const char* name) override;
};

// Puts the panels where the creature code looks for them (g_creatureBattle) and where the
// countdown effects look for the scanner and the timer (g_effectBattle).
void InstallBattlePanels();
