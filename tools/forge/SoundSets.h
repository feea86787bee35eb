#pragma once
// The game's sound set: Sounds.ini in the folder Sounds with every sound the game plays,
// synthesised, and sample WAVE files of every layout the sound manager plays.

#include <string>
#include <vector>

#include "forge/Wave.h"

namespace forge {

struct SampleWave {
  std::string name;  // written as samples\wave\<name>.wav
  WaveLayout layout;
  std::vector<int16_t> samples;  // interleaved, 16-bit (8-bit layouts keep the top byte)
};

// One sample of each playable layout (8 and 16 bits, mono and stereo, three rates, both
// sizes of the format chunk).
std::vector<SampleWave> SampleWaves();

}  // namespace forge
