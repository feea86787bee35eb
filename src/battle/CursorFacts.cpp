// What the map cursor asks of the battle. The answers read this machine's view (the
// selection, the pointer, the local army); nothing here changes the battle, and the spell
// test draws nothing from its generators.
#include "battle/CursorFacts.h"

#include "battle/BattleKeys.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "magic/SpellCast.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/TerrainType.h"
#include "ui/Cursor.h"
#include "ui/MapCursor.h"
#include "ui/SpeechCtrl.h"

namespace {

// Spells whose target type takes the cell under the pointer, not the creature on it.
constexpr int kCellTargets[] = {1, 32};

MapCursorCreature Describe(const CCreature& c) {
  MapCursorCreature out;
  out.living = c.IsAlive() ? 1 : 0;
  out.army = c.army;
  out.moving = c.GetCurrentOrder() == ORDER_WALK_TO_POS ? 1 : 0;
  out.destinationX = c.orderState.goalX;
  out.destinationY = c.orderState.goalY;
  out.destinationLevel = c.orderState.goalLevel;
  out.isWizardType = c.IsWizard() ? 1 : 0;
  return out;
}

class CBattleCursorFacts : public CMapCursorFacts {
 public:
  bool CellInsideMap(int x, int y, int level) override { return g_map.IsInside(x, y, level); }
  // A speech holds the pointer to the plain arrow; at a screen edge the scrolling arrow
  // stays over the map (kind 22 off the edges forces nothing).
  int ForcedCursorKind() override { return g_speechCtrl.IsActive() ? kCursorNormal : g_edgeCursorKind; }
  bool HasLocalArmy() override { return g_localArmy >= 0 && g_localArmy < kArmyCount; }
  int TargetingState() override { return targeting_; }
  void SetTargetingState(int state) override { targeting_ = state; }
  int SelectedCount() override { return g_selectionCount; }
  // The battle keeps no table of orders: no order waits for a target.
  int CurrentOrder() override { return 0; }
  int OrderTargetKind(int) override { return 0; }
  int SelectedLocalCreatures(MapCursorCreature* out, int capacity) override {
    int count = 0;
    g_creatureArray.ForEachInUse([&](CCreature& c) {
      if (count < capacity && c.selected && c.army == g_localArmy) out[count++] = Describe(c);
    });
    return count;
  }
  bool CreatureUnderPointer(MapCursorCreature& out) override {
    const CCreature* c = HoveredCreature();
    if (!c) return false;
    out = Describe(*c);
    return true;
  }
  int LocalRelationToward(int army) override {
    const CArmy* local = g_armyTable.GetArmy(g_localArmy);
    if (!local || army < 0 || army >= kArmyCount) return 0;
    return local->alliance[army];
  }
  int CellTerrainFlags(int x, int y, int level) override {
    return g_map.IsInside(x, y, level) ? TerrainOf(g_map.CellAt(x, y, level).terrain).typeFlags : 0;
  }
  int CellTerrainKind(int x, int y, int level) override {
    return g_map.IsInside(x, y, level) ? TerrainOf(g_map.CellAt(x, y, level).terrain).kind : 0;
  }
  bool HasLocalWizard() override { return LocalWizard() != nullptr; }
  int LocalWizardMana() override {
    const CCreature* wizard = LocalWizard();
    return wizard ? wizard->mana >> 8 : 0;
  }
  int ChosenSpellCost() override {
    const int spell = ChosenSpell();
    return spell >= 0 ? g_spellDefs[spell].ManaCost : 0;
  }
  // From the wizard to the creature under the pointer, or to the middle of the cell when
  // there is none or the spell takes the cell.
  int SpellTargetTest() override {
    const CCreature* wizard = LocalWizard();
    const int spell = ChosenSpell();
    if (!wizard || spell < 0) return -1;
    const CCreature* hovered = HoveredCreature();
    int target = hovered ? hovered->index : -1;
    for (int cellTarget : kCellTargets)
      if (g_spellDefs[spell].AllowedTargets == cellTarget) target = -1;
    const CMapView& view = g_mapView;
    return TestSpellTargetFrom(wizard->index, spell, target, view.hoverCellX * 32 + 16, view.hoverCellY * 32 + 16,
                               view.hoverLevel * 16);
  }

 private:
  static const CCreature* LocalWizard() { return g_armyTable.GetWizard(g_localArmy); }
  // The spell of the wizard's chosen slot, -1 none.
  static int ChosenSpell() {
    const CCreature* wizard = LocalWizard();
    if (!wizard || wizard->selectedSpell < 0 || wizard->selectedSpell >= kCreatureSpells) return -1;
    const int spell = wizard->spells[wizard->selectedSpell];
    return spell >= 0 && spell < kSpellCount ? spell : -1;
  }
  static const CCreature* HoveredCreature() {
    if (g_mapView.hoverKind != kHoverCreature || g_mapView.hoverCreature < 0) return nullptr;
    return g_creatureArray.InUse(g_mapView.hoverCreature);
  }

  int targeting_ = 0;
};

}  // namespace

CMapCursorFacts& BattleCursorFacts() {
  static CBattleCursorFacts facts;
  return facts;
}
