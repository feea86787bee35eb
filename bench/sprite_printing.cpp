// Sprite printing over a screen's worth of frames, in three scenes, each against the limit
// of a printer: copying the same runs of ready 16-bit pixels to the same places (the
// baseline of the scene). The bytes counted are the opaque pixels written, two bytes each.
//   opaque:   solid 64 x 64 tiles, one light level: a printer's best case.
//   mixed:    figures with holes, terrain diamonds and interface panels, one light level.
//   creature: figures with short runs and gaps (thin limbs, weapons, ragged fringes) in
//             several light levels and three colour tables, as creatures are drawn.
// Each scene times the portable printer, each tuned kernel, the printers the game selects
// on this machine, and the selection with AVX-512 masked off (what a machine with AVX2 alone
// gets). The mixed scene also times one flat memcpy of the same byte count, the wide, water
// and 16-bit printers, every print type through the printers the game selects, and each
// schedule of the print types with tuned printers.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
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
#include "support/BenchData.h"
#include "support/GamePrinters.h"
#include "support/RatioMain.h"

namespace {

constexpr int kScreenWidth = 800, kScreenHeight = 600;

struct Placed {
  CSpriteFrame frame;
  int x, y;
  int light, listIndex;
};

enum class SceneKind { kOpaque, kMixed, kCreature };

// A creature seen from the side: head, body, an arm held apart, legs apart, a thin spear,
// and a cloak whose fringe is every other pixel. pose shifts the limbs.
forge::Canvas CreatureFigure(int pose, int skin, int cloth, int metal) {
  forge::Canvas figure(40, 52);
  figure.ShadeEllipse(12, 0, 13, 13, skin, 16);
  figure.ShadeEllipse(8, 11, 22, 24, cloth, 16);
  figure.Line(12 + pose, 32, 9 + 2 * pose, 51, cloth + 4, 4);
  figure.Line(25 - pose, 32, 28 - 2 * pose, 51, cloth + 6, 4);
  figure.Line(29, 14, 34, 26 + pose, skin + 8, 3);
  figure.Line(37 - pose, 2, 33, 50, metal + 10, 2);
  for (int y = 14; y < 36; ++y)
    for (int x = 5 + (y + pose) % 2; x < 8; x += 2) figure.Set(x, y, cloth + (x + y) % 12);
  // Gaps in the mail where the light shows through.
  for (int y = 16; y < 30; y += 5)
    for (int x = 12 + (y + pose) % 3; x < 24; x += 6) figure.Set(x, y, forge::Canvas::kTransparent);
  return figure;
}

long OpaqueCount(const forge::Canvas& c) {
  long n = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) n += c.Opaque(x, y);
  return n;
}

