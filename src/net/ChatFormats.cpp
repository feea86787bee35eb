#include "net/ChatFormats.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Files.h"
#include "platform/Profile.h"

CChatFormats g_chatFormats;
CStringTable g_chatStrings;

namespace {

struct KindDefault {
  const char* section;
  const char* format;
};

constexpr KindDefault kKinds[kChatKinds] = {
    {"SYSTEM_MESSAGE", ">>> %s"},   {"PUBLIC_MESSAGE", "[%s] : %s"}, {"PRIVATE_MESSAGE", "<%s> : %s"},
    {"PUBLIC_ACTION", "!%s! : %s"}, {"PRIVATE_ACTION", "!%s! : %s"},
};

// A colour key read as "%d" reads it: a value without digits leaves the colour as it was.
void ReadColour(const char* section, const char* key, const std::string& path, int32_t& colour) {
  const std::string text = platform::ReadProfileString(section, key, "0", path);
  int value = 0;
  if (std::sscanf(text.c_str(), "%d", &value) == 1) colour = std::clamp(value, 0, 255);
}

// The current directory joined with the name (an absolute name stands as it is).
std::string FilePath(const char* fileName) {
  if (fileName && fileName[0] == '/') return fileName;
  std::string dir = platform::CurrentDirectory();
  const bool endsInSeparator = !dir.empty() && (dir.back() == '\\' || dir.back() == '/');
  return dir + (endsInSeparator ? "" : "\\") + (fileName ? fileName : "");
}

}  // namespace

CChatFormats::CChatFormats() {
  for (int i = 0; i < kChatKinds; ++i) {
    std::snprintf(formats[i].format, sizeof formats[i].format, "%s", kKinds[i].format);
    formats[i].red = formats[i].green = formats[i].blue = 0;
  }
}

bool CChatFormats::Load(const char* fileName) {
  const std::string path = FilePath(fileName);
  for (int i = 0; i < kChatKinds; ++i) {
    CChatFormat& record = formats[i];
    platform::ReadProfileString(kKinds[i].section, "FORMAT", kKinds[i].format, record.format, sizeof record.format,
                                path);
    ReadColour(kKinds[i].section, "RED", path, record.red);
    ReadColour(kKinds[i].section, "GREEN", path, record.green);
    ReadColour(kKinds[i].section, "BLUE", path, record.blue);
  }
  return true;
}

int LoadChatFormats(const char* fileName) { return g_chatFormats.Load(fileName) ? 1 : 0; }

int LoadChatStringTable(const char* fileName) {
  return g_chatStrings.Load(fileName) && g_chatStrings.Count() > 0 ? 1 : 0;
}

size_t FormatChatText(char* out, size_t size, const char* format, const char* const* args, int argCount) {
  if (!out || size == 0) return 0;
  size_t length = 0;
  int nextArg = 0;
  auto put = [&](char c) {
    if (length + 1 < size) out[length++] = c;
  };
  for (const char* p = format ? format : ""; *p; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      put('%');
      ++p;
    } else if (p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
      const char* arg = nextArg < argCount && args[nextArg] ? args[nextArg] : "";
      ++nextArg;
      for (; *arg; ++arg) put(*arg);
      ++p;
    } else {
      put(*p);
    }
  }
  out[length] = '\0';
  return length;
}

void FormatChatLine(IChatConsole& console, CChatFormat format, const char* name, const char* text) {
  static char line[kChatLineSize];
  format.format[sizeof format.format - 1] = '\0';
  const char* args[2] = {name, text};
  FormatChatText(line, sizeof line, format.format, args, 2);
  console.AddConsoleLine(line, std::clamp(format.red, 0, 255), std::clamp(format.green, 0, 255),
                         std::clamp(format.blue, 0, 255));
}
