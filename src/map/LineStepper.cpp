#include "map/LineStepper.h"

#include <cstdlib>

#include "graphics/PrintTarget.h"
#include "map/Map.h"

namespace {

// The end moved by one period when that is the shorter way (at exactly half nothing moves).
int64_t ShortWayEnd(int64_t from, int64_t to, int64_t period) {
  int64_t direct = std::llabs(from - to);
  if (std::llabs(from - (to - period)) < direct) return to - period;
  if (std::llabs(from - (to + period)) < direct) return to + period;
  return to;
}

int Sign(int64_t v) { return v < 0 ? -1 : 1; }

}  // namespace

void CLineStepper::StartWrapped(int x0, int y0, int z0, int x1, int y1, int z1, int32_t* length) {
  Start(x0, y0, z0, x1, y1, z1, g_map.width, g_map.height);
  if (length) *length = 0;
}

void CLineStepper::StartWrappedScaled(int x0, int y0, int z0, int x1, int y1, int z1, int32_t* length, int scale) {
  Start(x0, y0, z0, x1, y1, z1, static_cast<int64_t>(scale) * g_map.width, static_cast<int64_t>(scale) * g_map.height);
  if (length) *length = 0;
}

void CLineStepper::Start(int x0, int y0, int z0, int x1, int y1, int z1, int64_t periodX, int64_t periodY) {
  int64_t ex = ShortWayEnd(x0, x1, periodX), ey = ShortWayEnd(y0, y1, periodY);
  int sx = Sign(ex - x0), sy = Sign(ey - y0);
  int64_t ax = std::llabs(ex - x0), ay = std::llabs(ey - y0);
  diagX = sx;
  diagY = sy;
  int64_t major, minor;
  if (ax < ay) {
    straightX = 0;
    straightY = sy;
    major = ay;
    minor = ax;
  } else {
    straightX = sx;
    straightY = 0;
    major = ax;
    minor = ay;
  }
  errorH = static_cast<int32_t>(major);
  twiceMajor = static_cast<int32_t>(2 * major);
  twiceMinor = static_cast<int32_t>(2 * minor);

  int64_t h = major, az = std::llabs(static_cast<int64_t>(z1) - z0);
  zStep = z1 < z0 ? -1 : 1;
  zHeld = 0;
  if (az < h) {
    horizontalMajor = 1;
    zStepAlways = 0;
    errorZ = static_cast<int32_t>(h);
    twiceMinorZ = static_cast<int32_t>(2 * az);
    twiceMajorZ = static_cast<int32_t>(2 * h);
  } else {
    horizontalMajor = 0;
    zStepAlways = zStep;
    errorZ = static_cast<int32_t>(az);
    twiceMinorZ = static_cast<int32_t>(2 * h);
    twiceMajorZ = static_cast<int32_t>(2 * az);
  }
}

void CLineStepper::Step(int& x, int& y, int& z, int32_t& length) {
  int dz;
  errorZ -= twiceMinorZ;
  if (errorZ <= 0) {
    errorZ += twiceMajorZ;
    dz = zStep;
    zHeld = 0;
  } else {
    dz = zStepAlways;
    zHeld = 1;
  }
  z += dz;
  if (dz != 0) length += 1;
  if (zHeld && !horizontalMajor) return;
  errorH -= twiceMinor;
  if (errorH <= 0) {
    errorH += twiceMajor;
    x += diagX;
    y += diagY;
    length += 3;
  } else {
    x += straightX;
    y += straightY;
    length += 2;
  }
}

namespace {

// Cohen-Sutherland rounds: moving a point onto one boundary can, by truncation, put it
// just outside another, so the rounds are counted and a line that does not settle is
// taken as outside.
constexpr int kMaxClipRounds = 16;

int Interpolate(int from, int to, int boundary, int along0, int along1) {
  double t = (static_cast<double>(boundary) - along0) / (static_cast<double>(along1) - along0);
  return static_cast<int>(from + (static_cast<double>(to) - from) * t);  // truncated towards zero
}

}  // namespace

int ClipLineToRect(int& x0, int& y0, int& x1, int& y1) {
  return ClipLineToBox(x0, y0, x1, y1, g_clipLeft, g_clipTop, g_clipRight, g_clipBottom);
}

int ClipLineToBox(int& x0, int& y0, int& x1, int& y1, int clipLeft, int clipTop, int clipRight, int clipBottom) {
  // The rectangle's right and bottom are exclusive: the last pixels inside are one less.
  const int left = clipLeft, right = clipRight - 1, top = clipTop, bottom = clipBottom - 1;
  auto code = [&](int x, int y) {
    return (x < left ? 8 : 0) | (x > right ? 4 : 0) | (y < top ? 2 : 0) | (y > bottom ? 1 : 0);
  };
  int c0 = code(x0, y0), c1 = code(x1, y1);
  for (int round = 0; round < kMaxClipRounds; ++round) {
    if ((c0 | c1) == 0) return 1;
    if (c0 & c1) return 0;
    bool moveStart = c0 != 0;
    int c = moveStart ? c0 : c1;
    int x, y;
    if (c & 8) {
      x = left;
      y = Interpolate(y0, y1, left, x0, x1);
    } else if (c & 4) {
      x = right;
      y = Interpolate(y0, y1, right, x0, x1);
    } else if (c & 2) {
      y = top;
      x = Interpolate(x0, x1, top, y0, y1);
    } else {
      y = bottom;
      x = Interpolate(x0, x1, bottom, y0, y1);
    }
    if (moveStart) {
      x0 = x;
      y0 = y;
      c0 = code(x0, y0);
    } else {
      x1 = x;
      y1 = y;
      c1 = code(x1, y1);
    }
  }
  return 0;
}

int ClipLine3D(const ClipBox3D& box, int& x0, int& y0, int& z0, int& x1, int& y1, int& z1) {
  auto code = [&](int x, int y, int z) {
    return (z < box.zmin ? 0x20 : 0) | (z > box.zmax ? 0x10 : 0) | (x < box.xmin ? 0x08 : 0) |
           (x > box.xmax ? 0x04 : 0) | (y < box.ymin ? 0x02 : 0) | (y > box.ymax ? 0x01 : 0);
  };
  int c0 = code(x0, y0, z0), c1 = code(x1, y1, z1);
  for (int round = 0; round < kMaxClipRounds; ++round) {
    if ((c0 | c1) == 0) return 1;
    if (c0 & c1) return 0;
    bool moveStart = c0 != 0;
    int c = moveStart ? c0 : c1;
    int x, y, z;
    if (c & 0x30) {
      z = (c & 0x20) ? box.zmin : box.zmax;
      x = Interpolate(x0, x1, z, z0, z1);
      y = Interpolate(y0, y1, z, z0, z1);
    } else if (c & 0x0C) {
      x = (c & 0x08) ? box.xmin : box.xmax;
      y = Interpolate(y0, y1, x, x0, x1);
      z = Interpolate(z0, z1, x, x0, x1);
    } else {
      y = (c & 0x02) ? box.ymin : box.ymax;
      x = Interpolate(x0, x1, y, y0, y1);
      z = Interpolate(z0, z1, y, y0, y1);
    }
    if (moveStart) {
      x0 = x;
      y0 = y;
      z0 = z;
      c0 = code(x0, y0, z0);
    } else {
      x1 = x;
      y1 = y;
      z1 = z;
      c1 = code(x1, y1, z1);
    }
  }
  return 0;
}

void DrawSpriteLine(int x0, int y0, int x1, int y1, const std::function<void(int x, int y)>& dot) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    dot(x0, y0);
    if (x0 == x1 && y0 == y1) return;
    int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}
