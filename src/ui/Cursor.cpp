#include "ui/Cursor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Pictures.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "platform/Window.h"
#include "ui/Flatwin.h"

std::atomic<int> g_cursorKind{kCursorNormal};
CCursorDef g_cursorDefs[kCursorKindsWithArt];
int g_cursorBitmapWidth = 0;
int g_cursorBitmapHeight = 0;
CSurface g_cursorSheet;
CSurface g_cursorSaveUnder;
std::timed_mutex g_cursorMutex;
std::atomic<bool> g_cursorTimerMayDraw{true};
std::atomic<int> g_cursorBackgroundSaved{0};
std::atomic<int> g_cursorCountdown{0};

namespace {

constexpr const char* kCursorsFile = "cfg\\cursors.cfg";
constexpr const char* kCursorBitmap = "bitmaps\\cursors.bmp";
constexpr uint16_t kPureBlue = 31;

// Pixels a thread other than the main one may write while it holds g_cursorMutex: the
// surfaces' pixel blocks stay where they are for as long as the surfaces live.
struct PixelView {
  uint16_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // pixels
  explicit operator bool() const { return pixels != nullptr; }
  uint16_t* Row(int y) const { return pixels + static_cast<size_t>(y) * pitch; }
};

// The software cursor's state; under g_cursorMutex unless said otherwise.
struct CursorState {
  bool loaded = false;
  int cellsPerRow = 0;
  int rows = 0;
  int frameIndex = -1;
  platform::Rect cell{};
  platform::Rect savedRect{};
  int savedX = 0;
  int savedY = 0;
  PixelView sheet;
  PixelView saveUnder;
  PixelView primary;  // refreshed by the main thread whenever it presents
  uint16_t sheetKey = kPureBlue;
};
CursorState g_state;

// The system pointers made from the art, by resource number (main thread).
std::map<int, platform::SystemCursor*> g_systemCursors;
std::vector<uint16_t> g_systemArt;  // the cursor bitmap for them, read once
bool g_systemArtRead = false;

// A lost cursor sheet is drawn again from the bitmap.
class CursorSheetRestorer : public CSurfaceRestorer {
 public:
  void RestoreSurface(int) override { ReloadCursorSheet(); }
};
CursorSheetRestorer g_cursorSheetRestorer;

constexpr int kResourceIds[23] = {108, 104, 160, 106, 109, 107, 146, 147, 148, 149, 151, 152,
                                  154, 153, 155, 156, 157, 158, 159, 161, 157, 157, 157};

bool Empty(const platform::Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

platform::Rect ClipToScreen(int x, int y, int screenWidth, int screenHeight) {
  return platform::Rect{std::max(x, 0), std::max(y, 0), std::min(x + kCursorCell, screenWidth),
                        std::min(y + kCursorCell, screenHeight)};
}

// The part of a cell that shows for a cursor square at x, y.
platform::Rect ClipCell(platform::Rect cell, int x, int y, int screenWidth, int screenHeight) {
  if (x < 0) cell.left -= x;
  if (y < 0) cell.top -= y;
  if (x + kCursorCell > screenWidth) cell.right -= x + kCursorCell - screenWidth;
  if (y + kCursorCell > screenHeight) cell.bottom -= y + kCursorCell - screenHeight;
  return cell;
}

std::string CurrentDirFile(const char* name) {
  char path[512];
  MakeCurrentDirPath(name, path, sizeof path);
  return path;
}

int Clamped(const std::string& path, const char* section, const char* key, int current, int low, int high) {
  char text[256];
  platform::ReadProfileString(section, key, "", text, sizeof text, path);
  if (text[0] == '\0') return current;
  return std::clamp(platform::TextToInt(text), low, high);
}

// "Frames": at most 12 items, each cut at an equals sign and read as a decimal number.
void ReadFrames(const std::string& path, const char* section, CCursorDef& def) {
  char text[256];
  platform::ReadProfileString(section, "Frames", "", text, sizeof text, path);
  if (text[0] == '\0') return;
  const std::vector<int> items = platform::NumberList(text);
  const int count = std::min(static_cast<int>(items.size()), kMaxCursorFrames);
  std::copy_n(items.begin(), count, def.frames);
  def.frameCount = count;
}

void ReadCursorsFile() {
  const std::string path = CurrentDirFile(kCursorsFile);
  g_cursorBitmapWidth = Clamped(path, "HEADER", "BitmapWidth", g_cursorBitmapWidth, 0, 1000);
  g_cursorBitmapHeight = Clamped(path, "HEADER", "BitmapHeight", g_cursorBitmapHeight, 0, 1000);
  for (int kind = 0; kind < kCursorKindsWithArt; ++kind) {
    const std::string section = "CURSOR_" + std::to_string(kind);
    CCursorDef& def = g_cursorDefs[kind];
    def.hotspotX = Clamped(path, section.c_str(), "Hotspotx", def.hotspotX, 0, kCursorCell);
    def.hotspotY = Clamped(path, section.c_str(), "Hotspoty", def.hotspotY, 0, kCursorCell);
    ReadFrames(path, section.c_str(), def);
    def.delay = Clamped(path, section.c_str(), "Delay", def.delay, 0, 1000);
  }
}

PixelView ViewOf(CSurface& surface) {
  PixelView view;
  if (!surface.IsCreated()) return view;
  uint16_t* pixels = surface.Lock();
  if (!pixels) return view;
  view = PixelView{pixels, surface.width, surface.height, surface.pitch / 2};
  surface.Unlock(pixels);
  return view;
}

// Copies the source rectangle to x, y of the destination, clipped on both sides; with keyed,
// pixels equal to key stay out.
void CopyPixels(const PixelView& to, int x, int y, const PixelView& from, platform::Rect source, bool keyed,
                uint16_t key) {
  if (!to || !from) return;
  if (source.left < 0) x -= source.left, source.left = 0;
  if (source.top < 0) y -= source.top, source.top = 0;
  source.right = std::min(source.right, from.width);
  source.bottom = std::min(source.bottom, from.height);
  if (x < 0) source.left -= x, x = 0;
  if (y < 0) source.top -= y, y = 0;
  source.right = std::min(source.right, source.left + to.width - x);
  source.bottom = std::min(source.bottom, source.top + to.height - y);
  for (int row = source.top; row < source.bottom; ++row) {
    const uint16_t* src = from.Row(row) + source.left;
    uint16_t* dst = to.Row(y + row - source.top) + x;
    for (int i = 0; i < source.right - source.left; ++i)
      if (!keyed || src[i] != key) dst[i] = src[i];
  }
}

void NextFrame(const CCursorDef& def) {
  if (++g_state.frameIndex >= def.frameCount) g_state.frameIndex = 0;
  g_cursorCountdown = def.delay;
  g_state.cell = CursorCellRect(def.frames[g_state.frameIndex]);
}

bool Animated(const CCursorDef& def) { return def.frameCount > 1; }

// The timer's redraw onto the primary surface; g_cursorMutex held.
void RedrawOnPrimary(const CCursorDef& def, int x, int y, bool advance) {
  const PixelView& primary = g_state.primary;
  if (g_cursorBackgroundSaved && !Empty(g_state.savedRect)) {
    const platform::Rect saved{0, 0, g_state.savedRect.right - g_state.savedRect.left,
                               g_state.savedRect.bottom - g_state.savedRect.top};
    CopyPixels(primary, std::max(g_state.savedX, 0), std::max(g_state.savedY, 0), g_state.saveUnder, saved, false, 0);
  }
  g_state.savedRect = ClipToScreen(x, y, primary.width, primary.height);
  if (!Empty(g_state.savedRect)) {
    CopyPixels(g_state.saveUnder, 0, 0, primary, g_state.savedRect, false, 0);
    g_cursorBackgroundSaved = 1;
    g_state.savedX = x;
    g_state.savedY = y;
  }
  const platform::Rect cell = ClipCell(g_state.cell, x, y, primary.width, primary.height);
  if (!Empty(cell)) CopyPixels(primary, std::max(x, 0), std::max(y, 0), g_state.sheet, cell, true, g_state.sheetKey);
  if (advance) NextFrame(def);
  platform::MarkPrimaryChanged();
}

void RefreshPrimaryView() { g_state.primary = g_state.loaded ? ViewOf(g_primary) : PixelView{}; }

// The system pointer of a resource, made from the first kind that uses it.
platform::SystemCursor* SystemCursorFor(int resourceId) {
  auto found = g_systemCursors.find(resourceId);
  if (found != g_systemCursors.end()) return found->second;
  if (!g_systemArtRead) {
    g_systemArtRead = true;
    ReadCursorsFile();
    CDibBitmap bitmap;
    if (g_cursorBitmapWidth > 0 && g_cursorBitmapHeight > 0 && bitmap.Load(kCursorBitmap)) {
      g_systemArt.assign(static_cast<size_t>(g_cursorBitmapWidth) * g_cursorBitmapHeight, kPureBlue);
      bitmap.Draw(g_systemArt.data(), g_cursorBitmapWidth * 2, g_cursorBitmapWidth, g_cursorBitmapHeight, 0, 0);
    }
  }
  platform::SystemCursor* cursor = nullptr;
  const int cellsPerRow = g_cursorBitmapWidth / kCursorCell;
  for (int kind = 0; kind < kCursorKindsWithArt && !g_systemArt.empty() && cellsPerRow > 0; ++kind) {
    if (kResourceIds[kind] != resourceId) continue;
    const int cell = g_cursorDefs[kind].frames[0];
    const int column = cell % cellsPerRow, row = cell / cellsPerRow;
    if (cell < 0 || (row + 1) * kCursorCell > g_cursorBitmapHeight) break;
    const uint16_t* first = g_systemArt.data() + static_cast<size_t>(row) * kCursorCell * g_cursorBitmapWidth +
                            static_cast<size_t>(column) * kCursorCell;
    cursor = platform::CreateSystemCursor(first, kCursorCell, kCursorCell, g_cursorBitmapWidth, kPureBlue,
                                          g_cursorDefs[kind].hotspotX, g_cursorDefs[kind].hotspotY);
    break;
  }
  g_systemCursors[resourceId] = cursor;
  return cursor;
}

void FreeSystemCursors() {
  for (auto& entry : g_systemCursors) platform::FreeSystemCursor(entry.second);
  g_systemCursors.clear();
  g_systemArt.clear();
  g_systemArtRead = false;
}

}  // namespace

int CursorResourceId(int kind) { return kind >= 0 && kind <= kCursorNone ? kResourceIds[kind] : 0; }

platform::Rect CursorCellRect(int cell) {
  // A sheet narrower than a cell has no cells; a cell below its last row lies outside it.
  if (g_state.cellsPerRow <= 0 || cell < 0 || cell / g_state.cellsPerRow >= g_state.rows) return platform::Rect{};
  const int left = (cell % g_state.cellsPerRow) * kCursorCell, top = (cell / g_state.cellsPerRow) * kCursorCell;
  return platform::Rect{left, top, left + kCursorCell, top + kCursorCell};
}

bool CursorsLoaded() {
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
  return g_state.loaded;
}

void SetCursorKind(int kind) {
  if (kind == g_cursorKind || kind < 0 || kind > kCursorNone) return;
  if (!g_softwareCursor) {
    g_cursorKind = kind;
    platform::SetSystemCursor(SystemCursorFor(CursorResourceId(kind)));
    return;
  }
  if (!platform::LockWithin(g_cursorMutex, 10)) return;
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex, std::adopt_lock);
  g_cursorKind = kind;
  if (kind == kCursorNone) return;
  const CCursorDef& def = g_cursorDefs[kind];
  g_state.frameIndex = 0;
  g_cursorCountdown = def.delay;
  g_state.cell = CursorCellRect(def.frames[0]);
}

