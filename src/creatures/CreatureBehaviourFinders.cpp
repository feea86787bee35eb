// The finders of a creature's behaviour: who to attack, flee, help or feed on, what threat to
// answer, how hazardous a place is, and which item or place to walk to. Each walks the
// creatures (world objects, effects) in index order and stores a target, a goal or a reach.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureBehaviourRules.h"
#include "creatures/CreatureSurroundings.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

using namespace behaviour;

namespace {

ICreatureSurroundings g_neutralSurroundings;

constexpr int kCorpseRange = 8;
constexpr int kItemRange = 10;
constexpr int kThreatEffectSpell = 70;

// The best of the candidates a finder accepts: highest 100 - distance, the first on a tie.
struct BestCandidate {
  int slot = -1;
  int score = 0;
  int reach = 0;
  bool Beats(int candidateScore) const { return slot < 0 || candidateScore > score; }
  void Take(int s, int sc, int r) {
    slot = s;
    score = sc;
    reach = r;
  }
};

// The candidates of a finder that asks whether the creature can reach each: that test walks
// the way there and is the dear part of a finder. Asked of every candidate that beats the best
// so far, in slot order, it decides the best-scored reachable candidate (the first in slot
// order on a tie); asking from the best score down and stopping at the first reachable one
// decides the same one and asks no candidate the walk in slot order would not have asked.
class RankedCandidates {
 public:
  void Add(int slot, int score, int reach) {
    if (count_ < kCreatureCapacity) entries_[static_cast<size_t>(count_++)] = {slot, score, reach};
  }
  template <class Reachable>
  BestCandidate FirstReachable(Reachable reachable) {
    std::stable_sort(entries_.begin(), entries_.begin() + count_,
                     [](const Entry& a, const Entry& b) { return a.score > b.score; });
    BestCandidate best;
    for (int i = 0; i < count_; ++i) {
      const Entry& e = entries_[static_cast<size_t>(i)];
      if (reachable(e.slot)) {
        best.Take(e.slot, e.score, e.reach);
        break;
      }
    }
    return best;
  }

 private:
  struct Entry {
    int slot, score, reach;
  };
  std::array<Entry, kCreatureCapacity> entries_{};
  int count_ = 0;
};

// The winner becomes the target and its reach is stored; 1 when there was one.
int Store(CCreature& c, const BestCandidate& best) {
  if (best.slot < 0) return 0;
  c.target = best.slot;
  c.behaviour.reach = best.reach;
  c.combat.fleeDistance = best.reach;
  return 1;
}

bool IsWizardBody(const CCreature& c) { return IsWizardType(c.typeNumber); }

// hth(A, B): A's rating against B's type, a third against the undead unless A is undead.
int Hth(const CCreature& a, const CCreature& b) { return a.GetHthRating(b.typeNumber, b.undead); }

// A candidate's type value multiplied as the taunt and the shots make it: x3 for the taunter
// (else x2), then x3/2 for a creature shooting at this one.
int Provoked(const CCreature& c, const CCreature& other, int base) {
  int value = base * (c.combat.tauntedBy == other.index + 1 ? 3 : 2);
  if (other.IsShootingAt(c)) value = value * 3 / 2;
  return value;
}

}  // namespace

constinit HookSlot<ICreatureSurroundings> g_creatureSurroundings(&g_neutralSurroundings);

int CCreature::FindEnemyToAttack() {
  if (IsWizardBody(*this)) return 0;
  RankedCandidates candidates;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !Sees(*this, other)) return;
    const int reach = ScaledByHealth(*this, Provoked(*this, other, FearHateOf(*this, other.typeNumber)));
    if (DistanceFromPost(*this, other) > reach) return;
    candidates.Add(other.index, 100 - Distance(*this, other), reach);
  });
  return Store(*this, candidates.FirstReachable([this](int slot) { return CanReach(*g_creatureArray.At(slot)); }));
}

int CCreature::FindEnemyToFlee() {
  if (IsWizardBody(*this) && HumanArmy(*this)) return 0;
  RankedCandidates candidates;
  g_creatureArray.ForEachInUse([&](CCreature& other) {
    if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !Sees(*this, other)) return;
    const int value = -Provoked(*this, other, FearHateOf(*this, other.typeNumber));
    if (value < DistanceFromPost(*this, other)) return;
    const int odds = other.health / (Hth(*this, other) + 1) - health / (Hth(other, *this) + 1);
    candidates.Add(other.index, 100 - Distance(*this, other) + 2 * odds, value);
  });
  return Store(*this, candidates.FirstReachable([this](int slot) { return CanReach(*g_creatureArray.At(slot)); }));
}

