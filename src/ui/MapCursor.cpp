#include "ui/MapCursor.h"

#include <algorithm>

#include "graphics/BattleFacing.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"

namespace {

constexpr int kTerrainImpassable = 0x10;
constexpr int kTerrainLiquid = 16;

// An order whose target a selected creature can take.
bool OrderFitsSelection(CMapCursorFacts& facts, const MapCursorCreature* selected, int count) {
  const int order = facts.CurrentOrder();
  const int targetKind = facts.OrderTargetKind(order);
  if (targetKind == 0) return false;
  for (int i = 0; i < count; ++i) {
    const MapCursorCreature& c = selected[i];
    if (((c.typeFlags & 0x02) && order < 7) || (c.isWizardType && targetKind == 1) ||
        ((c.typeFlags & 0x04) && targetKind == 2))
      return true;
  }
  return false;
}

int CreaturesSelectedCursor(CMapCursorFacts& facts, int x, int y, int level, const MapCursorCreature* selected,
                            int count) {
  const CMouseEvent& mouse = LatestMouseEvent();
  MapCursorCreature under;
  const bool hasCreature = facts.CreatureUnderPointer(under);
  const bool living = hasCreature && under.living;
  if (living && (facts.LocalRelationToward(under.army) == 0 || mouse.ctrl)) return 0;
  if (facts.CellTerrainFlags(x, y, level) & kTerrainImpassable) return 18;
  if (!hasCreature && mouse.ctrl) return 0;
  if (mouse.alt && living && facts.LocalRelationToward(under.army) != 0) return 21;
  // A walk into a liquid ends on the cell above it.
  int goalLevel = level;
  if (facts.CellTerrainKind(x, y, level) == kTerrainLiquid && facts.CellInsideMap(x, y, level + 1))
    goalLevel = level + 1;
  for (int i = 0; i < count; ++i) {
    const MapCursorCreature& c = selected[i];
    if (c.moving && c.destinationX == x && c.destinationY == y && c.destinationLevel == goalLevel) return 2;
  }
  return 1;
}

int SpellCursor(CMapCursorFacts& facts) {
  if (!facts.HasLocalWizard()) return 3;
  if (facts.LocalWizardMana() < facts.ChosenSpellCost()) return 19;
  const bool alt = LatestMouseEvent().alt != 0;
  switch (facts.SpellTargetTest()) {
    case 0:
      return 5;
    case 1:
      facts.SetTargetingState(1);
      return 5;
    case 4:
      return 3;
    case 5:
      return 20;
    case 2:
    case 3:
    case 6:
    case 7:
      return alt ? 5 : 3;
    default:
      return kCursorNormal;
  }
}

}  // namespace

int ChooseMapCursor(CMapCursorFacts& facts, int x, int y, int level) {
  if (!facts.CellInsideMap(x, y, level)) return 3;
  if (const int forced = facts.ForcedCursorKind(); forced != kCursorNone) return forced;
  if (!facts.HasLocalArmy()) return kCursorNormal;
  MapCursorCreature selected[kMaxCursorSelection];
  const int count = std::clamp(facts.SelectedLocalCreatures(selected, kMaxCursorSelection), 0, kMaxCursorSelection);
  if (facts.TargetingState() == 3 && facts.SelectedCount() > 0 && !LatestMouseEvent().alt &&
      OrderFitsSelection(facts, selected, count))
    return 17;
  switch (BattleState().mouseMode) {
    case kMouseModeCreatures:
      return CreaturesSelectedCursor(facts, x, y, level, selected, count);
    case kMouseModeSpell:
      return SpellCursor(facts);
    case kMouseModeBand:
      return 14;
    default:
      return kCursorNormal;
  }
}
