// The cursors: reading cfg\cursors.cfg, the kinds, the software cursor drawn into the frame
// by the main thread and onto the primary surface by the timer thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "UiTestSupport.h"
#include "core/MMTimer.h"
#include "core/Main.h"
#include "core/Options.h"
#include "graphics/Display.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"

namespace {

constexpr uint16_t kBackground = 0x1234;
constexpr uint16_t kOtherBackground = 0x4321;

uint16_t Pixel(CSurface& surface, int x, int y) {
  uint16_t* p = surface.Lock();
  const uint16_t value = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(p) + y * surface.pitch)[x];
  surface.Unlock(p);
  return value;
}

// Whether the 40 x 40 square whose top-left is x, y shows the cell over the background: the
// cell's own pixels where it is not the key, the background elsewhere (parts off the surface
// are not looked at).
::testing::AssertionResult ShowsCell(CSurface& surface, int x, int y, const platform::Rect& cell, uint16_t background) {
  int opaque = 0;
  for (int dy = 0; dy < kCursorCell; ++dy)
    for (int dx = 0; dx < kCursorCell; ++dx) {
      const int sx = x + dx, sy = y + dy;
      if (sx < 0 || sy < 0 || sx >= surface.width || sy >= surface.height) continue;
      const uint16_t art = Pixel(g_cursorSheet, cell.left + dx, cell.top + dy);
      const uint16_t expected = art == g_cursorSheet.colourKey ? background : art;
      if (art != g_cursorSheet.colourKey) ++opaque;
      const uint16_t seen = Pixel(surface, sx, sy);
      if (seen != expected)
        return ::testing::AssertionFailure() << "pixel " << sx << "," << sy << " is " << seen << ", not " << expected;
    }
  if (opaque == 0) return ::testing::AssertionFailure() << "no pixel of the cell shows";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Plain(CSurface& surface, const platform::Rect& area, uint16_t colour) {
  for (int y = std::max(area.top, 0); y < std::min(area.bottom, surface.height); ++y)
    for (int x = std::max(area.left, 0); x < std::min(area.right, surface.width); ++x)
      if (Pixel(surface, x, y) != colour) return ::testing::AssertionFailure() << "pixel " << x << "," << y;
  return ::testing::AssertionSuccess();
}

platform::Rect FirstCell(int kind) { return CursorCellRect(g_cursorDefs[kind].frames[0]); }

class SoftwareCursor : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    g_softwareCursor = 1;
    g_cursorKind = kCursorNormal;
    g_startupMutex = &startup_;
    g_cursorTimerMayDraw = true;
    ASSERT_EQ(LoadCursorsCfg(), 1);
    ASSERT_TRUE(CursorsLoaded());
    g_backBuffer.Fill(kBackground);
  }
  void TearDown() override {
    g_startupMutex = nullptr;
    UiScreen::TearDown();
  }
  // One menu frame's end: the cursor into the work surface, the present.
  void Frame() {
    g_cursorTimerMayDraw = false;
    DrawSoftwareCursor();
    PresentWorkSurface();
    g_cursorTimerMayDraw = true;
    ShowPrimary();
  }
  std::timed_mutex startup_;
};

TEST_F(SoftwareCursor, TheForgedFileGivesEveryKindItsArt) {
  EXPECT_EQ(g_cursorBitmapWidth, 400);
  EXPECT_EQ(g_cursorBitmapHeight, 120);
  EXPECT_EQ(g_cursorDefs[16].hotspotX, 1);
  EXPECT_EQ(g_cursorDefs[5].frameCount, 4);
  EXPECT_EQ(g_cursorDefs[5].delay, 4);
  for (int kind = 0; kind < kCursorKindsWithArt; ++kind) {
    ASSERT_GE(g_cursorDefs[kind].frameCount, 1) << kind;
    const platform::Rect cell = FirstCell(kind);
    EXPECT_EQ(cell.right - cell.left, kCursorCell) << kind;
  }
  EXPECT_EQ(g_cursorSheet.colourKey, 31);  // pure blue
}

