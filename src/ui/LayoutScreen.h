#pragma once
// CLayoutScreen: a menu screen made wholly from its layout file. It reads every widget section
// the file holds, creates the control of each (text and standard buttons, edit boxes, slider
// bars, radio buttons in one group, list and message list boxes, text labels, picture boxes,
// and the stat and sprite bars, whose values the screen sets), shows the
// background picture named in GLOBALS and reports each click to OnControl. Screens whose
// controls need nothing beyond their layout derive from it.

#include <memory>
#include <string>
#include <vector>

#include "graphics/Surface.h"
#include "ui/MenuScreen.h"
#include "ui/RadioButton.h"
#include "ui/TextLabel.h"
#include "ui/ValueBars.h"

// A control's id: its widget type times 100 plus its number.
constexpr int WidgetControlId(int type, int number) { return type * 100 + number; }

class CLayoutScreen : public CMenuScreen {
 public:
  // layoutFile: "Interface\<Folder>\screen (<Title>).cfg".
  explicit CLayoutScreen(std::string layoutFile);
  ~CLayoutScreen() override;

  void Enter() override;
  void Exit() override;
  void ReadConfig(const char* fileName) override;
  void Unload() override;
  void Load() override;
  void Draw() override;

  // A control of the screen was clicked (or changed its value).
  virtual void OnControl(int controlId) { (void)controlId; }

  // The widget read from a section, and the control made of it (null for labels, pictures
  // and bars).
  struct Entry {
    int type = 0;
    int number = 0;
    CWidgetConfig config;
    std::unique_ptr<CControl> control;
  };
  const std::vector<Entry>& Entries() const { return entries_; }
  CControl* ControlOf(int type, int number) const;
  CTextLabel* LabelOf(int number);
  // The group of the screen's radio buttons (the first is selected when the screen loads).
  CRadioGroup& RadioGroup() { return radioGroup_; }
  CPictureBox* PictureOf(int number);
  // The bar of a STATBAR_ (type 7) or SPRITEBAR_ (type 8) widget; its sprite frames are the
  // shared button sprite's. Null for another widget.
  CWidgetBar* BarOf(int type, int number);
  const std::string& LayoutFile() const { return layoutFile_; }
  // The background picture's path as found (empty when none could be loaded).
  const std::string& BackgroundPath() const { return backgroundPath_; }

 private:
  void LoadBackground();
  void CreateControl(Entry& entry);

  std::string layoutFile_;
  std::string backgroundPath_;
  std::vector<Entry> entries_;
  std::vector<std::pair<int, CTextLabel>> labels_;
  std::vector<std::pair<int, CPictureBox>> pictures_;
  std::vector<std::pair<int, CWidgetBar>> bars_;  // by type * 100 + number
  CRadioGroup radioGroup_;
  std::unique_ptr<CCallback> callback_;
  CSurface backgroundSurface_;
};
