// Generating and building the largest map of the forged realm (5 x 5 squares), and the
// map's saved-game block written and read, against writing the same bytes with one fwrite.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "map/Map.h"
#include "map/MapMaker.h"
#include "platform/Files.h"
#include "support/BenchData.h"
#include "support/RatioMain.h"

namespace {

constexpr const char* kRealm = "realms\\moorland\\moorland.cfg";
constexpr int kLargestRegion = 2;

void EnterData() {
  static bool entered = false;
  if (entered) return;
  entered = true;
  EnterForgedDataCopy();
  std::vector<uint8_t> file;
  platform::ReadWholeFile("maps/moorland/terrain.ttd", file);
  g_terrainTypes.Assign(file.data() + 16, file.size() - 16);
}

std::vector<uint8_t> SavedMap() {
  EnterData();
  g_map.Build(kRealm, kLargestRegion, 7);
  FILE* file = std::tmpfile();
  int size = g_map.Save(file);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  std::rewind(file);
  if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  std::fclose(file);
  return bytes;
}

void BM_Baseline_FwriteSameBytes(benchmark::State& state) {
  std::vector<uint8_t> bytes = SavedMap();
  FILE* file = std::tmpfile();
  for (auto _ : state) {
    std::rewind(file);
    benchmark::DoNotOptimize(std::fwrite(bytes.data(), 1, bytes.size(), file));
  }
  std::fclose(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_SaveMap(benchmark::State& state) {
  std::vector<uint8_t> bytes = SavedMap();
  FILE* file = std::tmpfile();
  for (auto _ : state) {
    std::rewind(file);
    benchmark::DoNotOptimize(g_map.Save(file));
  }
  std::fclose(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_LoadMap(benchmark::State& state) {
  std::vector<uint8_t> bytes = SavedMap();
  FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  for (auto _ : state) {
    std::rewind(file);
    if (g_map.Load(file) < 0) state.SkipWithError("load failed");
  }
  std::fclose(file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_GenerateLargestMap(benchmark::State& state) {
  EnterData();
  int seed = 1;
  for (auto _ : state) {
    auto maker = std::make_unique<CMapMaker>();
    benchmark::DoNotOptimize(maker->Generate(kRealm, kLargestRegion, seed++));
  }
}

void BM_BuildLargestMap(benchmark::State& state) {
  EnterData();
  int seed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(g_map.Build(kRealm, kLargestRegion, seed++));
}

BENCHMARK(BM_Baseline_FwriteSameBytes);
BENCHMARK(BM_SaveMap);
BENCHMARK(BM_LoadMap);
BENCHMARK(BM_GenerateLargestMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildLargestMap)->Unit(benchmark::kMillisecond);

}  // namespace

VRASK_BENCH_MAIN()