void ForgetCursorBackground() { g_cursorBackgroundSaved = 0; }

void ForgetSavedCursorPosition() {
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
  g_state.savedX = g_state.savedY = 0;
}

void RestoreCursorBackground() {
  if (!g_softwareCursor || g_cursorKind == kCursorNone || !g_backBuffer.IsCreated()) return;
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
  if (!g_state.loaded || !g_cursorBackgroundSaved || Empty(g_state.savedRect)) return;
  const platform::Rect saved{0, 0, g_state.savedRect.right - g_state.savedRect.left,
                             g_state.savedRect.bottom - g_state.savedRect.top};
  g_cursorSaveUnder.BlitRectTo(&g_backBuffer, &saved, g_state.savedRect.left, g_state.savedRect.top);
}

void DrawSoftwareCursor() {
  const int kind = g_cursorKind;
  if (!g_softwareCursor || !g_appActive || kind < 0 || kind >= kCursorKindsWithArt) return;
  const int screenWidth = g_prefs.isHighRes ? 800 : 640;
  const int screenHeight = g_prefs.isHighRes ? 600 : 480;
  platform::Rect cell;
  int x = 0, y = 0;
  {
    if (!platform::LockWithin(g_cursorMutex, 10)) return;
    std::lock_guard<std::timed_mutex> lock(g_cursorMutex, std::adopt_lock);
    if (!g_state.loaded) return;
    const CCursorDef& def = g_cursorDefs[kind];
    x = g_pointerX - def.hotspotX;
    y = g_pointerY - def.hotspotY;
    g_state.savedRect = ClipToScreen(x, y, screenWidth, screenHeight);
    if (!Empty(g_state.savedRect)) {
      g_backBuffer.BlitRectTo(&g_cursorSaveUnder, &g_state.savedRect, 0, 0);
      g_state.savedX = x;
      g_state.savedY = y;
      g_cursorBackgroundSaved = 1;
    }
    if (g_cursorCountdown <= 0 && def.frameCount != 1) NextFrame(def);
    cell = g_state.cell;
  }
  cell = ClipCell(cell, x, y, screenWidth, screenHeight);
  if (!Empty(cell)) g_cursorSheet.BlitRectToKeyed(&g_backBuffer, &cell, std::max(x, 0), std::max(y, 0));
}

