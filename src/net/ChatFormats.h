#pragma once
// Chat and lobby lines come in five kinds, each with a format and a text colour read from
// cfg\chatmessage.cfg at start-up; the same file holds the lobby's numbered texts. Formats are
// filled by our own small formatter, never by printf: "%s" (and "%d") take the next argument
// as text, "%%" is a percent sign, anything else stands as written.

#include <cstddef>
#include <cstdint>

#include "core/StringTable.h"

enum ChatKind {
  kChatSystemMessage = 0,
  kChatPublicMessage,
  kChatPrivateMessage,
  kChatPublicAction,
  kChatPrivateAction,
  kChatKinds,
};

struct CChatFormat {
  char format[256];
  int32_t red, green, blue;  // 0-255
};

class CChatFormats {
 public:
  CChatFormats();
  // Reads the five sections (SYSTEM_MESSAGE, PUBLIC_MESSAGE, PRIVATE_MESSAGE, PUBLIC_ACTION,
  // PRIVATE_ACTION) of the file, relative to the current directory; missing keys keep the
  // defaults. Always true.
  bool Load(const char* fileName);

  CChatFormat formats[kChatKinds];
};

extern CChatFormats g_chatFormats;
// The lobby's numbered texts (STR_00 ...), from the STRINGS section of the same file.
extern CStringTable g_chatStrings;

// Start-up loaders of cfg\chatmessage.cfg: nonzero on success (the string table must hold a text).
int LoadChatFormats(const char* fileName);
int LoadChatStringTable(const char* fileName);

// Where chat lines are shown: the console of a network screen.
class IChatConsole {
 public:
  virtual ~IChatConsole() = default;
  virtual void AddConsoleLine(const char* text, int red, int green, int blue) {}
};

// The longest chat line, with its terminating zero.
constexpr size_t kChatLineSize = 510;

// Fills a format with arguments taken in order ("%s" or "%d" each take the next one; missing
// ones are empty), into out cut to size - 1 characters. Answers the length written.
size_t FormatChatText(char* out, size_t size, const char* format, const char* const* args, int argCount);
// Formats the record's format with the name, then the text, and hands the line (cut to 509
// characters) with the record's colour to the console.
void FormatChatLine(IChatConsole& console, CChatFormat format, const char* name, const char* text);
