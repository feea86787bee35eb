// Artifacts on the map: a creature reaching a world object, chests, drops, the free-cell
// search, and the cells' own effects on the creatures standing in them.
#include "creatures/Artifact.h"

#include <algorithm>

#include "creatures/Armies.h"
#include "creatures/ArtifactEffectBlock.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/MapObject.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainAnimation.h"

namespace {

constexpr int kManaSpriteSound = 1025;
constexpr int kManaSpriteTakenAnim = 37;
constexpr int kMessageOffset = 90;
constexpr int kNoKeyMessage = 4;
constexpr int kEatEffect = 38;
constexpr int kSendToWizardEffect = 39;
constexpr int kItemTakenEffect = 88;
constexpr int kChestEmpty = -1;
constexpr int kUnlocked = -1;
constexpr int kObjectEvent = 6;
// A chain never holds more objects than the pool.
constexpr int kChainLimit = kMapObjectCapacity;

// The four cells beside a chest where its terrain stands: north, west, south, east.
constexpr int kChestSides[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};

// The free-cell search's 25 offsets: the cell, then rings of radius 1 and 2 clockwise from
// north.
constexpr int kFreeCellOffsets[25][2] = {
    {0, 0}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}, {0, -2},  {1, -2},  {2, -2}, {2, -1},
    {2, 0}, {2, 1},  {2, 2},  {1, 2}, {0, 2}, {-1, 2}, {-2, 2}, {-2, 1}, {-2, 0},  {-2, -1}, {-2, -2}, {-1, -2}};

bool IsHumanArmy(int army) {
  const CArmy* record = g_armyTable.GetArmy(army);
  return record && record->human;
}

bool IsIllusion(const CCreature& creature) { return creature.illusion != 0; }

bool TypeCan(const CCreature& creature, uint8_t use) { return creature.type && (creature.type->artifactUse & use); }

// The AI's value of a change of health of a creature.
int HealthValue(const CCreature& creature, int newHealth, int change) {
  return g_creatureAI->ComputeDamageValue(creature.typeNumber, newHealth, change, 1.0f, 1.0f);
}

// What a healing item of the amount would give: from the health at most half the maximum,
// four times the amount, up to the maximum.
int WizardHealingGain(const CCreature& creature, int amount) {
  const int maximum = creature.GetMaxHealth();
  const int from = std::min(creature.health, maximum / 2);
  return std::min(from + 4 * amount, maximum) - from;
}

// Every army that sees the creature and is hostile to it counts its gain as a loss.
void ShareLossWithWatchers(const CCreature& creature, int value) {
  for (int army = 0; army < kSightingArmyCount; ++army) {
    if (army == creature.army || creature.sightingCounters[army] == 0) continue;
    const CArmy* watcher = g_armyTable.GetArmy(army);
    if (watcher && watcher->inUse && !watcher->IsAlliedWith(creature.army)) g_creatureAI->ShareLoss(army, value);
  }
}

// The effect block at the creature's cell centre, at its level or raised by one.
ArtifactEffectBlock BlockAtCreature(const CCreature& creature, int raise) {
  ArtifactEffectBlock block;
  block.SetPoints(creature.cellX * kUnitsPerTile + 16, creature.cellY * kUnitsPerTile + 16,
                  (creature.level + raise) * kUnitsPerLevel);
  block[ArtifactEffectBlock::kCreature] = creature.index;
  return block;
}

// The object kind and values as an item event.
int AddObjectEvent(CCreature& creature, const CMapObject& object) {
  return creature.AddEvent(object.kind, object.data[0], object.data[1], object.data[2], object.data[3], 1);
}

void ApplyToWizardBody(CMapObject& object, CCreature& creature) {
  const int kind = object.kind;
  if (kind == item_kind::kManaSprite) {
    g_creatureSounds->PlayAt(kManaSpriteSound, creature.cellX, creature.cellY);
    AddObjectEvent(creature, object);
    object.SetAnim(kManaSpriteTakenAnim);
    if (g_map.manaSpriteCount > 0) --g_map.manaSpriteCount;
    g_creatureAI->ShareGain(creature.army, object.data[0]);
    for (int army = 0; army < kSightingArmyCount; ++army)
      if (creature.sightingCounters[army] != 0) creature.AddSpellMana(army, object.data[0] * 256);
    return;
  }
  if (kind == item_kind::kChest) return OpenChest(creature, object);
  if (kind >= item_kind::kFirstMessage && kind <= item_kind::kLastMessage) {
    if (!AddObjectEvent(creature, object)) return;
    if (creature.IsLocalPlayers()) g_creatureBattle->ShowMessage(kind - kMessageOffset);
    object.Remove();
    return;
  }
  if (item_kind::IsHealing(kind)) {
    const int gain = WizardHealingGain(creature, object.data[0]);
    ShareLossWithWatchers(creature, HealthValue(creature, creature.health + gain, gain));
  }
  if (AddObjectEvent(creature, object)) ShowItemTaken(object, creature);
  object.Remove();
}

