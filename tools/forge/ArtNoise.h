#pragma once
// Deterministic noise for procedural textures: a hash of integer lattice points and smooth
// value noise over it. Both depend only on their arguments, so the forge's pictures come out
// the same on every run.

#include <cmath>
#include <cstdint>

namespace forge {

// A hash of integer coordinates into 0..1.
inline double Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 16777216.0;
}

// Smooth value noise at a scale (units per lattice step), 0..1.
inline double Noise(double x, double y, double scale, int seed) {
  const double fx = x / scale, fy = y / scale;
  const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  const double tx = fx - ix, ty = fy - iy;
  const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  const double a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
  const double c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

// Value noise that repeats every `period` lattice steps in x and y: the texture of a tile that
// lies beside copies of itself meets them without a seam.
inline double TiledNoise(double x, double y, double scale, int period, int seed) {
  const double fx = x / scale, fy = y / scale;
  const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  const double tx = fx - ix, ty = fy - iy;
  const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  auto at = [&](int i, int j) {
    return Hash(((i % period) + period) % period, ((j % period) + period) % period, seed);
  };
  const double a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

}  // namespace forge
