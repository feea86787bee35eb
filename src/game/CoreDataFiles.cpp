#include "game/CoreDataFiles.h"

#include <string>
#include <vector>

#include "creatures/CreatureType.h"
#include "creatures/GameDataText.h"
#include "creatures/SpellDefinition.h"
#include "magic/EffectManager.h"
#include "magic/MagicItems.h"
#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"
#include "platform/Text.h"

namespace {

// A file's sections: fixed names, and numbered ones prefix0..prefix<count - 1>. A count key
// names the header value that gives the count instead.
struct CoreDataFile {
  const char* name;
  std::vector<const char*> sections;
  const char* prefix = nullptr;
  int count = 0;
  const char* countKey = nullptr;  // in the first fixed section
};

const std::vector<CoreDataFile>& CoreDataFiles() {
  static const std::vector<CoreDataFile> files = {
      {"cfg\\spells.cfg", {}, "SPELL_", kSpellCount},
      {"cfg\\creature.cfg", {}, "CREATURE_", kCreatureTypes},
      {"cfg\\hth.cfg",
       {"HTH_Matrix", "Stun_Matrix", "LRC_Matrix", "Taunt_Matrix", "Assist_Matrix", "FearHate_Matrix", "Evasion_Matrix",
        "ResponsetoLRC_Matrix"}},
      {"cfg\\objects.cfg", {"HEADER"}, "OBJECT_", 0, "NumberOfObjects"},
      {"cfg\\MItems.cfg", {}, "ITEM_", kMagicItemRows},
      {"cfg\\effects.cfg", {}, "FXA_", CEffectManager::kKinds},
      // Its animations may leave numbers out: the header and the first are what must be there.
      {"cfg\\effectani.cfg", {"HEADER", "ANI_0"}},
      {"wizards\\_start.wzd", {"GENERAL", "START_MAGIC_ITEMS", "START_SPELLS", "START_OBJECTS"}},
  };
  return files;
}

bool Holds(const std::vector<std::string>& sections, const std::string& wanted) {
  for (const std::string& section : sections)
    if (platform::EqualNoCase(section, wanted)) return true;
  return false;
}

bool IsWhole(const CoreDataFile& file) {
  const std::string path = game_data::PathOf(file.name);
  if (!platform::FileExists(path)) return false;
  const std::vector<std::string> sections = platform::ReadProfileSectionNames(path);
  for (const char* section : file.sections)
    if (!Holds(sections, section)) return false;
  int count = file.count;
  if (file.countKey) {
    const std::string value = game_data::ReadKey(path, file.sections.front(), file.countKey);
    count = platform::TextToIntIn(game_data::CutAt(value, ';'), 0, static_cast<int>(sections.size()));
    if (count < 1) return false;
  }
  for (int n = 0; n < count; ++n)
    if (!Holds(sections, file.prefix + std::to_string(n))) return false;
  return true;
}

}  // namespace

const char* FirstDamagedCoreDataFile() {
  for (const CoreDataFile& file : CoreDataFiles())
    if (!IsWhole(file)) return file.name;
  return nullptr;
}
