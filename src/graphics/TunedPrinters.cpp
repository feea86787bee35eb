#include "graphics/TunedPrinters.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>

#include "core/Options.h"
#include "graphics/BattleFacing.h"
#include "graphics/Frame16.h"
#include "graphics/RunWalk.h"
#include "platform/Cpu.h"

using namespace printing;

namespace {

// --- Run kernels --------------------------------------------------------------------------
// Each writes count pixels: out[i] = table[in[i]] (or copies 16-bit pixels). The AVX2
// kernels carry the target attribute themselves, so nothing else in this unit is built
// for AVX2 and no shared inline code can end up needing it.

// Without wider instructions a look-up per pixel is as fast as it gets: loads, not
// arithmetic, bound it (four-pixel words assembled by shifts measured slower).
template <class Entry>
inline void LookupRunScalar(uint16_t* out, const uint8_t* in, int count, const Entry* table) {
  for (int i = 0; i < count; ++i) out[i] = static_cast<uint16_t>(table[in[i]]);
}

// Gathers 16 entries at a time. A 16-bit table is read as 32-bit words at each entry (the
// tables keep padding after their last entry for this) and the upper halves dropped.
template <int kScale>
__attribute__((target("avx2"))) void LookupRunAvx2(uint16_t* out, const uint8_t* in, int count, const void* table) {
  const int* base = static_cast<const int*>(table);
  const __m256i low = _mm256_set1_epi32(0xFFFF);
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m256i first = _mm256_cvtepu8_epi32(bytes);
    const __m256i second = _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8));
    __m256i a = _mm256_and_si256(_mm256_i32gather_epi32(base, first, kScale), low);
    __m256i b = _mm256_and_si256(_mm256_i32gather_epi32(base, second, kScale), low);
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), packed);
  }
  if (i + 8 <= count) {
    const __m256i first = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i)));
    const __m256i a = _mm256_and_si256(_mm256_i32gather_epi32(base, first, kScale), low);
    const __m128i packed = _mm_packus_epi32(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), packed);
    i += 8;
  }
  for (; i < count; ++i) {
    if (kScale == 2)
      out[i] = static_cast<const uint16_t*>(table)[in[i]];
    else
      out[i] = static_cast<uint16_t>(static_cast<const uint32_t*>(table)[in[i]]);
  }
}

// With AVX-512 VBMI the whole 256-entry table sits in registers: its low and high bytes
// as four 64-byte quarters each, looked up 64 pixels at a time by byte permutes (the index
// sign bit picks the upper half). Runs end with masked loads and stores, so nothing is
// read or written past them.
struct SplitTable {
  __m512i low[4], high[4];
};

#define VRASK_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

VRASK_AVX512 SplitTable SplitTableAvx512(const uint16_t* table) {
  SplitTable split;
  __m512i evens, odds;
  {
    alignas(64) uint8_t even[64], odd[64];
    for (int i = 0; i < 64; ++i) {
      even[i] = static_cast<uint8_t>(2 * i);
      odd[i] = static_cast<uint8_t>(2 * i + 1);
    }
    evens = _mm512_load_si512(even);
    odds = _mm512_load_si512(odd);
  }
  for (int q = 0; q < 4; ++q) {
    const __m512i a = _mm512_loadu_si512(table + 64 * q);
    const __m512i b = _mm512_loadu_si512(table + 64 * q + 32);
    split.low[q] = _mm512_permutex2var_epi8(a, evens, b);
    split.high[q] = _mm512_permutex2var_epi8(a, odds, b);
  }
  return split;
}

VRASK_AVX512 inline void LookupBlockAvx512(uint16_t* out, const uint8_t* in, int count, const SplitTable& t) {
  const __mmask64 valid = count >= 64 ? ~0ULL : (1ULL << count) - 1;
  const __m512i index = _mm512_maskz_loadu_epi8(valid, in);
  const __mmask64 upper = _mm512_movepi8_mask(index);
  const __m512i low = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(t.low[0], index, t.low[1]),
                                             _mm512_permutex2var_epi8(t.low[2], index, t.low[3]));
  const __m512i high = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(t.high[0], index, t.high[1]),
                                              _mm512_permutex2var_epi8(t.high[2], index, t.high[3]));
  const __m512i first = _mm512_unpacklo_epi8(low, high), second = _mm512_unpackhi_epi8(low, high);
  const __m512i order0 = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
  const __m512i order1 = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
  const __m512i pixels0 = _mm512_permutex2var_epi64(first, order0, second);
  const __m512i pixels1 = _mm512_permutex2var_epi64(first, order1, second);
  const __mmask32 valid0 = static_cast<__mmask32>(valid), valid1 = static_cast<__mmask32>(valid >> 32);
  _mm512_mask_storeu_epi16(out, valid0, pixels0);
  _mm512_mask_storeu_epi16(out + 32, valid1, pixels1);
}

VRASK_AVX512 void LookupRunAvx512(uint16_t* out, const uint8_t* in, int count, const SplitTable& t) {
  for (int i = 0; i < count; i += 64) LookupBlockAvx512(out + i, in + i, count - i, t);
}

