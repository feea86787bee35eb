#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/AudioMixer.h"

using platform::AudioMixer;
using platform::GainOf;
using platform::PcmFormat;
using platform::SoundBuffer;

namespace {

PcmFormat Format(uint16_t channels, uint32_t rate, uint16_t bits) {
  PcmFormat format;
  format.channels = channels;
  format.samplesPerSec = rate;
  format.bitsPerSample = bits;
  format.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  format.avgBytesPerSec = rate * format.blockAlign;
  return format;
}

// A 16-bit buffer holding these samples.
std::unique_ptr<SoundBuffer> Buffer16(AudioMixer& mixer, const std::vector<int16_t>& samples, uint16_t channels = 1,
                                      uint32_t rate = AudioMixer::kDefaultRate) {
  std::unique_ptr<SoundBuffer> buffer;
  EXPECT_EQ(mixer.CreateBuffer(Format(channels, rate, 16), samples.size() * 2, buffer), platform::kAudioOk);
  std::span<uint8_t> bytes = buffer->Lock();
  for (size_t i = 0; i < samples.size(); ++i) {
    bytes[2 * i] = static_cast<uint8_t>(samples[i]);
    bytes[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(samples[i]) >> 8);
  }
  return buffer;
}

// Mixes frames and answers the left and right samples.
std::vector<int16_t> Mix(AudioMixer& mixer, size_t frames) {
  std::vector<int16_t> out(frames * 2);
  mixer.Mix(out.data(), frames);
  return out;
}

int Scaled(int sample, uint32_t gain) { return static_cast<int>(static_cast<int64_t>(sample) * gain >> 16); }

TEST(AudioMixer, GainFollowsHundredthsOfADecibel) {
  EXPECT_EQ(GainOf(0), 65536u);
  EXPECT_EQ(GainOf(-600), 32846u);  // -6 dB is about half
  EXPECT_EQ(GainOf(-2000), 6554u);  // -20 dB a tenth
  EXPECT_EQ(GainOf(-10000), 0u);    // silence
}

TEST(AudioMixer, MixesTwoSoundsWithVolumeAndPan) {
  AudioMixer mixer;
  auto first = Buffer16(mixer, {1000, -2000, 3000, 4000});
  auto second = Buffer16(mixer, {8000, 8000, -8000, 100});
  ASSERT_EQ(second->SetVolume(-600), platform::kAudioOk);
  ASSERT_EQ(second->SetPan(2000), platform::kAudioOk);  // toward the right: the left loses 20 dB
  first->Play(false);
  second->Play(false);
  std::vector<int16_t> out = Mix(mixer, 4);
  const int firstSamples[4] = {1000, -2000, 3000, 4000};
  const int secondSamples[4] = {8000, 8000, -8000, 100};
  for (int f = 0; f < 4; ++f) {
    EXPECT_EQ(out[2 * f], firstSamples[f] + Scaled(secondSamples[f], GainOf(-2600))) << f;
    EXPECT_EQ(out[2 * f + 1], firstSamples[f] + Scaled(secondSamples[f], GainOf(-600))) << f;
  }
  EXPECT_EQ(out[1], 1000 + 4009);  // 8000 at -6 dB
}

TEST(AudioMixer, FullPanSilencesTheOtherSideAndSumsClip) {
  AudioMixer mixer;
  auto left = Buffer16(mixer, {30000, -30000});
  auto both = Buffer16(mixer, {30000, -30000});
  left->SetPan(platform::kPanLeft);
  left->Play(false);
  both->Play(false);
  std::vector<int16_t> out = Mix(mixer, 2);
  EXPECT_EQ(out, (std::vector<int16_t>{32767, 30000, -32768, -30000}));
}

TEST(AudioMixer, LoopsAndStopsAtTheEnd) {
  AudioMixer mixer;
  auto looping = Buffer16(mixer, {1, 2, 3});
  auto once = Buffer16(mixer, {100, 200, 300});
  int finished = 0;
  once->SetOnFinished([&] { ++finished; });
  looping->Play(true);
  once->Play(false);
  std::vector<int16_t> out = Mix(mixer, 7);
  std::vector<int16_t> left;
  for (size_t f = 0; f < 7; ++f) left.push_back(out[2 * f]);
  EXPECT_EQ(left, (std::vector<int16_t>{101, 202, 303, 1, 2, 3, 1}));
  EXPECT_EQ(finished, 1);
  SoundBuffer::Status status;
  once->GetStatus(status);
  EXPECT_FALSE(status.playing);
  EXPECT_EQ(once->Position(), 0u);  // a finished sound stands at its start again
  looping->GetStatus(status);
  EXPECT_TRUE(status.playing && status.looping);
  EXPECT_EQ(mixer.PlayingCount(), 1u);
}

TEST(AudioMixer, StopKeepsThePositionAndPlayResumes) {
  AudioMixer mixer;
  auto buffer = Buffer16(mixer, {5, 6, 7, 8});
  buffer->Play(false);
  Mix(mixer, 2);
  buffer->Stop();
  EXPECT_EQ(buffer->Position(), 4u);
  EXPECT_EQ(Mix(mixer, 1), (std::vector<int16_t>{0, 0}));
  buffer->Play(false);
  EXPECT_EQ(Mix(mixer, 1), (std::vector<int16_t>{7, 7}));
  EXPECT_EQ(buffer->SetPosition(0), platform::kAudioOk);
  EXPECT_EQ(Mix(mixer, 1), (std::vector<int16_t>{5, 5}));
}

TEST(AudioMixer, ReadsEightBitStereoAndOtherRates) {
  AudioMixer mixer;
  std::unique_ptr<SoundBuffer> eight;
  ASSERT_EQ(mixer.CreateBuffer(Format(2, 22050, 8), 4, eight), platform::kAudioOk);
  std::span<uint8_t> bytes = eight->Lock();
  const uint8_t raw[4] = {0x80, 0xFF, 0x00, 0x90};  // silence, loudest, quietest, a little
  std::copy(raw, raw + 4, bytes.begin());
  eight->Play(false);
  EXPECT_EQ(Mix(mixer, 2), (std::vector<int16_t>{0, 127 * 256, -128 * 256, 16 * 256}));

  // Half the output rate: every second output frame lies between two samples, and a steady
  // level stays steady through the resampling filter.
  auto slow = Buffer16(mixer, std::vector<int16_t>(64, 1000), 1, 11025);
  slow->Play(true);
  std::vector<int16_t> out = Mix(mixer, 50);
  for (int16_t sample : out) EXPECT_NEAR(sample, 1000, 1);
}

namespace {

// A sine of this frequency and amplitude at a rate, as 16-bit samples.
std::vector<int16_t> Tone(double frequency, uint32_t rate, size_t count, double amplitude) {
  std::vector<int16_t> samples(count);
  for (size_t i = 0; i < count; ++i)
    samples[i] = static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(2 * M_PI * frequency * i / rate)));
  return samples;
}

