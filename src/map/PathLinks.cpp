// Testing the way between two path nodes for every kind of creature, and storing the link.
// Test creatures of each movement group and footprint size, and of each height that occurs
// among the creature types, try the way with a quick greedy walk and, failing that, a
// budgeted cell-level search.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "map/CellRouteSearch.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kCreatureTypes = 28;
constexpr int kSpecialType = 22;
constexpr int kPairRange = 8;
constexpr int kLoadBudgetFirst = 125, kLoadBudgetOther = 62;
constexpr int kStepBudgetPassed = 125, kStepBudgetFirst = 41, kStepBudgetOther = 31;
constexpr int kWalkTestsPerUnit = 26;

// The link group each group test writes: tests 0-4 fill groups 0, 1, 3, 2, 4.
constexpr int kGroupOfTest[5] = {kGroupAny, kGroupAirborne, kGroupKind3, kGroupKind2, kGroupKind1};

// The test creature of a link test's cell request at one height.
CMoveQuery RequestQuery(const CPathNetwork::CellRequest& request, int height) {
  return CMoveQuery::TestCreature(height, request.size, request.movementKind, request.airborne, request.flags);
}

// That creature going from the request's start to its goal.
CRouteMover RequestMover(const CPathNetwork::CellRequest& request, int height) {
  CRouteMover mover;
  mover.queryGiven = true;
  mover.query = RequestQuery(request, height);
  mover.start = request.start;
  mover.goal = request.goal;
  return mover;
}

bool GroupPasses(const CPathLink& link, int group, int sizeIndex, int height) {
  const CPathLink::Group& g = link.groups[group];
  if (!g.flag || g.tallest[sizeIndex] < height) return false;
  return group != kGroupKind1 || link.smallest[sizeIndex] <= height;
}

void CopyGroup(CPathLink& link, int from, int to) {
  if (link.groups[from].flag) link.groups[to] = link.groups[from];
}

void RaiseSizeOneToSizeTwo(CPathLink& link, int group) {
  link.groups[group].tallest[0] = std::max(link.groups[group].tallest[0], link.groups[group].tallest[1]);
}

}  // namespace

int CPathNetwork::PairDistance(const CPathNode& a, const CPathNode& b, bool wrapped) {
  int dx = wrapped ? std::abs(WrapDeltaX(a.x, b.x)) : std::abs(a.x - b.x);
  int dy = wrapped ? std::abs(WrapDeltaY(a.y, b.y)) : std::abs(a.y - b.y);
  return (std::min(dx, dy) + 2 * std::max(dx, dy)) / 2;
}

bool CPathNetwork::PassesPairCheck(const CPathNode& a, const CPathNode& b, int d, int movementKind) const {
  CMoveQuery test = CMoveQuery::TestCreature(1, 1, movementKind);
  bool fitsA = g_map.CanOccupy(a.x, a.y, a.level, test) != 0;
  bool fitsB = g_map.CanOccupy(b.x, b.y, b.level, test) != 0;
  return !(fitsA != fitsB && d > 5);
}

void CPathNetwork::CollectTestHeights(int all, int airborneKey, int kindKey, int sizeKey) {
  std::fill(std::begin(testHeights), std::end(testHeights), -1);
  int used = 0;
  for (int type = 0; type < kCreatureTypes && used < kTestHeights; ++type) {
    if (type == kSpecialType) continue;
    CreatureTypeTraits traits;
    if (!g_mapHooks.creatures->GetCreatureType(type, traits)) continue;
    bool taken =
        all || (airborneKey != 0 && airborneKey == traits.airborne) || (kindKey != 0 && kindKey == traits.movementKind);
    if (!taken || (sizeKey != 0 && sizeKey != traits.size)) continue;
    if (std::find(testHeights, testHeights + used, traits.height) != testHeights + used) continue;
    testHeights[used++] = traits.height;
  }
  if (used < 2) return;
  // The smallest first, the tallest second, so that a group can end early.
  int smallest = static_cast<int>(std::min_element(testHeights, testHeights + used) - testHeights);
  std::swap(testHeights[0], testHeights[smallest]);
  int tallest = static_cast<int>(std::max_element(testHeights, testHeights + used) - testHeights);
  std::swap(testHeights[1], testHeights[tallest]);
}

