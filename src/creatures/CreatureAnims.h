#pragma once
// The creature types' animation sets: one animation file and its sprite per type, shared by
// every creature of the type, loaded when the first creature of the type is placed. Loading
// measures the type's walk and fly pace and its attack durations from the set.
//
// Sequence bases (a base plus the view facing 0-7 is the sequence played): walk 0, trapped
// 16, hand-to-hand attacks 24, 32 and 40, retreat 56, idle 64-104, taunt 112, stunned 144,
// fly 176, type 12's flights 208 and 216, dying 232, air wait 248, long-range attack 256,
// dip cap 264, stand 288, dead 296 + 8 x stage.

#include <memory>

#include "creatures/CreatureType.h"
#include "graphics/Animation.h"
#include "graphics/Sprite.h"

namespace creature_anim {
inline constexpr int kWalk = 0;
inline constexpr int kTrapped = 16;
inline constexpr int kAttack = 24;  // three blocks: 24, 32, 40
inline constexpr int kRetreat = 56;
inline constexpr int kIdle = 64;  // six blocks: 64-104
inline constexpr int kTaunt = 112;
inline constexpr int kStunned = 144;
inline constexpr int kFly = 176;
inline constexpr int kVampireFly = 208;
inline constexpr int kVampireHover = 216;
inline constexpr int kDying = 232;
inline constexpr int kAirWait = 248;
inline constexpr int kRangedAttack = 256;
inline constexpr int kDipCap = 264;
inline constexpr int kStand = 288;
inline constexpr int kDead = 296;
}  // namespace creature_anim

// One type's animation set. Held by shared ownership: a wizard type reloads its set for each
// wizard placed, while creatures (an illusion of a wizard among them) may still play the old
// one; the last holder frees it.
struct CCreatureAnimSet {
  CAnimation animation{0};  // loaded without its sprite
  CSprite sprite;
};
using CreatureAnimSetPtr = std::shared_ptr<CCreatureAnimSet>;

// The set of each type, null until loaded.
extern CreatureAnimSetPtr g_creatureTypeAnims[kCreatureTypes];

// Animation file names by type: [0] the normal set, [1] the cut-down set under
// "creatures\16Mb Anims\" that the CutDownAnims preference chooses. Wizard types have none
// here (their files come from their wizard).
extern const char* const g_creatureAnimFiles[2][kCreatureTypes];
// Wizard animation files by appearance 1-6 (0 names none), in the same two sets.
extern const char* const g_wizardAnimFiles[2][7];
// The wizard animation file the wizard code prepares before it places a wizard.
extern char g_wizardAnimFileName[256];

// The animation file for a creature of the type owned by the army.
const char* ChooseCreatureAnimFile(int type, int army);

// Makes the type's set ready: loads the animation (without sprite; for a wizard type afresh
// each time), checks it when CreatureAnimChecks is on, loads the sprite named in its header
// from the animation's folder with its colour tables, and measures the movement tables.
// False when any of these fails; the type then has no set.
bool LoadCreatureTypeAnims(CCreatureType& type, int typeNumber, const char* animFile);

// The checks of a type's set; each failure shows its "CREATURE ANIMATION ERROR" box and
// answers false.
bool ValidateCreatureAnims(int typeNumber);
// Sequences n..n+7 are each twelve frame steps (events among them), optionally event 5,
// event 2, the first frame again and the end.
bool ValidateWalkAnims(int typeNumber, int n);
// Sequences n+2, n+4 and n+6 follow sequence n step by step.
bool ValidateAnimGroup(int typeNumber, int n);

// The advance tables, the attack durations and the maximum speed, from the type's set.
void ComputeMoveTables(CCreatureType& type, int typeNumber);
void ComputeMaxStepSpeed(CCreatureType& type);
