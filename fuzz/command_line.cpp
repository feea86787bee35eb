// Feeds arbitrary text to the command line's reader.
#include <cstdint>
#include <string>

#include "core/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ParseCommandLine(text.c_str());
  ResetGlobalOptions();
  return 0;
}
