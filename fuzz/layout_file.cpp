// Feeds arbitrary text to the reader of the screens' widget layout files: every widget type
// and a few numbers of each, and the screen's global keys.
#include <cstdint>

#include "FuzzFiles.h"
#include "ui/MenuScreen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Folder("layout_file", true);
  fuzz::WriteInput("screen.cfg", data, size);
  for (int type = 0; type <= 11; ++type)
    for (int number = 0; number < 4; ++number) {
      CWidgetConfig record;
      LoadWidgetConfig("screen.cfg", &record, type, number);
    }
  char value[256] = {};
  for (const char* key : {"BackgroundFile", "Music"}) ReadScreenGlobal(key, "screen.cfg", value);
  return 0;
}
