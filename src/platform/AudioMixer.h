#pragma once
// Our stand-in for the sound card's buffers: any number of 16-bit or 8-bit PCM sound buffers,
// each with its own volume, pan, looping and play position, mixed into one stereo 16-bit
// output stream. The output thread calls Mix; the game calls everything else. One mutex per
// mixer guards the play state of its buffers; no call holds it for long.
//
// Units are those the game uses: volume in hundredths of a decibel (0 full, -10000 silent),
// pan from -10000 (left only) to 10000 (right only). A buffer of another rate than the
// output's plays through a low-pass resampling filter (Resampler.h). A buffer's gain on each side is
// 10^((volume + side attenuation [+ master volume]) / 2000), applied in 16.16 fixed point,
// so volume 0 and pan 0 pass samples through unchanged.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/Resampler.h"

namespace platform {

// Results of the sound stand-ins; the values are those the game's error texts are keyed by.
inline constexpr int32_t kAudioOk = 0;
inline constexpr int32_t kAudioGenericError = static_cast<int32_t>(0x80004005);
inline constexpr int32_t kAudioOutOfMemory = static_cast<int32_t>(0x8007000E);
inline constexpr int32_t kAudioInvalidParam = static_cast<int32_t>(0x80070057);
inline constexpr int32_t kAudioInvalidCall = static_cast<int32_t>(0x88780032);
inline constexpr int32_t kAudioBadFormat = static_cast<int32_t>(0x88780064);
inline constexpr int32_t kAudioNoDriver = static_cast<int32_t>(0x88780078);
inline constexpr int32_t kAudioBufferLost = static_cast<int32_t>(0x88780096);

inline constexpr int32_t kVolumeMin = -10000;
inline constexpr int32_t kVolumeMax = 0;
inline constexpr int32_t kPanLeft = -10000;
inline constexpr int32_t kPanRight = 10000;

// The 16.16 gain of an attenuation in hundredths of a decibel (0 for -10000 or less).
uint32_t GainOf(int32_t centibels);

// The layout of PCM sample data, as a WAVE file's "fmt " chunk gives it.
struct PcmFormat {
  uint16_t formatTag = 1;  // 1: PCM, the only kind played
  uint16_t channels = 1;
  uint32_t samplesPerSec = 22050;
  uint32_t avgBytesPerSec = 44100;
  uint16_t blockAlign = 2;
  uint16_t bitsPerSample = 16;
};

// The format held in the first kPcmFormatBytes of a "fmt " chunk (the caller has made sure
// they are there). A WAVE_FORMAT_EXTENSIBLE chunk whose sub-format is PCM (8 or 16 bits in
// their containers) gives the plain PCM tag 1, as the sound card's buffers take it.
inline constexpr size_t kPcmFormatBytes = 16;
PcmFormat PcmFormatOf(std::span<const uint8_t> formatChunk);

// PCM with one or two channels of 8 or 16 bits, a consistent block alignment and a rate
// of 100 to 200000 samples per second.
bool IsPlayableFormat(const PcmFormat& format);

// Which volume control a buffer answers to besides its own.
enum class AudioLine {
  kEffects,  // the master effects volume
  kCdLine,   // the CD line's linear volume (the auxiliary volume of the CD stand-in)
};

class AudioMixer;

// A sound buffer: sample data, shared between a buffer and its duplicates, and a play
// state of its own. Destroying a buffer stops it.
class SoundBuffer {
 public:
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // The whole data for writing, only while no duplicate shares it and it is not playing
  // (else empty). The mixer reads it only while playing.
  std::span<uint8_t> Lock();

  // Starts playing from the current position (a playing buffer changes only its loop flag).
  int32_t Play(bool loop);
  // Stops; the position stays where it was.
  int32_t Stop();
  int32_t SetPosition(uint32_t byteOffset);
  uint32_t Position() const;  // in bytes

  struct Status {
    bool playing = false;
    bool looping = false;
    bool lost = false;
  };
  int32_t GetStatus(Status& status) const;

  int32_t SetVolume(int32_t centibels);  // -10000..0, else kAudioInvalidParam
  int32_t Volume() const;
  int32_t SetPan(int32_t pan);  // -10000..10000, else kAudioInvalidParam
  int32_t Pan() const;
  void SetLine(AudioLine line);

  // Called on the output thread, outside the mixer's lock, each time the buffer plays to its
  // end without looping (it then stands stopped at position 0).
  void SetOnFinished(std::function<void()> onFinished);