bool CPathNetwork::RequestCreatureFits(int height) const {
  const CMoveQuery query = RequestQuery(request, height);
  return g_map.CanOccupy(request.start.x, request.start.y, request.start.z, query) &&
         g_map.CanOccupy(request.goal.x, request.goal.y, request.goal.z, query);
}

int CPathNetwork::QuickCellWalk(int* length, int32_t* budget) {
  int walked = 0;
  int64_t allowance = static_cast<int64_t>(*budget) * kWalkTestsPerUnit;
  const CMoveQuery query = RequestQuery(request, request.height);
  const CellPos goal = request.goal;
  auto distance = [&](const CellPos& p) {
    return MapDistanceApprox(WrapDeltaX(p.x, goal.x), WrapDeltaY(p.y, goal.y), 2 * (goal.z - p.z));
  };
  const int limit = 4 * CellDistanceApprox(WrapDeltaX(request.start.x, goal.x), WrapDeltaY(request.start.y, goal.y),
                                           goal.z - request.start.z) +
                    16;
  CellPos at = request.start, previous{-1, -1, -1};
  bool reached = true;
  while (!(at == goal)) {
    int best = distance(at);
    bool found = false;
    CellPos next{};
    for (const GridStep& d : kNeighbours26) {
      CellPos n{CWrapCoord::WrapX(at.x + d.dx), CWrapCoord::WrapY(at.y + d.dy), at.z + d.dz};
      if (n.z < 0 || n.z >= g_map.levels || n == previous) continue;
      int nd = distance(n);
      if (nd >= best) continue;
      if (allowance <= 0) break;
      --allowance;
      int kind, support = -1;
      if (g_map.CanStepBetween(at.x, at.y, at.z, n.x, n.y, n.z, query, &kind, &support)) {
        best = nd;
        next = n;
        found = true;
      }
    }
    if (!found) {
      reached = false;
      break;
    }
    walked += 4 * CellDistanceApprox(WrapDeltaX(at.x, next.x), WrapDeltaY(at.y, next.y), next.z - at.z);
    previous = at;
    at = next;
    if (walked > limit) {
      reached = false;
      break;
    }
  }
  *budget = static_cast<int32_t>(allowance / kWalkTestsPerUnit);
  if (reached && length) *length = walked;
  return reached ? 1 : 0;
}

int CPathNetwork::CellSearchToGoal(CBestFirstSearch& search, const CRouteMover& mover, int32_t& budget, int* length) {
  int goalIndex = g_map.CellIndex(mover.goal.x, mover.goal.y, mover.goal.z);
  search.startStep = CSearchStep{};
  search.Run(
      g_map.CellIndex(mover.start.x, mover.start.y, mover.start.z), goalIndex, budget,
      [&](int node, const CBestFirstSearch::Closed& data, std::vector<CSuccessor>& out, int32_t& left) {
        CellSuccessors(node, data, mover, out, left);
      },
      [&](int node) { return CellHeuristic(node, mover.goal); });
  if (search.route.empty() || search.route.front().first != goalIndex) return 0;
  int walked = 0;
  for (size_t i = search.route.size(); i-- > 1;) {
    CellPos a, b;
    g_map.UnpackCellOffset(g_map.cells + search.route[i].first, a.x, a.y, a.z);
    g_map.UnpackCellOffset(g_map.cells + search.route[i - 1].first, b.x, b.y, b.z);
    walked += 4 * CellDistanceApprox(WrapDeltaX(a.x, b.x), WrapDeltaY(a.y, b.y), b.z - a.z);
  }
  if (length) *length = walked;
  return 1;
}

