// The creature pool's answers to what effects ask of creatures.
#include "magic/EffectCreatures.h"

#include "creatures/CreatureArray.h"
#include "magic/EffectWorld.h"
#include "map/MapUnits.h"

namespace {

class EffectCreatures : public IEffectWorld {
 public:
  bool GetCreature(int slot, EffectCreature& out) override {
    const CCreature* c = g_creatureArray.InUse(slot);
    if (!c || !c->type) return false;
    out.x = c->unitX;
    out.y = c->unitY;
    out.z = c->unitZ;
    out.cellX = c->cellX;
    out.cellY = c->cellY;
    out.level = c->level;
    out.type = c->typeNumber;
    out.army = c->army;
    out.health = c->health;
    out.halfWidth = kUnitsPerTile / 2 * c->type->TileSizeXY;
    out.heightLevels = c->type->TileHeight;
    out.heightOffset = c->type->centreHeight;
    out.footprint = c->type->TileSizeXY;
    out.sizeW = c->type->TileSizeXY;
    out.sizeH = c->type->TileHeight;
    out.carriedItems[0] = c->carriedItems[0];
    out.carriedItems[1] = c->carriedItems[1];
    out.animation = c->bodyAnim.sequence;
    out.localPlayers = c->IsLocalPlayers();
    out.wizardType = c->IsWizard();
    out.routeX = c->cellX;
    out.routeY = c->cellY;
    out.routeLevel = c->level;
    return true;
  }
  void TakeDamage(int slot, int amount, int army, int item0, int item1) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->AdjustHealth(-amount, army, nullptr, 1);
  }
  void Immobilise(int slot, int time, int kind) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) {
      c->heldTime = time;
      c->heldKind = kind;
    }
  }
  void AddMana(int slot, int amount) override {
    if (CCreature* c = g_creatureArray.InUse(slot)) c->AddMana(amount);
  }
};

EffectCreatures g_effectCreatures;

}  // namespace

void InstallEffectCreatures() { g_effectWorld.Install(&g_effectCreatures); }
