#include <gtest/gtest.h>

#include "forge/CreatureFigures.h"
#include "forge/CreatureLooks.h"
#include "forge/CreatureMotion.h"
#include "forge/FigureRenderer.h"
#include "support/ContactSheet.h"

namespace {

using namespace forge;

std::vector<int> Cells(const Canvas& c) {
  std::vector<int> cells;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) cells.push_back(c.At(x, y));
  return cells;
}

TEST(FigureSheet, Draft) {
  for (const CreatureLook& look : CreatureLooks()) {
    FigurePalette palette(look.materials);
    const Motion motions[] = {{Action::kStand},
                              {Action::kWalk, 0, 0.0, 32},
                              {Action::kWalk, 0, 0.25, 32},
                              {Action::kWalk, 0, 0.5, 32},
                              {Action::kChop, 0, 0.35},
                              {Action::kChop, 0, 0.55},
                              {Action::kSwing, 0, 0.35},
                              {Action::kThrust, 0, 0.55},
                              {Action::kRanged, 0, 0.55},
                              {Action::kIdle, 3, 0.5},
                              {Action::kDying, 0, 0.6},
                              {Action::kDead, 0, 1}};
    const int rows = sizeof(motions) / sizeof(motions[0]);
    testing_support::ContactSheet sheet(16, rows, 80, 80, 60);
    for (int row = 0; row < rows; ++row)
      for (int facing = 0; facing < 8; ++facing) {
        const FigurePictures p = RenderFigure(BuildFigure(look, PoseFor(look, motions[row]), facing), palette);
        sheet.Put(facing, row, p.full.canvas.Width(), p.full.canvas.Height(), Cells(p.full.canvas), p.full.hotspotX,
                  p.full.hotspotY, palette.Bytes());
        sheet.Put(8 + facing, row, p.plain.canvas.Width(), p.plain.canvas.Height(), Cells(p.plain.canvas),
                  p.plain.hotspotX, p.plain.hotspotY, palette.Bytes());
      }
    ASSERT_TRUE(sheet.Write("draft_" + look.name + ".png"));
  }
}

}  // namespace
