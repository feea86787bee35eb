#include "ui/LayoutScreen.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "ui/Button.h"
#include "ui/ControlArt.h"
#include "ui/Cursor.h"
#include "ui/DialogBox.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/RadioButton.h"
#include "ui/SharedArt.h"
#include "ui/SliderBar.h"
#include "ui/TextButton.h"
#include "ui/WidgetControls.h"

namespace {

// The widget type and number a section names, or false for another section.
bool ParseWidgetSection(const std::string& section, int& type, int& number) {
  for (int t = 0; t < kWidgetTypeCount; ++t) {
    const size_t length = std::strlen(kWidgetPrefixes[t]);
    if (section.size() <= length ||
        !platform::EqualNoCase(std::string_view(section).substr(0, length), kWidgetPrefixes[t]))
      continue;
    const std::string digits = section.substr(length);
    bool allDigits = digits.size() <= 6;
    for (char c : digits) allDigits = allDigits && std::isdigit(static_cast<unsigned char>(c));
    if (!allDigits) continue;
    type = t;
    number = std::atoi(digits.c_str());
    return true;
  }
  return false;
}

std::string FolderOf(const std::string& file) {
  const size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

}  // namespace

CLayoutScreen::CLayoutScreen(std::string layoutFile) : layoutFile_(std::move(layoutFile)) {}

CLayoutScreen::~CLayoutScreen() { Unload(); }

void CLayoutScreen::Enter() {
  closeRequested = 0;
  pendingPush = nullptr;
  SetCursorKind(kCursorNormal);
  RestoreCursorBackground();
  ReadConfig(layoutFile_.c_str());
  Load();
}

void CLayoutScreen::Exit() { Unload(); }

void CLayoutScreen::ReadConfig(const char* fileName) {
  entries_.clear();
  char path[512];
  MakeCurrentDirPath(fileName, path, sizeof path);
  for (const std::string& section : platform::ReadProfileSectionNames(path)) {
    Entry entry;
    if (!ParseWidgetSection(section, entry.type, entry.number)) continue;
    LoadWidgetConfig(fileName, &entry.config, entry.type, entry.number);
    entries_.push_back(std::move(entry));
  }
}

CControl* CLayoutScreen::ControlOf(int type, int number) const {
  for (const Entry& entry : entries_)
    if (entry.type == type && entry.number == number) return entry.control.get();
  return nullptr;
}

CTextLabel* CLayoutScreen::LabelOf(int number) {
  for (auto& [n, label] : labels_)
    if (n == number) return &label;
  return nullptr;
}

CPictureBox* CLayoutScreen::PictureOf(int number) {
  for (auto& [n, picture] : pictures_)
    if (n == number) return &picture;
  return nullptr;
}

CWidgetBar* CLayoutScreen::BarOf(int type, int number) {
  for (auto& [id, bar] : bars_)
    if (id == WidgetControlId(type, number)) return &bar;
  return nullptr;
}

void CLayoutScreen::LoadBackground() {
  backgroundPath_.clear();
  char stem[256] = {};
  ReadScreenGlobal("BackgroundFile", layoutFile_.c_str(), stem);
  if (!stem[0]) return;
  const int width = ScreenWidth(), height = ScreenHeight();
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = width;
  desc.height = height;
  if (!backgroundSurface_.Create(&desc)) return;
  background = &backgroundSurface_;
  backgroundSurface_.Fill(0);
  char name[600];
  for (const char* extension : {".JPG", ".BMP"}) {
    std::snprintf(name, sizeof name, "%s%ix%i\\%s %i-%i%s", FolderOf(layoutFile_).c_str(), width, height, stem, width,
                  height, extension);
    if (!platform::FileExists(name)) continue;
    const bool loaded = extension[1] == 'J' ? backgroundSurface_.LoadJpeg(name) : backgroundSurface_.LoadBitmap(name);
    if (loaded) {
      backgroundPath_ = name;
      return;
    }
  }
  ReportLoadError(name);
}

void CLayoutScreen::CreateControl(Entry& entry) {
  const CWidgetConfig& config = entry.config;
  if (entry.type == kWidgetText)
    labels_.emplace_back(entry.number, MakeWidgetLabel(config));
  else if (entry.type == kWidgetPictureBox)
    pictures_.emplace_back(entry.number, MakeWidgetPicture(config));
  else if (entry.type == kWidgetStatBar || entry.type == kWidgetSpriteBar)
    bars_.emplace_back(WidgetControlId(entry.type, entry.number), MakeWidgetBar(entry.type, config, &g_buttonSprite));
  else
    entry.control =
        MakeWidgetControl(entry.type, config, WidgetControlId(entry.type, entry.number), callback_.get(), radioGroup_);
}

void CLayoutScreen::Load() {
  LoadBackground();
  callback_ = std::make_unique<CFunctionCallback>([this](int controlId) { OnControl(controlId); });
  controls.Reserve(static_cast<int>(entries_.size()));
  labels_.reserve(entries_.size());
  pictures_.reserve(entries_.size());
  radioGroup_.Reserve(static_cast<int>(
      std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.type == kWidgetRadioButton; })));
  for (Entry& entry : entries_) {
    CreateControl(entry);
    // The message log takes no keys: it is drawn, not focused.
    if (entry.control && entry.type != kWidgetMessageListBox)
      controls.Add(entry.control.get(), controls.Count() == 0 ? 1 : 0);
  }
  if (radioGroup_.Count() > 0) radioGroup_.Select(radioGroup_.buttons[0], false);
  loaded = 1;
}

void CLayoutScreen::Unload() {
  if (dialogBox) dialogBox->Close();
  controls.Clear();
  for (Entry& entry : entries_) entry.control.reset();
  radioGroup_.Reserve(0);
  labels_.clear();
  pictures_.clear();
  bars_.clear();
  callback_.reset();
  backgroundSurface_.Release();
  background = nullptr;
  loaded = 0;
}

void CLayoutScreen::Draw() {
  if (!g_backBuffer.IsCreated()) return;
  if (background)
    background->BlitTo(&g_backBuffer, 0, 0);
  else
    g_backBuffer.Fill(0);
  for (auto& [number, label] : labels_) label.Draw();
  for (auto& [number, picture] : pictures_) picture.Draw();
  for (const auto& [id, bar] : bars_) bar.Draw(&g_backBuffer);
  for (const Entry& entry : entries_)
    if (entry.control) entry.control->Draw();
  if (dialogBox) dialogBox->Draw();
}
