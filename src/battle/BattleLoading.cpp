// Loading a battle: the region's map path, the terrain art, the armies, the map with its path
// network, the wizards and their armies on it, the random generators; the battle screen's
// enter and exit, and the in-battle interface art.
#include <cstdio>
#include <cstring>
#include <string>

#include "ai/AIFlaggedCells.h"
#include "ai/AISpellTiming.h"
#include "ai/AISummonDecision.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleCampaign.h"
#include "battle/BattleDeployment.h"
#include "battle/BattleEndExperience.h"
#include "battle/BattleKeys.h"
#include "battle/BattleKnowledge.h"
#include "battle/BattlePanels.h"
#include "battle/BattleRecord.h"
#include "battle/BattleSystems.h"
#include "battle/BattleUnattendedEnd.h"
#include "battle/ControlLimitPanel.h"
#include "battle/PanelBattle.h"
#include "battle/ScriptActors.h"
#include "battle/TimerPanel.h"
#include "battle/TooltipManager.h"
#include "core/DataPath.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/MapObject.h"
#include "creatures/TerrainTypeData.h"
#include "graphics/BattleFacing.h"
#include "graphics/Display.h"
#include "graphics/PrintTarget.h"
#include "graphics/TypePrinters.h"
#include "magic/Blast.h"
#include "magic/Effect.h"
#include "magic/EffectManager.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"
#include "magic/SpellCast.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "map/TileOverlay.h"
#include "net/NetBattle.h"
#include "net/NetMachine.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "sound/CDAudio.h"
#include "sound/MusicTrackList.h"
#include "sound/SoundManager.h"
#include "ui/Cursor.h"
#include "ui/SpeechCtrl.h"

namespace {

constexpr int kLoadingSteps = 48;
constexpr int kLoadingSound = 804;

int LightLevels() { return g_prefs.terrainLightLevels > 0 ? g_prefs.terrainLightLevels : 256; }

std::string InMapFolder(const char* mapPath, const char* name) { return std::string(mapPath) + "\\" + name; }

void Step() { g_progressBar.Step(); }

// Neither the computers-only end nor an unattended battle's outcome is decided.
void LowerBattleEndFlags() {
  g_aiOnlyEnd = 0;
  ResetUnattendedEnd();
}

// A failure of loading: its box, and the calling screen goes.
bool Fail(const char* text) {
  ShowGeneralError(text);
  PopScreen();
  return false;
}

void LoadSpriteOrEnd(CSprite& sprite, const char* path, int levels) {
  if (!sprite.Load(path, levels)) ShowFileLoadError(path);
}

}  // namespace

// --- LoadBattle ------------------------------------------------------------------------------

