// The effect pool in the saved game: the pool size and the view rotation, every record in
// index order (8 bytes for a free one), the scan words and the four lists. Pointers travel as
// numbers: the animation by its index in the manager's array, the terrain type by its number,
// the cell by the map's cell number, the creature by its slot. Loading reads into a copy of
// the pool and takes it only when every number is one the writer writes.
#include <cstring>
#include <iterator>
#include <vector>

#include "core/SaveStream.h"
#include "creatures/CreatureArray.h"
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/TerrainType.h"

namespace {

static_assert(sizeof(CLineStepper) == 56, "the saved line stepper is 14 words");

void WriteStepper(SaveStream& out, const CLineStepper& s) {
  for (int32_t v : {s.zStepAlways, s.zStep, s.horizontalMajor, s.zHeld, s.diagX, s.diagY, s.straightX, s.straightY,
                    s.twiceMajor, s.twiceMinor, s.errorH, s.errorZ, s.twiceMinorZ, s.twiceMajorZ})
    out.I32(v);
}

void ReadStepper(SaveStream& in, CLineStepper& s) {
  for (int32_t* v : {&s.zStepAlways, &s.zStep, &s.horizontalMajor, &s.zHeld, &s.diagX, &s.diagY, &s.straightX,
                     &s.straightY, &s.twiceMajor, &s.twiceMinor, &s.errorH, &s.errorZ, &s.twiceMinorZ, &s.twiceMajorZ})
    *v = in.I32();
}

int TerrainNumber(const CTerrainType* type) {
  if (!type || g_terrainTypes.Count() == 0) return -1;
  const CTerrainType* first = &g_terrainTypes.Get(0);
  if (type < first || type >= first + g_terrainTypes.Count()) return -1;
  return static_cast<int>(type - first);
}

}  // namespace

int CEffect::Save(FILE* file) const {
  SaveStream out(file);
  out.I32(index);
  out.I32(active);
  if (active) {
    for (int32_t v : {cellX, cellY, cellLevel, x, y, z, 0, kind}) out.I32(v);
    for (int32_t w : params.words) out.I32(w);
    WriteStepper(out, stepper);
    out.I32(owner ? owner->GetAnimSetIndex(animPlayer.animation) : -1);
    if (out.Ok()) out.Add(animPlayer.Save(file));
    out.I32(TerrainNumber(terrainType));
    out.I32(g_map.CellToNumber(cell));
    out.I32(creature);
    const uint8_t next[2] = {static_cast<uint8_t>(nextInCell), static_cast<uint8_t>(nextInCell >> 8)};
    out.Write(next, 2);
    for (int32_t v : state) out.I32(v);
  }
  return out.Result();
}

int CEffect::Load(FILE* file) {
  SaveStream in(file);
  const int32_t savedIndex = in.I32();
  const int32_t savedActive = in.I32();
  if (!in.Ok() || savedIndex != index || (savedActive != 0 && savedActive != 1)) return -1;
  if (!savedActive) {
    // A free slot comes back as a fresh record of this pool.
    CEffectManager* manager = owner;
    const int32_t own = index;
    *this = CEffect{};
    owner = manager;
    index = own;
    return in.Result();
  }
  active = 1;
  for (int32_t* v : {&cellX, &cellY, &cellLevel, &x, &y, &z}) *v = in.I32();
  const int32_t spareWord = in.I32();
  kind = in.I32();
  for (int32_t& w : params.words) w = in.I32();
  ReadStepper(in, stepper);
  const int32_t animation = in.I32();
  if (!in.Ok() || spareWord != 0 || kind < 0 || kind > effect_kind::kMaxKind || !owner || animation < -1 ||
      animation >= owner->fileCount)
    return -1;
  animPlayer.Clear();
  animPlayer.SetAnimation(animation < 0 ? nullptr : &owner->animations[animation]);
  in.Add(animPlayer.Load(file));
  const int32_t terrain = in.I32();
  const int32_t cellNumber = in.I32();
  creature = in.I32();
  uint8_t next[2] = {};
  in.Read(next, 2);
  nextInCell = static_cast<uint16_t>(next[0] | (next[1] << 8));
  for (int32_t& v : state) v = in.I32();
  if (!in.Ok() || terrain < -1 || terrain >= g_terrainTypes.Count() || cellNumber < -1 ||
      cellNumber >= g_map.cellCount || creature < -1 || creature >= kCreatureCapacity ||
      (nextInCell != kEndOfChain && nextInCell >= owner->count))
    return -1;
  terrainType = terrain < 0 ? nullptr : &g_terrainTypes.Get(terrain);
  cell = g_map.NumberToCell(cellNumber);
  sound = nullptr;  // sounds are not saved
  return in.Result();
}

int CEffectManager::Save(FILE* file) const {
  SaveStream out(file);
  out.I32(count);
  out.I32(g_mapView.rotation & 3);
  for (const CEffect& effect : effects) {
    if (!out.Ok()) break;
    out.Add(effect.Save(file));
  }
  out.I32(scanKind);
  out.I32(scanCursor);
  out.I32(highWater);
  for (const std::vector<int32_t>& list : lists) {
    out.I32(static_cast<int32_t>(list.size()));
    for (int32_t effect : list) out.I32(effect);
  }
  return out.Result();
}

int CEffectManager::Load(FILE* file) {
  SaveStream in(file);
  const int32_t savedCount = in.I32();
  const int32_t rotation = in.I32();
  if (!in.Ok() || savedCount != count || rotation < 0 || rotation > 3) return -1;
  std::vector<CEffect> staged(effects);
  for (int i = 0; i < count; ++i) {
    CEffect& e = staged[static_cast<size_t>(i)];
    e.owner = this;
    e.index = i;
    in.Add(e.Load(file));
    if (!in.Ok()) return -1;
  }
  const int32_t savedScanKind = in.I32();
  const int32_t savedScanCursor = in.I32();
  const int32_t savedHighWater = in.I32();
  if (!in.Ok() || savedScanCursor < -1 || savedScanCursor > count || savedHighWater < 0 || savedHighWater > count)
    return -1;
  std::vector<int32_t> stagedLists[kEffectLists];
  for (std::vector<int32_t>& list : stagedLists) {
    const int32_t n = in.I32();
    if (!in.Ok() || n < 0 || n > count) return -1;
    list.reserve(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) {
      const int32_t effect = in.I32();
      if (!in.Ok() || effect < 0 || effect >= count) return -1;
      list.push_back(effect);
    }
  }
  effects.swap(staged);
  scanKind = savedScanKind;
  scanCursor = savedScanCursor;
  highWater = savedHighWater;
  for (int l = 0; l < kEffectLists; ++l) lists[l].swap(stagedLists[l]);
  g_mapView.rotation = rotation;
  return in.Result();
}

bool CEffectManager::CheckCellChains() const {
  if (!g_map.HasCells()) return true;
  std::vector<uint8_t> linked(static_cast<size_t>(count), 0);
  for (int c = 0; c < g_map.cellCount; ++c) {
    const CMapCell* here = g_map.cells + c;
    int steps = 0;
    for (uint16_t e = here->effect; e != CEffect::kEndOfChain; ++steps) {
      if (e >= count || steps >= count || linked[e]) return false;
      const CEffect& effect = effects[e];
      if (!effect.active || effect.cell != here) return false;
      linked[e] = 1;
      e = effect.nextInCell;
    }
  }
  return true;
}
