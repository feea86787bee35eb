// The colour-table printers for processors with AVX-512 byte permutes and expands (VBMI and
// VBMI2). The whole 256-entry table sits in registers, its low and high bytes as four
// 64-byte quarters each, and a row is printed 64 columns at a time whatever its runs: the
// opaque columns of the 64 make a mask, the row's next pixels are expanded into those
// columns, looked up at once and stored through the mask. Short runs and gaps then cost no
// more than long ones. The translucent and additive print types blend the looked-up words
// over the target's in the same registers, and the shimmer stores each row's words moved
// right. Everything in this unit is built for those units (the pragma below) except the
// printers' entry points.

#if !defined(__clang__)
// GCC 12's own _mm512_undefined_epi32 (an uninitialised value on purpose) reads to its
// optimiser as a value used before it is set.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graphics/RunWalk.h"
#include "graphics/TunedPrinters.h"
#include "graphics/TypeBlends.h"

namespace {

// Frames up to this wide are printed here; wider ones (there are none in the game's data)
// by the scalar printers.
constexpr int kMaxWords = 32;
constexpr int kMaxWidth = 64 * kMaxWords;

}  // namespace

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi2,popcnt"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi2,popcnt")
#endif

namespace {

struct SplitTable {
  __m512i low[4], high[4];
};

SplitTable SplitTable16(const uint16_t* table) {
  alignas(64) uint8_t even[64], odd[64];
  for (int i = 0; i < 64; ++i) {
    even[i] = static_cast<uint8_t>(2 * i);
    odd[i] = static_cast<uint8_t>(2 * i + 1);
  }
  const __m512i evens = _mm512_load_si512(even), odds = _mm512_load_si512(odd);
  SplitTable split;
  for (int q = 0; q < 4; ++q) {
    const __m512i a = _mm512_loadu_si512(table + 64 * q);
    const __m512i b = _mm512_loadu_si512(table + 64 * q + 32);
    split.low[q] = _mm512_permutex2var_epi8(a, evens, b);
    split.high[q] = _mm512_permutex2var_epi8(a, odds, b);
  }
  return split;
}

// The bits of columns from..to-1 of a 64-column word (from and to clamped to 0..64).
inline uint64_t ColumnBits(int from, int to) {
  const auto clamped = [](int v) { return static_cast<unsigned>(std::clamp(v, 0, 64)); };
  return _bzhi_u64(~0ULL, clamped(to)) & ~_bzhi_u64(~0ULL, clamped(from));
}

// How a word's looked-up pixels reach the target: stored as they are (the colour-table
// printers, the shimmer), or blended over the target's pixels (the translucent and additive
// print types). `shown` marks the 32 columns of the half word to write.
struct StorePixels {
  void operator()(uint16_t* out, __m512i pixels, __mmask32 shown) const {
    _mm512_mask_storeu_epi16(out, shown, pixels);
  }
};

// The additive rule below adds the first and last channels as bytes: each must lie within
// one byte of the pixel, as red and blue do in both formats.
bool AddsChannelsAsBytes(const printing::BlendFormat& f) {
  const auto inOneByte = [](uint16_t mask) { return (mask & 0xFF) == mask || (mask & 0xFF00) == mask; };
  return inOneByte(f.channel[0]) && inOneByte(f.channel[2]);
}

template <printing::BlendKind kKind>
struct BlendPixels {
  explicit BlendPixels(const printing::BlendFormat& f)
      : half(Splat(f.half)),
        evenChannels(Splat(static_cast<uint16_t>(f.half << 1))),
        fourthChannels(Splat(static_cast<uint16_t>(f.quarter << 2))),
        outerChannels(Splat(f.channel[0] | f.channel[2])),
        middleChannel(Splat(f.channel[1])) {}
  static __m512i Splat(uint16_t v) { return _mm512_set1_epi16(static_cast<short>(v)); }

