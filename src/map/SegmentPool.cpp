#include "map/SegmentPool.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/Random.h"
#include "core/SaveBlock.h"
#include "graphics/PrintTarget.h"
#include "map/LineStepper.h"
#include "map/MapUnits.h"

CSegmentPool g_segmentPool;

void ISegmentView::SegmentClipRect(int& left, int& top, int& right, int& bottom) {
  left = g_clipLeft;
  top = g_clipTop;
  right = g_clipRight;
  bottom = g_clipBottom;
}

namespace {

struct Point {
  int x, y, z;
};
struct Piece {
  Point from, to;
  int kind;
};

int DrawNumber(CRandom& random) { return static_cast<int>(random.Next() & 0x7FFFFFFF); }

int UnitsWide() { return g_map.width * kUnitsPerTile; }
int UnitsHigh() { return g_map.height * kUnitsPerTile; }

// The piece's extent, x and y the short way round.
Point Extent(const Piece& piece) {
  return {WrappedDelta(piece.to.x, piece.from.x, UnitsWide()), WrappedDelta(piece.to.y, piece.from.y, UnitsHigh()),
          piece.to.z - piece.from.z};
}

// An offset within +-(a + b) / 4, scaled by jitter percent.
int Jitter(CRandom& random, int a, int b, int jitter) {
  int reach = (std::abs(a) + std::abs(b)) / 4;
  if (reach <= 0) return 0;
  int offset = DrawNumber(random) % (2 * reach + 1) - reach;
  return offset * jitter / 100;
}

// A branch from the end of a piece before the last, running on in its direction by 50 to
// 149 percent of its length on each axis.
void AddBranch(CRandom& random, std::vector<Piece>& pieces, int branchKind) {
  const Piece& chosen = pieces[static_cast<size_t>(DrawNumber(random) % static_cast<int>(pieces.size() - 1))];
  Point along = Extent(chosen);
  Point start = chosen.to;
  Point end{start.x + along.x * (50 + DrawNumber(random) % 100) / 100,
            start.y + along.y * (50 + DrawNumber(random) % 100) / 100,
            start.z + along.z * (50 + DrawNumber(random) % 100) / 100};
  end.x = CWrapCoord::WrapUnitsX(end.x);
  end.y = CWrapCoord::WrapUnitsY(end.y);
  pieces.insert(pieces.end() - 1, Piece{start, end, branchKind});
}

// Splits every long piece at its jittered midpoint, last to first.
void SplitPieces(CRandom& random, std::vector<Piece>& pieces, int jitter) {
  for (size_t i = pieces.size(); i-- > 0;) {
    Point d = Extent(pieces[i]);
    if (std::abs(d.x) <= 16 && std::abs(d.y) <= 16 && std::abs(d.z) <= 8) continue;
    Point mid{pieces[i].from.x + d.x / 2, pieces[i].from.y + d.y / 2, pieces[i].from.z + d.z / 2};
    mid.x = CWrapCoord::WrapUnitsX(mid.x + Jitter(random, d.z, d.y, jitter));
    mid.y = CWrapCoord::WrapUnitsY(mid.y + Jitter(random, d.z, d.x, jitter));
    mid.z += Jitter(random, d.y, d.x, jitter);
    Piece rest{mid, pieces[i].to, pieces[i].kind};
    pieces[i].to = mid;
    pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1, rest);
  }
}

int FloorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

// Points of saved segments lie within this many map units of the origin: far more than the
// largest map spans.
constexpr int32_t kMaxUnits = 1 << 20;

}  // namespace

CSegment* CSegmentPool::Add(int x0, int y0, int z0, int x1, int y1, int z1, int lifetime, int kind, int value1,
                            int value2) {
  if (count < 0 || count >= kCapacity) return nullptr;
  CSegment& segment = segments[count++];
  segment = CSegment{x0, y0, z0, x1, y1, z1, lifetime + 1, kind, value1, value2};
  return &segment;
}

int CSegmentPool::AddForkedBolt(CRandom& random, int x0, int y0, int z0, int x1, int y1, int z1, int lifetime, int kind,
                                int value1, int value2, int depth, int jitter, int branchKind, int branchChance) {
  if (depth < 0) depth = 0;
  if (depth > 16) return 0;  // far more pieces than the pool holds
  int64_t needed = branchKind == -1 ? (int64_t{1} << depth) : (int64_t{1} << (depth + 1)) - 1;
  if (count + needed >= kCapacity) return 0;
  std::vector<Piece> pieces{Piece{{x0, y0, z0}, {x1, y1, z1}, kind}};
  for (int pass = 0; pass < depth; ++pass) {
    if (pass > 1 && branchKind != -1 && pieces.size() > 1 && DrawNumber(random) % 100 >= 100 - branchChance)
      AddBranch(random, pieces, branchKind);
    SplitPieces(random, pieces, jitter);
  }
  CSegment* last = nullptr;
  for (const Piece& piece : pieces)
    last = Add(piece.from.x, piece.from.y, piece.from.z, piece.to.x, piece.to.y, piece.to.z, lifetime, piece.kind,
               value1, value2);
  return last ? 1 : 0;
}

