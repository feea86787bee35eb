#pragma once
// What a creature looks like: its body plan, sizes, materials and features. One look per
// creature animation file (the 23 named types, the herald and the six wizard looks); the
// figure builders (CreatureFigures.h) turn a look and a pose into a FigureModel.
//
// Sizes are map units (32 across a tile, 16 a level; one unit is about one pixel). The
// local frame of a figure has its origin on the ground under its centre: a forward, b to
// its left, c up.

#include <string>
#include <vector>

#include "forge/FigurePalette.h"

namespace forge {

enum class BodyPlan {
  kHumanoid,   // two legs, two arms, a head: folk, undead, wizards, champions, trolls
  kQuadruped,  // four legs, a body, neck and head: beasts, horses, lizards, dragons
  kBird,       // a bird on two legs with feathered wings
  kBat,        // a bat: membrane wings, small body
  kWraith,     // a hooded robe with no legs that floats
  kEye,        // a floating eyeball
};

enum class Headgear { kNone, kCap, kPointedHat, kHood, kHelmet, kPlumedHelm, kHornedHelm, kCrown, kWideHat };
enum class Weapon {
  kNone,
  kSword,
  kGreatSword,
  kAxe,
  kClub,
  kSpear,
  kBow,
  kStaff,
  kScythe,
  kDagger,
  kSling,
  kPipes,
  kTrumpet,
};
enum class Shield { kNone, kRound, kKite };

// Material slots: each look fills the slots its plan uses; -1 means the slot is unused.
struct LookMaterials {
  int skin = -1, torso = -1, legs = -1, feet = -1, hair = -1, hat = -1, eyes = -1, blade = -1, haft = -1, shield = -1,
      trim = -1, cape = -1, horn = -1, wing = -1, belly = -1, mouth = -1, claw = -1, glow = -1;
};

struct CreatureLook {
  std::string name;  // the file name without its extension: "brownie", "wizard3"
  BodyPlan plan = BodyPlan::kHumanoid;
  std::vector<Material> materials;
  LookMaterials m;
  bool large = false;  // a 2 x 2 tile figure: it stands centred 16 units further in x and y
  double scale = 1;    // every size below is multiplied by it
  int tempo = 1;       // ticks each frame of a timed motion lasts beyond the first: heavier is slower

  // Humanoid and the upper body of a centaur.
  double legLength = 14, torsoLength = 10, headRadius = 3.2, shoulderWidth = 4.2, hipWidth = 2.6;
  double chestDepth = 2.6, belly = 0, armRadius = 1.1, legRadius = 1.4, armLength = 1.0;  // arm length factor
  double neck = 1.2, hunch = 0, headForward = 0;
  bool goatLegs = false, bony = false, robe = false, beard = false, pointedEars = false, tusks = false;
  double robeFlare = 1.0;
  Headgear headgear = Headgear::kNone;
  double hatSize = 1.0;
  Weapon weapon = Weapon::kNone;
  double weaponSize = 1.0;
  Shield shield = Shield::kNone;
  bool cape = false;
  bool collar = false;    // a tall collar standing up behind the head
  double hornLength = 0;  // horns on the head (faun, champion of Vrask)
  double tailLength = 0;

  // Quadruped, bird and bat.
  double bodyLength = 20, shoulderHeight = 12, hipHeight = 12, chestRadius = 5, hipRadius = 4.5;
  double neckLength = 8, neckRaise = 0.9, snout = 4, headSize = 3.2, quadLegRadius = 1.6;
  double sprawl = 0;  // legs set out sideways (lizards)
  bool hoofs = false, mane = false, horn = false, crest = false, spikes = false, scorpionTail = false;
  bool humanTorso = false;  // a centaur: the humanoid upper body rises from the chest
  bool eagleFront = false;  // a griffin: feathered head, beak and taloned fore legs
  bool leonine = false;     // a lion's face and mane (manticore)
  double wingSpan = 0;      // 0 none; membrane or feathered by featherWings
  bool featherWings = false;
  double earSize = 0;
  bool flames = false;  // a burning bird

  // Floating plans.
  double hover = 0;  // height of the figure's lowest point above the ground
};

}  // namespace forge
