// The kinds' set-up: each kind's initial state (animation and print type, counters,
// anchoring on a creature or a cell, opening sound, list memberships and companions). Setting
// a kind undoes nothing of the kind before it.
#include <cmath>
#include <numbers>

#include "core/Options.h"
#include "creatures/CreatureType.h"
#include "magic/EffectBattle.h"
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/MoveQuery.h"
#include "map/TerrainAnimation.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kFullHeight = kUnitsPerLevel;
constexpr int kCountdownCellAnimation = 19;
constexpr int kGoalMarkerKind = 43;

bool IsFullHeight(const CTerrainType& type) { return type.groundHeight >= kFullHeight; }

// The entry a kind-19 flash shows for its spell.
int FlashEntry(int spell) {
  switch (spell) {
    case 68:
      return 89;
    case 93:
    case 98:
      return 40;
    case 94:
      return 76;
    case 96:
      return 77;
    case 99:
      return 11;
    case 102:
      return 97;
    default:
      return 29;
  }
}

// Fire shows a lower flame on terrain with fewer solid voxels in a quarter level.
int FlameOffset(int voxels) { return voxels < 5 ? 3 : voxels < 20 ? 2 : voxels < 48 ? 1 : 0; }

}  // namespace

void CEffect::SetKind(int newKind) {
  kind = newKind;
  if (newKind >= 0 && newKind <= effect_kind::kMaxKind) SetUpKind();
}

// --- shared steps ---------------------------------------------------------------------------

void CEffect::TrajectoryStart() {
  StartTrajectory(params[w::kSourceX], params[w::kSourceY], params[w::kSourceZ], params[w::kTargetX],
                  params[w::kTargetY], params[w::kTargetZ]);
  StartEntry(GetAniIndex(), 0);
  state[s::kCounter] = SpellRecord(params[w::kSpell]).Duration;
}

void CEffect::LineStart() {
  stepper.Reset();
  stepper.StartWrappedScaled(params[w::kSourceX], params[w::kSourceY], params[w::kSourceZ], params[w::kTargetX],
                             params[w::kTargetY], params[w::kTargetZ], &state[s::kDistance], kUnitsPerTile);
}

void CEffect::HeadingAnimation() {
  state[s::kViewHeading] = (state[s::kHeading] - 4 * EffectViewRotation()) & 15;
  StartEntry(GetAniIndex(), state[s::kViewHeading]);
}

void CEffect::AnchorOn(int word) { creature = CreatureOfWord(word); }

void CEffect::CellCentre(bool onGround) {
  x = cellX * kUnitsPerTile + kUnitsPerTile / 2;
  y = cellY * kUnitsPerTile + kUnitsPerTile / 2;
  z = cellLevel * kUnitsPerLevel;
  if (onGround && cell && cell->terrain != 0) z += terrainType->groundHeight;
}

void CEffect::GroundLevel() {
  if (cell && cell->terrain != 0) z = terrainType->groundHeight + cellLevel * kUnitsPerLevel;
}

void CEffect::ReactCreature() {
  EffectCreature info;
  if (creature >= 0 && g_effectWorld->GetCreature(creature, info) && info.health != 0)
    g_effectWorld->PlayEffectReaction(creature);
}

// A path marker over open air holds a partner (kind 87) in a reserved record; the marker
// settles on the ground and shows the sequence after its own.
void CEffect::CompanionOnReservedRecord(int entry, int marker) {
  params[w::kValue] = marker;
  if (CEffect* partner = owner ? owner->AllocateReservedEffect() : nullptr) {
    partner->Activate(87, params);
    params[w::kKindMode] = 2;
    params[w::kCompanionFlag] = 1;
    params[w::kCompanion] = partner->index;
  }
  SettleOnGround();
  if (active) StartEntry(entry, 1);
}