  // The rules of printing::BlendPixel, 32 pixels at a time, in fewer steps.
  __m512i Blend(__m512i s, __m512i d) const {
    if constexpr (kKind == printing::BlendKind::kTrans25) std::swap(s, d);
    if constexpr (kKind == printing::BlendKind::kTrans50) {
      // Each channel's halves added are the channels with their lowest bits cleared, added
      // and halved; the rounding average adds in 17 bits, and the sum's lowest bit is 0.
      // (This rule and the two below give the portable rules' pixel for every pair of
      // pixels in both formats.)
      return _mm512_avg_epu16(_mm512_and_si512(s, evenChannels), _mm512_and_si512(d, evenChannels));
    } else if constexpr (kKind == printing::BlendKind::kAdditive) {
      // The outer channels each lie within a byte: saturated byte sums, cut to the channel.
      // The middle channel's sum fits 16 bits.
      const __m512i outer = _mm512_min_epu8(
          _mm512_adds_epu8(_mm512_and_si512(s, outerChannels), _mm512_and_si512(d, outerChannels)), outerChannels);
      const __m512i middle = _mm512_min_epu16(
          _mm512_add_epi16(_mm512_and_si512(s, middleChannel), _mm512_and_si512(d, middleChannel)), middleChannel);
      return _mm512_or_si512(outer, middle);
    } else {
      // The two quarters added the same way: the channels with their two lowest bits
      // cleared, averaged and halved again.
      const __m512i quarters = _mm512_srli_epi16(
          _mm512_avg_epu16(_mm512_and_si512(s, fourthChannels), _mm512_and_si512(d, fourthChannels)), 1);
      return _mm512_add_epi16(_mm512_and_si512(_mm512_srli_epi16(s, 1), half), quarters);
    }
  }
  void operator()(uint16_t* out, __m512i pixels, __mmask32 shown) const {
    // The masked load reads no column outside `shown`, so it never touches memory the
    // print may not.
    _mm512_mask_storeu_epi16(out, shown, Blend(pixels, _mm512_maskz_loadu_epi16(shown, out)));
  }
  __m512i half, evenChannels, fourthChannels, outerChannels, middleChannel;
};

// Prints one word of 64 columns: `opaque` marks the columns the row's runs cover, and the
// first of them takes pixels[0]; `shown` those of them to write.
template <class Store>
inline void PrintWord(uint16_t* out, const uint8_t* pixels, uint64_t opaque, uint64_t shown, const SplitTable& t,
                      const Store& store) {
  // The expanding load reads as many pixels as `opaque` has bits, no more; it measured a
  // twentieth faster than a masked load and an expand.
  __m512i index = _mm512_maskz_expandloadu_epi8(opaque, pixels);
  // The byte unpacks below work within 128-bit lanes: lane L must hold the indexes of
  // columns 8L..8L+7 and 32+8L..32+8L+7 for the words to come out in column order.
  index = _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 4, 1, 5, 2, 6, 3, 7), index);
  const __mmask64 upper = _mm512_movepi8_mask(index);
  const __m512i low = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(t.low[0], index, t.low[1]),
                                             _mm512_permutex2var_epi8(t.low[2], index, t.low[3]));
  const __m512i high = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(t.high[0], index, t.high[1]),
                                              _mm512_permutex2var_epi8(t.high[2], index, t.high[3]));
  store(out, _mm512_unpacklo_epi8(low, high), static_cast<__mmask32>(shown));
  if (shown >> 32) store(out + 32, _mm512_unpackhi_epi8(low, high), static_cast<__mmask32>(shown >> 32));
}

// Where a row's pixels go: `shift` columns right of their place, frame columns from
// `endCol` on dropped (the shimmer moves rows and drops what passes the clip's right edge;
// the other printers keep the clip's columns).
struct RowPlace {
  int shift, endCol;
};
struct InPlace {
  static constexpr bool kMoves = false;  // every row's window is the clip's
  RowPlace operator()(int) const { return {0, endCol}; }
  int endCol;
};
struct Shimmering {
  static constexpr bool kMoves = true;
  Shimmering(const printing::FrameClip& clip, int tick)
      : firstPhase(clip.top + tick), endCol(clip.endCol), dropFrom(g_clipRight - clip.left) {
    for (unsigned k = 0; k < printing::kShimmerPeriod; ++k)
      shiftOfPhase[k] = printing::ShimmerShift(static_cast<int>(k), 0, clip.Horizontal());
  }
  RowPlace operator()(int row) const {
    const int shift = shiftOfPhase[static_cast<unsigned>(firstPhase + row) % printing::kShimmerPeriod];
    return {shift, std::min(endCol, dropFrom - shift)};
  }
  int firstPhase, endCol, dropFrom;
  int shiftOfPhase[printing::kShimmerPeriod];
};

