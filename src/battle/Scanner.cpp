#include "battle/Scanner.h"

#include <algorithm>
#include <cstdlib>

#include "battle/PanelBattle.h"
#include "battle/PanelSounds.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "graphics/Display.h"
#include "graphics/Pictures.h"
#include "graphics/PixelFormat.h"
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/MapCommands.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MoveQuery.h"
#include "ui/ControlArt.h"

CScanner g_scanner;

namespace {

constexpr int kMargin = 8;
constexpr int kTop = 6;
constexpr int kEdgeRows = 300;  // the edge sprite is cut to the top of the screen
constexpr int kUnseenLight = -127;
constexpr int kMarkerKindA = 62, kMarkerKindB = 65;

// The army colours 0-7 and the local player's selection (8).
constexpr int kColourTable[9][3] = {{132, 255, 0},   {255, 39, 39},  {71, 189, 254},  {166, 166, 166}, {255, 161, 161},
                                    {214, 146, 255}, {246, 229, 40}, {240, 124, 187}, {255, 255, 255}};

// The terrain colours by layout: water, dark green, brown, orange-brown, grey.
constexpr uint16_t kTerrain555[5] = {2228, 7559, 10500, 18754, 8456};
constexpr uint16_t kTerrain565[5] = {4436, 15111, 21028, 37506, 16904};
enum TerrainColour { kWater, kDarkGreen, kBrown, kOrangeBrown, kGrey };

// The four corners' directions of the camera brackets.
constexpr int kBracketDirections[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};

int TerrainColourOfClass(int cls) {
  switch (cls) {
    case 8:
      return kDarkGreen;
    case 4:
      return kBrown;
    case 2:
    case 6:
      return kOrangeBrown;
    case 3:
      return kGrey;
    default:
      return -1;
  }
}

}  // namespace

// The locked back buffer: every write is clipped to it.
struct CScanner::Canvas {
  uint16_t* pixels = nullptr;
  int pitch = 0;  // in pixels
  int width = 0, height = 0;
  void Put(int x, int y, uint16_t colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[y * pitch + x] = colour;
  }
};

CScanner::CScanner() { cursorKind = 16; }
CScanner::~CScanner() = default;

uint16_t CScanner::PackScannerColour(int r, int g, int b, bool is555) {
  r = std::clamp(r, 0, 255);
  g = std::clamp(g, 0, 255);
  b = std::clamp(b, 0, 255);
  if (is555) return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

void CScanner::BuildColours() {
  const bool is555 = g_is555 != 0;
  for (int i = 0; i < 9; ++i)
    colours_[i] = PackScannerColour(kColourTable[i][0], kColourTable[i][1], kColourTable[i][2], is555);
  std::copy(std::begin(is555 ? kTerrain555 : kTerrain565), std::end(is555 ? kTerrain555 : kTerrain565),
            terrainColours_);
}

void CScanner::SetOrigin(int screenWidth) {
  originX_ = screenWidth - ((rotation_ & 1) ? height_ : width_) - kMargin;
  originY_ = kTop;
}

void CScanner::Load() {
  Unregister(index);
  markerRadius_ = 1;
  width_ = g_map.width;
  height_ = g_map.height;
  dotCount_ = 0;
  blinkPhase_ = blinkToggle_ = blinkFrame_ = 0;
  places_.clear();
  markers_.clear();
  cells_.clear();
  notes_.clear();
  // A map outside the tables leaves the scanner hidden rather than writing past them.
  if (width_ <= 0 || height_ <= 0 || width_ > kScannerMaxMapSize || height_ > kScannerMaxMapSize || !g_map.cells) {
    width_ = height_ = 0;
    flag = 0;
    return;
  }
  notes_.assign(static_cast<size_t>(width_ * height_), kScannerNoNote);
  rotation_ = g_mapView.rotation & 3;
  const int screenWidth = ScreenWidth();
  SetOrigin(screenWidth);
  BuildColours();
  window_ = {screenWidth - kMargin - width_ - height_, kTop, screenWidth - kMargin, kTop + (width_ + height_) / 2};
  Register(window_, 1);
  FillCells();
  ChooseBackground();
  const int regions = g_map.CountRegionsOfPower();
  for (int n = 0; n < regions; ++n) {
    PlaceOfPower place;
    g_map.GetRegionOfPowerPosition(n, place.x, place.y, place.level);
    places_.push_back(place);
  }
  CollectMarkers();
  if (!restore_) restore_ = std::make_unique<CPanelRestoreCallback>([this] { ChooseBackground(); });
  background_.restorer = restore_.get();
  flag = 1;
}

void CScanner::FillCells() {
  cells_.assign(static_cast<size_t>(width_ * height_), Cell{});
  const int levels = g_map.levels;
  const int water = g_map.waterLevel;
  const std::vector<int8_t>& memory = g_map.light[CMap::kLightMemory];
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      Cell& cell = cells_[static_cast<size_t>(y * width_ + x)];
      bool flooded = false;
      if (water >= 0 && water < levels) {
        const CMapCell& c = g_map.CellAt(x, y, water);
        flooded = c.terrain == 0 && !(c.state & state_bits::kSealed);
        if (flooded) cell.colour = terrainColours_[kWater];
      }
      int top = 0;
      for (int level = 0; level < levels; ++level) {
        const CMapCell& c = g_map.CellAt(x, y, level);
        if (c.terrain != 0) top = level;
        // The ground under the water does not show through it.
        if (flooded && level <= water) continue;
        const int cls = TerrainOf(c).scannerClass;
        int colour = TerrainColourOfClass(cls);
        if (cls == 2) {
          // A slope counts only over the right kind of ground.
          bool supported = false;
          if (level > 0) {
            const CMapCell& below = g_map.CellAt(x, y, level - 1);
            const int belowClass = TerrainOf(below).scannerClass;
            supported = belowClass == 1 || belowClass == 4 || belowClass == 5 || (below.state & 1);
          }
          if (!supported) colour = -1;
        }
        if (colour >= 0) cell.colour = terrainColours_[colour];
      }
      const int light = g_map.LightIndex(x, y, top);
      if (light >= 0 && static_cast<size_t>(light) < memory.size()) cell.visibility = light;
    }
}