// The mean square of the left channel, leaving out both ends (where the sound starts and stops).
double Energy(const std::vector<int16_t>& stereo) {
  const size_t frames = stereo.size() / 2, skip = frames / 8;
  double sum = 0;
  for (size_t f = skip; f < frames - skip; ++f) sum += static_cast<double>(stereo[2 * f]) * stereo[2 * f];
  return sum / static_cast<double>(frames - 2 * skip);
}

}  // namespace

// A tone above what the output rate can hold is filtered out, not folded back: a 15 kHz tone
// at 44.1 kHz mixed at 22,050 Hz keeps under 1% of the energy that dropping every other
// sample leaves (there it sounds at 7,050 Hz), while a 3 kHz tone keeps its level.
TEST(AudioMixer, ASlowerOutputRateFiltersOutWhatItCannotHold) {
  AudioMixer mixer(22050);
  const std::vector<int16_t> high = Tone(15000, 44100, 8820, 0.5);
  std::vector<int16_t> dropped;
  for (size_t i = 0; i < high.size(); i += 2) dropped.insert(dropped.end(), {high[i], high[i]});
  auto buffer = Buffer16(mixer, high, 1, 44100);
  buffer->Play(false);
  const double filtered = Energy(Mix(mixer, 4410));
  EXPECT_LT(filtered, 0.01 * Energy(dropped));

  const std::vector<int16_t> low = Tone(3000, 44100, 8820, 0.5);
  std::vector<int16_t> straight;
  for (size_t i = 0; i < low.size(); i += 2) straight.insert(straight.end(), {low[i], low[i]});
  auto kept = Buffer16(mixer, low, 1, 44100);
  kept->Play(false);
  EXPECT_NEAR(Energy(Mix(mixer, 4410)) / Energy(straight), 1.0, 0.05);
}

