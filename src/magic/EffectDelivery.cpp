// Spell delivery: what a spell does when its effect arrives, hits or fires. The routine
// switches on the spell number (word 8), not on the kind: whichever carrier brought a spell,
// it is delivered the same way, and the current kind only tells the carrier's arrival from
// the impact it turns into. Every roll comes from the battle generator in a fixed order.
#include <algorithm>
#include <memory>
#include <vector>

#include "core/Options.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Wizard.h"
#include "magic/Blast.h"
#include "magic/CircleSpanTable.h"
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSpells.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"
#include "map/TileOverlay.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kHitSound = 1013;
constexpr int kMissileImpactKind = 12;  // a shot that hit the ground
constexpr int kBoltImpactKind = 13;
constexpr int kAppearingKind = 8;
constexpr int kAttackerMemory = 100;
constexpr int kLastSummonType = 26;

// The kinds a spell travels in before it reaches its target.
bool IsCarrier(int kind) { return kind == 6 || kind == 7 || kind == 11 || kind == 30; }
bool IsThrownCarrier(int kind) { return kind == 6 || kind == 7; }

// The kind a targeted spell's carrier turns into on arrival; -1 when the spell acts at once.
int ImpactKind(int spell) {
  switch (spell) {
    case 41:
      return 77;
    case 42:
      return 76;
    case 44:
      return 74;
    case 54:
      return 80;
    case 74:
      return 66;
    case 79:
      return 73;
    case 82:
      return 72;
    default:
      return -1;
  }
}

// A draw for looks only (sparks), from the view's generator.
int LookDraw(int n) { return n > 0 ? static_cast<int>(g_viewRandom.Next() & 0x7FFFFFFFu) % n : 0; }

// A creature record in use with its type; null for any other index.
CCreature* InUse(int slot) {
  CCreature* c = g_creatureArray.InUse(slot);
  return c && c->type ? c : nullptr;
}

CCreature* Living(int slot) {
  CCreature* c = InUse(slot);
  return c && c->health > 0 ? c : nullptr;
}

// Whether the army's wizard commands fewer creatures than its limit (no wizard: no limit).
bool BelowControlLimit(int army) {
  const CCreature* wizard = g_armyTable.GetWizard(army);
  if (!wizard || !wizard->inUse) return true;
  return wizard->behaviour.armyCount < wizard->aiWords[wizard_words::kControlLimit];
}

// The shower cells of a spell's Radius (0 small, 1 medium, 2 large) when no circle span
// table was built for it: every cell within 2, 4 or 6 cells, row by row.
const std::vector<GridStep>& FixedShowerOffsets(int radius) {
  static std::vector<GridStep> built[3];
  const int index = std::clamp(radius, 0, 2);
  if (built[index].empty()) {
    const int r = 2 * (index + 1);
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (dx * dx + dy * dy <= r * r) built[index].push_back({dx, dy, 0});
  }
  return built[index];
}

// The creatures a repelling effect has driven away, one bit per slot in four words of its
// block that its kind leaves unused: each is driven once by one effect.
constexpr int kRepelledWords = 40;
bool RepelledBy(const CEffect& e, int slot) {
  return (static_cast<uint32_t>(e.params[kRepelledWords + slot / 32]) >> (slot % 32)) & 1u;
}
void MarkRepelled(CEffect& e, int slot) {
  e.params[kRepelledWords + slot / 32] =
      static_cast<int32_t>(static_cast<uint32_t>(e.params[kRepelledWords + slot / 32]) | (1u << (slot % 32)));
}

class Delivery {
 public:
  explicit Delivery(CEffect& effect)
      : e_(effect), spell_(effect.params[w::kSpell]), def_(SpellRecord(effect.params[w::kSpell])) {}

  void Run();