namespace {

// Moves the request's ends under the water to where a swimmer of this height floats, and
// back when it leaves scope.
struct FloatingEnds {
  CellPos& start;
  CellPos& goal;
  CellPos savedStart, savedGoal;
  FloatingEnds(CellPos& s, CellPos& g, int height, bool active) : start(s), goal(g), savedStart(s), savedGoal(g) {
    if (!active) return;
    int w = g_map.waterLevel;
    if (start.z < w) start.z = w - height;
    if (goal.z < w) goal.z = w - height;
  }
  ~FloatingEnds() {
    start = savedStart;
    goal = savedGoal;
  }
};

void RecordPass(CPathLink& link, int groupTest, int sizeIndex, int height, int length, int target) {
  int group = kGroupOfTest[groupTest];
  if (link.cost == 0) link.cost = std::max(length, 1);
  link.target = target;
  link.groups[group].flag = 1;
  link.groups[group].tallest[sizeIndex] =
      static_cast<int8_t>(std::max<int>(link.groups[group].tallest[sizeIndex], height));
  if (group == kGroupKind1)
    link.smallest[sizeIndex] = static_cast<int8_t>(std::min<int>(link.smallest[sizeIndex], height));
}

}  // namespace

int CPathNetwork::TestLinkGroup(int groupTest, int restart, int target, int budget) {
  const int group = kGroupOfTest[groupTest];
  const int sizeIndex = request.size == 2 ? 1 : 0;
  for (int index = 0; index < kTestHeights && testHeights[index] != -1; ++index) {
    const int h = testHeights[index];
    if (GroupPasses(building, group, sizeIndex, h)) continue;
    bool passed = false;
    {
      FloatingEnds floating(request.start, request.goal, h, groupTest == 3);
      if (RequestCreatureFits(h)) {
        int32_t searchBudget = budget ? budget : (groupTest == 0 ? kLoadBudgetFirst : kLoadBudgetOther);
        if (restart) linkSearch.restart = true;
        request.height = h;
        int length = 0;
        passed = QuickCellWalk(&length, &searchBudget) != 0;
        if (!passed) {
          const CRouteMover mover = RequestMover(request, h);
          linkSearch.restart = true;
          passed = CellSearchToGoal(linkSearch, mover, searchBudget, &length) != 0;
        }
        if (passed) RecordPass(building, groupTest, sizeIndex, h, length, target);
      }
    }
    if (groupTest <= 3 && ((index == 0 && !passed) || (index == 1 && passed))) break;
  }
  return 0;
}

bool CPathNetwork::RunStage(int stageNumber, int a, int b, int32_t* budget, bool resumable) {
  const CPathNode& na = nodes[static_cast<size_t>(a)];
  const CPathNode& nb = nodes[static_cast<size_t>(b)];
  const bool water = g_map.waterLevel != 0;
  // A stage runs for one footprint size of one movement group; the test creature must fit at
  // both nodes first (group 4 has no such check).
  struct Stage {
    int groupTest, size, airborneKey, kindKey, occupyKind, occupyAirborne;
    bool needsWater;
  };
  static constexpr Stage kStages[10] = {
      {0, 2, 0, 0, 0, 0, false}, {0, 1, 0, 0, 0, 0, false}, {1, 2, 1, 0, 0, 1, false}, {1, 1, 1, 0, 0, 1, false},
      {2, 2, 0, 3, 3, 0, true},  {2, 1, 0, 3, 3, 0, true},  {3, 2, 0, 2, 2, 0, true},  {3, 1, 0, 2, 2, 0, true},
      {4, 2, 0, 1, -1, 0, true}, {4, 1, 0, 1, -1, 0, true},
  };
  const Stage& stage = kStages[stageNumber];
  const bool firstCall = !resumable || !stageStarted_;
  if (firstCall) {
    stageStarted_ = true;
    stageRan_ = false;
    // Groups that start from what group 0 found.
    if (stageNumber == 1 && building.groups[kGroupAny].flag)
      building.groups[kGroupAny].tallest[0] =
          std::max(building.groups[kGroupAny].tallest[0], building.groups[kGroupAny].tallest[1]);
    if (stageNumber == 2) CopyGroup(building, kGroupAny, kGroupAirborne);
    if (stageNumber == 4) CopyGroup(building, kGroupAny, kGroupKind3);
    if (stageNumber == 6) CopyGroup(building, kGroupAny, kGroupKind2);
    if (stageNumber == 8) {
      building.smallest[0] = building.smallest[1] = 6;
      if (building.groups[kGroupAny].flag) {
        building.groups[kGroupKind1] = building.groups[kGroupAny];
        building.smallest[0] = building.smallest[1] = 0;
      }
    }
  }
  if (firstCall) {
    stageRan_ = !stage.needsWater || water;
    if (stageRan_ && stage.occupyKind >= 0) {
      CMoveQuery test = CMoveQuery::TestCreature(1, stage.size, stage.occupyKind, stage.occupyAirborne);
      // Swimmers are tested at the level just below the water over a node under it.
      auto level = [&](const CPathNode& node) {
        return stage.groupTest == 3 && node.level < g_map.waterLevel ? g_map.waterLevel - 1 : node.level;
      };
      stageRan_ = g_map.CanOccupy(na.x, na.y, level(na), test) && g_map.CanOccupy(nb.x, nb.y, level(nb), test);
    }
    if (stageRan_) CollectTestHeights(stage.groupTest <= 0 ? 1 : 0, stage.airborneKey, stage.kindKey, stage.size);
  }
  if (stageRan_) {
    request.size = stage.size;
    request.airborne = stage.airborneKey ? 1 : 0;
    request.movementKind = stage.kindKey;
    if (resumable) {
      if (!TestLinkGroupStep(stage.groupTest, firstCall, b, budget)) return false;
    } else {
      TestLinkGroup(stage.groupTest, 1, b, budget ? *budget : 0);
    }
  }
  int group = kGroupOfTest[stage.groupTest];
  if (stageRan_ && stage.size == 2 && stageNumber >= 2) RaiseSizeOneToSizeTwo(building, group);
  if (stageRan_ && stageNumber == 8) building.smallest[0] = std::min(building.smallest[0], building.smallest[1]);
  stageStarted_ = false;
  return true;
}

