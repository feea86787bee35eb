// Carried items: what each kind does when used (ApplyItemEvent), the effects they start and
// what they do to the creatures about their user.
#include <algorithm>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Random.h"
#include "core/TraceLog.h"
#include "creatures/Armies.h"
#include "creatures/Artifact.h"
#include "creatures/ArtifactEffectBlock.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
#include "creatures/MapObject.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "platform/MessageBox.h"

namespace {

constexpr int kCarriedEffect = 28;
constexpr int kCarriedEffectOnObject = 29;
constexpr int kStrikeEffect = 11;
constexpr int kSummonEffect = 41;
constexpr int kMissileEffect = 57;
constexpr int kWallEffect = 56;
constexpr int kRisingEffect = 40;
constexpr int kEatEffect = 38;
constexpr int kSkeletonType = 11;
constexpr int kBombSpell = 38;
constexpr int kWallSpell = 35;
constexpr int kWallGlowEntry = 31;
constexpr int kCountdownWord = 12;  // of an effect's state
constexpr int kItemLightningSpell = 71;
constexpr int kItemCastMode = 2;
constexpr int kBaneOverlay = 47;
constexpr int kMaxListed = 8;
constexpr int kUseEvent = 7;

namespace sound {
constexpr int kSubvert = 744;
constexpr int kHoldUndead = 745;
constexpr int kRecall = 746;
constexpr int kWard = 747;
}  // namespace sound

// The facing offsets, 0 north and clockwise.
constexpr int kFacingSteps[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};

// One game-logic draw, traced at the artifacts' source.
uint32_t ArtifactDraw(int line) {
  const uint32_t r = g_battleRandom.Next() & 0x7FFFFFFF;
  if (g_netRandomLog) g_traceLog.Record("artifact", line);
  return r;
}

ArtifactEffectBlock BlockAt(const CCreature& user, int raise) {
  ArtifactEffectBlock block;
  block.SetPoints(user.cellX * kUnitsPerTile + 16, user.cellY * kUnitsPerTile + 16,
                  (user.level + raise) * kUnitsPerLevel);
  return block;
}

bool CellHoldsObject(const CCreature& user) {
  const CMapCell* cell = g_map.CellAtWrapped(user.cellX, user.cellY, user.level);
  return cell && cell->object != kNoLink;
}

// A timed counter set to the amount; its print effect starts when it was not running.
bool SetTimedCounter(CCreature& user, int32_t& counter, int amount, int printEffect) {
  if (counter == 0) user.printFX.PushEffect(printEffect);
  counter = amount;
  return true;
}

bool HealByItem(CCreature& user, int kind, int amount) {
  ArtifactEffectBlock block = BlockAt(user, 1);
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kTarget] = user.index;
  block[ArtifactEffectBlock::kSpell] = kind;
  block[ArtifactEffectBlock::kSpeed] = amount;
  return block.Start(kEatEffect) >= 0;
}

bool RecallArmy(CCreature& user) {
  g_creatureSounds->PlayAt(sound::kRecall, user.cellX, user.cellY);
  g_creatureArray.ForEachInUse([&user](CCreature& c) {
    if (&c != &user && c.army == user.army && c.IsAlive() && !c.IsWizard())
      c.StartTeleport(user.cellX, user.cellY, user.level, 0);
  });
  return true;
}

bool DropBomb(CCreature& user) {
  ArtifactEffectBlock block = BlockAt(user, 1);
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kSpell] = kBombSpell;
  return block.Start(kStrikeEffect) >= 0;
}

// Every living creature of the bane's type takes the damage from the user's army.
bool StrikeTypeBane(CCreature& user, int type, int amount) {
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (c.typeNumber != type || !c.IsAlive()) return;
    c.TakeDamage(amount, user.army, -1, -1);
    int first = 0;
    if (CAnimation* overlay = g_creatureEffects->EffectAnimEntry(kBaneOverlay, first)) {
      c.overlayAnim.SetAnimation(overlay);
      c.overlayAnim.Start(first, 0);
    }
  });
  return true;
}