  // What a reset of the output device does: the data is gone, the buffer stops and reports
  // itself lost; Play answers kAudioBufferLost from then on.
  void MarkLost();

  const PcmFormat& Format() const { return format_; }
  size_t Bytes() const { return data_->size(); }

 private:
  friend class AudioMixer;
  SoundBuffer(AudioMixer& mixer, const PcmFormat& format, std::shared_ptr<std::vector<uint8_t>> data,
              std::shared_ptr<const ResamplingKernel> kernel);

  // Adds this buffer's next frames into the accumulator; true when it played to its end.
  // scratch is room for the decoded input of one filtered run (AudioMixer::ScratchFor).
  bool MixInto(int32_t* accumulator, size_t frames, uint32_t step, int32_t masterVolume, uint32_t lineLeft,
               uint32_t lineRight, float* scratch);
  int SampleAt(size_t frame, int channel) const;
  // Adds frames (at most kFilterRun, none past the end) through the resampling filter: the
  // input frames the run reaches are decoded once into scratch, then each output frame is
  // two inner products over them.
  void MixFilteredRun(int32_t* accumulator, size_t frames, uint32_t step, int64_t gainLeft, int64_t gainRight,
                      float* scratch);
  // count frames from frame `from` on as floats, the right channel only when right is given;
  // before the start and past the end is silence, or the other end of a loop.
  void DecodeFrames(int64_t from, size_t count, float* left, float* right) const;

  AudioMixer& mixer_;
  PcmFormat format_;
  std::shared_ptr<std::vector<uint8_t>> data_;
  std::shared_ptr<const ResamplingKernel> kernel_;  // null when the rates agree
  size_t frames_ = 0;
  // Everything below is guarded by the mixer's mutex.
  uint64_t position_ = 0;  // frames in 16.16 fixed point
  bool playing_ = false;
  bool looping_ = false;
  bool lost_ = false;
  int32_t volume_ = 0;
  int32_t pan_ = 0;
  AudioLine line_ = AudioLine::kEffects;
  std::function<void()> onFinished_;
};

class AudioMixer {
 public:
  static constexpr uint32_t kDefaultRate = 22050;
  static constexpr int kChannels = 2;
  // Output frames a filtered sound mixes between two decodings of its input.
  static constexpr size_t kFilterRun = 256;

  explicit AudioMixer(uint32_t outputRate = kDefaultRate);
  ~AudioMixer();
  AudioMixer(const AudioMixer&) = delete;
  AudioMixer& operator=(const AudioMixer&) = delete;

  uint32_t OutputRate() const { return outputRate_; }

  // A stopped buffer of that many bytes of zeros (whole frames), volume 0, pan 0.
  // kAudioBadFormat for a format the mixer cannot play, kAudioInvalidParam for no frames.
  int32_t CreateBuffer(const PcmFormat& format, size_t bytes, std::unique_ptr<SoundBuffer>& out);
  // A new buffer sharing the source's data: stopped at position 0, volume 0, pan 0.
  int32_t DuplicateBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& out);

  // The master volume of the effects line (-10000..0).
  int32_t SetMasterVolume(int32_t centibels);
  int32_t MasterVolume() const;
  // The CD line's volume per side, linear, 0..65535.
  void SetCdLineVolume(uint16_t left, uint16_t right);

  // Mixes the next frames of every playing buffer into interleaved stereo samples.
  void Mix(int16_t* out, size_t frames);

  size_t PlayingCount() const;

 private:
  friend class SoundBuffer;
  void StartLocked(SoundBuffer* buffer);
  void RemoveLocked(SoundBuffer* buffer);
  // The filter for buffers of a rate, made once (never on the output thread); null for the
  // output rate itself.
  std::shared_ptr<const ResamplingKernel> KernelFor(uint32_t rate);

  const uint32_t outputRate_;
  mutable std::mutex mutex_;
  std::vector<SoundBuffer*> playing_;
  std::vector<int32_t> accumulator_;
  std::map<uint32_t, std::shared_ptr<const ResamplingKernel>> kernels_;
  std::vector<float> scratch_;  // room for the decoded input of the widest filtered run
  int32_t masterVolume_ = 0;
  uint32_t cdLineLeft_ = 65536;
  uint32_t cdLineRight_ = 65536;
};

}  // namespace platform
