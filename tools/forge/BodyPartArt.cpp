// The body parts a creature leaves when it is torn apart, and the offal that flies with
// them: creatures\bodyparts\<name>.spr for each type (wiz3n1.spr for the wizards),
// offal.spr for two-tile types and offalsml.spr for the others.
//
// Each part is nine frames: eight of it tumbling through the air (turned an eighth of a
// turn each, hot spot at its middle) and one of it lying on the ground (hot spot under its
// middle). The game counts a sprite's parts as its frames / 9.
#include "forge/BodyPartArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "forge/CreatureArt.h"
#include "forge/CreatureFigures.h"
#include "forge/CreatureLooks.h"
#include "forge/FigureParts.h"
#include "forge/FigureRenderer.h"
#include "forge/Forge.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSmallestPart = 9;  // units

// A torn end: raw flesh with a stub of bone.
void TornEnd(const CreatureLook& look, Vec3 at, double r, FigureModel& model) {
  model.Ball(at, r, FleshMaterial(look));
  model.SetDetail(true);
  model.Ball(at + Vec3{0, 0, r * 0.5}, r * 0.45, BoneMaterial(look));
  model.SetDetail(false);
}

FigureModel HumanoidHead(const CreatureLook& look) {
  FigureModel model;
  BuildHead(look, CreaturePose{}, Basis{}, model);
  if (!look.bony) TornEnd(look, {0, 0, -Sz(look, look.headRadius) * 0.9}, Sz(look, look.headRadius) * 0.45, model);
  return model;
}

FigureModel HumanoidArm(const CreatureLook& look) {
  FigureModel model;
  const double reach = Sz(look, look.torsoLength) * 1.22 * look.armLength, r = Sz(look, look.armRadius);
  const int sleeve = look.bony ? look.m.skin : look.m.torso;
  const int skin = look.m.skin >= 0 ? look.m.skin : sleeve;
  const Vec3 shoulder{-reach / 2, 0, 0}, elbow{0, 0, -reach * 0.08}, hand{reach / 2, 0, 0};
  model.Limb(shoulder, r * (look.bony ? 0.5 : 1.1), elbow, r * (look.bony ? 0.45 : 0.95), sleeve);
  model.Limb(elbow, r * (look.bony ? 0.45 : 0.95), hand, r * (look.bony ? 0.4 : 0.8), look.robe ? sleeve : skin);
  model.Ball(hand, r * 1.05, skin);
  if (!look.bony) TornEnd(look, shoulder, r * 1.15, model);
  return model;
}

FigureModel HumanoidLeg(const CreatureLook& look) {
  FigureModel model;
  const double length = Sz(look, look.legLength), r = Sz(look, look.legRadius);
  const int legs = look.m.legs, feet = look.m.feet >= 0 ? look.m.feet : legs;
  const Vec3 hip{-length / 2, 0, 0}, knee{0, 0, length * 0.05}, ankle{length / 2, 0, 0};
  model.Limb(hip, r * (look.bony ? 0.55 : 1.15), knee, r * (look.bony ? 0.5 : 1.0), legs);
  model.Limb(knee, r * (look.bony ? 0.5 : 0.95), ankle, r * (look.bony ? 0.4 : 0.8), look.goatLegs ? legs : feet);
  Basis foot;
  foot.origin = ankle + Vec3{r * 0.3, 0, r * 0.9};
  model.Ellipsoid(foot, r * 0.7, r * 0.75, length * 0.1, feet);
  if (!look.bony) TornEnd(look, hip, r * 1.2, model);
  return model;
}

FigureModel HeldWeapon(const CreatureLook& look) {
  FigureModel model;
  Basis chest;
  BuildWeapon(look, CreaturePose{}, {0, 0, 0}, look.weapon == Weapon::kBow ? Vec3{0, 0, 1} : Vec3{1, 0, 0}, chest,
              model);
  return model;
}

FigureModel BeastHead(const CreatureLook& look) {
  FigureModel model;
  BuildBeastHead(look, CreaturePose{}, Basis{}, model);
  TornEnd(look, {-Sz(look, look.headSize) * 0.9, 0, -Sz(look, look.headSize) * 0.2}, Sz(look, look.headSize) * 0.55,
          model);
  return model;
}

FigureModel BeastLeg(const CreatureLook& look, int leg) {
  FigureModel model;
  const double height = Sz(look, leg < 2 ? look.shoulderHeight : look.hipHeight) * 0.8;
  BuildBeastLeg(look, Basis{}, {0, 0, height}, {0, 0, 0}, leg, model);
  TornEnd(look, {0, 0, height}, Sz(look, look.quadLegRadius) * 1.3, model);
  return model;
}

