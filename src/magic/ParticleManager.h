#pragma once
// CParticleManager: the battle's table of 1792 live particles. Update runs every particle
// once a frame and drops the finished ones by moving the last into their slot; a full table
// refuses ordinary particles and lets one of priority above 1024 displace the lowest below
// it. AddToDrawList hands the visible particles to the map view's draw list.

#include <array>
#include <cstdint>
#include <memory>

#include "magic/Particle.h"

class CMapView;

class CParticleManager {
 public:
  static constexpr int kSlots = 1792;

  CParticleManager() = default;
  ~CParticleManager() { Clear(); }
  CParticleManager(const CParticleManager&) = delete;
  CParticleManager& operator=(const CParticleManager&) = delete;

  // 1 when taken (the manager owns it and the pointer is emptied), 0 when refused (the
  // pointer still holds it, and it is destroyed with the pointer).
  int Add(std::unique_ptr<CParticle>& particle);
  // A particle of a kind: the same, the pointer keeping its type.
  template <class Kind>
  int Add(std::unique_ptr<Kind>& particle) {
    std::unique_ptr<CParticle> held(particle.release());
    const int taken = Add(held);
    particle.reset(static_cast<Kind*>(held.release()));
    return taken;
  }
  // A particle straight from its maker: a refused one is destroyed here.
  int Add(std::unique_ptr<CParticle>&& particle) { return Add(particle); }
  void Update();
  void AddToDrawList(CMapView& view);
  // Deletes every particle; the refusal threshold is 0 again.
  void Clear();

  int Count() const { return count; }
  CParticle* Slot(int i) const { return i >= 0 && i < kSlots ? slots[static_cast<size_t>(i)].get() : nullptr; }
  int RefusalThreshold() const { return minRefusedPriority; }

 private:
  std::array<std::unique_ptr<CParticle>, kSlots> slots;
  int count = 0;
  int minRefusedPriority = 0;
  int updating = -1;  // the slot whose Update runs now: never displaced from under it
};

// The battle's one particle manager.
extern CParticleManager g_particleManager;
