// The battle screen's frame, its enter and exit, the end of a battle and the battle clock.
#include "battle/Battle.h"

#include <algorithm>
#include <cstdio>

#include "ai/Brain.h"
#include "battle/BattleArmies.h"
#include "battle/BattleCampaign.h"
#include "battle/BattlePanels.h"
#include "battle/BattleRecord.h"
#include "battle/BattleSystems.h"
#include "battle/BattleTrace.h"
#include "battle/BattleUnattendedEnd.h"
#include "battle/ControlLimitPanel.h"
#include "battle/MessagePanel.h"
#include "battle/NamedList.h"
#include "battle/QuickBattleEndScreen.h"
#include "battle/SelectBar.h"
#include "battle/TimerPanel.h"
#include "battle/TooltipManager.h"
#include "battle/WizardFacePanel.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/MapObject.h"
#include "graphics/BattleFacing.h"
#include "graphics/Display.h"
#include "magic/Effect.h"
#include "magic/EffectManager.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "map/SegmentPool.h"
#include "map/TileOverlay.h"
#include "net/NetBattle.h"
#include "net/NetMachine.h"
#include "net/NetMessages.h"
#include "sound/SoundStartup.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/SpeechCtrl.h"

CBattleSetup g_battleSetup;
int g_battleClock = -1;
int g_aiOnlyEnd = 0;
int g_followSelection = 0;
int g_musicRestarted = 0;
CBattle* g_battle = nullptr;

namespace {
IBattleCampaign g_neutralCampaign;
}
HookSlot<IBattleCampaign> g_battleCampaign(&g_neutralCampaign);

namespace {

constexpr int kReservedEffects = 100;  // effect slots that run while the battle is paused
constexpr int kExperienceFlushTicks = 512;

int ActiveEffectsFrom(int first) {
  int count = 0;
  for (int i = first; i < g_effectManager.Count(); ++i)
    if (const CEffect* effect = g_effectManager.At(i); effect && effect->active) ++count;
  return count;
}

}  // namespace

void ConstructBattle() { g_battle = new CBattle; }
void DestroyBattle() {
  DestroyQuickBattleEndScreen();
  delete g_battle;
  g_battle = nullptr;
}

CBattle::CBattle() {
  id = kBattleScreenId;
  loaded = 0;
  fading = 0;
  fadesOn = 1;
}

CBattle::~CBattle() {
  StopClock();
  g_progressBar.Release();
}

// --- the frame --------------------------------------------------------------------------------

void CBattle::Update() {
  if (quitRequested) {
    ReleaseTimer();
    PopScreen();
    return;
  }
  if (!g_directAI && endCountdownEnabled) EndCountdownStep();
  if (leaveRequested) {
    Leave();
    return;
  }
  if (endRequested) {
    EndBattleAndShowResult();
    return;
  }
  // Computer players that do not run (ActiveAI FALSE) have nothing to finish.
  // A wizard's fall raises the end flags too: the unattended battle then says how it ended.
  if (g_aiOnlyEnd) CheckUnattendedEnd(BattleState().gameTick);
  if (g_aiOnlyEnd && (!g_activeAI || BattleSystems().AIFinished())) {
    // Back from the final results (or any other battle): it ends.
    if (!ShowFinalResults()) PopScreen();
    return;
  }
  if (BattlePlayingBack()) g_messagePanel.PrintLine(">> PlayBack Mode >>", 0, 1);
  // A paused battle says so: nothing else on the screen moves.
  if (paused) g_messagePanel.PrintLine("|| Paused ||", 1, 1);
  if (!g_netClient.RunFrame(frameNumber, true)) {
    // The machines disagree, or the recording broke: the battle ends; else the frame retries.
    if (g_netClient.Failed()) quitRequested = 1;
    return;
  }
  const int wasPaused = paused;
  ++frameNumber;
  if (!wasPaused) {
    ++BattleState().gameTick;
    if (g_activeAI) {
      BattleSystems().UpdateAI(0, g_aiTimeLimit / 2);
      BattleSystems().UpdateAI(1, g_aiTimeLimit / 2);
    }
    if (BattleState().gameTick % kExperienceFlushTicks == 0) g_brain.FlushExperience();
    CheckUnattendedEnd(BattleState().gameTick);
  }
  DispatchMouseEvents();
  // The host counts the seconds for everyone; a machine that has become the host after the
  // host left takes the counting over from the clock's value.
  if (g_networkGame && g_netSession.isHost && timedBattle && !clockRunning) StartClock();
  if (NetBattleValidates())
    g_netClient.AddValidateMessage(
        MakeFrameValidation(BattleSystems().CreaturesInUse(), ActiveEffectsFrom(kReservedEffects)), frameNumber);
  PostClockSeconds();
  g_netClient.SendFrame(frameNumber);
  RunFrameSystems(wasPaused);
}

