// The select bar's life and looks: loading its art, placing its buttons for the resolution,
// its surfaces and their display mode, and its drawing every frame.
#include "battle/SelectBar.h"

#include <cstdio>

#include "battle/PanelBattle.h"
#include "battle/SelectBarIcons.h"
#include "battle/WizardFacePanel.h"
#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

CSelectBar g_selectBar;

namespace {

constexpr int kBarWidth = 204;
constexpr int kBlockHeight = 140;
constexpr int kBlockTop = 460;  // at 800 x 600
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 44;
constexpr int kPopupStep = 48;
constexpr int kRowStep = 44;
constexpr int kSlotId = 100;
constexpr int kToggleId = 200;

// The toggle's frames: closed strip (normal, pressed, grey), open strip.
constexpr int kToggleClosed[3] = {0, 1, 0};
constexpr int kToggleOpen[3] = {2, 3, 2};

// Art the bar cannot work without ends the program.
void LoadEssentialSprite(CSprite& sprite, const char* path, const char* name) {
  if (sprite.IsLoaded() || sprite.Load(path, 2)) return;
  char text[64];
  std::snprintf(text, sizeof text, "Could not load %s", name);
  platform::ShowMessageBox(text, "INITIALISATION ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

}  // namespace

bool IsSummoningSpell(int spell) { return (spell >= 0 && spell < 27) || spell == 52 || spell == 54; }

CSelectBar::~CSelectBar() {
  for (CSelectButton& b : popup) b.FreeBackground();
  for (CSelectButton& b : slot) b.FreeBackground();
}

int CSelectBar::LeftEdge() { return g_prefs.isHighRes ? 596 : 436; }
int CSelectBar::BlockOffset() { return g_prefs.isHighRes ? 0 : -120; }

void CSelectBar::Init() {
  LoadEssentialSprite(iconSprite, "sprites\\SplIcons.spr", "SplIcons.spr");
  LoadEssentialSprite(toggleSprite, "sprites\\Selbut.spr", "Selbut.spr");
  PlaceButtons(true);
}

void CSelectBar::CreateCallbacks() {
  for (int i = 0; i < kPopupButtons; ++i) {
    callbacks_[2 * i] = std::make_unique<CFunctionCallback>([this, i](int) { ClickPopup(i, false); });
    callbacks_[2 * i + 1] = std::make_unique<CFunctionCallback>([this, i](int) { ClickPopup(i, true); });
  }
  for (int i = 0; i < kSlotButtons; ++i)
    callbacks_[2 * kPopupButtons + i] = std::make_unique<CFunctionCallback>([this, i](int) { ClickSlot(i); });
  callbacks_[2 * kPopupButtons + kSlotButtons] = std::make_unique<CFunctionCallback>([this](int) { TogglePopup(); });
}

void CSelectBar::PlaceButtons(bool firstTime) {
  if (firstTime && !callbacks_[0]) CreateCallbacks();
  const int left = LeftEdge(), y = BlockOffset();
  auto place = [&](CControl& button, int id, const platform::Rect& r, CCallback* onLeft, CCallback* onRight) {
    if (firstTime || button.index == -1) {
      // Registered at program start, taking no input until a battle shows the bar.
      button.Create(id, r, onLeft, onRight, 0);
      button.clickSound = kSelectBarClickSound;
    } else {
      button.Register(r, button.active);
    }
  };
  const platform::Rect slotRects[kSlotButtons] = {{left + 42, 550 + y, left + 82, 594 + y},
                                                  {left + 14, 506 + y, left + 54, 550 + y},
                                                  {left + 42, 464 + y, left + 82, 508 + y}};
  for (int i = 0; i < kSlotButtons; ++i) {
    place(slot[i], kSlotId + i, slotRects[i], callbacks_[2 * kPopupButtons + i].get(), nullptr);
    slot[i].SetSurface(&barSurface);
    slot[i].SetFrameSprite(&iconSprite);
  }
  place(toggle, kToggleId, {left, 556 + y, left + 36, 596 + y}, callbacks_[2 * kPopupButtons + kSlotButtons].get(),
        nullptr);
  toggle.SetSurface(&barSurface);
  toggle.SetFrameSprite(&toggleSprite);
  if (firstTime) toggle.SetFrames(kToggleClosed[0], kToggleClosed[1], kToggleClosed[2]);
  // The strip fills leftward; a button whose left edge would fall below 4 starts a new row
  // 44 pixels higher, odd rows half a button in, so that the rows interlock.
  int x = left - 44, row = 0;
  for (int i = 0; i < kPopupButtons; ++i) {
    if (x < 4) {
      ++row;
      x = left - (row % 2 ? 68 : 44);
    }
    const int top = 550 - kRowStep * row + y;
    place(popup[i], i, {x, top, x + kButtonWidth, top + kButtonHeight}, callbacks_[2 * i].get(),
          callbacks_[2 * i + 1].get());
    popup[i].SetSurface(&popupSurface);
    popup[i].SetFrameSprite(&iconSprite);
    x -= kPopupStep;
  }
  if (firstTime) {
    // Empty until filled: not painted, no input.
    for (CSelectButton& b : popup) ClearEntry(b);
    for (CSelectButton& b : slot) ClearEntry(b);
  }
  placed_ = true;
}

void CSelectBar::Load() {
  const int left = LeftEdge(), top = kBlockTop + BlockOffset();
  // A change of resolution changes the strip's width: the surfaces are made again.
  if (popupSurface.IsCreated() && popupSurface.width != left) {
    for (CSelectButton& b : popup) b.FreeBackground();
    for (CSelectButton& b : slot) b.FreeBackground();
    popupSurface.Release();
    barSurface.Release();
    stripBorder.Release();
  }
  CreatePanelSurface(barSurface, kBarWidth, kBlockHeight, left, top);
  CreatePanelSurface(popupSurface, left, kBlockHeight, 0, top);
  CreatePanelSurface(stripBorder, left, kBlockHeight, 0, top);
  PlaceButtons(!placed_);
  if (!restore_) restore_ = std::make_unique<CPanelRestoreCallback>([this] { RestoreSurfaces(); });
  barSurface.restorer = restore_.get();
  popupSurface.restorer = restore_.get();
  shown = true;
  ApplyDisplayMode();
  BuildSpellPopup();
}

void CSelectBar::RestoreSurfaces() {
  const int top = kBlockTop + BlockOffset();
  barSurface.x = LeftEdge();
  barSurface.y = top;
  popupSurface.x = 0;
  popupSurface.y = top;
  stripBorder.x = 0;
  stripBorder.y = top;
  ApplyDisplayMode();
}

void CSelectBar::Release() {
  HideAll();
  for (CSelectButton& b : popup) {
    b.Deactivate();
    b.FreeBackground();
  }
  for (CSelectButton& b : slot) {
    b.Deactivate();
    b.FreeBackground();
  }
  toggle.Deactivate();
  barSurface.restorer = nullptr;
  popupSurface.restorer = nullptr;
  barSurface.Release();
  popupSurface.Release();
  stripBorder.Release();
  restore_.reset();
  wizard_ = -1;
  shown = false;
  locked = false;
  popupOpen = false;
  toggle.SetFrames(kToggleClosed[0], kToggleClosed[1], kToggleClosed[2]);
  spellWarningShown_ = false;
  ResetEntries();
}

void CSelectBar::ApplyDisplayMode() {
  if (!barSurface.IsCreated() || !popupSurface.IsCreated()) return;
  if (g_prefs.windowSize) {
    // The reduced view: the block stands on opaque border art (black where it is missing).
    const int width = g_prefs.isHighRes ? 800 : 640, height = g_prefs.isHighRes ? 600 : 480;
    char path[64];
    popupSurface.Fill(0);
    barSurface.Fill(0);
    std::snprintf(path, sizeof path, "bitmaps\\border%ix%i-1.bmp", width, height);
    popupSurface.LoadBitmap(path);
    if (stripBorder.IsCreated()) {
      stripBorder.Fill(0);
      stripBorder.LoadBitmap(path);
    }
    std::snprintf(path, sizeof path, "bitmaps\\border%ix%i-2.bmp", width, height);
    barSurface.LoadBitmap(path);
    HideToggle();
  } else {
    ClearPanelSurface(popupSurface);
    ClearPanelSurface(barSurface);
    if (!locked) ShowToggle();
  }
  SaveBackgrounds();
  RedrawAll();
  g_wizardFacePanel.RedrawHealthGauge();
  RequestPanelRedraw();
}

void CSelectBar::SaveBackgrounds() {
  for (CSelectButton& b : popup) b.SaveBackground();
  for (CSelectButton& b : slot) b.SaveBackground();
}

void CSelectBar::RedrawAll() {
  // The surfaces were painted afresh and every background saved from them: drawing is
  // enough, and erasing a button of an upper row would cut into the row below.
  for (CSelectButton& b : popup) b.Draw();
  for (int i = 0; i < slotsInUse; ++i) slot[i].Draw();
  DrawToggle();
}

namespace {

bool Overlap(const platform::Rect& a, const platform::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// What a button touches when it is erased and painted: its rectangle widened by 4 pixels on
// the left, 5 on the right and 4 below.
platform::Rect Reach(const CControl& button) {
  const platform::Rect r = button.rect;
  return {r.left - 4, r.top, r.right + 5, r.bottom + 4};
}

}  // namespace

void CSelectBar::Repaint(CSelectButton& button) {
  button.Erase();
  button.Draw();
  // A button of an upper row reaches down over the tops of the one or two buttons below it
  // (odd rows stand half a button in): they are painted again over what the erasing cut.
  if (&button < popup || &button >= popup + kPopupButtons) return;
  const platform::Rect reach = Reach(button);
  for (CSelectButton& below : popup)
    if (&below != &button && below.rect.top > button.rect.top && Overlap(reach, below.rect)) below.Draw();
}

void CSelectBar::Unmark(CSelectButton& button) {
  button.highlight = kPanelPlain;
  Repaint(button);
}

void CSelectBar::DrawToggle() {
  if (!barSurface.IsCreated()) return;
  toggle.Draw();
  RequestPanelRedraw();
}

void CSelectBar::SetToggleOpen(bool open) {
  const int* frames = open ? kToggleOpen : kToggleClosed;
  toggle.SetFrames(frames[0], frames[1], frames[2]);
  DrawToggle();
}

void CSelectBar::ShowToggle() {
  toggle.state = kStateNormal;
  toggle.active = toggle.index != -1 ? 1 : 0;
  DrawToggle();
}

void CSelectBar::HideToggle() {
  // Hidden: drawn in grey, no input.
  toggle.Deactivate();
  toggle.state = kStateGreyed;
  DrawToggle();
}

void CSelectBar::Draw() {
  if (!locked) {
    StepBlink();
    StepRemovals();
  }
  DrawPanelSurface(barSurface);
  if (popupOpen)
    DrawPanelSurface(popupSurface);
  else if (g_prefs.windowSize)
    DrawPanelSurface(stripBorder);  // the reduced view's panel is never left to the map's leftovers
}

void CSelectBar::StepBlink() {
  blink = blink >= spl_icons::kMarkFrames - 1 ? 0 : blink + 1;
  const int mark = spl_icons::kMark + blink;
  if (selectedPopup >= 0 && selectedPopup < kPopupButtons) {
    popup[selectedPopup].overlayFrames[1] = mark;
    Repaint(popup[selectedPopup]);
  }
  if (selectedSlot >= 0 && selectedSlot < kSlotButtons) {
    slot[selectedSlot].overlayFrames[1] = mark;
    Repaint(slot[selectedSlot]);
  }
}

bool CSelectBar::GetSelectedRects(platform::Rect& popupRect, platform::Rect& slotRect) const {
  if (selectedPopup < 0 || selectedSlot < 0) return false;
  popupRect = popup[selectedPopup].rect;
  slotRect = slot[selectedSlot].rect;
  return true;
}

void CSelectBar::ShowAll() {
  for (int i = 0; i < slotsInUse; ++i) slot[i].Show();
  if (!g_prefs.windowSize) ShowToggle();
  if (popupOpen)
    for (int i = 0; i < popupCount; ++i) popup[i].Show();
}

void CSelectBar::HideAll() {
  for (int i = 0; i < slotsInUse; ++i) slot[i].Hide();
  toggle.Deactivate();
  for (int i = 0; i < popupCount; ++i) popup[i].Hide();
}
