// A cast reaches the battle only as a frame command: the network runs the frame's commands on
// every machine on the same frame, and each runs the same CSpellCast from the same eleven
// words. The countdown effects (a trap counted down to the battle's end) answer through the
// battle's scanner, its countdown dial and its defeat messages; a trap that takes the local
// wizard loses the battle.
#include "battle/BattleCasting.h"

#include "battle/Battle.h"
#include "battle/Scanner.h"
#include "battle/ScriptActors.h"
#include "battle/TimerPanel.h"
#include "core/Preferences.h"
#include "creatures/CreatureArray.h"
#include "magic/EffectBattle.h"
#include "magic/EffectLog.h"
#include "magic/EffectWorld.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"
#include "net/NetHooks.h"

namespace {

constexpr int kChestObject = 50;
constexpr int kQueuedWalk = 2, kQueuedAttack = 3;

// The creature a command names: in range and in use. The network checks the range of every
// number, and life only for some commands; a slot that is free on this machine is free on
// every machine, so the command is dropped alike everywhere.
CCreature* Commanded(int creature) { return g_creatureArray.InUse(creature); }
CCreature* Living(int creature) {
  CCreature* c = Commanded(creature);
  return c && c->IsAlive() ? c : nullptr;
}

// A cell from a peer: x and y wrap into the map, a level outside it is refused.
bool MapCell(int& x, int& y, int level) {
  if (!g_map.HasCells() || level < 0 || level >= g_map.levels) return false;
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  return true;
}

// A chest stands beside the chest-lid terrain: the side neighbour holding a chest, at the lid's
// level or the one below (the last found wins); false when there is none.
bool ChestBesideLid(int& x, int& y, int& level) {
  const CMapCell* lid = g_map.CellAtWrapped(x, y, level);
  if (!lid || lid->terrain == 0 || !(TerrainOf(lid->terrain).typeFlags & type_flags::kChestLid)) return false;
  static constexpr int kSides[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
  bool found = false;
  int fx = 0, fy = 0, fl = 0;
  for (const auto& side : kSides)
    for (int l : {level, level - 1}) {
      if (l < 0) continue;
      const int sx = CWrapCoord::WrapX(x + side[0]), sy = CWrapCoord::WrapY(y + side[1]);
      if (g_effectWorld->CellObjectKind(sx, sy, l) != kChestObject) continue;
      fx = sx, fy = sy, fl = l, found = true;
    }
  if (found) x = fx, y = fy, level = fl;
  return found;
}

// The frame's commands, run on every machine on the same frame: the player's orders reach
// the creatures here and nowhere else.
class CBattleCommands : public INetCommandSink {
 public:
  int CreatureCount() override { return g_creatureArray.Capacity(); }
  bool IsAlive(int creature) override {
    const CCreature* c = g_creatureArray.InUse(creature);
    return c && c->health != 0;
  }
  void ClearPathMarkers(int creature) override {
    if (CCreature* c = Commanded(creature)) c->ClearPathMarkers();
  }
  // Follows a living creature other than itself; anything else follows nobody.
  void SetFollowTarget(int creature, int target) override {
    CCreature* c = Commanded(creature);
    if (!c) return;
    c->followed = target != creature && Living(target) ? target : -1;
  }
  void WalkTo(int creature, int x, int y, int z) override {
    CCreature* c = Living(creature);
    if (c && MapCell(x, y, z)) c->WalkTo(x, y, z);
  }
  void WalkToCell(int creature, int x, int y, int level) override {
    CCreature* c = Living(creature);
    if (c && MapCell(x, y, level) && ChestBesideLid(x, y, level)) c->WalkTo(x, y, level);
  }
  void AttackTerrain(int creature, int x, int y, int z) override {
    CCreature* c = Living(creature);
    if (c && MapCell(x, y, z)) c->AttackTerrain(x, y, z);
  }
  void AttackCreature(int creature, int target) override {
    CCreature* c = Living(creature);
    if (c && target != creature && Living(target)) c->AttackCreature(target);
  }
  // Shift-orders join the creature's waypoint queue; an attack's waypoint stands at the
  // target's cell.
  void ApplyQueuedOrder(int creature, int kind, int a, int b, int c, int d) override {
    CCreature* self = Living(creature);
    if (!self) return;
    if (kind == kQueuedWalk && MapCell(a, b, c)) self->AddWaypoint(kQueuedWalk, a, b, c, -1);
    if (kind == kQueuedAttack && d != creature) {
      if (const CCreature* target = Living(d))
        self->AddWaypoint(kQueuedAttack, target->cellX, target->cellY, target->level, d);
    }
  }
  void ProcessEventAt(int creature, int eventIndex) override {
    CCreature* c = Living(creature);
    if (c && eventIndex >= 0 && eventIndex < kCreatureEvents) c->ProcessEventAt(eventIndex);
  }
  void CastSpell(const int32_t record[11]) override { CSpellCast::FromWords(record).Execute(); }
  void WriteEffectLog(const char* fileName) override {
    if (fileName) g_effectLog.Dump(fileName);
  }
};

// The countdown effects (a trap on a place) mark their cell on the scanner, show their count
// on the battle's timer panel and may end the battle; a trap may take the local wizard. One
// answer serves from the start of the program (the panels) through every battle.
class CBattleEffects : public IEffectBattle {
 public:
  void AddScannerMarker(int x, int y, int) override { g_scanner.AddMarker(x, y); }
  void RemoveScannerMarker(int x, int y, int) override { g_scanner.RemoveMarker(x, y); }
  void StartCountdown(int value) override {
    g_timerPanel.Load();
    g_timerPanel.Start(value);
    g_timerPanel.SetTime(value);
    if (g_prefs.isHighRes)
      g_timerPanel.SetPosition(640, 464);
    else
      g_timerPanel.SetPosition(480, 344);
    g_timerPanel.flag = 1;
  }
  void SetCountdown(int value) override {
    if (g_timerPanel.flag) g_timerPanel.SetTime(value);
  }
  // The same end as a lost key character: the defeat message becomes the battle's end message.
  void EndWithDefeatMessage(int index) override {
    g_scriptBattleEnd->SetBattleEndMessage(g_scriptBattleEnd->DefeatMessage(index));
  }
  // A trap took the local player's wizard: the battle counts it lost, and its end countdown
  // starts on the next frame as for any other lost wizard.
  void LocalWizardTrapped() override {
    if (g_battle) g_battle->wizardLostByEffect = 1;
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

IEffectBattle& BattleEffectAnswers() { return g_battleEffects; }