 private:
  // --- shared steps ---
  void End() {
    if (e_.active) e_.Deactivate();
  }
  void Fizzle() {
    e_.Fizzle();
    End();
  }
  void Sound(int id) { g_effectSounds->PlayAt(id, e_.cellX, e_.cellY, nullptr, 0); }
  // Step 2 of a targeted spell: the living target when its action runs now, else null (the
  // carrier became its impact kind, or the spell fizzled).
  CCreature* ArrivedAt(int impactKind);
  bool Passes(int strength, int resistance) { return e_.PassesSpellChecks(strength, resistance) != 0; }
  // The creature whose body stands in the effect's cell, looked for in the 27 cells around.
  CCreature* CreatureInCell();
  CCreature* Caster() { return InUse(e_.params[w::kCreature]); }
  CCreature* Target() { return InUse(e_.params[w::kTarget]); }
  void RememberCaster(CCreature& victim) {
    if (Caster()) {
      victim.combat.attacker = e_.params[w::kCreature] + 1;
      victim.combat.attackerMemory = kAttackerMemory;
    }
  }
  void Hurt(CCreature& victim, int amount) {
    victim.TakeDamage(amount, e_.state[s::kArmy], e_.state[s::kItem0], e_.state[s::kItem1]);
  }
  bool CellBurning() const { return e_.cell && (e_.cell->state & state_bits::kField10); }
  // A roll of 1-99 at least the spell's Duration: its cell catches fire (spell 58, kind 14).
  void MaybeCatchFire();
  // A blast at the last good cell of the carrier's line, released at once; the effect ends.
  void BlastAtTrailCell(int type, int strength, int falloff);

  // --- the spells ---
  void Summon();
  void Trap();
  void Shower();
  void Dispel();
  void DetectUndead();
  void Heal(CCreature& target);
  void EarthBind(CCreature& target);
  void Subvert(CCreature& target);
  void FireBall();
  void DrainCreatureMana(CCreature& target);
  void RaiseDead();
  void Fire();
  void Repel();
  void ArcaneBolt();
  void Illusion();
  void Echo();
  void MightyBlow();
  void Wall();
  void Totem();
  void FrostBreath();
  void Earthquake();
  // The aura a spell hangs on its creature; false when the particle manager refused it.
  bool Aura(bool levitate, const CCreature& target);
  void SubvertSparks(const CCreature& target, bool taken);
  void Missile();
  void CreatureShot();

  CEffect& e_;
  const int spell_;
  const CSpellDefinition& def_;
};

CCreature* Delivery::ArrivedAt(int impactKind) {
  if (e_.params[w::kTarget] == -1) {
    Fizzle();
    return nullptr;
  }
  if (impactKind >= 0 && IsCarrier(e_.kind)) {
    e_.SetKind(impactKind);
    return nullptr;
  }
  CCreature* target = Living(e_.params[w::kTarget]);
  if (!target) Fizzle();
  return target;
}

CCreature* Delivery::CreatureInCell() {
  if (!g_map.cells) return nullptr;
  auto at = [&](int dx, int dy, int dz) -> CCreature* {
    const int level = e_.cellLevel + dz;
    if (level < 0 || level >= g_map.levels) return nullptr;
    const CMapCell& cell =
        g_map.CellAt(WrapInto(e_.cellX + dx, g_map.width), WrapInto(e_.cellY + dy, g_map.height), level);
    CCreature* c = cell.occupant == kNoLink ? nullptr : InUse(cell.occupant);
    if (!c || c->cellX != e_.cellX || c->cellY != e_.cellY) return nullptr;
    return c->level + c->type->TileHeight / 2 == e_.cellLevel ? c : nullptr;
  };
  if (CCreature* c = at(0, 0, 0)) return c;
  for (const GridStep& step : kNeighbours26)
    if (CCreature* c = at(step.dx, step.dy, step.dz)) return c;
  return nullptr;
}

void Delivery::MaybeCatchFire() {
  if (CellBurning()) return;
  if (EffectBattleDraw(__LINE__) % 99 + 1 < def_.Duration) return;
  e_.params[w::kSpell] = 58;
  e_.SetKind(effect_kind::kFire);
}

void Delivery::BlastAtTrailCell(int type, int strength, int falloff) {
  if (CBlast* blast = g_blastPool.FindFree()) {
    blast->Set(e_.state[s::kTrailCell], e_.state[s::kTrailCell + 1], e_.state[s::kTrailCell + 2], strength, falloff, 1,
               type, e_.params);
    blast->Release();
  }
  End();
}

// --- the spells ------------------------------------------------------------------------------

void Delivery::Summon() {
  if (!IsThrownCarrier(e_.kind)) {
    End();
    return;
  }
  if (e_.PlaceSummon(spell_) && e_.CreateSummonedCreature(spell_, 0))
    e_.SetKind(kAppearingKind);
  else
    Fizzle();
}

