#include "map/DrawList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>

#include "core/Options.h"
#include "graphics/BattleFacing.h"
#include "graphics/PrintFX.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "graphics/TypePrinters.h"
#include "map/LineStepper.h"
#include "map/MapCell.h"
#include "map/SegmentPool.h"
#include "map/TerrainType.h"

int g_heightDepth[500];
int g_shadeStep = 1;

void BuildDepthTables(int shadeLevels) {
  for (int z = 0; z < 500; ++z) g_heightDepth[z] = (82 * z) / 100;
  g_shadeStep = shadeLevels > 0 ? 256 / shadeLevels : 1;
  if (g_shadeStep < 1) g_shadeStep = 1;
}

int HeightDepth(int z) { return z >= 0 && z < 500 ? g_heightDepth[z] : (82 * z) / 100; }

namespace {

// Hidden-terrain marks the occlusion pass keeps in the cells.
constexpr uint16_t kBlockHidden = 0x0040;       // state word
constexpr uint16_t kFirstSideHidden = 0x0004;   // shape word
constexpr uint16_t kSecondSideHidden = 0x8000;  // shape word

// The opaque pixels of a frame, row by row (the rows were checked when the file loaded).
std::vector<uint8_t> OpaquePixels(CSpriteFrame frame) {
  const int width = frame.Width(), height = frame.Height();
  std::vector<uint8_t> opaque(static_cast<size_t>(width) * height, 0);
  for (int row = 0; row < height; ++row) {
    const uint8_t* ctrl = frame.RowControls(row);
    int column = 0;
    while (column < width) {
      column += *ctrl++;
      if (column >= width) break;
      const int count = std::min(static_cast<int>(*ctrl++), width - column);
      std::fill_n(opaque.begin() + static_cast<ptrdiff_t>(row) * width + column, count, 1);
      column += count;
    }
  }
  return opaque;
}

// The stack overflow case of the sort: std::sort on (key, index) pairs of the range.
void SortLargerSideAnyhow(int32_t* k, int32_t* order, int from, int to) {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (int i = from; i <= to; ++i) pairs.emplace_back(k[i], order[i]);
  std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (int i = from; i <= to; ++i) std::tie(k[i], order[i]) = pairs[static_cast<size_t>(i - from)];
}

int FloorDiv8(int v) { return v >= 0 ? v / 8 : -((-v + 7) / 8); }

}  // namespace

// A pixel (c, r) of the frame has the skewed offsets p = c + 2r and q = 2r - c from the
// frame's corner. Placed at an unknown position within a bit, its bit column is p / 8 or
// one more, and its bit row q / 8 or one more: the outline takes both. A bit counts as
// solid only when every pixel that could fall into it at any placement is opaque.
bool BuildOcclusionMask(CSpriteFrame frame, OcclusionMask& mask) {
  mask = OcclusionMask{};
  if (!frame) return false;
  const int width = frame.Width(), height = frame.Height();
  if (width <= 0 || height <= 0) return false;
  const int columns = FloorDiv8(width - 1 + 2 * (height - 1) + 7) + 1;
  if (columns > 32) return false;
  const int firstRow = FloorDiv8(-(width - 1));
  const int lastRow = FloorDiv8(2 * (height - 1) + 7);
  const int rows = lastRow - firstRow + 1;
  std::vector<uint8_t> opaque = OpaquePixels(frame);
  auto isOpaque = [&](int c, int r) {
    return c >= 0 && r >= 0 && c < width && r < height && opaque[static_cast<size_t>(r) * width + c] != 0;
  };
  mask.rowOffset = firstRow;
  mask.outline.assign(static_cast<size_t>(rows), 0);
  mask.solid.assign(static_cast<size_t>(rows), 0);
  bool any = false;
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) {
      if (!isOpaque(c, r)) continue;
      any = true;
      const int p = c + 2 * r, q = 2 * r - c;
      for (int i : {FloorDiv8(p), FloorDiv8(p + 7)})
        for (int j : {FloorDiv8(q), FloorDiv8(q + 7)})
          mask.outline[static_cast<size_t>(j - firstRow)] |= 0x80000000u >> i;
    }
  if (!any) return false;
  for (int j = firstRow; j <= lastRow; ++j)
    for (int i = 0; i < columns; ++i) {
      // Pixels with p in [8i - 7, 8i + 7] and q in [8j - 7, 8j + 7]: p + q = 4r, p - q = 2c.
      bool solid = true, seen = false;
      // r = (p + q) / 4; the bounds on c leave rows outside the bit empty.
      for (int r = (8 * (i + j) - 14) / 4 - 1; solid && r <= (8 * (i + j) + 14) / 4 + 1; ++r) {
        const int cFrom = std::max(8 * i - 7 - 2 * r, 2 * r - 8 * j - 7);
        const int cTo = std::min(8 * i + 7 - 2 * r, 2 * r - 8 * j + 7);
        for (int c = cFrom; c <= cTo; ++c) {
          seen = true;
          if (!isOpaque(c, r)) {
            solid = false;
            break;
          }
        }
      }
      if (solid && seen) mask.solid[static_cast<size_t>(j - firstRow)] |= 0x80000000u >> i;
    }
  return true;
}

