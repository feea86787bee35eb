// Keeping the path network in step with the map: completion at battle load, the queue of
// nodes near changed cells (nearest first), the per-frame re-test of their links, and the
// network's block of the saved game.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/SaveBlock.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kUpdateBudget = 10;
constexpr int kPairRange = 8;
constexpr int kNearWindow = 9;

int Next(int index) { return index + 1 >= CPathNetwork::kChecks ? 0 : index + 1; }

}  // namespace

void CPathNetwork::Initialise() {
  if (!g_map.cells) return;
  // Nodes at the regions of power, linked to their neighbours.
  const int regions = g_map.CountRegionsOfPower();
  for (int r = 0; r < regions; ++r) {
    int x, y, level;
    g_map.GetRegionOfPowerPosition(r, x, y, level);
    if (count >= capacity) break;
    CPathNode& node = nodes[static_cast<size_t>(count)];
    node = CPathNode{};
    node.inUse = 1;
    node.x = x;
    node.y = y;
    node.level = TerrainOf(kRegionOfPowerCentreType).IsLiquid() ? level + 1 : level;
    LinkNewNode(count++);
  }
  ResolveLinkTargets();
  FitNodesToLargeFootprints();
  RebuildLinks(1, 1);
  for (int r = 0; r < regions; ++r) {
    CLocationRequest location;
    g_map.GetRegionOfPowerPosition(r, location.x, location.y, location.level);
    location.mover.queryGiven = true;
    location.mover.query = CMoveQuery::TestCreature(4, 1, 1);
    g_map.regions[r].value = FindNearestReachableNode(location);
  }
  // Closed doors (the state word's door-with-object bit) re-test the links through them.
  for (int i = 0; i < g_map.cellCount; ++i) {
    if (!(g_map.cells[i].state & state_bits::kClosedDoor)) continue;
    int x, y, level;
    g_map.UnpackCellOffset(g_map.cells + i, x, y, level);
    OnCellChanged(x, y, level, 2);
  }
  // Work off the queue. Each frame's share makes progress, so this ends; the bound is a
  // guard against a queue that never empties.
  int64_t guard = static_cast<int64_t>(kChecks + count + 1) * (count + 1) * 64;
  while ((nodeUnderTest != -1 || checks[readIndex].node != -1) && guard-- > 0) Update();
}

void CPathNetwork::PlaceCheck(int position) {
  CPathCheck moving = checks[position];
  for (int i = readIndex; i != position; i = Next(i)) {
    if (moving.distance < checks[i].distance) std::swap(moving, checks[i]);
  }
  checks[position] = moving;
}

void CPathNetwork::OnCellChanged(int x, int y, int level, int kind) {
  if (count <= 0 || !g_map.cells) return;
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  int lo = FindFirstNodeAtX(CWrapCoord::WrapX(x - 4)), hi = FindFirstNodeAtX(CWrapCoord::WrapX(x + 5));
  auto report = [&](int index) {
    const CPathNode& node = nodes[static_cast<size_t>(index)];
    int dx = std::abs(WrapDeltaX(x, node.x)), dy = std::abs(WrapDeltaY(y, node.y));
    if (2 * std::max(dx, dy) + std::min(dx, dy) > kNearWindow) return;
    int distance = MapWrappedDistance(x, y, level, node.x, node.y, node.level);
    for (int i = 0; i < kChecks; ++i) {
      CPathCheck& entry = checks[i];
      if (entry.node != index) continue;
      if (entry.kind != kind) entry.kind = 0;
      if (distance < entry.distance) {
        entry.distance = distance;
        PlaceCheck(i);
      }
      return;
    }
    if (checks[writeIndex].node != -1) return;  // the ring is full: the report is dropped
    checks[writeIndex] = CPathCheck{index, kind, distance};
    int placed = writeIndex;
    writeIndex = Next(writeIndex);
    PlaceCheck(placed);
  };
  if (lo < hi) {
    for (int i = lo; i <= hi; ++i) report(i);
  } else {
    for (int i = lo; i < count; ++i) report(i);
    for (int i = 0; i <= hi && hi < lo; ++i) report(i);
  }
}