void ApplyToCreature(CMapObject& object, CCreature& creature) {
  const CMapObjectType* type = g_mapObjects.Type(object.kind);
  if (!type || type->UsedBy != kUsedByCreature) return;
  const int kind = object.kind;
  if (item_kind::IsHealing(kind)) {
    if (TypeCan(creature, artifact_use::kEat) && creature.health < creature.type->Health && !IsIllusion(creature)) {
      const int gain = std::min(creature.health + 4 * object.data[0], creature.GetMaxHealth()) - creature.health;
      g_creatureAI->ShareGain(creature.army, HealthValue(creature, creature.health + gain, gain));
      ArtifactEffectBlock block = BlockAtCreature(creature, 1);
      block[ArtifactEffectBlock::kTarget] = creature.index;
      block[ArtifactEffectBlock::kSpell] = kind;
      block[ArtifactEffectBlock::kSpeed] = object.data[0];
      block.Start(kEatEffect);
      object.Remove();
      return;
    }
    CCreature* wizard = g_armyTable.GetWizard(creature.army);
    if (TypeCan(creature, artifact_use::kPickUp) && wizard) {
      const int gain = WizardHealingGain(*wizard, object.data[0]);
      if (SendObjectToWizard(object, creature))
        g_creatureAI->ShareGain(creature.army, HealthValue(*wizard, wizard->health + gain, gain));
    }
    return;
  }
  if (kind == item_kind::kChest) {
    if (TypeCan(creature, artifact_use::kOpenChest) && !IsIllusion(creature)) OpenChest(creature, object);
    return;
  }
  if (TypeCan(creature, artifact_use::kPickUp) && !IsIllusion(creature)) SendObjectToWizard(object, creature);
}

// The cell beside the chest whose terrain is a chest's, null when none.
CMapCell* ChestTerrainCell(const CMapObject& chest, int& side) {
  for (side = 0; side < 4; ++side) {
    CMapCell* cell =
        g_map.CellAtWrapped(chest.cellX + kChestSides[side][0], chest.cellY + kChestSides[side][1], chest.level);
    if (cell && cell->terrain != 0 && (TerrainOf(*cell).typeFlags & type_flags::kChestLid)) return cell;
  }
  return nullptr;
}

// The lid (the cell above the chest's terrain) opens or shuts.
void AnimateLid(const CMapObject& chest, bool open) {
  int side = 0;
  const CMapCell* base = ChestTerrainCell(chest, side);
  if (!base) return;
  CMapCell* lid =
      g_map.CellAtWrapped(chest.cellX + kChestSides[side][0], chest.cellY + kChestSides[side][1], chest.level + 1);
  if (!lid || lid->terrain == 0) return;
  const int type = lid->terrain;
  if (open && !(TerrainOf(type).typeFlags & type_flags::kChestLid)) return;
  int sequence = open ? side : side + 4;
  if ((open && type >= 201 && type <= 204) || (!open && type >= 217 && type <= 220)) sequence += 8;
  g_map.AnimateCell(lid, sequence, TerrainAnimation(), 0);
}

// The first world object of the cell of a kind, null when none.
CMapObject* ObjectOfKindAt(int x, int y, int z, int kind) {
  const CMapCell* cell = g_map.CellAtWrapped(x, y, z);
  if (!cell) return nullptr;
  int link = cell->object;
  for (int n = 0; link != kNoLink && n < kChainLimit; ++n) {
    CMapObject* object = g_mapObjects.InUse(link);
    if (!object) return nullptr;
    if (object->kind == kind) return object;
    link = object->next;
  }
  return nullptr;
}

// Whether an object may lie in the cell, and whether the search goes a level down from it.
enum class CellFit { kFits, kLower, kNot };

