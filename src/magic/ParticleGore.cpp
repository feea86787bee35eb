// Blood sprays and drops, gore that lands on the terrain and fades, and the body parts and
// offal of a creature torn apart.
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "core/Options.h"
#include "graphics/Sprite.h"
#include "graphics/SpritePrinter.h"
#include "graphics/TypePrinters.h"
#include "magic/ParticleKinds.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace {

int Spread(int spread) { return spread != 0 ? ParticleDraw(spread) - spread / 2 : 0; }

int TimeOnFloorSetting() { return std::max(g_goreTimeOnFloor, 1); }

bool IsWizardType(int type) { return type == 0 || (type >= 24 && type <= 26); }

}  // namespace

// --- the blood spray -----------------------------------------------------------------------------

CBloodSprayEmitter::CBloodSprayEmitter(int px, int py, int pz, int vx, int vy, int vz) : CParticle(px, py, pz) {
  velocity[0] = vx;
  velocity[1] = vy;
  velocity[2] = vz;
  spread = 3 + ParticleDraw(6);
}

int CBloodSprayEmitter::Priority() const { return framesLeft * ((2 * drops - change * (framesLeft - 1)) / 2) * 1024; }

int CBloodSprayEmitter::Update() {
  ParticleCreature c;
  if (creature >= 0 && g_particleCreatures->Get(creature, c) && c.alive) {
    x = WrapInto(c.centreX, WorldWidth());
    y = WrapInto(c.centreY, WorldHeight());
    z = std::clamp(c.centreZ, 0, std::max(WorldDepth() - 1, 0));
  }
  for (int i = 0; i < drops; ++i) {
    int px = x + Spread(spread), py = y + Spread(spread), pz = z + Spread(spread);
    const int vx = velocity[0] + Spread(spread), vy = velocity[1] + Spread(spread), vz = velocity[2] + Spread(spread);
    const int r = colour[0] + Spread(colourSpread), g = colour[1] + Spread(colourSpread),
              b = colour[2] + Spread(colourSpread);
    if (g_percentAsGore >= ParticleDraw(100)) {
      auto gore = std::make_unique<CGoreParticle>(px, py, pz, vx, vy, vz);
      gore->SetColour(r, g, b);
      if (!g_particleManager.Add(gore)) break;
      if (!fresh) continue;
      bool refused = false;
      for (int j = 0; j < g_goreTrail; ++j) {
        px -= vx;
        py -= vy;
        pz -= vz + j + 1;
        auto drop = std::make_unique<CBloodDropParticle>(px, py, pz, vx, vy, vz + j + 1);
        drop->light.width = drop->light.height = 1;
        drop->light.mode = 0;
        drop->SetColour(r, g, b);
        if (!g_particleManager.Add(drop)) {
          refused = true;
          break;
        }
      }
      if (refused) break;
    } else if (fresh) {
      auto drop = std::make_unique<CBloodDropParticle>(px, py, pz, vx, vy, vz);
      drop->light.width = drop->light.height = 2;
      drop->light.mode = 2;
      drop->SetColour(r, g, b);
      if (!g_particleManager.Add(drop)) break;
    }
  }
  fresh = 0;
  const int before = framesLeft--;
  drops += change;
  return drops < 1 || before <= 1 ? 0 : 1;
}

// --- gore ------------------------------------------------------------------------------------------------

CGoreParticle::CGoreParticle(int px, int py, int pz, int vx, int vy, int vz)
    : CFallingParticle(px, py, pz, vx, vy, vz) {
  light.mode = 0;
  light.width = light.height = std::clamp(g_goreSize, 1, 16);
  timeOnFloor = TimeOnFloorSetting();
  CacheCell(x / kUnitsPerTile, y / kUnitsPerTile, z / kUnitsPerLevel);
  SetColour(baseR, baseG, baseB);
  if (g_texturedGore) light.Build();
}

void CGoreParticle::CacheCell(int cx, int cy, int level) {
  cellX = cx;
  cellY = cy;
  cellLevel = level;
  cell = g_map.CellIfInside(cx, cy, level);
  terrain = cell && cell->terrain != 0 ? &TerrainOf(*cell) : nullptr;
  cellLight = g_map.cells && g_map.IsInside(cx, cy, level) ? g_map.LightAt(cx, cy, level) : 0;
}