CDrawList::CDrawList() : entries_(kCapacity) { Init(); }

void CDrawList::Init() {
  coverage_.reset(new uint8_t[kCoverageBytes]);
  ClearCoverage();
}

void CDrawList::ClearCoverage() {
  if (coverage_) std::memset(coverage_.get(), 0, kCoverageBytes);
}

void CDrawList::Reset() {
  count = 0;
  cursor = 0;
}

int CDrawList::Add(const DrawRequest& request) {
  ++addCalls;
  // A full list keeps what it has; -1 tells the caller nothing was stored, so that no one
  // takes another sprite's entry for its own.
  if (count >= capacity) return -1;
  DrawListEntry& entry = entries_[static_cast<size_t>(cursor)];
  entry.frame = request.frame;
  entry.object = request.object;
  entry.segment = request.segment;
  int shade = request.shade;
  if (g_shadeStep != 1 && shade != -127) shade = g_shadeStep * (shade / g_shadeStep);
  entry.shade = static_cast<int16_t>(shade);
  entry.variant = static_cast<int16_t>(request.variant);
  entry.printType = request.printType;
  entry.clipBelow = static_cast<int16_t>(request.clipBelow);
  entry.clipAbove = static_cast<int16_t>(request.clipAbove);
  entry.cell = request.cell;
  entry.cacheKey = 0;
  if (g_useSpriteCache && request.printType == draw_types::kLitTerrain && request.frame && request.variant <= 1 &&
      request.shade > -127) {
    const int size = request.frame.PixelEnd();
    if (size >= 1024 && size <= g_spriteCache_slotSize / 2)
      entry.cacheKey = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(request.frame.data)) +
                       static_cast<uint32_t>(2 * shade + 254 + request.variant);
  }
  int p = request.x, q = request.y;
  switch (rotation & 3) {
    case 1:
      p = request.y;
      q = -request.x;
      break;
    case 2:
      p = -request.y;
      q = -request.x;
      break;
    case 3:
      q = -request.y;
      break;
    default:
      break;
  }
  entry.key = p + q + HeightDepth(request.z) + request.depthBias;
  if (request.printType == draw_types::kLineSegment) {
    entry.screenX = request.colourValue;
  } else {
    entry.screenX = request.screenX;
    entry.screenY = request.screenY;
  }
  ++cursor;
  return count++;
}

namespace {

// The partition's scans. The first i at or after `from` (up to last) whose key is above the
// pivot; last + 1 if none.
int ScanUpPastPivot(const int32_t* k, int from, int last, int32_t pivot) {
  int i = from;
  while (i <= last && k[i] <= pivot) ++i;
  return i;
}

// The last j at or before `from` (down to first + 1) whose key is below the pivot; first if
// none.
int ScanDownPastPivot(const int32_t* k, int from, int first, int32_t pivot) {
  int j = from;
  while (j > first && k[j] >= pivot) --j;
  return j;
}

void QuickSortKeys(int32_t* k, int32_t* order, int n) {
  // A range with what is known of its keys: none lies below `least` or above `greatest`.
  // A frame has long runs of equal keys, and a pivot that equals such a bound makes the
  // partition's scan on that side run over the whole range to its end: the bound gives
  // that outcome without the scan. (With no key below the pivot, the partition swaps
  // nothing and only takes the pivot off the front.)
  struct Range {
    int first, last;
    int32_t least, greatest;
  };
  auto swap = [&](int a, int b) {
    std::swap(k[a], k[b]);
    std::swap(order[a], order[b]);
  };
  constexpr int kStack = 30;
  Range stack[kStack];
  int depth = 0;
  Range range{0, n - 1, INT32_MIN, INT32_MAX};
  for (;;) {
    while (range.last > range.first) {
      const int first = range.first, last = range.last;
      swap(first, first + (last - first) / 2);
      const int32_t pivot = k[first];
      if (pivot == range.least) {
        ++range.first;
        continue;
      }
      int i = pivot == range.greatest ? last + 1 : ScanUpPastPivot(k, first + 1, last, pivot);
      int j = ScanDownPastPivot(k, last, first, pivot);
      if (j == first) {
        range.least = pivot;
        ++range.first;
        continue;
      }
      while (i < j) {
        swap(i, j);
        i = ScanUpPastPivot(k, i, last, pivot);
        j = ScanDownPastPivot(k, j, first, pivot);
      }
      swap(first, j);
      Range larger{j + 1, last, pivot, range.greatest}, smaller{first, j - 1, range.least, pivot};
      if (j - first > last - j) std::swap(larger, smaller);
      if (depth == kStack) {
        // Cannot happen with 12000 entries; sort the larger side in place rather than lose it.
        SortLargerSideAnyhow(k, order, larger.first, larger.last);
      } else if (larger.last > larger.first) {
        stack[depth++] = larger;
      }
      range = smaller;
    }
    if (depth == 0) break;
    range = stack[--depth];
  }
}

}  // namespace

