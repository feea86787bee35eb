// The creature pool's answers to what effects ask of creatures.
#include "magic/EffectCreatures.h"

#include "creatures/Armies.h"
#include "creatures/Artifact.h"
#include "creatures/CreatureArray.h"
#include "creatures/MapObject.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

class EffectCreatures : public IEffectWorld {
 public:
  bool GetCreature(int slot, EffectCreature& out) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    if (!c || !c->type) return false;
    out.x = c->unitX;
    out.y = c->unitY;
    out.z = c->unitZ;
    out.cellX = c->cellX;
    out.cellY = c->cellY;
    out.level = c->level;
    out.type = c->typeNumber;
    out.army = c->army;
    out.health = c->health;
    out.halfWidth = kUnitsPerTile / 2 * c->type->TileSizeXY;
    out.heightLevels = c->type->TileHeight;
    out.heightOffset = c->type->centreHeight;
    out.footprint = c->type->TileSizeXY;
    out.sizeW = c->type->TileSizeXY;
    out.sizeH = c->type->TileHeight;
    out.carriedItems[0] = c->carriedItems[0];
    out.carriedItems[1] = c->carriedItems[1];
    out.animation = c->bodyAnim.sequence;
    out.localPlayers = c->IsLocalPlayers();
    out.wizardType = c->IsWizard();
    out.routeX = c->cellX;
    out.routeY = c->cellY;
    out.routeLevel = c->level;
    out.seenByLocal = g_localArmy >= 0 && g_localArmy < kSightingArmyCount && c->sightingCounters[g_localArmy] != 0;
    out.moving = c->movement[0] != 0;
    out.illusion = c->illusion != 0;
    out.viewFacing = c->viewFacing;
    out.pestered = c->pestered;
    out.magicResistance = c->magicResistance;
    return true;
  }
  void TakeDamage(int slot, int amount, int army, int item0, int item1) override {
    // Through the creature's own intake: iron skin, shields, held states and blood.
    if (CCreature* c = g_creatureArray.InUse(slot)) c->TakeDamage(amount, army, item0, item1);
  }
  void Immobilise(int slot, int time, int kind) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) {
      c->heldTime = time;
      c->heldKind = kind;
    }
  }
  void AddMana(int slot, int amount) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->AddMana(amount);
  }
  void Ignite(int slot) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->Ignite();
  }
  void Trap(int slot) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->Trap();
  }
  void PlayEffectReaction(int slot) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->PlayEffectReaction();
  }
  void AdjustHealth(int slot, int amount, int army, int item0, int item1) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->AdjustHealth(amount, army, nullptr, 1);
  }
  void SetLastAttacker(int slot, int attackerPlusOne, int value) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) {
      c->combat.attacker = attackerPlusOne;
      c->combat.attackerMemory = value;
    }
  }
  void EmitBlood(int slot, int amount) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->EmitBlood(amount);
  }
  int RaiseAsUndead(int slot, int army) override {
    CCreature* c = g_creatureArray.InUse(slot);
    return c ? c->RaiseAsUndead(army) : 0;
  }
  int StartLineMove(int slot, int x, int y, int level, const int32_t shape[4]) override {
    CCreature* c = g_creatureArray.InUse(slot);
    if (!c) return 0;
    CLineMoveParams line;
    line.targetX = x;
    line.targetY = y;
    line.targetLevel = level;
    for (int i = 0; i < 4; ++i) line.shape[i] = shape[i];
    return c->StartLineMove(line);
  }
  int SetSpellState(int slot, int state, int effect) override {
    CCreature* c = g_creatureArray.InUse(slot);
    return c ? c->SetSpellState(state, effect) : 0;
  }
  void StartSpellSound(int slot) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->StartSpellSound();
  }
  void ShowSpellOverlay(int slot) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->ShowSpellOverlay();
  }
  bool IsFireImmune(int slot) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    return c && c->IsFireImmune();
  }
  int WizardOf(int army) override {
    const CCreature* wizard = g_armyTable.GetWizard(army);
    return wizard && wizard->inUse ? wizard->index : -1;
  }

  // --- world objects ---
  int ArtifactValue(int definition, int field) override {
    const CMapObjectType* record = g_mapObjects.Type(definition);
    if (!record) return 0;
    const int32_t values[4] = {record->Data1, record->Data2, record->Data3, record->Data4};
    return field >= 0 && field < 4 ? values[field] : 0;
  }
  int ObjectTypeCount() override { return g_mapObjects.TypeCount(); }
  int ObjectAniEntry(int type) override {
    const CMapObjectType* record = g_mapObjects.Type(type);
    return record ? record->AnimNum : -1;
  }
  void GiveCellObject(int slot, int x, int y, int level) override {
    CCreature* c = g_creatureArray.InUse(slot);
    const CMapCell* cell = g_map.CellAtWrapped(x, y, level);
    CMapObject* object = cell ? g_mapObjects.InUse(cell->object) : nullptr;
    if (c && object) ApplyMapObjectToCreature(*object, *c);
  }
  bool CreateObject(int type, int x, int y, int level, const int32_t words[4]) override {
    CMapObject* object = CreateMapObject(type, x, y, level);
    if (!object) return false;
    for (int i = 0; i < 4; ++i) object->data[i] = words[i];
    return true;
  }
  int CellObjectKind(int x, int y, int level) override {
    const CMapCell* cell = g_map.CellAtWrapped(x, y, level);
    const CMapObject* object = cell ? g_mapObjects.InUse(cell->object) : nullptr;
    return object ? object->kind : -1;
  }
  bool FindFreeCellNearby(int slot, int& x, int& y, int& level) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    if (!c) return false;
    x = c->cellX;
    y = c->cellY;
    level = c->level;
    return ::FindFreeCellNearby(x, y, level) != 0;
  }
};

EffectCreatures g_effectCreatures;

}  // namespace

void InstallEffectCreatures() { g_effectWorld.Install(&g_effectCreatures); }
