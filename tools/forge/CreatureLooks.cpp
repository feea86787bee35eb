// The looks of the creatures: each a body plan with its own sizes, colours and features,
// so that every type reads apart from the others by its outline as well as its colours.
#include "forge/CreatureLooks.h"

#include <stdexcept>
#include <string>

#include "forge/CreatureFigures.h"

namespace forge {

namespace {

class Maker {
 public:
  Maker(const char* name, BodyPlan plan) {
    look_.name = name;
    look_.plan = plan;
  }
  int Add(int r, int g, int b, Finish finish = Finish::kMatte) {
    look_.materials.push_back({r, g, b, finish});
    return static_cast<int>(look_.materials.size()) - 1;
  }
  CreatureLook& operator*() { return look_; }
  CreatureLook* operator->() { return &look_; }
  CreatureLook Done() {
    look_.materials.push_back(kFleshMaterial);
    look_.materials.push_back(kRotMaterial);
    look_.materials.push_back(kBoneMaterial);
    return look_;
  }

 private:
  CreatureLook look_;
};

// Folk on two legs share a skin, eyes and a dark mouth.
void Face(Maker& l, int r, int g, int b) {
  l->m.skin = l.Add(r, g, b, Finish::kSkin);
  l->m.eyes = l.Add(30, 26, 24, Finish::kGloss);
  l->m.mouth = l->m.eyes;
}

CreatureLook Brownie() {
  Maker l("brownie", BodyPlan::kHumanoid);
  l->tempo = 0;
  Face(l, 206, 150, 110);
  l->m.torso = l.Add(132, 94, 52, Finish::kCloth);
  l->m.legs = l.Add(82, 112, 52, Finish::kCloth);
  l->m.feet = l.Add(74, 50, 34);
  l->m.hat = l.Add(200, 48, 40, Finish::kCloth);
  l->m.hair = l.Add(150, 100, 60, Finish::kFur);
  l->m.haft = l.Add(120, 84, 50);
  l->m.trim = l.Add(214, 176, 80);
  l->scale = 0.44;
  l->headRadius = 4.4;
  l->legLength = 11;
  l->torsoLength = 9;
  l->shoulderWidth = 4.4;
  l->hipWidth = 2.8;
  l->belly = 0.25;
  l->armRadius = 1.3;
  l->legRadius = 1.6;
  l->pointedEars = true;
  l->beard = true;
  l->headgear = Headgear::kCap;
  l->hatSize = 1.25;
  l->weapon = Weapon::kSling;
  l->weaponSize = 1.6;
  return l.Done();
}

CreatureLook Elf() {
  Maker l("elf", BodyPlan::kHumanoid);
  l->tempo = 0;
  Face(l, 232, 200, 168);
  l->m.torso = l.Add(70, 140, 70, Finish::kCloth);
  l->m.legs = l.Add(112, 92, 60, Finish::kCloth);
  l->m.feet = l.Add(96, 70, 44);
  l->m.hair = l.Add(236, 214, 120, Finish::kFur);
  l->m.cape = l.Add(40, 96, 56, Finish::kCloth);
  l->m.haft = l.Add(150, 106, 58);
  l->m.trim = l.Add(220, 210, 170);
  l->legLength = 15.5;
  l->torsoLength = 9.5;
  l->headRadius = 2.9;
  l->shoulderWidth = 3.7;
  l->hipWidth = 2.3;
  l->chestDepth = 2.2;
  l->armRadius = 0.95;
  l->legRadius = 1.15;
  l->pointedEars = true;
  l->cape = true;
  l->weapon = Weapon::kBow;
  return l.Done();
}

CreatureLook Hero() {
  Maker l("hero", BodyPlan::kHumanoid);
  l->tempo = 1;
  Face(l, 220, 170, 130);
  l->m.torso = l.Add(150, 156, 168, Finish::kMetal);
  l->m.legs = l.Add(70, 80, 130, Finish::kCloth);
  l->m.feet = l.Add(90, 62, 40);
  l->m.hat = l.Add(170, 176, 186, Finish::kMetal);
  l->m.cape = l.Add(176, 30, 36, Finish::kCloth);
  l->m.blade = l.Add(210, 216, 226, Finish::kMetal);
  l->m.haft = l.Add(96, 64, 40);
  l->m.trim = l.Add(226, 184, 70, Finish::kMetal);
  l->m.shield = l.Add(60, 84, 170);
  l->legLength = 14.5;
  l->torsoLength = 10.5;
  l->shoulderWidth = 4.7;
  l->chestDepth = 2.9;
  l->hipWidth = 2.7;
  l->armRadius = 1.25;
  l->legRadius = 1.5;
  l->headgear = Headgear::kPlumedHelm;
  l->weapon = Weapon::kSword;
  l->shield = Shield::kRound;
  l->cape = true;
  return l.Done();
}

CreatureLook Redcap() {
  Maker l("redcap", BodyPlan::kHumanoid);
  l->tempo = 0;
  Face(l, 150, 160, 110);
  l->m.eyes = l.Add(240, 200, 60, Finish::kGlow);
  l->m.torso = l.Add(96, 80, 64, Finish::kCloth);
  l->m.legs = l.Add(70, 62, 56, Finish::kCloth);
  l->m.feet = l.Add(84, 88, 96, Finish::kMetal);
  l->m.hat = l.Add(190, 20, 24, Finish::kCloth);
  l->m.blade = l.Add(170, 170, 176, Finish::kMetal);
  l->m.haft = l.Add(100, 70, 46);
  l->scale = 0.56;
  l->headRadius = 4.0;
  l->legLength = 12;
  l->torsoLength = 9.5;
  l->shoulderWidth = 4.4;
  l->hipWidth = 2.7;
  l->hunch = 0.2;
  l->headForward = 0.8;
  l->armLength = 1.15;
  l->pointedEars = true;
  l->headgear = Headgear::kCap;
  l->hatSize = 1.0;
  l->weapon = Weapon::kAxe;
  l->weaponSize = 1.0;
  return l.Done();
}

CreatureLook Skeleton() {
  Maker l("skeleton", BodyPlan::kHumanoid);
  l->tempo = 1;
  l->m.skin = l.Add(222, 214, 188, Finish::kBone);
  l->m.mouth = l.Add(30, 24, 22);
  l->m.eyes = l->m.mouth;
  l->m.torso = l->m.skin;
  l->m.legs = l->m.skin;
  l->m.feet = l->m.skin;
  l->m.hat = l.Add(120, 100, 80, Finish::kMetal);
  l->m.blade = l.Add(150, 130, 110, Finish::kMetal);
  l->m.haft = l.Add(80, 60, 40);
  l->m.shield = l.Add(110, 80, 50);
  l->m.trim = l->m.hat;
  l->bony = true;
  l->legLength = 14.5;
  l->torsoLength = 10;
  l->headRadius = 3.1;
  l->shoulderWidth = 4.0;
  l->hipWidth = 2.2;
  l->armRadius = 1.0;
  l->legRadius = 1.2;
  l->headgear = Headgear::kHelmet;
  l->weapon = Weapon::kSword;
  l->shield = Shield::kRound;
  return l.Done();
}

CreatureLook Vampire() {
  Maker l("vampire", BodyPlan::kHumanoid);
  l->tempo = 1;
  Face(l, 214, 214, 220);
  l->m.eyes = l.Add(230, 40, 40, Finish::kGlow);
  l->m.torso = l.Add(110, 20, 30, Finish::kCloth);
  l->m.legs = l.Add(36, 32, 40, Finish::kCloth);
  l->m.feet = l.Add(30, 28, 32, Finish::kGloss);
  l->m.hair = l.Add(28, 26, 34, Finish::kFur);
  l->m.cape = l.Add(26, 22, 34, Finish::kCloth);
  l->m.trim = l.Add(150, 24, 40, Finish::kCloth);
  l->legLength = 15;
  l->torsoLength = 10;
  l->shoulderWidth = 4.1;
  l->hipWidth = 2.3;
  l->headRadius = 3.0;
  l->armRadius = 1.0;
  l->legRadius = 1.2;
  l->cape = true;
  l->collar = true;
  l->pointedEars = true;
  l->armLength = 1.1;
  return l.Done();
}

CreatureLook Zombie() {
  Maker l("zombie", BodyPlan::kHumanoid);
  l->tempo = 2;
  Face(l, 128, 156, 112);
  l->m.eyes = l.Add(230, 230, 160, Finish::kGlow);
  l->m.torso = l.Add(100, 90, 70, Finish::kCloth);
  l->m.legs = l.Add(74, 70, 64, Finish::kCloth);
  l->m.feet = l->m.skin;
  l->m.hair = l.Add(60, 56, 40, Finish::kFur);
  l->legLength = 14;
  l->torsoLength = 10;
  l->shoulderWidth = 4.2;
  l->hunch = 0.35;
  l->headForward = 1.0;
  l->armLength = 1.1;
  return l.Done();
}

CreatureLook Faun() {
  Maker l("faun", BodyPlan::kHumanoid);
  l->tempo = 0;
  Face(l, 214, 162, 118);
  l->m.torso = l->m.skin;
  l->m.legs = l.Add(120, 88, 56, Finish::kFur);
  l->m.feet = l.Add(50, 40, 34, Finish::kGloss);
  l->m.hair = l.Add(96, 60, 36, Finish::kFur);
  l->m.horn = l.Add(196, 180, 150, Finish::kBone);
  l->m.haft = l.Add(170, 150, 90);
  l->legLength = 13.5;
  l->torsoLength = 9;
  l->shoulderWidth = 3.9;
  l->hipWidth = 2.6;
  l->legRadius = 1.6;
  l->goatLegs = true;
  l->hornLength = 3.2;
  l->pointedEars = true;
  l->beard = true;
  l->tailLength = 3;
  l->weapon = Weapon::kPipes;
  return l.Done();
}

CreatureLook ChampionOfLaw() {
  Maker l("law", BodyPlan::kHumanoid);
  l->tempo = 2;
  Face(l, 226, 186, 150);
  l->m.torso = l.Add(236, 226, 190, Finish::kMetal);
  l->m.legs = l.Add(220, 214, 196, Finish::kMetal);
  l->m.feet = l.Add(200, 170, 90, Finish::kMetal);
  l->m.hat = l.Add(240, 214, 120, Finish::kMetal);
  l->m.cape = l.Add(236, 236, 240, Finish::kCloth);
  l->m.blade = l.Add(224, 236, 255, Finish::kMetal);
  l->m.haft = l.Add(200, 160, 60, Finish::kMetal);
  l->m.trim = l.Add(250, 200, 60, Finish::kMetal);
  l->m.shield = l.Add(240, 240, 236, Finish::kMetal);
  l->scale = 1.22;
  l->legLength = 14.5;
  l->torsoLength = 10.5;
  l->shoulderWidth = 5.0;
  l->chestDepth = 3.0;
  l->hipWidth = 2.8;
  l->armRadius = 1.3;
  l->legRadius = 1.6;
  l->headgear = Headgear::kPlumedHelm;
  l->hatSize = 1.2;
  l->weapon = Weapon::kGreatSword;
  l->shield = Shield::kKite;
  l->cape = true;
  return l.Done();
}

CreatureLook Troll() {
  Maker l("troll", BodyPlan::kHumanoid);
  l->tempo = 2;
  Face(l, 118, 136, 104);
  l->m.eyes = l.Add(240, 200, 80, Finish::kGlow);
  l->m.torso = l->m.skin;
  l->m.legs = l.Add(104, 80, 56, Finish::kFur);
  l->m.feet = l->m.skin;
  l->m.hair = l.Add(70, 60, 44, Finish::kFur);
  l->m.haft = l.Add(110, 78, 48);
  l->m.horn = l.Add(226, 216, 190, Finish::kBone);
  l->scale = 1.62;
  l->legLength = 12;
  l->torsoLength = 12;
  l->shoulderWidth = 5.6;
  l->chestDepth = 3.6;
  l->hipWidth = 3.2;
  l->belly = 0.45;
  l->armRadius = 1.7;
  l->legRadius = 2.1;
  l->headRadius = 3.0;
  l->hunch = 0.3;
  l->headForward = 1.4;
  l->neck = 0.4;
  l->armLength = 1.3;
  l->tusks = true;
  l->pointedEars = true;
  l->weapon = Weapon::kClub;
  l->weaponSize = 1.1;
  return l.Done();
}

CreatureLook ChampionOfVrask() {
  Maker l("vrask", BodyPlan::kHumanoid);
  l->tempo = 2;
  Face(l, 150, 60, 50);
  l->m.eyes = l.Add(255, 70, 30, Finish::kGlow);
  l->m.torso = l.Add(56, 50, 60, Finish::kMetal);
  l->m.legs = l.Add(48, 42, 52, Finish::kMetal);
  l->m.feet = l->m.legs;
  l->m.hat = l.Add(60, 52, 64, Finish::kMetal);
  l->m.horn = l.Add(210, 190, 160, Finish::kBone);
  l->m.cape = l.Add(150, 20, 20, Finish::kCloth);
  l->m.blade = l.Add(120, 110, 120, Finish::kMetal);
  l->m.haft = l.Add(50, 36, 30);
  l->m.trim = l.Add(230, 80, 30, Finish::kGlow);
  l->scale = 1.24;
  l->legLength = 14.5;
  l->torsoLength = 10.5;
  l->shoulderWidth = 5.2;
  l->chestDepth = 3.1;
  l->hipWidth = 2.9;
  l->armRadius = 1.35;
  l->legRadius = 1.6;
  l->headgear = Headgear::kHornedHelm;
  l->hatSize = 1.2;
  l->weapon = Weapon::kAxe;
  l->weaponSize = 1.25;
  l->cape = true;
  return l.Done();
}

// Wizards grow grander from the first look to the sixth: robe, hat, beard, cape, staff.
CreatureLook Wizard(int n) {
  struct Style {
    int robe[3], hat[3], trim[3], glow[3];
    Headgear headgear;
    bool beard, cape;
    double scale;
  };
  static const Style kStyles[6] = {
      {{128, 96, 64}, {110, 80, 54}, {160, 130, 90}, {200, 200, 160}, Headgear::kHood, false, false, 0.97},
      {{56, 80, 170}, {48, 70, 150}, {200, 200, 220}, {120, 170, 255}, Headgear::kPointedHat, true, false, 0.98},
      {{50, 120, 64}, {40, 100, 56}, {220, 190, 80}, {120, 240, 120}, Headgear::kPointedHat, true, false, 1.0},
      {{170, 36, 36}, {150, 30, 30}, {230, 180, 70}, {255, 140, 60}, Headgear::kHood, true, true, 1.02},
      {{96, 44, 140}, {80, 36, 120}, {240, 220, 110}, {230, 150, 255}, Headgear::kPointedHat, true, true, 1.03},
      {{236, 232, 220}, {240, 200, 80}, {250, 210, 80}, {255, 240, 160}, Headgear::kCrown, true, true, 1.05},
  };
  const Style& s = kStyles[n - 1];
  const std::string name = "wizard" + std::to_string(n);
  Maker l(name.c_str(), BodyPlan::kHumanoid);
  Face(l, 226, 180, 146);
  l->m.torso = l.Add(s.robe[0], s.robe[1], s.robe[2], Finish::kCloth);
  l->m.legs = l->m.torso;
  l->m.feet = l.Add(80, 60, 44);
  l->m.hat = l.Add(s.hat[0], s.hat[1], s.hat[2], n == 6 ? Finish::kMetal : Finish::kCloth);
  l->m.hair = l.Add(n < 3 ? 110 : 226, n < 3 ? 80 : 226, n < 3 ? 50 : 230, Finish::kFur);
  l->m.trim = l.Add(s.trim[0], s.trim[1], s.trim[2], n >= 4 ? Finish::kMetal : Finish::kCloth);
  l->m.haft = l.Add(120, 86, 52);
  l->m.glow = l.Add(s.glow[0], s.glow[1], s.glow[2], Finish::kGlow);
  if (s.cape) l->m.cape = l.Add(s.robe[0] * 3 / 4, s.robe[1] * 3 / 4, s.robe[2] * 3 / 4, Finish::kCloth);
  l->scale = s.scale;
  l->legLength = 14;
  l->torsoLength = 10;
  l->shoulderWidth = 4.0;
  l->hipWidth = 2.5;
  l->robe = true;
  l->robeFlare = 0.95 + 0.05 * n;
  l->beard = s.beard;
  l->headgear = s.headgear;
  l->hatSize = 0.8 + 0.08 * n;
  l->cape = s.cape;
  l->weapon = Weapon::kStaff;
  l->weaponSize = 0.95 + 0.07 * n;
  return l.Done();
}

CreatureLook Herald() {
  Maker l("herald", BodyPlan::kHumanoid);
  l->tempo = 1;
  Face(l, 226, 182, 146);
  l->m.torso = l.Add(40, 80, 180, Finish::kCloth);
  l->m.legs = l.Add(230, 200, 90, Finish::kCloth);
  l->m.feet = l.Add(80, 56, 40);
  l->m.hat = l.Add(40, 70, 160, Finish::kCloth);
  l->m.hair = l.Add(120, 80, 40, Finish::kFur);
  l->m.trim = l.Add(240, 200, 80, Finish::kMetal);
  l->m.cape = l.Add(220, 40, 40, Finish::kCloth);
  l->legLength = 14.5;
  l->torsoLength = 10;
  l->shoulderWidth = 4.0;
  l->headgear = Headgear::kWideHat;
  l->weapon = Weapon::kTrumpet;
  return l.Done();
}

CreatureLook Centaur() {
  Maker l("centaur", BodyPlan::kQuadruped);
  l->tempo = 1;
  Face(l, 214, 160, 120);
  l->m.torso = l.Add(150, 88, 46, Finish::kFur);
  l->m.belly = l.Add(170, 112, 70, Finish::kFur);
  l->m.legs = l->m.torso;
  l->m.feet = l.Add(50, 42, 38, Finish::kGloss);
  l->m.hair = l.Add(56, 40, 30, Finish::kFur);
  l->m.haft = l.Add(120, 84, 46);
  l->m.trim = l.Add(200, 190, 160);
  l->humanTorso = true;
  l->hoofs = true;
  l->bodyLength = 19;
  l->shoulderHeight = 14;
  l->hipHeight = 14;
  l->chestRadius = 5.2;
  l->hipRadius = 5;
  l->quadLegRadius = 1.35;
  l->tailLength = 8;
  l->torsoLength = 9;
  l->shoulderWidth = 3.9;
  l->hipWidth = 2.4;
  l->headRadius = 2.9;
  l->beard = true;
  l->weapon = Weapon::kBow;
  return l.Done();
}

CreatureLook Griffin() {
  Maker l("griffin", BodyPlan::kQuadruped);
  l->tempo = 1;
  l->m.skin = l.Add(236, 232, 220, Finish::kFeather);
  l->m.eyes = l.Add(250, 190, 40, Finish::kGlow);
  l->m.torso = l.Add(196, 150, 80, Finish::kFur);
  l->m.belly = l.Add(214, 180, 120, Finish::kFur);
  l->m.legs = l->m.torso;
  l->m.feet = l.Add(230, 180, 60);
  l->m.claw = l.Add(60, 50, 40, Finish::kGloss);
  l->m.horn = l.Add(240, 190, 60, Finish::kGloss);
  l->m.wing = l.Add(150, 104, 60, Finish::kFeather);
  l->m.hair = l.Add(120, 84, 50, Finish::kFur);
  l->eagleFront = true;
  l->featherWings = true;
  l->bodyLength = 22;
  l->shoulderHeight = 13;
  l->hipHeight = 12;
  l->chestRadius = 6;
  l->hipRadius = 5.2;
  l->neckLength = 5;
  l->neckRaise = 1.2;
  l->headSize = 3.6;
  l->quadLegRadius = 1.6;
  l->tailLength = 11;
  l->wingSpan = 44;
  return l.Done();
}

CreatureLook Phoenix() {
  Maker l("phoenix", BodyPlan::kBird);
  l->tempo = 0;
  l->m.torso = l.Add(230, 90, 30, Finish::kFeather);
  l->m.glow = l.Add(255, 200, 60, Finish::kGlow);
  l->m.wing = l.Add(240, 130, 40, Finish::kFeather);
  l->m.eyes = l.Add(40, 20, 10, Finish::kGloss);
  l->m.horn = l.Add(250, 220, 120, Finish::kGloss);
  l->m.legs = l.Add(150, 80, 30);
  l->flames = true;
  l->featherWings = true;
  l->bodyLength = 13;
  l->chestRadius = 4.2;
  l->hipHeight = 8;
  l->headSize = 2.4;
  l->wingSpan = 40;
  return l.Done();
}

CreatureLook Unicorn() {
  Maker l("unicorn", BodyPlan::kQuadruped);
  l->tempo = 1;
  l->m.torso = l.Add(236, 236, 244, Finish::kFur);
  l->m.skin = l->m.torso;
  l->m.eyes = l.Add(60, 80, 160, Finish::kGloss);
  l->m.feet = l.Add(230, 196, 90, Finish::kMetal);
  l->m.hair = l.Add(200, 210, 250, Finish::kFur);
  l->m.horn = l.Add(250, 226, 150, Finish::kMetal);
  l->m.mouth = l.Add(90, 60, 70);
  l->hoofs = true;
  l->mane = true;
  l->horn = true;
  l->bodyLength = 19;
  l->shoulderHeight = 15;
  l->hipHeight = 15;
  l->chestRadius = 5.2;
  l->hipRadius = 5;
  l->neckLength = 9;
  l->neckRaise = 1.0;
  l->headSize = 2.8;
  l->snout = 4.2;
  l->quadLegRadius = 1.3;
  l->earSize = 1.6;
  l->tailLength = 10;
  return l.Done();
}

CreatureLook BlackDog() {
  Maker l("dog", BodyPlan::kQuadruped);
  l->tempo = 0;
  l->m.torso = l.Add(44, 40, 46, Finish::kFur);
  l->m.skin = l->m.torso;
  l->m.eyes = l.Add(255, 60, 30, Finish::kGlow);
  l->m.mouth = l.Add(150, 30, 30);
  l->m.claw = l.Add(220, 210, 190, Finish::kBone);
  l->bodyLength = 15;
  l->shoulderHeight = 10.5;
  l->hipHeight = 10;
  l->chestRadius = 4.3;
  l->hipRadius = 3.4;
  l->neckLength = 4.5;
  l->neckRaise = 0.6;
  l->headSize = 2.8;
  l->snout = 3.8;
  l->quadLegRadius = 1.15;
  l->earSize = 2.2;
  l->tailLength = 8;
  return l.Done();
}

CreatureLook Manticore() {
  Maker l("manticore", BodyPlan::kQuadruped);
  l->tempo = 1;
  l->m.torso = l.Add(200, 110, 60, Finish::kFur);
  l->m.skin = l.Add(214, 150, 110, Finish::kSkin);
  l->m.eyes = l.Add(255, 220, 60, Finish::kGlow);
  l->m.hair = l.Add(150, 50, 30, Finish::kFur);
  l->m.mouth = l.Add(120, 20, 20);
  l->m.wing = l.Add(150, 40, 40, Finish::kSkin);
  l->m.claw = l.Add(50, 40, 44, Finish::kGloss);
  l->leonine = true;
  l->mane = true;
  l->scorpionTail = true;
  l->bodyLength = 22;
  l->shoulderHeight = 13;
  l->hipHeight = 12;
  l->chestRadius = 6;
  l->hipRadius = 5;
  l->neckLength = 3.5;
  l->neckRaise = 0.7;
  l->headSize = 3.6;
  l->quadLegRadius = 1.7;
  l->tailLength = 20;
  l->wingSpan = 40;
  return l.Done();
}

CreatureLook Wraith() {
  Maker l("wraith", BodyPlan::kWraith);
  l->tempo = 0;
  l->m.skin = l.Add(40, 36, 48);
  l->m.eyes = l.Add(140, 255, 200, Finish::kGlow);
  l->m.mouth = l->m.skin;
  l->m.torso = l.Add(64, 62, 74, Finish::kCloth);
  l->m.hat = l.Add(56, 54, 66, Finish::kCloth);
  l->m.blade = l.Add(200, 210, 220, Finish::kMetal);
  l->m.haft = l.Add(60, 50, 44);
  l->legLength = 10;
  l->torsoLength = 10;
  l->shoulderWidth = 4.2;
  l->hipWidth = 2.6;
  l->hover = 5;
  l->headgear = Headgear::kHood;
  l->hatSize = 1.2;
  l->weapon = Weapon::kScythe;
  l->armRadius = 1.2;
  return l.Done();
}

CreatureLook Bat() {
  Maker l("bat", BodyPlan::kBat);
  l->tempo = 0;
  l->m.torso = l.Add(96, 70, 54, Finish::kFur);
  l->m.wing = l.Add(70, 50, 50, Finish::kSkin);
  l->m.eyes = l.Add(255, 80, 40, Finish::kGlow);
  l->m.mouth = l.Add(160, 40, 50);
  l->m.claw = l.Add(40, 34, 34, Finish::kGloss);
  l->chestRadius = 3.2;
  l->headSize = 2.4;
  l->earSize = 3;
  l->hipHeight = 7;
  l->wingSpan = 32;
  return l.Done();
}

CreatureLook Basilisk() {
  Maker l("basilisk", BodyPlan::kQuadruped);
  l->tempo = 1;
  l->m.torso = l.Add(110, 150, 70, Finish::kScales);
  l->m.skin = l->m.torso;
  l->m.belly = l.Add(210, 200, 120, Finish::kScales);
  l->m.eyes = l.Add(255, 240, 60, Finish::kGlow);
  l->m.trim = l.Add(210, 40, 40, Finish::kSkin);
  l->m.mouth = l.Add(150, 40, 40);
  l->m.claw = l.Add(230, 220, 190, Finish::kBone);
  l->crest = true;
  l->sprawl = 4;
  l->bodyLength = 18;
  l->shoulderHeight = 6.5;
  l->hipHeight = 6;
  l->chestRadius = 4.2;
  l->hipRadius = 4;
  l->neckLength = 5;
  l->neckRaise = 0.55;
  l->headSize = 2.8;
  l->snout = 3;
  l->quadLegRadius = 1.2;
  l->tailLength = 18;
  return l.Done();
}

CreatureLook Crocodile() {
  Maker l("crocodile", BodyPlan::kQuadruped);
  l->tempo = 2;
  l->m.torso = l.Add(70, 96, 56, Finish::kScales);
  l->m.skin = l->m.torso;
  l->m.belly = l.Add(190, 186, 130, Finish::kScales);
  l->m.eyes = l.Add(230, 210, 60, Finish::kGloss);
  l->m.mouth = l.Add(200, 110, 100);
  l->m.claw = l.Add(240, 236, 220, Finish::kBone);
  l->m.horn = l.Add(60, 80, 48, Finish::kScales);
  l->sprawl = 4.5;
  l->spikes = true;
  l->bodyLength = 22;
  l->shoulderHeight = 5;
  l->hipHeight = 5.5;
  l->chestRadius = 4.6;
  l->hipRadius = 4.6;
  l->neckLength = 2.5;
  l->neckRaise = 0.1;
  l->headSize = 3;
  l->snout = 10;
  l->quadLegRadius = 1.3;
  l->tailLength = 24;
  return l.Done();
}

CreatureLook Dragon() {
  Maker l("dragon", BodyPlan::kQuadruped);
  l->tempo = 2;
  l->m.torso = l.Add(170, 40, 32, Finish::kScales);
  l->m.skin = l->m.torso;
  l->m.belly = l.Add(230, 180, 90, Finish::kScales);
  l->m.eyes = l.Add(255, 230, 80, Finish::kGlow);
  l->m.mouth = l.Add(255, 150, 40, Finish::kGlow);
  l->m.horn = l.Add(230, 220, 190, Finish::kBone);
  l->m.claw = l.Add(40, 30, 30, Finish::kGloss);
  l->m.wing = l.Add(130, 36, 40, Finish::kSkin);
  l->horn = true;
  l->hornLength = 5;
  l->spikes = true;
  l->bodyLength = 32;
  l->shoulderHeight = 19;
  l->hipHeight = 18;
  l->chestRadius = 9;
  l->hipRadius = 8;
  l->neckLength = 18;
  l->neckRaise = 1.05;
  l->headSize = 4.5;
  l->snout = 6.5;
  l->quadLegRadius = 2.6;
  l->tailLength = 36;
  l->wingSpan = 72;
  return l.Done();
}

CreatureLook Eye() {
  Maker l("eye", BodyPlan::kEye);
  l->tempo = 0;
  l->m.skin = l.Add(236, 230, 220, Finish::kGloss);
  l->m.eyes = l.Add(80, 170, 90, Finish::kGlow);
  l->m.mouth = l.Add(16, 12, 14, Finish::kGloss);
  l->m.torso = l.Add(130, 80, 120, Finish::kSkin);
  l->m.trim = l.Add(200, 40, 40);
  l->m.legs = l.Add(110, 70, 110, Finish::kSkin);
  l->headSize = 7;
  l->hover = 6.5;
  return l.Done();
}

std::vector<CreatureLook> MakeLooks() {
  std::vector<CreatureLook> looks;
  for (CreatureLook (*make)() : {Brownie,  Centaur,         Elf,       Griffin,  Hero,    Phoenix,       Unicorn,
                                 BlackDog, Manticore,       Redcap,    Skeleton, Vampire, Wraith,        Zombie,
                                 Bat,      Basilisk,        Crocodile, Dragon,   Faun,    ChampionOfLaw, Troll,
                                 Eye,      ChampionOfVrask, Herald})
    looks.push_back(make());
  for (int n = 1; n <= 6; ++n) looks.push_back(Wizard(n));
  return looks;
}

}  // namespace

const std::vector<CreatureLook>& CreatureLooks() {
  static const std::vector<CreatureLook> looks = MakeLooks();
  return looks;
}

const CreatureLook& LookNamed(std::string_view name) {
  for (const CreatureLook& look : CreatureLooks())
    if (look.name == name) return look;
  throw std::runtime_error("no creature look named " + std::string(name));
}

}  // namespace forge
