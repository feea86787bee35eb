// Feeds arbitrary text to the strict configuration reader as a map configuration file: keys
// as text, as integers, and as lists of integers and reals under both sets of separators.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "core/CfgReader.h"
#include "platform/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Folder("cfg_reader");
  static const std::string path = fuzz::InFolder("map.cfg");
  fuzz::WriteInput("map.cfg", data, size);
  CCfgReader reader;
  reader.SetFile(path.c_str());
  for (const char* delimiters : {",;(){}[] ", "()[]{},;_"}) {
    std::snprintf(reader.delimiters, sizeof reader.delimiters, "%s", delimiters);
    // A few sections and keys of each: the reader's work is the same for all of them.
    const std::vector<std::string> sections = platform::ReadProfileSectionNames(path);
    for (size_t s = 0; s < sections.size() && s < 3; ++s) {
      const std::string& section = sections[s];
      reader.SetSection(section.c_str());
      const std::vector<std::string> keys = platform::ReadProfileKeyNames(section, path);
      for (size_t k = 0; k < keys.size() && k < 16; ++k) {
        const std::string& key = keys[k];
        reader.SetKey(key.c_str());
        char text[256];
        reader.GetString(text, sizeof text);
        int number = 0;
        reader.GetInt(&number);
        reader.SetKey(key.c_str());
        for (int i = 0; i < 300 && reader.NextInt(&number); ++i) {
        }
        reader.SetKey(key.c_str());
        double real = 0;
        for (int i = 0; i < 300 && reader.NextDouble(&real); ++i)
          if (real != real) __builtin_trap();  // never a NaN
      }
    }
  }
  return 0;
}
