// A creature's animation states: which block of its type's animation plays for each state,
// the per-frame handler of each, and what their animation events mean (a blow lands, a
// missile leaves, a sound plays). At the end of a cycle a handler hands control to the
// current order's handler.
#include <algorithm>

#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace anim = creature_anim;

namespace {

constexpr int kNoBase = -1;
constexpr int kIdleBlocks = 6;
constexpr int kWaitOverlay = 36;
constexpr int kStrikeOverlay = 35;
constexpr int kFlightOverlay = 22;

// Hand-to-hand bases of a large attacker by the opponent's place: row 2 - dx, column dy + 2;
// -1 takes the first attack block.
constexpr int kLargeVsSmall[5][5] = {
    {-1, -1, -1, -1, -1}, {24, 32, 40, 24, -1}, {40, -1, -1, 32, -1}, {32, -1, -1, 40, -1}, {24, 40, 32, 24, -1},
};
constexpr int kLargeVsLarge[5][5] = {
    {24, 32, 24, 40, 24}, {40, -1, -1, -1, 32}, {24, -1, -1, -1, 24}, {32, -1, -1, -1, 40}, {24, 40, 24, 32, 24},
};

// Cells around a 2 x 2 footprint where a breakable object may stand, searched level by level.
constexpr int kLargeRing[12][2] = {{0, -1}, {1, -1}, {2, 0},   {2, 1},  {1, 2}, {0, 2},
                                   {-1, 1}, {-1, 0}, {-1, -1}, {2, -1}, {2, 2}, {-1, 2}};
constexpr int kRingLevels[3] = {0, 1, -1};
constexpr int kBreakableObject = 26;

// The sound of a blow's event 4 by attacker type, 0 none.
int BlowSound(int type) {
  switch (type) {
    case 3:
      return 419;
    case 5:
      return 279;
    case 8:
      return 1;
    case 14:
      return 125;
    case 19:
      return 252;
    case 21:
      return 198;
    default:
      return 0;
  }
}

// The overlay entry of a state in overlay mode 1, -1 to leave the overlay as it is.
int OverlayEntry(int state) {
  switch (state) {
    case ANIM_HTH_ATTACK:
    case ANIM_ENGAGED:
      return kStrikeOverlay;
    case ANIM_DEAD:
    case ANIM_RISING:
    case ANIM_NONE:
    case ANIM_PICKUP:
    case ANIM_FLINCH:
    case ANIM_VICTORY:
    case ANIM_TRACKING:
    case ANIM_EXPLORING:
      return -1;
    default:
      return kWaitOverlay;
  }
}

}  // namespace

CCreature::AnimStateHandler CCreature::GetAnimStateHandler(int state) {
  switch (state) {
    case ANIM_WAIT:
    case ANIM_TAUNT:
    case ANIM_DIP_CAP:
    case ANIM_TROLL_EAT:
    case ANIM_DYING:
    case ANIM_RISING:
    case ANIM_HTH_RECOVER:
      return &CCreature::AnimCycle;
    case ANIM_WALK:
      return &CCreature::AnimWalk;
    case ANIM_DEAD:
      return &CCreature::AnimDead;
    case ANIM_LRC_ATTACK_CREAT:
      return &CCreature::AnimLrcCreature;
    case ANIM_LRC_ATTACK_TERRAIN:
      return &CCreature::AnimLrcTerrain;
    case ANIM_HTH_ATTACK:
      return &CCreature::AnimHthAttack;
    case ANIM_TRAPPED:
      return &CCreature::AnimTrapped;
    case ANIM_STUNNED:
      return &CCreature::AnimStunned;
    case ANIM_STAND:
      return &CCreature::AnimStand;
    case ANIM_BLOB_ATTACK:
      return &CCreature::AnimBlobAttack;
    case ANIM_ENGAGED:
      return &CCreature::AnimEngaged;
    case ANIM_RETREAT:
      return &CCreature::AnimRetreat;
    case ANIM_LIFTED:
      return &CCreature::AnimLifted;
    case ANIM_DROPPED:
      return &CCreature::AnimDropped;
    default:
      return nullptr;
  }
}

void CCreature::StartAnimAt(int base, int backwards) {
  animationBase = base;
  bodyAnim.Start(base + viewFacing, backwards);
}