// Frames, their colour tables and where they go on the screen.
struct Scene {
  explicit Scene(SceneKind kind) {
    forge::PaletteBuilder palette;
    const int skin = palette.AddRamp(200, 150, 110, 32), cloth = palette.AddRamp(60, 80, 170, 32);
    const int earth = palette.AddRamp(110, 140, 60, 64), metal = palette.AddRamp(150, 150, 160, 32);
    std::array<uint8_t, 768> bytes = palette.Bytes();
    BuildTablesNormal(16, &tables, bytes.data());
    BuildWideTablesNormal(16, &tables->next, bytes.data());
    // Two further lists for the creature scene, as armies in other colours.
    for (int army = 1; army <= 2; ++army) {
      std::array<uint8_t, 768> tinted = bytes;
      for (size_t i = 0; i < tinted.size(); i += 3) std::swap(tinted[i], tinted[i + army]);
      ShadeTableList** last = &tables;
      while (*last) last = &(*last)->next;
      BuildTablesNormal(16, last, tinted.data());
    }
    std::vector<forge::Canvas> canvases;
    if (kind == SceneKind::kOpaque) {
      forge::Canvas tile(64, 64);
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) tile.Set(x, y, earth + (x + y) % 64);
      canvases.push_back(tile);
    } else if (kind == SceneKind::kMixed) {
      // A figure with a gap between arm and body, a terrain diamond and a panel.
      forge::Canvas figure(40, 56);
      figure.ShadeEllipse(12, 0, 16, 16, skin, 32);
      figure.ShadeEllipse(6, 14, 28, 26, cloth, 32);
      figure.FillRect(10, 38, 7, 18, cloth + 8);
      figure.FillRect(23, 38, 7, 18, cloth + 8);
      figure.FillRect(0, 18, 5, 20, skin + 20);
      canvases.push_back(figure);
      forge::Canvas diamond(64, 32);
      diamond.FillTriangle(32, 0, 0, 16, 64, 16, earth + 30);
      diamond.FillTriangle(0, 16, 64, 16, 32, 32, earth + 20);
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
          if (diamond.Opaque(x, y)) diamond.Set(x, y, earth + (x * 3 + y * 5) % 64);
      canvases.push_back(diamond);
      forge::Canvas panel(120, 40);
      panel.Bevel(0, 0, 120, 40, earth + 10, earth + 60, earth + 2, 3);
      canvases.push_back(panel);
    } else {
      for (int pose = 0; pose < 4; ++pose) canvases.push_back(CreatureFigure(pose, skin, cloth, metal));
    }
    for (const forge::Canvas& c : canvases) encoded.push_back(forge::EncodeFrame(c, 0, 0, 0));
    // Placed across the screen until the opaque pixels fill one screen.
    static const int kLights[] = {-48, -20, 0, 12, -96};
    long opaque = 0;
    const long target = static_cast<long>(kScreenWidth) * kScreenHeight;
    for (int n = 0; opaque < target; ++n) {
      const size_t which = static_cast<size_t>(n) % canvases.size();
      CSpriteFrame frame{encoded[which].data(), tables};
      const int x = (n * 97) % (kScreenWidth - 120), y = (n * 61) % (kScreenHeight - 64);
      const bool creature = kind == SceneKind::kCreature;
      // The creature scene's lists are 0 and the two tinted ones (2 and 3; 1 is the wide list).
      const int list = creature ? (n % 3 == 0 ? 0 : 1 + n % 3) : 0;
      placed.push_back({frame, x, y, creature ? kLights[n % 5] : -20, list});
      opaque += OpaqueCount(canvases[which]);
    }
    pixelBytes = opaque * 2;
    for (const auto& frame : encoded) {
      cached.emplace_back(ShadedFrameSize(CSpriteFrame{frame.data(), tables}));
      ShadeFrameToCache(CSpriteFrame{frame.data(), tables}, cached.back().data(), cached.back().size(), 0, 0);
    }
    MakeRuns();
  }
  ~Scene() { FreeLinkedList(tables); }

  // Every run of every placed frame: its place on the screen and its pixels as the
  // portable printer writes them, in print order.
  void MakeRuns() {
    for (const Placed& p : placed) {
      const uint16_t* table = ChooseShadeTable(p.frame.tables, p.light, p.listIndex);
      const int left = p.x - p.frame.HotspotX(), top = p.y - p.frame.HotspotY();
      for (int row = 0; row < p.frame.Height(); ++row) {
        const uint8_t* ctrl = p.frame.RowControls(row);
        const uint8_t* pixels = p.frame.RowPixels(row);
        for (int column = 0; column < p.frame.Width();) {
          column += *ctrl++;
          if (column >= p.frame.Width()) break;
          const int count = *ctrl++;
          if (count > 0) runs.push_back({(top + row) * kScreenWidth + left + column, count});
          for (int i = 0; i < count; ++i) runPixels.push_back(table[*pixels++]);
          column += count;
        }
      }
    }
  }

  struct Run {
    int destination, count;
  };
  ShadeTableList* tables = nullptr;
  std::vector<std::vector<uint8_t>> encoded, cached;
  std::vector<Placed> placed;
  std::vector<Run> runs;
  std::vector<uint16_t> runPixels;
  long pixelBytes = 0;
};

Scene& SceneOf(SceneKind kind) {
  static Scene opaque(SceneKind::kOpaque), mixed(SceneKind::kMixed), creature(SceneKind::kCreature);
  return kind == SceneKind::kOpaque ? opaque : kind == SceneKind::kMixed ? mixed : creature;
}

std::vector<uint16_t>& Screen() {
  static std::vector<uint16_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight);
  SetSpriteTarget(pixels.data(), kScreenWidth, kScreenHeight);
  SetSpriteClipRect(0, 0, kScreenWidth, kScreenHeight);
  return pixels;
}

// n pixels as the C library's copy moves them, without its call: two overlapping moves of
// the widest size that fits, the library itself for long runs.
template <size_t kBytes>
inline void MoveEnds(uint8_t* to, const uint8_t* from, size_t bytes) {
  uint8_t head[kBytes], tail[kBytes];
  std::memcpy(head, from, kBytes);
  std::memcpy(tail, from + bytes - kBytes, kBytes);
  std::memcpy(to, head, kBytes);
  std::memcpy(to + bytes - kBytes, tail, kBytes);
}