void CScanner::ChooseBackground() {
  background_.Release();
  edge_.Free();
  prepared_ = false;
  if (width_ <= 0) return;
  const char* prepared = nullptr;
  const char* edge = nullptr;
  if (width_ == 80 && height_ == 80) {
    prepared = "bitmaps\\scan4by4Middle.bmp";
    edge = "bitmaps\\scanSmallEdge.spr";
  } else if (width_ == 100 && height_ == 100) {
    prepared = "bitmaps\\scan5by5Middle.bmp";
    edge = "bitmaps\\scanLargeEdge.spr";
  }
  if (!CreatePanelSurface(background_, 2 * width_, height_, 0, 0)) return;
  background_.Fill(0);
  if (prepared) {
    prepared_ = true;
    background_.LoadBitmap(prepared);
    edge_.Load(edge, 2);
    return;
  }
  CDibBitmap tile;
  if (!tile.Load("bitmaps\\Scanner BackGround.bmp") || tile.Width() <= 0 || tile.Height() <= 0) return;
  for (int y = 0; y < height_; y += tile.Height())
    for (int x = 0; x < 2 * width_; x += tile.Width()) background_.DrawDibAt(tile, x, y);
}

void CScanner::CollectMarkers() {
  markers_.clear();
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    const CEffect* effect = g_effectManager.At(i);
    if (!effect || !effect->active || (effect->kind != kMarkerKindA && effect->kind != kMarkerKindB)) continue;
    AddMarker(Wrap(effect->cellX, width_), Wrap(effect->cellY, height_));
  }
}

void CScanner::Release() {
  background_.restorer = nullptr;
  restore_.reset();
  background_.Release();
  edge_.Free();
  Unregister(index);
}

void CScanner::Hide() {
  flag = 0;
  if (index >= 0) Deactivate();
}

void CScanner::AddMarker(int x, int y) { markers_.push_back({x, y}); }

void CScanner::RemoveMarker(int x, int y) {
  const auto at = std::find_if(markers_.begin(), markers_.end(), [&](const Point& p) { return p.x == x && p.y == y; });
  if (at != markers_.end()) markers_.erase(at);
}

// The map view draws its camera cell at the middle of the view, so that cell is the centre the
// scanner turns about: moved by half the view's extent it would sit off the view's middle and
// the camera brackets would mark another place than the one shown.
void CScanner::SetCameraCentre(int x, int y) {
  centreX_ = width_ > 0 ? Wrap(x, width_) : 0;
  centreY_ = height_ > 0 ? Wrap(y, height_) : 0;
}

