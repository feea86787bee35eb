// Unpacking packed data files, against copying the same bytes with memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/PackedData.h"
#include "core/Random.h"
#include "forge/Packer.h"
#include "support/RatioMain.h"

namespace {

std::vector<uint8_t> Contents() {
  std::vector<uint8_t> data(64 * 1024);
  CRandom random(11);
  for (size_t i = 0; i < data.size(); ++i) data[i] = (i / 64) % 4 == 0 ? 0 : static_cast<uint8_t>(random.Next() % 16);
  return data;
}

void BM_Baseline_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> data = Contents(), out(data.size());
  for (auto _ : state) {
    std::memcpy(out.data(), data.data(), data.size());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_Unpack(benchmark::State& state) {
  std::vector<uint8_t> data = Contents();
  std::vector<uint8_t> file = forge::PackData(data, static_cast<uint32_t>(state.range(0)), 3);
  std::vector<uint8_t> work(file.size()), out(data.size());
  for (auto _ : state) {
    work = file;
    if (!packed::Unpack(work.data(), work.size(), out.data(), out.size())) state.SkipWithError("unpack failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

BENCHMARK(BM_Baseline_Memcpy);
BENCHMARK(BM_Unpack)->Arg(0)->Arg(1)->Arg(2);

}  // namespace

VRASK_BENCH_MAIN()
