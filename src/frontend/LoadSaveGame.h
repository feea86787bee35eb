#pragma once
// CLoadGameScreen (screen id 15) and CSaveGameScreen (16): the player picks a saved game by
// name. A list of the games in the Save folder, newest first, an edit box with the chosen
// name, the load or save button and cancel. Choosing a listed game a second time acts as the
// button. The saved-game reader and writer do the work; these screens choose the name, call
// them and report a failure in a message box. While a load or save runs the screen shows only
// its busy text; afterwards the list stays greyed until the screen is next loaded.

#include <memory>
#include <string>
#include <vector>

#include "frontend/FrontEndMenu.h"
#include "ui/DialogBox.h"

class CEditBox;

// The names of the saved games in the Save folder, newest first (ties by name), each without
// its ".sav" ending; at most the first 100 files the folder lists are considered.
std::vector<std::string> ListSavedGames();
inline constexpr int kMaxListedGames = 100;

// The twins' common part: the widgets, the list, the busy picture and the message box.
class CSavedGameScreen : public CFrontEndMenu {
 public:
  enum SavedGameButton { kAction = 0, kCancel };

  CSavedGameScreen(int screenId, const char* folder, const char* layoutName);
  ~CSavedGameScreen() override { CloseDialog(); }

  void Unload() override;
  void Draw() override;
  void AfterDraw() override;
  void OnClick(int type, int index) override;

  CEditBox* NameBox() const;
  CListBox* GameList() const { return List(0); }
  // The message box's text, empty when none is open.
  std::string DialogText() const { return dialog_ ? dialog_->message : std::string(); }
  // Chooses a button of the open message box, as a click on it would.
  void ChooseDialogButton(int index);

  int busy = 0;

 protected:
  void AfterLoad() override;
  // The load or save button (also Enter in the name box, or a listed game chosen twice).
  virtual void Act() = 0;
  // A button of the message box was chosen (after the box closed).
  virtual void OnDialogChoice(int index) {}
  // Replaces any open box with one over the back buffer in the body font.
  void OpenDialog(const char* text, const char* first, const char* second);
  void CloseDialog();
  void BeginBusy();

 private:
  std::unique_ptr<CDialogBox> dialog_;
  std::unique_ptr<CCallback> dialogCallback_;
  int dialogChoice_ = -1;  // chosen in the box's own click; handled once the click is over
};

class CLoadGameScreen : public CSavedGameScreen {
 public:
  static constexpr const char* kFailure = "Unable to Load Game";

  CLoadGameScreen();

  void Enter() override;
  void AfterDraw() override;
  void OnClick(int type, int index) override;

  // Called by the saved-game reader: 1 the loaded game goes on in a battle, 2 in the realm view.
  void SetLoadedState(int state) { loadedState = state; }

  int loadRequested = 0;
  int callerId = 0;  // the screen that pushed it (3 the main menu, 20 the mini menu)
  int loadedState = 0;

 protected:
  void Act() override;

 private:
  void LoadChosenGame();
  // What a successful load changes beyond the game: where play goes on.
  void AfterLoadedGame(bool inBattle);
};

class CSaveGameScreen : public CSavedGameScreen {
 public:
  static constexpr const char* kFailure = "Unable to Save Game";
  static constexpr const char* kExists = "File exists ! Overwrite ?";

  CSaveGameScreen();

  void Enter() override;

  int overwriteConfirmed = 0;

 protected:
  void Act() override;
  void OnDialogChoice(int index) override;
};

// Whether a battle runs below the screens on the stack.
bool BattleOnStack();

extern CLoadGameScreen* g_loadGameScreen;
extern CSaveGameScreen* g_saveGameScreen;
