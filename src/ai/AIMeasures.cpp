// The situation measures, ids 1-123.
#include "ai/AIMeasures.h"

#include <algorithm>
#include <climits>

#include "ai/AICertainty.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasureIds.h"
#include "ai/AIUtilities.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

namespace {

namespace id = ai_measure;

constexpr int kIronSkinSpell = 74;
constexpr int kInvisibilitySpell = 85;
constexpr int kExploderTypeA = 6, kExploderTypeB = 8;

int32_t ClampToInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// What one measure accumulates: a sum (or count, maximum, flag) and, for an average, the
// number of values in it.
struct Accumulator {
  int64_t value = 0;
  int64_t divisor = 0;
  void Add(int64_t v) { value += v; }
  void Average(int64_t v, int64_t count = 1) {
    value += v;
    divisor += count;
  }
  int32_t Result() const { return ClampToInt(divisor >= 1 ? value / divisor : value); }
};

int ManaGainPerSource() { return g_manaRecoveryDelay > 0 ? g_manaRecovery * 1000 / g_manaRecoveryDelay : 0; }

// Every creature a member walk of the group yields, in walk order.
std::vector<CCreature*> Members(CAIGroupNode* group) {
  std::vector<CCreature*> members;
  if (!group) return members;
  const int cursor = GroupFirstMember(group);
  while (CCreature* c = GroupNextMember(group, cursor)) members.push_back(c);
  return members;
}

// Every leaf a leaf walk of the group yields.
std::vector<CAIGroupNode*> Leaves(CAIGroupNode* group) {
  std::vector<CAIGroupNode*> leaves;
  if (!group) return leaves;
  const int cursor = GroupFirstMember(group);
  while (CAIGroupNode* leaf = NextLeaf(group, cursor))
    if (leaf->creature) leaves.push_back(leaf);
  return leaves;
}

// Everything the measures of one call read of the two groups, walked once.
struct Scene {
  CAIGroupNode* groupA;
  CAIGroupNode* groupB;
  int horizon;
  std::vector<CCreature*> membersA, membersB;
  std::vector<CAIGroupNode*> leavesA, leavesB;
};

// A value of group A's own creature counts half when the creature is an illusion.
int64_t Halved(int64_t v, const CCreature& c, bool own) { return own && c.illusion ? v / 2 : v; }

int64_t StoredMana(const CCreature& c, const Scene& s) {
  int64_t best = 0;
  bool any = false;
  for (const CCreature* member : s.membersA) {
    if (member->army < 0 || member->army >= kSightingArmyCount) continue;
    const int64_t stored = c.manaStores[member->army];
    best = any ? std::max(best, stored) : stored;
    any = true;
  }
  return best / 256;
}

int64_t DamageRate(const CCreature& c, const Scene& s) {
  int bestArmy = -1;
  int64_t bestTime = 0;
  for (const CCreature* member : s.membersA) {
    const int army = member->army;
    if (army < 0 || army >= kCombatArmies) continue;
    const int64_t time = std::max<int64_t>(c.combat.lastSeenCounter[army], 1);
    if (bestArmy < 0 || time < bestTime) bestArmy = army, bestTime = time;
  }
  return bestArmy < 0 ? 0 : int64_t{c.combat.lastSeenDamage[bestArmy]} * 100 / bestTime;
}

int64_t Spread(const std::vector<CCreature*>& group) {
  int64_t widest = 0;
  for (const CCreature* a : group)
    for (const CCreature* b : group)
      widest = std::max<int64_t>(widest, WrappedDistanceSq(a->cellX, a->cellY, a->level, b->cellX, b->cellY, b->level));
  return widest;
}

// The strength of the leaf's creature against every creature of the other group, summed over
// the pairs; iron skin takes its spell's strength (at most 100) per cent off.
int64_t SpecificStrength(CAIGroupNode* leaf, const std::vector<CCreature*>& others, bool handToHand) {
  const int ironSkin = std::clamp(g_spellDefs[kIronSkinSpell].SpellStrength, 0, 100);
  int64_t sum = 0;
  for (const CCreature* other : others) {
    int64_t rating = handToHand ? LeafHthRating(leaf, other->typeNumber, other->undead)
                                : LeafLrcRating(leaf, other->typeNumber, other->undead);
    if (other->ironSkin) rating = rating * (100 - ironSkin) / 100;
    sum += rating;
  }
  return sum;
}

// A spell's AI rating for measures 37-54 (index 0-17).
int SpellRating(const CSpellDefinition& spell, int index) {
  const int32_t CSpellDefinition::*const ratings[18] = {&CSpellDefinition::AI_FlyingCreature,
                                                        &CSpellDefinition::AI_UndeadCreature,
                                                        &CSpellDefinition::AI_OtherCreature,
                                                        &CSpellDefinition::AI_OffensivePowerUp,
                                                        &CSpellDefinition::AI_DefensivePowerUp,
                                                        &CSpellDefinition::AI_Missile,
                                                        &CSpellDefinition::AI_Area,
                                                        &CSpellDefinition::AI_AntiMR,
                                                        &CSpellDefinition::AI_AntiIntelligence,
                                                        &CSpellDefinition::AI_AntiUndead,
                                                        &CSpellDefinition::AI_AntiBravery,
                                                        &CSpellDefinition::AI_AntiFlying,
                                                        &CSpellDefinition::AI_Pestilence,
                                                        &CSpellDefinition::AI_Guardian,
                                                        &CSpellDefinition::AI_Totemoflife,
                                                        &CSpellDefinition::AI_Disenchant,
                                                        &CSpellDefinition::AI_Restrictors,
                                                        &CSpellDefinition::AI_Evaders};
  return spell.*ratings[index];
}

// Whether the leaf's wizard could cast the spell at a member of group A, and its wait.
bool CanCastAtGroupA(CAIGroupNode* leaf, int spell, const Scene& s, int& wait) {
  wait = INT_MAX;
  return BestCastWait(s.groupA, leaf, spell, wait);
}

int64_t SpellPower(CAIGroupNode* leaf, const Scene& s, bool mrChecked) {
  int64_t sum = 0;
  for (int spell = 0; spell < kSpellCount; ++spell) {
    const CSpellDefinition& def = g_spellDefs[spell];
    if (!(mrChecked ? def.DoMRCheck : def.DoITCheck)) continue;
    int wait;
    if (CanCastAtGroupA(leaf, spell, s, wait)) sum += def.ManaCost;
  }
  return sum;
}

int64_t RatingSum(CAIGroupNode* leaf, const Scene& s, int index) {
  int64_t sum = 0;
  for (int spell = 0; spell < kSpellCount; ++spell) {
    const int rating = SpellRating(g_spellDefs[spell], index);
    int wait;
    if (rating >= 1 && CanCastAtGroupA(leaf, spell, s, wait) && wait <= s.horizon) sum += rating;
  }
  return sum;
}

int64_t Invisibility(CAIGroupNode* leaf, const CCreature& c, const Scene& s) {
  int64_t time = c.invisible;
  int wait;
  if (CanCastAtGroupA(leaf, kInvisibilitySpell, s, wait)) {
    const CSpellDefinition& spell = g_spellDefs[kInvisibilitySpell];
    time += int64_t{c.mana / 256} / std::max(spell.ManaCost, 1) * spell.Duration;
  }
  return time;
}

// Adds the visiting creature's share of a group measure (suffix index 1-57 as the own ids).
void VisitCreature(int measure, CAIGroupNode* leaf, bool own, const Scene& s, Accumulator& acc) {
  CCreature& c = *leaf->creature;
  const CCreatureType* type = c.type;
  const auto typeValue = [type](int32_t CCreatureType::*field) { return type ? int64_t{type->*field} : 0; };
  const std::vector<CCreature*>& others = own ? s.membersB : s.membersA;
  const bool wizard = IsWizardType(c.typeNumber);
  switch (measure) {
    case id::kNCreatures:
      acc.Add(1);
      break;
    case id::kAverageHealth:
      acc.Average(c.health);
      break;
    case id::kAverageMaxSpeed:
      acc.Average(type ? c.ApplyHasteSlow(type->maxSpeed) : 0);
      break;
    case id::kGeneralHth:
      acc.Average(Halved(c.strength.hthAll, c, own));
      break;
    case id::kGeneralLrc:
      acc.Average(Halved(c.strength.lrcAll, c, own));
      break;
    case id::kSpecificHth:
    case id::kSpecificLrc:
      acc.Average(Halved(SpecificStrength(leaf, others, measure == id::kSpecificHth), c, own),
                  static_cast<int64_t>(others.size()));
      break;
    case id::kAverageMagicResistance:
      acc.Average(typeValue(&CCreatureType::MagicResist));
      break;
    case id::kMana:
      acc.Add(StoredMana(c, s));
      break;
    case id::kMaxMana:
      acc.Add(c.maxMana);
      break;
    case id::kManaIncome:
      acc.Add(LeafManaIncome(s.groupA, leaf));
      break;
    case id::kManaGain:
      acc.Add(c.manaSource ? ManaGainPerSource() : 0);
      break;
    case id::kAverageIntelligence:
      acc.Average(typeValue(&CCreatureType::Intelligence));
      break;
    case id::kAverageHthDuration:
      acc.Average(typeValue(&CCreatureType::attackDuration));
      break;
    case id::kAverageLrcDuration:
      acc.Average(typeValue(&CCreatureType::rangedAttackDuration));
      break;
    case id::kNUndead:
      acc.Add(c.undead ? 1 : 0);
      break;
    case id::kAntiUndeadStrength:
      acc.Average(Halved(std::max(c.strength.hthUndead, c.strength.lrcUndead), c, own));
      break;
    case id::kNFliers:
      acc.Add(c.mayFly ? 1 : 0);
      break;
    case id::kNSwimmers:
      acc.Add(typeValue(&CCreatureType::SwimmingAbility) == 2 ? 1 : 0);
      break;
    case id::kNWizards:
      acc.Add(wizard ? 1 : 0);
      break;
    case id::kNExploders:
      acc.Add(c.typeNumber == kExploderTypeA || c.typeNumber == kExploderTypeB ? 1 : 0);
      break;
    case id::kSpellPowerAgainstMr:
      acc.Add(wizard ? SpellPower(leaf, s, true) : 0);
      break;
    case id::kSpellPowerAgainstIt:
      acc.Add(wizard ? SpellPower(leaf, s, false) : 0);
      break;
    case id::kInvisibility:
      acc.Average(Invisibility(leaf, c, s));
      break;
    case id::kDamageRate:
      acc.Average(DamageRate(c, s));
      break;
    case id::kSpread:
      acc.value = std::max(acc.value, Spread(own ? s.membersA : s.membersB));
      break;
    case id::kAverageBravery:
      acc.Average(typeValue(&CCreatureType::Bravery));
      break;
    case id::kGeneralCombat:
      acc.Add(Halved(std::max(c.strength.hthAll, c.strength.lrcAll), c, own));
      break;
    case id::kAntiUndead:
      acc.Add(Halved(std::max(c.strength.hthUndead, c.strength.lrcUndead), c, own));
      break;
    case id::kRangedCombat:
      acc.Add(Halved(c.strength.lrcAll, c, own));
      break;
    case id::kDefence:
      acc.Add(c.strength.defence);
      break;
    case id::kPercentFliers:
      acc.Average(c.mayFly ? 100 : 0);
      break;
    case id::kPercentUndead:
      acc.Average(c.undead ? 100 : 0);
      break;
    case id::kAverageFireVulnerability:
      acc.Average(typeValue(&CCreatureType::BurnTime) * typeValue(&CCreatureType::BurnDamage));
      break;
    case id::kPotentialMana:
      acc.Add(StoredMana(c, s) + int64_t{s.horizon} * LeafManaIncome(s.groupA, leaf) / 1000);
      break;
    case id::kWizardInGroup:
      if (wizard) acc.value = 1;
      break;
    case id::kAverageDanger:
      acc.Average(c.RateCurrentNode());
      break;
    case id::kNIllusions:
      acc.Add(c.illusion ? 1 : 0);
      break;
    case id::kPercentIllusions:
      acc.Average(c.illusion ? 100 : 0);
      break;
    default:
      if (measure >= id::kFirstSpellRating && measure <= id::kLastSpellRating && wizard)
        acc.Add(RatingSum(leaf, s, measure - id::kFirstSpellRating));
      break;
  }
}

bool CountsForArmy(const CCreature& c, int army) { return c.IsAlive() && c.army == army; }

int32_t WizardMeasure(int measure, const Scene& s) {
  CCreature* first = s.membersA.empty() ? nullptr : s.membersA.front();
  if (!first) return 0;
  const int army = first->army;
  CCreature* wizard = g_armyTable.GetWizard(army);
  if (!wizard) return 0;
  int64_t value = 0;
  const auto countTroops = [&](int categoryBit) {
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      if (!CountsForArmy(c, army) || IsWizardType(c.typeNumber)) return;
      if (categoryBit == 0 || (c.type && (c.type->aiCategory & categoryBit))) ++value;
    });
    return value;
  };
  switch (measure) {
    case id::kWaNCreatures:
      return ClampToInt(countTroops(0));
    case id::kWaNScouts:
      return ClampToInt(countTroops(ai_category::kScout));
    case id::kWaNAttackers:
      return ClampToInt(countTroops(ai_category::kAttacker));
    case id::kWaNDefenders:
      return ClampToInt(countTroops(ai_category::kDefender));
    case id::kWaAverageMr:
      return first->type ? first->type->MagicResist : 0;
    case id::kWaMana:
      return wizard->mana / 256;
    case id::kWaMaxMana:
      return wizard->maxMana;
    case id::kWaManaGain:
      g_creatureArray.ForEachInUse([&](CCreature& c) {
        if (CountsForArmy(c, army) && c.manaSource) value += ManaGainPerSource();
      });
      return ClampToInt(value);
    case id::kWaAverageDanger:
      return first->RateCurrentNode();
    case id::kWaWizardDanger:
      return wizard->RateCurrentNode();
    case id::kWaWizardHealth:
      return wizard->health;
    case id::kWaWizardMaxHealth:
      return wizard->GetMaxHealth();
    default:
      return 0;
  }
}

