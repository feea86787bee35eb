// The creature types' animation sets: file choice, loading and the measures taken from them.
#include "creatures/CreatureAnims.h"

#include <cstdlib>
#include <string>

#include "core/Options.h"
#include "core/Preferences.h"

CreatureAnimSetPtr g_creatureTypeAnims[kCreatureTypes];
char g_wizardAnimFileName[256] = "";

#define VRASK_CREATURE_FILES(folder)                                                                               \
  {                                                                                                                \
    "", folder "brownie.ani", folder "centaur.ani", folder "elf.ani", folder "griffin.ani", folder "hero.ani",     \
        folder "phoenix.ani", folder "unicorn.ani", folder "dog.ani", folder "manticore.ani", folder "redcap.ani", \
        folder "skeleton.ani", folder "vampire.ani", folder "wraith.ani", folder "zombie.ani", folder "bat.ani",   \
        folder "basilisk.ani", folder "crocodile.ani", folder "dragon.ani", folder "faun.ani", folder "law.ani",   \
        folder "troll.ani", folder "eye.ani", folder "vrask.ani", "", "", "", folder "herald.ani"                  \
  }
#define VRASK_WIZARD_FILES(folder)                                                                                    \
  {                                                                                                                   \
    "", folder "wizard1.ani", folder "wizard2.ani", folder "wizard3.ani", folder "wizard4.ani", folder "wizard5.ani", \
        folder "wizard6.ani"                                                                                          \
  }

const char* const g_creatureAnimFiles[2][kCreatureTypes] = {VRASK_CREATURE_FILES("creatures\\"),
                                                            VRASK_CREATURE_FILES("creatures\\16Mb Anims\\")};
const char* const g_wizardAnimFiles[2][7] = {VRASK_WIZARD_FILES("creatures\\"),
                                             VRASK_WIZARD_FILES("creatures\\16Mb Anims\\")};

namespace {

// A walk or fly cycle can shift its figure no further than this many pixels; a file that
// says more is bad data, held here so that the step sums stay well inside their range.
constexpr int kMaxCycleShift = 4096;
// An attack sequence is counted for at most this many ticks: one that never ends (a loop
// back with no way out) cannot hang the loader.
constexpr int kMaxCountedTicks = 10000;

int SetIndex() { return g_prefs.cutDownAnims ? 1 : 0; }

// The shift of x between the first and the last frame step of a sequence; 0 for a sequence
// without frames.
int CycleShift(const CAnimation& animation, int sequence) {
  if (!animation.HasSequence(sequence)) return 0;
  const int first = animation.GetSequence(sequence), end = animation.SequenceEnd(sequence);
  int firstFrame = -1, lastFrame = -1;
  for (int s = first; s < end; ++s) {
    if (animation.Step(s).kind != kStepFrame) continue;
    if (firstFrame < 0) firstFrame = s;
    lastFrame = s;
  }
  if (firstFrame < 0) return 0;
  const int64_t shift = std::llabs(int64_t{animation.Step(firstFrame).x} - animation.Step(lastFrame).x);
  return shift > kMaxCycleShift ? kMaxCycleShift : static_cast<int>(shift);
}

// The 12 advances of a cycle of `total` units: frame j advances floor(total (j+1) / 12) -
// floor(total j / 12), so they sum to the total.
void FillAdvances(int32_t (&advances)[12], int total) {
  for (int j = 0; j < 12; ++j) advances[j] = total * (j + 1) / 12 - total * j / 12;
}

void MeasureCycle(const CAnimation& animation, int straightSequence, int32_t (&straight)[12], int32_t (&diagonal)[12]) {
  FillAdvances(straight, CycleShift(animation, straightSequence) * 6);
  FillAdvances(diagonal, CycleShift(animation, straightSequence + 1) * 3);
}

// The mean tick count of the sequences first..first+count-1 that do not start at their end
// step (an absent one counts as such); -1 when none was counted.
int MeanSequenceTicks(CAnimation& animation, int first, int count) {
  CAnimPlayer player;
  player.SetAnimation(&animation);
  int counted = 0, ticks = 0;
  for (int sequence = first; sequence < first + count; ++sequence) {
    if (!animation.HasSequence(sequence) || animation.Step(animation.GetSequence(sequence)).kind == kStepEnd) continue;
    player.Start(sequence, 0);
    int n = 0;
    while (n < kMaxCountedTicks) {
      ++n;
      if (player.Advance() == 1) break;
    }
    ticks += n;
    ++counted;
  }
  return counted == 0 ? -1 : ticks / counted;
}

// The folder of a game path, with its separator ("" when it has none).
std::string FolderOf(const char* path) {
  const std::string text = path;
  const size_t slash = text.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

bool LoadSprite(CCreatureAnimSet& set, const char* animFile) {
  const std::string spritePath = FolderOf(animFile) + set.animation.SpriteName();
  if (!set.sprite.Load(spritePath.c_str(), 16)) return false;
  for (int tableType : {1, 2, 6, 4, 5, 7})
    if (!set.sprite.BuildColourTables(tableType, 16)) return false;
  set.animation.SetSprite(&set.sprite);
  return true;
}

}  // namespace

const char* ChooseCreatureAnimFile(int type, int army) {
  (void)army;  // the wizard code decides a wizard's look by its army
  if (type < 0 || type >= kCreatureTypes) return "";
  if (IsWizardType(type)) return g_wizardAnimFileName;
  return g_creatureAnimFiles[SetIndex()][type];
}

bool LoadCreatureTypeAnims(CCreatureType& type, int typeNumber, const char* animFile) {
  if (typeNumber < 0 || typeNumber >= kCreatureTypes || !animFile) return false;
  CreatureAnimSetPtr& slot = g_creatureTypeAnims[typeNumber];
  // Each wizard placed brings its own look; creatures still playing the old set keep it.
  if (IsWizardType(typeNumber)) slot.reset();
  if (slot && slot->sprite.IsLoaded()) return true;

  auto set = std::make_shared<CCreatureAnimSet>();
  if (!set->animation.Load(animFile)) return false;
  slot = set;
  if ((g_creatureAnimChecks && !ValidateCreatureAnims(typeNumber)) || !LoadSprite(*set, animFile)) {
    slot.reset();
    return false;
  }
  ComputeMoveTables(type, typeNumber);
  return true;
}

void ComputeMoveTables(CCreatureType& type, int typeNumber) {
  if (typeNumber < 0 || typeNumber >= kCreatureTypes || !g_creatureTypeAnims[typeNumber]) return;
  CAnimation& animation = g_creatureTypeAnims[typeNumber]->animation;
  MeasureCycle(animation, creature_anim::kWalk, type.walkAdvanceStraight, type.walkAdvanceDiagonal);
  if (type.CanFly) MeasureCycle(animation, creature_anim::kFly, type.flyAdvanceStraight, type.flyAdvanceDiagonal);

  const int attackTicks = MeanSequenceTicks(animation, creature_anim::kAttack, 24);
  type.attackDuration = attackTicks < 0 ? 0 : attackTicks + 3;
  type.rangedAttackDuration = 0;
  if (type.rangedAttackSpell != kNoRangedAttack) {
    const int rangedTicks = MeanSequenceTicks(animation, creature_anim::kRangedAttack, 8);
    type.rangedAttackDuration = rangedTicks < 0 ? 0 : type.FireRate + rangedTicks;
  }
  ComputeMaxStepSpeed(type);
}
