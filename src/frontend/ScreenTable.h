#pragma once
// Which front-end screens exist. The menus lead to screens that arrive one by one; an entry
// whose screen is not in the table yet is greyed on its menu (shown, but deaf to the mouse,
// skipped by the focus and by Enter). A screen's owner puts its screen object in the table when
// it builds it (at start-up, before the main menu is first shown), and every entry leading to
// it comes alive.

class CScreen;

// Screen ids of the front end (the screens' `id`).
enum FrontEndScreenId : int {
  kScreenMainMenu = 3,
  kScreenRealmView = 4,
  kScreenSpellBox = 7,
  kScreenGrimoire = 8,
  kScreenBattleOptions = 10,
  kScreenLoadGame = 15,
  kScreenSaveGame = 16,
  kScreenSinglePlayerBattle = 17,
  kScreenMiniMenu = 20,
  kScreenRegionEntry = 21,
  kScreenSlideShow = 22,
  kScreenCharacter = 23,
  kScreenLobby = 25,
  kScreenQuickBattleMenu = 27,
  kScreenMapSelection = 30,
  kScreenMultiplayerClient = 12,
  kScreenMultiplayerHost = 13,
  kScreenNetLoad = 14,
  kScreenMultiplayerGameSelect = 26,
  kScreenJoinMultiplayer = 28,
  kScreenSetMultiplayer = 29,
};

// The screens the menus lead to.
enum class FrontEndScreen : int {
  kRealmView,           // CRealmView
  kLoadGame,            // CLoadGameScreen
  kQuickBattleMenu,     // CQuickBattleMenuScreen
  kLobbyLogin,          // CLobbyLoginScreen
  kBattleOptions,       // CBattleOptionsScreen
  kSetMultiplayer,      // CSetMultiplayerScreen (DirectPlay host)
  kJoinMultiplayer,     // CJoinMultiplayerScreen (DirectPlay client)
  kSinglePlayerBattle,  // CSinglePlayerBattleScreen
  kMapSelection,        // CMapSelectionScreen
  kCount,
};

// The screen object, or null while it does not exist.
CScreen* FindFrontEndScreen(FrontEndScreen which);
// Puts a screen in the table (null takes it out).
void SetFrontEndScreen(FrontEndScreen which, CScreen* screen);
