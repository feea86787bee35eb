// One battle frame of an effect: a dispatch on its kind, then the common tail that lets a
// falling effect fall. Each kind combines the motion primitives with its animation and the
// delivery of its spell.
#include <algorithm>

#include "core/Options.h"
#include "core/Random.h"
#include "magic/EffectBattle.h"
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectSounds.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "magic/ParticleFactory.h"
#include "magic/ParticleManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr int kEnded = 1;  // what CAnimPlayer::Advance answers at the end of a sequence
constexpr int kEvent = 2;
constexpr int kFullHeight = kUnitsPerLevel;
constexpr uint8_t kTypeFlagIndestructibleByFire = 0x20;
constexpr int kLastWord = CEffectParams::kWords - 1;
const int kAmber[3] = {255, 191, 0};

bool IsFullHeight(const CTerrainType& type) { return type.groundHeight >= kFullHeight; }

int CosmeticDraw(int n) { return n > 0 ? static_cast<int>(g_viewRandom.Next() & 0x7FFFFFFFu) % n : 0; }

// The eight steps of the kinds that extend in a direction (0 toward -y, then clockwise).
constexpr int kDirectionDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDirectionDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

}  // namespace

void CEffect::Update() {
  if (!active) return;
  UpdateKind();
  UpdateTail();
}

// --- the terms of the kinds ------------------------------------------------------------------

void CEffect::Trail(const int colour[3]) {
  for (int i = 0; i < g_spellCastParticlesPerFrame; ++i) {
    const int px = x + CosmeticDraw(3) - 1, py = y + CosmeticDraw(3) - 1, pz = z + CosmeticDraw(3) - 1;
    g_particleManager.Add(g_particleFactory->MakeSpellSpark(px, py, pz, colour));
  }
}

void CEffect::TrailByAlignment() {
  const int alignment = std::clamp(SpellRecord(params[w::kSpell]).Alignment, 0, 2);
  Trail(&g_spellCastColour[3 * alignment]);
}

void CEffect::Watch(int c) {
  EffectCreature info;
  state[s::kSeen] = c >= 0 && c < kEffectCreatureCount && g_effectWorld->GetCreature(c, info) && info.seenByLocal;
}

bool CEffect::EndUnlessAlive(int c) {
  EffectCreature info;
  if (c >= 0 && c < kEffectCreatureCount && g_effectWorld->GetCreature(c, info) && info.health != 0) return false;
  Deactivate();
  return true;
}

void CEffect::StartCopy(int newKind) {
  if (CEffect* next = owner ? owner->AllocateEffect() : nullptr) next->Activate(newKind, params);
}

// Advances; a sequence that ended starts again. Answers the last result.
int CEffect::LoopAnimation() {
  int result = animPlayer.Advance();
  // A sequence that ends at once would restart forever: once is enough.
  for (int guard = 0; result == kEnded && guard < 2; ++guard) {
    if (!animPlayer.Restart()) break;
    result = animPlayer.Advance();
  }
  return result;
}

// A companion named by index ends, by its kind when asked; only while it is active.
void CEffect::EndCompanion(int effect, bool byKind) {
  CEffect* other = owner ? owner->At(effect) : nullptr;
  if (!other || other == this || !other->active) return;
  if (!byKind) {
    other->Deactivate();
    return;
  }
  switch (other->kind) {
    case effect_kind::kTrap:
      other->SetKind(effect_kind::kTrapEnding);
      break;
    case 39:
      other->FollowCreature(params[w::kCreature]);
      other->animPlayer.loopBreak = 1;
      break;
    case effect_kind::kFire:
    case 40:
    case 58:
      other->animPlayer.loopBreak = 1;
      break;
    default:
      other->Deactivate();
      break;
  }
}

// --- the kinds with more to them -------------------------------------------------------------

