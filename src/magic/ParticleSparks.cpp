// The moving and falling bases, glows, spell sparks, the spark emitter and the auras.
#include <algorithm>
#include <memory>

#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"
#include "map/MapUnits.h"

namespace {

IParticleCreatures g_creaturesOfTheArray;

// The centre of an alive creature, or false.
bool AliveCreature(int creature, ParticleCreature& out) {
  return creature >= 0 && g_particleCreatures->Get(creature, out) && out.alive;
}

// rand % spread - spread / 2, or 0 for no spread.
int Spread(int spread) { return spread != 0 ? ParticleDraw(spread) - spread / 2 : 0; }

// Frames a particle at height z needs to reach the floor at vz: negative (no delay) when
// it rises, 0 when it stands still.
int FallDelay(int z, int vz) { return vz != 0 ? -(z / vz) : 0; }

// The followed axes of an emitter take its creature's centre.
void FollowCentre(CParticle& emitter, const int32_t follow[3], const ParticleCreature& c) {
  if (follow[0]) emitter.x = WrapInto(c.centreX, CParticle::WorldWidth());
  if (follow[1]) emitter.y = WrapInto(c.centreY, CParticle::WorldHeight());
  if (follow[2]) emitter.z = std::max(c.centreZ, 0);
}

// What a glow emitter scatters its glows with.
struct GlowSpreads {
  const int32_t* velocity;        // x, y, z
  const int32_t* velocitySpread;  // x, y, z
  int positionSpread;
  const int32_t* colour;  // r, g, b
  int colourSpread;
  int width, height;  // of each glow
  int32_t creature;
  const int32_t* follow;  // x, y, z
};

// One glow let go by an emitter at (x, y, z): velocity, position and colour spread at random
// (the draws in this order), falling delay from the emitter's height, attached to its
// creature. With an anchor (the creature, alive) each of the first anchoredAxes followed
// axes keeps its offset from the creature's centre and does not move by itself.
std::unique_ptr<CAttachedGlowParticle> SpreadGlow(int x, int y, int z, const GlowSpreads& s,
                                                  const ParticleCreature* anchor, int anchoredAxes) {
  const int vx = s.velocity[0] + Spread(s.velocitySpread[0]);
  const int vy = s.velocity[1] + Spread(s.velocitySpread[1]);
  const int vz =
      s.velocity[2] + (s.velocitySpread[2] != 0 ? ParticleDraw(2 * s.velocitySpread[2]) - s.velocitySpread[2] : 0);
  const int px = x + ParticleDraw(2 * s.positionSpread + 1) - s.positionSpread;
  const int py = y + ParticleDraw(2 * s.positionSpread + 1) - s.positionSpread;
  const int pz = z + ParticleDraw(2 * s.positionSpread + 1) - s.positionSpread;
  auto glow = std::make_unique<CAttachedGlowParticle>(px, py, pz);
  glow->vx = vx;
  glow->vy = vy;
  glow->vz = vz;
  glow->glow.width = s.width;
  glow->glow.height = s.height;
  // One draw a statement: the order of a call's arguments is the compiler's, not ours.
  const int red = s.colour[0] + Spread(s.colourSpread);
  const int green = s.colour[1] + Spread(s.colourSpread);
  const int blue = s.colour[2] + Spread(s.colourSpread);
  glow->SetColour(red, green, blue);
  glow->delay = FallDelay(z, vz);
  glow->creature = s.creature;
  for (int axis = 0; axis < 3; ++axis) glow->follow[axis] = s.follow[axis];
  if (anchor) {
    if (anchoredAxes > 0 && s.follow[0]) glow->offsetX = glow->x - anchor->centreX, glow->vx = 0;
    if (anchoredAxes > 1 && s.follow[1]) glow->offsetY = glow->y - anchor->centreY, glow->vy = 0;
    if (anchoredAxes > 2 && s.follow[2]) glow->offsetZ = glow->z - anchor->centreZ, glow->vz = 0;
  }
  return glow;
}

}  // namespace

constinit HookSlot<IParticleCreatures> g_particleCreatures{&g_creaturesOfTheArray};

bool IParticleCreatures::Get(int creature, ParticleCreature& out) {
  const CCreature* c = g_creatureArray.InUse(creature);
  if (!c || !c->type) return false;
  out.x = c->unitX;
  out.y = c->unitY;
  out.z = c->unitZ;
  c->CentrePoint(out.centreX, out.centreY, out.centreZ);
  out.type = c->typeNumber;
  out.alive = c->health != 0;
  out.seenByLocal = g_localArmy >= 0 && g_localArmy < kSightingArmyCount && c->sightingCounters[g_localArmy] > 0;
  out.pestered = c->pestered != 0;
  out.levitating = c->airborne > 0;
  out.earthBound = c->earthBind > 0;
  return true;
}

