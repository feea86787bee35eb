// Feeds arbitrary text to the INI reader and writer, in memory (the file functions work
// through the same ProfileText), so that thousands of inputs run a second.
#include "platform/Profile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform::ProfileText text(bytes);
  text.Value("Video", "Width");
  // A few sections and keys of each: every lookup scans the text, so all of them would make
  // a long input cost its square.
  const std::vector<std::string> sections = text.SectionNames();
  for (size_t s = 0; s < sections.size() && s < 8; ++s) {
    text.SectionListing(sections[s]);
    const std::vector<std::string> keys = text.KeyNames(sections[s]);
    for (size_t k = 0; k < keys.size() && k < 16; ++k) text.Value(sections[s], keys[k]);
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