// A lost sheet is drawn again from the cursor bitmap the next time it is used.
TEST_F(SoftwareCursor, ALostSheetIsReloadedFromTheBitmap) {
  const platform::Rect cell = FirstCell(16);
  auto cellPixels = [&] {
    std::vector<uint16_t> pixels;
    for (int y = cell.top; y < cell.bottom; ++y)
      for (int x = cell.left; x < cell.right; ++x) pixels.push_back(Pixel(g_cursorSheet, x, y));
    return pixels;
  };
  const std::vector<uint16_t> art = cellPixels();
  g_cursorSheet.Fill(0);
  platform::LoseSurface(g_cursorSheet.surface2, 1);
  EXPECT_EQ(cellPixels(), art);  // the lock found it lost: restored and reloaded
}

TEST_F(SoftwareCursor, TheFrameCursorIsDrawnOverTheWorkSurfaceAndItsBackgroundPutBack) {
  struct Case {
    int x, y;  // the pointer
  };
  for (Case c : {Case{100, 100}, Case{0, 0}, Case{799, 599}, Case{780, 300}}) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    g_backBuffer.Fill(kBackground);
    ForgetCursorBackground();
    QueueMouseEvent(0, c.x, c.y);
    DrawSoftwareCursor();
    const int left = c.x - g_cursorDefs[16].hotspotX, top = c.y - g_cursorDefs[16].hotspotY;
    EXPECT_TRUE(ShowsCell(g_backBuffer, left, top, FirstCell(16), kBackground));
    RestoreCursorBackground();
    EXPECT_TRUE(Plain(g_backBuffer, {left, top, left + kCursorCell, top + kCursorCell}, kBackground));
  }
  // A forgotten background is not put back over a new screen.
  DrawSoftwareCursor();
  ForgetCursorBackground();
  g_backBuffer.Fill(kOtherBackground);
  RestoreCursorBackground();
  EXPECT_TRUE(Plain(g_backBuffer, {0, 0, 800, 600}, kOtherBackground));
}

TEST_F(SoftwareCursor, TheTimerMovesTheCursorOnThePrimaryBetweenFrames) {
  QueueMouseEvent(0, 200, 200);
  Frame();
  const int hx = g_cursorDefs[16].hotspotX, hy = g_cursorDefs[16].hotspotY;
  EXPECT_TRUE(ShowsCell(g_primary, 200 - hx, 200 - hy, FirstCell(16), kBackground));
  QueueMouseEvent(0, 300, 250);
  CursorTimerTick();
  EXPECT_TRUE(ShowsCell(g_primary, 300 - hx, 250 - hy, FirstCell(16), kBackground));
  EXPECT_TRUE(Plain(g_primary, {200 - hx, 200 - hy, 240 - hx, 240 - hy}, kBackground));
  // While the main thread presents, the timer leaves the primary alone.
  g_cursorTimerMayDraw = false;
  QueueMouseEvent(0, 400, 250);
  CursorTimerTick();
  EXPECT_TRUE(ShowsCell(g_primary, 300 - hx, 250 - hy, FirstCell(16), kBackground));
  // A tick that cannot have the start-up mutex does nothing.
  g_cursorTimerMayDraw = true;
  startup_.lock();
  CursorTimerTick();
  startup_.unlock();
  EXPECT_TRUE(ShowsCell(g_primary, 300 - hx, 250 - hy, FirstCell(16), kBackground));
  // Nor does one while the application is not active.
  g_appActive = 0;
  CursorTimerTick();
  g_appActive = 1;
  EXPECT_TRUE(ShowsCell(g_primary, 300 - hx, 250 - hy, FirstCell(16), kBackground));
  CursorTimerTick();
  EXPECT_TRUE(ShowsCell(g_primary, 400 - hx, 250 - hy, FirstCell(16), kBackground));
}

