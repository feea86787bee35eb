#pragma once
// CWizard: one wizard, the player's or a computer opponent's: its name and statistics, the
// weights that steer its computer player, its animation file, its magic items, talismans,
// spells and start objects, its rank, and up to ten scripted actions. Records live in the
// wizard table (WizardTable.h). They are filled from a wizard file (an INI file in wizards\),
// generated at random, or set up from a player slot; deploying one makes it a wizard creature.
//
// The spell pool and the player's text block are owned values (vectors), so a record can be
// copied and swapped whole: the table's loaders fill copies and swap them in on success.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/Bytes.h"
#include "core/Hooks.h"

inline constexpr int kWizardNameSize = 16;      // 15 letters and the terminator
inline constexpr int kWizardAnimNameSize = 70;  // 69 letters and the terminator
inline constexpr int kWizardMagicItems = 25;    // slots of magic item ids 0-24
inline constexpr int kWizardStartObjects = 20;
inline constexpr int kWizardActions = 10;
inline constexpr int kWizardActionBytes = 100;
inline constexpr int kWizardWeights = 9;
inline constexpr int kWizardFurtherWords = 7;
inline constexpr int kWizardSpellPoolCapacity = 30;  // at construction
inline constexpr int kWizardSpellPoolMax = 104;      // the most a saved pool may hold: every spell
inline constexpr int kWizardTextBlockBytes = 1164;
inline constexpr int kWizardFramesPerSecond = 17;  // wizard files give times in seconds
// The largest statistic, weight or count a wizard keeps: its mana is held in 8.8 fixed point
// and its gauges multiply by their height, so this leaves every such product inside an int.
inline constexpr int kWizardValueLimit = 100000;
// The longest time a wizard file may give, in seconds (times count frames once read).
inline constexpr int kWizardSecondsLimit = 1000000;

// The player's text block holds the list of things its wizard has seen: a flag for each number
// 0-99 of each note kind 0-9 (one byte each, kind by kind), then the count of notices and up
// to 20 notices of (kind, number), each once. Kinds: 4 a creature type, 5 a spell, 6 a magic
// item, 7 an event.
namespace wizard_notes {
inline constexpr int kKinds = 10;
inline constexpr int kNumbers = 100;
inline constexpr int kMaxNotices = 20;
inline constexpr int kCountOffset = kKinds * kNumbers;  // 1000
inline constexpr int kFirstNotice = kCountOffset + 4;
inline constexpr int kNoticeBytes = 8;
static_assert(kFirstNotice + kMaxNotices * kNoticeBytes == kWizardTextBlockBytes);
}  // namespace wizard_notes

// The words of a wizard creature's twelve AI words (CCreature::aiWords) that the wizard
// record fills when it is deployed: control limit, combat modifier, look class, then the nine
// behaviour weights.
namespace wizard_words {
inline constexpr int kControlLimit = 0;
inline constexpr int kCombatModifier = 1;
inline constexpr int kLookClass = 2;
inline constexpr int kFirstWeight = 3;
}  // namespace wizard_words

// One scripted action of a computer wizard (100 bytes in a saved game).
struct CWizardAction {
  int32_t valid = 0;
  int32_t destinationKind = 0;  // 0 none, 1 a map section, 2 a path node
  int32_t sectionId = 0;
  int32_t x = 0, y = 0, z = 0;
  int32_t nodeType = 0;     // 1 a room node
  int32_t waitingTime = 0;  // frames
  int32_t spellType = -1;   // spell 1-103, -1 none
  int32_t targetKind = 0;   // 0 none, 1 section, 2 node, 3 self, 4 enemy, 5 friend
  int32_t targetId = 0;
  int32_t targetX = 0, targetY = 0, targetZ = 0;
  int32_t targetNodeType = 0;
  int32_t mana = 0, health = 0;
  int32_t beginTime = 0, endTime = 0;  // frames
  int32_t numberOfActions = 0;         // -1 unlimited
  int32_t actionsRemaining = 0, actionsDone = 0;
  int32_t dependancy = 0;
  int32_t interrupt = 0;
  float rating = 0.0f;

