#pragma once
// The one-of-many choice of the option screens: radio buttons in a radio group, which holds
// the buttons of one choice and the index of the selected one. A radio button runs no
// callback; the screen reads the group's selection. Selected means the pressed state.

#include <vector>

#include "ui/Button.h"

class CRadioButton;
class SharedControlSprite;

class CRadioGroup {
 public:
  // Forgets the old buttons and makes room for n.
  void Reserve(int n);
  // Appends the button while there is room; a full group refuses it. Answers whether it was taken.
  bool Add(CRadioButton* button);
  // Selects a button of the group (the one selected before goes back to normal), with its
  // click sound unless it was selected already. A button of another group is refused.
  void Select(CRadioButton* button, bool sound);
  int Count() const { return static_cast<int>(buttons.size()); }
  int Capacity() const { return capacity; }

  std::vector<CRadioButton*> buttons;
  int selected = 0;
  int capacity = 0;
};

class CRadioButton : public CButton {
 public:
  // Frames of "sprites\radiobuttons.spr".
  enum Frame { kSelected, kUnselected, kSelectedFocused, kUnselectedFocused };

  ~CRadioButton() override;

  void OnMouse(int flags, CMouseEvent event) override;
  int IsTransparentAt(int, int) override { return 0; }
  int GetType() override { return kControlRadioButton; }
  void Draw() override;
  void Erase() override {}
  // Enter released while focused selects the button in its group, with the click sound.
  void SetPressed(int down) override;

  // Registers the rectangle inactive (the screen activates the button with Restore or
  // Enable) and takes the shared sprite.
  int Create(int controlId, const platform::Rect& area);
  bool Selected() const { return state == kStatePressed; }

  CRadioGroup* group = nullptr;

 private:
  // Selects the button in its group; a button without a group is left alone.
  void SelectInGroup(bool sound);
  bool hasSprite_ = false;
};

SharedControlSprite& RadioButtonSprite();