TEST_F(SoftwareCursor, AnAnimatedKindStepsToItsNextFrameAfterItsDelay) {
  QueueMouseEvent(0, 200, 200);
  SetCursorKind(5);
  EXPECT_EQ(g_cursorCountdown, 4);
  Frame();
  const CCursorDef& def = g_cursorDefs[5];
  EXPECT_TRUE(ShowsCell(g_primary, 200 - def.hotspotX, 200 - def.hotspotY, CursorCellRect(def.frames[0]), kBackground));
  for (int tick = 0; tick < 3; ++tick) CursorTimerTick();
  EXPECT_EQ(g_cursorCountdown, 1);
  EXPECT_TRUE(ShowsCell(g_primary, 200 - def.hotspotX, 200 - def.hotspotY, CursorCellRect(def.frames[0]), kBackground));
  // The countdown runs out: the timer redraws the frame it has and steps on, with the delay
  // again; its next redraw shows the next frame.
  CursorTimerTick();
  EXPECT_EQ(g_cursorCountdown, 4);
  for (int tick = 0; tick < 4; ++tick) CursorTimerTick();
  EXPECT_TRUE(ShowsCell(g_primary, 200 - def.hotspotX, 200 - def.hotspotY, CursorCellRect(def.frames[1]), kBackground));
  // The frame's own drawing steps first and then draws.
  for (int tick = 0; tick < 4; ++tick) CursorTimerTick();
  g_backBuffer.Fill(kBackground);
  Frame();
  EXPECT_TRUE(ShowsCell(g_primary, 200 - def.hotspotX, 200 - def.hotspotY, CursorCellRect(def.frames[3]), kBackground));
  // Kind 22 hides the cursor: neither the frame nor the timer draw it.
  SetCursorKind(kCursorNone);
  g_backBuffer.Fill(kOtherBackground);
  Frame();
  CursorTimerTick();
  EXPECT_TRUE(Plain(g_primary, {0, 0, 800, 600}, kOtherBackground));
}

TEST_F(SoftwareCursor, KindsOutsideTheRangeAreIgnored) {
  SetCursorKind(3);
  for (int kind : {23, -1, 100}) {
    SetCursorKind(kind);
    EXPECT_EQ(g_cursorKind, 3) << kind;
  }
  // A change that cannot have the cursor mutex within 10 ms is skipped: another thread holds
  // it until the change has given up.
  std::atomic<bool> changeTried{false};
  std::thread holder([&changeTried] {
    std::lock_guard<std::timed_mutex> lock(g_cursorMutex);
    while (!changeTried) std::this_thread::yield();
  });
  while (g_cursorMutex.try_lock()) {
    g_cursorMutex.unlock();
    std::this_thread::yield();
  }
  SetCursorKind(4);
  changeTried = true;
  holder.join();
  EXPECT_EQ(g_cursorKind, 3);
}

// With the system pointer, every kind shows a pointer made from the art of its resource.
TEST(SystemCursor, KindsMapOntoTheResourcesOfTheirPointers) {
  const int expected[] = {108, 104, 160, 106, 109, 107, 146, 147, 148, 149, 151, 152,
                          154, 153, 155, 156, 157, 158, 159, 161, 157, 157, 157};
  for (int kind = 0; kind <= kCursorNone; ++kind) EXPECT_EQ(CursorResourceId(kind), expected[kind]) << kind;
  EXPECT_EQ(CursorResourceId(23), 0);
  ui_test::InForgedData data;
  g_softwareCursor = 0;
  g_cursorKind = kCursorNormal;
  SetCursorKind(0);
  EXPECT_EQ(g_cursorKind, 0);
  SetCursorKind(kCursorNone);
  EXPECT_EQ(g_cursorKind, kCursorNone);
  SetCursorKind(kCursorNormal);
  FreeCursors();
}

