// The light map: what the viewing player's creatures see now, what they have seen before
// (remembered at the ambient level) and the light thrown by effects. Creature sight is
// stamped over eight frames and effect light over two, into work buffers, so that the shown
// buffer is always a finished map.
#include <algorithm>
#include <cstring>

#include "core/Options.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"

namespace {

constexpr int8_t kBlack = -127;
constexpr int kMaxEdge = 17;
constexpr int kCreatureSightDiameter = 33;
constexpr int kCreaturePhases = 8;
constexpr int kEffectPhases = 2;

int EdgeForDiameter(int diameter) { return diameter / 2 + 1; }

// How many sources a pass stamps this frame: all that are left on a full refresh (which
// moves the pass to its last frame), else an even share over the frames left.
int PassQuota(int left, int32_t& phase, int phases, bool fullRefresh) {
  if (fullRefresh) {
    phase = phases - 1;
    return left;
  }
  return (left + phases - 1) / (phases - phase);
}

void CopyBuffer(std::vector<int8_t>& to, const std::vector<int8_t>& from) { to = from; }

}  // namespace

void CMap::ResetLight() {
  lightBufferSize = cellsPerLevel * ((levels + 1) / 2);
  light[kLightMemory].assign(static_cast<size_t>(lightBufferSize), kBlack);
  for (int i = 0; i < kLightBuffers; ++i)
    if (i != kLightMemory) CopyBuffer(light[i], light[kLightMemory]);
  BuildLightPatterns();
  effectsActive = 1;
  effectsPresent = 1;
  lightSelector = 0;
  // The passes start over with the new map.
  creaturePhase = creaturesLeft = effectPhase = effectsLeft = 0;
  creatureCursor = effectCursor = -1;
  fullRefresh = 1;
}

void CMap::BuildLightPatterns() {
  lightEnabled[0] = lightEnabled[1] = 1;
  // Cubes from edge 17 down to 1, laid end to end.
  int offsetOfEdge[kMaxEdge + 1] = {};
  int offset = 0;
  for (int edge = kMaxEdge; edge >= 1; --edge) {
    offsetOfEdge[edge] = offset;
    offset += edge * edge * edge;
  }
  for (int d = 1; d <= kLightRanges; ++d) {
    patternEdge[d - 1] = static_cast<uint8_t>(EdgeForDiameter(d));
    patternOffset[d - 1] = offsetOfEdge[EdgeForDiameter(d)];
  }
  const int64_t ramp = g_lightRamp;
  for (int edge = kMaxEdge; edge >= 2; --edge) {
    int8_t* cube = lightPatterns + offsetOfEdge[edge];
    for (int i = 0; i < edge; ++i)
      for (int j = 0; j < edge; ++j)
        for (int k = 0; k < edge; ++k) {
          int64_t across = IntegerSqrt(static_cast<uint64_t>(k * ramp * k * ramp + j * ramp * j * ramp));
          int64_t h = IntegerSqrt(static_cast<uint64_t>(across * across + i * ramp * i * ramp));
          int64_t v = std::clamp<int64_t>(h - edge * ramp + 127, 0, 127);
          cube[(i * edge + j) * edge + k] = static_cast<int8_t>(-v);
        }
  }
  lightPatterns[offsetOfEdge[1]] = 0;  // the edge-1 pattern is never computed
  fullRefresh = 1;
}

template <typename Apply>
void CMap::StampPattern(int x, int y, int level, int diameter, Apply apply) {
  if (!cells || lightBufferSize <= 0 || diameter < 1 || level < 0 || level >= levels) return;
  diameter = std::min(diameter, static_cast<int>(kLightRanges));
  const int edge = patternEdge[diameter - 1];
  const int8_t* cube = lightPatterns + patternOffset[diameter - 1];
  const int layers = (levels + 1) / 2, layer = level / 2;
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  for (int i = 0; i < edge; ++i) {
    bool above = layer + i<layers, below = i> 0 && layer - i >= 0;
    if (!above && layer - i < 0) break;
    for (int j = 0; j < edge; ++j) {
      for (int k = 0; k < edge; ++k) {
        int8_t e = cube[(i * edge + j) * edge + k];
        // The four points (x +- k, y +- j), a point on an axis once.
        for (int sj = 0; sj < (j ? 2 : 1); ++sj) {
          int py = CWrapCoord::WrapY(sj ? y - j : y + j);
          for (int sk = 0; sk < (k ? 2 : 1); ++sk) {
            int px = CWrapCoord::WrapX(sk ? x - k : x + k);
            int column = px + rowOffset[py];
            if (above) apply(column + (layer + i) * cellsPerLevel, e);
            if (below) apply(column + (layer - i) * cellsPerLevel, e);
          }
        }
      }
    }
  }
}

