#pragma once
// A creature's queue of waypoint orders: walk here, then there, then attack that one, and by
// queueing an earlier waypoint again, go round as a patrol. The creature owns the list; the
// entries name their target creature by slot and their marker effect by number, so a copy of
// a record shares nothing.
#include <cstdint>
#include <list>

inline constexpr int kMaxQueuedOrders = 15;

struct CQueuedOrder {
  int32_t x = 0, y = 0, level = 0;
  int32_t kind = 0;  // 2 walk to a cell, 3 attack a creature, 4 attack a cell
  int32_t markerEffect = -1;
  int32_t target = -1;  // the creature of kind 3, else -1
  int32_t markerX = 0, markerY = 0;
  int32_t loopPoint = 0;  // the patrol returns to this entry

  bool SameOrder(const CQueuedOrder& other) const {
    return kind == other.kind && x == other.x && y == other.y && level == other.level && target == other.target;
  }
};

struct COrderQueue {
  std::list<CQueuedOrder> entries;
  int32_t current = -1;  // index of the entry at the cursor, -1 none
  uint8_t flag = 0;      // cycling: the loop point has been passed
  int32_t count = 0;

  // The first entry, null when the queue is empty (what the computer player reads).
  const CQueuedOrder* GetFirst() const { return entries.empty() ? nullptr : &entries.front(); }
  CQueuedOrder* Current();
  void Clear() {
    entries.clear();
    current = -1;
    flag = 0;
    count = 0;
  }
};
