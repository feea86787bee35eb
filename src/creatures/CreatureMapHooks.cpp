// The creature side of the map's and the map view's hooks: every answer comes from the
// creature pool, the army table and the creature types.
#include "creatures/CreatureMapHooks.h"

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureRoutes.h"
#include "graphics/PrintFX.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"

namespace {

const CCreature* Creature(int slot) { return g_creatureArray.InUse(slot); }
CCreature* MutableCreature(int slot) { return g_creatureArray.InUse(slot); }

// The picture a player over the creature shows now, shifted like the body; empty while it
// shows nothing.
DrawLayer PlayerLayer(const CAnimPlayer& player, int printType, int shiftX, int shiftY) {
  DrawLayer layer;
  const CSprite* sprite = player.animation ? player.animation->Sprite() : nullptr;
  if (!player.playing || player.frameStep < 0 || !sprite) return layer;
  const AnimStep& step = player.animation->Step(player.frameStep);
  if (step.value < 0 || step.value >= sprite->FrameCount()) return layer;
  layer.frame = sprite->GetFrame(step.value);
  layer.offsetX = step.x + shiftX;
  layer.offsetY = step.y + shiftY;
  layer.printType = printType;
  return layer;
}

// What spells have put over the creature, in the view's order of its attached pictures: the
// overlay of its states and the rising levitation (bias 7 and 8), the flight of spell state 3,
// the reaction flash and the item's overlay, the undead's rising. The wait overlay and the
// flight are seen through.
void FillAttached(const CCreature& c, int shiftX, int shiftY, DrawLayer (&attached)[7]) {
  attached[0] = PlayerLayer(c.overlayAnim, PRT_TRAIL, shiftX, shiftY);
  if (c.attachAnim1.inUse) attached[1] = PlayerLayer(c.attachAnim1.player, PRT_NORMAL, shiftX, shiftY);
  if (c.spellState == 3) attached[2] = PlayerLayer(c.attachAnim2, PRT_TRAIL, shiftX, shiftY);
  for (int i = 0; i < 3; ++i)
    if (c.attachAnims[i].inUse) attached[3 + i] = PlayerLayer(c.attachAnims[i].player, PRT_NORMAL, shiftX, shiftY);
}

void FillTraits(const CCreatureType& type, CreatureTypeTraits& out) {
  out.size = type.TileSizeXY;
  out.height = type.TileHeight;
  out.airborne = type.CanFly;
  out.movementKind = type.SwimmingAbility;
  out.speed = type.GroundSpeed;
  out.avoidsWater = type.SwimmingAbility < kMovementSwimmer;
}

class MapCreatures : public IMapCreatures {
 public:
  int NextInUse(int after) override {
    for (int slot = after < 0 ? 0 : after + 1; slot < g_creatureArray.highWater; ++slot)
      if (Creature(slot)) return slot;
    return -1;
  }
  bool GetPlace(int slot, CreaturePlace& out) override {
    const CCreature* c = Creature(slot);
    if (!c || !c->type) return false;
    out.x = c->cellX;
    out.y = c->cellY;
    out.level = c->level;
    out.height = c->type->TileHeight;
    out.size = c->type->TileSizeXY;
    out.movementKind = c->type->SwimmingAbility;
    return true;
  }
  int HasRoomAt(int slot, int x, int y, int level) override {
    const CCreature* c = Creature(slot);
    return c && c->HasRoomAt(x, y, level) ? 1 : 0;
  }
  int FitsAt(int slot, int x, int y, int level) override {
    const CCreature* c = Creature(slot);
    if (!c) return 0;
    return g_map.CanOccupy(x, y, level, c->MakeMoveQuery()) && c->HasRoomAt(x, y, level) ? 1 : 0;
  }
  void Relocate(int slot, int x, int y, int level) override {
    if (CCreature* c = MutableCreature(slot)) c->Relocate(x, y, level);
  }
  // No rule writes a creature off as lost to an army: a holder is a holder.
  bool IsLostToArmy(int army, int creature) override { return false; }
  bool GetBody(int slot, CreatureBody& out) override {
    const CCreature* c = Creature(slot);
    if (!c) return false;
    out.onMap = true;
    out.cornerX = c->unitX;
    out.cornerY = c->unitY;
    out.floorZ = c->unitZ;
    out.shape = c->shape;
    return true;
  }
  bool IsEnemyOf(int shooter, int target) override {
    const CCreature* a = Creature(shooter);
    const CCreature* b = Creature(target);
    const CArmy* army = a ? g_armyTable.GetArmy(a->army) : nullptr;
    return army && b && !army->IsAlliedWith(b->army);
  }
  bool IsLitForViewer(int slot) override {
    const CCreature* c = Creature(slot);
    if (!c || !c->IsAlive() || g_localArmy < 0) return false;
    const CArmy* own = g_armyTable.GetArmy(c->army);
    return c->army == g_localArmy || (own && own->SharesVisionWith(g_localArmy));
  }
  bool GetMoveQuery(int slot, CMoveQuery& out) override {
    const CCreature* c = Creature(slot);
    if (!c) return false;
    out = c->MakeMoveQuery();
    return true;
  }
  int RateNode(int slot, int node) override {
    const CCreature* c = Creature(slot);
    return c ? c->RateNode(node) : 0;
  }
  bool GetCreatureType(int type, CreatureTypeTraits& out) override {
    if (type < 0 || type >= kCreatureTypes) return false;
    FillTraits(g_creatureTypes[type], out);
    return true;
  }
  bool GetRouteTraits(int slot, CreatureTypeTraits& out) override {
    const CCreature* c = Creature(slot);
    if (!c || !c->type) return false;
    FillTraits(*c->type, out);
    return true;
  }
  int GetFacing(int slot) override {
    const CCreature* c = Creature(slot);
    return c ? c->facing : 0;
  }
  // The creature's own step test, for the cell searches planned for it.
  int CanMoveStraightTo(int slot, int x0, int y0, int z0, int x1, int y1, int z1, int flag, int* kind) override {
    return CreatureStepTest(slot, x0, y0, z0, x1, y1, z1, flag, kind);
  }
  bool GetLead(int slot, CreatureLead& out) override { return CreatureLeadOf(slot, out.x, out.y, out.z, out.frames); }
};

MapCreatures g_mapCreatures;

class ViewCreatures : public IMapViewCreatures {
 public:
  // The view prepares the creatures in slot order before it walks the cells: the first one
  // starts the frame's count of the player's targets.
  void PrepareDraw(int slot) override {
    CCreature* c = MutableCreature(slot);
    if (!c) return;
    c->viewMark = 0;
    if (slot == g_mapCreatures.NextInUse(-1)) CountTargetMarks();
  }
  bool GetDrawInfo(int slot, int rotation, CreatureDrawInfo& out) override {
    CCreature* c = MutableCreature(slot);
    if (!c || !c->type) return false;
    // The view may have turned since the creature last turned its body.
    g_creatureViewRotation = rotation & 3;
    int viewFacing = (c->facing - 2 * g_creatureViewRotation) & 7;
    if (c->mirrored) viewFacing = (viewFacing - 4) & 7;
    if (viewFacing != c->viewFacing) c->UpdateViewFacing();
    out.type = c->typeNumber;
    out.owner = c->army;
    // Pictures hang from the middle of the first cell on the floor the creature stands on
    // (the frame offsets of a 2 x 2 type follow the rotation); the picture sorts by the cell
    // of its footprint nearest the viewer.
    out.x = out.anchorX = c->unitX + kUnitsPerTile / 2;
    out.y = out.anchorY = c->unitY + kUnitsPerTile / 2;
    out.z = out.anchorZ = c->unitZ;
    if (c->type->TileSizeXY == 2) {
      int nearest = g_mapView.MapToScreen(out.x, out.y, out.z).y;
      for (int d = 1; d < 4; ++d) {
        const int cx = out.x + kUnitsPerTile * (d & 1), cy = out.y + kUnitsPerTile * (d >> 1);
        const int screenY = g_mapView.MapToScreen(cx, cy, out.z).y;
        if (screenY > nearest) {
          nearest = screenY;
          out.anchorX = cx;
          out.anchorY = cy;
        }
      }
    }
    out.shadowZ = c->unitZ;
    out.body.frame = c->GetCurrentFrame(out.body.offsetX, out.body.offsetY);
    out.body.printType = PRT_NORMAL;
    // Overlays follow the body's shift for a type two tiles wide.
    int shiftX = 0, shiftY = 0;
    if (out.body.frame) {
      const AnimStep& step = c->bodyAnim.animation->Step(c->bodyAnim.frameStep);
      shiftX = out.body.offsetX - step.x;
      shiftY = out.body.offsetY - step.y;
    }
    FillAttached(*c, shiftX, shiftY, out.attached);
    if (const PrintFXRecord* record = c->printFX.CurrentRecord()) {
      const int step = c->printFX.step;
      out.body.printType = record->printType1[step];
      out.secondPrintType = record->printType2[step];
      out.thirdPrintType = record->printType3[step];
      out.shadeOffset = record->lightAdjuster[step];
    }
    out.state = c->spellState;
    FillCreatureMarks(*c, g_creatureViewRotation, shiftX, shiftY, out);
    return true;
  }
  void SetInBand(int slot) override {
    if (CCreature* c = MutableCreature(slot)) c->viewMark = 1;
  }
  bool GetOrderInfo(int slot, CreatureOrderInfo& out) override {
    const CCreature* c = Creature(slot);
    if (!c || !c->type) return false;
    out.inUse = true;
    out.selected = c->selected != 0;
    out.inspected = c->inspected != 0;
    // A living creature on the map takes clicks and orders aimed at it: the player's own are
    // selected, another army's inspected or attacked (Select tells them apart). Only the
    // player's own would leave every enemy beyond the reach of an attack order.
    out.active = c->inUse && c->IsAlive() && c->typeNumber != creature_kind::kUnseen;
    out.type = c->typeNumber;
    out.wizard = c->IsWizard() ? TypeToWizardNumber(c->typeNumber) : 0;
    out.owner = c->army;
    out.typeHeight = c->type->TileHeight;
    out.group = c->group + 1;
    out.hasGoal = c->order == ORDER_WALK_TO_POS;
    out.goalX = c->route.goalX;
    out.goalY = c->route.goalY;
    out.goalLevel = c->route.goalLevel;
    out.x = c->cellX;
    out.y = c->cellY;
    out.level = c->level;
    return true;
  }
  void Select(int slot) override {
    if (CCreature* c = MutableCreature(slot)) c->Select();
  }
  void Deselect(int slot) override {
    if (CCreature* c = MutableCreature(slot)) c->Deselect();
  }
  void SelectGroup(int slot) override {
    if (const CCreature* c = Creature(slot)) g_creatureArray.SelectGroup(*c);
  }
  // The selected creatures of one click share a turn of the finder: it starts again with
  // another click (another frame or another cell).
  bool FindFormationCell(int slot, int x, int y, int level, CellPos& goal) override {
    CCreature* c = MutableCreature(slot);
    if (!c) return false;
    c->FindFormationCell(x, y, level, formationTurn.Restarts(x, y, level), goal.x, goal.y, goal.z);
    return true;
  }
  bool FindNearbyFreeCell(int slot, const CellPos& place, CellPos& goal) override {
    CCreature* c = MutableCreature(slot);
    if (!c) return false;
    c->FindNearbyFreeCell(place.x, place.y, place.z, nearbyTurn.Restarts(place.x, place.y, place.z), goal.x, goal.y,
                          goal.z);
    return true;
  }
  struct Turn {
    int frame = -1, x = -1, y = -1, level = -1;
    int Restarts(int cx, int cy, int cl) {
      const int now = g_creatureBattle->FrameCounter();
      const bool again = now != frame || cx != x || cy != y || cl != level;
      frame = now;
      x = cx;
      y = cy;
      level = cl;
      return again ? 1 : 0;
    }
  } formationTurn, nearbyTurn;
  int LocalWizard() override {
    const CCreature* wizard = g_armyTable.GetWizard(g_localArmy);
    return wizard && wizard->inUse ? wizard->index : -1;
  }
  int ChosenSpell(int slot) override {
    const CCreature* c = Creature(slot);
    if (!c || c->selectedSpell < 0 || c->selectedSpell >= c->spellCount) return -1;
    return c->spells[c->selectedSpell];
  }
  void SelectSpell(int slot, int spell) override {
    if (CCreature* c = MutableCreature(slot)) c->SelectSpell(spell);
  }
};

ViewCreatures g_viewCreatures;

}  // namespace

void InstallCreatures() {
  g_mapHooks.creatures = &g_mapCreatures;
  g_mapViewHooks.creatures = &g_viewCreatures;
}
