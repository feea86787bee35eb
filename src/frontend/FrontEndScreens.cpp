#include "frontend/FrontEndScreens.h"

#include <new>

#include "frontend/Grimoire.h"
#include "frontend/BattleOptions.h"
#include "frontend/CharacterScreen.h"
#include "frontend/LoadSaveGame.h"
#include "frontend/LobbyChat.h"
#include "frontend/LobbyLogin.h"
#include "frontend/MainMenu.h"
#include "frontend/MapSelection.h"
#include "frontend/MiniMenu.h"
#include "frontend/MultiplayerBattleSetup.h"
#include "frontend/MultiplayerSession.h"
#include "frontend/NetLoadScreen.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/RealmView.h"
#include "frontend/RegionEntry.h"
#include "frontend/ScreenTable.h"
#include "frontend/SinglePlayerBattle.h"
#include "frontend/SlideShow.h"
#include "frontend/SpellBox.h"
#include "net/LobbySession.h"
#include "net/NetCommandPort.h"

namespace {

// Storage of their own, so that their construction and destruction follow the global
// objects' order rather than the language's.
template <class Screen>
struct ScreenStorage {
  alignas(Screen) unsigned char bytes[sizeof(Screen)];
  Screen* Construct() { return new (bytes) Screen; }
};

ScreenStorage<CMainMenuScreen> g_mainMenuStorage;
ScreenStorage<CQuickBattleMenuScreen> g_quickBattleMenuStorage;
ScreenStorage<CMapSelectionScreen> g_mapSelectionStorage;
ScreenStorage<CSlideShowScreen> g_slideShowStorage;
ScreenStorage<CSinglePlayerBattleScreen> g_singlePlayerBattleStorage;
ScreenStorage<CRegionEntryScreen> g_regionEntryStorage;
ScreenStorage<CSpellBoxScreen> g_spellBoxStorage;
ScreenStorage<CRealmView> g_realmViewStorage;
ScreenStorage<CMiniMenuScreen> g_miniMenuStorage;
ScreenStorage<CGrimoire> g_grimoireStorage;
ScreenStorage<CBattleOptionsScreen> g_battleOptionsStorage;
ScreenStorage<CLoadGameScreen> g_loadGameStorage;
ScreenStorage<CCharacterScreen> g_characterStorage;
ScreenStorage<CSaveGameScreen> g_saveGameStorage;
ScreenStorage<CMultiplayerBattleHostScreen> g_multiplayerHostStorage;
ScreenStorage<CMultiplayerBattleClientScreen> g_multiplayerClientStorage;
ScreenStorage<CJoinMultiplayerScreen> g_joinMultiplayerStorage;
ScreenStorage<CMultiplayerGameSelectScreen> g_multiplayerGameSelectStorage;
ScreenStorage<CSetMultiplayerScreen> g_setMultiplayerStorage;
ScreenStorage<CNetLoadScreen> g_netLoadScreenStorage;
ScreenStorage<CLobbyLoginScreen> g_lobbyLoginStorage;
ScreenStorage<CLobbyChatScreen> g_lobbyChatStorage;

template <class Screen>
void Destroy(Screen*& screen) {
  if (screen) screen->~Screen();
  screen = nullptr;
}

}  // namespace