int CCreature::StartHandToHandAnim(const CCreature* opponent) {
  int base = anim::kAttack;
  if (type && type->TileSizeXY == 2) {
    int ox = 0, oy = 0;
    bool found = false, largeOpponent = false;
    if (opponent) {
      ox = opponent->cellX;
      oy = opponent->cellY;
      largeOpponent = opponent->type && opponent->type->TileSizeXY == 2;
      found = true;
    } else {
      // A breakable object: the small-opponent table serves, as for one cell.
      for (int dz : kRingLevels) {
        for (const auto& offset : kLargeRing) {
          const int x = cellX + offset[0], y = cellY + offset[1];
          if (g_creatureEffects->FindEffectAt(x, y, level + dz, kBreakableObject) < 0) continue;
          ox = x;
          oy = y;
          found = true;
          break;
        }
        if (found) break;
      }
    }
    if (found) {
      const int dx = WrapDeltaX(ox, cellX), dy = WrapDeltaY(oy, cellY);
      if (dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2) {
        const int value = (largeOpponent ? kLargeVsLarge : kLargeVsSmall)[2 - dx][dy + 2];
        if (value != kNoBase) base = value;
      }
    }
  }
  StartAnimAt(base, 0);
  return base;
}

void CCreature::RefreshViewFacing() {
  SetFacing(facing);
  if (spellState == 3) {
    int first = 0;
    if (CAnimation* flight = g_creatureEffects->EffectAnimEntry(kFlightOverlay, first)) {
      attachAnim2.SetAnimation(flight);
      attachAnim2.Start(first + viewFacing, 0);
    }
  } else if (spellState == 2 && attachedObject >= 0) {
    g_creatureEffects->TurnEffect(attachedObject, viewFacing);
  }
}

CCreature::AnimStateHandler CCreature::SetAnimState(int state) {
  // A charge lives on through STAND; any other state ends it.
  if (animState == ANIM_WALK) {
    orderState.walked = 1;
    orderState.chargeSpeed = stepSpeed;
  } else if (animState != ANIM_STAND) {
    orderState.walked = 0;
  }
  animState = state;
  if (state != ANIM_WALK) std::fill(std::begin(movement), std::end(movement), 0);

  switch (state) {
    case ANIM_WAIT:
      if (airborne > 0 || orderState.flying)
        StartAnimAt(type && type->CanFly ? anim::kAirWait : anim::kStand, 0);
      else
        StartAnimAt(anim::kIdle + 8 * BattleRoll(kIdleBlocks, __LINE__), 0);
      break;
    case ANIM_DEAD:
      StartAnimAt(anim::kDead + 8 * orderState.deathStage, 0);
      break;
    case ANIM_TAUNT:
      StartAnimAt(anim::kTaunt, 0);
      break;
    case ANIM_LRC_ATTACK_CREAT:
    case ANIM_LRC_ATTACK_TERRAIN:
      StartAnimAt(anim::kRangedAttack, 0);
      rangedAttack = 1;
      break;
    case ANIM_HTH_ATTACK:
    case ANIM_ENGAGED: {
      CCreature* opponent = CreatureInUse(state == ANIM_HTH_ATTACK ? target : engagedWith);
      StartHandToHandAnim(opponent);
      if (opponent) {
        orderState.engaged = 1;
        AdjustAttackerCount(*opponent, 1);
      }
      break;
    }
    case ANIM_TRAPPED:
      StartAnimAt(anim::kTrapped, 0);
      break;
    case ANIM_STUNNED:
      StartAnimAt(anim::kStunned, 0);
      break;
    case ANIM_STAND:
    case ANIM_LIFTED:
    case ANIM_DROPPED:
      StartAnimAt(anim::kStand, 0);
      break;
    case ANIM_DIP_CAP:
      StartAnimAt(anim::kDipCap, 0);
      break;
    case ANIM_TROLL_EAT:
    case ANIM_HTH_RECOVER:
      StartAnimAt(anim::kRangedAttack, 0);
      break;
    case ANIM_BLOB_ATTACK:
      StartHandToHandAnim(nullptr);
      break;
    case ANIM_DYING:
      StartAnimAt(anim::kDying, 0);
      break;
    case ANIM_RETREAT:
      StartAnimAt(anim::kRetreat, 0);
      break;
    case ANIM_RISING:
      StartAnimAt(anim::kDying, 1);
      break;
    default:
      break;  // NONE, WALK and the states never entered keep their sequence
  }

  const int entry = OverlayEntry(state);
  if (spellState == 1 && entry >= 0) {
    int first = 0;
    if (CAnimation* overlay = g_creatureEffects->EffectAnimEntry(entry, first)) {
      overlayAnim.SetAnimation(overlay);
      overlayAnim.Start(first + viewFacing, 0);
    }
  }
  animStateHandler = GetAnimStateHandler(state);
  return animStateHandler;
}

