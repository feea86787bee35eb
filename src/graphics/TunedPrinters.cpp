#include "graphics/TunedPrinters.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/Options.h"
#include "graphics/BattleFacing.h"
#include "graphics/Frame16.h"
#include "graphics/RunWalk.h"
#include "graphics/TypeBlends.h"
#include "platform/Cpu.h"

using namespace printing;

namespace {

// The scalar printers look pixels up with LookUp (RunWalk.h); the vector printers live in
// units of their own (TunedPrintersAvx2.cpp, TunedPrintersAvx512.cpp), built for their units.

// The C library's copy already moves runs with the processor's widest stores; hand-made
// 16- and 32-byte loops measured slower on the short runs of sprites.
inline void CopyRun(uint16_t* out, const uint8_t* in, int count) {
  std::memcpy(out, in, 2 * static_cast<size_t>(count));
}

// The row walk of the tuned printers over a clipped frame. Unlike the portable printer they
// clip frames sideways whether or not the second target is set.
template <class Run>
PrintResult PrintRuns(CSpriteFrame frame, const FrameClip& clip, int pixelSize, Run run) {
  PrintVisibleRuns(frame, clip, false, pixelSize, run);
  return kPrintDone;
}

const ShadeTableList* NodeFor(CSpriteFrame frame, int listIndex) {
  return frame.Is16Bit() ? nullptr : ShadeListNode(frame.tables, listIndex);
}

}  // namespace

// The scalar printers clip the frame before they look for its table, as the portable one
// does: the same work, and the other order measured a tenth slower.
PrintResult PrintSpriteSse2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  const auto lookUp = [table](uint16_t* out, const uint8_t* in, int count) { LookUp(out, in, count, table); };
  if (clip.Horizontal()) return PrintRuns(frame, clip, 1, lookUp);
  PrintUncutRows(frame, clip, lookUp);
  return kPrintDone;
}

PrintResult PrintSpriteWideSse2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const ShadeTableList* node = NodeFor(frame, listIndex);
  if (!node) return kPrintDone;
  if (!node->wide) return PrintSpriteSse2(frame, x, y, light, listIndex);
  const uint32_t* table = node->WideTable(ShadeTableIndex(*node, light));
  return PrintRuns(frame, clip, 1,
                   [table](uint16_t* out, const uint8_t* in, int count) { LookUp(out, in, count, table); });
}

namespace {

// A run's looked-up pixels blended over the target: a loop of shifts, ands, adds and minima
// that the compiler vectorises, where the portable printers' one loop of look-up and blend
// cannot be.
template <BlendKind kKind>
void BlendRun(uint16_t* out, const uint16_t* pixels, int count, const BlendFormat& format) {
  for (int i = 0; i < count; ++i) out[i] = BlendPixel<kKind>(pixels[i], out[i], format);
}

template <BlendKind kKind>
PrintResult PrintBlendedSse2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  const BlendFormat format = CurrentBlendFormat();
  const auto blend = [table, &format](uint16_t* out, const uint8_t* in, int count) {
    uint16_t looked[256];  // a run is at most 255 pixels
    LookUp(looked, in, count, table);
    BlendRun<kKind>(out, looked, count, format);
  };
  if (clip.Horizontal()) return PrintRuns(frame, clip, 1, blend);
  PrintUncutRows(frame, clip, blend);
  return kPrintDone;
}

PrintResult PrintShimmerSse2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  const bool cut = clip.Horizontal();
  const int tick = BattleState().gameTick;
  for (int row = clip.firstRow; row < clip.endRow; ++row) {
    const int shift = ShimmerShift(clip.top + row, tick, cut);
    uint16_t* target = TargetRow(clip.top + row) + clip.left + shift;
    // Pixels shifted onto or past the clip rectangle's right edge are dropped.
    const int dropFrom = g_clipRight - clip.left - shift;
    const uint8_t* pixels = frame.RowPixels(row);
    WalkClippedRuns(frame.RowControls(row), clip.width, clip.firstCol, clip.endCol,
                    [&](int column, int pixel, int count) {
                      LookUp(target + column, pixels + pixel, std::min(count, dropFrom - column), table);
                    });
  }
  return kPrintDone;
}

}  // namespace

const TypePrinterSet kTypePrintersSse2 = {PrintBlendedSse2<BlendKind::kTrans25>, PrintBlendedSse2<BlendKind::kTrans50>,
                                          PrintBlendedSse2<BlendKind::kTrans75>, PrintBlendedSse2<BlendKind::kAdditive>,
                                          PrintShimmerSse2};

