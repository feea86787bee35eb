#include "ui/ControlArt.h"

#include <cstdio>
#include <vector>

#include "core/ErrorBox.h"
#include "graphics/Frame16.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "graphics/Surface.h"
#include "platform/MessageBox.h"

SurfacePrinting::SurfacePrinting(CSurface* surface) : surface_(surface) {
  if (surface_) pixels_ = surface_->Lock();
  if (!pixels_) return;
  SetSpriteTarget(pixels_, surface_->pitch / 2, surface_->height);
  SetSpriteClipRect(0, 0, surface_->width, surface_->height);
}

SurfacePrinting::SurfacePrinting(CSurface* surface, const platform::Rect& clip) : SurfacePrinting(surface) {
  SetClip(clip);
}

SurfacePrinting::~SurfacePrinting() {
  if (pixels_) surface_->Unlock(pixels_);
}

void SurfacePrinting::SetClip(const platform::Rect& clip) {
  if (pixels_) SetSpriteClipRect(clip.top, clip.left, clip.right, clip.bottom);
}

void PrintControlFrame(const CSprite* sprite, int frame, int x, int y, bool grey) {
  if (!sprite || !sprite->IsLoaded() || sprite->FrameCount() == 0 || !g_spriteTarget) return;
  const CSpriteFrame image = sprite->GetFrame(frame);
  if (!image) return;
  if (!grey) {
    PrintSpriteFrame(image, x, y, 0, 0);
    return;
  }
  if (image.Is16Bit()) {
    PrintFrame16Grey(image, x, y);
    return;
  }
  // An 8-bit frame is shaded into a 16-bit copy first, which the grey printer takes.
  std::vector<uint8_t> copy(ShadedFrameSize(image));
  if (ShadeFrameToCache(image, copy.data(), copy.size(), 0, 0) != 0) return;
  PrintFrame16Grey(CSpriteFrame{copy.data(), nullptr}, x, y);
}

int ControlFrameWidth(const CSprite* sprite, int frame) {
  if (!sprite || !sprite->IsLoaded() || sprite->FrameCount() == 0) return 0;
  return sprite->GetFrame(frame).Width();
}

int ControlFrameHeight(const CSprite* sprite, int frame) {
  if (!sprite || !sprite->IsLoaded() || sprite->FrameCount() == 0) return 0;
  return sprite->GetFrame(frame).Height();
}

void ReportLoadError(const char* name) {
  char text[300];
  std::snprintf(text, sizeof text, "Unable to load file: %.256s", name ? name : "");
  platform::ShowMessageBox(text, "LOAD ERROR", WarningBoxFlags());
}

CSprite* SharedControlSprite::Acquire() {
  if (users_++ == 0 && !sprite_.Load(path_, 2)) ReportLoadError(path_);
  return &sprite_;
}

void SharedControlSprite::Release() {
  if (users_ > 0 && --users_ == 0) sprite_.Free();
}
