#include "platform/MovieStream.h"

#include <algorithm>

#include "platform/AudioOutput.h"
#include "platform/Clock.h"
#include "platform/Files.h"

namespace platform {

MovieStream::~MovieStream() { Stop(); }

int32_t MovieStream::Open(std::string_view path) {
  Stop();
  open_ = false;
  std::vector<uint8_t> image;
  if (!FileExists(path) || !ReadWholeFile(ResolvePath(path), image)) return kMovieFileNotFound;
  if (!avi_.Parse(std::move(image))) return kMovieBadFile;
  open_ = true;
  next_ = 0;
  return kMovieOk;
}

int32_t MovieStream::Run() {
  if (!open_) return kMovieNotOpen;
  if (running_) return kMovieOk;
  running_ = true;
  startTick_ = TickCount();
  if (!avi_.HasSound()) return kMovieOk;
  // A movie without a sound output still plays, in silence.
  soundOutput_ = AcquireAudioOutput() == kAudioOk;
  if (!soundOutput_) return kMovieOk;
  const std::vector<uint8_t>& samples = avi_.SoundSamples();
  if (TheMixer().CreateBuffer(avi_.SoundFormat(), samples.size(), sound_) == kAudioOk) {
    std::span<uint8_t> bytes = sound_->Lock();
    std::copy(samples.begin(), samples.begin() + static_cast<long>(bytes.size()), bytes.begin());
    sound_->Play(false);
  }
  return kMovieOk;
}

void MovieStream::WaitForFrame(size_t frame) const {
  const uint64_t due = static_cast<uint64_t>(frame) * avi_.MicroSecondsPerFrame() / 1000;
  // Bounded by the frame period as well, so a clock that stands still cannot hold us here.
  const uint64_t bound = avi_.MicroSecondsPerFrame() / 1000 + 1;
  for (uint64_t i = 0; i < bound && static_cast<uint32_t>(TickCount() - startTick_) < due; ++i) SleepMs(1);
}

int32_t MovieStream::Update(uint16_t* pixels, bool is555) {
  if (!open_ || !running_) return kMovieNotOpen;
  // The last frame stays up for its period before the stream ends.
  WaitForFrame(next_);
  if (next_ >= avi_.FrameCount()) return kMovieEndOfStream;
  avi_.DecodeFrame(next_, pixels, is555);
  ++next_;
  return kMovieOk;
}

void MovieStream::Stop() {
  sound_.reset();
  if (soundOutput_) ReleaseAudioOutput();
  soundOutput_ = false;
  running_ = false;
}

}  // namespace platform