// Quicksort on the key with an explicit stack: the middle entry is the pivot, the smaller
// side is sorted next and the larger one waits on the stack, which therefore never holds
// more than log2 of the count. Equal keys end in the order this procedure gives (it is not
// stable), so the keys are sorted with their entries' indexes by exactly these steps, and
// the 80-byte entries are then moved once each into the order found.
void CDrawList::Sort() {
  if (count < 2) return;
  sortKeys_.resize(static_cast<size_t>(count));
  sortOrder_.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    sortKeys_[static_cast<size_t>(i)] = entries_[static_cast<size_t>(i)].key;
    sortOrder_[static_cast<size_t>(i)] = i;
  }
  QuickSortKeys(sortKeys_.data(), sortOrder_.data(), count);
  MoveEntriesToOrder(sortOrder_.data(), count);
}

// Slot i takes the entry that stood at order[i], following each cycle of the permutation
// with one entry held aside; a placed slot's order is set to itself. Moving in place
// (rather than into a second array) keeps every slot's bytes what the list has always left
// in it.
void CDrawList::MoveEntriesToOrder(int32_t* order, int n) {
  DrawListEntry* e = entries_.data();
  for (int i = 0; i < n; ++i) {
    if (order[i] == i) continue;
    const DrawListEntry held = e[i];
    int slot = i;
    for (;;) {
      const int from = order[slot];
      order[slot] = slot;
      if (from == i) {
        e[slot] = held;
        break;
      }
      e[slot] = e[from];
      slot = from;
    }
  }
}

void CDrawList::SetOcclusionFrames(const CSprite* sprites) {
  masks_.clear();
  if (!sprites) return;
  for (int n = 0; n < sprites->FrameCount(); ++n) {
    CSpriteFrame frame = sprites->GetFrame(n);
    if (!frame || masks_.count(frame.data)) continue;
    OcclusionMask mask;
    if (BuildOcclusionMask(frame, mask)) masks_.emplace(frame.data, std::move(mask));
  }
}

const OcclusionMask* CDrawList::MaskOf(CSpriteFrame frame) const {
  auto it = masks_.find(frame.data);
  return it == masks_.end() ? nullptr : &it->second;
}

bool CDrawList::CoverageCorner(CSpriteFrame frame, int screenX, int screenY, int& u, int& v) const {
  const int x = screenX - frame.HotspotX(), y = screenY - frame.HotspotY();
  if (x < -32 || x >= screenWidth + 32 || y < -32 || y >= screenHeight + 32) return false;
  // The 24-bit margin keeps both sums positive here, so the divisions are floors.
  u = (x + 2 * y + 8 * 24) / 8;
  v = (2 * y + screenWidth - x + 7 + 8 * 24) / 8;
  return true;
}