void CBattle::RunFrameSystems(bool wasPaused) {
  if (!wasPaused) {
    BattleSystems().UpdateCreatures();
    if (g_pathNetwork.count > 0) g_pathNetwork.Update();
  } else if (g_speechCtrl.IsActive()) {
    // A speech's pause is the path network's time to catch up. How long the pause lasts
    // depends on this machine's view (the camera's glide to the speaker and back), so the
    // work must not: the first paused frame finishes every pending check (nothing queues
    // more while the battle stands), and the network is the same after any number of them.
    g_pathNetwork.FinishPendingChecks();
  }
  CheckWizardReturns();
  // Effects: all of them; while paused only the reserved first hundred (the interface's own).
  const int effects = wasPaused ? std::min(kReservedEffects, g_effectManager.Count()) : g_effectManager.Count();
  for (int i = 0; i < effects; ++i) BattleSystems().UpdateEffect(i);
  if (!wasPaused) {
    RunWorld();
    if (!g_netHost.WaitForFrame(frameNumber, true)) return;
    if (static_cast<uint32_t>(BattleState().gameTick) > nextManaRegenTick && g_map.RegenerateManaSprites())
      nextManaRegenTick = static_cast<uint32_t>(BattleState().gameTick + g_regionSettings.manaSpriteRegenRate);
    BattleSystems().ScriptTick();
    if (!g_noLightSources) g_map.UpdateVisibility();
  }
  if (!g_skipThisFrame) {
    g_cursorTimerMayDraw = false;
    DrawSoftwareCursor();
    PresentWorkSurface();
    g_cursorTimerMayDraw = true;
  }
  g_speechCtrl.Tick();
  if (timedBattle && g_battleClock == 0) BattleSystems().KillAllCreatures();
  if (!wasPaused) BattleSystems().UpdateCreatureVisibility();
  WriteBattleTraceFrame(*this);
  FollowSelection();
  if (!g_skipThisFrame) {
    ScrollByKeysAndEdges();
    Draw();
  }
}

void CBattle::RunWorld() {
  g_tileSpans.Tick();
  g_map.StepCellAnimations();
  doorsPlayer.Advance();
  g_map.TickRegionOfPowerCounters();
  g_mapObjects.UpdateAnims();
  g_particleManager.Update();
  g_segmentPool.Tick();
  StepCollapse();
}

void CBattle::Draw() {
  StepBattlePanels();
  FlushQueuedBlits();
  g_mapView.Update();
  DrawInterface();
}

void CBattle::DrawInterface() {
  DrawBattlePanels(g_localArmy != -1);
  FlushQueuedBlits();
}

// --- the end of a battle -------------------------------------------------------------------

void CBattle::EndCountdownStep() {
  if (!endCountdownRunning && (g_localArmy == -1 || victoryReached || wizardLostByEffect || criticalActorLost)) {
    endCountdownRunning = 1;
    endCountdown = kEndCountdownFrames;
    ReleaseTimer();
  }
  if (!endCountdownRunning) return;
  if (endCountdown-- != 0) return;
  if (g_gameMode == kGameModeCampaign)
    endRequested = 1;
  else
    leaveRequested = 1;
  endCountdownRunning = 0;
}

// A single-player quick battle with one side left: the results go up over it once, with
// Leave Battle only, so that the player sees how it went before the battle is gone. This is a
// choice of ours: popping straight back, as the other battles do, would end a quick battle that
// the computers finished (the player's wizard fallen, say) without a word of its outcome, since
// a quick battle has no end screen of its own. False once they were shown, and for the other
// battles, which end at once.
bool CBattle::ShowFinalResults() {
  if (g_gameMode != kGameModeQuickBattle || g_networkGame || !g_backBuffer.IsCreated()) return false;
  if (finalResultsShown) return false;
  finalResultsShown = 1;
  CQuickBattleEndScreen& results = QuickBattleEndScreen();
  results.returned = 1;
  results.hasArmy = g_localArmy != -1 ? 1 : 0;
  PushScreen(&results);
  return true;
}

