// The marks a creature wears on the map: its owner's gem over its head, the crown of a Lord
// or a King, and the brackets, health gauge and group number of a selected or inspected one.
#include <algorithm>
#include <cstdlib>

#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureMarks.h"
#include "creatures/Mapelem.h"
#include "graphics/Animation.h"
#include "graphics/Sprite.h"
#include "map/MapViewHooks.h"

namespace {

namespace m = creature_marks;

// The type's marker pairs: 0 the top of the head, 2 the front of the feet, 3 above the head.
constexpr int kHeadMarker = 0, kFeetMarker = 2, kAboveMarker = 3;
// The owner's gem rises over a badge; a target arrow over the gem.
constexpr int kBadgeRise = 14, kArrowRise = 16;
constexpr int kGaugeGap = 3;

const char* const kGroupLabels[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

DrawLayer SpriteLayer(const CSprite* sprite, int frame, int x, int y) {
  DrawLayer layer;
  if (!sprite || frame < 0 || frame >= sprite->FrameCount()) return layer;
  layer.frame = sprite->GetFrame(frame);
  layer.offsetX = x;
  layer.offsetY = y;
  return layer;
}

struct Point {
  int x = 0, y = 0;
};

Point Marker(const CCreature& c, int index, int rotation, int shiftX, int shiftY) {
  Point p;
  if (c.type) c.type->GetMarkerOffset(p.x, p.y, c.facing, index, rotation);
  return Point{p.x + shiftX, p.y + shiftY};
}

DrawLayer BadgeLayer(const CCreature& c, Point head) {
  DrawLayer layer;
  const CAnimPlayer& badge = c.rankBadge;
  if ((c.rank != 1 && c.rank != 2) || !badge.animation || badge.frameStep < 0) return layer;
  const CSprite* sprite = badge.animation->Sprite();
  const int frame = badge.CurrentFrame();
  if (!sprite || frame < 0 || frame >= sprite->FrameCount()) return layer;
  layer.frame = sprite->GetFrame(frame);
  layer.offsetX = head.x;
  layer.offsetY = head.y;
  return layer;
}

}  // namespace

void FillCreatureMarks(const CCreature& c, int rotation, int shiftX, int shiftY, CreatureDrawInfo& out) {
  // A body on the ground wears nothing.
  if (!c.IsAlive()) return;
  const Point head = Marker(c, kHeadMarker, rotation, shiftX, shiftY);
  const Point feet = Marker(c, kFeetMarker, rotation, shiftX, shiftY);
  Point above = Marker(c, kAboveMarker, rotation, shiftX, shiftY);
  // The badge and the gem keep to the picture's head where the figure is shorter than its
  // type's markers allow for.
  Point crown = head;
  if (const CSpriteFrame body = out.body.frame) {
    crown.y = std::max(head.y, out.body.offsetY - body.HotspotY());
    above.y = std::max(above.y, crown.y - (head.y - above.y));
  }
  out.attached[6] = BadgeLayer(c, crown);
  if (out.attached[6].frame) above.y -= kBadgeRise;

  CSprite* sprite = g_creatureBattle->MarkerSprite();
  const CArmy* army = g_armyTable.GetArmy(c.army);
  const int colour = army ? army->colour : c.army;
  out.directControl = g_directAI != 0;
  if (colour >= 0 && colour < m::kArmyColours)
    out.ownerMarker = SpriteLayer(sprite, m::kOwnerMarkerFirst + colour, above.x, above.y);

  out.selected = c.selected != 0;
  out.inspected = c.inspected != 0;
  const bool targeted = c.targetMarks > 0;
  out.showsStatus = out.selected || out.inspected || targeted;
  if (!out.showsStatus) return;

  int mark = 0;
  if (out.selected || out.inspected) {
    const int large = c.type && c.type->TileSizeXY == 2 ? 1 : 0;
    const int first = (out.selected ? m::kSelectedHead : m::kInspectedHead) + 2 * large;
    out.status[mark++] = SpriteLayer(sprite, first, head.x, head.y - 3);
    out.status[mark++] = SpriteLayer(sprite, first + 1, feet.x, feet.y + 2);
    const int half = m::kBracketHalfWidth[large];
    if (c.healthGauge.bar.pixels.data) {
      out.gauge = &c.healthGauge.bar;
      out.gaugeX = head.x - half - kGaugeGap - c.healthGauge.bar.width;
      out.gaugeY = head.y;
    }
    if (out.selected && c.group >= 0 && c.group <= 9) {
      out.label = kGroupLabels[c.group];
      out.labelX = head.x + half + 2;
      out.labelY = head.y - 6;
    }
  }
  if (targeted) out.status[mark++] = SpriteLayer(sprite, m::kTargetArrow, above.x, above.y - kArrowRise);
}

void CountTargetMarks() {
  g_creatureArray.ForEachInUse([](CCreature& c) { c.targetMarks = 0; });
  g_creatureArray.ForEachInUse([](CCreature& c) { c.UpdateTargetMarker(); });
}
