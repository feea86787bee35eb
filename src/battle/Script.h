#pragma once
// CScript: the trigger engine of a battle map. It holds the events of the region's script
// file and decides, on every occasion offered to it, which armed events fire: a game tick, a
// creature on a marked cell, a death, an artefact picked up or used, a player input, the end
// of a speech, or the computer player's question about a scripted command. A firing event
// runs its action at once or after its pre-pause, waits its post-pause, and then re-arms or
// retires. One global object, g_script, serves the battle; it is cleared and read again for
// every battle, and its records are saved with the battle byte for byte.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "battle/ScriptEvent.h"
#include "core/Hooks.h"
#include "ui/SpeechBox.h"

inline constexpr int kScriptCapacity = 182;
inline constexpr int kScriptSnapshotWords = 100;
inline constexpr int kScriptFlagCount = 60;
inline constexpr int kRegionCompletionBytes = 44;

// The occasions offered to FireEvent, MatchEvent and CheckConditions.
enum ScriptOccasion : int {
  kOccasionTick = 1,
  kOccasionTriggerCell = 2,  // a living creature stands on a marked cell
  kOccasionDeath = 3,
  kOccasionCommandQuery = 4,  // the computer player asks about a COMMAND record
  kOccasionPickedUp = 6,      // value: the artefact kind
  kOccasionUsed = 7,          // value: the artefact kind
  kOccasionInterface = 9,
  kOccasionSpeechEnd = 10,
};

// The interface commands of the script (InterfaceCommand, TutorialCommand).
enum ScriptInterfaceCommand : int {
  kCommandSpellSelected = 1,
  kCommandSpellCast = 2,
  kCommandCreatureSelected = 3,
  kCommandMovementOrder = 4,
  kCommandFlyingOrder = 5,
  kCommandAttackOrder = 6,
  kCommandDragSelection = 7,
  kCommandRoofRemoval = 8,
  kCommandMapRotated = 9,
};

class CScript;

// The actions of DIALOGUE, DEPLOYMENT, PORTAL, TRAP, DIPLOMACY and EXPERIENCE events. The
// base one carries none out: the event re-arms as if its action had run. The slot holds the
// battle's own (CScriptActionRunner, ScriptActions.h) unless a test installs another.
class IScriptActions {
 public:
  virtual ~IScriptActions() = default;
  virtual void RunAction(CScript& script, int record, int creature);
  // The speech box's speech is over: the camera goes back and the box closes.
  virtual void FinishSpeech();
};
extern HookSlot<IScriptActions> g_scriptActions;

// The speech box's callback: the speech's end reaches the script as a frame command, so
// that every machine (and a playback) continues the script in the same frame.
class CScriptSpeechCallback : public ISpeechCallback {
 public:
  void OnSpeechDone(int eventNumber) override;
};

class CScript {
 public:
  explicit CScript(int capacity = kScriptCapacity);
  CScript(const CScript&) = delete;
  CScript& operator=(const CScript&) = delete;

  // Every record reset, no events, an empty snapshot and no interface watch.
  void Clear();
  // After the file was read: the actors named, the terrain snapshot, the interface watch,
  // the trigger cells marked and the army-named actors bound to their wizards.
  void Prepare();

  // Offers an occasion (ScriptOccasion) to every armed event. creature -1 none.
  void FireEvent(int kind, int creature, int value, int command, int id1, int id2);
  bool MatchEvent(int record, int kind, int creature);
  // The fourth argument is not used.
  bool CheckConditions(int record, int kind, int creature, int ignored, int command, int id1, int id2);
  // Runs the event's action, or starts its pre-pause.
  void RunActions(int record, int creature);
  // Starts the post-pause, or counts an action and re-arms or retires the event.
  void RearmEvent(int record);
  // Once per game tick, after FireEvent(1, ...): the pauses counted down, dropped commands
  // armed again, the sound delays counted down.
  void ProcessTick();
  // The player did something (interface command, a spell, a creature type; -1 none).
  void OnInterfaceCommand(int command, int id1, int id2);
  // The speech of an event (0-based record) was dismissed.
  void OnSpeechFinished(int eventNumber);
  // The DEPLOYMENT event (0-based) applied to a creature: its rank, equipment, conditions,
  // health and mana, items and post, its character bound to it; then the event re-arms. The
  // summoning effect of a deployment calls it with the creature it made.
  void ApplyCreatureAction(int creature, int eventNumber);
  // The summoning of a DEPLOYMENT event (0-based) made nothing: the running event re-arms, as
  // when its action had run, instead of waiting for a creature that never comes.
  void OnSummonFailed(int eventNumber);
  // Sets the creature's script-command flag when a live COMMAND event names its actor.
  void MarkScriptCommanded(int creature);

  // A creature died: its actor, the death occasion, and a lost key character. 1 when the
  // script takes the death over (the messenger, a character that had left the battle).
  int OnCreatureKilled(int creature);

  // --- queries of the conditions and actions ---
  bool IsPointInNamedArea(const char* name, int x, int y, int z) const;
  bool IsCreatureInNamedArea(const char* name, int creature) const;
  bool ArmyHasArtefact(int kind, int count, const char* armyName) const;
  // The points of every EXPERIENCE event in use.
  int GetTotalExperience() const;
  // A DEPLOYMENT of a wizard in use, not retired, within the difficulty: the battle does not
  // end on its own when the last but one wizard goes.
  bool HasWizardDeployment() const;

