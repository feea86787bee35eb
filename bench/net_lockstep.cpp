// Four machines on a loopback in lock step, on a simulated clock, at message delays 2 and 5:
// how many frames and simulated milliseconds a command takes from the player's input to its
// run, and how long the battle stalls per lost message at 1, 5 and 20 % loss, against the
// lossless run of the same delay (counters). The ratios compare the wall time of each run
// with the lossless run at delay 2: the protocol's own cost of the losses.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "platform/Clock.h"
#include "platform/LoopbackNetwork.h"
#include "support/RatioMain.h"

namespace {

constexpr int kMachines = 4;
constexpr int kFrames = 1000;
constexpr uint32_t kStepMs = 2;

struct SimResult {
  double simMs = 0;
  double lost = 0;
  double latencyFrames = 0;
  double latencyMs = 0;
};

// One machine: its player gives an order every fourth frame; the order carries the frame and
// the time it was given, and the sink measures both when it runs.
struct BenchMachine : INetFrameWork, INetCommandSink {
  int CreatureCount() override { return kMachines; }
  void WalkTo(int creature, int x, int y, int z) override {
    latencyFrames += net.client.wantedFrame - x;
    latencyMs += static_cast<double>(platform::TickCount() - static_cast<uint32_t>(y));
    ++ordersRun;
  }
  void Work(int frame) override {
    if (frame % 4 == index)
      net.client.AddMessage(
          MakeCellCommand(MSG_CREATURE_WALK, index, frame, static_cast<int>(platform::TickCount()), 0));
  }

  NetMachine net;
  int index = 0;
  double latencyFrames = 0, latencyMs = 0;
  int ordersRun = 0;
};

SimResult Simulate(int delay, double loss) {
  platform::ManualClock clock(1000);
  platform::LoopbackNetwork network(17);
  platform::LoopbackConditions conditions;
  conditions.loss = loss;
  conditions.reorder = loss;
  conditions.minDelayMs = 5;
  conditions.maxDelayMs = 30;
  conditions.heldBackMs = 40;
  network.SetConditions(conditions);
  std::vector<std::unique_ptr<BenchMachine>> machines;
  std::vector<NetMachine*> nets;
  for (int i = 0; i < kMachines; ++i) {
    machines.push_back(std::make_unique<BenchMachine>());
    machines.back()->index = i;
    nets.push_back(&machines.back()->net);
  }
  StartLoopbackBattle(network, nets, delay);
  const uint32_t start = clock.Now();
  for (bool done = false; !done; clock.Advance(kStepMs)) {
    done = true;
    for (auto& machine : machines) {
      NetHooks hooks = DefaultNetHooks();
      hooks.commands = machine.get();
      NetHooksScope scope(hooks);
      if (machine->net.frame < kFrames) {
        machine->net.StepFrame(*machine);
        done = false;
      } else {
        machine->net.Serve();
      }
    }
  }
  SimResult result;
  result.simMs = clock.Now() - start;
  result.lost = static_cast<double>(network.Stats().lost);
  double orders = 0;
  for (auto& machine : machines) {
    result.latencyFrames += machine->latencyFrames;
    result.latencyMs += machine->latencyMs;
    orders += machine->ordersRun;
  }
  result.latencyFrames /= orders;
  result.latencyMs /= orders;
  return result;
}

const SimResult& Lossless(int delay) {
  static std::map<int, SimResult> results;
  auto it = results.find(delay);
  if (it == results.end()) it = results.emplace(delay, Simulate(delay, 0)).first;
  return it->second;
}

void Report(benchmark::State& state, int delay, const SimResult& result) {
  state.counters["latency_frames"] = result.latencyFrames;
  state.counters["latency_sim_ms"] = result.latencyMs;
  state.counters["sim_ms_per_frame"] = result.simMs / kFrames;
  state.counters["stall_sim_ms_per_lost"] =
      result.lost > 0 ? (result.simMs - Lossless(delay).simMs) / result.lost : 0.0;
}

void BM_Baseline_Lossless(benchmark::State& state) {
  SimResult result;
  for (auto _ : state) result = Simulate(2, 0);
  Report(state, 2, result);
}

void BM_Lockstep(benchmark::State& state) {
  const int delay = static_cast<int>(state.range(0));
  const double loss = static_cast<double>(state.range(1)) / 100.0;
  SimResult result;
  for (auto _ : state) result = Simulate(delay, loss);
  Report(state, delay, result);
}

BENCHMARK(BM_Baseline_Lossless)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Lockstep)
    ->ArgsProduct({{2, 5}, {0, 1, 5, 20}})
    ->ArgNames({"delay", "loss%"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

VRASK_BENCH_MAIN()
