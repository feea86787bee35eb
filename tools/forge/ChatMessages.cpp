// cfg\chatmessage.cfg: the five kinds of chat line, each a format with its text colour, and
// the lobby's numbered texts. A format takes the player's name, then the text; the lobby's
// texts take the values their numbers are shown with, in order.
#include <cstdio>

#include "forge/Forge.h"
#include "forge/IniText.h"

namespace {

struct ChatKind {
  const char* section;
  const char* format;
  int red, green, blue;
};

// Light colours that read on the consoles' dark panels.
constexpr ChatKind kKinds[] = {
    {"SYSTEM_MESSAGE", ">>> %s", 255, 214, 96},      {"PUBLIC_MESSAGE", "[%s] : %s", 232, 232, 224},
    {"PRIVATE_MESSAGE", "<%s> : %s", 128, 200, 255}, {"PUBLIC_ACTION", "* %s %s", 144, 232, 136},
    {"PRIVATE_ACTION", "* <%s> %s", 232, 152, 232},
};

constexpr const char* kLobbyTexts[] = {
    "Could not find a lobby server.",                      // 00 no server listed
    "%d players are in the lobby.",                        // 01 the count after login
    "Login failed: that name is already logged in.",       // 02 the name is taken
    "Login failed: wrong lobby password.",                 // 03 the server's password
    "Login failed: names start with a letter, at most 9.", // 04 a name the server refuses
    "Could not connect to the lobby server.",              // 05 any other failure
    "Could not join the chat channel (error %d).",         // 06
    "Could not join the game (error %d).",                 // 07
    "%s has joined the chat channel %s.",                  // 08 user, channel
    "%s has joined the game %s.",                          // 09
    "%s has left the chat channel %s.",                    // 10
    "%s has left the game %s.",                            // 11
    "%s has left the lobby.",                              // 12 user
    "Lobby notice: %s",                                    // 13 the notice's value
    "Could not create the chat channel.",                  // 14
    "Could not create the game.",                          // 15
    "Chat channel %s created.",                            // 16 channel
    "Game %s created: waiting for players.",               // 17
    "Lobby server time: %s",                               // 18 calendar text
    "%d chat channels listed.",                            // 19 a number
    "%d games listed.",                                    // 20
    "%d chat channels open.",                              // 21
    "%d games open.",                                      // 22
    "You were removed from the chat channel %s by %s.",    // 23 channel, other user
    "You were removed from the game %s by %s.",            // 24
    "%s was removed from the chat channel %s by %s.",      // 25 user, channel, other user
    "%s was removed from the game %s by %s.",              // 26
    "Could not join that channel.",                        // 27
    "Could not create that game.",                         // 28
};

FORGE_STEP(ChatMessageFile) {
  forge::IniText ini;
  ini.Comment("Chat lines: a format (the name, then the text) and its colour.");
  for (const ChatKind& kind : kKinds)
    ini.Section(kind.section)
        .Key("FORMAT", kind.format)
        .Key("RED", kind.red)
        .Key("GREEN", kind.green)
        .Key("BLUE", kind.blue);
  ini.Section("STRINGS");
  char key[8];
  int number = 0;
  for (const char* text : kLobbyTexts) {
    std::snprintf(key, sizeof key, "STR_%02d", number++);
    ini.Key(key, text);
  }
  ctx.WriteText("cfg\\chatmessage.cfg", ini.Text());
}

}  // namespace
