// The world objects as the subsystems below see them: the map's object hooks (chains,
// placement, the map build's effects) and the map view's pictures of them.
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureSurroundings.h"
#include "creatures/MapObject.h"
#include "graphics/Sprite.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/MapViewHooks.h"

namespace {

class CMapObjectHooks : public IMapObjects {
 public:
  int NextInCell(int object) override {
    const CMapObject* record = g_mapObjects.At(object);
    return record ? record->next : kNoNextObject;
  }
  void CreateEffect(int object) override {
    if (CMapObject* record = g_mapObjects.InUse(object)) record->CreateEffect();
  }
  int FindFree() override {
    const CMapObject* record = g_mapObjects.FindFree();
    return record ? record->index : -1;
  }
  void SetKind(int object, int kind) override {
    if (CMapObject* record = g_mapObjects.At(object)) record->SetKind(kind);
  }
  void Place(int object, int x, int y, int level) override {
    if (CMapObject* record = g_mapObjects.At(object)) record->SetPosition(x, y, level);
  }
  int ArtefactTypeCount() override { return g_mapObjects.TypeCount(); }
};

CMapObjectHooks g_mapObjectHooks;

// The behaviour's walk over the objects lying about: the i-th object in use.
class CMapObjectSurroundings : public ICreatureSurroundings {
 public:
  // Walks go 0, 1, 2 ...: the next one starts after the slot the last one answered.
  bool Object(int i, SurroundingObject& out) override {
    int seen = 0, slot = 0;
    if (i > 0 && i == lastIndex_ + 1) {
      seen = i;
      slot = lastSlot_ + 1;
    }
    for (; slot < g_mapObjects.highWater; ++slot) {
      const CMapObject* object = g_mapObjects.InUse(slot);
      if (!object || seen++ != i) continue;
      out.kind = object->kind;
      out.x = object->cellX;
      out.y = object->cellY;
      out.level = object->level;
      lastIndex_ = i;
      lastSlot_ = slot;
      return true;
    }
    lastIndex_ = -2;
    return false;
  }

 private:
  int lastIndex_ = -2, lastSlot_ = -1;
};

CMapObjectSurroundings g_mapObjectSurroundings;

}  // namespace

bool GetMapObjectDrawInfo(int object, ObjectDrawInfo& out) {
  const CMapObject* record = g_mapObjects.InUse(object);
  if (!record) return false;
  out.x = record->unitX + kUnitsPerTile / 2;
  out.y = record->unitY + kUnitsPerTile / 2;
  out.z = record->unitZ;
  const CAnimPlayer& player = record->anim;
  const CSprite* sprite = player.animation ? player.animation->Sprite() : nullptr;
  if (!player.playing || player.frameStep < 0 || !sprite || sprite->FrameCount() == 0) return true;
  const AnimStep& step = player.animation->Step(player.frameStep);
  if (step.value < 0 || step.value >= sprite->FrameCount()) return true;
  out.picture.frame = sprite->GetFrame(step.value);
  out.picture.offsetX = step.x;
  out.picture.offsetY = step.y;
  GlobalAnimInfo entry;
  const CMapObjectType* type = g_mapObjects.Type(record->kind);
  if (type && g_creatureEffects->GlobalAnimEntry(type->AnimNum, entry) && entry.printType > 0)
    out.picture.printType = entry.printType;
  return true;
}

void InstallMapObjects() {
  g_mapHooks.objects = &g_mapObjectHooks;
  g_creatureSurroundings.Install(&g_mapObjectSurroundings);
}
