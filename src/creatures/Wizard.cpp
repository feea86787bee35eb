// A wizard record: its defaults, its magic items, start objects and spell pool, its rank, and
// the two ways it is filled besides its file (at random and from a player slot). The file
// reader is WizardFile.cpp; deployment WizardDeploy.cpp; the saved record WizardSave.cpp.
#include "creatures/Wizard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/GameSettings.h"
#include "core/Options.h"
#include "core/PlayerSlot.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"

namespace {

IWizardHooks g_neutralWizardHooks;

// The rank tiers by rank 0-6 (rank 0 never occurs).
constexpr int kRankTiers[7] = {499, 0, 0, 1, 1, 2, 2};
constexpr int kMaxRank = 6;
// Generated wizards draw from spells 0-27 (list A) and 28-91 (list B).
constexpr int kFirstListBSpell = 28;
constexpr int kLastRandomSpell = 91;

template <size_t N>
void CopyName(char (&field)[N], const char* text) {
  std::snprintf(field, N, "%s", text ? text : "");
}

}  // namespace

constinit HookSlot<IWizardHooks> g_wizardHooks(&g_neutralWizardHooks);

const char* IWizardHooks::PortraitAnimFile(int portrait) {
  // The forged portraits share the six looks of the ranks, two portraits a look.
  static const char* const kLooks[6] = {"wizard1", "wizard2", "wizard3", "wizard4", "wizard5", "wizard6"};
  return kLooks[(portrait < 0 ? 0 : portrait) % 6];
}

const char* const g_wizardWeightKeys[kWizardWeights] = {"AggressiveAttack", "CautiousAttack", "OccupyPowerPoint",
                                                        "CollectMana",      "EvadeDetection", "Scout",
                                                        "Retreat",          "CollectFood",    "ProtectWizard"};

int CBoundedIntList::Push(int value) {
  if (Count() >= capacity_) return 0;
  values_.push_back(value);
  return 1;
}

CWizard::CWizard() : spellPool(kWizardSpellPoolCapacity, 0) {
  std::fill(std::begin(magicItems), std::end(magicItems), -1);
  ClearActions();
}

void CWizard::ResetStatistics() {
  maxMana = 50;
  maxHealth = 100;
  controlLimit = 25;
  magicResistance = 50;
  intelligence = 50;
  combatModifier = 0;
  difficultyModifier = 0;
  experience = 0;
  std::fill(std::begin(weights), std::end(weights), 100);
}

void CWizard::ClearActions() {
  for (CWizardAction& action : actions) action = CWizardAction{};
}

void CWizard::Reset() {
  inUse = 0;
  deployed = 0;
  groupKey = -1;
  rank = 1;
  rankCounter = 0;
  CopyName(animFile, "noname");
  std::fill(std::begin(magicItems), std::end(magicItems), -1);
  startObjectCount = 0;
  ClearSpellPool();
  ClearActions();
  ResetStatistics();
}

bool CWizard::FindMagicItem(int id, int& slot) const {
  for (slot = 0; slot < kWizardMagicItems; ++slot)
    if (magicItems[slot] == id) return true;
  slot = kWizardMagicItems;
  return false;
}

int CWizard::AddMagicItem(int id) {
  // Only the 25 ids a slot can carry: anything else would never be written back.
  if (id < 0 || id >= kWizardMagicItems) return 0;
  int slot = 0;
  if (FindMagicItem(id, slot)) return 1;
  if (!FindMagicItem(-1, slot)) return 0;
  magicItems[slot] = id;
  return 1;
}

int CWizard::AddQueuedEntry(int kind, const int32_t values[4]) {
  if (startObjectCount >= kWizardStartObjects) return 0;
  CWizardStartObject& entry = startObjects[startObjectCount++];
  entry.kind = kind;
  for (int i = 0; i < 4; ++i) entry.values[i] = values ? values[i] : 0;
  return 1;
}

int CWizard::AddSpell(int spell) {
  if (spell < 0 || spell >= kSpellCount) return 0;
  if (spellCount >= static_cast<int>(spellPool.size())) return 0;
  spellPool[spellCount++] = spell;
  return 1;
}

void CWizard::AddSpellsToPool(const uint8_t* spells, int n) {
  for (int i = 0; spells && i < n; ++i) AddSpell(spells[i]);
}

int CWizard::GetRankTier() const { return rank >= 0 && rank <= kMaxRank ? kRankTiers[rank] : 0; }

void CWizard::AdvanceRankCounter() {
  ++rankCounter;
  // The first threshold equal to the counter decides; a counter that passes one without
  // meeting it exactly leaves the rank.
  for (int r = 2; r <= kMaxRank; ++r)
    if (g_spUpgradeLevel[r - 2] == rankCounter) {
      rank = r;
      return;
    }
}

int CWizard::InitRandom(const char* wizardName, int computerFlag, int minimumMana, int spellTotal, uint32_t seed) {
  if (!wizardName) return 0;
  CopyName(name, wizardName);
  maxHealth = 300;
  maxMana = minimumMana;
  deploymentKey = -1;
  computer = computerFlag;
  inUse = 1;

  std::vector<int> lists[2];
  for (int spell = 0; spell <= kLastRandomSpell; ++spell)
    if (g_spellDefs[spell].ManaCost != 0) lists[spell < kFirstListBSpell ? 0 : 1].push_back(spell);
  // A generator of its own: the battle's draws stay as they are.
  CRandom random(seed);
  for (int n = 0; n < spellTotal; ++n) {
    std::vector<int>& list = lists[(random.Next() & 0x7FFFFFFF) & 1];
    if (list.empty()) continue;
    const size_t at = (random.Next() & 0x7FFFFFFF) % list.size();
    const int spell = list[at];
    AddSpell(spell);
    list[at] = list.back();
    list.pop_back();
    maxMana = std::max(minimumMana, g_spellDefs[spell].ManaCost);
  }
  return 1;
}

int CWizard::InitForPlayer(const char* wizardName, int playerSlot, int computerFlag) {
  CopyName(name, wizardName);
  const bool slotKnown = playerSlot >= 0 && playerSlot < kPlayerSlotCount;
  const int handicap = slotKnown ? std::clamp(g_playerSlots[playerSlot].handicap, 0, kMaxHandicap) : 0;
  auto lessHandicap = [handicap](int base) { return base - base * handicap / 100; };
  maxMana = lessHandicap(g_gameSettings.mana);
  maxHealth = lessHandicap(g_gameSettings.health);
  controlLimit = lessHandicap(g_gameSettings.ControlLimit);
  if (slotKnown && g_playerSlots[playerSlot].portrait >= 0) {
    const char* look = g_wizardHooks->PortraitAnimFile(g_playerSlots[playerSlot].portrait);
    if (look && std::strlen(look) < kWizardAnimNameSize) CopyName(animFile, look);
  }
  deploymentKey = -1;
  computer = computerFlag & 0xFF;
  inUse = 1;
  return 1;
}
