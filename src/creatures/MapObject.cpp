// The world-object pool: placing an object with its kind, its cell's chain, removal, the
// per-frame animation and the conversion of an object into an effect.
#include "creatures/MapObject.h"

#include "creatures/ArtifactEffectBlock.h"
#include "creatures/CreatureHooks.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/TileOverlay.h"

CMapObjectArray g_mapObjects;

namespace {

constexpr int kGlowKind = 60;
constexpr int kObjectEffectKind = 61;

// A chain never holds more objects than the pool: the bound stops a broken one.
constexpr int kChainLimit = kMapObjectCapacity;

CMapCell* CellOf(const CMapObject& object) { return g_map.CellAtWrapped(object.cellX, object.cellY, object.level); }

}  // namespace

// --- the record ------------------------------------------------------------------------------

void CMapObject::Clear() {
  inUse = 0;
  cellX = cellY = level = 0;
  unitX = unitY = unitZ = 0;
  spare = 0;
  next = kNoNextObject;
  kind = -1;
  anim.Clear();
  animValue = animValue2 = 0;
  effect = -1;
  for (int32_t& word : data) word = -1;
  node = -1;
}

void CMapObject::SetPosition(int x, int y, int atLevel) {
  cellX = x;
  cellY = y;
  level = atLevel;
  unitX = x * kUnitsPerTile;
  unitY = y * kUnitsPerTile;
  unitZ = atLevel * kUnitsPerLevel;
  if (const CMapCell* cell = CellOf(*this); cell && cell->terrain != 0) unitZ += TerrainOf(*cell).groundHeight;
}

void CMapObject::SetAnim(int n) {
  GlobalAnimInfo entry;
  anim.Stop();
  if (!g_creatureEffects->GlobalAnimEntry(n, entry)) entry.animation = nullptr;
  animValue = entry.value;
  anim.SetAnimation(entry.animation);
  if (entry.animation) anim.Start(entry.firstSequence, 0);
}

int CMapObject::SetKind(int newKind) {
  const CMapObjectType* type = owner ? owner->Type(newKind) : nullptr;
  if (!type) return 0;
  // Placed twice, it would stand twice in its cell's chain.
  if (inUse) Remove();
  kind = newKind;
  data[0] = type->Data1;
  data[1] = type->Data2;
  data[2] = type->Data3;
  data[3] = type->Data4;
  anim.Stop();
  if (object_kind::HasOwnAnimation(kind)) SetAnim(type->AnimNum);
  LinkIntoCell();
  inUse = 1;
  if (owner->highWater < index + 1) owner->highWater = index + 1;
  LookUpNode();
  if (kind > object_kind::kLastDrawnKind) StartGlow();
  return 1;
}

void CMapObject::LinkIntoCell() {
  next = kNoNextObject;
  CMapCell* cell = CellOf(*this);
  if (!cell) return;
  if (cell->object == kNoLink) {
    cell->object = static_cast<uint16_t>(index);
  } else {
    CMapObject* last = owner->At(cell->object);
    for (int n = 0; last && last->next != kNoNextObject && n < kChainLimit; ++n) last = owner->At(last->next);
    if (last) last->next = static_cast<uint16_t>(index);
  }
  cell->shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
}

void CMapObject::UnlinkFromCell() {
  CMapCell* cell = CellOf(*this);
  if (cell) {
    if (cell->object == index) {
      cell->object = next;
    } else {
      CMapObject* before = owner->At(cell->object);
      for (int n = 0; before && before->next != index && n < kChainLimit; ++n) before = owner->At(before->next);
      if (before && before->next == index) before->next = next;
    }
  }
  next = kNoNextObject;
  if (cell && cell->IsWhollyEmpty() && g_tileSpans.TestCell(cell)) cell->shape |= shape_bits::kOpenSky;
}

void CMapObject::LookUpNode() {
  CLocationRequest location;
  location.x = cellX;
  location.y = cellY;
  location.level = level;
  location.mover.queryGiven = true;
  location.mover.query = CMoveQuery::TestCreature(4, 1, 1);
  node = g_pathNetwork.FindNearestReachableNode(location);
}

// Magic items and messages glow where they lie: an effect of kind 60 half a level above the
// cell's centre. It ends by itself once the cell holds no object.
void CMapObject::StartGlow() {
  ArtifactEffectBlock block;
  block.SetPoints(cellX * kUnitsPerTile + 16, cellY * kUnitsPerTile + 16, level * kUnitsPerLevel + 8);
  block[ArtifactEffectBlock::kMode] = 1;
  block[ArtifactEffectBlock::kKindMode] = 1;
  const int started = block.Start(kGlowKind);
  if (started >= 0) effect = started;
}

void CMapObject::Remove() {
  if (!inUse) return;
  UnlinkFromCell();
  inUse = 0;
  if (owner) owner->DropHighWater();
}

void CMapObject::CreateEffect() {
  if (!inUse) return;
  ArtifactEffectBlock block;
  block.SetPoints(cellX * kUnitsPerTile + 16, cellY * kUnitsPerTile + 16, level * kUnitsPerLevel);
  block[ArtifactEffectBlock::kSpell] = kind;
  block[ArtifactEffectBlock::kMode] = 1;
  block[ArtifactEffectBlock::kKindMode] = 4;
  for (int i = 0; i < 4; ++i) block[ArtifactEffectBlock::kData1 + i] = data[i];
  if (block.Start(kObjectEffectKind) < 0) return;
  Remove();
}

// --- the pool --------------------------------------------------------------------------------

CMapObjectArray::CMapObjectArray() : records(kMapObjectCapacity) {
  for (int i = 0; i < kMapObjectCapacity; ++i) {
    records[static_cast<size_t>(i)].index = i;
    records[static_cast<size_t>(i)].owner = this;
  }
}

void CMapObjectArray::Reset() {
  for (CMapObject& record : records) record.Clear();
  iterIndex = 0;
  highWater = 0;
}

CMapObject* CMapObjectArray::At(int slot) {
  return slot >= 0 && slot < capacity ? &records[static_cast<size_t>(slot)] : nullptr;
}

CMapObject* CMapObjectArray::InUse(int slot) {
  CMapObject* record = At(slot);
  return record && record->inUse ? record : nullptr;
}

const CMapObjectType* CMapObjectArray::Type(int kind) const {
  return kind >= 0 && kind < typeCount ? &types[static_cast<size_t>(kind)] : nullptr;
}

CMapObject* CMapObjectArray::FindFree() {
  for (CMapObject& record : records)
    if (!record.inUse) return &record;
  return nullptr;
}

void CMapObjectArray::DropHighWater() {
  while (highWater > 0 && !records[static_cast<size_t>(highWater - 1)].inUse) --highWater;
}

void CMapObjectArray::UpdateAnims() {
  for (int i = 0; i < highWater; ++i) {
    CMapObject& object = records[static_cast<size_t>(i)];
    // An object whose look has no animation plays nothing and stays.
    if (!object.inUse || !object.anim.animation || !object.anim.playing) continue;
    if (object.anim.Advance() == 1) object.Remove();
  }
}

CMapObject* CMapObjectArray::NextInUse() {
  while (iterIndex >= 0 && iterIndex < highWater) {
    CMapObject& record = records[static_cast<size_t>(iterIndex++)];
    if (record.inUse) return &record;
  }
  return nullptr;
}

void CMapObjectArray::ComputeNodes() {
  for (int i = 0; i < highWater; ++i) {
    CMapObject& object = records[static_cast<size_t>(i)];
    if (object.inUse) object.LookUpNode();
  }
}
