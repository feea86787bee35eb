#pragma once
// Puts the effects and the particles where the subsystems below look for them: the battle
// map's effect hooks (chains, light sources, water, particle world size, the obscuring cost
// and gravity of lines and arcs), the map view's drawing of effects and particles, and the
// options reader's building of the circle span tables. Start-up calls it before the options
// file is read.

#include "map/MapHooks.h"
#include "map/MapViewHooks.h"

// The effects' side of the map's hooks.
class CEffectMapHooks : public IMapEffects {
 public:
  // A tile of a line of fire (two per unit) or four of sight (eight per tile).
  static constexpr int kObscuringCost = 64;

  int Kind(int effect) override;
  int NextInCell(int effect) override;
  void Deactivate(int effect) override;
  void AffectTerrainTile(int effect) override;
  void MarkKind14(int level) override;
  void SetParticleWorldSize(int width, int height, int depth) override;
  int ObscuringCost() override { return kObscuringCost; }
  float Gravity() override { return 0.969f; }
  int NextLightSource(int after, LightSource& out) override;
};

// The effects' and particles' side of the map view's world hooks.
class CEffectViewHooks : public IMapViewWorld {
 public:
  bool GetEffectDrawInfo(int effect, EffectDrawInfo& out) override;
  bool GetObjectDrawInfo(int object, ObjectDrawInfo& out) override;
  void AddParticles(CMapView& view) override;
  CSpriteFrame SegmentFrame(int kind) override;
};

void InstallMagic();
