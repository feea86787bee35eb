#pragma once
// CAIGroupNode: the computer player's view of creatures as trees of groups. A leaf stands for
// one creature, an inner node for a group of leaves and sub-groups (a side's army, an attack
// group, the enemies near a place). Decisions and measures are time-sliced and nest their
// walks (a walk over the own group inside one over an enemy group, both resumed next frame),
// so every node carries eight independent walk cursors; a walk may be left unfinished.
//
// g_aiMinGroupLevel hides every leaf whose level is below it from all walks at once; code that
// must see every member sets it to 0 for its duration (GroupLevelScope) and restores it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class CAIDecision;
class CCreature;
struct CAIRememberedEnemy;

inline constexpr int kGroupWalkCursors = 8;
inline constexpr int kNoWalkCursor = -1;

// Member levels: a leaf the controller just made, one that dropped out, an active one.
inline constexpr int kGroupLevelDropped = 0;
inline constexpr int kGroupLevelNew = 1;
inline constexpr int kGroupLevelActive = 3;

extern int g_aiMinGroupLevel;

// Sets g_aiMinGroupLevel for a scope and puts the previous value back.
class GroupLevelScope {
 public:
  explicit GroupLevelScope(int level) : saved_(g_aiMinGroupLevel) { g_aiMinGroupLevel = level; }
  ~GroupLevelScope() { g_aiMinGroupLevel = saved_; }
  GroupLevelScope(const GroupLevelScope&) = delete;
  GroupLevelScope& operator=(const GroupLevelScope&) = delete;

 private:
  int saved_;
};

class CAIGroupNode {
 public:
  // A free-standing node: no parent, no children, every cursor free, level 3 (active), key -1.
  explicit CAIGroupNode(int kind = 0);
  // Detaches the node from its parent and its children from it; the children are not
  // destroyed.
  ~CAIGroupNode();
  CAIGroupNode(const CAIGroupNode&) = delete;
  CAIGroupNode& operator=(const CAIGroupNode&) = delete;

  bool IsLeaf() const { return creature != nullptr; }
  // Appends a child; nothing on a leaf or for a child that already has a parent.
  void AddChild(CAIGroupNode* child);
  // Removes a child keeping the order; walks standing after it move back with it, so none
  // skips or repeats a member. Nothing on a leaf or for a node that is no child.
  void RemoveChild(CAIGroupNode* child);
  // Detaches every child (their parent links cleared).
  void RemoveAllChildren();

  int32_t kind = 0;    // the owning controller's mode, or the builder's value
  uint8_t learns = 0;  // the group's decisions record experience
  CAIDecision* decision = nullptr;
  int32_t key = -1;  // a leaf refreshed from a side's memory: its key there
  int32_t centreX = 0, centreY = 0, centreZ = 0;
  int32_t pathNode = -1;
  int32_t spread = 0;
  int32_t owner = 0;
  std::vector<CAIGroupNode*> children;
  CCreature* creature = nullptr;
  CAIGroupNode* parent = nullptr;
  int32_t nextCursor = 0;  // the cursor taken when all eight are busy
  uint8_t cursorFree[kGroupWalkCursors];
  size_t cursorPos[kGroupWalkCursors];
  int32_t cursorSub[kGroupWalkCursors];
  int32_t level = kGroupLevelActive;
};

// --- walks (a cursor 0-7 is the walk's handle) ---
// Starts a walk: the first free cursor, else the one nextCursor names (whose walk restarts).
int GroupFirstMember(CAIGroupNode* node);
// The next creature of the walk, depth-first in child order; null at the end (the cursor is
// then free). A leaf below g_aiMinGroupLevel yields nothing.
CCreature* GroupNextMember(CAIGroupNode* node, int cursor);
// The same walk, yielding the leaves.
CAIGroupNode* NextLeaf(CAIGroupNode* node, int cursor);
// The direct children from the walk's place, leaves below g_aiMinGroupLevel skipped.
CAIGroupNode* NextChild(CAIGroupNode* node, int cursor);
// The number of children NextChild yields, and of creatures a whole walk yields (0 for null).
int CountChildren(CAIGroupNode* node);
int CountMembers(CAIGroupNode* node);
// The first creature a walk yields (the walk is run to its end), null for none or null node.
CCreature* FirstMember(CAIGroupNode* node);
// Whether a walk at the given minimum level yields a creature.
bool HasMemberAtLevel(CAIGroupNode* node, int level);
// Frees every cursor of the node and its descendants.
void ResetWalks(CAIGroupNode* node);
// Makes every leaf of the tree (or the node itself, a leaf) active.
void ActivateAll(CAIGroupNode* node);
// The top of the node's tree.
CAIGroupNode* TopGroup(CAIGroupNode* node);
// Whether ancestor is the node or lies above it.
bool IsAncestorOrSelf(const CAIGroupNode* ancestor, const CAIGroupNode* node);
// Whether the node is the group or lies below it, found by walking down from the group: a node
// that may have been freed since it was met is only compared, never followed.
bool HoldsNode(const CAIGroupNode* group, const CAIGroupNode* node);

// --- group tests ---
// The incremental mean of the members' cells, each difference taken the short way round the
// map (a group straddling the seam stays on the seam), x and y wrapped into the map.
void GroupCentre(CAIGroupNode* node, int& x, int& y, int& z);
// Moves a running mean (x, y, z) of n - 1 points to include one more point by the same rule.
void AddToCentre(int& x, int& y, int& z, int n, int px, int py, int pz);
bool AllMembersOnPathNodes(CAIGroupNode* node);
bool NoMemberBound(CAIGroupNode* node);
bool GroupHasWizard(CAIGroupNode* node);
bool GroupHasRealMember(CAIGroupNode* node);
// The earliest tick a wizard caster could afford the spell, as the armies of the target
// group's members see it (those whose army saw the caster's army cast it); INT_MAX and false
// when no member counts or the caster is no wizard.
bool BestCastWait(CAIGroupNode* targets, CAIGroupNode* casterLeaf, int spell, int& wait);

// The decision the creature's group runs in a controller (0 units, 1 sides): the decision of
// the top of its group chain; null without a leaf.
CAIDecision* GetGroupDecision(const CCreature& creature, int controller);

// A side's memory of enemy creatures, by key.
using CAIEnemyMap = std::map<int, CAIRememberedEnemy>;
// Refreshes a group of remembered enemies from the side's memory: a leaf whose entry is gone or
// was not confirmed at tick drops out (and counts as a change); one whose creature is alive and
// hostile to the army stays active, takes that creature and pulls the node's centre toward it.
// True when any leaf changed or stayed. An army outside 0-7 keeps no leaf.
bool ReconcileAssignments(CAIGroupNode* node, const CAIEnemyMap& enemies, int tick, int army);