void CEffect::UpdateRicochet() {
  const int result = Travel(1);
  const int before = state[s::kCounter]--;
  if (result == kMotionBlocked) {
    params[w::kCreature] = -1;
    Ricochet(1);
    return;
  }
  if (result == kMotionHitCreature) {
    EffectCreature hit, after;
    const int c = CreatureOfWord(w::kTarget);
    if (c < 0 || !g_effectWorld->GetCreature(c, hit)) return;
    DamageTarget(SpellRecord(params[w::kSpell]).Damage);
    g_effectWorld->SetLastAttacker(c, params[w::kStartY] + 1, 100);
    params[w::kCreature] = params[w::kTarget];
    if (g_effectWorld->GetCreature(c, after) && after.health < hit.health && after.seenByLocal)
      g_effectWorld->EmitBlood(c, hit.health - after.health);
    return;
  }
  if (result == kMotionLeftMap || before < 2) {
    Deactivate();
    return;
  }
  if (result == kMotionGoing) TrailByAlignment();
  LoopAnimation();
  if (params[w::kSpell] == 73) g_effectSounds->UpdateLoopPosition(sound, cellX, cellY);
}

void CEffect::UpdateThrown() {
  const int spell = params[w::kSpell];
  const int result = StepBallistic();
  if (spell == 93 || spell == 95 || spell == 98) {
    const EffectAniEntry* entry = owner ? owner->AniEntry(GetAniIndex()) : nullptr;
    if (entry) animPlayer.Start(entry->animation + 16 * params[w::kValue] + state[s::kViewHeading], 0);
  }
  if (result == kMotionLeftMap || result == kMotionOutOfRange) {
    Deactivate();
    return;
  }
  if (result == kMotionHitCreature || result == kMotionBlocked) DeliverSpell();
  if (!active) return;
  if (spell == 93 || spell == 94 || spell == 96 || spell == 98 || spell == 102) {
    // A small flash where the missile was a moment ago.
    CEffectParams flash;
    flash.SetPoint(w::kSourceX, state[s::kLastPosition], state[s::kLastPosition + 1], state[s::kLastPosition + 2]);
    flash[w::kCreature] = params[w::kCreature];
    flash[w::kSpell] = spell;
    if (CEffect* next = owner ? owner->AllocateEffect() : nullptr) next->Activate(19, flash);
  }
  LoopAnimation();
}

void CEffect::BurnOut() {
  if (cell) {
    cell->state &= static_cast<uint16_t>(~state_bits::kField10);
    if (IsFullHeight(*terrainType) && cellLevel + 1 < g_map.levels) {
      CMapCell& above = g_map.CellAt(cellX, cellY, cellLevel + 1);
      if (!IsFullHeight(TerrainOf(above))) above.state &= static_cast<uint16_t>(~state_bits::kField10);
    }
    if (!(terrainType->typeFlags & kTypeFlagIndestructibleByFire) && state[s::kCounter] < 1 && cell->terrain != 0)
      cell->Damage(255);
  }
  if (active) Deactivate();
}

void CEffect::UpdateFire() {
  const CSpellDefinition& spell = SpellRecord(params[w::kSpell]);
  const int roll = EffectBattleDraw(__LINE__) % 99;
  const int burnt = state[s::kCounter]--;
  if (burnt == 0 || roll + 1 < spell.Duration) {
    animPlayer.loopBreak = 1;
  } else {
    if (state[s::kCounter2]-- <= 0) {
      state[s::kCounter2] = spell.SpellStrength;
      TrySpread();
    }
    if (state[s::kCounter3]-- <= 0) DeliverSpell();
    if (!active) return;
  }
  const int result = animPlayer.Advance();
  if (result == kEnded) {
    BurnOut();
  } else if (result == kEvent) {
    const int more = 1 + EffectBattleDraw(__LINE__) % 19;
    for (int i = 0; i < more; ++i) animPlayer.Advance();
  }
}