namespace {

// The tallest of the listed heights; -1 when none is listed.
int TallestListed(const int32_t (&heights)[CPathNetwork::kTestHeights]) {
  int tallest = -1;
  for (int32_t height : heights)
    if (height != -1) tallest = std::max<int>(tallest, height);
  return tallest;
}

// After group 0 at size 2: when it passes the tallest height listed for the size-2 types,
// every creature passes, whatever its size and movement.
bool PassesEverything(CPathLink& link, bool tested, int tallest) {
  if (!tested) return false;
  if (tallest < 0 || !link.groups[kGroupAny].flag || link.groups[kGroupAny].tallest[1] < tallest) return false;
  for (CPathLink::Group& group : link.groups) {
    group.flag = 1;
    group.tallest[0] = group.tallest[1] = static_cast<int8_t>(tallest);
  }
  link.smallest[0] = link.smallest[1] = 0;
  return true;
}

CPathLink* LinkTowards(CPathNode& node, int target) {
  for (CPathLink& link : node.links)
    if (link.cost != 0 && link.target == target) return &link;
  return nullptr;
}

CPathLink* FreeLink(CPathNode& node) {
  for (CPathLink& link : node.links)
    if (link.cost == 0) return &link;
  return nullptr;
}

}  // namespace

void CPathNetwork::StoreLink(int a, int b, bool displace) {
  if (building.cost == 0) return;
  CPathNode& na = nodes[static_cast<size_t>(a)];
  CPathNode& nb = nodes[static_cast<size_t>(b)];
  auto slotIn = [&](CPathNode& node, int other) -> CPathLink* {
    if (CPathLink* link = LinkTowards(node, other)) return link;
    if (CPathLink* link = FreeLink(node)) return link;
    if (!displace || !building.groups[kGroupAny].flag) return nullptr;
    // A full node gives up its dearest link that not every creature may take.
    CPathLink* dearest = nullptr;
    for (CPathLink& link : node.links)
      if (!link.groups[kGroupAny].flag && (!dearest || link.cost > dearest->cost)) dearest = &link;
    if (!dearest) return nullptr;
    if (CPathNode* far = GetNode(dearest->target)) {
      int self = static_cast<int>(&node - nodes.data());
      if (CPathLink* back = LinkTowards(*far, self)) *back = CPathLink{};
    }
    *dearest = CPathLink{};
    return dearest;
  };
  CPathLink* inA = slotIn(na, b);
  CPathLink* inB = slotIn(nb, a);
  if (displace) {
    if (inA) {
      *inA = building;
      inA->target = b;
    }
    if (inB) {
      *inB = building;
      inB->target = a;
    }
    return;
  }
  if (!inA || !inB) return;
  *inA = building;
  inA->target = b;
  *inB = building;
  inB->target = a;
}