// The opaque columns of a row as bits, for frames up to 64 columns wide, or the first 64
// columns of frames up to 128 wide with the next 64 in `beyond` (given when the frame is that
// wide). Bits are set per run with a shift and an or: a loaded frame's runs end within its
// width, and for any other frame wrong bits only land on columns the clip window bounds.
// The walk tests the column once a run, as PrintUncutRows (RunWalk.h) does, and for the
// same reasons.
inline uint64_t RowColumns(const uint8_t* ctrl, int width, uint64_t* beyond = nullptr) {
  uint64_t opaque = 0, next = 0;
  for (int column = 0;;) {
    column += ctrl[0];
    if (column >= width) break;
    const int count = ctrl[1];
    if (beyond) {
      opaque |= ColumnBits(column, column + count);
      next |= ColumnBits(column - 64, column + count - 64);
    } else {
      opaque |= _bzhi_u64(~0ULL, static_cast<unsigned>(count)) << (column & 63);
    }
    column += count;
    ctrl += 2;
  }
  if (beyond) *beyond = next;
  return opaque;
}

// Frames of one word a row: the common case (terrain blocks, creatures).
template <class Place, class Store>
void PrintNarrow(CSpriteFrame frame, const printing::FrameClip& clip, const SplitTable& split, const Place& place,
                 const Store& store) {
  const ptrdiff_t pitch = g_spritePitch;
  const int endRow = clip.endRow, width = clip.width, firstCol = clip.firstCol;
  const uint64_t clipWindow = ColumnBits(firstCol, clip.endCol);
  uint16_t* target = printing::TargetRow(clip.top + clip.firstRow) + clip.left;
  for (int row = clip.firstRow; row < endRow; ++row, target += pitch) {
    const RowPlace at = place(row);
    const uint64_t window = Place::kMoves ? ColumnBits(firstCol, at.endCol) : clipWindow;
    const uint64_t opaque = RowColumns(frame.RowControls(row), width);
    if (opaque & window) PrintWord(target + at.shift, frame.RowPixels(row), opaque, opaque & window, split, store);
  }
}

// Frames of two words a row (panels, large figures): both words' bits kept in registers.
template <class Place, class Store>
void PrintTwoWords(CSpriteFrame frame, const printing::FrameClip& clip, const SplitTable& split, const Place& place,
                   const Store& store) {
  const ptrdiff_t pitch = g_spritePitch;
  const int endRow = clip.endRow, width = clip.width, firstCol = clip.firstCol;
  const uint64_t clipWindow = ColumnBits(firstCol, clip.endCol);
  const uint64_t clipWindowBeyond = ColumnBits(firstCol - 64, clip.endCol - 64);
  uint16_t* target = printing::TargetRow(clip.top + clip.firstRow) + clip.left;
  for (int row = clip.firstRow; row < endRow; ++row, target += pitch) {
    const RowPlace at = place(row);
    const uint64_t window = Place::kMoves ? ColumnBits(firstCol, at.endCol) : clipWindow;
    const uint64_t windowBeyond = Place::kMoves ? ColumnBits(firstCol - 64, at.endCol - 64) : clipWindowBeyond;
    uint64_t beyond;
    const uint64_t opaque = RowColumns(frame.RowControls(row), width, &beyond);
    const uint8_t* pixels = frame.RowPixels(row);
    if (opaque & window) PrintWord(target + at.shift, pixels, opaque, opaque & window, split, store);
    if (beyond & windowBeyond)
      PrintWord(target + at.shift + 64, pixels + _mm_popcnt_u64(opaque), beyond, beyond & windowBeyond, split, store);
  }
}

// Wider frames still: a word per 64 columns. Each row's words are cleared as they are printed.
template <class Place, class Store>
void PrintWide(CSpriteFrame frame, const printing::FrameClip& clip, const SplitTable& split, const Place& place,
               const Store& store) {
  const int words = (clip.width + 63) / 64;
  uint64_t opaque[kMaxWords + 1] = {};
  const ptrdiff_t pitch = g_spritePitch;
  uint16_t* target = printing::TargetRow(clip.top + clip.firstRow) + clip.left;
  for (int row = clip.firstRow; row < clip.endRow; ++row, target += pitch) {
    printing::WalkRuns(frame.RowControls(row), clip.width, [&](int column, int, int count) {
      if ((column & 63) + count <= 64) {
        opaque[column / 64] |= _bzhi_u64(~0ULL, static_cast<unsigned>(count)) << (column & 63);
        return;
      }
      for (const int end = std::min(column + count, clip.width); column < end; column = (column | 63) + 1)
        opaque[column / 64] |= ColumnBits(column & 63, end - (column & ~63));
    });
    const RowPlace at = place(row);
    const uint8_t* pixels = frame.RowPixels(row);
    for (int w = 0; w < words; ++w) {
      const uint64_t window = ColumnBits(clip.firstCol - 64 * w, at.endCol - 64 * w);
      if (opaque[w] & window)
        PrintWord(target + at.shift + 64 * w, pixels, opaque[w], opaque[w] & window, split, store);
      pixels += _mm_popcnt_u64(opaque[w]);
      opaque[w] = 0;
    }
  }
}

