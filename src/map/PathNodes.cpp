// The path nodes: records and their bytes, node files, sections, sorting and generation.
#include <algorithm>
#include <cstring>

#include "map/MapFiles.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

CPathNetwork g_pathNetwork;

namespace {

constexpr int kGridStart = 2;
constexpr int kGridStep = 5;

}  // namespace

// --- records ------------------------------------------------------------------------------

bool CPathLink::Admits(int height, int size, int airborne, int movementKind) const {
  if (cost == 0) return false;
  int s = size == 2 ? 1 : 0;
  auto passes = [&](int group) { return groups[group].flag && groups[group].tallest[s] >= height; };
  if (passes(kGroupAny)) return true;
  if (airborne && passes(kGroupAirborne)) return true;
  switch (movementKind) {
    case 1:
      return passes(kGroupKind1) && smallest[s] <= height;
    case 2:
      return passes(kGroupKind2);
    case 3:
      return passes(kGroupKind3);
    default:
      return false;
  }
}

bool CPathLink::SameCapabilities(const CPathLink& other) const {
  for (int g = 0; g < kLinkGroups; ++g) {
    if (groups[g].flag != other.groups[g].flag || groups[g].tallest[0] != other.groups[g].tallest[0] ||
        groups[g].tallest[1] != other.groups[g].tallest[1])
      return false;
  }
  return smallest[0] == other.smallest[0] && smallest[1] == other.smallest[1];
}

void CPathLink::Write(bytes::Writer& out) const {
  out.I32(cost);
  out.I32(target);
  for (const Group& group : groups) {
    out.U8(group.flag);
    out.I8(group.tallest[0]);
    out.I8(group.tallest[1]);
  }
  out.I8(smallest[0]);
  out.I8(smallest[1]);
  out.Zeros(3);
}

void CPathLink::Read(bytes::Reader& in) {
  cost = in.I32();
  target = in.I32();
  for (Group& group : groups) {
    group.flag = in.U8();
    group.tallest[0] = in.I8();
    group.tallest[1] = in.I8();
  }
  smallest[0] = in.I8();
  smallest[1] = in.I8();
  in.Skip(3);
}

void CPathNode::Write(bytes::Writer& out) const {
  out.I32(inUse);
  out.I32(x);
  out.I32(y);
  out.I32(level);
  for (const CPathLink& link : links) link.Write(out);
  out.I32(sortKey);
  out.I32(topOfColumn);
  out.I32(traffic);
  out.Bytes(savedMarks, sizeof savedMarks);
  out.Bytes(values, sizeof values);
  out.Bytes(currentMark, sizeof currentMark);
}

void CPathNode::Read(bytes::Reader& in) {
  inUse = in.I32();
  x = in.I32();
  y = in.I32();
  level = in.I32();
  for (CPathLink& link : links) link.Read(in);
  sortKey = in.I32();
  topOfColumn = in.I32();
  traffic = in.I32();
  in.Bytes(savedMarks, sizeof savedMarks);
  in.Bytes(values, sizeof values);
  in.Bytes(currentMark, sizeof currentMark);
}

CMoveQuery CRouteMover::Query() const {
  if (queryGiven || creature < 0) return query;
  CMoveQuery filled = query;
  g_mapHooks.creatures->GetMoveQuery(creature, filled);
  return filled;
}

// --- the table ----------------------------------------------------------------------------

CPathNetwork::CPathNetwork() : nodes(kCapacity) { Clear(); }

void CPathNetwork::Clear() {
  std::fill(nodes.begin(), nodes.end(), CPathNode{});
  count = 0;
  cursor = 0;
  for (CPathCheck& check : checks) check = CPathCheck{};
  for (CPathSection& section : sections) section = CPathSection{};
  readIndex = writeIndex = 0;
  kind1Flag = kind2Flag = 0;
  candidateIndex = stage = heightIndex = allowanceLeft = 0;
  nodeUnderTest = -1;
  freshPair = true;
  building = savedLink = CPathLink{};
  linkSearch.Clear();
  entrySearch.Clear();
  nodeSearch.Clear();
  walkList.clear();
}

CPathNode* CPathNetwork::NextNode() {
  if (cursor < 0 || cursor >= count) return nullptr;
  return &nodes[static_cast<size_t>(cursor++)];
}

CPathNode* CPathNetwork::GetNode(int index) {
  return index >= 0 && index < capacity ? &nodes[static_cast<size_t>(index)] : nullptr;
}
const CPathNode* CPathNetwork::GetNode(int index) const {
  return index >= 0 && index < capacity ? &nodes[static_cast<size_t>(index)] : nullptr;
}