void CCreature::StandFor(int frames) {
  SetAnimState(ANIM_STAND);
  orderState.standCountdown = frames;
}

namespace {

void AdvanceOverlay(CCreature& creature) {
  if (creature.spellState == 1 && creature.overlayAnim.animation && creature.overlayAnim.playing)
    creature.overlayAnim.Advance();
}

}  // namespace

void CCreature::AnimCycle() {
  const int event = bodyAnim.Advance();
  if (event == 3) {
    switch (animState) {
      case ANIM_WAIT:
        g_creatureSounds->PlayIdle(*this, bodyAnim.sequence);
        break;
      case ANIM_TAUNT:
        g_creatureSounds->PlayTaunt(*this);
        break;
      case ANIM_DIP_CAP:
        g_creatureSounds->PlayAt(creature_sound::kDipCap, cellX, cellY);
        break;
      case ANIM_TROLL_EAT:
        g_creatureSounds->PlayAt(creature_sound::kTrollEat, cellX, cellY);
        break;
      case ANIM_DYING:
        g_creatureSounds->PlayDeath(*this);
        break;
      default:
        break;
    }
    return;
  }
  if (event == 6) {
    g_creatureSounds->PlayAt(creature_sound::kCycleEvent6, cellX, cellY);
    return;
  }
  if (event != 1) return;

  if (order == ORDER_WAIT && !orderState.panicking && typeNumber != creature_kind::kStatic) {
    int reaction = ORDER_REACTION_HTH;
    int foe = FindAdjacentFoe();
    if (foe < 0) {
      reaction = ORDER_REACTION_LRC;
      foe = FindRangedTarget();
    }
    if (foe >= 0) {
      if (typeNumber == creature_kind::kUnseen) {
        EndHeldState();
        return;
      }
      if (heldKind || IsAirborneWithoutFlight() || orderState.panicking || orderState.earthBound || orderState.lineMove)
        return;
      ReleaseEngagement();
      SetOrder(reaction);
      return;
    }
  }
  RunOrderHandler();
}

void CCreature::AnimDead() {
  if (bodyAnim.Advance() == 1) bodyAnim.Restart();
  if (--orderState.bodyCountdown < 1) {
    ++orderState.deathStage;
    RunOrderHandler();
  }
}

void CCreature::AnimTrapped() {
  AdvanceOverlay(*this);
  const int event = bodyAnim.Advance();
  if (event == 1)
    RunOrderHandler();
  else if (event == 3 && typeNumber == 9)
    g_creatureSounds->PlayAt(creature_sound::kTrappedBug, cellX, cellY);
  if (!inUse || order != ORDER_TRAPPED) return;

  // Free once no trap (a breakable object, a web, a pit) holds any of its cells.
  static constexpr int kTrapKinds[3] = {26, 62, 65};
  const int columns = type && type->TileSizeXY == 2 ? 4 : 1;
  for (int column = 0; column < columns; ++column)
    for (int kind : kTrapKinds)
      if (g_creatureEffects->FindEffectAt(cellX + (column & 1), cellY + (column >> 1), level, kind) >= 0) return;
  EndHeldState();
}

