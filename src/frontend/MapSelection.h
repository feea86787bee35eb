#pragma once
// CMapSelectionScreen: the choice of the region of the multiplayer realm a quick or
// multiplayer battle is fought on. The set-up screen that pushes it first tells it who called
// (SetCaller); the choice goes into g_gameSettings.regionIndex and to the caller, which shows
// the region's name and, as a multiplayer host, passes the settings on to the other players.
// Clicking a region once chooses it; clicking it again, or Accept, takes it.

#include <string>

#include "frontend/FrontEndMenu.h"

struct CGameSettings;

// What the map selection screen tells the screen that called it. The set-up screens implement it.
class IMapSelectionCaller {
 public:
  virtual ~IMapSelectionCaller() = default;
  // Shows the chosen region's name in the caller's map name label.
  virtual void ShowMapName(const char* name) {}
  // A multiplayer host with a network transport sends the settings to the other players.
  virtual void SendGameSettings(const CGameSettings& settings) {}
};

class CMapSelectionScreen : public CFrontEndMenu {
 public:
  enum Entry { kAccept = 0, kCancel = 1 };

  CMapSelectionScreen();

  void Enter() override;
  void OnClick(int type, int index) override;

  // The calling screen's id (kScreenSinglePlayerBattle, or the multiplayer host's) and the
  // screen to tell of the choice.
  void SetCaller(int screenId, IMapSelectionCaller* caller);

  int callerScreenId = 0;
  IMapSelectionCaller* caller = nullptr;
  std::string lastClicked;  // the text of the item clicked last

 protected:
  void AfterLoad() override;

 private:
  void Accept();
  void OnListClick();
};

extern CMapSelectionScreen* g_mapSelection;
