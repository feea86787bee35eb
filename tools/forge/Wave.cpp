#include "forge/Wave.h"

#include <algorithm>
#include <cmath>

#include "core/Random.h"
#include "forge/RiffWriter.h"

namespace forge {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Rises over the first 5 ms (no click), then decays.
double Envelope(double t, double length, double decay) {
  double attack = std::min(1.0, t / 0.005);
  double release = std::min(1.0, (length - t) / 0.01);  // and never stops abruptly
  return attack * std::max(0.0, release) * std::exp(-decay * t / std::max(length, 1e-6));
}

}  // namespace

std::vector<uint8_t> EncodeSamples(const WaveLayout& layout, const std::vector<int16_t>& samples) {
  bytes::Writer out;
  for (int16_t sample : samples) {
    if (layout.bits == 8)
      out.U8(static_cast<uint8_t>((sample >> 8) + 128));
    else
      out.I16(sample);
  }
  return out.Data();
}

std::vector<uint8_t> WaveFileBytes(const WaveLayout& layout, const std::vector<int16_t>& samples) {
  RiffWriter riff;
  size_t form = riff.Open("RIFF", "WAVE");
  uint16_t blockAlign = static_cast<uint16_t>(layout.channels * layout.bits / 8);
  size_t format = riff.Open("fmt ");
  bytes::Writer& out = riff.Out();
  out.U16(1);
  out.U16(layout.channels);
  out.U32(layout.rate);
  out.U32(layout.rate * blockAlign);
  out.U16(blockAlign);
  out.U16(layout.bits);
  if (layout.extendedFormat) out.U16(0);
  riff.Close(format);
  riff.Chunk("data", EncodeSamples(layout, samples));
  riff.Close(form);
  return riff.Data();
}

Synth::Synth(uint32_t rate, double seconds)
    : rate_(rate), samples_(static_cast<size_t>(std::max(1.0, seconds * rate)), 0.0) {}

Synth& Synth::Tone(double start, double length, double hertz, double level, int harmonics, double decay) {
  size_t first = static_cast<size_t>(start * rate_);
  size_t count = static_cast<size_t>(length * rate_);
  for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
    double t = static_cast<double>(i) / rate_;
    double value = 0.0;
    double weight = 1.0;
    for (int h = 1; h <= harmonics; ++h, weight *= 0.5) value += weight * std::sin(2 * kPi * hertz * h * t);
    samples_[first + i] += level * 0.5 * value * Envelope(t, length, decay);
  }
  return *this;
}

Synth& Synth::Sweep(double start, double length, double fromHertz, double toHertz, double level) {
  size_t first = static_cast<size_t>(start * rate_);
  size_t count = static_cast<size_t>(length * rate_);
  double phase = 0.0;
  for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
    double t = static_cast<double>(i) / rate_;
    double hertz = fromHertz + (toHertz - fromHertz) * t / length;
    phase += 2 * kPi * hertz / rate_;
    samples_[first + i] += level * std::sin(phase) * Envelope(t, length, 2.0);
  }
  return *this;
}

Synth& Synth::Noise(double start, double length, double level, double smoothing, uint32_t seed, double decay) {
  CRandom random(seed);
  size_t first = static_cast<size_t>(start * rate_);
  size_t count = static_cast<size_t>(length * rate_);
  double held = 0.0;
  for (size_t i = 0; i < count && first + i < samples_.size(); ++i) {
    double t = static_cast<double>(i) / rate_;
    double white = static_cast<double>(random.Next() & 0xFFFF) / 32768.0 - 1.0;
    held = smoothing * held + (1.0 - smoothing) * white;
    samples_[first + i] += level * held * Envelope(t, length, decay);
  }
  return *this;
}

Synth& Synth::Chord(double start, double length, const std::vector<double>& hertz, double level) {
  for (double h : hertz) Tone(start, length, h, level / static_cast<double>(hertz.size()), 2, 1.5);
  return *this;
}

std::vector<int16_t> Synth::Render(uint16_t channels, double pan) const {
  std::vector<int16_t> out;
  out.reserve(samples_.size() * channels);
  double left = channels == 2 ? std::min(1.0, 1.0 - pan) : 1.0;
  double right = std::min(1.0, 1.0 + pan);
  auto clip = [](double v) { return static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)); };
  for (double sample : samples_) {
    out.push_back(clip(sample * left));
    if (channels == 2) out.push_back(clip(sample * right));
  }
  return out;
}

}  // namespace forge
