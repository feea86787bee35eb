#pragma once
// The writer of the screens' layout files, "Interface\<Folder>\screen (<Title>).cfg": the
// GLOBALS section (the background picture's stem) and one section per widget, named by the
// widget kind's prefix and its number from 1. A screen's forge step describes its widgets
// and writes the file; every rectangle is given for 800 x 600 ("Rect2"), and "Rect1", the
// 640 x 480 rectangle, is written as 0.8 times it unless the widget says otherwise.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "forge/Forge.h"
#include "forge/IniText.h"

namespace forge {

enum class WidgetKind {
  kTextButton,
  kEditBox,
  kSliderBar,
  kStandardButton,
  kRadioButton,
  kListBox,
  kText,
  kStatBar,
  kSpriteBar,
  kMessageListBox,
  kPictureBox,
};

// The section prefix of a kind ("TEXTBUTTON_").
const char* WidgetPrefix(WidgetKind kind);

struct LayoutRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// One widget's keys; those left unset are not written.
struct Widget {
  WidgetKind kind = WidgetKind::kTextButton;
  int number = 1;
  LayoutRect rect800;
  std::optional<LayoutRect> rect640;  // unset: 0.8 times rect800
  bool omitRect640 = false;           // leave "Rect1" out (the game derives it)
  std::string font;                   // "LARGE", "TINY", anything else the body font
  std::optional<std::string> text;
  std::vector<int> spriteIndexes;  // up to three
  std::optional<int> minValue, maxValue, step;
  std::string textFlags;  // "LEFT", "RIGHT", "CENTRE"
  std::vector<std::array<int, 3>> colours;
};

class ScreenLayout {
 public:
  ScreenLayout(std::string folder, std::string title) : folder_(std::move(folder)), title_(std::move(title)) {}

  // A key of the GLOBALS section ("BackgroundFile").
  ScreenLayout& Global(const std::string& key, const std::string& value);
  // Adds a widget; answers it for further keys.
  Widget& Add(WidgetKind kind, int number, LayoutRect rect800);
  // A section of the screen's own beside the widgets, with its keys in order.
  ScreenLayout& Section(const std::string& name, const std::vector<std::pair<std::string, std::string>>& keys);

  // "Interface\<Folder>\screen (<Title>).cfg"
  std::string Path() const;
  std::string Text() const;
  void Write(Context& ctx) const { ctx.WriteText(Path(), Text()); }
  const std::vector<Widget>& Widgets() const { return widgets_; }

 private:
  std::string folder_, title_;
  std::vector<std::pair<std::string, std::string>> globals_;
  std::vector<Widget> widgets_;
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections_;
};

// The 640 x 480 rectangle the game derives from an 800 x 600 one.
LayoutRect ScaledTo640(const LayoutRect& rect800);

// The test screen every control takes part in ("Interface\Test\screen (Test).cfg"), used by
// the tests of the controls and the end-to-end test of a screen.
ScreenLayout TestScreenLayout();

}  // namespace forge