PrintResult PrintSpriteWaterSse2(CSpriteFrame frame, int x, int y) {
  return PrintWaterRows(frame, x, y, [](uint16_t* target, int start, int count, int shift) {
    // Pixels whose source lies inside the clip move as one block; the rest take the last
    // column's pixel.
    const int lastColumn = g_clipRight - 1;
    const int moved = std::clamp(lastColumn - shift - start + 1, 0, count);
    std::memmove(target + start, target + start + shift, 2 * static_cast<size_t>(moved));
    std::fill(target + start + moved, target + start + count, target[lastColumn]);
  });
}

PrintResult PrintFrame16Tuned(CSpriteFrame frame, int x, int y) {
  if (!frame || !frame.Is16Bit()) return kPrintDone;
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  return PrintRuns(frame, clip, 2, [](uint16_t* out, const uint8_t* in, int count) { CopyRun(out, in, count); });
}

PrinterProcessor DetectPrinterProcessor() {
  const platform::VectorUnits units = platform::ReadVectorUnits();
  PrinterProcessor processor;
  processor.hasAvx2 = units.avx2;
  processor.hasAvx512Vbmi = units.avx512Vbmi;
  return processor;
}

namespace {

// The vector printers the units give (main, wide and the print types'), or null when they
// give none.
struct VectorPrinters {
  SpritePrinter main = nullptr, wide = nullptr;
  const TypePrinterSet* types = nullptr;
};
VectorPrinters VectorPrintersFor(const PrinterProcessor& processor) {
  if (processor.hasAvx512Vbmi) return {PrintSpriteAvx512, PrintSpriteWideAvx512, &kTypePrintersAvx512};
  if (processor.hasAvx2) return {PrintSpriteAvx2, PrintSpriteWideAvx2, &kTypePrintersAvx2};
  return {};
}

// A figure like a creature's (a body with a gap, a ragged edge, a thin limb) encoded as
// a frame of 8-bit pixels, for timing the printers.
std::vector<uint8_t> TimingFrame() {
  constexpr int kWidth = 48, kHeight = 48;
  auto opaque = [](int x, int y) {
    const int dx = x - 22, dy = y - 24;
    const bool body = dx * dx * 22 * 22 + dy * dy * 18 * 18 <= 18 * 18 * 22 * 22;
    const bool gap = x >= 28 && x < 31 && y >= 12 && y < 30;
    const bool fringe = x < 10 && (x + y) % 2 == 0;
    const bool limb = x >= 42 && x < 44 && y >= 8 && y < 44;
    return (body && !gap && !fringe) || limb;
  };
  std::vector<uint8_t> controls, pixels;
  std::vector<int> rowControls, rowPixels;
  for (int y = 0; y < kHeight; ++y) {
    rowControls.push_back(static_cast<int>(controls.size()));
    rowPixels.push_back(static_cast<int>(pixels.size()));
    for (int x = 0; x < kWidth;) {
      int skip = 0, count = 0;
      while (x + skip < kWidth && !opaque(x + skip, y)) ++skip;
      while (x + skip + count < kWidth && opaque(x + skip + count, y)) ++count;
      controls.push_back(static_cast<uint8_t>(skip));
      x += skip;
      if (x >= kWidth) break;
      controls.push_back(static_cast<uint8_t>(count));
      for (int i = 0; i < count; ++i) pixels.push_back(static_cast<uint8_t>((x + i) * 5 + y * 3));
      x += count;
    }
  }
  const int controlStart = CSpriteFrame::kHeaderSize + 8 * kHeight;
  const int pixelStart = controlStart + static_cast<int>(controls.size());
  std::vector<uint8_t> frame(static_cast<size_t>(pixelStart) + pixels.size(), 0);
  StoreI32(frame.data() + CSpriteFrame::kWidth, kWidth);
  StoreI32(frame.data() + CSpriteFrame::kHeight, kHeight);
  StoreI32(frame.data() + CSpriteFrame::kEnd, static_cast<int32_t>(frame.size()));
  for (int y = 0; y < kHeight; ++y) {
    StoreI32(frame.data() + CSpriteFrame::kRowTable + 8 * y, controlStart + rowControls[static_cast<size_t>(y)]);
    StoreI32(frame.data() + CSpriteFrame::kRowTable + 8 * y + 4, pixelStart + rowPixels[static_cast<size_t>(y)]);
  }
  std::copy(controls.begin(), controls.end(), frame.begin() + controlStart);
  std::copy(pixels.begin(), pixels.end(), frame.begin() + pixelStart);
  return frame;
}

// The fewest cycles a few prints of the frame took with the printer, over several tries.
uint64_t BestCycles(SpritePrinter printer, CSpriteFrame frame) {
  constexpr int kTries = 8, kPrints = 4;
  uint64_t best = UINT64_MAX;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const uint64_t before = platform::ReadTimeStampCounter();
    for (int n = 0; n < kPrints; ++n) printer(frame, 40 + 8 * n, 40, -20, 0);
    const uint64_t after = platform::ReadTimeStampCounter();
    if (after >= before) best = std::min(best, after - before);
  }
  return best;
}

}  // namespace

