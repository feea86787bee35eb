// Sprite printing over a screen's worth of typical frames (creature figures with holes,
// solid terrain diamonds, interface pieces), against memcpy of the same bytes: the bytes
// counted are the opaque pixels written, two bytes each.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <vector>

#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/ColourTables.h"
#include "graphics/Frame16.h"
#include "graphics/PrintFX.h"
#include "graphics/PrintTarget.h"
#include "graphics/SpritePrinter.h"
#include "graphics/TunedPrinters.h"
#include "graphics/TypePrinters.h"
#include "support/RatioMain.h"

namespace {

constexpr int kScreenWidth = 800, kScreenHeight = 600;

struct Placed {
  CSpriteFrame frame;
  int x, y;
};

// Frames, their colour tables and where they go on the screen.
struct Scene {
  // opaque: solid 64x64 tiles only (the printers' best case).
  explicit Scene(bool solidTiles = false) {
    forge::PaletteBuilder palette;
    const int skin = palette.AddRamp(200, 150, 110, 32), cloth = palette.AddRamp(60, 80, 170, 32);
    const int earth = palette.AddRamp(110, 140, 60, 64);
    std::array<uint8_t, 768> bytes = palette.Bytes();
    BuildTablesNormal(16, &tables, bytes.data());
    BuildWideTablesNormal(16, &tables->next, bytes.data());
    auto add = [&](const forge::Canvas& c) { encoded.push_back(forge::EncodeFrame(c, 0, 0, 0)); };
    // A figure: head, body, legs apart, a gap between arm and body.
    forge::Canvas figure(40, 56);
    figure.ShadeEllipse(12, 0, 16, 16, skin, 32);
    figure.ShadeEllipse(6, 14, 28, 26, cloth, 32);
    figure.FillRect(10, 38, 7, 18, cloth + 8);
    figure.FillRect(23, 38, 7, 18, cloth + 8);
    figure.FillRect(0, 18, 5, 20, skin + 20);
    add(figure);
    // A terrain diamond, solid apart from its corners.
    forge::Canvas diamond(64, 32);
    diamond.FillTriangle(32, 0, 0, 16, 64, 16, earth + 30);
    diamond.FillTriangle(0, 16, 64, 16, 32, 32, earth + 20);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x)
        if (diamond.Opaque(x, y)) diamond.Set(x, y, earth + (x * 3 + y * 5) % 64);
    add(diamond);
    forge::Canvas panel(120, 40);
    panel.Bevel(0, 0, 120, 40, earth + 10, earth + 60, earth + 2, 3);
    add(panel);
    if (solidTiles) {
      forge::Canvas tile(64, 64);
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) tile.Set(x, y, earth + (x + y) % 64);
      encoded.assign(3, forge::EncodeFrame(tile, 0, 0, 0));
      figure = diamond = panel = tile;
    }
    // Tiled across the screen, row by row, until the opaque pixels fill one screen.
    long opaque = 0;
    const long target = static_cast<long>(kScreenWidth) * kScreenHeight;
    for (int n = 0; opaque < target; ++n) {
      const std::vector<uint8_t>& bytes = encoded[static_cast<size_t>(n % 3)];
      CSpriteFrame frame{bytes.data(), tables};
      const int x = (n * 97) % (kScreenWidth - 120), y = (n * 61) % (kScreenHeight - 56);
      placed.push_back({frame, x, y});
      opaque += Opaque(n % 3 == 0 ? figure : n % 3 == 1 ? diamond : panel);
    }
    pixelBytes = opaque * 2;
    for (const auto& bytes : encoded) {
      cached.emplace_back(ShadedFrameSize(CSpriteFrame{bytes.data(), tables}));
      ShadeFrameToCache(CSpriteFrame{bytes.data(), tables}, cached.back().data(), cached.back().size(), 0, 0);
    }
  }
  ~Scene() { FreeLinkedList(tables); }
  static long Opaque(const forge::Canvas& c) {
    long n = 0;
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x) n += c.Opaque(x, y);
    return n;
  }
  ShadeTableList* tables = nullptr;
  std::vector<std::vector<uint8_t>> encoded, cached;
  std::vector<Placed> placed;
  long pixelBytes = 0;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

Scene& OpaqueScene() {
  static Scene scene(true);
  return scene;
}

std::vector<uint16_t>& Screen() {
  static std::vector<uint16_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight);
  SetSpriteTarget(pixels.data(), kScreenWidth, kScreenHeight);
  SetSpriteClipRect(0, 0, kScreenWidth, kScreenHeight);
  return pixels;
}

void BM_Baseline_Memcpy(benchmark::State& state) {
  const long bytes = TheScene().pixelBytes;
  std::vector<uint8_t> from(static_cast<size_t>(bytes), 7), to(static_cast<size_t>(bytes));
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

template <class Print>
void PrintScene(benchmark::State& state, Print print, Scene& scene = TheScene()) {
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    for (const Placed& p : scene.placed) print(p.frame, p.x, p.y);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

void BM_PortablePrinter(benchmark::State& state) {
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteFrameC(f, x, y, -20, 0); });
}

void BM_TunedPrinter_Sse2(benchmark::State& state) {
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteSse2(f, x, y, -20, 0); });
}

