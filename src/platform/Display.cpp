#include "platform/Display.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>

#include "platform/SdlVideo.h"

namespace platform {

struct Surface {
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes
  std::vector<uint16_t> pixels;
  bool primary = false;
  int locks = 0;
  bool hasKey = false;
  uint16_t key = 0;
  int lostRestores = 0;  // lost while above 0
};

namespace {

constexpr int kGameModes[][2] = {{640, 480}, {800, 600}};

struct DisplayState {
  WindowHandle window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  bool fullScreen = false;
  int width = 0;
  int height = 0;
};

DisplayState g_display;
// Global objects may release their surfaces as the program exits, in whatever order their
// destructors run: the list of live surfaces is never destroyed, so it answers them to the last.
std::vector<Surface*>& LiveSurfaces() {
  static auto* surfaces = new std::vector<Surface*>;
  return *surfaces;
}
Surface* g_primary = nullptr;
std::atomic<bool> g_primaryChanged{false};

bool IsLive(const Surface* surface) {
  const std::vector<Surface*>& live = LiveSurfaces();
  return surface && std::find(live.begin(), live.end(), surface) != live.end();
}

bool IsLost(const Surface* surface) { return surface->lostRestores > 0; }

void Touch(Surface* surface) {
  if (surface == g_primary) g_primaryChanged = true;
}

uint16_t* Row(Surface* surface, int y) { return surface->pixels.data() + static_cast<size_t>(y) * surface->width; }

bool ValidRect(const Rect& r) { return r.right > r.left && r.bottom > r.top; }

Rect WholeOf(const Surface* surface) { return Rect{0, 0, surface->width, surface->height}; }

// Copies one-to-one, with both rectangles already of the same size and inside their surfaces.
void CopyRect(Surface* dst, int dx, int dy, Surface* src, const Rect& s, bool keyed) {
  int w = s.right - s.left;
  std::vector<uint16_t> temp;
  const bool overlap = dst == src;
  for (int row = 0; row < s.bottom - s.top; ++row) {
    const uint16_t* from = Row(src, s.top + row) + s.left;
    if (overlap) {
      temp.assign(from, from + w);
      from = temp.data();
    }
    uint16_t* to = Row(dst, dy + row) + dx;
    if (!keyed) {
      std::memmove(to, from, static_cast<size_t>(w) * 2);
    } else {
      for (int i = 0; i < w; ++i)
        if (from[i] != src->key) to[i] = from[i];
    }
  }
}

void StretchRect(Surface* dst, const Rect& d, const Rect& clipped, Surface* src, const Rect& s, bool keyed) {
  const int dw = d.right - d.left, dh = d.bottom - d.top;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  std::vector<uint16_t> copy;
  const Surface* from = src;
  if (dst == src) copy = src->pixels;
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    int sy = s.top + static_cast<int>((static_cast<int64_t>(y - d.top) * sh) / dh);
    const uint16_t* srcRow = (dst == src ? copy.data() : from->pixels.data()) + static_cast<size_t>(sy) * src->width;
    uint16_t* dstRow = Row(dst, y);
    for (int x = clipped.left; x < clipped.right; ++x) {
      int sx = s.left + static_cast<int>((static_cast<int64_t>(x - d.left) * sw) / dw);
      uint16_t p = srcRow[sx];
      if (!keyed || p != src->key) dstRow[x] = p;
    }
  }
}

void ReleaseRenderer() {
  if (g_display.texture) SDL_DestroyTexture(g_display.texture);
  if (g_display.renderer) SDL_DestroyRenderer(g_display.renderer);
  g_display.texture = nullptr;
  g_display.renderer = nullptr;
}

void ShowTexture() {
  SDL_SetRenderDrawColor(g_display.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_display.renderer);
  SDL_RenderCopy(g_display.renderer, g_display.texture, nullptr, nullptr);
  SDL_RenderPresent(g_display.renderer);
}

void RedrawWindow(WindowHandle window) {
  if (window == g_display.window && g_display.renderer) ShowTexture();
}

void WindowClosing(WindowHandle window) {
  if (window == g_display.window) CloseDisplay();
}

}  // namespace

