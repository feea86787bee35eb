// What the script's conditions and actions ask of the battle: named event areas, world
// objects and carried artefacts, the experience of a script, a watched wizard deployment,
// and a creature's death.
#include <algorithm>
#include <cstring>

#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/MapObject.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"

namespace {

// The world objects in use, in pool order; the pool's own iterator is left alone.
class CScriptWorldObjects : public IScriptObjects {
 public:
  void ForEachObject(int kind, const std::function<bool(int x, int y, int level)>& visit) override {
    for (int slot = 0; slot < g_mapObjects.highWater && slot < g_mapObjects.capacity; ++slot) {
      const CMapObject* object = g_mapObjects.InUse(slot);
      if (object && object->kind == kind && !visit(object->cellX, object->cellY, object->level)) return;
    }
  }
};

CScriptWorldObjects g_worldObjects;

// An event area: its two corners and its name in the first 32 bytes of its script words.
struct NamedArea {
  int x0, y0, z0, x1, y1, z1;
  char name[kScriptNameSize + 1];
};

NamedArea AreaOf(const CEventAreas::Item& item) {
  NamedArea area{item[0], item[1], item[2], item[3], item[4], item[5], {}};
  std::memcpy(area.name, &item[6], kScriptNameSize);
  return area;
}

template <class Visit>
void ForEachNamedArea(const char* name, Visit&& visit) {
  if (!name || !*name) return;
  for (const CEventAreas::Item& item : g_map.eventAreas.items) {
    const NamedArea area = AreaOf(item);
    if (std::strncmp(area.name, name, kScriptNameSize) == 0 && !visit(area)) return;
  }
}

// The cells of a range that wraps when its end lies before its start.
int RangeLength(int from, int to, int size) { return to >= from ? to - from + 1 : size - from + to + 1; }

bool InRange(int v, int from, int to) { return to >= from ? v >= from && v <= to : v >= from || v <= to; }

int Wrap(int v, int size) { return size > 0 ? ((v % size) + size) % size : v; }

}  // namespace

HookSlot<IScriptObjects> g_scriptObjects(&g_worldObjects);

void ForEachNamedAreaCell(const char* name, const std::function<bool(int, int, int)>& visit,
                          const std::function<void(int, int, int)>& onArea) {
  const int width = g_map.width, height = g_map.height;
  bool goOn = true;
  ForEachNamedArea(name, [&](const NamedArea& a) {
    if (onArea) onArea(a.x0, a.y0, a.z0);
    const int columns = RangeLength(a.x0, a.x1, width), rows = RangeLength(a.y0, a.y1, height);
    for (int z = a.z0; z <= a.z1 && goOn; ++z) {
      if (z < 0 || z >= g_map.levels) continue;
      for (int row = 0; row < rows && goOn; ++row)
        for (int column = 0; column < columns && goOn; ++column)
          goOn = visit(Wrap(a.x0 + column, width), Wrap(a.y0 + row, height), z);
    }
    return goOn;
  });
}

bool GetAreaCentreByName(const char* name, int& x, int& y, int& z) {
  bool found = false;
  ForEachNamedArea(name, [&](const NamedArea& a) {
    x = a.x1 < a.x0 ? (a.x0 + a.x1 + g_map.width) / 2 % std::max(g_map.width, 1) : (a.x0 + a.x1) / 2;
    y = a.y1 < a.y0 ? (a.y0 + a.y1 + g_map.height) / 2 % std::max(g_map.height, 1) : (a.y0 + a.y1) / 2;
    z = a.z0;
    found = true;
    return false;
  });
  return found;
}

bool CScript::IsPointInNamedArea(const char* name, int x, int y, int z) const {
  bool inside = false;
  ForEachNamedArea(name, [&](const NamedArea& a) {
    inside = InRange(x, a.x0, a.x1) && InRange(y, a.y0, a.y1) && z >= a.z0 && z <= a.z1;
    return !inside;
  });
  return inside;
}

bool CScript::IsCreatureInNamedArea(const char* name, int creature) const {
  const CCreature* c = g_creatureArray.InUse(creature);
  if (!c || !c->type) return false;
  const int size = c->type->TileSizeXY, height = c->type->TileHeight;
  for (int z = c->level; z < c->level + height; ++z)
    for (int dy = 0; dy < size; ++dy)
      for (int dx = 0; dx < size; ++dx)
        if (IsPointInNamedArea(name, Wrap(c->cellX + dx, g_map.width), Wrap(c->cellY + dy, g_map.height), z))
          return true;
  return false;
}

bool FindMapObjectPosition(int kind, int& x, int& y, int& z) {
  bool found = false;
  g_scriptObjects->ForEachObject(kind, [&](int ox, int oy, int oz) {
    x = ox, y = oy, z = oz;
    found = true;
    return false;
  });
  return found;
}

bool CreatureArmyIs(int creature, const char* armyName) {
  const CCreature* c = g_creatureArray.InUse(creature);
  const CArmy* army = c ? g_armyTable.GetArmy(c->army) : nullptr;
  return army && std::strncmp(army->name, armyName, kScriptNameSize) == 0;
}

bool CScript::ArmyHasArtefact(int kind, int count, const char* armyName) const {
  const CArmy* army = g_armyTable.FindByName(armyName);
  if (!army) return false;
  int carried = 0;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (carried >= count && carried >= 1) return;
    if (c.army != army->index || !c.IsAlive()) return;
    for (const CCreatureEvent& entry : c.events)
      if (entry.active && entry.kind == kind) ++carried;
  });
  return carried >= 1 && carried >= count;
}

int CScript::GetTotalExperience() const {
  int total = 0;
  for (int r = 0; r < eventCount; ++r)
    if (records[r].inUse && records[r].type == kScriptExperience) total += records[r].experience.experiencePoints;
  return total;
}

bool CScript::HasWizardDeployment() const {
  for (int r = 0; r < eventCount; ++r) {
    const CScriptEvent& e = records[r];
    if (!e.inUse || e.runState == kScriptRetired || e.type != kScriptDeployment || !e.deployment.wizard) continue;
    if (e.minimumDifficulty != -1 && g_difficulty < e.minimumDifficulty) continue;
    if (e.maximumDifficulty != -1 && g_difficulty > e.maximumDifficulty) continue;
    return true;
  }
  return false;
}

int CScript::OnCreatureKilled(int creature) {
  CCreature* c = g_creatureArray.InUse(creature);
  if (!c) return 0;
  // The messenger leaves without a trace: no actor changes, no event fires.
  if (c->typeNumber == creature_kind::kUnseen) {
    c->Detach();
    return 1;
  }
  ScriptActor* actor = g_scriptActors.FindByCreature(creature);
  if (actor && actor->state != kActorExited) actor->state = kActorDeadInBattle;
  FireEvent(kOccasionDeath, creature, -1, 0, -1, -1);
  if (!actor) return 0;
  if (actor->state == kActorExited) return 1;
  if (actor->state == kActorDeadInBattle && actor->keyCharacter) LoseKeyCharacter(actor->name);
  return 0;
}
