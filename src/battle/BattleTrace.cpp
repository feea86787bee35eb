#include "battle/BattleTrace.h"

#include <cstdio>
#include <vector>

#include "ai/AICastLog.h"
#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "core/Random.h"
#include "creatures/Mapelem.h"
#include "graphics/BattleFacing.h"
#include "platform/Files.h"

namespace {
FILE* g_trace = nullptr;

// The army's wizard's mana in whole points, as its face panel shows it; -1 once it has no
// wizard on the map. Every army's, never only the local player's: the traces of the machines
// of one network battle agree line for line.
int WizardMana(int army) {
  const CCreature* wizard = g_armyTable.GetWizard(army);
  return wizard && wizard->inUse ? wizard->mana >> 8 : -1;
}
}  // namespace

void OpenBattleTrace(const char* path) {
  CloseBattleTrace();
  if (!path || !*path) return;
  g_trace = platform::OpenFile(path, "w");
}

void CloseBattleTrace() {
  if (g_trace) std::fclose(g_trace);
  g_trace = nullptr;
}

void WriteBattleTraceNote(const char* text) {
  if (!g_trace) return;
  std::fprintf(g_trace, "%s\n", text);
  std::fflush(g_trace);
}

void WriteBattleTraceFrame(const CBattle& battle) {
  const std::vector<CAICastNote> casts = TakeAICastNotes();  // taken even untraced, so none pile up
  const std::vector<CAIAdoptionNote> adoptions = TakeAIAdoptionNotes();
  const std::vector<CAIEndNote> ends = TakeAIEndNotes();
  if (!g_trace) return;
  IBattleSystems& systems = BattleSystems();
  std::fprintf(g_trace, "frame %d tick %d paused %d check %d creatures %d hash %08x", battle.frameNumber,
               BattleState().gameTick, battle.paused, g_battleRandom.indexA ^ g_battleRandom.indexB,
               systems.CreaturesInUse(), systems.CreatureStateHash());
  for (int army = 0; army < kArmyCount; ++army) {
    if (!g_armyTable.armies[army].inUse) continue;
    const ArmyFrameCounts counts = systems.ArmyCounts(army);
    std::fprintf(g_trace, " army%d moved %d blows %d mana %d", army, counts.moved, counts.blows, WizardMana(army));
  }
  // The computer players: each controller's groups and decisions in force, and the word its
  // generator drew last.
  for (const CAIController* ai : {&g_aiUnitController, &g_aiSideController}) {
    std::fprintf(g_trace, " ai%d groups %d decisions %d", ai->mode, static_cast<int>(ai->groups.size()),
                 static_cast<int>(ai->active.size()));
    // The side controller's decisions by type, in the order they were adopted.
    if (ai->mode == CAIController::kSideMode && !ai->active.empty()) {
      std::fputs(" types", g_trace);
      const char* separator = " ";
      for (const auto& [id, decision] : ai->active) {
        std::fprintf(g_trace, "%s%d", separator, decision->type);
        separator = ",";
      }
    }
  }
  // The decisions adopted in the frame: side and type.
  std::fprintf(g_trace, " adopted %d", static_cast<int>(adoptions.size()));
  for (const CAIAdoptionNote& adoption : adoptions) std::fprintf(g_trace, " a%dt%d", adoption.side, adoption.type);
  // The decisions that ended in the frame: side, type and how (AICastLog.h).
  std::fprintf(g_trace, " ended %d", static_cast<int>(ends.size()));
  for (const CAIEndNote& end : ends) std::fprintf(g_trace, " e%dt%d%c", end.side, end.type, end.how);
  std::fprintf(g_trace, " airandom %08x", g_aiRandom.state[g_aiRandom.indexA]);
  std::fputc('\n', g_trace);
  // A line for each spell a computer wizard cast in the frame.
  for (const CAICastNote& cast : casts)
    std::fprintf(g_trace, "frame %d aicast caster %d type %d spell %d target %d at %d %d %d\n", battle.frameNumber,
                 cast.caster, cast.type, cast.spell, cast.target, cast.x, cast.y, cast.z);
  std::fflush(g_trace);
}
