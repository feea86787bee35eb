// Start-up and shut-down, in their fixed order.
#include "game/WinMain.h"

#include <cstdlib>
#include <string>

#include "ai/AIDecisionData.h"
#include "battle/Battle.h"
#include "battle/BattlePanels.h"
#include "battle/BattleTrace.h"
#include "core/CpuInfo.h"
#include "core/DataFolder.h"
#include "core/ErrorBox.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/SavedGame.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/MapObject.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "frontend/FrontEndWizardTable.h"
#include "frontend/MiniMenu.h"
#include "frontend/RealmView.h"
#include "game/BattleHandOver.h"
#include "game/CoreDataFiles.h"
#include "game/MagicItemsHandOver.h"
#include "game/MainLoop.h"
#include "game/RootScreenHooks.h"
#include "game/SavedGameParts.h"
#include "game/ScriptedInput.h"
#include "graphics/Display.h"
#include "graphics/GraphicsHooks.h"
#include "graphics/Surface.h"
#include "magic/CreatureEffectAnswers.h"
#include "magic/EffectCreatures.h"
#include "magic/MagicHooks.h"
#include "net/ChatFormats.h"
#include "net/NetStartup.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "sound/SoundStartup.h"
#include "ui/FrontEndRoot.h"
#include "ui/Screen.h"

namespace {
// A missing object file ends the program, as the other game data does; a present one is read.
int LoadObjectTypes(const char* fileName) {
  return GameDataFileIsPresent(fileName) ? g_mapObjects.LoadTypes(fileName) : 0;
}
}  // namespace

GameDataLoad g_gameDataLoads[kGameDataLoads] = {
    {"cfg\\spells.cfg", [](const char* fileName) { return LoadSpells(fileName, g_spellDefs); }},
    {"cfg\\objects.cfg", LoadObjectTypes},
    // Never fails: a missing file leaves the decision data at zero.
    {"cfg\\ai.cfg", LoadAIDecisionData},
    // The chat formats, then the chat string table, from the one file.
    {"cfg\\chatmessage.cfg", LoadChatFormats},
    {"cfg\\chatmessage.cfg", LoadChatStringTable},
};

namespace {

constexpr const char* kWindowClass = "VRASK_MAIN_WINDOW";
constexpr const char* kWindowTitle = "Realms of Vrask";
constexpr const char* kOutsideCdPlayerClass = "ZOQ_CdPlayerClass";

void CloseStartupMutex() {
  delete g_startupMutex;
  g_startupMutex = nullptr;
}

// At any exit after the window opened, fatal ones included, the window is closed (its
// WM_DESTROY does the window's share of the shut-down).
void CloseMainWindowAtExit() {
  if (g_mainWindow && platform::IsWindow(g_mainWindow)) platform::DestroyAppWindow(g_mainWindow);
  g_mainWindow = nullptr;
  platform::ShutdownVideo();
}

// The display device the window opens on, with its monitor rectangle (left, top, width,
// height). In a window the enumeration's choice is ignored: the first device, whose monitor
// holds the desktop.
int ChooseDisplayDeviceFor(bool windowed, int monitor[4]) {
  const int chosen = EnumerateDisplayDevices();
  g_displayDevice = windowed ? 0 : chosen;
  const int device = g_displayDevice < 0 ? 0 : g_displayDevice;
  if (device < g_displayDeviceCount) {
    const CDisplayDevice& record = g_displayDevices[device];
    monitor[0] = record.monitorLeft;
    monitor[1] = record.monitorTop;
    monitor[2] = record.monitorWidth;
    monitor[3] = record.monitorHeight;
  }
  return g_displayDevice;
}

// Where the window opens: centred on the desktop in a window, over the chosen display full screen.
platform::WindowPlacement ChooseWindowPlacement() {
  platform::WindowPlacement placement;
  placement.clientWidth = g_prefs.isHighRes ? 800 : 640;
  placement.clientHeight = g_prefs.isHighRes ? 600 : 480;
  int monitor[4] = {0, 0, 0, 0};
  const int device = ChooseDisplayDeviceFor(g_windowed != 0, monitor);
  g_displayOrigin[0] = monitor[0];
  g_displayOrigin[1] = monitor[1];
  if (g_windowed) {
    int screenWidth = 0, screenHeight = 0;
    platform::GetScreenSize(screenWidth, screenHeight);
    placement.left = (screenWidth - placement.clientWidth) / 2;
    placement.top = (screenHeight - placement.clientHeight) / 2;
  } else {
    placement.fullScreen = true;
    placement.display = device < 0 ? 0 : device;  // no device with either size: the first display
    placement.left = monitor[0];
    placement.top = monitor[1];
  }
  return placement;
}

void PlayIntroMoviesInWindow(platform::WindowHandle window) {
  int left = 0, top = 0;
  platform::ClientToScreen(window, left, top);
  PlayIntroMovies(&g_primary, left, top);
}

void LoadGameData() {
  // A damaged core file is refused before anything is read, as a missing one would be.
  if (const char* damaged = FirstDamagedCoreDataFile()) ShowFileLoadError(damaged);
  for (const GameDataLoad& entry : g_gameDataLoads) {
    if (!entry.load || !entry.load(entry.fileName)) ShowFileLoadError(entry.fileName);
  }
}

// The game reads its files from the working directory: started elsewhere, it moves to the
// data the build forged or the one installed beside the program. False, after one line
// saying where it looked, when there is none.
bool FindGameData() {
  std::string looked;
  if (EnterGameDataFolder(GameDataCandidates(), looked)) return true;
  platform::ShowMessageBox("No game data was found (a folder holding cfg): looked in " + looked + ".", "NO GAME DATA",
                           WarningBoxFlags());
  return false;
}

void ShutDownServices() {
  // An outside CD player that was not running at start-up would be closed here; no window of
  // another program is ever found, so there is none.
  if (g_prefs.cdMusicEnabled) CloseCdMusic();
  if (g_prefs.soundEnabled) StopSoundManager();
}

}  // namespace