int ParticleDraw(int n) { return n > 0 ? static_cast<int>(g_viewRandom.Next() & 0x7FFFFFFFu) % n : 0; }

int ParticleSign(int v) { return (g_viewRandom.Next() & 1) ? -v : v; }

// --- moving and falling -------------------------------------------------------------------------

int CMovingParticle::Update() {
  x = WrapInto(static_cast<int64_t>(x) + vx, WorldWidth());
  y = WrapInto(static_cast<int64_t>(y) + vy, WorldHeight());
  z += vz;
  if (z < 0) z = 0;
  if (vz >= 0) return z > 2 * WorldDepth() ? 0 : 1;
  return z == 0 ? 0 : 1;
}

int CFallingParticle::Update() {
  const int moving = CMovingParticle::Update();
  vz -= 1;
  return moving && z > 0 ? 1 : 0;
}

// --- glows ----------------------------------------------------------------------------------------

CGlowParticle::CGlowParticle(int px, int py, int pz) : CMovingParticle(px, py, pz, 0, 0, 0) {
  glow.Set(2, 2, baseR, baseG, baseB);
  const int a = ParticleDraw(16), b = ParticleDraw(16 - a), c = 16 - a - b;
  if (g_viewRandom.Next() & 1) {
    vx = a;
    vy = b;
  } else {
    vx = b;
    vy = a;
  }
  vz = c;
  vx = ParticleSign(vx);
  vy = ParticleSign(vy);
  vz = ParticleSign(vz);
}

int CGlowParticle::Update() {
  if (!CMovingParticle::Update()) return 0;
  if (delay > 0)
    --delay;
  else
    life -= decay;
  if (life <= 0) return 0;
  glow.SetColour(life * baseR / 100, life * baseG / 100, life * baseB / 100);
  return 1;
}

int CGlowParticle::Priority() const { return decay != 0 ? (life / decay) * 1024 / 20 : 1024; }

void CGlowParticle::SetColour(int r, int g, int b) {
  baseR = r;
  baseG = g;
  baseB = b;
  if (life <= 0) {
    glow.SetColour(0, 0, 0);
    return;
  }
  glow.SetColour(r * 100 / life, g * 100 / life, b * 100 / life);
}

int CAttachedGlowParticle::Update() {
  ParticleCreature c;
  if (AliveCreature(creature, c)) {
    if (follow[0]) x = WrapInto(static_cast<int64_t>(c.centreX) + offsetX, WorldWidth());
    if (follow[1]) y = WrapInto(static_cast<int64_t>(c.centreY) + offsetY, WorldHeight());
    if (follow[2]) z = std::max(c.centreZ + offsetZ, 0);
  }
  return CGlowParticle::Update();
}

void CAttachedGlowParticle::Draw(int sx, int sy) {
  ParticleCreature c;
  if (creature >= 0 && g_particleCreatures->Get(creature, c) && c.alive && !c.seenByLocal) return;
  glow.Draw(sx, sy);
}

// --- spell sparks ----------------------------------------------------------------------------------

CSpellSparkParticle::CSpellSparkParticle(int px, int py, int pz) : CFallingParticle(px, py, pz, 0, 0, 0) {
  lives = g_spellCastLives;
  glow.width = glow.height = 2;
  glow.r = 16;
  glow.g = ScaleGreen(128);
  glow.b = 4;
  NewHorizontalVelocity();
}

void CSpellSparkParticle::NewHorizontalVelocity() {
  const int speed = std::max(g_spellCastSpeed, 1);
  const int a = ParticleDraw(speed), b = ParticleDraw(speed - a);
  vx = ParticleSign(a);
  vy = ParticleSign(b);
}

void CSpellSparkParticle::SetColour(int r, int g, int b) {
  baseR = r;
  baseG = g;
  baseB = b;
  const int flicker = brightness + ParticleDraw(21) - 10;
  if (flicker == 0) {
    glow.SetColour(0, 0, 0);
    return;
  }
  glow.SetColour(r * 100 / flicker, g * 100 / flicker, b * 100 / flicker);
}

void CSpellSparkParticle::Draw(int sx, int sy) {
  drawn = 1;
  glow.Draw(sx, sy);
}

