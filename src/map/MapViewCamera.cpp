// The map view's camera: where it looks, scrolling and turning over the wrapping map, and the
// integer projection between map units and screen pixels.
#include "map/MapView.h"
#include "map/MapViewHooks.h"

CMapView g_mapView;

namespace {

// Wraps a cell coordinate into 0..size-1 (unchanged without an extent).
int WrapCell(int v, int size) {
  if (size <= 0) return v;
  v %= size;
  return v < 0 ? v + size : v;
}

int FloorDiv32(int64_t t) { return static_cast<int>(t >= 0 ? t >> 5 : -((-t + 31) >> 5)); }

// The signed first-cell direction of each rotation: (x sign, y sign).
constexpr int kFirstCellSign[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};

}  // namespace

CMapView::CMapView() { BuildDepthTables(256); }

CMapView::~CMapView() {
  if (g_soundListener == this) g_soundListener = nullptr;
  if (g_speechCamera == this) g_speechCamera = nullptr;
}

int CMapView::Attach(CMap* newMap, CSurface* surface, CSprite* terrain, const platform::Rect& viewRect, int isActive) {
  rotateRightRequest = rotateLeftRequest = 0;
  if (!Register(viewRect, isActive)) return 0;
  map = drawnMap = newMap;
  rotation = 0;
  levelsShown = MapLevels();
  drawList.rotation = 0;
  drawnOnce = 0;
  drawSurface = surface;
  terrainSprites = terrain;
  drawList.SetOcclusionFrames(terrain);
  camLevel = MapLevels() == 0 ? MapLevels() - 1 : 0;
  SetViewRect(viewRect);
  g_soundListener = this;
  g_speechCamera = this;
  return 1;
}

void CMapView::SetMap(CMap* newMap) {
  map = drawnMap = newMap;
  levelsShown = MapLevels();
  rotation = 0;
  drawList.rotation = 0;
  drawList.Reset();
  drawnOnce = 0;
  fullRebuild = 1;
}

void CMapView::SetViewRect(const platform::Rect& viewRect) {
  rect = viewRect;
  viewWidth = rect.right - rect.left;
  viewHeight = rect.bottom - rect.top;
  const unsigned w = static_cast<unsigned>(viewWidth), h = static_cast<unsigned>(viewHeight);
  const int n = static_cast<int>(((((w + 65) >> 1) + ((h + 33) >> 1) * 2 + 31) >> 5) + 1);
  cellsAcross = n + (2 * MapLevels()) / 3;
  halfAcross = cellsAcross >> 1;
}

void CMapView::SetCameraCell(int x, int y, int level) {
  SetCameraPosition(static_cast<uint32_t>(x * 32), static_cast<uint32_t>(y * 32), static_cast<uint32_t>(level * 16));
}

void CMapView::SetCameraPosition(uint32_t x, uint32_t y, uint32_t z) {
  camCellX = WrapCell(static_cast<int>(x >> 5), MapWidth());
  camSubX = static_cast<int>(x & 31);
  camCellY = WrapCell(static_cast<int>(y >> 5), MapHeight());
  camSubY = static_cast<int>(y & 31);
  camLevel = static_cast<int>(z >> 4);
  camSubZ = static_cast<int>(z & 15);
}

void CMapView::FocusOnPosition(int x, int y, int z) {
  const int spanX = MapWidth() * 32, spanY = MapHeight() * 32;
  if (spanX > 0) x = WrapCell(x, spanX);
  if (spanY > 0) y = WrapCell(y, spanY);
  SetCameraPosition(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(z));
}

void CMapView::FocusOnCreature(int creature) {
  if (creature < 0) return;
  CreatureDrawInfo info;
  if (!g_mapViewHooks.creatures->GetDrawInfo(creature, rotation, info)) return;
  FocusOnPosition(info.x, info.y, info.z);
}

void CMapView::ScrollUnits(int dx, int dy) {
  const int64_t tx = static_cast<int64_t>(camCellX) * 32 + camSubX + dx;
  const int64_t ty = static_cast<int64_t>(camCellY) * 32 + camSubY + dy;
  camCellX = WrapCell(FloorDiv32(tx), MapWidth());
  camSubX = static_cast<int>(tx - static_cast<int64_t>(FloorDiv32(tx)) * 32);
  camCellY = WrapCell(FloorDiv32(ty), MapHeight());
  camSubY = static_cast<int>(ty - static_cast<int64_t>(FloorDiv32(ty)) * 32);
}

int CMapView::Scroll(int a, int b) {
  if (a == 0 && b == 0) return 0;
  switch (rotation & 3) {
    case 0:
      ScrollUnits(a + b, b - a);
      break;
    case 1:
      ScrollUnits(a - b, a + b);
      break;
    case 2:
      ScrollUnits(-(a + b), a - b);
      break;
    default:
      ScrollUnits(b - a, -(a + b));
      break;
  }
  return 1;
}

