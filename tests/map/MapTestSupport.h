#pragma once
// Fixtures of the map tests: the forged terrain types, a fresh map, and fakes of the
// subsystems above the map.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "core/Bytes.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/PathNetwork.h"
#include "map/TerrainAnimation.h"
#include "map/TileOverlay.h"

namespace map_test {

namespace t = forge::terrain;

// The forged terrain types, read back through the map's own table.
std::vector<CTerrainType> ForgedTypes();
void UseTypes(const std::vector<CTerrainType>& types);
void ResetMapTables();

// A fresh map of the given size with the forged types, no hooks installed.
class MapTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeMap(48, 44, 8); }
  void TearDown() override;
  void MakeMap(int width, int height, int levels);
  // Floor of grass over the whole of one level.
  void FillLevel(int level, int type);
  void Set(int x, int y, int level, int type);
  CMapCell& Cell(int x, int y, int level) { return g_map.CellAt(x, y, level); }
};

// A map with a grass floor and an empty path network, emptied again afterwards.
class PathNetworkTest : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    FillLevel(0, t::kGrass);
    g_pathNetwork.Clear();
  }
  void TearDown() override;
  // Appends a node in use at a position; answers its index.
  int Node(int x, int y, int level = 0);
  CPathNetwork& net = g_pathNetwork;
};

// Records what the map asks of the subsystems above it.
struct FakeCreatures : IMapCreatures {
  struct Creature {
    CreaturePlace place;
    int roomUpTo = 1000;  // HasRoomAt and FitsAt answer 1 up to this level
    int army = 0;
    bool lit = false;  // seen by the viewing player
    CMoveQuery query = CMoveQuery::MinimalWalker();
  };
  std::map<int, CreatureLead> leads;
  std::map<int, Creature> creatures;
  std::set<std::pair<int, int>> lost;  // (army, creature)
  std::vector<std::vector<int>> relocations;
  int NextInUse(int after) override;
  bool GetPlace(int creature, CreaturePlace& out) override;
  int HasRoomAt(int creature, int x, int y, int level) override;
  int FitsAt(int creature, int x, int y, int level) override { return HasRoomAt(creature, x, y, level); }
  void Relocate(int creature, int x, int y, int level) override { relocations.push_back({creature, x, y, level}); }
  bool IsLostToArmy(int army, int creature) override { return lost.count({army, creature}) != 0; }
  bool GetBody(int creature, CreatureBody& out) override;
  bool IsEnemyOf(int shooter, int target) override {
    return creatures.count(shooter) && creatures.count(target) && creatures[shooter].army != creatures[target].army;
  }
  bool IsLitForViewer(int creature) override { return creatures.count(creature) && creatures[creature].lit; }
  bool GetMoveQuery(int creature, CMoveQuery& out) override {
    if (!creatures.count(creature)) return false;
    out = creatures[creature].query;
    return true;
  }
  bool GetLead(int creature, CreatureLead& out) override {
    if (!leads.count(creature)) return false;
    out = leads[creature];
    return true;
  }
  // The creature type table; by default none.
  std::vector<CreatureTypeTraits> types;
  bool GetCreatureType(int type, CreatureTypeTraits& out) override {
    if (type < 0 || type >= static_cast<int>(types.size())) return false;
    out = types[static_cast<size_t>(type)];
    return true;
  }
  bool GetRouteTraits(int creature, CreatureTypeTraits& out) override { return creatures.count(creature) != 0; }
  int GetFacing(int creature) override { return creatures.count(creature) ? facing : 0; }
  int facing = 2;
  // Steps as the map allows them for the creature's query.
  int CanMoveStraightTo(int creature, int x0, int y0, int z0, int x1, int y1, int z1, int, int* kind) override {
    if (!creatures.count(creature)) return 0;
    int support = -1;
    return g_map.CanStepBetween(x0, y0, z0, x1, y1, z1, creatures[creature].query, kind, &support);
  }
  // Types of every build: walkers of heights 1, 2 and 4, a large walker, a flier, a swimmer
  // and waders of kinds 1 and 3.
  void UseStandardTypes();
  // Puts a creature in the map: its cells get the occupant and the occupancy bits.
  void Add(int id, int x, int y, int level, int height = 1, int size = 1, int army = 0);
};

struct FakeEffects : IMapEffects {
  std::map<int, int> kinds;  // effect -> kind
  std::map<int, int> next;   // effect -> next in cell
  std::vector<int> deactivated, tileAffected, waterMarks;
  std::vector<int> worldSize;
  int Kind(int effect) override { return kinds.count(effect) ? kinds[effect] : -1; }
  int NextInCell(int effect) override { return next.count(effect) ? next[effect] : 0xFFFF; }
  void Deactivate(int effect) override { deactivated.push_back(effect); }
  void AffectTerrainTile(int effect) override { tileAffected.push_back(effect); }
  void MarkKind14(int level) override { waterMarks.push_back(level); }
  void SetParticleWorldSize(int w, int h, int d) override { worldSize = {w, h, d}; }
  int obscuringCost = 0;
  std::vector<LightSource> lights;
  int ObscuringCost() override { return obscuringCost; }
  int NextLightSource(int after, LightSource& out) override {
    int next = after + 1;
    if (next < 0 || next >= static_cast<int>(lights.size())) return -1;
    out = lights[static_cast<size_t>(next)];
    return next;
  }
};

