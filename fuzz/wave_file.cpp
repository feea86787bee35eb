// Feeds arbitrary bytes to the WAVE reader, and what it accepts to a sound buffer and the mixer.
#include <cstdint>
#include <vector>

#include "platform/AudioMixer.h"
#include "sound/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CWaveFile wave;
  if (!wave.OpenImage(std::vector<uint8_t>(data, data + size))) return 0;
  WaveFormat format;
  if (!wave.ReadFormat(&format)) __builtin_trap();
  uint32_t dataSize = wave.GetDataSize();
  if (dataSize > size) __builtin_trap();
  uint8_t* whole = nullptr;
  if (wave.ReadData(&whole, 0) != dataSize) __builtin_trap();
  CWaveFile::FreeData(whole);

  platform::PcmFormat pcm{format.formatTag,      format.channels,   format.samplesPerSec,
                          format.avgBytesPerSec, format.blockAlign, format.bitsPerSample};
  platform::AudioMixer mixer;
  std::unique_ptr<platform::SoundBuffer> buffer;
  if (mixer.CreateBuffer(pcm, dataSize, buffer) != platform::kAudioOk) return 0;
  std::span<uint8_t> bytes = buffer->Lock();
  uint8_t* target = bytes.data();
  wave.ReadData(&target, static_cast<uint32_t>(bytes.size()));
  buffer->SetVolume(-300);
  buffer->SetPan(1500);
  buffer->Play(true);
  int16_t out[2 * 256];
  mixer.Mix(out, 256);
  return 0;
}