template <class Place, class Store>
PrintResult PrintThroughTable(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table,
                              const Place& place, const Store& store) {
  const SplitTable split = SplitTable16(table);
  if (clip.width <= 64)
    PrintNarrow(frame, clip, split, place, store);
  else if (clip.width <= 128)
    PrintTwoWords(frame, clip, split, place, store);
  else
    PrintWide(frame, clip, split, place, store);
  return kPrintDone;
}

PrintResult PrintThroughTable(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  return PrintThroughTable(frame, clip, table, InPlace{clip.endCol}, StorePixels{});
}

template <printing::BlendKind kKind>
PrintResult PrintBlended(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  return PrintThroughTable(frame, clip, table, InPlace{clip.endCol},
                           BlendPixels<kKind>(printing::CurrentBlendFormat()));
}

PrintResult PrintShimmer(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  return PrintThroughTable(frame, clip, table, Shimmering(clip, BattleState().gameTick), StorePixels{});
}

}  // namespace

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

// The entry points are built for the plain processor: the selection takes their addresses
// whatever the machine.
PrintResult PrintSpriteAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  printing::FrameClip clip;
  if (!printing::ClipFrame(frame, x, y, clip)) return kPrintDone;
  if (clip.width > kMaxWidth) return PrintSpriteSse2(frame, x, y, light, listIndex);
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return PrintThroughTable(frame, clip, table);
}

PrintResult PrintSpriteWideAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  // A wide node keeps its tables' low halves as 16-bit tables too: the same pixels.
  printing::FrameClip clip;
  if (!printing::ClipFrame(frame, x, y, clip)) return kPrintDone;
  if (clip.width > kMaxWidth) return PrintSpriteWideSse2(frame, x, y, light, listIndex);
  const ShadeTableList* node = frame.Is16Bit() ? nullptr : ShadeListNode(frame.tables, listIndex);
  if (!node) return kPrintDone;
  return PrintThroughTable(frame, clip, node->Table(ShadeTableIndex(*node, light)));
}

namespace {

// The print types' entry points: clipped and their table chosen as the portable printers
// do; frames wider than this unit takes go to the scalar printers.
template <PrintResult (*kPrint)(CSpriteFrame, const printing::FrameClip&, const uint16_t*)>
PrintResult PrintTypeAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex, SpritePrinter scalar) {
  printing::FrameClip clip;
  if (!printing::ClipFrame(frame, x, y, clip)) return kPrintDone;
  if (clip.width > kMaxWidth) return scalar(frame, x, y, light, listIndex);
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return kPrint(frame, clip, table);
}

PrintResult PrintTrans25Avx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  return PrintTypeAvx512<PrintBlended<printing::BlendKind::kTrans25>>(frame, x, y, light, listIndex,
                                                                      kTypePrintersSse2.trans25);
}
PrintResult PrintTrans50Avx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  return PrintTypeAvx512<PrintBlended<printing::BlendKind::kTrans50>>(frame, x, y, light, listIndex,
                                                                      kTypePrintersSse2.trans50);
}
PrintResult PrintTrans75Avx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  return PrintTypeAvx512<PrintBlended<printing::BlendKind::kTrans75>>(frame, x, y, light, listIndex,
                                                                      kTypePrintersSse2.trans75);
}
PrintResult PrintAdditiveAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!AddsChannelsAsBytes(printing::CurrentBlendFormat()))
    return kTypePrintersSse2.additive(frame, x, y, light, listIndex);
  return PrintTypeAvx512<PrintBlended<printing::BlendKind::kAdditive>>(frame, x, y, light, listIndex,
                                                                       kTypePrintersSse2.additive);
}
PrintResult PrintShimmerAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  return PrintTypeAvx512<PrintShimmer>(frame, x, y, light, listIndex, kTypePrintersSse2.shimmer);
}

}  // namespace

const TypePrinterSet kTypePrintersAvx512 = {PrintTrans25Avx512, PrintTrans50Avx512, PrintTrans75Avx512,
                                            PrintAdditiveAvx512, PrintShimmerAvx512};
