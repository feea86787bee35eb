// A frame of the particle manager with its 1792 slots live: every particle's Update, the
// manager entering the visible ones into the map view's draw list, and the draw list
// printing them, against 1792 plain points moved, projected and printed the same way in a
// loop of their own.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/Preferences.h"
#include "core/Random.h"
#include "graphics/PrintTarget.h"
#include "graphics/Surface.h"
#include "magic/ParticleManager.h"
#include "map/MapView.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

// A spark drifting through the air, printed as a 2 x 2 dot.
class Spark : public CParticle {
 public:
  Spark(int x, int y, int z, int vx, int vy) : CParticle(x, y, z), vx_(vx), vy_(vy) {}
  void Draw(int sx, int sy) override { Dot(sx, sy, 0xFFE0); }
  int Update() override {
    x = (x + vx_ + WorldWidth()) % WorldWidth();
    y = (y + vy_ + WorldHeight()) % WorldHeight();
    return 1;
  }
  static void Dot(int sx, int sy, uint16_t colour) {
    if (sx < g_clipLeft || sy < g_clipTop || sx + 1 >= g_clipRight || sy + 1 >= g_clipBottom) return;
    uint16_t* row = g_spriteTarget + sy * g_spritePitch + sx;
    row[0] = row[1] = row[g_spritePitch] = row[g_spritePitch + 1] = colour;
  }

 private:
  int vx_, vy_;
};

struct Point {
  int x, y, z, vx, vy;
};

class Scene {
 public:
  Scene() {
    BuildBenchMap();
    CParticle::SetWorldSize(g_map.width * 32, g_map.height * 32, g_map.levels * 16);
    SurfaceDesc desc;
    desc.flags = kDescCaps | kDescWidth | kDescHeight;
    desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
    desc.width = 800;
    desc.height = 600;
    surface.Create(&desc);
    g_prefs.isHighRes = 1;
    g_mapView.Attach(&g_map, &surface, nullptr, platform::Rect{0, 0, 800, 600}, 0);
    g_mapView.SetCameraCell(50, 50, 3);
    // Particles crowd the view's part of the map, as a battle's sparks and blood do.
    CRandom random(5);
    auto near = [&](int centre) { return centre * 32 + static_cast<int>(random.Next() % 640) - 320; };
    for (int i = 0; i < CParticleManager::kSlots; ++i) {
      const int x = near(50), y = near(50), z = 48 + static_cast<int>(random.Next() % 64);
      const int vx = static_cast<int>(random.Next() % 5) - 2, vy = static_cast<int>(random.Next() % 5) - 2;
      points.push_back({x, y, z, vx, vy});
      g_particleManager.Add(std::make_unique<Spark>(x, y, z, vx, vy));
    }
  }
  ~Scene() { g_particleManager.Clear(); }
  CSurface surface;
  std::vector<Point> points;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void Target(CSurface& surface) {
  uint16_t* pixels = surface.Lock();
  SetSpriteTarget(pixels, surface.pitch / 2, 600);
  SetSpriteClipRect(0, 0, 800, 600);
}

void BM_Baseline_PlainPoints(benchmark::State& state) {
  Scene& scene = TheScene();
  const int width = g_map.width * 32, height = g_map.height * 32;
  for (auto _ : state) {
    Target(scene.surface);
    for (Point& p : scene.points) {
      p.x = (p.x + p.vx + width) % width;
      p.y = (p.y + p.vy + height) % height;
      const ScreenPoint at = g_mapView.MapToScreen(p.x, p.y, p.z);
      Spark::Dot(at.x, at.y, 0xFFE0);
    }
    scene.surface.Unlock(nullptr);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * CParticleManager::kSlots);
}

void BM_ParticleFrame(benchmark::State& state) {
  Scene& scene = TheScene();
  int drawn = 0;
  for (auto _ : state) {
    g_particleManager.Update();
    g_mapView.drawList.Reset();
    g_particleManager.AddToDrawList(g_mapView);
    drawn = g_mapView.drawList.Count();
    Target(scene.surface);
    g_mapView.drawList.Draw();
    scene.surface.Unlock(nullptr);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * CParticleManager::kSlots);
  state.counters["drawn"] = drawn;
}

BENCHMARK(BM_Baseline_PlainPoints);
BENCHMARK(BM_ParticleFrame);

}  // namespace

VRASK_BENCH_MAIN()
