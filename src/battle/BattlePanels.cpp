#include "battle/BattlePanels.h"

#include <vector>

#include "battle/Battle.h"
#include "battle/BattleCasting.h"
#include "battle/ChatConsole.h"
#include "battle/ControlLimitPanel.h"
#include "battle/MessagePanel.h"
#include "battle/MessageScroll.h"
#include "battle/PanelBattle.h"
#include "battle/Scanner.h"
#include "battle/ScriptActors.h"
#include "battle/ScrollPanel.h"
#include "battle/SelectBar.h"
#include "battle/SpotIcons.h"
#include "battle/TimerPanel.h"
#include "battle/TooltipManager.h"
#include "battle/WizardFacePanel.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "graphics/Display.h"
#include "magic/EffectBattle.h"
#include "ui/SpeechCtrl.h"

void InitSelectBarAndFace() {
  g_selectBar.Init();
  g_wizardFacePanel.Init();
}

void SetUpSelectBarAndFace(int wizard) {
  PanelWizardState state;
  if (wizard >= 0 && !g_panelBattle->GetWizard(wizard, state)) wizard = -1;
  g_wizardFacePanel.SetWizard(wizard);
  g_wizardFacePanel.Load();
  g_wizardFacePanel.Activate();
  if (wizard < 0) return;
  g_wizardFacePanel.SetHealthMax(state.maxHealth);
  g_wizardFacePanel.health = state.health;
  g_wizardFacePanel.SetManaValue(state.mana / 256);
  g_wizardFacePanel.manaMax = state.maxMana / 256;
  g_selectBar.SetWizard(wizard);
  // Loading the bar paints its surface, the face's gauges and mana bar with it.
  g_selectBar.Load();
  g_wizardFacePanel.UpdateHealthGauge(state.health);
  g_selectBar.UpdateButtons(state.mana / 256);
}

void FreeSelectBarAndFace() {
  g_selectBar.Release();
  g_wizardFacePanel.Release();
}

void LoadBattleMessagePanels() {
  g_scrollPanel.Load();
  if (g_directAI) return;
  g_messageScroll.Load();
  g_chatConsole.Load();
  // The console's recipients: every other player of the battle.
  const char* names[kPlayerSlotCount];
  for (int slot = 0; slot < kPlayerSlotCount; ++slot) names[slot] = g_playerSlots[slot].name;
  g_chatConsole.SetRecipientsFromSlots(names, g_localArmy);
}

void SetUpSpotIconsAndScanner() {
  g_spotIcons.Load();
  g_spotIcons.ShowAll();
  g_scanner.Load();
  // A map the scanner cannot show (larger than its tables) leaves it hidden.
  if (g_scanner.MapWidth() > 0) g_scanner.Show();
  g_messagePanel.Load();
  g_messagePanel.frameRateLines = g_showFrameRate != 0;
}

void FreeBattleMessagePanels() {
  g_spotIcons.Release();
  g_scanner.Hide();
  g_scanner.Release();
  if (!g_directAI) g_messageScroll.Release();
  g_scrollPanel.Release();
  if (!g_directAI) {
    g_chatConsole.Hide();
    g_chatConsole.Release();
  }
}

void StepBattlePanels() {
  if (!g_spotIcons.Greyed()) g_spotIcons.Tick();
}

void DrawBattlePanels(bool localArmy) {
  if (localArmy) {
    if (g_selectBar.shown) g_selectBar.Draw();
    if (g_chatConsole.Shown() && !g_selectBar.popupOpen) g_chatConsole.Draw();
    g_spotIcons.Draw();
    if (g_battle) g_battle->DrawBattleButtons();
    if (g_timerPanel.flag) g_timerPanel.Draw();
    if (g_controlLimitPanel.flag) g_controlLimitPanel.Draw();
  }
  g_wizardFacePanel.Draw();
  g_messagePanel.Draw();
  g_messageScroll.Draw();
  // The scanner draws nothing while it is hidden (its Draw still follows the camera).
  g_scanner.Draw();
  if (g_scrollPanel.Shown()) g_scrollPanel.Draw();
  g_tooltipManager.Update();
  if (g_speechCtrl.IsActive()) g_speechCtrl.Draw(&g_backBuffer);
}

