// Window objects and the mouse dispatch: which object takes each event, the hover, the
// capture, the ring, and the battle screen's band selection.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "core/Main.h"
#include "core/Preferences.h"
#include "graphics/BattleFacing.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/Screen.h"

using ui_test::Mouse;

namespace {

std::string FlagText(int flags) {
  std::string text;
  const std::pair<int, const char*> names[] = {{MF_ENTER, "enter"}, {MF_MOVE, "move"},        {MF_LEFT_DOWN, "ldown"},
                                               {MF_LEFT_UP, "lup"}, {MF_RIGHT_DOWN, "rdown"}, {MF_RIGHT_UP, "rup"},
                                               {MF_LEAVE, "leave"}};
  for (const auto& [bit, name] : names)
    if (flags & bit) text += (text.empty() ? "" : "+") + std::string(name);
  return text;
}

std::vector<std::string> g_log;

class Recorder : public CFlatWin {
 public:
  Recorder(std::string name, platform::Rect area, int kind = 16) : name_(std::move(name)) {
    cursorKind = kind;
    Register(area, 1);
  }
  void OnMouse(int flags, CMouseEvent event) override {
    g_log.push_back(name_ + " " + FlagText(flags) + " " + std::to_string(event.x) + "," + std::to_string(event.y));
    if (onMouse) onMouse();
  }
  int IsTransparentAt(int x, int y) override { return transparent && transparent(x, y) ? 1 : 0; }
  std::function<bool(int, int)> transparent;
  std::function<void()> onMouse;

 private:
  std::string name_;
};

class MouseDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMouseInput();
    g_log.clear();
    g_cursorKind = kCursorNormal;
  }
  void TearDown() override {
    ResetMouseInput();
    g_cursorKind = kCursorNormal;
  }
  static std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(g_log);
    return out;
  }
};

using Lines = std::vector<std::string>;

TEST_F(MouseDispatch, TheLaterObjectTakesTheEventUnlessThePointIsTransparentThere) {
  Recorder below("below", {0, 0, 100, 100}, 1);
  Recorder above("above", {50, 50, 150, 150}, 2);
  above.transparent = [](int x, int) { return x < 60; };
  Mouse(70, 70);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"above enter 70,70"}));
  EXPECT_EQ(g_cursorKind, 2);
  Mouse(55, 70);  // inside both, transparent in the upper one
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"above leave 55,70", "below enter 55,70"}));
  EXPECT_EQ(g_cursorKind, 1);
  EXPECT_EQ(g_hoverIndex, below.index);
}

TEST_F(MouseDispatch, MovingAcrossObjectsLeavesEntersAndMoves) {
  Recorder a("a", {0, 0, 100, 100});
  Recorder b("b", {100, 0, 200, 100});
  for (auto [x, y] : {std::pair{10, 10}, {20, 10}, {20, 10}, {150, 10}, {160, 20}}) Mouse(x, y);
  DispatchMouseEvents();
  // The third event repeats the second: no flag, so no call.
  EXPECT_EQ(Take(), (Lines{"a enter 10,10", "a move 20,10", "a leave 150,10", "b enter 150,10", "b move 160,20"}));
}

TEST_F(MouseDispatch, APressCapturesTheObjectUntilTheRelease) {
  Recorder a("a", {0, 0, 100, 100});
  Recorder b("b", {100, 0, 200, 100});
  Mouse(50, 50);
  Mouse(50, 50, true);
  Mouse(150, 50, true);  // dragged over b: still a's
  Mouse(160, 50);        // released over b
  Mouse(170, 50);        // free again
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"a enter 50,50", "a ldown 50,50", "a move 150,50", "a move+lup 160,50", "a leave 170,50",
                           "b enter 170,50"}));
  // An object that does not capture lets a drag go on to what lies under the pointer.
  b.capturesMouse = 0;
  Mouse(150, 50, true);
  Mouse(50, 50, true);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"b move+ldown 150,50", "b leave 50,50", "a enter 50,50"}));
}

