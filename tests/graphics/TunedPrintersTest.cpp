#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "GraphicsFixtures.h"
#include "PrintFixture.h"
#include "core/Options.h"
#include "graphics/BattleFacing.h"
#include "graphics/BlitBenchmark.h"
#include "graphics/ColourTables.h"
#include "graphics/Frame16.h"
#include "graphics/PrintFX.h"
#include "graphics/TunedPrinters.h"
#include "graphics/TypePrinters.h"

using namespace print_test;

namespace {

struct Variant {
  const char* name;
  SpritePrinter tuned;
  SpritePrinter portable;
  int needs;  // 0 nothing, 1 AVX2, 2 AVX-512 VBMI
};

const Variant kVariants[] = {
    {"main sse2", PrintSpriteSse2, PrintSpriteFrameC, 0},
    {"main avx2", PrintSpriteAvx2, PrintSpriteFrameC, 1},
    {"main avx512", PrintSpriteAvx512, PrintSpriteFrameC, 2},
    {"wide sse2", PrintSpriteWideSse2, PrintSpriteWideC, 0},
    {"wide avx2", PrintSpriteWideAvx2, PrintSpriteWideC, 1},
    {"wide avx512", PrintSpriteWideAvx512, PrintSpriteWideC, 2},
};

// Frames of every shape the printers meet: long runs (past 16 and 255), single pixels,
// holes, a frame wider than any clip, a one-row sliver.
std::vector<Frame> Frames() {
  std::vector<Frame> frames;
  frames.emplace_back(Blob(37, 29), 18, 14);
  forge::Canvas runs(300, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 300; ++x)
      if ((x / (y + 3)) % 5 != 0) runs.Set(x, y, (x * 31 + y) % 256);
  frames.emplace_back(runs, 150, 2);
  forge::Canvas dots(17, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = y % 2; x < 17; x += 2) dots.Set(x, y, 255 - x);
  frames.emplace_back(dots, 0, 0);
  forge::Canvas blocks(200, 4);
  const int lengths[4] = {64, 65, 127, 128};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < lengths[y]; ++x) blocks.Set(x + y, y, (x * 5 + y) % 256);
  frames.emplace_back(blocks, 100, 2);
  forge::Canvas sliver(64, 1);
  sliver.Fill(255);
  frames.emplace_back(sliver, 32, 0);
  // Runs around the vector printers' block and word sizes, across a word's end (65 wide).
  forge::Canvas edges(65, 10);
  const int counts[10] = {1, 2, 3, 5, 31, 32, 33, 63, 64, 65};
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < counts[y]; ++x) edges.Set((y * 7 + x) % 65, y, (x * 13 + y * 3) % 256);
  frames.emplace_back(edges, 30, 5);
  // Runs around the AVX2 printer's lengths: a pixel at a time below eight, gathers of eight
  // and sixteen from there, the last block overlapping; the last run ends the frame's pixels.
  forge::Canvas gathers(40, 12);
  const int gatherCounts[12] = {4, 6, 7, 8, 9, 15, 16, 17, 23, 24, 25, 5};
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < gatherCounts[y]; ++x) gathers.Set(39 - gatherCounts[y] + x, y, (x * 29 + y * 11) % 256);
  frames.emplace_back(gathers, 20, 6);
  // Wider than the AVX-512 printer takes on (it hands such frames to the scalar one).
  forge::Canvas wide(2100, 2);
  for (int x = 0; x < 2100; ++x)
    if (x % 97 < 90) wide.Set(x, x % 2, x % 256);
  frames.emplace_back(wide, 1050, 1);
  return frames;
}

