#pragma once
// The actions of the script's events: what DIALOGUE, DEPLOYMENT, PORTAL, TRAP, DIPLOMACY and
// EXPERIENCE do when their event fires (FLAG, NULL and COMMAND are the engine's own). Every
// action ends by re-arming its event, except a speech, which waits for the speech box, and a
// creature's deployment, which waits for the summoning effect. A missing character, area,
// object, army or creature slot makes an action skip its step without a word.

#include <functional>

#include "battle/Script.h"

class CCreature;
struct CSpellCast;
struct ScriptActor;

// The actions the script runs unless a test installs its own (the slot's default).
class CScriptActionRunner : public IScriptActions {
 public:
  void RunAction(CScript& script, int record, int creature) override;
};
extern CScriptActionRunner g_scriptActionRunner;

// The effects' questions to the script (a character gone, a scripted summon) are answered by
// the battle's (InstallBattle).
void InstallScriptActions();
// Lets the computer wizards' scripted spells read the script's command events.
void InstallScriptAISpells();
void UninstallScriptActions();

namespace script_actions {

// A cell of the map, or none.
struct Place {
  bool found = false;
  int x = 0, y = 0, z = 0;
};
inline Place At(int x, int y, int z) { return Place{true, x, y, z}; }

// The point in map units a cell stands for: its middle, on its floor.
struct MapPoint {
  int x = -1, y = -1, z = -1;
  bool Given() const { return !(x == -1 && y == -1 && z == -1); }
};
MapPoint PointOf(const Place& place);

// The centre of the first event area of the name; the cell of the first world object of the
// kind (-1: none).
Place AreaCentre(const char* name);
Place FirstObject(int kind);
// The bound creature of a character, null when none or not bound to a creature in use.
CCreature* BoundCreature(const ScriptActor* actor);
// An unbound character that died or left the battle keeps its last cell.
Place LastCell(const ScriptActor* actor);
// The cell wrapped onto the map.
Place Wrapped(Place place);
// The event's sound at a cell, when it has one.
void PlaySound(const CScriptEvent& e, int x, int y);
// An effect started with the block's words 0-2 and 3-5 at the point, word 10 = 4 and word 11
// the value; false (nothing started) when the pool has no free effect.
bool StartPlaceEffect(int kind, const MapPoint& point, int word8, int word11);

// The four values of an object kind's type; false outside the type table.
bool ObjectValues(int kind, int32_t values[4]);
// A world object of the kind put down at the place, or on the first free cell around it,
// with its type's values; false when none could be.
bool PutDownObject(int kind, const Place& place);

// Where a spell trap's cast goes: CSpellCast::Execute, unless a test looks at the request.
extern std::function<void(const CSpellCast&)> g_trapSpellCaster;

void RunDialogue(CScript& script, int record);
// The DIALOGUE event's speech shown at the speaker's point (none: -1, -1, -1), the interface
// hidden as the event asks; the speech box calls the script back when it is dismissed.
void Speak(CScript& script, int record, const MapPoint& point);
void RunDeployment(CScript& script, int record);
void RunPortal(CScript& script, int record);
void RunTrap(CScript& script, int record, int creature);
void RunDiplomacy(CScript& script, int record);
void RunExperience(CScript& script, int record);

}  // namespace script_actions

// Sends the spell traps' casts to a function of the test's for the scope.
class ScriptSpellCasterScope {
 public:
  explicit ScriptSpellCasterScope(std::function<void(const CSpellCast&)> caster)
      : saved_(std::move(script_actions::g_trapSpellCaster)) {
    script_actions::g_trapSpellCaster = std::move(caster);
  }
  ~ScriptSpellCasterScope() { script_actions::g_trapSpellCaster = std::move(saved_); }
  ScriptSpellCasterScope(const ScriptSpellCasterScope&) = delete;
  ScriptSpellCasterScope& operator=(const ScriptSpellCasterScope&) = delete;

 private:
  std::function<void(const CSpellCast&)> saved_;
};
