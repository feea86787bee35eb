// The wizard files: the player's wizard of a new game (wizards\_start.wzd, "Edric") and the
// wizards of the realm's battle maps, one file per enemy army of a region, named
// "<map><region><i>.wzd" flat in wizards\, as the scripts summon them. Each computer wizard
// carries spells of its alignment with mana enough for the dearest of them, magic items, start
// objects and a few scripted actions (walks to sections and path nodes, casts at itself, its
// enemies and its friends, with waits, time windows and ratings).
#include <algorithm>
#include <string>
#include <vector>

#include "forge/CreatureTable.h"
#include "forge/Forge.h"
#include "forge/IniText.h"
#include "forge/RegionMaps.h"
#include "forge/SpellTable.h"

namespace {

constexpr const char* kMapName = "moorland";

std::string Numbered(const char* prefix, int n) {
  char key[32];
  std::snprintf(key, sizeof key, "%s%02d", prefix, n);
  return key;
}

struct WizardSpec {
  std::string name;
  std::string look;  // below creatures\, without ".ani"
  int health, control, intelligence, resistance, combat, difficulty;
  int talismans[3];
  std::vector<int> spells;
  std::vector<int> items;
  std::vector<int> objects;
};

// The spells of an alignment that a computer wizard can cast: summons 1-23 (the wizard
// types and the herald excepted) and the spells from 28 up that cost mana and are no
// creature's missile.
std::vector<int> CastableSpells(int alignment) {
  std::vector<int> spells;
  const auto& table = forge::SpellTable();
  for (int s = 1; s < forge::kSpells; ++s) {
    const forge::SpellRow& row = table[s];
    if (row.ManaCost <= 0 || (s >= 24 && s < 28) || (s >= 93 && s <= 102)) continue;
    if (row.Alignment == alignment) spells.push_back(s);
  }
  return spells;
}

void WriteGeneral(forge::IniText& ini, const WizardSpec& w) {
  int maxMana = 50;
  for (int s : w.spells) maxMana = std::max(maxMana, forge::SpellTable()[s].ManaCost);
  ini.Section("GENERAL")
      .Key("Name", w.name)
      .Key("MaxMana", maxMana + maxMana / 2)
      .Key("MaxHealth", w.health)
      .Key("ControlLimit", w.control)
      .Key("Intelligence", w.intelligence)
      .Key("MagicResistance", w.resistance)
      .Key("CombatModifier", w.combat);
  if (w.difficulty != 0) ini.Key("DifficultyModifier", w.difficulty);
  ini.Key("AggressiveAttack", 120)
      .Key("CautiousAttack", 80)
      .Key("OccupyPowerPoint", 110)
      .Key("CollectMana", 100)
      .Key("EvadeDetection", 90)
      .Key("Scout", 100)
      .Key("Retreat", 70)
      .Key("CollectFood", 100)
      .Key("ProtectWizard", 130)
      .Key("WizardAnimFile", w.look)
      .Key("startTalismans_Law", w.talismans[0])
      .Key("startTalismans_Neutral", w.talismans[1])
      .Key("startTalismans_Vrask", w.talismans[2]);
  ini.Section("START_MAGIC_ITEMS");
  for (int item : w.items) ini.Flag(Numbered("MITEM_", item), true);
  ini.Section("START_SPELLS");
  for (int spell : w.spells) ini.Flag(Numbered("SPELL_", spell), true);
  ini.Section("START_OBJECTS");
  for (int object : w.objects) ini.Flag(Numbered("OBJECT_", object), true);
}

// Two to four actions: a walk to a section, a cast at an enemy, a walk to a room node with a
// cast at itself, and (for the fourth) a cast for a friend at a node.
void WriteActions(forge::IniText& ini, const WizardSpec& w, int count) {
  const int attack = w.spells.empty() ? 1 : w.spells.back();
  const int ward = w.spells.empty() ? 1 : w.spells.front();
  ini.Section("ACTION_01")
      .Flag("Valid", true)
      .Key("Destination", "Section")
      .Key("SectionID", 1)
      .Key("Xposition", 4)
      .Key("Yposition", 4)
      .Key("Zposition", 1)
      .Key("WaitingTime", 10)
      .Key("BeginTime", 0)
      .Key("EndTime", 120)
      .Key("NumberOfActions", 1)
      .Key("Rating", 100);
  ini.Section("ACTION_02")
      .Flag("Valid", true)
      .Key("SpellType", attack)
      .Key("SpellTarget", "Enemy")
      .Key("Mana", 40)
      .Key("BeginTime", 30)
      .Key("EndTime", 600)
      .Key("NumberOfActions", "Infinite")
      .Key("Dependancy", 1)
      .Key("Rating", 140)
      .Flag("Interrupt", true);
  if (count >= 3)
    ini.Section("ACTION_03")
        .Flag("Valid", true)
        .Key("Destination", "Node")
        .Key("NodeType", "Room")
        .Key("WaitingTime", 5)
        .Key("SpellType", ward)
        .Key("SpellTarget", "Self")
        .Key("Health", 50)
        .Key("NumberOfActions", "3 ; at most")
        .Key("Rating", 60);
  if (count >= 4)
    ini.Section("ACTION_04")
        .Flag("Valid", true)
        .Key("SpellType", ward)
        .Key("SpellTarget", "Friend")
        .Key("Mana", 20)
        .Key("BeginTime", 60)
        .Key("EndTime", 900)
        .Key("NumberOfActions", 2)
        .Key("Rating", 20);
}

std::string WizardText(const WizardSpec& w, int actions) {
  forge::IniText ini;
  ini.Comment("Wizard " + w.name);
  WriteGeneral(ini, w);
  WriteActions(ini, w, actions);
  return ini.Text();
}

}  // namespace

FORGE_STEP(WizardFiles) {
  WizardSpec player{"Edric", "wizard1", 150, 20, 60, 50, 0, 0, {1, 1, 0}, {1, 4, 7, 8, 10}, {0, 3}, {}};
  ctx.WriteText("wizards\\_start.wzd", WizardText(player, 0));

  static const char* const kLooks[] = {"wizard2", "wizard3", "wizard4", "wizard5", "wizard6"};
  const int alignments[3] = {forge::kLaw, forge::kNeutral, forge::kVrask};
  for (int region = 0; region < forge::RegionCount(); ++region) {
    const std::vector<std::string> armies = forge::RegionArmyNames(region);
    for (size_t a = 2; a < armies.size(); ++a) {
      const int n = static_cast<int>(a) - 1;  // 1 for the first enemy
      const int seed = region * 3 + n;
      std::vector<int> castable = CastableSpells(alignments[seed % 3]);
      std::vector<int> spells;
      for (size_t i = seed % 3; i < castable.size() && spells.size() < 4u + region; i += 2)
        spells.push_back(castable[i]);
      WizardSpec w{armies[a],
                   kLooks[seed % 5],
                   120 + 20 * region,
                   15 + 2 * region,
                   50 + 5 * n,
                   40 + 5 * region,
                   region,
                   seed % 2 == 0 ? 25 : 0,
                   {seed % 3 == 0 ? 2 : 0, seed % 3 == 1 ? 2 : 0, seed % 3 == 2 ? 2 : 0},
                   spells,
                   {seed % 25, (seed + 7) % 25},
                   {7 + seed % 10}};
      ctx.WriteText("wizards\\" + std::string(kMapName) + std::to_string(region) + std::to_string(n) + ".wzd",
                    WizardText(w, 2 + seed % 3));
    }
  }
}