void Delivery::Trap() {
  if (e_.kind != 6 && e_.kind != 7 && e_.kind != 11) {
    e_.state[s::kCounter2] = def_.Data1;
    if (e_.cell && e_.cell->occupant != kNoLink)
      if (CCreature* standing = InUse(e_.cell->occupant)) Hurt(*standing, def_.Damage);
    e_.SpawnKind25Nearby();
    return;
  }
  bool failed = e_.RiseThroughSolid() == 0;
  if (!failed && e_.cell && e_.cell->terrain == 0 && e_.cellLevel > 0) {
    auto fullHeight = [](const CMapCell& c) { return c.terrain != 0 && TerrainOf(c).groundHeight >= kUnitsPerLevel; };
    if (!fullHeight(g_map.CellAt(e_.cellX, e_.cellY, e_.cellLevel - 1))) {
      // Down to the first cell that stands on full-height ground.
      e_.UnlinkFromCell(e_.cell);
      int level = e_.cellLevel;
      while (level > 0 && !fullHeight(g_map.CellAt(e_.cellX, e_.cellY, level - 1))) --level;
      e_.cellLevel = level;
      e_.z = level * kUnitsPerLevel;
      e_.cell = g_map.CellIfInside(e_.cellX, e_.cellY, level);
      e_.terrainType = &TerrainOf(e_.cell ? e_.cell->terrain : 0);
      e_.LinkToCell(e_.cell);
    }
  }
  if (failed || !e_.cell || (e_.cell->state & state_bits::kField20)) {
    Fizzle();
    return;
  }
  e_.params[w::kSpeed] = def_.Duration;
  e_.SetKind(25);
}

void Delivery::Shower() {
  if (EffectBattleDraw(__LINE__) % 100 >= def_.SpellStrength) return;
  CEffect* drop = e_.owner ? e_.owner->AllocateEffect() : nullptr;
  if (!drop || !g_map.cells) return;
  int dx = 0, dy = 0;
  const int radius = def_.Radius;
  if (radius >= 0 && radius < static_cast<int>(g_spellRadiusTable.size())) {
    const CCircleSpanTable& table = g_spellRadiusTable[static_cast<size_t>(radius)];
    const CCircleSpanTable::Cell cell = table.NthCell(RandomRange(table.total, 0));
    dx = cell.x;
    dy = cell.row;
  } else {
    const std::vector<GridStep>& offsets = FixedShowerOffsets(radius);
    const GridStep& pick = offsets[static_cast<size_t>(EffectBattleDraw(__LINE__)) % offsets.size()];
    dx = pick.dx;
    dy = pick.dy;
  }
  const int cx = WrapInto(e_.cellX + dx, g_map.width) * kUnitsPerTile + kUnitsPerTile / 2;
  const int cy = WrapInto(e_.cellY + dy, g_map.height) * kUnitsPerTile + kUnitsPerTile / 2;
  CEffectParams block;
  block[w::kCreature] = e_.params[w::kCreature];
  if (spell_ == 34) {
    block.SetPoint(w::kSourceX, cx, cy, g_map.levels * kUnitsPerLevel - kUnitsPerLevel);
    block.SetPoint(w::kTargetX, cx, cy, 5);
    block[w::kSpell] = 34;
    block[w::kSpeed] = SpellRecord(34).Speed;
    block[w::kKindMode] = 1;
    drop->Activate(35, block);
  } else {
    block.SetPoint(w::kSourceX, 0, 0, 0);
    block.SetPoint(w::kTargetX, cx, cy, kUnitsPerLevel);
    block[w::kSpell] = 72;
    block[w::kKindMode] = 2;
    block[w::kCompanionCount] = 0;
    drop->Activate(21, block);
  }
}

void Delivery::Dispel() {
  if (e_.kind == 6 || e_.kind == 7 || e_.kind == 11) {
    BlastAtTrailCell(2, def_.Damage, def_.Duration);
    return;
  }
  CCreature* c = CreatureInCell();
  if (c && c->illusion) {
    if (c->health > 0) {
      c->AdjustHealth(-c->health, -1, nullptr, 1);
      Sound(733);
    }
    End();
    return;
  }
  if (!c || !Passes(e_.params[w::kStartX], c->magicResistance)) {
    End();
    return;
  }
  c->SetIronSkin(0);
  if (c->invisible > 0) c->SetInvisibility(0);
  c->SetBloodLust(0);
  c->SetHaste(0);
  c->spellState = 0;
  c->SetSlow(0);
  if (c->earthBind > 0) c->SetEarthBind(0);
  if (c->provokeTimer > 0) {
    c->provokeTimer = 0;
    const int slot = c->index;
    g_creatureArray.ForEachInUse([slot](CCreature& other) {
      if (other.index != slot) other.DropTarget(slot);
    });
  }
  if (c->heldKind == 1 && c->heldTime > 1) c->heldTime = 1;
  c->EndLevitation();
  End();
}

