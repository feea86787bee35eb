#include "graphics/SpritePrinter.h"

#include <algorithm>

#include "core/Main.h"
#include "graphics/BattleFacing.h"
#include "graphics/Frame16.h"
#include "graphics/RunWalk.h"

using namespace printing;

SpritePrinter g_printSprite = PrintSpriteFrameC;
SpritePrinter g_printSpriteAlt = PrintSpriteWideC;
MaskPrinter g_printSpriteWater = PrintSpriteWaterC;
MaskPrinter g_printFrame16 = PrintFrame16;

PrintResult PrintSpriteFrameC(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return kPrintDone;
  if (clip.Horizontal() && BattleState().secondTarget) return kPrintDone;
  return PrintVisibleRuns(frame, clip, false, 1, [table](uint16_t* out, const uint8_t* in, int count) {
    for (int i = 0; i < count; ++i) out[i] = table[in[i]];
  });
}

PrintResult PrintSpriteWideC(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  const ShadeTableList* node = ShadeListNode(frame.tables, listIndex);
  if (!node) return kPrintDone;
  if (!node->wide) return PrintSpriteFrameC(frame, x, y, light, listIndex);
  const uint32_t* table = node->WideTable(ShadeTableIndex(*node, light));
  return PrintVisibleRuns(frame, clip, false, 1, [table](uint16_t* out, const uint8_t* in, int count) {
    for (int i = 0; i < count; ++i) out[i] = static_cast<uint16_t>(table[in[i]]);
  });
}

PrintResult PrintSpriteWaterC(CSpriteFrame frame, int x, int y) {
  return PrintWaterRows(frame, x, y, [](uint16_t* target, int start, int count, int shift) {
    const int lastColumn = g_clipRight - 1;
    for (int c = start; c < start + count; ++c) target[c] = target[std::min(c + shift, lastColumn)];
  });
}

PrintResult PrintSpriteBlack(CSpriteFrame frame, int x, int y) {
  if (!frame || frame.Width() == 0 || frame.Height() == 0) return kPrintDone;
  if (ReachesClipSides(x - frame.HotspotX(), frame.Width())) return kPrintRetryPortable;
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip)) return kPrintDone;
  PrintVisibleRuns(frame, clip, false, 1, [](uint16_t* out, const uint8_t*, int count) {
    for (int i = 0; i < count; ++i) out[i] = 0;
  });
  return kPrintDone;
}

PrintResult PrintSpriteFrame(CSpriteFrame frame, int x, int y, int light, int listIndex) {
  if (!frame) return kPrintDone;
  ++g_spritesPrinted;
  if (frame.Is16Bit()) return g_printFrame16(frame, x, y);
  if (light == -127) {
    if (PrintSpriteBlack(frame, x, y) != kPrintRetryPortable) return kPrintDone;
    return PrintSpriteFrameC(frame, x, y, -127, listIndex);
  }
  PrintResult result = g_printSprite(frame, x, y, light, listIndex);
  return result == kPrintRetryPortable ? PrintSpriteFrameC(frame, x, y, light, listIndex) : result;
}
