// The creature part of a saved game: the pool's capacity, one block per slot (8 bytes for a
// free one), the King flags, the bodies and the scheduler's counters. Fields go one by one:
// links travel as slot and effect numbers, animation players write their own small state and
// the anim sets of the types are loaded again and linked on reading. A block is read into a
// copy of the pool and taken only when every number in it is one the writer writes; the wizard
// types' anims are loaded on the way, before anything of the live pool changes.
//
// The record keeps the state of its orders, combat, movement and behaviour in named fields
// (CCreatureOrderState, CCreatureCombatState, CCreatureMotion, CCreatureBehaviourState); the
// block keeps the layout of the unnamed words it has always had and carries each named field
// in one of those places, row by row below, so that a loaded battle goes on exactly as the
// saved one would have. Its 0/1 marks share the block's last word; the strength estimate,
// a function of the creature's values, is made again.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
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
constexpr int kRouteSlots = 18;      // the block's step slots
constexpr int kAdvanceTableSize = 12;
constexpr int kSingleAdvance = 4;  // the motion's one-entry table, not one of the type's
// Global anims of the attachments.
constexpr int kAttachAnim1 = 180, kAttachAnim4 = 94, kAttachAnim5 = 192;
constexpr int kMaxGlobalAnim = 256;
constexpr int kDefaultOverlay = 6;
// The effect entries play starts the players on: the overlay (wait, strike, an item's bane),
// the levitation (small and large creatures), the reaction flash and the rising of the dead.
constexpr int kWaitOverlay = 36, kStrikeOverlay = 35, kBaneOverlay = 47;
constexpr int kLevitateOverlay = 90, kLevitateOverlayLarge = 91, kReactionOverlay = 37, kRisingAnim = 96;
constexpr int kFacings = 8;  // an entry's sequences: one a facing from its first

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

bool IsLinkOrNone(int32_t v) { return v >= 0 && v <= kCreatureCapacity; }  // slot + 1, 0 none

// --- where the named state rides in the block ---
// Each row lists, in block order, the words of one run of the layout: the record's own fields
// and the named fields that take the places of its unnamed words. Save and Load walk the same
// lists, so the two cannot part.

template <class Words>
void Put(SaveStream& out, const Words& words) {
  for (const auto* word : words) out.I32(*word);
}
template <class Words>
void Get(SaveStream& in, const Words& words) {
  for (auto* word : words) *word = in.I32();
}

