#include "platform/AudioMixer.h"

#include <algorithm>
#include <cmath>

#include "platform/Riff.h"

namespace platform {

uint32_t GainOf(int32_t centibels) {
  if (centibels <= kVolumeMin) return 0;
  if (centibels >= 0) return 65536;
  return static_cast<uint32_t>(std::lround(65536.0 * std::pow(10.0, centibels / 2000.0)));
}

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The rest of the PCM sub-format's GUID, after its first four bytes (the format tag 1).
constexpr uint8_t kPcmGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The plain format tag an extensible format block amounts to: its sub-format's tag when the
// sub-format is of the PCM family, else the extensible tag itself.
uint16_t ExtensibleTag(std::span<const uint8_t> chunk) {
  // 18 bytes of the plain block, then valid bits (2), channel mask (4) and the GUID (16).
  if (chunk.size() < 40 || ReadLE16(chunk, 16) < 22) return kFormatExtensible;
  if (!std::equal(std::begin(kPcmGuidTail), std::end(kPcmGuidTail), chunk.begin() + 28)) return kFormatExtensible;
  if (ReadLE16(chunk, 26) != 0) return kFormatExtensible;
  return ReadLE16(chunk, 24);
}

}  // namespace

PcmFormat PcmFormatOf(std::span<const uint8_t> formatChunk) {
  PcmFormat format;
  format.formatTag = ReadLE16(formatChunk, 0);
  if (format.formatTag == kFormatExtensible) format.formatTag = ExtensibleTag(formatChunk);
  format.channels = ReadLE16(formatChunk, 2);
  format.samplesPerSec = ReadLE32(formatChunk, 4);
  format.avgBytesPerSec = ReadLE32(formatChunk, 8);
  format.blockAlign = ReadLE16(formatChunk, 12);
  format.bitsPerSample = ReadLE16(formatChunk, 14);
  return format;
}

bool IsPlayableFormat(const PcmFormat& format) {
  if (format.formatTag != kFormatPcm) return false;
  if (format.channels != 1 && format.channels != 2) return false;
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
  if (format.blockAlign != format.channels * format.bitsPerSample / 8) return false;
  return format.samplesPerSec >= 100 && format.samplesPerSec <= 200000;
}

// --- SoundBuffer ---------------------------------------------------------------------------

SoundBuffer::SoundBuffer(AudioMixer& mixer, const PcmFormat& format, std::shared_ptr<std::vector<uint8_t>> data,
                         std::shared_ptr<const ResamplingKernel> kernel)
    : mixer_(mixer),
      format_(format),
      data_(std::move(data)),
      kernel_(std::move(kernel)),
      frames_(data_->size() / format.blockAlign) {}

SoundBuffer::~SoundBuffer() {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  mixer_.RemoveLocked(this);
}

std::span<uint8_t> SoundBuffer::Lock() {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  if (playing_ || lost_ || data_.use_count() != 1) return {};
  return std::span<uint8_t>(*data_);
}

int32_t SoundBuffer::Play(bool loop) {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  if (lost_) return kAudioBufferLost;
  looping_ = loop;
  if (!playing_) {
    playing_ = true;
    mixer_.StartLocked(this);
  }
  return kAudioOk;
}

int32_t SoundBuffer::Stop() {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  playing_ = false;
  mixer_.RemoveLocked(this);
  return kAudioOk;
}

int32_t SoundBuffer::SetPosition(uint32_t byteOffset) {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  size_t frame = byteOffset / format_.blockAlign;
  if (frame > frames_) return kAudioInvalidParam;
  position_ = static_cast<uint64_t>(frame) << 16;
  return kAudioOk;
}

uint32_t SoundBuffer::Position() const {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  return static_cast<uint32_t>((position_ >> 16) * format_.blockAlign);
}

int32_t SoundBuffer::GetStatus(Status& status) const {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  status.playing = playing_;
  status.looping = playing_ && looping_;
  status.lost = lost_;
  return kAudioOk;
}

int32_t SoundBuffer::SetVolume(int32_t centibels) {
  if (centibels < kVolumeMin || centibels > kVolumeMax) return kAudioInvalidParam;
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  volume_ = centibels;
  return kAudioOk;
}

int32_t SoundBuffer::Volume() const {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  return volume_;
}

int32_t SoundBuffer::SetPan(int32_t pan) {
  if (pan < kPanLeft || pan > kPanRight) return kAudioInvalidParam;
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  pan_ = pan;
  return kAudioOk;
}

int32_t SoundBuffer::Pan() const {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  return pan_;
}

void SoundBuffer::SetLine(AudioLine line) {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  line_ = line;
}

void SoundBuffer::SetOnFinished(std::function<void()> onFinished) {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  onFinished_ = std::move(onFinished);
}

void SoundBuffer::MarkLost() {
  std::lock_guard<std::mutex> lock(mixer_.mutex_);
  lost_ = true;
  playing_ = false;
  mixer_.RemoveLocked(this);
}

