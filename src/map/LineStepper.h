#pragma once
// CLineStepper: walks a straight 3-D line one grid step at a time, in integers only, the
// short way round the wrapping map. Every line walk of the game uses it. Also the clipping
// of 2-D screen segments and 3-D segments, and the plain 2-D line of dots.

#include <cstdint>
#include <functional>

class CLineStepper {
 public:
  int32_t zStepAlways = 0;  // the z step made on every step when z is the major axis
  int32_t zStep = 0;        // +1 or -1
  int32_t horizontalMajor = 0;
  int32_t zHeld = 0;  // the last step moved z only by zStepAlways
  int32_t diagX = 0, diagY = 0;
  int32_t straightX = 0, straightY = 0;
  int32_t twiceMajor = 0, twiceMinor = 0;
  int32_t errorH = 0;
  int32_t errorZ = 0;
  int32_t twiceMinorZ = 0, twiceMajorZ = 0;

  void Reset() { *this = CLineStepper(); }
  // Cells: the periods are the map's width and height.
  void StartWrapped(int x0, int y0, int z0, int x1, int y1, int z1, int32_t* length);
  // Coordinates in 1/scale of a tile (32 for map units, 8 for the sight grain).
  void StartWrappedScaled(int x0, int y0, int z0, int x1, int y1, int z1, int32_t* length, int scale);
  // One step; the length grows by 2 for a straight, 3 for a diagonal and 1 for a vertical
  // move. The caller wraps x and y.
  void Step(int& x, int& y, int& z, int32_t& length);
  // Steps the major axis takes from start to end (for loops that must end).
  int MajorSteps() const { return twiceMajorZ / 2; }

 private:
  void Start(int x0, int y0, int z0, int x1, int y1, int z1, int64_t periodX, int64_t periodY);
};

// 1 when part of the segment lies in the print clip rectangle (which it then holds), else 0.
int ClipLineToRect(int& x0, int& y0, int& x1, int& y1);
// The same against a given rectangle (right and bottom exclusive).
int ClipLineToBox(int& x0, int& y0, int& x1, int& y1, int left, int top, int right, int bottom);

// The box a 3-D segment is clipped to, inclusive.
struct ClipBox3D {
  int xmin = 0, xmax = 0, ymin = 0, ymax = 0, zmin = 0, zmax = 0;
};
int ClipLine3D(const ClipBox3D& box, int& x0, int& y0, int& z0, int& x1, int& y1, int& z1);

// A plain 2-D line: dot(x, y) for every point, both ends included.
void DrawSpriteLine(int x0, int y0, int x1, int y1, const std::function<void(int x, int y)>& dot);
