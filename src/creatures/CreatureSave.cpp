// The creature part of a saved game: the pool's capacity, one block per slot (8 bytes for a
// free one), the King flags, the bodies and the scheduler's counters. Fields go one by one:
// links travel as slot and effect numbers, animation players write their own small state and
// the anim sets of the types are loaded again and linked on reading. A block is read into a
// copy of the pool and taken only when every number in it is one the writer writes; the wizard
// types' anims are loaded on the way, before anything of the live pool changes.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "core/ErrorBox.h"
#include "core/SaveStream.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "platform/MessageBox.h"

namespace {

// The effect pool's size (the effects sit above the creatures and are restored after them).
constexpr int kEffectPoolSize = 2000;
constexpr int kAnimNameSize = 256;
constexpr int kAdvanceEntries = 48;  // the type's four advance tables taken as one array
constexpr int kRouteSteps = 18;
// Global anims of the attachments.
constexpr int kAttachAnim1 = 180, kAttachAnim4 = 94, kAttachAnim5 = 192;
constexpr int kMaxGlobalAnim = 256;

bool IsFlag(int32_t v) { return v == 0 || v == 1; }
bool IsSlotOrNone(int32_t v) { return v >= -1 && v < kCreatureCapacity; }
bool IsEffectOrNone(int32_t v) { return v >= -1 && v < kEffectPoolSize; }
bool InRange(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

// The number of the global anim a player plays, -1 when it plays none of them.
int GlobalAnimNumber(const CAnimation* animation) {
  if (!animation) return -1;
  for (int n = 0; n < kMaxGlobalAnim; ++n)
    if (g_creatureEffects->GlobalAnim(n) == animation) return n;
  return -1;
}

// The seven words after the second attached object, of which the block keeps all but the
// third; the fifth is the sight timer.
void PutConditionWords(SaveStream& out, const CCreature& c) {
  const int32_t seven[7] = {c.conditionWords[0], c.conditionWords[1], c.conditionWords[2], c.conditionWords[3],
                            c.sightTimer,        c.conditionWords[4], c.conditionWords[5]};
  for (int i = 0; i < 7; ++i)
    if (i != 2) out.I32(seven[i]);
}
void GetConditionWords(SaveStream& in, CCreature& c) {
  int32_t* seven[7] = {&c.conditionWords[0], &c.conditionWords[1], nullptr, &c.conditionWords[3], &c.sightTimer,
                       &c.conditionWords[4], &c.conditionWords[5]};
  for (int i = 0; i < 7; ++i)
    if (i != 2) *seven[i] = in.I32();
}

void PutRoute(SaveStream& out, const CCreatureRoute& route) {
  for (int32_t v : {route.goalX, route.goalY, route.goalLevel, route.stepIndex, route.stepCount}) out.I32(v);
  for (const CRouteStep& step : route.steps) out.PutWords(step.words);
}
void GetRoute(SaveStream& in, CCreatureRoute& route) {
  for (int32_t* v : {&route.goalX, &route.goalY, &route.goalLevel, &route.stepIndex, &route.stepCount}) *v = in.I32();
  for (CRouteStep& step : route.steps) in.GetWords(step.words);
}

// The shape's 36 bytes and a spare word: 40.
void PutShape(SaveStream& out, const CCreatureShape& shape) {
  for (uint16_t row : shape.rows) out.U16(row);
  out.I32(shape.height);
  out.I32(0);
}
bool GetShape(SaveStream& in, CCreatureShape& shape) {
  for (uint16_t& row : shape.rows) row = in.U16();
  shape.height = in.I32();
  return in.I32() == 0;
}

// An attachment: its in-use word (or byte) and, when in use, its player.
void PutAttached(SaveStream& out, const CAttachedAnim& anim, bool asByte) {
  if (asByte)
    out.U8(static_cast<uint8_t>(anim.inUse));
  else
    out.I32(anim.inUse);
  if (anim.inUse && out.Ok()) out.Add(anim.player.Save(out.File()));
}
bool GetAttached(SaveStream& in, CAttachedAnim& anim, bool asByte, CAnimation* animation) {
  anim.inUse = asByte ? in.U8() : in.I32();
  if (!in.Ok() || !IsFlag(anim.inUse)) return false;
  anim.player.Clear();
  anim.player.SetAnimation(animation);
  if (anim.inUse) in.Add(anim.player.Load(in.File()));
  return in.Ok();
}

// The anim set of the creature's type ready (for a wizard type from the name read): false,
// after the load-game box, when it cannot be loaded.
bool ReadyAnims(int typeNumber, const char* wizardAnim) {
  const char* file = IsWizardType(typeNumber) ? wizardAnim : ChooseCreatureAnimFile(typeNumber, 0);
  const bool ready = IsWizardType(typeNumber) ? false : g_creatureTypeAnims[typeNumber] != nullptr;
  if (ready) return true;
  if (file && *file && LoadCreatureTypeAnims(g_creatureTypes[typeNumber], typeNumber, file)) return true;
  platform::ShowMessageBox("Unable to load creature anim file", "LOAD GAME ERROR", WarningBoxFlags());
  return false;
}

}  // namespace

int SaveQueuedOrderEntry(FILE* file, const CQueuedOrder& entry) {
  SaveStream out(file);
  for (int32_t v : {entry.kind, entry.x, entry.y, entry.level, entry.target, entry.markerX, entry.markerY,
                    entry.loopPoint, entry.markerEffect})
    out.I32(v);
  return out.Result();
}

int LoadQueuedOrderEntry(FILE* file, CQueuedOrder& entry) {
  SaveStream in(file);
  int32_t words[9];
  in.GetWords(words);
  if (!in.Ok() || !InRange(words[0], 2, 4) || !IsSlotOrNone(words[4]) || !InRange(words[7], -1, kMaxQueuedOrders - 1) ||
      !IsEffectOrNone(words[8]))
    return -1;
  // A queue saved on a larger map comes back inside this one.
  entry = CQueuedOrder{};
  entry.kind = words[0];
  entry.x = CWrapCoord::WrapX(words[1]);
  entry.y = CWrapCoord::WrapY(words[2]);
  entry.level = words[3];
  entry.target = words[4];
  entry.markerX = words[5];
  entry.markerY = words[6];
  entry.loopPoint = words[7];
  entry.markerEffect = words[8];
  return in.Result();
}

int CCreature::Save(FILE* file) const {
  SaveStream out(file);
  out.I32(index);
  out.I32(inUse);
  if (!inUse) return out.Result();
  for (int32_t v : {cellX, cellY, level, unitX, unitY, unitZ, spare}) out.I32(v);
  out.PutWords(sightingCounters);
  out.I32(seenBefore);
  out.PutWords(spottedBy);
  for (int32_t v : {illusion, stateSpare, magicResistance, intelligence, invisible, ironSkin, bloodLust, placementSpare,
                    heldTime, heldKind, typeNumber})
    out.I32(v);
  if (IsWizardType(typeNumber)) {
    const char* name = animSet ? animSet->animation.Path() : "";
    const int length = *name ? static_cast<int>(std::strlen(name)) + 1 : 0;
    out.I32(length);
    out.Write(name, static_cast<size_t>(length));
  }
  if (out.Ok()) out.Add(bodyAnim.Save(file));
  for (int32_t v : {animationBase, health, mana, maxMana}) out.I32(v);
  if (health == 0) out.PutWords(deadState);
  for (int32_t v : {undead, manaSource, nextManaGain, mayFly, stepAirborne, stepKind, earthBind, pestered, pestTimer,
                    rank, experience})
    out.I32(v);
  if (out.Ok()) out.Add(overlayAnim.Save(file));
  for (int32_t v : {nextActionFrame, rangedAttack, movement[0], movement[1], movement[2], army, eventCount}) out.I32(v);
  for (const CCreatureEvent& e : events)
    for (int32_t v : {e.kind, e.value1, e.value2, e.value3, e.remaining, e.active}) out.I32(v);
  out.I32(spellCount);
  out.PutWords(spells);
  out.I32(selectedSpell);
  for (int32_t v : {order, pendingOrder, animState, facing, viewFacing, stepLevelChange, previousFacing, midStep})
    out.I32(v);
  out.PutWords(attack);
  out.I32(target);
  out.PutWords(orderWords);
  for (int32_t v : {tracking, engagedCount, waitReason, combatWords[0], combatWords[1], carrySpare, behaviourSubState,
                    waitState, waitSpare})
    out.I32(v);
  out.PutWords(blockWords);
  for (int32_t v : {engagedWith, engageSpare, viewMark, goalMarker}) out.I32(v);
  out.PutWords(goalWords);
  for (int32_t v : {independent, teleportX, teleportY, teleportLevel}) out.I32(v);
  out.U8(falling);
  out.U8(endFlight);
  out.I32(stepSpeed);
  out.U8(mirrored);
  out.U8(attackApproach);
  out.PutWords(moveWords);
  for (const auto& slot : positionSlots) out.PutWords(slot);
  for (int32_t v : {haste, slow, provokeTimer, provoked, provokeWords[0], provokeWords[1]}) out.I32(v);
  out.U8(attachedObject >= 0 ? 1 : 0);
  out.I32(airborne);
  PutAttached(out, attachAnim1, true);
  out.I32(spellState);
  out.I32(attachedEffect);
  if (spellState != 0 && spellState != 2) {
    out.I32(GlobalAnimNumber(attachAnim2.animation));
    if (out.Ok()) out.Add(attachAnim2.Save(file));
  }
  out.U8(secondAttachedObject >= 0 ? 1 : 0);
  PutConditionWords(out, *this);
  for (const CAttachedAnim& anim : attachAnims) PutAttached(out, anim, false);
  out.I32(ownMaxHealth);
  out.PutWords(aiWords);
  const int32_t queued = static_cast<int32_t>(queuedOrders.entries.size());
  out.I32(queued);
  for (const CQueuedOrder& entry : queuedOrders.entries)
    if (out.Ok()) out.Add(SaveQueuedOrderEntry(file, entry));
  if (queued > 0) out.I32(queuedOrders.current);
  out.U8(queuedOrders.flag);
  for (int32_t v : {followed, changed, group}) out.I32(v);
  for (int i = 0; i < 19; ++i) out.I32(stateWords[i]);
  PutRoute(out, route);
  out.I32(frameCounter);
  for (const auto& correction : corrections) out.PutWords(correction);
  for (int32_t v : {routeActive, advanceTable, advanceEntry}) out.I32(v);
  PutShape(out, shape);
  out.I32(shapeSize);
  out.PutWords(shapeWords);
  out.PutWords(placementWords);
  if (out.Ok()) out.Add(printFX.Save(file));
  out.PutWords(nodeRoute.header);
  if (nodeRoute.header[1]) {
    out.PutWords(nodeRoute.nodes);
    out.I32(nodeRoute.position);
  }
  out.PutWords(nodeRoute.goal);
  for (const auto& row : armyArrays) out.PutWords(row);
  out.PutWords(manaStores);
  out.I32(stateWords[19]);
  return out.Result();
}

int CCreature::Load(FILE* file) {
  SaveStream in(file);
  const int32_t savedIndex = in.I32();
  const int32_t savedInUse = in.I32();
  if (!in.Ok() || savedIndex != index || !IsFlag(savedInUse)) return -1;
  inUse = savedInUse;
  if (!inUse) {
    Reset(index);
    return in.Result();
  }
  for (int32_t* v : {&cellX, &cellY, &level, &unitX, &unitY, &unitZ, &spare}) *v = in.I32();
  in.GetWords(sightingCounters);
  seenBefore = in.I32();
  in.GetWords(spottedBy);
  for (int32_t* v : {&illusion, &stateSpare, &magicResistance, &intelligence, &invisible, &ironSkin, &bloodLust,
                     &placementSpare, &heldTime, &heldKind, &typeNumber})
    *v = in.I32();
  if (!in.Ok() || !InRange(typeNumber, 0, kCreatureTypes - 1)) return -1;
  for (int32_t spotter : spottedBy)
    if (!IsSlotOrNone(spotter)) return -1;
  char animName[kAnimNameSize] = {};
  if (IsWizardType(typeNumber)) {
    const int32_t length = in.I32();
    if (!in.Ok() || length < 0 || length > kAnimNameSize) return -1;
    in.Read(animName, static_cast<size_t>(length));
    if (!in.Ok() || (length > 0 && std::strlen(animName) != static_cast<size_t>(length - 1))) return -1;
  }
  if (!ReadyAnims(typeNumber, animName)) return -1;
  type = &g_creatureTypes[typeNumber];
  animSet = g_creatureTypeAnims[typeNumber];
  bodyAnim.Clear();
  bodyAnim.SetAnimation(animSet ? &animSet->animation : nullptr);
  in.Add(bodyAnim.Load(file));
  for (int32_t* v : {&animationBase, &health, &mana, &maxMana}) *v = in.I32();
  if (!in.Ok() || health < 0) return -1;
  if (health == 0)
    in.GetWords(deadState);
  else
    std::fill(std::begin(deadState), std::end(deadState), 0);
  for (int32_t* v : {&undead, &manaSource, &nextManaGain, &mayFly, &stepAirborne, &stepKind, &earthBind, &pestered,
                     &pestTimer, &rank, &experience})
    *v = in.I32();
  overlayAnim.Clear();
  overlayAnim.SetAnimation(g_creatureEffects->GlobalAnim(6));
  if (in.Ok()) in.Add(overlayAnim.Load(file));
  for (int32_t* v : {&nextActionFrame, &rangedAttack, &movement[0], &movement[1], &movement[2], &army, &eventCount})
    *v = in.I32();
  int active = 0;
  for (CCreatureEvent& e : events) {
    for (int32_t* v : {&e.kind, &e.value1, &e.value2, &e.value3, &e.remaining, &e.active}) *v = in.I32();
    if (!IsFlag(e.active)) return -1;
    active += e.active;
  }
  spellCount = in.I32();
  in.GetWords(spells);
  selectedSpell = in.I32();
  for (int32_t* v :
       {&order, &pendingOrder, &animState, &facing, &viewFacing, &stepLevelChange, &previousFacing, &midStep})
    *v = in.I32();
  if (!in.Ok() || !InRange(stepKind, 0, 5) || !InRange(rank, 0, 2) || !InRange(army, 0, kArmyCount - 1) ||
      !InRange(eventCount, 0, kCreatureEvents) || eventCount != active || !InRange(spellCount, 0, kCreatureSpells) ||
      !InRange(selectedSpell, -1, kCreatureSpells - 1) || !InRange(order, ORDER_NONE, ORDER_DROPPED) ||
      !InRange(pendingOrder, ORDER_NONE, ORDER_DROPPED) || !InRange(animState, ANIM_NONE, ANIM_HTH_RECOVER) ||
      !InRange(facing, 0, 7) || !InRange(viewFacing, 0, 7) || !InRange(previousFacing, 0, 7))
    return -1;
  in.GetWords(attack);
  target = in.I32();
  in.GetWords(orderWords);
  for (int32_t* v : {&tracking, &engagedCount, &waitReason, &combatWords[0], &combatWords[1], &carrySpare,
                     &behaviourSubState, &waitState, &waitSpare})
    *v = in.I32();
  in.GetWords(blockWords);
  for (int32_t* v : {&engagedWith, &engageSpare, &viewMark, &goalMarker}) *v = in.I32();
  in.GetWords(goalWords);
  for (int32_t* v : {&independent, &teleportX, &teleportY, &teleportLevel}) *v = in.I32();
  falling = in.U8();
  endFlight = in.U8();
  stepSpeed = in.I32();
  mirrored = in.U8();
  attackApproach = in.U8();
  if (!in.Ok() || !IsSlotOrNone(target) || !IsSlotOrNone(engagedWith) || !IsEffectOrNone(goalMarker) || falling > 1 ||
      endFlight > 1 || mirrored > 1 || attackApproach > 1)
    return -1;
  in.GetWords(moveWords);
  for (auto& slot : positionSlots) in.GetWords(slot);
  for (int32_t* v : {&haste, &slow, &provokeTimer, &provoked, &provokeWords[0], &provokeWords[1]}) *v = in.I32();
  const uint8_t hadObject = in.U8();
  attachedObject = -1;  // attached objects are made again by their owners
  airborne = in.I32();
  if (!in.Ok() || hadObject > 1) return -1;
  if (!GetAttached(in, attachAnim1, true, g_creatureEffects->GlobalAnim(kAttachAnim1))) return -1;
  spellState = in.I32();
  attachedEffect = in.I32();
  if (!in.Ok() || !IsEffectOrNone(attachedEffect)) return -1;
  attachAnim2.Clear();
  if (spellState != 0 && spellState != 2) {
    const int32_t number = in.I32();
    if (!in.Ok() || !InRange(number, -1, kMaxGlobalAnim - 1)) return -1;
    attachAnim2.SetAnimation(number < 0 ? nullptr : g_creatureEffects->GlobalAnim(number));
    in.Add(attachAnim2.Load(file));
  }
  const uint8_t hadSecond = in.U8();
  secondAttachedObject = -1;
  if (!in.Ok() || hadSecond > 1) return -1;
  GetConditionWords(in, *this);
  CAnimation* attachments[3] = {animSet ? &animSet->animation : nullptr, g_creatureEffects->GlobalAnim(kAttachAnim4),
                                g_creatureEffects->GlobalAnim(kAttachAnim5)};
  for (int i = 0; i < 3; ++i)
    if (!GetAttached(in, attachAnims[i], false, attachments[i])) return -1;
  ownMaxHealth = in.I32();
  in.GetWords(aiWords);
  const int32_t queued = in.I32();
  if (!in.Ok() || !InRange(queued, 0, kMaxQueuedOrders)) return -1;
  queuedOrders.Clear();
  for (int32_t n = 0; n < queued; ++n) {
    CQueuedOrder entry;
    in.Add(LoadQueuedOrderEntry(file, entry));
    if (!in.Ok()) return -1;
    queuedOrders.entries.push_back(entry);
  }
  queuedOrders.count = queued;
  if (queued > 0) {
    queuedOrders.current = in.I32();
    if (!in.Ok() || !InRange(queuedOrders.current, 0, queued - 1)) return -1;
  }
  queuedOrders.flag = in.U8();
  for (int32_t* v : {&followed, &changed, &group}) *v = in.I32();
  for (int i = 0; i < 19; ++i) stateWords[i] = in.I32();
  if (!in.Ok() || queuedOrders.flag > 1 || !IsSlotOrNone(followed)) return -1;
  GetRoute(in, route);
  frameCounter = in.I32();
  for (auto& correction : corrections) in.GetWords(correction);
  for (int32_t* v : {&routeActive, &advanceTable, &advanceEntry}) *v = in.I32();
  if (!in.Ok() || !InRange(route.stepCount, 0, kRouteSteps) || !InRange(route.stepIndex, 0, kRouteSteps) ||
      !InRange(advanceTable, -1, kAdvanceEntries - 1) || !InRange(advanceEntry, -1, kAdvanceEntries - 1))
    return -1;
  if (!GetShape(in, shape)) return -1;
  shapeSize = in.I32();
  in.GetWords(shapeWords);
  in.GetWords(placementWords);
  if (in.Ok()) in.Add(printFX.Load(file));
  in.GetWords(nodeRoute.header);
  if (!in.Ok() || !IsFlag(nodeRoute.header[1])) return -1;
  if (nodeRoute.header[1]) {
    in.GetWords(nodeRoute.nodes);
    nodeRoute.position = in.I32();
  }
  in.GetWords(nodeRoute.goal);
  for (auto& row : armyArrays) in.GetWords(row);
  in.GetWords(manaStores);
  stateWords[19] = in.I32();
  if (!in.Ok()) return -1;
  // What the block does not carry starts afresh; the handlers follow the order and state.
  selected = 0;
  inspected = 0;
  orderState = CCreatureOrderState{};
  combat = CCreatureCombatState{};
  motion = CCreatureMotion{};
  RefreshHandlers();
  RebuildHealthGauge();
  return in.Result();
}

int CCreatureArray::Save(FILE* file) const {
  SaveStream out(file);
  out.I32(capacity);
  for (const CCreature& creature : records)
    if (out.Ok()) out.Add(creature.Save(file));
  out.PutWords(kingFlags);
  out.I32(static_cast<int32_t>(bodies.size()));
  for (int32_t body : bodies) out.I32(body);
  for (int32_t v : {selectionChanged, highWater, frameBudget}) out.I32(v);
  out.PutWords(routeRequest);
  for (int32_t v : {schedulerCursor, phase20, visibilityPhase, phase90}) out.I32(v);
  return out.Result();
}

namespace {

// The wizard types' anim sets and type records, put back when a block is refused: each
// wizard's own anim file is loaded again while the block is read.
class WizardTypesKept {
 public:
  WizardTypesKept() {
    for (int i = 0; i < 4; ++i) {
      const int type = WizardNumberToType(i);
      sets_[i] = g_creatureTypeAnims[type];
      types_[i] = g_creatureTypes[type];
      g_creatureTypeAnims[type].reset();
    }
  }
  void Restore() {
    for (int i = 0; i < 4; ++i) {
      const int type = WizardNumberToType(i);
      g_creatureTypeAnims[type] = sets_[i];
      g_creatureTypes[type] = types_[i];
    }
  }