  // Whether any event in use and not retired waits for a player input.
  void RecomputeInterfaceWatch();

  // --- saved games ---
  // The script's row of the battle's block: the capacity, the event count, the records of
  // the count (1112 bytes each), the two reserved words, the interface watch and the 100
  // snapshot words; 420 + 1112 per event bytes, or -1 on a short write.
  int SaveEvents(FILE* file) const;
  // The bytes read, or -1 with the script as it was: a short block, a count above the
  // capacity, a record of an unknown type or run state, a snapshot start outside the
  // snapshot, a name or text without its end. A block without events is a good block.
  int LoadEvents(FILE* file);
  // The campaign's script state in the saved game: the 200 characters (64 bytes each), the
  // 60 flags and the 44 region bytes; 12904, or -1 on a short write.
  static int Save(FILE* file);
  // 12904, or -1 with the table as it was: a short block, a character's in-use word, state
  // or creature out of range, a name without its end.
  static int Load(FILE* file);

  CScriptEvent& Event(int record) { return records[record]; }
  const CScriptEvent& Event(int record) const { return records[record]; }
  bool IsRecord(int record) const { return record >= 0 && record < capacity; }

  std::unique_ptr<CScriptEvent[]> records;
  int32_t capacity = 0;
  int32_t eventCount = 0;
  int32_t reserved[2] = {};  // never set; kept with the battle's saved game
  int32_t interfaceWatch = 0;
  int32_t snapshot[kScriptSnapshotWords] = {};
  CScriptSpeechCallback speechCallback;

 private:
  bool CompletionHolds(const CScriptEvent& e) const;
  bool DependentCharacterHolds(const CScriptEvent& e) const;
  bool ArtefactHolds(const CScriptEvent& e, int kind) const;
  bool TerrainHolds(const CScriptEvent& e) const;
  bool TriggerCreatureHolds(const CScriptEvent& e, int kind, int creature) const;
  bool TypeHolds(const CScriptEvent& e) const;
  bool IsLive(int record) const;
  void RunFlag(int record);
  void RunCommand(int record);
  void TakeSnapshot(CScriptEvent& e, int& taken);
  void MarkTriggerCells(const char* area);
};

extern CScript g_script;

// The world objects of the battle as far as the script asks about them: the slot's default
// reads the battle's pool of world objects; tests install others.
class IScriptObjects {
 public:
  virtual ~IScriptObjects() = default;
  // Calls visit with the cell of every world object in use of the kind, in array order,
  // until visit answers false.
  virtual void ForEachObject(int kind, const std::function<bool(int x, int y, int level)>& visit) {}
};
extern HookSlot<IScriptObjects> g_scriptObjects;

// Calls visit with every cell of every event area of the name, area by area, by level, row
// and column (rows and columns wrap round the map), until visit answers false.
void ForEachNamedAreaCell(const char* name, const std::function<bool(int x, int y, int level)>& visit,
                          const std::function<void(int x, int y, int level)>& onArea = nullptr);
// The centre of the first event area of the name (x and y midpoints, wrapping; its first
// level); false when no area has the name.
bool GetAreaCentreByName(const char* name, int& x, int& y, int& z);
// The cell of the first world object in use of the kind; false when none.
bool FindMapObjectPosition(int kind, int& x, int& y, int& z);
// Whether the creature's army carries the name (false for no creature or no army).
bool CreatureArmyIs(int creature, const char* armyName);

// Checks a freshly read script against the battle (characters, areas, armies, values) and
// tells every fault in a "SCRIPT ERROR" box, "Script <section>:<message>"; changes nothing.
void ValidateScriptEvents(const CScript& script);
// The box of a script fault: "Script " + the section number + the message.
void ShowScriptError(int section, const std::string& message);

// The script's speech as the battle's saved game keeps it (BattleSave.h): the phase (none, a
// speech showing, the camera going back from one), the DIALOGUE record, the speaker's point,
// the camera's glide (where it is, where it goes, where it goes back to), the box's screen
// point, the ticks shown, the glide's speed and the frames before the box shows.
inline constexpr int kScriptSpeechWords = 19;
enum ScriptSpeechPhase : int32_t { kSpeechNone = 0, kSpeechShowing = 1, kSpeechGoingBack = 2 };
void SaveScriptSpeech(const CScript& script, int32_t words[kScriptSpeechWords]);
// Whether the words may be restored over the script as it is loaded.
bool CheckScriptSpeech(const CScript& script, const int32_t words[kScriptSpeechWords]);
// The speech shown again as it was (any other speech ended); no pause goes out for it.
void RestoreScriptSpeech(CScript& script, const int32_t words[kScriptSpeechWords]);

// Reads the region's script file (realms\<realm>\<realm>Script<region>.cfg under the current
// directory) into g_script.
void LoadScriptEvents(const char* realm, int region);
// Reads a script file into a script: the records by their section numbers, the event count
// the highest section found.
void LoadScriptEventsFrom(CScript& script, const std::string& path);
// The path of a region's script file.
std::string ScriptFileName(const char* realm, int region);
