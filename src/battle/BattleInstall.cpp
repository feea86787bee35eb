// The battle's answers to the subsystems below it: its facing for graphics, the mouse
// dispatcher and the frame pacer; the map's battle hooks (changed cells, the loading bar,
// the game settings, the deployment after a build, the battle's generator); the network's
// battle hooks (the clock, the pause and the end of a battle that lost its network); the
// speech control's battle; and the panels' battle.
#include <algorithm>

#include "ai/AIController.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleCasting.h"
#include "battle/BattleCreatures.h"
#include "battle/BattleDeployment.h"
#include "battle/BattleKeys.h"
#include "battle/BattlePanels.h"
#include "battle/BattleRecord.h"
#include "battle/BattleSave.h"
#include "battle/BattleSystems.h"
#include "battle/ChatConsole.h"
#include "battle/CursorFacts.h"
#include "battle/MessagePanel.h"
#include "battle/MessageScroll.h"
#include "battle/PanelBattle.h"
#include "battle/Scanner.h"
#include "battle/Script.h"
#include "battle/ScriptActions.h"
#include "battle/ScriptActors.h"
#include "battle/ScrollPanel.h"
#include "core/ErrorBox.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMarks.h"
#include "creatures/Wizard.h"
#include "creatures/WizardTable.h"
#include "graphics/BattleFacing.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "ui/ControlArt.h"
#include "ui/Screen.h"
#include "ui/SpeechCtrl.h"

namespace {

class CBattleFacing : public IBattleFacing {
 public:
  bool BattleScreenIsCurrent() override { return g_battle && g_currentScreen == g_battle; }
  void PrintMessageLine(const char* text, int line, int frames) override {
    g_messagePanel.PrintLine(text, line, frames);
  }
  void ShowBlitBenchmark(int difference, int percent) override { g_messagePanel.DrawFps(difference, percent); }
  void ShowSpriteCount(int adds) override { g_messagePanel.DrawSpriteCount(adds); }
};

class CBattleMapHooks : public IMapBattle {
 public:
  void AddChangedCell(CMapCell* cell) override {
    if (g_battle) g_battle->QueueCell(cell);
  }
  void ScannerCellChanged(int x, int y, int level) override { g_scanner.OnCellChanged(x, y, level); }
  void ProgressStep() override { g_progressBar.Step(); }
  int GameType() override { return g_gameMode; }
  int PlacesOfPower() override { return g_gameSettings.placesOfPower; }
  int ManaSprites() override { return g_gameSettings.manaSprites; }
  void DeployAfterBuild(int seed) override { DeployAfterMapBuild(g_map, seed); }
  CRandom& BattleRandom() override { return g_battleRandom; }
  bool PathNetworkPaused() override { return g_battleDebug.pathNetworkPaused != 0; }
};

class CBattleNetHooks : public INetBattle {
 public:
  void SetBattleTimer(int value) override {
    if (g_battle) g_battle->SetBattleTimer(value);
  }
  void Pause(int word) override {
    if (!g_battle) return;
    g_battle->paused = word != 0;
    g_battle->pauseChanged = 1;
  }
  void CameraBack(int) override {
    if (g_battle) g_battle->paused = 0;
  }
  // The script's inputs arrive as frame commands, the same frame on every machine.
  void SpeechClosed(int word) override { g_script.OnSpeechFinished(word); }
  void InterfaceCommand(int word) override {
    int command, id1, id2;
    ReadInterfaceCommandWord(word, command, id1, id2);
    g_script.OnInterfaceCommand(command, id1, id2);
  }
  CRecordLog* RecordLog() override { return BattleRecording() || BattlePlayingBack() ? GetRecordLog() : nullptr; }
  void ShowChatLine(const char* line) override { g_messageScroll.ShowText(line); }
  // A player left the network battle: the chat console no longer offers it.
  void RemoveChatRecipient(const char* name) override { g_chatConsole.RemovePlayer(name); }
  void EndBattle(const char*) override {
    if (g_battle) g_battle->quitRequested = 1;
  }
};

class CBattleSpeech : public ISpeechBattle {
 public:
  // A speech pauses the battle on every machine: the pause goes as a frame command.
  void Pause() override { g_netClient.AddMessage(MakeWordCommand(MSG_PAUSE, 1)); }
  void Resume() override { g_netClient.AddMessage(MakeWordCommand(MSG_CAMERA_BACK, 0)); }
  // The panels are this machine's view: they hide and come back at once.
  void HideInterface(int spellKind) override {
    if (g_battle) g_battle->HideInterface(spellKind);
  }
  void RestoreInterface() override {
    if (g_battle) g_battle->RestoreInterface();
  }
};

// What the creatures ask of the battle: the panels' answers about the local wizard, and the
// battle state's own.
class CBattleCreatureHooks : public CBattleCreaturePanels {
 public:
  // The creatures' timers count the battle's ticks, which a saved game keeps: the frame
  // number of the network's lock step starts again with every session.
  int FrameCounter() override { return BattleState().gameTick; }
  int GameType() override { return g_gameMode; }
  // Only computer players, or nobody, are left: the battle ends once they have finished.
  // Both controllers wind down: they end what runs and start nothing new.
  void RaiseBattleEndFlags() override {
    g_aiOnlyEnd = 1;
    g_aiUnitController.BeginWindDown();
    g_aiSideController.BeginWindDown();
  }
  // The script: its characters, their deaths and departures, and its trigger cells.
  bool ScriptWatchesLastWizard() override { return g_script.HasWizardDeployment(); }
  void OnCreatureRemoved(int creature) override { g_scriptActors.OnCreatureRemoved(creature); }
  bool IsHeldByScript(int creature) override {
    const ScriptActor* actor = g_scriptActors.FindByCreature(creature);
    return actor && actor->state == kActorAliveInBattle;
  }
  bool ScriptTakesDeath(int creature) override { return g_script.OnCreatureKilled(creature) != 0; }
  void OfferScriptEvent(int kind, int creature, int value) override {
    g_script.FireEvent(kind, creature, value, 0, -1, -1);
  }
  void ShowScroll(int scroll) override { g_scrollPanel.ShowScroll(scroll); }
  // A number key's group was selected with focus: the view goes to its creatures.
  void CycleCreatureFocus() override {
    if (g_battle) g_battle->CycleCreatureFocus(true);
  }
  void NoteBlow(int army) override { CountBattleBlow(army); }
  // The realm configuration names the armies of the battle's region.
  int CampaignRegion() override { return g_battleSetup.region; }
  const char* PlayerSlotName(int slot) override {
    return slot >= 0 && slot < kPlayerSlotCount ? g_playerSlots[slot].name : "No Player";
  }
  // The results screen ranks the player slots by these figures.
  void AddKills(int army, int kills) override {
    if (CPlayerSlot* slot = SlotOf(army)) slot->AddKills(kills);
  }
  void AddDeaths(int army, int deaths) override {
    if (CPlayerSlot* slot = SlotOf(army)) slot->AddDeaths(deaths);
  }
  void AddScore(int army, int score) override {
    if (CPlayerSlot* slot = SlotOf(army)) slot->AddScore(score);
  }
  int LivesLeft(int army) override {
    const CPlayerSlot* slot = SlotOf(army);
    return slot ? slot->lives : 1;
  }
  void LoseLife(int army) override {
    if (CPlayerSlot* slot = SlotOf(army); slot && slot->lives > 0) --slot->lives;
  }
  CSprite* MarkerSprite() override {
    return g_battle && g_battle->markerSprite.IsLoaded() ? &g_battle->markerSprite : nullptr;
  }
  CAnimation* RankBadgeAnimation() override {
    const bool loaded =
        g_battle && g_battle->lordKingSprite.IsLoaded() && g_battle->lordKingAnimation.SequenceCount() > 1;
    return loaded ? &g_battle->lordKingAnimation : nullptr;
  }