void CBattle::Leave() {
  ReleaseTimer();
  if (!victoryEvaluated) EvaluateVictory();
  leaveRequested = 0;
  if (g_musicRestarted == 0)
    RestartMainMusic();
  else
    g_musicRestarted = 0;
  PopScreen();
}

void CBattle::EndBattleAndShowResult() {
  ReleaseTimer();
  leaveRequested = 1;
  endRequested = 0;
  victory = EvaluateVictory() ? 1 : 0;
  // A defeated player who still has an army and lost nothing critical leaves next frame.
  if (!victory && g_localArmy != -1 && !wizardLostByEffect && !criticalActorLost) return;
  if (victory) {
    g_battleCampaign->SetBattleResult(kBattleResultWon);
    // The victory counts toward the wizard's rank, and the script's awards of the battle
    // (the named list, shown on the end screen) become its experience to spend.
    BattleSystems().RewardPlayerWizard(kDefaultPlayerWizardName, GetNamedList()->SumValues());
  }
  // Losing the battle of the realm's first region ends the campaign.
  if (!victory && g_battleSetup.region == 1) g_battleCampaign->LeaveCampaign();
  RestartMainMusic();
  g_musicRestarted = 1;
  if (!graphicsFreed) {
    graphicsFreed = 1;
    FreeGraphics();
    g_mapView.StopSounds();
    for (int i = 0; i < g_effectManager.Count(); ++i)
      if (CEffect* effect = g_effectManager.At(i); effect && effect->active) effect->Deactivate();
  }
  ShowBattleEndScreen(*this);
}

bool CBattle::EvaluateVictory() {
  victoryEvaluated = 1;
  if (!victoryReached) {
    victory = 0;
    return false;
  }
  victory = 1;
  if (BattleSystems().FindPlayerWizard("Edric") && wonItemCount != 0)
    for (const WonItem& item : wonItems)
      if (item.present) GiveWonItem(item.kind, item.values);
  return true;
}

void GiveWonItem(int kind, const int32_t values[4]) {
  // Kinds 97 and above are magic items (97 the first); the lowest kinds, 6 and 19 are no
  // items at all.
  if (kind >= kFirstMagicItemKind) {
    BattleSystems().AddWizardMagicItem(kind - kFirstMagicItemKind);
    return;
  }
  if (kind < 0 || kind <= 4 || kind == 6 || kind == 19) return;
  BattleSystems().AddWizardQueuedEntry(kind, values);
}

void CBattle::RestartMainMusic() { PlayTitleMusic(); }

// --- pause and the clock ------------------------------------------------------------------

void CBattle::RequestPause() { g_netClient.AddMessage(MakeWordCommand(MSG_PAUSE, paused ? 0 : 1)); }

void CBattle::Pause() {
  paused = 1;
  pauseChanged = 1;
}

void CBattle::SetBattleTimer(int seconds) {
  g_battleClock = seconds;
  if (g_timerPanel.flag) g_timerPanel.SetTime(seconds);
}

void CBattle::StartClock() {
  clockSeconds = 0;
  clockRunning = true;
  battleClock.SetPeriod(1000, 5);
  battleClock.Start(&CBattle::ClockCallback);
}

void CBattle::StopClock() {
  battleClock.Stop();
  clockRunning = false;
}

void CBattle::ClockCallback(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
  if (g_battle) ++g_battle->clockSeconds;
}

void CBattle::PostClockSeconds() {
  const int seconds = clockSeconds.exchange(0);
  if (seconds <= 0 || paused) return;
  // The message sets the clock on every machine two frames on: the seconds counted since.
  g_netClient.PostCounter(g_battleClock - (seconds - 1));
}

void CBattle::ReleaseTimer() {
  if (!timedBattle) return;
  StopClock();
  g_timerPanel.flag = 0;
  g_timerPanel.Release();
}

// --- the screen -------------------------------------------------------------------------------

void CBattle::Suspend() { g_mapView.Deactivate(); }

void CBattle::Resume() { RequestPanelRedraw(); }
