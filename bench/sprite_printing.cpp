// Sprite printing over a screen's worth of typical frames (creature figures with holes,
// solid terrain diamonds, interface pieces), against memcpy of the same bytes: the bytes
// counted are the opaque pixels written, two bytes each.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/ColourTables.h"
#include "graphics/Frame16.h"
#include "graphics/PrintTarget.h"
#include "graphics/SpritePrinter.h"
#include "support/RatioMain.h"

namespace {

constexpr int kScreenWidth = 800, kScreenHeight = 600;

struct Placed {
  CSpriteFrame frame;
  int x, y;
};

// Frames, their colour tables and where they go on the screen.
struct Scene {
  Scene() {
    forge::PaletteBuilder palette;
    const int skin = palette.AddRamp(200, 150, 110, 32), cloth = palette.AddRamp(60, 80, 170, 32);
    const int earth = palette.AddRamp(110, 140, 60, 64);
    BuildTablesNormal(16, &tables, const_cast<uint8_t*>(palette.Bytes().data()));
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
void PrintScene(benchmark::State& state, Print print) {
  Scene& scene = TheScene();
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

void BM_PortablePrinter_Frame16(benchmark::State& state) {
  Scene& scene = TheScene();
  std::vector<Placed> cached;
  for (size_t i = 0; i < scene.placed.size(); ++i)
    cached.push_back({CSpriteFrame{scene.cached[i % 3].data(), nullptr}, scene.placed[i].x, scene.placed[i].y});
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    for (const Placed& p : cached) PrintFrame16(p.frame, p.x, p.y);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

BENCHMARK(BM_Baseline_Memcpy);
BENCHMARK(BM_PortablePrinter);
BENCHMARK(BM_PortablePrinter_Frame16);

}  // namespace

VRASK_BENCH_MAIN()
