#include "net/NetBattle.h"

#include <algorithm>
#include <memory>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Random.h"
#include "core/RecordLog.h"
#include "net/NetHooks.h"
#include "net/NetMachine.h"
#include "platform/Clock.h"
#include "platform/LoopbackNetwork.h"

namespace {

std::unique_ptr<platform::LoopbackNetwork> g_singlePlayerNetwork;

bool Refuse(const char* text) {
  ShowGeneralError(text);
  EndNetBattle();
  return false;
}

}  // namespace

bool StartSinglePlayerNet(const char* playerName) {
  EndNetBattle();
  g_singlePlayerNetwork = std::make_unique<platform::LoopbackNetwork>();
  g_netSession.Attach(g_singlePlayerNetwork->Connect(), true);
  g_netSession.messageDelay = 0;
  g_netSession.sessionName = "single player";
  g_netMachine.Reset();
  if (!g_netSession.CreateGame() || !g_netSession.CreateHostPlayer() || !g_netClient.CreatePlayer(playerName))
    return Refuse("network client could not create message");
  g_netHost.RefreshClients();
  g_netMachine.ApplyStartMarks();
  return StartNetworkBattle() || Refuse("network client could not create message");
}

bool StartNetworkBattle() {
  if (!g_netClient.BeginFrameMessage()) return false;
  if (g_netSession.isHost && !g_singlePlayerNetwork)
    g_netSession.SetSessionFlags(platform::kSessionNewPlayersDisabled | platform::kSessionMigrateHost |
                                 platform::kSessionJoinDisabled | platform::kSessionKeepAlive);
  g_netClient.SendFrame(0);
  g_netSession.phase = kNetPhaseBattle;
  return g_netHost.WaitForFrame(0, true);
}

void EndNetBattle() {
  if (g_singlePlayerNetwork) {
    g_netSession.Release();
    g_netSession.phase = kNetPhaseNone;
    g_singlePlayerNetwork.reset();
  } else if (g_netSession.phase == kNetPhaseBattle) {
    g_netSession.phase = kNetPhaseSetup;
  }
}

void ServeTheOthersToTheEnd(int framesRun) {
  if (g_singlePlayerNetwork || g_netSession.phase != kNetPhaseBattle || !g_netSession.isHost) return;
  const uint32_t start = platform::TickCount();
  const uint32_t patience = 2u * static_cast<uint32_t>(std::max(g_netKeepAlive, 0));
  WaitInSteps([&] {
    if (!g_netMachine.Serve(framesRun)) return NetWait::kDone;
    return platform::TickCount() - start < patience ? NetWait::kPending : NetWait::kDone;
  });
}

bool IsSinglePlayerNet() { return g_singlePlayerNetwork != nullptr; }

bool NetBattleValidates() {
  if (!g_singlePlayerNetwork) return true;
  CRecordLog* log = g_netHooks.battle->RecordLog();
  return log && log->isOpen;
}

CommandMessage MakeFrameValidation(int activeCreatures, int activeEffects) {
  return MakeValidateMessage(g_battleRandom.indexA ^ g_battleRandom.indexB, activeCreatures, activeEffects);
}
