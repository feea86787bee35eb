#include "battle/BattlePanels.h"

#include "battle/PanelBattle.h"
#include "battle/SelectBar.h"
#include "battle/WizardFacePanel.h"

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
