#include "forge/FigureModel.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {

// A frame whose forward axis runs along a direction, for textures along limbs.
Basis AlongBasis(Vec3 origin, Vec3 direction) {
  Basis f;
  f.origin = origin;
  f.forward = Normalised(direction);
  const Vec3 side = std::fabs(f.forward.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
  f.left = Normalised(Cross(side, f.forward));
  f.up = Cross(f.forward, f.left);
  return f;
}

}  // namespace

void FigureModel::Ball(Vec3 centre, double radius, int material) {
  if (radius <= 0) return;
  Primitive p;
  p.kind = Primitive::Kind::kBall;
  p.material = static_cast<uint8_t>(material);
  p.detail = detail_;
  p.centre = centre;
  p.radius = radius;
  p.texture.origin = centre;
  primitives_.push_back(p);
}

void FigureModel::Ellipsoid(const Basis& frame, double ra, double rb, double rc, int material) {
  if (ra <= 0 || rb <= 0 || rc <= 0) return;
  Primitive p;
  p.kind = Primitive::Kind::kEllipsoid;
  p.material = static_cast<uint8_t>(material);
  p.detail = detail_;
  p.centre = frame.origin;
  p.axis[0] = Normalised(frame.forward) * ra;
  p.axis[1] = Normalised(frame.left) * rb;
  p.axis[2] = Normalised(frame.up) * rc;
  p.texture = frame;
  primitives_.push_back(p);
}

void FigureModel::Limb(Vec3 p0, double r0, Vec3 p1, double r1, int material, double spacing) {
  const double length = Length(p1 - p0);
  // Balls no further apart than their radius make a tube whose waists are within a sixth of
  // a pixel of round at these sizes; thick limbs (a troll's arm) stand them closer, or the
  // light picks out every ball like the beads of a string.
  const double thin = std::min(r0, r1);
  const double step = std::max(0.5, thin * (thin >= 2 ? std::min(spacing, 0.45) : spacing));
  const int steps = std::max(1, static_cast<int>(std::ceil(length / step)));
  const Basis texture = AlongBasis(p0, p1 - p0);
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    Ball(Lerp(p0, p1, t), r0 + (r1 - r0) * t, material);
    primitives_.back().texture = texture;
  }
}

void FigureModel::Chain(const std::vector<Vec3>& points, double r0, double r1, int material) {
  if (points.size() < 2) return;
  double total = 0;
  for (size_t i = 1; i < points.size(); ++i) total += Length(points[i] - points[i - 1]);
  double done = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    const double length = Length(points[i] - points[i - 1]);
    const double ra = r0 + (r1 - r0) * (total > 0 ? done / total : 0);
    const double rb = r0 + (r1 - r0) * (total > 0 ? (done + length) / total : 1);
    Limb(points[i - 1], ra, points[i], rb, material);
    done += length;
  }
}

void FigureModel::Triangle(Vec3 a, Vec3 b, Vec3 c, int material) {
  Primitive p;
  p.kind = Primitive::Kind::kTriangle;
  p.material = static_cast<uint8_t>(material);
  p.detail = detail_;
  p.corner[0] = a;
  p.corner[1] = b;
  p.corner[2] = c;
  p.texture = AlongBasis(a, b - a);
  primitives_.push_back(p);
}

void FigureModel::Quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, int material) {
  Triangle(a, b, c, material);
  Triangle(a, c, d, material);
  primitives_.back().texture = primitives_[primitives_.size() - 2].texture;
}

void FigureModel::Fan(Vec3 centre, const std::vector<Vec3>& rim, int material) {
  for (size_t i = 1; i < rim.size(); ++i) Triangle(centre, rim[i - 1], rim[i], material);
}

void FigureModel::Translate(Vec3 offset) {
  for (Primitive& p : primitives_) {
    p.centre += offset;
    for (Vec3& c : p.corner) c += offset;
    p.texture.origin += offset;
  }
}

void FigureModel::Scale(double factor) {
  for (Primitive& p : primitives_) {
    p.centre = p.centre * factor;
    p.radius *= factor;
    for (Vec3& a : p.axis) a = a * factor;
    for (Vec3& c : p.corner) c = c * factor;
    p.texture.origin = p.texture.origin * factor;
  }
}

void FigureModel::Transform(const Basis& to) {
  for (Primitive& p : primitives_) {
    p.centre = to.Point(p.centre);
    for (Vec3& a : p.axis) a = to.Direction(a);
    for (Vec3& c : p.corner) c = to.Point(c);
    p.texture.origin = to.Point(p.texture.origin);
    p.texture.forward = to.Direction(p.texture.forward);
    p.texture.left = to.Direction(p.texture.left);
    p.texture.up = to.Direction(p.texture.up);
  }
}

void FigureModel::Extent(Vec3& low, Vec3& high) const {
  low = {1e9, 1e9, 1e9};
  high = {-1e9, -1e9, -1e9};
  auto add = [&](Vec3 c, Vec3 r) {
    low = {std::min(low.x, c.x - r.x), std::min(low.y, c.y - r.y), std::min(low.z, c.z - r.z)};
    high = {std::max(high.x, c.x + r.x), std::max(high.y, c.y + r.y), std::max(high.z, c.z + r.z)};
  };
  for (const Primitive& p : primitives_) {
    switch (p.kind) {
      case Primitive::Kind::kBall:
        add(p.centre, {p.radius, p.radius, p.radius});
        break;
      case Primitive::Kind::kEllipsoid: {
        // Each axis reaches its length along x, y and z in proportion to its direction.
        auto reach = [&](auto component) {
          return std::sqrt(component(p.axis[0]) * component(p.axis[0]) + component(p.axis[1]) * component(p.axis[1]) +
                           component(p.axis[2]) * component(p.axis[2]));
        };
        add(p.centre,
            {reach([](Vec3 v) { return v.x; }), reach([](Vec3 v) { return v.y; }), reach([](Vec3 v) { return v.z; })});
        break;
      }
      case Primitive::Kind::kTriangle:
        for (const Vec3& c : p.corner) add(c, {});
        break;
    }
  }
}

void FigureModel::ReplaceMaterial(int from, int to) {
  for (Primitive& p : primitives_)
    if (p.material == from) p.material = static_cast<uint8_t>(to);
}

}  // namespace forge