std::vector<DisplayInfo> EnumerateDisplays() {
  std::vector<DisplayInfo> displays;
  if (!detail::EnsureVideo()) return displays;
  const char* driver = SDL_GetCurrentVideoDriver();
  int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    DisplayInfo info;
    const char* name = SDL_GetDisplayName(i);
    info.description = name ? name : "Display";
    info.driver = driver ? driver : "";
    SDL_Rect bounds{};
    SDL_GetDisplayBounds(i, &bounds);
    info.left = bounds.x;
    info.top = bounds.y;
    info.width = bounds.w;
    info.height = bounds.h;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(i, &desktop) != 0) desktop = SDL_DisplayMode{0, bounds.w, bounds.h, 0, nullptr};
    info.memory = static_cast<uint32_t>(std::max(desktop.w, 1)) * static_cast<uint32_t>(std::max(desktop.h, 1)) * 4u;
    // The game's picture is scaled to the display, so every mode that fits the desktop shows.
    for (auto& mode : kGameModes) {
      if (desktop.w >= mode[0] && desktop.h >= mode[1])
        info.modes.push_back(DisplayMode{mode[0], mode[1], mode[0] * 2, desktop.refresh_rate});
    }
    displays.push_back(std::move(info));
  }
  return displays;
}

DisplayResult OpenDisplay(WindowHandle window, bool fullScreen, int width, int height) {
  SDL_Window* sdl = detail::SdlWindowOf(window);
  if (!sdl || width <= 0 || height <= 0) return kErrInvalidParams;
  if (g_display.window) CloseDisplay();
  SDL_Renderer* renderer = SDL_CreateRenderer(sdl, -1, 0);
  if (!renderer) renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) return kErrNoDisplayHardware;
  SDL_RenderSetLogicalSize(renderer, width, height);
  SDL_Texture* texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!texture) {
    SDL_DestroyRenderer(renderer);
    return kErrOutOfMemory;
  }
  g_display = DisplayState{window, renderer, texture, fullScreen, width, height};
  detail::g_redrawWindow = RedrawWindow;
  detail::g_windowClosing = WindowClosing;
  return kDisplayOk;
}

DisplayResult SetDisplayMode(int width, int height, int bits) {
  if (!g_display.window) return kErrNotInitialised;
  if (bits != 16 || width != g_display.width || height != g_display.height) return kErrUnsupported;
  return kDisplayOk;
}

void CloseDisplay() {
  ReleaseRenderer();
  g_display = DisplayState{};
}

bool IsDisplayOpen() { return g_display.window != nullptr; }

void GetDisplaySize(int& width, int& height) {
  width = g_display.width;
  height = g_display.height;
}

void GetPixelFormatMasks(uint16_t& red, uint16_t& green, uint16_t& blue) {
  red = 0xF800;
  green = 0x07E0;
  blue = 0x001F;
}

