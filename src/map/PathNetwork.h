#pragma once
// CPathNetwork: the sparse graph of path nodes over the battle map that long routes are
// planned on. A node is a place where creatures can stand; each of its 18 links records the
// cost of the way to a nearby node and, per group of movement abilities and footprint size,
// the tallest creature that can travel it. The graph comes from the sections' node files (or
// is generated), is completed at battle load, kept in step with the terrain during the
// battle, and saved with it.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/Bytes.h"
#include "map/BestFirstSearch.h"
#include "map/Map.h"
#include "map/MapUnits.h"

// Capability groups of a link.
enum LinkGroup : int {
  kGroupAny = 0,       // every creature
  kGroupAirborne = 1,  // creatures with an airborne value
  kGroupKind2 = 2,     // movement kind 2 (swimmers)
  kGroupKind3 = 3,     // movement kind 3
  kGroupKind1 = 4,     // movement kind 1
  kLinkGroups = 5,
};

struct CPathLink {
  static constexpr int kBytes = 28;
  int32_t cost = 0;  // 0: no link
  int32_t target = 0;
  struct Group {
    uint8_t flag = 0;
    int8_t tallest[2] = {0, 0};  // per footprint size 1 and 2
  } groups[kLinkGroups];
  int8_t smallest[2] = {0, 0};  // group 4 (movement kind 1): the smallest height passing

  bool Exists() const { return cost != 0; }
  // Whether a creature of this height, footprint size, airborne value and movement kind may
  // travel the link.
  bool Admits(int height, int size, int airborne, int movementKind) const;
  bool SameCapabilities(const CPathLink& other) const;
  void Write(bytes::Writer& out) const;
  void Read(bytes::Reader& in);
};

struct CPathNode {
  static constexpr int kBytes = 571;
  static constexpr int kLinks = 18;
  int32_t inUse = 0;
  int32_t x = 0, y = 0, level = 0;
  CPathLink links[kLinks];
  int32_t sortKey = 0;
  int32_t topOfColumn = 0;        // the highest node placed in its map column
  int32_t traffic = 0;            // raised along routes handed out with traffic spreading on
  uint8_t savedMarks[8][4] = {};  // per army slot, written by the computer player
  uint8_t values[3] = {};
  uint8_t currentMark[4] = {};

  void Write(bytes::Writer& out) const;
  void Read(bytes::Reader& in);
  // 4 x CellDistanceApprox of the wrapped offset to another node.
  [[gnu::always_inline]] int HeuristicCost(const CPathNode& other) const {
    return 4 * CellDistanceApprox(WrapDeltaX(x, other.x), WrapDeltaY(y, other.y), other.level - level);
  }
};

struct CPathSection {
  static constexpr int kBytes = 292;
  int32_t xStart = 0, yStart = 0;
  int32_t xEnd = 0, yEnd = 0;  // exclusive, reduced once into the map; xEnd 0 marks a free slot
  int32_t rotation = 0;
  char fileName[256] = {};
  int32_t values[4] = {};
};

struct CPathCheck {
  int32_t node = -1;  // -1: an empty entry
  int32_t kind = -1;  // 0, 1 or 2
  int32_t distance = -1;
};

// The creature a route is planned for: a move query, or a creature whose query, ratings and
// step test the search uses; and what only the cell-level search reads.
struct CRouteMover {
  bool queryGiven = false;
  int creature = -1;
  CMoveQuery query;
  int ratingFlag = 0;
  int trafficFlag = 0;
  int secondCreature = -1;
  bool connectionMoves = false;  // follow the cells' connection bits only
  int costLimit = -1;
  int distanceLimit = -1;
  CellPos start, goal;

  // The query the searches use: the given one, or the creature's.
  CMoveQuery Query() const;
};

// A route request over the nodes.
struct CRouteRequest {
  int startNode = -1;
  int goalNode = -1;
  CRouteMover mover;
  int32_t* route = nullptr;  // 50 node indexes, ended by -1 when shorter
  int32_t budget = 0;        // expansions left, lowered by the search
  bool restart = true;
};

// A place a creature enters the network from.
struct CLocationRequest {
  int x = 0, y = 0, level = 0;
  CRouteMover mover;
  int biasX = 0, biasY = 0;
};

class CPathNetwork {
 public:
  static constexpr int kCapacity = 1000;
  static constexpr int kSections = 36;
  static constexpr int kChecks = 1000;
  static constexpr int kRouteLength = 50;
  static constexpr int kTestHeights = 6;
  static constexpr int kNodeFileRecordBytes = 494;
  static constexpr int kSaveFixedBytes = 22608;

  CPathNetwork();

