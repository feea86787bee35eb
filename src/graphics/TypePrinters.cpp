#include "graphics/TypePrinters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/BattleFacing.h"
#include "graphics/PixelFormat.h"
#include "graphics/PrintFX.h"
#include "graphics/RunWalk.h"
#include "graphics/TypeBlends.h"

using namespace printing;

const int g_shimmerAmplitude = 3;
int g_shimmerTable[32] = {32000};
int g_shimmerLevelTable[17][32] = {{32000}};
int g_trailSwitch = 0;
SpritePrinter g_savedPrinter = nullptr;
uint16_t g_tintValue = 0;
float g_glyphWeights[64];
const TypePrinterSet kPortableTypePrinters = {PrintSpriteTrans25, PrintSpriteTrans50, PrintSpriteTrans75,
                                              PrintSpriteAdditive, PrintSpriteShimmer};
TypePrinterSet g_typePrinters = kPortableTypePrinters;

uint16_t HalvingMask() { return g_is555 ? 0xFDEF : 0xFBEF; }

namespace {

constexpr double kEighthTurn = 0.39269908;

// Prints through the table with a pixel rule new = rule(s, d), checking every row.
template <class Rule>
PrintResult PrintBlended(CSpriteFrame frame, int x, int y, const uint16_t* table, Rule rule) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip) || !table) return kPrintDone;
  return PrintVisibleRuns(frame, clip, true, 1, [&](uint16_t* out, const uint8_t* in, int count) {
    for (int i = 0; i < count; ++i) out[i] = rule(table[in[i]], out[i]);
  });
}

uint16_t Trans50(uint16_t s, uint16_t d, uint16_t m) { return static_cast<uint16_t>(((s >> 1) & m) + ((d >> 1) & m)); }
uint16_t Trans75(uint16_t s, uint16_t d, uint16_t m) {
  const uint16_t half = (s >> 1) & m;
  return static_cast<uint16_t>(half + ((half >> 1) & m) + ((d >> 2) & (m >> 1) & m));
}

// The walk of every printed row for printers that place pixels themselves: row(frameRow,
// targetRow) is called for each visible row and answers the column its runs ended at.
template <class Row>
PrintResult ForEachRow(const FrameClip& clip, Row row) {
  PrintResult result = kPrintDone;
  for (int r = clip.firstRow; r < clip.endRow; ++r)
    if (row(r, TargetRow(clip.top + r)) != clip.width) result = kPrintBadRunSum;
  return result;
}

void BuildShimmerTable() {
  if (g_shimmerTable[0] != 32000) return;
  for (int i = 0; i < 2 * g_shimmerAmplitude; ++i)
    g_shimmerTable[i] =
        g_shimmerAmplitude + static_cast<int>(std::trunc(g_shimmerAmplitude * std::sin(i * kEighthTurn)));
}

void BuildShimmerLevelTable() {
  if (g_shimmerLevelTable[0][0] != 32000) return;
  for (int n = 0; n <= 16; ++n)
    for (int i = 0; i < 32; ++i)
      g_shimmerLevelTable[n][i] = n + static_cast<int>(std::trunc(n * std::sin(i * kEighthTurn)));
}

}  // namespace

namespace printing {

BlendFormat CurrentBlendFormat() {
  const uint16_t half = HalvingMask();
  return {half, static_cast<uint16_t>((half >> 1) & half), {g_redMask, g_greenMask, g_blueMask}};
}

int ShimmerShift(int row, int tick, bool cut) {
  BuildShimmerTable();
  static_assert(kShimmerPeriod == 2 * g_shimmerAmplitude);
  const unsigned k = static_cast<unsigned>(row + tick) % kShimmerPeriod;
  return cut ? std::abs(g_shimmerAmplitude - static_cast<int>(k)) : g_shimmerTable[k];
}

}  // namespace printing

PrintResult PrintSpriteTrans50(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  const uint16_t m = HalvingMask();
  return PrintBlended(frame, x, y, ChooseShadeTable(frame.tables, light, listIndex),
                      [m](uint16_t s, uint16_t d) { return Trans50(s, d, m); });
}

