// Feeds arbitrary bytes to the sprite file loader; whatever loads is then printed with
// every printer (each print type, the tuned ones) at places across the clip edges, since the printers trust loaded
// frames.
#include <cstdint>
#include <vector>

#include "graphics/Frame16.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "graphics/TunedPrinters.h"
#include "graphics/TypePrinters.h"
#include "platform/MessageBox.h"

namespace {
std::vector<uint16_t> g_pixels(160 * 120);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (platform::SetMessageBoxHandler([](const platform::MessageBoxCall&) { return 1; }), true);
  (void)quiet;
  CSprite sprite;
  const int levels = size > 0 ? 1 << (data[0] & 7) : 2;
  if (!sprite.LoadImage(std::vector<uint8_t>(data, data + size), levels, "fuzz.spr")) return 0;
  SetSpriteTarget(g_pixels.data(), 160, 120);
  SetSpriteClipRect(10, 10, 150, 110);
  static const PrinterProcessor processor = DetectPrinterProcessor();
  static const int places[][2] = {{80, 60}, {0, 0}, {150, 110}, {5, 100}, {140, 12}, {-20, 50}};
  std::vector<uint8_t> cache(4096);
  for (int n = 0; n < sprite.FrameCount() && n < 64; ++n) {
    CSpriteFrame frame = sprite.GetFrame(n);
    for (const auto& p : places) {
      for (int light : {-128, -127, 0, 127}) PrintSpriteFrame(frame, p[0], p[1], light, 0);
      PrintSpriteFrameC(frame, p[0], p[1], 0, 1);
      PrintSpriteWideC(frame, p[0], p[1], 0, 0);
      PrintSpriteWaterC(frame, p[0], p[1]);
      PrintFrame16Grey(frame, p[0], p[1]);
      SpriteFrameHitTest(frame, p[0], p[1], 80, 60);
      for (int type = 1; type <= 31; ++type) PrintSpriteOfType(type, frame, p[0], p[1], -3, 0);
      PrintSpriteTrail(frame, p[0], p[1], 0, 0);
      PrintSpriteTinted(frame, p[0], p[1], 0, 0);
      PrintFontGlyph(frame, p[0], p[1], 200, 100, 50);
      PrintSpriteSse2(frame, p[0], p[1], 0, 0);
      PrintSpriteWideSse2(frame, p[0], p[1], 0, 1);
      PrintSpriteWaterSse2(frame, p[0], p[1]);
      if (processor.hasAvx2) PrintSpriteAvx2(frame, p[0], p[1], 0, 0);
      if (processor.hasAvx512Vbmi) PrintSpriteAvx512(frame, p[0], p[1], 0, 0);
    }
    if (ShadeFrameToCache(frame, cache.data(), cache.size(), -5, 0) == 0)
      PrintFrame16(CSpriteFrame{cache.data(), nullptr}, 70, 50);
  }
  return 0;
}
