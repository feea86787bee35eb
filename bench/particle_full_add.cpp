// Adding a particle of high priority to a full particle table (it scans every slot for the
// lowest priority below its own and takes that slot), against one plain scan of the 1792
// slots' priorities in the same run.
#include <benchmark/benchmark.h>

#include <memory>

#include "magic/ParticleManager.h"
#include "support/RatioMain.h"

namespace {

class Ranked : public CParticle {
 public:
  explicit Ranked(int priority) : CParticle(0, 0, 0), priority_(priority) {}
  void Draw(int, int) override {}
  int Update() override { return 1; }
  int Priority() const override { return priority_; }

 private:
  int priority_;
};

CParticleManager& FullTable() {
  static CParticleManager manager;
  static bool filled = false;
  if (!filled) {
    filled = true;
    for (int i = 0; i < CParticleManager::kSlots; ++i) manager.Add(std::make_unique<Ranked>(1025 + i % 97));
  }
  return manager;
}

void BM_Baseline_PriorityScan(benchmark::State& state) {
  CParticleManager& manager = FullTable();
  for (auto _ : state) {
    auto incoming = std::make_unique<Ranked>(5000);
    int lowest = -1, bound = incoming->Priority();
    for (int i = 0; i < manager.Count(); ++i) {
      const int p = manager.Slot(i)->Priority();
      if (p < bound) {
        lowest = i;
        bound = p;
      }
    }
    benchmark::DoNotOptimize(lowest);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_AddToAFullTable(benchmark::State& state) {
  CParticleManager& manager = FullTable();
  // Each newcomer outranks everything in the table, so every add scans all the slots.
  int priority = 1 << 20;
  for (auto _ : state) {
    const int taken = manager.Add(std::make_unique<Ranked>(++priority));
    benchmark::DoNotOptimize(taken);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

BENCHMARK(BM_Baseline_PriorityScan);
BENCHMARK(BM_AddToAFullTable);

}  // namespace

VRASK_BENCH_MAIN()