  std::vector<CPathNode> nodes;  // capacity records
  int32_t capacity = kCapacity;
  int32_t count = 0;
  int32_t cursor = 0;  // NextNode's walk
  int32_t testHeights[kTestHeights] = {-1, -1, -1, -1, -1, -1};
  CPathLink building;  // the link under construction
  struct CellRequest {
    CellPos start, goal;
    int32_t height = 1, size = 1, airborne = 0, movementKind = 0;
    uint8_t flags = 0;
  } request;
  CBestFirstSearch linkSearch;   // cell search of the link tests
  CBestFirstSearch entrySearch;  // cell search of the entry-node search
  CBestFirstSearch nodeSearch;   // the route search over the nodes
  CPathCheck checks[kChecks];
  CPathSection sections[kSections];
  int32_t readIndex = 0, writeIndex = 0;
  int32_t nodeUnderTest = -1;
  int32_t candidateIndex = 0;
  int32_t stage = 0;
  int32_t heightIndex = 0;
  int32_t allowanceLeft = 0;
  CPathLink savedLink;
  int32_t kind1Flag = 0, kind2Flag = 0;
  std::vector<int32_t> walkList;  // nodes of the last greedy node walk
  bool freshPair = true;          // the next link test of the upkeep starts anew

  // --- nodes, node files and sections (building the network) ------------------------
  void Clear();
  CPathNode* NextNode();
  CPathNode* GetNode(int index);
  const CPathNode* GetNode(int index) const;
  // Reads one section's node file into the table, turned and moved into place: 1 or 0.
  int LoadSection(const char* fileName, int xOffset, int yOffset, int width, int height, int rotation, int value1,
                  int value2, int value3, int value4);
  void AddSection(int xStart, int yStart, int xEnd, int yEnd, int rotation, const char* fileName, int value1,
                  int value2, int value3, int value4);
  // 0-35, or 36 when the position lies in no section.
  int FindSection(int x, int y) const;
  // The section's value 1, and the position in the section's own unturned frame.
  int GetSectionLocalPosition(int& x, int& y, int value) const;
  int IsOnSectionExitEdge(int x, int y) const;
  void ComputeCellKeys();
  int FindFirstNodeAtX(int x) const;
  void ResolveLinkTargets();
  int FindLink(int a, int b) const;
  void ClearNodeCounters();
  void ClearSearchState();
  void ClearVisitMarks();
  void StoreMarks(int slot);
  void GenerateNodes(int clear);
  void SettleNodePosition(int& x, int& y, int& level) const;
  void FitNodesToLargeFootprints();

  // --- routes ---------------------------------------------------------------------------
  // The successors of a node over the links the mover may take; spends one unit of budget.
  void GetNodeSuccessors(int node, const CBestFirstSearch::Closed& data, const CRouteMover& mover,
                         std::vector<CSuccessor>& out, int32_t& budget);
  // Resumable node search from the request's start node to its goal node: 1 when the route
  // written reaches the goal.
  int BuildCreatureRoute(CRouteRequest& request);
  // 1 when links the query may take join the two nodes, else 0. A plain search of its own:
  // the resumable route searches are left as they are.
  int SearchNodeRoute(int from, int to, const CMoveQuery& query) const;
  // The node through which a creature at a place enters the network, or -1.
  int FindNearestReachableNode(const CLocationRequest& location);
  // Greedy walk over the links: 1 and the middle node of the walk, or 0.
  int FindRouteMidpoint(int start, int goal, const CMoveQuery& query, int* middle);

  // --- links ----------------------------------------------------------------------------
  void CollectTestHeights(int all, int airborneKey, int kindKey, int sizeKey);
  int TestLinkGroup(int groupTest, int restart, int target, int budget);
  int QuickCellWalk(int* length, int32_t* budget);
  void BuildLink(int a, int b, int clear, int budget);
  void LinkNewNode(int index);
  void RebuildLinks(int wrapped, int keep);
  int TestLinkStep(int a, int b, int start, int32_t* budget);
  int TestLinkGroupStep(int groupTest, int start, int target, int32_t* budget);

  // --- upkeep and the saved game ---------------------------------------------------------
  void Initialise();
  void OnCellChanged(int x, int y, int level, int kind);
  void Update();
  // A node test under way, or a check queued.
  bool HasPendingChecks() const;
  // Runs Update until no check is pending (nothing, while the debug switch holds the network):
  // the links then stand as the frames of Update would leave them, however many frames there are.
  void FinishPendingChecks();
  int Save(FILE* file) const;
  int Load(FILE* file);

  // Node distance for pairing: (min + 2 max) / 2 of |dx| and |dy| (wrapped or not).
  static int PairDistance(const CPathNode& a, const CPathNode& b, bool wrapped);

 private:
  bool PassesPairCheck(const CPathNode& a, const CPathNode& b, int d, int movementKind) const;
  int CellSearchToGoal(CBestFirstSearch& search, const CRouteMover& mover, int32_t& budget, int* length);
  bool RequestCreatureFits(int height) const;
  void RunBuildStages(int a, int b, int budget);
  bool RunStage(int stageNumber, int a, int b, int32_t* budget, bool resumable);
  void StoreLink(int a, int b, bool displace);
  void RemoveLinksBetween(int a, int b);
  void PlaceCheck(int position);
  int PlaceNodeColumn(int x, int y, int fromLevel, bool firstInColumn, int previousNode);

  // Where a resumable link test stands within its stage and height.
  bool stageStarted_ = false;
  bool stageRan_ = false;
  bool heightStarted_ = false;
};

extern CPathNetwork g_pathNetwork;

// Time to cover a distance at a speed.
int TravelTime(int distance, int speed);
