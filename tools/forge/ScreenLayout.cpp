#include "forge/ScreenLayout.h"

#include "forge/Pictures.h"

namespace forge {

namespace {

std::string RectText(const LayoutRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

std::string ListText(const std::vector<int>& values) {
  std::string text;
  for (int v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
  return text;
}

}  // namespace

const char* WidgetPrefix(WidgetKind kind) {
  static const char* const prefixes[] = {"TEXTBUTTON_",  "EDITBOX_",        "SLIDERBAR_", "STANDARDBUTTON_",
                                         "RADIOBUTTON_", "LISTBOX_",        "TEXT_",      "STATBAR_",
                                         "SPRITEBAR_",   "MESSAGELISTBOX_", "PICTUREBOX_"};
  return prefixes[static_cast<int>(kind)];
}

LayoutRect ScaledTo640(const LayoutRect& r) {
  return LayoutRect{static_cast<int>(r.left * 0.8), static_cast<int>(r.top * 0.8), static_cast<int>(r.right * 0.8),
                    static_cast<int>(r.bottom * 0.8)};
}

ScreenLayout& ScreenLayout::Global(const std::string& key, const std::string& value) {
  globals_.emplace_back(key, value);
  return *this;
}

Widget& ScreenLayout::Add(WidgetKind kind, int number, LayoutRect rect800) {
  Widget widget;
  widget.kind = kind;
  widget.number = number;
  widget.rect800 = rect800;
  widgets_.push_back(widget);
  return widgets_.back();
}

ScreenLayout& ScreenLayout::Section(const std::string& name,
                                    const std::vector<std::pair<std::string, std::string>>& keys) {
  sections_.emplace_back(name, keys);
  return *this;
}

std::string ScreenLayout::Path() const { return "Interface\\" + folder_ + "\\screen (" + title_ + ").cfg"; }

std::string ScreenLayout::Text() const {
  IniText ini;
  ini.Comment("Layout of the screen " + title_);
  ini.Section("GLOBALS");
  for (const auto& [key, value] : globals_) ini.Key(key, value);
  for (const Widget& w : widgets_) {
    ini.Section(WidgetPrefix(w.kind) + std::to_string(w.number));
    if (!w.font.empty()) ini.Key("Font", w.font);
    ini.Key("Rect2", RectText(w.rect800));
    if (!w.omitRect640) ini.Key("Rect1", RectText(w.rect640 ? *w.rect640 : ScaledTo640(w.rect800)));
    if (w.text) ini.Key("Text", "\"" + *w.text + "\"");
    if (!w.spriteIndexes.empty()) ini.Key("SpriteIndexes", ListText(w.spriteIndexes));
    if (w.minValue) ini.Key("minValue", *w.minValue);
    if (w.maxValue) ini.Key("maxValue", *w.maxValue);
    if (!w.textFlags.empty()) ini.Key("TextFlags", w.textFlags);
    if (!w.colours.empty()) {
      std::vector<int> values{static_cast<int>(w.colours.size())};
      for (const auto& c : w.colours) values.insert(values.end(), c.begin(), c.end());
      ini.Key("Colours", ListText(values));
    }
    if (w.step) ini.Key("step", *w.step);
  }
  for (const auto& [name, keys] : sections_) {
    ini.Section(name);
    for (const auto& [key, value] : keys) ini.Key(key, value);
  }
  return ini.Text();
}

ScreenLayout TestScreenLayout() {
  ScreenLayout layout("Test", "Test");
  layout.Global("BackgroundFile", "Test");
  Widget& title = layout.Add(WidgetKind::kText, 1, {40, 20, 760, 60});
  title.font = "LARGE";
  title.text = "Controls of every kind";
  title.textFlags = "CENTRE";
  title.colours = {{255, 255, 255}};
  Widget& left = layout.Add(WidgetKind::kText, 2, {40, 540, 400, 570});
  left.font = "TINY";
  left.text = "Version 0.1";
  left.textFlags = "left";
  left.colours = {{230, 230, 230}};
  const char* captions[] = {"Begin", "Options", "Quit"};
  for (int i = 0; i < 3; ++i) {
    Widget& button = layout.Add(WidgetKind::kTextButton, i + 1, {60, 100 + 50 * i, 260, 136 + 50 * i});
    button.text = captions[i];
  }
  Widget& standard = layout.Add(WidgetKind::kStandardButton, 1, {300, 100, 320, 120});
  standard.spriteIndexes = {12, 13, 14};
  Widget& edit = layout.Add(WidgetKind::kEditBox, 1, {60, 260, 360, 290});
  edit.text = "Merlin";
  Widget& slider = layout.Add(WidgetKind::kSliderBar, 1, {60, 320, 360, 344});
  slider.minValue = 0;
  slider.maxValue = 100;
  slider.step = 5;
  for (int i = 0; i < 3; ++i) {
    Widget& radio = layout.Add(WidgetKind::kRadioButton, i + 1, {420, 100 + 30 * i, 620, 124 + 30 * i});
    radio.text = std::string("Choice ") + static_cast<char>('A' + i);
  }
  layout.Add(WidgetKind::kListBox, 1, {420, 220, 740, 340});
  layout.Add(WidgetKind::kMessageListBox, 1, {420, 360, 740, 500}).colours = {{255, 255, 255}, {255, 220, 40}};
  Widget& picture = layout.Add(WidgetKind::kPictureBox, 1, {300, 140, 340, 180});
  picture.spriteIndexes = {0};
  // Bars: a horizontal gradient from red to green with a gold mark, a vertical one from deep
  // blue to sky blue over a range that does not start at 0, and a row of arrow buttons.
  Widget& stat = layout.Add(WidgetKind::kStatBar, 1, {60, 380, 360, 392});
  stat.minValue = 0;
  stat.maxValue = 50;
  stat.colours = {{200, 30, 30}, {30, 200, 30}, {230, 190, 60}};
  Widget& tall = layout.Add(WidgetKind::kStatBar, 2, {370, 360, 386, 500});
  tall.minValue = 100;
  tall.maxValue = 300;
  tall.colours = {{20, 30, 120}, {120, 190, 255}, {240, 240, 240}};
  Widget& sprites = layout.Add(WidgetKind::kSpriteBar, 1, {60, 410, 360, 430});
  sprites.spriteIndexes = {12, 13};
  sprites.maxValue = 10;
  return layout;
}

namespace {

// A dark gradient with a gold frame, the background of the test screen at a resolution.
RgbPicture TestBackground(int width, int height) {
  RgbPicture picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool frame = x < 6 || y < 6 || x >= width - 6 || y >= height - 6;
      if (frame)
        picture.Set(x, y, 200, 160, 60);
      else
        picture.Set(x, y, static_cast<uint8_t>(40 + 40 * y / height), static_cast<uint8_t>(50 + 40 * y / height),
                    static_cast<uint8_t>(80 + 60 * y / height));
    }
  return picture;
}

// The message box's picture: a stone panel with a lighter rim.
RgbPicture MessageBoxPicture() {
  RgbPicture picture(360, 180);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const bool rim = x < 4 || y < 4 || x >= picture.width - 4 || y >= picture.height - 4;
      const uint8_t v = rim ? 220 : 150;
      picture.Set(x, y, v, static_cast<uint8_t>(v + 10 > 255 ? 255 : v + 10),
                  static_cast<uint8_t>(v + 25 > 255 ? 255 : v + 25));
    }
  return picture;
}

FORGE_STEP(TestScreen) {
  const ScreenLayout layout = TestScreenLayout();
  layout.Write(ctx);
  ctx.WriteFile("Interface\\Test\\800x600\\Test 800-600.BMP", MakeBmp24(TestBackground(800, 600)));
  ctx.WriteFile("Interface\\Test\\640x480\\Test 640-480.BMP", MakeBmp24(TestBackground(640, 480)));
  ctx.WriteFile("Interface\\Test\\MessageBox.bmp", MakeBmp24(MessageBoxPicture()));
}

}  // namespace

}  // namespace forge
