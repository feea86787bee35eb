// What the computer player and the other rules read of a creature: how long until it can
// afford a spell, what a path node is worth to it, how many creatures its army counts, how
// long its moves take, and the small questions of its state and orders.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/ManaWait.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kManaEventKind = 19;
constexpr int kManaGlowEffect = 17;
constexpr int kRaiseDeadSpell = 52;

}  // namespace

// --- mana ---

int ManaWaitTime(int mana, int maxMana, int cost, int casts, int pendingMana, bool gains, int sources) {
  if (maxMana < cost) return INT32_MAX;
  const int64_t need = int64_t{casts} * cost * 256;
  int64_t have = mana;
  if (have < need) have += int64_t{pendingMana} * 256;
  const int64_t deficit = need - have;
  if (deficit < 1) return 0;
  if (!gains || g_manaRecovery <= 0 || sources <= 0) return INT32_MAX;
  const int64_t perStep = int64_t{sources} * g_manaRecovery * 256;
  const int64_t steps = (deficit + perStep - 1) / perStep;
  return static_cast<int>(std::min<int64_t>(steps * g_manaRecoveryDelay, INT32_MAX));
}

int CountManaSources(int army) {
  int sources = 0;
  g_creatureArray.ForEachInUse([&](CCreature& c) { sources += c.army == army && c.IsAlive() && c.manaSource > 0; });
  return sources;
}

int CCreature::GetManaWaitTime(int spell, int casts) const {
  if (spell < 0 || spell >= kSpellCount) return INT32_MAX;
  int pending = 0;
  for (const CCreatureEvent& event : events)
    if (event.active && event.kind == kManaEventKind) pending += event.remaining;
  return ManaWaitTime(mana, maxMana, g_spellDefs[spell].ManaCost, casts, pending, IsWizard(), CountManaSources(army));
}

void CCreature::SetManaSource(int value) {
  if (value > 0) {
    manaSource = value;
    orderState.manaRecovery = value;
    nextManaGain = orderState.nextRecoveryFrame = g_creatureBattle->FrameCounter() + g_manaRecoveryDelay;
    int x, y, z;
    CentrePoint(x, y, z);
    g_creatureEffects->SpawnEffect(kManaGlowEffect, x, y, z, index);
  } else {
    manaSource = 0;
    orderState.manaRecovery = 0;
  }
}

// --- path nodes ---

int CCreature::RateNode(int node) const {
  const CPathNode* record = g_pathNetwork.GetNode(node);
  if (!record || army < 0 || army >= kArmyCount) return 0;
  // The node's four bytes for the army: ground, airborne, extra, and an extra for the living.
  const uint8_t* bytes = record->savedMarks[army];
  int value = mayFly && record->topOfColumn ? bytes[1] : bytes[0];
  value += bytes[2];
  const auto factorShare = [&](int factor, int spell) {
    const int g = g_spellDefs[spell].SpellStrength;
    if (factor == 0 || intelligence + g == 0) return 0;
    return factor * (g * 100 / (intelligence + g)) / 100;
  };
  value += factorShare(record->values[0], spell_tuning::kPathFactorFirst);
  value += factorShare(record->values[1], spell_tuning::kPathFactorSecond);
  value += record->values[2];
  if (!undead) value += bytes[3];
  return value;
}

int CCreature::RateCurrentNode() {
  int node = nodeRoute.NearestNode();
  if (node < 0) {
    CLocationRequest location;
    location.x = cellX;
    location.y = cellY;
    location.level = level;
    location.mover.creature = index;
    location.mover.queryGiven = true;
    location.mover.query = MakeMoveQuery();
    node = g_pathNetwork.FindNearestReachableNode(location);
  }
  return node < 0 ? 0 : RateNode(node);
}

// --- the army's count ---

void CCreature::CountArmyCreatures() {
  CArmy* record = g_armyTable.GetArmy(army);
  CCreature* wizard = g_armyTable.GetWizard(army);
  if (!record || !wizard) return;
  int count = 0;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    count += c.army == army && c.IsAlive() && &c != wizard && c.typeNumber != creature_kind::kUnseen;
  });
  const int before = wizard->behaviour.armyCount;
  wizard->behaviour.armyCount = count;
  if (!wizard->IsLocalPlayers()) return;
  g_creatureBattle->ShowControlCount(count);
  const int limit = wizard->aiWords[wizard_words::kControlLimit];
  if (before == limit && count < limit) g_creatureBattle->ControlLimitLeft();
  if (before < limit && count >= limit) g_creatureBattle->ControlLimitReached();
}

// --- movement timing ---

int CCreature::ApplyHasteSlow(int value) const {
  if (haste > 0) value = static_cast<int>(std::min<int64_t>(int64_t{value} * 2, INT32_MAX));
  if (slow > 0) value /= 2;
  return value;
}

int CCreature::GetMoveTime(int mode, int dx, int dy, int dz, int& current, int& target) const {
  if (!type) return 0;
  const uint32_t base = std::min<uint32_t>(type->GetStepBase(mode, dx, dy, dz), INT32_MAX);
  const int adjusted = ApplyHasteSlow(static_cast<int>(base));
  type->UpdateStepSpeed(4, mode, dx, dy, dz, static_cast<uint32_t>(adjusted), current, target);
  return adjusted;
}

