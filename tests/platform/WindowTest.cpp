#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "platform/Display.h"
#include "platform/KeyState.h"
#include "platform/Window.h"

using namespace platform;

namespace {

std::vector<Message> g_seen;

intptr_t RecordingProc(WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  g_seen.push_back(Message{w, m, wp, lp});
  return DefaultWindowProc(w, m, wp, lp);
}

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen.clear();
    if (!IsWindowClassRegistered("RECORDING")) RegisterWindowClass("RECORDING", RecordingProc);
    WindowPlacement placement;
    placement.clientWidth = 640;
    placement.clientHeight = 480;
    window = CreateAppWindow("recording", "Realms of Vrask", placement);
    ASSERT_NE(window, nullptr);
    ClearMessageQueue();
    ReleaseKeysHeldByMessages();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyAppWindow(window);
    ClearMessageQueue();
  }
  // Every message now queued, dispatched.
  std::vector<Message> Drain() {
    std::vector<Message> out;
    Message m;
    while (PeekMessage(m, true)) {
      out.push_back(m);
      DispatchMessage(m);
    }
    return out;
  }
  WindowHandle window = nullptr;
};

TEST_F(Windows, CreationSendsCreateThenActivation) {
  // SetUp's window: its procedure saw WM_CREATE and WM_ACTIVATEAPP(1) before anything else.
  ASSERT_GE(g_seen.size(), 2u);
  EXPECT_EQ(g_seen[0].message, WM_CREATE);
  EXPECT_EQ(g_seen[1].message, WM_ACTIVATEAPP);
  EXPECT_EQ(g_seen[1].wParam, 1u);
  int width, height;
  GetClientSize(window, width, height);
  EXPECT_EQ(width, 640);
  EXPECT_FALSE(RegisterWindowClass("Recording", RecordingProc));
}

TEST_F(Windows, KeysBecomeKeyAndCharacterMessages) {
  SimulateKey(VK_ESCAPE, true);
  SimulateKey(VK_ESCAPE, false);
  SimulateText("a\xC3\xA9");  // 'a' and e-acute
  SimulateKey(VK_MENU, true, true);
  SimulateKey('X', true, true);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 7u);
  EXPECT_EQ(got[0].message, WM_KEYDOWN);
  EXPECT_EQ(got[0].wParam, static_cast<uintptr_t>(VK_ESCAPE));
  EXPECT_EQ(got[1].message, WM_CHAR);
  EXPECT_EQ(got[1].wParam, 27u);
  EXPECT_EQ(got[2].message, WM_KEYUP);
  EXPECT_EQ(got[3].wParam, static_cast<uintptr_t>('a'));
  EXPECT_EQ(got[4].wParam, 0xE9u);
  EXPECT_EQ(got[5].message, WM_SYSKEYDOWN);
  EXPECT_EQ(got[5].wParam, static_cast<uintptr_t>(VK_MENU));
  EXPECT_EQ(got[6].message, WM_SYSKEYDOWN);
  EXPECT_EQ(got[6].wParam, static_cast<uintptr_t>('X'));
}

// A key is held from its down message to its up message, whatever key it is: the battle polls
// arrows, Shift, letters and function keys this way while they are held.
TEST_F(Windows, KeysStayHeldFromTheirDownMessageToTheirUpMessage) {
  const int keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SHIFT, VK_CONTROL, VK_MENU, 'W', '7', VK_F1 + 11, 0xDB};
  for (int key : keys) {
    SCOPED_TRACE(key);
    EXPECT_FALSE(IsKeyDownNow(key));
    SimulateKey(key, true);
    Drain();
    EXPECT_TRUE(IsKeyDownNow(key));
    SimulateKey(key, false);
    Drain();
    EXPECT_FALSE(IsKeyDownNow(key));
  }
  // Losing the focus lets go of what was held: the key-up goes to another window.
  SimulateKey(VK_LEFT, true);
  SimulateKey(VK_SHIFT, true);
  SimulateFocus(false);
  Drain();
  EXPECT_FALSE(IsKeyDownNow(VK_LEFT));
  EXPECT_FALSE(IsKeyDownNow(VK_SHIFT));
}

TEST_F(Windows, MouseAndFocusBecomeTheirMessages) {
  SimulateMouseMove(10, 20);
  SimulateMouseButton(true, true, 30, 40);
  SimulateMouseButton(false, false, 1, 2);
  SimulateFocus(false);
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(got[0].lParam, MakePointParam(10, 20));
  EXPECT_EQ(got[1].message, WM_LBUTTONDOWN);
  EXPECT_EQ(got[1].lParam & 0xFFFF, 30);
  EXPECT_EQ(got[1].lParam >> 16, 40);
  EXPECT_EQ(got[2].message, WM_RBUTTONUP);
  EXPECT_EQ(got[3].message, WM_ACTIVATEAPP);
  EXPECT_EQ(got[3].wParam, 0u);
}

TEST_F(Windows, APointerDraggedPastTheEdgeGivesTheNearestClientPixel) {
  struct Case {
    int x, y;
    int expectedX, expectedY;
  };
  const Case cases[] = {{-5, 20, 0, 20}, {700, -1, 639, 0}, {-30000, 90000, 0, 479}, {639, 479, 639, 479}};
  for (const Case& c : cases) {
    SimulateMouseMove(c.x, c.y);
    SimulateMouseButton(true, false, c.x, c.y);
  }
  std::vector<Message> got = Drain();
  ASSERT_EQ(got.size(), 2 * std::size(cases));
  for (size_t i = 0; i < got.size(); ++i) {
    const Case& c = cases[i / 2];
    EXPECT_EQ(got[i].lParam, MakePointParam(c.expectedX, c.expectedY)) << c.x << "," << c.y;
  }
}

TEST_F(Windows, ClosingDestroysTheWindowThroughTheDefaultProcedure) {
  SimulateCloseRequest();
  Drain();
  EXPECT_FALSE(IsWindow(window));
  ASSERT_FALSE(g_seen.empty());
  EXPECT_EQ(g_seen.back().message, WM_DESTROY);
}

TEST_F(Windows, QuitComesAfterQueuedMessagesAndRemovalTakesARange) {
  PostMessage(window, WM_KEYDOWN, 'A', 0);
  PostMessage(window, WM_LBUTTONDOWN, 0, 0);
  PostMessage(window, WM_MOUSEMOVE, 0, 0);
  PostMessage(window, WM_CHAR, 'a', 0);
  PostQuitMessage(3);
  EXPECT_EQ(RemoveMessages(window, WM_KEYFIRST, WM_KEYLAST), 2);
  EXPECT_EQ(RemoveMessages(window, WM_LBUTTONDOWN, WM_LBUTTONDOWN), 1);
  Message m;
  ASSERT_TRUE(GetMessage(m));
  EXPECT_EQ(m.message, WM_MOUSEMOVE);
  EXPECT_FALSE(GetMessage(m));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_FALSE(PeekMessage(m, false));
}

TEST(WindowServices, RegisteredMessagesAndTheDesktop) {
  unsigned id = RegisterWindowMessage("QueryCancelAutoPlay");
  EXPECT_GE(id, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage("querycancelautoplay"), id);
  EXPECT_NE(RegisterWindowMessage("Other"), id);
  EXPECT_EQ(DesktopBitsPerPixel(), 16);
  EXPECT_EQ(DesktopPlanes(), 1);
  EXPECT_FALSE(FindOutsideWindow("ZOQ_CdPlayerClass"));
  EXPECT_EQ(CreateAppWindow("NO_SUCH_CLASS", "x", WindowPlacement{}), nullptr);
}

}  // namespace
