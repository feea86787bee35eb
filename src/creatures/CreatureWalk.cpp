// The walk: the handler of WALK_TO_POS, the start of each route step (facing, animation,
// pace, occupied cells), the stepping in sixths of a map unit under animation state WALK, the
// end of a step, falls and landings, following another creature and the route markers.
// Integer arithmetic throughout; the square roots of the pace run once a step.
#include <algorithm>
#include <cstdlib>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/CreatureRoutes.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

namespace {

using namespace route_step;

constexpr int kStepUnits = 192;
constexpr int kSixths = 6;
constexpr int kKilledByLanding = 15;  // dies of any landing
constexpr int kFlyingType = 12;       // flies its take-offs and landings at a fixed 32 a frame
constexpr int kFlyingTypeAdvance = 32;
constexpr int kRetreatStun = 20;
constexpr int kRefusedWait = 7, kBurningWait = 5, kChallengeWait = 2, kBargedRest = 20, kRetreatRest = 10;
enum AdvanceTable { kWalkStraight, kWalkDiagonal, kFlyStraight, kFlyDiagonal, kSingleEntry };

// A landing's hurt: a creature of type 15 loses its whole health, any other the fall damage.
int FallDamage(const CCreature& c) {
  return c.typeNumber == kKilledByLanding ? c.health : g_spellDefs[spell_tuning::kFallDamage].Damage;
}

// The blow that shatters a creature held in stone (kind 1) or ice (kind 2); 0 otherwise.
int ShatterBlow(const CCreature& c) {
  if (c.heldKind == 1) return g_spellDefs[spell_tuning::kFreezeShatter].Data1;
  if (c.heldKind == 2) return g_spellDefs[spell_tuning::kHoldShatter].Data1;
  return 0;
}

int WrapUnits(int v, int period) { return period > 0 ? ((v % period) + period) % period : v; }

const int32_t* TableOf(const CCreature& c, int table) {
  switch (table) {
    case kWalkDiagonal:
      return c.type->walkAdvanceDiagonal;
    case kFlyStraight:
      return c.type->flyAdvanceStraight;
    case kFlyDiagonal:
      return c.type->flyAdvanceDiagonal;
    case kSingleEntry:
      return &c.motion.singleAdvance;
    default:
      return c.type->walkAdvanceStraight;
  }
}

int TableSum(const CCreature& c, int table) {
  if (table == kSingleEntry) return c.motion.singleAdvance;
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += TableOf(c, table)[i];
  return sum;
}

// The step's offsets from the creature's cell.
void StepOffsets(const CCreature& c, const CRouteStep& step, int& dx, int& dy, int& dz) {
  dx = WrapDeltaX(c.cellX, step.words[kX]);
  dy = WrapDeltaY(c.cellY, step.words[kY]);
  dz = step.words[kLevel] - c.level;
}

int StepDistance(int dx, int dy, int dz) {
  return dx == 0 && dy == 0 ? CellDistanceApprox(dz, 0, 0) : CellDistanceApprox(dx, dy, dz);
}

}  // namespace

// --- the pace ---

namespace {

// Step cost (never below 1) and the new speed for a step from the speed as it stands.
void ComputePace(CCreature& c, int dx, int dy, int dz) {
  const int kind = c.stepKind;
  const uint32_t base = c.type->GetStepBase(kind, dx, dy, dz);
  c.motion.stepCost = static_cast<int>(std::max<uint32_t>(base, 1));
  if (c.attackApproach && c.motion.approachSpeed > 0) {
    c.stepSpeed = c.motion.approachSpeed;
    return;
  }
  // Haste doubles the target speed and slow halves it: the divisor of the type's rule.
  const int divisor = c.haste ? 2 : c.slow ? 8 : 4;
  int target = 0;
  c.type->UpdateStepSpeed(divisor, kind, dx, dy, dz, base, c.stepSpeed, target);
}

// The sequence base and the advance table of a step, by its kind.
void ChooseStepAnim(CCreature& c, int dx, int dy, int& base, int& table) {
  const bool vertical = dx == 0 && dy == 0;
  const bool diagonal = (c.facing & 1) != 0;
  const int walkTable = diagonal ? kWalkDiagonal : kWalkStraight;
  const int flyTable = diagonal ? kFlyDiagonal : kFlyStraight;
  const bool type12 = c.typeNumber == kFlyingType;
  const int kind = c.stepKind;
  base = creature_anim::kWalk;
  table = walkTable;
  if (kind < 1 || kind > 3) return;
  if (!c.type->CanFly) {
    base = creature_anim::kStand;
    table = kSingleEntry;
    const int distance = std::max(StepDistance(dx, dy, c.stepLevelChange), 1);
    c.motion.singleAdvance = g_spellDefs[spell_tuning::kFlight].Data1 * 4 / distance / 12;
    return;
  }
  if (!vertical) {
    if (kind == 1) {
      base = creature_anim::kFly;
      table = flyTable;
    } else if (kind == 2) {
      base = type12 ? creature_anim::kVampireFly : creature_anim::kFly;
      table = kFlyDiagonal;
    } else {
      base = type12 ? creature_anim::kVampireHover : creature_anim::kFly;
      table = type12 ? flyTable : walkTable;
    }
    return;
  }
  if (kind == 1) {
    base = creature_anim::kAirWait;
    table = kFlyStraight;
  } else if (kind == 2) {
    base = type12 ? creature_anim::kVampireFly : creature_anim::kAirWait;
    table = type12 ? kFlyDiagonal : kFlyStraight;
  } else {
    base = type12 ? creature_anim::kVampireHover : creature_anim::kAirWait;
    table = type12 ? kFlyDiagonal : kWalkStraight;
  }
}

}  // namespace

