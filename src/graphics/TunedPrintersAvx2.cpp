// The colour-table printers for processors with AVX2. AVX2 has no byte permute across a
// 256-entry table, and its gathers are slower than plain loads on many processors, so runs
// of 32 pixels or more are looked up 32 at a time with byte shuffles over sixteen 16-entry
// slices of the table (slice k answers the indexes 16k..16k+15 and gives zero for all
// others); shorter runs take the scalar kernel, four pixels a store. Everything in this unit
// is built for AVX2 (the pragma below) except the printers' entry points.

#include <immintrin.h>

#include <cstdint>

#include "graphics/RunWalk.h"
#include "graphics/TunedPrinters.h"

#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)

namespace {

constexpr int kSlices = 16;
constexpr int kBlock = 32;

// Slice k's 16 low bytes and 16 high bytes, each in both 128-bit lanes; made when a print
// first meets a run long enough to use them.
class SlicedTable {
 public:
  explicit SlicedTable(const uint16_t* table) : table_(table) {}
  const uint16_t* Table() const { return table_; }
  const SlicedTable& Ready() {
    if (!ready_) Slice();
    return *this;
  }
  __m256i low[kSlices], high[kSlices];

 private:
  void Slice() {
    const __m128i lowsThenHighs = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    for (int k = 0; k < kSlices; ++k) {
      const __m128i a =
          _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table_ + 16 * k)), lowsThenHighs);
      const __m128i b =
          _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table_ + 16 * k + 8)), lowsThenHighs);
      low[k] = _mm256_broadcastsi128_si256(_mm_unpacklo_epi64(a, b));
      high[k] = _mm256_broadcastsi128_si256(_mm_unpackhi_epi64(a, b));
    }
    ready_ = true;
  }
  const uint16_t* table_;
  bool ready_ = false;
};

// 32 pixels. A shuffle gives zero where the index byte has its top bit set and reads only
// its low four bits otherwise: with the index lowered by 16k and raised by 0x70 with
// saturation, just the indexes of slice k keep the top bit clear.
inline void LookUpBlock(uint16_t* out, const uint8_t* in, const SlicedTable& t) {
  __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
  const __m256i sliceStep = _mm256_set1_epi8(16), keep = _mm256_set1_epi8(0x70);
  __m256i low = _mm256_setzero_si256(), high = _mm256_setzero_si256();
  for (int k = 0; k < kSlices; ++k) {
    const __m256i select = _mm256_adds_epu8(index, keep);
    low = _mm256_or_si256(low, _mm256_shuffle_epi8(t.low[k], select));
    high = _mm256_or_si256(high, _mm256_shuffle_epi8(t.high[k], select));
    index = _mm256_sub_epi8(index, sliceStep);
  }
  // Within each lane the unpacks give pixels 0-7 and 8-15 of the lane's 16.
  const __m256i first = _mm256_unpacklo_epi8(low, high), second = _mm256_unpackhi_epi8(low, high);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(first, second, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), _mm256_permute2x128_si256(first, second, 0x31));
}

// A run of at least a block: whole blocks, then one more ending at the run's end (it writes
// some pixels a second time, with the same values).
inline void LookUpLongRun(uint16_t* out, const uint8_t* in, int count, const SlicedTable& t) {
  for (int i = 0; i < count - kBlock; i += kBlock) LookUpBlock(out + i, in + i, t);
  LookUpBlock(out + count - kBlock, in + count - kBlock, t);
}

PrintResult PrintThroughTable(CSpriteFrame frame, const printing::FrameClip& clip, const uint16_t* table) {
  SlicedTable sliced(table);
  printing::PrintVisibleRuns(frame, clip, false, 1, [&sliced](uint16_t* out, const uint8_t* in, int count) {
    if (count < kBlock)
      printing::LookUpFour(out, in, count, sliced.Table());
    else
      LookUpLongRun(out, in, count, sliced.Ready());
  });
  return kPrintDone;
}

}  // namespace

#pragma clang attribute pop

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
