// Creatures left to themselves: a creature with a post wanders between path nodes near it,
// and one standing in the tile overlay's cloud may panic and run to a random path node. The
// draws come from the battle's generator.
#include <algorithm>

#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureOrders.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/TileOverlay.h"

namespace {

constexpr int kWanderVisit = 90;  // the countdown falls by this each visit of the scheduler
constexpr int kWanderRouteLimit = 250;
constexpr int kRerunChance = 24;  // a panicking creature on the run turns to a new node at r mod 100 <= this

// A random path node: r mod (node count - 1), -1 under two nodes. The draw is made in every
// case.
int RandomNode(int line) {
  const int count = g_pathNetwork.count;
  const int r = static_cast<int>(g_battleRandom.Next() & 0x7FFFFFFF);
  if (g_netRandomLog) g_traceLog.Record("Mapelem", line);
  return count >= 2 ? r % (count - 1) : -1;
}

}  // namespace

// --- wandering ---

void CCreature::WanderStep() {
  int32_t* block = placementWords;
  if (nodeRoute.NearestNode() < 0 || block[wander_block::kDistance] < 1 || order != ORDER_WAIT) return;
  int32_t& countdown = block[wander_block::kCountdown];
  countdown = std::max(countdown - kWanderVisit, 0);
  if (countdown > 0) return;
  int node = -1;
  if (PickWanderNode(node)) {
    const CPathNode* goal = g_pathNetwork.GetNode(node);
    int32_t route[CPathNetwork::kRouteLength];
    CRouteRequest request;
    request.startNode = nodeRoute.NearestNode();
    request.goalNode = node;
    request.mover.creature = index;
    request.mover.queryGiven = true;
    request.mover.query = MakeMoveQuery();
    request.route = route;
    request.budget = kWanderRouteLimit;
    if (goal && g_pathNetwork.BuildCreatureRoute(request)) WalkTo(goal->x, goal->y, goal->level);
  }
  countdown = block[wander_block::kDelay] > 0 ? block[wander_block::kDelay] : (type ? type->WanderDelay : 0);
}

int CCreature::PickWanderNode(int& out) {
  const int count = g_pathNetwork.count;
  const int start = RandomNode(__LINE__);
  if (start < 0 || !type) return 0;
  const int32_t* block = placementWords;
  const int distance = block[wander_block::kDistance];
  const int keepAway = std::min(block[wander_block::kRange], distance) - 1;
  const CMoveQuery query = MakeMoveQuery();
  for (int n = 0; n < count; ++n) {
    const int node = (start + n) % count;
    const CPathNode* p = g_pathNetwork.GetNode(node);
    if (!p) continue;
    const int fromHome = MapWrappedDistance(block[wander_block::kHomeX], block[wander_block::kHomeY],
                                            block[wander_block::kHomeLevel], p->x, p->y, p->level);
    if (fromHome > 2 * distance) continue;
    if (MapWrappedDistance(cellX, cellY, level, p->x, p->y, p->level) <= keepAway) continue;
    if (!g_map.CanOccupy(p->x, p->y, p->level, query)) continue;
    out = node;
    return 1;
  }
  return 0;
}

// --- panic in the tile overlay's cloud ---

bool CCreature::InOverlayCloud() const {
  const int top = level + (type ? type->TileHeight - 1 : 0);
  return g_tileSpans.IsLevelInSpan(cellX, cellY, level) || g_tileSpans.IsLevelInSpan(cellX, cellY, top);
}

void CCreature::RunToRandomNode() {
  const CPathNode* node = g_pathNetwork.GetNode(RandomNode(__LINE__));
  if (!node) return;
  // A panicking creature takes no walk orders; its own run is the one it takes.
  const int32_t panicking = orderState.panicking;
  orderState.panicking = 0;
  WalkTo(node->x, node->y, node->level);
  orderState.panicking = panicking;
}

void CCreature::UpdatePanic() {
  if (!IsAlive() || !type) return;
  if (orderState.panicking) {
    if (!InOverlayCloud()) {
      orderState.panicking = 0;
      EndHeldState();
      return;
    }
    if (order != ORDER_WAIT && BattleRoll(100, __LINE__) <= kRerunChance) RunToRandomNode();
    return;
  }
  if (!g_tileSpans.active || IsWizard() || !InOverlayCloud()) return;
  const unsigned g = static_cast<unsigned>(std::max(g_spellDefs[spell_tuning::kPanic].SpellStrength, 0));
  const unsigned sum = static_cast<unsigned>(std::max(type->Intelligence, 0)) + g;
  const unsigned chance = sum ? g * 100 / sum : 0;
  if (static_cast<unsigned>(BattleRoll(100, __LINE__)) >= chance) return;
  RunToRandomNode();
  orderState.panicking = 1;
}