void Delivery::DetectUndead() {
  if (e_.kind == 6 || e_.kind == 7 || e_.kind == 11) {
    BlastAtTrailCell(2, def_.Damage, def_.Duration);
    return;
  }
  CCreature* c = CreatureInCell();
  if (c && c->health > 0 && c->undead && Passes(e_.params[w::kStartX], c->magicResistance)) {
    c->SyncAnimFrame();
    Sound(731);
  }
  End();
}

void Delivery::Heal(CCreature& target) {
  if (target.illusion) return;
  const int health = target.health, pestered = target.pestered;
  target.AdjustHealth(def_.SpellStrength, -1, nullptr, 1);
  target.StopPestFlies();
  Sound(732);
  const bool seen = g_localArmy >= 0 && g_localArmy < kSightingArmyCount && target.sightingCounters[g_localArmy] != 0;
  if (seen && (target.health > health || (pestered && !target.pestered))) e_.SpawnCreatureParticles(target.index);
}

void Delivery::EarthBind(CCreature& target) {
  if (g_earthBindEffect.densityMod > 0) Aura(false, target);
  target.SetEarthBind(def_.Duration / std::max(target.magicResistance, 1));
  target.ForceLanding();
  Sound(734);
  e_.state[s::kCounter3] = 1;
}

void Delivery::Subvert(CCreature& target) {
  CCreature* caster = Caster();
  const int army = caster ? caster->army : e_.state[s::kArmy];
  if (Passes(def_.SpellStrength, target.magicResistance) && !target.IsWizard() && BelowControlLimit(army)) {
    target.ChangeOwner(army);
    Sound(737);
    SubvertSparks(target, true);
    return;
  }
  if (!target.IsWizard()) target.magicResistance -= def_.Data1 * target.magicResistance / 100;
  Sound(1011);
  SubvertSparks(target, false);
}

void Delivery::FireBall() {
  if (IsThrownCarrier(e_.kind)) {
    BlastAtTrailCell(1, (def_.Radius + 3) * 20, 20);
    return;
  }
  e_.state[s::kCounter3] = def_.Damage;
  if (!e_.cell || e_.cellLevel + 1 >= g_map.levels) return;
  const CMapCell& above = g_map.CellAt(e_.cellX, e_.cellY, e_.cellLevel + 1);
  CCreature* standing = above.occupant == kNoLink ? nullptr : InUse(above.occupant);
  if (standing && !standing->IsFireImmune()) Hurt(*standing, standing->type->BurnDamage);
}

void Delivery::DrainCreatureMana(CCreature& target) {
  CCreature* caster = Caster();
  if (!caster || target.army != caster->army) {
    Fizzle();
    return;
  }
  target.StartPrintEffect8();
  Sound(728);
  if (CCreature* wizard = g_armyTable.GetWizard(caster->army); wizard && wizard->inUse) {
    const int cost = SpellRecord(target.typeNumber).ManaCost;
    const int full = std::max(target.type->Health, 1);
    wizard->AddMana(cost * target.health / full * 256);
  }
  End();
}

void Delivery::RaiseDead() {
  CCreature* caster = Caster();
  if (!(e_.terrainType && (e_.terrainType->typeFlags & type_flags::kSettles))) {
    CCreature* dead = Target();
    if (!dead || dead->health != 0 || !caster || !BelowControlLimit(caster->army)) {
      End();
      return;
    }
    dead->RaiseAsUndead(caster->army);
    Sound(736);
    End();
    return;
  }
  static constexpr int kRisers[3] = {11, 14, 13};
  const int type = kRisers[EffectBattleDraw(__LINE__) % 3];
  if (!e_.PlaceSummon(type) || !e_.CreateSummonedCreature(type, 0)) {
    Fizzle();
    return;
  }
  CCreature* risen = InUse(e_.params[w::kTarget]);
  if (risen && caster && BelowControlLimit(caster->army)) risen->RaiseAsUndead(caster->army);
  e_.SetKind(24);
}

