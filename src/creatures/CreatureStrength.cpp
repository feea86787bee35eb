// The combat strength estimate: one number per creature that the computer player compares
// creatures by, kept up to date lazily from its type's rating rows against all 28 types.
// The factor is a double formed in a fixed order, and this file is built without fused
// multiply-add, so that every machine of a network battle arrives at the same bits.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

#include "core/Options.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"

namespace {

constexpr int kRangedHolderA = 8, kRangedHolderB = 20;  // rate 10 against everything at long range

int32_t ClampToInt32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

bool IsUndeadType(int t) { return g_creatureTypes[t].IsUndead != 0; }

bool IsRangedHolder(int typeNumber) { return typeNumber == kRangedHolderA || typeNumber == kRangedHolderB; }

// A rating row's entry against a type: a third against the undead unless the rater is undead.
int64_t RowEntry(const int32_t (&row)[kCreatureTypes], int t, bool raterUndead) {
  const int64_t r = row[t];
  return IsUndeadType(t) && !raterUndead ? r / 3 : r;
}

int64_t Boosted(int64_t r, int rank) {
  if (rank == 1) return r + r * g_lordBooster / 100;
  if (rank == 2) return r + r * g_kingBooster / 100;
  return r;
}

struct RowSums {
  int64_t all = 0;
  int64_t undead = 0;
  int undeadTypes = 0;
  void Add(int t, int64_t r) {
    all += r;
    if (IsUndeadType(t)) {
      undead += r;
      ++undeadTypes;
    }
  }
};

// health x (sum / 28), the division unsigned: a negative sum counts as 0.
int32_t AgainstAll(int health, int64_t sum) {
  const uint64_t perType = static_cast<uint64_t>(std::max<int64_t>(sum, 0)) / kCreatureTypes;
  return ClampToInt32(int64_t{health} * static_cast<int64_t>(std::min<uint64_t>(perType, INT32_MAX)));
}

int32_t AgainstUndead(int health, const RowSums& sums) {
  if (sums.undeadTypes == 0) return 0;
  return ClampToInt32(int64_t{health} * (sums.undead / sums.undeadTypes));
}

}  // namespace

int CCreature::GetHthRating(int targetType, int targetUndead) const {
  if (!type || targetType < 0 || targetType >= kCreatureTypes) return 0;
  const int r = type->HTH_Matrix[targetType];
  return targetUndead && !undead ? r / 3 : r;
}

int CCreature::GetLrcRating(int targetType, int targetUndead) const {
  if (IsRangedHolder(typeNumber)) return 10;
  if (!type || targetType < 0 || targetType >= kCreatureTypes) return 0;
  const int r = type->LRC_Matrix[targetType];
  return targetUndead && !undead ? r / 3 : r;
}

void CCreature::UpdateStrength() {
  const int32_t inputs[] = {health, strength.attackBonus, bloodLust,   rank, spellState, undead, ironSkin, invisible,
                            mayFly, magicResistance,      intelligence};
  static_assert(sizeof inputs == sizeof strength.inputs);
  if (!std::equal(std::begin(inputs), std::end(inputs), std::begin(strength.inputs))) {
    std::copy(std::begin(inputs), std::end(inputs), std::begin(strength.inputs));
    strength.dirty = 1;
  }
  if (!strength.dirty || !type) return;
  const bool raterUndead = undead != 0;
  RowSums hth, lrc;
  for (int t = 0; t < kCreatureTypes; ++t) {
    int64_t r = RowEntry(type->HTH_Matrix, t, raterUndead);
    r += r * strength.attackBonus / 100;
    if (bloodLust) r *= 2;
    r = Boosted(r, rank);
    if (spellState == 1) r += g_spellDefs[spell_tuning::kMightyBlow].Damage;
    hth.Add(t, r);

    int64_t l = IsRangedHolder(typeNumber) ? 10 : RowEntry(type->LRC_Matrix, t, raterUndead);
    l = Boosted(l, rank);
    if (spellState == 2) l += g_spellDefs[spell_tuning::kArcaneBolt].Damage;
    lrc.Add(t, l);
  }
  strength.hthAll = AgainstAll(health, hth.all);
  strength.lrcAll = AgainstAll(health, lrc.all);
  strength.hthUndead = AgainstUndead(health, hth);
  strength.lrcUndead = AgainstUndead(health, lrc);
  int64_t defence = health;
  if (ironSkin) defence *= 3;
  if (invisible) defence *= 2;
  strength.defence = ClampToInt32(defence);

  const int64_t sum = int64_t{std::max(strength.hthUndead, strength.lrcUndead)} + strength.lrcAll +
                      std::max(strength.hthAll, strength.lrcAll) + strength.defence;
  double factor = mayFly ? 1.2 : 1.0;
  factor *= 1.0 + 0.001 * magicResistance;
  factor *= 1.0 + intelligence / 3000.0;
  factor *= 1.0 + 0.01 * type->Bravery;
  factor *= 1.0 + 0.0001 * type->maxSpeed;
  factor *= 1.0 - 0.00005 * type->BurnTime * type->BurnDamage;
  if (IsRangedHolder(typeNumber)) factor *= 1.1;
  if (typeNumber == 10) factor *= 1.02;
  if (typeNumber == 12 || typeNumber == 21) factor *= 1.05;
  // Long burning drives the factor below 0; such a creature is worth nothing, not less.
  factor = std::max(factor, 0.0);
  const double total = static_cast<double>(sum) * factor;
  strength.total = total >= static_cast<double>(INT32_MAX)   ? INT32_MAX
                   : total <= static_cast<double>(INT32_MIN) ? INT32_MIN
                                                             : static_cast<int32_t>(total);
  strength.dirty = 0;
}
