#include "graphics/PrintTarget.h"

#include <algorithm>
#include <cmath>

#include "graphics/BattleFacing.h"

uint16_t* g_spriteTarget = nullptr;
int g_spritePitch = 0;
int g_spriteRows = 0;
int g_clipTop = 0;
int g_clipLeft = 0;
int g_clipRight = 0;
int g_clipBottom = 0;
int g_spriteWaveTable[16];

namespace {
// The rectangle as last asked for; the globals hold it cut to the target.
int requestedTop, requestedLeft, requestedRight, requestedBottom;

void ApplyClip() {
  const int width = g_spriteTarget ? std::max(g_spritePitch, 0) : 0;
  const int rows = g_spriteTarget ? std::max(g_spriteRows, 0) : 0;
  g_clipLeft = std::clamp(requestedLeft, 0, width);
  g_clipRight = std::clamp(requestedRight, g_clipLeft, width);
  g_clipTop = std::clamp(requestedTop, 0, rows);
  g_clipBottom = std::clamp(requestedBottom, g_clipTop, rows);
}
}  // namespace

void SetSpriteTarget(uint16_t* pixels, int pitch, int rows) {
  g_spriteTarget = pixels;
  g_spritePitch = pitch;
  g_spriteRows = rows;
  ApplyClip();
}

void SetSpriteClipRect(int top, int left, int right, int bottom) {
  requestedTop = top;
  requestedLeft = left;
  requestedRight = right;
  requestedBottom = bottom;
  ApplyClip();
}

void SetSecondTarget(uint16_t* buffer, int width, int height, int margin) {
  CBattleSharedState& battle = BattleState();
  if (!buffer || width <= 0 || height <= 0 || margin < 0) {
    battle.secondTarget = battle.secondTargetOrigin = nullptr;
    battle.secondTargetMargin = 0;
    battle.secondTargetSize = 0;
    return;
  }
  const size_t rowLength = static_cast<size_t>(width) + 2 * static_cast<size_t>(margin);
  battle.secondTarget = buffer;
  battle.secondTargetMargin = margin;
  battle.secondTargetSize = rowLength * (static_cast<size_t>(height) + 2 * static_cast<size_t>(margin));
  battle.secondTargetOrigin = buffer + rowLength * static_cast<size_t>(margin) + static_cast<size_t>(margin);
}

void InitSpriteWaveTable() {
  for (int i = 0; i < 16; ++i) g_spriteWaveTable[i] = 8 - static_cast<int>(std::trunc(-8.0 * std::sin(i * 0.39269908)));
}