int SoundBuffer::SampleAt(size_t frame, int channel) const {
  const uint8_t* at = data_->data() + frame * format_.blockAlign;
  if (format_.bitsPerSample == 8) return (static_cast<int>(at[channel]) - 128) * 256;
  return static_cast<int16_t>(static_cast<uint16_t>(at[2 * channel] | at[2 * channel + 1] << 8));
}

void SoundBuffer::DecodeFrames(int64_t from, size_t count, float* left, float* right) const {
  const int rightChannel = format_.channels == 2 ? 1 : 0;
  const int64_t frames = static_cast<int64_t>(frames_);
  if (!right && format_.bitsPerSample == 16 && from >= 0 && from + static_cast<int64_t>(count) <= frames) {
    // The usual effect sound, whole inside the buffer: read straight.
    const uint8_t* at = data_->data() + 2 * from;
    for (size_t i = 0; i < count; ++i, at += 2)
      left[i] = static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(at[0] | at[1] << 8)));
    return;
  }
  for (size_t i = 0; i < count; ++i) {
    int64_t at = from + static_cast<int64_t>(i);
    if (at < 0 || at >= frames) {
      if (!looping_) {
        left[i] = 0;
        if (right) right[i] = 0;
        continue;
      }
      at = (at % frames + frames) % frames;
    }
    left[i] = static_cast<float>(SampleAt(static_cast<size_t>(at), 0));
    if (right) right[i] = static_cast<float>(SampleAt(static_cast<size_t>(at), rightChannel));
  }
}

void SoundBuffer::MixFilteredRun(int32_t* accumulator, size_t frames, uint32_t step, int64_t gainLeft,
                                 int64_t gainRight, float* scratch) {
  const int64_t first = static_cast<int64_t>(position_ >> 16);
  const int64_t last = static_cast<int64_t>((position_ + (frames - 1) * static_cast<uint64_t>(step)) >> 16);
  const size_t count = static_cast<size_t>(last - first) + static_cast<size_t>(kernel_->Taps());
  const bool stereo = format_.channels == 2;
  float* left = scratch;
  float* right = stereo ? scratch + count : nullptr;
  DecodeFrames(first - kernel_->HalfWidth() + 1, count, left, right);
  for (size_t f = 0; f < frames; ++f) {
    const size_t offset = static_cast<size_t>(static_cast<int64_t>(position_ >> 16) - first);
    const uint32_t fraction = static_cast<uint32_t>(position_ & 0xFFFF);
    int64_t leftSample, rightSample;
    if (stereo) {
      float filteredLeft, filteredRight;
      kernel_->Filter(fraction, left + offset, right + offset, filteredLeft, filteredRight);
      leftSample = RoundToNearest(filteredLeft);
      rightSample = RoundToNearest(filteredRight);
    } else {
      leftSample = rightSample = RoundToNearest(kernel_->Filter(fraction, left + offset));  // heard on both sides
    }
    accumulator[2 * f] += static_cast<int32_t>(leftSample * gainLeft >> 16);
    accumulator[2 * f + 1] += static_cast<int32_t>(rightSample * gainRight >> 16);
    position_ += step;
  }
}

bool SoundBuffer::MixInto(int32_t* accumulator, size_t frames, uint32_t step, int32_t masterVolume, uint32_t lineLeft,
                          uint32_t lineRight, float* scratch) {
  int32_t base = volume_ + (line_ == AudioLine::kEffects ? masterVolume : 0);
  int64_t gainLeft = GainOf(base + std::min(0, -pan_));
  int64_t gainRight = GainOf(base + std::min(0, pan_));
  if (line_ == AudioLine::kCdLine) {
    gainLeft = gainLeft * lineLeft >> 16;
    gainRight = gainRight * lineRight >> 16;
  }
  const int right = format_.channels == 2 ? 1 : 0;
  const uint64_t end = static_cast<uint64_t>(frames_) << 16;
  for (size_t f = 0; f < frames;) {
    if (position_ >= end) {
      if (!looping_) {
        position_ = 0;
        return true;
      }
      position_ %= end;
    }
    // A run at a time that stops short of the end (where a loop wraps).
    const uint64_t beforeEnd = (end - position_ + step - 1) / step;
    if (kernel_) {
      // Rates differ: through the low-pass filter, which also finds the values between frames.
      const size_t run = static_cast<size_t>(std::min<uint64_t>({frames - f, beforeEnd, AudioMixer::kFilterRun}));
      MixFilteredRun(accumulator + 2 * f, run, step, gainLeft, gainRight, scratch);
      f += run;
      continue;
    }
    const size_t run = static_cast<size_t>(std::min<uint64_t>(frames - f, beforeEnd));
    int32_t* out = accumulator + 2 * f;
    if (format_.bitsPerSample == 16 && format_.channels == 1) {
      // The usual effect sound, read straight.
      const uint8_t* bytes = data_->data();
      for (size_t i = 0; i < run; ++i, position_ += step) {
        const uint8_t* at = bytes + 2 * (position_ >> 16);
        const int64_t sample = static_cast<int16_t>(static_cast<uint16_t>(at[0] | at[1] << 8));
        out[2 * i] += static_cast<int32_t>(sample * gainLeft >> 16);
        out[2 * i + 1] += static_cast<int32_t>(sample * gainRight >> 16);
      }
    } else {
      for (size_t i = 0; i < run; ++i, position_ += step) {
        const size_t index = static_cast<size_t>(position_ >> 16);
        out[2 * i] += static_cast<int32_t>(SampleAt(index, 0) * gainLeft >> 16);
        out[2 * i + 1] += static_cast<int32_t>(SampleAt(index, right) * gainRight >> 16);
      }
    }
    f += run;
  }
  if (position_ >= end && !looping_) {
    position_ = 0;
    return true;
  }
  return false;
}

