// Feeds arbitrary text to the INI reader and writer, in memory (the file functions work
// through the same ProfileText), so that thousands of inputs run a second.
#include "platform/Profile.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform::ProfileText text(bytes);
  text.Value("Video", "Width");
  for (const std::string& section : text.SectionNames()) {
    text.SectionListing(section);
    for (const std::string& key : text.KeyNames(section)) text.Value(section, key);
  }
  // Whatever the file held, a value written reads back as written, and the file read again
  // gives the same.
  const std::string value = platform::QuoteProfileValue(" \"odd\" value ");
  text.Set("Video", "Width", value);
  if (text.Value("video", "width") != " \"odd\" value ") __builtin_trap();
  platform::ProfileText again(text.Bytes());
  if (again.Value("VIDEO", "WIDTH") != " \"odd\" value ") __builtin_trap();
  if (again.Bytes() != text.Bytes()) __builtin_trap();
  text.Delete("Video", "Width");
  return 0;
}
