// Feeds arbitrary text to the configuration reader and writer.
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/Files.h"
#include "platform/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vrask-fuzz-profile-" + std::to_string(::getpid()) + ".cfg";
  platform::WriteWholeFile(path, data, size);
  char out[64];
  platform::ReadProfileString("Video", "Width", "d", out, sizeof out, path);
  platform::ReadProfileInt("SOUND", "volume", 3, path);
  for (const std::string& section : platform::ReadProfileSectionNames(path)) {
    for (const std::string& key : platform::ReadProfileKeyNames(section, path))
      platform::ReadProfileString(section, key, "", out, sizeof out, path);
  }
  platform::WriteProfileString("Video", "Width", "800", path);
  if (platform::ReadProfileString("video", "width", "", path) != "800") __builtin_trap();
  return 0;
}
