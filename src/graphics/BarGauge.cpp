#include "graphics/BarGauge.h"

#include <algorithm>

#include "core/Bytes.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"

GaugeTarget g_gaugeTarget;
int g_mapViewClip[4] = {0, 0, 0, 0};

void CBarGauge::Reset() {
  width = 5;
  height = 40;
  x = y = 0;
  value = 0;
  maximum = 100;
  fill = 0;
}

bool CBarGauge::Create(int newWidth, int newHeight) {
  width = newWidth;
  height = newHeight;
  if (!pixels.Create(newWidth, newHeight, true)) return false;
  pixels.FillWords(31);
  UpdateFill();
  return true;
}

void CBarGauge::Free() { pixels.FreeData(); }

void CBarGauge::SetPosition(int newX, int newY) {
  x = newX;
  y = newY;
}

void CBarGauge::SetMax(int newMaximum) {
  // A maximum of 0 holds only the value 0: the bar is empty.
  maximum = std::max(newMaximum, 0);
  value = std::clamp(value, 0, maximum);
  UpdateFill();
}

void CBarGauge::SetValue(int newValue) {
  value = std::clamp(newValue, 0, maximum);
  UpdateFill();
}

void CBarGauge::UpdateFill() {
  const int rows = std::max(height - 2, 0);
  fill = value == 0 || maximum == 0 ? 0 : static_cast<int>(static_cast<int64_t>(value) * rows / maximum);
  fill = std::clamp(fill, 0, rows);
}

void CBarGauge::Render() {
  if (!pixels.data || pixels.width != width || pixels.height != height) return;
  auto put = [&](int column, int row, uint16_t colour) {
    bytes::StoreU16(pixels.data + (static_cast<size_t>(row) * width + column) * 2, colour);
  };
  const int empty = height - 2 - fill;
  const int step = 255 / std::min(std::max(fill, 1), 255) + 1;
  int green = 255;
  for (int row = 0; row < height; ++row) {
    const bool filled = row > empty && row <= empty + fill && row < height - 1;
    for (int column = 0; column < width; ++column) {
      uint16_t colour = 0;
      if (filled && column > 0 && column < width - 1)
        colour = g_is555 ? static_cast<uint16_t>(0x7C00 + (green / 8) * 32)
                         : static_cast<uint16_t>(0xF800 + (green / 4) * 32);
      put(column, row, colour);
    }
    if (filled) green = std::max(green - step, 0);
  }
}

void CBarGauge::Print() const {
  const GaugeTarget& target = g_gaugeTarget;
  if (!target.pixels) return;
  if (g_mapViewShown)
    pixels.BlitTo16Clipped(target.pixels, target.pitch, x, y, g_mapViewClip[0], g_mapViewClip[1], g_mapViewClip[2],
                           g_mapViewClip[3]);
  else
    pixels.BlitTo16(target.pixels, target.pitch, target.rows, x, y);
}