int CCreature::FindAllyToAssist() {
  if (IsWizardBody(*this) || !type) return 0;
  RankedCandidates candidates;
  g_creatureArray.ForEachInUse([&](CCreature& ally) {
    if (&ally == this || !ally.IsAlive() || ally.army != army) return;
    const bool fighting = ally.tracking || ally.animState == ANIM_ENGAGED || ally.orderState.engaged;
    if (!fighting && !(ally.combat.attacker != 0 && combat.attackerMemory > 80)) return;
    const CCreature* foe = ally.GetTargetCreature();
    if (!foe || !foe->IsAlive() || !IsEnemyOf(*foe) || !IsAdjacentTo(ally, *foe)) return;
    const int assist =
        ally.typeNumber >= 0 && ally.typeNumber < kCreatureTypes ? type->Assist_Matrix[ally.typeNumber] : 0;
    const int reach = ScaledByHealth(*this, 2 * assist + FearHateOf(*this, foe->typeNumber) / 2);
    if (DistanceFromPost(*this, ally) > reach) return;
    candidates.Add(foe->index, 100 - Distance(*this, *foe), reach);
  });
  return Store(*this, candidates.FirstReachable([this](int slot) { return CanReach(*g_creatureArray.At(slot)); }));
}

int CCreature::ReactToThreat() {
  if (IsWizardBody(*this) && HumanArmy(*this)) return 0;
  if (combat.attackerMemory > 80 && type) {
    BestCandidate best;
    int sub = 0;
    g_creatureArray.ForEachInUse([&](CCreature& other) {
      if (&other == this || !other.IsAlive() || !IsEnemyOf(other) || !Sees(*this, other)) return;
      if (!other.IsShootingAt(*this) && combat.attacker != other.index + 1) return;
      const int v =
          other.typeNumber >= 0 && other.typeNumber < kCreatureTypes ? type->ResponsetoLRC_Matrix[other.typeNumber] : 0;
      if (std::abs(v) < ScaledByHealth(*this, 10) || v == 0) return;
      const int distance = Distance(*this, other);
      const int score = 100 - distance;
      if (!best.Beats(score)) return;
      const int kind = v > 0 && CanReach(other) ? 1 : 2;
      best.Take(other.index, score, distance + 2 * kind + 2);
      sub = kind;
    });
    if (Store(*this, best)) return EnterBehaviour(sub);
  }
  if (!behaviour.threatSeen) return 0;

  // Away from a hostile beam: along the link of the creature's path node that ends farthest
  // from it.
  const CArmy* own = g_armyTable.GetArmy(army);
  const int range = 32 * g_spellDefs[kThreatEffectSpell].LOFType;
  int x, y, z;
  CentrePoint(x, y, z);
  z = (level + (type ? type->TileHeight : 1) - 1) * kUnitsPerLevel;
  ThreatEffect threat;
  for (int i = 0; g_creatureSurroundings->Threat(i, threat); ++i) {
    if (own && own->IsAlliedWith(threat.ownerArmy)) continue;
    if (threat.ownerArmy == army) continue;
    const int ex = threat.x * kUnitsPerTile + 16, ey = threat.y * kUnitsPerTile + 16;
    if (!PointsWithinRange(x, y, z, ex, ey, (threat.level + 1) * kUnitsPerLevel, range)) continue;
    const CPathNode* node = g_pathNetwork.GetNode(nodeRoute.NearestNode());
    if (!node || !type) return 0;
    const CPathNode* farthest = nullptr;
    int farthestDistance = -1;
    for (const CPathLink& link : node->links) {
      if (!link.Exists() || !link.Admits(type->TileHeight, type->TileSizeXY, mayFly, type->SwimmingAbility)) continue;
      const CPathNode* to = g_pathNetwork.GetNode(link.target);
      if (!to) continue;
      const int d = MapWrappedDistance(to->x, to->y, to->level, threat.x, threat.y, threat.level);
      if (d > farthestDistance) {
        farthest = to;
        farthestDistance = d;
      }
    }
    if (!farthest) continue;
    WalkTo(farthest->x, farthest->y, farthest->level);
    return 1;
  }
  return 0;
}

int CCreature::FindCorpseToFeed() {
  if (typeNumber != kTroll) return 0;
  BestCandidate best;
  g_creatureArray.ForEachInUse([&](CCreature& body) {
    if (&body == this || body.IsAlive() || body.undead || !Sees(*this, body)) return;
    if (DistanceFromPost(*this, body) > kCorpseRange) return;
    const int score = 100 - Distance(*this, body);
    if (best.Beats(score) && CanReach(body)) best.Take(body.index, score, kCorpseRange);
  });
  return Store(*this, best);
}

