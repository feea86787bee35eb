// The world objects a deployment puts down, with the values of their object type.
#include "battle/ScriptActions.h"
#include "creatures/MapObject.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

// A cell that takes an object: inside the map, with no object and no creature in it.
bool TakesObject(int x, int y, int z) {
  const CMapCell* cell = g_map.CellIfInside(x, y, z);
  return cell && cell->object == kNoLink && cell->occupant == kNoLink;
}

}  // namespace

namespace script_actions {

bool ObjectValues(int kind, int32_t values[4]) {
  const CMapObjectType* type = g_mapObjects.Type(kind);
  if (!type) return false;
  values[0] = type->Data1, values[1] = type->Data2, values[2] = type->Data3, values[3] = type->Data4;
  return true;
}

bool PutDownObject(int kind, const Place& place) {
  int32_t values[4];
  if (!place.found || !ObjectValues(kind, values)) return false;
  // The place itself, else the first free cell of the ring around it.
  int x = place.x, y = place.y;
  bool found = TakesObject(x, y, place.z);
  for (int dy = -1; dy <= 1 && !found; ++dy)
    for (int dx = -1; dx <= 1 && !found; ++dx) {
      x = CWrapCoord::WrapX(place.x + dx), y = CWrapCoord::WrapY(place.y + dy);
      found = TakesObject(x, y, place.z);
    }
  CMapObject* object = found ? g_mapObjects.FindFree() : nullptr;
  if (!object) return false;
  object->SetPosition(x, y, place.z);
  if (!object->SetKind(kind)) return false;
  for (int i = 0; i < 4; ++i) object->data[i] = values[i];
  return true;
}

}  // namespace script_actions
