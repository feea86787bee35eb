#include "ui/ValueBars.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "graphics/Display.h"
#include "graphics/Font.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"
#include "ui/MenuScreen.h"
#include "ui/SharedArt.h"

namespace {

int Channel(int value) { return std::clamp(value, 0, 255); }

// The second value printed after the mark, in the small font, centred on the bar's middle
// (a bar lower than a line still shows its number).
void PrintSecondValue(CSurface* surface, int value, int left, int top, int bottom) {
  if (!g_smallFont.IsLoaded()) return;
  SurfacePrinting printing(surface);
  if (!printing) return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  const int line = g_smallFont.GetLineHeight(), middle = (top + bottom) / 2;
  const TextRect rect{left, std::min(top, middle - line / 2), ScreenWidth(),
                      std::max(bottom, middle - line / 2 + line)};
  g_smallFont.PrintText(text, rect, 255, 255, 255, kTextLeft | kTextCentreVertically);
}

}  // namespace

bool CGradientBar::Measure(int& fillEnd, int& markLength) const {
  // 64-bit: a wide range, and a wide range times a long bar, still fit.
  const int64_t span = int64_t{maximum} - minimum;
  if (span <= 0 || (orientation != kHorizontal && orientation != kVertical)) return false;
  const int64_t shown = std::clamp(value, minimum, maximum), second = std::clamp(secondValue, minimum, maximum);
  const int64_t length = orientation == kHorizontal ? int64_t{x1} - x0 : int64_t{y1} - y0;
  const int filled = static_cast<int>((shown - minimum) * length / span);
  fillEnd = orientation == kHorizontal ? x0 + filled : y1 - filled;
  markLength = static_cast<int>((second - shown) * length / span);
  return true;
}

void CGradientBar::Draw(CSurface* surface) const {
  int fillEnd = 0, mark = 0;
  if (!surface || !Measure(fillEnd, mark)) return;
  const uint16_t markColour = PackColour(Channel(markRed), Channel(markGreen), Channel(markBlue));
  if (orientation == kHorizontal) {
    surface->FillGradientH(x0, y0, fillEnd, y1, Channel(startRed), Channel(startGreen), Channel(startBlue),
                           Channel(endRed), Channel(endGreen), Channel(endBlue));
    if (mark > 0) {
      const platform::Rect band{fillEnd, y0, fillEnd + mark, y1};
      surface->FillRect(&band, markColour);
    }
    PrintSecondValue(surface, std::clamp(secondValue, minimum, maximum), fillEnd + std::max(mark, 0), y0, y1);
    return;
  }
  // Vertical: the ramp runs from the start colour at the bottom to the end colour at the top.
  surface->FillGradientV(x0, fillEnd, x1, y1, Channel(endRed), Channel(endGreen), Channel(endBlue), Channel(startRed),
                         Channel(startGreen), Channel(startBlue));
  if (mark > 0) {
    const platform::Rect band{x0, fillEnd - mark, x1, fillEnd};
    surface->FillRect(&band, markColour);
  }
}

void CSpriteBar::Draw(CSurface* surface) const {
  if (!surface || !sprite || !sprite->IsLoaded()) return;
  SurfacePrinting printing(surface);
  if (!printing) return;
  const bool horizontal = orientation != kVertical;
  auto stepOf = [&](int frame) {
    return 1 + (horizontal ? ControlFrameWidth(sprite, frame) : ControlFrameHeight(sprite, frame));
  };
  const int filledStep = stepOf(filledFrame), emptyStep = stepOf(emptyFrame);
  const int last = std::max(first, allEnd), filled = std::clamp(filledEnd, first, last);
  const int edge = horizontal ? surface->width : surface->height;
  int pen = horizontal ? x : y;
  // Cells beyond the surface's edge print nothing: the loop stops there.
  for (int cell = first; cell < last && pen < edge; ++cell) {
    const bool isFilled = cell < filled;
    const int frame = isFilled ? filledFrame : emptyFrame;
    PrintControlFrame(sprite, frame, horizontal ? pen : x, horizontal ? y : pen);
    pen += isFilled ? filledStep : emptyStep;
  }
}

void CWidgetBar::Draw(CSurface* surface) const {
  if (sprite_)
    sprites.Draw(surface);
  else
    gradient.Draw(surface);
}

void CWidgetBar::SetValue(int value, int secondValue) {
  gradient.value = value;
  gradient.secondValue = secondValue;
  sprites.filledEnd = value;
}

CWidgetBar MakeWidgetBar(int type, const CWidgetConfig& config, CSprite* sprite) {
  CWidgetBar bar;
  const platform::Rect& rect = config.Rect();
  const int orientation = rect.right - rect.left >= rect.bottom - rect.top ? 0 : 1;
  bar.sprite_ = type == kWidgetSpriteBar;
  if (bar.sprite_) {
    CSpriteBar& s = bar.sprites;
    s.x = rect.left;
    s.y = rect.top;
    s.orientation = orientation;
    s.first = s.filledEnd = config.minValue;
    s.allEnd = config.maxValue;
    s.sprite = sprite;
    s.filledFrame = config.spriteIndexes[0];
    s.emptyFrame = config.spriteIndexes[1];
    return bar;
  }
  CGradientBar& g = bar.gradient;
  g.x0 = rect.left;
  g.y0 = rect.top;
  g.x1 = rect.right;
  g.y1 = rect.bottom;
  g.orientation = orientation;
  g.minimum = config.minValue;
  g.maximum = config.maxValue;
  g.value = g.secondValue = config.minValue;
  int* colours[3][3] = {{&g.startRed, &g.startGreen, &g.startBlue},
                        {&g.endRed, &g.endGreen, &g.endBlue},
                        {&g.markRed, &g.markGreen, &g.markBlue}};
  for (size_t i = 0; i < config.colours.size() && i < 3; ++i)
    for (int c = 0; c < 3; ++c) *colours[i][c] = config.colours[i][static_cast<size_t>(c)];
  return bar;
}