// --- node files ---------------------------------------------------------------------------

int CPathNetwork::LoadSection(const char* fileName, int xOffset, int yOffset, int width, int height, int rotation,
                              int value1, int value2, int value3, int value4) {
  std::vector<uint8_t> data;
  if (!ReadMapDataFile(fileName, data) || data.size() < 16) return 0;
  uint32_t n = bytes::LoadU32(data.data() + 12);
  if (data.size() != 24 + static_cast<uint64_t>(kNodeFileRecordBytes) * n) return 0;
  if (n == 0) return 1;
  if (static_cast<int64_t>(count) + n >= capacity || !g_map.cells) return 0;
  rotation &= 3;

  // Every record is read and checked before anything changes.
  std::vector<CPathNode> loaded(n);
  bytes::Reader in(data.data() + 16, data.size() - 24);
  for (CPathNode& node : loaded) {
    size_t start = in.Position();
    node.inUse = in.I32();
    in.Skip(4);
    node.x = in.I32();
    node.y = in.I32();
    node.level = in.I32();
    for (CPathLink& link : node.links) {
      link.cost = in.I32();
      link.target = in.I32();
      for (CPathLink::Group& group : link.groups) {
        group.flag = in.U8();
        group.tallest[0] = in.I8();
        group.tallest[1] = in.I8();
      }
      link.smallest[0] = in.I8();
      link.smallest[1] = in.I8();
    }
    in.Skip(8);
    node.topOfColumn = in.I32();
    in.Seek(start + kNodeFileRecordBytes);
    if (!node.inUse) continue;
    if (node.x < 0 || node.x >= width || node.y < 0 || node.y >= height || node.level < 0 || node.level >= g_map.levels)
      return 0;
    for (const CPathLink& link : node.links)
      if (link.cost != 0 && (link.target < 0 || static_cast<uint32_t>(link.target) >= n)) return 0;
  }
  if (!in.Ok()) return 0;

  int xEnd = xOffset + ((rotation & 1) ? height : width);
  int yEnd = yOffset + ((rotation & 1) ? width : height);
  AddSection(xOffset, yOffset, xEnd, yEnd, rotation, fileName, value1, value2, value3, value4);
  const int oldCount = count;
  for (uint32_t i = 0; i < n; ++i) {
    CPathNode node = loaded[i];
    if (!node.inUse) {
      // Turning stops at the first record not in use; the rest are kept as read.
      for (uint32_t rest = i; rest < n; ++rest) nodes[static_cast<size_t>(oldCount) + rest] = loaded[rest];
      break;
    }
    int lx = node.x, ly = node.y;
    switch (rotation) {
      case 1:
        node.x = height - ly - 1;
        node.y = lx;
        break;
      case 2:
        node.x = width - lx - 1;
        node.y = height - ly - 1;
        break;
      case 3:
        node.x = ly;
        node.y = width - lx - 1;
        break;
      default:
        break;
    }
    node.x = CWrapCoord::WrapX(node.x + xOffset);
    node.y = CWrapCoord::WrapY(node.y + yOffset);
    for (CPathLink& link : node.links)
      if (link.cost != 0) link.target += oldCount;
    nodes[static_cast<size_t>(oldCount) + i] = node;
  }
  count += static_cast<int32_t>(n);
  return 1;
}

void CPathNetwork::AddSection(int xStart, int yStart, int xEnd, int yEnd, int rotation, const char* fileName,
                              int value1, int value2, int value3, int value4) {
  for (CPathSection& section : sections) {
    if (section.xEnd != 0) continue;
    section.xStart = xStart;
    section.yStart = yStart;
    section.xEnd = xEnd > g_map.width ? xEnd - g_map.width : xEnd;
    section.yEnd = yEnd > g_map.height ? yEnd - g_map.height : yEnd;
    section.rotation = rotation;
    std::snprintf(section.fileName, sizeof section.fileName, "%s", fileName ? fileName : "");
    section.values[0] = value1;
    section.values[1] = value2;
    section.values[2] = value3;
    section.values[3] = value4;
    return;
  }
}

namespace {

// A range from s to an exclusive end e holds v; when e < s it wraps round the map.
bool RangeHolds(int s, int e, int v) { return e < s ? (v >= s || v < e) : (s <= v && v < e); }

}  // namespace

