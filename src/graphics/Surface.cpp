#include "graphics/Surface.h"

#include <algorithm>
#include <cstring>

#include "core/DirectDrawResult.h"
#include "core/Options.h"
#include "graphics/Display.h"
#include "graphics/Pictures.h"
#include "graphics/PixelFormat.h"
#include "platform/Jpeg.h"
#include "platform/Process.h"

CSurface* g_liveSurfaces[kMaxLiveSurfaces];
int g_liveSurfaceCount = 0;
QueuedBlit g_queuedBlits[kMaxQueuedBlits];
int g_queuedBlitCount = 0;
int g_flushingBlits = 0;
int g_useColourKeys = 0;
int g_mapViewShown = 0;
int g_deferBlits = 0;

namespace {

// A display failure that is not a lost surface: the display is closed and the program ends.
void FailHard(platform::DisplayResult result) {
  ShutdownDisplay();
  CheckDirectDrawResult(result);
  platform::ExitProcess(1);
}

// The key of 8-bit components in the display's format.
uint16_t ComposeKey(int red, int green, int blue) {
  if (g_is555) return static_cast<uint16_t>(((red / 8) << 10) | ((green / 8) << 5) | (blue / 8));
  return static_cast<uint16_t>(((red / 8) << 11) | ((green / 4) << 5) | (blue / 8));
}

// The 8-bit channels of a pixel, as the interface effects take them.
void Split8(uint16_t pixel, int& red, int& green, int& blue) {
  red = (pixel & g_redMask) >> (g_is555 ? 7 : 8);
  green = (pixel & g_greenMask) >> (g_is555 ? 2 : 3);
  blue = (pixel & g_blueMask) << 3;
}

// The channels in their own bit widths (5, 5 or 6, 5), and their maxima.
void SplitNative(uint16_t pixel, int& red, int& green, int& blue) {
  if (g_is555) {
    red = (pixel >> 10) & 31;
    green = (pixel >> 5) & 31;
  } else {
    red = (pixel >> 11) & 31;
    green = (pixel >> 5) & 63;
  }
  blue = pixel & 31;
}

uint16_t ComposeNative(int red, int green, int blue) {
  if (g_is555) return static_cast<uint16_t>((red << 10) | (green << 5) | blue);
  return static_cast<uint16_t>((red << 11) | (green << 5) | blue);
}

int GreenMax() { return g_is555 ? 31 : 63; }

uint16_t Highlighted(uint16_t pixel) {
  int red, green, blue;
  SplitNative(pixel, red, green, blue);
  red = std::min(red / 2 + 16, 31);
  blue = std::min(blue / 2 + 16, 31);
  green = std::min(green / 2 + (GreenMax() + 1) / 2, GreenMax());
  return ComposeNative(red, green, blue);
}

// A locked surface's pixels, unlocked at the end of the scope.
class PixelAccess {
 public:
  explicit PixelAccess(CSurface& surface) : surface_(surface), pixels_(surface.Lock()) {}
  ~PixelAccess() {
    if (pixels_) surface_.Unlock(pixels_);
  }
  explicit operator bool() const { return pixels_ != nullptr; }
  uint16_t* Row(int y) const {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels_) + static_cast<size_t>(y) * surface_.pitch);
  }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < surface_.width && y < surface_.height; }
  uint16_t* At(int x, int y) const { return Row(y) + x; }

 private:
  CSurface& surface_;
  uint16_t* pixels_;
};

platform::Rect Clipped(const platform::Rect& rect, const CSurface& surface) {
  return platform::Rect{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, surface.width),
                        std::min(rect.bottom, surface.height)};
}

}  // namespace