void InstallSubsystems() {
  InstallGraphicsHooks();
  InstallCreatures();
  InstallMapObjects();
  InstallWizards();
  InstallWizardTableCalls();
  InstallEffectCreatures();
  InstallCreatureEffectAnswers();
  InstallMagic();
  InstallNet();
  InstallRootScreenHooks();
  InstallBattlePanels();
  InstallBattle();
  InstallBattleHandOver();
  InstallMagicItemsHandOver();
  InstallSavedGameParts();
  InstallRealmView();
  InstallMiniMenu();
}

int GameDataFileIsPresent(const char* fileName) { return platform::FileExists(fileName) ? 1 : 0; }

int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand) {
  (void)showCommand;
  if (!FindGameData()) return 1;
  RemoveUnfinishedSaves();
  g_hInstance = instance;
  ParseCommandLine(commandLine);
  CloseStartupMutex();
  g_startupMutex = new std::timed_mutex;
  g_autoPlayMessage = platform::RegisterWindowMessage("QueryCancelAutoPlay");

  if (!ReadGlobalOptions()) {
    platform::ShowMessageBox("The configuration file 'VRASK.CFG' could not be found.\nDefault values will be used",
                             "NO CONFIGURATION FILE", WarningBoxFlags());
  }
  g_cpuInfo.Probe();
  g_prefs.Load();
  g_screenHeight = g_prefs.isHighRes ? 600 : 480;

  if (!previousInstance && !platform::IsWindowClassRegistered(kWindowClass))
    platform::RegisterWindowClass(kWindowClass, MainWndProc);
  g_mainWindow = platform::CreateAppWindow(kWindowClass, kWindowTitle, ChooseWindowPlacement());
  if (!g_mainWindow) {
    // Without a window nobody would see the game: it says why and ends.
    const std::string problem = platform::VideoProblem();
    platform::ShowMessageBox(problem.empty() ? "The main window could not be opened." : problem, "ERROR",
                             WarningBoxFlags());
    CloseStartupMutex();
    return 1;
  }
  static bool closeRegistered = false;
  if (!closeRegistered) {
    closeRegistered = true;
    std::atexit(CloseMainWindowAtExit);
  }

  if (g_prefs.soundEnabled) StartSound(g_mainWindow, g_hInstance);
  g_outsideCdPlayerRunning = platform::FindOutsideWindow(kOutsideCdPlayerClass) ? 1 : 0;

  if (g_windowed && (platform::DesktopBitsPerPixel() != 16 || platform::DesktopPlanes() != 1)) {
    platform::ShowMessageBox("Must be in high colour mode to run in a window.", "ERROR", WarningBoxFlags());
    // The sound manager has started by now: it is stopped with the rest.
    ShutDownServices();
    CloseMainWindowAtExit();
    return 1;
  }

  InitDisplay(g_mainWindow);
  if (g_prefs.playFmv) PlayIntroMoviesInWindow(g_mainWindow);
  if (g_prefs.cdMusicEnabled) OpenCdMusic(g_mainWindow);

  LoadGameData();

  // Entering the root loads what every screen shares and pushes the first menu.
  if (g_frontEndRoot) PushScreen(g_frontEndRoot);
  PlayTitleMusic();
  StartScriptedInput();
  OpenBattleTrace(std::getenv("VRASK_BATTLE_TRACE"));
  const int exitCode = RunMainLoop();
  CloseBattleTrace();

  ShutDownServices();
  // The root screen's exit has destroyed the window by now, unless the loop ended another way.
  CloseMainWindowAtExit();
  return exitCode == 0 && g_startFailed ? 1 : exitCode;
}