PrintResult PrintSpriteTrans75(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  const uint16_t m = HalvingMask();
  return PrintBlended(frame, x, y, ChooseShadeTable(frame.tables, light, listIndex),
                      [m](uint16_t s, uint16_t d) { return Trans75(s, d, m); });
}

PrintResult PrintSpriteTrans25(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  const uint16_t m = HalvingMask();
  return PrintBlended(frame, x, y, ChooseShadeTable(frame.tables, light, listIndex),
                      [m](uint16_t s, uint16_t d) { return Trans75(d, s, m); });
}

PrintResult PrintSpriteAdditive(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  const uint32_t red = g_redMask, green = g_greenMask, blue = g_blueMask;
  return PrintBlended(frame, x, y, ChooseShadeTable(frame.tables, light, listIndex), [=](uint16_t s, uint16_t d) {
    // Sums in 32 bits, so that a carry out of the top channel saturates it too.
    auto channel = [](uint32_t a, uint32_t b, uint32_t mask) {
      const uint32_t sum = (a & mask) + (b & mask);
      return (sum & ~mask) ? mask : sum;
    };
    return static_cast<uint16_t>(channel(s, d, red) | channel(s, d, green) | channel(s, d, blue));
  });
}

PrintResult PrintSpriteShadow(CSpriteFrame frame, int x, int y) {
  if (!frame) return kPrintDone;
  const int width = frame.Width(), height = frame.Height();
  if (width == 0 && height == 0) return kPrintDone;
  const int left = x - frame.HotspotX(), top = y - frame.HotspotY() + height / 2;
  FrameClip clip;
  // The shadow leans right by up to half the height.
  if (!ClipBox(left, top, width + height / 2, height, clip)) return kPrintDone;
  if (left < g_clipLeft || left + width + height / 2 > g_clipRight) return kPrintDone;
  const uint16_t m = HalvingMask();
  PrintResult result = kPrintDone;
  int drawn = 0;
  for (int r = clip.firstRow; r < clip.endRow; ++r) {
    const uint8_t* ctrl = frame.RowControls(r);
    int end;
    if ((r - clip.firstRow) % 2 == 0) {
      uint16_t* target = TargetRow(top + clip.firstRow + drawn);
      const int start = left + clip.endRow / 2 - drawn;
      end = WalkRuns(ctrl, width, [&](int column, int, int count) {
        for (int c = start + column, e = c + count; c < e; ++c) target[c] = (target[c] >> 1) & m;
      });
      ++drawn;
    } else {
      end = WalkRuns(ctrl, width, [](int, int, int) {});
    }
    if (end != width) result = kPrintBadRunSum;
  }
  return result;
}

PrintResult PrintSpriteTrail(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!frame) return kPrintDone;
  PrintResult result = PrintSpriteFrame(frame, x, y, light, listIndex);
  CSpriteFrame part = frame.NextPart();
  if (!part) return result;
  if (g_trailSwitch == 0) return result | PrintSpriteFrame(part, x, y, light, listIndex);
  SpritePrinter fades[3] = {g_typePrinters.trans75, g_typePrinters.trans50, g_typePrinters.trans25};
  for (int i = 0; i < 3 && part; ++i, part = part.NextPart()) result |= fades[i](part, x, y, light, listIndex);
  return result;
}

PrintResult PrintSpriteOutline(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!ClipFrame(frame, x, y, clip) || !table) return kPrintDone;
  if (clip.Horizontal()) return g_typePrinters.trans50(frame, x, y, light, listIndex);
  return ForEachRow(clip, [&](int r, uint16_t* target) {
    const uint8_t* pixels = frame.RowPixels(r);
    return WalkRuns(frame.RowControls(r), clip.width, [&](int column, int pixel, int count) {
      if (count == 0) return;
      target[clip.left + column] = table[pixels[pixel]];
      target[clip.left + column + count - 1] = table[pixels[pixel + count - 1]];
    });
  });
}