void CGoreParticle::SetColour(int r, int g, int b) {
  baseR = r;
  baseG = g;
  baseB = b;
  light.SetColour(r * (cellLight + 127) / 127, g * (cellLight + 127) / 127, b * (cellLight + 127) / 127);
}

bool CGoreParticle::Landed() const { return landed != 0; }

int CGoreParticle::CountDownOnFloor() {
  const int before = timeOnFloor--;
  light.mode = std::min(3, 4 - 4 * timeOnFloor / TimeOnFloorSetting());
  return before <= 1 ? 0 : 1;
}

int CGoreParticle::Priority() const { return std::min(timeOnFloor - TimeOnFloorSetting() + 1024, 1024); }

int CGoreParticle::Update() {
  // Landed gore sticks where it came down: falling on from its resting place would only
  // touch the terrain every other frame.
  if (landed) return CountDownOnFloor();
  const int oldX = x, oldY = y, oldZ = z;
  if (!CFallingParticle::Update()) return 0;
  if (z >= WorldDepth()) return 1;  // above the map: no terrain to land on
  const int cx = x / kUnitsPerTile, cy = y / kUnitsPerTile, level = z / kUnitsPerLevel;
  const CMapCell* here = cell;
  const CTerrainType* type = terrain;
  int lightHere = cellLight;
  const bool cached = cx == cellX && cy == cellY && level == cellLevel;
  if (!cached) {
    here = g_map.CellIfInside(cx, cy, level);
    type = here && here->terrain != 0 ? &TerrainOf(*here) : nullptr;
    lightHere = here ? g_map.LightAt(cx, cy, level) : 0;
  }
  if (type && type->TestVoxel((x - kUnitsPerTile * cx) / 4, (y / 4) % 8, (z / 4) % 4)) {
    x = oldX;
    y = oldY;
    z = oldZ;
    vx = vy = vz = 0;
    landed = 1;
    return CountDownOnFloor();
  }
  if (!cached) {
    cellX = cx;
    cellY = cy;
    cellLevel = level;
    cell = here;
    terrain = type;
    if (lightHere != cellLight) {
      cellLight = lightHere;
      SetColour(baseR, baseG, baseB);
    }
  }
  return 1;
}

// --- body parts -------------------------------------------------------------------------------------------

CBodyPartParticle::CBodyPartParticle(const CGoreParticle& base, int partType, int partNumber)
    : CGoreParticle(base.x, base.y, base.z, base.vx, base.vy, base.vz), type(partType), part(partNumber) {}

bool CBodyPartParticle::CurrentFrame(CSpriteFrame& out) const {
  const CSprite* own = BodyPartSprite(type);
  if (!own) return false;
  const int ownParts = own->FrameCount() / 9;
  if (part < ownParts) {
    const int n = 9 * part + animFrame;
    out = own->GetFrame(n < own->FrameCount() ? n : 0);
    return static_cast<bool>(out);
  }
  const CSprite* offal = OffalSprite(BodyPartTileSize(type) == 1);
  const int offalParts = offal ? offal->FrameCount() / 9 : 0;
  if (offalParts <= 0) return false;
  out = offal->GetFrame((part - ownParts) % offalParts * 9 + animFrame);
  return static_cast<bool>(out);
}

int CBodyPartParticle::Width() const {
  CSpriteFrame frame;
  return CurrentFrame(frame) ? frame.Width() : 0;
}

int CBodyPartParticle::Height() const {
  CSpriteFrame frame;
  return CurrentFrame(frame) ? frame.Height() : 0;
}

int CBodyPartParticle::Priority() const { return 1024 * trailPerFrame + timeOnFloor - TimeOnFloorSetting() + 1024; }

