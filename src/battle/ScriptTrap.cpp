// The TRAP action: the terrain of an area destroyed, collapsed or created; poison or a
// promotion for a character or the creature that set the trap off; or a spell cast at it.
#include <cstring>

#include "battle/Battle.h"
#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "magic/EffectSounds.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

namespace script_actions {

std::function<void(const CSpellCast&)> g_trapSpellCaster = [](const CSpellCast& cast) { cast.Execute(); };

namespace {

enum TerrainEvent : int { kDestruction = 1, kCollapse = 2, kCreation = 3 };
enum TrapTarget : int { kTrapCharacter = 1, kTrapLocation = 2, kTrapCreatureType = 6, kTrapActive = 7 };
// The spell that casts nothing: its target fades out of the battle.
constexpr int kFadeSpell = 60;
constexpr int kFadeSound = 728;
// The spell that goes from the target to the source.
constexpr int kReversedSpell = 55;
enum Promotion : int { kLord = 1, kKing = 2 };

bool Named(const char* field) { return field[0] != '\0'; }

// The terrain CREATION makes at a cell: the variant of the type for its section's turn.
int CreatedTerrainAt(int type, int x, int y) {
  const int section = g_pathNetwork.FindSection(x, y);
  const int turns = section >= 0 && section < CPathNetwork::kSections ? g_pathNetwork.sections[section].rotation : 0;
  return TerrainOf(type).RotatedType(turns);
}

// A cell's terrain replaced: its animation stopped, its door bits cleared, and the path
// network told when its passability changed.
void ReplaceTerrain(int x, int y, int z, int type) {
  CMapCell& cell = g_map.CellAt(x, y, z);
  int before[3], after[3];
  g_map.GetCellPassability(x, y, z, before);
  if (cell.IsAnimated()) g_map.StopCellAnimation(&cell, cell.terrain);
  cell.SetTerrain(type);
  cell.state &= static_cast<uint16_t>(~state_bits::kDoorBits);
  g_map.GetCellPassability(x, y, z, after);
  const int change = ComparePassability(before, after);
  if (change != -1) g_pathNetwork.OnCellChanged(x, y, z, change);
}

void RunTerrainTrap(const CScriptEvent& e) {
  const ScriptTrapPart& t = e.trap;
  ForEachNamedAreaCell(
      t.trapTargetLocation,
      [&](int x, int y, int z) {
        CMapCell& cell = g_map.CellAt(x, y, z);
        switch (t.terrainEvent) {
          case kDestruction:
            ReplaceTerrain(x, y, z, 0);
            break;
          case kCollapse:
            if ((cell.terrain != 0 || cell.occupant != kNoLink || cell.object != kNoLink) && g_battle)
              g_battle->CollapseCell(&cell);
            break;
          case kCreation:
            ReplaceTerrain(x, y, z, CreatedTerrainAt(t.createdTerrain, x, y));
            break;
          default:
            break;
        }
        return true;
      },
      [&](int x, int y, int) { PlaySound(e, x, y); });
}

// Poison or a promotion for the target creature.
void RunCreatureTrap(const CScriptEvent& e, CCreature* target) {
  const ScriptTrapPart& t = e.trap;
  if (!target) return;
  if (t.poisonCharacter) target->AddScore(t.poisonCharacter);
  if (target->type && !target->IsWizard()) {
    if ((t.promotion == kLord || t.promotion == kKing) && target->rank == 0)
      target->AddExperience(target->type->LordExperienceLevel + 1);
    if (t.promotion == kKing && target->rank == 1) target->AddExperience(target->type->KingExperienceLevel + 1);
  }
  PlaySound(e, target->cellX, target->cellY);
}

void RunSpellTrap(const CScriptEvent& e, CCreature* trigger) {
  const ScriptTrapPart& t = e.trap;
  CCreature* target = nullptr;
  Place targetCell;
  switch (t.trapTarget) {
    case kTrapCharacter: {
      const ScriptActor* actor = g_scriptActors.FindByName(t.trapTargetCharacter);
      target = BoundCreature(actor);
      targetCell = target ? At(target->cellX, target->cellY, target->level) : LastCell(actor);
      break;
    }
    case kTrapLocation:
      targetCell = AreaCentre(t.trapTargetLocation);
      break;
    case kTrapCreatureType:
    case kTrapActive:
      target = trigger;
      if (target) targetCell = At(target->cellX, target->cellY, target->level);
      break;
    default:
      break;
  }
  if (!target && !targetCell.found) return;  // nothing to cast at
  Place source = targetCell;
  if (Named(t.sourceLocation)) {
    source = AreaCentre(t.sourceLocation);
    if (!source.found) return;  // a missing area cancels the trap
  }
  if (t.trapSpell == kFadeSpell) {
    if (target) {
      target->StartPrintEffect8();
      g_effectSounds->PlayAt(kFadeSound, target->cellX, target->cellY, nullptr, 0);
    }
    return;
  }
  MapPoint from = PointOf(source), to = PointOf(targetCell);
  if (t.trapSpell == kReversedSpell) std::swap(from, to);
  PlaySound(e, source.x, source.y);
  CSpellCast cast;
  cast.spell = t.trapSpell;
  cast.sourceX = from.x, cast.sourceY = from.y, cast.sourceZ = from.z;
  cast.targetX = to.x, cast.targetY = to.y, cast.targetZ = to.z;
  cast.caster = -1;
  cast.target = target ? target->index : -1;
  cast.mode = 4;
  g_trapSpellCaster(cast);
}

}  // namespace

void RunTrap(CScript& script, int record, int creature) {
  const CScriptEvent& e = script.Event(record);
  const ScriptTrapPart& t = e.trap;
  CCreature* trigger = g_creatureArray.InUse(creature);
  if (t.trapSpell != -1) {
    RunSpellTrap(e, trigger);
  } else if (t.terrainEvent) {
    RunTerrainTrap(e);
  } else {
    CCreature* target = nullptr;
    if (t.trapTarget == kTrapCharacter) target = BoundCreature(g_scriptActors.FindByName(t.trapTargetCharacter));
    if (t.trapTarget == kTrapCreatureType || t.trapTarget == kTrapActive) target = trigger;
    RunCreatureTrap(e, target);
  }
  script.RearmEvent(record);
}

}  // namespace script_actions