// Row 7: the conditions, two unnamed words among them.
template <class C>
auto ConditionRow(C& c) {
  return std::array{&c.illusion,  &c.combat.shielded, &c.magicResistance, &c.intelligence,
                    &c.invisible, &c.ironSkin,        &c.bloodLust,       &c.combat.invulnerable,
                    &c.heldTime,  &c.heldKind,        &c.typeNumber};
}
// Row 20: the attack parameters, three unnamed words after the spell.
template <class C>
auto AttackRow(C& c) {
  return std::array{&c.attack[0],
                    &c.orderState.targetDistance,
                    &c.orderState.shotDistance,
                    &c.combat.attacker,
                    &c.attack[4],
                    &c.attack[5],
                    &c.attack[6],
                    &c.attack[7],
                    &c.attack[8],
                    &c.attack[9],
                    &c.attack[10]};
}
// Row 21: the target, the five words after it, tracking,
// the engaged count, the wait reason and two words.
template <class C>
auto TargetRow(C& c) {
  return std::array{&c.target,
                    &c.motion.approachSpeed,
                    &c.orderState.chargeSpeed,
                    &c.orderState.quadDamage,
                    &c.orderState.replanRequest,
                    &c.orderState.engagedBy,
                    &c.tracking,
                    &c.orderState.attackerCount,
                    &c.orderState.standCountdown,
                    &c.combat.attackerMemory,
                    &c.combat.tauntedBy};
}
// Row 22: around the behaviour sub-state and the wait state.
template <class C>
auto WaitRow(C& c) {
  return std::array{&c.behaviour.consumed, &c.behaviourSubState, &c.motion.routeWait, &c.behaviour.reach};
}
// Row 23: the blocker and the challenger among five words, engaged with, one word.
template <class C>
auto BlockRow(C& c) {
  return std::array{&c.motion.blocker,          &c.combat.challenger, &c.motion.pushRank,    &c.motion.pushedBy,
                    &c.combat.reactionModifier, &c.engagedWith,       &c.combat.fleeDistance};
}
// Row 26: the six words after the goal marker, independent.
template <class C>
auto GoalRow(C& c) {
  auto& s = c.orderState;
  return std::array{&s.goalX, &s.goalY, &s.goalLevel, &s.walkRetries[0], &s.walkRetries[1], &s.walked, &c.independent};
}
// Rows 31 and 32: the stepped straight move's seven words, then where steps and pushes go.
template <class C>
auto MoveRow(C& c) {
  auto& m = c.motion;
  return std::array{&c.moveWords[0], &c.moveWords[1], &c.moveWords[2], &c.moveWords[3],
                    &c.moveWords[4], &c.moveWords[5], &c.moveWords[6], &m.fromLevel,
                    &m.returnX,      &m.returnY,      &m.returnLevel};
}
// Row 33: the three position slots, the view's trail of the creature.
template <class C>
auto TrailRow(C& c) {
  auto& b = c.behaviour;
  return std::array{&b.trailX[0],     &b.trailY[0], &b.trailFrame[0], &b.trailX[1],    &b.trailY[1],
                    &b.trailFrame[1], &b.trailX[2], &b.trailY[2],     &b.trailFrame[2]};
}
// Row 34: haste, slow, the provocation and two words.
template <class C>
auto ProvokeRow(C& c) {
  return std::array{&c.haste, &c.slow, &c.provokeTimer, &c.provoked, &c.orderState.panicking, &c.combat.hurtPause};
}
// Row 44: six of the seven words after the second attached object (the third is not kept);
// the sight timer is the fifth of the seven.
template <class C>
auto TimerRow(C& c) {
  auto& s = c.orderState;
  return std::array{&s.burnTimer,  &s.burnPeriod,      &s.poisonPoints,
                    &c.sightTimer, &s.nextPoisonFrame, &s.nextResistanceFrame};
}
// Row 53: the followed creature, the changed flag, the group and 19 words.
template <class C>
auto StateRow(C& c) {
  auto& s = c.orderState;
  return std::array{
      &c.followed,          &c.changed,        &c.group,          &s.lastSeenX,         &s.lastSeenY, &s.lastSeenLevel,
      &s.attackedX,         &s.attackedY,      &s.attackedLevel,  &s.previousX,         &s.previousY, &s.previousLevel,
      &s.secondAttackTimer, &s.generalCounter, &s.flightCounter,  &s.nextRecoveryFrame, &s.dissolve,  &s.lightCounter,
      &s.printTimers[0],    &s.printTimers[1], &s.printTimers[2], &s.printTimers[3]};
}
// Row 54's last two step slots: the step in progress.
template <class C>
auto StepRow(C& c) {
  auto& m = c.motion;
  return std::array{&m.stepProgress, &m.progressX,  &m.progressY,   &m.zChange,       &m.zOffset,
                    &m.baseZ,        &m.stepCost,   &m.accumulator, &m.singleAdvance, &m.drawStartX,
                    &m.drawStartY,   &m.frameCount, &m.fromX,       &m.fromY};
}
// Rows 55-57: the frame counter, two position corrections, route active.
template <class C>
auto AfterRouteRow(C& c) {
  return std::array{&c.orderState.drainHealth, &c.behaviour.goalX, &c.behaviour.goalY,
                    &c.behaviour.goalLevel,    &c.behaviour.score, &c.orderState.nextDrainFrame};
}
// Row 12, written only for a dead creature: the body's death stage and its countdown, which a
// living one holds at 0 (raising a body clears them), and the third dead-state word.
template <class C>
auto DeadRow(C& c) {
  return std::array{&c.orderState.deathStage, &c.orderState.bodyCountdown, &c.deadState[2]};
}
// Row 60: the shape size and the three words after it.
template <class C>
auto ShapeRow(C& c) {
  return std::array{&c.shapeSize, &c.combat.blastValue, &c.orderState.manaRecovery, &c.combat.damageCredit};
}
// Row 61: the nine words zeroed at placement.
template <class C>
auto PlacementRow(C& c) {
  auto& w = c.placementWords;
  return std::array{&w[0], &w[1], &w[2], &w[3], &w[4], &w[5], &w[6], &w[7], &w[8]};
}
// Rows 63 and 65: the node route's header and goal; the header's first word and the goal's
// fourth carry the wizard's army count and the attack bonus.
template <class C>
auto NodeHeaderRow(C& c) {
  return std::array{&c.behaviour.armyCount, &c.nodeRoute.header[1]};
}
template <class C>
auto NodeGoalRow(C& c) {
  auto& g = c.nodeRoute.goal;
  return std::array{&g[0], &g[1], &g[2], &c.strength.attackBonus, &g[4], &g[5]};
}
// The 0/1 marks, one bit each in the block's last word (bits above the marks are refused).
template <class C>
auto MarkRow(C& c) {
  auto& s = c.orderState;
  auto& m = c.motion;
  auto& b = c.behaviour;
  return std::array{&s.engaged,          &s.inContact,    &s.castSuppressed,  &s.goalChanged,
                    &s.walkingInContact, &s.earthBound,   &s.lineMove,        &s.fallFlag,
                    &s.traceDraw,        &s.looksChanged, &s.dissolveSpawned, &s.levitationOverlay,
                    &s.drainState,       &m.walkRestart,  &m.continuing,      &m.avoid,
                    &m.pushed,           &m.bargeMark,    &b.itemDetour,      &b.stay,
                    &b.threatSeen,       &s.flying,       &c.combat.raised,   &c.combat.illusionFading,
                    &c.teleportInAir,    &c.mayCastOnAllies};
}
// The last bit came later: a battle saved before it reads with the bit clear, the state such
// a creature had; a reader without it refuses a block that sets it.
constexpr int kMarks = 26;