void CCreature::AnimStunned() {
  AdvanceOverlay(*this);
  const int event = bodyAnim.Advance();
  if (event == 1) {
    const int resume = pendingOrder;
    pendingOrder = ORDER_NONE;
    if (airborne > 0) {
      const int frames = airborne;
      airborne = 0;
      Levitate(frames);
    }
    if (resume == ORDER_WALK_TO_POS || resume == ORDER_TRAPPED) {
      ReleaseWalkMarkers();
      if (selected) HideWaypointMarkers();
      SetOrder(resume);
    } else if (resume == ORDER_ATTACK_CREATURE && target != -1) {
      SetOrder(ORDER_ATTACK_CREATURE);
    } else {
      EndHeldState();
    }
    return;
  }
  if (event == 100 && (heldKind == 1 || heldKind == 2)) printFX.PushColourFX(heldKind == 1 ? 4 : 1);
  if (event == 3) g_creatureSounds->PlayAction(*this);
  if (heldTime > 0 && --heldTime == 0) {
    bodyAnim.ExitLoop();
    if (heldKind == 1) printFX.RemoveColourFX(4);
    if (heldKind == 2) printFX.RemoveColourFX(1);
    heldKind = 0;
  }
}

void CCreature::AnimStand() {
  AdvanceOverlay(*this);
  if (bodyAnim.Advance() == 1) {
    if (orderState.standCountdown <= 0)
      RunOrderHandler();
    else
      StartAnimAt(anim::kStand, 0);
  }
  if (!inUse) return;
  if (orderState.standCountdown > 0) --orderState.standCountdown;
  if (orderState.standCountdown <= 0) RunOrderHandler();
}

void CCreature::AnimLrcCreature() {
  const int event = bodyAnim.Advance();
  if (event == 2) {
    g_creatureEffects->CastSpell(attack[0], attack[4], attack[5], attack[6], index, attack[8]);
    return;
  }
  if (event != 1) return;
  rangedAttack = 0;
  nextActionFrame = BattleNow() + (type ? type->FireRate : 0);
  if (IsAirborneWithoutFlight())
    StartDrift(0, g_spellDefs[spell_tuning::kLevitate].SpellStrength,
               airborne * g_spellDefs[spell_tuning::kLevitate].SpellStrength / 2304 + 2);
  else
    RunOrderHandler();
}

void CCreature::AnimLrcTerrain() {
  const int event = bodyAnim.Advance();
  if (event == 2) {
    if (!orderState.castSuppressed) g_creatureEffects->CastSpell(attack[0], attack[4], attack[5], attack[6], index, -1);
    return;
  }
  if (event != 1) return;
  rangedAttack = 0;
  nextActionFrame = BattleNow() + (type ? type->FireRate : 0);
  RunOrderHandler();
}

void CCreature::AnimHthAttack() {
  if (spellState == 1 && overlayAnim.animation && overlayAnim.playing && overlayAnim.Advance() == 2) {
    if (CCreature* victim = CreatureInUse(target)) {
      victim->TakeDamage(g_spellDefs[spell_tuning::kMightyBlow].Damage, army, carriedItems[0], carriedItems[1]);
      int x, y, z;
      victim->CentrePoint(x, y, z);
      g_creatureEffects->SpawnEffect(40, x, y, z, victim->index);
      if (!victim->IsAlive()) return;
    }
  }
  const int event = bodyAnim.Advance();
  switch (event) {
    case 2:
      if (CCreature* victim = CreatureInUse(target)) {
        if (orderState.engaged) {
          orderState.engaged = 0;
          AdjustAttackerCount(*victim, 0);
        }
        if (!orderState.castSuppressed) ResolveHandToHandBlow();
        if (victim->inUse && victim->IsAlive()) victim->orderState.engagedBy = index + 1;
      }
      break;
    case 3:
      g_creatureSounds->PlayEvent(*this);
      break;
    case 4:
      if (!orderState.castSuppressed && BlowSound(typeNumber) != 0)
        g_creatureSounds->PlayAt(BlowSound(typeNumber), cellX, cellY);
      break;
    case 1: {
      ReleaseEngagement();
      const int rest = (slow > 0 ? 32 : 2) + BattleRoll(3, __LINE__);
      StandFor(rest);
      break;
    }
    default:
      break;
  }
}

void CCreature::AnimBlobAttack() {
  const int event = bodyAnim.Advance();
  if (event == 2) {
    BlobHitCellObject();
  } else if (event == 3) {
    g_creatureSounds->PlayEvent(*this);
    g_creatureSounds->PlayAt(creature_sound::kBlobHit, cellX, cellY);
  } else if (event == 1) {
    StandFor(orderState.replanRequest ? 10 : 2 + BattleRoll(3, __LINE__));
  }
}