void CScanner::Turn(int& a, int& b) const {
  const int a0 = a, b0 = b;
  switch (rotation_) {
    case 1:
      a = b0, b = width_ - a0;
      break;
    case 2:
      a = width_ - a0, b = height_ - b0;
      break;
    case 3:
      a = height_ - b0, b = a0;
      break;
    default:
      break;
  }
}

void CScanner::TurnBack(int& a, int& b) const {
  const int a1 = a, b1 = b;
  switch (rotation_) {
    case 1:
      a = width_ - b1, b = a1;
      break;
    case 2:
      a = width_ - a1, b = height_ - b1;
      break;
    case 3:
      a = b1, b = height_ - a1;
      break;
    default:
      break;
  }
}

CScanner::Point CScanner::Project(int cellX, int cellY) const {
  if (width_ <= 0) return {};
  int a = Wrap(cellX + width_ / 2 - centreX_, width_);
  int b = Wrap(cellY + height_ / 2 - centreY_, height_);
  Turn(a, b);
  return {originX_ + a - b, originY_ + (a + b) / 2};
}

// The exact inverse of Project: a click answers the cell drawn under the pointer. (Halving the
// column offset with truncation would send every click on an odd column one cell along the
// row, away from the dot the player aimed at.)
CScanner::Point CScanner::CellAtPixel(int px, int py) const {
  if (width_ <= 0) return {};
  // x = a - b and y = (a + b) / 2 rounded down: a + b has the parity of a - b.
  const int difference = px - originX_;
  const int sum = 2 * (py - originY_) + (difference & 1);
  int a = (sum + difference) / 2, b = (sum - difference) / 2;
  TurnBack(a, b);
  return {Wrap(a - width_ / 2 + centreX_, width_), Wrap(b - height_ / 2 + centreY_, height_)};
}

uint16_t CScanner::CellColour(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return cells_[static_cast<size_t>(y * width_ + x)].colour;
}

bool CScanner::Fogged() const { return g_panelBattle->FogOfWar(); }

bool CScanner::Unseen(const Cell& cell) const {
  const std::vector<int8_t>& memory = g_map.light[CMap::kLightMemory];
  return cell.visibility < 0 || static_cast<size_t>(cell.visibility) >= memory.size() ||
         memory[static_cast<size_t>(cell.visibility)] <= kUnseenLight;
}

bool CScanner::NoteCreature(const Dot& dot) {
  if (dotCount_ >= kScannerMaxDots || width_ <= 0) return false;
  if (dot.x < 0 || dot.y < 0 || dot.x >= width_ || dot.y >= height_) return false;
  uint16_t& note = notes_[static_cast<size_t>(dot.y * width_ + dot.x)];
  if (note != kScannerNoNote) return false;
  note = dot.colour;
  dots_[dotCount_++] = dot;
  return true;
}

void CScanner::CollectCreatures() {
  const int local = g_panelBattle->LocalArmy();
  const bool fog = Fogged();
  g_creatureArray.ForEachInUse([&](CCreature& creature) {
    if (creature.health <= 0) return;
    const bool own = local >= 0 && creature.army == local;
    if (!own && fog && (local < 0 || local >= kSightingArmyCount || creature.sightingCounters[local] == 0)) return;
    Dot dot;
    // The colour its army's player chose (the army record's colour index).
    const CArmy* army = g_armyTable.GetArmy(creature.army);
    dot.colour = static_cast<uint16_t>(std::clamp(army ? army->colour : creature.army, 0, 7));
    dot.x = creature.cellX;
    dot.y = creature.cellY;
    dot.selected = own && creature.selected ? 1 : 0;
    dot.wizard = IsWizardType(creature.typeNumber) ? 1 : 0;
    NoteCreature(dot);
  });
}

void CScanner::AdvanceBlink() {
  if (++blinkFrame_ < 5) return;
  blinkFrame_ = 0;
  blinkPhase_ = (blinkPhase_ + 1) % 5;
  blinkToggle_ ^= 1;
}