// --- the walk order ---

int CCreature::OrderWalk() {
  if (motion.walkRestart) {
    motion.walkRestart = 0;
    motion.continuing = 1;
    const int savedAirborne = airborne, savedPanic = orderState.panicking;
    const uint8_t savedLanding = falling;
    airborne = 0;
    orderState.panicking = 0;
    falling = 0;
    const bool approach = attackApproach != 0;
    if (!approach) {
      WalkTo(orderState.goalX, orderState.goalY, orderState.goalLevel);
    } else {
      attackApproach = 0;
      StartLineMove(StoredLineMove());
    }
    airborne = savedAirborne;
    orderState.panicking = savedPanic;
    falling = savedLanding;
    if (!approach || attackApproach) return 0;
  }
  if (Walking()) {
    FollowPath();
    return 0;
  }
  const int gx = orderState.goalX, gy = orderState.goalY, gz = orderState.goalLevel;
  const auto endWalk = [this]() {
    orderState.panicking = 0;
    attackApproach = 0;
    mirrored = 0;
    const int typeWas = typeNumber;
    EndHeldState();
    if (typeWas == creature_kind::kUnseen && inUse) Detach();
  };
  if (cellX == gx && cellY == gy && level == gz) {
    endWalk();
    return 0;
  }
  if (std::abs(WrapDeltaX(cellX, gx)) > 1 || std::abs(WrapDeltaY(cellY, gy)) > 1) {
    SetAnimState(ANIM_STAND);
    if (!orderState.replanRequest) {
      orderState.replanRequest = 1;
      motion.continuing = 1;
    }
    return 0;
  }
  if (orderState.replanRequest) {
    SetAnimState(ANIM_STAND);
    return 0;
  }
  if (StartBlobAttack()) return 0;
  if (falling) {
    // The landing of a creature brought down next to its goal.
    PrepareLanding();
    TakeDamage(FallDamage(*this), -1, -1, -1);
    if (!inUse || !IsAlive()) return 0;
    int x = cellX, y = cellY, z = level;
    if (g_map.FindFreePositionNear(index, MakeMoveQuery(), x, y, z)) Relocate(x, y, z);
    stepAirborne = 0;
    falling = 0;
    if (heldKind == 1 || heldKind == 2) {
      ShatterHeld(ShatterBlow(*this));
      return 0;
    }
  }
  endWalk();
  return 0;
}

int CCreature::FollowRoute() {
  if (!Walking()) return 0;
  FollowPath();
  return 1;
}

// --- starting a step ---

void CCreature::FollowPath() { StartStep(); }