inline void CopyPixels(uint16_t* to, const uint16_t* from, int count) {
  const size_t bytes = 2 * static_cast<size_t>(count);
  auto* out = reinterpret_cast<uint8_t*>(to);
  const auto* in = reinterpret_cast<const uint8_t*>(from);
  if (bytes > 32)
    std::memcpy(out, in, bytes);
  else if (bytes >= 16)
    MoveEnds<16>(out, in, bytes);
  else if (bytes >= 8)
    MoveEnds<8>(out, in, bytes);
  else if (bytes >= 4)
    MoveEnds<4>(out, in, bytes);
  else
    std::memcpy(out, in, 2);
}

// The limit: the runs' ready pixels copied to their places.
void RunCopy(benchmark::State& state, SceneKind kind) {
  const Scene& scene = SceneOf(kind);
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    const uint16_t* from = scene.runPixels.data();
    for (const Scene::Run& run : scene.runs) {
      CopyPixels(screen.data() + run.destination, from, run.count);
      from += run.count;
    }
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
  state.counters["pixels/run"] = static_cast<double>(scene.runPixels.size()) / static_cast<double>(scene.runs.size());
}

// The same copy through a call of the C library's memcpy per run.
void RunMemcpy(benchmark::State& state, SceneKind kind) {
  const Scene& scene = SceneOf(kind);
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    const uint16_t* from = scene.runPixels.data();
    for (const Scene::Run& run : scene.runs) {
      std::memcpy(screen.data() + run.destination, from, 2 * static_cast<size_t>(run.count));
      benchmark::DoNotOptimize(from += run.count);
    }
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

void FlatMemcpy(benchmark::State& state, SceneKind kind) {
  const long bytes = SceneOf(kind).pixelBytes;
  std::vector<uint8_t> from(static_cast<size_t>(bytes), 7), to(static_cast<size_t>(bytes));
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size());
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

void PrintScene(benchmark::State& state, SceneKind kind, SpritePrinter print, bool wideList = false) {
  const Scene& scene = SceneOf(kind);
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    for (const Placed& p : scene.placed) print(p.frame, p.x, p.y, p.light, wideList ? 1 : p.listIndex);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

SpritePrinter SelectedPrinter(const PrinterProcessor& processor) { return SelectGamePrinters(processor, false); }

void PrintSelected(benchmark::State& state, SceneKind kind, const PrinterProcessor& processor) {
  const SpritePrinter printer = SelectedPrinter(processor);
  state.SetLabel(PrinterName(printer));
  PrintScene(state, kind, printer);
}

void MaskPrintScene(benchmark::State& state, MaskPrinter print) {
  const Scene& scene = SceneOf(SceneKind::kMixed);
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    for (const Placed& p : scene.placed) print(p.frame, p.x + 2, p.y);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

void PrintCachedScene(benchmark::State& state, MaskPrinter print) {
  const Scene& scene = SceneOf(SceneKind::kMixed);
  std::vector<Placed> cached;
  for (size_t i = 0; i < scene.placed.size(); ++i)
    cached.push_back({CSpriteFrame{scene.cached[i % scene.cached.size()].data(), nullptr}, scene.placed[i].x,
                      scene.placed[i].y, 0, 0});
  std::vector<uint16_t>& screen = Screen();
  for (auto _ : state) {
    for (const Placed& p : cached) print(p.frame, p.x, p.y);
    benchmark::DoNotOptimize(screen.data());
  }
  state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
}

using Body = std::function<void(benchmark::State&)>;

void Register(const std::string& name, Body body) {
  benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); });
}

// A printer that needs vector units the machine lacks is skipped.
void RegisterPrinter(const std::string& name, SceneKind kind, SpritePrinter print, int needs, bool wide = false) {
  Register(name, [=](benchmark::State& state) {
    const PrinterProcessor here = DetectPrinterProcessor();
    if ((needs == 1 && !here.hasAvx2) || (needs == 2 && !here.hasAvx512Vbmi))
      return state.SkipWithError(needs == 1 ? "no AVX2" : "no AVX-512 VBMI");
    PrintScene(state, kind, print, wide);
  });
}

void RegisterScene(const std::string& scene, SceneKind kind) {
  Register(scene + "/Baseline_RunCopy", [kind](benchmark::State& state) { RunCopy(state, kind); });
  Register(scene + "/RunMemcpy", [kind](benchmark::State& state) { RunMemcpy(state, kind); });
  Register(scene + "/FlatMemcpy", [kind](benchmark::State& state) { FlatMemcpy(state, kind); });
  RegisterPrinter(scene + "/Portable", kind, PrintSpriteFrameC, 0);
  RegisterPrinter(scene + "/Sse2", kind, PrintSpriteSse2, 0);
  RegisterPrinter(scene + "/Avx2", kind, PrintSpriteAvx2, 1);
  RegisterPrinter(scene + "/Avx512", kind, PrintSpriteAvx512, 2);
  Register(scene + "/Selected",
           [kind](benchmark::State& state) { PrintSelected(state, kind, DetectPrinterProcessor()); });
  Register(scene + "/Selected_Avx2Only", [kind](benchmark::State& state) {
    PrinterProcessor avx2Only = DetectPrinterProcessor();
    if (!avx2Only.hasAvx2) return state.SkipWithError("no AVX2");
    avx2Only.hasAvx512Vbmi = false;
    PrintSelected(state, kind, avx2Only);
  });
}

