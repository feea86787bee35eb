// The terrain sprite: every terrain picture is a small voxel model of the cell (32 x 32 units
// across, 16 units a level) rendered in the view's projection, x - y across and (x + y) / 2
// - z down, so that neighbouring cells tile without gaps. Faces are shaded by their normal
// (tops brightest, the faces toward the lower left lighter than those toward the lower right)
// and textured by the material.
#include "forge/TerrainArt.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "forge/ArtNoise.h"
#include "forge/Canvas.h"
#include "forge/Forge.h"
#include "forge/MapData.h"
#include "forge/SpriteWriter.h"
#include "forge/TerrainTypes.h"

namespace forge {

namespace {

constexpr int kRampSteps = 20;

struct Ramp {
  int first = 0;
  int Index(double brightness) const {
    const int step = static_cast<int>(std::lround(std::clamp(brightness, 0.0, 1.0) * (kRampSteps - 1)));
    return first + step;
  }
};

struct TerrainPalette {
  PaletteBuilder builder;
  Ramp grass, dirt, rock, stone, sand, wood, roof, gold, iron, rubble, cliff, moss;
  TerrainPalette() {
    auto ramp = [&](int r, int g, int b) { return Ramp{builder.AddRamp(r, g, b, kRampSteps, 0.18, 0.3)}; };
    grass = ramp(86, 150, 56);
    dirt = ramp(128, 92, 58);
    rock = ramp(128, 124, 118);
    stone = ramp(120, 128, 146);
    sand = ramp(214, 190, 128);
    wood = ramp(140, 96, 52);
    roof = ramp(168, 64, 48);
    gold = ramp(236, 190, 70);
    iron = ramp(96, 104, 118);
    rubble = ramp(132, 118, 100);
    cliff = ramp(96, 88, 84);
    moss = ramp(70, 112, 64);
  }
};

enum class Face { kTop, kLeft, kRight };  // +z, +y and +x faces

struct Hit {
  Face face;
  double x, y, z;  // units from the cell's floor centre, x and y in -16..16
};

using Solid = std::function<bool(double x, double y, double z)>;
using Shader = std::function<int(const Hit& hit)>;

// Renders a model of at most `levels` levels: for each pixel the ray runs from the viewer
// back through the cell and the first solid point it meets is shaded.
Canvas RenderModel(int levels, const Solid& solid, const Shader& shade) {
  const int top = 16 * levels;
  auto inside = [&](double x, double y, double z) {
    return x >= -16 && x < 16 && y >= -16 && y < 16 && z >= 0 && z < top && solid(x, y, z);
  };
  Canvas canvas(64, 32 + top);
  for (int row = 0; row < canvas.Height(); ++row)
    for (int column = 0; column < 64; ++column) {
      const double sx = column - 32 + 0.5, sy = row - (16 + top) + 0.5;
      for (double s = std::min(34.0, 2 * (top + sy) + 2); s >= -34; s -= 0.25) {
        const double x = (s + sx) / 2, y = (s - sx) / 2, z = s / 2 - sy;
        if (!inside(x, y, z)) continue;
        // The face is the side of the surface that is open: up, toward +x, else toward +y.
        constexpr double kProbe = 0.35;
        const Face face = !inside(x, y, z + kProbe)   ? Face::kTop
                          : !inside(x + kProbe, y, z) ? Face::kRight
                                                      : Face::kLeft;
        canvas.Set(column, row, shade(Hit{face, x, y, z}));
        break;
      }
    }
  return canvas;
}

double FaceLight(Face face) { return face == Face::kTop ? 0.74 : face == Face::kLeft ? 0.5 : 0.3; }

// A darker rim where a top face meets the cell's border, so that cells read as tiles.
double Rim(const Hit& hit) {
  if (hit.face != Face::kTop) return 0;
  return (std::abs(hit.x) > 15 || std::abs(hit.y) > 15) ? -0.07 : 0;
}

// Coordinates along a side face: across the face and up it.
double Along(const Hit& hit) { return hit.face == Face::kRight ? hit.y : hit.x; }

Solid Slab(double height) {
  return [height](double, double, double z) { return z < height; };
}

int Grainy(const Ramp& ramp, const Hit& hit, double base, double fine, double coarse, int seed) {
  const double n =
      (Hash(static_cast<int>(std::floor(hit.x * 2)), static_cast<int>(std::floor(hit.y * 2 + hit.z * 3)), seed) - 0.5) *
          fine +
      (Noise(hit.x + 40, hit.y + hit.z + 40, 6, seed) - 0.5) * coarse;
  return ramp.Index(base + n + Rim(hit));
}

// The grass's top: tufts over soft patches, its texture repeating exactly from tile to tile
// and without a rim, so that a field reads as one meadow and not as a quilt of tiles.
int GrassTop(const TerrainPalette& p, const Hit& hit) {
  const double u = hit.x + 16, v = hit.y + 16;
  const double patch = TiledNoise(u, v, 8, 4, 4) * 0.6 + TiledNoise(u, v, 4, 8, 6) * 0.4;
  const double blade = Hash(static_cast<int>(std::floor(u * 1.5)) % 48, static_cast<int>(std::floor(v * 1.5)) % 48, 3);
  if (blade > 0.95) return p.moss.Index(0.5 + 0.1 * patch);
  return p.grass.Index(0.52 + (patch - 0.5) * 0.26 + (blade - 0.5) * 0.12);
}

Canvas GrassFloor(const TerrainPalette& p) {
  return RenderModel(1, Slab(4), [&](const Hit& hit) {
    if (hit.face == Face::kTop) return GrassTop(p, hit);
    if (hit.z > 2.5) return p.grass.Index(FaceLight(hit.face) * 0.8);
    return Grainy(p.dirt, hit, FaceLight(hit.face), 0.15, 0.1, 5);
  });
}

Canvas EarthBlock(const TerrainPalette& p) {
  return RenderModel(1, Slab(16), [&](const Hit& hit) {
    if (hit.face == Face::kTop && Hash(static_cast<int>(hit.x), static_cast<int>(hit.y), 11) > 0.9)
      return p.rubble.Index(0.7);  // pebbles
    return Grainy(p.dirt, hit, FaceLight(hit.face), 0.2, 0.2, 12);
  });
}

Canvas RockBlock(const TerrainPalette& p, const Ramp& ramp, int seed) {
  return RenderModel(1, Slab(16), [&, seed](const Hit& hit) {
    const double u = hit.face == Face::kTop ? hit.x : Along(hit), v = hit.face == Face::kTop ? hit.y : hit.z * 2;
    const double n = Noise(u + 50, v + 50, 5, seed);
    const bool crack = std::abs(n - 0.5) < 0.035;
    double b = FaceLight(hit.face) + (Noise(u, v, 3, seed + 1) - 0.5) * 0.25 + Rim(hit);
    if (crack) b -= 0.25;
    if (hit.face != Face::kTop && std::fmod(hit.z + 100, 5.0) < 0.6) b -= 0.08;  // strata
    return ramp.Index(b);
  });
}

Canvas StoneBlock(const TerrainPalette& p) {
  return RenderModel(1, Slab(16), [&](const Hit& hit) {
    double b = FaceLight(hit.face) +
               (Hash(static_cast<int>(hit.x * 2), static_cast<int>(hit.y * 2 + hit.z * 2), 21) - 0.5) * 0.12;
    if (hit.face == Face::kTop) {
      // Flagstones: a cross of joints.
      if (std::abs(hit.x) < 0.8 || std::abs(hit.y) < 0.8) b -= 0.25;
      b += Rim(hit);
    } else {
      // Bricks: courses of four units, each course's joints offset by half a brick.
      const int course = static_cast<int>(std::floor(hit.z / 4));
      const double a = Along(hit) + 16 + (course % 2) * 4;
      if (std::fmod(hit.z, 4.0) < 0.7 || std::fmod(a, 8.0) < 0.7) b -= 0.22;
    }
    return p.stone.Index(b);
  });
}

Canvas RubbleHeap(const TerrainPalette& p) {
  // A heap of stones: a bumpy surface up to 8 units high.
  auto height = [](double x, double y) {
    const double d = std::sqrt(x * x + y * y);
    return std::max(1.0, 8 - d * 0.4 + (Noise(x + 60, y + 60, 3, 31) - 0.5) * 6);
  };
  return RenderModel(
      1, [height](double x, double y, double z) { return z < height(x, y); },
      [&](const Hit& hit) {
        const double n = Noise(hit.x + 9, hit.y + 9, 2.5, 32);
        return p.rubble.Index(FaceLight(hit.face) + (n - 0.5) * 0.5);
      });
}

Canvas SteppingStones(const TerrainPalette& p) {
  struct Stone {
    double x, y, r;
  };
  static constexpr Stone kStones[] = {{-7, -6, 5}, {6, -3, 4.5}, {-2, 8, 5.5}, {9, 9, 3.5}};
  auto inStone = [](double x, double y) {
    for (const Stone& s : kStones)
      if ((x - s.x) * (x - s.x) + (y - s.y) * (y - s.y) < s.r * s.r) return true;
    return false;
  };
  return RenderModel(
      1, [inStone](double x, double y, double z) { return z < 3 && inStone(x, y); },
      [&](const Hit& hit) { return p.rock.Index(FaceLight(hit.face) + 0.05 + Rim(hit)); });
}

Canvas Planks(const TerrainPalette& p, double height) {
  return RenderModel(1, Slab(height), [&](const Hit& hit) {
    const double across = hit.face == Face::kTop ? hit.y : Along(hit);
    double b = FaceLight(hit.face) + (Noise(hit.x * 0.3 + 70, across * 3, 2, 41) - 0.5) * 0.2 + Rim(hit);
    if (std::fmod(across + 16, 6.4) < 0.7) b -= 0.22;  // gaps between planks
    return p.wood.Index(b);
  });
}

Canvas DoorBlock(const TerrainPalette& p, bool iron) {
  return RenderModel(1, Slab(16), [&, iron](const Hit& hit) {
    const Ramp& ramp = iron ? p.iron : p.wood;
    const double across = hit.face == Face::kTop ? hit.y : Along(hit);
    double b = FaceLight(hit.face) + (Noise(across * 3 + 5, hit.z * 0.5 + hit.x * 0.3, 2, 51) - 0.5) * 0.15;
    if (hit.face != Face::kTop) {
      if (std::abs(hit.z - 4) < 0.8 || std::abs(hit.z - 12) < 0.8) return p.iron.Index(b + (iron ? 0.2 : 0));  // bands
      if (!iron && std::fmod(across + 16, 8.0) < 0.7) b -= 0.2;
      if (iron && std::fmod(across + 16, 8.0) < 1.0 && std::fmod(hit.z, 4.0) < 1.0) b += 0.25;  // rivets
    }
    return ramp.Index(b + Rim(hit));
  });
}

Canvas RoofSlab(const TerrainPalette& p) {
  return RenderModel(1, Slab(4), [&](const Hit& hit) {
    double b = FaceLight(hit.face) + Rim(hit);
    if (hit.face == Face::kTop) {
      // Rows of tiles, each row's lower edge scalloped.
      const double row = std::fmod(hit.y + 16, 5.0);
      const double tile = std::fmod(hit.x + 16 + (static_cast<int>((hit.y + 16) / 5) % 2) * 2.5, 5.0);
      b += 0.18 * (row / 5.0) - 0.1;
      if (row < 0.8 + 0.6 * std::abs(tile - 2.5) / 2.5) b -= 0.22;
    }
    return p.roof.Index(b);
  });
}

// A thin wall standing on one edge of the cell: 0 upper right (north in the first view),
// then clockwise.
Canvas WallOnEdge(const TerrainPalette& p, int edge) {
  auto solid = [edge](double x, double y, double z) {
    if (z >= 16) return false;
    switch (edge) {
      case 0:
        return y < -11;
      case 1:
        return x >= 11;
      case 2:
        return y >= 11;
      default:
        return x < -11;
    }
  };
  return RenderModel(1, solid, [&](const Hit& hit) {
    double b = FaceLight(hit.face);
    const int course = static_cast<int>(std::floor(hit.z / 4));
    const double a = (hit.face == Face::kTop ? hit.x + hit.y : Along(hit)) + 16 + (course % 2) * 4;
    if (hit.face != Face::kTop && (std::fmod(hit.z, 4.0) < 0.7 || std::fmod(a, 8.0) < 0.7)) b -= 0.2;
    return p.stone.Index(b + (Hash(static_cast<int>(hit.x * 2), static_cast<int>(hit.y * 2 + hit.z), 61) - 0.5) * 0.1);
  });
}

Canvas SandFloor(const TerrainPalette& p) {
  return RenderModel(1, Slab(4), [&](const Hit& hit) {
    double b =
        FaceLight(hit.face) + (Hash(static_cast<int>(hit.x * 2), static_cast<int>(hit.y * 2 + hit.z), 71) - 0.5) * 0.12;
    if (hit.face == Face::kTop) b += 0.06 * std::sin((hit.x + hit.y) * 0.8) + Rim(hit);
    return p.sand.Index(b);
  });
}

// The wet sand lining a basin, seen only through the water. Its sides are lit nearly as the
// basin's sand floor is: the water's ripple shifts each row by up to 16 pixels, and a bank
// much darker than the floor beside it would come out as a dark jagged band.
Canvas BankBlock(const TerrainPalette& p) {
  return RenderModel(1, Slab(16), [&](const Hit& hit) {
    const double light = 0.62 + (FaceLight(hit.face) - 0.4) * 0.3;
    return Grainy(p.sand, hit, light, 0.1, 0.08, 72);
  });
}

// Ground around a region of power: grass with a ring of gold runes.
Canvas RegionGround(const TerrainPalette& p) {
  return RenderModel(1, Slab(4), [&](const Hit& hit) {
    if (hit.face == Face::kTop) {
      const double d = std::sqrt(hit.x * hit.x + hit.y * hit.y);
      if (d > 9 && d < 12 && std::fmod(std::atan2(hit.y, hit.x) + 4, 0.7) < 0.4) return p.gold.Index(0.7);
      return p.grass.Index(0.5 + (Noise(hit.x + 3, hit.y + 3, 5, 81) - 0.5) * 0.25 + Rim(hit));
    }
    return Grainy(p.dirt, hit, FaceLight(hit.face), 0.15, 0.1, 82);
  });
}

Canvas RegionCentre(const TerrainPalette& p, int phase) {
  return RenderModel(1, Slab(4), [&, phase](const Hit& hit) {
    if (hit.face != Face::kTop) return p.stone.Index(FaceLight(hit.face));
    const double d = std::sqrt(hit.x * hit.x + hit.y * hit.y);
    const double angle = std::atan2(hit.y, hit.x) + phase * 0.5236;
    if (d < 11) {
      const double ray = 0.5 + 0.5 * std::cos(angle * 6);
      return p.gold.Index(0.45 + 0.45 * ray * (1 - d / 11) + 0.1 * (phase % 3) / 2.0);
    }
    return p.stone.Index(0.7 + Rim(hit));
  });
}

// The five totems, in the order of their tiles (333 on): warding, life, war, luring, flies.
struct TotemLook {
  int first, levels;
  const Ramp TerrainPalette::*wood;
  const Ramp TerrainPalette::*paint;
};
constexpr TotemLook kTotemLooks[5] = {{333, 6, &TerrainPalette::stone, &TerrainPalette::gold},
                                      {339, 6, &TerrainPalette::wood, &TerrainPalette::grass},
                                      {345, 7, &TerrainPalette::iron, &TerrainPalette::roof},
                                      {352, 7, &TerrainPalette::wood, &TerrainPalette::gold},
                                      {359, 7, &TerrainPalette::cliff, &TerrainPalette::moss}};

// A carved pillar of a totem: a round post with painted bands; the head has two staring
// eyes and a flat cap.
Canvas TotemPillar(const TerrainPalette& p, const TotemLook& look, bool head) {
  const double radius = head ? 11 : 9;
  auto solid = [radius, head](double x, double y, double z) {
    const double r = std::sqrt(x * x + y * y);
    if (head) return r < (z > 12 ? radius + 1.5 : radius);  // the cap overhangs
    return r < radius + (std::fmod(z, 8.0) < 1.5 ? 1.0 : 0.0);
  };
  const Ramp& wood = p.*look.wood;
  const Ramp& paint = p.*look.paint;
  return RenderModel(1, solid, [&, head](const Hit& hit) {
    double b = FaceLight(hit.face);
    if (hit.face == Face::kTop) return wood.Index(0.6 + (Noise(hit.x + 20, hit.y + 20, 3, 91) - 0.5) * 0.2);
    const double around = std::atan2(hit.y, hit.x);
    b += (Noise(around * 6 + 30, hit.z * 0.8, 2, 92) - 0.5) * 0.15;
    if (head) {
      // Eyes facing the viewer: two dark hollows ringed with paint.
      const double ex = std::abs(around - 0.785) - 0.35, ez = hit.z - 8;
      const double eye = std::sqrt(ex * ex * 40 + ez * ez);
      if (eye < 1.6) return p.rock.Index(0.15);
      if (eye < 2.8) return paint.Index(0.75);
      if (hit.z > 12) return paint.Index(b + 0.1);
      return wood.Index(b);
    }
    if (std::fmod(hit.z, 8.0) < 1.5) return paint.Index(b + 0.1);   // painted bands
    if (std::fmod(around * 8 / 3.14159 + 8, 2.0) < 0.25) b -= 0.2;  // carved grooves
    return wood.Index(b);
  });
}

// --- chests ---------------------------------------------------------------------------------

// A chest seen with its back on one edge (0 upper right .. 3 upper left, as the thin walls):
// `w` runs from the back (-11) to the front (11), `v` along the hinge.
struct ChestFrame {
  int back;
  void Place(double x, double y, double& w, double& v) const {
    switch (back) {
      case 0:
        w = y, v = x;
        break;
      case 1:
        w = -x, v = y;
        break;
      case 2:
        w = -y, v = -x;
        break;
      default:
        w = x, v = -y;
        break;
    }
  }
};

constexpr double kChestHalf = 11;

// Oak planks along the hinge, iron bands round the ends and the middle.
int ChestWood(const TerrainPalette& p, const Hit& hit, double v, double b) {
  if (std::abs(std::abs(v) - 9.5) < 1.2 || std::abs(v) < 0.8) return p.iron.Index(b + 0.12);
  const double grain = (Noise(v * 0.4 + 80, hit.z * 2 + hit.x * 0.2, 2, 101) - 0.5) * 0.18;
  if (std::fmod(hit.z + 40, 4.0) < 0.6) b -= 0.2;  // the joints between planks
  return p.wood.Index(b + grain);
}

// The body: a box on a patch of grass; its top, seen only while the lid is open, is a
// hollow heaped with gold. A gold lock plate marks the front.
Canvas ChestBody(const TerrainPalette& p, int back) {
  const ChestFrame frame{back};
  auto solid = [&](double x, double y, double z) {
    if (z < 4) return true;
    return std::abs(x) < kChestHalf && std::abs(y) < kChestHalf && z < 16;
  };
  return RenderModel(1, solid, [&](const Hit& hit) {
    double w, v;
    frame.Place(hit.x, hit.y, w, v);
    const bool box = std::abs(hit.x) < kChestHalf + 0.2 && std::abs(hit.y) < kChestHalf + 0.2 && hit.z > 3.8;
    if (!box) {
      if (hit.face == Face::kTop) return GrassTop(p, hit);
      if (hit.z > 2.5) return p.grass.Index(FaceLight(hit.face) * 0.8);
      return Grainy(p.dirt, hit, FaceLight(hit.face), 0.15, 0.1, 5);
    }
    if (hit.face == Face::kTop) {
      if (std::abs(w) > kChestHalf - 2 || std::abs(v) > kChestHalf - 2) return p.wood.Index(0.55);  // the rim
      const double coin =
          Hash(static_cast<int>(std::floor(hit.x * 1.5)), static_cast<int>(std::floor(hit.y * 1.5)), 103);
      return p.gold.Index(0.45 + coin * 0.45);
    }
    double b = FaceLight(hit.face);
    const bool front = w > kChestHalf - 0.5;
    if (front && std::abs(v) < 2.2 && hit.z > 8 && hit.z < 14) {
      if (std::abs(v) < 0.6 && hit.z > 9.5 && hit.z < 11.5) return p.iron.Index(0.1);  // the keyhole
      return p.gold.Index(b + 0.2);
    }
    return ChestWood(p, hit, front || w < -kChestHalf + 0.5 ? v : w, b);
  });
}

// The lid, in the cell above the body: shut (a rounded slab), ajar or open (standing on its
// hinge at the back; its inside is lined red).
enum class LidState { kShut, kAjar, kOpen };

Canvas ChestLid(const TerrainPalette& p, int back, LidState state) {
  const ChestFrame frame{back};
  const double angle = state == LidState::kShut ? 0 : state == LidState::kAjar ? 0.95 : 1.5;
  // The lid's own coordinates: `along` from the hinge toward the front when shut, `up` out of
  // its outer face.
  auto local = [&, angle](double x, double y, double z, double& along, double& up, double& v) {
    double w;
    frame.Place(x, y, w, v);
    const double dw = w + kChestHalf, c = std::cos(angle), s = std::sin(angle);
    along = dw * c + z * s;
    up = z * c - dw * s;
  };
  auto solid = [&](double x, double y, double z) {
    double along, up, v;
    local(x, y, z, along, up, v);
    if (std::abs(v) >= kChestHalf || along < 0 || along >= 2 * kChestHalf) return false;
    const double t = along / (2 * kChestHalf) * 2 - 1;
    return up >= 0 && up < 1.5 + 3.5 * std::sqrt(std::max(0.0, 1 - t * t));
  };
  // Raised, the lid reaches over its own level.
  return RenderModel(state == LidState::kShut ? 1 : 2, solid, [&](const Hit& hit) {
    double along, up, v;
    local(hit.x, hit.y, hit.z, along, up, v);
    double b = FaceLight(hit.face) + Rim(hit) * 0.5;
    if (up < 0.6 && state != LidState::kShut) return p.roof.Index(0.45 + b * 0.3);  // the lining
    if (state == LidState::kShut && along > 2 * kChestHalf - 1.2 && std::abs(v) < 2) return p.gold.Index(b + 0.2);
    Hit turned = hit;
    turned.z = along;  // the planks run along the hinge
    return ChestWood(p, turned, v, b + 0.05);
  });
}

}  // namespace

int TerrainBlockFrame(int type, int rotation) {
  namespace t = terrain;
  namespace f = terrain_frames;
  switch (type) {
    case t::kGrass:
      return f::kGrass;
    case t::kEarth:
      return f::kEarth;
    case t::kRock:
      return f::kRock;
    case t::kStone:
      return f::kStone;
    case t::kRubble:
    case t::kGrave:  // a heap of earth
      return f::kRubble;
    case t::kFord:
      return f::kFord;
    case t::kBridge:
      return f::kBridge;
    case t::kDoor:
      return f::kDoor;
    case t::kRoof:
      return f::kRoof;
    case t::kWallNorth:
    case t::kWallEast:
    case t::kWallSouth:
    case t::kWallWest:
      // The side the wall stands on turns with the view: north is the upper right edge in
      // the first rotation, the upper left in the second.
      return f::kWallEdge + ((type - t::kWallNorth - rotation) & 3);
    case t::kSand:
      return f::kSand;
    case t::kCliff:
      return f::kCliff;
    case t::kBankFill:
      return f::kBank;
    case t::kIronDoor:
      return f::kIronDoor;
    default:
      break;
  }
  if (type >= t::kWallMiddleFirst && type <= t::kWallBaseTall) return f::kStone;
  // A chest's back lies on the compass side of its chest side (north, west, south, east);
  // that side turns with the view as a thin wall's does.
  const std::pair<int, int> chestParts[4] = {{t::kChestBodyFirst, f::kChestBody},
                                             {t::kChestLidFirst, f::kChestLid},
                                             {t::kChestLidAjarFirst, f::kChestLidAjar},
                                             {t::kChestLidOpenFirst, f::kChestLidOpen}};
  for (const auto& [first, frame] : chestParts)
    if (type >= first && type < first + 4) return frame + ((((4 - (type - first)) & 3) - rotation) & 3);
  for (int i = 0; i < 5; ++i)
    if (type >= kTotemLooks[i].first && type < kTotemLooks[i].first + kTotemLooks[i].levels)
      return f::kTotem + 2 * i + (type == kTotemLooks[i].first + kTotemLooks[i].levels - 1 ? 1 : 0);
  if (type == t::kTotemLast) return f::kTotem + 9;
  if (type >= t::kRegionPatternFirst && type <= t::kRegionPatternLast) return f::kRegionGround;
  if (type >= t::kRegionFrameFirst && type <= t::kRegionCentre) return f::kRegionCentre + (type - t::kRegionFrameFirst);
  return f::kNone;  // empty cells and open water have no block
}

std::vector<uint8_t> TerrainSpriteBytes() {
  TerrainPalette p;
  SpriteFileWriter file;
  file.AddPalette(p.builder.Bytes());
  auto add = [&](const Canvas& c) { file.AddFrame(EncodeFrame(c, 32, c.Height() - 16, 0)); };
  file.AddFrame(EncodeFrame(Canvas(0, 0), 0, 0, 0));
  add(GrassFloor(p));
  add(EarthBlock(p));
  add(RockBlock(p, p.rock, 13));
  add(StoneBlock(p));
  add(RubbleHeap(p));
  add(SteppingStones(p));
  add(Planks(p, 4));
  add(DoorBlock(p, false));
  add(RoofSlab(p));
  for (int edge = 0; edge < 4; ++edge) add(WallOnEdge(p, edge));
  add(SandFloor(p));
  add(RockBlock(p, p.cliff, 17));
  add(DoorBlock(p, true));
  add(RegionGround(p));
  for (int phase = 0; phase < 6; ++phase) add(RegionCentre(p, phase));
  for (const TotemLook& look : kTotemLooks) {
    add(TotemPillar(p, look, false));
    add(TotemPillar(p, look, true));
  }
  for (int back = 0; back < 4; ++back) add(ChestBody(p, back));
  for (LidState state : {LidState::kShut, LidState::kAjar, LidState::kOpen})
    for (int back = 0; back < 4; ++back) add(ChestLid(p, back, state));
  add(BankBlock(p));
  return file.Bytes();
}

}  // namespace forge

namespace {

FORGE_STEP(MapTerrainSprites) {
  ctx.WriteFile(std::string(forge::kSectionFolder) + "\\terrain.spr", forge::TerrainSpriteBytes());
}

}  // namespace
