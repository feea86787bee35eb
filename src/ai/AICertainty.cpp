// Folding measures into a certainty, and the adjustments of the spell and group decisions.
#include "ai/AICertainty.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

#include "ai/AIDecisionData.h"
#include "ai/AIGroupNode.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"

namespace {

constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();
constexpr int kFirstGroupDecisionType = 6;
constexpr int kLastGroupDecisionType = 14;

// A table entry truncated toward zero, held within the whole numbers.
int64_t Truncated(float v) {
  if (std::isnan(v)) return 0;
  return static_cast<int64_t>(std::clamp(std::trunc(v), static_cast<float>(INT_MIN), static_cast<float>(INT_MAX)));
}

// n / d, with 0 / 0 (or anything / 0) giving a NaN the way the float division would,
// without dividing by zero.
float Quotient(float n, float d) { return d == 0.0f ? kNotANumber : n / d; }

// tanh(share x artanh(v)) as the fold writes it: ((1 + v)^s - (1 - v)^s) / ((1 + v)^s + (1 - v)^s),
// each power held in single precision.
float Shrink(float v, float share) {
  const float up = std::pow(1.0f + v, share);
  const float down = std::pow(1.0f - v, share);
  return Quotient(up - down, up + down);
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

void FoldMeasure(int id, int value, float weight, float& totalWeight, float& certainty) {
  const int64_t magnitude = id < 0 ? -int64_t{id} : id;
  const bool known = magnitude < kAIMeasureCount;
  const int64_t reference = known ? Truncated(g_aiMeasureReference[magnitude]) : 0;
  const int64_t range = known ? Truncated(g_aiMeasureRange[magnitude]) : 0;
  const int64_t d = int64_t{value} - reference;
  float h = Quotient(static_cast<float>(d), static_cast<float>(range + (d < 0 ? -d : d)));
  if (id < 0) h = -h;

  const float w = totalWeight;
  const float p = Shrink(certainty, Quotient(w, w + weight));
  const float t = Shrink(h, Quotient(weight, weight + w));
  const float denominator = 1.0f + t * p;
  certainty = denominator > 0.0f ? (t + p) / denominator : 0.0f;
  totalWeight = w + weight;
}

float ApplyOddsFactor(float factor, float certainty) {
  return Quotient((factor + 1.0f) * certainty + (factor - 1.0f), (factor - 1.0f) * certainty + (factor + 1.0f));
}

void AdjustSpellCertainty(const CCreature& caster, int spell, float& totalWeight, float& certainty, int casts) {
  const CSpellDefinition* definition = spell >= 0 && spell < kSpellCount ? &g_spellDefs[spell] : nullptr;
  FoldMeasure(124, caster.mana / 256, 0.1f * totalWeight, totalWeight, certainty);
  const int wait = definition ? caster.GetManaWaitTime(spell, casts) : INT_MAX;
  FoldMeasure(-125, wait, 0.05f * totalWeight, totalWeight, certainty);
  const int cost = definition ? ClampToInt(int64_t{casts} * definition->ManaCost) : 0;
  FoldMeasure(-126, cost, totalWeight * (1.0f / 6.0f), totalWeight, certainty);
  certainty = ApplyOddsFactor(definition ? definition->AI_Adjustment : 1.0f, certainty);
  const int jitter = static_cast<int>((g_aiRandom.Next() & 0x7FFFFFFFu) % 100u) - 50;
  certainty += static_cast<float>(jitter * 0.001);
  if (certainty > 1.0f) certainty = 1.0f;
  if (!(certainty >= -1.0f)) certainty = -1.0f;
}

bool WizardDecisionPercent(int army, int type, int& percent) {
  if (type < kFirstGroupDecisionType || type > kLastGroupDecisionType) return false;
  if (!g_armyTable.GetWizard(army)) return false;
  const CWizard* wizard = g_wizardTable.At(g_armyTable.armies[army].wizardRecord);
  // A wizard on the map without a record of its own keeps every decision at its full weight.
  percent = wizard ? wizard->weights[type - kFirstGroupDecisionType] : 100;
  return true;
}

void ApplyWizardDecisionBias(int type, float& certainty, int army) {
  int percent = 100;
  if (!WizardDecisionPercent(army, type, percent) || percent == 100) return;
  const float p = static_cast<float>((certainty + 1.0f) * percent * 0.01 - 1.0);
  certainty = p >= 1.0f ? 0.999f : p < -1.0f ? -1.0f : p;
}

int IsDecisionTypeEnabled(int type, int army) {
  int percent = 0;
  return WizardDecisionPercent(army, type, percent) && percent != 0 ? 1 : 0;
}

int GetDecisionEndTick(int tick, int type, CAIGroupNode* group) {
  struct Span {
    int base;
    bool perCreature;
  };
  Span span{6, false};  // spell and creature decisions
  switch (type) {
    case 6:
      span = {4, true};
      break;
    case 7:
      span = {8, true};
      break;
    case 8:
      span = {5, true};
      break;
    case 9:
    case 10:
    case 13:
      span = {3, false};
      break;
    case 11:
      span = {4, true};
      break;
    case 12:
    case 14:
      span = {3, true};
      break;
    default:
      break;
  }
  const int64_t end = int64_t{tick} + span.base + (span.perCreature ? CountMembers(group) / 2 : 0);
  return ClampToInt(end);
}
