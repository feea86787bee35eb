// The summoning effects: an effect at a cell finds room for a creature near it, moves there,
// and makes the creature in a free slot for the caster's army, or for the army a script
// event names; a scripted wizard is read from the battle map's wizard files and deployed.
#include <cstdio>
#include <string>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/Wizard.h"
#include "magic/Effect.h"
#include "magic/EffectScript.h"
#include "magic/EffectSummons.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"

namespace {
IEffectSummons g_neutralSummons;
}  // namespace

constinit HookSlot<IEffectSummons> g_effectSummons{&g_neutralSummons};

namespace {

namespace w = effect_word;

constexpr int kScriptOrigin = 4;  // word 10 of an effect a script event started
constexpr int kWizardFiles = 9;

bool IsKnownType(int type) { return type >= 0 && type < kCreatureTypes; }

// The army of a summon without a caster: the first army in use that has no wizard creature.
int FirstArmyWithoutWizard() {
  for (int a = 0; a < kArmyCount; ++a) {
    const CArmy* army = g_armyTable.GetArmy(a);
    if (army && army->inUse && !g_creatureArray.InUse(army->wizardCreature)) return a;
  }
  return -1;
}

int ScriptEventArmy(int event) {
  if (!g_effectSummons->HasEvent(event)) return -1;
  const char* name = g_effectSummons->EventArmyName(event);
  const CArmy* army = name ? g_armyTable.FindByName(name) : nullptr;
  return army ? army->index : -1;
}

bool BelowControlLimit(int army) {
  const CCreature* wizard = g_armyTable.GetWizard(army);
  if (!wizard || !wizard->inUse) return true;
  return wizard->behaviour.armyCount < wizard->aiWords[wizard_words::kControlLimit];
}

}  // namespace

int CEffect::PlaceSummon(int type) {
  if (!IsKnownType(type) || !g_map.cells) return 0;
  CCreatureType& record = g_creatureTypes[type];
  if (!IsWizardType(type)) {
    const CCreature* caster = g_creatureArray.InUse(params[w::kCreature]);
    // A creature whose pictures cannot be loaded cannot stand: the summon is refused here
    // rather than ending the program when the creature is made.
    if (!LoadCreatureTypeAnims(record, type, ChooseCreatureAnimFile(type, caster ? caster->army : -1))) {
      platform::ShowMessageBox("Unable to load creature file", "DEPLOYMENT ERROR", WarningBoxFlags());
      return 0;
    }
  }
  int fx = cellX, fy = cellY, level = cellLevel;
  if (!g_map.FindFreePositionNear(-1, record.MakePlacementRequest(), fx, fy, level)) return 0;
  x = (record.TileSizeXY + 2 * fx) * kUnitsPerTile / 2;
  y = (record.TileSizeXY + 2 * fy) * kUnitsPerTile / 2;
  z = level * kUnitsPerLevel;
  if (fx == cellX && fy == cellY && level == cellLevel) return 1;
  UnlinkFromCell(cell);
  cellX = fx;
  cellY = fy;
  cellLevel = level;
  cell = g_map.CellIfInside(fx, fy, level);
  terrainType = &TerrainOf(cell ? cell->terrain : 0);
  LinkToCell(cell);
  return 1;
}

int CEffect::CreateSummonedCreature(int type, int illusion) {
  if (!IsKnownType(type) || !g_map.cells) return 0;
  const CCreatureType& record = g_creatureTypes[type];
  if (g_map.IsColumnBlocked(cellX, cellY, cellLevel, record.TileHeight, record.TileSizeXY, -1)) return 0;
  const CCreature* caster = g_creatureArray.InUse(params[w::kCreature]);
  if (caster && !BelowControlLimit(caster->army)) return 0;
  const bool scripted = !caster && params[w::kMode] == kScriptOrigin;
  const int army = caster ? caster->army : scripted ? ScriptEventArmy(params[w::kValue]) : FirstArmyWithoutWizard();
  // Every creature belongs to an army: with none to take it the summon is refused.
  if (army < 0) return 0;
  CCreature* made = g_creatureArray.FindFree();
  if (!made) return 0;
  creature = made->index;
  made->Reset(made->index);
  made->SetPosition(cellX, cellY, cellLevel, type);
  made->InitFromType(type, army);
  // Before the script's settings, which may make it an illusion themselves.
  made->SetIllusion(illusion != 0);
  if (!caster) {
    // It keeps to where it appeared.
    made->orderState.previousX = cellX;
    made->orderState.previousY = cellY;
    made->orderState.previousLevel = cellLevel;
    if (scripted) g_effectSummons->ApplyCreatureAction(made->index, params[w::kValue]);
  }
  if (made->IsLocalPlayers()) g_map.RequestFullVisibilityRefresh();
  params[w::kTarget] = made->index;
  return 1;
}

int CEffect::SummonWizard() {
  const int event = params[w::kValue];
  if (!g_effectSummons->HasEvent(event) || !g_map.cells) return 0;
  const char* wanted = g_effectSummons->EventWizardName(event);
  const char* mapName = g_effectSummons->MapName();
  if (!wanted || !mapName) return 0;
  const int mapNumber = g_effectSummons->MapNumber();

  // wizards\<map name><map number><i>.wzd, i = 1 to 9 in order.
  char folder[512];
  MakeCurrentDirPath((std::string("wizards\\") + mapName).c_str(), folder, sizeof folder);
  int found = 0;
  for (int i = 1; i <= kWizardFiles && !found; ++i) {
    char path[600];
    std::snprintf(path, sizeof path, "%s%d%d.wzd", folder, mapNumber, i);
    if (platform::ReadProfileString("GENERAL", "Name", "", path) == wanted) found = i;
  }
  if (!found) return 0;

  CWizard wizard;
  char file[300];
  std::snprintf(file, sizeof file, "%s%d%d.wzd", mapName, mapNumber, found);
  if (!wizard.LoadDefinition(file, 1, -1)) return 0;
  CArmy* army = g_armyTable.FindByName(wizard.name);
  if (!army) return 0;
  const int tx = params[w::kTargetX], ty = params[w::kTargetY], tz = params[w::kTargetZ];
  if (tx < 0 || ty < 0 || tz < 0 || tx / kUnitsPerTile >= g_map.width || ty / kUnitsPerTile >= g_map.height ||
      tz / kUnitsPerLevel >= g_map.levels)
    return 0;
  const int spawned = wizard.SpawnCreature(army->index, tx / kUnitsPerTile, ty / kUnitsPerTile, tz / kUnitsPerLevel);
  army->deploymentKey = -1;
  // No place or no slot for the wizard: nothing was summoned.
  if (spawned <= 0) return 0;
  if (g_creatureArray.InUse(army->wizardCreature)) g_effectSummons->ApplyCreatureAction(army->wizardCreature, event);
  return 1;
}

void CEffect::ReportFailedSummon() {
  if (params[w::kMode] == kScriptOrigin && !g_creatureArray.InUse(params[w::kCreature]))
    g_effectScript->SummonFailed(params[w::kValue]);
}