int CCreature::EstimateTravelTime(int node) const {
  const CPathNode* record = g_pathNetwork.GetNode(node);
  if (!record || !type) return 0;
  const int distance =
      CellDistanceApprox(WrapDeltaX(cellX, record->x), WrapDeltaY(cellY, record->y), record->level - level);
  return TravelTime(distance, std::max(ApplyHasteSlow(type->maxSpeed), 1));
}

// --- queries ---

bool CCreature::IsInCombat() const {
  return tracking || animState == ANIM_ENGAGED || orderState.engaged || orderState.attackerCount > 0;
}

bool CCreature::OwnerHasNoWizard() const {
  const CArmy* record = g_armyTable.GetArmy(army);
  return !record || record->wizardCreature == -1;
}

bool CCreature::IsTargetPosition(int x, int y, int z) const {
  return x == orderState.goalX && y == orderState.goalY && z == orderState.goalLevel;
}

int CCreature::GetCurrentOrder() const { return pendingOrder != ORDER_NONE ? pendingOrder : order; }

void CCreature::GetCurrentOrder(COrderReport& out) const {
  const int kind = GetCurrentOrder();
  out = COrderReport{};
  switch (kind) {
    case ORDER_ATTACK_CREATURE:
      out.kind = 3;
      out.target = target;
      if (const CCreature* victim = CreatureInUse(target)) {
        out.x = victim->cellX;
        out.y = victim->cellY;
        out.level = victim->level;
      }
      break;
    case ORDER_ATTACK_TERRAIN:
      out.kind = 4;
      out.x = orderState.attackedX;
      out.y = orderState.attackedY;
      out.level = orderState.attackedLevel;
      break;
    case ORDER_BEHAVIOUR:
      out.x = behaviour.goalX;
      out.y = behaviour.goalY;
      out.level = behaviour.goalLevel;
      break;
    default:  // BARGED keeps its destination where a walk keeps its goal
      out.x = orderState.goalX;
      out.y = orderState.goalY;
      out.level = orderState.goalLevel;
      break;
  }
  out.x = CWrapCoord::WrapX(out.x);
  out.y = CWrapCoord::WrapY(out.y);
}

bool CCreature::IsColumnClearAbove() const {
  const int top = level + (type ? type->TileHeight : 1) - 1;
  for (int z = top + 1; z < g_map.levels; ++z) {
    const CMapCell* cell = g_map.CellAtWrapped(cellX, cellY, z);
    if (!cell) continue;
    if (cell->terrain != 0 || cell->object != kNoLink) return false;
  }
  return true;
}

void CCreature::GetCarriedItemIds(int out[2]) const {
  out[0] = carriedItems[0];
  out[1] = carriedItems[1];
}

int CCreature::GetCarriedItem(int slot) const { return slot == 0 || slot == 1 ? carriedItems[slot] : -1; }

void CCreature::RecordScreenPosition(int x, int y) {
  CCreatureBehaviourState& b = behaviour;
  for (int i = 2; i > 0; --i) {
    b.trailX[i] = b.trailX[i - 1];
    b.trailY[i] = b.trailY[i - 1];
    b.trailFrame[i] = b.trailFrame[i - 1];
  }
  b.trailX[0] = x;
  b.trailY[0] = y;
  b.trailFrame[0] =
      bodyAnim.animation && bodyAnim.frameStep >= 0 && bodyAnim.frameStep < bodyAnim.animation->StepCount()
          ? bodyAnim.animation->Step(bodyAnim.frameStep).value
          : -1;
}

bool CCreature::GetRecordedScreenPosition(int i, int& x, int& y, CSpriteFrame& frame) const {
  if (i < 0 || i > 2) return false;
  x = behaviour.trailX[i];
  y = behaviour.trailY[i];
  frame = CSpriteFrame{};
  const int recorded = behaviour.trailFrame[i];
  const CSprite* sprite = animSet ? &animSet->sprite : nullptr;
  if (recorded < 0 || !sprite || sprite->FrameCount() == 0) return true;
  frame = sprite->GetFrame(recorded < sprite->FrameCount() ? recorded : 0);
  return true;
}

void CCreature::UpdateTargetMarker() const {
  if (!selected) return;
  const bool attacking = (order == ORDER_BEHAVIOUR && (behaviourSubState == 1 || behaviourSubState == 5)) ||
                         order == ORDER_ATTACK_CREATURE || order == ORDER_REACTION_HTH || order == ORDER_REACTION_LRC ||
                         (airborne > 0 && type && type->FireRange != 0 && !(typeNumber == 18 && spellState != 0));
  if (!attacking) return;
  CCreature* victim = CreatureInUse(target);
  if (victim && victim->IsAlive()) ++victim->targetMarks;
}

void CCreature::InitAsType(int typeNumber_, int army_, int raised) {
  if (typeNumber_ < 0 || typeNumber_ >= kCreatureTypes) return;
  typeNumber = typeNumber_;
  type = &g_creatureTypes[typeNumber_];
  army = army_;
  health = type->Health;
  undead = type->IsUndead;
  mayFly = type->CanFly;
  magicResistance = type->MagicResist;
  intelligence = type->Intelligence;
  haste = slow = ironSkin = invisible = bloodLust = spellState = rank = 0;
  if (raised) {
    health = std::max(type->Health * g_spellDefs[kRaiseDeadSpell].Data1 / 100, 1);
    undead = 1;
  }
  strength.dirty = 1;
  UpdateStrength();
}