int CSurface::Create(SurfaceDesc* desc) {
  if (!desc) return 0;
  // A full table creates nothing; the answer must not look like a size.
  if (g_liveSurfaceCount >= kMaxLiveSurfaces) return 0;
  if (surface2) Release();
  const bool primary = desc->flags == kDescCaps && desc->caps == kCapsPrimarySurface;
  int wantWidth = (desc->flags & kDescWidth) ? desc->width : 0;
  int wantHeight = (desc->flags & kDescHeight) ? desc->height : 0;
  if (!primary && (wantWidth == 0 || wantHeight == 0)) {
    // A surface without a size takes the screen's.
    platform::GetDisplaySize(wantWidth, wantHeight);
    if (wantWidth == 0) {
      wantWidth = ScreenWidth();
      wantHeight = ScreenHeight();
    }
  }
  platform::Surface* created = nullptr;
  platform::DisplayResult result = platform::CreateSurface(wantWidth, wantHeight, primary, &created);
  if (result != platform::kDisplayOk) FailHard(result);
  surface2 = created;
  liveIndex = g_liveSurfaceCount;
  g_liveSurfaces[g_liveSurfaceCount++] = this;
  if (primary) g_primarySurface = this;
  width = platform::SurfaceWidth(created);
  height = platform::SurfaceHeight(created);
  pitch = width * 2;
  desc->width = width;
  desc->height = height;
  desc->pitch = pitch;
  desc->flags |= kDescWidth | kDescHeight | kDescPitch;
  inVideoMemory = (desc->caps & kCapsVideoMemory) ? 1 : 0;
  colourKey = 0;
  restorer = nullptr;
  size = static_cast<uint32_t>(width) * static_cast<uint32_t>(height) * 2u;
  return static_cast<int>(size);
}

void CSurface::Release() {
  if (!surface2) return;
  platform::ReleaseSurface(surface2);
  surface2 = nullptr;
  if (g_primarySurface == this) g_primarySurface = nullptr;
  // Close the gap in the live table: the later surfaces move down one place.
  if (liveIndex >= 0 && liveIndex < g_liveSurfaceCount && g_liveSurfaces[liveIndex] == this) {
    for (int i = liveIndex; i + 1 < g_liveSurfaceCount; ++i) {
      g_liveSurfaces[i] = g_liveSurfaces[i + 1];
      g_liveSurfaces[i]->liveIndex = i;
    }
    g_liveSurfaces[--g_liveSurfaceCount] = nullptr;
  }
  liveIndex = -1;
  width = height = pitch = 0;
  restorer = nullptr;
}

void CSurface::RestoreLost() {
  if (!surface2) return;
  if (g_fullScreen) CheckDirectDrawResult(platform::SetDisplayMode(ScreenWidth(), ScreenHeight(), g_displayBits));
  if (platform::RestoreSurface(surface2) != platform::kDisplayOk) return;
  if (g_useColourKeys) platform::SetColourKey(surface2, colourKey);
  if (restorer) restorer->RestoreSurface(0);
}

uint16_t* CSurface::Lock() {
  if (!surface2) return nullptr;
  uint16_t* pixels = nullptr;
  int lockedPitch = 0;
  platform::DisplayResult result = platform::LockSurface(surface2, &pixels, &lockedPitch);
  for (int tries = 0; result == platform::kErrSurfaceLost && tries < kMaxLostSurfaceRetries; ++tries) {
    RestoreLost();
    result = platform::LockSurface(surface2, &pixels, &lockedPitch);
  }
  if (result == platform::kErrSurfaceLost) return nullptr;  // it stays lost: the caller draws nothing
  if (result != platform::kDisplayOk) FailHard(result);
  pitch = lockedPitch;
  // With auto-unlock the surface stays usable without holding the lock.
  if (g_autoUnlock) platform::UnlockSurface(surface2);
  return pixels;
}

void CSurface::Unlock(void* pixels) {
  if (!surface2 || !pixels || g_autoUnlock) return;
  platform::UnlockSurface(surface2);
}

int CSurface::FillRect(const platform::Rect* rect, uint32_t colour) {
  if (!surface2) return 0;
  platform::DisplayResult result = platform::FillSurface(surface2, rect, static_cast<uint16_t>(colour));
  if (result == platform::kErrSurfaceLost) RestoreLost();
  return CheckDirectDrawResult(result);
}

int CSurface::Fill(uint32_t colour) {
  if (!surface2) return 0;
  platform::DisplayResult result = platform::FillSurface(surface2, nullptr, static_cast<uint16_t>(colour));
  if (result == platform::kErrSurfaceLost) {
    RestoreLost();
    result = platform::FillSurface(surface2, nullptr, static_cast<uint16_t>(colour));
  }
  return CheckDirectDrawResult(result);
}

