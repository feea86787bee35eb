#include "frontend/RealmState.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Files.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

namespace {

constexpr const char* kNameless = "<_wizard_name_>";
constexpr int kValueSize = 256;  // each value read is up to 255 characters

// A key's text; false when the file does not have it.
bool ReadKey(const char* path, const char* section, const char* key, std::string& value) {
  // A default no file can hold tells a missing key from an empty one.
  static constexpr const char* kMissing = "\x01missing\x01";
  char text[kValueSize];
  platform::ReadProfileString(section, key, kMissing, text, sizeof text, path);
  if (std::strcmp(text, kMissing) == 0) return false;
  value = text;
  return true;
}

bool ReadNumber(const char* path, const char* section, const char* key, int& number) {
  std::string text;
  if (!ReadKey(path, section, key, text)) return false;
  number = platform::TextToInt(text);
  return true;
}

void CopyText(char* target, size_t size, const std::string& text) { std::snprintf(target, size, "%s", text.c_str()); }

// A region number read from the file: negative ones are 0 (no region), and so is any beyond
// the record's 20, which no table of the realm view could hold.
int32_t RegionNumber(int value) { return value < 0 || value > kRealmRegions ? 0 : value; }
int32_t SequenceNumber(int value) { return std::clamp(value, 0, kRealmMaxSequence); }

bool Terminated(const char* text, size_t size) { return std::memchr(text, 0, size) != nullptr; }
bool Within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

}  // namespace

void CRealmState::Clear() {
  std::memset(currentRealmName, 0, sizeof currentRealmName);
  std::memset(nextRealm, 0, sizeof nextRealm);
  std::memset(wizardNames, 0, sizeof wizardNames);
  playerWizard = 0;
  wizardCount = 0;
  lastRegion = -1;
  for (CRealmMovement& m : movement) m = CRealmMovement{0, 0, 0, 0, 0};
  std::fill(std::begin(active), std::end(active), 0);
  std::fill(std::begin(icons), std::end(icons), 0);
  std::fill(std::begin(locations), std::end(locations), 0);
  std::fill(std::begin(destinations), std::end(destinations), 0);
  std::fill(std::begin(flags), std::end(flags), 0);
  std::fill(std::begin(regionOwners), std::end(regionOwners), 0);
}

void CRealmState::Load(const char* realmName) {
  std::string folder = platform::CurrentDirectory();
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  const std::string path = folder + "/realms/" + (realmName ? realmName : "") + "/realmview.cfg";
  LoadFile(path.c_str());
}

void CRealmState::LoadFile(const char* path) {
  // Without the file nothing is known: the record stays, but for the last region.
  lastRegion = -1;
  if (!path || !platform::FileExists(path)) return;
  std::string text;
  ReadKey(path, "GENERAL", "currentRealmName", text);
  CopyText(currentRealmName, sizeof currentRealmName, text);
  int number = 0;
  if (ReadNumber(path, "GENERAL", "wizardCount", number)) wizardCount = std::clamp(number, 0, kRealmWizards);
  int regionCount = 0;
  if (ReadNumber(path, "GENERAL", "regionCount", number)) regionCount = std::clamp(number, 0, kRealmRegions);
  if (ReadNumber(path, "GENERAL", "playerWizard1", number))
    playerWizard = std::min(std::max(number, 0), wizardCount - 1);
  lastRegion = -1;
  if (ReadNumber(path, "GENERAL", "lastRegion", number)) lastRegion = std::clamp(number, -1, regionCount);
  text.clear();
  ReadKey(path, "GENERAL", "nextRealm", text);
  CopyText(nextRealm, sizeof nextRealm, text);

  for (int w = 0; w < wizardCount; ++w) {
    char section[32];
    std::snprintf(section, sizeof section, "WIZARD_%02d", w);
    active[w] = 1;
    movement[w].pathSlot = 0;
    movement[w].countdown = 0;
    movement[w].x = movement[w].y = -1;
    // The file may name its wizards, for the messages that speak of them.
    CopyText(wizardNames[w], sizeof wizardNames[w], kNameless);
    if (ReadKey(path, section, "wizardName", text)) CopyText(wizardNames[w], sizeof wizardNames[w], text);
    if (ReadNumber(path, section, "wizardFlag", number)) flags[w] = SequenceNumber(number);
    if (ReadNumber(path, section, "wizardLocation", number)) locations[w] = destinations[w] = RegionNumber(number);
    if (ReadNumber(path, section, "wizardIcon", number)) icons[w] = SequenceNumber(number);
    if (ReadNumber(path, section, "wizardMovement_oldRegion", number)) movement[w].oldRegion = RegionNumber(number);
  }
  for (int r = 0; r < regionCount; ++r) {
    char key[32];
    std::snprintf(key, sizeof key, "regionOwner_%02d", r);
    // An owner beyond the wizards the record holds would name no one: it falls to wizard 0.
    if (ReadNumber(path, "REGION_INFO", key, number))
      regionOwners[r] = number < 0 || number >= kRealmWizards ? 0 : number;
  }
}

