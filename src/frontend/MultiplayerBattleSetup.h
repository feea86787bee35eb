#pragma once
// The set-up of a network battle, where the players meet before it: CMultiplayerBattleHostScreen
// on the hosting machine, CMultiplayerBattleClientScreen on each guest's. Both are menu screens
// and network screens at once (the CNetScreen part first): every change travels through the
// attached transport, and the host's decisions come back to every screen, the host's own
// included, through UpdatePlayerRow and OnGameSettings. The four places are g_playerSlots, the
// rules g_gameSettings.
//
// Rows: TEXT_1-4 the names of places 0-3, TEXT_5-8 their handicaps, STANDARDBUTTON_1-4 their
// portraits and _5-8 their colours; the own place's handicap is a slider made from
// SLIDERBAR_(place + 1) over TEXT_(9 + place). TEXT_13 the status, TEXT_14 the region,
// TEXT_28-40 the thirteen settings; TEXTBUTTON_1 send, _2 back, EDITBOX_1 and MESSAGELISTBOX_1
// the chat. The host adds thirteen setting sliders, the map and Start buttons and three remove
// buttons; the guest a Ready button.

#include <memory>
#include <string>
#include <vector>

#include "frontend/FrontEndMenu.h"
#include "frontend/MapSelection.h"
#include "graphics/Sprite.h"
#include "net/NetScreen.h"
#include "ui/DialogBox.h"
#include "ui/RadioButton.h"

class CNetTransport;
class CSliderBar;
class CEditBox;
class CMessageListBox;

class CMultiplayerBattleSetupScreen : public CNetScreen, public CFrontEndMenu {
 public:
  enum CommonButton { kSend = 0, kBack = 1 };
  static constexpr int kFirstPortraitButton = 0;  // standard buttons 0-3
  static constexpr int kFirstColourButton = 4;    // standard buttons 4-7
  static constexpr int kRowButtons = 8;
  static constexpr int kSettingCount = 13;

  CMultiplayerBattleSetupScreen(int screenId, std::vector<MenuWidget> ownWidgets);
  ~CMultiplayerBattleSetupScreen() override;

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void Update() override;
  void Unload() override;
  void Draw() override;
  void AfterDraw() override;
  void OnClick(int type, int index) override;

  // CNetScreen: what both sides serve.
  void AddConsoleLine(const char* text, int red, int green, int blue) override;
  void ShowMessageBox(const char* text, int value) override;
  void Abort() override { leave = 1; }
  void UpdatePlayerRow(int place, const CPlayerSlot& slot) override;
  void OnGameSettings(const CGameSettings& settings) override;
  void OnSetSlot(int ownPlace) override;
  void SetStatusText(const char* text) override;
  void OnInitialise(const InitialiseView& message) override;
  void LockControls() override;

  // Shows the thirteen settings and the region's name ("No Map" for a region without one).
  void ShowSettings();

  CNetTransport* transport = nullptr;  // not owned; null: nothing is sent
  int cameFrom = 0;                    // the screen it was entered from (kScreenLobby: the lobby's chat)
  int ownPlace = 0;
  int shownColour = -1;  // the own place's colour and portrait last shown: where a request starts
  int shownPortrait = -1;
  int leave = 0;              // set: the next update leaves for the screen below
  int magicItemsPending = 0;  // the start sent the player to the spell box first
  int started = 0;            // the start message arrived: after the battle the screen goes back

  CSliderBar* HandicapSlider() const { return handicapSlider_.get(); }
  // Whether the host has told this screen its place yet.
  bool HasPlace() const { return hasPlace_; }
  CMessageListBox* ChatList() const;
  CEditBox* ChatLine() const;
  CButton* RowButton(int index) const;
  // "Interface\MultiplayerBattleSetup\MultiPBattle Screen buttons <w>-<h>.spr" while loaded.
  CSprite* ButtonSprite() { return &buttonSprite_; }