bool LoadBattle(CBattle& battle) {
  battle.loadFailed = 1;
  // A recording holds, and a playback restores, the battle's realm, set-up and game type.
  SetUpBattleRecord();
  // Everything the battle computes draws from generators seeded here, before the map and
  // the deployment draw.
  g_battleRandom.Seed(static_cast<uint32_t>(g_battleSetup.battleSeed));
  g_aiRandom.Seed(static_cast<uint32_t>(g_battleSetup.battleSeed) + 1u);
  // The realm's file names the battle's map, armies and art: without it the game cannot go on,
  // and says which file it misses.
  char realmPath[512];
  MakeCurrentDirPath(g_realmFile, realmPath, sizeof realmPath);
  if (!platform::FileExists(realmPath)) ShowFileLoadError(g_realmFile);
  if (g_prefs.isHighRes)
    g_progressBar.Start(101, 564, kLoadingSteps);
  else
    g_progressBar.Start(21, 444, kLoadingSteps);
  battle.ReadRegionPath(g_realmFile, g_battleSetup.region);
  battle.paused = 0;
  battle.pauseChanged = 1;
  // A region without a map folder has no map.
  if (battle.mapPath[0] == '\0') return Fail("failed to load or initialise map.");
  if (!battle.LoadTerrain()) return Fail("failed to load terrain.");

  battle.lordKingAnimation.SetSprite(&battle.lordKingSprite);
  if (!battle.lordKingSprite.Load("sprites\\lordking.spr", 16))
    ShowGeneralError("failed to load lord & king sprites.");
  else if (!battle.lordKingAnimation.Load("sprites\\lordking.ani"))
    ShowGeneralError("failed to load lord & king anims.");

  BattleState().gameTick = 0;
  IBattleSystems& systems = BattleSystems();
  systems.ResetCreatures();
  systems.StartAI();
  // The last battle's exit released its creatures, and the last wizards leaving the field
  // raised its end flags: the new battle starts with them lowered, as its computer players
  // start without their wind-down, so that no frame of it ends it for the last one's sake.
  LowerBattleEndFlags();
  Step();

  if (!InitBattleArmies()) return Fail("army initialisation: failed.");
  if (g_gameMode == kGameModeQuickBattle || g_gameMode == kGameModeLobby) ClearPlayerSlotFigures();
  battle.timedBattle =
      (g_gameMode == kGameModeQuickBattle || g_gameMode == kGameModeLobby) && g_gameSettings.gameTime > 0 ? 1 : 0;

  g_effectManager.Reset();
  g_blastPool.Clear();
  g_blastPool.BuildAbsorptionTable();  // from the battle's terrain types, loaded above
  g_mapObjects.Reset();
  ResetSpellCasting();  // no army has seen a spell yet, and the alignments are level
  g_pathNetwork.Clear();
  g_tileSpans.Free();
  Step();

  if (g_map.Build(g_realmFile, g_battleSetup.region, g_battleSetup.mapSeed) != 1)
    return Fail("failed to load or initialise map.");
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
  BuildFlaggedCellTable();  // the graves the computer wizards may raise from
  ResetSummonAnimNotes();
  ResetEffectAnimTicks();  // the spell decisions count their animations again
  g_mapView.SetMap(&g_map);
  g_tileSpans.Reset();
  Step();

  if (g_useNodeMap) {
    if (g_pathNetwork.count > 0) {
      g_pathNetwork.Initialise();
    } else {
      g_pathNetwork.GenerateNodes(1);
      g_pathNetwork.ComputeCellKeys();
      g_pathNetwork.RebuildLinks(1, 0);
    }
  }
  g_mapObjects.ComputeNodes();

  battle.DeployDefaultWizards();
  systems.ResetScript();
  battle.nextManaRegenTick = static_cast<uint32_t>(BattleState().gameTick + g_regionSettings.manaSpriteRegenRate);
  PrepareBattleKnowledge();
  battle.loadFailed = 0;
  return true;
}

bool InitBattleArmies() {
  ClearWizardSites();
  if (g_directAI) return g_armyTable.InitDefault();
  // A network battle (or the playback of one) numbers its armies by the players (word 4).
  if (g_networkGame || PlaybackGameType().multiplayer)
    return g_armyTable.InitNumbered(g_battleSetup.players, g_battleSetup.localArmy) != 0;
  if (g_gameMode == kGameModeQuickBattle) return g_armyTable.InitSkirmish();
  return g_armyTable.InitFromRealm();
}

int CBattle::ReadRegionPath(const char* realmFile, int region) {
  std::string path = platform::CurrentDirectory();
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += "\\";
  path += realmFile;
  const std::string section = "Region" + std::to_string(region);
  const std::string value = platform::ReadProfileString(section, "Path", "", path);
  // The map's files are opened below this folder: one that leads out of the data folder is
  // no map folder.
  std::snprintf(mapPath, sizeof mapPath, "%s", IsInsideDataFolder(value) ? value.c_str() : "");
  return static_cast<int>(std::strlen(mapPath));
}

