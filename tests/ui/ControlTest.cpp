// The control base and the control list: states, the keyboard focus, presses by Enter and
// the pixel hit test.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "graphics/GraphicsFixtures.h"
#include "ui/Control.h"

namespace {

class Probe : public CControl {
 public:
  void OnMouse(int, CMouseEvent) override {}
  void Draw() override { ++draws; }
  void Erase() override {}
  int draws = 0;
};

enum Kind { kEnabled, kGreyed, kDisabled, kHidden };

// A list of controls of the given kinds; hidden ones are registered but never activated.
struct ControlRow {
  explicit ControlRow(const std::vector<Kind>& kinds) {
    for (size_t i = 0; i < kinds.size(); ++i) {
      auto control = std::make_unique<Probe>();
      const platform::Rect area{static_cast<int>(i) * 10, 0, static_cast<int>(i) * 10 + 10, 10};
      control->Create(static_cast<int>(i), area, nullptr, nullptr, kinds[i] == kDisabled ? 0 : 1);
      if (kinds[i] == kGreyed) control->GreyOut();
      if (kinds[i] == kHidden) control->active = 0;
      list.Add(control.get(), i == 0 ? 1 : 0);
      controls.push_back(std::move(control));
    }
  }
  std::vector<int> Highlighted() const {
    std::vector<int> out;
    for (size_t i = 0; i < controls.size(); ++i)
      if (controls[i]->highlight == 1) out.push_back(static_cast<int>(i));
    return out;
  }
  std::vector<std::unique_ptr<Probe>> controls;
  CControlList list;
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override { ResetMouseInput(); }
  void TearDown() override { ResetMouseInput(); }
  ui_test::HeldKeys keys_;
  ui_test::Recorded recorded_;
};

TEST_F(Controls, TheFocusWalksOverGreyedDisabledAndHiddenControls) {
  struct Case {
    std::vector<Kind> kinds;
    int start;
    int key;
    bool shift;
    int expected;
  };
  const Case cases[] = {
      {{kEnabled, kGreyed, kEnabled}, 0, platform::VK_TAB, false, 2},
      {{kEnabled, kGreyed, kEnabled}, 0, platform::VK_TAB, true, 2},  // backwards past the start
      {{kEnabled, kDisabled, kEnabled}, 0, platform::VK_DOWN, false, 2},
      {{kEnabled, kHidden, kEnabled}, 2, platform::VK_UP, false, 0},
      {{kEnabled, kEnabled, kEnabled}, 1, platform::VK_DOWN, false, 2},
      {{kEnabled, kEnabled, kEnabled}, 2, platform::VK_TAB, false, 0},  // past the end
      {{kEnabled, kDisabled, kHidden, kGreyed}, 0, platform::VK_TAB, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " key " << c.key << " shift " << c.shift);
    ControlRow row(c.kinds);
    row.list.SetFocus(row.controls[static_cast<size_t>(c.start)].get());
    if (c.shift) keys_.Hold(platform::kKeyShift);
    row.controls[static_cast<size_t>(c.start)]->OnKey(nullptr, platform::WM_KEYDOWN, static_cast<uintptr_t>(c.key), 0);
    keys_.Release(platform::kKeyShift);
    EXPECT_EQ(row.list.GetFocusIndex(), c.expected);
    EXPECT_EQ(row.Highlighted(), std::vector<int>{c.expected});
  }
}

TEST_F(Controls, AListOfNothingButUnavailableControlsEndsItsSearch) {
  ControlRow row({kGreyed, kDisabled, kGreyed});
  row.list.NextFocus();
  EXPECT_EQ(row.Highlighted().size(), 1u);
  row.list.PrevFocus();
  EXPECT_EQ(row.Highlighted().size(), 1u);
}

TEST_F(Controls, AnEmptyListHasNoFocusAndMovesNothing) {
  CControlList list;
  list.NextFocus();
  list.PrevFocus();
  EXPECT_EQ(list.Focused(), nullptr);
  Probe lone;
  list.SetFocus(&lone);
  EXPECT_EQ(lone.highlight, 0);
  list.Remove(&lone);
  EXPECT_EQ(list.GetFocusIndex(), 0);
}

TEST_F(Controls, RemovingAControlLeavesTheFocusAtTheStartUnhighlighted) {
  ControlRow row({kEnabled, kEnabled, kEnabled});
  row.list.SetFocus(row.controls[2].get());
  row.list.Remove(row.controls[1].get());
  EXPECT_EQ(row.list.GetFocusIndex(), 0);
  EXPECT_TRUE(row.Highlighted().empty());
  EXPECT_EQ(row.list.Count(), 2);
  EXPECT_EQ(row.controls[1]->ownerList, nullptr);
  // Adding with the focus flag highlights the new one and leaves the old focus as it was.
  Probe added;
  row.list.SetFocus(row.controls[0].get());
  row.list.Add(&added, 1);
  EXPECT_EQ(row.list.Focused(), &added);
  EXPECT_EQ(row.controls[0]->highlight, 1);
}

TEST_F(Controls, StatesFollowCreateEnableDisableGreyAndRestore) {
  Probe control;
  EXPECT_EQ(control.Create(5, {0, 0, 10, 10}, nullptr, nullptr, 0), 1);
  EXPECT_EQ(control.state, kStateDisabled);
  EXPECT_EQ(control.active, 0);
  control.Enable();
  EXPECT_EQ(control.state, kStateNormal);
  EXPECT_EQ(control.active, 1);
  EXPECT_EQ(control.draws, 1);
  control.GreyOut();
  EXPECT_EQ(control.state, kStateGreyed);
  EXPECT_EQ(control.highlight, 2);
  EXPECT_EQ(control.active, 0);
  control.Enable();  // greyed stays inactive until restored
  EXPECT_EQ(control.active, 0);
  control.Restore();
  EXPECT_EQ(control.active, 1);
  EXPECT_EQ(control.highlight, 0);
  control.Disable();
  EXPECT_EQ(control.state, kStateDisabled);
  EXPECT_EQ(control.active, 0);
}

TEST_F(Controls, EnterPressesWithOneClickSoundAndItsReleaseRunsTheCallback) {
  Probe control;
  control.Create(9, {0, 0, 10, 10}, recorded_.Callback("left"), nullptr, 1);
  control.SetPressed(1);
  control.SetPressed(1);  // a held key repeats the press: one sound
  EXPECT_EQ(control.state, kStatePressed);
  EXPECT_EQ(recorded_.sounds, std::vector<int>{801});
  EXPECT_TRUE(recorded_.clicks.empty());
  control.SetPressed(0);
  EXPECT_EQ(control.state, kStateNormal);
  EXPECT_EQ(recorded_.clicks, std::vector<std::string>{"left:9"});
}

TEST_F(Controls, ThePixelTestPassesThroughTheSurfacesKeyColour) {
  CSurface surface;
  graphics_test::MakeSurface(surface, 20, 10);
  surface.SetColourKey(0, 0, 255);
  surface.Fill(surface.colourKey);
  const platform::Rect solid{5, 0, 10, 10};
  surface.FillRect(&solid, 0xFFFF);
  surface.x = 100;
  surface.y = 50;
  Probe control;
  control.Create(0, {100, 50, 120, 60}, nullptr, nullptr, 1);
  control.SetSurface(&surface);
  EXPECT_EQ(control.IsTransparentAt(102, 55), 0);  // without the pixel test every point is its own
  control.pixelTest = 1;
  EXPECT_EQ(control.IsTransparentAt(102, 55), 1);
  EXPECT_EQ(control.IsTransparentAt(106, 55), 0);
  EXPECT_EQ(control.IsTransparentAt(99, 55), 1);  // off the surface
  EXPECT_EQ(control.IsTransparentAt(100, 60), 1);
}

}  // namespace
