#include "forge/FigureRenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "forge/ArtNoise.h"

namespace forge {

namespace {

constexpr float kEmpty = -std::numeric_limits<float>::infinity();
// A neighbour this many depth units nearer draws an ink line on the pixel behind it.
constexpr float kInkStep = 5.0f;

// One layer of hits: for each pixel the depth and primitive of the nearest surface met so
// far. Normals and texture coordinates are worked out afterwards, for the winners only.
struct Layer {
  std::vector<float> depth;
  std::vector<int32_t> primitive;

  explicit Layer(size_t size) : depth(size, kEmpty), primitive(size, -1) {}
  void Offer(size_t i, float d, int p) {
    if (d <= depth[i]) return;
    depth[i] = d;
    primitive[i] = p;
  }
};

struct Bounds {
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  void Add(double x, double y) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  void AddRound(Vec3 c, double r) {
    // A ball of radius r spans r * sqrt(2) across and r * sqrt(1.5) up and down.
    Add(ScreenX(c) - r * 1.4143 - 1, ScreenY(c) - r * 1.2248 - 1);
    Add(ScreenX(c) + r * 1.4143 + 1, ScreenY(c) + r * 1.2248 + 1);
  }
};

Bounds ScreenBounds(const Primitive& p) {
  Bounds b;
  switch (p.kind) {
    case Primitive::Kind::kBall:
      b.AddRound(p.centre, p.radius);
      break;
    case Primitive::Kind::kEllipsoid:
      b.AddRound(p.centre, std::max({Length(p.axis[0]), Length(p.axis[1]), Length(p.axis[2])}));
      break;
    case Primitive::Kind::kTriangle:
      for (const Vec3& c : p.corner) {
        b.Add(ScreenX(c) - 1, ScreenY(c) - 1);
        b.Add(ScreenX(c) + 1, ScreenY(c) + 1);
      }
      break;
  }
  return b;
}

Vec3 TextureCoordinates(const Basis& f, Vec3 p) {
  const Vec3 d = p - f.origin;
  return {Dot(d, f.forward), Dot(d, f.left), Dot(d, f.up)};
}

class Rasteriser {
 public:
  Rasteriser(int width, int height, int originX, int originY, bool plain)
      : width_(width),
        height_(height),
        originX_(originX),
        originY_(originY),
        full_(static_cast<size_t>(width) * height),
        plain_(plain ? static_cast<size_t>(width) * height : 0) {}

  void Draw(const Primitive& p, int index) {
    index_ = index;
    const Bounds b = ScreenBounds(p);
    const int x0 = std::max(0, static_cast<int>(std::floor(b.minX)) + originX_);
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(b.maxX)) + originX_);
    const int y0 = std::max(0, static_cast<int>(std::floor(b.minY)) + originY_);
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(b.maxY)) + originY_);
    switch (p.kind) {
      case Primitive::Kind::kBall:
        DrawBall(p, x0, x1, y0, y1);
        break;
      case Primitive::Kind::kEllipsoid:
        DrawEllipsoid(p, x0, x1, y0, y1);
        break;
      case Primitive::Kind::kTriangle:
        DrawTriangle(p, x0, x1, y0, y1);
        break;
    }
  }

  Layer& Full() { return full_; }
  Layer& Plain() { return plain_; }

 private:
  // The point of the pixel's view ray at height 0; the ray runs along (1, 1, 1) toward the
  // viewer, and x + y + z measures nearness.
  Vec3 RayBase(int px, int py) const {
    const double sx = px + 0.5 - originX_, sy = py + 0.5 - originY_;
    return {sy + sx / 2, sy - sx / 2, 0};
  }

  void Offer(const Primitive& p, int px, int py, double depth) {
    const size_t i = static_cast<size_t>(py) * width_ + px;
    const float d = static_cast<float>(depth);
    full_.Offer(i, d, index_);
    if (!p.detail && !plain_.depth.empty()) plain_.Offer(i, d, index_);
  }

  void DrawBall(const Primitive& p, int x0, int x1, int y0, int y1) {
    const double r2 = p.radius * p.radius;
    for (int py = y0; py <= y1; ++py)
      for (int px = x0; px <= x1; ++px) {
        const Vec3 o = RayBase(px, py) - p.centre;
        const double od = o.x + o.y + o.z;
        const double disc = od * od - 3 * (Dot(o, o) - r2);
        if (disc < 0) continue;
        const double t = (-od + std::sqrt(disc)) / 3;
        Offer(p, px, py, p.centre.x + p.centre.y + p.centre.z + od + 3 * t);
      }
  }

  void DrawEllipsoid(const Primitive& p, int x0, int x1, int y0, int y1) {
    // In the ellipsoid's own space it is the unit ball: q_i . v gives coordinate i.
    Vec3 q[3];
    for (int i = 0; i < 3; ++i) q[i] = p.axis[i] / Dot(p.axis[i], p.axis[i]);
    const Vec3 d{Dot(q[0], {1, 1, 1}), Dot(q[1], {1, 1, 1}), Dot(q[2], {1, 1, 1})};
    const double dd = Dot(d, d);
    for (int py = y0; py <= y1; ++py)
      for (int px = x0; px <= x1; ++px) {
        const Vec3 world = RayBase(px, py) - p.centre;
        const Vec3 o{Dot(q[0], world), Dot(q[1], world), Dot(q[2], world)};
        const double od = Dot(o, d);
        const double disc = od * od - dd * (Dot(o, o) - 1);
        if (disc < 0) continue;
        const double t = (-od + std::sqrt(disc)) / dd;
        const Vec3 hit = p.centre + world + Vec3{t, t, t};
        Offer(p, px, py, hit.x + hit.y + hit.z);
      }
  }

  void DrawTriangle(const Primitive& p, int x0, int x1, int y0, int y1) {
    const Vec3 a = p.corner[0], e1 = p.corner[1] - a, e2 = p.corner[2] - a;
    const Vec3 plane = Cross(e1, e2);
    if (std::fabs(plane.x + plane.y + plane.z) < 1e-9) return;  // seen edge on
    const double d00 = Dot(e1, e1), d01 = Dot(e1, e2), d11 = Dot(e2, e2);
    const double denominator = d00 * d11 - d01 * d01;
    if (std::fabs(denominator) < 1e-12) return;
    for (int py = y0; py <= y1; ++py)
      for (int px = x0; px <= x1; ++px) {
        const Vec3 base = RayBase(px, py);
        const double t = Dot(plane, a - base) / (plane.x + plane.y + plane.z);
        const Vec3 hit = base + Vec3{t, t, t};
        const Vec3 v = hit - a;
        const double d20 = Dot(v, e1), d21 = Dot(v, e2);
        const double u = (d11 * d20 - d01 * d21) / denominator, w = (d00 * d21 - d01 * d20) / denominator;
        if (u < -1e-6 || w < -1e-6 || u + w > 1 + 1e-6) continue;
        Offer(p, px, py, hit.x + hit.y + hit.z);
      }
  }

  int width_, height_, originX_, originY_;
  int index_ = 0;
  Layer full_, plain_;
};

