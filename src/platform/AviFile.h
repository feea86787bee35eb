#pragma once
// Uncompressed AVI movies, our stand-in's format for the intro movies: a RIFF "AVI " form
// whose header list describes one video stream of uncompressed RGB frames (16 bits 5-5-5,
// 24 bits or 32 bits, bottom-up or top-down rows) and at most one PCM sound stream, and whose
// "movi" list holds the frame and sound chunks in playing order; a movie beyond one RIFF
// section (OpenDML) goes on in further "AVIX" sections, each with its "movi" list. A sound
// stream that cannot be played leaves the movie silent. Everything else is checked when the
// image is parsed: a frame that does not hold its picture or a header that does not fit makes
// the whole file refused.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/Riff.h"

namespace platform {

class AviFile {
 public:
  static constexpr int kMaxSide = 2048;

  // Takes the image and checks it; false when it is not a movie we can play.
  bool Parse(std::vector<uint8_t> image);

  int Width() const { return width_; }
  int Height() const { return height_; }
  uint32_t MicroSecondsPerFrame() const { return microSecondsPerFrame_; }
  size_t FrameCount() const { return frames_.size(); }

  // Frame index as Width() x Height() pixels, top row first, in 5-5-5 or 5-6-5.
  void DecodeFrame(size_t index, uint16_t* pixels, bool is555) const;

  bool HasSound() const { return hasSound_; }
  const PcmFormat& SoundFormat() const { return soundFormat_; }
  const std::vector<uint8_t>& SoundSamples() const { return soundSamples_; }

 private:
  bool ParseHeaders(const RiffChunk& headerList);
  bool ParseStream(const RiffChunk& streamList, int number);
  // Appends the list's frames and sound to those read before.
  bool ParseMovieList(const RiffChunk& movieList);

  static constexpr size_t kNoPicture = static_cast<size_t>(-1);

  std::vector<uint8_t> image_;
  int width_ = 0;
  int height_ = 0;
  bool bottomUp_ = true;
  int bitsPerPixel_ = 0;
  size_t rowBytes_ = 0;
  uint32_t microSecondsPerFrame_ = 0;
  uint32_t headerMicroSecondsPerFrame_ = 0;
  int videoStream_ = -1;
  int soundStream_ = -1;
  std::vector<size_t> frames_;  // offset of each frame's picture, kNoPicture for black
  bool hasSound_ = false;
  PcmFormat soundFormat_;
  std::vector<uint8_t> soundSamples_;
};

}  // namespace platform
