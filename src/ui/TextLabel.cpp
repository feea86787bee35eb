#include "ui/TextLabel.h"

#include "graphics/Font.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/ControlArt.h"

namespace {
// The rectangle relative to the surface, one pixel further right and down.
platform::Rect OnSurface(const platform::Rect& rect, const CSurface& surface) {
  return platform::Rect{rect.left - surface.x, rect.top - surface.y, rect.right - surface.x + 1,
                        rect.bottom - surface.y + 1};
}
}  // namespace

void CTextLabel::SetText(const char* newText) {
  hasText = newText != nullptr;
  text = newText ? newText : "";
}

void CTextLabel::SetNumber(int n) { SetText(std::to_string(n).c_str()); }

void CTextLabel::SetFlags(uint8_t flags) {
  textFlags = static_cast<uint8_t>(flags | kTextCentreVertically | kTextWordWrap);
}

void CTextLabel::Draw() {
  if (!surface) return;
  const platform::Rect area = OnSurface(rect, *surface);
  SurfacePrinting printing(surface);
  if (!printing || !hasText || !font) return;
  printing.SetClip(area);
  font->PrintText(text.c_str(), TextRect{area.left, area.top, area.right, area.bottom}, red, green, blue, textFlags);
}

int CPictureBox::Create(const platform::Rect& area, CSprite* image, int frameNumber) {
  rect = area;
  sprite = image;
  frame = frameNumber;
  return 1;
}

void CPictureBox::Draw() {
  if (frame == -1 || !surface) return;
  SurfacePrinting printing(surface, OnSurface(rect, *surface));
  if (!printing) return;
  PrintControlFrame(sprite, frame, rect.left - surface->x, rect.top - surface->y);
}

bool LoadPictureSprite(CSprite& sprite, const char* path) {
  if (path && sprite.Load(path, 2)) return true;
  ReportLoadError(path);
  return false;
}