int CCreature::StartStep() {
  const CRouteStep* step = CurrentStep();
  if (!step || !type) {
    Walking() = 0;
    return 0;
  }
  // A challenge that still holds is answered instead of the step.
  if (typeNumber != creature_kind::kUnseen && combat.challenger && AnswerChallenge()) return 0;

  const int oldFacing = facing, oldLevelChange = stepLevelChange, oldKind = stepKind;
  previousFacing = facing;
  facing = step->words[kFacing] & 7;
  stepLevelChange = step->words[kLevelChange];
  stepAirborne = step->words[kAirborne];
  stepKind = step->words[kKind];
  UpdateViewFacing();
  int dx, dy, dz;
  StepOffsets(*this, *step, dx, dy, dz);
  ComputePace(*this, dx, dy, dz);

  const int sx = step->words[kX], sy = step->words[kY], sz = step->words[kLevel];
  int kind = kStepRefused;
  if (!CanMoveStraightTo(cellX, cellY, level, sx, sy, sz, &kind, 0) || kind != stepKind) {
    if (FindBlocker()) {
      StandFor(kRefusedWait);
    } else {
      SetAnimState(ANIM_STAND);
      orderState.replanRequest = 2;
    }
    return 0;
  }
  if (type->BurnDamage != 0 && CellBurns(sx, sy, sz) && !CellBurns(cellX, cellY, level)) {
    StandFor(kBurningWait);
    return 0;
  }
  motion.blocker = 0;

  UnmarkCells(cellX, cellY, level);
  MarkCells(sx, sy, sz);
  midStep = 1;
  motion.fromX = cellX;
  motion.fromY = cellY;
  motion.fromLevel = level;
  motion.zChange = kUnitsPerLevel * sz - unitZ;
  if (const CMapCell* cell = g_map.CellAtWrapped(sx, sy, sz); cell && cell->terrain)
    motion.zChange += TerrainOf(*cell).groundHeight;
  motion.baseZ = unitZ;

  // The same step again while still walking: the overshoot carries into the new step.
  if (facing == oldFacing && stepLevelChange == oldLevelChange && stepKind == oldKind && animState == ANIM_WALK) {
    motion.stepProgress -= kStepUnits;
    motion.progressX -= kStepUnits * kDirectionSteps[facing].dx * (dx || dy ? 1 : 0);
    motion.progressY -= kStepUnits * kDirectionSteps[facing].dy * (dx || dy ? 1 : 0);
    return 1;
  }

  motion.stepProgress = motion.progressX = motion.progressY = 0;
  movement[1] = movement[2] = motion.frameCount = 0;
  if (animState != ANIM_WALK) {
    const int turn = std::abs(DirectionDifference(oldFacing, facing));
    const bool keep = motion.continuing && stepLevelChange == oldLevelChange && turn <= 1;
    motion.accumulator = 0;
    if (!keep) stepSpeed = 0;
  }
  motion.continuing = 0;
  ComputePace(*this, dx, dy, dz);
  int base = 0, table = kWalkStraight;
  ChooseStepAnim(*this, dx, dy, base, table);
  motion.advanceTable = table;
  StartAnimAt(base, mirrored);

  const int entries = table == kSingleEntry ? 1 : 12;
  motion.advanceIndex = mirrored ? entries - 1 : 0;
  if (mirrored && (dx || dy)) {
    const int sixth = TableSum(*this, table) / 6;
    movement[1] = sixth * kDirectionSteps[facing].dx;
    movement[2] = sixth * kDirectionSteps[facing].dy;
  }
  motion.advanceStart = motion.advanceIndex;
  motion.drawStartX = movement[1];
  motion.drawStartY = movement[2];
  if (table == kSingleEntry && attackApproach && airborne && HasUsableMissile()) {
    const int victim = target;
    if (victim >= 0) AttackCreature(victim);
  }
  SetAnimState(ANIM_WALK);
  return 1;
}

// --- stepping ---

void CCreature::AnimWalk() { StepMove(); }