CellFit FitForObject(int x, int y, int level) {
  const CMapCell& cell = g_map.CellAt(x, y, level);
  if (cell.state & state_bits::kSealed) return CellFit::kNot;
  if (cell.object != kNoLink) {
    const CMapObject* object = g_mapObjects.InUse(cell.object);
    if (object && object->kind != item_kind::kPlaceOfPower) return CellFit::kNot;
  }
  if (cell.terrain != 0) return TerrainOf(cell).IsLiquid() ? CellFit::kNot : CellFit::kFits;
  const CMapCell* below = level > 0 ? &g_map.CellAt(x, y, level - 1) : nullptr;
  if (below && below->terrain != 0 && TerrainOf(*below).IsLiquid()) return CellFit::kFits;
  return CellFit::kLower;
}

}  // namespace

void ApplyMapObjectToCreature(CMapObject& object, CCreature& creature) {
  const int kind = object.kind;
  if (!object.inUse || kind < 0 || kind > item_kind::kLastMessage) return;
  if (!g_creatureBattle->ObjectsOpenToAll() && !IsHumanArmy(creature.army) && kind > 6 &&
      kind != item_kind::kManaSprite && kind != item_kind::kPlaceOfPower)
    return;
  if (kind == item_kind::kPlaceOfPower) {
    if (IsIllusion(creature)) return;
    creature.SetManaSource(1);
    g_creatureAI->ShareGain(creature.army, 1);
    return;
  }
  if (creature.IsWizard())
    ApplyToWizardBody(object, creature);
  else
    ApplyToCreature(object, creature);
  g_creatureBattle->OfferScriptEvent(kObjectEvent, creature.index, kind);
}

void OpenChest(CCreature& creature, CMapObject& chest) {
  if (chest.data[0] == kChestEmpty) return;
  if (chest.data[1] != kUnlocked && !g_creatureBattle->OpenAllLocks()) {
    if (creature.IsWizard()) {
      for (int i = 0; i < kCreatureEvents; ++i) {
        const CCreatureEvent& event = creature.events[i];
        if (!event.active || event.remaining <= 0) continue;
        if (event.kind != item_kind::kGoldKey && event.kind != item_kind::kGreyKey) continue;
        // The key's effect brings the creature back to the chest when it ends.
        creature.ProcessEventAt(i);
        chest.data[1] = kUnlocked;
        return;
      }
    }
    if (creature.IsLocalPlayers()) g_creatureBattle->ShowMessage(kNoKeyMessage);
    return;
  }
  int side = 0;
  if (!ChestTerrainCell(chest, side)) return;
  const CCreature* wizard = g_armyTable.GetWizard(creature.army);
  if (wizard && wizard->eventCount >= kCreatureEvents) return;
  AnimateLid(chest, true);
  CMapObject* content = CreateMapObject(chest.data[0], creature.cellX, creature.cellY, creature.level);
  chest.data[0] = kChestEmpty;
  if (content) ApplyMapObjectToCreature(*content, creature);
}

int DropCarriedItem(CCreature& creature, int eventIndex, int expectedKind, int button) {
  const CCreatureEvent* event = creature.GetEvent(eventIndex);
  if (!event || !event->active || event->kind != expectedKind) return 0;
  const int values[4] = {event->value1, event->value2, event->value3, event->remaining};
  const CMapObject* chest = ObjectOfKindAt(creature.cellX, creature.cellY, creature.level, item_kind::kChest);
  if (chest && chest->data[0] == kChestEmpty) {
    DropObjectNear(event->kind, creature.cellX, creature.cellY, creature.level, values, true);
  } else {
    int x = creature.cellX, y = creature.cellY, z = creature.level;
    if (!FindFreeCellNearby(x, y, z)) return 0;
    DropObjectNear(event->kind, x, y, z, values, false);
  }
  creature.RemoveEvent(eventIndex);
  if (button >= 0) g_creatureBattle->UpdateItemButton(button);
  return 1;
}

// A creature that dies lets go of everything it carries: each item lands where it fell (in
// an empty chest there, else on the nearest free cell) rather than vanishing with it.
void CCreature::DropItemsHere() {
  for (int i = 0; i < kCreatureEvents; ++i) {
    const CCreatureEvent& event = events[i];
    if (event.active) DropCarriedItem(*this, i, event.kind, IsLocalPlayers() ? i : -1);
  }
}