int CPathNetwork::FindSection(int x, int y) const {
  for (int i = 0; i < kSections; ++i) {
    const CPathSection& s = sections[i];
    if (s.xEnd != 0 && RangeHolds(s.xStart, s.xEnd, x) && RangeHolds(s.yStart, s.yEnd, y)) return i;
  }
  return kSections;
}

int CPathNetwork::GetSectionLocalPosition(int& x, int& y, int value) const {
  int index = FindSection(x, y);
  if (index == kSections) return value;  // in no section: the position stays as it is
  const CPathSection& s = sections[index];
  int ux = x < s.xStart ? x + g_map.width : x, uy = y < s.yStart ? y + g_map.height : y;
  int dx = ux - s.xStart, dy = uy - s.yStart;
  int w = s.xEnd - s.xStart, h = s.yEnd - s.yStart;
  if (s.rotation & 1) std::swap(w, h);
  if (w < 0) w += (s.rotation & 1) ? g_map.height : g_map.width;
  if (h < 0) h += (s.rotation & 1) ? g_map.width : g_map.height;
  switch (s.rotation & 3) {
    case 1:
      x = dy;
      y = h - dx - 1;
      break;
    case 2:
      x = w - dx - 1;
      y = h - dy - 1;
      break;
    case 3:
      x = w - dy - 1;
      y = dx;
      break;
    default:
      x = dx;
      y = dy;
      break;
  }
  return s.values[0];
}

int CPathNetwork::IsOnSectionExitEdge(int x, int y) const {
  int index = FindSection(x, y);
  if (index == kSections) return 0;
  const CPathSection& s = sections[index];
  int lastX = CWrapCoord::WrapX(s.xEnd - 1), lastY = CWrapCoord::WrapY(s.yEnd - 1);
  switch (s.rotation & 3) {
    case 0:
      return x == lastX || y == lastY;
    case 1:
      return x == s.xStart || y == lastY;
    case 2:
      return x == s.xStart || y == s.yStart;
    default:
      return x == lastX || y == s.yStart;
  }
}

// --- sorting ------------------------------------------------------------------------------

void CPathNetwork::ComputeCellKeys() {
  const int32_t unused = g_map.width * (g_map.height - 1) + (g_map.width - 1) * g_map.cellsPerLevel + g_map.levels;
  count = 0;
  for (CPathNode& node : nodes) {
    if (node.inUse) {
      node.sortKey = node.x * g_map.cellsPerLevel + node.y * g_map.width + node.level;
      ++count;
    } else {
      node.sortKey = unused;
    }
  }
  // A stable sort: nodes with equal keys keep their order on every machine.
  std::stable_sort(nodes.begin(), nodes.end(),
                   [](const CPathNode& a, const CPathNode& b) { return a.sortKey < b.sortKey; });
}

int CPathNetwork::FindFirstNodeAtX(int x) const {
  const int n = count;
  if (n <= 0) return -1;
  int b = n / 2, step = (b + 1) / 2;
  while (step > 1) {
    if (nodes[static_cast<size_t>(b)].x < x)
      b = std::min(b + step, n - 1);
    else
      b = std::max(b - step, 0);
    step = (step + 1) / 2;
  }
  if (nodes[static_cast<size_t>(b)].x < x) {
    while (nodes[static_cast<size_t>(b)].x < x && b < n - 1) ++b;
  } else {
    while (b >= 1 && nodes[static_cast<size_t>(b - 1)].x >= x) --b;
  }
  return b;
}

void CPathNetwork::ResolveLinkTargets() {
  // Targets become cell codes across the re-sort, and indexes again after it.
  for (int i = 0; i < capacity; ++i) {
    CPathNode& node = nodes[static_cast<size_t>(i)];
    for (CPathLink& link : node.links) {
      if (link.cost == 0) continue;
      const CPathNode* target = GetNode(link.target);
      if (!target || !target->inUse) {
        link = CPathLink{};
        continue;
      }
      link.target = target->x * g_map.cellsPerLevel + target->y * g_map.width + target->level;
    }
  }
  ComputeCellKeys();
  for (int i = 0; i < count; ++i) {
    for (CPathLink& link : nodes[static_cast<size_t>(i)].links) {
      if (link.cost == 0) continue;
      int code = link.target;
      int tx = code / g_map.cellsPerLevel, rest = code % g_map.cellsPerLevel;
      int ty = rest / g_map.width, tl = rest % g_map.width;
      int found = -1;
      for (int k = std::max(FindFirstNodeAtX(tx), 0); k < count && nodes[static_cast<size_t>(k)].x == tx; ++k) {
        const CPathNode& candidate = nodes[static_cast<size_t>(k)];
        if (candidate.y == ty && candidate.level == tl) {
          found = k;
          break;
        }
      }
      if (found < 0)
        link = CPathLink{};
      else
        link.target = found;
    }
  }
}

