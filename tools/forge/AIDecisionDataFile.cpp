// cfg\ai.cfg: the computer player's empirical decision data, one "reference ,range" pair per
// situation measure. The pairs are worked out from the forged creatures and spells: a
// reference is what a typical group of fighters (five creatures of the mean forged type) or a
// typical wizard shows, a range how far from it a value counts half-way to certain. Every
// range is a whole number of at least 1 (a range of 0 would make every fold of the measure
// at its reference 0/0).
#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ai/AIMeasureIds.h"
#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/SpellTable.h"

namespace forge {
namespace {

constexpr int kGroupSize = 5;  // the creatures of a typical group
// The options keep their defaults (ManaRecovery 5, ManaRecoveryDelay 5): one mana-recovering
// creature, or one place of power held, brings 5 x 1000 / 5.
constexpr int kManaGainPerSource = 5 * 1000 / 5;
constexpr int kWizardMaxMana = 50;  // a wizard file's default maximum mana

bool IsFighter(int type) { return type >= 1 && type <= 23; }

// The mean of a value over the fighting types 1-23.
int FighterMean(const std::function<double(const CreatureRow&, int)>& value) {
  double sum = 0;
  int n = 0;
  for (int t = 0; t < kCreatureTypes; ++t) {
    if (!IsFighter(t)) continue;
    sum += value(CreatureTable()[t], t);
    ++n;
  }
  return static_cast<int>(sum / n);
}

// The per-cent of fighting types for which the test holds.
int FighterPercent(const std::function<bool(const CreatureRow&)>& test) {
  return FighterMean([&](const CreatureRow& row, int) { return test(row) ? 100.0 : 0.0; });
}

// A rating row's mean over the 28 target types, as the strength estimate takes it.
double RowMean(const HthMatrices::Matrix& m, int type) {
  double sum = 0;
  for (int target = 0; target < kCreatureTypes; ++target) sum += m[type][target];
  return sum / kCreatureTypes;
}

// The mean over the undead target types only.
double UndeadRowMean(const HthMatrices::Matrix& m, int type) {
  double sum = 0;
  int n = 0;
  for (int target = 0; target < kCreatureTypes; ++target) {
    if (!CreatureTable()[target].IsUndead) continue;
    sum += m[type][target];
    ++n;
  }
  return n ? sum / n : 0.0;
}

// The sum of a spell value over the priced spells, shared by the four wizards a spell box
// deals them among: what one wizard may hold.
int WizardShareOfSpells(const std::function<int(const SpellRow&)>& value) {
  int sum = 0;
  for (const SpellRow& spell : SpellTable())
    if (spell.ManaCost > 0) sum += value(spell);
  return sum / 4;
}

int PricedSpellMean(const std::function<int(const SpellRow&)>& value) {
  int sum = 0, n = 0;
  for (const SpellRow& spell : SpellTable()) {
    if (spell.ManaCost <= 0) continue;
    sum += value(spell);
    ++n;
  }
  return n ? sum / n : 0;
}

struct Pair {
  int reference;
  int range;
  std::string how;
};

Pair Half(int reference, std::string how) { return {reference, std::max(1, reference / 2), std::move(how)}; }

// The own-group measures 1-57; the enemy measures 58-111 take the pair of their twin.
std::vector<Pair> OwnGroupPairs() {
  const HthMatrices m = MakeHthMatrices();
  const auto health = [](const CreatureRow& row, int) { return double(row.Health); };
  const auto hth = [&](const CreatureRow& row, int t) { return row.Health * RowMean(m.HTH, t); };
  const auto lrc = [&](const CreatureRow& row, int t) { return row.Health * RowMean(m.LRC, t); };
  const auto antiUndead = [&](const CreatureRow& row, int t) {
    return row.Health * std::max(UndeadRowMean(m.HTH, t), UndeadRowMean(m.LRC, t));
  };
  const int meanHth = FighterMean(hth), meanLrc = FighterMean(lrc), meanAntiUndead = FighterMean(antiUndead);
  const int meanCombat = FighterMean([&](const CreatureRow& row, int t) { return std::max(hth(row, t), lrc(row, t)); });
  const int pairHth = FighterMean([&](const CreatureRow&, int t) { return RowMean(m.HTH, t); });
  const int pairLrc = FighterMean([&](const CreatureRow&, int t) { return RowMean(m.LRC, t); });
  const int rangedFireRate = [] {
    int sum = 0, n = 0;
    for (const CreatureRow& row : CreatureTable())
      if (row.FireRange > 0) sum += row.FireRate, ++n;
    return n ? sum / n : 0;
  }();
  const auto spellsWith = [](bool SpellRow::*check) {
    return WizardShareOfSpells([check](const SpellRow& s) { return s.*check ? s.ManaCost : 0; });
  };
  const int invisibilityDuration = SpellTable()[85].Duration;

  std::vector<Pair> p = {
      {kGroupSize, 3, "a typical group of five creatures"},
      Half(FighterMean(health), "the mean Health of the fighting types 1-23"),
      {100, 30, "a step's speed of the forged walk and fly cycles lies near 48-144"},
      Half(meanHth, "Health x the mean HTH rating row, over the fighting types"),
      Half(meanLrc, "Health x the mean LRC rating row, over the fighting types"),
      Half(pairHth, "the mean HTH rating of one type against another"),
      Half(std::max(pairLrc, 2), "the mean LRC rating of one type against another"),
      Half(FighterMean([](const CreatureRow& r, int) { return double(r.MagicResist); }), "the mean MagicResist"),
      Half(kWizardMaxMana / 2, "a wizard half-way through its default 50 mana"),
      Half(kWizardMaxMana, "a wizard file's default maximum mana"),
      Half(kManaGainPerSource, "one place of power held at the default recovery options"),
      Half(kManaGainPerSource, "one mana-recovering creature at the default recovery options"),
      Half(FighterMean([](const CreatureRow& r, int) { return double(r.Intelligence); }), "the mean Intelligence"),
      {12, 6, "a blow's sequence of about nine frames and three of recovery"},
      Half(rangedFireRate + 12, "the mean FireRate of the shooting types and a twelve-frame shot"),
      {1, 1, "one undead creature in a group"},
      Half(meanAntiUndead, "Health x the better mean rating against the undead types"),
      {1, 1, "one flier in a group"},
      {1, 1, "one swimmer in a group"},
      {0, 1, "no wizard in a group"},
      {0, 1, "no exploding creature in a group"},
      Half(spellsWith(&SpellRow::DoMRCheck), "a wizard's share of the ManaCost of the spells resisted by MR"),
      Half(spellsWith(&SpellRow::DoITCheck), "a wizard's share of the ManaCost of the spells resisted by wits"),
      {0, std::max(1, invisibilityDuration / 4), "no invisibility; a quarter of spell 85's Duration is half-way"},
      {50, 50, "half a point of damage a frame"},
      {100, 100, "creatures within five tiles of each other"},
      Half(FighterMean([](const CreatureRow& r, int) { return double(r.Bravery); }), "the mean Bravery"),
      Half(kGroupSize * meanCombat, "five creatures of the mean better general strength"),
      Half(kGroupSize * meanAntiUndead, "five creatures of the mean anti-undead strength"),
      Half(kGroupSize * meanLrc, "five creatures of the mean general LRC strength"),
      Half(kGroupSize * FighterMean(health), "five creatures of the mean Health (defence starts at health)"),
      {FighterPercent([](const CreatureRow& r) { return r.CanFly; }), 25, "the per-cent of flying fighting types"},
      {FighterPercent([](const CreatureRow& r) { return r.IsUndead; }), 25, "the per-cent of undead fighting types"},
      Half(FighterMean([](const CreatureRow& r, int) { return double(r.BurnTime) * r.BurnDamage; }),
           "the mean BurnTime x BurnDamage"),
      Half(kWizardMaxMana / 2, "as MANA: the measure at a horizon of 0"),
      {0, 1, "no wizard in a group"},
  };
  for (int key = 0; key < 18; ++key) {
    const int share = WizardShareOfSpells([key](const SpellRow& s) { return s.ai[static_cast<size_t>(key)]; });
    p.push_back(Half(share, std::string("a wizard's share of the priced spells' ") + kSpellAiKeys[key]));
  }
  p.push_back({0, 10, "a node no army has marked; ten points of danger are half-way"});
  p.push_back({0, 1, "no illusion in a group"});
  p.push_back({0, 25, "no illusion; a quarter of the group is half-way"});
  return p;
}

// The wizard measures 112-123 and the spell-cast values 124-129.
std::vector<Pair> WizardAndCastPairs() {
  const auto categoryShare = [](const char* word) {
    return FighterPercent(
        [word](const CreatureRow& r) { return std::string(r.AI_CreatureCategory).find(word) != std::string::npos; });
  };
  const int armySize = 2 * kGroupSize;
  const int wizardHealth = CreatureTable()[0].Health;
  return {
      Half(armySize, "two groups of five"),
      Half(std::max(1, armySize * categoryShare("SCOUT") / 100), "the scouts among them, by the types' share"),
      Half(std::max(1, armySize * categoryShare("ATTACKER") / 100), "the attackers, by the types' share"),
      Half(std::max(1, armySize * categoryShare("DEFENDER") / 100), "the defenders, by the types' share"),
      Half(FighterMean([](const CreatureRow& r, int) { return double(r.MagicResist); }), "the mean MagicResist"),
      Half(kWizardMaxMana / 2, "half the default 50 mana"),
      Half(kWizardMaxMana, "the default maximum mana"),
      Half(kManaGainPerSource, "one mana-recovering creature at the default options"),
      {0, 10, "an unmarked node"},
      {0, 10, "an unmarked node"},
      {wizardHealth * 3 / 4, wizardHealth / 4, "the wizard type's Health, a quarter of it lost"},
      Half(wizardHealth, "the wizard type's Health"),
      Half(kWizardMaxMana / 2, "half the default 50 mana"),
      {0, 100, "no wait; a hundred frames are half-way"},
      Half(PricedSpellMean([](const SpellRow& s) { return s.ManaCost; }), "the mean ManaCost of the priced spells"),
      Half(PricedSpellMean([](const SpellRow& s) { return s.Range; }), "the mean Range of the priced spells"),
      Half(std::max(2, PricedSpellMean([](const SpellRow& s) { return s.Damage; })), "their mean Damage"),
      {50, 25, "an even chance"},
  };
}

}  // namespace

FORGE_STEP(AIDecisionData) {
  const std::vector<Pair> own = OwnGroupPairs();
  const std::vector<Pair> wizard = WizardAndCastPairs();
  if (own.size() != ai_measure::kLastOwnMeasure || wizard.size() != kAIMeasureCount - ai_measure::kWaNCreatures)
    throw std::logic_error("cfg\\ai.cfg: a measure without its pair");
  IniText ini;
  ini.Comment("The computer player's decision data: \"reference ,range\" per situation measure.");
  ini.Section(kAIDecisionSection);
  for (int id = 1; id < kAIMeasureCount; ++id) {
    const bool enemy = id >= kAIFirstEnemyMeasure && id <= ai_measure::kLastEnemyMeasure;
    const Pair& pair = id <= ai_measure::kLastOwnMeasure ? own[static_cast<size_t>(id - 1)]
                       : enemy                           ? own[static_cast<size_t>(id - kAIEnemyMeasureOffset - 1)]
                                                         : wizard[static_cast<size_t>(id - ai_measure::kWaNCreatures)];
    ini.Comment(enemy ? "as its own-group twin: " + pair.how : pair.how);
    ini.Key(AIMeasureKeyName(id), std::to_string(pair.reference) + " ," + std::to_string(std::max(1, pair.range)));
  }
  ctx.WriteText("cfg\\ai.cfg", ini.Text());
  // The reader's fuzz target starts from the file alone.
  ctx.WriteText("samples\\ai\\ai.cfg", ini.Text());
}

}  // namespace forge