// The printer's whole row walk is built for AVX-512, so that the table stays in registers
// across runs; the walk is this unit's own copy of the shared one.
VRASK_AVX512 PrintResult PrintRunsAvx512(CSpriteFrame frame, const FrameClip& clip, const uint16_t* table) {
  const SplitTable split = SplitTableAvx512(table);
  const bool clipped = clip.Horizontal();
  for (int row = clip.firstRow; row < clip.endRow; ++row) {
    uint16_t* target = g_spriteTarget + static_cast<ptrdiff_t>(clip.top + row) * g_spritePitch;
    const uint8_t* ctrl = frame.data + LoadI32(frame.data + CSpriteFrame::kRowTable + 8 * row);
    const uint8_t* pixels = frame.data + LoadI32(frame.data + CSpriteFrame::kRowTable + 8 * row + 4);
    int column = 0;
    while (column < clip.width) {
      column += *ctrl++;
      if (column >= clip.width) break;
      const int count = *ctrl++;
      int start = column, end = column + count;
      if (clipped) {
        start = start > clip.firstCol ? start : clip.firstCol;
        end = end < clip.endCol ? end : clip.endCol;
      }
      if (start < end) LookupRunAvx512(target + (clip.left + start), pixels + (start - column), end - start, split);
      pixels += count;
      column += count;
    }
  }
  return kPrintDone;
}

// The C library's copy already moves runs with the processor's widest stores; hand-made
// 16- and 32-byte loops measured slower on the short runs of sprites.
inline void CopyRun(uint16_t* out, const uint8_t* in, int count) {
  std::memcpy(out, in, 2 * static_cast<size_t>(count));
}

// --- Printers -----------------------------------------------------------------------------

// The clip and row walk of the tuned printers. Unlike the portable printer they clip frames
// sideways whether or not the second target is set.
template <class Run>
PrintResult PrintRuns(CSpriteFrame frame, int x, int y, int pixelSize, Run run) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  PrintVisibleRuns(frame, clip, false, pixelSize, run);
  return kPrintDone;
}

const ShadeTableList* NodeFor(CSpriteFrame frame, int listIndex) {
  return frame.Is16Bit() ? nullptr : ShadeListNode(frame.tables, listIndex);
}

}  // namespace

PrintResult PrintSpriteSse2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!frame) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return PrintRuns(frame, x, y, 1,
                   [table](uint16_t* out, const uint8_t* in, int count) { LookupRunScalar(out, in, count, table); });
}

PrintResult PrintSpriteAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!frame) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return PrintRuns(frame, x, y, 1,
                   [table](uint16_t* out, const uint8_t* in, int count) { LookupRunAvx2<2>(out, in, count, table); });
}

PrintResult PrintSpriteAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  return PrintRunsAvx512(frame, clip, table);
}

PrintResult PrintSpriteWideAvx512(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  // A wide node keeps its tables' low halves as 16-bit tables too: the same pixels.
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const ShadeTableList* node = NodeFor(frame, listIndex);
  if (!node) return kPrintDone;
  if (!node->wide) return PrintSpriteAvx512(frame, x, y, light, listIndex);
  return PrintRunsAvx512(frame, clip, node->Table(ShadeTableIndex(*node, light)));
}

PrintResult PrintSpriteWideSse2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!frame) return kPrintDone;
  const ShadeTableList* node = NodeFor(frame, listIndex);
  if (!node) return kPrintDone;
  if (!node->wide) return PrintSpriteSse2(frame, x, y, light, listIndex);
  const uint32_t* table = node->WideTable(ShadeTableIndex(*node, light));
  return PrintRuns(frame, x, y, 1,
                   [table](uint16_t* out, const uint8_t* in, int count) { LookupRunScalar(out, in, count, table); });
}

PrintResult PrintSpriteWideAvx2(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!frame) return kPrintDone;
  const ShadeTableList* node = NodeFor(frame, listIndex);
  if (!node) return kPrintDone;
  if (!node->wide) return PrintSpriteAvx2(frame, x, y, light, listIndex);
  const uint32_t* table = node->WideTable(ShadeTableIndex(*node, light));
  return PrintRuns(frame, x, y, 1,
                   [table](uint16_t* out, const uint8_t* in, int count) { LookupRunAvx2<4>(out, in, count, table); });
}

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
  return PrintRuns(frame, x, y, 2, [](uint16_t* out, const uint8_t* in, int count) { CopyRun(out, in, count); });
}

PrinterProcessor DetectPrinterProcessor() {
  const platform::VectorUnits units = platform::ReadVectorUnits();
  PrinterProcessor processor;
  processor.hasAvx2 = units.avx2;
  processor.hasAvx512Vbmi = units.avx512Vbmi;
  return processor;
}

void SelectSpritePrinters(const PrinterProcessor& processor) {
  g_printSprite = processor.hasAvx512Vbmi ? PrintSpriteAvx512 : processor.hasAvx2 ? PrintSpriteAvx2 : PrintSpriteSse2;
  g_printSpriteAlt = processor.hasAvx512Vbmi ? PrintSpriteWideAvx512
                     : processor.hasAvx2     ? PrintSpriteWideAvx2
                                             : PrintSpriteWideSse2;
  g_printSpriteWater = PrintSpriteWaterSse2;
  g_printFrame16 = PrintFrame16Tuned;
  if (g_useCSpritePrinter) g_printSprite = PrintSpriteFrameC;
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