TEST_F(MouseDispatch, UnregisteringDuringACaptureKeepsTheCaptureOnItsObject) {
  auto first = std::make_unique<Recorder>("first", platform::Rect{0, 0, 50, 50});
  Recorder second("second", {50, 0, 100, 50});
  auto captor = std::make_unique<Recorder>("captor", platform::Rect{100, 0, 150, 50});
  Mouse(120, 10);
  Mouse(120, 10, true);
  DispatchMouseEvents();
  Take();
  first.reset();  // an object below the captor goes: the captor moves down one place
  EXPECT_EQ(captor->index, 1);
  Mouse(60, 10, true);  // dragged over second
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"captor move 60,10"}));
  // The captor itself goes while holding the capture: the events go by position again.
  captor.reset();
  Mouse(70, 10, true);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"second enter 70,10"}));
}

TEST_F(MouseDispatch, AnEventOverNothingIsConsumedAndEndsTheFramesDispatch) {
  Recorder a("a", {0, 0, 100, 100});
  Mouse(50, 50);
  Mouse(500, 500);
  Mouse(60, 50);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"a enter 50,50"}));
  EXPECT_EQ(PendingMouseEvents(), 1);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"a move 60,50"}));  // the hover stayed on a
}

TEST_F(MouseDispatch, TheRingKeepsThirtyOneEventsAndDropsTheOldest) {
  Recorder a("a", {0, 0, 1000, 1000});
  for (int i = 0; i < 32; ++i) Mouse(i, 0);
  EXPECT_EQ(PendingMouseEvents(), 31);
  DispatchMouseEvents();
  Lines log = Take();
  ASSERT_EQ(log.size(), 31u);
  EXPECT_EQ(log.front(), "a enter 1,0");
  EXPECT_EQ(log.back(), "a move 31,0");
}

TEST_F(MouseDispatch, AQuietFrameOnlyTakesTheCursorOfTheObjectUnderThePointer) {
  Recorder a("a", {0, 0, 100, 100}, 3);
  Mouse(10, 10);
  DispatchMouseEvents();
  Take();
  SetCursorKind(7);
  DispatchMouseEvents();
  EXPECT_EQ(g_cursorKind, 3);
  EXPECT_TRUE(Take().empty());
  SetCursorKind(kCursorNone);  // no cursor stays no cursor
  DispatchMouseEvents();
  EXPECT_EQ(g_cursorKind, kCursorNone);
}

TEST_F(MouseDispatch, TheTableHoldsFourHundredAndKeepsTheHoverOnItsObject) {
  std::vector<std::unique_ptr<Recorder>> objects;
  for (int i = 0; i < kMaxWindowObjects; ++i)
    objects.push_back(std::make_unique<Recorder>("o" + std::to_string(i), platform::Rect{i, 0, i + 1, 1}));
  Recorder extra("extra", {0, 0, 0, 0});
  EXPECT_EQ(extra.index, -1);
  EXPECT_EQ(g_windowCount, kMaxWindowObjects);
  Mouse(10, 0);
  DispatchMouseEvents();
  EXPECT_EQ(g_hoverIndex, 10);
  objects[3].reset();
  EXPECT_EQ(g_hoverIndex, 9);
  EXPECT_EQ(g_windowTable[9], objects[10].get());
  objects[10].reset();
  EXPECT_EQ(g_hoverIndex, -1);
  // Registering again keeps the object's one place.
  objects[20]->Register({0, 0, 5, 5}, 1);
  EXPECT_EQ(g_windowCount, kMaxWindowObjects - 2);
}

TEST_F(MouseDispatch, ADeactivatedObjectHearsItLosesTheHoverAndTakesNoMore) {
  Recorder a("a", {0, 0, 100, 100});
  Recorder b("b", {0, 0, 100, 100});
  Mouse(10, 10);
  DispatchMouseEvents();
  Take();
  b.Deactivate();
  EXPECT_EQ(Take(), (Lines{"b leave 10,10"}));
  EXPECT_EQ(g_hoverIndex, -1);
  Mouse(20, 10);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"a enter 20,10"}));
  EXPECT_EQ(b.index, 1);
}

