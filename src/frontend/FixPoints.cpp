#include "frontend/FixPoints.h"

#include <cstring>

#include "core/Bytes.h"
#include "core/Random.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "platform/Files.h"

namespace {

constexpr uint8_t kMagic[4] = {'.', 'F', 'P', 0};
constexpr uint16_t kDotColour = 0xFFE0;  // yellow in 5-6-5

RealmPoint ReadPoint(bytes::Reader& in) {
  RealmPoint p;
  p.x = in.I32();
  p.y = in.I32();
  return p;
}

}  // namespace

bool CFixPoints::Load(const char* fileName) {
  std::vector<uint8_t> data;
  if (!fileName || !platform::ReadWholeFile(fileName, data)) {
    Free();
    return false;
  }
  return LoadBytes(data.data(), data.size());
}

bool CFixPoints::LoadBytes(const uint8_t* data, size_t size) {
  Free();
  pathCount = 0;
  if (!data || size < static_cast<size_t>(kHeaderBytes + kSlotBytes) || std::memcmp(data, kMagic, 4) != 0) return false;
  bytes::Reader in(data, size);
  in.Skip(4);
  if (in.I32() != kVersion) return false;
  const RealmPoint flag = ReadPoint(in);
  const int32_t count = in.I32();
  int32_t lengths[kMaxPaths], starts[kMaxPaths];
  for (int32_t& v : lengths) v = in.I32();
  for (int32_t& v : starts) v = in.I32();
  RealmPoint slots[kStartSlots];
  for (RealmPoint& slot : slots) slot = ReadPoint(in);
  if (!in.Ok() || count < 0 || count > kMaxPaths) return false;

  // The table holds the counted paths' points; each path must lie inside it.
  int64_t total = 0;
  for (int p = 0; p < count; ++p) {
    if (lengths[p] < 0 || starts[p] < 0) return false;
    total += lengths[p];
  }
  if (total > kMaxPoints) return false;
  for (int p = 0; p < count; ++p)
    if (static_cast<int64_t>(starts[p]) + lengths[p] > total) return false;
  if (!in.Has(static_cast<size_t>(total) * 8)) return false;

  std::vector<RealmPoint> table(static_cast<size_t>(total));
  for (RealmPoint& point : table) point = ReadPoint(in);
  flagPoint = flag;
  pathCount = count;
  std::memcpy(pathLengths, lengths, sizeof pathLengths);
  std::memcpy(pathStarts, starts, sizeof pathStarts);
  std::memcpy(startSlots, slots, sizeof startSlots);
  points = std::move(table);
  return true;
}

int CFixPoints::GetPathLength(int path) const { return path >= 0 && path < pathCount ? pathLengths[path] : 0; }

RealmPoint CFixPoints::GetPathEnd(int path) const { return GetPathPoint(path, GetPathLength(path) - 1); }

RealmPoint CFixPoints::GetPathPoint(int path, int step) const {
  if (points.empty() || path < 0 || path >= pathCount || step < 0 || step >= pathLengths[path]) return {};
  return points[static_cast<size_t>(pathStarts[path]) + step];
}

RealmPoint CFixPoints::TakeStartSlot() {
  const uint32_t r = g_random.Next() & 0x7fffffffu;
  for (uint32_t i = 0; i < kStartSlots; ++i) {
    const int slot = static_cast<int>((r + i) % kStartSlots);
    if (slotTaken[slot]) continue;
    slotTaken[slot] = 1;
    return startSlots[slot];
  }
  return {};
}

void CFixPoints::ReleaseStartSlot(int x, int y) {
  for (int slot = 0; slot < kStartSlots; ++slot)
    if (slotTaken[slot] && startSlots[slot].x == x && startSlots[slot].y == y) {
      slotTaken[slot] = 0;
      return;
    }
}

std::vector<RealmPoint> CFixPoints::StepDots() {
  ++frameCounter;
  const int phase = frameCounter & 7;
  std::vector<RealmPoint> dots;
  for (int p = 0; p < pathCount; ++p)
    for (int step = phase; step < pathLengths[p]; step += 8) dots.push_back(GetPathPoint(p, step));
  return dots;
}

void CFixPoints::DrawPaths(CSurface* surface) {
  const std::vector<RealmPoint> dots = StepDots();
  if (!surface || !surface->IsCreated()) return;
  const bool lowRes = ScreenWidth() == 640;
  for (RealmPoint dot : dots) {
    const int x = lowRes ? dot.x * 640 / 800 : dot.x;
    const int y = lowRes ? dot.y * 480 / 600 : dot.y;
    const platform::Rect square{x - 1, y - 1, x + 1, y + 1};
    surface->FillRect(&square, kDotColour);
  }
}

void CFixPoints::Free() {
  std::memset(slotTaken, 0, sizeof slotTaken);
  points.clear();
  points.shrink_to_fit();
}