 protected:
  void AfterLoad() override;
  // The side's own clicks (its sliders and extra buttons); the common ones are handled first.
  virtual void OnOwnClick(int type, int index) {}
  // The side's own controls under LockControls.
  virtual void LockOwnControls() {}
  // After the common part of Enter, before the transport is asked for the players.
  virtual void OnEnter() {}
  virtual void OnExit() {}
  // Whether the map selection is being pushed over the screen (it then stays loaded).
  bool keepLoadedOnSuspend_ = false;

 private:
  void ShowRow(int place);
  void OnHandicapSlider();
  void SendChatLine();
  void GoBack();
  void SendOwnItems();
  void MakeHandicapSlider();

  CSprite buttonSprite_;
  bool hasPlace_ = false;  // the host has told this screen its place
  bool building_ = false;
  CRadioGroup sliderGroup_;  // unused by a slider; the control factory asks for one
  CDialogBox box_;
  std::unique_ptr<CSliderBar> handicapSlider_;
  std::unique_ptr<CCallback> handicapCallback_;
  CWidgetConfig handicapConfigs_[kPlayerSlotCount];
  std::unique_ptr<CCallback> boxCallback_;
};

class CMultiplayerBattleHostScreen : public CMultiplayerBattleSetupScreen, public IMapSelectionCaller {
 public:
  enum HostButton { kChooseMap = 2, kStart = 3 };
  static constexpr int kFirstRemoveButton = 8;  // standard buttons 8-10: places 1-3

  CMultiplayerBattleHostScreen();

  // CNetScreen, the host's side.
  // In the lobby place 0 is kept for this user: the server may tell of a guest quick to join
  // before it names the host itself.
  void AddUser(const char* name, uint8_t isOperator, uint8_t own) override;
  void RemoveUser(const char* name, uint8_t isOperator, uint8_t own) override { RemovePlayer(name); }
  void OnRequestColour(int place, int steps) override;
  void OnRequestPortrait(int place, int steps) override;
  void OnSetHandicap(int place, int value) override;
  int FindPlayer(const char* name) override;
  void OnReady(int place) override;
  void CreateSession() override;
  bool StartGame() override;
  bool TryStartGame() override;

  // Seats a newcomer at the first free place from firstPlace on.
  void AddPlayer(const char* name, int firstPlace = 0);
  void RemovePlayer(const char* name);
  // Start: refused while a seated guest is not ready.
  void Start();

  // IMapSelectionCaller
  void ShowMapName(const char* name) override;
  void SendGameSettings(const CGameSettings& settings) override;

  CSliderBar* SettingSlider(int n) const;

  std::string names[kPlayerSlotCount];  // who sits where, as the host recorded it; empty: free
  int startedGame = 0;

 protected:
  void AfterLoad() override;
  void OnOwnClick(int type, int index) override;
  void LockOwnControls() override;
  void OnEnter() override { startedGame = 0; }
  void OnExit() override;

 private:
  void SendPlace(int place, const CPlayerSlot& slot);
  bool ValidPlace(int place) const { return place >= 0 && place < kPlayerSlotCount && !names[place].empty(); }
  int SeatedPlaces() const;
};

class CMultiplayerBattleClientScreen : public CMultiplayerBattleSetupScreen {
 public:
  enum ClientButton { kReady = 2 };

  CMultiplayerBattleClientScreen();

  void RemoveUser(const char* name, uint8_t isOperator, uint8_t own) override {
    if (own) leave = 1;
  }
  void JoinSession(const char* hostAddress) override;

 protected:
  void OnOwnClick(int type, int index) override;
  void LockOwnControls() override;
};

// The place of the client with this index in the start message: clients are numbered in the
// order of the occupied places. -1 when there is none.
int PlaceOfClient(int clientIndex);

extern CMultiplayerBattleHostScreen* g_multiplayerHost;
extern CMultiplayerBattleClientScreen* g_multiplayerClient;