void BM_TunedPrinter_Avx2(benchmark::State& state) {
  if (!DetectPrinterProcessor().hasAvx2) return state.SkipWithError("no AVX2");
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteAvx2(f, x, y, -20, 0); });
}

void BM_TunedPrinter_Avx512(benchmark::State& state) {
  if (!DetectPrinterProcessor().hasAvx512Vbmi) return state.SkipWithError("no AVX-512 VBMI");
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteAvx512(f, x, y, -20, 0); });
}

void BM_Opaque_TunedPrinter_Avx512(benchmark::State& state) {
  if (!DetectPrinterProcessor().hasAvx512Vbmi) return state.SkipWithError("no AVX-512 VBMI");
  PrintScene(
      state, [](CSpriteFrame f, int x, int y) { PrintSpriteAvx512(f, x, y, -20, 0); }, OpaqueScene());
}

void BM_WideTuned_Avx512(benchmark::State& state) {
  if (!DetectPrinterProcessor().hasAvx512Vbmi) return state.SkipWithError("no AVX-512 VBMI");
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteWideAvx512(f, x, y, -20, 1); });
}

void BM_Opaque_PortablePrinter(benchmark::State& state) {
  PrintScene(
      state, [](CSpriteFrame f, int x, int y) { PrintSpriteFrameC(f, x, y, -20, 0); }, OpaqueScene());
}

void BM_Opaque_TunedPrinter_Sse2(benchmark::State& state) {
  PrintScene(
      state, [](CSpriteFrame f, int x, int y) { PrintSpriteSse2(f, x, y, -20, 0); }, OpaqueScene());
}

void BM_Opaque_TunedPrinter_Avx2(benchmark::State& state) {
  if (!DetectPrinterProcessor().hasAvx2) return state.SkipWithError("no AVX2");
  PrintScene(
      state, [](CSpriteFrame f, int x, int y) { PrintSpriteAvx2(f, x, y, -20, 0); }, OpaqueScene());
}

void BM_WidePortable(benchmark::State& state) {
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteWideC(f, x, y, -20, 1); });
}

void BM_WideTuned_Sse2(benchmark::State& state) {
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteWideSse2(f, x, y, -20, 1); });
}

void BM_WideTuned_Avx2(benchmark::State& state) {
  if (!DetectPrinterProcessor().hasAvx2) return state.SkipWithError("no AVX2");
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteWideAvx2(f, x, y, -20, 1); });
}

void BM_WaterPortable(benchmark::State& state) {
  InitSpriteWaveTable();
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteWaterC(f, x + 2, y); });
}

void BM_WaterTuned(benchmark::State& state) {
  InitSpriteWaveTable();
  PrintScene(state, [](CSpriteFrame f, int x, int y) { PrintSpriteWaterSse2(f, x + 2, y); });
}

// The print types, each over the same scene.
void BM_PrintType(benchmark::State& state) {
  const int type = static_cast<int>(state.range(0));
  PrintScene(state, [type](CSpriteFrame f, int x, int y) { PrintSpriteOfType(type, f, x, y, -20, 0); });
}

template <class Print16>
void PrintCachedScene(benchmark::State& state, Print16 print) {
  Scene& scene = TheScene();
  std::vector<Placed> cached;
  for (size_t i = 0; i < scene.placed.size(); ++i)
    cached.push_back({CSpriteFrame{scene.cached[i % 3].data(), nullptr}, scene.placed[i].x, scene.placed[i].y});
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    for (const Placed& p : cached) print(p.frame, p.x, p.y);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

void BM_Frame16Portable(benchmark::State& state) { PrintCachedScene(state, PrintFrame16); }
void BM_Frame16Tuned(benchmark::State& state) { PrintCachedScene(state, PrintFrame16Tuned); }

BENCHMARK(BM_Baseline_Memcpy);
BENCHMARK(BM_PortablePrinter);
BENCHMARK(BM_TunedPrinter_Sse2);
BENCHMARK(BM_TunedPrinter_Avx2);
BENCHMARK(BM_TunedPrinter_Avx512);
BENCHMARK(BM_Opaque_PortablePrinter);
BENCHMARK(BM_Opaque_TunedPrinter_Sse2);
BENCHMARK(BM_Opaque_TunedPrinter_Avx2);
BENCHMARK(BM_Opaque_TunedPrinter_Avx512);
BENCHMARK(BM_WidePortable);
BENCHMARK(BM_WideTuned_Sse2);
BENCHMARK(BM_WideTuned_Avx2);
BENCHMARK(BM_WideTuned_Avx512);
BENCHMARK(BM_Frame16Portable);
BENCHMARK(BM_Frame16Tuned);
BENCHMARK(BM_WaterPortable);
BENCHMARK(BM_WaterTuned);
BENCHMARK(BM_PrintType)
    ->ArgName("type")
    ->Arg(PRT_SHADOW)
    ->Arg(PRT_TRANS25)
    ->Arg(PRT_TRANS50)
    ->Arg(PRT_TRANS75)
    ->Arg(PRT_OUTLINE)
    ->Arg(PRT_INC)
    ->Arg(PRT_SHIMMER)
    ->Arg(PRT_OUTLINE_GOLD)
    ->Arg(PRT_SHIMMER_8)
    ->Arg(PRT_BLACK)
    ->Arg(PRT_NORMAL);

}  // namespace

VRASK_BENCH_MAIN()
