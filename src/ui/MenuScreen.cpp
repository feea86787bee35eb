#include "ui/MenuScreen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "graphics/Surface.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "ui/Cursor.h"
#include "ui/DialogBox.h"
#include "ui/Flatwin.h"
#include "ui/SharedArt.h"

const char* const kWidgetPrefixes[kWidgetTypeCount] = {
    "TEXTBUTTON_", "EDITBOX_", "SLIDERBAR_", "STANDARDBUTTON_", "RADIOBUTTON_", "LISTBOX_",
    "TEXT_",       "STATBAR_", "SPRITEBAR_", "MESSAGELISTBOX_", "PICTUREBOX_",
};

namespace {

std::string LayoutPath(const char* fileName) {
  char path[512];
  MakeCurrentDirPath(fileName, path, sizeof path);
  return path;
}

// A key's value as the 256-character read gives it; empty when missing.
std::string ReadKey(const std::string& path, const std::string& section, const char* key) {
  char text[256];
  platform::ReadProfileString(section, key, "", text, sizeof text, path);
  return text;
}

std::string CutAt(std::string value, const char* stops) {
  const size_t cut = value.find_first_of(stops);
  return cut == std::string::npos ? value : value.substr(0, cut);
}

bool ReadRect(const std::string& path, const std::string& section, const char* key, platform::Rect& rect) {
  const std::string value = ReadKey(path, section, key);
  if (value.empty()) return false;
  const std::vector<int> n = platform::NumberList(value);
  int* fields[4] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
  for (size_t i = 0; i < 4 && i < n.size(); ++i) *fields[i] = n[i];
  return true;
}

// A quoted text keeps what lies between its quotes; the ';' cut comes first.
std::string CleanText(const std::string& value) {
  std::string text = CutAt(value, ";");
  if (!text.empty() && text.front() == '"') text = CutAt(text.substr(1), "\"");
  return text;
}

CFont* FontNamed(const std::string& value) {
  const std::string name = CutAt(value, "; \t");
  if (platform::EqualNoCase(name, "LARGE")) return &g_headingFont;
  if (platform::EqualNoCase(name, "TINY")) return &g_smallFont;
  return &g_bodyFont;
}

void ReadColours(const std::string& value, CWidgetConfig& record) {
  const std::vector<int> n = platform::NumberList(value);
  // The count may not promise more triples than the line holds.
  const int available = static_cast<int>((n.size() - 1) / 3);
  const int count = std::clamp(n[0], 0, available);
  record.colours.assign(static_cast<size_t>(count), {0, 0, 0});
  for (int i = 0; i < count; ++i)
    for (int c = 0; c < 3; ++c) record.colours[static_cast<size_t>(i)][static_cast<size_t>(c)] = n[1 + 3 * i + c];
}

}  // namespace

const platform::Rect& CWidgetConfig::Rect() const { return g_prefs.isHighRes ? rect800 : rect640; }

int LoadWidgetConfig(const char* fileName, CWidgetConfig* record, int type, int number) {
  if (!record || !fileName || type < 0 || type >= kWidgetTypeCount) return 0;
  const std::string path = LayoutPath(fileName);
  const std::string section = kWidgetPrefixes[type] + std::to_string(number);
  record->font = nullptr;
  if (std::string font = ReadKey(path, section, "Font"); !font.empty()) record->font = FontNamed(font);
  const bool hasRect800 = ReadRect(path, section, "Rect2", record->rect800);
  if (!ReadRect(path, section, "Rect1", record->rect640)) {
    const platform::Rect& big = record->rect800;
    record->rect640 = platform::Rect{static_cast<int>(big.left * 0.8), static_cast<int>(big.top * 0.8),
                                     static_cast<int>(big.right * 0.8), static_cast<int>(big.bottom * 0.8)};
    if (hasRect800) {
      char line[64];
      const platform::Rect& r = record->rect640;
      std::snprintf(line, sizeof line, "%i,%i,%i,%i", r.left, r.top, r.right, r.bottom);
      platform::WriteProfileString(section, "Rect1", line, path);  // a read-only file keeps its lines
    }
  }
  if (std::string text = ReadKey(path, section, "Text"); !text.empty())
    std::snprintf(record->text, sizeof record->text, "%s", CleanText(text).c_str());
  if (std::string indexes = ReadKey(path, section, "SpriteIndexes"); !indexes.empty()) {
    const std::vector<int> n = platform::NumberList(indexes);
    for (size_t i = 0; i < 3 && i < n.size(); ++i) record->spriteIndexes[i] = n[i];
  }
  if (std::string value = ReadKey(path, section, "minValue"); !value.empty())
    record->minValue = platform::NumberList(value)[0];
  if (std::string value = ReadKey(path, section, "maxValue"); !value.empty())
    record->maxValue = platform::NumberList(value)[0];
  if (std::string flags = ReadKey(path, section, "TextFlags"); !flags.empty()) {
    const std::string word = CutAt(flags, "; \t");
    const uint8_t bit = platform::EqualNoCase(word, "LEFT")    ? kTextLeft
                        : platform::EqualNoCase(word, "RIGHT") ? kTextRight
                                                               : kTextCentre;
    CFont::SetAlignment(record->textFlags, bit);
  }
  if (std::string colours = ReadKey(path, section, "Colours"); !colours.empty()) ReadColours(colours, *record);
  if (std::string value = ReadKey(path, section, "step"); !value.empty()) record->step = platform::NumberList(value)[0];
  return 1;
}

