#pragma once
// CMap: the one battle map. A torus of W x H tiles with L levels of 12-byte cells (x fastest,
// then y, then level), with the lists and tables that belong to the map: placements, regions
// of power, the water level, the animated cells, the light buffers and the event areas.

#include <cstdint>
#include <cstdio>
#include <list>
#include <memory>
#include <vector>

#include "map/MapCell.h"
#include "map/MapPlacement.h"
#include "map/MoveQuery.h"
#include "map/TerrainAnimation.h"
#include "map/TerrainType.h"

// A cell position; z is the level.
struct CellPos {
  int x = 0, y = 0, z = 0;
  bool operator==(const CellPos& o) const { return x == o.x && y == o.y && z == o.z; }
};

// A place where mana sprites appear.
struct CManaSite {
  int32_t x = 0, y = 0, level = 0;
};

// Where a stepped straight move goes: its target cell and the shape of its path (kept for
// the creature code, which owns its meaning).
struct CLineMoveParams {
  int targetX = 0, targetY = 0, targetLevel = 0;
  int shape[4] = {};
};

// A section map file read: its 76-byte header (19 integers) and its cells.
struct CSectionImage {
  int32_t header[19] = {};
  std::vector<CMapCell> cells;
};

// Parses a section map file: 1, or 0 for a file of the wrong size. An unknown format ends
// the program after its box.
int ParseSectionFile(const uint8_t* data, size_t size, CSectionImage& image);

struct CRegionOfPower {
  int32_t x = 0, y = 0, level = 0;
  int32_t fourth = 0;  // taken by a wizard's deployment
  int32_t value = 0;   // its entry node in the path network, -1 none
};

// One animated cell: the cell (null when gone) and the player stepping its terrain.
struct CAnimatedCell {
  CMapCell* cell = nullptr;
  std::unique_ptr<ITerrainAnimPlayer> player;
};

class CMap {
 public:
  static constexpr int kMinSize = 43;
  static constexpr int kMaxLevels = 32;   // size of the level offset table
  static constexpr int kMaxHeight = 128;  // size of the row offset table
  static constexpr int kMaxWidth = 128;   // kept like the height, so sizes stay small
  static constexpr int kMaxRegions = 15;
  static constexpr int kPlayers = 8;
  static constexpr int kLightBuffers = 5;
  static constexpr int kHeaderWords = 19;  // the 76-byte header
  static constexpr int kLightRanges = 33;  // light sources have a diameter of 1 to 33
  static constexpr int kLightPatternBytes = 23409;

  CMap();
  ~CMap();
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;

  // --- header (76 bytes, also the header of a section map file) -------------------------
  int32_t format = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t levels = 0;
  int32_t cellsPerLevel = 0;
  int32_t cellCount = 0;
  int32_t sectionsX = 0;
  int32_t sectionsY = 0;
  int32_t reserved[8] = {};
  int32_t sectionValues[3] = {};

  CMapCell* cells = nullptr;  // cellCount cells, owned
  int32_t sectionSize = 0;
  CMapPlacement deploymentZones;
  CMapPlacement otherPlacements;
  CRegionOfPower regions[kMaxRegions];
  int32_t regionHolders[kMaxRegions][kPlayers];   // the army each player last saw holding it, -1 none
  int32_t regionCounters[kMaxRegions][kPlayers];  // frames since the holder changed
  int32_t deploymentTable[28] = {};
  int32_t mapTable[123] = {};
  std::vector<int8_t> light[kLightBuffers];  // see the light map
  int32_t lightBufferSize = 0;
  std::list<CAnimatedCell> animatedCells;
  int32_t waterLevel = 0;
  int32_t regionCursor = 0;  // round-robin cursor over the regions, kept for their users
  int32_t maxRegionsOfPower = 0;
  int32_t manaSpriteCount = 0;
  int32_t maxManaSprites = 0;              // from the map configuration or the game settings
  std::vector<CManaSite> manaSpriteSites;  // filled by the deployment
  int32_t maxWaterLevel = 0;
  int32_t minWaterLevel = 0;
  int32_t lightEnabled[2] = {};                   // the creature pass and the effect pass
  int8_t lightPatterns[kLightPatternBytes] = {};  // cubes of edge 17 down to 1, end to end
  int32_t patternOffset[kLightRanges] = {};       // per diameter - 1: where its cube starts
  uint8_t patternEdge[kLightRanges] = {};         // per diameter - 1: its cube's edge
  int32_t effectsActive = 0;                      // the effect pass is under way
  int32_t effectsPresent = 0;                     // an effect gave light in the last pass
  int32_t lightSelector = 0;                      // where the last creature pass went: 1 shown, 0 creature result
  // The refresh spread over frames.
  int32_t creaturePhase = 0, creaturesLeft = 0, creatureCursor = -1;
  int32_t effectPhase = 0, effectsLeft = 0, effectCursor = -1;
  int32_t fullRefresh = 1;
  int32_t levelOffset[kMaxLevels] = {};  // z * cellsPerLevel
  int32_t rowOffset[kMaxHeight] = {};    // y * width
  CEventAreas eventAreas;
  int32_t backgroundDirty = 0;  // a terrain change waits to be redrawn by the map view
  int32_t viewFlag = 0;

