#include "graphics/Frame16.h"

#include "core/Options.h"
#include "graphics/PixelFormat.h"
#include "graphics/RunWalk.h"

using namespace printing;

size_t ShadedFrameSize(CSpriteFrame frame) {
  if (!frame) return 0;
  if (frame.Width() == 0 && frame.Height() == 0) return CSpriteFrame::kHeaderSize;
  if (frame.Height() == 0) return CSpriteFrame::kRowTable;
  const size_t start = static_cast<size_t>(frame.PixelStart());
  const size_t end = static_cast<size_t>(frame.PixelEnd());
  return start + 2 * (end - start);
}

int ShadeFrameToCache(CSpriteFrame frame, uint8_t* destination, size_t capacity, int light, int listIndex) {
  if (!frame || frame.Is16Bit() || !destination || ShadedFrameSize(frame) > capacity) return -1;
  const int width = frame.Width(), height = frame.Height();
  if (width == 0 && height == 0) {
    std::memcpy(destination, frame.data, CSpriteFrame::kHeaderSize);
    return 0;
  }
  const uint16_t* table = ChooseShadeTable(frame.tables, light, listIndex);
  if (!table) return -1;
  std::memcpy(destination, frame.data, CSpriteFrame::kHeaderSize);
  if (height > 0) {
    const int32_t start = frame.PixelStart(), end = frame.PixelEnd();
    for (int row = 0; row < height; ++row) {
      const int at = CSpriteFrame::kRowTable + 8 * row;
      StoreI32(destination + at, frame.Get(at));
      StoreI32(destination + at + 4, 2 * frame.Get(at + 4) - start);
    }
    const int32_t controlStart = CSpriteFrame::kRowTable + 8 * height;
    std::memcpy(destination + controlStart, frame.data + controlStart, static_cast<size_t>(start - controlStart));
    uint8_t* out = destination + start;
    for (int32_t i = start; i < end; ++i, out += 2) {
      const uint16_t pixel = table[frame.data[i]];
      std::memcpy(out, &pixel, 2);
    }
    // The copy is one part whose end follows its doubled pixel block.
    StoreI32(destination + CSpriteFrame::kNextPart, 0);
    StoreI32(destination + CSpriteFrame::kEnd, start + 2 * (end - start));
    StoreI32(destination + CSpriteFrame::kAltEnd, 0);
  }
  StoreI32(destination + CSpriteFrame::kPalette, -1);
  return 0;
}

namespace {

inline void CopyPixels(uint16_t* out, const uint8_t* in, int count) {
  std::memcpy(out, in, 2 * static_cast<size_t>(count));
}

}  // namespace

uint16_t GreyPixel(uint16_t pixel) {
  const int redShift = g_is555 ? 10 : 11, greenShift = g_is555 ? 5 : 6;
  const int r = (pixel & g_redMask) >> redShift;
  const int g = (pixel & g_greenMask) >> greenShift;
  const int b = pixel & g_blueMask;
  const int grey = (r + g + b) / 3;
  return static_cast<uint16_t>(grey + (grey << greenShift) + (grey << redShift));
}

PrintResult PrintFrame16(CSpriteFrame frame, int x, int y) {
  if (g_hide_HC_sprites) return kPrintDone;
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip) || !frame.Is16Bit()) return kPrintDone;
  PrintVisibleRuns(frame, clip, false, 2, CopyPixels);
  return kPrintDone;
}

PrintResult PrintFrame16Grey(CSpriteFrame frame, int x, int y) {
  if (g_hide_HC_sprites) return kPrintDone;
  FrameClip clip;
  if (!ClipFrame(frame, x, y, clip) || !frame.Is16Bit()) return kPrintDone;
  if (clip.Horizontal()) {
    PrintVisibleRuns(frame, clip, false, 2, CopyPixels);
    return kPrintDone;
  }
  PrintVisibleRuns(frame, clip, false, 2, [](uint16_t* out, const uint8_t* in, int count) {
    for (int i = 0; i < count; ++i) {
      uint16_t pixel;
      std::memcpy(&pixel, in + 2 * i, 2);
      out[i] = GreyPixel(pixel);
    }
  });
  return kPrintDone;
}