void ReadScreenGlobal(const char* key, const char* fileName, char* out) {
  if (!key || !fileName || !out) return;
  const std::string value = ReadKey(LayoutPath(fileName), "GLOBALS", key);
  if (value.empty()) return;
  std::string text = CutAt(value, ";");
  if (!text.empty() && text.front() == '"') text = CutAt(text.substr(1), "\"");
  std::snprintf(out, 256, "%s", text.c_str());
}

CMenuScreen::~CMenuScreen() = default;

void CMenuScreen::PresentFrame() {
  g_cursorTimerMayDraw = false;
  if (!fading) DrawSoftwareCursor();
  PresentWorkSurface();
  g_cursorTimerMayDraw = true;
}

void CMenuScreen::DrawAndPresent() {
  Draw();
  PresentFrame();
}

void CMenuScreen::Update() {
  // A change is carried out once: the request is cleared, so that the screen does not make it
  // again when it is current once more.
  if (pendingPush && !fading) {
    CScreen* next = pendingPush;
    pendingPush = nullptr;
    PushScreen(next);
    return;
  }
  if (pendingPopTo && !fading) {
    CScreen* target = pendingPopTo;
    pendingPopTo = nullptr;
    PopToScreen(target);
    return;
  }
  if (closeRequested && !fading) {
    closeRequested = 0;
    PopScreen();
    return;
  }
  if (!loaded) return;
  if (fading && fadeStep != 0) {
    if (g_backBuffer.IsCreated()) g_backBuffer.Dim();
    if (fadeStep++ >= 5) fading = 0;
  } else {
    Draw();
    ++fadeStep;
  }
  PresentFrame();
  AfterDraw();
  DispatchMouseEvents();
}

CControl* CMenuScreen::EnterTarget() const {
  CControl* focused = controls.Focused();
  // A disabled, greyed or inactive control is never worked by the keyboard.
  return focused && focused->CanTakeFocus() ? focused : nullptr;
}

int CMenuScreen::OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  const int key = static_cast<int>(wParam);
  if (message == platform::WM_KEYDOWN) {
    if (key == platform::VK_RETURN) {
      if (dialogBox)
        dialogBox->Press(1);
      else if (CControl* control = EnterTarget())
        control->SetPressed(1);
    } else if (key == platform::VK_ESCAPE) {
      SetCursorKind(kCursorNone);
      BeginFadeOut();
      closeRequested = 1;
    } else if (dialogBox) {
      dialogBox->OnKey(window, message, wParam, lParam);
    } else if (CControl* control = controls.Focused()) {
      control->OnKey(window, message, wParam, lParam);
    }
  } else if (message == platform::WM_KEYUP && key == platform::VK_RETURN) {
    if (dialogBox)
      dialogBox->Press(0);
    else if (CControl* control = EnterTarget())
      control->SetPressed(0);
    if (loaded && g_currentScreen == this) DrawAndPresent();
  } else if (message == platform::WM_CHAR && !dialogBox) {
    CControl* control = controls.Focused();
    if (control && control->GetType() == kControlEditBox) control->OnKey(window, message, wParam, lParam);
  }
  return 0;
}
