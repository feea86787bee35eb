#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "platform/Window.h"
#include "support/TestSupport.h"
#include "ui/Cursor.h"
#include "ui/Screen.h"

using testing_support::BoxRecorder;

namespace {

std::vector<std::string> g_events;

class LoggingScreen : public CScreen {
 public:
  explicit LoggingScreen(std::string name) : name_(std::move(name)) {}
  void Enter() override { g_events.push_back(name_ + ".enter"); }
  void Exit() override { g_events.push_back(name_ + ".exit"); }
  void Suspend() override { g_events.push_back(name_ + ".suspend"); }
  void Resume() override { g_events.push_back(name_ + ".resume"); }
  void Update() override {
    ++updates;
    if (popAfter > 0 && updates == popAfter) PopScreen();
  }
  int OnMessage(platform::WindowHandle, unsigned message, uintptr_t, intptr_t) override {
    g_events.push_back(name_ + ".key" + std::to_string(message));
    return 0;
  }
  int updates = 0;
  int popAfter = 0;

 private:
  std::string name_;
};

class ScreenStack : public ::testing::Test {
 protected:
  void SetUp() override { g_events.clear(); }
  void TearDown() override {
    ResetScreenStack();
    g_appActive = 0;
    platform::ClearMessageQueue();
  }
};

TEST_F(ScreenStack, PushSuspendsTheOldScreenAndDiscardsPendingKeysAndPresses) {
  LoggingScreen a("a"), b("b");
  PushScreen(&a);
  platform::PostMessage(nullptr, platform::WM_KEYDOWN, platform::VK_RETURN, 0);
  platform::PostMessage(nullptr, platform::WM_CHAR, 13, 0);
  platform::PostMessage(nullptr, platform::WM_LBUTTONDOWN, 0, 0);
  platform::PostMessage(nullptr, platform::WM_MOUSEMOVE, 0, 0);
  platform::PostMessage(nullptr, platform::WM_LBUTTONUP, 0, 0);
  g_skipCountdown = 0;
  g_frameSkipEvery = 2;
  SetCursorKind(kCursorNone);
  PushScreen(&b);
  EXPECT_EQ(g_events, (std::vector<std::string>{"a.enter", "a.suspend", "b.enter"}));
  EXPECT_EQ(g_currentScreen, &b);
  EXPECT_EQ(g_skipCountdown, 2);
  EXPECT_EQ(g_cursorKind, kCursorNormal);
  std::vector<unsigned> left;
  platform::Message m;
  while (platform::PeekMessage(m, true)) left.push_back(m.message);
  EXPECT_EQ(left, (std::vector<unsigned>{platform::WM_MOUSEMOVE, platform::WM_LBUTTONUP}));
  g_frameSkipEvery = 0;
  g_skipCountdown = 0;
}

TEST_F(ScreenStack, FifteenScreensAtMostAndAPopOfNothingIsRefused) {
  BoxRecorder boxes;
  std::vector<std::unique_ptr<LoggingScreen>> screens;
  for (int i = 0; i < 16; ++i) screens.push_back(std::make_unique<LoggingScreen>("s" + std::to_string(i)));
  for (int i = 0; i < 15; ++i) PushScreen(screens[i].get());
  g_events.clear();
  PushScreen(screens[15].get());
  EXPECT_TRUE(g_events.empty());  // the top is not suspended
  EXPECT_EQ(g_screenCount, 15);
  EXPECT_EQ(g_currentScreen, screens[14].get());
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "SCREEN CLASS ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "the screen class call stack has overflowed");
  for (int i = 0; i < 15; ++i) PopScreen();
  EXPECT_EQ(g_currentScreen, nullptr);
  PopScreen();
  EXPECT_EQ(boxes.Boxes()[1].text, "the screen class call stack has underflowed");
  PopToScreen(screens[0].get());
  EXPECT_EQ(boxes.Count(), 3u);
}

TEST_F(ScreenStack, PopExitsAndResumesTheScreenBelow) {
  LoggingScreen a("a"), b("b");
  PushScreen(&a);
  PushScreen(&b);
  g_events.clear();
  PopScreen();
  EXPECT_EQ(g_events, (std::vector<std::string>{"b.exit", "a.resume"}));
  EXPECT_EQ(g_currentScreen, &a);
  EXPECT_EQ(g_screenCount, 1);
}

TEST_F(ScreenStack, PopToExitsEveryScreenAboveFromTheTopAndResumesTheTarget) {
  LoggingScreen a("a"), b("b"), c("c"), d("d");
  for (CScreen* s :
       {static_cast<CScreen*>(&a), static_cast<CScreen*>(&b), static_cast<CScreen*>(&c), static_cast<CScreen*>(&d)})
    PushScreen(s);
  g_events.clear();
  PopToScreen(&a);
  EXPECT_EQ(g_events, (std::vector<std::string>{"d.exit", "c.exit", "b.exit", "a.resume"}));
  EXPECT_EQ(g_screenCount, 1);
  EXPECT_EQ(g_currentScreen, &a);
  EXPECT_EQ(g_screenStack[2], nullptr);
}

TEST_F(ScreenStack, PopToAScreenNotBelowTheCurrentOneChangesNothing) {
  LoggingScreen a("a"), b("b"), c("c"), stranger("stranger");
  for (CScreen* s : {static_cast<CScreen*>(&a), static_cast<CScreen*>(&b), static_cast<CScreen*>(&c)}) PushScreen(s);
  g_events.clear();
  for (CScreen* target :
       {static_cast<CScreen*>(&stranger), static_cast<CScreen*>(&c), static_cast<CScreen*>(nullptr)}) {
    PopToScreen(target);
    EXPECT_TRUE(g_events.empty());
    EXPECT_EQ(g_screenCount, 3);
    EXPECT_EQ(g_currentScreen, &c);
  }
}

TEST_F(ScreenStack, FadeOutStartsOnceAndHidesTheCursor) {
  LoggingScreen a("a");
  a.BeginFadeOut();
  EXPECT_EQ(a.fading, 1);
  EXPECT_EQ(g_cursorKind, kCursorNone);
  a.fadeStep = 3;
  a.BeginFadeOut();
  EXPECT_EQ(a.fadeStep, 3);
  LoggingScreen b("b");
  b.fadesOn = 0;
  b.BeginFadeOut();
  EXPECT_EQ(b.fading, 0);
}

}  // namespace