int CBattle::LoadTerrain() {
  const std::string sprite = InMapFolder(mapPath, "terrain.spr");
  LoadSpriteOrEnd(terrainSprite, sprite.c_str(), LightLevels());
  for (int type : {1, 8, 9}) {
    Step();
    terrainSprite.BuildColourTables(type, LightLevels());
  }
  terrainAnimation.SetSprite(&terrainSprite);
  const std::string animation = InMapFolder(mapPath, "terrain.ani");
  if (!terrainAnimation.Load(animation.c_str())) ShowFileLoadError(animation.c_str());
  SetTerrainAnimation(&terrainAnimationFile_);
  Step();
  doorsAnimation.SetSprite(&terrainSprite);
  const std::string doors = InMapFolder(mapPath, "doors.ani");
  if (!doorsAnimation.Load(doors.c_str())) ShowFileLoadError(doors.c_str());
  Step();
  doorsPlayer.SetAnimation(&doorsAnimation);
  doorsPlayer.Start(2, 0);
  Step();
  const std::string types = InMapFolder(mapPath, "terrain.ttd");
  if (!g_terrainTypeData.Load(types.c_str())) ShowFileLoadError(types.c_str());
  return 1;
}

// --- the screen's enter and exit ---------------------------------------------------------------

void CBattle::Initialise() {
  frameNumber = 0;
  quitRequested = 0;
  if (!ReceiveGameInit()) return;
  Step();
  // The region's colour factors tint what lies under its water: the terrain's underwater
  // tables (list positions 1 and 3) are built again with them.
  terrainSprite.BuildLightingTables(1, LightLevels(), g_regionSettings.redFactor, g_regionSettings.greenFactor,
                                    g_regionSettings.blueFactor);
  endRequested = leaveRequested = 0;
  victoryEvaluated = victory = 0;
  endCountdownRunning = 0;
  endCountdown = 0;
  victoryReached = wizardLostByEffect = criticalActorLost = 0;
  endScreenWon = -1;
  endScreenShown = 0;
  g_battleCampaign->SetBattleResult(kBattleResultRunning);
  LowerBattleEndFlags();
  g_edgeCursorKind = kEdgeNone;  // no arrow of the last battle's edge
  finalResultsShown = 0;
  ClearWizardReturns();
  storedSelectItem = -1;
  loyalCount = 0;
  endCountdownEnabled = g_gameMode == kGameModeCampaign || g_directAI ? 1 : 0;
  if (BattlePlaybackFailed()) {
    endCountdownEnabled = endCountdownRunning = 1;  // ends on the first frame
    endCountdown = 0;
  }

  Step();
  SetCursorKind(kCursorNormal);
  Step();
  LoadSpriteOrEnd(selectionCursorSprite, "sprites\\selcur.spr", 2);
  LoadSpriteOrEnd(markerSprite, "sprites\\markers.spr", 2);
  LoadSpriteOrEnd(lineSprite, "sprites\\lines.spr", 2);
  LoadParticleSprites();
  Step();
  Step();
  Step();
  Step();
  Step();
  Step();
  LoadGraphics();
  Step();
  Step();
  Step();
  g_cdAudio.Stop(1);
  if (g_soundManager) g_soundManager->Play(kLoadingSound, 0, 0, nullptr, 0);
  Step();
  g_backBuffer.Fill(0);
  ForgetCursorBackground();
  Step();
  if (CMusicTrackList* tracks = GetMusicTrackList(); tracks && tracks->Load(g_realmName) && tracks->count > 0) {
    g_cdAudio.Stop(1);
    g_cdAudio.ClearPlayList();
    tracks->Rewind();
    for (int track = tracks->Next(); track >= 0; track = tracks->Next()) g_cdAudio.AddTrack(track);
    g_cdAudio.PlayShuffled(1);
  }
  if (g_showMapSeed) {
    char text[64];
    std::snprintf(text, sizeof text, "map seed: %d", g_battleSetup.mapSeed);
    Battle().PrintMessageLine(text, 0, 100);
  }
  RequestPanelRedraw();
  graphicsFreed = 0;
  g_progressBar.Release();
  if (timedBattle) {
    g_timerPanel.Load();
    g_timerPanel.Start(g_gameSettings.gameTime * 60);
    if (g_prefs.isHighRes)
      g_timerPanel.SetPosition(640, 464);
    else
      g_timerPanel.SetPosition(480, 344);
    g_timerPanel.flag = 1;
    g_battleClock = g_gameSettings.gameTime * 60;
    if (g_gameMode == kGameModeQuickBattle) StartClock();
  }
  loaded = 1;
}

