#pragma once
// Controls: the window objects a screen owns (buttons, edit boxes, sliders, radio buttons,
// lists). A control adds to the window object an id, click callbacks, a caption and font, the
// surface it draws on, a state (normal, pressed, greyed, disabled), the focus highlight, a
// tooltip and a click sound. A screen keeps its controls in a CControlList, which also holds
// the keyboard focus: Tab, Shift+Tab and the Up and Down arrows move it, Enter presses the
// focused control (the menu screen does that).

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/Hooks.h"
#include "ui/Flatwin.h"

class CControlList;
class CFont;
class CSurface;

// What a control calls when it is clicked; the screen owns it.
class CCallback {
 public:
  virtual ~CCallback() = default;
  virtual void Invoke(int id) = 0;
};

// A callback of a function (a screen's member bound in a lambda).
class CFunctionCallback : public CCallback {
 public:
  explicit CFunctionCallback(std::function<void(int)> function) : function_(std::move(function)) {}
  void Invoke(int id) override {
    if (function_) function_(id);
  }

 private:
  std::function<void(int)> function_;
};

// Control types (CControl::GetType); the menu screen hands characters to type 1 only.
enum ControlType : int {
  kControlPlain = 0,
  kControlEditBox = 1,
  kControlSliderBar = 2,
  kControlScrollBar = 3,
  kControlRadioButton = 4,
  kControlListBox = 5,
  kControlMessageListBox = 6,
};

// Control states.
enum ControlState : int { kStateNormal = 0, kStatePressed = 1, kStateGreyed = 2, kStateDisabled = 3 };

class CControl : public CFlatWin {
 public:
  CControl() = default;
  // Frees the caption; the window object unregisters itself.
  ~CControl() override = default;

  int IsTransparentAt(int x, int y) override;
  virtual int GetType() { return kControlPlain; }
  virtual void Draw() = 0;
  // Puts back what lay under the control.
  virtual void Erase() = 0;
  virtual void GreyOut();
  virtual void Restore();
  virtual void Highlight() { highlight = 1; }
  virtual void Unhighlight() { highlight = 0; }
  // Enter pressed (1) or released (0) while the control has the focus.
  virtual void SetPressed(int down);
  virtual void OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
  virtual void SetRect(const platform::Rect&) {}

  // Stores the callbacks and the id and registers the rectangle, active when enabled; the
  // state is normal when enabled, disabled otherwise. Answers the registration's result.
  int Create(int controlId, const platform::Rect& area, CCallback* left, CCallback* right, int enabled);
  // Keeps a copy of the text; null leaves no caption.
  void SetCaption(const char* text);
  void SetFont(CFont* newFont) { font = newFont; }
  void SetSurface(CSurface* newSurface) { surface = newSurface; }
  void Enable();
  void Disable();
  // Plays the click sound (unless pressed already) and goes to the pressed state.
  void Press();
  // Whether the focus may rest on the control and Enter may work it: it takes input and is
  // neither greyed nor disabled.
  bool CanTakeFocus() const { return active != 0 && state != kStateGreyed && state != kStateDisabled; }
  // The rectangle relative to the surface the control draws on.
  platform::Rect SurfaceRect() const;

  CControlList* ownerList = nullptr;
  CCallback* onLeftClick = nullptr;
  CCallback* onRightClick = nullptr;
  int id = -1;
  CSurface* surface = nullptr;
  int tooltipId = -1;
  int state = kStateNormal;
  int highlight = 0;  // 0 off, 1 focused, 2 greyed
  CFont* font = nullptr;
  std::string caption;  // empty for none
  int pixelTest = 0;    // the hit test reads the surface's pixels
  int clickSound = 801;
};

// A control for lists that need no pixel test and no keyboard press: every point of its
// rectangle is its own and Enter does nothing.
class CPlainControl : public CControl {
 public:
  int IsTransparentAt(int, int) override { return 0; }
  void SetPressed(int) override {}
};

class CControlList {
 public:
  // Empties the list (focus 0) and makes room for n controls.
  void Reserve(int n);
  // Empties the list; the controls themselves are left alone.
  void Clear();
  // Appends the control; with focus set it becomes the focused control and is highlighted.
  void Add(CControl* control, int focus);
  // Takes the control out; the focus goes back to index 0, nothing highlighted.
  void Remove(CControl* control);
  void SetFocus(CControl* control);
  // Moves the focus to the next (previous) control that can take it, highlighting it.
  void NextFocus();
  void PrevFocus();
  int GetFocusIndex() const { return focusIndex; }
  // The focused control, or null for an empty list.
  CControl* Focused() const;
  int Count() const { return static_cast<int>(controls.size()); }
  CControl* At(int i) const { return controls[static_cast<size_t>(i)]; }

  std::vector<CControl*> controls;
  int focusIndex = 0;

 private:
  void MoveFocus(int step);
};

// What controls ask of the battle interface above them (its tooltip manager), and the click
// sound. The battle installs its own at start-up, keeping the click sound; tests install
// fakes with HookScope<IControlHooks>.
class IControlHooks {
 public:
  virtual ~IControlHooks() = default;
  // Shows or updates the tooltip of the hovered control; nothing by default.
  virtual void ShowTooltip(int tooltipId) {}
  // Starts the tooltip's hover delay again; nothing by default.
  virtual void RestartTooltipTimer() {}
  // The click sound: played through the sound manager.
  virtual void PlaySound(int soundId);
};
extern HookSlot<IControlHooks> g_controlHooks;

void ShowControlTooltip(int tooltipId);
void RestartTooltipTimer();
void PlayControlSound(int soundId);
// The next frame is drawn: a control changed its look.
void RequestRedraw();
