#pragma once
// The movie player: plays a movie file before the game starts, drawing each frame straight
// onto the display while its sound track plays, until it ends or the player holds Escape.
// It blocks the caller (the window's messages are not pumped meanwhile) and keeps no state
// between movies.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/MovieStream.h"

// Where a movie's frames go: the display's primary surface in the game, a plain buffer in tests.
class MovieTarget {
 public:
  virtual ~MovieTarget() = default;
  // Whether the target's pixels are 5-5-5 (else 5-6-5).
  virtual bool Is555() const = 0;
  // Copies a frame of width x height pixels (top row first) with its top-left corner at
  // (x, y), clipped to the target.
  virtual void BlitFrame(const uint16_t* pixels, int width, int height, int x, int y) = 0;
  // Fills the whole target with colour 0.
  virtual void Clear() = 0;
};

// A plain buffer of 16-bit pixels as a movie target.
class FrameBufferTarget : public MovieTarget {
 public:
  FrameBufferTarget(int width, int height, bool is555);
  bool Is555() const override { return is555_; }
  void BlitFrame(const uint16_t* pixels, int width, int height, int x, int y) override;
  void Clear() override { std::fill(pixels_.begin(), pixels_.end(), uint16_t{0}); }

  uint16_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  int FramesDrawn() const { return framesDrawn_; }

 private:
  int width_;
  int height_;
  bool is555_;
  std::vector<uint16_t> pixels_;
  int framesDrawn_ = 0;
};

class CSurface;

// A surface of the display (the primary surface) as a movie target: each frame is copied in
// and shown at once.
class SurfaceMovieTarget : public MovieTarget {
 public:
  explicit SurfaceMovieTarget(CSurface* surface) : surface_(surface) {}
  bool Is555() const override;
  void BlitFrame(const uint16_t* pixels, int width, int height, int x, int y) override;
  void Clear() override;

 private:
  CSurface* surface_;
};

// Opens the movie; on failure prints the failing step and its result to the standard output.
int32_t OpenMovieStream(const char* path, std::unique_ptr<platform::MovieStream>& stream);
// Runs the stream to its end or until Escape, drawing at the position PlayMovie was given.
int32_t RunMovieStream(MovieTarget* target, platform::MovieStream& stream);
// True when the movie ran to its end or could not be played, false when Escape cut it short.
// With noDraw set the movie runs (its sound plays) without being drawn.
bool PlayMovie(const char* path, MovieTarget* target, int x, int y, int noDraw);
