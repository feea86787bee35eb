#include "frontend/LoadSaveGame.h"

#include <algorithm>
#include <cstring>

#include "battle/Battle.h"
#include "core/SavedGame.h"
#include "frontend/MainMenu.h"
#include "frontend/RealmView.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "platform/Files.h"
#include "ui/EditBox.h"
#include "ui/ListBox.h"
#include "ui/Screen.h"
#include "ui/SharedArt.h"
#include "ui/TextButton.h"

CLoadGameScreen* g_loadGameScreen = nullptr;
CSaveGameScreen* g_saveGameScreen = nullptr;

namespace {

constexpr const char* kDialogPicture = "bitmaps\\dlgback.bmp";
constexpr const char* kEnding = ".sav";

std::vector<MenuWidget> SavedGameWidgets() {
  return {{kWidgetTextButton, 1, true}, {kWidgetTextButton, 2, true}, {kWidgetEditBox, 1, true},
          {kWidgetListBox, 1, true},    {kWidgetText, 1, false},      {kWidgetText, 2, false}};
}

// The name the player typed, without its leading blanks.
std::string TypedName(const CEditBox* box) {
  const char* text = box ? box->Text() : "";
  while (*text == ' ' || *text == '\t') ++text;
  return text;
}

}  // namespace

bool BattleOnStack() {
  for (int i = 1; i <= g_screenCount; ++i)
    if (g_battle && g_screenStack[i] == g_battle) return true;
  return false;
}

std::vector<std::string> ListSavedGames() {
  std::vector<std::string> files = platform::ListDirectory("Save", "*.sav");
  if (files.size() > static_cast<size_t>(kMaxListedGames)) files.resize(kMaxListedGames);
  std::vector<std::pair<int64_t, std::string>> dated;
  for (const std::string& file : files) {
    const size_t ending = std::strlen(kEnding);
    if (file.size() <= ending) continue;  // ".sav" alone names no game
    dated.emplace_back(platform::FileWriteTime("Save\\" + file), file.substr(0, file.size() - ending));
  }
  std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> names;
  for (auto& entry : dated) names.push_back(std::move(entry.second));
  return names;
}

// --- the twins' common part ------------------------------------------------------------------

CSavedGameScreen::CSavedGameScreen(int screenId, const char* folder, const char* layoutName)
    : CFrontEndMenu(screenId, folder, layoutName, SavedGameWidgets()) {}

CEditBox* CSavedGameScreen::NameBox() const { return static_cast<CEditBox*>(ControlOf(kWidgetEditBox, 0)); }

void CSavedGameScreen::AfterLoad() {
  CListBox* list = GameList();
  if (!list) return;
  list->Clear();
  const std::vector<std::string> names = ListSavedGames();
  for (const std::string& name : names) list->AddItem(name.c_str());
  if (!names.empty()) {
    list->Select(0);
    if (CEditBox* box = NameBox()) box->SetText(names.front().c_str());
  }
}

void CSavedGameScreen::Unload() {
  CloseDialog();
  dialogCallback_.reset();
  CFrontEndMenu::Unload();
}

void CSavedGameScreen::Draw() {
  if (!g_backBuffer.IsCreated()) return;
  if (background) background->BlitTo(&g_backBuffer, 0, 0);
  // While busy only the busy text (TEXT_1); otherwise everything but it.
  if (busy) {
    if (CTextLabel* busyText = Label(0)) busyText->Draw();
    return;
  }
  for (int type : {kWidgetTextButton, kWidgetEditBox, kWidgetListBox})
    for (int index = 0; index < 2; ++index)
      if (CControl* control = ControlOf(type, index)) control->Draw();
  if (CTextLabel* idleText = Label(1)) idleText->Draw();
  if (dialogBox) dialogBox->Draw();
}

void CSavedGameScreen::AfterDraw() {
  if (dialogChoice_ < 0) return;
  const int choice = dialogChoice_;
  dialogChoice_ = -1;
  CloseDialog();
  OnDialogChoice(choice);
}

void CSavedGameScreen::ChooseDialogButton(int index) {
  if (dialog_ && dialog_->IsOpen() && dialog_->owner) dialog_->owner->Invoke(index);
  AfterDraw();
}

void CSavedGameScreen::OnClick(int type, int index) {
  if (type == kWidgetTextButton) {
    if (index == kAction) Act();
    if (index == kCancel) LeaveClosing();
    return;
  }
  if (type == kWidgetEditBox) {
    Act();
    return;
  }
  if (type == kWidgetListBox) {
    CListBox* list = GameList();
    CEditBox* box = NameBox();
    const char* chosen = list ? list->FirstSelected() : nullptr;
    if (!chosen || !*chosen || !box) return;
    // A game chosen a second time is loaded or saved.
    if (std::strcmp(chosen, box->Text()) == 0)
      Act();
    else
      box->SetText(chosen);
  }
}