void CScanner::Draw() {
  rotation_ = g_mapView.rotation & 3;
  SetCameraCentre(g_mapView.camCellX, g_mapView.camCellY);
  if (!flag || width_ <= 0) return;
  CollectCreatures();
  AdvanceBlink();
  Canvas canvas;
  canvas.pixels = g_backBuffer.Lock();
  if (!canvas.pixels) {
    for (int i = 0; i < dotCount_; ++i) notes_[static_cast<size_t>(dots_[i].y * width_ + dots_[i].x)] = kScannerNoNote;
    dotCount_ = 0;
    return;
  }
  canvas.pitch = g_backBuffer.pitch / 2;
  canvas.width = g_backBuffer.width;
  canvas.height = g_backBuffer.height;
  SetOrigin(ScreenWidth());
  DrawTerrain(canvas);
  if (!prepared_) DrawOutline(canvas);
  DrawCameraBrackets(canvas);
  DrawDots(canvas);
  DrawPlaces(canvas);
  for (int i = 0; i < dotCount_; ++i) notes_[static_cast<size_t>(dots_[i].y * width_ + dots_[i].x)] = kScannerNoNote;
  dotCount_ = 0;
  DrawMarkers(canvas);
  g_backBuffer.Unlock(canvas.pixels);
  DrawEdge();
}

void CScanner::DrawTerrain(Canvas& canvas) const {
  const bool fog = Fogged();
  uint16_t* background = background_.IsCreated() ? const_cast<CSurface&>(background_).Lock() : nullptr;
  const int backgroundPitch = background ? background_.pitch / 2 : 0;
  const int left = window_.left, top = window_.top;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Cell& cell = cells_[static_cast<size_t>(y * width_ + x)];
      const Point p = Project(x, y);
      uint16_t colour = cell.colour;
      if (fog && Unseen(cell)) {
        const int bx = p.x - left, by = p.y - top;
        colour = background && bx >= 0 && by >= 0 && bx < background_.width && by < background_.height
                     ? background[by * backgroundPitch + bx]
                     : 0;
      }
      canvas.Put(p.x, p.y, colour);
    }
  if (background) const_cast<CSurface&>(background_).Unlock(background);
}

void CScanner::DrawOutline(Canvas& canvas) const {
  const uint16_t gold = PackScannerColour(192, 154, 0, g_is555 != 0);
  const int w = (rotation_ & 1) ? height_ : width_, h = (rotation_ & 1) ? width_ : height_;
  // The four edges of the diamond, from the top vertex round, each two pixels thick.
  for (int i = 0; i <= w; ++i) {
    for (int t = 0; t < 2; ++t) {
      canvas.Put(originX_ + i, originY_ + i / 2 - 1 + t, gold);        // top right edge
      canvas.Put(originX_ - h + i, originY_ + (h + i) / 2 + t, gold);  // bottom left edge
    }
  }
  for (int i = 0; i <= h; ++i) {
    for (int t = 0; t < 2; ++t) {
      canvas.Put(originX_ - i, originY_ + i / 2 - 1 + t, gold);        // top left edge
      canvas.Put(originX_ + w - i, originY_ + (w + i) / 2 + t, gold);  // bottom right edge
    }
  }
}

void CScanner::DrawCameraBrackets(Canvas& canvas) const {
  const uint16_t green = g_is555 ? static_cast<uint16_t>(16 << 5) : static_cast<uint16_t>(32 << 5);
  const int cols = (g_mapView.rect.right - g_mapView.rect.left) / 128 + 1;
  const int rows = (g_mapView.rect.bottom - g_mapView.rect.top) / 64;
  const Point middle = Project(centreX_, centreY_);
  for (const auto& d : kBracketDirections) {
    const int dx = d[0], dy = d[1];
    const int cornerX = middle.x - 2 * cols * dx;
    const int cornerY = middle.y - rows * dy - (dy >= 0 ? 1 : 0);
    for (int i = 0; i < 4; ++i) {
      canvas.Put(cornerX + i * dx, cornerY, green);
      canvas.Put(cornerX, cornerY + i * dy, green);
    }
  }
}

void CScanner::DrawDots(Canvas& canvas) const {
  for (int i = 0; i < dotCount_; ++i) {
    const Dot& dot = dots_[i];
    const uint16_t colour = colours_[dot.selected ? 8 : dot.colour];
    const Point p = Project(dot.x, dot.y);
    if (dot.wizard && blinkToggle_) {
      // A cross: the block one row lower and a point diagonally out from each corner.
      for (int y = 1; y <= 2; ++y)
        for (int x = 0; x <= 1; ++x) canvas.Put(p.x + x, p.y + y, colour);
      canvas.Put(p.x - 1, p.y, colour);
      canvas.Put(p.x + 2, p.y, colour);
      canvas.Put(p.x - 1, p.y + 3, colour);
      canvas.Put(p.x + 2, p.y + 3, colour);
      continue;
    }
    for (int y = 0; y <= 1; ++y)
      for (int x = 0; x <= 1; ++x) canvas.Put(p.x + x, p.y + y, colour);
  }
}