void CBattleCreaturePanels::ShowWizardHealth(int health) { g_wizardFacePanel.UpdateHealthGauge(health); }

void CBattleCreaturePanels::ShowWizardMana(int mana) {
  g_wizardFacePanel.SetManaLevel(mana * 256);
  g_selectBar.UpdateButtons(mana);
}

void CBattleCreaturePanels::ShowWizardMaxMana(int maxMana) { g_wizardFacePanel.SetManaLimit(maxMana); }

void CBattleCreaturePanels::ShowSpellCost(int cost) { g_wizardFacePanel.SetSpellCost(cost); }

void CBattleCreaturePanels::ShowCurrentSpell(int spell) {
  const int shown = g_selectBar.selectedPopup >= 0 ? g_selectBar.popup[g_selectBar.selectedPopup].kind : -1;
  if (shown >= 0 && (spell == -1 || spell == shown)) g_selectBar.PressSelected();
}

int CBattleCreaturePanels::EventPanelCount() { return g_selectBar.popupCount; }

void CBattleCreaturePanels::NotifyEvent(int creature, int kind) {
  if (creature < 0 || creature != g_selectBar.Wizard()) return;
  PanelWizardState state;
  if (!g_panelBattle->GetWizard(creature, state)) return;
  // The item's slot: the first of its kind (a kind shown already only raises its badge).
  for (int s = 0; s < kCarrySlots; ++s)
    if (state.items[s].kind == kind) {
      g_selectBar.AddPopupButton(kind, s);
      return;
    }
}

void CBattleCreaturePanels::RefreshEventPanel() {
  // Updating may close a gap in the strip, so the slots are taken first.
  std::vector<int> slots;
  for (int i = 0; i < g_selectBar.popupCount; ++i)
    if (g_selectBar.popup[i].type == kEntryItem) slots.push_back(g_selectBar.popup[i].carrySlot);
  for (int s : slots) g_selectBar.UpdateItemButton(s);
}

void CBattleCreaturePanels::AddItemButton(int carrySlot, int kind) { g_selectBar.AddPopupButton(kind, carrySlot); }
void CBattleCreaturePanels::UpdateItemButton(int carrySlot) { g_selectBar.UpdateItemButton(carrySlot); }
void CBattleCreaturePanels::RebuildSpellPopup() { g_selectBar.BuildSpellPopup(); }
void CBattleCreaturePanels::ShowDefeatMessage(int n) {
  g_scriptBattleEnd->SetBattleEndMessage(g_scriptBattleEnd->DefeatMessage(n));
}
void CBattleCreaturePanels::ControlLimitReached() { g_selectBar.ClearCreatureSelection(); }
void CBattleCreaturePanels::ControlLimitLeft() { g_selectBar.ResetButtons(); }
void CBattleCreaturePanels::ShowControlCount(int count) { g_controlLimitPanel.SetValue(count); }
void CBattleCreaturePanels::AddSpotIcon(int creature) { g_spotIcons.AddCreature(creature, 0); }
void CBattleCreaturePanels::RemoveSpotIcon(int creature) { g_spotIcons.RemoveCreature(creature); }
void CBattleCreaturePanels::ShowMessage(int message) { g_messageScroll.QueueMessage(message); }
void CBattleCreaturePanels::ShowNamedMessage(int message, const char* name) {
  g_messageScroll.ShowNamedMessage(name, message);
}

namespace {
CBattleCreaturePanels g_battleCreaturePanels;
}  // namespace

void InstallBattlePanels() {
  g_creatureBattle.Install(&g_battleCreaturePanels);
  g_effectBattle.Install(&BattleEffectAnswers());
}
