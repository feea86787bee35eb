#include "sound/WaveFile.h"

#include <algorithm>
#include <cstring>

#include "core/Bytes.h"
#include "core/DataFile.h"
#include "platform/AudioMixer.h"
#include "platform/Riff.h"

int CWaveFile::Open(const char* path) {
  Free();
  CDataFile file;
  if (!file.Open(path, "rb")) return 0;
  int size = file.GetSize(1);
  if (size <= 0) return 0;
  std::vector<uint8_t> image(static_cast<size_t>(size));
  if (!file.Read(image.data(), size)) return 0;
  return OpenImage(std::move(image));
}

int CWaveFile::OpenImage(std::vector<uint8_t> image) {
  Free();
  if (image.empty() || image.size() > UINT32_MAX) return 0;
  platform::RiffImage riff(image);
  std::optional<platform::RiffChunk> wave = riff.Form(platform::FourCC("WAVE"));
  if (!wave) return 0;
  std::optional<platform::RiffChunk> format = riff.FindChild(*wave, platform::FourCC("fmt "));
  std::optional<platform::RiffChunk> data = riff.FindChild(*wave, platform::FourCC("data"));
  if (!format || !data || format->dataSize < 16) return 0;
  formatOffset_ = format->dataOffset;
  formatSize_ = format->dataSize;
  dataOffset_ = data->dataOffset;
  dataSize_ = data->dataSize;
  image_ = std::move(image);
  return 1;
}

int CWaveFile::Free() {
  image_.clear();
  image_.shrink_to_fit();
  formatOffset_ = formatSize_ = dataOffset_ = dataSize_ = 0;
  return 0;
}

int CWaveFile::ReadFormat(WaveFormat* format) const {
  if (!HasImage() || format == nullptr) return 0;
  uint8_t block[18] = {};
  std::memcpy(block, image_.data() + formatOffset_, std::min<size_t>(formatSize_, sizeof block));
  bytes::Reader in(block, sizeof block);
  format->formatTag = in.U16();
  // An extensible block of PCM samples is handed out as the plain PCM block it amounts to.
  const uint16_t plainTag =
      platform::PcmFormatOf(std::span<const uint8_t>(image_.data() + formatOffset_, formatSize_)).formatTag;
  if (plainTag != format->formatTag) format->formatTag = plainTag;
  format->channels = in.U16();
  format->samplesPerSec = in.U32();
  format->avgBytesPerSec = in.U32();
  format->blockAlign = in.U16();
  format->bitsPerSample = in.U16();
  format->extraSize = in.U16();
  return 1;
}

uint32_t CWaveFile::GetDataSize() const { return HasImage() ? static_cast<uint32_t>(dataSize_) : 0; }

uint32_t CWaveFile::ReadData(uint8_t** buffer, uint32_t capacity) const {
  if (!HasImage() || buffer == nullptr) return 0;
  size_t count = dataSize_;
  if (*buffer == nullptr) {
    *buffer = new uint8_t[std::max<size_t>(count, 1)];
  } else {
    count = std::min<size_t>(count, capacity);
  }
  if (count) std::memcpy(*buffer, image_.data() + dataOffset_, count);
  return static_cast<uint32_t>(count);
}

platform::PcmFormat ToPcmFormat(const WaveFormat& wave) {
  platform::PcmFormat format;
  format.formatTag = wave.formatTag;
  format.channels = wave.channels;
  format.samplesPerSec = wave.samplesPerSec;
  format.avgBytesPerSec = wave.avgBytesPerSec;
  format.blockAlign = wave.blockAlign;
  format.bitsPerSample = wave.bitsPerSample;
  return format;
}
