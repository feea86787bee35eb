#include "battle/MessageScroll.h"

#include <algorithm>

#include "battle/PanelSounds.h"
#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Font.h"
#include "graphics/Pictures.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/ControlArt.h"

CMessageScroll g_messageScroll;
int g_suppressMessages = 0;

namespace {
constexpr const char* kPicture = "bitmaps\\smallscroll.bmp";
// A missing picture leaves a blank scroll of this size.
constexpr int kBlankWidth = 256, kBlankHeight = 48;
}  // namespace

void CMessageScroll::Load() {
  if (!messages_.Load("cfg\\messages.cfg") || messages_.Count() == 0) {
    platform::ShowMessageBox("Unable to load messages.cfg", "LOAD ERROR", WarningBoxFlags());
    platform::ExitProcess(1);
    return;
  }
  CDibBitmap picture;
  const bool loaded = picture.Load(kPicture);
  pictureWidth_ = loaded ? picture.Width() : kBlankWidth;
  pictureHeight_ = loaded ? picture.Height() : kBlankHeight;
  fullWidth_ = std::max(pictureWidth_ - kMessageEndColumns, 0);
  unrolled_ = kMessageEndColumns;
  if (!CreatePanelSurface(surface, pictureWidth_, pictureHeight_, kMessageScrollX, kMessageScrollY)) return;
  ClearPanelSurface(surface);
  Register({kMessageScrollX, kMessageScrollY, kMessageScrollX + pictureWidth_, kMessageScrollY + pictureHeight_}, 0);
  if (!restore_) restore_ = std::make_unique<CPanelRestoreCallback>([this] { ShowNext(); });
  surface.restorer = restore_.get();
}

void CMessageScroll::Release() {
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
  queue_.clear();
  framesLeft_ = 0;
  Unregister(index);
}

void CMessageScroll::ShowText(const char* text) {
  text_ = text ? text : "";
  framesLeft_ = kMessageFrames;
  unrolled_ = kMessageEndColumns;
  if (surface.IsCreated()) {
    ClearPanelSurface(surface);
    surface.LoadBitmap(kPicture);
    if (font_ && font_->IsLoaded()) {
      SurfacePrinting printing(&surface, {0, 0, pictureWidth_, pictureHeight_});
      if (printing)
        font_->PrintText(text_.c_str(), {kMessageEndColumns, 0, pictureWidth_ - kMessageEndColumns, pictureHeight_}, 60,
                         36, 16, kTextCentre | kTextCentreVertically | kTextWordWrap);
    }
  }
  if (index >= 0) active = 1;
  g_panelSounds->Play(kMessageScrollSound, PanelPan(kMessageScrollX, pictureWidth_, ScreenWidth()), nullptr);
  RequestPanelRedraw();
}

void CMessageScroll::ShowNamedMessage(const char* name, int message) {
  // The message's text is put in as it stands: a text from a file is never a format.
  const std::string text = std::string(name ? name : "") + " " + messages_.Get(message);
  ShowText(text.c_str());
}

void CMessageScroll::QueueMessage(int message) {
  if (Queued() >= kMessageQueueSize || g_suppressMessages) return;
  queue_.push_back(message);
  if (framesLeft_ <= 0) ShowNext();
}

void CMessageScroll::ShowNext() {
  if (queue_.empty()) return;
  const int message = queue_.front();
  queue_.pop_front();
  ShowText(messages_.Get(message));
}

void CMessageScroll::Dismiss() {
  framesLeft_ = 0;
  Deactivate();
  RequestPanelRedraw();
  ShowNext();
}

void CMessageScroll::Draw() {
  if (framesLeft_ <= 0) return;
  if (unrolled_ < fullWidth_) {
    const bool keyed = PanelKeyedAt(surface.y);
    CopyPanelRect(surface, {0, 0, unrolled_, pictureHeight_}, g_backBuffer, surface.x, surface.y, keyed);
    CopyPanelRect(surface, {fullWidth_, 0, pictureWidth_, pictureHeight_}, g_backBuffer, surface.x + unrolled_,
                  surface.y, keyed);
    unrolled_ = std::min(unrolled_ + kMessageUnrollStep, pictureWidth_);
  } else {
    DrawPanelSurface(surface);
  }
  RequestPanelRedraw();
  if (--framesLeft_ == 0) Dismiss();
}

void CMessageScroll::OnMouse(int flags, CMouseEvent) {
  if (!(flags & (MF_LEFT_UP | MF_RIGHT_UP)) || framesLeft_ <= 0) return;
  Dismiss();
}
