// Feeds arbitrary text to the string tables' reader (the numbered texts of a STRINGS
// section, as the tooltips, messages and screen texts are read): every text it hands out is
// terminated within its slot.
#include <cstdint>
#include <cstring>

#include "GameDataFuzz.h"
#include "core/StringTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("string_table", {"cfg"});
  fuzz::WriteInputAs({"cfg/texts.cfg"}, data, size);
  CStringTable table;
  if (!table.Load("cfg\\texts.cfg")) return 0;
  for (int i = -1; i <= table.Count(); ++i) fuzz::Expect(table.Get(i) && std::strlen(table.Get(i)) < 256);
  return 0;
}