int CEffect::TrySpread() {
  if (!cell || !g_map.cells) return 0;
  if (cellLevel + 1 < g_map.levels) {
    const CMapCell& above = g_map.CellAt(cellX, cellY, cellLevel + 1);
    if (above.terrain != 0 && !(above.state & state_bits::kField10)) return above.terrain;
  }
  // The four side neighbours, in the table's order.
  constexpr int kSides[4][2] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}};
  const int side = EffectBattleDraw(__LINE__) % 4;
  const int nx = WrapInto(cellX + kSides[side][0], g_map.width), ny = WrapInto(cellY + kSides[side][1], g_map.height);
  for (int dz = 0; dz >= -2; --dz) {
    const int level = cellLevel + dz;
    if (level < 0 || level >= g_map.levels) continue;
    const CMapCell& next = g_map.CellAt(nx, ny, level);
    if (next.terrain == 0 || (next.state & state_bits::kField10)) continue;
    const int roll = EffectBattleDraw(__LINE__) % 99 + 1;
    if (roll < TerrainOf(next).ignition) {
      CEffectParams copy = params;
      copy.SetPoint(w::kSourceX, nx * kUnitsPerTile + 16, ny * kUnitsPerTile + 16, level * kUnitsPerLevel);
      if (CEffect* fire = owner ? owner->AllocateEffect() : nullptr) fire->Activate(effect_kind::kFire, copy);
    }
    return next.terrain;
  }
  return 0;
}

void CEffect::UpdateCountdown() {
  if (state[s::kCounter] != -1) {
    --state[s::kCounter];
    g_effectBattle->SetCountdown(state[s::kCounter]);
  }
  if (state[s::kCounter] != 0) {
    TrapOnCell();
    return;
  }
  g_effectSounds->PlayAt(1042, cellX, cellY, nullptr, 0);
  if (cell) g_map.FinishCellAnimation(cell);
  g_effectBattle->EndWithDefeatMessage(2);
  const int beacon = params[w::kStartY];
  const CEffect* companion = owner ? owner->At(beacon) : nullptr;
  if (params[w::kCompanionFlag] == 1 && companion && companion->kind == 78) EndCompanion(beacon, true);
  g_effectBattle->RemoveScannerMarker(cellX, cellY, cellLevel);
  Deactivate();  // its looping sound stops with it
}

// --- the dispatch ------------------------------------------------------------------------------

