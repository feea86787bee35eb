#pragma once
// CFixPoints: the flag paths of one realm region, read from its .FP file: where the region's
// own flag stands, up to eight paths of points leading out of the region to its neighbours,
// and four start slots where visiting wizards' markers stand. The realm view keeps one per
// region: the paths' last points give the region's neighbours, markers walk along them, and the
// paths out of the player's region are drawn as marching dots.
//
// File (little-endian int32): ".FP\0", version 2, flag x, y, path count (at most 8), 8 path
// lengths, 8 path starts (indexes into the point table), 4 start slots (x, y), then the point
// table: as many (x, y) points as the counted paths' lengths add up to. Points are in
// 800 x 600 coordinates.

#include <cstddef>
#include <cstdint>
#include <vector>

class CSurface;

struct RealmPoint {
  int32_t x = -1;
  int32_t y = -1;
  bool operator==(const RealmPoint&) const = default;
};

class CFixPoints {
 public:
  static constexpr int kMaxPaths = 8;
  static constexpr int kStartSlots = 4;
  static constexpr int32_t kVersion = 2;
  static constexpr int kHeaderBytes = 84;
  static constexpr int kSlotBytes = 32;
  // The most points a file may hold: far more than any painted path needs.
  static constexpr int kMaxPoints = 1 << 20;

  // True when the whole file was read and is sound: the magic, version 2, a path count of 0 to
  // 8, no negative length or start, each counted path inside the point table, and the table
  // there whole. A failed load keeps no points (the slots are freed either way).
  bool Load(const char* fileName);
  bool LoadBytes(const uint8_t* data, size_t size);

  int PathCount() const { return pathCount; }
  // The length entry of a path (0 outside the count).
  int GetPathLength(int path) const;
  // The path's last point; (-1, -1) without points or for a path outside the count.
  RealmPoint GetPathEnd(int path) const;
  // The point `step` points into the path; (-1, -1) outside it.
  RealmPoint GetPathPoint(int path, int step) const;
  // A free start slot, drawn with the front end's generator, marked taken; (-1, -1) when all
  // four are taken.
  RealmPoint TakeStartSlot();
  // Frees the first taken slot at that point; nothing when none is there.
  void ReleaseStartSlot(int x, int y);
  // One frame of the marching dots: the frame counter moves on and, with phase = counter & 7,
  // every 8th point of each path from `phase` on is a dot. DrawPaths fills a 3 x 3 yellow
  // square at each (scaled to 640 x 480 when the screen is that size).
  std::vector<RealmPoint> StepDots();
  void DrawPaths(CSurface* surface);
  // The slot flags cleared and the point table freed.
  void Free();

  RealmPoint flagPoint;
  int32_t pathCount = 0;
  int32_t pathLengths[kMaxPaths] = {};
  int32_t pathStarts[kMaxPaths] = {};
  RealmPoint startSlots[kStartSlots];
  uint8_t slotTaken[kStartSlots] = {};
  std::vector<RealmPoint> points;
  int frameCounter = 0;
};