void CSegmentPool::Tick() {
  for (int i = 0; i < count;) {
    int before = segments[i].lifetime--;
    if (before <= 1) {
      segments[i] = segments[--count];  // the moved one is aged in this pass too
      continue;
    }
    ++i;
  }
}

void CSegmentPool::Draw(ISegmentView& view) {
  screenCount = 0;
  for (int i = 0; i < count; ++i) DrawSegment(segments[i], view);
}

void CSegmentPool::DrawSegment(const CSegment& segment, ISegmentView& view) {
  Point end{segment.x0 + WrappedDelta(segment.x1, segment.x0, UnitsWide()),
            segment.y0 + WrappedDelta(segment.y1, segment.y0, UnitsHigh()), segment.z1};
  Point at{segment.x0, segment.y0, segment.z0};
  // Each round enters a new cell; the rounds are counted so that no line can walk forever.
  int rounds = 2 * (std::abs(end.x - at.x) / 32 + std::abs(end.y - at.y) / 32 + std::abs(end.z - at.z) / 16) + 8;
  int clipLeft, clipTop, clipRight, clipBottom;
  view.SegmentClipRect(clipLeft, clipTop, clipRight, clipBottom);
  while (rounds-- > 0) {
    int cx = FloorDiv(at.x, 32), cy = FloorDiv(at.y, 32), level = FloorDiv(at.z, 16);
    ClipBox3D box{32 * cx - 1, 32 * cx + 32, 32 * cy - 1, 32 * cy + 32, 16 * level - 1, 16 * level + 16};
    Point a = at, b = end;
    if (!ClipLine3D(box, a.x, a.y, a.z, b.x, b.y, b.z)) return;
    // Shown where the cell lies inside the map.
    int wrappedX = CWrapCoord::WrapX(cx), wrappedY = CWrapCoord::WrapY(cy);
    int shiftX = 32 * (wrappedX - cx), shiftY = 32 * (wrappedY - cy);
    CScreenSegment piece;
    if (view.MapToScreen(a.x + shiftX, a.y + shiftY, a.z, piece.x0, piece.y0) &&
        view.MapToScreen(b.x + shiftX, b.y + shiftY, b.z, piece.x1, piece.y1) && std::abs(piece.x1 - piece.x0) <= 64 &&
        std::abs(piece.y1 - piece.y0) <= 48 &&
        ClipLineToBox(piece.x0, piece.y0, piece.x1, piece.y1, clipLeft, clipTop, clipRight, clipBottom)) {
      if (screenCount >= kCapacity) return;
      // The draw list keeps a pointer to the piece until it prints: the stored copy, which
      // lives as long as the frame, not this local one.
      screenSegments[screenCount] = piece;
      view.AddSegmentPiece(wrappedX, wrappedY, level, screenSegments[screenCount++], segment);
    }
    if (b.x == end.x && b.y == end.y && b.z == end.z) return;
    if (b.x == at.x && b.y == at.y && b.z == at.z) return;  // no progress: a degenerate line ends
    at = b;
  }
}

int CSegmentPool::Save(FILE* file) const {
  if (count < 0 || count > kCapacity) return -1;
  bytes::Writer out;
  bytes::WriteCounted(out, count, [&](bytes::Writer& record, int i) {
    const CSegment& s = segments[i];
    for (int32_t v : {s.x0, s.y0, s.z0, s.x1, s.y1, s.z1, s.lifetime, s.kind, s.value1, s.value2}) record.I32(v);
  });
  return bytes::WriteSaveBlock(file, out);
}

int CSegmentPool::Load(FILE* file) {
  bytes::CountedBlock block;
  if (!bytes::ReadCountedBlock(file, 0, kCapacity, kRecordBytes, 0, block)) return -1;
  bytes::Reader in(block.data);
  std::vector<CSegment> read(static_cast<size_t>(block.count));
  for (CSegment& s : read) {
    for (int32_t* v : {&s.x0, &s.y0, &s.z0, &s.x1, &s.y1, &s.z1, &s.lifetime, &s.kind, &s.value1, &s.value2})
      *v = in.I32();
    // Drawing walks the segment in map units: a point far off every map is bad data.
    for (int32_t v : {s.x0, s.y0, s.z0, s.x1, s.y1, s.z1})
      if (v < -kMaxUnits || v > kMaxUnits) return -1;
  }
  std::copy(read.begin(), read.end(), segments);
  count = block.count;
  return block.Size();
}