void CEffect::UpdateKind() {
  const int spell = params[w::kSpell];
  const CSpellDefinition& def = SpellRecord(spell);
  switch (kind) {
    case 0:
    case 1:
    case 2: {
      const int result = Travel(1);
      if (result == kMotionLeftMap || result == kMotionOutOfRange) {
        Deactivate();
        break;
      }
      if (result == kMotionGoing) {
        if (kind == 2)
          Trail(kAmber);
        else
          TrailByAlignment();
      } else {
        DeliverSpell();
      }
      if (kind == 2) StartCopy(19);
      if (active) LoopAnimation();
      break;
    }
    case 3:
      UpdateRicochet();
      break;
    case 4:
    case 5:
      UpdateThrown();
      break;
    case 6:
    case 7: {
      const int result = kind == 6 ? StepBallistic() : Travel(1);
      if (result == kMotionHitCreature || result == kMotionBlocked) {
        DeliverSpell();
      } else if (result == kMotionGoing) {
        TrailByAlignment();
        LoopAnimation();
      } else {
        Deactivate();
      }
      break;
    }
    case 8:
      if (animPlayer.Advance() == kEnded) DeliverSpell();
      break;
    case 9: {
      const int companions = std::clamp(params[w::kCompanionFlag], 0, kLastWord - w::kCompanion);
      if (state[s::kCounter] >= 1) {
        DeliverSpell();
        if (state[s::kCounter]-- == 1) state[s::kCounter3] = 0;
        g_effectSounds->UpdateLoopPosition(sound, cellX, cellY);
        break;
      }
      if (spell == 75) WobbleLinked();
      if (state[s::kCounter3] < companions) {
        EndCompanion(params[w::kCompanion + state[s::kCounter3]], false);
        ++state[s::kCounter3];
      } else {
        if (owner) owner->Remove(kListSpell75, index);
        Deactivate();
      }
      break;
    }
    case 10:
      if (state[s::kCounter]-- == 1) animPlayer.loopBreak = 1;
      if (animPlayer.Advance() == kEnded) Deactivate();
      break;
    case 11:
    case 32:
    case effect_kind::kAffectsTile:
      DeliverSpell();
      break;
    case 12:
      if (animPlayer.Advance() == kEnded) {
        if (cell && cell->terrain != 0) cell->Damage(def.Damage);
        Deactivate();
      }
      break;
    case 13:
    case 19:
    case 20:
    case 40:
    case 47:
    case 53:
    case 58:
    case 59:
    case 63:
    case 78:
    case 87:
      if (animPlayer.Advance() == kEnded) Deactivate();
      break;
    case effect_kind::kFire:
      UpdateFire();
      break;
    case 17: {
      const int standing = cell && cell->occupant != kNoLink ? cell->occupant : -1;
      if (standing != params[w::kCreature]) animPlayer.loopBreak = 1;
      Watch(standing);
      if (g_noLightSources) state[s::kSeen] = 1;
      if (animPlayer.Advance() == kEnded)
        Deactivate();
      else
        g_effectSounds->UpdateLoopPosition(sound, cellX, cellY);
      break;
    }
    case 18: {
      const int result = animPlayer.Advance();
      if (result == kEnded) {
        Deactivate();
      } else if (result == kEvent) {
        g_effectSounds->PlayAt(34, cellX, cellY, nullptr, 0);
        DeliverSpell();
      }
      break;
    }
    case 21:
    case 48: {
      const int before = state[s::kCounter]--;
      if (before != 0) {
        if (state[s::kCounter3] == 0) DeliverSpell();
        break;
      }
      if (kind == 21 ? state[s::kCounter3] < 1 : state[s::kCounter3] < 0) {
        if (state[s::kCounter3] == 0) DeliverSpell();
        break;
      }
      if (kind == 21) {
        StartBolt();
      } else {
        EffectCreature target;
        if (creature >= 0 && g_effectWorld->GetCreature(creature, target) && target.seenByLocal)
          StartBeam(0, 3, 0, 0, 4, 32);
      }
      state[s::kCounter] = SpellRecord(72).Duration;
      --state[s::kCounter3];
      break;
    }
    case 22: {
      const int result = animPlayer.Advance();
      if (result == kEnded)
        Deactivate();
      else if (result == kEvent)
        RandomStrike();
      break;
    }
    case 24:
      if (state[s::kCounter]-- < 2) {
        state[s::kCounter] = 3;
        SettleWall(0);
      }
      if (state[s::kCounter3] == 0) Deactivate();
      break;
    case 25:
      if (animPlayer.Advance() == kEnded) SetKind(effect_kind::kTrap);
      break;
    case effect_kind::kTrap:
      if (state[s::kCounter]-- > 0) {
        const int result = animPlayer.Advance();
        if (result == kEnded)
          animPlayer.Restart();
        else if (result == kEvent)
          StartEntry(43, EffectBattleDraw(__LINE__) % 3);
        if (--state[s::kCounter2] < 1) DeliverSpell();
        if (active && cell && cell->occupant != kNoLink) g_effectWorld->Trap(cell->occupant);
      } else {
        SetKind(effect_kind::kTrapEnding);
        state[s::kCounter] = 999;
      }
      break;
    case effect_kind::kTrapEnding:
      if (animPlayer.Advance() != kEnded) break;
      if (params[w::kKindMode] == 2) {
        const int last = std::min(w::kCompanion + std::max(params[w::kCompanionCount], 0), kLastWord);
        for (int word = w::kCompanion; word <= last; ++word) {
          CEffect* other = owner ? owner->At(params[word]) : nullptr;
          if (!other || other == this || !other->active) continue;
          if (other->kind != 25 && other->kind != effect_kind::kTrap && other->kind != effect_kind::kTrapEnding)
            continue;
          other->params[w::kKindMode] = 1;
          if (other->cell) other->cell->state &= static_cast<uint16_t>(~state_bits::kField20);
          other->SetKind(effect_kind::kTrapEnding);
          other->state[s::kCounter] = 999;
        }
      }
      if (cell) cell->state &= static_cast<uint16_t>(~state_bits::kField20);
      Deactivate();
      break;
    case 28:
    case 29:
    case 38:
    case 39:
    case 55:
      UpdateFollower();
      break;
    case 30:
      if (--state[s::kCounter] < 1) DeliverSpell();
      break;
    case 31:
      DeliverSpell();
      if (state[s::kCounter]-- <= 0) {
        if (owner) owner->Remove(spell == 88 ? kListSpell88 : kListSpell34, index);
        if (active) Deactivate();
      }
      break;
    case 34:
      creature = CreatureOfWord(w::kTarget);
      StartBeam(params[w::kValue], 0, 0, 0, 0, 0);
      DeliverSpell();
      if (active) Deactivate();
      break;
    case 35: {
      const int result = Travel(1);
      if (result == kMotionBlocked) {
        SetKind(terrainType->typeFlags & 1 ? 37 : 36);
      } else if (result == kMotionLeftMap) {
        Deactivate();
      } else if (result == kMotionHitCreature) {
        DamageTarget(def.Damage);
        SetKind(36);
        if (params[w::kCreature] >= 0 && params[w::kTarget] >= 0)
          g_effectWorld->SetLastAttacker(params[w::kTarget], params[w::kCreature] + 1, 100);
      } else {
        LoopAnimation();
      }
      break;
    }
    case 36:
    case 37:
    case effect_kind::kDigit:
    case effect_kind::kShortLived:
      if (animPlayer.Advance() == kEnded) Deactivate();
      break;
    case 42:
      UpdateHealingBeam();
      break;
    case 43:
    case 70:
    case 75:
      LoopAnimation();
      break;
    case 44:
      if (--state[s::kCounter] < 1) SetKind(45);
      break;
    case 45:
      UpdateBlast();
      break;
    case 46: {
      StartBeam(2, 3, 0, 0, 4, 32);
      const int target = CreatureOfWord(w::kTarget);
      if (target >= 0) {
        g_effectWorld->TakeDamage(target, SpellRecord(70).Damage, state[s::kArmy], state[s::kItem0], state[s::kItem1]);
        g_effectWorld->MarkBeamed(target);
      }
      Deactivate();
      break;
    }
    case 51:
    case effect_kind::kCreatureEcho:
      FollowCreatureAt(params[w::kCreature], 0);
      if (kind == 52) {
        ChooseStrikeTarget();
        Watch(params[w::kCreature]);
        LoopAnimation();
        break;
      }
      switch (animPlayer.Advance()) {
        case kEvent:
          FireIfClear();
          break;
        case kEnded:
          SetKind(effect_kind::kCreatureEcho);
          break;
      }
      break;
    case 54:
      if (animPlayer.Advance() == kEnded) {
        const int32_t words[4] = {params[13], params[14], params[15], params[16]};
        g_effectWorld->CreateObject(spell, cellX, cellY, cellLevel, words);
        Deactivate();
      }
      break;
    case 56:
      if (state[s::kCounter]-- < 2) {
        DeliverSpell();
        state[s::kCounter] = SpellRecord(35).Duration;
      }
      break;
    case 57:
      UpdateThrownObject();
      break;
    case 60:
      LoopAnimation();
      if (!cell || g_effectWorld->CellObjectKind(cellX, cellY, cellLevel) < 0 ||
          g_effectWorld->CellObjectKind(cellX, cellY, cellLevel) == 50)
        Deactivate();
      break;
    case 62:
    case 65:
      UpdateCountdown();
      break;
    case 66:
    case 72:
    case 73:
    case 74:
    case 76:
    case 77:
    case 80:
      UpdateAttached();
      break;
    case 67:
    case 68:
      UpdateHold();
      break;
    case 69: {
      const int result = animPlayer.Advance();
      if (result == kEnded)
        Deactivate();
      else if (result == kEvent)
        ShootHostiles();
      break;
    }
    case 71: {
      const int result = StepBallistic();
      if (result != kMotionGoing) {
        Deactivate();
        break;
      }
      const int look = std::clamp(params[w::kValue], 0, 2);
      Trail(&g_spellCastColour[3 * look]);
      LoopAnimation();
      break;
    }
    case 79: {
      const int result = Travel(1);
      if (result == kMotionHitCreature || result == kMotionGoing)
        StartCopy(19);
      else
        Deactivate();
      break;
    }
    case 81: {
      const int result = animPlayer.Advance();
      if (result == kEnded) {
        Deactivate();
      } else if (result == kEvent) {
        const int d = state[s::kHeading] & 7, reach = def.Duration * kUnitsPerTile;
        params.SetPoint(w::kTargetX, params[w::kSourceX] + kDirectionDx[d] * reach,
                        params[w::kSourceY] + kDirectionDy[d] * reach, params[w::kSourceZ]);
        params[w::kSpeed] = 25;
        StartCopy(79);
        DeliverSpell();
      }
      break;
    }
    case 84: {
      const int result = animPlayer.Advance();
      if (result == kEvent) {
        EndCompanion(params[w::kCompanion], false);
        params[w::kSourceZ] = params[w::kTargetZ] = z;
        StartCopy(81);
      } else if (result == kEnded) {
        Deactivate();
      }
      break;
    }
    case 88:
      FollowCreatureTop(params[w::kCreature]);
      if (animPlayer.Advance() == kEvent) Deactivate();
      break;
    default:  // 15, 16, 23, 41, 49, 50, 61, 64, 83, 86 and kinds past the catalogue: only the tail
      break;
  }
}