struct FakeObjects : IMapObjects {
  std::map<int, int> next;
  std::vector<int> effectsCreated;
  int freeObject = 40;
  std::vector<std::vector<int>> placed, kinds;
  int NextInCell(int object) override { return next.count(object) ? next[object] : 0xFFFF; }
  void CreateEffect(int object) override { effectsCreated.push_back(object); }
  int FindFree() override { return freeObject; }
  void SetKind(int object, int kind) override { kinds.push_back({object, kind}); }
  void Place(int object, int x, int y, int level) override { placed.push_back({object, x, y, level}); }
};

struct FakeBattle : IMapBattle {
  std::vector<CMapCell*> changedCells;
  std::vector<std::vector<int>> scannerCells;
  int progressSteps = 0;
  void AddChangedCell(CMapCell* cell) override { changedCells.push_back(cell); }
  void ScannerCellChanged(int x, int y, int level) override { scannerCells.push_back({x, y, level}); }
  void ProgressStep() override { ++progressSteps; }
  CRandom random{77};
  CRandom& BattleRandom() override { return random; }
};

struct FakeAI : IMapAI {
  std::vector<std::vector<int>> gains, losses;  // controller, side, amount
  int damageValue = 10;
  float lastRate = 0;
  void ShareGain(int controller, int side, int amount) override { gains.push_back({controller, side, amount}); }
  void ShareLoss(int controller, int side, int amount) override { losses.push_back({controller, side, amount}); }
  int ComputeDamageValue(int, int, int, float d, float) override {
    lastRate = d;
    return damageValue;
  }
};

// All fakes, installed for the life of the object.
struct FakeHooks {
  FakeCreatures creatures;
  FakeEffects effects;
  FakeObjects objects;
  FakeBattle battle;
  FakeAI ai;
  MapHooksScope scope{MapHooks{&creatures, &effects, &objects, &battle, &ai}};
};

// A terrain animation of plain frame lists; looping sequences start again until told to
// break the loop.
class FakeAnimation : public ITerrainAnimation {
 public:
  struct Sequence {
    std::vector<int> frames;
    bool loops = false;
  };
  std::map<int, Sequence> sequences;

  class Player : public ITerrainAnimPlayer {
   public:
    explicit Player(const FakeAnimation& animation) : animation_(animation) {}
    void Start(int sequence) override {
      sequence_ = sequence;
      step_ = 0;
      playing_ = true;
    }
    void Advance() override {
      if (!playing_) return;
      const Sequence& s = animation_.sequences.at(sequence_);
      if (step_ + 1 < static_cast<int>(s.frames.size())) {
        ++step_;
      } else if (s.loops && !loopBreak_) {
        step_ = 0;
      } else {
        playing_ = false;
      }
    }
    bool IsPlaying() const override { return playing_; }
    int CurrentFrame() const override { return animation_.sequences.at(sequence_).frames[static_cast<size_t>(step_)]; }
    void SetLoopBreak() override { loopBreak_ = true; }
    // Sequence and step, 8 bytes.
    int Save(FILE* file) const override {
      return bytes::WriteU32(file, static_cast<uint32_t>(sequence_)) &&
                     bytes::WriteU32(file, static_cast<uint32_t>(step_))
                 ? 8
                 : -1;
    }
    int Load(FILE* file) override {
      uint32_t sequence, step;
      if (!bytes::ReadU32(file, sequence) || !bytes::ReadU32(file, step)) return -1;
      sequence_ = static_cast<int>(sequence);
      step_ = static_cast<int>(step);
      playing_ = true;
      return 8;
    }
    bool loopBreak_ = false;

   private:
    const FakeAnimation& animation_;
    int sequence_ = 0, step_ = 0;
    bool playing_ = false;
  };

  bool HasSequence(int sequence) const override { return sequences.count(sequence) != 0; }
  int FirstFrame(int sequence) const override {
    return HasSequence(sequence) ? sequences.at(sequence).frames.front() : -1;
  }
  std::unique_ptr<ITerrainAnimPlayer> NewPlayer() const override { return std::make_unique<Player>(*this); }
};

// Records the path network's notices.
struct PathNotices {
  PathNotices();
  ~PathNotices();
  std::vector<std::vector<int>> notices;  // x, y, level, kind
  void (*previous)(int, int, int, int) = nullptr;
};

}  // namespace map_test