int CCreature::FindCorpseToEat() {
  if (typeNumber != kRedcap) return 0;
  BestCandidate best;
  g_creatureArray.ForEachInUse([&](CCreature& body) {
    if (&body == this || body.IsAlive() || body.behaviour.consumed || !IsEnemyOf(body) || !Sees(*this, body)) return;
    if (DistanceFromPost(*this, body) > kCorpseRange) return;
    const int score = 100 - Distance(*this, body);
    if (best.Beats(score) && CanReach(body)) best.Take(body.index, score, kCorpseRange);
  });
  return Store(*this, best);
}

int CCreature::RateHazard(int x, int y, int z) const {
  if (!type) return 0;
  bool burnable = false;
  for (int i = 0; i < type->TileSizeXY && !burnable; ++i)
    for (int j = 0; j < type->TileSizeXY && !burnable; ++j)
      if (const CMapCell* cell = g_map.CellAtWrapped(x + i, y + j, z); cell && cell->terrain != 0)
        burnable = TerrainOf(cell->terrain).burnValue != 0;
  const bool feelsFire = burnable && type->BurnDamage != 0;
  int sum = 0;
  for (int n = 0; n < 27; ++n) {
    const int cz = z + kBlock[n].dz;
    if (cz <= 0 || cz >= g_map.levels) continue;
    const int cx = x + kBlock[n].dx, cy = y + kBlock[n].dy;
    if (IsBurningCell(cx, cy, cz)) {
      if (feelsFire) sum += n == 0 ? 9 : 1;
    } else if (IsTrapCell(cx, cy, cz)) {
      sum += n == 0 ? 10 : 1;
    }
  }
  return sum;
}

int CCreature::FindItemToPickUp() {
  const bool wizard = IsWizardBody(*this);
  if (wizard && (HumanArmy(*this) || eventCount >= kCreatureEvents)) return 0;
  if (!type || !(type->artifactUse & artifact_use::kPickUp) || illusion || !ArmyHasWizard(*this)) return 0;
  SurroundingObject object;
  for (int i = 0; g_creatureSurroundings->Object(i, object); ++i) {
    const bool item = (object.kind >= 0 && object.kind <= 4) || object.kind == 6;
    if (!item && !(object.kind == 19 && wizard)) continue;
    if (MapWrappedDistance(cellX, cellY, level, object.x, object.y, object.level) > kItemRange) continue;
    if (SomeoneStandsOn(object.x, object.y, object.level, -1)) continue;
    if (!CanWalkTo(object.x, object.y, object.level)) continue;
    if (item) {
      bool claimed = false;
      g_creatureArray.ForEachInUse([&](CCreature& other) {
        claimed =
            claimed || (&other != this && other.army == army && other.IsAlive() && other.route.goalX == object.x &&
                        other.route.goalY == object.y && other.route.goalLevel == object.level);
      });
      if (claimed) continue;
    }
    behaviour.goalX = object.x;
    behaviour.goalY = object.y;
    behaviour.goalLevel = object.level;
    return 1;
  }
  return 0;
}

int CCreature::FindObjectToVisit() {
  if (IsWizardBody(*this) && HumanArmy(*this)) return 0;
  if (illusion || !ArmyHasWizard(*this) || !type) return 0;
  SurroundingObject object;
  for (int i = 0; g_creatureSurroundings->Object(i, object); ++i) {
    if (object.kind != 61) continue;
    if (MapWrappedDistance(cellX, cellY, level, object.x, object.y, object.level) > kItemRange) continue;
    // The first place within reach is the one considered.
    if (SomeoneStandsOn(object.x, object.y, object.level, -1) || !CanWalkTo(object.x, object.y, object.level)) return 0;
    bool refused = false;
    g_creatureArray.ForEachInUse([&](CCreature& other) {
      if (refused || &other == this || !other.IsAlive()) return;
      const int d = MapWrappedDistance(other.cellX, other.cellY, other.level, object.x, object.y, object.level);
      if (IsEnemyOf(other) && Sees(*this, other)) {
        const int fear = type->FearHate_Matrix[std::clamp(other.typeNumber, 0, kCreatureTypes - 1)];
        if (fear < 0 && d <= 2 * -fear) refused = true;
        const bool shoots = other.HasRangedAttack() || other.spellState == 2;
        const int response = type->ResponsetoLRC_Matrix[std::clamp(other.typeNumber, 0, kCreatureTypes - 1)];
        const int range = other.spellState == 2 ? 40 : 2 * (other.type ? other.type->FireRange : 0);
        if (shoots && response < 0 && d <= range) refused = true;
      }
      if (other.army == army &&
          (other.order == ORDER_WALK_TO_POS || (other.order == ORDER_BEHAVIOUR && other.behaviourSubState == 9)) &&
          other.route.goalX == object.x && other.route.goalY == object.y && other.route.goalLevel == object.level)
        refused = true;
    });
    if (refused) return 0;
    behaviour.goalX = object.x;
    behaviour.goalY = object.y;
    behaviour.goalLevel = object.level;
    return 1;
  }
  return 0;
}
