#include "forge/CreatureArt.h"

#include <map>
#include <stdexcept>

#include "forge/AnimationWriter.h"
#include "forge/CreatureFigures.h"
#include "forge/CreatureLooks.h"
#include "forge/CreatureMotion.h"
#include "forge/CreatureTable.h"
#include "forge/FigureRenderer.h"
#include "forge/Forge.h"
#include "forge/ParallelWork.h"
#include "forge/SpriteWriter.h"

namespace forge {

namespace {

// Types whose creatures carry a long-range attack spell.
bool HasRangedAttack(int type) {
  switch (type) {
    case 1:
    case 2:
    case 3:
    case 8:
    case 9:
    case 10:
    case 18:
    case 20:
    case 23:
      return true;
    default:
      return false;
  }
}

CreatureArtFile MakeFile(const std::string& name, int type) {
  const CreatureRow& row = CreatureTable()[static_cast<size_t>(type)];
  CreatureArtFile file;
  file.name = name;
  file.type = type;
  file.look = LookNamed(name);
  file.look.large = row.TileSizeXY == 2;
  file.traits.type = type;
  file.traits.large = file.look.large;
  file.traits.canFly = row.CanFly;
  file.traits.groundShift = CycleShift(row.GroundSpeed);
  file.traits.flyShift = CycleShift(row.FlyingSpeed);
  // Wizards get a casting gesture in the long-range block, though no spell of theirs plays it yet.
  file.traits.ranged = HasRangedAttack(type) || type == 0;
  file.traits.tempo = file.look.tempo;
  return file;
}

}  // namespace

std::vector<CreatureArtFile> CreatureArtFiles() {
  std::vector<CreatureArtFile> files;
  const auto& table = CreatureTable();
  for (int type = 1; type < kCreatureTypes; ++type) {
    const char* name = table[static_cast<size_t>(type)].animName;
    if (name && *name) files.push_back(MakeFile(name, type));
  }
  for (int n = 1; n <= 6; ++n) files.push_back(MakeFile("wizard" + std::to_string(n), 0));
  return files;
}

CreatureArtFile CreatureArtFileNamed(const std::string& name) {
  for (CreatureArtFile& file : CreatureArtFiles())
    if (file.name == name) return file;
  throw std::runtime_error("no creature art named " + name);
}

ForgedCreatureArt ForgeCreatureArt(const CreatureArtFile& file, int threads) {
  const AnimationPlan plan = PlanCreatureAnimation(file.look, file.traits);
  const FigurePalette palette(file.look.materials);

  // Motions that come to the same pose (a blow's first frame and the stand) are drawn once.
  std::vector<CreaturePose> poses;
  std::vector<int> facings;
  std::vector<size_t> poseOf(plan.pictures.size());
  std::map<std::pair<int, std::vector<double>>, size_t> known;
  for (size_t i = 0; i < plan.pictures.size(); ++i) {
    const CreaturePose pose = PoseFor(file.look, plan.pictures[i].motion);
    auto [at, added] = known.emplace(std::make_pair(plan.pictures[i].facing, pose.Key()), poses.size());
    if (added) {
      poses.push_back(pose);
      facings.push_back(plan.pictures[i].facing);
    }
    poseOf[i] = at->second;
  }

  // Draw every pose; each job fills its own slot.
  std::vector<std::vector<uint8_t>> drawnFull(poses.size()), drawnPlain(poses.size());
  ParallelFor(poses.size(), threads, [&](size_t i) {
    const FigurePictures drawn = RenderFigure(BuildFigure(file.look, poses[i], facings[i]), palette);
    drawnFull[i] = EncodeFrame(drawn.full.canvas, drawn.full.hotspotX, drawn.full.hotspotY, 0);
    drawnPlain[i] = EncodeFrame(drawn.plain.canvas, drawn.plain.hotspotX, drawn.plain.hotspotY, 0);
  });
  std::vector<std::vector<uint8_t>> full(plan.pictures.size()), plain(plan.pictures.size());
  for (size_t i = 0; i < plan.pictures.size(); ++i) {
    full[i] = drawnFull[poseOf[i]];
    plain[i] = drawnPlain[poseOf[i]];
  }

  // Frames in order of first use; a picture drawn the same as an earlier one is that frame.
  // The cut-down sprite keeps the same numbers, so both sets share one animation file.
  SpriteFileWriter sprite, plainSprite;
  sprite.AddPalette(palette.Bytes());
  plainSprite.AddPalette(palette.Bytes());
  std::map<std::string, int> fullFrames, plainFrames;
  std::vector<int> frameOf(plan.pictures.size(), -1);
  for (size_t i = 0; i < plan.pictures.size(); ++i) {
    auto [at, added] = fullFrames.emplace(std::string(full[i].begin(), full[i].end()), sprite.FrameCount());
    frameOf[i] = at->second;
    if (!added) continue;
    sprite.AddFrame(full[i]);
    auto [plainAt, plainAdded] =
        plainFrames.emplace(std::string(plain[i].begin(), plain[i].end()), plainSprite.FrameCount());
    if (plainAdded)
      plainSprite.AddFrame(plain[i]);
    else
      plainSprite.AddAlias(plainAt->second);
  }

  AniSpec spec;
  spec.spriteName = file.name + ".spr";
  for (const auto& sequence : plan.sequences) {
    std::vector<AniStep> steps;
    for (const PlannedStep& s : sequence) {
      AniStep step{s.kind, s.value, s.x, s.y, "", {}};
      if (s.kind == 0) step.value = frameOf[static_cast<size_t>(s.picture)];
      steps.push_back(step);
    }
    spec.sequences.push_back(std::move(steps));
  }
  return {WriteAnimation(spec), sprite.Bytes(), plainSprite.Bytes()};
}

namespace {

FORGE_STEP(CreatureArt) {
  for (const CreatureArtFile& file : CreatureArtFiles()) {
    const ForgedCreatureArt art = ForgeCreatureArt(file, ForgeThreads());
    ctx.WriteFile(std::string(kCreatureFolder) + file.name + ".ani", art.animation);
    ctx.WriteFile(std::string(kCreatureFolder) + file.name + ".spr", art.sprite);
    ctx.WriteFile(std::string(kCutDownCreatureFolder) + file.name + ".ani", art.animation);
    ctx.WriteFile(std::string(kCutDownCreatureFolder) + file.name + ".spr", art.plainSprite);
  }
}

}  // namespace

}  // namespace forge