  // --- creation and addressing ---------------------------------------------------------
  // 1 when made; a size below the minimum or above the tables is refused with a box and 0.
  int Create(int width, int height, int levels, int sectionsX, int sectionsY);
  // Empties the header, frees the cells, the light buffers and the animated cells; no
  // region is held.
  void Clear();
  bool HasCells() const { return cells != nullptr; }
  int GetWidth() const { return width; }
  int GetHeight() const { return height; }
  int GetLevelCount() const { return levels; }
  bool IsInside(int x, int y, int level) const {
    return x >= 0 && x < width && y >= 0 && y < height && level >= 0 && level < levels;
  }
  // The cell at a position inside the map (no wrap, no check).
  CMapCell& CellAt(int x, int y, int level) const { return cells[x + rowOffset[y] + levelOffset[level]]; }
  // The cell with x and y wrapped; null when the level is outside the map or there are no cells.
  CMapCell* CellAtWrapped(int x, int y, int level) const;
  // The cell inside the map, or null.
  CMapCell* CellIfInside(int x, int y, int level) const {
    return cells && IsInside(x, y, level) ? &CellAt(x, y, level) : nullptr;
  }
  // Fire burns in the cell (x and y wrapped): its 0x10 mark, unless that mark is the map
  // data's shallow water, in a liquid's cell or under the water level, where no fire burns.
  bool FireBurnsIn(int x, int y, int level) const;
  // A trap holds the cell (x and y wrapped): its 0x20 mark without 0x10, with the trap's
  // effect linked in it. The map data's deep water carries the same mark and no effect.
  bool TrapHoldsIn(int x, int y, int level) const;
  int CellIndex(int x, int y, int level) const { return x + rowOffset[y] + levelOffset[level]; }
  int CellIndexFromPointer(const CMapCell* cell) const;
  CMapCell* CellPointerFromIndex(int index) const;
  // Saved effects refer to cells by number.
  int CellToNumber(const CMapCell* cell) const { return CellIndexFromPointer(cell); }
  CMapCell* NumberToCell(int number) const { return CellPointerFromIndex(number); }
  // The position of a cell of the array; false (and zeros) for a pointer outside it.
  bool UnpackCellOffset(const CMapCell* cell, int& x, int& y, int& level) const;

  // --- building from sections and the saved game ----------------------------------------
  // Generates the region's grid of sections from the seed and builds the map from them.
  int Build(const char* configFile, int region, int seed);
  int ReadSectionFile(const char* name, CSectionImage& image) const;
  // Copies a block of sectionSize x sectionSize x blockLevels cells turned into place.
  void PasteSection(const CMapCell* block, int blockLevels, int x0, int y0, int turn);
  void CheckSectionPlacements(const CMapPlacement& list, const CMapCell* sectionCells, int perLevel, int sectionWidth,
                              int sectionCells_) const;
  void AddSectionPlacements(const CMapPlacement& section, int x0, int y0, int turn, int width, int height);
  void AddSectionEventAreas(const CEventAreas& section, int x0, int y0, int turn, int width, int height);
  void WriteDeploymentLog(int region) const;
  // The map's block of a saved game: bytes written or read, -1 on a failure. A failed load
  // leaves the map as it was.
  int Save(FILE* file) const;
  int Load(FILE* file);
  // Exchanges everything the map holds with another map.
  void SwapContents(CMap& other);