namespace {

// What one filtered sound should give, worked the slow way: the filter's own weights at
// each output frame's exact fraction, summed in order. Mono, volume 0, pan 0.
std::vector<int> ReferenceResample(const std::vector<int16_t>& input, uint32_t inputRate, uint32_t outputRate,
                                   bool looping, size_t frames) {
  const platform::ResamplingKernel kernel(inputRate, outputRate);
  const int halfWidth = kernel.HalfWidth();
  std::vector<float> weights(2 * halfWidth);
  const uint64_t step = (static_cast<uint64_t>(inputRate) << 16) / outputRate;
  const uint64_t end = static_cast<uint64_t>(input.size()) << 16;
  const int64_t count = static_cast<int64_t>(input.size());
  std::vector<int> out;
  uint64_t position = 0;
  for (size_t f = 0; f < frames; ++f) {
    if (position >= end) {
      if (!looping) break;
      position %= end;
    }
    kernel.Weights(static_cast<uint32_t>(position & 0xFFFF), weights.data());
    float sum = 0;
    for (int k = 0; k < 2 * halfWidth; ++k) {
      int64_t at = static_cast<int64_t>(position >> 16) - halfWidth + 1 + k;
      if (at < 0 || at >= count) {
        if (!looping) continue;
        at = (at % count + count) % count;
      }
      sum += weights[k] * input[static_cast<size_t>(at)];
    }
    out.push_back(std::clamp(static_cast<int>(std::lround(sum)), -32768, 32767));
    position += step;
  }
  return out;
}

}  // namespace

// The mixer filters through a table of phases and mixes a run at a time; what it gives must
// be what the filter's exact weights give, within one step of the 16-bit output, whatever
// the rates, the loop and the sizes of the buffers the output asks for.
TEST(AudioMixer, TheTabledFilterGivesWhatTheFiltersWeightsGive) {
  struct Case {
    uint32_t inputRate, outputRate;
    bool looping;
    size_t inputFrames, callFrames;
  };
  const Case cases[] = {
      {11025, 22050, false, 3000, 512}, {11025, 44100, true, 1001, 300}, {44100, 22050, false, 5000, 512},
      {48000, 22050, true, 777, 1000},  {8000, 22050, true, 97, 129},    {22050, 44100, false, 2500, 64},
      {32000, 44100, true, 4096, 700},  {200000, 22050, false, 9000, 512},
  };
  uint32_t seed = 12345;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.inputRate << " Hz into " << c.outputRate << " Hz, looping " << c.looping);
    std::vector<int16_t> input(c.inputFrames);
    for (int16_t& sample : input) {
      seed = seed * 1103515245u + 12345u;
      sample = static_cast<int16_t>((seed >> 8) % 40000 - 20000);
    }
    const size_t frames = 3000;
    const std::vector<int> expected = ReferenceResample(input, c.inputRate, c.outputRate, c.looping, frames);
    AudioMixer mixer(c.outputRate);
    auto buffer = Buffer16(mixer, input, 1, c.inputRate);
    buffer->Play(c.looping);
    std::vector<int16_t> mixed;
    while (mixed.size() < 2 * frames) {
      const std::vector<int16_t> part = Mix(mixer, c.callFrames);
      mixed.insert(mixed.end(), part.begin(), part.end());
    }
    int worst = 0;
    for (size_t f = 0; f < frames; ++f) {
      const int want = f < expected.size() ? expected[f] : 0;  // silence once a sound ended
      worst = std::max({worst, std::abs(mixed[2 * f] - want), std::abs(mixed[2 * f + 1] - want)});
    }
    EXPECT_LE(worst, 1);
  }
}

