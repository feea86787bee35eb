// Animation files: the test animation beside the test shapes, and one program in each step
// layout as samples (and fuzzing seeds).
#include <string>

#include "forge/AnimationWriter.h"
#include "forge/Forge.h"

namespace {

using namespace forge;

// Sequences that use every kind of step.
AniSpec TestAnimation(int layout) {
  AniSpec spec;
  spec.layout = layout;
  spec.spriteName = "testshapes.spr";
  // 0: a looping walk: two frames a tick apart, round and round.
  spec.sequences.push_back({Delay(1), Frame(0, 1, 2), Frame(1, 3, 4), Jump(-2), End()});
  // 1: a block shown three times, an event, then the end.
  spec.sequences.push_back({LoopCount(2), Frame(2), Frame(3), LoopBack(-2), Event(4), Frame(6), End()});
  // 2: a loop left when the owner asks, then a last frame.
  spec.sequences.push_back({Frame(1), Frame(2), Jump(-2), Frame(8), Event(2), Frame(9), End()});
  spec.sequences[0][1].text = "walk";
  spec.sequences[0][1].more[1] = 7;
  spec.sequences[0][1].more[2] = 8;
  spec.sequences[0][1].more[3] = 9;
  return spec;
}

FORGE_STEP(Animations) {
  ctx.WriteFile("sprites\\testshapes.ani", WriteAnimation(TestAnimation(5)));
  for (int layout : {3, 4, 5})
    ctx.WriteFile("samples\\anim\\layout" + std::to_string(layout) + ".ani", WriteAnimation(TestAnimation(layout)));
}

}  // namespace