void CPathNetwork::Update() {
  if (g_mapHooks.battle->PathNetworkPaused()) return;
  if (nodeUnderTest == -1 && checks[readIndex].node != -1) {
    const CPathCheck entry = checks[readIndex];
    nodeUnderTest = entry.node;
    kind1Flag = entry.kind == 1;
    kind2Flag = entry.kind == 2;
    checks[readIndex] = CPathCheck{};
    readIndex = Next(readIndex);
    candidateIndex = stage = heightIndex = 0;
    freshPair = true;
  }
  if (nodeUnderTest == -1) return;
  if (nodeUnderTest < 0 || nodeUnderTest >= count) {
    nodeUnderTest = -1;
    return;
  }
  int32_t budget = kUpdateBudget;
  const CPathNode& tested = nodes[static_cast<size_t>(nodeUnderTest)];
  for (; candidateIndex < count; ++candidateIndex) {
    if (candidateIndex == nodeUnderTest) continue;
    const CPathNode& other = nodes[static_cast<size_t>(candidateIndex)];
    int d = PairDistance(tested, other, true);
    if (d > kPairRange) continue;
    if (freshPair && !PassesPairCheck(tested, other, d, 0)) continue;
    if (budget <= 0) return;  // the frame's share is spent: the next frame starts this pair
    if (!TestLinkStep(nodeUnderTest, candidateIndex, freshPair, &budget)) {
      freshPair = false;  // the next frame goes on with this pair
      return;
    }
    freshPair = true;
  }
  nodeUnderTest = -1;
}

bool CPathNetwork::HasPendingChecks() const { return nodeUnderTest != -1 || checks[readIndex].node != -1; }

void CPathNetwork::FinishPendingChecks() {
  if (g_mapHooks.battle->PathNetworkPaused()) return;
  // Each call takes the next check or goes on with the node under test; the bound only keeps
  // a fault from hanging the game.
  constexpr int kMostCalls = 1 << 22;
  for (int calls = 0; calls < kMostCalls && HasPendingChecks(); ++calls) Update();
}

namespace {

void WriteCheck(bytes::Writer& out, const CPathCheck& check) {
  out.I32(check.node);
  out.I32(check.kind);
  out.I32(check.distance);
}

void WriteSection(bytes::Writer& out, const CPathSection& section) {
  for (int32_t v : {section.xStart, section.yStart, section.xEnd, section.yEnd, section.rotation}) out.I32(v);
  out.Bytes(section.fileName, sizeof section.fileName);
  for (int32_t v : section.values) out.I32(v);
}

bool ReadSection(bytes::Reader& in, CPathSection& section) {
  for (int32_t* v : {&section.xStart, &section.yStart, &section.xEnd, &section.yEnd, &section.rotation}) *v = in.I32();
  in.Bytes(section.fileName, sizeof section.fileName);
  section.fileName[sizeof section.fileName - 1] = '\0';
  for (int32_t& v : section.values) v = in.I32();
  if (section.xEnd == 0) return true;  // a free slot
  // A section in use starts in the map and ends at most one map size further on.
  return section.rotation >= 0 && section.rotation <= 3 && section.xStart >= 0 && section.xStart < g_map.width &&
         section.yStart >= 0 && section.yStart < g_map.height && section.xEnd > 0 && section.xEnd <= g_map.width &&
         section.yEnd > 0 && section.yEnd <= g_map.height;
}

bool ValidNode(const CPathNode& node, int n) {
  if (node.inUse && !g_map.IsInside(node.x, node.y, node.level)) return false;
  for (const CPathLink& link : node.links)
    if (link.cost != 0 && (link.target < 0 || link.target >= n)) return false;
  return true;
}

}  // namespace