int CPathNetwork::FindLink(int a, int b) const {
  const CPathNode* node = GetNode(a);
  if (!node) return 0;
  for (const CPathLink& link : node->links)
    if (link.cost != 0 && link.target == b) return link.cost;
  return 0;
}

void CPathNetwork::ClearNodeCounters() {
  for (int i = 0; i < count; ++i) nodes[static_cast<size_t>(i)].traffic = 0;
}
void CPathNetwork::ClearSearchState() {
  for (int i = 0; i < count; ++i) std::memset(nodes[static_cast<size_t>(i)].values, 0, 3);
}
void CPathNetwork::ClearVisitMarks() {
  for (int i = 0; i < count; ++i) std::memset(nodes[static_cast<size_t>(i)].currentMark, 0, 4);
}
void CPathNetwork::StoreMarks(int slot) {
  if (slot < 0 || slot > 7) return;
  for (int i = 0; i < count; ++i) {
    CPathNode& node = nodes[static_cast<size_t>(i)];
    std::memcpy(node.savedMarks[slot], node.currentMark, 4);
  }
}

// --- generation ---------------------------------------------------------------------------

void CPathNetwork::SettleNodePosition(int& x, int& y, int& level) const {
  const CMoveQuery tests[] = {CMoveQuery::TestCreature(4, 1, 0),    CMoveQuery::TestCreature(4, 1, 3),
                              CMoveQuery::TestCreature(4, 1, 0, 1), CMoveQuery::TestCreature(1, 1, 0),
                              CMoveQuery::TestCreature(1, 1, 3),    CMoveQuery::TestCreature(1, 1, 0, 1)};
  const CMoveQuery* fits = nullptr;
  for (const CMoveQuery& test : tests)
    if (g_map.CanOccupy(x, y, level, test)) {
      fits = &test;
      break;
    }
  if (!fits) return;
  CMoveQuery large = *fits;
  large.size = 2;
  if (g_map.CanOccupy(x, y, level, large)) return;
  for (const GridStep& step : kNeighbours26) {
    int nx = x + step.dx, ny = y + step.dy, nz = level + step.dz;
    if (!g_map.IsInside(nx, ny, nz)) continue;
    int kind, support = -1;
    if (!g_map.CanStepBetween(x, y, level, nx, ny, nz, *fits, &kind, &support)) continue;
    if (g_map.CanOccupy(nx, ny, nz, *fits) && g_map.CanOccupy(nx, ny, nz, large)) {
      x = nx;
      y = ny;
      level = nz;
      return;
    }
  }
}

int CPathNetwork::PlaceNodeColumn(int x, int y, int fromLevel, bool firstInColumn, int previousNode) {
  const CMoveQuery standing = CMoveQuery::TestCreature(1, 1, 0);
  const CMoveQuery kind3 = CMoveQuery::TestCreature(1, 1, 3);
  const CMoveQuery largeFlier = CMoveQuery::TestCreature(1, 2, 0, 1);
  bool latch = true;
  int lastPlaced = -1;
  for (int level = fromLevel; level < g_map.levels && count < capacity; ++level) {
    if (g_map.CellAt(x, y, level).terrain != 0) latch = true;
    if (!latch || !g_map.CellSupports(x, y, level, standing)) continue;
    int sx = x, sy = y, sl = level;
    SettleNodePosition(sx, sy, sl);
    latch = false;
    bool place = firstInColumn && lastPlaced < 0 && previousNode < 0;
    if (!place) place = g_map.CellAt(x, y, level).terrain != 0 || g_map.CanOccupy(sx, sy, sl, kind3);
    int from = lastPlaced >= 0 ? lastPlaced : previousNode;
    if (!place && from >= 0) {
      const CPathNode& before = nodes[static_cast<size_t>(from)];
      place = !g_map.GreedyWalk(before.x, before.y, before.level, sx, sy, sl, largeFlier);
    }
    if (!place) continue;
    CPathNode& node = nodes[static_cast<size_t>(count)];
    node = CPathNode{};
    node.inUse = 1;
    node.x = sx;
    node.y = sy;
    node.level = sl;
    lastPlaced = count++;
  }
  if (lastPlaced >= 0) nodes[static_cast<size_t>(lastPlaced)].topOfColumn = 1;
  return lastPlaced;
}