DisplayResult CreateSurface(int width, int height, bool primary, Surface** out) {
  if (!out) return kErrInvalidParams;
  *out = nullptr;
  if (primary) {
    if (g_primary) return kErrPrimaryExists;
    if (!g_display.window) return kErrNotInitialised;
    width = g_display.width;
    height = g_display.height;
  }
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return kErrInvalidParams;
  auto surface = std::make_unique<Surface>();
  try {
    surface->pixels.assign(static_cast<size_t>(width) * height, 0);
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
  surface->width = width;
  surface->height = height;
  surface->pitch = width * 2;
  surface->primary = primary;
  if (primary) g_primary = surface.get();
  *out = surface.release();
  LiveSurfaces().push_back(*out);
  return kDisplayOk;
}

void ReleaseSurface(Surface* surface) {
  if (!IsLive(surface)) return;
  std::vector<Surface*>& live = LiveSurfaces();
  live.erase(std::find(live.begin(), live.end(), surface));
  if (surface == g_primary) g_primary = nullptr;
  delete surface;
}

int SurfaceWidth(const Surface* surface) { return IsLive(surface) ? surface->width : 0; }
int SurfaceHeight(const Surface* surface) { return IsLive(surface) ? surface->height : 0; }
bool SurfaceIsPrimary(const Surface* surface) { return IsLive(surface) && surface->primary; }
int LiveSurfaceCount() { return static_cast<int>(LiveSurfaces().size()); }

DisplayResult LockSurface(Surface* surface, uint16_t** pixels, int* pitch) {
  if (!IsLive(surface) || !pixels || !pitch) return kErrInvalidParams;
  if (IsLost(surface)) return kErrSurfaceLost;
  ++surface->locks;
  *pixels = surface->pixels.data();
  *pitch = surface->pitch;
  return kDisplayOk;
}

DisplayResult UnlockSurface(Surface* surface) {
  if (!IsLive(surface)) return kErrInvalidParams;
  if (surface->locks == 0) return kErrNotLocked;
  --surface->locks;
  Touch(surface);
  return kDisplayOk;
}

DisplayResult RestoreSurface(Surface* surface) {
  if (!IsLive(surface)) return kErrInvalidParams;
  if (surface->lostRestores > 0) {
    --surface->lostRestores;
    std::fill(surface->pixels.begin(), surface->pixels.end(), 0);
    Touch(surface);
  }
  return kDisplayOk;
}

DisplayResult BlitSurface(Surface* destination, const Rect* destinationRect, Surface* source, const Rect* sourceRect,
                          unsigned flags) {
  if (!IsLive(destination) || !IsLive(source)) return kErrInvalidParams;
  if (IsLost(destination) || IsLost(source)) return kErrSurfaceLost;
  Rect s = sourceRect ? *sourceRect : WholeOf(source);
  Rect d = destinationRect ? *destinationRect : Rect{0, 0, s.right - s.left, s.bottom - s.top};
  if (!ValidRect(s) || !ValidRect(d)) return kErrInvalidRect;
  // A keyed copy from a surface without a key copies every pixel.
  const bool keyed = (flags & kBlitSourceKey) && source->hasKey;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  const int dw = d.right - d.left, dh = d.bottom - d.top;
  if (sw == dw && sh == dh) {
    // Clip the source to its surface and the destination to its own, moving the other along.
    int left = std::max({0, -s.left, -d.left}), top = std::max({0, -s.top, -d.top});
    int right = std::min({sw, source->width - s.left, destination->width - d.left});
    int bottom = std::min({sh, source->height - s.top, destination->height - d.top});
    if (right > left && bottom > top) {
      Rect part{s.left + left, s.top + top, s.left + right, s.top + bottom};
      CopyRect(destination, d.left + left, d.top + top, source, part, keyed);
    }
  } else {
    // A stretch maps the whole source rectangle, which must lie inside its surface.
    if (s.left < 0 || s.top < 0 || s.right > source->width || s.bottom > source->height) return kErrInvalidRect;
    Rect clipped{std::max(d.left, 0), std::max(d.top, 0), std::min(d.right, destination->width),
                 std::min(d.bottom, destination->height)};
    if (ValidRect(clipped)) StretchRect(destination, d, clipped, source, s, keyed);
  }
  Touch(destination);
  return kDisplayOk;
}

DisplayResult FillSurface(Surface* surface, const Rect* rect, uint16_t colour) {
  if (!IsLive(surface)) return kErrInvalidParams;
  if (IsLost(surface)) return kErrSurfaceLost;
  Rect r = rect ? *rect : WholeOf(surface);
  if (!ValidRect(r)) return kErrInvalidRect;
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, surface->width);
  r.bottom = std::min(r.bottom, surface->height);
  for (int y = r.top; y < r.bottom; ++y) std::fill(Row(surface, y) + r.left, Row(surface, y) + r.right, colour);
  Touch(surface);
  return kDisplayOk;
}

DisplayResult SetColourKey(Surface* surface, uint16_t key) {
  if (!IsLive(surface)) return kErrInvalidParams;
  surface->hasKey = true;
  surface->key = key;
  return kDisplayOk;
}

DisplayResult GetColourKey(Surface* surface, uint16_t* key) {
  if (!IsLive(surface) || !key) return kErrInvalidParams;
  if (!surface->hasKey) return kErrNoColourKey;
  *key = surface->key;
  return kDisplayOk;
}

DisplayResult GetBlitStatus(Surface* surface) {
  if (!IsLive(surface)) return kErrInvalidParams;
  return IsLost(surface) ? kErrSurfaceLost : kDisplayOk;
}

void PresentPrimary() {
  if (!g_display.renderer || !g_primary || !g_primaryChanged.exchange(false)) return;
  if (g_primary->width != g_display.width || g_primary->height != g_display.height) return;
  SDL_UpdateTexture(g_display.texture, nullptr, g_primary->pixels.data(), g_primary->pitch);
  ShowTexture();
  detail::CountPresentedFrame();
}

void MarkPrimaryChanged() { g_primaryChanged = true; }

int PresentedFrameCount() { return detail::PresentedFrames(); }

void LoseSurface(Surface* surface, int restores) {
  if (!IsLive(surface) || restores <= 0) return;
  surface->lostRestores = restores;
  std::fill(surface->pixels.begin(), surface->pixels.end(), 0);
}

void LoseAllSurfaces() {
  for (Surface* surface : LiveSurfaces()) LoseSurface(surface, 1);
}

}  // namespace platform
