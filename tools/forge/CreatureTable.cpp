// The forged creature types and the rating matrices made from them.
#include "forge/CreatureTable.h"

#include <algorithm>

namespace forge {

namespace {

// The eight facings as steps on the map, clockwise from north (y - 1).
constexpr int kFacingStep[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

// Markers of a figure of this size: TileHeight x 16 pixels tall and a little more, narrowest
// seen end-on and widest seen side-on.
void FillMarkers(CreatureRow& row) {
  const int height = row.TileHeight * 16 + 6;
  const int front = 4 * row.TileSizeXY;
  auto set = [&](int eyeX) {
    return MarkerSet{ScreenOffset{0, -height}, ScreenOffset{eyeX, -height * 3 / 4}, ScreenOffset{0, front},
                     ScreenOffset{0, -height - 8}};
  };
  row.MarkerHoriz = set(3 * row.TileSizeXY);
  row.MarkerVert = set(0);
  row.MarkerDiag = set(2 * row.TileSizeXY);
}

// The eye sits forward of the centre by a quarter of the footprint and three quarters of
// the way up the figure (the centre point is half way up).
void FillEyes(CreatureRow& row) {
  const int reach = 8 * row.TileSizeXY;
  for (int f = 0; f < 8; ++f)
    row.LRCOffsets[static_cast<size_t>(f)] = {kFacingStep[f][0] * reach, kFacingStep[f][1] * reach, row.TileHeight * 4};
}

CreatureRow Finish(CreatureRow row) {
  FillMarkers(row);
  FillEyes(row);
  return row;
}

constexpr std::array<int, 4> kRedBlood = {255, 0, 0, 64};

// clang-format off
// A wizard's body: every wizard type shares it.
CreatureRow Wizard(const char* displayName) {
  return Finish({.displayName = displayName, .typeName = "", .animName = "", .alignment = kNeutral,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood,
      .GroundSpeed = 300, .FlyingSpeed = 0, .Acceleration = 8, .Intelligence = 90, .Health = 200,
      .Stamina = 60, .Defense = 40, .MagicResist = 80, .ImmuneSystem = 50, .FireRate = 0,
      .FireRange = 0, .ViewRange = 14, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false,
      .ArtifactUse = "COLLECT, PICKUP, OPENCHEST", .AI_CreatureCategory = "DEFENDER", .WanderDist = 0,
      .WanderDelay = 0, .LordExperienceLevel = 0, .KingExperienceLevel = 0, .BurnTime = 60,
      .BurnDamage = 4, .Weight = 80, .Bravery = 500, .melee = 10, .missile = 0, .taunt = 0});
}

std::array<CreatureRow, kCreatureTypes> MakeTable() {
  std::array<CreatureRow, kCreatureTypes> t{};
  t[0] = Wizard("Wizard");
  t[0].typeName = "PLAYER_WIZARD";
  t[1] = Finish({.displayName = "Brownie", .typeName = "BROWNIE", .animName = "brownie", .alignment = kLaw,
      .TileSizeXY = 1, .TileHeight = 1, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood,
      .GroundSpeed = 500, .FlyingSpeed = 0, .Acceleration = 20, .Intelligence = 50, .Health = 30,
      .Stamina = 40, .Defense = 20, .MagicResist = 60, .ImmuneSystem = 40, .FireRate = 30, .FireRange = 7,
      .ViewRange = 12, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false,
      .ArtifactUse = "COLLECT, PICKUP, OPENCHEST", .AI_CreatureCategory = "SCOUT", .WanderDist = 6,
      .WanderDelay = 60, .LordExperienceLevel = 150, .KingExperienceLevel = 450, .BurnTime = 40,
      .BurnDamage = 3, .Weight = 10, .Bravery = 300, .melee = 4, .missile = 8, .taunt = 4});
  t[2] = Finish({.displayName = "Centaur", .typeName = "CENTAUR", .animName = "centaur", .alignment = kLaw,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood,
      .GroundSpeed = 800, .FlyingSpeed = 0, .Acceleration = 14, .Intelligence = 60, .Health = 100,
      .Stamina = 80, .Defense = 40, .MagicResist = 40, .ImmuneSystem = 60, .FireRate = 25, .FireRange = 10,
      .ViewRange = 14, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "PICKUP",
      .AI_CreatureCategory = "ATTACKER, SCOUT", .WanderDist = 8, .WanderDelay = 80,
      .LordExperienceLevel = 300, .KingExperienceLevel = 900, .BurnTime = 50, .BurnDamage = 4, .Weight = 300,
      .Bravery = 600, .melee = 14, .missile = 16, .taunt = 5});
  t[3] = Finish({.displayName = "Elf", .typeName = "ELF", .animName = "elf", .alignment = kLaw, .TileSizeXY = 1,
      .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood, .GroundSpeed = 450,
      .FlyingSpeed = 0, .Acceleration = 12, .Intelligence = 75, .Health = 60, .Stamina = 60, .Defense = 30,
      .MagicResist = 55, .ImmuneSystem = 50, .FireRate = 20, .FireRange = 12, .ViewRange = 16,
      .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false,
      .ArtifactUse = "COLLECT, PICKUP, OPENCHEST", .AI_CreatureCategory = "SCOUT, ATTACKER", .WanderDist = 6,
      .WanderDelay = 70, .LordExperienceLevel = 200, .KingExperienceLevel = 600, .BurnTime = 40,
      .BurnDamage = 4, .Weight = 60, .Bravery = 500, .melee = 8, .missile = 18, .taunt = 5});
  t[4] = Finish({.displayName = "Griffin", .typeName = "GRIFFIN", .animName = "griffin", .alignment = kLaw,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = true, .FlyingHeight = 3, .BloodColour = kRedBlood,
      .GroundSpeed = 350, .FlyingSpeed = 850, .Acceleration = 16, .Intelligence = 40, .Health = 150,
      .Stamina = 70, .Defense = 45, .MagicResist = 35, .ImmuneSystem = 60, .FireRate = 0, .FireRange = 0,
      .ViewRange = 14, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "NONE",
      .AI_CreatureCategory = "ATTACKER", .WanderDist = 10, .WanderDelay = 90, .LordExperienceLevel = 350,
      .KingExperienceLevel = 1000, .BurnTime = 50, .BurnDamage = 4, .Weight = 250, .Bravery = 700,
      .melee = 24, .missile = 0, .taunt = 6});
  t[5] = Finish({.displayName = "Hero", .typeName = "HERO", .animName = "hero", .alignment = kLaw, .TileSizeXY = 1,
      .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood, .GroundSpeed = 400,
      .FlyingSpeed = 0, .Acceleration = 10, .Intelligence = 60, .Health = 130, .Stamina = 90, .Defense = 65,
      .MagicResist = 45, .ImmuneSystem = 70, .FireRate = 0, .FireRange = 0, .ViewRange = 12,
      .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false,
      .ArtifactUse = "COLLECT, PICKUP, OPENCHEST", .AI_CreatureCategory = "ATTACKER, DEFENDER",
      .WanderDist = 4, .WanderDelay = 100, .LordExperienceLevel = 300, .KingExperienceLevel = 900,
      .BurnTime = 50, .BurnDamage = 4, .Weight = 100, .Bravery = 900, .melee = 26, .missile = 0, .taunt = 7});
  t[6] = Finish({.displayName = "Phoenix", .typeName = "PHOENIX", .animName = "phoenix", .alignment = kLaw,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = true, .FlyingHeight = 4, .BloodColour = {255, 200, 40, 64},
      .GroundSpeed = 200, .FlyingSpeed = 950, .Acceleration = 18, .Intelligence = 55, .Health = 120,
      .Stamina = 60, .Defense = 35, .MagicResist = 70, .ImmuneSystem = 80, .FireRate = 0, .FireRange = 0,
      .ViewRange = 16, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "NONE",
      .AI_CreatureCategory = "SCOUT, ATTACKER", .WanderDist = 12, .WanderDelay = 80,
      .LordExperienceLevel = 300, .KingExperienceLevel = 900, .BurnTime = 0, .BurnDamage = 0, .Weight = 60,
      .Bravery = 800, .melee = 18, .missile = 0, .taunt = 5});
  t[7] = Finish({.displayName = "Unicorn", .typeName = "UNICORN", .animName = "unicorn", .alignment = kLaw,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = false, .FlyingHeight = 0,
      .BloodColour = {220, 220, 255, 64}, .GroundSpeed = 750, .FlyingSpeed = 0, .Acceleration = 16,
      .Intelligence = 65, .Health = 110, .Stamina = 80, .Defense = 45, .MagicResist = 85, .ImmuneSystem = 90,
      .FireRate = 0, .FireRange = 0, .ViewRange = 14, .SwimmingAbility = 1, .IsPhysical = true,
      .IsUndead = false, .ArtifactUse = "NONE", .AI_CreatureCategory = "ATTACKER", .WanderDist = 8,
      .WanderDelay = 80, .LordExperienceLevel = 300, .KingExperienceLevel = 900, .BurnTime = 50,
      .BurnDamage = 4, .Weight = 250, .Bravery = 700, .melee = 20, .missile = 0, .taunt = 5});
  t[8] = Finish({.displayName = "Black Dog", .typeName = "BLACK_DOG", .animName = "dog", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 1, .CanFly = false, .FlyingHeight = 0, .BloodColour = {120, 0, 0, 64},
      .GroundSpeed = 700, .FlyingSpeed = 0, .Acceleration = 22, .Intelligence = 45, .Health = 80,
      .Stamina = 70, .Defense = 30, .MagicResist = 40, .ImmuneSystem = 50, .FireRate = 40, .FireRange = 8,
      .ViewRange = 14, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "SCOUT, ATTACKER", .WanderDist = 10, .WanderDelay = 50,
      .LordExperienceLevel = 250, .KingExperienceLevel = 750, .BurnTime = 40, .BurnDamage = 4, .Weight = 70,
      .Bravery = 600, .melee = 14, .missile = 1200, .taunt = 6});
  t[9] = Finish({.displayName = "Manticore", .typeName = "MANTICORE", .animName = "manticore", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = true, .FlyingHeight = 3, .BloodColour = kRedBlood,
      .GroundSpeed = 450, .FlyingSpeed = 700, .Acceleration = 14, .Intelligence = 45, .Health = 160,
      .Stamina = 70, .Defense = 50, .MagicResist = 40, .ImmuneSystem = 60, .FireRate = 35, .FireRange = 9,
      .ViewRange = 14, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "ATTACKER", .WanderDist = 10, .WanderDelay = 90, .LordExperienceLevel = 350,
      .KingExperienceLevel = 1000, .BurnTime = 50, .BurnDamage = 4, .Weight = 250, .Bravery = 800,
      .melee = 24, .missile = 18, .taunt = 6});
  t[10] = Finish({.displayName = "Redcap", .typeName = "REDCAP", .animName = "redcap", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 1, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood,
      .GroundSpeed = 550, .FlyingSpeed = 0, .Acceleration = 18, .Intelligence = 45, .Health = 50,
      .Stamina = 60, .Defense = 25, .MagicResist = 45, .ImmuneSystem = 50, .FireRate = 30, .FireRange = 7,
      .ViewRange = 12, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false,
      .ArtifactUse = "COLLECT, PICKUP, OPENCHEST", .AI_CreatureCategory = "SCOUT, ATTACKER", .WanderDist = 6,
      .WanderDelay = 60, .LordExperienceLevel = 200, .KingExperienceLevel = 600, .BurnTime = 40,
      .BurnDamage = 3, .Weight = 20, .Bravery = 500, .melee = 8, .missile = 10, .taunt = 5});
  t[11] = Finish({.displayName = "Skeleton", .typeName = "SKELETON", .animName = "skeleton", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = false, .FlyingHeight = 0,
      .BloodColour = {200, 200, 180, 64}, .GroundSpeed = 350, .FlyingSpeed = 0, .Acceleration = 10,
      .Intelligence = 20, .Health = 60, .Stamina = 100, .Defense = 35, .MagicResist = 60,
      .ImmuneSystem = 100, .FireRate = 0, .FireRange = 0, .ViewRange = 12, .SwimmingAbility = 3,
      .IsPhysical = true, .IsUndead = true, .ArtifactUse = "NONE",
      .AI_CreatureCategory = "ATTACKER, DEFENDER", .WanderDist = 4, .WanderDelay = 120,
      .LordExperienceLevel = 250, .KingExperienceLevel = 750, .BurnTime = 20, .BurnDamage = 1, .Weight = 30,
      .Bravery = 1000, .melee = 12, .missile = 0, .taunt = 4});
  t[12] = Finish({.displayName = "Vampire", .typeName = "VAMPIRE", .animName = "vampire", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = true, .FlyingHeight = 3, .BloodColour = {100, 0, 20, 64},
      .GroundSpeed = 450, .FlyingSpeed = 700, .Acceleration = 14, .Intelligence = 70, .Health = 130,
      .Stamina = 80, .Defense = 45, .MagicResist = 65, .ImmuneSystem = 90, .FireRate = 0, .FireRange = 0,
      .ViewRange = 14, .SwimmingAbility = 3, .IsPhysical = true, .IsUndead = true,
      .ArtifactUse = "COLLECT, PICKUP", .AI_CreatureCategory = "ATTACKER", .WanderDist = 8,
      .WanderDelay = 90, .LordExperienceLevel = 350, .KingExperienceLevel = 1000, .BurnTime = 50,
      .BurnDamage = 6, .Weight = 70, .Bravery = 900, .melee = 22, .missile = 0, .taunt = 5});
  t[13] = Finish({.displayName = "Wraith", .typeName = "WRAITH", .animName = "wraith", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = true, .FlyingHeight = 2,
      .BloodColour = {140, 140, 200, 64}, .GroundSpeed = 300, .FlyingSpeed = 500, .Acceleration = 12,
      .Intelligence = 50, .Health = 90, .Stamina = 100, .Defense = 20, .MagicResist = 75,
      .ImmuneSystem = 100, .FireRate = 0, .FireRange = 0, .ViewRange = 12, .SwimmingAbility = 3,
      .IsPhysical = false, .IsUndead = true, .ArtifactUse = "NONE", .AI_CreatureCategory = "ATTACKER",
      .WanderDist = 8, .WanderDelay = 100, .LordExperienceLevel = 300, .KingExperienceLevel = 900,
      .BurnTime = 0, .BurnDamage = 0, .Weight = 5, .Bravery = 1000, .melee = 18, .missile = 0, .taunt = 5});
  t[14] = Finish({.displayName = "Zombie", .typeName = "ZOMBIE", .animName = "zombie", .alignment = kVrask,
      .TileSizeXY = 1, .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = {90, 110, 40, 64},
      .GroundSpeed = 100, .FlyingSpeed = 0, .Acceleration = 4, .Intelligence = 10, .Health = 100,
      .Stamina = 100, .Defense = 30, .MagicResist = 30, .ImmuneSystem = 100, .FireRate = 0, .FireRange = 0,
      .ViewRange = 10, .SwimmingAbility = 3, .IsPhysical = true, .IsUndead = true, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "DEFENDER", .WanderDist = 3, .WanderDelay = 150, .LordExperienceLevel = 250,
      .KingExperienceLevel = 750, .BurnTime = 60, .BurnDamage = 5, .Weight = 80, .Bravery = 1000,
      .melee = 14, .missile = 0, .taunt = 3});
  t[15] = Finish({.displayName = "Bat", .typeName = "BAT", .animName = "bat", .alignment = kNeutral, .TileSizeXY = 1,
      .TileHeight = 1, .CanFly = true, .FlyingHeight = 4, .BloodColour = kRedBlood, .GroundSpeed = 100,
      .FlyingSpeed = 1000, .Acceleration = 30, .Intelligence = 30, .Health = 20, .Stamina = 40,
      .Defense = 10, .MagicResist = 20, .ImmuneSystem = 30, .FireRate = 0, .FireRange = 0, .ViewRange = 16,
      .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "NONE",
      .AI_CreatureCategory = "SCOUT", .WanderDist = 14, .WanderDelay = 40, .LordExperienceLevel = 100,
      .KingExperienceLevel = 300, .BurnTime = 30, .BurnDamage = 3, .Weight = 3, .Bravery = 300, .melee = 4,
      .missile = 0, .taunt = 3});
  t[16] = Finish({.displayName = "Basilisk", .typeName = "BASILISK", .animName = "basilisk", .alignment = kNeutral,
      .TileSizeXY = 1, .TileHeight = 1, .CanFly = false, .FlyingHeight = 0, .BloodColour = {40, 140, 40, 64},
      .GroundSpeed = 200, .FlyingSpeed = 0, .Acceleration = 6, .Intelligence = 30, .Health = 110,
      .Stamina = 70, .Defense = 60, .MagicResist = 50, .ImmuneSystem = 90, .FireRate = 0, .FireRange = 0,
      .ViewRange = 10, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "DEFENDER", .WanderDist = 4, .WanderDelay = 120, .LordExperienceLevel = 300,
      .KingExperienceLevel = 900, .BurnTime = 40, .BurnDamage = 3, .Weight = 150, .Bravery = 700,
      .melee = 10, .missile = 0, .taunt = 4});
  t[17] = Finish({.displayName = "Crocodile", .typeName = "CROCODILE", .animName = "crocodile", .alignment = kNeutral,
      .TileSizeXY = 1, .TileHeight = 1, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood,
      .GroundSpeed = 250, .FlyingSpeed = 0, .Acceleration = 8, .Intelligence = 20, .Health = 120,
      .Stamina = 80, .Defense = 55, .MagicResist = 30, .ImmuneSystem = 70, .FireRate = 0, .FireRange = 0,
      .ViewRange = 10, .SwimmingAbility = 2, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "DEFENDER", .WanderDist = 4, .WanderDelay = 120, .LordExperienceLevel = 300,
      .KingExperienceLevel = 900, .BurnTime = 40, .BurnDamage = 3, .Weight = 200, .Bravery = 700,
      .melee = 22, .missile = 0, .taunt = 0});
  t[18] = Finish({.displayName = "Dragon", .typeName = "DRAGON", .animName = "dragon", .alignment = kNeutral,
      .TileSizeXY = 2, .TileHeight = 3, .CanFly = true, .FlyingHeight = 4, .BloodColour = {160, 20, 0, 64},
      .GroundSpeed = 300, .FlyingSpeed = 800, .Acceleration = 10, .Intelligence = 70, .Health = 450,
      .Stamina = 100, .Defense = 75, .MagicResist = 70, .ImmuneSystem = 90, .FireRate = 60, .FireRange = 10,
      .ViewRange = 18, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "ATTACKER", .WanderDist = 12, .WanderDelay = 120, .LordExperienceLevel = 800,
      .KingExperienceLevel = 2400, .BurnTime = 0, .BurnDamage = 0, .Weight = 1000, .Bravery = 1000,
      .melee = 45, .missile = 30, .taunt = 8});
  t[19] = Finish({.displayName = "Faun", .typeName = "FAUN", .animName = "faun", .alignment = kNeutral, .TileSizeXY = 1,
      .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood, .GroundSpeed = 650,
      .FlyingSpeed = 0, .Acceleration = 18, .Intelligence = 55, .Health = 60, .Stamina = 60, .Defense = 25,
      .MagicResist = 50, .ImmuneSystem = 60, .FireRate = 0, .FireRange = 0, .ViewRange = 14,
      .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false,
      .ArtifactUse = "COLLECT, PICKUP, OPENCHEST", .AI_CreatureCategory = "SCOUT", .WanderDist = 10,
      .WanderDelay = 60, .LordExperienceLevel = 200, .KingExperienceLevel = 600, .BurnTime = 40,
      .BurnDamage = 4, .Weight = 50, .Bravery = 400, .melee = 10, .missile = 0, .taunt = 0});
  t[20] = Finish({.displayName = "Champion of Law", .typeName = "CHAMP_OF_LAW", .animName = "law", .alignment = kLaw,
      .TileSizeXY = 1, .TileHeight = 3, .CanFly = false, .FlyingHeight = 0,
      .BloodColour = {255, 220, 120, 64}, .GroundSpeed = 350, .FlyingSpeed = 0, .Acceleration = 8,
      .Intelligence = 80, .Health = 300, .Stamina = 100, .Defense = 80, .MagicResist = 80,
      .ImmuneSystem = 90, .FireRate = 45, .FireRange = 10, .ViewRange = 16, .SwimmingAbility = 1,
      .IsPhysical = true, .IsUndead = false, .ArtifactUse = "COLLECT, PICKUP, OPENCHEST",
      .AI_CreatureCategory = "ATTACKER, DEFENDER", .WanderDist = 4, .WanderDelay = 120,
      .LordExperienceLevel = 600, .KingExperienceLevel = 1800, .BurnTime = 40, .BurnDamage = 4,
      .Weight = 400, .Bravery = 1000, .melee = 40, .missile = 1500, .taunt = 0});
  t[21] = Finish({.displayName = "Troll", .typeName = "TROLL", .animName = "troll", .alignment = kNeutral,
      .TileSizeXY = 2, .TileHeight = 3, .CanFly = false, .FlyingHeight = 0, .BloodColour = {60, 120, 60, 64},
      .GroundSpeed = 300, .FlyingSpeed = 0, .Acceleration = 6, .Intelligence = 25, .Health = 280,
      .Stamina = 100, .Defense = 60, .MagicResist = 30, .ImmuneSystem = 80, .FireRate = 0, .FireRange = 0,
      .ViewRange = 10, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "EAT",
      .AI_CreatureCategory = "ATTACKER", .WanderDist = 6, .WanderDelay = 120, .LordExperienceLevel = 600,
      .KingExperienceLevel = 1800, .BurnTime = 60, .BurnDamage = 6, .Weight = 800, .Bravery = 800,
      .melee = 40, .missile = 0, .taunt = 7});
  t[22] = Finish({.displayName = "Eye", .typeName = "EYE", .animName = "eye", .alignment = kNeutral, .TileSizeXY = 1,
      .TileHeight = 1, .CanFly = true, .FlyingHeight = 2, .BloodColour = {200, 200, 255, 64},
      .GroundSpeed = 150, .FlyingSpeed = 300, .Acceleration = 10, .Intelligence = 90, .Health = 70,
      .Stamina = 50, .Defense = 20, .MagicResist = 90, .ImmuneSystem = 50, .FireRate = 0, .FireRange = 0,
      .ViewRange = 20, .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "NONE",
      .AI_CreatureCategory = "SCOUT", .WanderDist = 6, .WanderDelay = 100, .LordExperienceLevel = 200,
      .KingExperienceLevel = 600, .BurnTime = 30, .BurnDamage = 3, .Weight = 20, .Bravery = 500, .melee = 2,
      .missile = 0, .taunt = 0});
  t[23] = Finish({.displayName = "Champion of Vrask", .typeName = "CHAMP_OF_VRASK", .animName = "vrask",
      .alignment = kVrask, .TileSizeXY = 1, .TileHeight = 3, .CanFly = false, .FlyingHeight = 0,
      .BloodColour = {80, 0, 80, 64}, .GroundSpeed = 350, .FlyingSpeed = 0, .Acceleration = 8,
      .Intelligence = 75, .Health = 300, .Stamina = 100, .Defense = 75, .MagicResist = 75,
      .ImmuneSystem = 100, .FireRate = 45, .FireRange = 10, .ViewRange = 16, .SwimmingAbility = 1,
      .IsPhysical = true, .IsUndead = false, .ArtifactUse = "COLLECT, PICKUP, OPENCHEST",
      .AI_CreatureCategory = "ATTACKER, DEFENDER", .WanderDist = 4, .WanderDelay = 120,
      .LordExperienceLevel = 600, .KingExperienceLevel = 1800, .BurnTime = 40, .BurnDamage = 4,
      .Weight = 400, .Bravery = 1000, .melee = 42, .missile = 14, .taunt = 8});
  t[24] = Wizard("Rival Wizard");
  t[25] = Wizard("Rival Wizard");
  t[26] = Wizard("Rival Wizard");
  t[27] = Finish({.displayName = "Herald", .typeName = "", .animName = "herald", .alignment = kLaw, .TileSizeXY = 1,
      .TileHeight = 2, .CanFly = false, .FlyingHeight = 0, .BloodColour = kRedBlood, .GroundSpeed = 400,
      .FlyingSpeed = 0, .Acceleration = 10, .Intelligence = 60, .Health = 100, .Stamina = 60, .Defense = 30,
      .MagicResist = 50, .ImmuneSystem = 50, .FireRate = 0, .FireRange = 0, .ViewRange = 12,
      .SwimmingAbility = 1, .IsPhysical = true, .IsUndead = false, .ArtifactUse = "NONE",
      .AI_CreatureCategory = "", .WanderDist = 0, .WanderDelay = 0, .LordExperienceLevel = 0,
      .KingExperienceLevel = 0, .BurnTime = 40, .BurnDamage = 4, .Weight = 60, .Bravery = 1000, .melee = 0,
      .missile = 0, .taunt = 0});
  return t;
}

// clang-format on

bool IsWizard(int type) { return type == 0 || (type >= 24 && type <= 26); }
bool IsHolder(int type) { return type == 8 || type == 20; }
bool Shoots(const CreatureRow& row) { return row.FireRange > 0; }

// A rough measure of how much a type can take and deal, for fear.
int Power(const CreatureRow& row) { return row.Health * (row.melee + (row.missile > 100 ? 10 : row.missile / 2) + 1); }

bool Opposed(const CreatureRow& a, const CreatureRow& b) {
  return (a.alignment == kLaw && b.alignment == kVrask) || (a.alignment == kVrask && b.alignment == kLaw);
}

// What a blow of this strength does through the target's armour.
int Rating(int strength, const CreatureRow& target) {
  return strength == 0 ? 0 : std::max(1, strength * (150 - target.Defense) / 100);
}

int KnockBackChance(const CreatureRow& a, const CreatureRow& t) {
  if (a.melee == 0) return 0;
  return std::clamp(70 * a.Weight / (a.Weight + t.Weight) - 20, 0, 60);
}

int FearOrHate(int ai, int ti, const CreatureRow& a, const CreatureRow& t) {
  if (ai == 27) return -6;  // the herald keeps out of every fight
  if (ai == 22) return 0;   // the eye only watches
  if (IsWizard(ai)) return Power(t) > Power(a) ? -4 : 3;
  const int ratio = Power(t) * 100 / std::max(1, Power(a));
  if (ratio > 250 && a.Bravery < 800) return -std::min(8, 2 + ratio / 250);
  return 4 + (Opposed(a, t) ? 4 : 0) + (IsWizard(ti) ? 2 : 0);
}

int ResponseToShots(const CreatureRow& a, const CreatureRow& t) {
  if (!Shoots(t)) return 10;
  if (Shoots(a)) return 12;  // shoot back
  return Power(a) >= Power(t) || a.Bravery >= 800 ? 15 : -15;
}

int Evasiveness(const CreatureRow& a, const CreatureRow& t) {
  const int agility = std::clamp(a.Acceleration * 10 + (a.CanFly ? 100 : 0) - a.Weight / 10, 0, 400);
  return Shoots(t) ? agility : agility / 2;
}

}  // namespace

const std::array<CreatureRow, kCreatureTypes>& CreatureTable() {
  static const std::array<CreatureRow, kCreatureTypes> table = MakeTable();
  return table;
}

int CycleShift(int speed) { return 32 + 32 * std::clamp(speed, 0, 1000) / 1000; }

HthMatrices MakeHthMatrices() {
  const auto& types = CreatureTable();
  HthMatrices m{};
  for (int a = 0; a < kCreatureTypes; ++a) {
    const CreatureRow& attacker = types[static_cast<size_t>(a)];
    for (int t = 0; t < kCreatureTypes; ++t) {
      const CreatureRow& target = types[static_cast<size_t>(t)];
      auto at = [&](HthMatrices::Matrix& matrix) -> int& {
        return matrix[static_cast<size_t>(a)][static_cast<size_t>(t)];
      };
      at(m.HTH) = Rating(attacker.melee, target);
      at(m.Stun) = KnockBackChance(attacker, target);
      // The holders' long-range value is the strength of their hold, the same for every target
      // (the target's magic resistance shortens it).
      at(m.LRC) = IsHolder(a) ? attacker.missile : Shoots(attacker) ? Rating(attacker.missile, target) : 0;
      at(m.Taunt) = a == t ? 0 : attacker.taunt;
      at(m.Assist) = IsWizard(a) || a == 27 ? 0 : IsWizard(t) ? 6 : attacker.alignment == target.alignment ? 4 : 2;
      at(m.FearHate) = FearOrHate(a, t, attacker, target);
      at(m.Evasion) = Evasiveness(attacker, target);
      at(m.ResponsetoLRC) = ResponseToShots(attacker, target);
    }
  }
  return m;
}

const HthMatrices::Matrix& HthMatrixByIndex(const HthMatrices& m, int index) {
  const HthMatrices::Matrix* all[8] = {&m.HTH,    &m.Stun,     &m.LRC,     &m.Taunt,
                                       &m.Assist, &m.FearHate, &m.Evasion, &m.ResponsetoLRC};
  return *all[index & 7];
}

}  // namespace forge
