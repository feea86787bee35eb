// The map view's looping sounds, whose loudness follows what it shows, and the test whether a
// square of cells may be visible.
#include "core/Random.h"
#include "map/MapView.h"
#include "sound/SoundManager.h"

namespace {

bool SoundEnabled() { return g_soundManager != nullptr && g_soundManager->enabled != 0; }

int WaterVolume(int n) { return n >= 100 ? -1666 : n * 20000 / 600 - 4500; }
int EffectVolume(int n) { return n >= 75 ? 0 : n * 10000 / 500 - 1500; }

// While sound is off the manager hands out its silent instance: the slot stays empty, so
// that the loop starts for real once sound is on.
void ForgetSilent(CSoundInstance*& slot) {
  if (slot && g_soundManager && slot == g_soundManager->SilentInstance()) slot = nullptr;
}

void StopSlot(CSoundInstance*& slot) {
  if (slot && SoundEnabled() && slot->IsPlaying(0)) slot->Stop(0);
  slot = nullptr;
}

// Starts, re-levels or stops one loop; answers whether it was playing before this frame.
bool LevelLoop(CSoundInstance*& slot, int id, int count, int volume) {
  if (count == 0) {
    StopSlot(slot);
    return false;
  }
  if (slot) {
    slot->SetVolume(volume, 0);
    return true;
  }
  if (g_soundManager) g_soundManager->Play(id, volume, 0, &slot, 1);
  ForgetSilent(slot);
  return false;
}

}  // namespace

void CMapView::UpdateSounds() {
  if (showWater) LevelLoop(waterSound, 1021, waterCellCount, WaterVolume(waterCellCount));
  LevelLoop(effectSound1, 721, effectGroup1Count, EffectVolume(effectGroup1Count));
  LevelLoop(effectSound2, 739, effectGroup2Count, EffectVolume(effectGroup2Count));
  const int volume3 = EffectVolume(effectGroup3Count);
  if (LevelLoop(effectSound3, 752, effectGroup3Count, volume3) && g_soundManager && g_viewRandom.Next() % 100 > 50)
    g_soundManager->Play(702, volume3, 0, nullptr, 0);
  if (soundCreatureCount == 0) {
    StopSlot(creatureSound);
  } else if (creatureSound) {
    g_soundCues.UpdateLoopPosition(creatureSound, soundCreatureX, soundCreatureY);
  } else {
    g_soundCues.PlayAt(526, soundCreatureX, soundCreatureY, &creatureSound, 1);
    ForgetSilent(creatureSound);
  }
}

void CMapView::StopSounds() {
  for (CSoundInstance** slot : {&waterSound, &effectSound1, &effectSound2, &effectSound3, &creatureSound})
    StopSlot(*slot);
}

int CMapView::SplitWrappedRect(const platform::Rect& cells, platform::Rect pieces[4]) const {
  const int w = MapWidth(), h = MapHeight();
  platform::Rect r = cells;
  if (r.right > w) {
    r.left -= w;
    r.right -= w;
  }
  if (r.bottom > h) {
    r.top -= h;
    r.bottom -= h;
  }
  if (r.top < 0 && r.left < 0) {
    pieces[0] = {0, 0, r.right, r.bottom};
    pieces[1] = {0, h + r.top, r.right, h};
    pieces[2] = {w + r.left, 0, w, r.bottom};
    pieces[3] = {w + r.left, h + r.top, w, h};
    return 4;
  }
  if (r.top < 0) {
    pieces[0] = {r.left, 0, r.right, r.bottom};
    pieces[1] = {r.left, h + r.top, r.right, h};
    return 2;
  }
  if (r.left < 0) {
    pieces[0] = {0, r.top, r.right, r.bottom};
    pieces[1] = {w + r.left, r.top, w, r.bottom};
    return 2;
  }
  pieces[0] = r;
  return 1;
}

// Two squares on the torus meet when any piece of one overlaps any piece of the other: a
// square that encloses the view is in view, not only one whose edges cross it.
int CMapView::IsSquareInView(int x, int y, int size) const {
  if (size <= 0) return 0;
  const int c = cellsAcross;
  const platform::Rect square{x - size / 2, y - size / 2, x - size / 2 + size, y - size / 2 + size};
  const platform::Rect view{camCellX - c / 2, camCellY - c / 2, camCellX - c / 2 + c, camCellY - c / 2 + c};
  platform::Rect squarePieces[4], viewPieces[4];
  const int squareCount = SplitWrappedRect(square, squarePieces);
  const int viewCount = SplitWrappedRect(view, viewPieces);
  for (int i = 0; i < squareCount; ++i)
    for (int j = 0; j < viewCount; ++j) {
      const platform::Rect& p = squarePieces[i];
      const platform::Rect& v = viewPieces[j];
      if (p.left <= v.right && p.right >= v.left && p.top <= v.bottom && p.bottom >= v.top) return 1;
    }
  return 0;
}
