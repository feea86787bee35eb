#include "magic/Particle.h"

#include "map/MapUnits.h"

namespace {
int g_worldWidth = 0, g_worldHeight = 0, g_worldDepth = 0;
}  // namespace

CParticle::CParticle(int px, int py, int pz) {
  x = WrapInto(px, g_worldWidth);
  y = WrapInto(py, g_worldHeight);
  if (pz > g_worldDepth - 1) pz = g_worldDepth - 1;
  z = pz < 0 ? 0 : pz;
}

void CParticle::SetWorldSize(int width, int height, int depth) {
  g_worldWidth = width;
  g_worldHeight = height;
  g_worldDepth = depth;
}

int CParticle::WorldWidth() { return g_worldWidth; }
int CParticle::WorldHeight() { return g_worldHeight; }
int CParticle::WorldDepth() { return g_worldDepth; }
