// The map view's camera: scrolling and turning over the wrapping map, and the projection
// between map units and screen pixels in every rotation and across the seams.
#include "MapViewFixtures.h"

namespace map_test {
namespace {

class MapViewCamera : public MapTest {
 protected:
  void SetUp() override {
    MakeMap(48, 44, 8);
    g_mapView.Attach(&g_map, nullptr, nullptr, platform::Rect{0, 0, 800, 600}, 0);
  }
  void TearDown() override {
    ResetMouseInput();
    g_mapView.SetMap(nullptr);
    MapTest::TearDown();
  }
  static constexpr int W = 48, H = 44;
};

TEST_F(MapViewCamera, AttachSizesTheWalk) {
  EXPECT_EQ(g_mapView.viewWidth, 800);
  EXPECT_EQ(g_mapView.viewHeight, 600);
  // ((432 + 316 * 2 + 31) >> 5) + 1 = 35 rows, and two thirds of the 8 levels more.
  EXPECT_EQ(g_mapView.cellsAcross, 35 + 5);
  EXPECT_EQ(g_mapView.halfAcross, 20);
  EXPECT_EQ(g_mapView.levelsShown, 8);
  EXPECT_EQ(g_mapView.rotation, 0);
}

TEST_F(MapViewCamera, ScrollingWrapsCellAndSubCell) {
  g_mapView.SetCameraPosition(0, 0, 0);
  g_mapView.ScrollUnits(-1, 0);
  EXPECT_EQ(g_mapView.camCellX, W - 1);
  EXPECT_EQ(g_mapView.camSubX, 31);
  g_mapView.ScrollUnits(0, -33);
  EXPECT_EQ(g_mapView.camCellY, H - 2);
  EXPECT_EQ(g_mapView.camSubY, 31);
  g_mapView.ScrollUnits(1 + 32 * W, 33);  // once round the map in x
  EXPECT_EQ(g_mapView.camCellX, 0);
  EXPECT_EQ(g_mapView.camSubX, 0);
  EXPECT_EQ(g_mapView.camCellY, 0);
  EXPECT_EQ(g_mapView.camSubY, 0);

  g_mapView.SetCameraPosition(W * 32 + 5, 3 * H * 32 + 40, 37);
  EXPECT_EQ(g_mapView.camCellX, 0);
  EXPECT_EQ(g_mapView.camSubX, 5);
  EXPECT_EQ(g_mapView.camCellY, 1);
  EXPECT_EQ(g_mapView.camSubY, 8);
  EXPECT_EQ(g_mapView.camLevel, 2);
  EXPECT_EQ(g_mapView.camSubZ, 5);
}

TEST_F(MapViewCamera, ScrollMovesTheCameraTheSameWayOnScreenInEveryRotation) {
  for (int rotation = 0; rotation < 4; ++rotation) {
    g_mapView.rotation = rotation;
    g_mapView.SetCameraCell(10, 10, 1);
    EXPECT_EQ(g_mapView.Scroll(0, 0), 0);
    EXPECT_EQ(g_mapView.camCellX, 10);
    const int x = 12 * 32, y = 9 * 32, z = 16;
    const ScreenPoint before = g_mapView.MapToScreen(x, y, z);
    EXPECT_EQ(g_mapView.Scroll(3, 8), 1);
    const ScreenPoint after = g_mapView.MapToScreen(x, y, z);
    // The camera moved 6 pixels right and 8 down: the picture moves the other way.
    EXPECT_EQ(after.x - before.x, -6) << "rotation " << rotation;
    EXPECT_EQ(after.y - before.y, -8) << "rotation " << rotation;
  }
}

TEST_F(MapViewCamera, TheCameraPointProjectsToTheScreenCentre) {
  for (int rotation = 0; rotation < 4; ++rotation) {
    g_mapView.rotation = rotation;
    g_mapView.SetCameraPosition(7 * 32 + 9, 40 * 32 + 30, 3 * 16 + 4);
    const ScreenPoint p =
        g_mapView.MapToScreen(g_mapView.CameraX() + 16, g_mapView.CameraY() + 16, g_mapView.CameraZ());
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
  }
}

TEST_F(MapViewCamera, APointHalfAMapAwayProjectsToTheNearerSide) {
  g_mapView.SetCameraPosition(0, 0, 0);
  // dx = 16 - x runs over -(W x 16) .. W x 16 - 1 after wrapping.
  for (int x = 0; x < W * 32; x += 7) {
    const ScreenPoint p = g_mapView.MapToScreen(x, 16, 0);
    const int dx = 400 - p.x;  // rotation 0: screen x = cx + dy - dx with dy = 0
    EXPECT_GE(dx, -(W * 16));
    EXPECT_LT(dx, W * 16);
  }
}

// A cell's centre on the surface of the top shown level picks that cell again, in every
// rotation, with the camera so near a corner of the map that the view crosses both seams.
TEST_F(MapViewCamera, ScreenToCellInvertsMapToScreenAcrossTheSeams) {
  struct Camera {
    int x, y;
  };
  const Camera cameras[] = {{0, 0}, {W - 1, H - 1}, {20, 1}, {1, 30}, {24, 22}};
  for (int rotation = 0; rotation < 4; ++rotation) {
    for (const Camera& camera : cameras) {
      for (int subX : {0, 13, 31}) {
        g_mapView.rotation = rotation;
        g_mapView.SetCameraPosition(camera.x * 32 + subX, camera.y * 32 + 31 - subX, 2 * 16 + subX % 16);
        int checked = 0;
        for (int dy = -7; dy <= 7; ++dy)
          for (int dx = -7; dx <= 7; ++dx) {
            const int cx = (camera.x + dx + W) % W, cy = (camera.y + dy + H) % H;
            const ScreenPoint p = g_mapView.MapToScreen(cx * 32 + 16, cy * 32 + 16, g_mapView.levelsShown * 16);
            if (p.x < 0 || p.x >= 800 || p.y < 0 || p.y >= 600) continue;
            int x = -1, y = -1;
            g_mapView.ScreenToCell(p.x, p.y, x, y);
            EXPECT_EQ(x, cx) << "rotation " << rotation << " camera " << camera.x << "," << camera.y;
            EXPECT_EQ(y, cy) << "rotation " << rotation << " camera " << camera.x << "," << camera.y;
            ++checked;
          }
        EXPECT_GT(checked, 100);
      }
    }
  }
}

TEST_F(MapViewCamera, TheUnwrapOffsetPutsCellsPastTheSeamBehindOrInFront) {
  g_mapView.SetCameraCell(2, 3, 0);  // the first drawn cell lies across both seams
  int firstX = 0, firstY = 0;
  g_mapView.FirstDrawnCell(firstX, firstY);
  EXPECT_EQ(firstX, 2 - 20 + W);
  EXPECT_EQ(firstY, 3 - 20 + H);
  // Rotation 0 walks x and y upward from the first cell: cells below it come after the seam.
  EXPECT_EQ(g_mapView.GetUnwrapOffset(2, 3), W * 32 + H * 32);
  EXPECT_EQ(g_mapView.GetUnwrapOffset(firstX, firstY), 0);
  EXPECT_EQ(g_mapView.GetUnwrapOffset(firstX + 1, 3), H * 32);
  g_mapView.rotation = 2;  // walks downward from the first cell at (+, +)
  g_mapView.FirstDrawnCell(firstX, firstY);
  EXPECT_EQ(firstX, 22);
  EXPECT_EQ(firstY, 23);
  EXPECT_EQ(g_mapView.GetUnwrapOffset(40, 30), W * 32 + H * 32);
  EXPECT_EQ(g_mapView.GetUnwrapOffset(10, 10), 0);
}

TEST_F(MapViewCamera, TurnRequestsWaitForTheOtherAndApplyAfterTheFrame) {
  g_mapView.RequestTurnRight();
  g_mapView.RequestTurnLeft();  // refused while the right turn waits
  EXPECT_EQ(g_mapView.rotateRightRequest, 1);
  EXPECT_EQ(g_mapView.rotateLeftRequest, 0);
  EXPECT_EQ(g_mapView.rotation, 0);
}

}  // namespace
}  // namespace map_test
