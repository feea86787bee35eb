// Feeds arbitrary text to the colour tables' keys (cfg\tables.cfg: the stone, metal and red
// tint effects' reducer, darkest level, tint, contrast and noise): whatever numbers the file
// gives, each of their builders makes its tables, the same for the same file.
#include <cstdint>
#include <memory>

#include "GameDataFuzz.h"
#include "graphics/ColourTables.h"

namespace {

// A palette of every hue and brightness, as a sprite's may hold.
void FillPalette(uint8_t palette[768]) {
  for (int i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<uint8_t>(i);
    palette[3 * i + 1] = static_cast<uint8_t>(255 - i);
    palette[3 * i + 2] = static_cast<uint8_t>((i * 37) & 0xFF);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("colour_tables", {"cfg"});
  fuzz::WriteInputAs({"cfg/tables.cfg"}, data, size);
  // The builders that read the file's keys: stone, metal and red tint.
  for (int type : {4, 5, 7}) {
    for (int levels : {2, 16}) {
      uint8_t palette[768], again[768];
      FillPalette(palette);
      FillPalette(again);
      ShadeTableList* first = nullptr;
      ShadeTableList* second = nullptr;
      fuzz::Expect(ColourTableBuilderOf(type)(levels, &first, palette));
      fuzz::Expect(ColourTableBuilderOf(type)(levels, &second, again));
      std::unique_ptr<ShadeTableList> owned(first), ownedToo(second);
      fuzz::Expect(first->tableCount >= 1 && first->tableCount <= levels);
      fuzz::Expect(first->tables == second->tables && first->wideTables == second->wideTables);
    }
  }
  return 0;
}