PrintResult PrintSpriteColourOutline(CSpriteFrame frame, int x, int y, int light, int red, int green, int blue) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  auto scale = [light](int c) { return std::min(255, std::max(0, (c & 0xFF) * (light + 127) / 127)); };
  const uint16_t colour = PackColour(scale(red), scale(green), scale(blue));
  const uint16_t* table = ChooseShadeTable(frame.tables, light, 0);
  if (!table) return kPrintDone;
  if (clip.Horizontal()) {
    const uint16_t m = HalvingMask();
    return PrintBlended(frame, x, y, table, [m](uint16_t s, uint16_t d) { return Trans50(s, d, m); });
  }
  return ForEachRow(clip, [&](int r, uint16_t* target) {
    return WalkRuns(frame.RowControls(r), clip.width, [&](int column, int, int count) {
      if (count == 0) return;
      const int first = clip.left + column, last = first + count - 1;
      // The pixel left of a run is drawn only inside the clip rectangle.
      if (first - 1 >= g_clipLeft) target[first - 1] = colour;
      target[first] = colour;
      if (count >= 2) target[last - 1] = target[last] = colour;
    });
  });
}

PrintResult PrintSpriteShimmer(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!ClipFrame(frame, x, y, clip) || !table) return kPrintDone;
  const bool clipped = clip.Horizontal();
  const int tick = BattleState().gameTick;
  return ForEachRow(clip, [&](int r, uint16_t* target) {
    const int shift = ShimmerShift(clip.top + r, tick, clipped);
    const uint8_t* pixels = frame.RowPixels(r);
    // Shifted pixels that would pass the clip rectangle's right edge are dropped.
    return WalkClippedRuns(frame.RowControls(r), clip.width, clip.firstCol, clip.endCol,
                           [&](int column, int pixel, int count) {
                             for (int i = 0; i < count; ++i) {
                               const int c = clip.left + column + shift + i;
                               if (c < g_clipRight) target[c] = table[pixels[pixel + i]];
                             }
                           });
  });
}

PrintResult PrintSpriteShimmerLevel(CSpriteFrame frame, int x, int y, int level) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  if (level == 0) level = g_shimmerAmplitude;
  level = std::min(std::max(level, 1), 16);
  BuildShimmerLevelTable();
  const bool clipped = clip.Horizontal();
  const int lastColumn = g_clipRight - 1;
  const int tick = BattleState().gameTick;
  return ForEachRow(clip, [&](int r, uint16_t* target) {
    const unsigned phase = static_cast<unsigned>(clip.top + r + tick);
    const int shift = clipped ? std::abs(8 - static_cast<int>(phase & 15))
                              : g_shimmerLevelTable[level][phase % static_cast<unsigned>(2 * level)];
    auto haze = [&](int from, int to) {
      for (int c = from; c < to; ++c) target[c] = target[std::min(c + shift, lastColumn)];
    };
    return WalkRuns(frame.RowControls(r), clip.width, [&](int column, int, int count) {
      const int start = column, end = column + count;
      if (!clipped || (start >= clip.firstCol && end <= clip.endCol)) {
        haze(clip.left + start, clip.left + end);
      } else if (start < clip.firstCol && end > clip.firstCol && end <= clip.endCol) {
        haze(clip.left + clip.firstCol, clip.left + end);  // drawn from the left edge
      }
    });
  });
}

void ToggleTintPrinter() {
  SpritePrinter current = g_printSprite;
  g_printSprite = g_savedPrinter ? g_savedPrinter : PrintSpriteTinted;
  g_savedPrinter = current;
}

PrintResult PrintSpriteTinted(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (g_tintValue == 0) g_tintValue = g_is555 ? 0x18C6 : 0x30C6;
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  if (clip.Horizontal()) {
    if (BattleState().secondTarget) return kPrintDone;
    return PrintSpriteFrameC(frame, x, y, light, listIndex);
  }
  PrintVisibleRuns(frame, clip, false, 1, [](uint16_t* out, const uint8_t*, int count) {
    for (int i = 0; i < count; ++i) {
      if (out[i] != 0) ++g_overdrawCount;
      out[i] = static_cast<uint16_t>(out[i] + g_tintValue);
    }
  });
  return kPrintDone;
}

