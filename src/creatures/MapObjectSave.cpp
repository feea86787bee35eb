// The world objects' block of a saved game. Rows, little-endian 32-bit unless said: the
// capacity (500); for each record its index and in-use word, and for one in use its cell,
// unit position and spare word (7), next (16 bits), kind, its animation player's state (not
// for kinds 50 and 61), anim value 2, effect index, Data1-4 and node; then the type count and
// the high-water count.
//
// A block is read whole into a copy of the pool and checked before any of it is taken: a
// record at its own slot, cells on the map, kinds of the type table, next links to objects
// in use on the same cell, chains from each cell that end, effect indexes in the pool and a
// high-water count that fits. Any failure answers -1 and leaves the pool as it was.
#include <vector>

#include "core/SaveStream.h"
#include "creatures/CreatureHooks.h"
#include "creatures/MapObject.h"
#include "map/Map.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kChainLimit = kMapObjectCapacity;

void SaveRecord(SaveStream& out, const CMapObject& object) {
  out.I32(object.index);
  out.I32(object.inUse);
  if (!object.inUse) return;
  for (int32_t word :
       {object.cellX, object.cellY, object.level, object.unitX, object.unitY, object.unitZ, object.spare})
    out.I32(word);
  out.U16(object.next);
  out.I32(object.kind);
  if (object_kind::HasOwnAnimation(object.kind) && out.Ok()) out.Add(object.anim.Save(out.File()));
  out.I32(object.animValue2);
  out.I32(object.effect);
  for (int32_t word : object.data) out.I32(word);
  out.I32(object.node);
}

// Reads one record into the copy; false when it breaks a rule of its own.
bool LoadRecord(SaveStream& in, CMapObjectArray& pool, int slot, CMapObject& object) {
  const int32_t index = in.I32();
  const int32_t inUse = in.I32();
  if (!in.Ok() || index != slot || (inUse != 0 && inUse != 1)) return false;
  object.Clear();
  if (!inUse) return true;
  object.inUse = 1;
  object.cellX = in.I32();
  object.cellY = in.I32();
  object.level = in.I32();
  object.unitX = in.I32();
  object.unitY = in.I32();
  object.unitZ = in.I32();
  object.spare = in.I32();
  object.next = in.U16();
  object.kind = in.I32();
  const CMapObjectType* type = pool.Type(object.kind);
  if (!in.Ok() || !type || !g_map.HasCells() || !g_map.IsInside(object.cellX, object.cellY, object.level)) return false;
  if (object.next != kNoNextObject && (object.next >= kMapObjectCapacity || object.next == slot)) return false;
  if (object_kind::HasOwnAnimation(object.kind)) {
    object.SetAnim(type->AnimNum);
    object.anim.Stop();
    in.Add(object.anim.Load(in.File()));
  }
  object.animValue2 = in.I32();
  object.effect = in.I32();
  for (int32_t& word : object.data) word = in.I32();
  object.node = in.I32();
  if (!in.Ok()) return false;
  if (object.effect < -1 || object.effect >= g_creatureEffects->EffectPoolSize()) return false;
  return object.node >= -1 && object.node < CPathNetwork::kCapacity;
}

// Every object in use stands in the chain of its cell, whose links name objects in use on
// that cell and end within the pool's size.
bool ChainsHold(const std::vector<CMapObject>& staged) {
  for (const CMapObject& object : staged) {
    if (!object.inUse) continue;
    const CMapCell& cell = g_map.CellAt(object.cellX, object.cellY, object.level);
    bool found = false;
    int link = cell.object;
    for (int n = 0; link != kNoLink; ++n) {
      if (n >= kChainLimit || link >= kMapObjectCapacity) return false;
      const CMapObject& member = staged[static_cast<size_t>(link)];
      if (!member.inUse || member.cellX != object.cellX || member.cellY != object.cellY || member.level != object.level)
        return false;
      found = found || link == object.index;
      link = member.next;
    }
    if (!found) return false;
  }
  return true;
}

}  // namespace

int CMapObjectArray::Save(FILE* file) {
  SaveStream out(file);
  out.I32(capacity);
  for (const CMapObject& object : records) SaveRecord(out, object);
  out.I32(typeCount);
  out.I32(highWater);
  return out.Result();
}

int CMapObjectArray::Load(FILE* file) {
  SaveStream in(file);
  if (in.I32() != kMapObjectCapacity || !in.Ok()) return -1;
  std::vector<CMapObject> staged = records;
  int highest = 0;
  for (int i = 0; i < kMapObjectCapacity; ++i) {
    if (!LoadRecord(in, *this, i, staged[static_cast<size_t>(i)])) return -1;
    if (staged[static_cast<size_t>(i)].inUse) highest = i + 1;
  }
  const int32_t savedTypes = in.I32();
  const int32_t savedHighWater = in.I32();
  if (!in.Ok() || savedTypes != typeCount || savedHighWater != highest || !ChainsHold(staged)) return -1;
  records = std::move(staged);
  highWater = savedHighWater;
  iterIndex = 0;
  return in.Result();
}