FigureModel Tail(const CreatureLook& look) {
  FigureModel model;
  const double radius = Sz(look, look.sprawl > 0 || look.spikes ? 1.6 : 0.6);
  BuildTail(look, CreaturePose{}, Basis{}, Sz(look, look.tailLength) * 0.7, radius,
            look.m.hair >= 0 && !look.scorpionTail ? look.m.hair : look.m.torso, model);
  TornEnd(look, {0, 0, 0}, radius * 1.2, model);
  return model;
}

// One wing of a pair: the pair is built and its right half dropped.
FigureModel Wing(const CreatureLook& look) {
  FigureModel pair, left;
  CreaturePose pose;
  pose.wingSpread = 0.7;
  BuildWings(look, pose, Basis{}, Sz(look, look.wingSpan) * 0.8, pair);
  for (const Primitive& p : pair.Primitives()) {
    const Vec3 at = p.kind == Primitive::Kind::kTriangle ? (p.corner[0] + p.corner[1] + p.corner[2]) / 3 : p.centre;
    if (at.y > 0) left.AddPrimitive(p);
  }
  return left;
}

FigureModel EyeChunk(const CreatureLook& look) {
  FigureModel model;
  const double r = Sz(look, look.headSize) * 0.55;
  Basis eye;
  model.Ellipsoid(eye, r, r, r * 0.7, look.m.skin);
  model.Ellipsoid(eye.At(r * 0.75, 0, 0), r * 0.3, r * 0.5, r * 0.5, look.m.eyes);
  model.Ellipsoid(eye.At(r * 0.9, 0, 0), r * 0.2, r * 0.22, r * 0.22, look.m.mouth);
  TornEnd(look, {-r * 0.6, 0, 0}, r * 0.5, model);
  return model;
}

FigureModel Stalk(const CreatureLook& look) {
  FigureModel model;
  const double r = Sz(look, look.headSize);
  model.Chain({{-r, 0, 0}, {-r * 0.2, 0, r * 0.3}, {r * 0.4, 0, -r * 0.1}, {r, 0, r * 0.2}}, r * 0.2, r * 0.07,
              look.m.legs >= 0 ? look.m.legs : look.m.torso);
  return model;
}

FigureModel Rag(const CreatureLook& look) {
  FigureModel model;
  model.Quad({-5, -3, 0}, {5, -2, 1}, {4, 3, -1}, {-4, 2, 0}, look.m.torso);
  model.Triangle({4, 3, -1}, {5, -2, 1}, {8, 2, 0}, look.m.torso);
  return model;
}

// The parts of a look, each modelled round its own middle.
std::vector<FigureModel> PartsOf(const CreatureLook& look) {
  std::vector<FigureModel> parts;
  switch (look.plan) {
    case BodyPlan::kHumanoid:
      parts = {HumanoidHead(look), HumanoidArm(look), HumanoidLeg(look)};
      if (look.weapon != Weapon::kNone) parts.push_back(HeldWeapon(look));
      break;
    case BodyPlan::kQuadruped:
      if (look.humanTorso) {
        parts = {HumanoidHead(look), HumanoidArm(look), BeastLeg(look, 0)};
      } else {
        parts = {BeastHead(look), BeastLeg(look, 0), BeastLeg(look, 2)};
      }
      if (look.tailLength > 0) parts.push_back(Tail(look));
      if (look.wingSpan > 0) parts.push_back(Wing(look));
      break;
    case BodyPlan::kBird:
    case BodyPlan::kBat:
      parts = {Wing(look), Wing(look)};
      break;
    case BodyPlan::kWraith:
      parts = {Rag(look), HeldWeapon(look)};
      break;
    case BodyPlan::kEye:
      parts = {EyeChunk(look), Stalk(look), Stalk(look)};
      break;
  }
  for (FigureModel& part : parts) {
    Vec3 low, high;
    part.Extent(low, high);
    part.Translate((low + high) * -0.5);
    // Parts of the smallest creatures are drawn larger than life, so that they still read.
    const Vec3 size = high - low;
    const double longest = std::max({size.x, size.y, size.z});
    if (longest < kSmallestPart) part.Scale(kSmallestPart / longest);
  }
  return parts;
}

