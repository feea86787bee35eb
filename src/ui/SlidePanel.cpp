#include "ui/SlidePanel.h"

#include <algorithm>
#include <cstdlib>

#include "core/Preferences.h"
#include "core/Random.h"
#include "sound/SoundManager.h"

namespace {

int ScreenWidth() { return g_prefs.isHighRes ? 800 : 640; }
int ScreenHeight() { return g_prefs.isHighRes ? 600 : 480; }

// One step of a slide from where the panel is (the same rule for stepping and counting).
void Advance(int32_t mode, int32_t& x, int32_t& y, int32_t targetX, int32_t targetY, int32_t& step) {
  if (x == targetX && y == targetY) return;
  switch (mode) {
    case kSlideHalve:
      x += (targetX - x) / 2;
      y += (targetY - y) / 2;
      break;
    case kSlideJump:
      x = targetX;
      y = targetY;
      break;
    case kSlideAccelerate: {
      auto toward = [&](int32_t& v, int32_t target) {
        const int32_t distance = std::abs(target - v);
        const int32_t move = std::min(step, distance);
        v += target > v ? move : -move;
      };
      toward(x, targetX);
      toward(y, targetY);
      // The step doubles up to a screen's width, which no slide needs more than.
      step = std::min(step * 2, 1 << 20);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void RandomOffscreenCorner(int width, int height, int32_t& x, int32_t& y) {
  switch (g_viewRandom.Next() & 3) {
    case 0:
      x = -width / 2;
      y = -height / 2;
      break;
    case 1:
      x = ScreenWidth() - width / 2;
      y = -height / 2;
      break;
    case 2:
      x = -width / 2;
      y = ScreenHeight() - height / 2;
      break;
    default:
      x = ScreenWidth() - width / 2;
      y = ScreenHeight() - height / 2;
      break;
  }
}

CSlidePanel::CSlidePanel(int tx, int ty, int w, int h) : targetX(tx), targetY(ty), width(w), height(h) {
  RandomOffscreenCorner(width, height, x, y);
}

int CSlidePanel::Step() {
  Advance(mode, x, y, targetX, targetY, step);
  bool finished = false;
  if (std::abs(x - targetX) <= 1 && std::abs(y - targetY) <= 1 && dwell != kDwellForever) {
    if (dwell < 1) {
      finished = true;
    } else if (--dwell == 0) {
      Leave();
    }
  }
  PanSound();
  return finished ? 0 : 1;
}

void CSlidePanel::Leave() {
  switch (exitMode) {
    case kSlideHalve:
    case kSlideJump:
      RandomOffscreenCorner(width, height, targetX, targetY);
      mode = exitMode;
      break;
    case kSlideAccelerate:
      targetX = (g_viewRandom.Next() & 0x7FFFFFFF) % 100 < 50 ? -width : ScreenWidth();
      step = 1;
      mode = kSlideAccelerate;
      break;
    default:
      mode = exitMode;
      break;
  }
}

void CSlidePanel::PanSound() const {
  if (!sound || !*sound || !SoundIsLive()) return;
  CSoundInstance* instance = *sound;
  if (!instance->buffer || !instance->BufferBusy()) return;
  const int pan = (6666 / (width + ScreenWidth())) * (x + width / 2) - 3333;
  instance->SetPan(std::clamp(pan, -10000, 10000), 0);
}

int CSlidePanel::CountFramesToTarget() const {
  int32_t px = x, py = y, pstep = step;
  int frames = 0;
  // Every mode closes in within a few dozen steps; the bound only guards an unknown mode.
  while ((std::abs(px - targetX) > 2 || std::abs(py - targetY) > 2) && frames < 10000) {
    if (mode != kSlideHalve && mode != kSlideJump && mode != kSlideAccelerate) return frames;
    Advance(mode, px, py, targetX, targetY, pstep);
    ++frames;
  }
  return frames;
}

void CSlidePanelSet::Clear() {
  for (auto& slot : slots_) slot.reset();
}

int CSlidePanelSet::Count() const {
  return static_cast<int>(
      std::count_if(std::begin(slots_), std::end(slots_), [](const auto& p) { return p != nullptr; }));
}

bool CSlidePanelSet::Add(std::unique_ptr<CSlidePanel> panel) {
  if (!panel) return false;
  int at = -1;
  for (int i = 0; i < kSlots && at < 0; ++i)
    if (!slots_[i]) at = i;
  if (at < 0) return false;  // the panel is released here
  CSlidePanel& added = *panel;
  slots_[at] = std::move(panel);
  auto overlaps = [&](const CSlidePanel& other) {
    return added.targetX < other.targetX + other.width && other.targetX < added.targetX + added.width &&
           added.targetY < other.targetY + other.height && other.targetY < added.targetY + added.height;
  };
  // Slots 2, 4 and 6 move down, the others up, by the panel's height, until the panel's
  // place is clear. With at most 7 others the moves end; the bound guards a zero height.
  const int direction = (at == 2 || at == 4 || at == 6) ? 1 : -1;
  for (int moves = 0; moves < 64;) {
    bool moved = false;
    for (int i = 0; i < kSlots; ++i) {
      if (i == at || !slots_[i] || !overlaps(*slots_[i])) continue;
      added.targetY += direction * added.height;
      moved = true;
      ++moves;
      break;
    }
    if (!moved) break;
  }
  return true;
}

void CSlidePanelSet::Step() {
  for (auto& slot : slots_)
    if (slot && slot->Step() == 0) slot.reset();
}

void CSlidePanelSet::Draw() {
  for (auto& slot : slots_)
    if (slot) slot->Draw();
}
