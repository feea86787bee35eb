// Blasts going off: 100 pending blasts released in one battle frame at places over the
// forged map, each spreading over its box of 19 x 19 x 19 cells (6858 steps through the
// terrain's absorption) and starting its wave of effects, against the same walk of the step
// table with a fixed loss per step and no look at the map, in the same run.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/Random.h"
#include "magic/Blast.h"
#include "magic/EffectManager.h"
#include "magic/MagicHooks.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

constexpr int kBlasts = 100;

struct Place {
  int x, y, level;
};

class Blasts {
 public:
  Blasts() {
    BuildBenchMap();
    g_effectManager.ReadEffectsCfg();
    g_effectManager.ReadEffectAniCfg();
    g_mapHooks.effects = &hooks_;
    g_blastPool.BuildAbsorptionTable();
    CRandom random(91);
    for (int n = 0; n < kBlasts; ++n) {
      const int x = static_cast<int>(random.Next() % static_cast<uint32_t>(g_map.width));
      const int y = static_cast<int>(random.Next() % static_cast<uint32_t>(g_map.height));
      const int level = 1 + static_cast<int>(random.Next() % static_cast<uint32_t>(g_map.levels - 2));
      places_.push_back({x, y, level});
    }
  }

  // Sets every blast pending, then releases them all: the frame in which they go off.
  int64_t ReleaseAll(benchmark::State& state) {
    state.PauseTiming();
    g_effectManager.Reset();
    g_blastPool.Clear();
    std::vector<CBlast*> pending;
    for (const Place& p : places_) {
      CBlast* blast = g_blastPool.FindFree();
      // A spell's blast: it breaks nothing, so that every frame meets the same map.
      blast->Set(p.x, p.y, p.level, 100, 4, 1, 2, CEffectParams());
      pending.push_back(blast);
    }
    state.ResumeTiming();
    for (CBlast* blast : pending) blast->Release();
    return static_cast<int64_t>(kBlasts) * (CBlast::kCells - 1);
  }

  // The step table walked with a loss of 4 per step and nothing read from the map.
  static int64_t WalkFixed() {
    const std::vector<BlastStep>& steps = g_blastPool.Steps();
    CBlast::Grid grid;
    int64_t reached = 0;
    for (int n = 0; n < kBlasts; ++n) {
      grid.fill(0);
      grid[static_cast<size_t>(CBlast::Index(CBlast::kCentre, CBlast::kCentre, CBlast::kCentre))] = 100;
      for (size_t s = 1; s < steps.size(); ++s) {
        const BlastStep& step = steps[s];
        const int f = grid[static_cast<size_t>(CBlast::Index(step.previous.i, step.previous.j, step.previous.k))];
        if (f > 4) grid[static_cast<size_t>(CBlast::Index(step.cell.i, step.cell.j, step.cell.k))] = f - 4;
      }
      reached += grid[0] > 0;
    }
    benchmark::DoNotOptimize(reached);
    return static_cast<int64_t>(kBlasts) * (CBlast::kCells - 1);
  }

 private:
  std::vector<Place> places_;
  CEffectMapHooks hooks_;
};

Blasts& TheBlasts() {
  static Blasts blasts;
  return blasts;
}

void BM_Baseline_StepTableWalk(benchmark::State& state) {
  TheBlasts();
  int64_t steps = 0;
  for (auto _ : state) steps += Blasts::WalkFixed();
  state.SetItemsProcessed(steps);
}

void BM_ReleaseHundredBlasts(benchmark::State& state) {
  Blasts& blasts = TheBlasts();
  int64_t steps = 0;
  for (auto _ : state) steps += blasts.ReleaseAll(state);
  state.SetItemsProcessed(steps);
}

BENCHMARK(BM_Baseline_StepTableWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReleaseHundredBlasts)->Unit(benchmark::kMillisecond);

}  // namespace

VRASK_BENCH_MAIN()
