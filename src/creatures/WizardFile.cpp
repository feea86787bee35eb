// The wizard file (wizards\<name>.wzd): an INI file of the wizard's statistics, magic items,
// spells, start objects and up to ten scripted actions.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "core/DataPath.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "creatures/Wizard.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

namespace {

// A value cut at its first ';' and its first blank, as the file's flags and actions read.
std::string Cut(std::string value) {
  const size_t end = value.find_first_of("; \t");
  if (end != std::string::npos) value.resize(end);
  return value;
}

bool Has(const std::string& value, const char* text) { return value.find(text) != std::string::npos; }
bool IsTrue(const std::optional<std::string>& value) { return value && Has(Cut(*value), "TRUE"); }
// Every number of the file is held within what its use can carry.
int Number(const std::string& value, int low = -kWizardValueLimit, int high = kWizardValueLimit) {
  return platform::TextToIntIn(value, low, high);
}
int Seconds(const std::string& value) { return Number(value, 0, kWizardSecondsLimit) * kWizardFramesPerSecond; }

std::string KeyName(const char* prefix, int n) {
  char key[32];
  std::snprintf(key, sizeof key, "%s%02d", prefix, n);
  return key;
}

// The file's sections, read from one copy of its text.
class WizardText {
 public:
  explicit WizardText(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (platform::ReadWholeFile(path, bytes)) text_ = platform::ProfileText(std::string(bytes.begin(), bytes.end()));
  }
  std::optional<std::string> Value(const std::string& section, const std::string& key) const {
    return text_.Value(section, key);
  }
  // A plain decimal number within low..high, 0 when the key is missing.
  int Int(const std::string& section, const std::string& key, int low = -kWizardValueLimit,
          int high = kWizardValueLimit) const {
    const auto value = Value(section, key);
    return value ? Number(*value, low, high) : 0;
  }
  // An action's value: cut, and only when present.
  std::optional<std::string> Action(const std::string& section, const char* key) const {
    const auto value = Value(section, key);
    if (!value) return std::nullopt;
    return Cut(*value);
  }

