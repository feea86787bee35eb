#include "magic/ParticleManager.h"

#include "map/MapView.h"

CParticleManager g_particleManager;

int CParticleManager::Add(std::unique_ptr<CParticle>& particle) {
  if (!particle) return 0;
  if (count < kSlots) {
    slots[static_cast<size_t>(count++)] = std::move(particle);
    return 1;
  }
  const int priority = particle->Priority();
  if (priority <= CParticle::kDefaultPriority || priority <= minRefusedPriority) return 0;
  int lowest = -1, bound = priority;
  for (int i = 0; i < count; ++i) {
    if (i == updating) continue;
    const int p = slots[static_cast<size_t>(i)]->Priority();
    if (p < bound) {
      lowest = i;
      bound = p;
    }
  }
  if (lowest < 0) {
    minRefusedPriority = priority;
    return 0;
  }
  slots[static_cast<size_t>(lowest)] = std::move(particle);
  if (bound - 1 > minRefusedPriority) minRefusedPriority = bound - 1;
  return 1;
}

void CParticleManager::Update() {
  minRefusedPriority = 0;
  for (int i = count - 1; i >= 0; --i) {
    updating = i;
    const int alive = slots[static_cast<size_t>(i)]->Update();
    updating = -1;
    if (alive) continue;
    slots[static_cast<size_t>(i)].reset();
    --count;
    // Particles added during the walk sit at the end; the last one fills the gap.
    if (i != count) slots[static_cast<size_t>(i)] = std::move(slots[static_cast<size_t>(count)]);
  }
}

void CParticleManager::AddToDrawList(CMapView& view) {
  const platform::Rect& area = view.rect;
  CDrawList& list = view.DrawList();
  for (int i = count - 1; i >= 0; --i) {
    CParticle& p = *slots[static_cast<size_t>(i)];
    const ScreenPoint at = view.MapToScreen(p.x, p.y, p.z);
    if (at.x + p.Width() < area.left || at.x >= area.right || at.y + p.Height() < area.top || at.y >= area.bottom)
      continue;
    DrawRequest request;
    request.object = &p;
    request.x = (p.x & ~31) + 16;
    request.y = (p.y & ~31) + 16;
    request.z = (p.z & ~15) + 1;
    request.screenX = at.x;
    request.screenY = at.y;
    request.depthBias = view.GetUnwrapOffset(p.x / 32, p.y / 32);
    request.printType = draw_types::kSelfDrawing;
    list.Add(request);
  }
}

void CParticleManager::Clear() {
  for (int i = 0; i < count; ++i) slots[static_cast<size_t>(i)].reset();
  count = 0;
  minRefusedPriority = 0;
}
