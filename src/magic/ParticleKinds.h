#pragma once
// The particle kinds: glows that add light to the screen, spell sparks and their emitter,
// the auras of levitating and earth-bound creatures, blood drops and sprays, gore that sticks
// to the terrain, flying body parts, flies round a pestered creature, and the cure and
// subvert sprites that hang on a creature. Every random draw is from g_viewRandom; a particle
// reads creatures (through g_particleCreatures), cells and settings, and changes none of them.

#include <cstdint>

#include "core/Hooks.h"
#include "magic/Particle.h"
#include "magic/ParticleGlow.h"

struct CMapCell;
struct CTerrainType;
class CSprite;

// A creature as particles see it.
struct ParticleCreature {
  int x = 0, y = 0, z = 0;  // map units: its position
  int centreX = 0, centreY = 0, centreZ = 0;
  int type = 0;
  bool alive = false;
  bool seenByLocal = false;  // the local army (0-7) sees it
  bool pestered = false, levitating = false, earthBound = false;
};

class IParticleCreatures {
 public:
  virtual ~IParticleCreatures() = default;
  // False when the index names no creature in use.
  virtual bool Get(int creature, ParticleCreature& out);
};
extern HookSlot<IParticleCreatures> g_particleCreatures;

// rand % n of g_viewRandom with the top bit cleared; 0 for n of 0 or less.
int ParticleDraw(int n);
// v negated on an odd draw.
int ParticleSign(int v);

// --- moving and falling -------------------------------------------------------------------------

class CMovingParticle : public CParticle {
 public:
  CMovingParticle(int x, int y, int z, int vx, int vy, int vz) : CParticle(x, y, z), vx(vx), vy(vy), vz(vz) {}
  // Moves by the velocity (x and y wrapping, z not below 0): 0 once it rose past twice the
  // world's depth or came down to the floor.
  int Update() override;
  int32_t vx = 0, vy = 0, vz = 0;
};

class CFallingParticle : public CMovingParticle {
 public:
  using CMovingParticle::CMovingParticle;
  // The moving update, then one unit of gravity; 0 at the floor.
  int Update() override;
};

// --- glows and sparks -----------------------------------------------------------------------------

class CGlowParticle : public CMovingParticle {
 public:
  // Flies off at a random velocity whose three axes add up to 16 in magnitude.
  CGlowParticle(int x, int y, int z);
  int Width() const override { return glow.width; }
  int Height() const override { return glow.height; }
  void Draw(int sx, int sy) override { glow.Draw(sx, sy); }
  int Update() override;
  int Priority() const override;
  void SetColour(int r, int g, int b);

  int32_t baseR = 128, baseG = 128, baseB = 32;
  int32_t life = 100, decay = 5, delay = 0;
  CGlowSquare glow;
};

class CAttachedGlowParticle : public CGlowParticle {
 public:
  using CGlowParticle::CGlowParticle;
  int Update() override;
  // Shown unless its creature is alive and unseen by the local army.
  void Draw(int sx, int sy) override;

  int32_t offsetX = 0, offsetY = 0, offsetZ = 0;
  int32_t follow[3] = {};
  int32_t creature = -1;
};

class CSpellSparkParticle : public CFallingParticle {
 public:
  CSpellSparkParticle(int x, int y, int z);
  void Draw(int sx, int sy) override;
  int Width() const override { return glow.width; }
  int Height() const override { return glow.height; }
  int Update() override;
  int Priority() const override { return brightness + 256 * lives; }
  void SetColour(int r, int g, int b);

  int32_t baseR = 128, baseG = 128, baseB = 32;
  int32_t brightness = 75;
  int32_t lives = 0;
  CGlowSquare glow;
  uint8_t drawn = 0;

 private:
  void NewHorizontalVelocity();
};

class CSpellSparkEmitter : public CParticle {
 public:
  CSpellSparkEmitter(int x, int y, int z);
  void Draw(int, int) override {}
  int Update() override;
  int Priority() const override { return 1024; }

  int32_t period = 1;
  int32_t counts[3] = {0, 20, 0};
  int32_t countdown = 1;
  int32_t stage = 0;
  int32_t colour[3] = {128, 128, 32};
  int32_t colourSpread = 64;
  int32_t velocity[3] = {0, 0, -12};
  int32_t velocitySpread[3] = {0, 0, 3};
  int32_t positionSpread = 16;
  int32_t creature = -1;
  int32_t follow[3] = {};
};

class CAuraEmitter : public CParticle {
 public:
  CAuraEmitter(int x, int y, int z, const int colour[4], const int* glowSize, int vz);
  void Draw(int, int) override {}
  int Update() override;
  int Priority() const override { return 2097152; }
  virtual void SetVelocity(int vx, int vy, int vz, int spreadX, int spreadY, int spreadZ);
  // Whether the attached creature still has what the aura shows.
  virtual int HasCondition() const = 0;

  int32_t perFrame = 8;
  int32_t colour[3] = {};
  int32_t colourSpread = 0;
  int32_t velocity[3] = {};
  int32_t velocitySpread[3] = {0, 0, 3};
  const int* glowSize = nullptr;  // width, height
  int32_t positionSpread = 16;
  int32_t creature = -1;
  int32_t follow[3] = {};
};

class CLevitateEmitter : public CAuraEmitter {
 public:
  CLevitateEmitter(int x, int y, int z);
  int HasCondition() const override;
};

