#include "battle/MessagePanel.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "battle/MessageScroll.h"
#include "battle/SpotIcons.h"
#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/ControlArt.h"
#include "ui/SharedArt.h"

CMessagePanel g_messagePanel;

namespace {
constexpr int kPanelX = 56;
int RoundUpTo4(int value) { return (value + 3) & ~3; }
}  // namespace

void CMessagePanel::SetFont(CFont* font) {
  font_ = font;
  lineHeight_ = font && font->GetLineHeight() > 0 ? font->GetLineHeight() : 0;
  lineCount_ = lineHeight_ > 0 ? kMessagePanelHeight / lineHeight_ : 0;
  lines_.assign(static_cast<size_t>(lineCount_), Line{});
}

void CMessagePanel::CreateSurface() {
  const bool created = surface.IsCreated();
  if (!CreatePanelSurface(surface, kMessagePanelWidth, kMessagePanelHeight, kPanelX, 0)) return;
  if (!created) ClearPanelSurface(surface);
}

void CMessagePanel::Init() {
  CreateSurface();
  flag = 1;
}

void CMessagePanel::Load() {
  CreateSurface();
  flag = 1;
  for (Line& line : lines_) line.framesLeft = 0;
}

void CMessagePanel::Release() { surface.Release(); }

void CMessagePanel::LoadMessages() {
  if (messages_.Load("cfg\\messages.cfg") && messages_.Count() > 0) return;
  platform::ShowMessageBox("Unable to load messages.cfg", "LOAD ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

void CMessagePanel::PrintLine(const char* text, int line, int frames) {
  if (!InRange(line) || !flag || !surface.IsCreated()) return;
  const int top = line * lineHeight_;
  const platform::Rect band{0, top, kMessagePanelWidth, top + lineHeight_};
  surface.FillRect(&band, g_prefs.transparentBlits ? kPanelKeyColour : 0);
  int width = 0;
  if (font_ && font_->IsLoaded() && text) {
    SurfacePrinting printing(&surface, band);
    if (printing) {
      const TextRect rect{0, top, kMessagePanelWidth, top + lineHeight_};
      // The pen stands where the last glyph is printed; its ink reaches its width further.
      TextPoint pen;
      font_->PrintText(text, rect, 255, 220, 40, kTextLeft, &pen);
      const CSpriteFrame last = *text ? font_->Glyph(text[std::strlen(text) - 1]) : CSpriteFrame{};
      width = std::min(pen.x + (last.data ? last.Width() : 0), kMessagePanelWidth);
    }
  }
  Line& l = lines_[static_cast<size_t>(line)];
  l.framesLeft = frames < 1 ? 1 : frames;
  l.rect = {0, top, std::min(RoundUpTo4(width), kMessagePanelWidth), top + lineHeight_};
  const int middle = g_prefs.isHighRes ? 400 : 320;
  l.screenX = RoundUpTo4(middle - width / 2);
  RequestPanelRedraw();
}

void CMessagePanel::DrawFps(int fps, int second) {
  if (!frameRateLines) return;
  std::string text = "FPS : " + std::to_string(fps);
  if (second != -1) text += " : " + std::to_string(second);
  PrintLine(text.c_str(), lineCount_ - 2, kDebugLineFrames);
}

void CMessagePanel::DrawSpriteCount(int count) {
  if (!frameRateLines) return;
  PrintLine(("Sprites printed: " + std::to_string(count)).c_str(), lineCount_ - 2, kDebugLineFrames);
}

void CMessagePanel::PrintDebugLine(const char* text) {
  if (!frameRateLines) return;
  PrintLine(text, lineCount_ - 1, kDebugLineFrames);
}

void CMessagePanel::Draw() {
  if (!surface.IsCreated()) return;
  const int drop = g_prefs.windowSize ? 12 : 0;
  for (Line& line : lines_) {
    if (line.framesLeft <= 0) continue;
    if (line.rect.right > line.rect.left)
      CopyPanelRect(surface, line.rect, g_backBuffer, line.screenX, line.rect.top + drop,
                    PanelKeyedAt(line.rect.top + drop));
    --line.framesLeft;
  }
}

void InitMessagePanels() {
  g_messagePanel.SetFont(&g_yellowFont);
  g_messagePanel.LoadMessages();
  g_messagePanel.Init();
  g_messageScroll.SetFont(&g_smallFont);
  g_spotIcons.Load();
}