TEST_F(MouseDispatch, ACallbackThatDestroysItsObjectEndsThatEventSafely) {
  auto dialog = std::make_unique<Recorder>("dialog", platform::Rect{0, 0, 100, 100});
  Recorder other("other", {200, 0, 300, 100});
  dialog->onMouse = [&] {
    if (g_log.back().find("ldown") != std::string::npos) dialog.reset();
  };
  Mouse(10, 10);
  Mouse(10, 10, true);
  Mouse(250, 10, true);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"dialog enter 10,10", "dialog ldown 10,10", "other enter 250,10"}));
  EXPECT_EQ(g_hoverIndex, other.index);
}

// The battle screen keeps a selection band while the left button is dragged from the map
// view, the first object of the table. The battle says whether its screen is current and
// what starting and ending a band does.
class BattleScreen : public CScreen {
 public:
  BattleScreen() { id = 2; }
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
};

struct BandingBattle : IBattleFacing {
  explicit BandingBattle(const CScreen& screen) : screen_(screen) {}
  bool BattleScreenIsCurrent() override { return g_currentScreen == &screen_; }
  void StartBand() override { band.push_back("start"); }
  void EndBand(int ctrl) override {
    band.push_back("end" + std::to_string(ctrl));
    state.mouseMode = kMouseModeCreatures;
  }
  std::vector<std::string> band;

 private:
  const CScreen& screen_;
};

TEST_F(MouseDispatch, ABandIsDraggedOnlyOnTheBattleScreen) {
  BattleScreen battle;
  BandingBattle facing(battle);
  HookScope<IBattleFacing> scope(g_battleFacing, facing);
  CScreen* previous = g_currentScreen;
  BattleScreen other;  // not the battle's screen, whatever its id: no band, every event reaches its object
  g_currentScreen = &other;
  Recorder view("view", {0, 0, 800, 600});
  Mouse(100, 100);
  Mouse(100, 100, true);
  Mouse(200, 200, true);
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"view enter 100,100", "view ldown 100,100", "view move 200,200"}));
  EXPECT_TRUE(facing.band.empty());
  EXPECT_EQ(BattleState().mouseMode, kMouseModeNone);
  g_currentScreen = previous;
}

TEST_F(MouseDispatch, DraggingOverTheMapViewOnTheBattleScreenDrawsABand) {
  BattleScreen battle;
  BandingBattle facing(battle);
  HookScope<IBattleFacing> scope(g_battleFacing, facing);
  std::vector<std::string>& band = facing.band;
  CScreen* previous = g_currentScreen;
  g_currentScreen = &battle;
  g_prefs.isHighRes = 1;
  g_prefs.windowSize = 1;  // the view ends at 460
  Recorder view("view", {0, 0, 800, 600});
  Recorder panel("panel", {0, 460, 800, 600});
  Mouse(100, 100);
  Mouse(100, 100, true);
  Mouse(105, 104, true);  // within 8 pixels: no band yet
  DispatchMouseEvents();
  EXPECT_EQ(Take(), (Lines{"view enter 100,100", "view ldown 100,100", "view move 105,104"}));
  EXPECT_EQ(BattleState().bandAnchorX, 100);
  Mouse(120, 500, true);  // below the view: the band stops at its edge
  Mouse(90, 510, true, false, true);
  DispatchMouseEvents();
  EXPECT_EQ(band, (std::vector<std::string>{"start"}));
  EXPECT_EQ(BattleState().mouseMode, kMouseModeBand);
  EXPECT_EQ(BattleState().bandRect.left, 90);
  EXPECT_EQ(BattleState().bandRect.right, 100);
  EXPECT_EQ(BattleState().bandRect.top, 100);
  EXPECT_EQ(BattleState().bandRect.bottom, 460);
  Mouse(90, 510, false, false, true);  // released with Ctrl
  DispatchMouseEvents();
  EXPECT_EQ(band, (std::vector<std::string>{"start", "end1"}));
  EXPECT_EQ(Take(), (Lines{"view lup 90,510"}));  // while the band ran no callback was made
  EXPECT_EQ(BattleState().mouseMode, kMouseModeCreatures);
  g_currentScreen = previous;
  g_prefs.Reset();
}

}  // namespace