void CScanner::DrawPlaces(Canvas& canvas) const {
  const uint16_t orange = g_is555 ? 0x7e00 : 0xfc00;
  const bool fog = Fogged();
  for (const PlaceOfPower& place : places_) {
    const int x = Wrap(place.x, width_), y = Wrap(place.y, height_);
    if (fog && Unseen(cells_[static_cast<size_t>(y * width_ + x)])) continue;
    const Point p = Project(x, y);
    for (int i = -1; i <= 1; ++i) {
      canvas.Put(p.x + i, p.y - 2, orange);
      canvas.Put(p.x + i, p.y + 2, orange);
      canvas.Put(p.x - 2, p.y + i, orange);
      canvas.Put(p.x + 2, p.y + i, orange);
    }
    canvas.Put(p.x, p.y, orange);
  }
}

bool CScanner::InsideDiamond(int px, int py) const {
  const int halfHeight = (window_.bottom - window_.top) / 2;
  const int dx = px - (window_.left + window_.right) / 2, dy = py - (window_.top + window_.bottom) / 2;
  return std::abs(dx) < 2 * (halfHeight - std::abs(dy));
}

void CScanner::DrawMarkers(Canvas& canvas) {
  const uint16_t cyan = g_is555 ? 1023 : 2047;
  const int r = markerRadius_;
  for (const Point& marker : markers_) {
    const Point c = Project(marker.x, marker.y);
    auto plot = [&](int x, int y) {
      // Squashed to the diamond's 2:1.
      const int px = c.x + x, py = c.y + y / 2;
      if (InsideDiamond(px, py)) canvas.Put(px, py, cyan);
    };
    // The midpoint circle, eight ways.
    int x = r, y = 0, error = 1 - r;
    while (x >= y) {
      plot(x, y), plot(-x, y), plot(x, -y), plot(-x, -y);
      plot(y, x), plot(-y, x), plot(y, -x), plot(-y, -x);
      ++y;
      if (error < 0) {
        error += 2 * y + 1;
      } else {
        --x;
        error += 2 * (y - x) + 1;
      }
    }
  }
  markerRadius_ = markerRadius_ >= kScannerMarkerMaxRadius ? 1 : markerRadius_ + 1;
}

void CScanner::DrawEdge() {
  if (!edge_.IsLoaded()) return;
  SurfacePrinting printing(&g_backBuffer, {0, 0, g_backBuffer.width, std::min(kEdgeRows, g_backBuffer.height)});
  if (!printing) return;
  PrintControlFrame(&edge_, 0, originX_, height_ / 2 + originY_ - 1);
}

int CScanner::IsTransparentAt(int x, int y) { return InsideDiamond(x, y) ? 0 : 1; }

void CScanner::OnMouse(int flags, CMouseEvent event) {
  if (!flag || width_ <= 0) return;
  cursorKind = g_selectionCount > 0 ? 1 : 16;
  const Point cell = CellAtPixel(event.x, event.y);
  const int pan = PanelPan(window_.left, window_.right - window_.left, ScreenWidth());
  if (flags & MF_LEFT_DOWN) {
    g_mapView.SetCameraCell(cell.x, cell.y, g_mapView.camLevel);
    g_panelSounds->Play(kScannerClickSound, pan, nullptr);
    return;
  }
  if (!(flags & MF_RIGHT_DOWN) || g_selectionCount <= 0) return;
  g_panelSounds->Play(kScannerClickSound, pan, nullptr);
  // The ground under the cell, from the middle level down.
  int level = (g_map.levels - 1) / 2;
  while (level > 0 && g_map.CellAt(cell.x, cell.y, level).terrain == 0) --level;
  const int local = g_panelBattle->LocalArmy();
  const int32_t kind = event.shift ? MSG_Q_CREATURE_WALK : MSG_CREATURE_WALK;
  g_creatureArray.ForEachInUse([&](CCreature& creature) {
    if (!creature.selected || creature.army != local || creature.heldTime > 0 || creature.health <= 0) return;
    CMoveQuery query;
    if (!g_mapHooks.creatures->GetMoveQuery(creature.index, query)) return;
    int x = cell.x, y = cell.y, z = level;
    if (!g_map.FindFreePositionNear(creature.index, query, x, y, z)) return;
    g_panelCommands->AddMessage(MakeCellCommand(kind, creature.index, x, y, z));
  });
}
