// The number keys' groups of the local army: Ctrl gives the selected creatures a group, the
// key alone selects it (Shift keeps the rest of the selection), and clicking a grouped creature
// can select its whole group.
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "platform/KeyState.h"

namespace {
bool HasLocalArmy() { return g_localArmy >= 0 && g_localArmy < kArmyCount; }
}  // namespace

void CCreatureArray::SelectAt(int group, int focus) {
  if (!HasLocalArmy()) return;
  const bool ctrl = platform::IsKeyDownNow(platform::kKeyControl);
  const bool shift = platform::IsKeyDownNow(platform::kKeyShift);
  bool found = false, allSelected = true, regrouped = false;
  ForEachInUse([&](CCreature& creature) {
    if (creature.army != g_localArmy) return;
    if (ctrl) {
      if (creature.selected) {
        creature.group = group;
        regrouped = true;
      } else if (creature.group == group) {
        creature.group = -1;
      }
      return;
    }
    if (creature.group == group) {
      found = true;
      if (!creature.selected) {
        allSelected = false;
        creature.Select();
      }
    } else if (!shift) {
      if (creature.selected)
        creature.Deselect();
      else
        creature.inspected = 0;
    }
  });
  if (found && (allSelected || focus)) g_creatureBattle->CycleCreatureFocus();
  if (found || regrouped) selectionChanged = 1;
}

void CCreatureArray::SelectGroup(const CCreature& chosen) {
  if (!HasLocalArmy() || chosen.army != g_localArmy || chosen.group == -1) return;
  const int group = chosen.group;
  bool anyInUse = false;
  ForEachInUse([&](CCreature& creature) {
    if (creature.army != g_localArmy) return;
    anyInUse = true;
    if (creature.group == group && creature.IsSelectable()) creature.Select();
  });
  if (anyInUse) selectionChanged = 1;
}