  void Write(bytes::Writer& out) const;
  void Read(bytes::Reader& in);
};

// A start object: a world-object kind and the four values of its record.
struct CWizardStartObject {
  int32_t kind = 0;
  int32_t values[4] = {};
};

// A small bounded list of integers (the spell box's choices).
class CBoundedIntList {
 public:
  explicit CBoundedIntList(int capacity) : capacity_(capacity < 0 ? 0 : capacity) {}
  // 0 when the list is full, else appends and answers 1.
  int Push(int value);
  int Count() const { return static_cast<int>(values_.size()); }
  int Capacity() const { return capacity_; }
  int At(int i) const { return i >= 0 && i < Count() ? values_[i] : -1; }
  void Clear() { values_.clear(); }

 private:
  int capacity_;
  std::vector<int> values_;
};

// What a wizard asks of the battle and the front end above it: where a wizard of a
// deployment site may stand, a free place of power, and the animation file of a player
// slot's portrait. The neutral answers find no site and name the wizard looks by portrait.
class IWizardHooks {
 public:
  virtual ~IWizardHooks() = default;
  // A wizard deployment site chosen by the map (site kind, area, the record's deployment
  // key); false when none.
  virtual bool DeployWizardSite(int site, int area, int deploymentKey, int& x, int& y, int& z) { return false; }
  // A free place of power in the area; false when none.
  virtual bool PickPlaceOfPower(int area, int& x, int& y, int& z) { return false; }
  // The animation file name (below creatures\, without ".ani") of a portrait 0-11.
  virtual const char* PortraitAnimFile(int portrait);
  // The world-object table: its number of types and the first four values of a type's
  // record (a wizard's start objects copy them).
  virtual int ObjectTypeCount() { return 97; }
  virtual void ObjectTypeValues(int type, int32_t values[4]) { values[0] = values[1] = values[2] = values[3] = 0; }
};
extern HookSlot<IWizardHooks> g_wizardHooks;

class CWizard {
 public:
  CWizard();

  // Back to the defaults: not in use, not deployed, group key -1, rank 1, "noname", no
  // items, start objects, spells or actions, statistics and weights at their defaults. The
  // name, the computer flag, the further words, talismans, deployment key and army stay.
  void Reset();

  // Reads wizards\<fileName>. 0, after a "FAILED TO LOAD WIZARD" box, when the file has no
  // name (the record is then untouched); else 1.
  int LoadDefinition(const char* fileName, int computer, int deploymentKey);
  // A generated wizard: MaxHealth 300, spells drawn from the spell table by a generator of
  // its own seeded with seed. 0 when name is null.
  int InitRandom(const char* name, int computer, int minimumMana, int spellCount, uint32_t seed);
  // A wizard of a quick or network battle's player slot 0-3: the set-up's base values less
  // the slot's handicap, the slot portrait's look. Always 1.
  int InitForPlayer(const char* name, int playerSlot, int computer);

  // Whether the magic item id is held, and its slot (25 when absent).
  bool FindMagicItem(int id, int& slot) const;
  // 1 when id is now held (it was, or took the first empty slot); 0 when all slots hold
  // others.
  int AddMagicItem(int id);
  // Appends a start object; 0 when 20 are held.
  int AddQueuedEntry(int kind, const int32_t values[4]);
  void ClearQueuedEntries() { startObjectCount = 0; }
  // Appends n spell numbers, one per byte, while the pool has room.
  void AddSpellsToPool(const uint8_t* spells, int n);
  // Appends one spell while the pool has room; 0 when full.
  int AddSpell(int spell);
  void ClearSpellPool() { spellCount = spellCursor = 0; }