 private:
  CreatureAnimSetPtr sets_[4];
  CCreatureType types_[4];
};

// The block read into a copy of the pool and taken whole; the bytes read or -1.
int LoadPool(CCreatureArray& pool, FILE* file) {
  auto& records = pool.records;
  const int capacity = pool.capacity;
  SaveStream in(file);
  if (in.I32() != capacity || !in.Ok()) return -1;
  std::vector<CCreature> staged(records);
  for (CCreature& creature : staged) {
    in.Add(creature.Load(file));
    if (!in.Ok()) return -1;
  }
  int32_t kings[kCreatureTypes];
  in.GetWords(kings);
  const int32_t bodyCount = in.I32();
  if (!in.Ok() || !InRange(bodyCount, 0, capacity)) return -1;
  for (int32_t king : kings)
    if (!IsFlag(king)) return -1;
  std::list<int32_t> stagedBodies;
  for (int32_t n = 0; n < bodyCount; ++n) {
    const int32_t slot = in.I32();
    if (!in.Ok() || !InRange(slot, 0, capacity - 1) || !staged[slot].inUse || staged[slot].health != 0) return -1;
    stagedBodies.push_front(slot);
  }
  int32_t counters[3], request[9], phases[4];
  in.GetWords(counters);
  in.GetWords(request);
  in.GetWords(phases);
  if (!in.Ok() || !IsFlag(counters[0]) || !InRange(counters[1], 0, capacity) || !InRange(phases[0], 0, capacity) ||
      !InRange(phases[1], 0, 19) || !InRange(phases[2], 0, 9) || !InRange(phases[3], 0, 89))
    return -1;
  // Nothing of the loaded pool is selected.
  g_selectedCreature = nullptr;
  SetSelectionCount(0);
  for (int slot = 0; slot < capacity; ++slot) std::swap(records[slot], staged[slot]);
  std::copy(std::begin(kings), std::end(kings), std::begin(pool.kingFlags));
  pool.bodies.swap(stagedBodies);
  pool.cellCursor = pool.listCursor = pool.bodies.begin();
  pool.selectionChanged = counters[0];
  pool.highWater = counters[1];
  pool.frameBudget = counters[2];
  std::copy(std::begin(request), std::end(request), std::begin(pool.routeRequest));
  pool.schedulerCursor = phases[0];
  pool.phase20 = phases[1];
  pool.visibilityPhase = phases[2];
  pool.phase90 = phases[3];
  pool.searchPending = 0;
  return in.Result();
}

}  // namespace

int CCreatureArray::Load(FILE* file) {
  WizardTypesKept kept;
  const int result = LoadPool(*this, file);
  if (result < 0) kept.Restore();
  return result;
}
