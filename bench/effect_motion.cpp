// The effect core under a battle's load: about 1900 active effects of mixed kinds (spell
// carriers and bolts travelling their lines, thrown missiles in their arcs, falling blocks)
// each given its frame by CEffect::Update, as the battle does, an ended one replaced at once
// by a new one (churn through the pool's allocation and the cell chains), against the same
// records only advancing their animations in the same run.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "magic/EffectManager.h"
#include "magic/MagicHooks.h"
#include "map/MapUnits.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

namespace w = effect_word;

constexpr int kEffects = 1900;
// The mix: a carrier, a straight bolt, a thrown missile and a falling block, in turn.
constexpr int kKinds[4] = {1, 7, 4, 23};
constexpr int kSpells[4] = {10, 71, 58, 0};

class Battle {
 public:
  Battle() : random_(77) {
    BuildBenchMap();
    LoadSpells("cfg\\spells.cfg", g_spellDefs);
    g_effectManager.ReadEffectsCfg();
    g_effectManager.ReadEffectAniCfg();
    g_mapHooks.effects = &hooks_;
    g_effectManager.Reset();
    for (int i = 0; i < kEffects; ++i) Spawn(i % 4);
  }

  // One battle frame of the effects: each runs its kind's update; the ones that ended (an
  // arrival hands over to delivery, which ends them) are replaced.
  int Tick() {
    int moved = 0;
    const int end = g_effectManager.highWater;
    for (int i = CEffectManager::kReserved; i < end; ++i) {
      CEffect& e = *g_effectManager.At(i);
      if (!e.active) continue;
      ++moved;
      e.Update();
      if (!e.active) Spawn(MixOf(e.kind));
    }
    return moved;
  }

  // The same records, only animating.
  int AnimateAll() {
    int animated = 0;
    for (int i = CEffectManager::kReserved; i < g_effectManager.highWater; ++i) {
      CEffect& e = *g_effectManager.At(i);
      if (!e.active) continue;
      Animate(e);
      ++animated;
    }
    return animated;
  }

 private:
  static int MixOf(int kind) {
    for (int m = 0; m < 4; ++m)
      if (kKinds[m] == kind) return m;
    return 0;
  }
  static void Animate(CEffect& e) {
    while (e.animPlayer.Advance() == 1 && e.animPlayer.Restart()) {
    }
  }
  int Draw(int n) { return static_cast<int>(random_.Next() % static_cast<uint32_t>(n)); }

  void Spawn(int mix) {
    CEffect* e = g_effectManager.AllocateEffect();
    if (!e) return;
    const int width = g_map.width * kUnitsPerTile, height = g_map.height * kUnitsPerTile;
    const int top = g_map.levels * kUnitsPerLevel;
    const int x = Draw(width), y = Draw(height), z = top - 1 - Draw(3 * kUnitsPerLevel);
    CEffectParams block;
    block.SetPoint(w::kSourceX, x, y, z);
    block.SetPoint(w::kTargetX, x + Draw(641) - 320, y + Draw(641) - 320, z - Draw(2 * kUnitsPerLevel));
    block[w::kSpell] = kSpells[mix];
    block[w::kSpeed] = mix == 1 ? 12 : 6;
    if (mix == 2) {
      block[w::kStartX] = x;
      block[w::kStartY] = y;
      block[w::kStartZ] = z;
      block.SetFloat(w::kVelocityX, static_cast<float>(Draw(9) - 4));
      block.SetFloat(w::kVelocityY, static_cast<float>(Draw(9) - 4));
      block.SetFloat(w::kVelocityZ, static_cast<float>(Draw(5)));
      block[w::kTick] = 0;
    }
    e->Activate(kKinds[mix], block);
    if (mix == 1) e->StartTrajectory(x, y, z, block[w::kTargetX], block[w::kTargetY], block[w::kTargetZ]);
  }

  CRandom random_;
  CEffectMapHooks hooks_;
};

Battle& TheBattle() {
  static Battle battle;
  return battle;
}

void BM_Baseline_AnimateOnly(benchmark::State& state) {
  Battle& battle = TheBattle();
  int64_t effects = 0;
  for (auto _ : state) effects += battle.AnimateAll();
  state.SetItemsProcessed(effects);
}

void BM_EffectUpdate(benchmark::State& state) {
  Battle& battle = TheBattle();
  int64_t effects = 0;
  for (auto _ : state) effects += battle.Tick();
  state.SetItemsProcessed(effects);
  state.counters["active"] = g_effectManager.highWater - CEffectManager::kReserved;
}

BENCHMARK(BM_Baseline_AnimateOnly);
BENCHMARK(BM_EffectUpdate);

}  // namespace

VRASK_BENCH_MAIN()
