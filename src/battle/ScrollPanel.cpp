#include "battle/ScrollPanel.h"

#include <algorithm>
#include <cctype>

#include "battle/GrimoirePage.h"
#include "battle/PanelSounds.h"
#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/ControlArt.h"
#include "ui/SharedArt.h"

CScrollPanel g_scrollPanel;

namespace {

constexpr const char* kUnknownScroll = "Scroll not defined in Scroll.txt";
constexpr int kUnrollDistance = kScrollBodyColumns - kScrollStartWidth;  // 348
constexpr int kSlideSpeed = 2;
// The text's place on the parchment.
constexpr platform::Rect kTextArea{20, 26, 360, 200};

bool IsHeaderAt(const std::string& text, size_t at) {
  return at < text.size() && text[at] == '[' && (at == 0 || text[at - 1] == '\n');
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string Trimmed(const std::string& s) {
  size_t first = 0, last = s.size();
  while (first < last && IsBlank(s[first])) ++first;
  while (last > first && IsBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

// The parchment's slide: the panel draws nothing itself, the scroll draws over it.
class CScrollSlide : public CSlidePanel {
 public:
  using CSlidePanel::CSlidePanel;
  void Draw() override {}
};

}  // namespace

std::vector<size_t> FindScrollStarts(const std::string& text) {
  std::vector<size_t> starts;
  for (size_t at = 0; at < text.size() && starts.size() < kMaxScrolls; ++at) {
    if (!IsHeaderAt(text, at)) continue;
    const size_t close = text.find_first_of("]\n", at);
    if (close == std::string::npos || text[close] != ']') continue;  // no name: not a header
    size_t start = close + 1;
    while (start < text.size() && IsBlank(text[start])) ++start;
    starts.push_back(start);
    at = close;
  }
  return starts;
}

void SplitScroll(const std::string& text, size_t start, std::string& heading, std::string& body) {
  heading.clear();
  body.clear();
  bool hasHeading = false;
  std::string* part = &body;
  for (size_t at = start; at < text.size() && !IsHeaderAt(text, at); ++at) {
    if (text.compare(at, 3, "~HS") == 0) {
      heading.clear();
      hasHeading = true;
      part = &heading;
    } else if (text.compare(at, 3, "~HE") == 0) {
      part = &body;
    } else if (text.compare(at, 3, "~BS") == 0) {
      body.clear();
      part = &body;
    } else if (text.compare(at, 3, "~BE") == 0) {
      break;
    } else {
      if (text[at] != '\r') part->push_back(text[at]);
      continue;
    }
    at += 2;  // past the marker
  }
  heading = hasHeading ? Trimmed(heading) : "Heading";
  body = Trimmed(body);
}

void InitStoryScroll() {
  g_scrollPanel.SetFont(&g_bodyFont);
  g_scrollPanel.LoadText();
}

int CScrollPanel::PlaceX() const { return g_prefs.isHighRes ? 140 : 60; }
int CScrollPanel::PlaceY() const { return g_prefs.isHighRes ? 118 : 58; }

void CScrollPanel::LoadText() {
  text_.clear();
  starts_.clear();
  const char* path = "text\\scrolls.txt";
  if (!platform::FileExists(path)) return;
  std::vector<uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) {
    platform::ShowMessageBox("Error reading file", "ERROR", WarningBoxFlags());
    platform::ExitProcess(1);
  }
  text_.assign(bytes.begin(), bytes.end());
  starts_ = FindScrollStarts(text_);
}

void CScrollPanel::Load() {
  if (!surface.IsCreated()) {
    if (!CreatePanelSurface(surface, kScrollWidth, kScrollHeight, 0, 0)) return;
    ClearPanelSurface(surface);
  }
  if (!restore_)
    restore_ = std::make_unique<CPanelRestoreCallback>([this] {
      if (flag) Compose();
    });
  surface.restorer = restore_.get();
}

void CScrollPanel::Release() {
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
  slide_.reset();
  flag = 0;
  Unregister(index);
}

void CScrollPanel::ShowScroll(int scroll) {
  flag = 1;
  current_ = scroll;
  Compose();
  const int x = PlaceX(), y = PlaceY();
  Register({x, y, x + kScrollWidth, y + kScrollHeight}, 1);
  slide_ = std::make_unique<CScrollSlide>(x, y, kScrollStartWidth, kScrollHeight);
  slide_->mode = kSlideAccelerate;
  slide_->step = kSlideSpeed;
  slide_->dwell = CSlidePanel::kDwellForever;
  slide_->sound = nullptr;
  visible_ = kScrollStartWidth;
  // However quickly the panel arrives, it unrolls in at least one frame.
  unrollStep_ = kUnrollDistance / std::max(slide_->CountFramesToTarget(), 1);
  g_panelSounds->Play(kScrollOpenSound, PanelPan(slide_->x, kScrollStartWidth, ScreenWidth()), &sound_);
}

void CScrollPanel::Compose() {
  if (!surface.IsCreated()) return;
  ClearPanelSurface(surface);
  surface.LoadBitmap("bitmaps\\scroll.bmp");
  if (current_ >= 0 && current_ < ScrollCount()) {
    SplitScroll(text_, starts_[static_cast<size_t>(current_)], heading_, body_);
  } else {
    heading_.clear();
    body_ = kUnknownScroll;
  }
  // The parchment is one page of the grimoire's composer: the heading centred at the top, the
  // body flowing beneath it. The scroll's own line breaks are kept.
  std::string composed;
  for (char c : body_) composed += c == '\n' ? std::string("~NL") : std::string(1, c);
  CRectQueue areas;
  areas.Push(kTextArea);
  CGrimoirePage composer;
  composer.font = font_ && font_->IsLoaded() ? font_ : &g_bodyFont;
  composer.headingFont = &g_headingFont;
  composer.textRed = 52, composer.textGreen = 34, composer.textBlue = 20;
  composer.SetText(composed.c_str());
  composer.SetPage(&areas, &surface);
  if (!heading_.empty()) composer.AddText(heading_.c_str());
  composer.RenderAll();
}

void CScrollPanel::Draw() {
  if (!flag) return;
  if (!slide_ || slide_->Step() == 0) {
    slide_.reset();
    flag = 0;
    RequestPanelRedraw();
    return;
  }
  visible_ = std::min(visible_ + unrollStep_, kScrollBodyColumns);
  DrawUnrolled();
  RequestPanelRedraw();
}

void CScrollPanel::DrawUnrolled() {
  const int screenWidth = ScreenWidth(), screenHeight = ScreenHeight();
  const bool keyed = g_prefs.transparentBlits != 0;
  // Copies columns [from, to) of the parchment to x, y of the back buffer, cut to the screen.
  auto copy = [&](int from, int to, int x, int y) {
    platform::Rect source{from, 0, to, kScrollHeight};
    if (x < 0) source.left -= x, x = 0;
    if (y < 0) source.top -= y, y = 0;
    source.right = std::min(source.right, source.left + screenWidth - x);
    source.bottom = std::min(source.bottom, source.top + screenHeight - y);
    if (source.left >= source.right || source.top >= source.bottom) return;
    if (keyed && g_deferBlits)
      surface.QueueBlit(0, &g_backBuffer, &source, x, y, 1);
    else if (keyed)
      surface.BlitRectToKeyed(&g_backBuffer, &source, x, y);
    else
      surface.BlitRectTo(&g_backBuffer, &source, x, y);
  };
  copy(0, visible_, slide_->x, slide_->y);
  copy(kScrollBodyColumns, kScrollWidth, slide_->x + visible_, slide_->y);
}

void CScrollPanel::OnMouse(int flags, CMouseEvent) {
  if (!(flags & MF_LEFT_UP) || !slide_) return;
  slide_->sound = &sound_;
  g_panelSounds->Play(kScrollCloseSound, PanelPan(slide_->x, kScrollStartWidth, ScreenWidth()), &sound_);
  // The window stops taking input (it stays in the table until the panel is released: the
  // table is being walked while this runs).
  Deactivate();
  // Back the way it came, until the whole parchment is off the screen.
  const bool fromLeft = slide_->x < PlaceX();
  slide_->targetX = fromLeft ? -(visible_ + kScrollWidth - kScrollBodyColumns) : ScreenWidth();
  slide_->step = kSlideSpeed;
  slide_->dwell = 0;
}