int CSurface::Copy(CSurface* destination, const platform::Rect* destinationRect, const platform::Rect* sourceRect,
                   bool keyed) {
  if (!surface2 || !destination || !destination->surface2) return 0;
  unsigned flags = keyed ? platform::kBlitSourceKey : 0u;
  if (!g_flushingBlits) flags |= platform::kBlitWait;
  platform::DisplayResult result =
      platform::BlitSurface(destination->surface2, destinationRect, surface2, sourceRect, flags);
  // Restore both ends and try again, a bounded number of times: a surface that stays lost
  // gives the copy up for this frame instead of hanging the game.
  for (int tries = 0; result == platform::kErrSurfaceLost && tries < kMaxLostSurfaceRetries; ++tries) {
    RestoreLost();
    destination->RestoreLost();
    result = platform::BlitSurface(destination->surface2, destinationRect, surface2, sourceRect, flags);
  }
  return CheckDirectDrawResult(result);
}

int CSurface::BlitTo(CSurface* destination, int atX, int atY) {
  platform::Rect to{atX, atY, atX + width, atY + height};
  return Copy(destination, &to, nullptr, false);
}

int CSurface::BlitToKeyed(CSurface* destination, int atX, int atY) {
  platform::Rect to{atX, atY, atX + width, atY + height};
  return Copy(destination, &to, nullptr, true);
}

int CSurface::BlitRectTo(CSurface* destination, const platform::Rect* sourceRect, int atX, int atY) {
  platform::Rect source = sourceRect ? *sourceRect : platform::Rect{0, 0, width, height};
  platform::Rect to{atX, atY, atX + source.right - source.left, atY + source.bottom - source.top};
  return Copy(destination, &to, &source, false);
}

int CSurface::BlitRectToKeyed(CSurface* destination, const platform::Rect* sourceRect, int atX, int atY) {
  platform::Rect source = sourceRect ? *sourceRect : platform::Rect{0, 0, width, height};
  platform::Rect to{atX, atY, atX + source.right - source.left, atY + source.bottom - source.top};
  return Copy(destination, &to, &source, true);
}

int CSurface::StretchBlitToKeyed(CSurface* destination, const platform::Rect* sourceRect,
                                 platform::Rect* destinationRect) {
  return Copy(destination, destinationRect, sourceRect, true);
}

bool CSurface::SetColourKey(int red, int green, int blue) {
  if (!surface2) return false;
  colourKey = ComposeKey(red, green, blue);
  CheckDirectDrawResult(platform::SetColourKey(surface2, colourKey));
  return colourKey == 0;
}

uint16_t CSurface::GetColourKey() {
  uint16_t key = 0;
  if (!surface2 || platform::GetColourKey(surface2, &key) != platform::kDisplayOk) return 0;
  return key;
}

bool CSurface::LoadBitmap(const char* path) {
  if (!surface2) return false;
  CDibBitmap bitmap;
  if (!bitmap.Load(path)) return false;
  DrawDibAt(bitmap, 0, 0);
  return true;
}

void CSurface::DrawDibAt(const CDibBitmap& bitmap, int atX, int atY) {
  PixelAccess pixels(*this);
  if (!pixels) return;
  bitmap.Draw(pixels.Row(0), pitch, width, height, atX, atY);
}

bool CSurface::LoadJpeg(const char* path) {
  PixelAccess pixels(*this);
  if (!pixels) return false;
  return platform::JpegRead(path, pixels.Row(0), width, pitch, height, g_is555);
}

void CSurface::QueueBlit(int kind, CSurface* destination, const platform::Rect* sourceRect, int atX, int atY,
                         int pass) {
  for (QueuedBlit& entry : g_queuedBlits) {
    if (entry.used) continue;
    platform::Rect source = sourceRect ? *sourceRect : platform::Rect{0, 0, width, height};
    entry =
        QueuedBlit{1, pass, this, destination, kind, source.left, source.top, source.right, source.bottom, atX, atY};
    ++g_queuedBlitCount;
    return;
  }
}

void FlushQueuedBlits() {
  for (int pass = 0; pass < 3 && g_queuedBlitCount > 0; ++pass) {
    for (QueuedBlit& entry : g_queuedBlits) {
      if (!entry.used || entry.pass != pass) continue;
      if (entry.kind < 0 || entry.kind > 2 || !entry.destination || !entry.destination->surface2) continue;
      platform::DisplayResult status = platform::GetBlitStatus(entry.destination->surface2);
      if (status != platform::kDisplayOk && status != platform::kErrWasStillDrawing) continue;
      g_flushingBlits = 1;
      platform::Rect source{entry.left, entry.top, entry.right, entry.bottom};
      switch (entry.kind) {
        case 0:
          entry.source->BlitRectToKeyed(entry.destination, &source, entry.x, entry.y);
          break;
        case 1:
          entry.source->BlitToKeyed(entry.destination, entry.x, entry.y);
          break;
        case 2:
          entry.source->BlitRectTo(entry.destination, &source, entry.x, entry.y);
          break;
      }
      entry.used = 0;
      --g_queuedBlitCount;
      g_flushingBlits = 0;
    }
  }
}