int32_t PackMarks(const CCreature& c) {
  const auto marks = MarkRow(c);
  static_assert(marks.size() == kMarks);
  int32_t word = 0;
  for (int i = 0; i < kMarks; ++i)
    if (*marks[i]) word |= int32_t{1} << i;
  return word;
}
// False for a word with a bit no mark owns.
bool UnpackMarks(int32_t word, CCreature& c) {
  if (word < 0 || word >= (int32_t{1} << kMarks)) return false;
  const auto marks = MarkRow(c);
  for (int i = 0; i < kMarks; ++i) *marks[i] = (word >> i) & 1;
  return true;
}

// The advance pointers: the word of the type's four tables (taken as one array of 48) where
// the walk cycle starts and the one it stands at; the motion's own one-entry table is -1.
void PutAdvance(SaveStream& out, const CCreatureMotion& m) {
  const bool inTables = m.advanceTable >= 0 && m.advanceTable < kSingleAdvance;
  out.I32(inTables ? m.advanceTable * kAdvanceTableSize + m.advanceStart : -1);
  out.I32(inTables ? m.advanceTable * kAdvanceTableSize + m.advanceIndex : -1);
}
bool GetAdvance(SaveStream& in, CCreatureMotion& m) {
  const int32_t start = in.I32(), at = in.I32();
  if (!in.Ok()) return false;
  if (start == -1 && at == -1) {
    m.advanceTable = kSingleAdvance;
    m.advanceStart = m.advanceIndex = 0;
    return true;
  }
  if (!InRange(start, 0, kAdvanceEntries - 1) || !InRange(at, 0, kAdvanceEntries - 1) ||
      start / kAdvanceTableSize != at / kAdvanceTableSize)
    return false;
  m.advanceTable = start / kAdvanceTableSize;
  m.advanceStart = start % kAdvanceTableSize;
  m.advanceIndex = at % kAdvanceTableSize;
  return true;
}