// A cursors file written by hand: the clamps and cuts of its keys.
TEST(CursorsFile, KeysAreCutAndClampedAndMissingOnesKeepTheirValue) {
  testing_support::TempDir dir(true);
  platform::MakeDirectory("cfg");
  platform::MakeDirectory("bitmaps");
  std::vector<uint8_t> picture;
  ASSERT_TRUE(platform::ReadWholeFile(testing_support::ForgedDataDir() + "/bitmaps/cursors.bmp", picture));
  dir.Write("bitmaps/cursors.bmp", std::vector<unsigned char>(picture.begin(), picture.end()));
  dir.Write("cfg/cursors.cfg",
            "[HEADER]\nBitmapWidth=2000\nBitmapHeight=80\n"
            "[CURSOR_0]\nHotspotx=55\nHotspoty=-3\nFrames=3=x,4,5\nDelay=-5\n"
            "[CURSOR_1]\nFrames=1,2,3,4,5,6,7,8,9,10,11,12,13,14\nDelay=2000\n");
  platform::FlushProfileCache();
  g_cursorDefs[2].hotspotX = 7;
  g_cursorDefs[2].frameCount = 1;
  g_cursorDefs[2].frames[0] = 9;
  LoadCursorsCfg();
  EXPECT_EQ(g_cursorBitmapWidth, 1000);
  EXPECT_EQ(g_cursorBitmapHeight, 80);
  EXPECT_EQ(g_cursorDefs[0].hotspotX, 40);
  EXPECT_EQ(g_cursorDefs[0].hotspotY, 0);
  EXPECT_EQ(g_cursorDefs[0].frameCount, 3);
  EXPECT_EQ((std::vector<int>(g_cursorDefs[0].frames, g_cursorDefs[0].frames + 3)), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(g_cursorDefs[0].delay, 0);
  EXPECT_EQ(g_cursorDefs[1].frameCount, 12);
  EXPECT_EQ(g_cursorDefs[1].frames[11], 12);
  EXPECT_EQ(g_cursorDefs[1].delay, 1000);
  EXPECT_EQ(g_cursorDefs[2].hotspotX, 7);
  EXPECT_EQ(g_cursorDefs[2].frames[0], 9);
  // 25 cells to a row, two rows: a cell beyond them lies outside the sheet.
  EXPECT_EQ(CursorCellRect(26).left, 40);
  EXPECT_EQ(CursorCellRect(26).top, 40);
  EXPECT_EQ(CursorCellRect(50).right, 0);
  EXPECT_EQ(CursorCellRect(-1).right, 0);
  FreeCursors();
  for (CCursorDef& def : g_cursorDefs) def = CCursorDef{};
  g_cursorBitmapWidth = g_cursorBitmapHeight = 0;
}

// Without its picture, missing or not a bitmap, the cursor cannot be drawn: the file-load
// error ends the program.
TEST(CursorsFile, AMissingOrBrokenPictureIsTheFileLoadError) {
  for (bool present : {false, true}) {
    testing_support::TempDir dir(true);
    platform::MakeDirectory("cfg");
    platform::MakeDirectory("bitmaps");
    dir.Write("cfg/cursors.cfg", "[HEADER]\nBitmapWidth=80\nBitmapHeight=40\n");
    if (present) dir.Write("bitmaps/cursors.bmp", "BM not a picture");
    platform::FlushProfileCache();
    testing_support::BoxRecorder boxes;
    EXPECT_EQ(testing_support::ExitCodeOf([] { LoadCursorsCfg(); }), 1) << present;
    ASSERT_EQ(boxes.Count(), 1u) << present;
    EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load file: bitmaps\\cursors.bmp, Exiting Program");
    FreeCursors();
  }
  platform::FlushProfileCache();
  for (CCursorDef& def : g_cursorDefs) def = CCursorDef{};
  g_cursorBitmapWidth = g_cursorBitmapHeight = 0;
}

// The timer thread draws the cursor onto the primary every millisecond while the main thread
// runs frames, changes the kind and moves the pointer: the two share the cursor state only
// under its lock (this test runs under ThreadSanitizer in its own build).
TEST_F(SoftwareCursor, ThreadsShareTheCursorSafely) {
  CMMTimer timer;
  timer.SetPeriod(1, 1);
  ASSERT_EQ(timer.Start(CursorTimerCallback), 1);
  for (int frame = 0; frame < 300; ++frame) {
    QueueMouseEvent(0, 100 + frame, 100 + frame % 50);
    DispatchMouseEvents();
    if (frame % 25 == 0) SetCursorKind(frame % 50 == 0 ? 5 : kCursorNormal);
    g_backBuffer.Fill(kBackground);
    Frame();
    if (frame % 60 == 0) RestoreCursorBackground();
  }
  timer.Stop();
  SetCursorKind(kCursorNormal);
  QueueMouseEvent(0, 420, 300);
  g_backBuffer.Fill(kBackground);
  Frame();
  EXPECT_TRUE(ShowsCell(g_primary, 420 - g_cursorDefs[16].hotspotX, 300 - g_cursorDefs[16].hotspotY, FirstCell(16),
                        kBackground));
}

}  // namespace