void Delivery::Fire() {
  CCreature* target = Target();
  if (e_.params[w::kTarget] == -1) {
    e_.DamageTarget(def_.Damage);
  } else if (target && !target->IsFireImmune()) {
    Hurt(*target, def_.Damage);
    RememberCaster(*target);
  }
  if (e_.active) MaybeCatchFire();
}

void Delivery::Repel() {
  if (IsThrownCarrier(e_.kind)) {
    e_.SettleOnGround();
    if (!e_.active) return;
    e_.MoveToFreeCell();
    e_.RiseOneLevel();
    e_.SetKind(18);
    return;
  }
  const int army = e_.state[s::kArmy];
  const CArmy* own = g_armyTable.GetArmy(army);
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (!c.IsAlive() || !c.type || RepelledBy(e_, c.index)) return;
    if (own && own->IsAlliedWith(c.army)) return;
    if (!Passes(def_.SpellStrength, c.type->Bravery)) return;
    if (!CellsWithinRange(def_.Duration, nullptr, c.cellX, c.cellY, c.level, e_.cellX, e_.cellY, e_.cellLevel)) return;
    auto away = [&](int delta) { return delta > 0 ? def_.Data1 : delta < 0 ? -def_.Data1 : 0; };
    const int tx = WrapInto(c.cellX + away(WrapDeltaX(e_.cellX, c.cellX)), g_map.width);
    const int ty = WrapInto(c.cellY + away(WrapDeltaY(e_.cellY, c.cellY)), g_map.height);
    c.WalkTo(tx, ty, c.level);
    MarkRepelled(e_, c.index);
  });
}

void Delivery::Missile() {
  e_.DamageTarget(def_.Damage);
  if (Caster() && Target()) {
    CCreature& target = *Target();
    target.combat.attacker = e_.params[w::kCreature] + 1;
    target.combat.attackerMemory = kAttackerMemory;
  }
  e_.SetKind(kBoltImpactKind);
  Sound(kHitSound);
}

// A creature type's shot: the shooter's own hit rule against what it struck, else the
// ground takes the spell's Damage.
void Delivery::CreatureShot() {
  CCreature* target = Target();
  if (target) {
    CCreature* shooter = InUse(e_.params[w::kCreature]);
    if (shooter)
      shooter->ResolveMissileHit(target->index);
    else
      Hurt(*target, def_.Damage);  // the shooter left the battle while its shot flew
    End();
    return;
  }
  e_.DamageTarget(def_.Damage);
  if (e_.active) e_.SetKind(kMissileImpactKind);
}

void Delivery::ArcaneBolt() {
  CCreature* target = Target();
  if (!target) {
    e_.DamageTarget(def_.Damage);
    if (e_.active) e_.SetKind(kMissileImpactKind);
    return;
  }
  RememberCaster(*target);
  Hurt(*target, def_.Damage);
  End();
}

void Delivery::Illusion() {
  CCreature* original = Living(e_.params[w::kTarget]);
  if (!original) {
    Fizzle();
    return;
  }
  if (original->level != e_.cellLevel) {
    e_.UnlinkFromCell(e_.cell);
    e_.cellLevel = original->level;
    e_.z = original->level * kUnitsPerLevel;
    e_.cell = g_map.CellIfInside(e_.cellX, e_.cellY, e_.cellLevel);
    e_.terrainType = &TerrainOf(e_.cell ? e_.cell->terrain : 0);
    e_.LinkToCell(e_.cell);
  }
  const int originalSlot = original->index;
  if (!e_.PlaceSummon(original->typeNumber) || !e_.CreateSummonedCreature(original->typeNumber, 1)) {
    Fizzle();
    return;
  }
  CCreature* twin = InUse(e_.params[w::kTarget]);
  original = InUse(originalSlot);
  if (!twin || !original) {
    End();
    return;
  }
  Sound(726);
  twin->SetBloodLust(original->bloodLust);
  twin->SetIronSkin(original->ironSkin);
  twin->SetHaste(original->haste);
  twin->SetInvisibility(original->invisible);
  switch (original->spellState) {
    case 1:
    case 3:
      twin->SetSpellState(original->spellState, -1);
      End();
      return;
    case 2:
      // The double carries an arcane echo of its own, held by this effect.
      e_.params[w::kSpell] = 78;
      e_.params[w::kCreature] = twin->index;
      e_.params[w::kTarget] = -1;
      e_.state[s::kCounter3] = -1;
      e_.SetKind(effect_kind::kCreatureEcho);
      if (e_.active && !twin->SetSpellState(2, e_.index)) End();
      return;
    default:
      End();
      return;
  }
}

