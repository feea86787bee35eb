// The creature pool: its slots, the high-water count, the shared iterator, clearing at battle
// end, the marker players and the bodies lying on the map.
#include "creatures/CreatureArray.h"

#include <algorithm>

#include "creatures/CreatureHooks.h"

CCreatureArray g_creatureArray(kCreatureCapacity);

CCreature* CreatureInUse(int slot) { return g_creatureArray.InUse(slot); }

int FilterIsAlive(const void* record) { return static_cast<const CCreature*>(record)->IsAlive() ? 1 : 0; }
int FilterIsWizard(const void* record) { return static_cast<const CCreature*>(record)->IsWizard() ? 1 : 0; }

namespace {
constexpr int kArmyWipeDamage = 100000;
}  // namespace

CCreatureArray::CCreatureArray(int newCapacity) : records(static_cast<size_t>(std::max(newCapacity, 0))) {
  capacity = static_cast<int32_t>(records.size());
  for (CAnimPlayer& marker : markerAnims) marker.Clear();
  ResetCreatureSelection();
  ReleaseAll();
  cellCursor = listCursor = bodies.end();
}

CCreature* CCreatureArray::At(int slot) { return slot >= 0 && slot < capacity ? &records[slot] : nullptr; }
const CCreature* CCreatureArray::At(int slot) const { return slot >= 0 && slot < capacity ? &records[slot] : nullptr; }

CCreature* CCreatureArray::InUse(int slot) {
  CCreature* creature = At(slot);
  return creature && creature->inUse ? creature : nullptr;
}

CCreature* CCreatureArray::FindFree() {
  for (CCreature& creature : records)
    if (!creature.inUse) return &creature;
  return nullptr;
}

void CCreatureArray::NoteInUse(int slot) {
  if (slot >= 0 && slot < capacity) highWater = std::max(highWater, slot + 1);
}

void CCreatureArray::NoteFreed(int slot) {
  if (slot + 1 != highWater) return;
  while (highWater > 0 && !records[highWater - 1].inUse) --highWater;
}

void CCreatureArray::ResetIterator() { iteratorIndex = 0; }

void CCreatureArray::SetFilter(Filter newFilter, int offset) {
  filter = newFilter;
  filterOffset = offset;
}

CCreature* CCreatureArray::NextInUse() {
  while (iteratorIndex < highWater && iteratorIndex < capacity) {
    CCreature& creature = records[iteratorIndex++];
    if (creature.inUse) return &creature;
  }
  return nullptr;
}

CCreature* CCreatureArray::NextMatching() {
  while (CCreature* creature = NextInUse()) {
    const auto* field = reinterpret_cast<const unsigned char*>(creature) + filterOffset;
    if (!filter || filter(field)) return creature;
  }
  return nullptr;
}

void CCreatureArray::ReleaseAll() {
  for (int slot = 0; slot < capacity; ++slot) records[slot].Reset(slot);
  // No King rules with no creatures: the next battle crowns its own.
  std::fill(std::begin(kingFlags), std::end(kingFlags), 0);
  bodies.clear();
  cellCursor = listCursor = bodies.end();
  highWater = 0;
  // The scheduler's turn and phases and the pending route request start afresh with the
  // next battle, so that it plays the same whatever battle ran before.
  searchPending = 0;
  std::fill(std::begin(routeRequest), std::end(routeRequest), 0);
  schedulerCursor = phase20 = phase90 = visibilityPhase = 0;
}

void CCreatureArray::KillAll() {
  ForEachInUse([](CCreature& creature) { creature.AdjustHealth(-kArmyWipeDamage, -1, nullptr, 1); });
}

void CCreatureArray::ReleaseAnimObjects() {
  for (CCreature& creature : records) {
    if (creature.attachedObject >= 0) g_creatureEffects->ReleaseAttachedObject(creature.attachedObject);
    if (creature.secondAttachedObject >= 0) g_creatureEffects->ReleaseAttachedObject(creature.secondAttachedObject);
    creature.attachedObject = creature.secondAttachedObject = -1;
  }
}

namespace {
// A shared marker plays an entry of the global animation table from its first sequence + n.
void StartMarker(CAnimPlayer& player, int globalAnim, int sequence) {
  player.Clear();
  int first = 0;
  CAnimation* animation = g_creatureEffects->EffectAnimEntry(globalAnim, first);
  if (!animation) return;
  player.SetAnimation(animation);
  player.Start(first + sequence, 0);
}
}  // namespace

void CCreatureArray::InitMarkerAnim1() { StartMarker(markerAnims[0], 6, 3); }
void CCreatureArray::InitMarkerAnim2() { StartMarker(markerAnims[1], 30, 0); }
void CCreatureArray::InitMarkerAnim3() { StartMarker(markerAnims[2], 98, 0); }

void CCreatureArray::AdvanceMarkerAnims() {
  for (CAnimPlayer& marker : markerAnims)
    if (marker.animation && marker.playing) marker.Advance();
}

void CCreatureArray::ClearMarkerFlags() {
  ForEachInUse([](CCreature& creature) { creature.viewMark = 0; });
}

// The list is what says a body lies at a cell: the map's cell words keep no flag of their own
// for it (the bit the old layout used means deep water in ours).
void CCreatureArray::AddBody(int slot) { bodies.push_front(slot); }

bool CCreatureArray::HasBodyAt(int x, int y, int atLevel) const {
  for (int slot : bodies) {
    const CCreature* body = At(slot);
    if (body && body->cellX == x && body->cellY == y && body->level == atLevel) return true;
  }
  return false;
}

void CCreatureArray::ResetCellCursor() { cellCursor = bodies.begin(); }

CCreature* CCreatureArray::NextAtCell(int x, int y, int atLevel) {
  while (cellCursor != bodies.end()) {
    CCreature* body = At(*cellCursor++);
    if (body && body->cellX == x && body->cellY == y && body->level == atLevel) return body;
  }
  return nullptr;
}

void CCreatureArray::ResetListCursor() { listCursor = bodies.begin(); }

CCreature* CCreatureArray::NextListed() {
  if (listCursor == bodies.end()) return nullptr;
  return At(*listCursor++);
}

bool CCreatureArray::HasListed() const { return !bodies.empty(); }

void CCreatureArray::RemoveBody(int slot) {
  auto entry = std::find(bodies.begin(), bodies.end(), slot);
  if (entry == bodies.end()) return;
  // Cursors resting on the entry move on past it.
  if (cellCursor == entry) ++cellCursor;
  if (listCursor == entry) ++listCursor;
  bodies.erase(entry);
}
