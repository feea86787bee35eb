#include "ai/AIGroupNode.h"

#include <algorithm>
#include <climits>

#include "ai/AIDecision.h"
#include "ai/AIPlayerMemory.h"
#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/ManaWait.h"
#include "creatures/SpellDefinition.h"
#include "map/MapUnits.h"

int g_aiMinGroupLevel = kGroupLevelActive;

CAIGroupNode::CAIGroupNode(int kind) : kind(kind) {
  for (int i = 0; i < kGroupWalkCursors; ++i) {
    cursorFree[i] = 1;
    cursorPos[i] = 0;
    cursorSub[i] = 0;
  }
}

CAIGroupNode::~CAIGroupNode() {
  GroupLevelScope all(0);
  for (CAIGroupNode* child : children)
    if (child) child->parent = nullptr;
  if (parent) parent->RemoveChild(this);
}

void CAIGroupNode::AddChild(CAIGroupNode* child) {
  if (IsLeaf() || !child || child->parent || child == this) return;
  children.push_back(child);
  child->parent = this;
}

void CAIGroupNode::RemoveChild(CAIGroupNode* child) {
  if (IsLeaf()) return;
  const auto found = std::find(children.begin(), children.end(), child);
  if (found == children.end()) return;
  const size_t removed = static_cast<size_t>(found - children.begin());
  children.erase(found);
  for (int i = 0; i < kGroupWalkCursors; ++i) {
    if (cursorFree[i]) continue;
    if (cursorPos[i] > removed) {
      --cursorPos[i];
    } else if (cursorPos[i] == removed && removed < children.size()) {
      // The walk stood inside the child that left: it goes on with the one that took its place.
      cursorSub[i] = GroupFirstMember(children[removed]);
    }
  }
  child->parent = nullptr;
}

void CAIGroupNode::RemoveAllChildren() {
  for (CAIGroupNode* child : children)
    if (child) child->parent = nullptr;
  children.clear();
  for (int i = 0; i < kGroupWalkCursors; ++i) cursorFree[i] = 1;
}

int GroupFirstMember(CAIGroupNode* node) {
  int cursor = kNoWalkCursor;
  for (int i = 0; i < kGroupWalkCursors; ++i) {
    if (node->cursorFree[i]) {
      cursor = i;
      break;
    }
  }
  if (cursor == kNoWalkCursor) {
    cursor = node->nextCursor;
    node->nextCursor = (node->nextCursor + 1) % kGroupWalkCursors;
  }
  node->cursorPos[cursor] = 0;
  node->cursorFree[cursor] = 0;
  node->cursorSub[cursor] = !node->IsLeaf() && !node->children.empty() ? GroupFirstMember(node->children[0]) : 0;
  return cursor;
}

CAIGroupNode* NextLeaf(CAIGroupNode* node, int cursor) {
  if (!node || cursor < 0 || cursor >= kGroupWalkCursors) return nullptr;
  if (node->IsLeaf()) {
    if (node->cursorSub[cursor] == 0 && node->level >= g_aiMinGroupLevel) {
      node->cursorSub[cursor] = 1;
      return node;
    }
    node->cursorFree[cursor] = 1;
    return nullptr;
  }
  while (node->cursorPos[cursor] < node->children.size()) {
    CAIGroupNode* child = node->children[node->cursorPos[cursor]];
    if (CAIGroupNode* leaf = NextLeaf(child, node->cursorSub[cursor])) return leaf;
    if (++node->cursorPos[cursor] < node->children.size())
      node->cursorSub[cursor] = GroupFirstMember(node->children[node->cursorPos[cursor]]);
  }
  node->cursorFree[cursor] = 1;
  return nullptr;
}

CCreature* GroupNextMember(CAIGroupNode* node, int cursor) {
  CAIGroupNode* leaf = NextLeaf(node, cursor);
  return leaf ? leaf->creature : nullptr;
}

CAIGroupNode* NextChild(CAIGroupNode* node, int cursor) {
  if (!node || cursor < 0 || cursor >= kGroupWalkCursors) return nullptr;
  while (node->cursorPos[cursor] < node->children.size()) {
    CAIGroupNode* child = node->children[node->cursorPos[cursor]++];
    if (child->IsLeaf() && child->level < g_aiMinGroupLevel) continue;
    return child;
  }
  node->cursorFree[cursor] = 1;
  return nullptr;
}

int CountChildren(CAIGroupNode* node) {
  if (!node) return 0;
  const int cursor = GroupFirstMember(node);
  int count = 0;
  while (NextChild(node, cursor)) ++count;
  return count;
}

int CountMembers(CAIGroupNode* node) {
  if (!node) return 0;
  const int cursor = GroupFirstMember(node);
  int count = 0;
  while (GroupNextMember(node, cursor)) ++count;
  return count;
}

CCreature* FirstMember(CAIGroupNode* node) {
  if (!node) return nullptr;
  const int cursor = GroupFirstMember(node);
  CCreature* first = GroupNextMember(node, cursor);
  if (first)
    while (GroupNextMember(node, cursor)) {
    }
  return first;
}

bool HasMemberAtLevel(CAIGroupNode* node, int level) {
  GroupLevelScope scope(level);
  return FirstMember(node) != nullptr;
}