int CPathNetwork::Save(FILE* file) const {
  bytes::Writer out;
  bytes::WriteCounted(out, count, [&](bytes::Writer& record, int i) { nodes[static_cast<size_t>(i)].Write(record); });
  building.Write(out);
  for (const CPathCheck& check : checks) WriteCheck(out, check);
  for (const CPathSection& section : sections) WriteSection(out, section);
  for (int32_t v : {readIndex, writeIndex, nodeUnderTest, candidateIndex, stage, heightIndex, allowanceLeft})
    out.I32(v);
  savedLink.Write(out);
  out.I32(kind1Flag);
  out.I32(kind2Flag);
  return bytes::WriteSaveBlock(file, out);
}

int CPathNetwork::Load(FILE* file) {
  bytes::CountedBlock block;
  if (!bytes::ReadCountedBlock(file, 0, kCapacity, CPathNode::kBytes, kSaveFixedBytes - 4, block)) return -1;
  const int32_t n = block.count;

  // Read into a fresh network and take it only when every part is sound.
  auto loaded = std::make_unique<CPathNetwork>();
  bytes::Reader in(block.data);
  for (int i = 0; i < n; ++i) {
    loaded->nodes[static_cast<size_t>(i)].Read(in);
    if (!ValidNode(loaded->nodes[static_cast<size_t>(i)], n)) return -1;
  }
  loaded->count = n;
  loaded->building.Read(in);
  for (CPathCheck& check : loaded->checks) {
    check.node = in.I32();
    check.kind = in.I32();
    check.distance = in.I32();
    if (check.node < -1 || check.node >= n || check.kind < -1 || check.kind > 2) return -1;
  }
  for (CPathSection& section : loaded->sections)
    if (!ReadSection(in, section)) return -1;
  loaded->readIndex = in.I32();
  loaded->writeIndex = in.I32();
  loaded->nodeUnderTest = in.I32();
  loaded->candidateIndex = in.I32();
  loaded->stage = in.I32();
  loaded->heightIndex = in.I32();
  loaded->allowanceLeft = in.I32();
  loaded->savedLink.Read(in);
  loaded->kind1Flag = in.I32();
  loaded->kind2Flag = in.I32();
  if (!in.Ok() || loaded->readIndex < 0 || loaded->readIndex >= kChecks || loaded->writeIndex < 0 ||
      loaded->writeIndex >= kChecks || loaded->nodeUnderTest < -1 || loaded->nodeUnderTest >= n ||
      loaded->candidateIndex < 0 || loaded->candidateIndex > n || loaded->stage < 0 || loaded->stage > 10 ||
      loaded->heightIndex < 0 || loaded->heightIndex > kTestHeights)
    return -1;

  nodes = std::move(loaded->nodes);
  count = loaded->count;
  cursor = 0;
  building = loaded->building;
  std::copy(std::begin(loaded->checks), std::end(loaded->checks), checks);
  std::copy(std::begin(loaded->sections), std::end(loaded->sections), sections);
  readIndex = loaded->readIndex;
  writeIndex = loaded->writeIndex;
  nodeUnderTest = loaded->nodeUnderTest;
  candidateIndex = loaded->candidateIndex;
  stage = loaded->stage;
  heightIndex = loaded->heightIndex;
  allowanceLeft = loaded->allowanceLeft;
  savedLink = loaded->savedLink;
  kind1Flag = loaded->kind1Flag;
  kind2Flag = loaded->kind2Flag;
  linkSearch.Clear();
  entrySearch.Clear();
  nodeSearch.Clear();
  stageStarted_ = heightStarted_ = false;
  freshPair = true;
  // An interrupted test starts over.
  if (nodeUnderTest != -1) {
    const CPathNode& node = nodes[static_cast<size_t>(nodeUnderTest)];
    nodeUnderTest = -1;
    OnCellChanged(node.x, node.y, node.level, 0);
  }
  return block.Size();
}
