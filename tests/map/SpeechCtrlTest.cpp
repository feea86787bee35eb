// The speech control over the real map view: the camera glides to the speaker at the
// player's dialogue speed (the short way round the map), the box appears, a click dismisses
// it, and the camera glides back.
#include "MapViewFixtures.h"
#include "core/Preferences.h"
#include "platform/Files.h"
#include "support/TestSupport.h"
#include "ui/SpeechCtrl.h"

namespace map_test {
namespace {

struct Callback : ISpeechCallback {
  std::vector<int> calls;
  void OnSpeechDone(int argument) override { calls.push_back(argument); }
};

struct Battle : ISpeechBattle {
  int hidden = 0, restored = 0, paused = 0, resumed = 0;
  void HideInterface(int) override { ++hidden; }
  void RestoreInterface() override { ++restored; }
  void Pause() override { ++paused; }
  void Resume() override { ++resumed; }
};

class SpeechCtrlTest : public MapTest {
 protected:
  void SetUp() override {
    MakeMap(64, 48, 8);
    g_prefs.isHighRes = 1;
    g_mapView.Attach(&g_map, nullptr, nullptr, platform::Rect{0, 0, 800, 600}, 1);
    g_speechBattle = &battle;
    g_speechCtrl.LoadConfig();
  }
  void TearDown() override {
    g_speechCtrl.Clear();
    g_speechBattle = &neutral_;
    ResetMouseInput();
    g_mapView.SetMap(nullptr);
    g_prefs.isHighRes = 0;
    g_prefs.dialogSpeed = 1;
    MapTest::TearDown();
  }
  SpeechRequest At(int x, int y, int level) {
    SpeechRequest request;
    request.x = x * 32 + 16;
    request.y = y * 32 + 16;
    request.level = level * 16;
    request.text = "To me!";
    request.heading = "Elf";
    request.portrait = "Elf portrait";
    request.callback = &callback;
    request.argument = 42;
    return request;
  }
  // Ticks until the box appears; the camera's path on the way.
  int TicksToBox(std::vector<std::pair<int, int>>* path = nullptr) {
    int ticks = 0;
    while (!g_speechCtrl.Box() && ticks < 500) {
      g_speechCtrl.Tick();
      if (path) path->emplace_back(g_mapView.CameraX(), g_mapView.CameraY());
      ++ticks;
    }
    return ticks;
  }
  void Click(int flags) { g_speechCtrl.OnMouse(flags, CMouseEvent{}); }

