// Feeds arbitrary text to the reader of a wizard's definition (wizards\<name>.wzd): a file it
// takes leaves every statistic and time within the wizard's range and an animation name that
// stays inside the data folder; one it refuses leaves the record as it was.
#include <cstdint>
#include <cstring>

#include "GameDataFuzz.h"
#include "core/DataPath.h"
#include "creatures/Wizard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("wizard_file", {"wizards"});
  fuzz::WriteInputAs({"wizards/fuzz.wzd"}, data, size);
  CWizard wizard;
  try {
    if (!wizard.LoadDefinition("fuzz.wzd", 1, 0)) {
      fuzz::Expect(wizard.inUse == 0 && std::strcmp(wizard.animFile, CWizard{}.animFile) == 0);
      return 0;
    }
  } catch (const fuzz::ProgramEnded&) {
    return 0;
  }
  for (int32_t v : {wizard.maxMana, wizard.maxHealth, wizard.controlLimit, wizard.magicResistance, wizard.intelligence,
                    wizard.combatModifier, wizard.difficultyModifier})
    fuzz::Expect(v >= -kWizardValueLimit && v <= kWizardValueLimit);
  fuzz::Expect(wizard.animFile[0] == '\0' || IsInsideDataFolder(wizard.animFile));
  for (const CWizardAction& action : wizard.actions)
    fuzz::Expect(action.beginTime >= 0 && action.beginTime <= kWizardSecondsLimit * kWizardFramesPerSecond);
  return 0;
}
