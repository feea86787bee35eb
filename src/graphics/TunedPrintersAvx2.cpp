// The colour-table printers for processors with AVX2. AVX2 has no byte permute across a
// 256-entry table (byte-shuffle slices of it measured slower than plain loads), but it
// gathers: pixels are looked up sixteen or eight at a time as the 32-bit words at their
// 16-bit entries (the tables keep spare entries after the last, so the word of entry 255
// stays inside them), cut to their 16-bit halves. A run of eight or more takes whole
// gathers, the last one overlapping the one before; a shorter one is looked up a pixel at a
// time, unrolled by its length, as a gather of eight would cost more and a loop over its
// pixels would mispredict its end (the runs of sprites are short and of every length).
// The print types look each run up the same way, into a buffer that is then blended over
// the target (the translucent and additive types) or that already is the moved row's place
// (the shimmer). Everything in this unit is built for AVX2 (the pragma below) except the printers' entry
// points.

#include <immintrin.h>

#include <algorithm>
#include <cstdint>

#include "graphics/RunWalk.h"
#include "graphics/TunedPrinters.h"
#include "graphics/TypeBlends.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace {

constexpr int kBlock = 8;

// The pixels of the eight indexes at in.
inline __m128i LookUpEight(const uint8_t* in, const int* table) {
  const __m256i index = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in)));
  const __m256i words = _mm256_and_si256(_mm256_i32gather_epi32(table, index, 2), _mm256_set1_epi32(0xFFFF));
  return _mm_packus_epi32(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

// A run of fewer than eight pixels, each looked up on its own. (A jump table on the count
// measured slower than these tests.)
inline void LookUpShortRun(uint16_t* out, const uint8_t* in, int count, const uint16_t* table) {
  if (count <= 0) return;
  out[0] = table[in[0]];
  if (count >= 2) out[1] = table[in[1]];
  if (count >= 3) out[2] = table[in[2]];
  if (count >= 4) out[3] = table[in[3]];
  if (count >= 5) out[4] = table[in[4]];
  if (count >= 6) out[5] = table[in[5]];
  if (count >= 7) out[6] = table[in[6]];
}

// The pixels of the sixteen indexes at in. Each pair of index bytes, widened to 32 bits,
// gives the even pixel's index in its low byte and the odd one's in the next; the even
// gather's words keep their pixel in the low half, the odd gather's move theirs to the
// high half, and one blend of 16-bit halves puts the sixteen in order.
inline __m256i LookUpSixteen(const uint8_t* in, const int* table) {
  const __m256i pairs = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)));
  const __m256i even = _mm256_i32gather_epi32(table, _mm256_and_si256(pairs, _mm256_set1_epi32(0xFF)), 2);
  const __m256i odd = _mm256_i32gather_epi32(table, _mm256_srli_epi32(pairs, 8), 2);
  return _mm256_blend_epi16(even, _mm256_slli_epi32(odd, 16), 0xAA);
}

// A run of at least a block: gathers of sixteen while sixteen remain, then at most two of
// eight, the last one ending at the run's end (it may write some pixels a second time, with
// the same values). Eights for the rest measured faster than one sixteen overlapping back.
inline void LookUpLongRun(uint16_t* out, const uint8_t* in, int count, const uint16_t* table) {
  const int* words = reinterpret_cast<const int*>(table);
  int done = 0;
  for (; done + 2 * kBlock <= count; done += 2 * kBlock)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + done), LookUpSixteen(in + done, words));
  if (count - done > kBlock) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), LookUpEight(in + done, words));
  if (done < count)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + count - kBlock), LookUpEight(in + count - kBlock, words));
}

inline void LookUpRun(uint16_t* out, const uint8_t* in, int count, const uint16_t* table) {
  if (count >= kBlock)
    LookUpLongRun(out, in, count, table);
  else
    LookUpShortRun(out, in, count, table);
}

// Frames cut by the clip rectangle's sides go through the shared walk, the others through
// the tuned printers' own (RunWalk.h).
PrintResult PrintThroughTable(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  const auto lookUp = [table](uint16_t* out, const uint8_t* in, int count) { LookUpRun(out, in, count, table); };
  if (clip.Horizontal())
    printing::PrintVisibleRuns(frame, clip, false, 1, lookUp);
  else
    printing::PrintUncutRows(frame, clip, lookUp);
  return kPrintDone;
}

// The print types: each run looked up into a buffer with the gathers above, then blended
// over the target in a plain loop, which the compiler vectorises for these units.
template <printing::BlendKind kKind>
PrintResult PrintBlended(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  const printing::BlendFormat format = printing::CurrentBlendFormat();
  const auto blend = [table, &format](uint16_t* out, const uint8_t* in, int count) {
    uint16_t looked[256];  // a run is at most 255 pixels
    LookUpRun(looked, in, count, table);
    for (int i = 0; i < count; ++i) out[i] = printing::BlendPixel<kKind>(looked[i], out[i], format);
  };
  if (clip.Horizontal())
    printing::PrintVisibleRuns(frame, clip, false, 1, blend);
  else
    printing::PrintUncutRows(frame, clip, blend);
  return kPrintDone;
}

// Each row moved right by the shimmer's displacement; pixels moved onto or past the clip
// rectangle's right edge are dropped.
PrintResult PrintShimmer(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  const bool cut = clip.Horizontal();
  const int tick = BattleState().gameTick;
  for (int row = clip.firstRow; row < clip.endRow; ++row) {
    const int shift = printing::ShimmerShift(clip.top + row, tick, cut);
    uint16_t* target = printing::TargetRow(clip.top + row) + clip.left + shift;
    const int dropFrom = g_clipRight - clip.left - shift;
    const uint8_t* pixels = frame.RowPixels(row);
    printing::WalkClippedRuns(frame.RowControls(row), clip.width, clip.firstCol, clip.endCol,
                              [&](int column, int pixel, int count) {
                                LookUpRun(target + column, pixels + pixel, std::min(count, dropFrom - column), table);
                              });
  }
  return kPrintDone;
}

}  // namespace

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// The entry points are built for the plain processor: the selection takes their addresses
// whatever the machine.
PrintResult PrintSpriteAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  printing::FrameClip clip;
  if (!printing::ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return PrintThroughTable(frame, clip, table);
}

PrintResult PrintSpriteWideAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  // A wide node keeps its tables' low halves as 16-bit tables too: the same pixels.
  printing::FrameClip clip;
  if (!printing::ClipFrame(frame, x, y, clip)) return kPrintDone;
  const ShadeTableList* node = frame.Is16Bit() ? nullptr : ShadeListNode(frame.tables, listIndex);
  if (!node) return kPrintDone;
  return PrintThroughTable(frame, clip, node->Table(ShadeTableIndex(*node, light)));
}

namespace {

// The print types' entry points: clipped and their table chosen as the portable printers do.
template <PrintResult (*kPrint)(CSpriteFrame, const printing::FrameClip&, const uint16_t*)>
PrintResult PrintTypeAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  printing::FrameClip clip;
  if (!printing::ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return kPrint(frame, clip, table);
}

}  // namespace

const TypePrinterSet kTypePrintersAvx2 = {PrintTypeAvx2<PrintBlended<printing::BlendKind::kTrans25>>,
                                          PrintTypeAvx2<PrintBlended<printing::BlendKind::kTrans50>>,
                                          PrintTypeAvx2<PrintBlended<printing::BlendKind::kTrans75>>,
                                          PrintTypeAvx2<PrintBlended<printing::BlendKind::kAdditive>>,
                                          PrintTypeAvx2<PrintShimmer>};