void CCreature::StepMove() {
  if (spellState == 1 && overlayAnim.animation && overlayAnim.playing) overlayAnim.Advance();
  if (!type) return;
  motion.accumulator += stepSpeed;
  int frames = motion.accumulator / std::max(motion.stepCost, 1);
  if (frames < 1) return;
  const bool oneFrame = typeNumber == kFlyingType && (stepKind == 2 || stepKind == 3);
  if (oneFrame) frames = 1;
  const int entries = motion.advanceTable == kSingleEntry ? 1 : 12;
  const int periodX = g_map.width * kUnitsPerTile, periodY = g_map.height * kUnitsPerTile;
  bool finished = false;
  for (int f = 0; f < frames && !finished; ++f) {
    const CRouteStep* step = CurrentStep();
    if (!step) break;
    int a = TableOf(*this, motion.advanceTable)[std::clamp(motion.advanceIndex, 0, entries - 1)];
    if (stepLevelChange != 0) a *= 2;
    if (oneFrame) a = kFlyingTypeAdvance;
    if (stepLevelChange == 0) {
      motion.progressX += a * kDirectionSteps[facing].dx;
      motion.progressY += a * kDirectionSteps[facing].dy;
    }
    motion.stepProgress += a;
    motion.zOffset = std::clamp(motion.stepProgress * motion.zChange / kStepUnits, -16, 16);
    unitZ = motion.baseZ + motion.zOffset;
    const int oldX = unitX, oldY = unitY;
    unitX = WrapUnits(kUnitsPerTile * cellX + motion.progressX / kSixths, periodX);
    unitY = WrapUnits(kUnitsPerTile * cellY + motion.progressY / kSixths, periodY);
    const bool flies = !stepAirborne || type->CanFly;
    if (flies) {
      movement[1] += WrappedDelta(unitX, oldX, periodX);
      movement[2] += WrappedDelta(unitY, oldY, periodY);
      motion.advanceIndex = (motion.advanceIndex + (mirrored ? entries - 1 : 1)) % entries;
      ++motion.frameCount;
      const int event = bodyAnim.Advance();
      if (event == 2 || event == 1) {
        bodyAnim.Restart();
        movement[1] = motion.drawStartX;
        movement[2] = motion.drawStartY;
        motion.frameCount = 0;
        motion.advanceIndex = motion.advanceStart;
      } else if (event == 5) {
        PlayFootstep();
      } else if (event == 6) {
        g_creatureSounds->PlayAt(creature_sound::kCycleEvent6, cellX, cellY);
      }
    } else {
      movement[1] = movement[2] = motion.frameCount = 0;
    }
    motion.accumulator -= std::max(motion.stepCost, 1);
    finished = motion.stepProgress > kStepUnits - 1;
  }
  if (!finished) return;
  FinishStep();
  if (!inUse) return;
  AfterStep();
}

// --- footsteps ---

int TerrainFootstepKind(const CTerrainType& terrain) {
  switch (terrain.kind) {
    case kKindNoVolume:
      return 0;
    case 2:   // grass and sand floors
    case 12:  // earth
      return 1;
    case kKindLiquid:
      return 2;
    case 3:  // planks: bridges and roofs
      return 4;
    default:
      return 3;
  }
}

// The step sounds of the terrain under the creature: its own cell, or the one below when its
// own holds no terrain (it stands on the top of a block).
void CCreature::PlayFootstep() {
  int z = level;
  const CMapCell* cell = g_map.CellAtWrapped(cellX, cellY, z);
  if ((!cell || !cell->terrain) && z > 0) cell = g_map.CellAtWrapped(cellX, cellY, --z);
  const int kind = cell && cell->terrain ? TerrainFootstepKind(TerrainOf(*cell)) : 0;
  g_creatureSounds->PlayFootstep(*this, kind, z < g_map.waterLevel ? 1 : 0);
}

// --- the retreat ---

// RETREAT walks the planned route facing away from the way it goes; the end of its step
// decides what follows (AfterStep). With no step to take, or the step refused, the
// interrupted order resumes (a creature that cannot back off stays where it is).
int CCreature::OrderRetreat() {
  mirrored = 1;
  engagedWith = -1;
  if (Walking()) {
    FollowPath();
    if (midStep) return 0;
  }
  mirrored = 0;
  Walking() = 0;
  const int resume = pendingOrder;
  pendingOrder = ORDER_NONE;
  if (resume == ORDER_NONE || resume == ORDER_RETREAT) return EndHeldState();
  return SetOrder(resume);
}

// The retreat's own animation state: at the end of its sequence the step ends, the pending
// order is taken up and the creature is stunned a moment.
void CCreature::AnimRetreat() {
  if (overlayAnim.animation && overlayAnim.playing) overlayAnim.Advance();
  if (bodyAnim.Advance() != 1) return;
  mirrored = 0;
  if (midStep) FinishStep();
  if (!inUse) return;
  if (pendingOrder != ORDER_NONE) {
    const int next = pendingOrder;
    pendingOrder = ORDER_NONE;
    SetOrder(next);
  }
  Immobilise(kRetreatStun, 0);
}

// --- ending a step ---

void CCreature::PrepareLanding() {
  const bool spellFlightEnds = spellState == 3 && (endFlight || orderState.fallFlag);
  if (orderState.earthBound || endFlight || spellFlightEnds) mayFly = 0;
  if (spellFlightEnds && spellState == 3) EndSpellFlight();
  endFlight = 0;
}

