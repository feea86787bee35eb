// The map view's keyboard and screen-edge scrolling, once a drawn battle frame.
#include <algorithm>

#include "battle/Battle.h"
#include "battle/BattleKeys.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/BattleFacing.h"
#include "map/MapView.h"
#include "platform/KeyState.h"
#include "platform/Messages.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"

int g_edgeCursorKind = kEdgeNone;

EdgeScroll EdgeScrollAt(int x, int y, bool highRes, int speed) {
  const int right = highRes ? 799 : 639, bottom = highRes ? 599 : 479;
  const int quarterHeight = highRes ? 150 : 120, quarterWidth = highRes ? 200 : 160;
  EdgeScroll edge;
  if (x <= 0 || x >= right) {
    const bool left = x <= 0;
    const int quarter = y / quarterHeight;
    edge.a = left ? -speed : speed;
    if (quarter == 0) {
      edge.b = -speed;
      edge.cursor = left ? kEdgeUpLeft : kEdgeUpRight;
    } else if (quarter >= 3) {
      edge.b = speed;
      edge.cursor = left ? kEdgeDownLeft : kEdgeDownRight;
    } else {
      edge.cursor = left ? kEdgeLeft : kEdgeRight;
    }
  } else if (y <= 0 || y >= bottom) {
    const bool top = y <= 0;
    const int quarter = x / quarterWidth;
    edge.b = top ? -speed : speed;
    if (quarter == 0) {
      edge.a = -speed;
      edge.cursor = top ? kEdgeUpLeft : kEdgeDownLeft;
    } else if (quarter >= 3) {
      edge.a = speed;
      edge.cursor = top ? kEdgeUpRight : kEdgeDownRight;
    } else {
      edge.cursor = top ? kEdgeUp : kEdgeDown;
    }
  }
  return edge;
}

namespace {

// The band selection keeps its place on the map while the view scrolls under it: it moves
// against the scroll, the edge the view moved toward stays under the pointer, and it stays
// inside the view.
void CarryBand(const EdgeScroll& edge, int pointerX, int pointerY) {
  CBattleSharedState& state = BattleState();
  platform::Rect& band = state.bandRect;
  const int dx = -2 * edge.a, dy = -edge.b;
  band.left += dx;
  band.right += dx;
  band.top += dy;
  band.bottom += dy;
  state.bandAnchorX += dx;
  state.bandAnchorY += dy;
  if (edge.a > 0) band.right = pointerX;
  if (edge.a < 0) band.left = pointerX;
  if (edge.b > 0) band.bottom = pointerY;
  if (edge.b < 0) band.top = pointerY;
  const platform::Rect& view = g_mapView.rect;
  band.left = std::clamp(band.left, view.left, view.right);
  band.right = std::clamp(band.right, view.left, view.right);
  band.top = std::clamp(band.top, view.top, view.bottom);
  band.bottom = std::clamp(band.bottom, view.top, view.bottom);
}

bool ScrollButtonHeld() {
  if (g_prefs.mouseScrollButton == 1) return platform::IsKeyDownNow(platform::kKeyLeftButton);
  if (g_prefs.mouseScrollButton == 2) return platform::IsKeyDownNow(platform::kKeyRightButton);
  return false;
}

void ScrollByEdges() {
  if (ScrollButtonHeld()) {
    g_edgeCursorKind = kEdgeNone;
    return;
  }
  const CMouseEvent& pointer = LatestMouseEvent();
  const EdgeScroll edge = EdgeScrollAt(pointer.x, pointer.y, g_prefs.isHighRes != 0, g_prefs.mouseScrollSpeed);
  g_edgeCursorKind = edge.cursor;
  if (edge.cursor == kEdgeNone) return;
  SetCursorKind(edge.cursor);
  g_followSelection = 0;
  if (BattleState().mouseMode == kMouseModeBand) CarryBand(edge, pointer.x, pointer.y);
  g_mapView.Scroll(edge.a, edge.b);
}

}  // namespace

void CBattle::ScrollByKeysAndEdges() {
  if (g_battleKeyTargets->SpeechShowing()) return;
  const int step = platform::IsKeyDownNow(platform::kKeyShift) ? 128 : 32;
  int a = 0, b = 0;
  bool held = false;
  const struct {
    int key, a, b;
  } arrows[] = {
      {platform::VK_LEFT, -1, 0}, {platform::VK_RIGHT, 1, 0}, {platform::VK_UP, 0, -1}, {platform::VK_DOWN, 0, 1}};
  for (const auto& arrow : arrows)
    if (platform::IsKeyDownNow(arrow.key)) {
      a += arrow.a * step;
      b += arrow.b * step;
      held = true;
    }
  if (held) {
    g_followSelection = 0;
    g_mapView.Scroll(a, b);
  }
  // The edge arrow stays over the map only while the edges scroll.
  if (!g_windowed)
    ScrollByEdges();
  else
    g_edgeCursorKind = kEdgeNone;
}