  // --- terrain shapes ------------------------------------------------------------------
  // Recomputes the corner and open-sky bits around a changed cell.
  void UpdateCellShape(CMapCell* cell);
  // The corner, class and open-sky rules over the whole map, then the sealing of enclosed cells.
  void FinishTerrainShapes();
  // Touching voxel pairs across the face between two neighbouring cells, x and y wrapped
  // (neighbours across the seam touch); 0 for a level outside the map.
  int CountVoxelContact(int x1, int y1, int z1, int x2, int y2, int z2) const;

  // --- passability (x, y, level in cells) -----------------------------------------------
  int CellSupports(int x, int y, int level, const CMoveQuery& query) const;
  int CellHasRoom(int x, int y, int level, const CMoveQuery& query) const;
  int ColumnFreeOf(int x, int y, int level, int creature, int columnHeight) const;
  int IsColumnBlocked(int x, int y, int level, int columnHeight, int mode, int creature) const;
  int AnyTerrainInFootprint(int x, int y, int level, const CMoveQuery& query) const;
  int TallTerrainInFootprint(int x, int y, int level, const CMoveQuery& query) const;
  int FindGroundSupport(int x, int y, int level, const CMoveQuery& query) const;
  int IsBlockedByWater(int x, int y, int level, const CMoveQuery& query) const;
  // startSupport: -1 when not yet known; the support of the start is handed back.
  int CanStepBetween(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query, int* stepKind,
                     int* startSupport) const;
  int HasRoomAt(int x, int y, int level, const CMoveQuery& query) const;
  int HasRoomForCreature(int x, int y, int level, int creature, const CMoveQuery& query) const;
  int CanOccupy(int x, int y, int level, const CMoveQuery& query) const;
  // Walk, flyer-blocked and walk-above flags of a cell, compared before and after a change.
  void GetCellPassability(int x, int y, int level, int out[3]) const;

  // --- doors --------------------------------------------------------------------------
  // Opens the door whose column holds the cell, and the door columns beside it.
  void OpenDoor(int x, int y, int level, int arg, int* result);
  // Collapses the structure (a door, locked or not) at a cell: 1 when there was one. The
  // sound of its opening goes to `sound` (-1 none).
  int DestroyStructure(int x, int y, int level, int army, int* sound);

  // --- regions of power, water and animated cells ----------------------------------------
  void BuildRegionOfPower(int x, int y, int level, int pattern);
  void GetRegionOfPowerPosition(int n, int& x, int& y, int& level) const;
  int GetRegionOfPowerValue(int n) const;
  void SetRegionOfPowerHolder(int region, int player, int creature);
  void TickRegionOfPowerCounters();
  int CountRegionsOfPower() const;
  void SetWaterLevel(int level);
  void SetWaterLimits(int minLevel, int maxLevel);
  void ChangeWaterLevel(int delta);
  // Starts a sequence of the terrain animation on a cell that is not animated yet.
  void AnimateCell(CMapCell* cell, int sequence, ITerrainAnimation* animation, int frames);
  void StepCellAnimations();
  void StopCellAnimation(CMapCell* cell, int type);
  void FinishCellAnimation(CMapCell* cell);
  // Starts a cell's animation as the builder does for cells marked animated in the data.
  bool StartCellAnimation(CMapCell* cell, int sequence);
  std::list<CAnimatedCell>::iterator FindAnimatedCell(const CMapCell* cell);

