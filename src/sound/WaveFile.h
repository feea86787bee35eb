#pragma once
// CWaveFile: a whole WAVE file (RIFF form "WAVE") held in memory, read from disk once, which
// answers what the sound manager asks when it fills a sound buffer: the format block, the
// size of the sample data and the samples. Open checks the image: it must be a RIFF "WAVE"
// form with a "fmt " chunk of at least 16 bytes and a "data" chunk, every chunk inside the
// file; anything else is refused, so the questions never read outside the image.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/AudioMixer.h"

// The first 18 bytes of the "fmt " chunk. A 16-byte chunk leaves extraSize 0.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;
};

// The layout a sound buffer needs for the samples of a format block.
platform::PcmFormat ToPcmFormat(const WaveFormat& wave);

class CWaveFile {
 public:
  CWaveFile() = default;
  virtual ~CWaveFile() { Free(); }
  CWaveFile(const CWaveFile&) = delete;
  CWaveFile& operator=(const CWaveFile&) = delete;

  // 1 when the whole file was read and is a WAVE image, else 0 (and no image). Releases any
  // image held before.
  int Open(const char* path);
  // The same over an image already in memory.
  int OpenImage(std::vector<uint8_t> image);
  // Releases the image; 0.
  int Free();

  // 1 with the format block, 0 without an image. An extensible block (WAVE_FORMAT_EXTENSIBLE)
  // whose samples are PCM comes as the plain PCM block it amounts to: format tag 1.
  int ReadFormat(WaveFormat* format) const;
  // Bytes of the "data" chunk; 0 without an image.
  uint32_t GetDataSize() const;
  // Copies the "data" chunk into *buffer, at most capacity bytes, and answers the count.
  // With *buffer null, a new block of the chunk's size is made (free it with FreeData) and
  // the whole chunk copied into it.
  uint32_t ReadData(uint8_t** buffer, uint32_t capacity) const;
  static void FreeData(uint8_t* block) { delete[] block; }

  bool HasImage() const { return !image_.empty(); }
  uint32_t ImageSize() const { return static_cast<uint32_t>(image_.size()); }

 private:
  // Where the "fmt " and "data" chunks lie; set by a successful open.
  size_t formatOffset_ = 0;
  size_t formatSize_ = 0;
  size_t dataOffset_ = 0;
  size_t dataSize_ = 0;
  std::vector<uint8_t> image_;
};