  // Notes a thing seen (kind 0-9, number 0-99) once: its flag is set and, while the list
  // holds fewer than 20, a notice appended. The player's text block is made when missing;
  // anything out of range is passed over.
  void NoteSeen(int kind, int number);
  bool HasSeen(int kind, int number) const;
  int NoticeCount() const;
  // Notice i (0 first) as kind and number; false outside the list.
  bool NoticeAt(int i, int& kind, int& number) const;

  // 0 for ranks 1-2, 1 for 3-4, 2 for 5-6.
  int GetRankTier() const;
  // One more victory: the first of the rank thresholds 2-6 equal to the new counter gives
  // the rank.
  void AdvanceRankCounter();

  // Deploys the wizard for an army at a site (or a place of power): SpawnCreature's result;
  // 0 when no position was found.
  int Deploy(int army, int site, int area, int placeOfPower);
  // Makes the wizard creature of the army near x, y, z: -1 when no wizard type or creature
  // record is free or the army is not 0-7 (nothing changes); 0 when no place was found (the
  // record is marked deployed); else 1.
  int SpawnCreature(int army, int x, int y, int z);

  // The saved-game record. Read answers false, having changed nothing, on a short or
  // malformed record.
  void Write(bytes::Writer& out) const;
  bool Read(bytes::Reader& in);
  // On an open stream: the bytes moved, -1 on failure.
  int Save(FILE* file) const;
  int Load(FILE* file);

  int32_t inUse = 0;
  int32_t deployed = 0;
  int32_t computer = 0;
  char name[kWizardNameSize] = {};
  int32_t further[kWizardFurtherWords] = {0, 0, -1, 0, 0, 0, 0};
  int32_t groupKey = -1;
  int32_t maxMana = 50;
  int32_t maxHealth = 100;
  int32_t controlLimit = 25;
  int32_t magicResistance = 50;
  int32_t intelligence = 50;
  int32_t combatModifier = 0;
  int32_t difficultyModifier = 0;
  int32_t experience = 0;
  // AggressiveAttack, CautiousAttack, OccupyPowerPoint, CollectMana, EvadeDetection, Scout,
  // Retreat, CollectFood, ProtectWizard.
  int32_t weights[kWizardWeights] = {100, 100, 100, 100, 100, 100, 100, 100, 100};
  int32_t deploymentKey = -1;
  int32_t army = -1;
  int32_t magicItems[kWizardMagicItems];
  int32_t talismans[3] = {};  // Law, Neutral, Vrask
  int32_t rank = 1;
  int32_t rankCounter = 0;
  char animFile[kWizardAnimNameSize] = "noname";
  CWizardStartObject startObjects[kWizardStartObjects];
  int32_t startObjectCount = 0;
  CWizardAction actions[kWizardActions];
  int32_t spellCursor = 0;
  int32_t spellCount = 0;
  std::vector<int32_t> spellPool;  // its size is the pool's capacity
  std::vector<uint8_t> textBlock;  // empty, or the player's 1164 bytes

  // Set by the table.
  int32_t index = -1;

 private:
  void ClearActions();
  void ResetStatistics();
};

// The names of the weights' keys in a wizard file, in order.
extern const char* const g_wizardWeightKeys[kWizardWeights];

// Whether a text block holds only what NoteSeen writes: flags of 0 or 1, a count of 0-20,
// each counted notice in range with its flag set and once, the places after them zero.
bool WizardTextBlockIsSound(const std::vector<uint8_t>& block);

// The look class of a wizard animation file name (its own name, without folder or ending,
// matched without regard to case): 0 for wizard1-2, 1 for wizard3-4, 2 for wizard5-6, 4 for
// the female looks, 3 for any other.
int WizardLookClass(const char* look);

// One saved record's bytes from a stream, each count checked before the bytes it counts are
// read; false on a short read or a count out of range.
bool ReadWizardRecordBytes(FILE* file, std::vector<uint8_t>& buffer);
