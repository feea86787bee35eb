// The game data every battle reads: cfg\creature.cfg and cfg\hth.cfg from the creature table,
// cfg\spells.cfg from the spell table.
#include <cstdio>
#include <string>

#include "core/Bytes.h"
#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/SpellTable.h"

namespace {

using namespace forge;

std::string Join(const int* values, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += (i ? "," : "") + std::to_string(values[i]);
  return text;
}

std::string MarkerText(const MarkerSet& markers) {
  std::string text;
  for (const ScreenOffset& m : markers)
    text += (text.empty() ? "" : ",") + std::to_string(m.x) + "," + std::to_string(m.y);
  return text;
}

void WriteCreature(IniText& ini, int number, const CreatureRow& row) {
  ini.Section("CREATURE_" + std::to_string(number));
  ini.Comment(row.displayName);
  ini.Key("TileHeight", row.TileHeight)
      .Key("TileSizeXY", row.TileSizeXY)
      .Key("Acceleration", row.Acceleration)
      .Key("Intelligence", row.Intelligence)
      .Flag("IsUndead", row.IsUndead)
      .Flag("IsPhysical", row.IsPhysical)
      .Key("Health", row.Health)
      .Key("Stamina", row.Stamina)
      .Key("Defense", row.Defense)
      .Key("MagicResist", row.MagicResist)
      .Key("ImmuneSystem", row.ImmuneSystem);
  // Only the shooters have a rate and range of fire.
  if (row.FireRange > 0) ini.Key("FireRate", row.FireRate).Key("FireRange", row.FireRange);
  ini.Key("ViewRange", row.ViewRange)
      .Flag("CanFly", row.CanFly)
      .Key("FlyingHeight", row.FlyingHeight)
      .Key("SwimmingAbility", row.SwimmingAbility)
      .Key("MarkerHoriz", MarkerText(row.MarkerHoriz))
      .Key("MarkerVert", MarkerText(row.MarkerVert))
      .Key("MarkerDiag", MarkerText(row.MarkerDiag))
      .Key("LRCOffsets", Join(row.LRCOffsets[0].data(), 24))
      .Key("ArtifactUse", row.ArtifactUse);
  if (*row.AI_CreatureCategory) ini.Key("AI_CreatureCategory", row.AI_CreatureCategory);
  ini.Key("WanderDist", row.WanderDist)
      .Key("WanderDelay", row.WanderDelay)
      .Key("LordExperienceLevel", row.LordExperienceLevel)
      .Key("KingExperienceLevel", row.KingExperienceLevel)
      .Key("BloodColour", Join(row.BloodColour.data(), 4))
      .Key("BurnTime", row.BurnTime)
      .Key("BurnDamage", row.BurnDamage)
      .Key("Weight", row.Weight)
      .Key("GroundSpeed", row.GroundSpeed)
      .Key("FlyingSpeed", row.FlyingSpeed)
      .Key("Bravery", row.Bravery);
}

FORGE_STEP(CreatureTypeFiles) {
  IniText creatures;
  creatures.Comment("Creature types: one section per type number");
  for (int n = 0; n < kCreatureTypes; ++n) WriteCreature(creatures, n, CreatureTable()[static_cast<size_t>(n)]);
  ctx.WriteText("cfg\\creature.cfg", creatures.Text());

  const HthMatrices matrices = MakeHthMatrices();
  IniText hth;
  hth.Comment("Rating matrices: Creat_<type> lists the type's rating against each type 0-27");
  for (int m = 0; m < 8; ++m) {
    hth.Section(kHthSections[m]);
    const HthMatrices::Matrix& matrix = HthMatrixByIndex(matrices, m);
    for (int n = 0; n < kCreatureTypes; ++n) {
      char key[16];
      std::snprintf(key, sizeof key, "Creat_%02d", n);
      hth.Key(key, Join(matrix[static_cast<size_t>(n)].data(), kCreatureTypes));
    }
  }
  ctx.WriteText("cfg\\hth.cfg", hth.Text());
}

void WriteSpell(IniText& ini, int number, const SpellRow& row) {
  static const char* const kLines[] = {"LOF_NONE", "LOF_STRAIGHTCAST", "LOF_THROWCAST", "LOF_PARTICLE"};
  static const char* const kAlignments[] = {"LAW", "NEUTRAL", "VRASK"};
  static const char* const kRadii[] = {"SMALL", "MEDIUM", "LARGE"};
  ini.Section("SPELL_" + std::to_string(number));
  ini.Key("TextName", row.TextName)
      .Key("Range", row.Range)
      .Key("ManaCost", row.ManaCost)
      .Key("SpellStrength", row.SpellStrength);
  if (!row.MagicItemsNeeded.empty())
    ini.Key("MagicItemsNeeded", Join(row.MagicItemsNeeded.data(), row.MagicItemsNeeded.size()))
        .Key("NoRequired", row.NoRequired);
  if (row.AllowedTargets) ini.Key("AllowedTargets", row.AllowedTargets);
  ini.Key("Speed", row.Speed)
      .Key("LOFType", kLines[row.LOFType & 3])
      .Key("Damage", row.Damage)
      .Key("Duration", row.Duration)
      .Key("Alignment", kAlignments[row.Alignment % 3])
      .Key("BalanceAmount", row.BalanceAmount)
      .Flag("DoMRCheck", row.DoMRCheck)
      .Flag("DoITCheck", row.DoITCheck)
      .Flag("DoBRCheck", row.DoBRCheck)
      .Key("Radius", kRadii[row.Radius % 3])
      .Key("AI_Adjustment", row.AI_Adjustment, 2)
      .Key("Data1", row.Data1)
      .Key("SpellBoxSound", row.SpellBoxSound);
  for (size_t i = 0; i < row.ai.size(); ++i)
    if (row.ai[i]) ini.Key(kSpellAiKeys[i], row.ai[i]);
}

FORGE_STEP(SpellFile) {
  IniText ini;
  ini.Comment("Spells: one section per spell number");
  for (int n = 0; n < kSpells; ++n) WriteSpell(ini, n, SpellTable()[static_cast<size_t>(n)]);
  ctx.WriteText("cfg\\spells.cfg", ini.Text());
}

// A sample of the spells' sightings block of a saved game, as a fuzzing seed: a few armies
// have seen a few spells cast.
FORGE_STEP(SightingsSample) {
  bytes::Writer out;
  for (int spell = 0; spell < kSpells; ++spell)
    for (int seeing = 0; seeing < 8; ++seeing)
      for (int casting = 0; casting < 8; ++casting) out.I32(spell % 13 == 0 && (seeing + casting) % 3 == 0 ? 1 : 0);
  ctx.WriteFile("samples\\sightings\\battle.bin", out.Data());
}

}  // namespace