// The route: 18 step slots, of which the space of the last two carries the step in progress.
static_assert(kRouteSlots * 7 == kCreatureRouteSteps * 7 + 14);
void PutRoute(SaveStream& out, const CCreature& c) {
  const CCreatureRoute& route = c.route;
  for (int32_t v : {route.goalX, route.goalY, route.goalLevel, route.stepIndex, route.stepCount}) out.I32(v);
  for (const CRouteStep& step : route.steps) out.PutWords(step.words);
  Put(out, StepRow(c));
}
void GetRoute(SaveStream& in, CCreature& c) {
  CCreatureRoute& route = c.route;
  for (int32_t* v : {&route.goalX, &route.goalY, &route.goalLevel, &route.stepIndex, &route.stepCount}) *v = in.I32();
  for (CRouteStep& step : route.steps) in.GetWords(step.words);
  Get(in, StepRow(c));
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
// A player's block keeps no number of the animation it plays, and play starts players on the
// animations of effect entries that may lie in other files than the player's default. The
// animation is found again from the saved sequence: the first of the entries that may start the
// player whose facings hold it; without one the player keeps its default. The file is left
// where it was.
CAnimation* PlayedAnimation(SaveStream& in, std::initializer_list<int> entries, CAnimation* fallback) {
  FILE* file = in.File();
  const long at = file ? std::ftell(file) : -1;
  uint32_t word = 0;
  const bool read = at >= 0 && bytes::ReadU32(file, word);
  if (at >= 0 && std::fseek(file, at, SEEK_SET) != 0) return fallback;
  const int32_t sequence = static_cast<int32_t>(word);
  if (!read || sequence < 0) return fallback;
  for (int entry : entries) {
    int first = 0;
    CAnimation* animation = g_creatureEffects->EffectAnimEntry(entry, first);
    if (animation && sequence >= first && sequence < first + kFacings && animation->HasSequence(sequence))
      return animation;
  }
  return fallback;
}

bool GetAttached(SaveStream& in, CAttachedAnim& anim, bool asByte, std::initializer_list<int> entries,
                 CAnimation* fallback) {
  anim.inUse = asByte ? in.U8() : in.I32();
  if (!in.Ok() || !IsFlag(anim.inUse)) return false;
  anim.player.Clear();
  anim.player.SetAnimation(anim.inUse ? PlayedAnimation(in, entries, fallback) : fallback);
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
  Put(out, ConditionRow(*this));
  if (IsWizardType(typeNumber)) {
    const char* name = animSet ? animSet->animation.Path() : "";
    const int length = *name ? static_cast<int>(std::strlen(name)) + 1 : 0;
    out.I32(length);
    out.Write(name, static_cast<size_t>(length));
  }
  if (out.Ok()) out.Add(bodyAnim.Save(file));
  for (int32_t v : {animationBase, health, mana, maxMana}) out.I32(v);
  if (health == 0) Put(out, DeadRow(*this));
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
  Put(out, AttackRow(*this));
  Put(out, TargetRow(*this));
  Put(out, WaitRow(*this));
  Put(out, BlockRow(*this));
  for (int32_t v : {viewMark, goalMarker}) out.I32(v);
  Put(out, GoalRow(*this));
  for (int32_t v : {teleportX, teleportY, teleportLevel}) out.I32(v);
  out.U8(falling);
  out.U8(endFlight);
  out.I32(stepSpeed);
  out.U8(mirrored);
  out.U8(attackApproach);
  Put(out, MoveRow(*this));
  Put(out, TrailRow(*this));
  Put(out, ProvokeRow(*this));
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
  Put(out, TimerRow(*this));
  for (const CAttachedAnim& anim : attachAnims) PutAttached(out, anim, false);
  out.I32(ownMaxHealth);
  out.PutWords(aiWords);
  const int32_t queued = static_cast<int32_t>(queuedOrders.entries.size());
  out.I32(queued);
  for (const CQueuedOrder& entry : queuedOrders.entries)
    if (out.Ok()) out.Add(SaveQueuedOrderEntry(file, entry));
  if (queued > 0) out.I32(queuedOrders.current);
  out.U8(queuedOrders.flag);
  Put(out, StateRow(*this));
  PutRoute(out, *this);
  Put(out, AfterRouteRow(*this));
  PutAdvance(out, motion);
  PutShape(out, shape);
  Put(out, ShapeRow(*this));
  Put(out, PlacementRow(*this));
  if (out.Ok()) out.Add(printFX.Save(file));
  Put(out, NodeHeaderRow(*this));
  if (nodeRoute.header[1]) {
    out.PutWords(nodeRoute.nodes);
    out.I32(nodeRoute.position);
  }
  Put(out, NodeGoalRow(*this));
  out.PutWords(combat.lastSeenDamage);
  out.PutWords(combat.lastSeenCounter);
  out.PutWords(manaStores);
  out.I32(PackMarks(*this));
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
  // What the block does not carry starts afresh.
  orderState = CCreatureOrderState{};
  combat = CCreatureCombatState{};
  motion = CCreatureMotion{};
  behaviour = CCreatureBehaviourState{};
  strength = CCreatureStrength{};
  for (int32_t* v : {&cellX, &cellY, &level, &unitX, &unitY, &unitZ, &spare}) *v = in.I32();
  in.GetWords(sightingCounters);
  seenBefore = in.I32();
  in.GetWords(spottedBy);
  Get(in, ConditionRow(*this));
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
    Get(in, DeadRow(*this));
  else
    deadState[2] = 0;
  for (int32_t* v : {&undead, &manaSource, &nextManaGain, &mayFly, &stepAirborne, &stepKind, &earthBind, &pestered,
                     &pestTimer, &rank, &experience})
    *v = in.I32();
  overlayAnim.Clear();
  if (in.Ok()) {
    overlayAnim.SetAnimation(PlayedAnimation(in, {kWaitOverlay, kStrikeOverlay, kBaneOverlay},
                                             g_creatureEffects->GlobalAnim(kDefaultOverlay)));
    in.Add(overlayAnim.Load(file));
  }
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
  Get(in, AttackRow(*this));
  Get(in, TargetRow(*this));
  Get(in, WaitRow(*this));
  Get(in, BlockRow(*this));
  for (int32_t* v : {&viewMark, &goalMarker}) *v = in.I32();
  Get(in, GoalRow(*this));
  for (int32_t* v : {&teleportX, &teleportY, &teleportLevel}) *v = in.I32();
  falling = in.U8();
  endFlight = in.U8();
  stepSpeed = in.I32();
  mirrored = in.U8();
  attackApproach = in.U8();
  if (!in.Ok() || !IsSlotOrNone(target) || !IsSlotOrNone(engagedWith) || !IsEffectOrNone(goalMarker) || falling > 1 ||
      endFlight > 1 || mirrored > 1 || attackApproach > 1 || !IsLinkOrNone(orderState.engagedBy) ||
      !IsLinkOrNone(combat.attacker) || !IsLinkOrNone(combat.tauntedBy) || !IsLinkOrNone(combat.challenger) ||
      !IsLinkOrNone(motion.blocker) || !IsSlotOrNone(motion.pushedBy) ||
      !InRange(orderState.attackerCount, 0, kCreatureCapacity))
    return -1;
  Get(in, MoveRow(*this));
  Get(in, TrailRow(*this));
  Get(in, ProvokeRow(*this));
  const uint8_t hadObject = in.U8();
  attachedObject = -1;  // attached objects are made again by their owners
  airborne = in.I32();
  if (!in.Ok() || hadObject > 1) return -1;
  if (!GetAttached(in, attachAnim1, true, {kLevitateOverlay, kLevitateOverlayLarge},
                   g_creatureEffects->GlobalAnim(kAttachAnim1)))
    return -1;
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
  Get(in, TimerRow(*this));
  if (!GetAttached(in, attachAnims[0], false, {kReactionOverlay}, animSet ? &animSet->animation : nullptr) ||
      !GetAttached(in, attachAnims[1], false, {}, g_creatureEffects->GlobalAnim(kAttachAnim4)) ||
      !GetAttached(in, attachAnims[2], false, {kRisingAnim}, g_creatureEffects->GlobalAnim(kAttachAnim5)))
    return -1;
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
  Get(in, StateRow(*this));
  if (!in.Ok() || queuedOrders.flag > 1 || !IsSlotOrNone(followed)) return -1;
  GetRoute(in, *this);
  Get(in, AfterRouteRow(*this));
  if (!in.Ok() || !InRange(route.stepCount, 0, kCreatureRouteSteps) ||
      !InRange(route.stepIndex, 0, kCreatureRouteSteps) || !GetAdvance(in, motion))
    return -1;
  if (!GetShape(in, shape)) return -1;
  Get(in, ShapeRow(*this));
  Get(in, PlacementRow(*this));
  if (in.Ok()) in.Add(printFX.Load(file));
  Get(in, NodeHeaderRow(*this));
  if (!in.Ok() || !IsFlag(nodeRoute.header[1])) return -1;
  if (nodeRoute.header[1]) {
    in.GetWords(nodeRoute.nodes);
    nodeRoute.position = in.I32();
  }
  Get(in, NodeGoalRow(*this));
  in.GetWords(combat.lastSeenDamage);
  in.GetWords(combat.lastSeenCounter);
  in.GetWords(manaStores);
  const int32_t marks = in.I32();
  if (!in.Ok() || !UnpackMarks(marks, *this)) return -1;
  // What the block does not carry: the selection, the handlers, which follow the order and
  // the state, and the strength estimate, made again from the creature as it stands.
  selected = 0;
  inspected = 0;
  RefreshHandlers();
  UpdateStrength();
  RebuildHealthGauge();
  StartRankBadge();
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
    stagedBodies.push_back(slot);  // in the order saved: a loaded battle is the battle saved
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