void CBodyPartParticle::EmitTrail() {
  for (int i = 0; i < trailPerFrame; ++i) {
    const int px = x + ParticleDraw(5) - 2, py = y + ParticleDraw(5) - 2, pz = z + ParticleDraw(5) - 2;
    const int dvx = ParticleDraw(5) - 2, dvy = ParticleDraw(5) - 2, dvz = ParticleDraw(5) - 2;
    auto drop = std::make_unique<CGoreParticle>(px, py, pz, dvx, dvy, dvz);
    if (g_percentAsGore < ParticleDraw(100)) drop->timeOnFloor = ParticleDraw(TimeOnFloorSetting());
    // One draw a statement: the order of a call's arguments is the compiler's, not ours.
    const int red = trailColour[0] + Spread(trailSpread);
    const int green = trailColour[1] + Spread(trailSpread);
    const int blue = trailColour[2] + Spread(trailSpread);
    drop->SetColour(red, green, blue);
    if (!g_particleManager.Add(drop)) break;
  }
}

int CBodyPartParticle::Update() {
  if (!landed) EmitTrail();
  if (!CGoreParticle::Update()) return 0;
  if (cell && cell->occupant != kNoLink) vx = vy = 0;
  animFrame = Landed() ? 8 : (animFrame + 1) % 8;
  return 1;
}

void CBodyPartParticle::Draw(int sx, int sy) {
  CSpriteFrame frame;
  if (!CurrentFrame(frame)) return;
  int e = timeOnFloor * 100 / TimeOnFloorSetting();
  if (type == 13) e /= 2;
  const int lightLevel = cellLight;
  if (e >= 76) {
    if (lightLevel == -127) {
      PrintSpriteBlack(frame, sx, sy);
      return;
    }
    if (!frame.tables) {
      PrintSpriteFrame(frame, sx, sy, lightLevel, printParameter);
      return;
    }
    if (g_printSprite(frame, sx, sy, lightLevel, printParameter) == kPrintRetryPortable)
      PrintSpriteFrameC(frame, sx, sy, lightLevel, printParameter);
    return;
  }
  const SpritePrinter printer = e >= 51   ? g_typePrinters.trans75
                                : e >= 26 ? g_typePrinters.trans50
                                          : g_typePrinters.trans25;
  if (printer(frame, sx, sy, lightLevel, printParameter) == kPrintRetryPortable)
    PrintSpriteFrameC(frame, sx, sy, lightLevel, printParameter);
}

void SpawnBodyParts(int type, int x, int y, int z, int trailR, int trailG, int trailB, int trailSpread,
                    int printParameter, const uint8_t* velocities, int velocityCount) {
  if (IsWizardType(type)) return;
  const CSprite* sprite = BodyPartSprite(type);
  if (!sprite) return;
  const CSprite* offal = OffalSprite(BodyPartTileSize(type) == 1);
  const int ownParts = sprite->FrameCount() / 9, offalParts = offal ? offal->FrameCount() / 9 : 0;
  if (!velocities) velocityCount = 0;
  const int parts = std::max(ownParts, velocityCount);
  int entry = velocityCount;
  for (int i = 0; i < parts; ++i) {
    int vx, vy, vz;
    if (entry > 0) {
      --entry;
      float v[3];
      std::memcpy(v, velocities + 28 * entry + 12, sizeof v);
      vx = static_cast<int>(v[0]);
      vy = static_cast<int>(v[1]);
      vz = static_cast<int>(v[2]);
    } else {
      vx = ParticleSign(2 + ParticleDraw(6));
      vy = ParticleSign(2 + ParticleDraw(6));
      vz = 5 + ParticleDraw(8);
    }
    const CGoreParticle base(x, y, z, vx, vy, vz);
    auto bodyPart = std::make_unique<CBodyPartParticle>(base, type, i);
    bodyPart->trailPerFrame = g_percentAsGore / 10;
    bodyPart->trailColour[0] = trailR;
    bodyPart->trailColour[1] = trailG;
    bodyPart->trailColour[2] = trailB;
    bodyPart->trailSpread = trailSpread;
    bodyPart->printParameter = printParameter;
    bodyPart->animFrame = ParticleDraw(8);
    if (i >= ownParts && offalParts <= 0) continue;  // no offal to show for the extra entries
    g_particleManager.Add(bodyPart);
  }
}
