#include "frontend/SpellBox.h"

#include <algorithm>
#include <cstdio>

#include "battle/TooltipManager.h"
#include "core/ErrorBox.h"
#include "core/StringTable.h"
#include "creatures/SpellDefinition.h"
#include "frontend/FrontEndMagic.h"
#include "frontend/Grimoire.h"
#include "frontend/SpellBoxLayout.h"
#include "graphics/Display.h"
#include "platform/Messages.h"
#include "ui/ControlArt.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/SharedArt.h"

CSpellBoxScreen* g_spellBox = nullptr;

namespace {

constexpr const char* kFolder = "Interface\\SpellBox\\";
constexpr int kIconSpellBase = 2;  // frame = spell + 2
// The empty talisman of a column in Talisman.spr: Law 0, Neutral 1, and Vrask 106, since its
// usual number 2 is spell 0's. The spell icons show an empty socket (frame 0).
constexpr int kEmptyTalismanFrame[3] = {0, 1, 106};
constexpr int kEmptyIconFrame = 0;
constexpr int kCostFrameBase = 95;  // the cost overlay: min(cost / 4 + 95, 127)
constexpr int kCostFrameLast = 127;
constexpr int kPanelX[2] = {660, 500};  // where the countdown shows

using spell_box_layout::ColumnRect;
using spell_box_layout::IconRect;
using spell_box_layout::kLayouts;  // 800 x 600, then 640 x 480
using spell_box_layout::Layout;
using spell_box_layout::PoolRect;

int Area(const platform::Rect& r) { return std::max(0, r.right - r.left) * std::max(0, r.bottom - r.top); }

bool Meet(const platform::Rect& a, const platform::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

platform::Rect Combined(const platform::Rect& a, const platform::Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

const char* const kTalismanNames[3] = {"Talisman Of Law", "Talisman Of Neutrality", "Talisman Of Vrask"};

int SpellOf(int item, int column) { return item >= 0 ? FrontEndMagic().ItemSpell(item, column) : -1; }

std::string SpellName(int spell) {
  return spell >= 0 && spell < kSpellCount ? g_spellDefs[spell].TextName : std::string();
}

constexpr size_t kTooltipSlotSize = 256;  // a slot of the tooltip manager's allocated table

void LoadSprite(CSprite& sprite, const std::string& path) {
  if (!sprite.Load(path.c_str(), 2)) ShowFileLoadError(path.c_str());
}

void CountDownTick(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
  if (g_spellBox) g_spellBox->CountDown();
}

}  // namespace

// A column slot (column 0-2) or a pool slot (column -1): it holds an item and passes presses
// and releases to the screen. Releases go to the slot under the pointer, not to the one pressed.
class CSpellBoxScreen::Slot : public CControl {
 public:
  Slot(CSpellBoxScreen& screen, int column, int index) : column(column), index(index), screen_(screen) {
    capturesMouse = 0;
  }
  int IsTransparentAt(int, int) override { return 0; }
  void OnMouse(int flags, CMouseEvent event) override {
    if (flags & (MF_LEFT_DOWN | MF_LEFT_UP | MF_LEAVE)) RestartTooltipTimer();
    // A move over the slot brings a tooltip back after a click, without putting off one that
    // is already on its way.
    const bool waiting = g_tooltipManager.Shown() || g_tooltipManager.Pending();
    if ((flags & MF_ENTER) || ((flags & MF_MOVE) && !waiting)) ShowControlTooltip(tooltipId);
    if (flags & MF_LEFT_DOWN) screen_.Pick(*this);
    if (flags & MF_LEFT_UP) screen_.DropOn(*this);
  }
  void Draw() override {
    SurfacePrinting printing(&g_backBuffer);
    if (!printing) return;
    if (column >= 0) {
      const int spell = SpellOf(item, column);
      PrintControlFrame(&screen_.talismanSprite_, spell >= 0 ? spell + kIconSpellBase : kEmptyTalismanFrame[column],
                        rect.left, rect.top);
    } else if (item >= 0) {
      PrintControlFrame(&screen_.itemSprite_, item, rect.left, rect.top);
    }
  }
  void Erase() override {}

  int column;
  int index;
  int item = -1;

 private:
  CSpellBoxScreen& screen_;
};

// The whole box under the slots: a release there, with an item held, drops it near where it is.
class CSpellBoxScreen::Box : public CFlatWin {
 public:
  explicit Box(CSpellBoxScreen& screen) : screen_(screen) { capturesMouse = 0; }
  int IsTransparentAt(int, int) override { return 0; }
  void OnMouse(int flags, CMouseEvent event) override {
    if (flags & (MF_LEFT_DOWN | MF_LEFT_UP)) RestartTooltipTimer();
    if (flags & MF_LEFT_UP) screen_.DropNowhere(event.x, event.y);
  }

 private:
  CSpellBoxScreen& screen_;
};

CSpellBoxScreen::CSpellBoxScreen() { id = 7; }

CSpellBoxScreen::~CSpellBoxScreen() {
  timer_.Stop();
  if (loaded) Unload();
}

void CSpellBoxScreen::CountDown() {
  int value = remainingTime.load();
  while (value > -1 && !remainingTime.compare_exchange_weak(value, value - 1)) {
  }
}

void CSpellBoxScreen::Enter() {
  if (loaded) return;
  Load();
}

void CSpellBoxScreen::Suspend() { Exit(); }

void CSpellBoxScreen::Resume() { Enter(); }

void CSpellBoxScreen::Load() {
  closeRequested = 0;
  grimoireRequested = 0;
  lowRes_ = ScreenWidth() == 800 ? 0 : 1;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  boxSurface_.Create(&desc);
  char folder[256];
  std::snprintf(folder, sizeof folder, "%s%ix%i\\", kFolder, ScreenWidth(), ScreenHeight());
  const std::string box = std::string(folder) + "Portmanteau.bmp";
  if (!boxSurface_.LoadBitmap(box.c_str())) ShowFileLoadError(box.c_str());
  if (g_backBuffer.IsCreated()) boxSurface_.BlitTo(&g_backBuffer, 0, 0);
  LoadSprite(iconSprite_, "Sprites\\SplIcons.spr");
  LoadSprite(talismanSprite_, std::string(folder) + "Talisman.spr");
  LoadSprite(itemSprite_, std::string(folder) + "MItems.spr");
  LoadSprite(buttonSprite_, std::string(folder) + "SpellBoxButtons.spr");

  PrepareSpellBoxChoices(choices, wizardRecord);
  CreateControls();
  g_tooltipManager.RestartHoverTimer();
  g_tooltipManager.AllocateTexts(kTooltipTexts);
  MakeTooltips();
  heldItem = -1;
  dragSource_ = nullptr;
  if (timedMode) {
    timer_.SetPeriod(1000, 5);
    timer_.Start(CountDownTick);
  }
  loaded = 1;
}

void CSpellBoxScreen::CreateControls() {
  const Layout& l = kLayouts[lowRes_];
  box_ = std::make_unique<Box>(*this);
  box_->Register({0, 0, ScreenWidth(), ScreenHeight()}, 1);
  slots_.clear();
  for (int c = 0; c < kSpellBoxColumns; ++c)
    for (int i = 0; i < std::clamp<int>(choices.counts[c], 0, kMaxColumnSlots); ++i) {
      auto slot = std::make_unique<Slot>(*this, c, i);
      slot->item = choices.columns[c][i];
      slot->tooltipId = 3 + kMaxColumnSlots * c + i;
      slot->Create(kColumnSlotId + kMaxColumnSlots * c + i, ColumnRect(l, c, i), nullptr, nullptr, 1);
      slots_.push_back(std::move(slot));
    }
  for (int i = 0; i < kPoolSlots; ++i) {
    auto slot = std::make_unique<Slot>(*this, -1, i);
    slot->item = choices.pool[i];
    slot->tooltipId = 24 + i;
    slot->Create(kPoolSlotId + i, PoolRect(l, i), nullptr, nullptr, 1);
    slots_.push_back(std::move(slot));
  }
  auto makeButton = [&](std::unique_ptr<CButton>& button, std::unique_ptr<CCallback>& callback, int controlId,
                        const platform::Rect& rect, int normal, auto onClick) {
    callback = std::make_unique<CFunctionCallback>(onClick);
    button = std::make_unique<CButton>();
    button->SetSurface(&g_backBuffer);
    button->SetFrameSprite(&buttonSprite_);
    button->SetFrames(normal, normal + 2, -1);
    button->SetAltFrames(-1, normal + 1, -1);
    button->tooltipId = controlId == kLeaveId ? 51 : 50;
    button->Create(controlId, rect, callback.get(), nullptr, 1);
  };
  if (!timedMode)
    makeButton(grimoireButton_, grimoireCallback_, kGrimoireId, l.grimoire, 3, [this](int) { grimoireRequested = 1; });
  makeButton(leaveButton_, leaveCallback_, kLeaveId, l.leave, 9, [this](int) {
    BeginFadeOut();
    closeRequested = 1;
  });
}

void CSpellBoxScreen::MakeTooltips() {
  tooltips_.assign(kTooltipTexts, std::string());
  CStringTable itemTexts, summaries;
  itemTexts.Load("cfg\\Mitt.cfg");
  summaries.Load("cfg\\Spell Summaries.cfg");
  auto itemText = [&](int item) { return std::string(item >= 0 ? itemTexts.Get(item) : ""); };
  for (int c = 0; c < kSpellBoxColumns; ++c) tooltips_[static_cast<size_t>(c)] = kTalismanNames[2 - c];
  for (const auto& slot : slots_) {
    std::string& text = tooltips_[static_cast<size_t>(slot->tooltipId)];
    if (slot->column >= 0) {
      const int spell = SpellOf(slot->item, slot->column);
      text = slot->item < 0
                 ? kTalismanNames[slot->column]
                 : SpellName(spell) + "\n(" + itemText(slot->item) + ")\n" + (spell >= 0 ? summaries.Get(spell) : "");
    } else if (slot->item >= 0) {
      text = itemText(slot->item) + "\n" + "\nVrask: " + SpellName(SpellOf(slot->item, kAlignVrask)) +
             "\nNeutral: " + SpellName(SpellOf(slot->item, kAlignNeutral)) +
             "\nLaw: " + SpellName(SpellOf(slot->item, kAlignLaw));
    }
  }
  tooltips_[50] = "Grimoire";
  tooltips_[51] = timedMode ? "Begin Battle" : "Realm View";
  // The tooltip manager shows the controls' texts by number from its own table.
  for (int n = 0; n < kTooltipTexts; ++n)
    if (char* slot = g_tooltipManager.TextSlot(n))
      std::snprintf(slot, kTooltipSlotSize, "%s", tooltips_[static_cast<size_t>(n)].c_str());
}

void CSpellBoxScreen::CollectChoices() {
  for (auto& column : choices.columns) std::fill(std::begin(column), std::end(column), -1);
  std::fill(std::begin(choices.pool), std::end(choices.pool), -1);
  for (const auto& slot : slots_) {
    if (slot->column >= 0)
      choices.columns[slot->column][slot->index] = slot->item;
    else
      choices.pool[slot->index] = slot->item;
  }
  // An item still in the hand goes back where it came from.
  if (heldItem >= 0 && dragSource_) {
    const int index = dragSource_->index;
    if (dragSource_->column >= 0)
      choices.columns[dragSource_->column][index] = heldItem;
    else
      choices.pool[index] = heldItem;
  }
}

void CSpellBoxScreen::Exit() {
  if (!loaded) return;
  if (timedMode) timer_.Stop();
  CollectChoices();
  Unload();
  // The other screens' controls have their texts back.
  g_tooltipManager.RestartHoverTimer();
  g_tooltipManager.LoadTexts("cfg\\tooltips.cfg");
  CommitSpellBoxChoices(choices, wizardRecord);
}

void CSpellBoxScreen::Unload() {
  loaded = 0;
  slots_.clear();
  box_.reset();
  leaveButton_.reset();
  grimoireButton_.reset();
  leaveCallback_.reset();
  grimoireCallback_.reset();
  iconSprite_.Free();
  talismanSprite_.Free();
  itemSprite_.Free();
  buttonSprite_.Free();
  boxSurface_.Release();
  tooltips_.clear();
  heldItem = -1;
  dragSource_ = nullptr;
}

int CSpellBoxScreen::SlotItem(int column, int index) const {
  for (const auto& slot : slots_)
    if (slot->column == column && slot->index == index) return slot->item;
  return -1;
}

platform::Rect CSpellBoxScreen::SlotRect(int column, int index) const {
  const Layout& l = kLayouts[ScreenWidth() == 800 ? 0 : 1];
  return column >= 0 ? ColumnRect(l, column, index) : PoolRect(l, index);
}

int CSpellBoxScreen::ColumnSlotCount(int column) const {
  return static_cast<int>(
      std::count_if(slots_.begin(), slots_.end(), [&](const auto& s) { return s->column == column; }));
}

void CSpellBoxScreen::Pick(Slot& slot) {
  std::swap(slot.item, heldItem);
  dragSource_ = &slot;
  PlayControlSound(kSlotSound);
}

void CSpellBoxScreen::DropOn(Slot& slot) {
  if (!dragSource_) return;
  // Dragging from A to B swaps their items. Dropped where it was taken, the item goes back.
  std::swap(slot.item, heldItem);
  if (&slot != dragSource_) std::swap(dragSource_->item, heldItem);
  dragSource_ = nullptr;
  PlayControlSound(kSlotSound);
  const int spell = SpellOf(slot.item, slot.column);
  if (slot.column >= 0 && spell >= 0 && spell < kSpellCount) PlayControlSound(g_spellDefs[spell].SpellBoxSound);
  MakeTooltips();
}

void CSpellBoxScreen::DropNowhere(int x, int y) {
  if (!dragSource_ || heldItem < 0) return;
  const int size = kLayouts[lowRes_].heldSize;
  const platform::Rect held{x - size / 2, y - size / 2, x - size / 2 + size, y - size / 2 + size};
  Slot* best = nullptr;
  int bestArea = -1, considered = 0;
  for (auto& slot : slots_) {
    if (considered == 4) break;
    if (!Meet(slot->rect, held)) continue;
    ++considered;
    const int area = Area(Combined(slot->rect, held));
    if (area >= bestArea) {
      bestArea = area;
      best = slot.get();
    }
  }
  DropOn(best ? *best : *dragSource_);
}

int CSpellBoxScreen::PointedItem() const {
  for (const auto& slot : slots_)
    if (slot->Contains(pointerX_, pointerY_) && slot->item >= 0) return slot->item;
  return heldItem;
}

void CSpellBoxScreen::DrawItemPanel(int item) {
  const Layout& l = kLayouts[lowRes_];
  SurfacePrinting printing(&g_backBuffer);
  if (!printing) return;
  if (item >= 0) PrintControlFrame(&itemSprite_, item, l.picture.left, l.picture.top);
  for (int j = 0; j < 3; ++j) {
    const int column = 2 - j;
    const platform::Rect r = IconRect(l, j);
    const int spell = SpellOf(item, column);
    if (spell < 0) {
      PrintControlFrame(&iconSprite_, kEmptyIconFrame, r.left, r.top);
      continue;
    }
    PrintControlFrame(&iconSprite_, spell + kIconSpellBase, r.left, r.top);
    const int cost = spell < kSpellCount ? g_spellDefs[spell].ManaCost : 0;
    if (cost >= 4) PrintControlFrame(&iconSprite_, std::min(cost / 4 + kCostFrameBase, kCostFrameLast), r.left, r.top);
  }
}

void CSpellBoxScreen::Draw() {
  if (!g_backBuffer.IsCreated()) return;
  boxSurface_.BlitTo(&g_backBuffer, 0, 0);
  DrawItemPanel(PointedItem());
  for (const auto& slot : slots_) slot->Draw();
  if (grimoireButton_) grimoireButton_->Draw();
  if (leaveButton_) leaveButton_->Draw();
  if (heldItem >= 0 && pointerX_ >= 0 && pointerY_ >= 0 && pointerX_ < ScreenWidth() && pointerY_ < ScreenHeight()) {
    const int size = kLayouts[lowRes_].heldSize;
    SurfacePrinting printing(&g_backBuffer);
    if (printing) PrintControlFrame(&itemSprite_, heldItem, pointerX_ - size / 2, pointerY_ - size / 2);
  }
  if (timedMode) {
    char text[16];
    const int seconds = std::max(0, remainingTime.load());
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    SurfacePrinting printing(&g_backBuffer);
    if (printing)
      g_headingFont.PrintText(text, TextRect{kPanelX[lowRes_], 28, kPanelX[lowRes_] + 60, 60}, 255, 230, 150, 1);
  }
}

void CSpellBoxScreen::Update() {
  if (!loaded) return;
  if (timedMode && remainingTime.load() == -1 && !closeRequested) {
    BeginFadeOut();
    closeRequested = 1;
  }
  if (fading) {
    if (g_backBuffer.IsCreated()) g_backBuffer.Dim();
    if (fadeStep++ >= 5) fading = 0;
    PresentWorkSurface();
    return;
  }
  if (closeRequested) {
    closeRequested = 0;
    PopScreen();
    return;
  }
  const CMouseEvent& pointer = LatestMouseEvent();
  pointerX_ = pointer.x;
  pointerY_ = pointer.y;
  Draw();
  g_tooltipManager.Update();
  g_cursorTimerMayDraw = false;
  DrawSoftwareCursor();
  PresentWorkSurface();
  g_cursorTimerMayDraw = true;
  DispatchMouseEvents();
  // The grimoire opens at its spells.
  if (grimoireRequested) {
    grimoireRequested = 0;
    OpenGrimoire(kGrimoireSpellChapter, 0);
  }
}

int CSpellBoxScreen::OnMessage(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  if (message == platform::WM_PAINT && loaded) {
    PresentWorkSurface();
  } else if (message == platform::WM_KEYDOWN && static_cast<int>(wParam) == platform::VK_ESCAPE && loaded) {
    SetCursorKind(kCursorNone);
    BeginFadeOut();
    closeRequested = 1;
  }
  return 0;
}