void CursorTimerTick() {
  const int kind = g_cursorKind;
  if (kind < 0 || kind >= kCursorKindsWithArt) return;
  std::timed_mutex* startup = g_startupMutex;
  if (!startup || !platform::LockWithin(*startup, 10)) return;
  if (g_appActive) {
    // The countdown is shared with the main thread's frame drawing: decreased atomically.
    int countdown = g_cursorCountdown;
    while (countdown > 0 && !g_cursorCountdown.compare_exchange_weak(countdown, countdown - 1)) {
    }
    if (g_cursorTimerMayDraw) {
      std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
      // Checked again under the lock: the main thread may have begun a frame meanwhile.
      if (g_state.loaded && g_state.primary && g_cursorTimerMayDraw && kind == g_cursorKind) {
        const CCursorDef& def = g_cursorDefs[kind];
        const int x = g_pointerX - def.hotspotX, y = g_pointerY - def.hotspotY;
        const bool step = Animated(def) && g_cursorCountdown < 1;
        if (x != g_state.savedX || y != g_state.savedY || step) RedrawOnPrimary(def, x, y, step);
      }
    }
  }
  startup->unlock();
}

namespace {

// LoadCursorsCfg under the cursor lock; false when the cursor sheet's picture cannot be read.
bool LoadCursorsLocked() {
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
  ReadCursorsFile();
  SurfaceDesc under;
  under.flags = kDescCaps | kDescWidth | kDescHeight;
  under.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  under.width = under.height = kCursorCell;
  g_cursorSaveUnder.Create(&under);
  // A sheet without a size would take the screen's: keep it at least a pixel either way.
  SurfaceDesc sheet = under;
  sheet.width = std::max(g_cursorBitmapWidth, 1);
  sheet.height = std::max(g_cursorBitmapHeight, 1);
  g_cursorSheet.Create(&sheet);
  g_cursorSaveUnder.Fill(kPureBlue);
  g_cursorSheet.Fill(kPureBlue);
  g_cursorSheet.SetColourKey(0, 0, 255);
  g_cursorSheet.restorer = &g_cursorSheetRestorer;
  const bool pictureRead = g_cursorSheet.LoadBitmap(kCursorBitmap);
  g_state.frameIndex = -1;
  g_state.cellsPerRow = g_cursorBitmapWidth / kCursorCell;
  g_state.rows = g_cursorBitmapHeight / kCursorCell;
  g_state.sheet = ViewOf(g_cursorSheet);
  g_state.saveUnder = ViewOf(g_cursorSaveUnder);
  g_state.sheetKey = g_cursorSheet.colourKey;
  g_state.savedRect = platform::Rect{};
  g_state.loaded = g_state.sheet && g_state.saveUnder;
  RefreshPrimaryView();
  // The pointer shows from the first frame, before any change of kind picks its cell.
  const int kind = g_cursorKind;
  if (kind >= 0 && kind < kCursorKindsWithArt) g_state.cell = CursorCellRect(g_cursorDefs[kind].frames[0]);
  return pictureRead;
}

}  // namespace

int LoadCursorsCfg() {
  // Without its picture the software cursor shows nothing, and no screen can be used: the
  // file-load error, once the lock is given back.
  if (!LoadCursorsLocked()) ShowFileLoadError(kCursorBitmap);
  return 1;
}

void FreeCursors() {
  {
    std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
    g_state.loaded = false;
    g_state.sheet = g_state.saveUnder = g_state.primary = PixelView{};
    g_cursorBackgroundSaved = 0;
    g_cursorSaveUnder.Release();
    g_cursorSheet.Release();
  }
  FreeSystemCursors();
}

void CursorTimerCallback(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) { CursorTimerTick(); }

void ReloadCursorSheet() {
  if (!g_cursorSheet.IsCreated()) return;
  g_cursorSheet.Fill(kPureBlue);
  g_cursorSheet.LoadBitmap(kCursorBitmap);
}

void PresentWorkSurface() {
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
  if (g_backBuffer.IsCreated() && g_primary.IsCreated()) g_backBuffer.BlitTo(&g_primary, 0, 0);
  RefreshPrimaryView();
}

void ShowPrimary() {
  std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
  PresentDisplay();
}
