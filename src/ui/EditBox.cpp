#include "ui/EditBox.h"

#include <string>

#include "graphics/Font.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"

int CEditBox::drawCount_ = 0;
bool CEditBox::caretOn_ = false;

namespace {
constexpr uint8_t kEditFlags = kTextLeft | kTextCentreVertically;
}

void CEditBox::OnMouse(int flags, CMouseEvent event) {
  const bool enterHeld = (flags & MF_ENTER) && event.left;
  if (!(flags & (MF_LEFT_DOWN | MF_RIGHT_DOWN)) && !enterHeld) return;
  RequestRedraw();
  if (ownerList) ownerList->SetFocus(this);
}

void CEditBox::SetPressed(int down) {
  if (!down && onLeftClick) onLeftClick->Invoke(id);
}

void CEditBox::SetText(const char* text) {
  caption = text ? text : "";
  const size_t limit = maxLength < kMaxText ? maxLength : kMaxText;
  if (caption.size() > limit) caption.resize(limit);
}

bool CEditBox::AddChar(int code) {
  const size_t limit = maxLength < kMaxText ? maxLength : kMaxText;
  if (code < ' ' || code > 'z' || caption.size() >= limit) return false;
  if (!caption.empty() && font) {
    const TextRect area{rect.left, rect.top, rect.right, rect.bottom};
    const int blank = font->GetCharWidth(' ', false);
    const int width = font->MeasureText(caption.c_str(), area, kEditFlags);
    if (width + blank + rect.left + 2 >= rect.right - blank) return false;
  }
  caption.push_back(static_cast<char>(code));
  return true;
}

void CEditBox::OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  const int key = static_cast<int>(wParam);
  if (message == platform::WM_CHAR) {
    AddChar(key);
    return;
  }
  if (message != platform::WM_KEYDOWN) return;
  if (key == platform::VK_BACK || key == platform::VK_DELETE) {
    if (!caption.empty()) caption.pop_back();
  } else if (key == platform::VK_TAB || key == platform::VK_UP || key == platform::VK_DOWN) {
    CControl::OnKey(window, message, wParam, lParam);
  }
}

void CEditBox::Draw() {
  if (drawCount_++ >= 9) {
    drawCount_ = 0;
    caretOn_ = !caretOn_;
  }
  if (state == kStateDisabled || !surface) return;
  const platform::Rect at = SurfaceRect();
  const platform::Rect inner{at.left + 1, at.top + 1, at.right - 1, at.bottom - 1};
  int textEnd = inner.left;
  int blank = 0;
  if (font) {
    SurfacePrinting printing(surface, inner);
    if (printing) {
      const std::string shown = " " + (masked ? std::string(caption.size(), '*') : caption);
      TextPoint end;
      end.x = inner.left;
      font->PrintText(shown.c_str(), TextRect{inner.left, inner.top, inner.right, inner.bottom}, 0, 0, 0, kEditFlags,
                      &end);
      textEnd = end.x;
      blank = font->GetCharWidth(' ', false);
    }
  }
  caretRect = platform::Rect{textEnd + 1, inner.top + 4, textEnd + 1 + blank, inner.bottom - 4};
  if (highlight == 1 && caretOn_) surface->HighlightRect(caretRect);
  surface->DrawBevel(rect, bevel, highlight == 1 ? 1 : 0, 0);
}
