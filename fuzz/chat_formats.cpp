// Chat formats as a player's file or a peer's text could give them: the format, the name and
// the text (split at zero bytes) are filled by the chat formatter, never by printf, into a
// line of at most 509 characters; an input that starts with '[' is also read as
// cfg\chatmessage.cfg.
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "NetFuzzSupport.h"
#include "net/ChatFormats.h"

namespace {

struct CheckingConsole : IChatConsole {
  void AddConsoleLine(const char* text, int red, int green, int blue) override {
    net_fuzz::Require(std::strlen(text) < kChatLineSize);
    for (int colour : {red, green, blue}) net_fuzz::Require(colour >= 0 && colour <= 255);
  }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const std::string seeds[] = {std::string("[%s] : %s\0Ann\0hello", 19), std::string("100%% %s %d %n\0%s\0%x", 21),
                               "[PUBLIC_MESSAGE]\nFORMAT=<%s> %s\nRED=300\nGREEN=x\n"};
  std::vector<net_fuzz::Bytes> bytes;
  for (const std::string& seed : seeds) bytes.emplace_back(seed.begin(), seed.end());
  net_fuzz::WriteSeeds(*argc, *argv, bytes);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  size_t start = 0;
  for (int i = 0; i < 2; ++i) {
    size_t end = input.find('\0', start);
    if (end == std::string::npos) break;
    parts.push_back(input.substr(start, end - start));
    start = end + 1;
  }
  parts.push_back(input.substr(start));
  while (parts.size() < 3) parts.emplace_back();

  CheckingConsole console;
  CChatFormat format = {};
  std::strncpy(format.format, parts[0].c_str(), sizeof format.format - 1);
  format.red = static_cast<int32_t>(size) * 7 - 300;
  FormatChatLine(console, format, parts[1].c_str(), parts[2].c_str());

  if (size > 0 && data[0] == '[') {
    static const std::string name = "chat-fuzz-" + std::to_string(::getpid()) + ".cfg";
    platform::WriteWholeFile("/tmp/" + name, data, size);
    CChatFormats formats;
    formats.Load(("/tmp/" + name).c_str());
    for (const CChatFormat& loaded : formats.formats) FormatChatLine(console, loaded, "name", parts[2].c_str());
  }
  return 0;
}
