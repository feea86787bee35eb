// The checks of a creature type's animation set (with the DEBUG option CreatureAnimChecks).
#include <cstdio>

#include "core/ErrorBox.h"
#include "creatures/CreatureAnims.h"
#include "platform/MessageBox.h"

namespace {

constexpr int kCycleFrames = 12;
constexpr int kEventCycleEnd = 2;
constexpr int kEventFootfall = 5;

bool Fail(int typeNumber, int sequence, const char* problem) {
  char text[512];
  std::snprintf(text, sizeof text, "creature type \t: %d\nanim number \t: %d\nproblem \t: %s", typeNumber, sequence,
                problem);
  platform::ShowMessageBox(text, "CREATURE ANIMATION ERROR", WarningBoxFlags());
  return false;
}

// The steps of one sequence, read in order; past its end step it keeps answering that step.
class StepCursor {
 public:
  StepCursor(const CAnimation& animation, int sequence)
      : animation_(animation), at_(animation.GetSequence(sequence)), end_(animation.SequenceEnd(sequence)) {}
  const AnimStep& Next() {
    const AnimStep& step = animation_.Step(at_);
    if (at_ < end_) ++at_;
    return step;
  }

 private:
  const CAnimation& animation_;
  int at_, end_;
};

// The problem of one walk or fly sequence, or null when it has the walk form.
const char* WalkProblem(const CAnimation& animation, int sequence) {
  StepCursor steps(animation, sequence);
  int frames = 0;
  while (frames < kCycleFrames) {
    const AnimStep& step = steps.Next();
    if (step.kind == kStepFrame)
      ++frames;
    else if (step.kind == kStepEnd)
      return "walk or fly anim too short";
    else if (step.kind != kStepEvent)
      return "first 12 frames of walk or fly anims must be SPRITE type";
  }
  const AnimStep* step = &steps.Next();
  if (step->kind == kStepEvent && step->value == kEventFootfall) step = &steps.Next();
  if (step->kind != kStepEvent || step->value != kEventCycleEnd) return "frame 13 of walk or fly anim must be EVENT 2";
  const AnimStep& closing = steps.Next();
  if (closing.kind != kStepFrame || closing.value != animation.GetFirstFrame(sequence))
    return "last walk or fly anim entry must be same as first";
  if (steps.Next().kind != kStepEnd) return "walk or fly anim too long";
  return nullptr;
}

const CAnimation* AnimationOf(int typeNumber) {
  if (typeNumber < 0 || typeNumber >= kCreatureTypes || !g_creatureTypeAnims[typeNumber]) return nullptr;
  return &g_creatureTypeAnims[typeNumber]->animation;
}

}  // namespace

bool ValidateWalkAnims(int typeNumber, int n) {
  const CAnimation* animation = AnimationOf(typeNumber);
  if (!animation || !animation->HasSequence(n + 7)) return true;
  if (animation->Step(animation->GetSequence(n)).kind == kStepEnd) return true;
  for (int sequence = n; sequence < n + 8; ++sequence) {
    if (const char* problem = WalkProblem(*animation, sequence)) return Fail(typeNumber, n, problem);
  }
  return true;
}

bool ValidateAnimGroup(int typeNumber, int n) {
  const CAnimation* animation = AnimationOf(typeNumber);
  if (!animation || !animation->HasSequence(n + 6)) return true;
  StepCursor lead(*animation, n);
  StepCursor others[3] = {{*animation, n + 2}, {*animation, n + 4}, {*animation, n + 6}};
  // Every sequence ends in its end step, so the lead reaches it within its length.
  for (int guard = animation->SequenceEnd(n) - animation->GetSequence(n); guard >= 0; --guard) {
    const AnimStep& step = lead.Next();
    for (int i = 0; i < 3; ++i) {
      const AnimStep& other = others[i].Next();
      const int sequence = n + 2 * (i + 1);
      if (step.kind > kStepEnd) continue;
      if (step.kind == kStepFrame || step.kind == kStepEnd) {
        if (other.kind != step.kind) return Fail(typeNumber, sequence, "entry types vary in same group");
      } else if (other.kind != step.kind) {
        return Fail(typeNumber, sequence, "entry types vary in same group");
      } else if (other.value != step.value) {
        return Fail(typeNumber, sequence, "data1 entries vary in same group (non sprite)");
      }
    }
    if (step.kind == kStepEnd) return true;
  }
  return true;
}

bool ValidateCreatureAnims(int typeNumber) {
  const CAnimation* animation = AnimationOf(typeNumber);
  if (!animation) return false;
  const int last = animation->GetLastSequence();
  bool valid = true;
  if (last >= 8) valid = ValidateWalkAnims(typeNumber, creature_anim::kWalk) && valid;
  if (last >= 184) valid = ValidateWalkAnims(typeNumber, creature_anim::kFly) && valid;
  for (int block = 0; block <= last - 8; block += 8) {
    valid = ValidateAnimGroup(typeNumber, block) && valid;
    valid = ValidateAnimGroup(typeNumber, block + 1) && valid;
  }
  return valid;
}