bool CBattle::ReceiveGameInit() {
  const bool started = g_networkGame ? StartNetworkBattle() : StartSinglePlayerNet(LocalPlayerName());
  if (started) return true;
  if (g_networkGame) ShowGeneralError("network client receive game init message: failed.");
  PopScreen();
  return false;
}

void CBattle::Exit() {
  StopClock();
  if (!graphicsFreed) {
    graphicsFreed = 1;
    FreeGraphics();
    g_mapView.StopSounds();
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (CEffect* effect = g_effectManager.At(i); effect && effect->active) effect->Deactivate();
  }
  g_mapView.Deactivate();
  // The script's characters leave the battle before their creatures do, so that leaving is
  // no death. Only a campaign battle completes its region.
  g_scriptActors.EndBattle(victory == 0, g_gameMode == kGameModeCampaign ? g_realmName : nullptr, g_battleSetup.region);
  BattleSystems().ReleaseAllCreatures();
  // A host gone before its clients had the last frames would leave them to rebuild those
  // frames as their new host, without the commands it held.
  ServeTheOthersToTheEnd(frameNumber);
  EndNetBattle();
  CloseBattleRecord();
  SetTerrainAnimation(nullptr);
  terrainSprite.Free();
  terrainAnimation.Free();
  doorsAnimation.Free();
  doorsPlayer.Clear();
  lordKingAnimation.Free();
  lordKingSprite.Free();
  selectionCursorSprite.Free();
  markerSprite.Free();
  lineSprite.Free();
  FreeParticleSprites();
  FreeDoorsConfig();
  g_particleManager.Clear();
  ClearCellQueue();
  g_mapView.SetMap(nullptr);
  g_pathNetwork.Clear();
  g_tileSpans.Free();
  g_map.Clear();
  g_speechCtrl.Clear();
  g_backBuffer.Fill(0);
  ForgetCursorBackground();
  SetCursorKind(kCursorNormal);
  RunExperienceProcessing();
  loaded = 0;
}

// --- the interface art ---------------------------------------------------------------------

void CBattle::LoadGraphics() {
  InitSpriteWaveTable();
  g_trailSwitch = 0;
  LoadBattleMessagePanels();
  g_tooltipManager.LoadTexts("cfg\\battletooltip.cfg");
  g_tooltipManager.Load();
  Step();
  int rect[4] = {};
  BattleViewRect(g_prefs.windowSize, g_prefs.isHighRes != 0, rect);
  g_mapView.Attach(&g_map, &g_backBuffer, &terrainSprite, platform::Rect{rect[0], rect[1], rect[2], rect[3]}, 1);
  SetUpPanels();
  CreateBattleButtons();
}

void CBattle::SetUpPanels() {
  // The view starts on the local wizard, or without a local army on the first army's wizard.
  const int local = g_localArmy;
  int shown = local;
  if (shown < 0 || !g_wizardSites[shown].placed)
    for (int army = 0; army < kArmyCount && (shown < 0 || !g_wizardSites[shown].placed); ++army)
      if (g_armyTable.armies[army].inUse && g_wizardSites[army].placed) shown = army;
  if (shown >= 0 && g_wizardSites[shown].placed) {
    const WizardSite& site = g_wizardSites[shown];
    g_mapView.SetCameraCell(site.x, site.y, site.level);
  }
  const int wizard = local != -1 ? g_armyTable.armies[local].wizardCreature : -1;
  SetUpSpotIconsAndScanner();
  SetUpSelectBarAndFace(wizard);
  if (local != -1) {
    // The wizard's control limit and the creatures it controls now.
    PanelWizardState state;
    const bool known = wizard >= 0 && g_panelBattle->GetWizard(wizard, state);
    g_controlLimitPanel.Load();
    g_controlLimitPanel.SetLimit(known ? state.controlLimit : g_gameSettings.ControlLimit);
    g_controlLimitPanel.SetValue(known ? state.controlled : 0);
    g_controlLimitPanel.flag = 1;
  }
}

