#include "frontend/SpellBoxHandOver.h"

#include "frontend/SpellBox.h"

CScreen* OpenTimedSpellBox(int wizardRecord, int seconds) {
  if (!g_spellBox) return nullptr;
  g_spellBox->ResetChoices();
  g_spellBox->wizardRecord = wizardRecord;
  g_spellBox->timedMode = 1;
  g_spellBox->remainingTime = seconds;
  return g_spellBox;
}
