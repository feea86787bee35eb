// Lock step between processes: four peer programs (tests/net/peer/LockstepPeer.cpp) on this
// machine's loopback over ENet, with datagrams lost and messages doubled and reordered as they
// arrive. Each benchmark is one battle; its time is the battle's wall time. Counters: the
// milliseconds a frame takes, a command's milliseconds from the frame it is given in to the
// frame it runs in (the message delay's frames later), and the longest wait between two
// frames, which for the run whose host is killed is the time the survivors take to find a new
// host and go on. The ratios compare each battle with the lossless one of as many frames.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "peer/PeerRun.h"
#include "support/RatioMain.h"

namespace {

constexpr int kMachines = 4;

void RunBattle(benchmark::State& state, const net_peer::RunSpec& spec) {
  for (auto _ : state) {
    net_peer::PeerRun run(VRASK_NET_PEER, spec);
    const std::vector<net_peer::PeerResult> results = run.Run();
    double battleMs = 0, latencyMs = 0, stallMs = 0;
    int counted = 0;
    for (const net_peer::PeerResult& result : results) {
      if (result.status != 0) continue;
      battleMs = std::max(battleMs, result.battleMs);
      latencyMs += result.latencyMs;
      stallMs = std::max(stallMs, result.stallMs);
      ++counted;
    }
    if (counted == 0 || (spec.killAt < 0 && counted < spec.machines)) {
      state.SkipWithError("a peer failed");
      return;
    }
    state.SetIterationTime(battleMs / 1000);
    state.counters["ms_per_frame"] = battleMs / spec.frames;
    state.counters["command_ms"] = latencyMs / counted;
    state.counters["longest_stall_ms"] = stallMs;
  }
}

void BM_Lossless_Baseline(benchmark::State& state) {
  RunBattle(state, {kMachines, static_cast<int>(state.range(0)), 0.0});
}
void BM_Loss1(benchmark::State& state) { RunBattle(state, {kMachines, static_cast<int>(state.range(0)), 0.01}); }
void BM_Loss5(benchmark::State& state) { RunBattle(state, {kMachines, static_cast<int>(state.range(0)), 0.05}); }
void BM_Loss20(benchmark::State& state) { RunBattle(state, {kMachines, static_cast<int>(state.range(0)), 0.2}); }
// The host dies at frame 500; the keep-alive time (2 s) is most of the stall.
void BM_HostKilled(benchmark::State& state) {
  RunBattle(state, {kMachines, static_cast<int>(state.range(0)), 0.0, 500, -1, 2000, 600000});
}

// The soak: 10,000 frames without loss and at 1 %; the lossier battles are shorter, since every
// lost message the battle waits for costs it half a second.
BENCHMARK(BM_Lossless_Baseline)->Arg(10000)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Loss1)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Loss5)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Loss20)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HostKilled)->Arg(2000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

VRASK_BENCH_MAIN()
