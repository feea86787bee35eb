#include "frontend/FrontEndMenu.h"

#include <cstdio>

#include "core/ErrorBox.h"
#include "graphics/Display.h"
#include "ui/Cursor.h"
#include "ui/DialogBox.h"
#include "ui/ListBox.h"
#include "ui/TextButton.h"
#include "ui/WidgetControls.h"

namespace {
constexpr int kMenuButtonBevel = 40;  // percent; the menus' buttons stand out more than the default 20

size_t GroupOf(const MenuWidget& widget) {
  return static_cast<size_t>(widget.radioGroup >= 0 && widget.radioGroup < kMenuRadioGroups ? widget.radioGroup : 0);
}
}  // namespace

std::vector<MenuWidget> MenuOfButtons(int buttons, int labels) {
  std::vector<MenuWidget> widgets;
  for (int n = 1; n <= buttons; ++n) widgets.push_back({kWidgetTextButton, n, true});
  for (int n = 1; n <= labels; ++n) widgets.push_back({kWidgetText, n, false});
  return widgets;
}

// Draws the background picture again after its surface was lost and restored.
class CFrontEndMenu::BackgroundRestorer : public CSurfaceRestorer {
 public:
  explicit BackgroundRestorer(CFrontEndMenu& screen) : screen_(screen) {}
  void RestoreSurface(int) override { screen_.LoadBackgroundPicture(); }

 private:
  CFrontEndMenu& screen_;
};

CFrontEndMenu::CFrontEndMenu(int screenId, std::string folder, std::string layoutName, std::vector<MenuWidget> widgets)
    : folder_(std::move(folder)), layoutName_(std::move(layoutName)), widgets_(std::move(widgets)) {
  id = screenId;
}

CFrontEndMenu::~CFrontEndMenu() { Unload(); }

void CFrontEndMenu::Enter() {
  if (loaded) return;
  closeRequested = 0;
  Load();
  pendingPush = nullptr;
}

void CFrontEndMenu::Exit() {
  Unload();
  pendingPush = nullptr;
}

void CFrontEndMenu::Suspend() { Unload(); }

void CFrontEndMenu::Resume() {
  if (loaded) return;
  SetCursorKind(kCursorNormal);
  Load();
}

void CFrontEndMenu::ReadConfig(const char* fileName) {
  widgetConfigs.assign(widgets_.size(), CWidgetConfig{});
  for (size_t i = 0; i < widgets_.size(); ++i) {
    const std::string own = widgets_[i].layoutName ? folder_ + widgets_[i].layoutName : std::string();
    LoadWidgetConfig(own.empty() ? fileName : own.c_str(), &widgetConfigs[i], widgets_[i].type, widgets_[i].number);
  }
}

std::string CFrontEndMenu::BackgroundPath() const {
  const int width = ScreenWidth(), height = ScreenHeight();
  char stem[256] = {};
  ReadScreenGlobal("BackgroundFile", LayoutFile().c_str(), stem);
  char path[768];
  std::snprintf(path, sizeof path, "%s%ix%i\\%s %i-%i.JPG", folder_.c_str(), width, height, stem, width, height);
  return path;
}

void CFrontEndMenu::LoadBackgroundPicture() {
  const std::string path = BackgroundPath();
  if (!backgroundSurface_.LoadJpeg(path.c_str())) ShowFileLoadError(path.c_str());
}

void CFrontEndMenu::CreateWidget(size_t widget, int index) {
  const int type = widgets_[widget].type;
  const CWidgetConfig& config = widgetConfigs[widget];
  Made made;
  made.type = type;
  made.index = index;
  if (type == kWidgetText) {
    made.label = static_cast<int>(labels_.size());
    labels_.push_back(MakeWidgetLabel(config));
  } else {
    if (!clickCallbacks_[type])
      clickCallbacks_[type] = std::make_unique<CFunctionCallback>([this, type](int id) { OnClick(type, id); });
    made.control =
        MakeWidgetControl(type, config, index, clickCallbacks_[type].get(), radioGroups_[GroupOf(widgets_[widget])]);
    if (auto* button = dynamic_cast<CTextButton*>(made.control.get())) button->bevel = kMenuButtonBevel;
  }
  made_.push_back(std::move(made));
}

