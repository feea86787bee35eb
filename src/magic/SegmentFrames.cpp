#include "magic/SegmentFrames.h"

#include <iterator>

#include "graphics/Sprite.h"

namespace {

// The dots print through the colour table list index of the segment's first drawing value
// (0-3): the sprite carries four plain lists so that each index shows the dot's own colours.
constexpr int kColourLists = 4;
constexpr int kShadeLevels = 2;
constexpr int kBaseFrame = 0;
constexpr int kFrameOfKind[] = {0, 1, 2, 3};

CSprite g_boltSprite;
bool g_tried = false;

}  // namespace

CSpriteFrame SegmentFrameOfKind(int kind) {
  if (!g_tried) {
    g_tried = true;
    if (g_boltSprite.Load("sprites\\bolts.spr", kShadeLevels))
      for (int list = 1; list < kColourLists; ++list) g_boltSprite.BuildColourTables(0, kShadeLevels);
  }
  if (!g_boltSprite.IsLoaded()) return {};
  const int entry =
      kind >= 0 && kind < static_cast<int>(std::size(kFrameOfKind)) ? kFrameOfKind[kind] : kFrameOfKind[0];
  return g_boltSprite.GetFrame(kBaseFrame + entry);
}

void FreeSegmentFrames() {
  g_boltSprite.Free();
  g_tried = false;
}
