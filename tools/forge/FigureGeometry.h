#pragma once
// Small 3-D vector arithmetic for the figure art. World coordinates are map units of the
// first view rotation: x runs to the lower right of the screen, y to the lower left, z up;
// a point projects to the screen at (x - y, (x + y) / 2 - z), one unit a pixel across.

#include <algorithm>
#include <cmath>
#include <numbers>

namespace forge {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(double s, Vec3 a) { return a * s; }
inline Vec3 operator/(Vec3 a, double s) { return {a.x / s, a.y / s, a.z / s}; }
inline Vec3& operator+=(Vec3& a, Vec3 b) { return a = a + b; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalised(Vec3 a) {
  const double l = Length(a);
  return l > 1e-12 ? a / l : Vec3{0, 0, 1};
}
inline Vec3 Lerp(Vec3 a, Vec3 b, double t) { return a + (b - a) * t; }

// The screen position of a world point, relative to the projection of the origin.
inline double ScreenX(Vec3 p) { return p.x - p.y; }
inline double ScreenY(Vec3 p) { return (p.x + p.y) / 2 - p.z; }

// A frame of reference: an origin and three axes (forward, left, up), each a unit vector
// unless scaled on purpose. Local (a, b, c) maps to origin + a forward + b left + c up.
struct Basis {
  Vec3 origin;
  Vec3 forward{1, 0, 0}, left{0, 1, 0}, up{0, 0, 1};

  Vec3 Point(double a, double b, double c) const { return origin + forward * a + left * b + up * c; }
  Vec3 Point(Vec3 local) const { return Point(local.x, local.y, local.z); }
  Vec3 Direction(double a, double b, double c) const { return forward * a + left * b + up * c; }
  Vec3 Direction(Vec3 local) const { return Direction(local.x, local.y, local.z); }
  // The frame moved to a local point, its axes unchanged.
  Basis At(double a, double b, double c) const {
    Basis f = *this;
    f.origin = Point(a, b, c);
    return f;
  }
  Basis At(Vec3 local) const { return At(local.x, local.y, local.z); }
  // Turned about its own up axis (positive turns forward toward left), its left axis
  // (positive pitches forward down) and its forward axis (positive rolls left side up).
  Basis Yawed(double angle) const {
    Basis f = *this;
    const double c = std::cos(angle), s = std::sin(angle);
    f.forward = forward * c + left * s;
    f.left = left * c - forward * s;
    return f;
  }
  Basis Pitched(double angle) const {
    Basis f = *this;
    const double c = std::cos(angle), s = std::sin(angle);
    f.forward = forward * c - up * s;
    f.up = up * c + forward * s;
    return f;
  }
  Basis Rolled(double angle) const {
    Basis f = *this;
    const double c = std::cos(angle), s = std::sin(angle);
    f.left = left * c + up * s;
    f.up = up * c - left * s;
    return f;
  }
};

// The ground frame of a figure in a view facing 0-7 (0 toward -y, then clockwise), its
// origin at the world origin.
inline Basis FacingBasis(int facing) {
  const double angle = facing * std::numbers::pi / 4;
  Basis f;
  f.forward = {std::sin(angle), -std::cos(angle), 0};
  f.left = {f.forward.y, -f.forward.x, 0};
  f.up = {0, 0, 1};
  return f;
}

// The knee or elbow of a two-bone limb from root to tip (bone lengths l1 and l2): it bends
// toward the hint direction; a tip out of reach straightens the limb along the line.
inline Vec3 SolveJoint(Vec3 root, Vec3 tip, double l1, double l2, Vec3 hint) {
  Vec3 axis = tip - root;
  double d = Length(axis);
  const Vec3 dir = d > 1e-9 ? axis / d : Vec3{0, 0, -1};
  d = std::clamp(d, std::fabs(l1 - l2) + 1e-6, l1 + l2 - 1e-6);
  const double along = (l1 * l1 - l2 * l2 + d * d) / (2 * d);
  const double out = std::sqrt(std::max(0.0, l1 * l1 - along * along));
  Vec3 bend = hint - dir * Dot(hint, dir);
  if (Length(bend) < 1e-9) bend = Cross(dir, Vec3{0, 0, 1});
  return root + dir * along + Normalised(bend) * out;
}

}  // namespace forge