// An item's line of fire to a creature its army sees, up to range cells: its user's eye to
// the creature's centre, unobscured or ending on a hostile body.
bool ItemLineOfFire(const CCreature& user, const CCreature& target, int range) {
  if (!user.ArmySees(target)) return false;
  int ex, ey, ez, tx, ty, tz;
  user.EyePoint(ex, ey, ez);
  target.CentrePoint(tx, ty, tz);
  CLineWalker walker;
  const int result = walker.TraceFire(ex, ey, ez, tx, ty, tz, range * kUnitsPerTile, user.index, -1);
  return result == kFireReached || result == kFireEnemy;
}

}  // namespace

bool ApplyItemEvent(CCreatureEvent& event, CCreature& user) {
  const int kind = event.kind, amount = event.value1;
  bool worked = false;
  if (item_kind::IsHealing(kind)) {
    worked = HealByItem(user, kind, amount);
  } else if ((kind >= 28 && kind <= 49) || kind == 58) {
    worked = SummonByItem(user, kind) != 0;
  } else if (item_kind::IsScroll(kind)) {
    g_creatureBattle->ShowScroll(amount - 1);
    worked = true;
  } else if (kind >= 62 && kind <= 84) {
    worked = StrikeTypeBane(user, kind - 61, amount);
  } else {
    switch (kind) {
      case 7:
        g_creatureSounds->PlayAt(sound::kWard, user.cellX, user.cellY);
        user.orderState.quadDamage = amount;
        worked = true;
        break;
      case 8:
        user.SetInvisibility(amount);
        worked = true;
        break;
      case 9:
        worked = TeleportRandomly(user, amount) != 0;
        break;
      case 10:
        worked = FireItemMissile(user, event.value2) != 0;
        break;
      case 11:
        worked = HoldUndeadInRange(user, amount, event.value2) != 0;
        break;
      case item_kind::kSkeletonSummoner:
        worked = SummonSkeleton(user) != 0;
        break;
      case 13:
        worked = RecallArmy(user);
        break;
      case 14:
      case 20:
        g_map.ChangeWaterLevel(kind == 14 ? -1 : 1);
        worked = true;
        break;
      case 15:
        user.sightTimer = amount;
        worked = true;
        break;
      case item_kind::kGreyKey:
      case item_kind::kSilverKey:
      case item_kind::kGoldKey:
        worked = StartCarriedItemEffect(user, kind) != 0;
        break;
      case 17:
        worked = SetTimedCounter(user, user.orderState.printTimers[0], amount, 4);
        break;
      case 18:
        worked = DropBomb(user);
        break;
      case item_kind::kManaSprite: {
        const CMapObjectType* type = g_mapObjects.Type(item_kind::kManaSprite);
        user.AddMana((type ? type->Data1 : 0) * 256);
        worked = true;
        break;
      }
      case 21:
        worked = SetTimedCounter(user, user.orderState.printTimers[1], amount, 16);
        break;
      case 22:
        worked = CastOnEnemiesInRange(user, amount) != 0;
        break;
      case 24:
        worked = SetTimedCounter(user, user.orderState.printTimers[2], amount, 15);
        break;
      case 26:
        user.SetHaste(amount);
        worked = true;
        break;
      case 27:
        worked = SubvertInRange(user, amount, event.value2) != 0;
        break;
      case 60:
        worked = ActivateBehindCreature(user, amount) != 0;
        break;
      default:
        break;  // 5, 23, 25, 50, 57, 59, 61 and above 84 do nothing
    }
  }
  if (!worked) return false;
  event.remaining = event.remaining <= 1 ? 0 : event.remaining - 1;
  g_creatureBattle->OfferScriptEvent(kUseEvent, user.index, kind);
  return true;
}

