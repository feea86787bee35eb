// The map renderer: once per battle frame the view walks the cells that can appear in it,
// level by level, adds what each holds to the draw list, finds what lies under the pointer,
// then sorts, culls and prints the list into its surface.
#include <algorithm>
#include <cstdint>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/BattleFacing.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "graphics/TunedPrinters.h"
#include "map/MapHooks.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "map/TileOverlay.h"
#include "ui/Cursor.h"
#include "ui/MapCursor.h"

namespace {

constexpr uint16_t kBlockHidden = 0x0040;       // state word
constexpr uint16_t kFirstSideHidden = 0x0004;   // shape word
constexpr uint16_t kSecondSideHidden = 0x8000;  // shape word
constexpr int kMaxChain = 4096;                 // a longer chain in a cell is a broken link

// Cell steps of the axes that run right-down (P) and left-down (Q) on screen, per rotation.
constexpr int kStepP[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
constexpr int kStepQ[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
// The sign with which x and y enter the depth key in each rotation.
constexpr int kKeySign[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};

int WrapCoord(int v, int size) {
  if (size <= 0) return v;
  v %= size;
  return v < 0 ? v + size : v;
}

int WrapUnits(int d, int span) {
  if (span <= 0) return d;
  d %= span;
  if (d < 0) d += span;
  return d >= span / 2 ? d - span : d;
}

int ClampShade(int shade) { return std::clamp(shade, -127, 127); }

int Brighter(int shade) { return shade >= 95 ? 127 : shade + 32; }

}  // namespace

void CMapView::Update() {
  if (!drawnMap || !drawnMap->HasCells()) return;
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  ForEachCreatureInUse([&](int c) { creatures.PrepareDraw(c); });
  // Below every key a frame can make: keys of the turned views reach -(32 W + 32 H), below
  // -(64 W) on a map higher than wide, and a pick there must still win.
  creatureHoverKey = terrainHoverKey = objectHoverKey = INT32_MIN;
  hoverEntry = -1;
  DrawView(rect);
  drawnOnce = 1;
  HighlightHoveredCreature();
  drawList.Sort();
  const int occlusion = g_mapViewHooks.battle->OcclusionSetting();
  if (occlusion != 0 && !drawnMap->viewFlag) {
    drawList.ClearCoverage();
    drawList.Occlude(terrainSprites);
    if (!drawList.IsFull()) drawnMap->viewFlag = 1;
  }
  if (g_useSpriteCache && frameCache) drawList.UpdateFrameCache(*frameCache);
  PrintDrawList();
  drawList.Reset();
  if (occlusion != 0) {
    lastCamCellX = camCellX;
    lastCamCellY = camCellY;
    lastLevelsShown = levelsShown;
    lastRotation = rotation;
    lastFlagLevel = flagLevel;
  }
  creatures.AfterDraw();
  ApplyTurnRequests();
}

void CMapView::HighlightHoveredCreature() {
  if (hoverKind != kHoverCreature || hoverEntry < 0 || g_mapViewHooks.battle->InputMode() == 3) return;
  DrawListEntry& entry = drawList.Entry(hoverEntry);
  entry.shade = static_cast<int16_t>(Brighter(entry.shade));
  CreatureOrderInfo info;
  if (g_mapViewHooks.creatures->GetOrderInfo(hoverCreature, info) && info.owner != g_mapViewHooks.battle->LocalPlayer())
    entry.variant = 2;
}

void CMapView::PrintDrawList() {
  FlushQueuedBlits();
  if (!drawSurface || !drawSurface->IsCreated()) return;
  drawList.clipLinesOn = g_mapViewHooks.battle->DisplayToggle();
  drawList.viewLeft = rect.left;
  drawList.viewTop = rect.top;
  drawList.viewRight = rect.right;
  drawList.viewBottom = rect.bottom;
  const CBattleSharedState& battle = BattleState();
  if (battle.secondTarget) {
    // The battle's wide scroll buffer: print into it with the clip widened by the margins,
    // then copy its visible part into the surface.
    const int margin = battle.secondTargetMargin;
    SetSpriteTarget(battle.secondTarget, drawSurface->width + 2 * margin, drawSurface->height + 2 * margin);
    SetSpriteClipRect(rect.top, rect.left, rect.right + 2 * margin, rect.bottom + 2 * margin);
    drawList.Draw();
  }
  uint16_t* pixels = drawSurface->Lock();
  if (!pixels) return;
  SetSpriteTarget(pixels, drawSurface->pitch / 2, drawSurface->height);
  SetSpriteClipRect(rect.top, rect.left, rect.right, rect.bottom);
  if (battle.secondTarget)
    CopyToSpriteTarget();
  else
    drawList.Draw();
  SetSpriteClipRect(rect.top, rect.left, rect.right, rect.bottom);
  DrawOverlays(reinterpret_cast<uint8_t*>(pixels), drawSurface->pitch);
  drawSurface->Unlock(pixels);
  SetSpriteTarget(nullptr, 0, 0);
}

void CMapView::DrawOverlays(uint8_t* pixels, int pitch) {
  for (int i = 0; i < overlayCount; ++i) {
    const ViewLabel& overlay = overlays[i];
    if (overlay.gauge)
      overlay.gauge->pixels.BlitTo16Clipped(pixels, pitch, overlay.gaugeX, overlay.gaugeY, rect.left, rect.top,
                                            rect.right, rect.bottom);
    if (overlay.text) g_mapViewHooks.battle->DrawLabel(overlay.x, overlay.y, overlay.text);
  }
}

void CMapView::ApplyTurnRequests() {
  if (!rotateRightRequest && !rotateLeftRequest) return;
  if (rotateRightRequest)
    rotation = (rotation + 1) & 3;
  else
    rotation = rotation == 0 ? 3 : rotation - 1;
  rotateRightRequest = rotateLeftRequest = 0;
  drawList.rotation = rotation;
  drawnOnce = 0;
  g_mapViewHooks.battle->OnViewRotated(rotation);
}

void CMapView::DrawView(const platform::Rect& area) {
  IMapViewBattle& battle = *g_mapViewHooks.battle;
  if (battle.ClearFlag() && drawSurface && drawSurface->IsCreated()) {
    platform::Rect r{area.left, area.top, area.right, area.bottom};
    drawSurface->FillRect(&r, 0);
  }
  hoverCellX = hoverCellY = hoverLevel = -1;
  hoverCreature = hoverObject = -1;
  hoverKind = kHoverNothing;
  SetSpriteClipRect(area.top, area.left, area.right, area.bottom);
  mouseX = LatestMouseEvent().x;
  mouseY = LatestMouseEvent().y;
  waterLevel = drawnMap->waterLevel;
  wrapStepX = MapWidth() * 32;
  wrapStepY = MapHeight() * 32;
  effectGroup1Count = effectGroup2Count = effectGroup3Count = waterCellCount = soundCreatureCount = 0;
  nearestCreatureDistX = nearestCreatureDistY = 25;
  noCreaturePixelHit = 1;
  overlayCount = 0;
  visitedCells = 0;
  BuildDepthTables(g_prefs.terrainLightLevels);
  drawList.rotation = rotation;
  drawList.screenWidth = g_prefs.isHighRes ? 800 : 640;
  drawList.screenHeight = g_prefs.isHighRes ? 600 : 480;

  fullRebuild = 0;
  if (drawnMap->backgroundDirty || camCellX != lastCamCellX || camCellY != lastCamCellY ||
      levelsShown != lastLevelsShown || rotation != lastRotation || flagLevel != lastFlagLevel) {
    drawnMap->viewFlag = 0;
    fullRebuild = 1;
  }
  if (!drawnMap->viewFlag) fullRebuild = 1;

  WalkCells();
  g_mapViewHooks.world->AddParticles(*this);
  g_segmentPool.Draw(*this);

  const bool creatureFirst = creatureHoverKey > terrainHoverKey && creatureHoverKey > objectHoverKey;
  const bool objectFirst = objectHoverKey > terrainHoverKey && objectHoverKey > creatureHoverKey;
  if (creatureFirst && hoverCreature >= 0)
    hoverKind = kHoverCreature;
  else if (objectFirst && hoverObject >= 0)
    hoverKind = kHoverObject;
  else if (hoverCellX >= 0)
    hoverKind = kHoverCell;
  else
    hoverKind = kHoverNothing;

  CMapCursorFacts* facts = battle.CursorFacts();
  cursorKind = facts ? ChooseMapCursor(*facts, hoverCellX, hoverCellY, hoverLevel) : kCursorNormal;
  drawnMap->backgroundDirty = 0;
  UpdateSounds();
}

void CMapView::WalkCells() {
  for (int level = 0; level <= TopShownLevel(); ++level) WalkLevel(level);
}

void CMapView::WalkLevel(int level) {
  const int r = rotation & 3;
  belowWater = level < waterLevel ? 1 : 0;
  wrapOffset = 0;
  int firstX = 0, firstY = 0;
  FirstDrawnCell(firstX, firstY);
  ScreenPoint origin = GetViewOrigin();
  origin.y -= 16 * level;
  // The walk keeps cells whose centre lies within the view widened by margins that hold the
  // tallest terrain and the widest creatures of cells just outside it.
  const int left = rect.left - 64, top = rect.top - 48, right = rect.right + 64, bottom = rect.bottom + 80;
  const int width = MapWidth(), height = MapHeight();
  walkLevel = level;
  for (int row = 0; row < cellsAcross; ++row) {
    const int rowX = firstX + row * kStepQ[r][0], rowY = firstY + row * kStepQ[r][1];
    const int rowScreenX = origin.x - 32 * row, rowScreenY = origin.y + 16 * row;
    for (int k = 0; k < cellsAcross; ++k) {
      const int sx = rowScreenX + 32 * k, sy = rowScreenY + 16 * k;
      if (sx >= right || sy >= bottom) break;
      if (sx <= left || sy <= top) continue;
      const int ux = rowX + k * kStepP[r][0], uy = rowY + k * kStepP[r][1];
      const int x = WrapCoord(ux, width), y = WrapCoord(uy, height);
      CMapCell& cell = drawnMap->CellAt(x, y, level);
      if (cell.IsSealed()) continue;
      if (level != waterLevel && (cell.shape & shape_bits::kOpenSky)) continue;
      walkCell = &cell;
      walkX = x;
      walkY = y;
      walkScreenX = sx;
      walkScreenY = sy;
      // A cell met after the walk passed a wrap seam keeps its place in the depth order.
      wrapOffset = kKeySign[r][0] * (ux - x) * 32 + kKeySign[r][1] * (uy - y) * 32;
      ++visitedCells;
      AddCell();
    }
  }
}

// With light sources switched off (the option, or an unattended battle, which has no army of
// its own to see by) the light map is never refreshed: every cell is drawn in full light.
int CMapView::CellLight() const {
  if (g_noLightSources) return 0;
  return std::max(drawnMap->LightAt(walkX, walkY, walkLevel), -127);
}

ScreenPoint CMapView::ThingScreenPoint(int x, int y, int z) const {
  const int sx = WrapUnits(x - (walkX * 32 + 16), wrapStepX);
  const int sy = WrapUnits(y - (walkY * 32 + 16), wrapStepY);
  ScreenPoint p{walkScreenX, walkScreenY - (z - walkLevel * 16)};
  switch (rotation & 3) {
    case 0:
      p.x += sx - sy;
      p.y += (sx + sy) / 2;
      break;
    case 1:
      p.x += sx + sy;
      p.y += (sy - sx) / 2;
      break;
    case 2:
      p.x += sy - sx;
      p.y += -(sx + sy) / 2;
      break;
    default:
      p.x += -(sx + sy);
      p.y += (sx - sy) / 2;
      break;
  }
  return p;
}

bool CMapView::HitsPointer(CSpriteFrame frame, int x, int y) const {
  return frame && SpriteFrameHitTest(frame, x, y, mouseX, mouseY);
}

void CMapView::AddCell() {
  CMapCell& cell = *walkCell;
  const bool topLevels = walkLevel >= levelsShown - 1;
  const bool cornerCut = (cell.shape & (shape_bits::kCornerSouthEast << (rotation & 3))) &&
                         (cell.state & (state_bits::kClassDiffers0 << std::clamp(flagLevel - 1, 0, 3)));
  const bool allHidden =
      (cell.state & kBlockHidden) && (cell.shape & kFirstSideHidden) && (cell.shape & kSecondSideHidden);
  const bool skipTerrain = !topLevels && (cornerCut || (allHidden && !fullRebuild));
  bool blockSuppressed = false;
  if (!skipTerrain) {
    AddTerrain(blockSuppressed);
    AddWater();
  } else {
    const CTerrainType& type = TerrainOf(cell.terrain);
    blockSuppressed = levelMode == 1 && flagLevel < (cell.shape & shape_bits::kClassMask) &&
                      (type.blockFrame[rotation & 3] || cell.occupant != kNoLink || cell.object != kNoLink);
  }
  AddEffects();
  AddOverlay();
  AddObjects();
  AddCreatures(blockSuppressed);
}

void CMapView::AddTerrain(bool& blockSuppressed) {
  CMapCell& cell = *walkCell;
  const CTerrainType& type = TerrainOf(cell.terrain);
  const int r = rotation & 3;
  const int block = type.blockFrame[r], side1 = type.firstSideFrame[r], side2 = type.secondSideFrame[r];
  if (!side1) cell.shape |= kFirstSideHidden;
  if (!side2) cell.shape |= kSecondSideHidden;
  if (block || cell.occupant != kNoLink || cell.object != kNoLink)
    blockSuppressed = levelMode == 1 && flagLevel < (cell.shape & shape_bits::kClassMask);
  if (blockSuppressed || !terrainSprites) return;

  DrawRequest request;
  request.x = walkX * 32 + 16;
  request.y = walkY * 32 + 16;
  request.z = walkLevel * 16;
  request.screenX = walkScreenX;
  request.screenY = walkScreenY;
  request.depthBias = wrapOffset;
  request.shade = CellLight();
  request.variant = belowWater;
  request.cell = &cell;
  request.printType = draw_types::kLitTerrain;
  const CSpriteFrame blockFrame = block ? terrainSprites->GetFrame(block) : CSpriteFrame{};
  const CSpriteFrame side1Frame = side1 ? terrainSprites->GetFrame(side1) : CSpriteFrame{};
  const CSpriteFrame side2Frame = side2 ? terrainSprites->GetFrame(side2) : CSpriteFrame{};
  const bool hit = HitsPointer(blockFrame, walkScreenX, walkScreenY) ||
                   HitsPointer(side1Frame, walkScreenX, walkScreenY) ||
                   HitsPointer(side2Frame, walkScreenX, walkScreenY);
  int hitIndex = -1;
  if (blockFrame) {
    request.frame = blockFrame;
    request.printType = (cell.state & state_bits::kAnimated) ? PRT_NORMAL : draw_types::kLitTerrain;
    hitIndex = drawList.Add(request);
  }
  request.printType = draw_types::kLitTerrain;
  const bool keepHidden = !fullRebuild;
  if (side1Frame && !(keepHidden && (cell.shape & kFirstSideHidden))) {
    request.frame = side1Frame;
    const int index = drawList.Add(request);
    if (hitIndex < 0) hitIndex = index;
  }
  if (side2Frame && !(keepHidden && (cell.shape & kSecondSideHidden))) {
    request.frame = side2Frame;
    const int index = drawList.Add(request);
    if (hitIndex < 0) hitIndex = index;
  }
  // Any hit makes this the hovered cell, so the last cell walked wins: levels are walked
  // upward and each level from back to front, and blocks a level high never hide a cell
  // walked later. The entry drawn in front, by its key, is the hovered entry.
  if (hit) {
    hoverCellX = walkX;
    hoverCellY = walkY;
    hoverLevel = walkLevel;
    if (hitIndex >= 0 && drawList.Entry(hitIndex).key > terrainHoverKey) {
      terrainHoverKey = drawList.Entry(hitIndex).key;
      hoverEntry = hitIndex;
    }
  }
}

void CMapView::AddWater() {
  if (!showWater || waterLevel <= 0 || walkLevel != waterLevel || !terrainSprites) return;
  const CTerrainType& type = TerrainOf(walkCell->terrain);
  const bool roofed = (type.sideFlags & side_flags::kRoof) != 0;
  if (!roofed) ++waterCellCount;
  const int light = CellLight();
  if (roofed || (g_mapViewHooks.battle->DisplayToggle() && light < -69)) return;
  DrawRequest request;
  request.frame = terrainSprites->GetFrame(TerrainOf(1).blockFrame[0]);
  if (!request.frame) return;
  request.x = walkX * 32 + 16;
  request.y = walkY * 32 + 16;
  request.z = walkLevel * 16;
  request.screenX = walkScreenX;
  request.screenY = walkScreenY;
  request.depthBias = wrapOffset - 1;
  request.shade = light;
  request.printType = PRT_WATER;
  drawList.Add(request);
}

void CMapView::AddEffects() {
  CMapCell& cell = *walkCell;
  IMapEffects& effects = *g_mapHooks.effects;
  const int light = CellLight();
  int effect = cell.effect;
  for (int guard = 0; effect != kNoLink && guard < kMaxChain; ++guard, effect = effects.NextInCell(effect)) {
    EffectDrawInfo info;
    if (!g_mapViewHooks.world->GetEffectDrawInfo(effect, info)) continue;
    if (info.cutAway && levelMode == 1 && flagLevel < (cell.shape & shape_bits::kClassMask)) continue;
    if (!info.shown || !(light > g_indicatorLightLevel || info.visible) || !info.picture.frame) continue;
    const ScreenPoint p = ThingScreenPoint(info.x, info.y, info.z);
    DrawRequest request;
    request.frame = info.picture.frame;
    request.x = info.x;
    request.y = info.y;
    request.z = info.z;
    request.screenX = p.x + info.picture.offsetX;
    request.screenY = p.y + info.picture.offsetY;
    request.depthBias = wrapOffset + 7;
    request.shade = info.takesLight ? light : 0;
    request.variant = info.z / 16 < waterLevel ? 1 : 0;
    request.printType = info.picture.printType;
    drawList.Add(request);
    if (info.kind >= 14 && info.kind <= 16) ++effectGroup1Count;
    if (info.kind == 10) ++effectGroup2Count;
    if (info.kind >= 25 && info.kind <= 27) ++effectGroup3Count;
  }
}

void CMapView::AddOverlay() {
  if (!g_tileSpans.IsLevelInSpan(walkX, walkY, walkLevel)) return;
  DrawLayer picture;
  if (!g_mapViewHooks.world->GetOverlayPicture(g_tileSpans.GetFrameIndex(walkX, walkY), picture) || !picture.frame)
    return;
  DrawRequest request;
  request.frame = picture.frame;
  request.x = walkX * 32 + 16;
  request.y = walkY * 32 + 16;
  request.z = walkLevel * 16;
  request.screenX = walkScreenX + picture.offsetX;
  request.screenY = walkScreenY + picture.offsetY;
  request.depthBias = wrapOffset + 7;
  request.shade = CellLight();
  request.variant = belowWater;
  request.printType = picture.printType;
  drawList.Add(request);
  ++effectGroup2Count;
}

void CMapView::AddObjects() {
  IMapObjects& objects = *g_mapHooks.objects;
  const int light = CellLight();
  int object = walkCell->object;
  for (int n = 0; object != kNoLink && n < kMaxChain; ++n, object = objects.NextInCell(object)) {
    ObjectDrawInfo info;
    if (!g_mapViewHooks.world->GetObjectDrawInfo(object, info) || !info.picture.frame) continue;
    const ScreenPoint p = ThingScreenPoint(info.x, info.y, info.z);
    const CSpriteFrame frame = info.picture.frame;
    const int sx = p.x + info.picture.offsetX, sy = p.y + info.picture.offsetY;
    bool hovered;
    if (n == 0) {
      const int centreX = sx - frame.HotspotX() + frame.Width() / 2;
      const int centreY = sy - frame.HotspotY() + frame.Height() / 2;
      hovered = std::abs(mouseX - centreX) <= 30 && std::abs(mouseY - centreY) <= 30;
    } else {
      hovered = HitsPointer(frame, sx, sy);
    }
    DrawRequest request;
    request.frame = frame;
    request.x = walkX * 32 + 16;
    request.y = walkY * 32 + 16;
    request.z = walkLevel * 16;
    request.screenX = sx;
    request.screenY = sy;
    request.depthBias = wrapOffset + 2;
    request.shade = hovered ? Brighter(light) : light;
    request.variant = belowWater;
    request.printType = info.picture.printType;
    const int index = drawList.Add(request);
    if (hovered) {
      hoverObject = object;
      if (index >= 0 && drawList.Entry(index).key > objectHoverKey) {
        objectHoverKey = drawList.Entry(index).key;
        hoverEntry = index;
      }
    }
  }
}

void CMapView::AddCreatures(bool blockSuppressed) {
  CMapCell& cell = *walkCell;
  if (!(cell.state & state_bits::kLiquid) || cell.occupant == kNoLink) return;
  const int first = cell.occupant;
  AddCreature(first, 0, blockSuppressed);
  if (!(cell.state & state_bits::kCreatureMark)) return;
  int bias = -2;
  int creature = g_mapViewHooks.creatures->NextInCell(first);
  for (int n = 0; creature >= 0 && creature != first && n < kMaxChain; ++n, ++bias) {
    AddCreature(creature, bias, blockSuppressed);
    creature = g_mapViewHooks.creatures->NextInCell(creature);
  }
}

bool ShowsOwnerMarker(const CreatureDrawInfo& info, int light) {
  if (!info.ownerMarker.frame || info.selected || info.inspected || info.state == 3) return false;
  return light >= g_indicatorLightLevel || info.directControl;
}

void CMapView::AddCreature(int creature, int creatureBias, bool blockSuppressed) {
  IMapViewCreatures& creatures = *g_mapViewHooks.creatures;
  IMapViewBattle& battle = *g_mapViewHooks.battle;
  CreatureDrawInfo info;
  if (!creatures.GetDrawInfo(creature, rotation, info)) return;
  if (blockSuppressed && !info.alwaysDrawn) return;
  if (!info.body.frame) return;
  const int light = CellLight();
  const ScreenPoint point = ThingScreenPoint(info.x, info.y, info.z);
  const int bodyX = point.x + info.body.offsetX, bodyY = point.y + info.body.offsetY;
  int bodyShade = ClampShade(light + info.shadeOffset);

  bool hovered = false;
  const CBattleSharedState& shared = BattleState();
  if (shared.mouseMode == kMouseModeBand) {
    const SpriteRect band{shared.bandRect.left, shared.bandRect.top, shared.bandRect.right, shared.bandRect.bottom};
    if (SpriteFrameInRect(info.body.frame, bodyX, bodyY, band)) {
      creatures.SetInBand(creature);
      bodyShade = Brighter(bodyShade);
    }
  } else if (HitsPointer(info.body.frame, bodyX, bodyY)) {
    hovered = true;
    noCreaturePixelHit = 0;
  } else if (noCreaturePixelHit) {
    const CSpriteFrame f = info.body.frame;
    const int dx = bodyX - f.HotspotX() + f.Width() / 2 - mouseX;
    const int dy = bodyY - f.HotspotY() + f.Height() / 2 - mouseY;
    if (dx * dx + dy * dy < nearestCreatureDistX * nearestCreatureDistX + nearestCreatureDistY * nearestCreatureDistY) {
      nearestCreatureDistX = dx;
      nearestCreatureDistY = dy;
      hovered = true;
    }
  }

  DrawRequest base;
  base.x = info.anchorX;
  base.y = info.anchorY;
  base.z = info.anchorZ;
  base.variant = info.variant;
  base.clipBelow = info.clipBelow;
  base.clipAbove = info.clipAbove;
  auto add = [&](const DrawLayer& layer, int bias, int shade, int printType, int x, int y) {
    if (!layer.frame || printType < 0) return -1;
    DrawRequest request = base;
    request.frame = layer.frame;
    request.screenX = x + layer.offsetX;
    request.screenY = y + layer.offsetY;
    request.depthBias = wrapOffset + creatureBias + bias;
    request.shade = ClampShade(shade);
    request.printType = printType;
    return drawList.Add(request);
  };
  const DrawLayer body{info.body.frame, 0, 0, info.body.printType};
  const int bodyIndex = add(body, 6, bodyShade, info.body.printType, bodyX, bodyY);
  add(body, 7, bodyShade, info.secondPrintType, bodyX, bodyY);
  add(body, 8, bodyShade, info.thirdPrintType, bodyX, bodyY);
  if (info.shadow) {
    const ScreenPoint ground = ThingScreenPoint(info.x, info.y, info.shadowZ);
    add(DrawLayer{info.shadow, 0, 0, info.shadowPrintType}, 3, light, info.shadowPrintType,
        ground.x + info.body.offsetX, ground.y + info.body.offsetY);
  }
  if (!battle.TrailsOff()) {
    static constexpr int kTrailTypes[3] = {PRT_TRANS75, PRT_TRANS50, PRT_TRANS25};
    for (int i = 0; i < 3 && info.trail[i].frame; ++i)
      add(info.trail[i], 6 + i, bodyShade, info.type == 13 ? PRT_TRANS25 : kTrailTypes[i], point.x, point.y);
  }
  static constexpr int kAttachedBias[7] = {7, 8, 8, 9, 9, 10, 10};
  for (int i = 0; i < 7; ++i)
    add(info.attached[i], kAttachedBias[i], light + 32, info.attached[i].printType, point.x, point.y);
  if (info.state == 3) add(info.head, 5, bodyShade, info.head.printType, point.x, point.y);
  if (ShowsOwnerMarker(info, light)) add(info.ownerMarker, 11, light + 32, PRT_NORMAL, point.x, point.y);
  if (info.showsStatus) {
    for (const DrawLayer& mark : info.status) add(mark, 5000, light + 32, PRT_NORMAL, point.x, point.y);
    if ((info.label || info.gauge) && overlayCount < kMaxLabels)
      overlays[overlayCount++] = ViewLabel{point.x + info.labelX, point.y + info.labelY, info.label, info.gauge,
                                           point.x + info.gaugeX, point.y + info.gaugeY};
  }
  if (hovered) {
    hoverCreature = creature;
    if (bodyIndex >= 0) {
      hoverEntry = bodyIndex;
      creatureHoverKey = drawList.Entry(bodyIndex).key;
    }
  }
  if (info.type == 15 && info.soundFlag) {
    ++soundCreatureCount;
    soundCreatureX = walkX;
    soundCreatureY = walkY;
  }
}

void CMapView::SegmentClipRect(int& left, int& top, int& right, int& bottom) {
  left = rect.left;
  top = rect.top;
  right = rect.right;
  bottom = rect.bottom;
}

void CMapView::AddSegmentPiece(int cellX, int cellY, int level, const CScreenSegment& piece, const CSegment& segment) {
  DrawRequest request;
  request.frame = g_mapViewHooks.world->SegmentFrame(segment.kind);
  request.segment = &piece;
  request.x = cellX * 32 + 16;
  request.y = cellY * 32 + 16;
  request.z = level * 16 + 1;
  request.depthBias = GetUnwrapOffset(cellX, cellY);
  request.colourValue = segment.value1;
  request.shade = segment.value2;
  request.printType = draw_types::kLineSegment;
  drawList.Add(request);
}