void CPathNetwork::GenerateNodes(int clear) {
  if (!g_map.cells) return;
  if (clear) {
    std::fill(nodes.begin(), nodes.end(), CPathNode{});
    count = 0;
  }
  int columnsDone = 0, nextTwentieth = 1;
  for (int x = kGridStart; x < g_map.width && count < capacity; x += kGridStep) {
    for (int y = kGridStart; y < g_map.height && count < capacity; y += kGridStep) PlaceNodeColumn(x, y, 0, true, -1);
    ++columnsDone;
    while (columnsDone * 20 >= nextTwentieth * g_map.width && nextTwentieth <= 20) {
      g_mapHooks.battle->ProgressStep();
      ++nextTwentieth;
    }
  }
  ComputeCellKeys();

  // Cells no node can be reached from get nodes of their own.
  const CMoveQuery standing = CMoveQuery::TestCreature(1, 1, 0);
  const CMoveQuery tall = CMoveQuery::TestCreature(4, 1, 0), walker = CMoveQuery::TestCreature(1, 1, 0),
                   kind3 = CMoveQuery::TestCreature(1, 1, 3);
  for (int x = 0; x < g_map.width && count < capacity; ++x) {
    for (int y = 0; y < g_map.height && count < capacity; ++y) {
      for (int level = 0; level < g_map.levels && count < capacity; ++level) {
        if (!g_map.CellSupports(x, y, level, standing)) continue;
        auto unreached = [&](const CMoveQuery& query) {
          CLocationRequest location;
          location.x = x;
          location.y = y;
          location.level = level;
          location.mover.queryGiven = true;
          location.mover.query = query;
          return FindNearestReachableNode(location) < 0;
        };
        bool needed;
        if (g_map.CanOccupy(x, y, level, tall) && unreached(tall))
          needed = true;
        else if (g_map.CanOccupy(x, y, level, walker))
          needed = unreached(walker);
        else
          needed = g_map.CanOccupy(x, y, level, kind3) && unreached(kind3);
        if (!needed) continue;
        PlaceNodeColumn(x, y, level, true, -1);
        ComputeCellKeys();
      }
    }
  }
}

void CPathNetwork::FitNodesToLargeFootprints() {
  for (int i = 0; i < count; ++i) {
    CPathNode& node = nodes[static_cast<size_t>(i)];
    if (!node.inUse) continue;
    const CPathLink* decider = nullptr;
    bool any = false;
    for (const CPathLink& link : node.links) {
      if (link.cost == 0 || !link.groups[kGroupAny].flag) continue;
      any = true;
      if (link.groups[kGroupAny].tallest[1] != 0) {
        decider = &link;
        break;
      }
    }
    int airborne = 0;
    if (!decider && !any) {
      for (const CPathLink& link : node.links)
        if (link.cost != 0 && link.groups[kGroupAirborne].flag && link.groups[kGroupAirborne].tallest[1] != 0) {
          decider = &link;
          airborne = 1;
          break;
        }
    }
    if (!decider) continue;
    CMoveQuery large = CMoveQuery::TestCreature(1, 2, 0, airborne), small = CMoveQuery::TestCreature(1, 1, 0, airborne);
    if (g_map.CanOccupy(node.x, node.y, node.level, large)) continue;
    int section = FindSection(node.x, node.y);
    int rotation = section == kSections ? 0 : sections[section].rotation & 3;
    int baseX = CWrapCoord::WrapX(node.x - (rotation == 1 || rotation == 2 ? 1 : 0));
    int baseY = CWrapCoord::WrapY(node.y - (rotation == 2 || rotation == 3 ? 1 : 0));
    bool moved = false;
    for (int level = node.level - 1; level <= node.level + 1 && !moved; ++level) {
      if (level <= 0 || level >= g_map.levels) continue;
      for (int dx = 0; dx < 2 && !moved; ++dx) {
        for (int dy = 0; dy < 2 && !moved; ++dy) {
          int x = CWrapCoord::WrapX(baseX + dx), y = CWrapCoord::WrapY(baseY + dy);
          if (!g_map.CanOccupy(x, y, level, large) || !g_map.CanOccupy(x, y, level, small)) continue;
          bool taken = false;
          for (int k = 0; k < count && !taken; ++k) {
            const CPathNode& other = nodes[static_cast<size_t>(k)];
            taken = k != i && other.inUse && other.x == x && other.y == y && other.level == level;
          }
          if (taken) continue;
          node.x = x;
          node.y = y;
          node.level = level;
          moved = true;
        }
      }
    }
  }
}