// Kinds 28, 29, 38, 39 and 55 ride on the top of their creature while it lives.
void CEffect::UpdateFollower() {
  const int owner6 = params[w::kCreature];
  if (EndUnlessAlive(owner6)) return;
  FollowCreatureTop(owner6);
  Watch(owner6);
  const int result = animPlayer.Advance();
  switch (kind) {
    case 28:
      if (result == kEnded) Deactivate();
      break;
    case 29:
      if (result != kEnded) break;
      g_effectWorld->GiveCellObject(owner6, cellX, cellY, cellLevel);
      Deactivate();
      break;
    case 38:
      if (result == kEnded) {
        Deactivate();
      } else if (result == kEvent) {
        EffectCreature info;
        g_effectWorld->AdjustHealth(owner6, params[w::kSpeed], state[s::kArmy], state[s::kItem0], state[s::kItem1]);
        if (g_effectWorld->GetCreature(owner6, info))
          g_effectSounds->PlayAt(params[w::kSpell] == 4 ? 1028 : 1027, info.cellX, info.cellY, nullptr, 0);
      }
      break;
    case 39:
      if (result == kEvent) {
        CEffect* next = owner ? owner->AllocateEffect() : nullptr;
        if (!next) {
          animPlayer.loopBreak = 1;
        } else {
          CEffectParams copy = params;
          copy[w::kValue] = index;
          next->Activate(55, copy);
        }
      } else if (result == kEnded) {
        // The item lands by the creature its companion carried it to (the wizard), or by its
        // own creature when it flew nowhere; landing by the carrier again would send it off
        // once more, round and round.
        const int receiver = creature >= 0 ? creature : owner6;
        int fx = 0, fy = 0, fl = 0;
        EffectCreature info;
        if (g_effectWorld->FindFreeCellNearby(receiver, fx, fy, fl)) {
          const int32_t words[4] = {params[13], params[14], params[15], params[16]};
          g_effectWorld->CreateObject(params[w::kSpell], fx, fy, fl, words);
          if (g_effectWorld->GetCreature(receiver, info) && info.cellX == fx && info.cellY == fy && info.level == fl)
            g_effectWorld->GiveCellObject(receiver, fx, fy, fl);
        }
        Deactivate();
      }
      break;
    case 55:
      if (result == kEnded) {
        CEffect* other = owner ? owner->At(params[w::kValue]) : nullptr;
        if (other && other != this && other->active) {
          other->creature = creature;  // the creature it reached
          EndCompanion(params[w::kValue], true);
        }
        Deactivate();
      } else if (result == kEvent) {
        if (params[w::kTarget] != owner6) {
          FollowCreature(params[w::kTarget]);
          creature = CreatureOfWord(w::kTarget);
        } else {
          EffectCreature info;
          const int wizard = g_effectWorld->GetCreature(owner6, info) ? g_effectWorld->WizardOf(info.army) : -1;
          if (wizard < 0) {
            Deactivate();
          } else {
            FollowCreature(wizard);
            creature = wizard;
          }
        }
      }
      break;
  }
}