int CSpellSparkParticle::Update() {
  if (!CFallingParticle::Update()) return 0;
  brightness -= g_spellCastDecay;
  int result = 1;
  if (vz <= -g_spellCastDelay || brightness <= 10) {
    if (--lives >= 1) {
      brightness += g_spellCastBoost;
      NewHorizontalVelocity();
      vz = 0;
      if (drawn) {
        drawn = 0;
        auto twin = std::make_unique<CSpellSparkParticle>(x, y, z);
        twin->brightness = brightness;
        twin->lives = lives;
        twin->vx = -vx;
        twin->vy = -vy;
        twin->vz = 0;
        twin->SetColour(baseR, baseG, baseB);
        g_particleManager.Add(twin);  // a refused twin goes with its pointer
      }
    } else {
      result = 0;
    }
  }
  if (brightness <= 10) result = 0;
  const int flickered = brightness + ParticleDraw(21) - 10;
  glow.SetColour(flickered * baseR / 100, flickered * baseG / 100, flickered * baseB / 100);
  return result;
}

// --- the spark emitter -------------------------------------------------------------------------------

CSpellSparkEmitter::CSpellSparkEmitter(int px, int py, int pz) : CParticle(px, py, pz) {
  period = countdown = std::max(g_indirectSpellParticlePeriod, 1);
}

int CSpellSparkEmitter::Update() {
  const int s = std::clamp(stage, 0, 1);
  const int n = counts[s] + (counts[s + 1] - counts[s]) * (period - countdown) / std::max(period, 1);
  ParticleCreature c;
  const bool attached = AliveCreature(creature, c);
  if (attached) FollowCentre(*this, follow, c);
  // Its glows live 100 and fade by 5 a frame, as every glow starts.
  const GlowSpreads spreads{velocity, velocitySpread, positionSpread, colour, colourSpread, 2, 2, creature, follow};
  for (int i = 0; i < n; ++i)
    if (!g_particleManager.Add(SpreadGlow(x, y, z, spreads, attached ? &c : nullptr, 3))) break;
  if (countdown-- >= 2) return 1;
  countdown = period;
  return ++stage > 1 ? 0 : 1;
}

// --- auras ---------------------------------------------------------------------------------------------

CAuraEmitter::CAuraEmitter(int px, int py, int pz, const int colourAndSpread[4], const int* size, int vz)
    : CParticle(px, py, pz), glowSize(size) {
  for (int i = 0; i < 3; ++i) colour[i] = colourAndSpread[i];
  colourSpread = colourAndSpread[3];
  velocity[2] = vz;
}

void CAuraEmitter::SetVelocity(int vx, int vy, int vz, int spreadX, int spreadY, int spreadZ) {
  velocity[0] = vx;
  velocity[1] = vy;
  velocity[2] = vz;
  velocitySpread[0] = spreadX;
  velocitySpread[1] = spreadY;
  velocitySpread[2] = spreadZ;
}

int CAuraEmitter::Update() {
  ParticleCreature c;
  bool attached = false;
  if (creature >= 0) {
    if (!AliveCreature(creature, c)) return 0;
    FollowCentre(*this, follow, c);
    if (!HasCondition()) return 0;
    attached = true;
  }
  const int width = glowSize ? std::clamp(glowSize[0], 0, 16) : 2;
  const int height = glowSize ? std::clamp(glowSize[1], 0, 16) : 2;
  const GlowSpreads spreads{velocity, velocitySpread, positionSpread, colour, colourSpread,
                            width,    height,         creature,       follow};
  // An aura's glows keep only their horizontal place on the creature: they rise or sink.
  for (int i = 0; i < perFrame; ++i)
    if (!g_particleManager.Add(SpreadGlow(x, y, z, spreads, attached ? &c : nullptr, 2))) break;
  return 1;
}

CLevitateEmitter::CLevitateEmitter(int px, int py, int pz)
    : CAuraEmitter(px, py, pz, g_levitateEffect.colour, g_levitateEffect.size, 12) {}

int CLevitateEmitter::HasCondition() const {
  ParticleCreature c;
  return g_particleCreatures->Get(creature, c) && c.levitating ? 1 : 0;
}

CEarthBindEmitter::CEarthBindEmitter(int px, int py, int pz, int r, int g, int b, int spread)
    : CAuraEmitter(px, py, pz, g_earthBindEffect.colour, g_earthBindEffect.size, -12) {
  colour[0] = r;
  colour[1] = g;
  colour[2] = b;
  colourSpread = spread;
}

int CEarthBindEmitter::HasCondition() const {
  ParticleCreature c;
  return g_particleCreatures->Get(creature, c) && c.earthBound ? 1 : 0;
}
