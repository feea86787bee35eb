// A wizard record becomes a wizard creature: the place, the wizard type, the look, the
// statistics (raised by the difficulty for a record that asks for it), spells, start objects
// and the AI's weights.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/WizardTable.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace {

constexpr int kDifficultyLevels = 4;
// The second portrait name (beside "isles female") of the female look.
constexpr const char* kSecondFemaleLook = "Morwen";

// "creatures\" [+ "16Mb Anims\"] + name + ".ani".
std::string AnimPath(const char* name) {
  return std::string("creatures\\") + (g_prefs.cutDownAnims ? "16Mb Anims\\" : "") + name + ".ani";
}

// The rank's look, "wizard1" to "wizard6".
std::string RankLook(int rank) { return "wizard" + std::to_string(std::clamp(rank, 1, 6)); }

// S + S x (B x M / 100) / 100, in integer arithmetic wide enough for any record and option,
// held within the values a wizard keeps.
int Raised(int statistic, int modifier, int option) {
  const int64_t raised = statistic + int64_t{statistic} * (int64_t{modifier} * option / 100) / 100;
  return static_cast<int>(std::clamp<int64_t>(raised, -kWizardValueLimit, kWizardValueLimit));
}

}  // namespace

int WizardLookClass(const char* look) {
  // The file's own name: after its last folder, up to its first '.'.
  std::string name = look ? look : "";
  if (const size_t slash = name.find_last_of("\\/"); slash != std::string::npos) name.erase(0, slash + 1);
  if (const size_t dot = name.find('.'); dot != std::string::npos) name.resize(dot);
  auto is = [&name](const char* text) { return platform::EqualNoCase(name, text); };
  if (is("wizard1") || is("wizard2")) return 0;
  if (is("wizard3") || is("wizard4")) return 1;
  if (is("wizard5") || is("wizard6")) return 2;
  if (is("isles female") || is(kSecondFemaleLook)) return 4;
  return 3;
}

int CWizard::Deploy(int toArmy, int site, int area, int placeOfPower) {
  int x = 0, y = 0, z = 0;
  const bool found = placeOfPower ? g_wizardHooks->PickPlaceOfPower(area, x, y, z)
                                  : g_wizardHooks->DeployWizardSite(site, area, deploymentKey, x, y, z);
  if (!found) return 0;
  return SpawnCreature(toArmy, x, y, z);
}

int CWizard::SpawnCreature(int toArmy, int x, int y, int z) {
  CArmy* armyRecord = g_armyTable.GetArmy(toArmy);
  CCreature* creature = g_creatureArray.FindFree();
  int number = 0;
  while (number < 4 && g_wizardTable.WizardNumberUsed(number)) ++number;
  if (!armyRecord || !creature || number == 4) return -1;
  const int typeNumber = WizardNumberToType(number);

  // The place first: without one nothing is taken, and the record is only marked deployed.
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  const bool placed = g_map.FindFreePositionNear(-1, g_creatureTypes[typeNumber].MakePlacementRequest(), x, y, z) != 0;
  deployed = 1;
  army = toArmy;
  if (!placed) return 0;

  g_wizardTable.TakeWizardNumber();
  armyRecord->SetWizardCreature(creature->index);
  armyRecord->wizardRecord = index;
  armyRecord->deploymentKey = deploymentKey;
  std::snprintf(armyRecord->name, sizeof armyRecord->name, "%s", name);
  creature->Reset(creature->index);
  creature->SetPosition(x, y, z, typeNumber);

  // The campaign's player wizard wears the look of its rank; every other its own, or its
  // rank's when its own file is not there (a creature without its animation cannot stand).
  const bool campaignPlayer = g_gameMode == kGameModeCampaign && toArmy == g_localArmy;
  std::string look = campaignPlayer ? RankLook(rank) : animFile;
  if (!platform::FileExists(AnimPath(look.c_str()))) look = RankLook(rank);
  std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", AnimPath(look.c_str()).c_str());

  // The difficulty raises the creature's values, never the record's: a record deployed again
  // starts from the same values.
  int health = maxHealth, mana = maxMana, control = controlLimit, resistance = magicResistance, wits = intelligence,
      combat = combatModifier;
  if (difficultyModifier != 0) {
    const int d = std::clamp(g_difficulty, 0, kDifficultyLevels - 1);
    health = Raised(health, difficultyModifier, g_healthModify[d]);
    mana = Raised(mana, difficultyModifier, g_manaModify[d]);
    control = Raised(control, difficultyModifier, g_controlModify[d]);
    resistance = Raised(resistance, difficultyModifier, g_magicResistModify[d]);
    wits = Raised(wits, difficultyModifier, g_intelligenceModify[d]);
    combat = Raised(combat, difficultyModifier, g_combatModify[d]);
  }

  creature->ownMaxHealth = health;
  creature->InitFromType(typeNumber, toArmy);
  creature->SetMaxMana(mana);
  creature->AddMana(mana * 256);
  creature->health = health;
  creature->aiWords[wizard_words::kControlLimit] = control;
  creature->aiWords[wizard_words::kCombatModifier] = combat;
  creature->intelligence = wits;
  creature->magicResistance = resistance;
  creature->ClearSpellsAndEvents();
  creature->orderState.looksChanged = 1;
  creature->UpdateStrength();
  creature->aiWords[wizard_words::kLookClass] = WizardLookClass(look.c_str());
  for (int w = 0; w < kWizardWeights; ++w) creature->aiWords[wizard_words::kFirstWeight + w] = weights[w];
  for (int s = 0; s < spellCount; ++s) creature->AddSpell(spellPool[s]);
  for (int n = 0; n < startObjectCount; ++n) {
    const CWizardStartObject& object = startObjects[n];
    creature->AddEvent(object.kind, object.values[0], object.values[1], object.values[2], object.values[3], 0);
  }
  for (CWizardAction& action : actions)
    if (action.valid) {
      action.actionsRemaining = action.numberOfActions;
      action.actionsDone = 0;
    }
  return 1;
}