void CEffect::UpdateHealingBeam() {
  StartBeam(3, 3, 0, 0, 4, 32);
  const int target = CreatureOfWord(w::kTarget);
  EffectCreature info;
  if (target >= 0 && g_effectWorld->GetCreature(target, info)) {
    g_effectWorld->AdjustHealth(target, SpellRecord(params[w::kSpell]).Damage, state[s::kArmy], state[s::kItem0],
                                state[s::kItem1]);
    SpawnCreatureParticles(target);
    if (info.pestered) {
      const int roll = EffectBattleDraw(__LINE__) % 100;
      const int64_t strength = SpellRecord(65).SpellStrength;
      const int64_t sum = info.pestResistance + strength;
      const int64_t chance = sum == 0 ? 0 : strength * 100 / sum;
      if (chance < roll) g_effectWorld->StopPestFlies(target);
    }
  }
  Deactivate();
}

// A blast's hit on its cell (kind 45 by its blast type in word 14).
void CEffect::UpdateBlast() {
  if (animPlayer.Advance() != kEnded) return;
  switch (params[w::kStartY]) {
    case 1:
      SetKind(effect_kind::kFire);
      return;
    case 2:
      DeliverSpell();
      return;
    default:
      break;
  }
  const int amount = params[w::kStartX];
  if (cell && cell->terrain != 0) cell->Damage(amount);
  // The first creature around whose body centre lies in this cell.
  Gathered around;
  GatherCreatures(around);
  for (int i = 0; i < around.count; ++i) {
    EffectCreature info;
    const int c = around.creatures[i];
    if (!g_effectWorld->GetCreature(c, info)) continue;
    const int cx = WrapInto(info.x + info.halfWidth, g_map.width * kUnitsPerTile) >> 5;
    const int cy = WrapInto(info.y + info.halfWidth, g_map.height * kUnitsPerTile) >> 5;
    if (cx != cellX || cy != cellY || (info.z + info.heightOffset) >> 4 != cellLevel) continue;
    g_effectWorld->TakeDamage(c, amount, state[s::kArmy], state[s::kItem0], state[s::kItem1]);
    if (params[w::kCreature] >= 0) g_effectWorld->SetLastAttacker(c, params[w::kCreature] + 1, 100);
    break;
  }
  if (cell && (cell->state & state_bits::kField20) && !(cell->state & state_bits::kField10) && owner) {
    CEffect* first = owner->At(cell->effect);
    if (first && first->active && first->kind == effect_kind::kTrap) {
      first->state[s::kCounter] -= amount;
      if (first->state[s::kCounter] <= 10)
        first->state[s::kCounter] -= 10;
      else
        first->RestartKind26Anim(0);
    }
  }
  if (active) Deactivate();
}