void CFrontEndMenu::Load() {
  if (loaded) return;
  ReadConfig(LayoutFile().c_str());

  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  backgroundSurface_.Create(&desc);
  background = &backgroundSurface_;
  if (!restorer_) restorer_ = std::make_unique<BackgroundRestorer>(*this);
  backgroundSurface_.restorer = restorer_.get();
  LoadBackgroundPicture();

  int perType[kWidgetTypeCount] = {};
  int radioButtons[kMenuRadioGroups] = {};
  for (const MenuWidget& widget : widgets_) radioButtons[GroupOf(widget)] += widget.type == kWidgetRadioButton;
  for (size_t group = 0; group < radioGroups_.size(); ++group) radioGroups_[group].Reserve(radioButtons[group]);
  made_.reserve(widgets_.size());
  labels_.reserve(widgets_.size());
  for (size_t i = 0; i < widgets_.size(); ++i) CreateWidget(i, perType[widgets_[i].type]++);

  int focusable = 0;
  for (size_t i = 0; i < widgets_.size(); ++i) focusable += made_[i].control && widgets_[i].focusable;
  controls.Reserve(focusable);
  for (size_t i = 0; i < widgets_.size(); ++i)
    if (made_[i].control && widgets_[i].focusable) controls.Add(made_[i].control.get(), controls.Count() == 0);
  AfterLoad();
  loaded = 1;
}

void CFrontEndMenu::Unload() {
  if (!loaded) return;
  loaded = 0;
  if (dialogBox) dialogBox->Close();
  backgroundSurface_.restorer = nullptr;
  backgroundSurface_.Release();
  background = nullptr;
  controls.Clear();
  made_.clear();
  labels_.clear();
  for (CRadioGroup& group : radioGroups_) group.Reserve(0);
  for (auto& callback : clickCallbacks_) callback.reset();
  widgetConfigs.clear();
  restorer_.reset();
}

void CFrontEndMenu::Draw() {
  if (!g_backBuffer.IsCreated()) return;
  if (background) background->BlitTo(&g_backBuffer, 0, 0);
  for (Made& made : made_) {
    if (made.withdrawn) continue;
    if (made.control)
      made.control->Draw();
    else if (made.label >= 0)
      labels_[static_cast<size_t>(made.label)].Draw();
  }
  if (dialogBox) dialogBox->Draw();
}

void CFrontEndMenu::LeaveTo(CScreen* next) {
  BeginFadeOut();
  pendingPush = next;
}

void CFrontEndMenu::LeaveClosing() {
  BeginFadeOut();
  closeRequested = 1;
}

void CFrontEndMenu::GreyOutButton(int index) {
  CTextButton* button = Button(index);
  if (!button) return;
  // Greyed first, so that the focus passes it over; greyed again after, as leaving it unlights it.
  button->GreyOut();
  if (controls.Focused() == button) {
    controls.NextFocus();
    button->GreyOut();
  }
}

void CFrontEndMenu::WithdrawControl(int type, int index) {
  for (Made& made : made_) {
    if (made.type != type || made.index != index || !made.control || made.withdrawn) continue;
    controls.Remove(made.control.get());
    made.control->Deactivate();
    made.withdrawn = true;
  }
}

CControl* CFrontEndMenu::ControlOf(int type, int index) const {
  for (const Made& made : made_)
    if (made.type == type && made.index == index) return made.control.get();
  return nullptr;
}

CTextButton* CFrontEndMenu::Button(int index) const {
  return static_cast<CTextButton*>(ControlOf(kWidgetTextButton, index));
}

CListBox* CFrontEndMenu::List(int index) const { return static_cast<CListBox*>(ControlOf(kWidgetListBox, index)); }

CTextLabel* CFrontEndMenu::Label(int index) {
  for (const Made& made : made_)
    if (made.type == kWidgetText && made.index == index) return &labels_[static_cast<size_t>(made.label)];
  return nullptr;
}

const CWidgetConfig* CFrontEndMenu::WidgetConfig(int type, int index) const {
  int seen = 0;
  for (size_t i = 0; i < widgets_.size() && i < widgetConfigs.size(); ++i)
    if (widgets_[i].type == type && seen++ == index) return &widgetConfigs[i];
  return nullptr;
}