void CEffect::StartObjectLook(bool atDataWord) {
  const int type = params[w::kSpell];
  if (type < 0 || type >= g_effectWorld->ObjectTypeCount()) {
    Deactivate();
    return;
  }
  const int entry = g_effectWorld->ObjectAniEntry(type);
  const EffectAniEntry* e = owner ? owner->AniEntry(entry) : nullptr;
  if (!atDataWord || !e) {
    StartEntry(entry, 0);
    return;
  }
  StartEntry(entry, e->data - e->animation);
}

// --- the kinds with more to them -----------------------------------------------------------

void CEffect::SetUpFire() {
  if (!CheckSupport()) {
    Deactivate();
    return;
  }
  CellCentre(false);
  cell->state |= state_bits::kField10;
  const bool inside = cellLevel + 1 < g_map.levels;
  if (IsFullHeight(*terrainType) && inside) {
    CMapCell& above = g_map.CellAt(cellX, cellY, cellLevel + 1);
    if (!IsFullHeight(TerrainOf(above))) above.state |= state_bits::kField10;
  }
  const CSpellDefinition& spell = SpellRecord(params[w::kSpell]);
  state[s::kCounter] = terrainType->burnValue;
  state[s::kCounter2] = spell.SpellStrength;
  state[s::kCounter3] = spell.Damage;
  if (inside) {
    const uint16_t standing = g_map.CellAt(cellX, cellY, cellLevel + 1).occupant;
    if (standing != kNoLink) g_effectWorld->Ignite(standing);
  }
  StartEntry(6, FlameOffset(terrainType->MaxVoxelsPerLevel()));
}

void CEffect::SetUpTrap() {
  if (!cell || (cell->state & state_bits::kField20)) {
    Deactivate();
    return;
  }
  EffectCreature info;
  if (cell->occupant != kNoLink && g_effectWorld->GetCreature(cell->occupant, info)) {
    creature = cell->occupant;
    g_effectWorld->Trap(creature);
    if (info.footprint == 2) {
      if (params[w::kCompanionCount] != 3) AttachCompanions(false);
    } else if (info.moving) {
      PlaceInCell(WrapInto(info.routeX, g_map.width), WrapInto(info.routeY, g_map.height), info.routeLevel, true);
    }
  }
  if (cell) cell->state |= state_bits::kField20;
  CellCentre(true);
  state[s::kCounter] = params[w::kSpeed];
  state[s::kCounter2] = SpellRecord(params[w::kSpell]).Data1;
  StartEntry(41, 0);
}

void CEffect::SetUpCountdown() {
  params[w::kKindMode] = 2;
  if (CEffect* beacon = owner ? owner->AllocateEffect() : nullptr) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, x, y, (cellLevel + 1) * kUnitsPerLevel);
    beacon->Activate(78, block);
    params[w::kCompanionFlag] = 1;
    params[w::kStartY] = beacon->index;
  }
  g_effectBattle->AddScannerMarker(cellX, cellY, cellLevel);
  animPlayer.Stop();
  if (cell) g_map.AnimateCell(cell, kCountdownCellAnimation, TerrainAnimation(), 0);
  state[s::kCounter] = params[w::kValue];
  if (state[s::kCounter] != -1) g_effectBattle->StartCountdown(state[s::kCounter]);
  state[s::kCounter2] = 0;
  g_effectSounds->PlayUnpositioned(1044, &sound, 1);
}

void CEffect::SetUpSummoning(bool wizard) {
  const int spell = params[w::kSpell];
  const bool made = PlaceSummon(spell) && (wizard ? SummonWizard() : CreateSummonedCreature(spell, 0));
  if (made) {
    SetKind(8);
    return;
  }
  ReportFailedSummon();
  // The failed summoning gives back what its cast took, by the fizzle's rule.
  Fizzle();
  Deactivate();
}

// --- the catalogue ---------------------------------------------------------------------------

