#include "map/TileOverlay.h"

#include "core/SaveBlock.h"
#include "map/Map.h"

CTileSpanTable g_tileSpans;

namespace {

// An empty map cell at an end of a span gets its open-sky bit back once the span leaves it.
void RestoreMapCell(int x, int y, int level) {
  CMapCell* cell = g_map.CellIfInside(x, y, level);
  if (cell && cell->IsWhollyEmpty()) cell->shape |= shape_bits::kOpenSky;
}

// A map cell at an end of a span is drawn: it loses its open-sky bit.
void ExposeMapCell(int x, int y, int level) {
  CMapCell* cell = g_map.CellIfInside(x, y, level);
  if (cell) cell->shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
}

constexpr int kCellBytes = 6;

}  // namespace

void CTileSpanTable::Free() {
  std::vector<CTileSpanCell>().swap(cells);
  count = phase = active = 0;
}

void CTileSpanTable::Reset() {
  Free();
  int64_t size = static_cast<int64_t>(g_map.width) * g_map.height;
  if (size <= 0) return;
  cells.assign(static_cast<size_t>(size), CTileSpanCell{});
  count = static_cast<int32_t>(size);
}

const CTileSpanCell* CTileSpanTable::CellAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= g_map.width || y >= g_map.height) return nullptr;
  size_t index = static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(g_map.width);
  return index < cells.size() ? &cells[index] : nullptr;
}

void CTileSpanTable::MarkColumn(int x, int y, int level, int strength) {
  if (level < 0 || level >= g_map.levels || level > 255) return;
  CTileSpanCell* cell = const_cast<CTileSpanCell*>(CellAt(x, y));
  if (!cell) return;
  uint16_t wanted = static_cast<uint16_t>(strength < 0 ? 0 : strength > 0xFFFF ? 0xFFFF : strength);
  if (cell->strength == 0) {
    cell->strength = wanted;
    cell->low = cell->high = static_cast<uint8_t>(level);
    ExposeMapCell(x, y, level);
    return;
  }
  if (wanted > cell->strength) cell->strength = wanted;
  // An old end is restored only when it stops being an end: in a span of one level the
  // old low is also the high, which stays drawn.
  if (level < cell->low) {
    if (cell->low != cell->high) RestoreMapCell(x, y, cell->low);
    cell->low = static_cast<uint8_t>(level);
    ExposeMapCell(x, y, level);
  }
  if (level > cell->high) {
    if (cell->high != cell->low) RestoreMapCell(x, y, cell->high);
    cell->high = static_cast<uint8_t>(level);
    ExposeMapCell(x, y, level);
  }
}

void CTileSpanTable::ProcessCell(CTileSpanCell& cell) {
  if (cell.strength == 0) return;
  cell.timer = static_cast<int8_t>(cell.timer - 2);
  if (cell.timer <= 0) {
    if (++cell.frame >= frameCount) cell.frame = 0;
    cell.timer = static_cast<int8_t>(frameDelay);
  }
  cell.strength = cell.strength < 3 ? 0 : static_cast<uint16_t>(cell.strength - 2);
  ++activeCounter;
}

void CTileSpanTable::Tick() {
  if (!active) return;
  size_t total = cells.size();
  size_t half = total / 2;
  if (phase == 0) {
    activeCounter = 0;
    for (size_t i = 0; i < half; ++i) ProcessCell(cells[i]);
  } else {
    for (size_t i = half; i < total; ++i) ProcessCell(cells[i]);
    if (activeCounter == 0) active = 0;
  }
  phase = 1 - phase;
}

bool CTileSpanTable::IsLevelInSpan(int x, int y, int level) const {
  const CTileSpanCell* cell = CellAt(x, y);
  return cell && cell->strength != 0 && cell->low <= level && level <= cell->high;
}

bool CTileSpanTable::IsLevelAtSpanEdge(int x, int y, int level) const {
  const CTileSpanCell* cell = CellAt(x, y);
  return cell && cell->strength != 0 && (level == cell->low || level == cell->high);
}

int CTileSpanTable::TestPosition(int x, int y, int level) const { return IsLevelAtSpanEdge(x, y, level) ? 0 : 1; }

int CTileSpanTable::TestCell(const CMapCell* cell) const {
  int x, y, level;
  if (cells.empty() || !g_map.UnpackCellOffset(cell, x, y, level)) return 1;
  return TestPosition(x, y, level);
}

int CTileSpanTable::GetFrameIndex(int x, int y) const {
  const CTileSpanCell* cell = CellAt(x, y);
  return cell ? cell->frame : -1;
}

int CTileSpanTable::Save(FILE* file) const {
  bytes::Writer out;
  out.I32(active);
  if (active) {
    bytes::WriteCounted(out, count, [&](bytes::Writer& record, int i) {
      const CTileSpanCell& cell = cells[static_cast<size_t>(i)];
      record.U16(cell.strength);
      record.U8(cell.high);
      record.U8(cell.low);
      record.U8(cell.frame);
      record.I8(cell.timer);
    });
    out.I32(phase);
    out.I32(activeCounter);
    out.I32(frameCount);
    out.I32(frameDelay);
  }
  return bytes::WriteSaveBlock(file, out);
}

int CTileSpanTable::Load(FILE* file) {
  Reset();
  uint32_t word;
  if (!bytes::ReadU32(file, word)) return -1;
  int32_t loadedActive = static_cast<int32_t>(word);
  if (!loadedActive) return 4;
  // The cells are the current map's: a block of another count is not this map's.
  bytes::CountedBlock block;
  if (!bytes::ReadCountedBlock(file, count, count, kCellBytes, 16, block)) return -1;
  bytes::Reader in(block.data);
  std::vector<CTileSpanCell> loaded(cells.size());
  for (CTileSpanCell& cell : loaded) {
    cell.strength = in.U16();
    cell.high = in.U8();
    cell.low = in.U8();
    cell.frame = in.U8();
    cell.timer = in.I8();
  }
  int32_t loadedPhase = in.I32();
  if (loadedPhase != 0 && loadedPhase != 1) return -1;
  cells = std::move(loaded);
  phase = loadedPhase;
  activeCounter = in.I32();
  frameCount = in.I32();
  frameDelay = in.I32();
  active = loadedActive;
  return 4 + block.Size();
}