void Delivery::Echo() {
  CCreature* target = Living(e_.params[w::kTarget]);
  if (e_.params[w::kTarget] == -1 || !target) {
    Fizzle();
    return;
  }
  e_.state[s::kCounter3] = 0;
  e_.params[w::kCreature] = target->index;
  e_.params[w::kTarget] = -1;
  e_.state[s::kArmy] = target->army;
  e_.SetKind(effect_kind::kCreatureEcho);
  if (e_.active && !target->SetSpellState(2, e_.index)) End();
}

void Delivery::MightyBlow() {
  if (e_.cell && e_.cell->occupant != kNoLink) {
    e_.params[w::kTarget] = e_.cell->occupant;
  } else if (SpellRecord(83).LOFType != 0 && e_.kind != 30) {
    Fizzle();
    return;
  }
  if (e_.params[w::kTarget] == -1) {
    Fizzle();
    return;
  }
  if (CCreature* target = InUse(e_.params[w::kTarget])) {
    target->SetSpellState(1, -1);
    Sound(748);
  }
  End();
}

void Delivery::Wall() {
  if (e_.kind == 6 || e_.kind == 7 || e_.kind == 30) {
    if (!e_.RiseThroughSolid()) {
      Fizzle();
      return;
    }
    e_.params[w::kSpeed] = def_.Data1;
    e_.params[w::kValue] = -1;
    e_.SetKind(56);
    Sound(704);
    if (e_.active) e_.GrowWall();
    return;
  }
  e_.params[w::kKindMode] = 4;
  // The dust of this wall's earlier steps in the cell settles; gathered first, since an
  // ended effect leaves the chain.
  std::vector<CEffect*> dust;
  for (int n = e_.cell ? e_.cell->effect : kNoLink, guard = 0; n != kNoLink && e_.owner && guard < e_.owner->Count();
       ++guard) {
    CEffect* other = e_.owner->At(n);
    if (!other) break;
    if (other != &e_ && other->active && other->kind == 40 && other->params[w::kSpell] == 35) dust.push_back(other);
    n = other->nextInCell;
  }
  for (CEffect* other : dust) other->Deactivate();
  e_.GrowWall();
}

void Delivery::Totem() {
  if (e_.kind == 6 || e_.kind == 7 || e_.kind == 11) {
    if (e_.RiseThroughSolid() && e_.FindTotemSite())
      e_.SetKind(32);
    else
      Fizzle();
    return;
  }
  if (e_.kind == 32) {
    if (e_.GrowTotem()) return;
    // A creature or a world object in the way fails the totem as a site that will not take
    // it does (the fizzle's sound once, mana back for a paid cast); what it grew so far
    // falls, so no dead column of its tiles is left standing.
    e_.Fizzle();
    if (e_.state[s::kCounter3] > 0) e_.CollapseTotem();
    End();
    return;
  }
  if (e_.kind != effect_kind::kAffectsTile) return;
  if (spell_ == 70)
    e_.TotemShoot();
  else if (spell_ == 69)
    e_.TotemHeal();
  else
    e_.TotemAura();
}

void Delivery::FrostBreath() {
  if (e_.kind != 6) {
    e_.AreaInFront();
    return;
  }
  if (CEffect* breath = e_.owner ? e_.owner->AllocateEffect() : nullptr) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, e_.params[w::kSourceX], e_.params[w::kSourceY], e_.params[w::kSourceZ]);
    block.SetPoint(w::kTargetX, e_.params[w::kTargetX], e_.params[w::kTargetY], e_.params[w::kTargetZ]);
    block[w::kCreature] = e_.params[w::kCreature];
    block[w::kMode] = e_.params[w::kMode];
    block[w::kSpell] = 68;
    block[w::kKindMode] = 2;
    block[w::kCompanion] = e_.index;
    block[w::kCompanionFlag] = 1;
    breath->Activate(84, block);
  }
  e_.SetKind(75);
}

