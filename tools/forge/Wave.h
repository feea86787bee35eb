#pragma once
// WAVE files and the synthesiser of the game's sounds: tones, sweeps, noise bursts and chords
// shaped by an envelope, all computed from their parameters alone (noise from a seeded
// CRandom), so the forge writes the same samples every time.

#include <cstdint>
#include <vector>

namespace forge {

struct WaveLayout {
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 16;
  bool extendedFormat = false;  // an 18-byte "fmt " chunk (with its extra size 0) instead of 16
};

// Interleaved samples in the file's own form: 16-bit signed, or 8-bit unsigned (128 silence).
std::vector<uint8_t> EncodeSamples(const WaveLayout& layout, const std::vector<int16_t>& samples);
// A whole WAVE file of interleaved 16-bit samples (8-bit layouts keep their top byte).
std::vector<uint8_t> WaveFileBytes(const WaveLayout& layout, const std::vector<int16_t>& samples);

// A sound being built: mono samples in -1..1 at a rate, mixed from parts.
class Synth {
 public:
  Synth(uint32_t rate, double seconds);

  // A tone with a few harmonics (weights halving), from start for length seconds, with an
  // attack and an exponential decay.
  Synth& Tone(double start, double length, double hertz, double level, int harmonics = 3, double decay = 4.0);
  // A tone gliding from one pitch to another.
  Synth& Sweep(double start, double length, double fromHertz, double toHertz, double level);
  // A noise burst, low-passed by smoothing (0 none .. 0.99 dull), decaying.
  Synth& Noise(double start, double length, double level, double smoothing, uint32_t seed, double decay = 6.0);
  // Several tones at once.
  Synth& Chord(double start, double length, const std::vector<double>& hertz, double level);

  // The samples as 16-bit, clipped, in channels (stereo copies spread by pan -1..1).
  std::vector<int16_t> Render(uint16_t channels = 1, double pan = 0.0) const;
  uint32_t Rate() const { return rate_; }

 private:
  uint32_t rate_;
  std::vector<double> samples_;
};

}  // namespace forge