class CEarthBindEmitter : public CAuraEmitter {
 public:
  CEarthBindEmitter(int x, int y, int z, int r, int g, int b, int spread);
  int HasCondition() const override;
};

// --- blood and gore ---------------------------------------------------------------------------------

class CBloodDropParticle : public CFallingParticle {
 public:
  using CFallingParticle::CFallingParticle;
  void Draw(int sx, int sy) override { light.Draw(sx, sy); }
  int Width() const override { return light.width; }
  int Height() const override { return light.height; }
  virtual void SetColour(int r, int g, int b) { light.SetColour(r, g, b); }

  CLightTexture light;
};

class CGoreParticle : public CFallingParticle {
 public:
  CGoreParticle(int x, int y, int z, int vx, int vy, int vz);
  void Draw(int sx, int sy) override { light.Draw(sx, sy); }
  int Width() const override { return light.width; }
  int Height() const override { return light.height; }
  int Update() override;
  int Priority() const override;
  // The colour lit by the light of the gore's cell.
  virtual void SetColour(int r, int g, int b);
  bool Landed() const;

  CLightTexture light;
  int32_t cellX = -1, cellY = -1, cellLevel = -1;
  const CMapCell* cell = nullptr;
  const CTerrainType* terrain = nullptr;
  int32_t cellLight = 0;
  int32_t baseR = 192, baseG = 0, baseB = 0;
  int32_t timeOnFloor = 0;
  uint8_t landed = 0;  // it came down on solid terrain and stays there

 private:
  void CacheCell(int cx, int cy, int level);
  // One frame on the floor: fainter as its time runs out; 0 when it is over.
  int CountDownOnFloor();
};

class CBodyPartParticle : public CGoreParticle {
 public:
  CBodyPartParticle(const CGoreParticle& base, int type, int part);
  void Draw(int sx, int sy) override;
  int Width() const override;
  int Height() const override;
  int Update() override;
  int Priority() const override;

  int32_t trailPerFrame = 0;
  int32_t trailColour[3] = {};
  int32_t trailSpread = 0;
  int32_t printParameter = 0;
  int32_t type = 0;
  int32_t part = 0;
  int32_t animFrame = 0;  // 0-7 in the air, 8 once landed

 private:
  bool CurrentFrame(struct CSpriteFrame& out) const;
  void EmitTrail();
};

class CBloodSprayEmitter : public CParticle {
 public:
  CBloodSprayEmitter(int x, int y, int z, int vx, int vy, int vz);
  // Only marks the spray fresh: plain drops come in its first frame and after frames in
  // which it was on screen.
  void Draw(int, int) override { fresh = 1; }
  int Update() override;
  int Priority() const override;

  int32_t framesLeft = 10;
  int32_t drops = 20;
  int32_t change = -2;
  int32_t velocity[3] = {};
  int32_t spread = 3;
  int32_t colour[3] = {224, 32, 0};
  int32_t colourSpread = 64;
  int32_t creature = -1;
  uint8_t fresh = 1;
};

// Body parts and offal of a creature type flying from a point: nothing for the wizards' types
// (0, 24-26) or a type without body-part sprite. velocities: entries of 28 bytes whose floats
// at 12, 16 and 20 are a part's velocity, used from the last backwards; may be null.
void SpawnBodyParts(int type, int x, int y, int z, int trailR, int trailG, int trailB, int trailSpread,
                    int printParameter, const uint8_t* velocities = nullptr, int velocityCount = 0);

// --- what hangs on creatures ------------------------------------------------------------------------

class CFlyParticle : public CMovingParticle {
 public:
  CFlyParticle(int x, int y, int z) : CMovingParticle(x, y, z, 0, 0, 0) {}
  void Draw(int sx, int sy) override;
  // Swarms about its creature's centre while the creature is pestered.
  int Update() override;
  int Priority() const override { return 1048576; }

  int32_t creature = -1;
};

class CCreatureSpriteParticle : public CParticle {
 public:
  CCreatureSpriteParticle(int x, int y, int z, int creature, int baseLife);
  void Draw(int sx, int sy) override;
  int Update() override;
  int Priority() const override { return framesLeft + 1024; }
  virtual const CSprite& Sprite() const = 0;

  int32_t creature = -1;
  int32_t framesLeft = 0;
  int32_t offsetX = 0, offsetY = 0, offsetZ = 0;
};

class CCureParticle : public CCreatureSpriteParticle {
 public:
  using CCreatureSpriteParticle::CCreatureSpriteParticle;
  const CSprite& Sprite() const override;
};

class CSubvertParticle : public CCreatureSpriteParticle {
 public:
  using CCreatureSpriteParticle::CCreatureSpriteParticle;
  const CSprite& Sprite() const override;
};

// --- the static sprites --------------------------------------------------------------------------------

// The fly, cure and subvert sprites, loaded once a battle (a load of a loaded one does
// nothing) and freed when it ends; a missing one makes its kind draw nothing.
void LoadParticleSprites();
void FreeParticleSprites();
// Whether the fly, cure and subvert sprites are in memory now.
bool ParticleSpritesLoaded();
const CSprite& FlySprite();
// The body-part sprite of a creature type (loaded on first use, kept until the program
// ends), null for a type without one; offal sprites for small (1-tile) and large types.
const CSprite* BodyPartSprite(int type);
const CSprite* OffalSprite(bool small);
// The footprint (TileSizeXY) of a creature type: 1 takes the small offal.
int BodyPartTileSize(int type);