void CEffect::UpdateThrownObject() {
  const int result = Travel(1);
  const int32_t words[4] = {params[13], params[14], params[15], params[16]};
  switch (result) {
    case kMotionHitCreature: {
      DamageTarget(g_effectWorld->ArtifactValue(10, 1));
      EffectCreature info;
      if (g_effectWorld->GetCreature(params[w::kTarget], info))
        g_effectWorld->CreateObject(10, info.cellX, info.cellY, info.level, words);
      Deactivate();
      break;
    }
    case kMotionBlocked:
    case kMotionOutOfRange:
      // It lands once: the object lies where it came down and the throw is over.
      SettleOnGround();
      if (!active) break;
      g_effectWorld->CreateObject(10, cellX, cellY, cellLevel, words);
      Deactivate();
      break;
    case kMotionLeftMap:
      Deactivate();
      break;
    default:
      LoopAnimation();
      break;
  }
}

// Kinds 66, 72-74, 76, 77 and 80 sit on their target creature.
void CEffect::UpdateAttached() {
  const int target = params[w::kTarget];
  FollowCreatureAt(target, 0);
  Watch(target);
  if (kind == 74 && state[s::kCounter3]) {
    EffectCreature info;
    const bool gone = !g_effectWorld->GetCreature(target, info) || info.health == 0 ||
                      g_effectWorld->ConditionCount(target, kind) < 1;
    if (gone) animPlayer.loopBreak = 1;
  }
  const int result = animPlayer.Advance();
  if (kind == 74 || kind == 80) {
    if (result == kEvent) DeliverSpell();
    if (result == kEnded && active) Deactivate();
    return;
  }
  if (result == kEnded) {
    DeliverSpell();
    if (active) Deactivate();
  }
}

