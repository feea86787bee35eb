#pragma once
// CScriptActors: the characters a battle script names, each bound to a creature of the
// running battle and keeping its state through the campaign, with the 60 campaign flags and
// the 44 region-completion bytes beside them. The table outlives a battle: made at start-up,
// carried from battle to battle and kept in the saved game (entries of 64 bytes, a file
// format). One global object, g_scriptActors.

#include <cstdint>
#include <string>

#include "core/Hooks.h"

inline constexpr int kScriptActorCount = 200;
inline constexpr int kScriptActorNameSize = 32;

// The states of an actor: the character-status keywords 1-5.
enum ScriptActorState : int32_t {
  kActorAliveInBattle = 1,
  kActorDeadInBattle = 2,
  kActorAliveInCampaign = 3,
  kActorExited = 4,
  kActorDeadInCampaign = 5,
};

struct ScriptActor {
  int32_t inUse;
  char name[kScriptActorNameSize];
  int32_t state;
  int32_t creature;      // the bound creature, -1 none
  int32_t lastCell[3];   // x, y, level when it was last bound or unbound
  int32_t temporary;     // dropped at the end of the battle
  int32_t keyCharacter;  // its death loses the battle
};
static_assert(sizeof(ScriptActor) == 64, "a script actor is 64 bytes");

class CScriptActors {
 public:
  CScriptActors() { Clear(); }

  // Every entry free (its state word kept), the flags and region bytes 0.
  void Clear();
  // The first used entry with exactly that name; null when none (or for an empty name).
  ScriptActor* FindByName(const char* name);
  const ScriptActor* FindByName(const char* name) const;
  // The used entry of the name, or a new one at the first free entry (state 3, unbound);
  // null for an empty name or a full table.
  ScriptActor* Register(const char* name);
  // The used entry bound to the creature; null when none.
  ScriptActor* FindByCreature(int creature);
  // The first free entry; null when the table is full.
  ScriptActor* FirstFree();

  // The creature was taken off the map: its entry remembers the cell and is unbound; one
  // alive in the battle is dead in it (a key character's loss loses the battle).
  void OnCreatureRemoved(int creature);
  // An effect took the creature out of the battle: its entry remembers the cell, is unbound
  // and has exited. Answers the entry, null when none.
  ScriptActor* MarkGone(int creature);
  // The battle is left: temporary entries freed, the others unbound and carried into the
  // campaign; a won battle of a realm (null for none) marks its region complete.
  void EndBattle(bool lost, const char* realm, int region);

  // Flag n (0-59) and region byte n (0-43); numbers outside are never set.
  bool FlagSet(int flag) const { return flag >= 0 && flag < 60 && flags[flag] != 0; }
  void SetFlag(int flag, bool on) {
    if (flag >= 0 && flag < 60) flags[flag] = on ? 1 : 0;
  }
  bool RegionSet(int region) const { return region >= 0 && region < 44 && regionCompletion[region] != 0; }

  ScriptActor entries[kScriptActorCount];
  int32_t count = kScriptActorCount;
  int32_t iterationIndex = 0;
  uint8_t flags[60];             // ScriptFlags
  uint8_t regionCompletion[44];  // RegionCompletion
};

extern CScriptActors g_scriptActors;

// Loses the battle for a key character: the battle's flag and defeat message 1 with the
// character's name in place of its "%s".
void LoseKeyCharacter(const char* name);
// A message text with one name put in place of its first "%s"; the text is never used as a
// format, so a name or text holding '%' prints as written.
std::string PutNameInMessage(const std::string& text, const char* name);

// What the script asks of the battle's end: the defeat messages and the end message. The
// neutral one keeps the message it was given.
class IScriptBattleEnd {
 public:
  virtual ~IScriptBattleEnd() = default;
  // Defeat message n of the battle's defeat messages (one "%s" takes a name).
  virtual std::string DefeatMessage(int n) { return ""; }
  virtual void SetBattleEndMessage(const std::string& text) { endMessage = text; }
  std::string endMessage;
};
extern HookSlot<IScriptBattleEnd> g_scriptBattleEnd;
