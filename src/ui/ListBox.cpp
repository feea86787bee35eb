#include "ui/ListBox.h"

#include <algorithm>

#include "graphics/Font.h"
#include "graphics/Surface.h"
#include "platform/KeyState.h"
#include "ui/ControlArt.h"

namespace {

constexpr int kScrollBarWidth = 16;

bool LeftPressed(int flags, const CMouseEvent& event) {
  return (flags & MF_LEFT_DOWN) || ((flags & MF_ENTER) && event.left);
}

// A scroll bar at the right edge of a list, whose moves set the list's top line.
std::unique_ptr<CScrollBar> MakeScrollBar(const CControl& list, CCallback* callback) {
  auto bar = std::make_unique<CScrollBar>();
  bar->SetSurface(list.surface);
  bar->Create(0, platform::Rect{list.rect.right - kScrollBarWidth, list.rect.top, list.rect.right, list.rect.bottom},
              callback, 1);
  return bar;
}

// Fits a list's scroll bar to its lines: none while they all show (the list then starts at its
// first line), else one whose range ends with the last line at the bottom, the list's top line
// kept inside that range and the knob showing it. Answers whether the bar was made just now.
bool FitScrollBar(const CControl& list, std::unique_ptr<CScrollBar>& bar, CCallback* callback, int lines, int visible,
                  int& topIndex) {
  if (lines <= visible) {
    bar.reset();
    topIndex = 0;
    return false;
  }
  const bool made = !bar;
  if (made) bar = MakeScrollBar(list, callback);
  bar->SetRange(lines - visible, 0);
  topIndex = std::clamp(topIndex, 0, bar->maxValue);
  bar->PlaceValue(topIndex);
  return made;
}

}  // namespace

CListBox::~CListBox() = default;

int CListBox::LineHeight() const { return font ? font->GetLineHeight() : 0; }

int CListBox::Create(int controlId, const platform::Rect& area, CCallback* callback, int enabled) {
  id = controlId;
  onLeftClick = callback;
  visibleLines = (area.bottom - area.top) / (LineHeight() + 2);
  const int registered = Register(area, enabled);
  state = enabled ? kStateNormal : kStateDisabled;
  items.clear();
  items.reserve(kFirstSlots);
  topIndex = 0;
  cursor = -1;
  scrollCallback_ = std::make_unique<CFunctionCallback>([this](int) {
    if (scrollBar) topIndex = scrollBar->value;
  });
  return registered;
}

void CListBox::AddItem(const char* text) {
  if (items.size() == items.capacity()) items.reserve(items.size() + kMoreSlots);
  Item item;
  item.text = text ? text : "";
  if (item.text.size() > kMaxText) item.text.resize(kMaxText);
  items.push_back(std::move(item));
  // The list keeps the line it shows: the knob stays with it as the range grows.
  if (ItemCount() > visibleLines &&
      FitScrollBar(*this, scrollBar, scrollCallback_.get(), ItemCount(), visibleLines, topIndex))
    scrollBar->Draw();
}

void CListBox::AfterRemoval(int removed) {
  // The cursor keeps its item when one above it goes, and moves back a line when its own goes.
  if (removed < cursor || (removed == cursor && cursor > 0)) --cursor;
  cursor = std::min(cursor, ItemCount() - 1);
  --topIndex;
  FitScrollBar(*this, scrollBar, scrollCallback_.get(), ItemCount(), visibleLines, topIndex);
}

void CListBox::RemoveAt(int n) {
  if (n < 0 || n >= ItemCount()) return;
  items.erase(items.begin() + n);
  AfterRemoval(n);
}

void CListBox::RemoveItem(const char* text) {
  const std::string wanted = text ? text : "";
  for (int i = FindItem(wanted.c_str()); i != -1; i = FindItem(wanted.c_str())) RemoveAt(i);
}

void CListBox::Clear() {
  items.clear();
  topIndex = 0;
  cursor = -1;
  scrollBar.reset();
}

int CListBox::Select(int n) {
  if (n == -1) {
    for (Item& item : items) item.selected = 0;
    cursor = -1;
    return 0;
  }
  if (n < 0 || n >= ItemCount()) return 0;
  int result;
  if (toggleSelect && items[static_cast<size_t>(n)].selected) {
    items[static_cast<size_t>(n)].selected = 0;
    cursor = -1;
    result = 0;
  } else {
    cursor = n;
    items[static_cast<size_t>(n)].selected = 1;
    result = 1;
  }
  if (!(multiSelect && platform::IsKeyDownNow(platform::kKeyShift)))
    for (int i = 0; i < ItemCount(); ++i)
      if (i != n) items[static_cast<size_t>(i)].selected = 0;
  return result;
}

int CListBox::FindItem(const char* text) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (text && items[static_cast<size_t>(i)].text == text) return i;
  return -1;
}

const char* CListBox::FirstSelected() {
  iterator_ = -1;
  const char* first = NextSelected();
  return first ? first : "";
}

const char* CListBox::NextSelected() {
  if (items.empty()) return nullptr;
  for (++iterator_; iterator_ < ItemCount(); ++iterator_)
    if (items[static_cast<size_t>(iterator_)].selected || iterator_ == cursor)
      return items[static_cast<size_t>(iterator_)].text.c_str();
  return "";
}

void CListBox::OnMouse(int flags, CMouseEvent event) {
  if (LeftPressed(flags, event)) {
    RequestRedraw();
    if (ownerList) ownerList->SetFocus(this);
    if (items.empty()) return;
    const int line = std::min((event.y - rect.top) / (LineHeight() + 2) + topIndex, ItemCount() - 1);
    // The click callback learns of a new selection with 0, not the list's id.
    if (Select(std::max(line, 0)) == 1 && onLeftClick) onLeftClick->Invoke(0);
  } else if (flags & MF_RIGHT_DOWN) {
    RequestRedraw();
    if (ownerList) ownerList->SetFocus(this);
  }
}