 private:
  static CPlayerSlot* SlotOf(int army) {
    const int slot = PlayerSlotOfArmy(army);
    return slot >= 0 ? &g_playerSlots[slot] : nullptr;
  }
};

class CBattlePanels : public IPanelBattle {
 public:
  int GameType() override { return g_gameMode; }
  int LocalArmy() override { return g_localArmy; }
  // Armies 0-3 of quick and network battles are the player slots 0-3.
  int ArmyPortrait(int army) override {
    return army >= 0 && army < kPlayerSlotCount ? g_playerSlots[army].portrait : 0;
  }
  // The local wizard's creature as the select bar and the face panel show it.
  bool GetWizard(int creature, PanelWizardState& out) override {
    const CCreature* wizard = CreatureInUse(creature);
    if (!wizard) return false;
    out = PanelWizardState{};
    out.spellCount = std::clamp(wizard->spellCount, 0, kWizardSpellSlots);
    for (int i = 0; i < out.spellCount; ++i) out.spells[i] = wizard->spells[i];
    for (int i = 0; i < kCarrySlots && i < kCreatureEvents; ++i)
      if (wizard->events[i].active) out.items[i] = PanelCarrySlot{wizard->events[i].kind, wizard->events[i].remaining};
    out.health = wizard->health;
    out.maxHealth = wizard->GetMaxHealth();
    out.mana = wizard->mana;
    out.maxMana = wizard->maxMana * 256;  // the creature keeps whole points
    out.controlled = wizard->behaviour.armyCount;
    out.controlLimit = wizard->aiWords[wizard_words::kControlLimit];
    const CArmy* army = g_armyTable.GetArmy(wizard->army);
    if (const CWizard* record = army ? g_wizardTable.At(army->wizardRecord) : nullptr)
      out.rankTier = record->GetRankTier();
    out.level = wizard->level;
    return true;
  }
  void SelectSpell(int creature, int spell) override {
    if (CCreature* wizard = CreatureInUse(creature)) wizard->SelectSpell(spell);
  }
  // The wizard alone selected: every other selection and inspection ends.
  bool SelectWizardAlone(int creature) override {
    CCreature* wizard = CreatureInUse(creature);
    if (!wizard) return false;
    const bool already = wizard->selected && g_selectionCount == 1;
    g_creatureArray.ForEachInUse([&](CCreature& other) {
      if (&other != wizard && (other.selected || other.inspected)) other.Deselect();
    });
    wizard->Select();
    return already;
  }
  void FocusOnWizard(int creature) override { g_mapView.FocusOnCreature(creature); }
  bool ScriptCommandsArmed() override { return g_script.interfaceWatch != 0; }
  // The scanner hides what the local army has not seen; without light sources nothing is
  // ever seen, and a battle with no local army shows everything.
  bool FogOfWar() override { return g_localArmy != -1 && !g_noLightSources; }
  void CloseChatConsole() override { g_chatConsole.Hide(); }
};

// What the map view asks of the battle, as far as the battle answers it: the script's
// interface commands. The view names a spell for a cast (2) and a creature type for a
// selection and the orders (3-6); they travel as frame commands.
class CBattleMapView : public IMapViewBattle {
 public:
  bool ScriptCommandsArmed() override { return g_script.interfaceWatch != 0; }
  void OfferInterfaceCommand(int kind, int value, int) override {
    if (kind == kCommandSpellSelected || kind == kCommandSpellCast)
      ::OfferInterfaceCommand(kind, value, -1);
    else
      ::OfferInterfaceCommand(kind, -1, value);
  }
  CMapCursorFacts* CursorFacts() override { return &BattleCursorFacts(); }
  // A creature's label in the glyphs of the marker sprite, left to right from the point.
  void DrawLabel(int x, int y, const char* text) override {
    const CSprite* glyphs = g_battle ? &g_battle->markerSprite : nullptr;
    for (const char* c = text; c && *c; ++c) {
      const int frame = static_cast<unsigned char>(*c) - creature_marks::kFirstGlyphCode;
      if (*c > creature_marks::kLastGlyphCode || frame < 0) continue;
      PrintControlFrame(glyphs, frame, x, y);
      x += ControlFrameWidth(glyphs, frame) - 1;
    }
  }
  // The debug keys' switches.
  int OcclusionSetting() override { return g_battleDebug.occlusion; }
  int DisplayToggle() override { return g_battleDebug.displayToggle; }
};

CBattleFacing g_facing;
CBattleMapView g_battleMapView;
CBattleMapHooks g_mapBattle;
CBattleNetHooks g_netBattle;
CBattleSpeech g_speech;
CBattlePanels g_panels;
CBattleCreatures g_creatures;
CBattleCreatureHooks g_creatureHooks;

ISpeechBattle* g_speechBattleBefore = nullptr;
ISpeechCamera* g_speechCameraBefore = nullptr;

}  // namespace