void CMap::StampSight(int x, int y, int level, int diameter) {
  int8_t* work = light[kLightCreatureWork].data();
  int8_t* memory = light[kLightMemory].data();
  const int8_t ambient = static_cast<int8_t>(std::clamp(g_ambientLight, -127, 0));
  StampPattern(x, y, level, diameter, [&](int index, int8_t e) {
    work[index] = std::max(work[index], e);
    memory[index] = std::max(memory[index], std::min(e, ambient));
  });
}

void CMap::StampLight(int x, int y, int level, int diameter) {
  int8_t* work = light[kLightEffectWork].data();
  StampPattern(x, y, level, diameter, [&](int index, int8_t e) {
    int sum = work[index] + e;
    work[index] = static_cast<int8_t>(sum >= -127 ? 0 : sum < -253 ? -127 : sum + 127);
  });
}

void CMap::RevealAround(int x, int y, int level, int diameter) {
  StampSight(x, y, level, diameter);
  int8_t* shown = light[kLightShown].data();
  StampPattern(x, y, level, diameter, [&](int index, int8_t e) { shown[index] = std::max(shown[index], e); });
}

int CMap::LightAt(int x, int y, int level) const {
  if (!cells || !IsInside(x, y, level) || lightBufferSize <= 0) return kBlack;
  return light[kLightShown][static_cast<size_t>(LightIndex(x, y, level))];
}

int CMap::CountLitCreatures() const {
  IMapCreatures& creatures = *g_mapHooks.creatures;
  int count = 0;
  for (int c = creatures.NextInUse(-1); c != -1; c = creatures.NextInUse(c))
    if (creatures.IsLitForViewer(c)) ++count;
  return count;
}

int CMap::CountLitEffects() const {
  IMapEffects& effects = *g_mapHooks.effects;
  LightSource source;
  int count = 0;
  for (int e = effects.NextLightSource(-1, source); e != -1; e = effects.NextLightSource(e, source)) ++count;
  return count;
}

void CMap::CreaturePass() {
  if (!lightEnabled[0]) return;
  if (creaturePhase == 0 || fullRefresh) {
    CopyBuffer(light[kLightCreatureWork], light[kLightMemory]);
    creaturesLeft = CountLitCreatures();
    creatureCursor = -1;
  }
  if (creaturesLeft > 0) {
    int quota = PassQuota(creaturesLeft, creaturePhase, kCreaturePhases, fullRefresh != 0);
    IMapCreatures& creatures = *g_mapHooks.creatures;
    for (int c = creatures.NextInUse(creatureCursor); c != -1 && quota > 0; c = creatures.NextInUse(c)) {
      creatureCursor = c;
      CreaturePlace place;
      if (!creatures.IsLitForViewer(c) || !creatures.GetPlace(c, place)) continue;
      StampSight(place.x, place.y, place.level, kCreatureSightDiameter);
      --creaturesLeft;
      --quota;
    }
  }
  creaturePhase = (creaturePhase + 1) % kCreaturePhases;
  if (creaturePhase == 0) {
    if (effectsActive || effectsPresent) {
      CopyBuffer(light[kLightCreatureResult], light[kLightCreatureWork]);
      lightSelector = 0;
    } else {
      CopyBuffer(light[kLightShown], light[kLightCreatureWork]);
      lightSelector = 1;
    }
  }
}

void CMap::EffectPass() {
  if (!lightEnabled[1]) return;
  if (!effectsActive && CountLitEffects() == 0 && !effectsPresent && !fullRefresh) return;
  if (effectPhase == 0 || fullRefresh) {
    CopyBuffer(light[kLightEffectWork], light[lightSelector == 1 ? kLightShown : kLightCreatureResult]);
    effectsActive = 1;
    effectsLeft = CountLitEffects();
    effectsPresent = effectsLeft > 0 ? 1 : 0;
    effectCursor = -1;
  }
  if (effectsLeft > 0) {
    int quota = PassQuota(effectsLeft, effectPhase, kEffectPhases, fullRefresh != 0);
    IMapEffects& effects = *g_mapHooks.effects;
    LightSource source;
    for (int e = effects.NextLightSource(effectCursor, source); e != -1 && quota > 0;
         e = effects.NextLightSource(e, source)) {
      effectCursor = e;
      StampLight(source.x, source.y, source.level, source.diameter);
      --effectsLeft;
      --quota;
    }
  }
  effectPhase = (effectPhase + 1) % kEffectPhases;
  if (effectPhase == 0) {
    CopyBuffer(light[kLightShown], light[kLightEffectWork]);
    effectsActive = 0;
  }
}

void CMap::UpdateVisibility() {
  if (!cells || lightBufferSize <= 0) return;
  CreaturePass();
  EffectPass();
  fullRefresh = 0;
}