void ReloadBattleGraphics(CBattle& battle) {
  LoadBattleMessagePanels();
  g_tooltipManager.LoadTexts("cfg\\battletooltip.cfg");
  g_tooltipManager.Load();
  int rect[4] = {};
  BattleViewRect(g_prefs.windowSize, g_prefs.isHighRes != 0, rect);
  g_mapView.SetViewRect(platform::Rect{rect[0], rect[1], rect[2], rect[3]});
  const int cell[3] = {g_mapView.camCellX, g_mapView.camCellY, g_mapView.camLevel};
  const int sub[3] = {g_mapView.camSubX, g_mapView.camSubY, g_mapView.camSubZ};
  battle.SetUpPanels();
  g_mapView.camCellX = cell[0], g_mapView.camCellY = cell[1], g_mapView.camLevel = cell[2];
  g_mapView.camSubX = sub[0], g_mapView.camSubY = sub[1], g_mapView.camSubZ = sub[2];
  battle.CreateBattleButtons();
  RequestPanelRedraw();
}

void CBattle::FreeGraphics() {
  FreeSelectBarAndFace();
  FreeBattleMessagePanels();
  g_timerPanel.flag = 0;
  g_timerPanel.Release();
  g_controlLimitPanel.flag = 0;
  g_controlLimitPanel.Release();
  g_tooltipManager.Release();
  FreeBattleButtons();
}

// --- the wizards and their armies -----------------------------------------------------------

void CBattle::DeployDefaultWizards() {
  CBattleDeployment deployment(g_map);
  const bool skirmish = g_gameMode == kGameModeQuickBattle || g_gameMode == kGameModeLobby;
  if (!skirmish) {
    // The player's army is the one a person commands (the realm's and the default set-ups
    // leave every army to the computer), so it becomes the local army.
    CArmy* player = g_armyTable.FindByName(kDefaultPlayerWizardName);
    if (player) {
      player->inUse = 1;
      player->human = 1;
      g_armyTable.SetActiveArmy(player->index);
      deployment.DeployWizardArmy(player->index, kWizardSiteFriendly, g_gameSettings.placesOfPower, false);
    }
    // An unattended battle: the computer plays the player's side too, against "secondAI".
    if (g_directAI) {
      if (player) {
        player->Deactivate();
        // Its wizard and creatures came while a person was to lead them, so the computer
        // players passed them over: they take them now.
        g_creatureArray.ForEachInUse([&](CCreature& creature) {
          if (creature.army != player->index || !creature.IsAlive()) return;
          g_creatureAI->RegisterCreature(0, creature.index);
          if (creature.IsWizard()) g_creatureAI->RegisterCreature(1, creature.index);
        });
      }
      if (CArmy* enemy = g_armyTable.FindByName("secondAI"))
        deployment.DeployWizardArmy(enemy->index, kWizardSiteEnemy, g_gameSettings.placesOfPower, false);
    }
    // The first army in use without a wizard brings the creatures of the placements.
    for (int army = 0; army < kArmyCount; ++army) {
      const CArmy& record = g_armyTable.armies[army];
      if (record.inUse && record.wizardCreature < 0 && !g_wizardSites[army].placed) {
        deployment.DeployCreatures(army, g_gameSettings.placesOfPower);
        break;
      }
    }
    return;
  }
  const int active = ActiveArmyCount();
  const int places = std::min(g_map.CountRegionsOfPower(), g_gameSettings.placesOfPower);
  for (int army = 0; army < kArmyCount; ++army) {
    CArmy& record = g_armyTable.armies[army];
    if (!record.inUse) continue;
    deployment.DeployWizardArmy(army, kWizardSiteMultiplayer, places, places >= active);
    record.SetRelationToAll(0);
  }
}
