// What hangs on creatures: the flies of a pestered creature, the cure and subvert sprites,
// and the static sprites those and the body parts print.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/CreatureType.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "magic/ParticleKinds.h"
#include "map/MapUnits.h"

namespace {

CSprite g_flySprite, g_cureSprite, g_subvertSprite;
bool g_spritesTried = false;  // the three were asked for since the last free
CSprite g_offal, g_offalSmall;
bool g_offalTried = false;
CSprite g_bodyParts[kCreatureTypes];
bool g_bodyPartsTried[kCreatureTypes] = {};

constexpr const char* kBodyPartNames[kCreatureTypes] = {
    "wiz3n1", "brownie",  "centaur", "elf",    "griffin", "hero",   "phoenix",  "unicorn",   "dog",    "manticore",
    "redcap", "skeleton", "vampire", "wraith", "zombie",  "bat",    "basilisk", "crocodile", "dragon", "faun",
    "law",    "troll",    "eye",     "vrask",  "wiz3n1",  "wiz3n1", "wiz3n1",   nullptr};

void LoadOnce(CSprite& sprite, const char* path, int shades) {
  if (!sprite.IsLoaded()) sprite.Load(path, shades);
}

// Body parts and offal are printed lit and translucent: their colour tables of types 1, 2,
// 6, 4, 5 and 7 are built once they are read.
void LoadShaded(CSprite& sprite, const std::string& path) {
  if (!sprite.Load(path.c_str(), 8)) return;
  for (int type : {1, 2, 6, 4, 5, 7}) sprite.BuildColourTables(type, 8);
}

// A random frame of a sprite printed with its own colours (light 0).
void PrintRandomFrame(const CSprite& sprite, int sx, int sy) {
  if (sprite.FrameCount() <= 0) return;
  const CSpriteFrame frame = sprite.GetFrame(ParticleDraw(sprite.FrameCount()));
  if (!frame) return;
  if (!frame.tables) {
    PrintSpriteFrame(frame, sx, sy, 0, 0);
    return;
  }
  if (g_printSprite(frame, sx, sy, 0, 0) == kPrintRetryPortable) PrintSpriteFrameC(frame, sx, sy, 0, 0);
}

bool SeenAndAlive(int creature, ParticleCreature& c) {
  return creature >= 0 && g_particleCreatures->Get(creature, c) && c.seenByLocal;
}

}  // namespace

void LoadParticleSprites() {
  g_spritesTried = true;
  LoadOnce(g_flySprite, "SPRITES\\FLYS.SPR", 2);
  LoadOnce(g_cureSprite, "SPRITES\\CURE.SPR", 2);
  LoadOnce(g_subvertSprite, "SPRITES\\Subvert.SPR", 2);
}

void FreeParticleSprites() {
  g_spritesTried = false;
  g_flySprite.Free();
  g_cureSprite.Free();
  g_subvertSprite.Free();
}

bool ParticleSpritesLoaded() { return g_flySprite.IsLoaded() && g_cureSprite.IsLoaded() && g_subvertSprite.IsLoaded(); }

// The battle loads them as it starts; a particle made before that loads them itself.
const CSprite& FlySprite() {
  if (!g_spritesTried) LoadParticleSprites();
  return g_flySprite;
}

const CSprite* BodyPartSprite(int type) {
  if (type < 0 || type >= kCreatureTypes || !kBodyPartNames[type]) return nullptr;
  CSprite& sprite = g_bodyParts[type];
  if (!g_bodyPartsTried[type]) {
    g_bodyPartsTried[type] = true;
    LoadShaded(sprite, std::string("creatures\\bodyparts\\") + kBodyPartNames[type] + ".spr");
  }
  return sprite.IsLoaded() ? &sprite : nullptr;
}

const CSprite* OffalSprite(bool small) {
  if (!g_offalTried) {
    g_offalTried = true;
    LoadShaded(g_offal, "creatures\\bodyparts\\offal.spr");
    LoadShaded(g_offalSmall, "creatures\\bodyparts\\offalsml.spr");
  }
  const CSprite& sprite = small ? g_offalSmall : g_offal;
  return sprite.IsLoaded() ? &sprite : nullptr;
}