void CCreature::LandAtStepEnd() {
  PrepareLanding();
  falling = 0;
  if ((heldKind == 1 || heldKind == 2) && ShatterHeld(ShatterBlow(*this))) return;
  TakeDamage(FallDamage(*this), -1, -1, -1);
}

void CCreature::FinishStep() {
  const CRouteStep* step = CurrentStep();
  if (!step) {
    midStep = 0;
    Walking() = 0;
    return;
  }
  const int sx = step->words[kX], sy = step->words[kY], sz = step->words[kLevel];
  if (falling && stepKind == kStepLanding) {
    LandAtStepEnd();
    if (!inUse) return;
  }
  motion.zChange = motion.zOffset = 0;
  midStep = 0;
  SetPosition(sx, sy, sz, typeNumber);
  if (combat.damageCredit) {
    // The harm this creature's walk brought (its whole worth, valued with its mana) goes to
    // the AI records of what it carries.
    combat.damageCredit = 0;
    const int value = g_creatureAI->ComputeDamageValue(typeNumber, 0, health, 1.0f, static_cast<float>(mana) / 256.0f);
    g_creatureAI->CreditHarm(-1, -1, g_creatureAI->TopDecisionId(0, index), g_creatureAI->TopDecisionId(1, index),
                             value);
  }
  TouchObjectsHere();
  if (!inUse) return;
  TriggerCellObjects();
  if (!inUse) return;
  ApplyCellEffects();
  if (!inUse) return;

  ++route.stepIndex;
  if (route.stepIndex < route.stepCount) return;
  Walking() = 0;
  CNodeRoute& nr = nodeRoute;
  if (!g_useNodeMap || !nr.header[1]) return;
  const CPathNode* node = nr.position >= 0 && nr.position < 50 ? g_pathNetwork.GetNode(nr.nodes[nr.position]) : nullptr;
  if (!node) {
    nr.header[1] = 0;
    return;
  }
  int nz = node->level;
  AdjustNodeGoal(node->x, node->y, nz, node->values[0], route.goalX, route.goalY, route.goalLevel);
  bool reached = node->x == cellX && node->y == cellY && nz == level;
  const int cut = route.stepCount + 2;
  if (!reached && cut < kMaxRouteSteps) {
    const int32_t* s = route.steps[cut].words;
    reached = s[kX] == node->x && s[kY] == node->y && s[kLevel] == nz;
  }
  if (reached)
    ++nr.position;
  else
    nr.header[1] = 0;
}

void CCreature::AfterStep() {
  if (order == ORDER_RETREAT) {
    Walking() = 0;
    mirrored = 0;
    SetFacing((facing + 4) & 7);
    RefreshViewFacing();
    const int next = pendingOrder;
    if (next == ORDER_DEAD) return;
    if (next == ORDER_STUNNED) {
      pendingOrder = ORDER_NONE;
      const int kind = heldKind;
      heldKind = 0;
      Immobilise(heldTime + 10, kind);
      return;
    }
    if ((next == ORDER_WALK_TO_POS || (next == ORDER_ATTACK_CREATURE && target >= 0)) && IsAlive() && !midStep) {
      pendingOrder = ORDER_NONE;
      SetOrder(next);
      return;
    }
    pendingOrder = ORDER_NONE;
    EndHeldState();
    ReleaseEngagement();
    StandFor(kRetreatRest);
    return;
  }
  if (pendingOrder != ORDER_NONE) {
    Walking() = 0;
    const int next = pendingOrder;
    const int was = order;
    if (next == ORDER_STUNNED) {
      if (IsAlive() && !midStep) {
        pendingOrder = was;
        SetOrder(next);
      }
      return;
    }
    pendingOrder = ORDER_NONE;
    if ((IsAlive() || (next == ORDER_DEAD && next != was)) && !midStep) {
      if (was == ORDER_WALK_TO_POS && next != ORDER_WALK_TO_POS) ReleaseWalkMarkers();
      if (next == ORDER_WALK_TO_POS) {
        // A walk ordered mid-step: plan toward the new goal from here.
        SetAnimState(ANIM_STAND);
        orderState.replanRequest = 1;
        Walking() = 0;
      }
      SetOrder(next);
    }
  } else if (IsChallengeReady()) {
    StandFor(kChallengeWait);
  } else {
    RunOrderHandler();
  }
  if (!inUse) return;
  if (order == ORDER_BARGED && motion.bargeMark && !midStep) {
    StandFor(kBargedRest);
    motion.bargeMark = 0;
  }
  const CMoveQuery query = MakeMoveQuery();
  bool fits = g_map.CanOccupy(cellX, cellY, level, query) != 0;
  if (!fits && midStep)
    if (const CRouteStep* step = CurrentStep())
      fits = g_map.CanOccupy(step->words[kX], step->words[kY], step->words[kLevel], query) != 0;
  if (fits) return;
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return;
  }
  Walking() = 0;
  orderState.panicking = 0;
  ReleaseEngagement();
  if (!IsAlive()) return;
  if (midStep)
    pendingOrder = ORDER_DROPPED;
  else
    SetOrder(ORDER_DROPPED);
}

