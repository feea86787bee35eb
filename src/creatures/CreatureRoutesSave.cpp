// The route search that stands unfinished between two frames, in the saved game. One cell
// search at a time may run over several frames (CCreature::PlanRoute); the creature block
// keeps the request but not the search, so a loaded battle would start it again and find its
// route later, or another one, than the battle never saved. This part keeps the pool's pending
// flag and, while it is set, the search itself: where it started, the best cell so far, every
// cell reached with what reached it, and the open cells in their order.
#include <utility>
#include <vector>

#include "core/SaveStream.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureRoutes.h"
#include "map/CellRouteSearch.h"
#include "map/Map.h"

namespace {

constexpr int32_t kMaxOpenEntries = 1 << 20;

using Snapshot = CBestFirstSearch::Snapshot;

void PutStep(SaveStream& out, const CSearchStep& s) {
  for (int32_t v : {s.stepKind, s.facing, s.levelChange, s.turn, s.spare, s.length, s.rating}) out.I32(v);
}
void GetStep(SaveStream& in, CSearchStep& s) {
  for (int32_t* v : {&s.stepKind, &s.facing, &s.levelChange, &s.turn, &s.spare, &s.length, &s.rating}) *v = in.I32();
}

void PutSnapshot(SaveStream& out, const Snapshot& s) {
  out.I32(s.restart ? 1 : 0);
  if (s.restart) return;
  out.I32(s.start);
  PutStep(out, s.startStep);
  for (int32_t v : {s.bestEstimate, s.bestNode, static_cast<int32_t>(s.sequence)}) out.I32(v);
  out.I32(static_cast<int32_t>(s.reached.size()));
  for (const auto& [node, data] : s.reached) {
    for (int32_t v : {node, data.f, data.parent}) out.I32(v);
    PutStep(out, data.step);
  }
  out.I32(static_cast<int32_t>(s.open.size()));
  for (const auto& [order, node] : s.open) {
    out.I32(static_cast<int32_t>(order & 0xFFFFFFFFu));
    out.I32(static_cast<int32_t>(order >> 32));
    out.I32(node);
  }
}

// Reads a snapshot, each count checked before what it counts; false on a short read or a
// count out of range (the snapshot's own soundness is the search's to judge).
bool GetSnapshot(SaveStream& in, Snapshot& s) {
  const int32_t restart = in.I32();
  if (!in.Ok() || (restart != 0 && restart != 1)) return false;
  s.restart = restart == 1;
  if (s.restart) return true;
  s.start = in.I32();
  GetStep(in, s.startStep);
  s.bestEstimate = in.I32();
  s.bestNode = in.I32();
  s.sequence = static_cast<uint32_t>(in.I32());
  const int32_t reached = in.I32();
  if (!in.Ok() || reached < 1 || reached > g_map.cellCount) return false;
  for (int32_t i = 0; i < reached && in.Ok(); ++i) {
    std::pair<int32_t, CBestFirstSearch::Closed> entry;
    entry.first = in.I32();
    entry.second.f = in.I32();
    entry.second.parent = in.I32();
    GetStep(in, entry.second.step);
    s.reached.push_back(entry);
  }
  const int32_t open = in.I32();
  if (!in.Ok() || open < 0 || open > kMaxOpenEntries) return false;
  for (int32_t i = 0; i < open && in.Ok(); ++i) {
    const uint32_t low = static_cast<uint32_t>(in.I32()), high = static_cast<uint32_t>(in.I32());
    s.open.push_back({static_cast<uint64_t>(high) << 32 | low, in.I32()});
  }
  return in.Ok();
}

}  // namespace

int SavePendingRouteSearch(FILE* file) {
  SaveStream out(file);
  const int32_t pending = g_creatureArray.searchPending ? 1 : 0;
  out.I32(pending);
  if (pending) PutSnapshot(out, g_cellRouteSearch[1].search.TakeSnapshot());
  return out.Result();
}

int LoadPendingRouteSearch(FILE* file) {
  SaveStream in(file);
  const int32_t pending = in.I32();
  if (!in.Ok() || (pending != 0 && pending != 1)) return -1;
  Snapshot snapshot;
  if (pending && !GetSnapshot(in, snapshot)) return -1;
  if (pending && !g_cellRouteSearch[1].search.RestoreSnapshot(snapshot, g_map.cellCount)) return -1;
  g_creatureArray.searchPending = pending;
  return in.Result();
}