int32_t Measure(int measure, const Scene& s) {
  if (measure < 1 || measure > kAIComputedMeasureLast) return 0;
  if (measure >= id::kWaNCreatures) return WizardMeasure(measure, s);
  const bool own = measure <= id::kLastOwnMeasure;
  const int suffix = own ? measure : measure - kAIEnemyMeasureOffset;
  Accumulator acc;
  for (CAIGroupNode* leaf : own ? s.leavesA : s.leavesB) VisitCreature(suffix, leaf, own, s, acc);
  return acc.Result();
}

Scene Walk(CAIGroupNode* groupA, CAIGroupNode* groupB, int horizon) {
  Scene s{groupA, groupB, horizon, Members(groupA), Members(groupB), Leaves(groupA), Leaves(groupB)};
  return s;
}

}  // namespace

int ComputeGroupMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, int horizon, std::vector<int32_t>& out,
                         std::span<const int> ids) {
  out.clear();
  if (ids.empty()) return 0;
  const Scene scene = Walk(groupA, groupB, horizon);
  for (int measure : ids) out.push_back(Measure(measure, scene));
  return static_cast<int>(ids.size());
}

int ComputeGroupMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, int horizon, std::vector<int32_t>& out,
                         std::initializer_list<int> ids) {
  return ComputeGroupMeasures(groupA, groupB, horizon, out, std::span<const int>(ids.begin(), ids.size()));
}

int32_t GroupMeasure(CAIGroupNode* groupA, CAIGroupNode* groupB, int measure, int horizon) {
  std::vector<int32_t> out;
  ComputeGroupMeasures(groupA, groupB, horizon, out, {measure});
  return out.front();
}

float EvaluateMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, float& totalWeight, float& certainty,
                       std::span<const MeasureTerm> terms) {
  std::vector<int32_t> scratch;
  for (const MeasureTerm& term : terms) {
    const int magnitude = term.id == INT_MIN ? 0 : term.id < 0 ? -term.id : term.id;
    ComputeGroupMeasures(groupA, groupB, 0, scratch, {magnitude});
    FoldMeasure(term.id, scratch.front(), static_cast<float>(term.weight), totalWeight, certainty);
  }
  return certainty;
}

float EvaluateMeasures(CAIGroupNode* groupA, CAIGroupNode* groupB, float& totalWeight, float& certainty,
                       std::initializer_list<MeasureTerm> terms) {
  return EvaluateMeasures(groupA, groupB, totalWeight, certainty,
                          std::span<const MeasureTerm>(terms.begin(), terms.size()));
}