  Battle battle;
  ISpeechBattle neutral_;
  Callback callback;
  testing_support::ForgedDataCopy data_;
};

// From the camera near the map's right edge to a speaker in its left half the short way is
// across the seam: x only ever grows (wrapping once), and the speaker ends up in view.
TEST_F(SpeechCtrlTest, TheCameraGlidesTowardTheSpeakerAcrossTheSeam) {
  g_mapView.SetCameraCell(62, 5, 0);
  g_speechCtrl.Say(At(26, 20, 0), false, true);
  EXPECT_EQ(battle.paused, 1);
  EXPECT_TRUE(g_speechCtrl.IsActive());
  std::vector<std::pair<int, int>> path;
  TicksToBox(&path);
  ASSERT_TRUE(g_speechCtrl.Box());
  int wraps = 0;
  for (size_t i = 1; i < path.size(); ++i) {
    int step = path[i].first - path[i - 1].first;
    if (step < -32 * 32) step += 64 * 32, ++wraps;
    EXPECT_GE(step, 0) << i;
    EXPECT_LE(step, SpeechMaxSpeed(1) + 1) << i;
  }
  EXPECT_EQ(wraps, 1);
  // The speaker ends up on the screen.
  ScreenPoint speaker = g_mapView.MapToScreen(26 * 32 + 16, 20 * 32 + 16, 0);
  EXPECT_GE(speaker.x, 32);
  EXPECT_LT(speaker.x, 768);
  EXPECT_GE(speaker.y, 0);
  EXPECT_LT(speaker.y, 600);
}

// The box points at P - K + the screen centre: P the speaker's and K the camera goal's screen
// point as the view stood when the speech began. The camera point itself is drawn 16 (turns
// 0 and 2) or 32 pixels (turns 1 and 3) off the centre, so the box stands that far from where
// the speaker is drawn once the camera has arrived.
TEST_F(SpeechCtrlTest, TheBoxIsAnchoredWhereTheGlideBeganToPutTheSpeaker) {
  for (int rotation = 0; rotation < 4; ++rotation) {
    g_mapView.rotation = rotation;
    g_mapView.SetCameraCell(10, 10, 0);
    const int startX = g_mapView.CameraX(), startY = g_mapView.CameraY(), startZ = g_mapView.CameraZ();
    const SpeechRequest request = At(40, 30, 0);
    const ScreenPoint p = g_mapView.MapToScreen(request.x, request.y, request.level);
    g_speechCtrl.Say(request, false, false);
    TicksToBox();
    ASSERT_TRUE(g_speechCtrl.Box()) << rotation;
    const int goalX = g_mapView.CameraX(), goalY = g_mapView.CameraY(), goalZ = g_mapView.CameraZ();
    const ScreenPoint drawn = g_mapView.MapToScreen(request.x, request.y, request.level);
    g_mapView.SetCameraPosition(startX, startY, startZ);
    const ScreenPoint k = g_mapView.MapToScreen(goalX, goalY, goalZ);
    EXPECT_EQ(g_speechCtrl.anchorX, p.x - k.x + 400) << rotation;
    EXPECT_EQ(g_speechCtrl.anchorY, p.y - k.y + 300) << rotation;
    const int off = std::abs(drawn.x - g_speechCtrl.anchorX) + std::abs(drawn.y - g_speechCtrl.anchorY);
    EXPECT_NEAR(off, rotation % 2 == 0 ? 16 : 32, 1) << rotation;  // within the rounding of the halves
    g_speechCtrl.Clear();
    g_speechCtrl.LoadConfig();
  }
  g_mapView.rotation = 0;
}

// The box, and with it the text, appears when the camera has arrived: sooner at a faster
// dialogue speed.
TEST_F(SpeechCtrlTest, TheTextAppearsAtTheDialogueSpeed) {
  std::vector<int> ticks;
  for (int speed = 0; speed < 3; ++speed) {
    g_prefs.dialogSpeed = speed;
    g_mapView.SetCameraCell(10, 10, 0);
    g_speechCtrl.Say(At(40, 30, 0), false, false);
    ticks.push_back(TicksToBox());
    ASSERT_TRUE(g_speechCtrl.Box()) << speed;
    EXPECT_TRUE(g_speechCtrl.Box()->IsShown());
    g_speechCtrl.Clear();
    g_speechCtrl.LoadConfig();
  }
  EXPECT_GT(ticks[0], ticks[1]);
  EXPECT_GT(ticks[1], ticks[2]);
}

TEST_F(SpeechCtrlTest, ASpeakerInSightKeepsTheCameraWhereItIs) {
  g_mapView.SetCameraCell(20, 20, 0);
  const int x = g_mapView.CameraX(), y = g_mapView.CameraY();
  g_speechCtrl.Say(At(21, 20, 0), false, false);
  EXPECT_EQ(TicksToBox(), 2);  // the box after two frames' wait
  EXPECT_EQ(g_mapView.CameraX(), x);
  EXPECT_EQ(g_mapView.CameraY(), y);
}

TEST_F(SpeechCtrlTest, ClicksDismissTheBoxOnlyAfterTheFifthTick) {
  g_mapView.SetCameraCell(20, 20, 0);
  g_speechCtrl.Say(At(21, 20, 0), false, true);
  g_speechCtrl.Tick();
  g_speechCtrl.Tick();
  g_speechCtrl.Tick();  // the box is shown and waits for its click
  EXPECT_TRUE(g_speechCtrl.IsWaiting());
  Click(MF_LEFT_DOWN);  // the third tick: too early
  EXPECT_TRUE(g_speechCtrl.IsWaiting());
  // Say while a box waits changes nothing.
  g_speechCtrl.Say(At(50, 40, 0), false, true);
  EXPECT_EQ(g_speechCtrl.request.x, 21 * 32 + 16);
  g_speechCtrl.Tick();
  g_speechCtrl.Tick();
  g_speechCtrl.Tick();
  Click(MF_MOVE);
  EXPECT_TRUE(callback.calls.empty());
  Click(MF_RIGHT_DOWN);
  EXPECT_EQ(callback.calls, std::vector<int>{42});
  EXPECT_FALSE(g_speechCtrl.IsWaiting());
  EXPECT_EQ(g_speechCtrl.Box(), nullptr);
}

// The script hears of the click in a later frame: until then the box stays down, and the
// next speech it starts is said at once.
TEST_F(SpeechCtrlTest, ADismissedBoxStaysDownUntilTheScriptAnswers) {
  g_mapView.SetCameraCell(20, 20, 0);
  g_speechCtrl.Say(At(21, 20, 0), false, true);
  for (int i = 0; i < 6; ++i) g_speechCtrl.Tick();
  Click(MF_LEFT_DOWN);
  ASSERT_EQ(callback.calls.size(), 1u);
  for (int i = 0; i < 4; ++i) g_speechCtrl.Tick();
  EXPECT_EQ(g_speechCtrl.Box(), nullptr);
  EXPECT_FALSE(g_speechCtrl.IsWaiting());
  SpeechRequest next = At(22, 20, 0);
  next.text = "And then?";
  g_speechCtrl.Say(next, false, true);
  EXPECT_EQ(g_speechCtrl.request.text, "And then?");
  TicksToBox();
  ASSERT_NE(g_speechCtrl.Box(), nullptr);
}

TEST_F(SpeechCtrlTest, ScrollBackReturnsTheCameraAndEndsTheSpeech) {
  g_mapView.SetCameraCell(10, 10, 0);
  const int x = g_mapView.CameraX(), y = g_mapView.CameraY();
  g_speechCtrl.Say(At(40, 30, 0), true, true);
  EXPECT_EQ(battle.hidden, 1);
  TicksToBox();
  for (int i = 0; i < 6; ++i) g_speechCtrl.Tick();
  Click(MF_LEFT_DOWN);
  ASSERT_EQ(callback.calls.size(), 1u);
  g_speechCtrl.ReturnCamera();
  int ticks = 0;
  while (g_speechCtrl.IsActive() && ticks < 500) {
    g_speechCtrl.Tick();
    ++ticks;
  }
  EXPECT_FALSE(g_speechCtrl.IsActive());
  EXPECT_EQ(g_mapView.CameraX(), x);
  EXPECT_EQ(g_mapView.CameraY(), y);
  EXPECT_EQ(battle.resumed, 1);
  EXPECT_EQ(battle.restored, 1);
}

TEST_F(SpeechCtrlTest, ARightClickSkipsTheGlide) {
  g_mapView.SetCameraCell(10, 10, 0);
  g_speechCtrl.Say(At(40, 30, 0), false, false);
  for (int i = 0; i < 6; ++i) g_speechCtrl.Tick();
  Click(MF_RIGHT_DOWN);
  EXPECT_EQ(g_mapView.CameraX(), g_speechCtrl.targetX);
  EXPECT_EQ(g_mapView.CameraY(), g_speechCtrl.targetY);
  EXPECT_EQ(TicksToBox(), 2);
}

TEST_F(SpeechCtrlTest, ABoxNumberBeyondTheLayoutsEndsTheSpeechForTheScript) {
  g_mapView.SetCameraCell(20, 20, 0);
  SpeechRequest request = At(21, 20, 0);
  request.fixedBox = true;
  request.boxNumber = 99;
  g_speechCtrl.Say(request, false, false);
  for (int i = 0; i < 100 && g_speechCtrl.IsActive(); ++i) g_speechCtrl.Tick();
  EXPECT_EQ(callback.calls, std::vector<int>{42});
  EXPECT_FALSE(g_speechCtrl.IsActive());
  EXPECT_EQ(battle.resumed, 1);
}

}  // namespace
}  // namespace map_test