int CRealmState::CountWizardsInRegion(int region) const {
  int count = 0;
  for (int w = 0; w < wizardCount && w < kRealmWizards; ++w)
    if (active[w] && locations[w] == region) ++count;
  return count;
}

void CRealmState::Write(bytes::Writer& out) const {
  out.Bytes(currentRealmName, sizeof currentRealmName);
  out.I32(playerWizard);
  out.I32(wizardCount);
  out.I32(lastRegion);
  out.Bytes(nextRealm, sizeof nextRealm);
  for (const CRealmMovement& m : movement)
    for (int32_t v : {m.oldRegion, m.pathSlot, m.countdown, m.x, m.y}) out.I32(v);
  out.Bytes(wizardNames, sizeof wizardNames);
  for (const int32_t* table : {active, icons, locations, destinations, flags})
    for (int w = 0; w < kRealmWizards; ++w) out.I32(table[w]);
  for (int32_t owner : regionOwners) out.I32(owner);
}

bool CRealmState::Read(const uint8_t* data, size_t size) {
  if (!data || size != static_cast<size_t>(kRealmStateBytes)) return false;
  bytes::Reader in(data, size);
  CRealmState staged;
  in.Bytes(staged.currentRealmName, sizeof staged.currentRealmName);
  staged.playerWizard = in.I32();
  staged.wizardCount = in.I32();
  staged.lastRegion = in.I32();
  in.Bytes(staged.nextRealm, sizeof staged.nextRealm);
  for (CRealmMovement& m : staged.movement)
    for (int32_t* v : {&m.oldRegion, &m.pathSlot, &m.countdown, &m.x, &m.y}) *v = in.I32();
  in.Bytes(staged.wizardNames, sizeof staged.wizardNames);
  for (int32_t* table : {staged.active, staged.icons, staged.locations, staged.destinations, staged.flags})
    for (int w = 0; w < kRealmWizards; ++w) table[w] = in.I32();
  for (int32_t& owner : staged.regionOwners) owner = in.I32();
  if (!in.Ok()) return false;

  if (!Within(staged.wizardCount, 0, kRealmWizards) || !Within(staged.playerWizard, -1, staged.wizardCount - 1) ||
      (staged.wizardCount > 0 && staged.playerWizard < 0) || !Within(staged.lastRegion, -1, kRealmRegions) ||
      !Terminated(staged.currentRealmName, kRealmNameSize) || !Terminated(staged.nextRealm, kRealmNameSize))
    return false;
  for (int w = 0; w < kRealmWizards; ++w) {
    const CRealmMovement& m = staged.movement[w];
    if (!Terminated(staged.wizardNames[w], kRealmWizardNameSize) || !Within(m.oldRegion, 0, kRealmRegions) ||
        !Within(m.pathSlot, -1, kRealmPathSlots - 1) || m.countdown < 0 || !Within(m.x, -1, 799) ||
        !Within(m.y, -1, 599) || !Within(staged.active[w], 0, 1) || !Within(staged.icons[w], 0, kRealmMaxSequence) ||
        !Within(staged.flags[w], 0, kRealmMaxSequence) || !Within(staged.locations[w], 0, kRealmRegions) ||
        !Within(staged.destinations[w], 0, kRealmRegions))
      return false;
  }
  for (int32_t owner : staged.regionOwners)
    if (!Within(owner, 0, kRealmWizards - 1)) return false;
  *this = staged;
  return true;
}

int CRealmState::WriteSave(FILE* file) const {
  bytes::Writer out;
  Write(out);
  return file && bytes::WriteBlock(file, out.Data().data(), out.Size()) ? kRealmStateBytes : -1;
}

int CRealmState::ReadSave(FILE* file) {
  uint8_t block[kRealmStateBytes];
  if (!file || !bytes::ReadBlock(file, block, sizeof block)) return -1;
  return Read(block, sizeof block) ? kRealmStateBytes : -1;
}