namespace {

// 32 bits of a coverage row from bit u on; bits past the row read as clear. The five bytes
// that hold them are read as one big-endian word where the row has eight bytes left, else
// byte by byte.
uint32_t ReadCoverageBits(const uint8_t* row, int u) {
  const int byte = u / 8;
  uint64_t bits = 0;
  if (byte + 8 <= CDrawList::kCoverageRowBytes) {
    std::memcpy(&bits, row + byte, 8);
    bits = __builtin_bswap64(bits) >> 24;
  } else {
    for (int k = 0; k < 5; ++k) {
      bits <<= 8;
      if (byte + k < CDrawList::kCoverageRowBytes) bits |= row[byte + k];
    }
  }
  return static_cast<uint32_t>(bits >> (8 - (u & 7)));
}

void OrCoverageBits(uint8_t* row, int u, uint32_t word) {
  if (!word) return;
  const uint64_t bits = static_cast<uint64_t>(word) << (8 - (u & 7));
  const int byte = u / 8;
  if (byte + 8 <= CDrawList::kCoverageRowBytes) {
    uint64_t now;
    std::memcpy(&now, row + byte, 8);
    now |= __builtin_bswap64(bits << 24);
    std::memcpy(row + byte, &now, 8);
    return;
  }
  for (int k = 0; k < 5; ++k)
    if (byte + k < CDrawList::kCoverageRowBytes) row[byte + k] |= static_cast<uint8_t>(bits >> (32 - 8 * k));
}

}  // namespace

int CDrawList::TestCoverage(CSpriteFrame frame, int screenX, int screenY, int printType) {
  if (printType == draw_types::kSelfDrawing || printType == draw_types::kLineSegment) return 0;
  if (!coverage_ || printType == PRT_SHADOW || !frame) return 0;
  const OcclusionMask* mask = MaskOf(frame);
  if (!mask) return 0;
  int u = 0, v = 0;
  if (!CoverageCorner(frame, screenX, screenY, u, v)) return 0;
  const int rows = static_cast<int>(mask->outline.size());
  int covered = 1;
  for (int j = 0; j < rows && covered; ++j) {
    const uint32_t want = mask->outline[static_cast<size_t>(j)];
    if (!want) continue;
    const int row = v + mask->rowOffset + j;
    if (row < 0 || row >= kCoverageRows ||
        (ReadCoverageBits(coverage_.get() + row * kCoverageRowBytes, u) & want) != want)
      covered = 0;
  }
  if (printType == draw_types::kPlainShaded || printType == draw_types::kLitTerrain) {
    for (int j = 0; j < rows; ++j) {
      const int row = v + mask->rowOffset + j;
      if (row >= 0 && row < kCoverageRows)
        OrCoverageBits(coverage_.get() + row * kCoverageRowBytes, u, mask->solid[static_cast<size_t>(j)]);
    }
  }
  return covered;
}

void CDrawList::MarkHiddenFrames(const DrawListEntry& entry, const CSprite* terrainSprites, bool hidden) {
  if (!terrainSprites) return;
  CMapCell& cell = *entry.cell;
  const CTerrainType& type = TerrainOf(cell.terrain);
  const int r = rotation & 3;
  auto is = [&](int index) { return index != 0 && terrainSprites->GetFrame(index).data == entry.frame.data; };
  auto apply = [hidden](uint16_t& word, uint16_t bit) {
    word = static_cast<uint16_t>(hidden ? word | bit : word & ~bit);
  };
  if (is(type.blockFrame[r]))
    apply(cell.state, kBlockHidden);
  else if (is(type.firstSideFrame[r]))
    apply(cell.shape, kFirstSideHidden);
  else if (is(type.secondSideFrame[r]))
    apply(cell.shape, kSecondSideHidden);
}

void CDrawList::Occlude(const CSprite* terrainSprites) {
  for (int i = count - 1; i >= 1; --i) {
    DrawListEntry& entry = entries_[static_cast<size_t>(i)];
    if (entry.printType == draw_types::kHidden) continue;
    const bool covered = TestCoverage(entry.frame, entry.screenX, entry.screenY, entry.printType) != 0;
    if (covered) {
      entry.printType = draw_types::kHidden;
      entry.cacheKey = 0;
    }
    if (entry.cell) MarkHiddenFrames(entry, terrainSprites, covered);
  }
}

