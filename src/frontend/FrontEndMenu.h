#pragma once
// CFrontEndMenu: the pattern every menu screen of the front end follows. The screen names its
// layout file and the widgets it reads from it, in creation order. Loading builds the
// background (the JPEG picture "Interface\<Folder>\<w>x<h>\<BackgroundFile> <w>-<h>.JPG" of
// the resolution in use, reloaded by its restorer after a lost surface) and the controls; a
// click reaches OnClick with the widget's type and its creation index among the widgets of
// that type. A screen leaves with LeaveTo or LeaveClosing: the fade-out runs first, then
// CMenuScreen::Update pushes the next screen or pops this one.
//
// A screen holds its surfaces and controls only while it is on top: it loads on Enter and
// Resume and unloads on Exit and Suspend. Only the screen object and its own state persist.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Surface.h"
#include "ui/Control.h"
#include "ui/MenuScreen.h"
#include "ui/RadioButton.h"
#include "ui/TextLabel.h"

class CListBox;
class CTextButton;

// A widget the screen reads, in creation order: its type and number in the layout file, and
// whether its control takes the keyboard focus.
struct MenuWidget {
  int type = kWidgetTextButton;
  int number = 1;
  bool focusable = true;
  int radioGroup = 0;  // a radio button's group on the screen (0 to kMenuRadioGroups - 1)
  // Read from this layout file of the screen's folder ("screen (<Name>).cfg") in place of the
  // screen's own: a screen made of a shared layout and a part of its own.
  const char* layoutName = nullptr;
};

inline constexpr int kMenuRadioGroups = 8;

// The widgets of a plain menu: TEXTBUTTON_1 to TEXTBUTTON_<buttons>, all focusable, then
// TEXT_1 to TEXT_<labels>.
std::vector<MenuWidget> MenuOfButtons(int buttons, int labels);

class CFrontEndMenu : public CMenuScreen {
 public:
  // folder: "Interface\<Folder>\"; layoutName: "screen (<Name>).cfg".
  CFrontEndMenu(int screenId, std::string folder, std::string layoutName, std::vector<MenuWidget> widgets);
  ~CFrontEndMenu() override;

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void ReadConfig(const char* fileName) override;
  void Unload() override;
  void Load() override;
  void Draw() override;

  // A control was clicked: its widget type and its index among the widgets of that type.
  virtual void OnClick(int type, int index) {}

  // Starts the fade-out; when it ends, the screen pushes next, or closes.
  void LeaveTo(CScreen* next);
  void LeaveClosing();

  // Shows a text button in grey and makes it deaf to the mouse, to Enter and to the focus,
  // which moves on when it rested on it.
  void GreyOutButton(int index);
  // Takes a control off the screen until it unloads: out of the focus list, deaf to the
  // mouse, no longer drawn. It stays allocated, so a control may withdraw itself in its click.
  void WithdrawControl(int type, int index);

  // "Interface\<Folder>\screen (<Name>).cfg"
  std::string LayoutFile() const { return folder_ + layoutName_; }
  // The background picture for the resolution in use.
  virtual std::string BackgroundPath() const;
  // Loads the background picture into the background surface; a picture that cannot be
  // loaded ends the program with the file-load error.
  virtual void LoadBackgroundPicture();

  // The controls and labels of the loaded screen by their creation index (null when there is
  // none, or the screen is not loaded).
  CControl* ControlOf(int type, int index) const;
  CTextButton* Button(int index) const;
  CListBox* List(int index) const;
  CTextLabel* Label(int index);
  const CWidgetConfig* WidgetConfig(int type, int index) const;
  CRadioGroup& RadioGroup(int group) { return radioGroups_[static_cast<size_t>(group)]; }

 protected:
  // Further steps of Load, after the controls were made and before the screen counts as loaded.
  virtual void AfterLoad() {}

 private:
  class BackgroundRestorer;
  struct Made {
    int type = 0;
    int index = 0;  // among the widgets of its type
    std::unique_ptr<CControl> control;
    int label = -1;  // index into labels_
    bool withdrawn = false;
  };
  void CreateWidget(size_t widget, int index);

  std::string folder_;
  std::string layoutName_;
  std::vector<MenuWidget> widgets_;
  std::vector<Made> made_;
  std::vector<CTextLabel> labels_;
  std::array<CRadioGroup, kMenuRadioGroups> radioGroups_;
  CSurface backgroundSurface_;
  std::unique_ptr<BackgroundRestorer> restorer_;
  std::unique_ptr<CCallback> clickCallbacks_[kWidgetTypeCount];
};
