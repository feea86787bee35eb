#pragma once
// CBarGauge: a small vertical bar drawn over the battle map (a creature's health or mana, a
// spell's cost): a 16-bit image of its own, redrawn when its value changes and copied into
// the frame's back buffer at its position.

#include <cstdint>

#include "graphics/Pictures.h"

// The frame's locked back buffer as the frame's drawing code keeps it, and the map view's
// rectangle that gauges are clipped to while the battle map is shown.
struct GaugeTarget {
  uint8_t* pixels = nullptr;
  int pitch = 0;  // bytes
  int rows = 0;
};
extern GaugeTarget g_gaugeTarget;
extern int g_mapViewClip[4];  // left, top, right, bottom

class CBarGauge {
 public:
  CBarGauge() { Reset(); }

  void Reset();
  // Sets the size and allocates the pixels, every one set to 31.
  bool Create(int width, int height);
  void Free();
  void SetPosition(int x, int y);
  // The maximum is at least 1; the value is kept within 0 and the maximum.
  void SetMax(int maximum);
  void SetValue(int value);
  void Render();
  void Print() const;

  int width;
  int height;
  int x;
  int y;
  int value;
  int maximum;
  int fill;  // filled rows
  CRawImage pixels;

 private:
  void UpdateFill();
};
