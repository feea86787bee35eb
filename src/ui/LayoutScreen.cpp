#include "ui/LayoutScreen.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "platform/Files.h"
#include "platform/Profile.h"
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

namespace {

// The widget type and number a section names, or false for another section.
bool ParseWidgetSection(const std::string& section, int& type, int& number) {
  for (int t = 0; t < kWidgetTypeCount; ++t) {
    const size_t length = std::strlen(kWidgetPrefixes[t]);
    if (section.size() <= length || strncasecmp(section.c_str(), kWidgetPrefixes[t], length) != 0) continue;
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
  const int id = WidgetControlId(entry.type, entry.number);
  CFont* font = config.font ? config.font : &g_bodyFont;
  switch (entry.type) {
    case kWidgetTextButton: {
      auto button = std::make_unique<CTextButton>();
      button->SetFont(font);
      button->SetSurface(&g_backBuffer);
      button->Create(id, config.Rect(), callback_.get(), nullptr, 1);
      button->SetCaption(config.text);
      entry.control = std::move(button);
      break;
    }
    case kWidgetStandardButton: {
      auto button = std::make_unique<CButton>();
      button->SetSurface(&g_backBuffer);
      button->SetFrameSprite(&g_buttonSprite);
      const int* frames = config.spriteIndexes;
      button->SetFrames(frames[0], frames[1], -1);
      button->SetAltFrames(-1, frames[2] != 0 ? frames[2] : -1, -1);
      button->Create(id, config.Rect(), callback_.get(), nullptr, 1);
      entry.control = std::move(button);
      break;
    }
    case kWidgetEditBox: {
      auto box = std::make_unique<CEditBox>();
      box->SetFont(font);
      box->SetSurface(&g_backBuffer);
      box->Create(id, config.Rect(), callback_.get(), nullptr, 1);
      box->SetText(config.text);
      entry.control = std::move(box);
      break;
    }
    case kWidgetSliderBar: {
      auto slider = std::make_unique<CSliderBar>();
      slider->SetSurface(&g_backBuffer);
      slider->Create(id, config.Rect(), callback_.get(), 1);
      slider->SetRange(config.maxValue, config.minValue);
      slider->arrowStep = config.step;
      entry.control = std::move(slider);
      break;
    }
    case kWidgetRadioButton: {
      auto radio = std::make_unique<CRadioButton>();
      radio->SetFont(font);
      radio->SetSurface(&g_backBuffer);
      radio->Create(id, config.Rect());
      radio->SetCaption(config.text);
      radio->Restore();
      radioGroup_.Add(radio.get());
      entry.control = std::move(radio);
      break;
    }
    case kWidgetListBox: {
      auto list = std::make_unique<CListBox>();
      list->SetFont(font);
      list->SetSurface(&g_backBuffer);
      list->Create(id, config.Rect(), callback_.get(), 1);
      entry.control = std::move(list);
      break;
    }
    case kWidgetMessageListBox: {
      auto messages = std::make_unique<CMessageListBox>();
      messages->SetFont(font);
      messages->SetSurface(&g_backBuffer);
      messages->id = id;
      messages->Create(config.Rect(), 1);
      entry.control = std::move(messages);
      break;
    }
    case kWidgetText: {
      CTextLabel label;
      label.SetSurface(&g_backBuffer);
      label.SetFont(font);
      label.SetRect(config.Rect());
      label.SetText(config.text);
      label.SetFlags(config.textFlags);
      if (!config.colours.empty()) label.SetColour(config.colours[0][0], config.colours[0][1], config.colours[0][2]);
      labels_.emplace_back(entry.number, label);
      break;
    }
    case kWidgetPictureBox: {
      CPictureBox picture;
      picture.Create(config.Rect(), &g_buttonSprite, config.spriteIndexes[0]);
      picture.SetSurface(&g_backBuffer);
      pictures_.emplace_back(entry.number, picture);
      break;
    }
    default:
      break;
  }
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
  for (const Entry& entry : entries_)
    if (entry.control) entry.control->Draw();
  if (dialogBox) dialogBox->Draw();
}
