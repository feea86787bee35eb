// The chat server's lines as the lobby's client reads and writes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/IrcClient.h"
#include "platform/IrcLine.h"

namespace {

using platform::IrcMessage;
using platform::ParseIrcLine;

TEST(IrcLineTest, ParsesPrefixCommandAndParameters) {
  struct Case {
    const char* line;
    const char* prefix;
    const char* command;
    std::vector<std::string> params;
  };
  const Case cases[] = {
      {":bob!b@h PRIVMSG #tavern :hello there\r\n", "bob!b@h", "PRIVMSG", {"#tavern", "hello there"}},
      {"PING :lobby.test", "", "PING", {"lobby.test"}},
      {":srv 353 me = #game.duel :@host me", "srv", "353", {"me", "=", "#game.duel", "@host me"}},
      {"join   #a   key", "", "JOIN", {"#a", "key"}},
      {":srv 001 me :", "srv", "001", {"me", ""}},
  };
  for (const Case& c : cases) {
    IrcMessage message;
    ASSERT_TRUE(ParseIrcLine(c.line, message)) << c.line;
    EXPECT_EQ(message.prefix, c.prefix) << c.line;
    EXPECT_EQ(message.command, c.command) << c.line;
    EXPECT_EQ(message.params, c.params) << c.line;
  }
  IrcMessage message;
  EXPECT_FALSE(ParseIrcLine("", message));
  EXPECT_FALSE(ParseIrcLine(":only-a-prefix", message));
  ASSERT_TRUE(ParseIrcLine("X 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17", message));
  EXPECT_EQ(message.params.size(), platform::kIrcMaxParams);
  EXPECT_EQ(message.params.back(), "15 16 17");
}

TEST(IrcLineTest, TheSplitterDropsALineBeyondTheLimitWhole) {
  platform::IrcLineSplitter splitter;
  const std::string input = "first\r\n" + std::string(600, 'x') + "\r\nsecond\nthi";
  splitter.Add(input.data(), input.size());
  std::string line;
  std::vector<std::string> lines;
  while (splitter.Next(line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second"}));
  splitter.Add("rd\r\n", 4);
  ASSERT_TRUE(splitter.Next(line));
  EXPECT_EQ(line, "third");
}

TEST(IrcLineTest, ControlCharactersGoAndCutsKeepWholeCharacters) {
  EXPECT_EQ(platform::DropControlCharacters("a\r\nQUIT\x01\x03"
                                            "4b\x7f"),
            "aQUIT4b");
  EXPECT_EQ(platform::CutUtf8("ab\xc3\xa9", 3), "ab");
  EXPECT_EQ(platform::CutUtf8("abc", 5), "abc");
  EXPECT_TRUE(platform::IrcSameName("Bob", "bOB"));
  EXPECT_FALSE(platform::IrcWordOk("two words"));
  EXPECT_FALSE(platform::IrcWordOk(":x"));
  EXPECT_TRUE(platform::IrcWordOk("duel"));
}

// What the client hears as the server relays it: tags of ours are never chat, an address comes
// with the sender's operator flag, others' chat loses its control characters.
struct Recorder : platform::IrcEvents {
  void PublicMessage(int32_t, const platform::IrcChannel&, const platform::IrcUser& user,
                     const std::string& text) override {
    lines.push_back("chat " + user.name + " " + text);
  }
  void PublicProtocol(int32_t, const platform::IrcChannel&, const platform::IrcUser& user,
                      const std::string& text) override {
    lines.push_back("protocol " + user.name + (user.isOperator ? "@ " : " ") + text);
  }
  void UserAddresses(const std::vector<platform::IrcUser>& users) override {
    lines.push_back("address " + users[0].name + (users[0].isOperator ? "@ " : " ") + std::to_string(users[0].address));
  }
  std::vector<std::string> lines;
};

TEST(IrcLineTest, TaggedLinesAreProtocolAndAddressesCarryTheOperatorFlag) {
  Recorder recorder;
  platform::IrcClient client(recorder);
  client.ReceiveForTest("me", "", 0);
  platform::IrcChannel channel;
  channel.type = platform::kIrcGameChannel;
  channel.name = "duel";
  ASSERT_TRUE(client.JoinChannelWithKey(channel));
  const std::string input =
      ":srv 353 me = #game.duel :@host me bob\r\n:srv 366 me #game.duel :End\r\n"
      ":host!h@h PRIVMSG #game.duel :\x01VRASK GAME 1\x01\r\n"
      ":bob!b@h PRIVMSG #game.duel :\x01VRASKSTART 10.0.0.9\x01\r\n"
      ":host!h@h PRIVMSG #game.duel :\x01VRASKSTART 127.0.0.1\x01\r\n"
      ":bob!b@h PRIVMSG #game.duel :hi\x02 all\r\n"
      ":bob!b@h PRIVMSG #tavern :elsewhere\r\n";
  client.ReceiveForTest("me", input.data(), input.size());
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"protocol host@ GAME 1", "address bob 150994954",
                                                      "address host@ 16777343", "chat bob hi all"}));
}

}  // namespace
