#include "magic/EffectManager.h"

#include <algorithm>

#include "map/MapView.h"

CEffectManager g_effectManager(CEffectManager::kDefaultCount);
std::unique_ptr<CSprite[]>& g_effectSprites = g_effectManager.sprites;
int32_t& g_numEffectFiles = g_effectManager.fileCount;

int EffectViewRotation() { return g_mapView.rotation & 3; }

CEffectManager::CEffectManager(int size)
    : effects(static_cast<size_t>(size > 0 ? size : 0)), count(size > 0 ? size : 0) {
  // Each record knows its own index and manager from the start, so that a record used
  // before the first Reset still links and logs under its own number.
  for (int i = 0; i < count; ++i) {
    CEffect& e = effects[static_cast<size_t>(i)];
    e.index = i;
    e.owner = this;
    e.params.Reset();
    e.stepper.Reset();
    e.animPlayer.Clear();
    e.nextInCell = CEffect::kEndOfChain;
    e.state[effect_state::kArmy] = 255;
  }
}

CEffectManager::~CEffectManager() = default;

void CEffectManager::Reset() {
  for (int i = 0; i < count; ++i) {
    CEffect& e = effects[static_cast<size_t>(i)];
    e.owner = this;
    e.index = i;
    e.active = 0;
    e.state[effect_state::kHold] = 0;
    e.animPlayer.Stop();  // a record taken again later shows nothing of what it played before
  }
  highWater = 0;
  for (auto& list : lists) list.clear();
}

CEffect* CEffectManager::AllocateEffect() {
  for (int i = kReserved; i < count; ++i) {
    CEffect& e = effects[static_cast<size_t>(i)];
    if (!e.active && !e.state[effect_state::kHold]) return &e;
  }
  // None free: long-lived effects make room for later requests; this one fails.
  for (int i = kReserved; i < count; ++i) {
    CEffect& e = effects[static_cast<size_t>(i)];
    if (!e.active || e.state[effect_state::kHold]) continue;
    if (e.kind == effect_kind::kFire)
      e.animPlayer.loopBreak = 1;
    else if (e.kind == effect_kind::kTrap)
      e.SetKind(effect_kind::kTrapEnding);
    else if (e.kind == effect_kind::kShortLived)
      e.Deactivate();
  }
  return nullptr;
}

CEffect* CEffectManager::AllocateReservedEffect() {
  const int end = std::min(count, static_cast<int32_t>(kReserved));
  for (int i = 0; i < end; ++i) {
    CEffect& e = effects[static_cast<size_t>(i)];
    if (!e.active && !e.state[effect_state::kHold]) return &e;
  }
  return nullptr;
}

CEffect* CEffectManager::NextFree() {
  while (scanCursor >= 0 && scanCursor < count) {
    CEffect& e = effects[static_cast<size_t>(scanCursor++)];
    if (!e.active && !e.state[effect_state::kHold]) return &e;
  }
  return nullptr;
}

CEffect* CEffectManager::NextOfKind() {
  const int end = std::min(highWater, count);
  while (scanCursor >= 0 && scanCursor < end) {
    CEffect& e = effects[static_cast<size_t>(scanCursor++)];
    if (e.active && e.kind == scanKind) return &e;
  }
  return nullptr;
}

void CEffectManager::MarkKind14() {
  const int end = std::min(highWater, count);
  for (int i = 0; i < end; ++i) {
    CEffect& e = effects[static_cast<size_t>(i)];
    if (e.kind == effect_kind::kFire) e.animPlayer.loopBreak = 1;
  }
}

void CEffectManager::LowerHighWater(int from) {
  int i = std::min(from, count) - 1;
  while (i >= 0 && !effects[static_cast<size_t>(i)].active) --i;
  highWater = i + 1;
}

const EffectAniEntry* CEffectManager::AniEntry(int n) const {
  return n >= 0 && n < static_cast<int>(aniTable.size()) ? &aniTable[static_cast<size_t>(n)] : nullptr;
}

CAnimation* CEffectManager::AniEntryAnimation(int n) {
  const EffectAniEntry* entry = AniEntry(n);
  if (!entry || !animations || entry->file < 0 || entry->file >= fileCount) return nullptr;
  return &animations[entry->file];
}

int CEffectManager::GetAnimSetIndex(const CAnimation* animation) const {
  if (!animation || !animations) return -1;
  for (int j = 0; j < fileCount; ++j)
    if (&animations[j] == animation) return j;
  return -1;
}

bool CEffectManager::GetGlobalAnimation(int n, CAnimation*& animation, int& firstSequence, int& data) {
  animation = AniEntryAnimation(n);
  if (!animation) return false;
  firstSequence = aniTable[static_cast<size_t>(n)].animation;
  data = aniTable[static_cast<size_t>(n)].data;
  return true;
}

void CEffectManager::PushFront(int list, int effect) {
  if (list < 0 || list >= kEffectLists) return;
  lists[list].insert(lists[list].begin(), effect);
}

void CEffectManager::Remove(int list, int effect) {
  if (list < 0 || list >= kEffectLists) return;
  auto& l = lists[list];
  auto at = std::find(l.begin(), l.end(), effect);
  if (at != l.end()) l.erase(at);
}