// --- where a walking creature is ---

void CCreature::StepDestination(int& x, int& y, int& z) const {
  x = cellX;
  y = cellY;
  z = level;
  if (!midStep) return;
  if (const CRouteStep* step = CurrentStep()) {
    x = step->words[kX];
    y = step->words[kY];
    z = step->words[kLevel];
  }
}

int CCreature::StepProgress() const { return midStep ? motion.stepProgress : 0; }

bool CCreature::GetLead(int& x, int& y, int& z, int& frames) const {
  if (!Walking() && !midStep) return false;
  const CRouteStep* step = CurrentStep();
  if (!step) return false;
  x = step->words[kX] * kUnitsPerTile;
  y = step->words[kY] * kUnitsPerTile;
  z = step->words[kLevel] * kUnitsPerLevel;
  // Frames to finish the step: the units left over the units covered per frame.
  const int perFrame =
      std::max(1, stepSpeed * TableSum(*this, motion.advanceTable) / 12 / std::max(motion.stepCost, 1));
  frames = std::max(1, (kStepUnits - motion.stepProgress) / perFrame);
  return true;
}

bool CreatureLeadOf(int slot, int& x, int& y, int& z, int& frames) {
  const CCreature* creature = g_creatureArray.InUse(slot);
  return creature && creature->GetLead(x, y, z, frames);
}

// --- goals of fliers and followers ---

int CCreature::AdjustFlyingGoal(int& x, int& y, int& z) const {
  if (!mayFly || !type) return 0;
  const int top = g_map.levels - 1;
  int l = std::clamp(z, 0, top);
  while (l < top && !HasRoomAt(x, y, l)) ++l;
  while (l > 0 && HasRoomAt(x, y, l - 1)) --l;
  while (l + 1 < top && l + 1 <= z + type->FlyingHeight && HasRoomAt(x, y, l + 1)) ++l;
  int fx = x, fy = y, fz = l;
  if (!g_map.FindFreePositionNear(index, MakeMoveQuery(), fx, fy, fz)) return 0;
  x = fx;
  y = fy;
  z = fz;
  return 1;
}

int CCreature::FollowLeader() {
  const CCreature* leader = g_creatureArray.InUse(followed);
  if (!leader || !leader->IsAlive()) return 0;
  if (std::abs(WrapDeltaX(cellX, leader->cellX)) <= 2 && std::abs(WrapDeltaY(cellY, leader->cellY)) <= 2) return 0;
  CMoveQuery query = MakeMoveQuery();
  query.airborne = type ? type->CanFly : 0;
  query.flying = 0;
  int x = CWrapCoord::WrapX(leader->cellX), y = CWrapCoord::WrapY(leader->cellY), z = leader->level;
  if (!g_map.FindFreePositionNear(index, query, x, y, z)) return 0;
  WalkTo(x, y, z);
  return 1;
}

// --- route markers ---

// The effects place the goal marker (kind 43) and one on each queued walk (kind 70) for the
// creatures whose markers the local player sees.
void CCreature::ShowGoalMarker() { g_creatureEffects->ShowGoalMarker(index); }
// The effects show the queued walks' markers with the goal marker (which they leave as it is
// when it stands or the creature does not walk).
void CCreature::ShowWaypointMarkers() { g_creatureEffects->ShowGoalMarker(index); }

void CCreature::HideRouteMarkers() {
  ReleaseWalkMarkers();
  HideWaypointMarkers();
}

void CCreature::ReleaseWalkMarkers() {
  if (goalMarker >= 0) g_creatureEffects->Deactivate(goalMarker);
  goalMarker = -1;
}

void CCreature::HideWaypointMarkers() {
  for (CQueuedOrder& entry : queuedOrders.entries) {
    if (entry.markerEffect >= 0) g_creatureEffects->Deactivate(entry.markerEffect);
    entry.markerEffect = -1;
  }
}
