// The figure toolkit: light falls from the upper left as on the terrain, plain pictures
// leave out details, and the creature art comes out byte for byte the same however many
// threads draw it.
#include <gtest/gtest.h>

#include "forge/CreatureArt.h"
#include "forge/CreatureFigures.h"
#include "forge/CreatureMotion.h"
#include "forge/CreatureTable.h"
#include "forge/FigureRenderer.h"
#include "forge/ParallelWork.h"

namespace {

using namespace forge;

// The ramp step (0 darkest) of a palette entry of a one-material figure.
int Step(int index) { return (index - 1) % FigurePalette::kRampSteps; }

TEST(FigureRenderer, FacesTakeTheLightAsTheTerrainsDo) {
  // A cube's corner toward the viewer: its top, its face toward +y (the lower left on
  // screen) and its face toward +x (the lower right).
  const FigurePalette palette({{150, 150, 150, Finish::kMatte}});
  FigureModel model;
  const Vec3 o{0, 0, 10};
  model.Quad(o, o + Vec3{-10, 0, 0}, o + Vec3{-10, -10, 0}, o + Vec3{0, -10, 0}, 0);  // top
  model.Quad(o, o + Vec3{-10, 0, 0}, o + Vec3{-10, 0, -10}, o + Vec3{0, 0, -10}, 0);  // +y face
  model.Quad(o, o + Vec3{0, -10, 0}, o + Vec3{0, -10, -10}, o + Vec3{0, 0, -10}, 0);  // +x face
  RenderOptions options;
  options.outline = false;
  const FigurePicture picture = RenderFigure(model, palette, options).full;
  const int hx = picture.hotspotX, hy = picture.hotspotY;
  // Screen points well inside each face: the top above the corner, +y to its lower left,
  // +x to its lower right.
  const int top = Step(picture.canvas.At(hx, hy - 10 - 4));
  const int left = Step(picture.canvas.At(hx - 5, hy - 10 + 6));
  const int right = Step(picture.canvas.At(hx + 5, hy - 10 + 6));
  EXPECT_GT(top, left);
  EXPECT_GT(left, right);
}

TEST(FigureRenderer, ABallIsLitOnItsUpperLeftAndPlainPicturesLeaveOutDetails) {
  const FigurePalette palette({{150, 60, 60, Finish::kMatte}, {60, 60, 150, Finish::kMatte}});
  FigureModel model;
  model.Ball({0, 0, 10}, 8, 0);
  model.SetDetail(true);
  model.Ball({0, 0, 20}, 2, 1);
  const FigurePictures pictures = RenderFigure(model, palette);
  const Canvas& c = pictures.full.canvas;
  const int cx = pictures.full.hotspotX, cy = pictures.full.hotspotY - 10;
  EXPECT_GT(Step(c.At(cx - 4, cy - 4)), Step(c.At(cx + 4, cy + 4)));
  auto holds = [](const Canvas& canvas, int first) {
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x)
        if (canvas.At(x, y) >= first && canvas.At(x, y) < first + FigurePalette::kRampSteps) return true;
    return false;
  };
  EXPECT_TRUE(holds(pictures.full.canvas, 1 + FigurePalette::kRampSteps));
  EXPECT_FALSE(holds(pictures.plain.canvas, 1 + FigurePalette::kRampSteps));
  EXPECT_TRUE(holds(pictures.plain.canvas, 1));
}

TEST(CreatureArtForge, TheSameBytesComeOutOnAnyNumberOfThreads) {
  for (const char* name : {"brownie", "dragon"}) {
    const CreatureArtFile file = CreatureArtFileNamed(name);
    const ForgedCreatureArt one = ForgeCreatureArt(file, 1), many = ForgeCreatureArt(file, 4);
    EXPECT_EQ(one.animation, many.animation) << name;
    EXPECT_EQ(one.sprite, many.sprite) << name;
    EXPECT_EQ(one.plainSprite, many.plainSprite) << name;
  }
}

TEST(CreatureArtForge, FiguresStandWithinTheHeightTheirMarkersGive) {
  // The top marker hangs at the figure's top (its health gauge spans it): every figure stands
  // at least half that tall and no taller, whichever way it faces.
  for (const CreatureArtFile& file : CreatureArtFiles()) {
    const CreatureRow& row = CreatureTable()[static_cast<size_t>(file.type)];
    const double marker = -row.MarkerHoriz[0].y;
    for (int facing = 0; facing < 8; ++facing) {
      Vec3 low, high;
      BuildFigure(file.look, PoseFor(file.look, Motion{Action::kStand}), facing).Extent(low, high);
      EXPECT_LE(high.z, marker + 1) << file.name << " " << facing;
      EXPECT_GE(high.z, marker / 2) << file.name << " " << facing;
      EXPECT_GE(low.z, -0.5) << file.name << " " << facing;
    }
  }
}

TEST(CreatureArtForge, DyingEndsLowerThanItStarts) {
  for (const CreatureArtFile& file : CreatureArtFiles())
    for (int facing = 0; facing < 8; ++facing) {
      Vec3 low, standing, lying;
      BuildFigure(file.look, PoseFor(file.look, Motion{Action::kDying, 0, 0}), facing).Extent(low, standing);
      BuildFigure(file.look, PoseFor(file.look, Motion{Action::kDying, 0, 1}), facing).Extent(low, lying);
      EXPECT_LT(lying.z, standing.z * 0.85) << file.name << " " << facing;
      EXPECT_GE(low.z, -0.5) << file.name << " " << facing;
    }
}

TEST(ParallelWork, EveryJobRunsOnceAndAFailureComesBack) {
  std::vector<int> runs(1000, 0);
  ParallelFor(runs.size(), 4, [&](size_t i) { ++runs[i]; });
  EXPECT_EQ(std::count(runs.begin(), runs.end(), 1), 1000);
  EXPECT_THROW(ParallelFor(10, 3,
                           [](size_t i) {
                             if (i == 7) throw std::runtime_error("seven");
                           }),
               std::runtime_error);
}

}  // namespace