void CDrawList::UpdateFrameCache(CFrameCache& cache) {
  const int slice = count / kCacheSlices;
  if (cacheFrame == 0) cacheKeys_.clear();
  for (int i = cacheFrame * slice, end = (cacheFrame + 1) * slice; i < end; ++i) {
    const DrawListEntry& entry = entries_[static_cast<size_t>(i)];
    if (!entry.cacheKey) continue;
    auto it =
        std::find_if(cacheKeys_.begin(), cacheKeys_.end(), [&](const CacheKey& k) { return k.key == entry.cacheKey; });
    if (it != cacheKeys_.end()) {
      ++it->count;
    } else {
      if (static_cast<int>(cacheKeys_.size()) >= kMaxCacheKeys) break;
      cacheKeys_.push_back(CacheKey{entry.cacheKey, 1, i, entry.frame, entry.shade, entry.variant + 2});
    }
  }
  if (cacheFrame == kCacheSlices - 1) {
    int candidates = 0;
    for (const CacheKey& k : cacheKeys_) {
      if (k.count < cacheThreshold) continue;
      if (++candidates <= kCacheGrants) cache.Acquire(FrameCacheRequest{k.key, k.frame, k.light, k.listIndex});
    }
    if (candidates > kCacheSlices)
      ++cacheThreshold;
    else if (cacheThreshold > 2)
      --cacheThreshold;
  }
  cacheFrame = (cacheFrame + 1) % kCacheSlices;
  for (int i = count - 1; i >= 0; --i) {
    DrawListEntry& entry = entries_[static_cast<size_t>(i)];
    if (!entry.cacheKey) continue;
    if (uint8_t* copy = cache.Find(entry.cacheKey)) {
      entry.printType = draw_types::kCached;
      entry.frame = CSpriteFrame{copy, nullptr};
    }
  }
}

void CDrawList::PrintFrameOfType(const DrawListEntry& entry, int x, int y) {
  const CSpriteFrame frame = entry.frame;
  const int shade = entry.shade, variant = entry.variant;
  switch (entry.printType) {
    case draw_types::kHidden:
      return;
    case draw_types::kSelfDrawing:
      if (entry.object) entry.object->Draw(x, y);
      return;
    case draw_types::kLineSegment: {
      if (!entry.segment) return;
      const CScreenSegment& s = *entry.segment;
      const int colour = entry.screenX;
      DrawSpriteLine(s.x0, s.y0, s.x1, s.y1,
                     [&](int px, int py) { g_typePrinters.additive(frame, px, py, shade, colour); });
      return;
    }
    case draw_types::kLitTerrain: {
      PrintResult result =
          shade == -127 ? PrintSpriteBlack(frame, x, y) : g_printSpriteAlt(frame, x, y, shade, variant + 2);
      if (result == kPrintRetryPortable) PrintSpriteFrameC(frame, x, y, shade, variant);
      return;
    }
    case draw_types::kPlainCopy:
    case draw_types::kCached:
      PrintSpriteFrame(frame, x, y, shade, variant);
      return;
    case PRT_WATER:
      g_printSpriteWater(frame, x, y);
      return;
    default:
      // Plain shaded (0, PRT_NORMAL) and the print-type printers.
      PrintSpriteOfType(entry.printType == draw_types::kPlainShaded ? PRT_NORMAL : entry.printType, frame, x, y, shade,
                        variant);
      return;
  }
}

void CDrawList::DrawEntry(const DrawListEntry& entry) {
  const int x = entry.screenX, y = entry.screenY;
  const bool clipped = clipLinesOn && entry.frame && (entry.clipBelow != kNoClipLine || entry.clipAbove != kNoClipLine);
  if (!clipped) {
    PrintFrameOfType(entry, x, y);
    return;
  }
  // The part above the line is printed as usual; the part below it (under the water surface)
  // a second time through the underwater tables, shifted by the second offset.
  const int line =
      y - entry.frame.HotspotY() + entry.frame.Height() + (entry.clipBelow != kNoClipLine ? entry.clipBelow : 0);
  if (entry.clipBelow != kNoClipLine && line > g_clipTop && line < g_clipBottom)
    SetSpriteClipRect(g_clipTop, g_clipLeft, g_clipRight, line > 0 ? line : 0);
  PrintFrameOfType(entry, x, y);
  SetSpriteClipRect(viewTop, viewLeft, viewRight, viewBottom);
  if (entry.clipAbove != kNoClipLine && line < viewBottom) {
    SetSpriteClipRect(std::max(line, viewTop), viewLeft, viewRight, viewBottom);
    DrawListEntry below = entry;
    below.variant = 1;
    PrintFrameOfType(below, x, y + entry.clipAbove);
    SetSpriteClipRect(viewTop, viewLeft, viewRight, viewBottom);
  }
}

void CDrawList::Draw() {
  for (int i = 0; i < count; ++i) DrawEntry(entries_[static_cast<size_t>(i)]);
  if (g_showSpriteLog) {
    Battle().ShowSpriteCount(addCalls);
    addCalls = 0;
  }
}