TEST(AudioMixer, MasterVolumeActsOnEffectsAndTheCdLineOnMusic) {
  AudioMixer mixer;
  auto effect = Buffer16(mixer, {10000});
  auto music = Buffer16(mixer, {10000});
  music->SetLine(platform::AudioLine::kCdLine);
  ASSERT_EQ(mixer.SetMasterVolume(-2000), platform::kAudioOk);
  mixer.SetCdLineVolume(0xFFFF, 0);
  effect->Play(false);
  music->Play(false);
  EXPECT_EQ(Mix(mixer, 1), (std::vector<int16_t>{static_cast<int16_t>(Scaled(10000, GainOf(-2000)) + 10000),
                                                 static_cast<int16_t>(Scaled(10000, GainOf(-2000)))}));
  EXPECT_EQ(mixer.SetMasterVolume(1), platform::kAudioInvalidParam);
  EXPECT_EQ(mixer.MasterVolume(), -2000);
}

TEST(AudioMixer, DuplicatesShareDataAndPlayOnTheirOwn) {
  AudioMixer mixer;
  auto source = Buffer16(mixer, {300, 400});
  std::unique_ptr<SoundBuffer> copy;
  ASSERT_EQ(mixer.DuplicateBuffer(*source, copy), platform::kAudioOk);
  EXPECT_TRUE(source->Lock().empty());  // shared data is no longer writable
  source->Play(false);
  Mix(mixer, 1);
  copy->Play(false);
  EXPECT_EQ(Mix(mixer, 1), (std::vector<int16_t>{700, 700}));
  copy.reset();  // a destroyed buffer leaves the mix
  EXPECT_EQ(mixer.PlayingCount(), 0u);
}

TEST(AudioMixer, RefusesWhatItCannotPlay) {
  AudioMixer mixer;
  std::unique_ptr<SoundBuffer> buffer;
  PcmFormat compressed = Format(1, 22050, 16);
  compressed.formatTag = 2;
  EXPECT_EQ(mixer.CreateBuffer(compressed, 100, buffer), platform::kAudioBadFormat);
  EXPECT_EQ(mixer.CreateBuffer(Format(3, 22050, 16), 120, buffer), platform::kAudioBadFormat);
  EXPECT_EQ(mixer.CreateBuffer(Format(1, 22050, 12), 120, buffer), platform::kAudioBadFormat);
  EXPECT_EQ(mixer.CreateBuffer(Format(1, 50, 16), 120, buffer), platform::kAudioBadFormat);
  EXPECT_EQ(mixer.CreateBuffer(Format(2, 22050, 16), 3, buffer), platform::kAudioInvalidParam);  // no whole frame
  EXPECT_EQ(buffer, nullptr);

  auto sound = Buffer16(mixer, {1});
  EXPECT_EQ(sound->SetVolume(100), platform::kAudioInvalidParam);
  EXPECT_EQ(sound->SetPan(-10001), platform::kAudioInvalidParam);
  sound->MarkLost();
  SoundBuffer::Status status;
  sound->GetStatus(status);
  EXPECT_TRUE(status.lost);
  EXPECT_EQ(sound->Play(false), platform::kAudioBufferLost);
  EXPECT_EQ(mixer.DuplicateBuffer(*sound, buffer), platform::kAudioBufferLost);
}

}  // namespace

#include "platform/AudioOutput.h"

namespace {

TEST(AudioOutput, OpensTheDeviceForTheFirstUserAndClosesAfterTheLast) {
  platform::SetManualAudioOutput(false);
  ASSERT_EQ(platform::AcquireAudioOutput(), platform::kAudioOk);  // the dummy driver under test
  ASSERT_EQ(platform::AcquireAudioOutput(), platform::kAudioOk);
  platform::ReleaseAudioOutput();
  EXPECT_TRUE(platform::AudioOutputIsOpen());
  platform::ReleaseAudioOutput();
  EXPECT_FALSE(platform::AudioOutputIsOpen());
}

}  // namespace