void CPathNetwork::RemoveLinksBetween(int a, int b) {
  for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}})
    if (CPathLink* link = LinkTowards(nodes[static_cast<size_t>(from)], to)) *link = CPathLink{};
}

void CPathNetwork::RunBuildStages(int a, int b, int budget) {
  int32_t stageBudget = budget;
  for (int stageNumber = 0; stageNumber < 10; ++stageNumber) {
    RunStage(stageNumber, a, b, budget ? &stageBudget : nullptr, false);
    if (stageNumber == 0 && PassesEverything(building, stageRan_, TallestListed(testHeights))) break;
  }
}

void CPathNetwork::BuildLink(int a, int b, int clear, int budget) {
  if (!GetNode(a) || !GetNode(b) || a == b) return;
  if (clear) building = CPathLink{};
  const CPathNode& na = nodes[static_cast<size_t>(a)];
  const CPathNode& nb = nodes[static_cast<size_t>(b)];
  request = CellRequest{};
  request.start = CellPos{na.x, na.y, na.level};
  request.goal = CellPos{nb.x, nb.y, nb.level};
  RunBuildStages(a, b, budget);
  StoreLink(a, b, false);
}

void CPathNetwork::LinkNewNode(int index) {
  const CPathNode* node = GetNode(index);
  if (!node || !node->inUse) return;
  for (int k = 0; k < count; ++k) {
    if (k == index || !nodes[static_cast<size_t>(k)].inUse) continue;
    int d = PairDistance(*node, nodes[static_cast<size_t>(k)], true);
    if (d <= kPairRange && PassesPairCheck(*node, nodes[static_cast<size_t>(k)], d, 0)) BuildLink(index, k, 1, 0);
  }
}

void CPathNetwork::RebuildLinks(int wrapped, int keep) {
  if (!keep)
    for (int i = 0; i < count; ++i)
      for (CPathLink& link : nodes[static_cast<size_t>(i)].links) link = CPathLink{};
  const CMoveQuery largeFlier = CMoveQuery::TestCreature(1, 2, 3, 1);
  int nextTwentieth = 1;
  for (int i = 0; i < count; ++i) {
    while (i * 20 >= nextTwentieth * count && nextTwentieth <= 20) {
      g_mapHooks.battle->ProgressStep();
      ++nextTwentieth;
    }
    const CPathNode& a = nodes[static_cast<size_t>(i)];
    if (!a.inUse) continue;
    for (int k = i + 1; k < count; ++k) {
      const CPathNode& b = nodes[static_cast<size_t>(k)];
      if (!b.inUse) continue;
      int d = PairDistance(a, b, wrapped != 0);
      if (d > kPairRange) continue;
      if (keep && FindSection(a.x, a.y) == FindSection(b.x, b.y)) {
        bool exitEdge = IsOnSectionExitEdge(a.x, a.y) || IsOnSectionExitEdge(b.x, b.y);
        bool linked = FindLink(i, k) != 0;
        bool fits = g_map.CanOccupy(a.x, a.y, a.level, largeFlier) && g_map.CanOccupy(b.x, b.y, b.level, largeFlier);
        if (!(exitEdge && linked && fits)) continue;
      }
      if (PassesPairCheck(a, b, d, 3)) BuildLink(i, k, 1, 0);
    }
  }
}