void Delivery::Earthquake() {
  if (IsThrownCarrier(e_.kind)) {
    e_.params[w::kSpeed] = e_.params[w::kValue] = 0;
    e_.state[s::kCounter3] = 0;
    e_.state[s::kCounter2] = 36;
    e_.RiseThroughSolid();
    e_.state[s::kLastPosition] = 0;
    e_.state[s::kLastPosition + 1] = RandomRange(2, 0);
    e_.SetKind(9);
    return;
  }
  if (e_.params[w::kValue] < e_.state[s::kCounter2])
    e_.SpawnCornerEffects();
  else
    e_.Shockwave();
}

bool Delivery::Aura(bool levitate, const CCreature& target) {
  std::unique_ptr<CParticle> aura = g_particleFactory->MakeAura(levitate, target.index);
  return !aura || g_particleManager.Add(aura) != 0;
}

void Delivery::SubvertSparks(const CCreature& target, bool taken) {
  const bool seen = g_localArmy >= 0 && g_localArmy < kSightingArmyCount && target.sightingCounters[g_localArmy] != 0;
  if (!seen) return;
  int cx, cy, cz;
  target.CentrePoint(cx, cy, cz);
  if (taken) {
    const int height = target.type->TileHeight, size = target.type->TileSizeXY;
    const int count = ((height + 1) * size + 1) * 6;
    for (int i = 0; i < count; ++i) {
      const int px = target.unitX + LookDraw(size * kUnitsPerTile);
      const int py = target.unitY + LookDraw(size * kUnitsPerTile);
      const int pz = target.unitZ + LookDraw(height * kUnitsPerLevel);
      g_particleManager.Add(g_particleFactory->MakeSubvertParticle(px, py, pz, target.index, 25));
    }
    return;
  }
  const int headZ = target.unitZ + target.type->TileHeight * kUnitsPerLevel;
  for (int i = 0; i < g_subvertFailParticleCount; ++i) {
    // One draw a statement: the order of a call's arguments is the compiler's, not ours.
    const int x = cx + LookDraw(5) - 2;
    const int y = cy + LookDraw(5) - 2;
    const int z = headZ + LookDraw(5) - 2;
    g_particleManager.Add(g_particleFactory->MakeGlow(x, y, z, g_subvertFailColour[0], g_subvertFailColour[1],
                                                      g_subvertFailColour[2]));
  }
}

// --- the dispatch ------------------------------------------------------------------------------

