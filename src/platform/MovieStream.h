#pragma once
// Our stand-in for the movie streams: an uncompressed AVI file played in real time. Its sound
// track plays through the process's mixer (silently when no sound output opens); Update
// waits until the next frame is due by the tick clock and decodes it.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/AviFile.h"

namespace platform {

inline constexpr int32_t kMovieOk = 0;
inline constexpr int32_t kMovieEndOfStream = 0x00040003;  // a success code: no more frames
inline constexpr int32_t kMovieFileNotFound = static_cast<int32_t>(0x80070002);
inline constexpr int32_t kMovieBadFile = static_cast<int32_t>(0x8004022F);
inline constexpr int32_t kMovieNotOpen = static_cast<int32_t>(0x80040209);

class MovieStream {
 public:
  MovieStream() = default;
  ~MovieStream();
  MovieStream(const MovieStream&) = delete;
  MovieStream& operator=(const MovieStream&) = delete;

  // Reads and checks the file (a game path).
  int32_t Open(std::string_view path);
  bool IsOpen() const { return open_; }
  int Width() const { return avi_.Width(); }
  int Height() const { return avi_.Height(); }
  size_t FrameCount() const { return avi_.FrameCount(); }

  // Starts the clock and the sound track.
  int32_t Run();
  // Waits until the next frame is due, then decodes it into Width() x Height() pixels:
  // kMovieOk, or kMovieEndOfStream after the last frame.
  int32_t Update(uint16_t* pixels, bool is555);
  // Stops the sound track.
  void Stop();

  size_t FramesShown() const { return next_; }

 private:
  void WaitForFrame(size_t frame) const;

  AviFile avi_;
  bool open_ = false;
  bool running_ = false;
  bool soundOutput_ = false;
  std::unique_ptr<SoundBuffer> sound_;
  uint32_t startTick_ = 0;
  size_t next_ = 0;
};

}  // namespace platform