void ConstructFrontEndScreens() {
  if (!g_mainMenu) g_mainMenu = g_mainMenuStorage.Construct();
  if (!g_quickBattleMenu) g_quickBattleMenu = g_quickBattleMenuStorage.Construct();
  if (!g_mapSelection) g_mapSelection = g_mapSelectionStorage.Construct();
  if (!g_slideShow) g_slideShow = g_slideShowStorage.Construct();
  if (!g_singlePlayerBattle) g_singlePlayerBattle = g_singlePlayerBattleStorage.Construct();
  if (!g_regionEntry) g_regionEntry = g_regionEntryStorage.Construct();
  if (!g_spellBox) g_spellBox = g_spellBoxStorage.Construct();
  if (!g_realmView) g_realmView = g_realmViewStorage.Construct();
  if (!g_miniMenu) g_miniMenu = g_miniMenuStorage.Construct();
  if (!g_grimoire) g_grimoire = g_grimoireStorage.Construct();
  if (!g_battleOptions) g_battleOptions = g_battleOptionsStorage.Construct();
  SetFrontEndScreen(FrontEndScreen::kBattleOptions, g_battleOptions);
  if (!g_loadGameScreen) g_loadGameScreen = g_loadGameStorage.Construct();
  if (!g_saveGameScreen) g_saveGameScreen = g_saveGameStorage.Construct();
  if (!g_characterScreen) g_characterScreen = g_characterStorage.Construct();
  SetFrontEndScreen(FrontEndScreen::kLoadGame, g_loadGameScreen);
  if (!g_multiplayerHost) g_multiplayerHost = g_multiplayerHostStorage.Construct();
  if (!g_multiplayerClient) g_multiplayerClient = g_multiplayerClientStorage.Construct();
  if (!g_joinMultiplayer) g_joinMultiplayer = g_joinMultiplayerStorage.Construct();
  if (!g_multiplayerGameSelect) g_multiplayerGameSelect = g_multiplayerGameSelectStorage.Construct();
  if (!g_setMultiplayer) g_setMultiplayer = g_setMultiplayerStorage.Construct();
  if (!g_netLoadScreen) g_netLoadScreen = g_netLoadScreenStorage.Construct();
  InstallNetSetupEvents();
  SetFrontEndScreen(FrontEndScreen::kSetMultiplayer, g_setMultiplayer);
  SetFrontEndScreen(FrontEndScreen::kJoinMultiplayer, g_joinMultiplayer);
  if (!g_lobbyLogin) g_lobbyLogin = g_lobbyLoginStorage.Construct();
  if (!g_lobbyChat) g_lobbyChat = g_lobbyChatStorage.Construct();
  SetFrontEndScreen(FrontEndScreen::kLobbyLogin, g_lobbyLogin);
  SetFrontEndScreen(FrontEndScreen::kRealmView, g_realmView);
  SetFrontEndScreen(FrontEndScreen::kQuickBattleMenu, g_quickBattleMenu);
  SetFrontEndScreen(FrontEndScreen::kMapSelection, g_mapSelection);
  SetFrontEndScreen(FrontEndScreen::kSinglePlayerBattle, g_singlePlayerBattle);
}

void DestroyFrontEndScreens() {
  SetFrontEndScreen(FrontEndScreen::kLobbyLogin, nullptr);
  if (g_lobbySession.handler == g_lobbyLogin || g_lobbySession.handler == g_lobbyChat ||
      g_lobbySession.handler == g_multiplayerHost || g_lobbySession.handler == g_multiplayerClient)
    g_lobbySession.handler = nullptr;
  Destroy(g_lobbyChat);
  Destroy(g_lobbyLogin);
  SetFrontEndScreen(FrontEndScreen::kSetMultiplayer, nullptr);
  SetFrontEndScreen(FrontEndScreen::kJoinMultiplayer, nullptr);
  RemoveNetSetupEvents();
  if (g_netCommandPort.handler == g_multiplayerHost || g_netCommandPort.handler == g_multiplayerClient)
    g_netCommandPort.handler = nullptr;
  Destroy(g_netLoadScreen);
  Destroy(g_setMultiplayer);
  Destroy(g_multiplayerGameSelect);
  Destroy(g_joinMultiplayer);
  Destroy(g_multiplayerClient);
  Destroy(g_multiplayerHost);
  SetFrontEndScreen(FrontEndScreen::kRealmView, nullptr);
  Destroy(g_grimoire);
  SetFrontEndScreen(FrontEndScreen::kBattleOptions, nullptr);
  Destroy(g_battleOptions);
  SetFrontEndScreen(FrontEndScreen::kLoadGame, nullptr);
  Destroy(g_characterScreen);
  Destroy(g_saveGameScreen);
  Destroy(g_loadGameScreen);
  Destroy(g_miniMenu);
  Destroy(g_realmView);
  SetFrontEndScreen(FrontEndScreen::kQuickBattleMenu, nullptr);
  SetFrontEndScreen(FrontEndScreen::kMapSelection, nullptr);
  SetFrontEndScreen(FrontEndScreen::kSinglePlayerBattle, nullptr);
  Destroy(g_spellBox);
  Destroy(g_regionEntry);
  Destroy(g_singlePlayerBattle);
  Destroy(g_slideShow);
  Destroy(g_mapSelection);
  Destroy(g_quickBattleMenu);
  Destroy(g_mainMenu);
}