  // --- spatial queries -----------------------------------------------------------------
  // 1 when greedy steps, each strictly nearer, lead from start to goal.
  int GreedyWalk(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query) const;
  // Moves a route goal to a place the creature can occupy; 1 when its level was lowered.
  int AdjustRouteGoal(const CMoveQuery& query, int& x, int& y, int& level) const;
  // A free place for the creature in the rings 0-5 around a cell, in an order that depends
  // only on the start cell: 1 and the place written back, or 0 and nothing changed.
  int FindFreePositionNear(int creature, const CMoveQuery& query, int& x, int& y, int& level) const;
  // 1 when a straight line of steps from start to end is allowed step by step.
  int TraceReach(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query) const;
  // One step from (x, y, level) along a straight line to the move's target: 1 when made.
  int TraceStepLine(const CLineMoveParams& params, const CMoveQuery& query, int& x, int& y, int& level,
                    int* stepKind) const;
  // A cell from which the creature may attack the target within range, coming from within
  // 60 degrees of the direction (a vector in map units).
  int FindAttackPosition(int creature, int target, int range, int dirX, int dirY, int dirZ, int& x, int& y,
                         int& level) const;
  // 1 when the point (map units) lies in deep water, a creature's body or solid terrain.
  int PointHitsSolid(int x, int y, int z) const;
  // Steps a ray from the point along the direction (times factor) until it hits something
  // solid; the components become the offset from the start to the last free point. 0 (and
  // nothing written) when the ray leaves the map first.
  int TraceProjectileRay(int x, int y, int z, float factor, float& fx, float& fy, float& fz) const;
  // Places at most one mana sprite at a drawn site; 1 when one was placed.
  int RegenerateManaSprites();

  // --- light (one signed byte per column and pair of levels: -127 black .. 0 full) -----
  enum LightBuffer { kLightShown = 0, kLightEffectWork, kLightCreatureResult, kLightCreatureWork, kLightMemory };
  // Allocates the five light buffers when absent, fills them with black from the memory of
  // what was seen, builds the patterns and makes the effect pass run.
  void ResetLight();
  // Sets both passes on, computes the pattern of every light range and asks for a full refresh.
  void BuildLightPatterns();
  // Sight of a creature around a cell: seen now (creature work) and remembered (memory, at
  // most the ambient light).
  void StampSight(int x, int y, int level, int diameter);
  // Light of an effect around a cell, added into the effect work buffer.
  void StampLight(int x, int y, int level, int diameter);
  // Uncovers the light map around a cell at once (shown, seen now and remembered).
  void RevealAround(int x, int y, int level, int diameter);
  // Every battle frame: an eighth of the creatures' sight and half of the effects' light.
  void UpdateVisibility();
  void RequestFullVisibilityRefresh() { fullRefresh = 1; }
  // The shown light value of a cell; -127 outside the map.
  int LightAt(int x, int y, int level) const;
  int LightIndex(int x, int y, int level) const { return x + rowOffset[y] + levelOffset[level / 2]; }

 private:
  void FillOffsets();
  bool PlaceFreeSpot(int creature, const CMoveQuery& query, CellPos& place, bool& qualifies, bool& accepted) const;
  bool OpenLineTowards(const CellPos& from, const CellPos& aim, CellPos& first) const;
  template <typename Apply>
  void StampPattern(int x, int y, int level, int diameter, Apply apply);
  int CountLitCreatures() const;
  int CountLitEffects() const;
  void CreaturePass();
  void EffectPass();
  void ApplyCornerRule(int x, int y, int z, bool wholeMap);
  void SealEnclosedCells();
};

extern CMap g_map;

// Two copies of the current map's level count kept for fast access: L and 16L.
extern int g_mapLevels;
extern int g_mapTopUnits;

// The type record of a cell's terrain.
inline const CTerrainType& TerrainOf(const CMapCell& cell) { return TerrainOf(cell.terrain); }

// Turns a cell's passability before and after a change into the path network's change
// kind (0, 1 or 2), or -1 when the change needs no notice.
int ComparePassability(int before0, int before1, int before2, int after0, int after1, int after2);
inline int ComparePassability(const int before[3], const int after[3]) {
  return ComparePassability(before[0], before[1], before[2], after[0], after[1], after[2]);
}

// Tells the path network that a cell changed (kind as ComparePassability gives it). The
// pointer leads to the path network; tests may listen in its place.
extern void (*g_pathCellChanged)(int x, int y, int level, int kind);
void NotifyPathNetwork(int x, int y, int level, int kind);
