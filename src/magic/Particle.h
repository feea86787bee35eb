#pragma once
// CParticle: the base of the short-lived things that live outside the effect pool (sparks,
// glows, blood, flies, body parts). A particle is made by whoever wants it, handed to the
// particle manager, which owns it from then on, and updated and drawn once a frame. Particles
// never change the battle: they read creatures, cells and settings, draw from g_viewRandom only,
// and draw themselves at the screen point the draw list gives them.

#include <cstdint>

#include "map/DrawList.h"

class CParticle : public IDrawListObject {
 public:
  static constexpr int kDefaultPriority = 1024;

  // The position is wrapped into the world: x and y modulo its width and height, z clamped
  // to 0 .. depth - 1.
  CParticle(int x, int y, int z);
  ~CParticle() override = default;

  // Screen size in pixels for the on-screen test.
  virtual int Width() const { return 4; }
  virtual int Height() const { return 4; }
  // Draws the particle with its reference point at the screen point.
  void Draw(int screenX, int screenY) override = 0;
  // One frame: nonzero while it lives, 0 when it is finished.
  virtual int Update() = 0;
  // Only a full manager asks: a particle above 1024 may displace one of lower priority.
  virtual int Priority() const { return kDefaultPriority; }

  // The world every particle wraps into: the map's width x 32, height x 32 and levels x 16.
  static void SetWorldSize(int width, int height, int depth);
  static int WorldWidth();
  static int WorldHeight();
  static int WorldDepth();

  int32_t x = 0, y = 0, z = 0;  // map units
};
