// Queued waypoints: a chain of orders a creature carries out one after the other, and by
// queueing an earlier waypoint again, a patrol that goes round until another order comes. An
// attack on a creature inside a patrol is carried out once and then dropped.
#include <iterator>

#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

constexpr int kAttackEntry = 3, kWalkEntry = 2;

// Queue orders given while a queued order starts (a walk that ends where it starts) are not
// followed further from inside that start: the next WAIT takes them up.
int g_advancing = 0;

void ReleaseMarker(CQueuedOrder& entry) {
  if (entry.markerEffect >= 0) g_creatureEffects->Deactivate(entry.markerEffect);
  entry.markerEffect = -1;
}

std::list<CQueuedOrder>::iterator At(std::list<CQueuedOrder>& entries, int i) {
  return i < 0 || i >= static_cast<int>(entries.size()) ? entries.end() : std::next(entries.begin(), i);
}

}  // namespace

CQueuedOrder* COrderQueue::Current() {
  auto it = At(entries, current);
  return it == entries.end() ? nullptr : &*it;
}

void CCreature::GiveQueuedOrder(const CQueuedOrder& entry) {
  IssueOrder(entry.kind, entry.x, entry.y, entry.level, entry.target);
}

void CCreature::AddWaypoint(int kind, int x, int y, int z, int targetSlot) {
  COrderQueue& queue = queuedOrders;
  if (queue.count > kMaxQueuedOrders - 1) return;
  CQueuedOrder entry;
  entry.kind = kind;
  entry.x = entry.markerX = CWrapCoord::WrapX(x);
  entry.y = entry.markerY = CWrapCoord::WrapY(y);
  entry.level = z;
  entry.target = kind == kAttackEntry ? targetSlot : -1;

  if (!queue.entries.empty()) {
    CQueuedOrder& last = queue.entries.back();
    if (last.SameOrder(entry)) {
      // A flier asked twice for the same place moves the waypoint aside.
      if (mayFly) {
        int fx = last.x, fy = last.y, fz = last.level;
        if (g_map.FindFreePositionNear(index, MakeMoveQuery(), fx, fy, fz)) {
          last.x = last.markerX = fx;
          last.y = last.markerY = fy;
          last.level = fz;
        }
        ReleaseMarker(last);
        if (queue.entries.size() == 1) GiveQueuedOrder(last);
        ShowWaypointMarkers();
      }
      return;
    }
    for (CQueuedOrder& earlier : queue.entries) {
      if (!earlier.SameOrder(entry)) continue;
      if (queue.entries.size() > 1) earlier.loopPoint = 1;
      return;
    }
    queue.entries.push_back(entry);
    ++queue.count;
    ShowWaypointMarkers();
    return;
  }

  if (order == ORDER_WALK_TO_POS) {
    CQueuedOrder walk;
    walk.kind = kWalkEntry;
    walk.x = walk.markerX = CWrapCoord::WrapX(orderState.goalX);
    walk.y = walk.markerY = CWrapCoord::WrapY(orderState.goalY);
    walk.level = orderState.goalLevel;
    queue.entries.push_back(walk);
    ++queue.count;
  } else {
    GiveQueuedOrder(entry);
  }
  queue.entries.push_back(entry);
  ++queue.count;
  queue.current = 0;
  ShowWaypointMarkers();
}

void CCreature::ClearPathMarkers() {
  for (CQueuedOrder& entry : queuedOrders.entries)
    if (entry.kind == kWalkEntry) ReleaseMarker(entry);
  queuedOrders.Clear();
  queuedOrders.count = 0;
}

int CCreature::NextWaypoint() {
  COrderQueue& queue = queuedOrders;
  if (queue.entries.empty() || g_advancing) return 0;
  if (order == ORDER_TRAPPED || order == ORDER_STUNNED || order == ORDER_LIFTED) return 0;
  if (typeNumber == creature_kind::kStatic || orderState.panicking || IsAirborneWithoutFlight()) return 0;

  // The cursor names the entry whose order just ended (-1: it was an attack, dropped when
  // given, that stood first).
  if (CQueuedOrder* current = queue.Current(); current && current->loopPoint) {
    current->loopPoint = 0;
    queue.flag = 1;
  }
  int next = queue.current + 1;
  if (!queue.flag) {
    auto it = At(queue.entries, queue.current);
    if (it != queue.entries.end()) {
      ReleaseMarker(*it);
      queue.entries.erase(it);
      --queue.count;
    }
    next = queue.current < 0 ? 0 : queue.current;
  }
  if (next >= static_cast<int>(queue.entries.size()) && queue.flag) {
    for (auto it = queue.entries.begin(); it != queue.entries.end();) {
      if (it->kind != kAttackEntry) {
        ++it;
        continue;
      }
      ReleaseMarker(*it);
      it = queue.entries.erase(it);
      --queue.count;
    }
    next = 0;
  }
  if (next >= static_cast<int>(queue.entries.size())) {
    // The end of a queue that does not cycle, or a patrol with nothing but attacks left.
    HideWaypointMarkers();
    queue.Clear();
    return 0;
  }

  queue.current = next;
  auto it = At(queue.entries, next);
  const CQueuedOrder entry = *it;
  if (entry.kind == kAttackEntry) {
    ReleaseMarker(*it);
    queue.entries.erase(it);
    --queue.count;
    queue.current = next - 1;
  }
  ++g_advancing;
  GiveQueuedOrder(entry);
  --g_advancing;
  return 1;
}