void ResetWalks(CAIGroupNode* node) {
  if (!node) return;
  for (int i = 0; i < kGroupWalkCursors; ++i) node->cursorFree[i] = 1;
  for (CAIGroupNode* child : node->children) ResetWalks(child);
}

void ActivateAll(CAIGroupNode* node) {
  if (!node) return;
  if (node->IsLeaf()) {
    node->level = kGroupLevelActive;
    return;
  }
  for (CAIGroupNode* child : node->children) ActivateAll(child);
}

CAIGroupNode* TopGroup(CAIGroupNode* node) {
  while (node && node->parent) node = node->parent;
  return node;
}

bool HoldsNode(const CAIGroupNode* group, const CAIGroupNode* node) {
  if (!group || !node) return false;
  if (group == node) return true;
  for (const CAIGroupNode* child : group->children)
    if (HoldsNode(child, node)) return true;
  return false;
}

bool IsAncestorOrSelf(const CAIGroupNode* ancestor, const CAIGroupNode* node) {
  for (; node; node = node->parent)
    if (node == ancestor) return true;
  return false;
}

void AddToCentre(int& x, int& y, int& z, int n, int px, int py, int pz) {
  x = CWrapCoord::WrapX(x + WrapDeltaX(x, px) / n);
  y = CWrapCoord::WrapY(y + WrapDeltaY(y, py) / n);
  z += (pz - z) / n;
}

void GroupCentre(CAIGroupNode* node, int& x, int& y, int& z) {
  x = y = z = 0;
  if (!node) return;
  int n = 0;
  const int cursor = GroupFirstMember(node);
  while (CCreature* member = GroupNextMember(node, cursor))
    AddToCentre(x, y, z, ++n, member->cellX, member->cellY, member->level);
}

bool AllMembersOnPathNodes(CAIGroupNode* node) {
  const int cursor = GroupFirstMember(node);
  while (CCreature* member = GroupNextMember(node, cursor))
    if (member->nodeRoute.NearestNode() == -1) return false;
  return true;
}

bool NoMemberBound(CAIGroupNode* node) {
  const int cursor = GroupFirstMember(node);
  while (CCreature* member = GroupNextMember(node, cursor)) {
    if (member->earthBind) return false;
    const CAIDecision* unitDecision = GetGroupDecision(*member, 0);
    if (unitDecision && DecisionType(unitDecision) == kAIRegionDecisionType) return false;
  }
  return true;
}

bool GroupHasWizard(CAIGroupNode* node) {
  const int cursor = GroupFirstMember(node);
  while (CCreature* member = GroupNextMember(node, cursor))
    if (member->IsWizard()) return true;
  return false;
}

bool GroupHasRealMember(CAIGroupNode* node) {
  const int cursor = GroupFirstMember(node);
  while (CCreature* member = GroupNextMember(node, cursor))
    if (!member->illusion) return true;
  return false;
}

bool BestCastWait(CAIGroupNode* targets, CAIGroupNode* casterLeaf, int spell, int& wait) {
  wait = INT_MAX;
  // No target group (a measure taken without an own group, say): nobody to cast at.
  if (!targets || !casterLeaf || !casterLeaf->creature || !casterLeaf->creature->IsWizard()) return false;
  if (spell < 0 || spell >= kSpellCount) return false;
  const CCreature& caster = *casterLeaf->creature;
  bool considered = false;
  const int cursor = GroupFirstMember(targets);
  while (CCreature* member = GroupNextMember(targets, cursor)) {
    if (!SpellPermits(spell, member->army, caster.army)) continue;
    considered = true;
    wait = std::min(wait, g_aiWorld->ManaWaitSeenBy(caster, member->army, spell));
  }
  return considered;
}

CAIDecision* GetGroupDecision(const CCreature& creature, int controller) {
  if (controller < 0 || controller >= kAIControllerCount) return nullptr;
  CAIGroupNode* top = TopGroup(creature.aiGroupNode[controller]);
  return top ? top->decision : nullptr;
}

bool ReconcileAssignments(CAIGroupNode* node, const CAIEnemyMap& enemies, int tick, int army) {
  if (!node) return false;
  {
    GroupLevelScope all(0);
    if (node->IsLeaf())
      node->level = kGroupLevelActive;
    else
      for (CAIGroupNode* child : node->children) ActivateAll(child);
  }
  const bool validArmy = army >= 0 && army < kArmyCount;
  bool changed = false;
  int kept = 0;
  const int cursor = GroupFirstMember(node);
  while (CAIGroupNode* leaf = NextLeaf(node, cursor)) {
    const auto entry = enemies.lower_bound(leaf->key);
    if (entry == enemies.end() || entry->first != leaf->key || entry->second.currentTick != tick) {
      changed = true;
      leaf->level = kGroupLevelDropped;
      continue;
    }
    CCreature* creature = CreatureInUse(entry->second.copy.index);
    if (creature) leaf->creature = creature;
    const bool hostile = validArmy && creature && g_armyTable.armies[army].alliance[creature->army] == 0;
    if (creature && creature->IsAlive() && hostile) {
      leaf->level = kGroupLevelActive;
      AddToCentre(node->centreX, node->centreY, node->centreZ, ++kept, creature->cellX, creature->cellY,
                  creature->level);
      changed = true;
    } else {
      leaf->level = kGroupLevelDropped;
    }
  }
  return changed;
}
