// The front end's calls on the wizard table: the records themselves, in place of the stand-in
// that kept only their magic.
#include "frontend/FrontEndWizardTable.h"

#include <algorithm>

#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "frontend/FrontEndWizards.h"

namespace {

class CWizardTableCalls : public IFrontEndWizards {
 public:
  void ClearTable() override { g_wizardTable.Clear(); }
  void LoadStartWizard(int record) override {
    CWizard* wizard = g_wizardTable.At(record < 0 ? g_wizardTable.FindFree() : record);
    if (wizard) wizard->LoadDefinition(g_startWizardFile, 0, -1);
  }
  void ForgetKnowledge(int record) override {
    if (CWizard* wizard = g_wizardTable.At(record)) wizard->textBlock.assign(kWizardTextBlockBytes, 0);
  }
  void AddItem(int record, int item) override {
    if (CWizard* wizard = g_wizardTable.At(record)) wizard->AddMagicItem(item);
  }
  void SetTalismans(int record, int law, int neutral, int vrask) override {
    if (CWizard* wizard = g_wizardTable.At(record)) {
      wizard->talismans[0] = law;
      wizard->talismans[1] = neutral;
      wizard->talismans[2] = vrask;
    }
  }
  int KnownItems(int record, int items[25]) override {
    const CWizard* wizard = g_wizardTable.At(record);
    int n = 0;
    while (wizard && n < kWizardMagicItems && wizard->magicItems[n] != -1) {
      items[n] = wizard->magicItems[n];
      ++n;
    }
    return n;
  }
  void Talismans(int record, int levels[3]) override {
    const CWizard* wizard = g_wizardTable.At(record);
    for (int a = 0; a < 3; ++a) levels[a] = wizard ? wizard->talismans[a] : 0;
  }
  int SpellPool(int record, int* spells, int max) override {
    const CWizard* wizard = g_wizardTable.At(record);
    if (!wizard || max <= 0) return 0;
    const int n = std::min(max, wizard->spellCount);
    std::copy_n(wizard->spellPool.begin(), n, spells);
    return n;
  }
  void ClearSpellPool(int record) override {
    if (CWizard* wizard = g_wizardTable.At(record)) wizard->ClearSpellPool();
  }
  void AddSpellsToPool(int record, const int* spells, int count) override {
    CWizard* wizard = g_wizardTable.At(record);
    for (int i = 0; wizard && i < count; ++i) wizard->AddSpell(spells[i]);
  }
  int CountInGroup(int group) override { return g_wizardTable.CountInGroup(group); }
};

CWizardTableCalls g_wizardTableCalls;

}  // namespace

void InstallWizardTableCalls() { InstallFrontEndWizards(&g_wizardTableCalls); }