void DropObjectNear(int kind, int x, int y, int z, const int values[4], bool intoChest) {
  if (intoChest) {
    if (CMapObject* chest = ObjectOfKindAt(x, y, z, item_kind::kChest)) {
      AnimateLid(*chest, false);
      chest->data[0] = kind;
      return;
    }
  }
  CMapObject* object = CreateMapObject(kind, x, y, z);
  if (!object) return;
  for (int i = 0; i < 4; ++i) object->data[i] = values[i];
  if (item_kind::IsScroll(kind)) object->data[3] = 1;
}

CMapObject* CreateMapObject(int kind, int x, int y, int z) {
  CMapObject* object = g_mapObjects.FindFree();
  if (!object) return nullptr;
  object->SetPosition(CWrapCoord::WrapX(x), CWrapCoord::WrapY(y), z);
  return object->SetKind(kind) ? object : nullptr;
}

int FindFreeCellNearby(int& x, int& y, int& z) {
  if (!g_map.HasCells()) return 0;
  for (const auto& offset : kFreeCellOffsets) {
    const int cx = CWrapCoord::WrapX(x + offset[0]), cy = CWrapCoord::WrapY(y + offset[1]);
    for (int level = z; level > z - 3 && level >= 0; --level) {
      if (level >= g_map.levels) continue;
      const CellFit fit = FitForObject(cx, cy, level);
      if (fit == CellFit::kNot) break;
      if (fit == CellFit::kLower) continue;
      x = cx;
      y = cy;
      z = level;
      return 1;
    }
  }
  return 0;
}

int SendObjectToWizard(CMapObject& object, CCreature& creature) {
  ArtifactEffectBlock block = BlockAtCreature(creature, 0);
  block[ArtifactEffectBlock::kTarget] = creature.index;
  block[ArtifactEffectBlock::kSpell] = object.kind;
  for (int i = 0; i < 4; ++i) block[ArtifactEffectBlock::kData1 + i] = object.data[i];
  if (block.Start(kSendToWizardEffect) < 0) return 0;
  object.Remove();
  return 1;
}

int ShowItemTaken(CMapObject& object, CCreature& creature) {
  ArtifactEffectBlock block = BlockAtCreature(creature, 0);
  block[ArtifactEffectBlock::kTarget] = creature.index;
  block[ArtifactEffectBlock::kSpell] = object.kind;
  for (int i = 0; i < 4; ++i) block[ArtifactEffectBlock::kData1 + i] = object.data[i];
  return block.Start(kItemTakenEffect) >= 0 ? 1 : 0;
}

// --- the creature's cells ----------------------------------------------------------------------

void CCreature::TouchObjectsHere() {
  if (!IsAlive() || illusion || !type) return;
  const int cells = type->TileSizeXY == 2 ? 4 : 1;
  constexpr int kFootprint[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int n = 0; n < cells; ++n) {
    const CMapCell* cell = g_map.CellAtWrapped(cellX + kFootprint[n][0], cellY + kFootprint[n][1], level);
    if (!cell || cell->object == kNoLink) continue;
    if (CMapObject* object = g_mapObjects.InUse(cell->object)) ApplyMapObjectToCreature(*object, *this);
    if (!inUse || !IsAlive()) return;
  }
}

void CCreature::ApplyCellEffects() {
  if (!IsAlive() || !type) return;
  const int cells = type->TileSizeXY == 2 ? 4 : 1;
  constexpr int kFootprint[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int n = 0; n < cells; ++n) {
    const int x = cellX + kFootprint[n][0], y = cellY + kFootprint[n][1];
    CMapCell* cell = g_map.CellAtWrapped(x, y, level);
    if (!cell) continue;
    // Fire sets it alight; the same mark on shallow water does not.
    if (g_map.FireBurnsIn(x, y, level) && orderState.printTimers[2] == 0) Ignite();
    if (cell->terrain != 0 && TerrainOf(*cell).IsLiquid()) cell = g_map.CellAtWrapped(x, y, level - 1);
    if (!cell || cell->terrain == 0) continue;
    const int stepOn = TerrainOf(*cell).stepOnType;
    if (stepOn != -1 && stepOn != cell->terrain) cell->SetTerrainFrame(stepOn);
  }
  OfferTriggerCell();
}
