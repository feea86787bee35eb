#include "sound/MoviePlayer.h"

#include <cstdio>

#include "graphics/Display.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/KeyState.h"

namespace {

// Set by PlayMovie for RunMovieStream.
int g_movieX = 0;
int g_movieY = 0;
int g_movieNoDraw = 0;
int g_movieEscaped = 0;

}  // namespace

FrameBufferTarget::FrameBufferTarget(int width, int height, bool is555)
    : width_(width), height_(height), is555_(is555), pixels_(static_cast<size_t>(width) * height, 0) {}

void FrameBufferTarget::BlitFrame(const uint16_t* pixels, int width, int height, int x, int y) {
  for (int row = 0; row < height; ++row) {
    int ty = y + row;
    if (ty < 0 || ty >= height_) continue;
    for (int column = 0; column < width; ++column) {
      int tx = x + column;
      if (tx < 0 || tx >= width_) continue;
      pixels_[static_cast<size_t>(ty) * width_ + tx] = pixels[static_cast<size_t>(row) * width + column];
    }
  }
  ++framesDrawn_;
}

bool SurfaceMovieTarget::Is555() const { return g_is555 != 0; }

void SurfaceMovieTarget::BlitFrame(const uint16_t* pixels, int width, int height, int x, int y) {
  uint16_t* target = surface_ ? surface_->Lock() : nullptr;
  if (!target) return;
  const int pitch = surface_->pitch / 2;
  for (int row = 0; row < height; ++row) {
    int ty = y + row;
    if (ty < 0 || ty >= surface_->height) continue;
    int first = std::max(0, -x);
    int last = std::min(width, surface_->width - x);
    if (first < last)
      std::copy(pixels + static_cast<size_t>(row) * width + first, pixels + static_cast<size_t>(row) * width + last,
                target + static_cast<size_t>(ty) * pitch + x + first);
  }
  surface_->Unlock(target);
  PresentDisplay();
}

void SurfaceMovieTarget::Clear() {
  if (!surface_) return;
  surface_->Fill(0);
  PresentDisplay();
}

int32_t OpenMovieStream(const char* path, std::unique_ptr<platform::MovieStream>& stream) {
  auto opened = std::make_unique<platform::MovieStream>();
  int32_t result = opened->Open(path ? path : "");
  if (result < 0) {
    std::printf("pAMStream->OpenFile(wPath, 0)  failed with HRESULT(0x%8.8X)\n", static_cast<unsigned>(result));
    return result;
  }
  stream = std::move(opened);
  return result;
}

int32_t RunMovieStream(MovieTarget* target, platform::MovieStream& stream) {
  g_movieEscaped = 0;
  std::vector<uint16_t> sample(static_cast<size_t>(stream.Width()) * stream.Height());
  int32_t result = stream.Run();
  if (result < 0) {
    std::printf("pMMStream->SetState(STREAMSTATE_RUN)  failed with HRESULT(0x%8.8X)\n", static_cast<unsigned>(result));
    return result;
  }
  const bool is555 = target != nullptr && target->Is555();
  for (;;) {
    if (platform::IsKeyDownNow(platform::kKeyEscape)) {
      g_movieEscaped = 1;
      break;
    }
    result = stream.Update(sample.data(), is555);
    if (result != platform::kMovieOk) break;
    if (!g_movieNoDraw && target) target->BlitFrame(sample.data(), stream.Width(), stream.Height(), g_movieX, g_movieY);
  }
  stream.Stop();
  return result == platform::kMovieEndOfStream ? platform::kMovieOk : result;
}

bool PlayMovie(const char* path, MovieTarget* target, int x, int y, int noDraw) {
  g_movieEscaped = 0;
  std::unique_ptr<platform::MovieStream> stream;
  int32_t result = OpenMovieStream(path, stream);
  g_movieX = x;
  g_movieY = y;
  g_movieNoDraw = noDraw;
  if (result >= 0) RunMovieStream(target, *stream);
  return !g_movieEscaped;
}