void InstallBattle() {
  // A second install keeps what stood before the first, so that uninstalling puts that back
  // rather than the battle's own answers.
  if (g_speechBattle != &g_speech) g_speechBattleBefore = g_speechBattle;
  if (g_speechCamera != &g_mapView) g_speechCameraBefore = g_speechCamera;
  g_battleFacing.Install(&g_facing);
  g_mapHooks.battle = &g_mapBattle;
  g_mapViewHooks.battle = &g_battleMapView;
  g_netHooks.battle = &g_netBattle;
  g_speechBattle = &g_speech;
  g_speechCamera = &g_mapView;
  g_panelBattle.Install(&g_panels);
  g_battleSystems.Install(&g_creatures);
  g_creatureBattle.Install(&g_creatureHooks);
  InstallBattleCasting();
  InstallScriptActions();
  InstallScriptAISpells();
  InstallBattleSaveParts();
  InstallAIControllers();
}

void UninstallBattle() {
  // The battle's shared state lives in its facing: a later install starts from a fresh one,
  // never from the tick, scroll buffer or mouse mode of the battle before.
  g_facing.state = CBattleSharedState{};
  ForgetBattleBlows();
  g_battleFacing.Install(nullptr);
  g_mapHooks.battle = DefaultMapHooks().battle;
  g_mapViewHooks.battle = DefaultMapViewHooks().battle;
  g_netHooks.battle = DefaultNetHooks().battle;
  if (g_speechBattle == &g_speech && g_speechBattleBefore) g_speechBattle = g_speechBattleBefore;
  if (g_speechCamera == &g_mapView) g_speechCamera = g_speechCameraBefore;
  g_speechBattleBefore = nullptr;
  g_speechCameraBefore = nullptr;
  g_panelBattle.Install(nullptr);
  g_battleSystems.Install(nullptr);
  // The creatures' calls answer neutrally again: nothing of this battle's state is reached.
  g_creatureBattle.Install(nullptr);
  UninstallBattleCasting();
  UninstallScriptActions();
  g_battleSaveParts.Install(nullptr);
  UninstallAIControllers();
}