namespace {

// True when the first printer takes longer than the second over a figure like a creature's,
// printed into a scratch target; the print target is borrowed and given back as it was.
bool TimesSlower(SpritePrinter first, SpritePrinter second) {
  ShadeTableList table;
  table.Allocate(1, false);
  for (int i = 0; i < 256; ++i) table.tables[static_cast<size_t>(i)] = static_cast<uint16_t>(i * 257);
  const std::vector<uint8_t> bytes = TimingFrame();
  const CSpriteFrame frame{bytes.data(), &table};
  uint16_t* const target = g_spriteTarget;
  const int pitch = g_spritePitch, rows = g_spriteRows;
  const int clip[4] = {g_clipTop, g_clipLeft, g_clipRight, g_clipBottom};
  std::vector<uint16_t> scratch(128 * 128);
  SetSpriteTarget(scratch.data(), 128, 128);
  SetSpriteClipRect(0, 0, 128, 128);
  uint64_t firstBest = UINT64_MAX, secondBest = UINT64_MAX;
  for (int round = 0; round < 2; ++round) {  // the first round warms both up
    firstBest = BestCycles(first, frame);
    secondBest = BestCycles(second, frame);
  }
  SetSpriteTarget(target, pitch, rows);
  SetSpriteClipRect(clip[0], clip[1], clip[2], clip[3]);
  return firstBest > secondBest;
}

}  // namespace

bool VectorPrintersAreSlower(const PrinterProcessor& processor) {
  const VectorPrinters vector = VectorPrintersFor(processor);
  return vector.main && TimesSlower(vector.main, PrintSpriteSse2);
}

bool ScalarPrinterIsSlower() { return TimesSlower(PrintSpriteSse2, PrintSpriteFrameC); }

void SelectSpritePrinters(const PrinterProcessor& processor) {
  const VectorPrinters vector = processor.vectorPrintersSlower ? VectorPrinters{} : VectorPrintersFor(processor);
  const SpritePrinter scalar = processor.scalarPrinterSlower ? PrintSpriteFrameC : PrintSpriteSse2;
  g_printSprite = vector.main ? vector.main : scalar;
  g_printSpriteAlt = vector.wide ? vector.wide : PrintSpriteWideSse2;
  g_printSpriteWater = PrintSpriteWaterSse2;
  g_printFrame16 = PrintFrame16Tuned;
  g_typePrinters = vector.types ? *vector.types : kTypePrintersSse2;
  if (g_useCSpritePrinter) g_printSprite = PrintSpriteFrameC;
  if (g_useCSpritePrinter) g_typePrinters = kPortableTypePrinters;
}

void CopyToSpriteTarget() {
  const CBattleSharedState& battle = BattleState();
  if (!battle.secondTarget || !battle.secondTargetOrigin || !g_spriteTarget || g_spritePitch <= 0 || g_spriteRows <= 0)
    return;
  const ptrdiff_t stride =
      static_cast<ptrdiff_t>(g_spritePitch) + 2 * static_cast<ptrdiff_t>(battle.secondTargetMargin);
  const ptrdiff_t start = battle.secondTargetOrigin - battle.secondTarget;
  const ptrdiff_t size = static_cast<ptrdiff_t>(battle.secondTargetSize);
  if (start < 0 || stride < g_spritePitch) return;
  for (int row = 0; row < g_spriteRows; ++row) {
    const ptrdiff_t from = start + row * stride;
    if (from + g_spritePitch > size) break;
    std::memcpy(g_spriteTarget + static_cast<ptrdiff_t>(row) * g_spritePitch, battle.secondTarget + from,
                2 * static_cast<size_t>(g_spritePitch));
  }
}
