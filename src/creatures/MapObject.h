#pragma once
// World objects: the things that lie on the battle map's cells without being creatures or
// terrain (items, artifacts, chests, mana sprites, places of power). Each has a kind, an
// animation and four data values taken from its object type (cfg\objects.cfg). The records
// live in one pool of 500 (g_mapObjects); a cell names its first object and each object the
// next one in the same cell, so objects are named by slot number everywhere, never by
// pointer.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "graphics/Animation.h"

inline constexpr int kMapObjectCapacity = 500;
inline constexpr uint16_t kNoNextObject = 0xFFFF;

// Object kinds with rules of their own.
namespace object_kind {
inline constexpr int kManaSprite = 19;
inline constexpr int kChest = 50;
inline constexpr int kPlaceOfPower = 61;
inline constexpr int kLastDrawnKind = 96;  // kinds above glow (an effect of kind 60 on the cell)
inline constexpr int kLastArtifactKind = 122;
// The two kinds that have no animation of their own (drawn by terrain or by an effect).
inline constexpr bool HasOwnAnimation(int kind) { return kind != kChest && kind != kPlaceOfPower; }
}  // namespace object_kind

// Who may use an object (UsedBy).
enum ObjectUser : int32_t { kUsedByNone = 0, kUsedByWizard = 1, kUsedByCreature = 2 };

// One OBJECT_n section, fields in the file's order of meaning.
struct CMapObjectType {
  int32_t Data1 = 0, Data2 = 0, Data3 = 0, Data4 = 1;
  int32_t Occurance = 1;
  int32_t UsedBy = kUsedByNone;
  int32_t AnimNum = 1;  // entry of the global animation table
  int32_t Weighting = 0;
};

class CMapObjectArray;

class CMapObject {
 public:
  // Cell and unit position; the unit height stands on the cell's terrain.
  void SetPosition(int x, int y, int level);
  // Gives the positioned object its kind and puts it on the map (end of its cell's chain).
  // A kind outside the type table is refused: the record stays as it was. 1 when placed.
  int SetKind(int kind);
  // Switches to global animation entry n (its anim value and first sequence).
  void SetAnim(int n);
  // Takes the object off the map.
  void Remove();
  // Turns the object into an effect of kind 61 and takes it off the map; nothing without a
  // free effect.
  void CreateEffect();
  // The record as constructed: free, kind -1, data and node -1, no effect.
  void Clear();
  // Looks its path node up from its cell (the query of a one-tile walker that may swim).
  void LookUpNode();

  int32_t index = 0;
  int32_t inUse = 0;
  int32_t cellX = 0, cellY = 0, level = 0;
  int32_t unitX = 0, unitY = 0, unitZ = 0;
  int32_t spare = 0;
  CMapObjectArray* owner = nullptr;
  uint16_t next = kNoNextObject;
  int32_t kind = -1;
  CAnimPlayer anim;
  int32_t animValue = 0;   // the third value of its global animation entry
  int32_t animValue2 = 0;  // kept with the object in saved games
  int32_t effect = -1;     // effect pool index tied to the object, -1 none
  int32_t data[4] = {-1, -1, -1, -1};
  int32_t node = -1;  // nearest reachable path node of its cell

 private:
  void LinkIntoCell();
  void UnlinkFromCell();
  void StartGlow();
};

class CMapObjectArray {
 public:
  CMapObjectArray();

  // Reads the object types from the file (relative to the current directory); always 1. A
  // missing file leaves no types.
  int LoadTypes(const char* fileName);
  // First free record, null when all are in use.
  CMapObject* FindFree();
  // The record of a slot, null outside the pool.
  CMapObject* At(int slot);
  // The record of a slot when it lies on the map, else null.
  CMapObject* InUse(int slot);
  // One animation tick of every object; one-shot animations that end take their object away.
  void UpdateAnims();
  // Iterator over the objects in use: set iterIndex to 0 first. Null at the end.
  CMapObject* NextInUse();
  // Looks every object's path node up again (battle load).
  void ComputeNodes();
  // Every record free again (a new battle).
  void Reset();
  // Lowers the high-water count below a record that left the map.
  void DropHighWater();

  // The type of a kind, null outside the table.
  const CMapObjectType* Type(int kind) const;
  int TypeCount() const { return typeCount; }

  // The saved-game block: bytes moved, or -1. A block that fails any check loads as -1 and
  // changes nothing.
  int Save(FILE* file);
  int Load(FILE* file);

  std::vector<CMapObject> records;
  int32_t capacity = kMapObjectCapacity;
  std::vector<CMapObjectType> types;
  int32_t typeCount = 0;
  int32_t iterIndex = 0;
  int32_t highWater = 0;
};

extern CMapObjectArray g_mapObjects;

struct ObjectDrawInfo;
// What the map view draws of an object in use (no picture while its animation shows none);
// false for a free record.
bool GetMapObjectDrawInfo(int object, ObjectDrawInfo& out);

// Installs the world objects' side of the map hooks (start-up).
void InstallMapObjects();