void CEffect::UpdateHold() {
  const int target = params[w::kTarget];
  FollowCreatureAt(target, kind == 68 ? -2 : 0);
  const int result = animPlayer.Advance();
  if (result == kEnded) {
    Deactivate();
    return;
  }
  if (result != kEvent) return;
  if (kind == 67) {
    StartCopy(68);
    return;
  }
  EffectCreature info;
  if (target >= 0 && g_effectWorld->GetCreature(target, info) && info.health != 0) {
    const int time = SpellRecord(params[w::kSpell]).Duration / std::max(info.magicResistance, 1);
    g_effectWorld->Immobilise(target, time, 1);
    g_effectSounds->PlayAt(735, cellX, cellY, nullptr, 0);
  }
}

// --- the tail: falling -------------------------------------------------------------------------

void CEffect::UpdateTail() {
  if (!active || state[s::kMotionMode] == 0) return;
  const int speed = state[s::kMotionCounter];
  const int result = Fall();
  const int fallDamage = TerrainOf(params[w::kValue]).CountVoxels() * (speed / 32 + 1);
  const int32_t words[4] = {params[13], params[14], params[15], params[16]};
  switch (result) {
    case kMotionHitCreature:
      if (kind == effect_kind::kFire) {
        if (params[w::kTarget] >= 0) g_effectWorld->Ignite(params[w::kTarget]);
      } else if (kind == effect_kind::kFallingBlock) {
        DamageTarget(fallDamage);
      } else if (kind == 61) {
        MoveToFreeCell();
        g_effectWorld->DropObjectNear(cellX, cellY, cellLevel, words);
      }
      if (active) Deactivate();
      break;
    case kMotionBlocked: {
      if (kind == effect_kind::kFire || kind == 25 || kind == effect_kind::kTrap) {
        state[s::kMotionMode] = state[s::kMotionCounter] = 0;
        SetKind(kind == effect_kind::kFire ? effect_kind::kFire : 25);
      } else if (kind == effect_kind::kFallingBlock) {
        DamageTarget(fallDamage);
        const CTerrainType& block = TerrainOf(params[w::kValue]);
        if (block.afterDestruction != 0 && (block.typeFlags & type_flags::kStandable)) {
          params[w::kValue] = block.afterDestruction;
          state[s::kMotionMode] = 0;
          SetKind(effect_kind::kShortLived);
        } else if (active) {
          Deactivate();
        }
      } else if (kind == effect_kind::kShortLived) {
        state[s::kMotionMode] = 0;
      } else if (kind == 61) {
        MoveToFreeCell();
        g_effectWorld->DropObjectNear(cellX, cellY, cellLevel, words);
        if (active) Deactivate();
      } else if (active) {
        Deactivate();
      }
      const int landingClass = terrainType ? terrainType->kind : 0;
      if (landingClass == 1 || landingClass == 2) g_effectSounds->PlayAt(1030, cellX, cellY, nullptr, 0);
      break;
    }
    case kMotionLeftMap:
    case kMotionOutOfRange:
      if (active) Deactivate();
      break;
    default:
      break;
  }
}