void CEffect::SetUpKind() {
  const int spell = params[w::kSpell];
  switch (kind) {
    case 0:
      LineStart();
      ComputeHeading16();
      HeadingAnimation();
      break;
    case 1:
    case 2:
      TrajectoryStart();
      break;
    case 3:
      if (spell == 73) g_effectSounds->PlayAt(710, cellX, cellY, &sound, 1);
      TrajectoryStart();
      break;
    case 4: {
      const float vx = params.Float(w::kVelocityX), vy = params.Float(w::kVelocityY);
      float angle = std::atan2(vx, -vy);
      if (angle < 0) angle += 2 * std::numbers::pi_v<float>;
      state[s::kHeading] = static_cast<int>(std::floor(0.5f + 8 * angle / std::numbers::pi_v<float>)) % 16;
      HeadingAnimation();
      break;
    }
    case 5:
    case 6:
    case 66:
    case 72:
    case 73:
    case 74:
    case 76:
    case 77:
    case 80:
      StartEntry(GetAniIndex(), 0);
      break;
    case 7:
      LineStart();
      StartEntry(GetAniIndex(), 0);
      break;
    case 8:
      StartEntry(GetAniIndex(), 0);
      if (g_map.LightAt(cellX, cellY, cellLevel) > g_ambientLight)
        g_effectSounds->PlayAt(726, cellX, cellY, nullptr, 0);
      break;
    case 9:
    case 31:
    case 32:
      if (spell == 75) {
        g_effectSounds->PlayAt(729, cellX, cellY, &sound, 1);
        if (owner) owner->PushFront(kListSpell75, index);
      } else if (spell == 88 && owner) {
        owner->PushFront(kListSpell88, index);
      } else if (spell == 34 && owner) {
        owner->PushFront(kListSpell34, index);
      }
      animPlayer.Stop();
      state[s::kCounter] = SpellRecord(spell).Duration;
      break;
    case 10: {
      StartEntry(52, 0);
      const int frames = EffectBattleDraw(__LINE__) % 8;
      for (int i = 0; i < frames; ++i) animPlayer.RunToFrame();
      state[s::kCounter] = SpellRecord(77).Duration;
      break;
    }
    case 11:
      animPlayer.Stop();
      if (spell == 58) SetKind(effect_kind::kFire);
      break;
    case 12:
      StartEntry(12, 0);
      break;
    case 13:
      x = cellX * kUnitsPerTile + 16;
      y = cellY * kUnitsPerTile + 16;
      z = cellLevel * kUnitsPerLevel + 8;
      StartEntry(1, 0);
      break;
    case effect_kind::kFire:
      SetUpFire();
      break;
    case 17:
      SettleOnGround();
      if (!active) break;
      g_effectSounds->PlayAt(1029, cellX, cellY, &sound, 1);
      StartEntry(62, 0);
      break;
    case 18:
      StartEntry(50, 0);
      break;
    case 19:
      StartEntry(FlashEntry(spell), 0);
      break;
    case 20:
      StartEntry(64, params[w::kValue]);
      break;
    case 21:
    case 48:
      animPlayer.Stop();
      g_effectSounds->PlayAt(903, cellX, cellY, nullptr, 0);
      state[s::kCounter] = 0;
      state[s::kCounter3] = SpellRecord(72).SpellStrength;
      if (kind == 21 && params[w::kTarget] == -1) {
        FeedFlame();
      } else if (params[w::kTarget] != -1) {
        AnchorOn(w::kTarget);
        ReactCreature();
      }
      break;
    case 22:
      FollowCreatureAt(params[w::kTarget], 0);
      StartEntry(39, 0);
      break;
    case effect_kind::kFallingBlock:
      SetSequence(1);
      break;
    case 24:
      animPlayer.Stop();
      state[s::kCounter] = 4;
      state[s::kCounter3] = 3;
      SettleWall(1);
      break;
    case 25:
      SetUpTrap();
      break;
    case effect_kind::kTrap:
      StartEntry(43, EffectBattleDraw(__LINE__) % 3);
      break;
    case effect_kind::kTrapEnding:
      StartEntry(42, 0);
      break;
    case 28:
    case 29:
      StartEntry(spell, 0);
      AnchorOn(w::kCreature);
      break;
    case 30: {
      animPlayer.Stop();
      EffectCreature target;
      const int c = CreatureOfWord(w::kTarget);
      if (c < 0 || !g_effectWorld->GetCreature(c, target)) {
        Deactivate();
        break;
      }
      const uint32_t drop = static_cast<uint32_t>(target.heightOffset - params[w::kSourceZ] + g_map.levels * 16);
      state[s::kCounter] = static_cast<int>(drop / 12) + g_indirectSpellParticlePeriod;
      break;
    }
    case effect_kind::kAffectsTile:
      animPlayer.Stop();
      state[s::kCounter] = 0;
      if (owner) owner->PushFront(kListTotems, index);
      break;
    case 34:
      animPlayer.Stop();
      break;
    case 35:
      g_effectSounds->PlayAt(720, cellX, cellY, nullptr, 0);
      TrajectoryStart();
      break;
    case 36:
      g_effectSounds->PlayAt(1013, cellX, cellY, nullptr, 0);
      StartEntry(56, 0);
      break;
    case 37:
      StartEntry(57, 0);
      break;
    case 38:
      StartEntry(61, spell);
      AnchorOn(w::kCreature);
      break;
    case 39:
    case 88:
      StartObjectLook(true);
      break;
    case 40:
    case 58:
    case 87:
      StartEntry(params[w::kValue], 0);
      break;
    case 41:
      SetUpSummoning(false);
      break;
    case 42:
      animPlayer.Stop();
      g_effectSounds->PlayAt(754, cellX, cellY, nullptr, 0);
      break;
    case kGoalMarkerKind:
      GroundLevel();
      StartEntry(60, 0);
      AnchorOn(w::kCreature);
      if (creature >= 0 && g_effectWorld->FliesWithoutSupport(creature)) CompanionOnReservedRecord(60, 66);
      break;
    case 44:
      animPlayer.Stop();
      state[s::kCounter] = params[w::kStartZ];
      break;
    case 45:
      StartEntry(spell == -1 ? 54 : GetAniIndex(), 0);
      break;
    case 46:
      animPlayer.Stop();
      g_effectSounds->PlayAt(910, cellX, cellY, nullptr, 0);
      if (params[w::kTarget] != -1) {
        AnchorOn(w::kTarget);
        ReactCreature();
      }
      break;
    case 47:
      g_effectSounds->PlayAt(731, cellX, cellY, nullptr, 0);
      FollowCreature(params[w::kTarget]);
      StartEntry(23, 0);
      break;
    case 51: {
      AnchorOn(w::kTarget);
      if (creature < 0) {
        Deactivate();
        break;
      }
      FollowCreatureAt(params[w::kCreature], 0);
      state[s::kCounter3] = ComputeHeading8();
      StartEntry(44, state[s::kCounter3]);
      state[s::kSeen] = 1;
      break;
    }
    case effect_kind::kCreatureEcho: {
      AnchorOn(w::kCreature);
      EffectCreature info;
      if (creature < 0 || !g_effectWorld->GetCreature(creature, info)) {
        Deactivate();
        break;
      }
      FollowCreatureAt(creature, 0);
      state[s::kCounter3] = info.viewFacing;
      StartEntry(45, info.viewFacing);
      break;
    }
    case 53:
      StartEntry(8, 0);
      break;
    case 54:
      StartEntry(9, 0);
      break;
    case 55: {
      AnchorOn(w::kCreature);
      EffectCreature info;
      if (creature >= 0 && g_effectWorld->GetCreature(creature, info))
        g_effectSounds->PlayAt(1022, info.cellX, info.cellY, nullptr, 0);
      StartEntry(10, 0);
      break;
    }
    case 56:
      animPlayer.Stop();
      state[s::kCounter] = state[s::kCounter3] = 0;
      break;
    case 57:
      StartTrajectory(params[w::kSourceX], params[w::kSourceY], params[w::kSourceZ], params[w::kTargetX],
                      params[w::kTargetY], params[w::kTargetZ]);
      StartEntry(65, 0);
      break;
    case 59:
      StartEntry(67, 0);
      break;
    case 60:
      StartEntry(52, 0);
      break;
    case 61:
      StartObjectLook(false);
      if (active) SetSequence(1);
      break;
    case 62: {
      // A free place for a wizard near the cell.
      const CCreatureType& wizard = g_creatureTypes[0];
      CMoveQuery query;
      query.height = wizard.TileHeight;
      query.size = wizard.TileSizeXY;
      query.flying = static_cast<uint8_t>(wizard.CanFly != 0);
      query.airborne = wizard.CanFly;
      int cx = WrapInto(cellX, g_map.width), cy = WrapInto(cellY, g_map.height), level = cellLevel;
      if (g_map.FindFreePositionNear(-1, query, cx, cy, level)) PlaceInCell(cx, cy, level, true);
      CellCentre(false);
      SetUpCountdown();
      break;
    }
    case 63:
      StartEntry(68, params[w::kValue]);
      break;
    case 64:
      SetUpSummoning(true);
      break;
    case 65:
      SetUpCountdown();
      break;
    case 67:
      FollowCreatureAt(params[w::kTarget], 0);
      StartEntry(32, 0);
      break;
    case 68:
      FollowCreatureAt(params[w::kTarget], -2);
      StartEntry(33, 0);
      break;
    case 69:
      StartEntry(58, 0);
      break;
    case 70:
      GroundLevel();
      StartEntry(80, 0);
      if (params[w::kValue] != 0) CompanionOnReservedRecord(80, 81);
      break;
    case 71: {
      constexpr int kLooks[3] = {20, 21, 13};
      const int look = EffectBattleDraw(__LINE__) % 3;
      params[w::kValue] = look;
      StartEntry(kLooks[look], 0);
      break;
    }
    case 75:
      GroundLevel();
      break;
    case 78:
      StartEntry(95, 0);
      break;
    case 79:
      StartTrajectory(params[w::kSourceX], params[w::kSourceY], params[w::kSourceZ], params[w::kTargetX],
                      params[w::kTargetY], params[w::kTargetZ]);
      animPlayer.Stop();
      g_effectSounds->PlayAt(729, cellX, cellY, nullptr, 0);
      break;
    case 81: {
      if (params[w::kCreature] != -1) AnchorOn(w::kCreature);
      float dx = 0, dy = 0;
      EffectCreature caster;
      if (params[w::kMode] == 4) {
        dx = static_cast<float>(WrappedDelta(params[w::kTargetX], params[w::kSourceX], g_map.width * kUnitsPerTile));
        dy = static_cast<float>(WrappedDelta(params[w::kTargetY], params[w::kSourceY], g_map.height * kUnitsPerTile));
      } else if (CreatureOfWord(w::kCreature) >= 0 && g_effectWorld->GetCreature(params[w::kCreature], caster)) {
        dx = static_cast<float>(WrappedDelta(cellX, caster.cellX, g_map.width));
        dy = static_cast<float>(WrappedDelta(cellY, caster.cellY, g_map.height));
      }
      state[s::kHeading] = DirectionFromVector(dx, dy);
      StartEntry(72, (state[s::kHeading] - 2 * EffectViewRotation()) & 7);
      break;
    }
    case effect_kind::kDigit:
      GroundLevel();
      StartEntry(spell, params[w::kValue]);
      break;
    case 84:
      if (cellLevel + 1 < g_map.levels) {
        PlaceInCell(cellX, cellY, cellLevel + 1, true);
        z += kUnitsPerLevel;
      }
      StartEntry(88, 0);
      break;
    case effect_kind::kShortLived:
      CellCentre(true);
      StartEntry(params[w::kValue], 0);
      break;
    default:  // 15, 16, 49, 50, 86: nothing
      break;
  }
}