// The tuned printers clip sideways whether or not the second target is set: they print what
// the portable printer prints without it.
TEST(TunedPrinters, GiveThePortablePixels) {
  const PrinterProcessor processor = DetectPrinterProcessor();
  std::array<uint8_t, 768> palette{};
  for (int i = 0; i < 768; ++i) palette[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
  ShadeTableList* list = nullptr;
  ASSERT_TRUE(BuildTablesNormal(16, &list, palette.data()));
  ASSERT_TRUE(BuildWideTablesNormal(16, &list->next, palette.data()));
  const int clips[][4] = {{0, 0, 96, 64}, {5, 7, 90, 60}, {20, 30, 40, 31}, {0, 0, 0, 0}};
  const int places[][2] = {{48, 32}, {0, 0}, {95, 63}, {20, 30}, {-10, 40}, {100, 10}, {70, 62}, {48, -3}};
  int compared = 0;
  for (const Variant& v : kVariants) {
    if ((v.needs == 1 && !processor.hasAvx2) || (v.needs == 2 && !processor.hasAvx512Vbmi)) continue;
    for (const Frame& frame : Frames())
      for (const auto& clip : clips)
        for (const auto& place : places)
          for (int light : {-128, -127, -40, 0, 15, 127})
            for (int index : {0, 1, 2})
              for (bool second : {false, true}) {
                Target portable(96, 64), tuned(96, 64);
                SetSpriteTarget(portable.pixels.data(), 96, 64);
                SetSpriteClipRect(clip[0], clip[1], clip[2], clip[3]);
                const PrintResult a = v.portable(frame.View(list), place[0], place[1], light, index);
                SetSpriteTarget(tuned.pixels.data(), 96, 64);
                uint16_t secondBuffer = 0;
                BattleState().secondTarget = second ? &secondBuffer : nullptr;
                const PrintResult b = v.tuned(frame.View(list), place[0], place[1], light, index);
                BattleState().secondTarget = nullptr;
                ASSERT_EQ(tuned.pixels, portable.pixels) << v.name << " light " << light << " at " << place[0] << ","
                                                         << place[1] << " list " << index << " second " << second;
                EXPECT_EQ(a, b);
                ++compared;
              }
  }
  EXPECT_GT(compared, 0);
  FreeLinkedList(list);
}

// Runs cut by the clip rectangle on both sides to every length where a tuned kernel changes
// its steps (a pixel, two, three, around eight, sixteen, thirty-two and sixty-four), and
// runs cut on one side only, starting and ending at every column of a 64-column word.
TEST(TunedPrinters, RunsClippedToEveryKernelLengthGiveThePortablePixels) {
  const PrinterProcessor processor = DetectPrinterProcessor();
  TableList list;
  forge::Canvas band(120, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 120; ++x)
      if (y != 1 || x % 9 != 4) band.Set(x, y, (x * 37 + y * 5) % 256);
  const Frame frame(band, 0, 0);
  int compared = 0;
  for (const Variant& v : kVariants) {
    if ((v.needs == 1 && !processor.hasAvx2) || (v.needs == 2 && !processor.hasAvx512Vbmi)) continue;
    for (int length : {1, 2, 3, 4, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 63, 64, 65, 100})
      for (int left : {5, 31, 64}) {
        const int shifts[] = {-1 - 3 * length % 7, -left, -left + length - 1};
        for (const int shift : shifts) {
          Target portable(200, 8), tuned(200, 8);
          SetSpriteTarget(portable.pixels.data(), 200, 8);
          SetSpriteClipRect(1, left, left + length, 7);
          const PrintResult a = v.portable(frame.View(list.head), left + shift, 2, 0, 0);
          SetSpriteTarget(tuned.pixels.data(), 200, 8);
          const PrintResult b = v.tuned(frame.View(list.head), left + shift, 2, 0, 0);
          ASSERT_EQ(tuned.pixels, portable.pixels) << v.name << " length " << length << " left " << left
                                                   << " shift " << shift;
          EXPECT_EQ(a, b);
          ++compared;
        }
      }
  }
  EXPECT_GT(compared, 0);
}

// The print types with tuned printers, and each schedule of them with the units it needs.
const std::pair<const char*, SpritePrinter TypePrinterSet::*> kTunedTypes[] = {{"trans25", &TypePrinterSet::trans25},
                                                                               {"trans50", &TypePrinterSet::trans50},
                                                                               {"trans75", &TypePrinterSet::trans75},
                                                                               {"additive", &TypePrinterSet::additive},
                                                                               {"shimmer", &TypePrinterSet::shimmer}};

struct TypeSchedule {
  const char* name;
  const TypePrinterSet* printers;
  int needs;  // as Variant::needs
};
const TypeSchedule kTypeSchedules[] = {
    {"sse2", &kTypePrintersSse2, 0}, {"avx2", &kTypePrintersAvx2, 1}, {"avx512", &kTypePrintersAvx512, 2}};

// A frame of random runs, as wide as the vector printers' words and their edges, wider than
// the target, or wider than the AVX-512 printers take on; runs of every length (past a
// byte's 255 too) and gaps, any hotspot.
Frame RandomFrame(std::mt19937& random) {
  static const int kWidths[] = {1, 5, 17, 40, 63, 64, 65, 100, 127, 128, 129, 200, 300, 2100};
  const int width = kWidths[random() % std::size(kWidths)];
  const int height = width > 300 ? 2 : 1 + static_cast<int>(random() % 12);
  forge::Canvas canvas(width, height);
  for (int y = 0; y < height; ++y) {
    // Runs and gaps of a row share a scale: rows of single pixels, of short runs, of long ones.
    const int scale = 1 + static_cast<int>(random() % (random() % 2 ? 8 : 320));
    for (int x = static_cast<int>(random() % (scale + 1)); x < width;) {
      const int run = 1 + static_cast<int>(random() % scale);
      for (int i = 0; i < run && x < width; ++i, ++x) canvas.Set(x, y, static_cast<int>(random() % 256));
      x += static_cast<int>(random() % (scale + 1));
    }
  }
  return Frame(canvas, static_cast<int>(random() % width), static_cast<int>(random() % height));
}

// Every tuned print-type printer this machine can run prints the portable printer's pixels
// over random frames, targets, clip rectangles, places, lights, list indexes (one past the
// list's end too) and game ticks, on both pixel formats; the colour tables hold any 16-bit
// values, so blends meet every channel's carry and saturation.
TEST(TunedPrinters, PrintTypesGiveThePortablePixels) {
  const PrinterProcessor processor = DetectPrinterProcessor();
  std::mt19937 random(59);
  constexpr int kWidth = 160, kRows = 48, kLists = 3;
  TableList list(kLists);
  for (ShadeTableList* node = list.head; node; node = node->next)
    for (uint16_t& entry : node->tables) entry = static_cast<uint16_t>(random());
  int compared = 0;
  for (bool is555 : {false, true}) {
    graphics_test::PixelFormatScope format(is555);
    for (int trial = 0; trial < 300; ++trial) {
      const Frame frame = RandomFrame(random);
      std::vector<uint16_t> before(static_cast<size_t>(kWidth) * kRows);
      for (uint16_t& pixel : before) pixel = static_cast<uint16_t>(random());
      const int clipLeft = static_cast<int>(random() % 40), clipTop = static_cast<int>(random() % 12);
      const int clipRight = kWidth - static_cast<int>(random() % 40),
                clipBottom = kRows - static_cast<int>(random() % 12);
      const int width = frame.canvas.Width();
      int x = static_cast<int>(random() % (kWidth + width)) - width + frame.hotspotX;
      // A quarter of the frames end just inside the clip rectangle, where the shimmer's
      // displacement carries pixels past its right edge.
      if (random() % 4 == 0) x = clipRight - static_cast<int>(random() % 8) - width + frame.hotspotX;
      const int y = static_cast<int>(random() % (kRows + 12)) - 6;
      const int light = static_cast<int>(random() % 256) - 128;
      const int index = static_cast<int>(random() % (kLists + 1));
      BattleState().gameTick = static_cast<int>(random() % 1000);
      for (const auto& [type, member] : kTunedTypes)
        for (const TypeSchedule& schedule : kTypeSchedules) {
          if ((schedule.needs == 1 && !processor.hasAvx2) || (schedule.needs == 2 && !processor.hasAvx512Vbmi))
            continue;
          Target portable(kWidth, kRows), tuned(kWidth, kRows);
          portable.pixels = tuned.pixels = before;
          SetSpriteTarget(portable.pixels.data(), kWidth, kRows);
          SetSpriteClipRect(clipTop, clipLeft, clipRight, clipBottom);
          const PrintResult a = (kPortableTypePrinters.*member)(frame.View(list.head), x, y, light, index);
          SetSpriteTarget(tuned.pixels.data(), kWidth, kRows);
          const PrintResult b = (schedule.printers->*member)(frame.View(list.head), x, y, light, index);
          ASSERT_EQ(tuned.pixels, portable.pixels)
              << type << " " << schedule.name << (is555 ? " 5-5-5" : " 5-6-5") << " trial " << trial << ": " << width
              << "x" << frame.canvas.Height() << " at " << x << "," << y << " clip " << clipLeft << "," << clipTop
              << "-" << clipRight << "," << clipBottom << " light " << light << " list " << index;
          EXPECT_EQ(a, b);
          ++compared;
        }
    }
  }
  BattleState().gameTick = 0;
  EXPECT_GT(compared, 0);
}

TEST(TunedPrinters, SixteenBitAndWaterGiveThePortablePixels) {
  TableList list;
  InitSpriteWaveTable();
  for (const Frame& frame : Frames()) {
    std::vector<uint8_t> copy(ShadedFrameSize(frame.View(list.head)));
    ASSERT_EQ(ShadeFrameToCache(frame.View(list.head), copy.data(), copy.size(), 0, 0), 0);
    const CSpriteFrame frame16{copy.data(), nullptr};
    for (const auto& place : {std::array<int, 2>{48, 32}, {5, 5}, {90, 60}, {-4, 30}, {60, 1}}) {
      for (int tick : {0, 3, 250}) {
        BattleState().gameTick = tick;
        MaskPrinter printers[][2] = {{PrintFrame16, PrintFrame16Tuned}, {PrintSpriteWaterC, PrintSpriteWaterSse2}};
        for (auto& pair : printers) {
          const CSpriteFrame f = pair[0] == PrintSpriteWaterC ? frame.View(list.head) : frame16;
          Target portable(96, 64), tuned(96, 64);
          for (size_t i = 0; i < portable.pixels.size(); ++i)
            portable.pixels[i] = tuned.pixels[i] = static_cast<uint16_t>(i * 13);
          SetSpriteTarget(portable.pixels.data(), 96, 64);
          SetSpriteClipRect(2, 3, 93, 62);
          const PrintResult a = pair[0](f, place[0], place[1]);
          SetSpriteTarget(tuned.pixels.data(), 96, 64);
          const PrintResult b = pair[1](f, place[0], place[1]);
          ASSERT_EQ(tuned.pixels, portable.pixels) << place[0] << "," << place[1] << " tick " << tick;
          EXPECT_EQ(a, b);
        }
      }
    }
  }
  BattleState().gameTick = 0;
}

// The printer pointers as they were, put back at the end of a test.
struct SavedPrinters {
  SpritePrinter main = g_printSprite, wide = g_printSpriteAlt;
  MaskPrinter water = g_printSpriteWater, frame16 = g_printFrame16;
  TypePrinterSet types = g_typePrinters;
  int option = g_useCSpritePrinter;
  ~SavedPrinters() {
    g_typePrinters = types;
    g_printSprite = main;
    g_printSpriteAlt = wide;
    g_printSpriteWater = water;
    g_printFrame16 = frame16;
    g_useCSpritePrinter = option;
  }
};

TEST(TunedPrinters, SelectionFollowsTheUnitsTheTimingAndTheOption) {
  SavedPrinters saved;
  struct Case {
    PrinterProcessor processor;
    int option;
    SpritePrinter main, wide;
    const TypePrinterSet* types;
  };
  const Case cases[] = {
      {{false, false, false}, 0, PrintSpriteSse2, PrintSpriteWideSse2, &kTypePrintersSse2},
      {{true, false, false}, 0, PrintSpriteAvx2, PrintSpriteWideAvx2, &kTypePrintersAvx2},
      {{true, true, false}, 0, PrintSpriteAvx512, PrintSpriteWideAvx512, &kTypePrintersAvx512},
      // Vector printers timed slower here: the scalar ones, which print the same pixels.
      {{true, false, true}, 0, PrintSpriteSse2, PrintSpriteWideSse2, &kTypePrintersSse2},
      {{true, true, true}, 0, PrintSpriteSse2, PrintSpriteWideSse2, &kTypePrintersSse2},
      // UseCSpritePrinter puts the portable printers in the main pointer and the print types.
      {{true, false, false}, 1, PrintSpriteFrameC, PrintSpriteWideAvx2, &kPortableTypePrinters},
      {{true, true, false}, 1, PrintSpriteFrameC, PrintSpriteWideAvx512, &kPortableTypePrinters},
  };
  for (const Case& c : cases) {
    g_useCSpritePrinter = c.option;
    SelectSpritePrinters(c.processor);
    EXPECT_EQ(g_printSprite, c.main);
    EXPECT_EQ(g_printSpriteAlt, c.wide);
    EXPECT_EQ(g_printSpriteWater, &PrintSpriteWaterSse2);
    EXPECT_EQ(g_printFrame16, &PrintFrame16Tuned);
    EXPECT_TRUE(g_typePrinters == *c.types) << "AVX2 " << c.processor.hasAvx2 << " option " << c.option;
  }
}

// Every choice this machine can make (AVX-512 and AVX2 masked off in turn), printed through
// the pointers as the game prints (the print types through PrintSpriteOfType), gives the
// portable printers' pixels.
// The print types PrintSpriteOfType prints through the tuned printers, with their printers.
const std::pair<int, SpritePrinter TypePrinterSet::*> kTypesAndPrinters[] = {{PRT_TRANS25, &TypePrinterSet::trans25},
                                                                             {PRT_TRANS50, &TypePrinterSet::trans50},
                                                                             {PRT_TRANS75, &TypePrinterSet::trans75},
                                                                             {PRT_INC, &TypePrinterSet::additive},
                                                                             {PRT_SHIMMER, &TypePrinterSet::shimmer}};

TEST(TunedPrinters, EveryChoiceThisMachineHasGivesThePortablePixels) {
  SavedPrinters saved;
  const PrinterProcessor here = DetectPrinterProcessor();
  std::vector<PrinterProcessor> choices = {PrinterProcessor{}};
  if (here.hasAvx2) choices.push_back({true, false, false});
  if (here.hasAvx512Vbmi) choices.push_back({true, true, false});
  std::array<uint8_t, 768> palette{};
  for (int i = 0; i < 768; ++i) palette[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 11);
  ShadeTableList* list = nullptr;
  ASSERT_TRUE(BuildTablesNormal(16, &list, palette.data()));
  ASSERT_TRUE(BuildWideTablesNormal(16, &list->next, palette.data()));
  g_useCSpritePrinter = 0;
  for (const PrinterProcessor& choice : choices) {
    SelectSpritePrinters(choice);
    for (const Frame& frame : Frames())
      for (const auto& place : {std::array<int, 2>{150, 40}, {3, 5}, {290, 78}, {-20, 30}})
        for (int light : {-100, 0, 60}) {
          Target portable(300, 80), chosen(300, 80);
          SetSpriteTarget(portable.pixels.data(), 300, 80);
          SetSpriteClipRect(2, 4, 296, 77);
          PrintSpriteFrameC(frame.View(list), place[0], place[1], light, 0);
          PrintSpriteWideC(frame.View(list), place[0], place[1] + 3, light, 1);
          for (const auto& [type, member] : kTypesAndPrinters)
            (kPortableTypePrinters.*member)(frame.View(list), place[0] + type % 7, place[1] + type % 5, light, 0);
          SetSpriteTarget(chosen.pixels.data(), 300, 80);
          SetSpriteClipRect(2, 4, 296, 77);
          PrintSpriteFrame(frame.View(list), place[0], place[1], light, 0);
          g_printSpriteAlt(frame.View(list), place[0], place[1] + 3, light, 1);
          for (const auto& [type, member] : kTypesAndPrinters)
            PrintSpriteOfType(type, frame.View(list), place[0] + type % 7, place[1] + type % 5, light, 0);
          ASSERT_EQ(chosen.pixels, portable.pixels) << "AVX2 " << choice.hasAvx2 << " AVX-512 " << choice.hasAvx512Vbmi
                                                    << " at " << place[0] << "," << place[1] << " light " << light;
        }
  }
  FreeLinkedList(list);
}

TEST(TunedPrinters, TimingTheVectorPrintersLeavesThePrintTargetAsItWas) {
  Target target(40, 30);
  SetSpriteClipRect(3, 4, 35, 25);
  EXPECT_FALSE(VectorPrintersAreSlower(PrinterProcessor{}));  // nothing to time
  const PrinterProcessor here = DetectPrinterProcessor();
  VectorPrintersAreSlower(here);
  ScalarPrinterIsSlower();
  EXPECT_EQ(g_spriteTarget, target.pixels.data());
  EXPECT_EQ(g_spritePitch, 40);
  EXPECT_EQ(g_spriteRows, 30);
  EXPECT_EQ(g_clipTop, 3);
  EXPECT_EQ(g_clipLeft, 4);
  EXPECT_EQ(g_clipRight, 35);
  EXPECT_EQ(g_clipBottom, 25);
  EXPECT_EQ(std::count(target.pixels.begin(), target.pixels.end(), kBackground), 40 * 30);
}

TEST(BufferCopy, CopiesTheVisibleRowsAndStopsAtTheBuffer) {
  // The sizes the program sets: the screen with the battle's margins, and a tiny one.
  for (auto [width, height, margin] : {std::array<int, 3>{8, 3, 2}, {640, 480, 96}, {800, 600, 96}}) {
    const int rowLength = width + 2 * margin;
    std::vector<uint16_t> second(static_cast<size_t>(rowLength) * (height + 2 * margin));
    for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<uint16_t>(i * 7);
    Target target(width, height);
    SetSecondTarget(second.data(), width, height, margin);
    CopyToSpriteTarget();
    bool same = true;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        same &= target.At(x, y) == second[static_cast<size_t>(y + margin) * rowLength + margin + x];
    EXPECT_TRUE(same) << width << "x" << height;
    SetSecondTarget(nullptr, 0, 0, 0);
  }
  // A buffer two rows short: only the rows inside it are copied.
  std::vector<uint16_t> second(12 * 4);
  for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<uint16_t>(i);
  Target target(8, 3);
  SetSecondTarget(second.data(), 8, 3, 2);
  BattleState().secondTargetOrigin = second.data() + 12 + 2;
  BattleState().secondTargetSize = 12 * 3;
  CopyToSpriteTarget();
  EXPECT_EQ(target.At(0, 1), 12 * 2 + 2);
  EXPECT_EQ(target.At(0, 2), kBackground);
  SetSecondTarget(nullptr, 0, 0, 0);
  EXPECT_EQ(BattleState().secondTargetSize, 0u);
}

TEST(BlitBenchmark, KeepsTheBestCountsAndNeverDividesByZero) {
  static uint64_t clock;
  static int calls;
  clock = 1000;
  calls = 0;
  g_readCycleCounter = [] {
    ++calls;
    // Every print takes 50 cycles, except that the tuned printer is "free".
    return clock += calls > 40 ? 0 : 50;
  };
  struct ShowingBattle : IBattleFacing {
    void ShowBlitBenchmark(int difference, int percent) override {
      shown[0] = difference;
      shown[1] = percent;
    }
    int shown[2] = {-1, -1};
  } battle;
  HookScope<IBattleFacing> scope(g_battleFacing, battle);
  int* shown = battle.shown;
  TableList list;
  Frame frame(Blob(20, 20), 0, 0);
  std::vector<uint16_t> back(640 * 480);
  g_blitBenchmarkMinimum[0] = g_blitBenchmarkMinimum[1] = 0xFFFFFFFFu;
  EXPECT_EQ(BenchmarkBlit(back.data(), 640, 480, frame.View(list.head)), 50);
  EXPECT_EQ(g_blitBenchmarkMinimum[0], 50u);
  EXPECT_EQ(g_blitBenchmarkMinimum[1], 0u);
  EXPECT_EQ(shown[0], 50);
  EXPECT_EQ(shown[1], 0);
  EXPECT_EQ(BenchmarkBlit(back.data(), 640, 480, CSpriteFrame{}), 0);  // nothing to shade
  g_readCycleCounter = [] { return static_cast<uint64_t>(0); };
  SetSpriteTarget(nullptr, 0, 0);
}

}  // namespace
