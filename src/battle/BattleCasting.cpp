// A cast reaches the battle only as a frame command: the network runs the frame's commands on
// every machine on the same frame, and each runs the same CSpellCast from the same eleven
// words. The countdown effects (a trap counted down to the battle's end) answer through the
// battle's scanner, its countdown dial and its defeat messages.
#include "battle/BattleCasting.h"

#include "battle/ScriptActors.h"
#include "battle/Scanner.h"
#include "battle/TimerPanel.h"
#include "core/Preferences.h"
#include "creatures/CreatureArray.h"
#include "magic/EffectBattle.h"
#include "magic/SpellCast.h"
#include "net/NetHooks.h"

namespace {

class CBattleCommands : public INetCommandSink {
 public:
  int CreatureCount() override { return g_creatureArray.Capacity(); }
  bool IsAlive(int creature) override {
    const CCreature* c = g_creatureArray.InUse(creature);
    return c && c->health != 0;
  }
  void CastSpell(const int32_t record[11]) override { CSpellCast::FromWords(record).Execute(); }
};

class CBattleEffects : public IEffectBattle {
 public:
  void AddScannerMarker(int x, int y, int) override { g_scanner.AddMarker(x, y); }
  void RemoveScannerMarker(int x, int y, int) override { g_scanner.RemoveMarker(x, y); }
  void StartCountdown(int value) override {
    g_timerPanel.Start(value);
    if (g_prefs.isHighRes)
      g_timerPanel.SetPosition(640, 464);
    else
      g_timerPanel.SetPosition(480, 344);
    g_timerPanel.flag = 1;
  }
  void SetCountdown(int value) override { g_timerPanel.SetTime(value); }
  // The same end as a lost key character: the defeat message becomes the battle's end message.
  void EndWithDefeatMessage(int index) override {
    g_scriptBattleEnd->SetBattleEndMessage(g_scriptBattleEnd->DefeatMessage(index));
  }
};

CBattleCommands g_battleCommands;
CBattleEffects g_battleEffects;

}  // namespace

void InstallBattleCasting() {
  g_netHooks.commands = &g_battleCommands;
  g_effectBattle.Install(&g_battleEffects);
}

void UninstallBattleCasting() {
  g_netHooks.commands = DefaultNetHooks().commands;
  g_effectBattle.Install(nullptr);
}