int CPathNetwork::TestLinkStep(int a, int b, int start, int32_t* budget) {
  if (!GetNode(a) || !GetNode(b) || a == b) return 1;
  const CPathNode& na = nodes[static_cast<size_t>(a)];
  const CPathNode& nb = nodes[static_cast<size_t>(b)];
  if (start) {
    building = CPathLink{};
    stage = 0;
    heightIndex = 0;
    CPathLink* existing = LinkTowards(nodes[static_cast<size_t>(a)], b);
    savedLink = existing ? *existing : CPathLink{};
    if (kind1Flag) building = savedLink;
    stageStarted_ = heightStarted_ = false;
    request = CellRequest{};
    request.start = CellPos{na.x, na.y, na.level};
    request.goal = CellPos{nb.x, nb.y, nb.level};
  }
  // A frame budget of 0 at the call runs the whole test now; a budget that runs out stops it
  // until the next call.
  const bool limited = budget && *budget > 0;
  while (stage >= 0 && stage < 10) {
    if (limited && *budget <= 0) return 0;
    if (!RunStage(stage, a, b, budget, true)) return 0;
    if (stage == 0 && PassesEverything(building, stageRan_, TallestListed(testHeights))) {
      stage = 10;
      break;
    }
    ++stage;
  }
  if (building.cost != 0)
    StoreLink(a, b, true);
  else
    RemoveLinksBetween(a, b);
  return 1;
}

int CPathNetwork::TestLinkGroupStep(int groupTest, int start, int target, int32_t* budget) {
  const int group = kGroupOfTest[groupTest];
  const int sizeIndex = request.size == 2 ? 1 : 0;
  if (start) {
    heightIndex = 0;
    heightStarted_ = false;
  }
  // A frame budget of 0 means one search of 125 expansions for each height, in this call.
  const bool limited = budget && *budget > 0;
  int32_t frame = limited ? *budget : 0;
  auto callBudget = [&] { return limited ? std::min(allowanceLeft, frame) : kStepBudgetPassed; };
  auto spend = [&](int32_t used) {
    allowanceLeft -= used;
    if (limited) frame -= used;
  };
  // The frame's budget is spent: the test goes on from here in the next call.
  auto suspend = [&] {
    *budget = 0;
    return 0;
  };
  while (heightIndex < kTestHeights && testHeights[heightIndex] != -1) {
    const int h = testHeights[heightIndex];
    bool passed = false, finished = false;
    FloatingEnds floating(request.start, request.goal, h, groupTest == 3);
    if (!heightStarted_) {
      const bool savedPassed = GroupPasses(savedLink, group, sizeIndex, h);
      if (GroupPasses(building, group, sizeIndex, h) || (kind2Flag && !savedPassed) || !RequestCreatureFits(h)) {
        finished = true;
        passed = GroupPasses(building, group, sizeIndex, h);
      } else {
        if (limited && frame <= 0) return suspend();  // the height begins in the next call
        heightStarted_ = true;
        allowanceLeft = savedPassed ? kStepBudgetPassed : (groupTest == 0 ? kStepBudgetFirst : kStepBudgetOther);
        request.height = h;
        int length = 0;
        int32_t call = callBudget();
        const int32_t before = call;
        if (QuickCellWalk(&length, &call)) {
          RecordPass(building, groupTest, sizeIndex, h, length, target);
          passed = finished = true;
        }
        spend(before - call);
        linkSearch.restart = true;
      }
    }
    if (!finished && allowanceLeft <= 0) finished = true;  // the height's allowance is spent: it failed
    if (!finished) {
      if (limited && frame <= 0) return suspend();
      const CRouteMover mover = RequestMover(request, h);
      int32_t call = callBudget();
      const int32_t before = call;
      int length = 0;
      if (CellSearchToGoal(linkSearch, mover, call, &length)) {
        RecordPass(building, groupTest, sizeIndex, h, length, target);
        passed = true;
      }
      spend(before - call);
      // Unless the search ended or the height's allowance is spent, only the frame's budget
      // ran out: the same search goes on in the next call.
      if (!passed && !linkSearch.restart && allowanceLeft > 0 && limited) return suspend();
    }
    heightStarted_ = false;
    if (groupTest <= 3 && ((heightIndex == 0 && !passed) || (heightIndex == 1 && passed))) break;
    ++heightIndex;
  }
  if (limited) *budget = std::max(frame, 0);
  return 1;
}
