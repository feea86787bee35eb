// The script's named characters and the campaign's flags and completed regions: binding to
// creatures, their removal and exit, and their passage into the campaign at a battle's end.
#include "battle/ScriptActors.h"

#include <cctype>
#include <cstring>

#include "battle/Battle.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"

CScriptActors g_scriptActors;

namespace {
IScriptBattleEnd g_neutralBattleEnd;

void Free(ScriptActor& actor) {
  const int32_t state = actor.state;
  std::memset(&actor, 0, sizeof actor);
  actor.state = state;
  actor.creature = -1;
}

void RememberCell(ScriptActor& actor, int creature) {
  const CCreature* c = g_creatureArray.At(creature);
  if (!c) return;
  actor.lastCell[0] = c->cellX;
  actor.lastCell[1] = c->cellY;
  actor.lastCell[2] = c->level;
}

// Realm names are folder names, which the files layer resolves without regard to case.
bool SameRealm(const char* realm, const char* name) {
  for (; *realm && *name; ++realm, ++name)
    if (std::tolower(static_cast<unsigned char>(*realm)) != *name) return false;
  return *realm == *name;
}

}  // namespace

HookSlot<IScriptBattleEnd> g_scriptBattleEnd(&g_neutralBattleEnd);

void CScriptActors::Clear() {
  for (ScriptActor& actor : entries) Free(actor);
  std::memset(flags, 0, sizeof flags);
  std::memset(regionCompletion, 0, sizeof regionCompletion);
  iterationIndex = 0;
}

ScriptActor* CScriptActors::FindByName(const char* name) {
  if (!name || !*name) return nullptr;
  for (ScriptActor& actor : entries)
    if (actor.inUse && std::strncmp(actor.name, name, kScriptActorNameSize) == 0) return &actor;
  return nullptr;
}

const ScriptActor* CScriptActors::FindByName(const char* name) const {
  return const_cast<CScriptActors*>(this)->FindByName(name);
}

ScriptActor* CScriptActors::FirstFree() {
  for (ScriptActor& actor : entries)
    if (!actor.inUse) return &actor;
  return nullptr;
}

ScriptActor* CScriptActors::Register(const char* name) {
  if (!name || !*name) return nullptr;
  if (ScriptActor* known = FindByName(name)) return known;
  ScriptActor* actor = FirstFree();
  if (!actor) return nullptr;
  Free(*actor);
  actor->inUse = 1;
  std::strncpy(actor->name, name, kScriptActorNameSize - 1);
  actor->state = kActorAliveInCampaign;
  return actor;
}

ScriptActor* CScriptActors::FindByCreature(int creature) {
  if (creature < 0) return nullptr;
  for (ScriptActor& actor : entries)
    if (actor.inUse && actor.creature == creature) return &actor;
  return nullptr;
}

void CScriptActors::OnCreatureRemoved(int creature) {
  ScriptActor* actor = FindByCreature(creature);
  if (!actor) return;
  RememberCell(*actor, creature);
  actor->creature = -1;
  const CCreature* c = g_creatureArray.At(creature);
  if (c && c->typeNumber == creature_kind::kUnseen) {
    // The messenger only leaves the battle: it may be sent again.
    actor->state = kActorAliveInCampaign;
    return;
  }
  if (actor->state != kActorAliveInBattle) return;
  actor->state = kActorDeadInBattle;
  if (actor->keyCharacter) LoseKeyCharacter(actor->name);
}

ScriptActor* CScriptActors::MarkGone(int creature) {
  ScriptActor* actor = FindByCreature(creature);
  if (!actor) return nullptr;
  RememberCell(*actor, creature);
  actor->state = kActorExited;
  actor->creature = -1;
  return actor;
}

void CScriptActors::EndBattle(bool lost, const char* realm, int region) {
  for (ScriptActor& actor : entries) {
    if (!actor.inUse) continue;
    if (actor.temporary) {
      Free(actor);
      continue;
    }
    actor.creature = -1;
    if (lost)
      actor.state = kActorAliveInCampaign;
    else if (actor.state == kActorAliveInBattle || actor.state == kActorExited)
      actor.state = kActorAliveInCampaign;
    else if (actor.state == kActorDeadInBattle)
      actor.state = kActorDeadInCampaign;
  }
  // Freed temporaries leave holes: the used entries close up so that they stay packed.
  int to = 0;
  for (int from = 0; from < kScriptActorCount; ++from) {
    if (!entries[from].inUse) continue;
    if (from != to) {
      entries[to] = entries[from];
      Free(entries[from]);
    }
    ++to;
  }
  if (lost || !realm) return;
  int base = 0;
  if (SameRealm(realm, "isles")) base = 8;
  if (SameRealm(realm, "kingdom")) base = 20;
  const int byte = base + region;
  if (region >= 0 && byte < static_cast<int>(sizeof regionCompletion)) regionCompletion[byte] = 1;
}

std::string PutNameInMessage(const std::string& text, const char* name) {
  const size_t at = text.find("%s");
  if (at == std::string::npos) return text;
  return text.substr(0, at) + (name ? name : "") + text.substr(at + 2);
}

void LoseKeyCharacter(const char* name) {
  if (g_battle) g_battle->criticalActorLost = 1;
  g_scriptBattleEnd->SetBattleEndMessage(PutNameInMessage(g_scriptBattleEnd->DefeatMessage(1), name));
}
