// CMapObjectArray::LoadTypes: the reader of cfg\objects.cfg. Numbers are held within each
// key's range; a key missing from its section leaves the type's default (0, and 1 where the
// range starts at 1).
#include <algorithm>
#include <string>

#include "creatures/GameDataText.h"
#include "creatures/MapObject.h"
#include "platform/Text.h"

namespace {

using game_data::CutAt;

struct NumberKey {
  const char* key;
  int32_t CMapObjectType::*field;
  int lo, hi;
};

void ReadNumber(game_data::SectionReader& section, const NumberKey& key, CMapObjectType& type) {
  if (section.Has(key.key)) type.*key.field = game_data::LeadingIntIn(CutAt(section.Value(), ';'), key.lo, key.hi);
}

void ReadUser(game_data::SectionReader& section, CMapObjectType& type) {
  if (!section.Has("UsedBy")) return;
  const std::string_view word = CutAt(section.Value(), ' ');
  if (platform::EqualNoCase(word, "NONE"))
    type.UsedBy = kUsedByNone;
  else if (platform::EqualNoCase(word, "CREATURE"))
    type.UsedBy = kUsedByCreature;
  else if (platform::EqualNoCase(word, "WIZARD"))
    type.UsedBy = kUsedByWizard;
}

// The keys in the order the file is read.
constexpr NumberKey kBeforeUser[] = {
    {"Data1", &CMapObjectType::Data1, 0, 1000},        {"Data2", &CMapObjectType::Data2, 0, 1000},
    {"Data3", &CMapObjectType::Data3, 0, 100},         {"Data4", &CMapObjectType::Data4, 1, 6},
    {"Occurance", &CMapObjectType::Occurance, 1, 100},
};
constexpr NumberKey kAfterUser[] = {
    {"AnimNum", &CMapObjectType::AnimNum, 1, 999},
    {"Weighting", &CMapObjectType::Weighting, 0, 999},
};

}  // namespace

int CMapObjectArray::LoadTypes(const char* fileName) {
  const std::string path = game_data::PathOf(fileName);
  const std::string header = game_data::ReadKey(path, "HEADER", "NumberOfObjects");
  const int count = header.empty() ? 0 : game_data::LeadingIntIn(CutAt(header, ';'), 0, kMapObjectCapacity);
  types.assign(static_cast<size_t>(count), CMapObjectType{});
  typeCount = count;
  for (int n = 0; n < count; ++n) {
    CMapObjectType& type = types[static_cast<size_t>(n)];
    game_data::SectionReader section(path, "OBJECT_" + std::to_string(n));
    for (const NumberKey& key : kBeforeUser) ReadNumber(section, key, type);
    ReadUser(section, type);
    for (const NumberKey& key : kAfterUser) ReadNumber(section, key, type);
  }
  return 1;
}