// --- AudioMixer ----------------------------------------------------------------------------

AudioMixer::AudioMixer(uint32_t outputRate) : outputRate_(outputRate) {}

AudioMixer::~AudioMixer() = default;

int32_t AudioMixer::CreateBuffer(const PcmFormat& format, size_t bytes, std::unique_ptr<SoundBuffer>& out) {
  out.reset();
  if (!IsPlayableFormat(format)) return kAudioBadFormat;
  size_t whole = bytes - bytes % format.blockAlign;
  if (whole == 0) return kAudioInvalidParam;
  auto data = std::make_shared<std::vector<uint8_t>>(whole, format.bitsPerSample == 8 ? 0x80 : 0);
  out.reset(new SoundBuffer(*this, format, std::move(data), KernelFor(format.samplesPerSec)));
  return kAudioOk;
}

int32_t AudioMixer::DuplicateBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& out) {
  out.reset();
  if (&source.mixer_ != this) return kAudioInvalidParam;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (source.lost_) return kAudioBufferLost;
  }
  out.reset(new SoundBuffer(*this, source.format_, source.data_, source.kernel_));
  std::lock_guard<std::mutex> lock(mutex_);
  out->line_ = source.line_;
  return kAudioOk;
}

int32_t AudioMixer::SetMasterVolume(int32_t centibels) {
  if (centibels < kVolumeMin || centibels > kVolumeMax) return kAudioInvalidParam;
  std::lock_guard<std::mutex> lock(mutex_);
  masterVolume_ = centibels;
  return kAudioOk;
}

int32_t AudioMixer::MasterVolume() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return masterVolume_;
}

void AudioMixer::SetCdLineVolume(uint16_t left, uint16_t right) {
  // 0xFFFF is full volume: scale so that it gives exactly 1.0 in 16.16.
  std::lock_guard<std::mutex> lock(mutex_);
  cdLineLeft_ = (static_cast<uint32_t>(left) * 65536 + 32767) / 65535;
  cdLineRight_ = (static_cast<uint32_t>(right) * 65536 + 32767) / 65535;
}

void AudioMixer::Mix(int16_t* out, size_t frames) {
  std::vector<std::function<void()>> finished;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    accumulator_.assign(frames * kChannels, 0);
    for (size_t i = 0; i < playing_.size();) {
      SoundBuffer* buffer = playing_[i];
      uint32_t step = static_cast<uint32_t>((static_cast<uint64_t>(buffer->format_.samplesPerSec) << 16) / outputRate_);
      if (buffer->MixInto(accumulator_.data(), frames, step, masterVolume_, cdLineLeft_, cdLineRight_,
                          scratch_.data())) {
        buffer->playing_ = false;
        if (buffer->onFinished_) finished.push_back(buffer->onFinished_);
        playing_.erase(playing_.begin() + static_cast<long>(i));
      } else {
        ++i;
      }
    }
    for (size_t i = 0; i < accumulator_.size(); ++i)
      out[i] = static_cast<int16_t>(std::clamp<int32_t>(accumulator_[i], -32768, 32767));
  }
  for (const std::function<void()>& call : finished) call();
}

size_t AudioMixer::PlayingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return playing_.size();
}

std::shared_ptr<const ResamplingKernel> AudioMixer::KernelFor(uint32_t rate) {
  if (rate == outputRate_) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  std::shared_ptr<const ResamplingKernel>& kernel = kernels_[rate];
  if (!kernel) {
    kernel = std::make_shared<const ResamplingKernel>(rate, outputRate_);
    // The widest run: the input frames kFilterRun output frames reach, and the filter's
    // width around them, for both channels.
    const uint64_t step = (static_cast<uint64_t>(rate) << 16) / outputRate_;
    const size_t reach = static_cast<size_t>(((kFilterRun - 1) * step) >> 16) + 1;
    scratch_.resize(std::max(scratch_.size(), 2 * (reach + static_cast<size_t>(kernel->Taps()))));
  }
  return kernel;
}

void AudioMixer::StartLocked(SoundBuffer* buffer) {
  if (std::find(playing_.begin(), playing_.end(), buffer) == playing_.end()) playing_.push_back(buffer);
}

void AudioMixer::RemoveLocked(SoundBuffer* buffer) {
  playing_.erase(std::remove(playing_.begin(), playing_.end(), buffer), playing_.end());
}

}  // namespace platform
