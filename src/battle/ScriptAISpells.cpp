// What the computer wizards' scripted spells ask of the battle script: the command events that
// name a wizard's actor and a spell, whose conditions hold and whose wizard stands where the
// event wants it.
#include <cstring>

#include "ai/AIScriptSpellDecision.h"
#include "battle/Script.h"
#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "creatures/CreatureArray.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kNearActorOrArea = 10;
constexpr int kNearObject = 6;

// The event's place: none, next to a named actor, a named area or a world object; the wizard
// must stand waiting near the free place beside it.
bool PlaceHolds(const CScriptEvent& e, const CCreature& caster) {
  const ScriptCommandPart& command = e.command;
  int x = 0, y = 0, z = 0, near = kNearActorOrArea;
  switch (command.destinationType) {
    case 0:
      return true;
    case 1: {
      const ScriptActor* actor = g_scriptActors.FindByName(command.destinationCharacter);
      const CCreature* other = actor ? g_creatureArray.InUse(actor->creature) : nullptr;
      if (!other) return false;
      x = other->cellX, y = other->cellY, z = other->level;
      break;
    }
    case 2:
      if (!GetAreaCentreByName(command.destinationLocation, x, y, z)) return false;
      break;
    case 3:
      if (!FindMapObjectPosition(command.destinationArtefact, x, y, z)) return false;
      near = kNearObject;
      break;
    default:
      return false;
  }
  if (!g_map.FindFreePositionNear(caster.index, caster.MakeMoveQuery(), x, y, z)) return false;
  return MapWrappedDistance(x, y, z, caster.cellX, caster.cellY, caster.level) < near && caster.order == ORDER_WAIT;
}

class CScriptAISpells final : public IAIScriptSpells {
 public:
  int EventCount() override { return g_script.eventCount; }
  bool OfferedSpell(int record, const CCreature& caster, CAIScriptSpell& out) override {
    if (!g_script.IsRecord(record)) return false;
    const CScriptEvent& e = g_script.Event(record);
    if (!e.inUse || e.type != kScriptCommand || e.runState == kScriptRetired) return false;
    const ScriptActor* actor = g_scriptActors.FindByName(e.command.commandCharacter);
    if (!actor || actor->creature != caster.index || e.command.spellToCast == -1) return false;
    if (!g_script.CheckConditions(record, kOccasionCommandQuery, caster.index, 0, -1, -1, -1)) return false;
    if (!PlaceHolds(e, caster)) return false;
    out = CAIScriptSpell{};
    out.record = record;
    out.spell = e.command.spellToCast;
    out.forced = e.command.manaBoost != 0;
    out.value = e.command.rating;
    out.targetKind = e.command.spellTarget;
    out.recordedWait = e.prePause;
    if (out.targetKind == 2 &&
        !GetAreaCentreByName(e.command.targetLocation, out.targetX, out.targetY, out.targetLevel))
      return false;
    return true;
  }
  void RearmEvent(int record) override {
    if (g_script.IsRecord(record)) g_script.RearmEvent(record);
  }
};

CScriptAISpells g_scriptAISpells;

}  // namespace

void InstallScriptAISpells() { g_aiScriptSpells.Install(&g_scriptAISpells); }