void Delivery::Run() {
  if (spell_ >= 0 && spell_ <= kLastSummonType) {
    Summon();
    return;
  }
  switch (spell_) {
    case 33:
      Trap();
      return;
    case 34:
    case 88:
      Shower();
      return;
    case 38:
      DetectUndead();
      return;
    case 41:
      if (CCreature* t = ArrivedAt(ImpactKind(spell_))) Heal(*t);
      return;
    case 42:
      if (CCreature* t = ArrivedAt(ImpactKind(spell_))) {
        t->SetBloodLust(def_.Duration);
        Sound(705);
      }
      return;
    case 43:
      Dispel();
      return;
    case 44:
      if (IsCarrier(e_.kind)) e_.state[s::kCounter3] = 0;
      if (CCreature* t = ArrivedAt(ImpactKind(spell_))) EarthBind(*t);
      return;
    case 46:
      if (e_.params[w::kTarget] != -1)
        e_.SetKind(67);
      else
        Fizzle();
      return;
    case 50:
      if (CCreature* t = ArrivedAt(-1)) {
        t->provokeTimer = def_.Duration;
        Sound(730);
        End();
      }
      return;
    case 52:
      RaiseDead();
      return;
    case 54:
      if (CCreature* t = ArrivedAt(ImpactKind(spell_))) Subvert(*t);
      return;
    case 58:
      FireBall();
      return;
    case 60:
      if (CCreature* t = ArrivedAt(-1)) DrainCreatureMana(*t);
      return;
    case 62:
    case 89:
      BlastAtTrailCell(0, def_.Damage, def_.Duration);
      return;
    case 71:
      Missile();
      return;
    case 72:
      Fire();
      return;
    case 74:
      if (CCreature* t = ArrivedAt(ImpactKind(spell_))) {
        t->SetIronSkin(def_.Duration);
        Sound(714);
      }
      return;
    case 76:
      Repel();
      return;
    case 77:
      if (IsThrownCarrier(e_.kind)) {
        BlastAtTrailCell(2, def_.Damage, 5);
        return;
      }
      // The terror shows as the tile overlay opening the column for the spell's time.
      if (e_.cell && !(e_.cell->state & state_bits::kSealed)) {
        g_tileSpans.MarkColumn(e_.cellX, e_.cellY, e_.cellLevel, def_.Duration);
        g_tileSpans.active = 1;
      }
      End();
      return;
    case 79:
      if (e_.params[w::kTarget] == -1) {
        Fizzle();
      } else if (IsCarrier(e_.kind)) {
        e_.SetKind(73);
      } else if (CCreature* t = Living(e_.params[w::kTarget])) {
        if (!t->IsWizard()) t->StartSpellSound();
      } else {
        Fizzle();
      }
      return;
    case 80:
      if (CCreature* t = ArrivedAt(-1)) {
        const bool levitating = t->airborne > 0;
        t->ShowSpellOverlay();
        Sound(716);
        if (g_levitateEffect.densityMod > 0 && !levitating) Aura(true, *t);
        End();  // delivered: a carrier that went on would lift its creature every frame
      }
      return;
    case 81:
      if (IsThrownCarrier(e_.kind)) {
        e_.SettleOnGround();
        if (!e_.active) return;
        e_.MoveToFreeCell();
        if (e_.cellLevel + 1 < g_map.levels) {
          e_.UnlinkFromCell(e_.cell);
          ++e_.cellLevel;
          e_.z += kUnitsPerLevel;
          e_.cell = g_map.CellIfInside(e_.cellX, e_.cellY, e_.cellLevel);
          e_.terrainType = &TerrainOf(e_.cell ? e_.cell->terrain : 0);
          e_.LinkToCell(e_.cell);
        }
        e_.SetKind(69);
      } else if (CCreature* t = Living(e_.params[w::kTarget])) {
        if (Passes(def_.Damage, t->magicResistance) && !t->IsWizard()) t->Explode(0, 20);
      } else {
        Fizzle();
      }
      return;
    case 78:
      Echo();
      return;
    case 82:
      if (CCreature* t = ArrivedAt(ImpactKind(spell_))) t->SetHaste(def_.Duration);
      return;
    case 83:
      MightyBlow();
      return;
    case 84:
      if (CCreature* t = Living(e_.params[w::kTarget])) {
        t->SetSpellState(3, -1);
        End();
      } else {
        Fizzle();
      }
      return;
    case 85:
      if (CCreature* t = ArrivedAt(-1)) {
        t->SetInvisibility(def_.Duration);
        Sound(712);
        End();
      }
      return;
    case 86:
      Illusion();
      return;
    case 87:
      if (CCreature* t = Target()) Hurt(*t, e_.params[w::kStartX]);
      e_.SeekNextTarget(e_.params[w::kTarget]);
      End();
      return;
    case 93:
    case 94:
    case 95:
    case 96:
      CreatureShot();
      return;
    case 97:
    case 101:
      if (Caster() && Target()) Caster()->ResolveMissileHit(e_.params[w::kTarget]);
      return;
    case 98:
      ArcaneBolt();
      return;
    case 99:
      Sound(kHitSound);
      if (Target()) {
        CreatureShot();
        return;
      }
      e_.DamageTarget(def_.Damage);
      if (!e_.active) return;
      if (e_.cell && e_.cell->terrain != 0) {
        const int before = e_.kind;
        MaybeCatchFire();
        if (e_.kind != before) return;
      }
      End();  // a bolt that set nothing alight is spent, not left hitting the wall each frame
      return;
    case 102:
      if (CCreature* t = Target()) {
        t->StartPestFlies();
        End();
        return;
      }
      e_.DamageTarget(def_.Damage);
      if (e_.active) e_.SetKind(kMissileImpactKind);
      return;
    case 35:
      Wall();
      return;
    case 65:
    case 69:
    case 70:
    case 91:
    case 92:
      Totem();
      return;
    case 68:
      FrostBreath();
      return;
    case 75:
      Earthquake();
      return;
    default:  // the spells that do nothing on arrival
      return;
  }
}

}  // namespace

void CEffect::DeliverSpell() { Delivery(*this).Run(); }
