// A full host frame on four loopback machines: each client's frame message filled with
// orders, sent, joined by the host into one 8216-byte host frame, sent back and run by every
// client; against copying the host frame's bytes with memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "platform/LoopbackNetwork.h"
#include "support/RatioMain.h"

namespace {

constexpr int kMachines = 4;

// Fills each frame message to the brim with orders the sink carries out.
struct FullFrames : INetFrameWork, INetCommandSink {
  int CreatureCount() override { return 100; }
  bool IsAlive(int) override { return true; }
  void WalkTo(int creature, int x, int y, int z) override { sum += creature + x + y + z; }
  void Work(int frame) override {
    for (int i = 0; i < 70; ++i) net->client.AddMessage(MakeCellCommand(MSG_CREATURE_WALK, i, frame, i, 0));
  }
  NetMachine* net = nullptr;
  long sum = 0;
};

void BM_Baseline_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> from(kHostFrameBytes, 7), to(kHostFrameBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kHostFrameBytes);
}

void BM_HostFrame(benchmark::State& state) {
  platform::LoopbackNetwork network;
  std::vector<std::unique_ptr<NetMachine>> machines;
  std::vector<NetMachine*> nets;
  for (int i = 0; i < kMachines; ++i) {
    machines.push_back(std::make_unique<NetMachine>());
    nets.push_back(machines.back().get());
  }
  StartLoopbackBattle(network, nets, 0);
  FullFrames work;
  NetHooks hooks = DefaultNetHooks();
  hooks.commands = &work;
  NetHooksScope scope(hooks);
  for (auto _ : state) {
    // Each machine in turn until every one has run a frame and sent the next.
    bool stepped[kMachines] = {};
    for (int left = kMachines; left > 0;) {
      for (int i = 0; i < kMachines; ++i) {
        if (stepped[i]) continue;
        work.net = machines[i].get();
        if (machines[i]->StepFrame(work) != NetWait::kDone) continue;
        stepped[i] = true;
        --left;
      }
    }
  }
  benchmark::DoNotOptimize(work.sum);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kHostFrameBytes);
}

BENCHMARK(BM_Baseline_Memcpy);
BENCHMARK(BM_HostFrame);

}  // namespace

VRASK_BENCH_MAIN()