PrintResult PrintFontGlyph(CSpriteFrame glyph, int x, int y, int red, int green, int blue) {
  // i/63 worked in single precision, where the last weight comes out exactly 1. In double
  // precision seven weights round to the next float up (entry 11 among them), which moves some
  // blends across a whole channel value.
  for (int i = 0; i < 64; ++i) g_glyphWeights[i] = static_cast<float>(i) * 0.015873017f;
  FrameClip clip;
  if (!ClipFrame(glyph, x, y, clip) || clip.Horizontal()) return kPrintDone;
  const int redShift = g_is555 ? 10 : 11;
  const int greenMask = g_greenMask >> 5;
  red = std::clamp(red, 0, 255);
  green = std::clamp(green, 0, 255);
  blue = std::clamp(blue, 0, 255);
  const int colour[3] = {red / 8, g_is555 ? green / 8 : green / 4, blue / 8};
  return PrintVisibleRuns(glyph, clip, true, 1, [&](uint16_t* out, const uint8_t* in, int count) {
    for (int i = 0; i < count; ++i) {
      // The blend is worked in double precision and stored as single precision before it
      // is cut to a whole channel value: channels that blend to a whole number stay whole.
      const double w = g_glyphWeights[std::min<int>(in[i], 63)];
      const uint16_t d = out[i];
      const int channels[3] = {(d & g_redMask) >> redShift, (d >> 5) & greenMask, d & g_blueMask};
      int mixed[3];
      for (int c = 0; c < 3; ++c) {
        const float v = static_cast<float>((1.0 - w) * channels[c] + w * colour[c]);
        mixed[c] = static_cast<int>(v);
      }
      out[i] = static_cast<uint16_t>((mixed[0] << redShift) | (mixed[1] << 5) | mixed[2]);
    }
  });
}

PrintResult PrintSpriteOfType(int printType, CSpriteFrame frame, int x, int y, int light, int listIndex) {
  switch (printType) {
    case PRT_NONE:
      return kPrintDone;
    case PRT_BLACK:
      return PrintSpriteFrame(frame, x, y, -127, listIndex);
    case PRT_SHADOW:
      return PrintSpriteShadow(frame, x, y);
    case PRT_TRAIL:
      return PrintSpriteTrail(frame, x, y, light, listIndex);
    case PRT_TRANS25:
      return g_typePrinters.trans25(frame, x, y, light, listIndex);
    case PRT_TRANS50:
      return g_typePrinters.trans50(frame, x, y, light, listIndex);
    case PRT_TRANS75:
      return g_typePrinters.trans75(frame, x, y, light, listIndex);
    case PRT_WATER:
      return g_printSpriteWater(frame, x, y);
    case PRT_OUTLINE:
      return PrintSpriteOutline(frame, x, y, light, listIndex);
    case PRT_INC:
      return g_typePrinters.additive(frame, x, y, light, listIndex);
    case PRT_SHIMMER:
      return g_typePrinters.shimmer(frame, x, y, light, listIndex);
    case PRT_OUTLINE_GOLD:
      return PrintSpriteColourOutline(frame, x, y, light, 244, 198, 13);
    case PRT_OUTLINE_BLUE:
      return PrintSpriteColourOutline(frame, x, y, light, 10, 10, 255);
    case PRT_OUTLINE_PINK:
      return PrintSpriteColourOutline(frame, x, y, light, 214, 95, 172);
    default:
      break;
  }
  if (printType >= PRT_SHIMMER_1 && printType <= PRT_SHIMMER_16)
    return PrintSpriteShimmerLevel(frame, x, y, printType - PRT_SHIMMER_1 + 1);
  return PrintSpriteFrame(frame, x, y, light, listIndex);
}
