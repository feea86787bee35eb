#pragma once
// The intro movies (fmv\intro0.avi, fmv\intro1.avi) and a tiny sample movie: uncompressed AVI
// files whose frames are drawn from a formula (a gradient that shifts from frame to frame and
// a bar that crosses the picture), with a synthesised sound track.

#include <cstdint>
#include <vector>

#include "forge/Wave.h"

namespace forge {

struct MovieSpec {
  int width = 0;
  int height = 0;
  int bits = 16;  // 16 (5-5-5) or 24
  bool topDown = false;
  int frames = 0;
  int framesPerSecond = 10;
  int repeatFrame = -1;  // a frame stored as an empty chunk, which repeats the one before it
  WaveLayout sound;      // channels 0: no sound track
};

struct Rgb {
  uint8_t r, g, b;
};

MovieSpec IntroMovieSpec(int number);  // 0 or 1
MovieSpec SampleMovieSpec();

// The colour the formula gives a pixel of a frame (a repeated frame shows the one before).
Rgb MoviePixel(const MovieSpec& spec, int frame, int x, int y);
// The whole file.
std::vector<uint8_t> MovieFileBytes(const MovieSpec& spec);

}  // namespace forge