void CSurface::HighlightRect(const platform::Rect& rect) {
  PixelAccess pixels(*this);
  if (!pixels) return;
  platform::Rect r = Clipped(rect, *this);
  for (int py = r.top; py < r.bottom; ++py)
    for (int px = r.left; px < r.right; ++px) *pixels.At(px, py) = Highlighted(*pixels.At(px, py));
}

void CSurface::HighlightFrame(const platform::Rect& rect) {
  PixelAccess pixels(*this);
  if (!pixels) return;
  auto light = [&](int px, int py) {
    if (pixels.Inside(px, py)) *pixels.At(px, py) = Highlighted(*pixels.At(px, py));
  };
  // The border's right and bottom edges lie on the rectangle's right and bottom coordinates.
  for (int px = rect.left; px < rect.right; ++px) light(px, rect.top);
  for (int px = rect.left + 1; px <= rect.right; ++px) light(px, rect.bottom);
  for (int py = rect.top + 1; py <= rect.bottom; ++py) light(rect.left, py);
  for (int py = rect.top; py < rect.bottom; ++py) light(rect.right, py);
}

void CSurface::DrawBevel(const platform::Rect& screenRect, int percent, int raised, int reverse) {
  PixelAccess pixels(*this);
  if (!pixels) return;
  platform::Rect r{screenRect.left - x, screenRect.top - y, screenRect.right - x, screenRect.bottom - y};
  auto change = [&](int px, int py, int sign) {
    if (!pixels.Inside(px, py)) return;
    int channel[3];
    Split8(*pixels.At(px, py), channel[0], channel[1], channel[2]);
    for (int& c : channel) c = std::clamp(c + sign * c * percent / 100, 0, 255);
    *pixels.At(px, py) = ComposeKey(channel[0], channel[1], channel[2]);
  };
  const int near = raised ? 1 : -1;
  const int far = reverse ? -near : near;
  for (int row = 0; row < 2; ++row)
    for (int px = r.left; px < r.right; ++px) change(px, r.top + row, near);
  for (int column = 0; column < 2; ++column)
    for (int py = r.top; py < r.bottom; ++py) change(r.left + column, py, near);
  for (int row = 1; row <= 2; ++row)
    for (int px = r.left + 2; px < r.right; ++px) change(px, r.bottom - row, far);
  for (int column = 1; column <= 2; ++column)
    for (int py = r.top + 2; py < r.bottom; ++py) change(r.right - column, py, far);
}

void CSurface::GreyRect(int red, int green, int blue, const platform::Rect* rect) {
  PixelAccess pixels(*this);
  if (!pixels) return;
  const uint16_t key = ComposeKey(red, green, blue);
  platform::Rect r = Clipped(rect ? *rect : platform::Rect{0, 0, width, height}, *this);
  for (int py = r.top; py < r.bottom; ++py) {
    for (int px = r.left; px < r.right; ++px) {
      uint16_t& pixel = *pixels.At(px, py);
      if (pixel == key) continue;
      int r8, g8, b8;
      Split8(pixel, r8, g8, b8);
      int grey = static_cast<int>(std::clamp((r8 + g8 + b8) / 6.0, 5.0, 255.0));
      pixel = ComposeKey(grey, grey, grey);
    }
  }
}

void CSurface::Dim() {
  PixelAccess pixels(*this);
  if (!pixels) return;
  const uint16_t mask = g_is555 ? 0x7DEF : 0x7BEF;
  // Row by row: the pitch may be wider than the picture.
  for (int py = 0; py < height; ++py) {
    uint16_t* row = pixels.Row(py);
    for (int px = 0; px < width; ++px) row[px] = static_cast<uint16_t>((row[px] >> 1) & mask);
  }
}