void CSavedGameScreen::OpenDialog(const char* text, const char* first, const char* second) {
  CloseDialog();
  if (!dialogCallback_)
    dialogCallback_ = std::make_unique<CFunctionCallback>([this](int index) {
      if (index == 0 || index == 1) dialogChoice_ = index;
    });
  dialog_ = std::make_unique<CDialogBox>();
  dialog_->SetSurface(&g_backBuffer);
  dialog_->SetFont(&g_bodyFont);
  dialog_->Open(dialogCallback_.get(), kDialogPicture, text, first, second);
  dialogBox = dialog_.get();
}

void CSavedGameScreen::CloseDialog() {
  dialogBox = nullptr;
  if (dialog_) dialog_->Close();
  dialog_.reset();
}

void CSavedGameScreen::BeginBusy() {
  if (CListBox* list = GameList()) list->Disable();
  busy = 1;
}

// --- loading ---------------------------------------------------------------------------------

CLoadGameScreen::CLoadGameScreen()
    : CSavedGameScreen(kScreenLoadGame, "Interface\\LoadGame\\", "screen (Load Game).cfg") {}

void CLoadGameScreen::Enter() {
  if (loaded) return;
  loadRequested = 0;
  CSavedGameScreen::Enter();
  busy = 0;
  if (background && g_backBuffer.IsCreated()) background->BlitTo(&g_backBuffer, 0, 0);
}

void CLoadGameScreen::Act() {
  if (loadRequested) return;
  BeginBusy();
  // The load waits until the busy text is on the screen.
  loadRequested = 1;
}

void CLoadGameScreen::AfterDraw() {
  CSavedGameScreen::AfterDraw();
  if (!loadRequested) return;
  loadRequested = 0;
  LoadChosenGame();
}

void CLoadGameScreen::LoadChosenGame() {
  loadedState = 0;
  const bool inBattle = BattleOnStack();
  if (LoadSavedGame(TypedName(NameBox()).c_str())) {
    AfterLoadedGame(inBattle);
    LeaveClosing();
    return;
  }
  OpenDialog(kFailure, "OK", nullptr);
  busy = 0;
}

void CLoadGameScreen::AfterLoadedGame(bool inBattle) {
  // Only the main menu goes on to the realm view by itself: any other opener already has the
  // realm view below it, and the main menu would push it again after the campaign is left.
  if (callerId == kScreenMainMenu && g_mainMenu) g_mainMenu->resumeInRealmView = 1;
  if (g_realmView) {
    g_realmView->leaveRequested = 0;
    // The battle that was running is not the loaded game's: its result must not reach the
    // loaded realm. A battle loaded in its place goes on.
    if (!(inBattle && loadedState == 1)) g_realmView->battlePending = 0;
  }
  // A game that goes on in the realm view, loaded over a battle: the battle is left for it.
  if (loadedState == 2 && inBattle) g_battle->leaveRequested = 1;
}

void CLoadGameScreen::OnClick(int type, int index) {
  if (type == kWidgetTextButton && index == kCancel && callerId == kScreenMainMenu && g_mainMenu)
    g_mainMenu->resumeInRealmView = 0;
  CSavedGameScreen::OnClick(type, index);
}

// --- saving ----------------------------------------------------------------------------------

CSaveGameScreen::CSaveGameScreen()
    : CSavedGameScreen(kScreenSaveGame, "Interface\\SaveGame\\", "screen (Save Game).cfg") {}

void CSaveGameScreen::Enter() {
  if (loaded) return;
  CSavedGameScreen::Enter();
  busy = 0;
  overwriteConfirmed = 0;
  if (background && g_backBuffer.IsCreated()) background->BlitTo(&g_backBuffer, 0, 0);
}

void CSaveGameScreen::Act() {
  BeginBusy();
  const std::string name = TypedName(NameBox());
  // A blank name, or one that would not make a file inside the Save folder, fails without
  // touching any file.
  const int result = name.empty() ? 0 : WriteSavedGame(name.c_str(), overwriteConfirmed);
  if (result == 1) {
    LeaveClosing();
  } else if (result == 2) {
    OpenDialog(kExists, "Yes", "No");
    overwriteConfirmed = 1;
  } else {
    OpenDialog(kFailure, "OK", nullptr);
  }
  busy = 0;
}

void CSaveGameScreen::OnDialogChoice(int index) {
  if (index == 0 && overwriteConfirmed) Act();
  overwriteConfirmed = 0;
}
