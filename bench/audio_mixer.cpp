// Mixing playing sounds into the output stream, against copying the same output bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/AudioMixer.h"
#include "support/RatioMain.h"

namespace {

constexpr size_t kFrames = 512;  // one callback of the output device

void BM_Baseline_Memcpy(benchmark::State& state) {
  std::vector<int16_t> source(kFrames * 2, 100), out(kFrames * 2);
  for (auto _ : state) {
    std::memcpy(out.data(), source.data(), out.size() * sizeof(int16_t));
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size() * sizeof(int16_t)));
}

// state.range(0) sounds, 16-bit mono, all with volume and pan: half at the output rate and
// half at half of it (through the resampling filter, whose phases then fall on its table's);
// with state.range(1) set, the other half at 8,000 and 32,000 frames a second, whose phases
// fall between the table's.
void BM_Mix(benchmark::State& state) {
  platform::AudioMixer mixer;
  std::vector<std::unique_ptr<platform::SoundBuffer>> sounds;
  const bool oddRates = state.range(1) != 0;
  for (int64_t i = 0; i < state.range(0); ++i) {
    platform::PcmFormat format;
    format.samplesPerSec = i % 2 ? (oddRates ? (i % 4 == 1 ? 8000 : 32000) : 11025) : 22050;
    format.avgBytesPerSec = format.samplesPerSec * 2;
    std::unique_ptr<platform::SoundBuffer> sound;
    mixer.CreateBuffer(format, 44100, sound);
    std::span<uint8_t> bytes = sound->Lock();
    for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<uint8_t>(b * 7);
    sound->SetVolume(static_cast<int32_t>(-100 * i));
    sound->SetPan(static_cast<int32_t>(500 * i - 2000));
    sound->Play(true);
    sounds.push_back(std::move(sound));
  }
  std::vector<int16_t> out(kFrames * 2);
  for (auto _ : state) {
    mixer.Mix(out.data(), kFrames);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size() * sizeof(int16_t)));
}

BENCHMARK(BM_Baseline_Memcpy);
BENCHMARK(BM_Mix)->Args({1, 0})->Args({8, 0})->Args({32, 0})->Args({32, 1});

}  // namespace

VRASK_BENCH_MAIN()