int BodyPartTileSize(int type) {
  return type >= 0 && type < kCreatureTypes ? std::max(g_creatureTypes[type].TileSizeXY, 1) : 1;
}

// --- flies ---------------------------------------------------------------------------------------------

int CFlyParticle::Update() {
  if (!CMovingParticle::Update()) return 0;
  ParticleCreature c;
  if (creature < 0 || !g_particleCreatures->Get(creature, c)) return 0;
  const int result = c.pestered ? 1 : 0;
  const int random = g_pestFlyRandom, top = g_pestFlyTopSpeed;
  vx += ParticleDraw(random + 1) - random / 2;
  vy += ParticleDraw(random + 1) - random / 2;
  vz += ParticleDraw(random + 1) - random / 2;
  // Distances to the centre the short way round, and the sign that points along it.
  int distance[3], sign[3];
  const int position[2] = {x + vx, y + vy}, centre[2] = {c.centreX, c.centreY};
  const int world[2] = {WorldWidth(), WorldHeight()};
  for (int axis = 0; axis < 2; ++axis) {
    const int d = std::abs(position[axis] - centre[axis]);
    const int around = world[axis] - d;
    distance[axis] = std::min(d, around);
    sign[axis] = d <= around ? 1 : -1;
  }
  distance[2] = std::abs(z + vz - c.centreZ);
  sign[2] = z + vz < c.centreZ ? 1 : -1;
  const int sum = distance[0] + distance[1] + distance[2];
  if (sum <= 3) return result;
  int correction[3];
  for (int axis = 0; axis < 3; ++axis) {
    if (distance[axis] < g_pestFlyMinDist) sign[axis] = -sign[axis];
    correction[axis] = distance[axis] * sign[axis] * top / std::max(sum, 1);
  }
  vx = c.centreX < x ? vx - correction[0] : vx + correction[0];
  vy = c.centreY < y ? vy - correction[1] : vy + correction[1];
  vz += correction[2];
  vx = std::clamp(vx, -top, top);
  vy = std::clamp(vy, -top, top);
  vz = std::clamp(vz, -top, top);
  return result;
}

void CFlyParticle::Draw(int sx, int sy) {
  ParticleCreature c;
  if (SeenAndAlive(creature, c)) PrintRandomFrame(FlySprite(), sx, sy);
}

// --- cure and subvert ------------------------------------------------------------------------------------

CCreatureSpriteParticle::CCreatureSpriteParticle(int px, int py, int pz, int owner, int baseLife)
    : CParticle(px, py, pz), creature(owner) {
  framesLeft = baseLife + ParticleDraw(g_prefs.maxFramesPerSec);
  ParticleCreature c;
  if (g_particleCreatures->Get(owner, c)) {
    // Kept where it was placed on the body as the creature moves.
    offsetX = x - c.centreX;
    offsetY = y - c.centreY;
    offsetZ = z - c.centreZ;
  }
}

int CCreatureSpriteParticle::Update() {
  ParticleCreature c;
  if (creature >= 0 && g_particleCreatures->Get(creature, c) && c.alive) {
    x = WrapInto(static_cast<int64_t>(c.centreX) + offsetX, WorldWidth());
    y = WrapInto(static_cast<int64_t>(c.centreY) + offsetY, WorldHeight());
    z = std::clamp(c.centreZ + offsetZ, 0, std::max(WorldDepth() - 1, 0));
  }
  return framesLeft-- <= 1 ? 0 : 1;
}

void CCreatureSpriteParticle::Draw(int sx, int sy) {
  ParticleCreature c;
  if (!SeenAndAlive(creature, c)) return;
  if (ParticleDraw(100) > 50) PrintRandomFrame(Sprite(), sx, sy);
}

const CSprite& CCureParticle::Sprite() const {
  FlySprite();
  return g_cureSprite;
}

const CSprite& CSubvertParticle::Sprite() const {
  FlySprite();
  return g_subvertSprite;
}