void CSurface::SnapToColourKey(int red, int green, int blue, int tolerance) {
  PixelAccess pixels(*this);
  if (!pixels) return;
  const uint16_t key = ComposeKey(red, green, blue);
  int keyRed, keyGreen, keyBlue;
  SplitNative(key, keyRed, keyGreen, keyBlue);
  for (int py = 0; py < height; ++py) {
    uint16_t* row = pixels.Row(py);
    for (int px = 0; px < width; ++px) {
      if (row[px] == key) continue;
      int pr, pg, pb;
      SplitNative(row[px], pr, pg, pb);
      int distance = std::abs(pr - keyRed) * 100 / 31 + std::abs(pg - keyGreen) * 100 / GreenMax() +
                     std::abs(pb - keyBlue) * 100 / 31;
      if (distance < 3 * tolerance) row[px] = key;
    }
  }
}

void CSurface::FillGradient(bool horizontal, int left, int top, int right, int bottom, const int* from, const int* to) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (right == left || bottom == top) return;
  PixelAccess pixels(*this);
  if (!pixels) return;
  const int length = horizontal ? right - left : bottom - top;
  // The components in the display's own widths, stepped with one error accumulator each.
  const int shift[3] = {3, g_is555 ? 3 : 2, 3};
  int value[3], step[3], rest[3], error[3];
  for (int c = 0; c < 3; ++c) {
    int start = from[c] >> shift[c], end = to[c] >> shift[c];
    int delta = end - start;
    int span = std::max(length - 1, 1);
    value[c] = start;
    step[c] = delta / span;
    rest[c] = std::abs(delta % span);
    error[c] = 0;
  }
  std::vector<uint16_t> line(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    line[i] = ComposeNative(value[0], value[1], value[2]);
    for (int c = 0; c < 3; ++c) {
      int span = std::max(length - 1, 1);
      int direction = ((to[c] >> shift[c]) >= (from[c] >> shift[c])) ? 1 : -1;
      value[c] += step[c];
      error[c] += rest[c];
      if (error[c] >= span) {
        error[c] -= span;
        value[c] += direction;
      }
    }
  }
  platform::Rect r = Clipped(platform::Rect{left, top, right, bottom}, *this);
  for (int py = r.top; py < r.bottom; ++py)
    for (int px = r.left; px < r.right; ++px) *pixels.At(px, py) = line[horizontal ? px - left : py - top];
}

void CSurface::FillGradientH(int left, int top, int right, int bottom, int red1, int green1, int blue1, int red2,
                             int green2, int blue2) {
  const int from[3] = {red1, green1, blue1}, to[3] = {red2, green2, blue2};
  FillGradient(true, left, top, right, bottom, from, to);
}

void CSurface::FillGradientV(int left, int top, int right, int bottom, int red1, int green1, int blue1, int red2,
                             int green2, int blue2) {
  const int from[3] = {red1, green1, blue1}, to[3] = {red2, green2, blue2};
  FillGradient(false, left, top, right, bottom, from, to);
}

int CRawSurface::Copy(CSurface* destination, const platform::Rect* sourceRect, int atX, int atY, unsigned flags) {
  if (!surface || !destination || !destination->surface2) return 0;
  platform::Rect source = sourceRect
                              ? *sourceRect
                              : platform::Rect{0, 0, platform::SurfaceWidth(surface), platform::SurfaceHeight(surface)};
  platform::Rect to{atX, atY, atX + source.right - source.left, atY + source.bottom - source.top};
  return CheckDirectDrawResult(
      platform::BlitSurface(destination->surface2, &to, surface, &source, platform::kBlitWait | flags));
}

int CRawSurface::BlitRectTo(CSurface* destination, const platform::Rect* sourceRect, int atX, int atY) {
  return Copy(destination, sourceRect, atX, atY, 0);
}

int CRawSurface::BlitRectToKeyed(CSurface* destination, const platform::Rect* sourceRect, int atX, int atY) {
  return Copy(destination, sourceRect, atX, atY, platform::kBlitSourceKey);
}

bool CRawSurface::LoadBitmapAt(const char* path, int atX, int atY) {
  if (!surface) return false;
  CDibBitmap bitmap;
  if (!bitmap.Load(path)) return false;
  uint16_t* pixels = nullptr;
  int rowPitch = 0;
  if (platform::LockSurface(surface, &pixels, &rowPitch) != platform::kDisplayOk) return false;
  bitmap.Draw(pixels, rowPitch, platform::SurfaceWidth(surface), platform::SurfaceHeight(surface), atX, atY);
  platform::UnlockSurface(surface);
  return true;
}