// The surface normal of a primitive at a point on it, turned toward the viewer for flat ones.
Vec3 NormalAt(const Primitive& p, Vec3 hit) {
  switch (p.kind) {
    case Primitive::Kind::kBall:
      return Normalised(hit - p.centre);
    case Primitive::Kind::kEllipsoid: {
      const Vec3 d = hit - p.centre;
      Vec3 n;
      for (const Vec3& axis : p.axis) n += axis * (Dot(axis, d) / (Dot(axis, axis) * Dot(axis, axis)));
      return Normalised(n);
    }
    case Primitive::Kind::kTriangle: {
      Vec3 n = Cross(p.corner[1] - p.corner[0], p.corner[2] - p.corner[0]);
      if (n.x + n.y + n.z < 0) n = -n;
      return Normalised(n);
    }
  }
  return {0, 0, 1};
}

double FinishTexture(Finish finish, Vec3 l) {
  switch (finish) {
    case Finish::kFur:
      return (Noise(l.y * 2.2 + 50, l.z * 2.2 + l.x * 0.4 + 50, 1.0, 11) - 0.5) * 0.22;
    case Finish::kScales: {
      const double u = l.x * 0.9, v = l.y * 0.9 + l.z * 0.9;
      const int row = static_cast<int>(std::floor(v));
      const double cu = u + (row & 1) * 0.5;
      const double seam = std::min(cu - std::floor(cu), v - std::floor(v));
      return (Hash(static_cast<int>(std::floor(cu)), row, 12) - 0.5) * 0.14 - (seam < 0.18 ? 0.12 : 0);
    }
    case Finish::kCloth:
      return (Noise(l.x * 1.5 + 20, l.y + l.z + 20, 1.0, 13) - 0.5) * 0.1;
    case Finish::kBone:
      return (Noise(l.x * 2 + 30, l.y * 2 + l.z + 30, 1.0, 14) - 0.5) * 0.12;
    case Finish::kFeather: {
      const double barb = std::fmod(std::fabs(l.x) * 1.1, 2.0);
      return (barb < 0.35 ? -0.1 : 0) + (Noise(l.y * 2 + 9, l.z * 2 + 9, 1.0, 15) - 0.5) * 0.1;
    }
    default:
      return 0;
  }
}

