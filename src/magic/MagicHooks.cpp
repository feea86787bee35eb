#include "magic/MagicHooks.h"

#include "core/Options.h"
#include "creatures/MapObject.h"
#include "magic/CircleSpanTable.h"
#include "magic/EffectManager.h"
#include "magic/ParticleManager.h"
#include "magic/SegmentFrames.h"
#include "map/MapView.h"

namespace {

CEffectMapHooks g_effectMapHooks;
CEffectViewHooks g_effectViewHooks;

// The options reader's building of the circle span tables.
class CEffectRadiusTables : public IEffectRadiusTables {
 public:
  void Build(const std::vector<int>& radii) override { BuildSpellRadiusTables(radii); }
};
CEffectRadiusTables g_effectRadiusTablesOfMagic;

CEffect* ActiveEffect(int effect) {
  CEffect* e = g_effectManager.At(effect);
  return e && e->active ? e : nullptr;
}

}  // namespace

int CEffectMapHooks::Kind(int effect) {
  const CEffect* e = g_effectManager.At(effect);
  return e ? e->kind : -1;
}

int CEffectMapHooks::NextInCell(int effect) {
  const CEffect* e = g_effectManager.At(effect);
  return e ? e->nextInCell : CEffect::kEndOfChain;
}

void CEffectMapHooks::Deactivate(int effect) {
  if (CEffect* e = ActiveEffect(effect)) e->Deactivate();
}

void CEffectMapHooks::AffectTerrainTile(int effect) {
  if (CEffect* e = ActiveEffect(effect)) e->AffectTerrainTile();
}

void CEffectMapHooks::MarkKind14(int) { g_effectManager.MarkKind14(); }

void CEffectMapHooks::SetParticleWorldSize(int width, int height, int depth) {
  CParticle::SetWorldSize(width, height, depth);
}

int CEffectMapHooks::NextLightSource(int after, LightSource& out) {
  if (g_noLightSources) return -1;
  const int end = g_effectManager.highWater < g_effectManager.count ? g_effectManager.highWater : g_effectManager.count;
  for (int i = after < 0 ? 0 : after + 1; i < end; ++i) {
    const CEffect& e = g_effectManager.effects[static_cast<size_t>(i)];
    const int diameter = g_effectManager.GetLightSourceDiameter(e.kind);
    if (!e.active || diameter <= 0 || !g_mapView.IsSquareInView(e.cellX, e.cellY, diameter)) continue;
    out = LightSource{e.cellX, e.cellY, e.cellLevel, diameter};
    return i;
  }
  return -1;
}

bool CEffectViewHooks::GetEffectDrawInfo(int effect, EffectDrawInfo& out) {
  CEffect* e = ActiveEffect(effect);
  if (!e) return false;
  e->UpdateAnimation();
  out.kind = e->kind;
  out.x = e->x;
  out.y = e->y;
  out.z = e->z;
  out.cutAway = e->IsClippedToHeight();
  out.takesLight = e->IsLightSourceAffected();
  out.visible = e->PassesLightFilter();
  const CAnimPlayer& player = e->animPlayer;
  const CSprite* sprite = player.animation ? player.animation->Sprite() : nullptr;
  out.shown = player.playing && player.frameStep >= 0 && sprite;
  if (out.shown) {
    const AnimStep& step = player.animation->Step(player.frameStep);
    out.picture.frame = sprite->GetFrame(step.value);
    out.picture.offsetX = step.x;
    out.picture.offsetY = step.y;
  }
  out.picture.printType = e->state[effect_state::kPrintType];
  return true;
}

// World objects are the creature subsystem's; the view's one world hook passes them on.
bool CEffectViewHooks::GetObjectDrawInfo(int object, ObjectDrawInfo& out) { return GetMapObjectDrawInfo(object, out); }

void CEffectViewHooks::AddParticles(CMapView& view) { g_particleManager.AddToDrawList(view); }

CSpriteFrame CEffectViewHooks::SegmentFrame(int kind) { return SegmentFrameOfKind(kind); }

void InstallMagic() {
  g_mapHooks.effects = &g_effectMapHooks;
  g_mapViewHooks.world = &g_effectViewHooks;
  g_effectRadiusTables.Install(&g_effectRadiusTablesOfMagic);
}