// A key at a lock is used like any carried item: its effect opens the way, and the use takes
// a charge only when that effect could start.
int CCreature::UseKey(int eventIndex) {
  CCreatureEvent* key = GetEvent(eventIndex);
  return key && key->active && ApplyItemEvent(*key, *this) ? 1 : 0;
}

void ProcessItemEvent(CCreature& creature) {
  for (int i = 0; i < kCreatureEvents; ++i) {
    const CCreatureEvent& event = creature.events[i];
    if (!event.active || event.kind != item_kind::kManaSprite) continue;
    creature.ProcessEventAt(i);
    return;
  }
}

// --- the effect starters -------------------------------------------------------------------

int StartCarriedItemEffect(CCreature& user, int kind) {
  ArtifactEffectBlock block = BlockAt(user, 1);
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kTarget] = user.index;
  block[ArtifactEffectBlock::kSpell] = kind == item_kind::kSilverKey ? 25 : kind == item_kind::kGoldKey ? 24 : 26;
  return block.Start(CellHoldsObject(user) ? kCarriedEffectOnObject : kCarriedEffect) >= 0;
}

int FireItemMissile(CCreature& user, int range) {
  CCreature* victim = nullptr;
  int nearest = 2000;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (!c.IsAlive() || !user.IsEnemyOf(c)) return;
    int distance = 0;
    if (!CellsWithinRange(range, &distance, user.cellX, user.cellY, user.level, c.cellX, c.cellY, c.level)) return;
    if (distance >= nearest || !ItemLineOfFire(user, c, range)) return;
    nearest = distance;
    victim = &c;
  });
  if (!victim || !user.type || !victim->type) return 0;
  const CMapObjectType* wand = g_mapObjects.Type(10);
  ArtifactEffectBlock block;
  const int* eye = user.type->LRCOffsets[user.facing & 7];
  block[0] = user.unitX + eye[0] + user.type->centreOffset;
  block[1] = user.unitY + eye[1] + user.type->centreOffset;
  block[2] = user.unitZ + eye[2] + user.type->centreHeight;
  block[3] = victim->unitX + victim->type->centreOffset;
  block[4] = victim->unitY + victim->type->centreOffset;
  block[5] = victim->unitZ + victim->type->centreHeight;
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kTarget] = victim->index;
  block[ArtifactEffectBlock::kSpell] = wand ? wand->Data3 : 0;
  block[ArtifactEffectBlock::kSpeed] = 20;
  block[ArtifactEffectBlock::kKindMode] = 4;
  return block.Start(kMissileEffect) >= 0;
}

int SummonSkeleton(CCreature& user) {
  if (!LoadCreatureTypeAnims(g_creatureTypes[kSkeletonType], kSkeletonType,
                             ChooseCreatureAnimFile(kSkeletonType, user.army)))
    platform::ShowMessageBox("Unable to load creature file", "DEPLOYMENT ERROR", WarningBoxFlags());
  ArtifactEffectBlock block = BlockAt(user, 0);
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kTarget] = -1;
  block[ArtifactEffectBlock::kSpell] = kSkeletonType;
  return block.Start(kSummonEffect) >= 0;
}

int SummonByItem(CCreature& user, int kind) {
  ArtifactEffectBlock block = BlockAt(user, 0);
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kSpell] = kind == 58 ? 23 : kind - 27;
  return block.Start(kSummonEffect) >= 0;
}