 private:
  platform::ProfileText text_;
};

std::optional<std::string> AnimFileOf(const WizardText& file) { return file.Value("GENERAL", "WizardAnimFile"); }

// The animation is looked up below the creatures' folder: a name that leaves the data folder
// makes the whole file refused.
bool HasSafeAnimFile(const WizardText& file) {
  const auto anim = AnimFileOf(file);
  return !anim || anim->empty() || IsInsideDataFolder(*anim);
}

void ReadGeneral(const WizardText& file, CWizard& wizard) {
  const char* general = "GENERAL";
  wizard.maxMana = file.Int(general, "MaxMana", 0, kWizardValueLimit);
  struct Stat {
    const char* key;
    int32_t* field;
  };
  for (const Stat& stat :
       {Stat{"MaxHealth", &wizard.maxHealth}, Stat{"ControlLimit", &wizard.controlLimit},
        Stat{"Intelligence", &wizard.intelligence}, Stat{"MagicResistance", &wizard.magicResistance},
        Stat{"CombatModifier", &wizard.combatModifier}, Stat{"DifficultyModifier", &wizard.difficultyModifier}})
    if (const int value = file.Int(general, stat.key); value != 0) *stat.field = value;
  for (int w = 0; w < kWizardWeights; ++w)
    if (const auto value = file.Value(general, g_wizardWeightKeys[w]); value && !value->empty())
      wizard.weights[w] = Number(*value);
  // A name too long for the field is ignored: a cut file name would name another file.
  if (const auto anim = AnimFileOf(file); anim && !anim->empty() && anim->size() < kWizardAnimNameSize)
    std::snprintf(wizard.animFile, sizeof wizard.animFile, "%s", anim->c_str());
  wizard.talismans[0] = file.Int(general, "startTalismans_Law", 0, kWizardValueLimit);
  wizard.talismans[1] = file.Int(general, "startTalismans_Neutral", 0, kWizardValueLimit);
  wizard.talismans[2] = file.Int(general, "startTalismans_Vrask", 0, kWizardValueLimit);
}

void ReadMagic(const WizardText& file, CWizard& wizard) {
  for (int item = 0; item < kWizardMagicItems; ++item)
    if (IsTrue(file.Value("START_MAGIC_ITEMS", KeyName("MITEM_", item)))) wizard.AddMagicItem(item);
  for (int spell = 0; spell < kSpellCount; ++spell)
    if (IsTrue(file.Value("START_SPELLS", KeyName("SPELL_", spell)))) wizard.AddSpell(spell);
  wizard.startObjectCount = 0;
  const int types = g_wizardHooks->ObjectTypeCount();
  for (int type = 0; type < types && wizard.startObjectCount < kWizardStartObjects; ++type) {
    if (!IsTrue(file.Value("START_OBJECTS", KeyName("OBJECT_", type)))) continue;
    int32_t values[4] = {};
    g_wizardHooks->ObjectTypeValues(type, values);
    wizard.AddQueuedEntry(type, values);
  }
}

void ReadDestination(const WizardText& file, const std::string& section, CWizardAction& action) {
  const auto destination = file.Action(section, "Destination");
  if (!destination) return;
  if (Has(*destination, "Section")) {
    action.destinationKind = 1;
    for (auto [key, field] : {std::pair{"SectionID", &action.sectionId}, std::pair{"Xposition", &action.x},
                              std::pair{"Yposition", &action.y}, std::pair{"Zposition", &action.z}})
      if (const auto value = file.Action(section, key)) *field = Number(*value);
  } else if (Has(*destination, "Node")) {
    action.destinationKind = 2;
    if (const auto node = file.Action(section, "NodeType"); node && Has(*node, "Room")) action.nodeType = 1;
  }
  if (const auto wait = file.Action(section, "WaitingTime")) action.waitingTime = Seconds(*wait);
}

void ReadSpell(const WizardText& file, const std::string& section, CWizardAction& action) {
  const auto spell = file.Action(section, "SpellType");
  if (!spell) return;
  const int number = Number(*spell);
  action.spellType = number < 1 || number >= kSpellCount ? -1 : number;
  const auto target = file.Action(section, "SpellTarget");
  if (!target) return;
  if (Has(*target, "Section")) {
    action.targetKind = 1;
    for (auto [key, field] :
         {std::pair{"SpellTargetID", &action.targetId}, std::pair{"XtargetPosition", &action.targetX},
          std::pair{"YtargetPosition", &action.targetY}, std::pair{"ZtargetPosition", &action.targetZ}})
      if (const auto value = file.Action(section, key)) *field = Number(*value);
  } else if (Has(*target, "Node")) {
    action.targetKind = 2;
    if (const auto node = file.Action(section, "TargetNodeType"); node && Has(*node, "Room")) action.targetNodeType = 1;
  } else if (Has(*target, "Self")) {
    action.targetKind = 3;
  } else if (Has(*target, "Enemy")) {
    action.targetKind = 4;
  } else if (Has(*target, "Friend")) {
    action.targetKind = 5;
  }
}

void ReadAction(const WizardText& file, int n, CWizardAction& action) {
  action = CWizardAction{};
  const std::string section = KeyName("ACTION_", n);
  const auto valid = file.Action(section, "Valid");
  if (!valid || !Has(*valid, "TRUE")) return;
  action.valid = 1;
  ReadDestination(file, section, action);
  ReadSpell(file, section, action);
  if (const auto value = file.Action(section, "Mana")) action.mana = Number(*value);
  if (const auto value = file.Action(section, "Health")) action.health = Number(*value);
  if (const auto value = file.Action(section, "BeginTime")) action.beginTime = Seconds(*value);
  if (const auto value = file.Action(section, "EndTime")) action.endTime = Seconds(*value);
  if (const auto value = file.Action(section, "NumberOfActions")) {
    action.numberOfActions = Has(*value, "Infinite") ? -1 : Number(*value);
    action.actionsRemaining = action.numberOfActions;
  }
  if (const auto value = file.Action(section, "Dependancy")) action.dependancy = Number(*value);
  if (const auto value = file.Action(section, "Rating")) action.rating = static_cast<float>((Number(*value) - 50) / 50);
  if (const auto value = file.Action(section, "Interrupt"); value && Has(*value, "TRUE")) action.interrupt = 1;
}

}  // namespace

int CWizard::LoadDefinition(const char* fileName, int computerFlag, int key) {
  char path[512];
  MakeCurrentDirPath((std::string("wizards\\") + (fileName ? fileName : "")).c_str(), path, sizeof path);
  const WizardText file(path);
  // The name and the animation are checked before anything changes: a nameless file, or one
  // whose animation lies outside the data folder, leaves the record as it was.
  const auto wizardName = file.Value("GENERAL", "Name");
  if (!wizardName || wizardName->empty() || !HasSafeAnimFile(file)) {
    platform::ShowMessageBox(path, "FAILED TO LOAD WIZARD", WarningBoxFlags());
    return 0;
  }
  ClearSpellPool();
  std::fill(std::begin(magicItems), std::end(magicItems), -1);
  std::snprintf(name, sizeof name, "%s", wizardName->c_str());
  ReadGeneral(file, *this);
  ReadMagic(file, *this);
  for (int n = 0; n < kWizardActions; ++n) ReadAction(file, n + 1, actions[n]);
  deploymentKey = key;
  computer = computerFlag;
  inUse = 1;
  if (computer == 0 && textBlock.empty()) textBlock.assign(kWizardTextBlockBytes, 0);
  return 1;
}
