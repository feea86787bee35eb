#pragma once
// CCreatureArray: the one pool of 100 creature records and what runs over it each battle
// frame: the shared iterator, the scheduler that spreads route planning over frames within a
// budget and refreshes slower decisions every 20 and 90 frames, the water check, the sighting
// scan over a tenth of the creatures a frame, the region-of-power watch, the number-key
// groups, the bodies lying on the map and the clearing at battle end.
//
// Loops over the pool inside the creature rules use a local slot cursor (ForEachInUse), in
// slot order: a rule may kill a whole army from inside another loop. The shared iterator
// (NextInUse, NextMatching) stays for its outside callers and must never nest.

#include <cstdint>
#include <cstdio>
#include <list>
#include <vector>

#include "core/Hooks.h"
#include "creatures/Mapelem.h"
#include "graphics/Animation.h"

inline constexpr int kCreatureCapacity = 100;

class CCreatureArray {
 public:
  using Filter = int (*)(const void* field);

  explicit CCreatureArray(int capacity = kCreatureCapacity);
  CCreatureArray(const CCreatureArray&) = delete;
  CCreatureArray& operator=(const CCreatureArray&) = delete;

  int Capacity() const { return capacity; }
  // The record of a slot, null outside the pool.
  CCreature* At(int slot);
  const CCreature* At(int slot) const;
  // The record of a slot in use, null otherwise.
  CCreature* InUse(int slot);
  // The first free record among all slots; null when the pool is full.
  CCreature* FindFree();
  // Raises the high-water count to cover a slot just taken.
  void NoteInUse(int slot);
  // Lowers the high-water count after a slot was freed.
  void NoteFreed(int slot);

  // --- the shared iterator (never nested) ---
  void ResetIterator();
  void SetFilter(Filter filter, int offset);
  CCreature* NextInUse();
  CCreature* NextMatching();

  // Calls visit(creature) for each record in use below the high-water count, in slot order,
  // with a cursor of its own (safe to nest and to free records on the way).
  template <class Visit>
  void ForEachInUse(Visit&& visit) {
    for (int slot = 0; slot < highWater && slot < capacity; ++slot)
      if (records[slot].inUse) visit(records[slot]);
  }

  // --- battle start and end ---
  void ReleaseAll();
  void KillAll();
  // Releases every record's attached objects (start of each battle frame, battle exit).
  void ReleaseAnimObjects();
  void InitMarkerAnim1();
  void InitMarkerAnim2();
  void InitMarkerAnim3();
  void AdvanceMarkerAnims();

  // --- once per battle frame ---
  void ThinkAll();
  void ApplyWater();
  void UpdateVisibility();
  void UpdateRegionsOfPower();
  void ClearMarkerFlags();

  // --- selection by group ---
  void SelectAt(int group, int focus);
  void SelectGroup(const CCreature& creature);

  // --- bodies on the map ---
  void AddBody(int slot);
  bool HasBodyAt(int x, int y, int level) const;
  void ResetCellCursor();
  CCreature* NextAtCell(int x, int y, int level);
  void ResetListCursor();
  CCreature* NextListed();
  bool HasListed() const;
  void RemoveBody(int slot);

  void SlowInCone(int ox, int oy, int ol, int dx, int dy, int dz, int range);

  // --- the saved game (CreatureSave.cpp) ---
  // Save: the bytes written, -1 on a failed write. Load: the bytes read, or -1 with the pool
  // unchanged on a short or malformed block.
  int Save(FILE* file) const;
  int Load(FILE* file);

  std::vector<CCreature> records;
  int32_t capacity;
  int32_t iteratorIndex = 0;
  Filter filter = nullptr;
  int32_t filterOffset = 0;
  int32_t kingFlags[kCreatureTypes] = {};
  std::list<int32_t> bodies;
  std::list<int32_t>::iterator cellCursor;
  std::list<int32_t>::iterator listCursor;
  CAnimPlayer markerAnims[3];
  int32_t selectionChanged = 0;
  int32_t highWater = 0;
  int32_t searchPending = 0;
  int32_t frameBudget = 0;
  int32_t routeRequest[9] = {};
  int32_t schedulerCursor = 0;
  int32_t phase20 = 0;
  int32_t visibilityPhase = 0;
  int32_t phase90 = 0;
};

extern CCreatureArray g_creatureArray;

// The steps the scheduler runs on a creature: its planning step (1 when a search stopped
// unfinished), the refresh every 20 frames and the reaction every 90. The neutral one runs the
// creature's own rules; tests count the calls in its place.
class ICreatureSteps {
 public:
  virtual ~ICreatureSteps() = default;
  virtual int Plan(CCreature& creature, int& budget);
  virtual void Refresh(CCreature& creature);
  virtual void React(CCreature& creature);
};
extern HookSlot<ICreatureSteps> g_creatureSteps;

// The record of a slot in use, null for anything else.
CCreature* CreatureInUse(int slot);

// Filters of the shared iterator, given the record itself (offset 0).
int FilterIsAlive(const void* record);
int FilterIsWizard(const void* record);
