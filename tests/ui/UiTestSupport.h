#pragma once
// Shared by the screen framework's tests: the forged data as the current directory, the
// display open with the shared fonts and buttons loaded, recorded clicks, sounds and keys.

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/GraphicsFixtures.h"
#include "platform/Files.h"
#include "platform/KeyState.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"
#include "ui/Control.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/Screen.h"
#include "ui/SharedArt.h"

namespace ui_test {

// A copy of the forged data is the current directory while it lives (screens may write
// their layout files back).
class InForgedData {
 private:
  testing_support::ForgedDataCopy copy_;
};

// Keys held as the controls ask for them (Shift, Ctrl, Alt).
class HeldKeys {
 public:
  HeldKeys() {
    platform::SetKeyStateSource([this](int key) { return held_.count(key) > 0; });
  }
  ~HeldKeys() { platform::SetKeyStateSource(nullptr); }
  void Hold(int key) { held_.insert(key); }
  void Release(int key) { held_.erase(key); }

 private:
  std::set<int> held_;
};

// The click sounds the controls play, and the ids their callbacks receive.
struct Recorded : IControlHooks {
  void PlaySound(int id) override { sounds.push_back(id); }
  void ShowTooltip(int id) override { tooltips.push_back(id); }
  // A callback that records the id it is given under a name.
  CCallback* Callback(const std::string& name) {
    callbacks.push_back(std::make_unique<CFunctionCallback>(
        [this, name](int id) { clicks.push_back(name + ":" + std::to_string(id)); }));
    return callbacks.back().get();
  }
  std::vector<int> sounds;
  std::vector<int> tooltips;
  std::vector<std::string> clicks;
  std::vector<std::unique_ptr<CCallback>> callbacks;
  HookScope<IControlHooks> scope{g_controlHooks, *this};
};

// Feeds the mouse ring as the window procedure does.
inline void Mouse(int x, int y, bool left = false, bool right = false, bool ctrl = false) {
  uintptr_t flags =
      (left ? platform::MK_LBUTTON : 0) | (right ? platform::MK_RBUTTON : 0) | (ctrl ? platform::MK_CONTROL : 0);
  QueueMouseEvent(flags, x, y);
}
inline void Click(int x, int y) {
  Mouse(x, y);
  Mouse(x, y, true);
  Mouse(x, y);
  DispatchMouseEvents();
}

// The display open at 800 x 600 in a window, the shared art loaded, and the mouse input and
// cursor state put back at the end.
class UiScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMouseInput();
    display_ = std::make_unique<graphics_test::OpenDisplay>(true, true);
    LoadSharedFontsAndButtons();
    g_appActive = 1;
    g_skipCountdown = 0;
  }
  void TearDown() override {
    ResetMouseInput();
    FreeCursors();
    FreeSharedButtons();
    g_softwareCursor = 0;
    g_cursorKind = kCursorNormal;
    g_appActive = 0;
    display_.reset();
    g_noSkipThisFrame = 0;
  }
  InForgedData data_;
  Recorded recorded_;
  std::unique_ptr<graphics_test::OpenDisplay> display_;
};

}  // namespace ui_test
