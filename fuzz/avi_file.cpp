// Feeds arbitrary bytes to the movie reader, decodes what it accepts and mixes its sound track.
#include <cstdint>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/AviFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::AviFile avi;
  if (!avi.Parse(std::vector<uint8_t>(data, data + size))) return 0;
  if (avi.Width() < 1 || avi.Height() < 1 || avi.FrameCount() == 0) __builtin_trap();
  std::vector<uint16_t> pixels(static_cast<size_t>(avi.Width()) * avi.Height());
  // The first and last few frames: enough to reach every kind of frame chunk.
  for (size_t frame = 0; frame < avi.FrameCount(); ++frame) {
    if (frame == 4 && avi.FrameCount() > 8) frame = avi.FrameCount() - 4;
    avi.DecodeFrame(frame, pixels.data(), frame % 2 == 0);
  }
  if (!avi.HasSound()) return 0;
  platform::AudioMixer mixer;
  std::unique_ptr<platform::SoundBuffer> buffer;
  if (mixer.CreateBuffer(avi.SoundFormat(), avi.SoundSamples().size(), buffer) != platform::kAudioOk) __builtin_trap();
  buffer->Play(false);
  int16_t out[2 * 256];
  mixer.Mix(out, 256);
  return 0;
}
