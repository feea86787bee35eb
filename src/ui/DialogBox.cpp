#include "ui/DialogBox.h"

#include <algorithm>

#include "core/Preferences.h"
#include "graphics/Font.h"
#include "graphics/Surface.h"
#include "platform/KeyState.h"
#include "ui/ControlArt.h"

namespace {

int CaptionWidth(CFont* font, const char* caption, const TextRect& area) {
  if (!font || !caption) return 0;
  return font->MeasureText(caption, area, kTextCentre | kTextCentreVertically);
}

}  // namespace

int CDialogBox::Open(CCallback* ownerCallback, const char* pictureFile, const char* text, const char* firstCaption,
                     const char* secondCaption) {
  CSurface* const target = surface;
  CFont* const textFont = font;
  Close();
  surface = target;
  font = textFont;
  const int screenWidth = g_prefs.isHighRes ? 800 : 640, screenHeight = g_prefs.isHighRes ? 600 : 480;
  Register(platform::Rect{0, 0, screenWidth, screenHeight}, 1);
  owner = ownerCallback;
  hasPicture = pictureFile && picture.Load(pictureFile);
  if (!hasPicture) ReportLoadError(pictureFile);
  boxWidth = hasPicture ? picture.Width() : kDefaultWidth;
  boxHeight = hasPicture ? picture.Height() : kDefaultHeight;
  boxX = (screenWidth - boxWidth) / 2;
  boxY = (screenHeight - boxHeight) / 2;

  const int lineHeight = font ? font->GetLineHeight() : 0;
  const TextRect screen{0, 0, screenWidth, screenHeight};
  // Room beside the caption for the button's bevel and the font's letter spacing, which the
  // measure leaves out: without it "Yes" printed as "Ye".
  constexpr int kCaptionMargin = 16;
  int width =
      std::max(CaptionWidth(font, firstCaption, screen), CaptionWidth(font, secondCaption, screen)) + kCaptionMargin;
  const int top = boxY + boxHeight - lineHeight - 25, bottom = top + lineHeight + 5;
  platform::Rect places[2];
  if (secondCaption) {
    places[0] = platform::Rect{boxX + 20, top, boxX + 20 + width, bottom};
    places[1] = platform::Rect{boxX + boxWidth - 20 - width, top, boxX + boxWidth - 20, bottom};
  } else {
    width += 6;
    const int left = boxX + boxWidth / 2 - width / 2;
    places[0] = platform::Rect{left, top, left + width, bottom};
  }
  const int count = secondCaption ? 2 : 1;
  buttonList.Reserve(count);
  for (int i = 0; i < count; ++i) {
    buttons[i] = std::make_unique<CTextButton>();
    CTextButton& button = *buttons[i];
    button.SetFont(font);
    button.SetSurface(surface);
    button.Create(i, places[i], owner, nullptr, 1);
    button.SetCaption(i == 0 ? firstCaption : secondCaption);
    buttonList.Add(&button, i == 0 ? 1 : 0);
  }
  textRect = platform::Rect{boxX + 20, boxY + 20, boxX + boxWidth - 20, top - 20};
  message = text ? text : "";
  return 1;
}

void CDialogBox::Draw() {
  if (!IsOpen() || !surface) return;
  if (hasPicture) {
    surface->DrawDibAt(picture, boxX, boxY);
  } else {
    const platform::Rect panel{boxX, boxY, boxX + boxWidth, boxY + boxHeight};
    surface->FillRect(&panel, 0x8410);
    surface->DrawBevel(panel, 30, 1, 0);
  }
  if (!message.empty() && font) {
    SurfacePrinting printing(surface);
    if (printing) {
      const TextRect area{textRect.left, textRect.top, textRect.right, textRect.bottom};
      font->PrintText(message.c_str(), area, 0, 0, 0, kTextCentre | kTextCentreVertically | kTextWordWrap);
    }
  }
  for (auto& button : buttons)
    if (button) button->Draw();
}

void CDialogBox::Press(int down) {
  CControl* focused = buttonList.Focused();
  if (!focused) return;
  if (down) {
    focused->Press();
    return;
  }
  focused->state = kStateNormal;
  // Last: the owner usually closes the box.
  if (owner) owner->Invoke(focused->id);
}

void CDialogBox::OnKey(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  if (message != platform::WM_KEYDOWN) return;
  const int key = static_cast<int>(wParam);
  const bool shift = platform::IsKeyDownNow(platform::kKeyShift);
  if ((key == platform::VK_TAB && !shift) || key == platform::VK_RIGHT || key == platform::VK_DOWN)
    buttonList.NextFocus();
  else if (key == platform::VK_TAB || key == platform::VK_LEFT || key == platform::VK_UP)
    buttonList.PrevFocus();
}

void CDialogBox::Close() {
  message.clear();
  buttonList.Clear();
  buttons[0].reset();
  buttons[1].reset();
  picture.Free();
  hasPicture = false;
  owner = nullptr;
  surface = nullptr;
  font = nullptr;
  if (index != -1) Unregister(index);
}