int ActivateBehindCreature(CCreature& user, int amount) {
  const int direction = (user.facing - 4) & 7;
  const int x = CWrapCoord::WrapX(user.cellX + kFacingSteps[direction][0]);
  const int y = CWrapCoord::WrapY(user.cellY + kFacingSteps[direction][1]);
  int level = user.level;
  while (level >= 0 && g_map.CellAt(x, y, level).terrain == 0) --level;
  if (level < 0) level = user.level;
  while (level < g_map.levels - 1 && g_map.CellAt(x, y, level).terrain != 0 &&
         TerrainOf(g_map.CellAt(x, y, level)).IsLiquid())
    ++level;
  ArtifactEffectBlock block;
  block.SetPoints(x * kUnitsPerTile + 16, y * kUnitsPerTile + 16, level * kUnitsPerLevel);
  block[ArtifactEffectBlock::kCreature] = user.index;
  block[ArtifactEffectBlock::kTarget] = direction;
  block[ArtifactEffectBlock::kSpell] = kWallSpell;
  block[ArtifactEffectBlock::kSpeed] = std::clamp(g_spellDefs[kWallSpell].Radius, 0, 2);
  block[ArtifactEffectBlock::kValue] = -1;
  const int wall = block.Start(kWallEffect);
  if (wall < 0) return 0;
  g_creatureEffects->SetEffectStateWord(wall, kCountdownWord, amount);
  block[ArtifactEffectBlock::kValue] = kWallGlowEntry;
  block.Start(kRisingEffect);
  return 1;
}

// --- what items do to the creatures about their user ---------------------------------------

int TeleportRandomly(CCreature& creature, int range) {
  if (!creature.type || !g_map.HasCells()) return 0;
  auto draw = [](int c, int range, int size, int line) {
    const int lo = std::max(0, c - range), hi = std::min(size, c + range);
    const uint32_t r = ArtifactDraw(line);
    return lo == hi ? hi : lo + static_cast<int>(r % static_cast<uint32_t>(hi - lo));
  };
  int x = CWrapCoord::WrapX(draw(creature.cellX, range, g_map.width, __LINE__));
  int y = CWrapCoord::WrapY(draw(creature.cellY, range, g_map.height, __LINE__));
  int z = static_cast<int>(ArtifactDraw(__LINE__) % static_cast<uint32_t>(std::max(g_map.levels, 1)));
  if (!g_map.FindFreePositionNear(creature.index, creature.MakeMoveQuery(), x, y, z)) return 0;
  creature.StartTeleport(x, y, z, 0);
  return 1;
}

int HoldUndeadInRange(CCreature& user, int range, int duration) {
  g_creatureSounds->PlayAt(sound::kHoldUndead, user.cellX, user.cellY);
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (!c.IsAlive() || !c.undead) return;
    if (CellsWithinRange(range, nullptr, user.cellX, user.cellY, user.level, c.cellX, c.cellY, c.level))
      c.Immobilise(duration, 0);
  });
  return 1;
}

int CastOnEnemiesInRange(CCreature& user, int range) {
  int listed[kMaxListed];
  int count = 0;
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (count >= kMaxListed || !c.IsAlive() || !user.IsEnemyOf(c)) return;
    if (!CellsWithinRange(range, nullptr, user.cellX, user.cellY, user.level, c.cellX, c.cellY, c.level)) return;
    if (ItemLineOfFire(user, c, range)) listed[count++] = c.index;
  });
  for (int i = 0; i < count; ++i)
    g_creatureEffects->CastSpellWithMode(kItemLightningSpell, user.index, listed[i], kItemCastMode);
  return count > 0;
}

int SubvertInRange(CCreature& user, int range, int strength) {
  g_creatureSounds->PlayAt(sound::kSubvert, user.cellX, user.cellY);
  const uint32_t limit =
      static_cast<uint32_t>(strength * 100) / static_cast<uint32_t>(std::max(user.magicResistance + strength, 1));
  g_creatureArray.ForEachInUse([&](CCreature& c) {
    if (!c.IsAlive() || c.IsWizard() || !user.IsEnemyOf(c)) return;
    if (!CellsWithinRange(range, nullptr, user.cellX, user.cellY, user.level, c.cellX, c.cellY, c.level)) return;
    if (ArtifactDraw(__LINE__) % 100 > limit) return;
    c.ChangeOwner(user.army);
    c.Deselect();
    if (g_localArmy >= 0 && g_localArmy < kSightingArmyCount && c.sightingCounters[g_localArmy] != 0)
      g_creatureEffects->SpawnSubvertParticles(c.index);
  });
  return 1;
}
