#pragma once
// A figure as a list of solid primitives in world units (see FigureGeometry.h): balls,
// ellipsoids, tapered limbs (drawn as overlapping balls) and flat triangles. Creatures,
// body parts and effect shapes are built from these and drawn by FigureRenderer.
//
// Each primitive names a material (an index into the figure's material list, see
// FigurePalette.h) and may be marked as a detail: details are left out of the plain
// pictures of the cut-down animation set.

#include <cstdint>
#include <vector>

#include "forge/FigureGeometry.h"

namespace forge {

struct Primitive {
  enum class Kind : uint8_t { kBall, kEllipsoid, kTriangle };
  Kind kind = Kind::kBall;
  uint8_t material = 0;
  bool detail = false;
  Vec3 centre;        // ball and ellipsoid
  double radius = 0;  // ball
  Vec3 axis[3];       // ellipsoid: three perpendicular half-axes, each with its length
  Vec3 corner[3];     // triangle
  Basis texture;      // texture coordinates follow this frame, so they move with the part
};

class FigureModel {
 public:
  FigureModel() { primitives_.reserve(1024); }
  // Primitives added from now on are details (left out of plain pictures) while set.
  void SetDetail(bool detail) { detail_ = detail; }
  bool Detail() const { return detail_; }

  void Ball(Vec3 centre, double radius, int material);
  // An ellipsoid whose half-axes are the frame's forward, left and up axes scaled by ra, rb, rc.
  void Ellipsoid(const Basis& frame, double ra, double rb, double rc, int material);
  // A tapered round limb from p0 (radius r0) to p1 (radius r1). Its balls stand `spacing`
  // times the smaller radius apart: closer makes a smoother surface on thick limbs.
  void Limb(Vec3 p0, double r0, Vec3 p1, double r1, int material, double spacing = 0.9);
  // A limb through several points, its radius tapering from r0 to r1 along the way.
  void Chain(const std::vector<Vec3>& points, double r0, double r1, int material);
  // Flat shapes, seen from both sides.
  void Triangle(Vec3 a, Vec3 b, Vec3 c, int material);
  void Quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, int material);
  // A primitive taken from another model.
  void AddPrimitive(const Primitive& p) { primitives_.push_back(p); }
  // A fan of triangles around a centre (a convex flat shape: wing, cape, brim).
  void Fan(Vec3 centre, const std::vector<Vec3>& rim, int material);

  const std::vector<Primitive>& Primitives() const { return primitives_; }
  bool Empty() const { return primitives_.empty(); }
  // Every primitive moved by the offset (a figure lifted or shifted as a whole).
  void Translate(Vec3 offset);
  // Every primitive grown by a factor about the origin.
  void Scale(double factor);
  // Every primitive carried into a basis: world x, y, z become its forward, left and up
  // axes, the origin its origin (a part turned as it tumbles).
  void Transform(const Basis& to);
  // The smallest box round every primitive: lowest and highest corners.
  void Extent(Vec3& low, Vec3& high) const;
  // Every primitive of one material takes another (a corpse's skin turning grey).
  void ReplaceMaterial(int from, int to);

 private:
  std::vector<Primitive> primitives_;
  bool detail_ = false;
};

}  // namespace forge