ScreenPoint CMapView::MapToScreen(int x, int y, int z) const {
  const int spanX = MapWidth() * 32, spanY = MapHeight() * 32;
  int dx = CameraX() + 16 - x;
  if (dx >= spanX / 2) dx -= spanX;
  if (dx < -(spanX / 2)) dx += spanX;
  int dy = CameraY() + 16 - y;
  if (dy >= spanY / 2) dy -= spanY;
  if (dy < -(spanY / 2)) dy += spanY;
  const int dz = CameraZ() - z;
  const int cx = rect.left + viewWidth / 2, cy = rect.top + viewHeight / 2;
  switch (rotation & 3) {
    case 0:
      return {cx + dy - dx, cy + dz - (dx + dy) / 2};
    case 1:
      return {cx - (dx + dy), cy + dz + (dx - dy) / 2};
    case 2:
      return {cx + dx - dy, cy + dz + (dx + dy) / 2};
    default:
      return {cx + dx + dy, cy + dz - (dx - dy) / 2};
  }
}

bool CMapView::MapToScreen(int x, int y, int z, int& screenX, int& screenY) {
  if (!drawnMap) return false;
  ScreenPoint p = MapToScreen(x, y, z);
  screenX = p.x;
  screenY = p.y;
  return true;
}

ScreenPoint CMapView::GetViewOrigin() const {
  const int cx = rect.left + viewWidth / 2, cy = rect.top + viewHeight / 2;
  const int oy = cy + 16 * (camLevel - 2 * halfAcross) + camSubZ;
  switch (rotation & 3) {
    case 0:
      return {cx + camSubY - camSubX, oy - ((camSubX + camSubY) >> 1)};
    case 1:
      return {cx - (camSubX + camSubY), oy + (camSubX - camSubY) / 2};
    case 2:
      return {cx + camSubX - camSubY, oy + ((camSubX + camSubY) >> 1)};
    default:
      return {cx + camSubX + camSubY, oy - (camSubX - camSubY) / 2};
  }
}

void CMapView::FirstDrawnCell(int& x, int& y) const {
  const int r = rotation & 3;
  x = WrapCell(camCellX + kFirstCellSign[r][0] * halfAcross, MapWidth());
  y = WrapCell(camCellY + kFirstCellSign[r][1] * halfAcross, MapHeight());
}

int CMapView::TopShownLevel() const {
  const int levels = MapLevels();
  const int top = levelMode == 0 ? levelsShown - 1 : levels - 1;
  return top < levels ? top : levels - 1;
}

void CMapView::ScreenToCell(int px, int py, int& cellX, int& cellY) const {
  const ScreenPoint origin = GetViewOrigin();
  const int dx = px - origin.x;
  const int b = 2 * (py - origin.y) + 32 * levelsShown + 8;
  const int p = (b + dx) / 64, q = (b - dx) / 64;
  const int h = halfAcross;
  switch (rotation & 3) {
    case 0:
      cellX = camCellX - h + p;
      cellY = camCellY - h + q;
      break;
    case 1:
      cellX = camCellX + h - q;
      cellY = camCellY - h + p;
      break;
    case 2:
      cellX = camCellX + h - p;
      cellY = camCellY + h - q;
      break;
    default:
      cellX = camCellX - h + q;
      cellY = camCellY + h - p;
      break;
  }
  cellX = WrapCell(cellX, MapWidth());
  cellY = WrapCell(cellY, MapHeight());
}

int CMapView::GetUnwrapOffset(int cellX, int cellY) const {
  int firstX = 0, firstY = 0;
  FirstDrawnCell(firstX, firstY);
  const int ex = firstX - cellX, ey = firstY - cellY;
  const int r = rotation & 3;
  int offset = 0;
  if (((r == 0 || r == 3) && ex > 0) || ((r == 1 || r == 2) && ex < 0)) offset += MapWidth() * 32;
  if (((r == 0 || r == 1) && ey > 0) || ((r == 2 || r == 3) && ey < 0)) offset += MapHeight() * 32;
  return offset;
}

void CMapView::RequestTurnRight() {
  if (!rotateLeftRequest) rotateRightRequest = 1;
}

void CMapView::RequestTurnLeft() {
  if (!rotateRightRequest) rotateLeftRequest = 1;
}

int CMapView::StartLine(int x0, int y0, int z0, int x1, int y1, int z1) {
  speechLine_.StartWrappedScaled(x0, y0, z0, x1, y1, z1, nullptr, 32);
  return speechLine_.MajorSteps();
}

void CMapView::StepLine(int& x, int& y, int& z) {
  int32_t length = 0;
  speechLine_.Step(x, y, z, length);
}