void RegisterMixedExtras() {
  RegisterPrinter("mixed/WidePortable", SceneKind::kMixed, PrintSpriteWideC, 0, true);
  RegisterPrinter("mixed/WideSse2", SceneKind::kMixed, PrintSpriteWideSse2, 0, true);
  RegisterPrinter("mixed/WideAvx2", SceneKind::kMixed, PrintSpriteWideAvx2, 1, true);
  RegisterPrinter("mixed/WideAvx512", SceneKind::kMixed, PrintSpriteWideAvx512, 2, true);
  Register("mixed/Frame16Portable", [](benchmark::State& state) { PrintCachedScene(state, PrintFrame16); });
  Register("mixed/Frame16Tuned", [](benchmark::State& state) { PrintCachedScene(state, PrintFrame16Tuned); });
  Register("mixed/WaterPortable", [](benchmark::State& state) {
    InitSpriteWaveTable();
    MaskPrintScene(state, PrintSpriteWaterC);
  });
  Register("mixed/WaterTuned", [](benchmark::State& state) {
    InitSpriteWaveTable();
    MaskPrintScene(state, PrintSpriteWaterSse2);
  });
  static const std::pair<const char*, int> kTypes[] = {{"Shadow", PRT_SHADOW},      {"Trans25", PRT_TRANS25},
                                                       {"Trans50", PRT_TRANS50},    {"Trans75", PRT_TRANS75},
                                                       {"Outline", PRT_OUTLINE},    {"Additive", PRT_INC},
                                                       {"Shimmer", PRT_SHIMMER},    {"OutlineGold", PRT_OUTLINE_GOLD},
                                                       {"Shimmer8", PRT_SHIMMER_8}, {"Black", PRT_BLACK},
                                                       {"Normal", PRT_NORMAL}};
  for (const auto& [name, type] : kTypes) {
    const int printType = type;
    Register(std::string("mixed/PrintType_") + name, [printType](benchmark::State& state) {
      // The print types that print plainly do so with the printer the game picks.
      SelectGamePrinters(DetectPrinterProcessor(), true);
      const Scene& scene = SceneOf(SceneKind::kMixed);
      std::vector<uint16_t>& screen = Screen();
      for (auto _ : state) {
        for (const Placed& p : scene.placed) PrintSpriteOfType(printType, p.frame, p.x, p.y, p.light, 0);
        benchmark::DoNotOptimize(screen.data());
      }
      state.SetBytesProcessed(state.iterations() * scene.pixelBytes);
    });
  }
}

// The print types with tuned printers, each schedule against the portable printer.
void RegisterTypePrinters() {
  struct Schedule {
    const char* name;
    const TypePrinterSet* printers;
    int needs;
  };
  static const Schedule kSchedules[] = {{"Portable", &kPortableTypePrinters, 0},
                                        {"Sse2", &kTypePrintersSse2, 0},
                                        {"Avx2", &kTypePrintersAvx2, 1},
                                        {"Avx512", &kTypePrintersAvx512, 2}};
  static const std::pair<const char*, SpritePrinter TypePrinterSet::*> kTypes[] = {
      {"Trans25", &TypePrinterSet::trans25},
      {"Trans50", &TypePrinterSet::trans50},
      {"Trans75", &TypePrinterSet::trans75},
      {"Additive", &TypePrinterSet::additive},
      {"Shimmer", &TypePrinterSet::shimmer}};
  for (const auto& [type, member] : kTypes)
    for (const Schedule& schedule : kSchedules)
      RegisterPrinter(std::string("mixed/") + type + "_" + schedule.name, SceneKind::kMixed, schedule.printers->*member,
                      schedule.needs);
}

const bool kRegistered = [] {
  RegisterScene("opaque", SceneKind::kOpaque);
  RegisterScene("mixed", SceneKind::kMixed);
  RegisterMixedExtras();
  RegisterTypePrinters();
  RegisterScene("creature", SceneKind::kCreature);
  return true;
}();

}  // namespace

VRASK_BENCH_MAIN()
