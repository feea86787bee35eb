// A whole map-view frame at 800 x 600 (walk the cells, collect, sort, cull, print) on the
// bench map crowded with creatures, printed with the printers the game picks at start-up
// (named in the label), against clearing and presenting the back buffer alone in the same
// run: the ratio is the share of a frame's time the display itself costs. Frames per second
// are reported as the counter "fps".
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/Options.h"
#include "core/Preferences.h"
#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/Display.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "platform/Window.h"
#include "support/BenchMap.h"
#include "support/GamePrinters.h"
#include "support/BenchWindow.h"
#include "support/RatioMain.h"

namespace {

// Creatures standing on every fifth cell of the bench map, all drawn with one figure.
struct Crowd : IMapViewCreatures {
  CSprite sprite;
  std::vector<CreatureDrawInfo> info;
  Crowd() {
    forge::PaletteBuilder palette;
    const int cloth = palette.AddRamp(60, 80, 170, 16), skin = palette.AddRamp(200, 150, 110, 16);
    forge::Canvas figure(24, 44);
    figure.ShadeEllipse(2, 14, 20, 30, cloth, 16);
    figure.ShadeEllipse(6, 0, 12, 14, skin, 16);
    forge::SpriteFileWriter file;
    file.AddPalette(palette.Bytes());
    file.AddFrame(forge::EncodeFrame(figure, 12, 42, 0));
    sprite.LoadImage(file.Bytes(), 16, "crowd");
  }
  void Place() {
    info.clear();
    for (int y = 0; y < g_map.height; y += 3)
      for (int x = (y / 3) % 5; x < g_map.width; x += 5) {
        int level = g_map.levels - 1;
        while (level > 0 && g_map.CellAt(x, y, level).terrain == 0) --level;
        CMapCell& cell = g_map.CellAt(x, y, level);
        cell.occupant = static_cast<uint16_t>(info.size());
        cell.state |= 0x0001;
        CreatureDrawInfo c;
        c.x = c.anchorX = x * 32 + 16;
        c.y = c.anchorY = y * 32 + 16;
        c.z = c.anchorZ = level * 16 + 4;
        c.body.frame = sprite.GetFrame(0);
        info.push_back(c);
      }
  }
  bool GetDrawInfo(int creature, int, CreatureDrawInfo& out) override {
    if (creature < 0 || creature >= static_cast<int>(info.size())) return false;
    out = info[static_cast<size_t>(creature)];
    return true;
  }
};

struct Bench {
  Bench() {
    window = bench_window::Open();
    InitSpriteWaveTable();
    printer = SelectGamePrinters(DetectPrinterProcessor(), true);
    BuildBenchMap();
    crowd.Place();
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
    const std::string path = std::string(VRASK_FORGED_DATA) + "/maps/moorland/terrain.spr";
    ready = terrain.Load(path.c_str(), 256) && terrain.BuildColourTables(1, 256) && terrain.BuildColourTables(8, 256) &&
            terrain.BuildColourTables(9, 256);
    g_mapViewHooks.creatures = &crowd;
    g_mapView.Attach(&g_map, &g_backBuffer, &terrain, platform::Rect{0, 0, 800, 600}, 0);
    g_mapView.SetCameraCell(50, 50, 3);
  }
  platform::WindowHandle window = nullptr;
  SpritePrinter printer = nullptr;
  CSprite terrain;
  Crowd crowd;
  bool ready = false;
};

Bench& TheBench() {
  static Bench bench;
  return bench;
}

void Present() {
  g_backBuffer.BlitTo(&g_primary, 0, 0);
  PresentDisplay();
}

void BM_Baseline_ClearAndPresent(benchmark::State& state) {
  TheBench();
  for (auto _ : state) {
    g_backBuffer.Fill(0);
    Present();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// steady: the occlusion marks of the last frame are kept; rebuild: every frame starts over
// (as after a scroll by a whole cell, a turn or a change of the map).
void BM_MapViewFrame(benchmark::State& state) {
  Bench& bench = TheBench();
  if (!bench.ready) {
    state.SkipWithError("no forged terrain sprite");
    return;
  }
  const bool rebuild = state.range(0) != 0;
  for (int r = 0; r < 4; ++r) {
    g_mapView.rotation = r;
    g_mapView.Update();
  }
  g_mapView.rotation = 0;
  g_mapView.drawList.rotation = 0;
  int sprites = 0;
  for (auto _ : state) {
    if (rebuild) g_map.backgroundDirty = 1;
    g_backBuffer.Fill(0);
    g_mapView.drawList.addCalls = 0;
    g_mapView.Update();
    sprites = g_mapView.drawList.addCalls;
    Present();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["sprites"] = sprites;
  state.SetLabel(PrinterName(bench.printer));
}

BENCHMARK(BM_Baseline_ClearAndPresent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapViewFrame)->Arg(0)->Arg(1)->ArgName("rebuild")->Unit(benchmark::kMillisecond);

}  // namespace

VRASK_BENCH_MAIN()