// Eight frames of a part turning about a slanted axis, then the part lying on the ground.
void AddTumblingPart(const FigureModel& part, const FigurePalette& palette, SpriteFileWriter& sprite) {
  const Vec3 axis = Normalised({0.35, 1, 0.45});
  for (int k = 0; k < 9; ++k) {
    // Rodrigues' turn about the axis; the lying frame turns the part flat on the ground.
    const double angle = k < 8 ? k * kPi / 4 : 0;
    const double c = std::cos(angle), s = std::sin(angle);
    auto turn = [&](Vec3 v) { return v * c + Cross(axis, v) * s + axis * (Dot(axis, v) * (1 - c)); };
    Basis to;
    to.forward = turn({1, 0, 0});
    to.left = turn({0, 1, 0});
    to.up = turn({0, 0, 1});
    FigureModel turned = part;
    turned.Transform(to);
    if (k == 8) {
      Vec3 low, high;
      turned.Extent(low, high);
      turned.Translate({0, 0, -low.z});
    }
    RenderOptions options;
    options.plain = false;
    const FigurePictures drawn = RenderFigure(turned, palette, options);
    sprite.AddFrame(EncodeFrame(drawn.full.canvas, drawn.full.hotspotX, drawn.full.hotspotY, 0));
  }
}

// Offal: a lump of flesh, a broken rib, a strand of gut and a bone.
std::vector<FigureModel> OffalParts(double size, int flesh, int dark, int bone, int fat) {
  std::vector<FigureModel> parts(4);
  parts[0].Ball({0, 0, 0}, 2.2 * size, flesh);
  parts[0].Ball({1.6 * size, 0.8 * size, 0.6 * size}, 1.5 * size, dark);
  parts[0].Ball({-1.2 * size, -1.0 * size, 0.3 * size}, 1.3 * size, fat);
  std::vector<Vec3> rib;
  for (int j = 0; j <= 6; ++j) {
    const double a = kPi * j / 6;
    rib.push_back({4 * size * std::cos(a), 0, 2.5 * size * std::sin(a)});
  }
  parts[1].Chain(rib, 0.7 * size, 0.5 * size, bone);
  parts[1].Ball(rib[0], 1.1 * size, flesh);
  parts[2].Chain({{-4 * size, 0, 0},
                  {-2 * size, 1.5 * size, 0.5 * size},
                  {0, -1 * size, 0},
                  {2 * size, 1 * size, 0.5 * size},
                  {4 * size, 0, 0}},
                 0.9 * size, 0.7 * size, dark);
  parts[3].Limb({-3.5 * size, 0, 0}, 0.6 * size, {3.5 * size, 0, 0}, 0.6 * size, bone);
  for (double end : {-3.5, 3.5}) parts[3].Ball({end * size, 0, 0}, 1.1 * size, bone);
  return parts;
}

std::vector<uint8_t> OffalSprite(double size) {
  const FigurePalette palette(
      {kFleshMaterial, {110, 16, 24, Finish::kSkin}, kBoneMaterial, {220, 196, 120, Finish::kSkin}});
  SpriteFileWriter sprite;
  sprite.AddPalette(palette.Bytes());
  for (const FigureModel& part : OffalParts(size, 0, 1, 2, 3)) AddTumblingPart(part, palette, sprite);
  return sprite.Bytes();
}

}  // namespace

std::vector<uint8_t> BodyPartSprite(const CreatureLook& look) {
  const FigurePalette palette(look.materials);
  SpriteFileWriter sprite;
  sprite.AddPalette(palette.Bytes());
  for (const FigureModel& part : PartsOf(look)) AddTumblingPart(part, palette, sprite);
  return sprite.Bytes();
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> BodyPartFiles() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  for (const CreatureArtFile& file : CreatureArtFiles()) {
    // The wizards share one sprite, made from the third wizard's look; the herald has none.
    if (file.type == 27 || (file.type == 0 && file.name != "wizard3")) continue;
    const std::string name = file.type == 0 ? "wiz3n1" : file.name;
    files.emplace_back(std::string(kBodyPartFolder) + name + ".spr", BodyPartSprite(file.look));
  }
  files.emplace_back(std::string(kBodyPartFolder) + "offal.spr", OffalSprite(1.6));
  files.emplace_back(std::string(kBodyPartFolder) + "offalsml.spr", OffalSprite(0.9));
  return files;
}

namespace {

FORGE_STEP(CreatureBodyParts) {
  for (const auto& [name, bytes] : BodyPartFiles()) ctx.WriteFile(name, bytes);
}

}  // namespace

}  // namespace forge
