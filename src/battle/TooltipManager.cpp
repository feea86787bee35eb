#include "battle/TooltipManager.h"

#include <algorithm>
#include <cctype>

#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "graphics/PixelFormat.h"
#include "graphics/Sprite.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/Control.h"
#include "ui/ControlArt.h"
#include "ui/Flatwin.h"
#include "ui/SharedArt.h"

CTooltipManager g_tooltipManager;

namespace {

constexpr int kPadding = 10;       // added to the text's width
constexpr int kBelowPointer = 20;  // the box's top under the pointer
constexpr uint16_t kTealIn555 = 264, kTealIn565 = 520;

CTooltipControlHooks g_tooltipControlHooks;

}  // namespace

int LastGlyphOverhang(const CFont& font) {
  int widest = 0;
  for (int line = 0; line < font.LineCount(); ++line) {
    const char* start = font.LineStart(line);
    int length = font.LineLength(line);
    while (length > 0 && std::isspace(static_cast<unsigned char>(start[length - 1]))) --length;
    const CSpriteFrame glyph = length > 0 ? font.Glyph(start[length - 1]) : CSpriteFrame();
    if (glyph) widest = std::max(widest, glyph.Width());
  }
  return widest;
}

void InstallTooltipControlHooks() { g_controlHooks.Install(&g_tooltipControlHooks); }

void InitTooltips() {
  g_tooltipManager.SetFont(&g_smallFont);
  g_tooltipManager.Init();
  g_tooltipManager.LoadTexts("cfg\\tooltips.cfg");
  g_tooltipManager.Enable(0);
  InstallTooltipControlHooks();
}

void CTooltipManager::SetFont(CFont* newFont) {
  font = newFont;
  if (font && font->GetLineHeight() > 0) lineHeight = font->GetLineHeight();
}

void CTooltipManager::CreateSurface() {
  if (surface.IsCreated()) return;
  if (!CreatePanelSurface(surface, maxWidth, kTooltipMaxLines * lineHeight + 4, 0, 0)) return;
  surface.Fill(kPanelKeyColour);
  surface.SetColourKey(0, 0, 255);
}

void CTooltipManager::Init() { CreateSurface(); }

void CTooltipManager::Load() {
  CreateSurface();
  if (!restore_) restore_ = std::make_unique<CPanelRestoreCallback>([this] { RestartHoverTimer(); });
  surface.restorer = restore_.get();
}

void CTooltipManager::Release() {
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
  flag = 0;
  pending = false;
}

void CTooltipManager::LoadTexts(const char* file) {
  texts.Free();
  if (texts.Load(file) && texts.Count() > 0) return;
  platform::ShowMessageBox("Unable to load tooltips.cfg", "LOAD ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

void CTooltipManager::AllocateTexts(int n) {
  texts.Free();
  if (n >= 0 && texts.Allocate(n)) return;
  platform::ShowMessageBox("Unable to allocate memory for tooltips", "MEMORY ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

void CTooltipManager::ShowText(int index) {
  if (index < 0 || index >= texts.Count()) return;
  ShowForControl(texts.Get(index));
}

void CTooltipManager::ShowForControl(const char* text) {
  if (flag || !text || !text[0] || !font || !font->IsLoaded()) return;
  const uint8_t flags = kTextCentre | kTextWordWrap;
  const TextRect layout{0, 0, maxWidth, kTooltipMaxLines * lineHeight * 4};
  const int measured = font->MeasureText(text, layout, flags), overhang = LastGlyphOverhang(*font);
  const int width = std::min(measured + overhang + kPadding, maxWidth);
  const int lines = std::clamp(font->LineCount(), 1, kTooltipMaxLines);
  const int height = lines * lineHeight + 4;
  boxWidth = width;
  boxHeight = height;
  boxRect = {0, 0, width, height};
  PaintBox(width, height);
  {
    SurfacePrinting printing(&surface, boxRect);
    // Only the first eight lines fit: the rectangle ends below the last of them.
    // Centred as measured, the last glyph standing out by the overhang.
    if (printing) font->PrintText(text, {0, 2, width - overhang, 2 + lines * lineHeight}, 255, 244, 214, flags);
  }
  const uint32_t now = platform::TickCount();
  const bool quick = hiddenAfterShowing_ && now - timeStamp <= static_cast<uint32_t>(g_prefs.tooltipQuickDelay);
  timeStamp = quick ? now : now + static_cast<uint32_t>(g_prefs.tooltipLongDelay);
  pending = true;
}

void CTooltipManager::PaintBox(int width, int height) {
  CSprite* frames = frameSprite ? frameSprite : &g_borderSprite;
  const bool framed = frameStyle >= 0 && frames->IsLoaded() && frames->FrameCount() >= 9 * frameStyle + 9;
  if (framed) {
    TileFrames(frameStyle, width, height);
    return;
  }
  surface.Fill(0);
  const platform::Rect inside{1, 1, width - 1, height - 1};
  surface.FillRect(&inside, g_is555 ? kTealIn555 : kTealIn565);
}

void CTooltipManager::TileFrames(int style, int width, int height) {
  CSprite* frames = frameSprite ? frameSprite : &g_borderSprite;
  SurfacePrinting printing(&surface, {0, 0, width, height});
  if (!printing) return;
  const int base = 9 * style;
  auto w = [&](int f) { return std::max(ControlFrameWidth(frames, base + f), 1); };
  auto h = [&](int f) { return std::max(ControlFrameHeight(frames, base + f), 1); };
  for (int y = 0; y < height; y += h(8))
    for (int x = 0; x < width; x += w(8)) PrintControlFrame(frames, base + 8, x, y);
  for (int x = 0; x < width; x += w(4)) PrintControlFrame(frames, base + 4, x, 0);
  for (int x = 0; x < width; x += w(6)) PrintControlFrame(frames, base + 6, x, height - h(6));
  for (int y = 0; y < height; y += h(7)) PrintControlFrame(frames, base + 7, 0, y);
  for (int y = 0; y < height; y += h(5)) PrintControlFrame(frames, base + 5, width - w(5), y);
  PrintControlFrame(frames, base + 0, 0, 0);
  PrintControlFrame(frames, base + 1, width - w(1), 0);
  PrintControlFrame(frames, base + 2, 0, height - h(2));
  PrintControlFrame(frames, base + 3, width - w(3), height - h(3));
}

void CTooltipManager::Update() {
  if (pending && static_cast<int32_t>(platform::TickCount() - timeStamp) >= 0) {
    const CMouseEvent& pointer = LatestMouseEvent();
    const int screenWidth = ScreenWidth(), screenHeight = ScreenHeight();
    int top = pointer.y + kBelowPointer;
    if (top + boxHeight > screenHeight) top = pointer.y - boxHeight;
    const int left = std::clamp(pointer.x - boxWidth / 2, 0, std::max(screenWidth - boxWidth, 0));
    screenRect = {left, top, left + boxWidth, top + boxHeight};
    pending = false;
    flag = 1;
  }
  if (!flag || !surface.IsCreated()) return;
  if (g_deferBlits)
    surface.QueueBlit(2, &g_backBuffer, &boxRect, screenRect.left, screenRect.top, 2);
  else
    surface.BlitRectTo(&g_backBuffer, &boxRect, screenRect.left, screenRect.top);
}

void CTooltipManager::RestartHoverTimer() {
  hiddenAfterShowing_ = flag != 0;
  timeStamp = hiddenAfterShowing_ ? platform::TickCount() : 0;
  flag = 0;
  pending = false;
  RequestPanelRedraw();
}