double ShadeFull(Finish finish, Vec3 n, Vec3 local) {
  const Vec3 light = FigureLight(), viewer = FigureViewer();
  const Vec3 half = Normalised(light + viewer);
  const double diffuse = std::max(0.0, (Dot(n, light) + 0.35) / 1.35);
  const double facing = std::max(0.0, Dot(n, half));
  switch (finish) {
    case Finish::kGlow:
      return 0.72 + 0.28 * std::max(0.0, Dot(n, viewer));
    case Finish::kMetal:
      return 0.1 + 0.5 * diffuse + 0.7 * std::pow(facing, 14);
    case Finish::kGloss:
      return 0.2 + 0.55 * diffuse + 0.8 * std::pow(facing, 28);
    case Finish::kSkin:
      return 0.2 + 0.68 * diffuse + 0.12 * std::pow(facing, 8);
    default:
      return 0.2 + 0.7 * diffuse + FinishTexture(finish, local);
  }
}

double ShadePlain(Finish finish, Vec3 n) {
  if (finish == Finish::kGlow) return 0.9;
  const double diffuse = std::max(0.0, (Dot(n, FigureLight()) + 0.35) / 1.35);
  const double b = 0.2 + 0.7 * diffuse;
  // Three flat shades: shadow, body and lit top.
  return b < 0.45 ? 0.32 : b < 0.72 ? 0.58 : 0.82;
}

FigurePicture Resolve(const Layer& layer, const std::vector<Primitive>& primitives, const FigurePalette& palette,
                      int width, int height, int originX, int originY, bool plain, const RenderOptions& options) {
  // Every primitive lies a pixel or more inside the raster, so an opaque pixel's four
  // neighbours are always inside it.
  const int32_t* hits = layer.primitive.data();
  const float* depth = layer.depth.data();
  int minX = width, minY = height, maxX = -1, maxY = -1;
  for (int y = 0; y < height; ++y) {
    const int32_t* row = hits + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x)
      if (row[x] >= 0) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  }
  FigurePicture picture;
  if (maxX < 0) return picture;
  picture.canvas = Canvas(maxX - minX + 1, maxY - minY + 1);
  picture.hotspotX = originX - minX;
  picture.hotspotY = originY - minY;
  for (int y = minY; y <= maxY; ++y)
    for (int x = minX; x <= maxX; ++x) {
      const size_t i = static_cast<size_t>(y) * width + x;
      if (hits[i] < 0) continue;
      const Primitive& p = primitives[static_cast<size_t>(hits[i])];
      const int material = p.material;
      const Finish finish = palette.MaterialAt(material).finish;
      // The hit: along the pixel's view ray (1, 1, 1) from its point at height 0, to its depth.
      const double sx = x + 0.5 - originX, sy = y + 0.5 - originY;
      const double t = (depth[i] - 2 * sy) / 3;
      const Vec3 hit{sy + sx / 2 + t, sy - sx / 2 + t, t};
      const Vec3 n = NormalAt(p, hit);
      double b = plain ? ShadePlain(finish, n) : ShadeFull(finish, n, TextureCoordinates(p.texture, hit));
      if (options.outline && finish != Finish::kGlow) {
        // The silhouette: darker on the shadow side (lower right) than on the lit side.
        if (hits[i + 1] < 0 || hits[i + width] < 0) {
          b *= options.outlineDark;
        } else if (hits[i - 1] < 0 || hits[i - width] < 0) {
          b *= 0.5 + options.outlineDark / 2;
        } else if (!plain) {
          const float d = depth[i] + kInkStep;
          if (depth[i + 1] > d || depth[i - 1] > d || depth[i + width] > d || depth[i - width] > d) b *= 0.72;
        }
      }
      picture.canvas.Set(x - minX, y - minY, palette.Index(material, b));
    }
  return picture;
}

}  // namespace

Vec3 FigureLight() { return Normalised({0.13, 0.39, 0.91}); }
Vec3 FigureViewer() { return Normalised({1, 1, 1}); }

FigurePictures RenderFigure(const FigureModel& model, const FigurePalette& palette, const RenderOptions& options) {
  FigurePictures pictures;
  if (model.Empty()) return pictures;
  Bounds all;
  for (const Primitive& p : model.Primitives()) {
    const Bounds b = ScreenBounds(p);
    all.Add(b.minX, b.minY);
    all.Add(b.maxX, b.maxY);
  }
  const int originX = -static_cast<int>(std::floor(all.minX)) + 1;
  const int originY = -static_cast<int>(std::floor(all.minY)) + 1;
  const int width = static_cast<int>(std::ceil(all.maxX)) + originX + 2;
  const int height = static_cast<int>(std::ceil(all.maxY)) + originY + 2;
  Rasteriser rasteriser(width, height, originX, originY, options.plain);
  const std::vector<Primitive>& primitives = model.Primitives();
  for (size_t i = 0; i < primitives.size(); ++i) rasteriser.Draw(primitives[i], static_cast<int>(i));
  pictures.full = Resolve(rasteriser.Full(), primitives, palette, width, height, originX, originY, false, options);
  if (options.plain)
    pictures.plain = Resolve(rasteriser.Plain(), primitives, palette, width, height, originX, originY, true, options);
  return pictures;
}

}  // namespace forge
