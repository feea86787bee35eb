// Feeds arbitrary bytes to the font loader; a font it accepts then measures and prints
// text with every flag into a small target across its clip edges.
#include <cstdint>
#include <vector>

#include "graphics/Font.h"
#include "graphics/PrintTarget.h"

namespace {
std::vector<uint16_t> g_pixels(120 * 60);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CFont font;
  if (!font.LoadImage(std::vector<uint8_t>(data, data + size), size > 0 ? 2 << (data[0] & 3) : 2)) return 0;
  SetSpriteTarget(g_pixels.data(), 120, 60);
  SetSpriteClipRect(5, 5, 115, 55);
  const char* texts[] = {"The wizard leads creatures.\tOver\nthe realm_ \x7f\xff!", "wrapwrapwrapwrapwrapwrap a b", ""};
  font.spacing = size > 1 ? data[1] % 5 : 0;
  font.tabWidth = 12;
  for (const char* text : texts) {
    for (uint8_t flags : {0x00, 0x11, 0x12, 0x14, 0x1C, 0x08}) {
      for (const TextRect& rect : {TextRect{0, 0, 120, 60}, TextRect{40, 20, 70, 30}, TextRect{-20, -5, 30, 100}}) {
        font.MeasureText(text, rect, flags);
        TextPoint out;
        font.PrintText(text, rect, 255, 200, 100, flags, &out);
        font.PrintTextAt(text, rect, rect.left + 7, 10, 20, 30, flags, &out);
      }
    }
  }
  return 0;
}
