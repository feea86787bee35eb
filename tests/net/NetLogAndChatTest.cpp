// The network log ring and its file, and the chat formats with cfg\chatmessage.cfg.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Options.h"
#include "net/ChatFormats.h"
#include "net/NetLog.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

using testing_support::ReadText;

// Network logging switched on (or off) for the test, and an empty ring.
class NetLogScope {
 public:
  explicit NetLogScope(bool on) : saved_(g_networkLogging) {
    g_networkLogging = on ? 1 : 0;
    g_netLog.Clear();
  }
  ~NetLogScope() {
    g_networkLogging = saved_;
    g_netLog.Clear();
  }

 private:
  int saved_;
};

TEST(NetLog, After401EntriesTheFileListsTheLast400InOrder) {
  NetLogScope logging(true);
  testing_support::TempDir dir;
  for (int i = 1; i <= 400; ++i) NetLogAdd(("entry " + std::to_string(i)).c_str());
  NetLogAddNumber(-7);
  EXPECT_EQ(g_netLog.added, 401);
  EXPECT_EQ(g_netLog.position, 1);
  g_netLog.WriteToFile(dir.File("net_log.txt").c_str());
  std::string text = ReadText(dir.File("net_log.txt"));
  ASSERT_EQ(text.rfind("NETWORK LOG\nentry 2\nentry 3\n", 0), 0u);
  EXPECT_EQ(text.find("entry 1\n"), std::string::npos);
  EXPECT_NE(text.find("entry 400\n-7\n\n\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 6), "\n-7\n\n\n");
}

TEST(NetLog, OffErrorsStillEnterTheRingButNoFileIsWritten) {
  NetLogScope logging(false);
  testing_support::TempDir dir;
  NetLogLine("protocol line", {1, 2});
  EXPECT_EQ(g_netLog.added, 0);
  NetLogAddError("failed to send host frame message", 0x887700BEu);
  ASSERT_EQ(g_netLog.added, 1);
  EXPECT_STREQ(g_netLog.entries[0].text,
               "failed to send host frame message\ndirectplay error code : DPERR_NOMESSAGES\n");
  g_netLog.WriteToFile(dir.File("net_log.txt").c_str());
  EXPECT_FALSE(platform::FileExists(dir.File("net_log.txt")));
}

TEST(NetLog, ResultNamesAndLongTexts) {
  NetLogScope logging(true);
  EXPECT_STREQ(DirectPlayErrorName(0), "DP_OK");
  EXPECT_STREQ(DirectPlayErrorName(0x88770096u), "DPERR_INVALIDPLAYER");
  EXPECT_STREQ(DirectPlayErrorName(0x88770118u), "DPERR_USERCANCEL");
  EXPECT_STREQ(DirectPlayErrorName(0x12345678u), "UNKNOWN_ERROR_CODE");
  NetLogAdd(std::string(600, 'x').c_str());
  EXPECT_EQ(std::string(g_netLog.entries[0].text), std::string(255, 'x'));
}

// --- chat formats --------------------------------------------------------------------------

TEST(ChatFormats, FormatsNeverReachPrintf) {
  struct Case {
    const char* format;
    const char* name;
    const char* text;
    const char* line;
  };
  const Case cases[] = {
      {"[%s] : %s", "Ann", "hello", "[Ann] : hello"},
      {">>> %s", "server going down", "unused", ">>> server going down"},
      {"%s %s %s", "a", "b", "a b "},          // a third "%s" takes nothing
      {"100%% %s", "sure", "", "100% sure"},   // "%%" is a percent sign
      {"%d%n%x%p %s", "a", "b", "a%n%x%p b"},  // no other conversion is made
      {"ends in %", "x", "", "ends in %"},
      {"[%s]", "%s%n", "", "[%s%n]"},  // what a player types stays text
  };
  for (const Case& c : cases) {
    char line[kChatLineSize];
    const char* args[2] = {c.name, c.text};
    FormatChatText(line, sizeof line, c.format, args, 2);
    EXPECT_STREQ(line, c.line) << c.format;
  }
}

struct RecordingConsole : IChatConsole {
  std::string text;
  int red = -1, green = -1, blue = -1;
  void AddConsoleLine(const char* line, int r, int g, int b) override {
    text = line;
    red = r;
    green = g;
    blue = b;
  }
};

TEST(ChatFormats, LinesAreCutAt509CharactersAndColoursClamped) {
  RecordingConsole console;
  CChatFormat format = {};
  std::snprintf(format.format, sizeof format.format, "[%%s] : %%s");
  format.red = 300;
  format.green = -4;
  format.blue = 17;
  const std::string text(800, 'y');
  FormatChatLine(console, format, "Ann", text.c_str());
  EXPECT_EQ(console.text.size(), kChatLineSize - 1);
  EXPECT_EQ(console.text.rfind("[Ann] : yyy", 0), 0u);
  EXPECT_EQ(console.red, 255);
  EXPECT_EQ(console.green, 0);
  EXPECT_EQ(console.blue, 17);
}

TEST(ChatFormats, MissingFileLeavesTheDefaults) {
  testing_support::TempDir dir(true);
  CChatFormats formats;
  EXPECT_TRUE(formats.Load("cfg\\chatmessage.cfg"));
  EXPECT_STREQ(formats.formats[kChatSystemMessage].format, ">>> %s");
  EXPECT_STREQ(formats.formats[kChatPrivateMessage].format, "<%s> : %s");
  EXPECT_EQ(formats.formats[kChatPublicAction].red, 0);
  EXPECT_EQ(LoadChatStringTable("cfg\\chatmessage.cfg"), 0);
}

TEST(ChatFormats, ColoursReadAsNumbersAndKeepTheirValueOtherwise) {
  testing_support::TempDir dir(true);
  dir.Write("chat.cfg",
            "[PUBLIC_MESSAGE]\nFORMAT=\"%s says %s\"\nRED=255 \nGREEN=abc\nBLUE=999\n"
            "[PRIVATE_ACTION]\nBLUE=12\n");
  CChatFormats formats;
  formats.formats[kChatPublicMessage].green = 40;
  ASSERT_TRUE(formats.Load("chat.cfg"));
  const CChatFormat& publicMessage = formats.formats[kChatPublicMessage];
  EXPECT_STREQ(publicMessage.format, "%s says %s");
  EXPECT_EQ(publicMessage.red, 255);
  EXPECT_EQ(publicMessage.green, 40);
  EXPECT_EQ(publicMessage.blue, 255);
  EXPECT_EQ(formats.formats[kChatPrivateAction].blue, 12);
  EXPECT_STREQ(formats.formats[kChatPrivateAction].format, "!%s! : %s");
}

TEST(ChatFormats, TheForgedFileHoldsFiveFormatsAndTheLobbyTexts) {
  testing_support::ForgedDataCopy data;
  CChatFormats formats;
  ASSERT_TRUE(formats.Load("cfg\\chatmessage.cfg"));
  for (const CChatFormat& format : formats.formats) {
    EXPECT_NE(std::string(format.format).find("%s"), std::string::npos);
    EXPECT_GT(format.red + format.green + format.blue, 0) << format.format;
  }
  ASSERT_EQ(LoadChatStringTable("cfg\\chatmessage.cfg"), 1);
  EXPECT_EQ(g_chatStrings.Count(), 29);
  // Texts shaped for their arguments: user and channel, a number, three names.
  EXPECT_NE(std::string(g_chatStrings.Get(1)).find("%d"), std::string::npos);
  EXPECT_NE(std::string(g_chatStrings.Get(9)).find("%s"), std::string::npos);
  const std::string kicked = g_chatStrings.Get(26);
  EXPECT_EQ(std::count(kicked.begin(), kicked.end(), '%'), 3);
  g_chatStrings.Free();
}

}  // namespace
