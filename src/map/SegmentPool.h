#pragma once
// CSegmentPool: the short-lived line segments of bolts and beams (lightning and the like),
// aged every battle frame, drawn through the map view and saved with the battle.

#include <cstdint>
#include <cstdio>

class CRandom;

struct CSegment {
  int32_t x0 = 0, y0 = 0, z0 = 0;  // map units
  int32_t x1 = 0, y1 = 0, z1 = 0;
  int32_t lifetime = 0;  // battle frames
  int32_t kind = 0;      // selects the picture it is drawn with
  int32_t value1 = 0, value2 = 0;
};

struct CScreenSegment {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The map view's side of drawing segments.
class ISegmentView {
 public:
  virtual ~ISegmentView() = default;
  // Screen position of a point in map units; false when it cannot be shown.
  virtual bool MapToScreen(int x, int y, int z, int& screenX, int& screenY) = 0;
  // One drawn piece: its cell (wrapped), its screen segment and the segment it belongs to.
  virtual void AddSegmentPiece(int cellX, int cellY, int level, const CScreenSegment& piece,
                               const CSegment& segment) = 0;
  // The screen rectangle the pieces are clipped to (right and bottom exclusive): the print
  // clip rectangle unless the view has its own. The map view walks its cells before it has a
  // print target, so it gives its own rectangle.
  virtual void SegmentClipRect(int& left, int& top, int& right, int& bottom);
};

class CSegmentPool {
 public:
  static constexpr int kCapacity = 1024;
  static constexpr int kRecordBytes = 40;

  CSegment segments[kCapacity];
  int32_t count = 0;
  CScreenSegment screenSegments[kCapacity];  // the pieces drawn this frame
  int32_t screenCount = 0;

  // The new record (lifetime stored one higher), or null when the pool is full.
  CSegment* Add(int x0, int y0, int z0, int x1, int y1, int z1, int lifetime, int kind, int value1, int value2);
  // A bolt split into jittered pieces over depth passes, with optional branches; all its
  // pieces or none. 1 when every piece was added.
  int AddForkedBolt(CRandom& random, int x0, int y0, int z0, int x1, int y1, int z1, int lifetime, int kind, int value1,
                    int value2, int depth, int jitter, int branchKind, int branchChance);
  // Ages every segment by one frame.
  void Tick();
  void Clear() { count = 0; }
  // Feeds every segment to DrawSegment.
  void Draw(ISegmentView& view);
  // Walks a segment cell by cell, clipped to each cell, and hands the visible pieces on.
  void DrawSegment(const CSegment& segment, ISegmentView& view);
  // Saved-game block: bytes written or read, -1 on a short write or read, a bad count or a
  // point far off every map (the pool is then unchanged).
  int Save(FILE* file) const;
  int Load(FILE* file);
};

extern CSegmentPool g_segmentPool;