void CListBox::SetPressed(int down) {
  if (!down && onLeftClick) onLeftClick->Invoke(id);
}

void CListBox::ScrollBy(int lines) {
  if (scrollBar) scrollBar->ChangeValue(scrollBar->value + lines);
}

void CListBox::OnKey(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (message != platform::WM_KEYDOWN) return;
  const int key = static_cast<int>(wParam);
  if (key == platform::VK_TAB) {
    CControl::OnKey(window, message, wParam, lParam);
    return;
  }
  if ((key != platform::VK_UP && key != platform::VK_DOWN) || items.empty()) return;
  if (!multiSelect && cursor >= 0 && cursor < ItemCount()) items[static_cast<size_t>(cursor)].selected = 0;
  if (key == platform::VK_UP) {
    if (cursor == topIndex && cursor > 0) ScrollBy(-1);
    cursor = std::max(cursor - 1, 0);
  } else {
    cursor = std::min(cursor + 1, ItemCount() - 1);
    if (cursor == topIndex + visibleLines && ItemCount() > visibleLines) ScrollBy(1);
  }
}

void CListBox::Draw() {
  if (!surface) return;
  const platform::Rect at = SurfaceRect();
  const int strip = LineHeight() + 2;
  if (!items.empty() && font) {
    const int last = std::min(topIndex + visibleLines, ItemCount());
    for (int i = std::max(topIndex, 0); i < last; ++i) {
      const int top = at.top + (i - topIndex) * strip;
      const platform::Rect line{at.left, top, at.right, top + strip};
      if (items[static_cast<size_t>(i)].selected || i == cursor) {
        if (i == cursor && highlight == 1)
          surface->HighlightRect(line);
        else
          surface->HighlightFrame(platform::Rect{line.left + 2, line.top + 2, line.right - 2, line.bottom - 3});
      }
      SurfacePrinting printing(surface, at);
      if (printing)
        font->PrintText(items[static_cast<size_t>(i)].text.c_str(),
                        TextRect{line.left + 2, line.top, line.right, line.bottom}, 0, 0, 0,
                        kTextLeft | kTextCentreVertically);
    }
  }
  surface->DrawBevel(rect, bevel, highlight == 1 ? 1 : 0, 0);
  if (scrollBar) scrollBar->Draw();
}

CMessageListBox::~CMessageListBox() = default;

int CMessageListBox::LineHeight() const { return font ? font->GetLineHeight() : 0; }

int CMessageListBox::Create(const platform::Rect& area, int isActive) {
  visibleLines = (area.bottom - area.top) / (LineHeight() + 2);
  const int registered = Register(area, isActive);
  lines.clear();
  topIndex = 0;
  scrollCallback_ = std::make_unique<CFunctionCallback>([this](int) {
    if (scrollBar) topIndex = scrollBar->value;
  });
  return registered;
}

void CMessageListBox::UpdateScrollBar() {
  FitScrollBar(*this, scrollBar, scrollCallback_.get(), LineCount(), visibleLines, topIndex);
}

void CMessageListBox::RemoveOldestMessage() {
  const int oldest = lines.front().message;
  while (!lines.empty() && lines.front().message == oldest) {
    lines.pop_front();
    topIndex = std::max(topIndex - 1, 0);
  }
  UpdateScrollBar();
}

void CMessageListBox::AddMessage(const char* text, int red, int green, int blue) {
  if (red == 0 && green == 0 && blue == 0) {
    red = blackAs[0];
    green = blackAs[1];
    blue = blackAs[2];
  }
  const std::string message = text ? text : "";
  std::vector<std::string> wrapped;
  if (font) {
    // The layout's rectangle is at least a line high, so that the width alone decides.
    const TextRect area{rect.left, rect.top, rect.right - 16, std::max(rect.bottom, rect.top + LineHeight())};
    font->MeasureText(message.c_str(), area, kTextLeft | kTextWordWrap);
    for (int i = 0; i < font->LineCount(); ++i)
      wrapped.emplace_back(font->LineStart(i), static_cast<size_t>(font->LineLength(i)));
  } else {
    wrapped.push_back(message);
  }
  const int before = LineCount();
  for (std::string& text : wrapped) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text.size() > 255) text.resize(255);
    lines.push_back(Line{text, messageCount, red, green, blue});
    if (LineCount() > visibleLines) UpdateScrollBar();
    if (LineCount() > kMaxLines) RemoveOldestMessage();
  }
  if (scrollBar) {
    scrollBar->PlaceValue(before);
    topIndex = scrollBar->value;
  }
  ++messageCount;
}

void CMessageListBox::Clear() {
  lines.clear();
  topIndex = 0;
  messageCount = 0;
  scrollBar.reset();
}

void CMessageListBox::Draw() {
  if (!surface) return;
  const platform::Rect at = SurfaceRect();
  const int strip = LineHeight() + 2;
  if (!lines.empty() && font) {
    SurfacePrinting printing(surface, at);
    if (printing) {
      int row = 0;
      auto line = lines.begin();
      std::advance(line, std::min(topIndex, LineCount()));
      for (; line != lines.end() && row < visibleLines; ++line, ++row) {
        const int top = at.top + row * strip;
        font->PrintText(line->text.c_str(), TextRect{at.left, top, at.right - 15, top + strip}, line->red, line->green,
                        line->blue, kTextLeft | kTextCentreVertically);
      }
    }
  }
  surface->DrawBevel(rect, bevel, 0, 0);
  if (scrollBar) scrollBar->Draw();
}
