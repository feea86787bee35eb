#include "battle/SpotIcons.h"

#include <algorithm>

#include "core/ErrorBox.h"
#include "core/Preferences.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "map/MapView.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "ui/ControlArt.h"

CSpotIcons g_spotIcons;

namespace {
constexpr int kTop = 100;
constexpr int kColumnBottom = 280;
}  // namespace

// An icon's window: its click goes to the column.
class CSpotIcons::Button : public CFlatWin {
 public:
  Button(CSpotIcons* owner, int icon) : owner_(owner), icon_(icon) {}
  void OnMouse(int flags, CMouseEvent) override {
    if (flags & MF_LEFT_UP) owner_->OnIconClick(icon_);
  }

 private:
  CSpotIcons* owner_;
  int icon_;
};

CSpotIcons::CSpotIcons() {
  for (int i = 0; i < kSpotIconCount; ++i) buttons_[i] = std::make_unique<Button>(this, i);
}

CSpotIcons::~CSpotIcons() = default;

int CSpotIcons::IconFrame(int type, int kind) {
  int frame = IsWizardType(type) ? 23 : kind == 2 ? 26 : std::clamp(type - 1, 0, 27);
  if (kind == 0) frame += 28;
  return frame;
}

int CSpotIcons::SurfaceX() const { return g_prefs.isHighRes ? 728 : 568; }

void CSpotIcons::Layout() {
  int x = SurfaceX() + kSpotIconSize, y = kTop;
  for (Icon& icon : icons_) {
    if (y + kSpotIconSize > kColumnBottom) {
      x -= kSpotIconSize;
      y = kTop;
    }
    icon.rect = {x, y, x + kSpotIconSize, y + kSpotIconSize};
    y += kSpotIconSize;
  }
}

void CSpotIcons::Load() {
  if (!sprite.IsLoaded() && !sprite.Load("sprites\\SpotIcons.spr", 2)) {
    platform::ShowMessageBox("Could not load SpotIcons.spr", "INITIALISATION ERROR", WarningBoxFlags());
    platform::ExitProcess(1);
    return;
  }
  Layout();
  const bool created = surface.IsCreated();
  if (!CreatePanelSurface(surface, kSpotIconsWidth, kSpotIconsHeight, SurfaceX(), kTop)) return;
  if (!created) ClearPanelSurface(surface);
  if (!restore_)
    restore_ = std::make_unique<CPanelRestoreCallback>([this] {
      surface.x = SurfaceX();
      surface.y = kTop;
      Repaint();
    });
  surface.restorer = restore_.get();
  Repaint();
}

void CSpotIcons::Release() {
  for (int i = 0; i < kSpotIconCount; ++i) {
    Clear(i);
    buttons_[i]->Unregister(buttons_[i]->index);
  }
  order_.clear();
  greyed_ = false;
  surface.restorer = nullptr;
  restore_.reset();
  surface.Release();
  sprite.Free();
}

void CSpotIcons::Draw() {
  if (shownAll_ && !order_.empty()) DrawPanelSurface(surface);
}

CSpotIcons::Kept CSpotIcons::Keep() const {
  Kept kept;
  for (int i = 0; i < kSpotIconCount; ++i) kept.icons[i] = icons_[i];
  kept.order = order_;
  kept.greyed = greyed_;
  return kept;
}

void CSpotIcons::Restore(const Kept& kept) {
  for (int i = 0; i < kSpotIconCount; ++i) {
    const platform::Rect rect = icons_[i].rect;  // laid out for the resolution now in use
    icons_[i] = kept.icons[i];
    icons_[i].rect = rect;
    if (icons_[i].shown) buttons_[i]->Register(rect, shownAll_ ? 1 : 0);
  }
  order_ = kept.order;
  greyed_ = kept.greyed;
  Repaint();
}

int CSpotIcons::AddCreature(int creature, int kind) {
  if (kind == 1)
    for (int i = 0; i < kSpotIconCount; ++i)
      if (icons_[i].shown && icons_[i].creature == creature) return i;
  int slot = -1;
  if (static_cast<int>(order_.size()) < kSpotIconCount) {
    for (int i = 0; i < kSpotIconCount && slot < 0; ++i)
      if (!icons_[i].shown) slot = i;
  }
  if (slot < 0) {
    slot = order_.front();
    Clear(slot);
  }
  const CCreature* record = g_creatureArray.At(creature);
  const int type = record ? record->typeNumber : 1;
  Icon& icon = icons_[slot];
  icon.creature = creature;
  icon.kind = kind;
  icon.frame = IconFrame(type, kind);
  icon.tooltip = TooltipId(type, kind);
  icon.framesLeft = kSpotIconFrames;
  icon.shown = true;
  order_.push_back(slot);
  buttons_[slot]->Register(icon.rect, shownAll_ ? 1 : 0);
  Repaint();
  return slot;
}

void CSpotIcons::Clear(int slot) {
  Icon& icon = icons_[slot];
  icon.creature = -1;
  icon.framesLeft = 0;
  icon.shown = false;
  order_.erase(std::remove(order_.begin(), order_.end(), slot), order_.end());
  if (buttons_[slot]->index >= 0) buttons_[slot]->Deactivate();
}

void CSpotIcons::RemoveCreature(int creature) {
  bool changed = false;
  for (int i = 0; i < kSpotIconCount; ++i)
    if (icons_[i].shown && icons_[i].creature == creature) {
      Clear(i);
      changed = true;
    }
  if (changed) Repaint();
}

void CSpotIcons::Tick() {
  if (greyed_) return;
  bool changed = false;
  for (int i = 0; i < kSpotIconCount; ++i) {
    if (!icons_[i].shown) continue;
    if (--icons_[i].framesLeft > 0) continue;
    Clear(i);
    changed = true;
  }
  if (changed) Repaint();
}

void CSpotIcons::Repaint() {
  if (!surface.IsCreated()) return;
  ClearPanelSurface(surface);
  {
    SurfacePrinting printing(&surface);
    if (!printing) return;
    for (const Icon& icon : icons_)
      if (icon.shown) PrintControlFrame(&sprite, icon.frame, icon.rect.left - surface.x, icon.rect.top - surface.y);
  }
  if (greyed_) surface.GreyRect(0, 0, 255, nullptr);
  RequestPanelRedraw();
}

void CSpotIcons::Grey() {
  if (greyed_) return;
  greyed_ = true;
  if (surface.IsCreated()) surface.GreyRect(0, 0, 255, nullptr);
  RequestPanelRedraw();
}

void CSpotIcons::Ungrey() {
  greyed_ = false;
  Repaint();
}

void CSpotIcons::ShowAll() {
  shownAll_ = true;
  for (int i = 0; i < kSpotIconCount; ++i)
    if (icons_[i].shown) buttons_[i]->Register(icons_[i].rect, 1);
  RequestPanelRedraw();
}

void CSpotIcons::HideAll() {
  shownAll_ = false;
  for (int i = 0; i < kSpotIconCount; ++i)
    if (buttons_[i]->index >= 0) buttons_[i]->Deactivate();
  RequestPanelRedraw();
}

void CSpotIcons::OnIconClick(int slot) {
  if (slot < 0 || slot >= kSpotIconCount || !icons_[slot].shown) return;
  const CCreature* record = g_creatureArray.At(icons_[slot].creature);
  if (!record || !record->inUse) return;
  if (g_mapView.levelMode == 0 && g_mapView.MapLevels() > 0)
    g_mapView.levelsShown = std::clamp(record->level + 1, 1, g_mapView.MapLevels());
  g_mapView.FocusOnCreature(record->index);
}
