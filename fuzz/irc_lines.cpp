// What a chat server (or anyone who can talk through it) may send the lobby's client: any
// bytes, split into lines, parsed and acted on by a client logged in as "me". Every text that
// reaches an event must be free of control characters and within the line limit.
#include <cstring>
#include <string>
#include <vector>

#include "NetFuzzSupport.h"
#include "platform/IrcClient.h"
#include "platform/IrcLine.h"

namespace {

void CheckText(const std::string& text) {
  net_fuzz::Require(text.size() <= platform::kIrcMaxLineBytes);
  for (char c : text) net_fuzz::Require(static_cast<unsigned char>(c) >= 32 && c != 127);
}

struct CheckingEvents : platform::IrcEvents {
  void PublicMessage(int32_t, const platform::IrcChannel&, const platform::IrcUser& user,
                     const std::string& text) override {
    CheckText(text);
  }
  void PrivateMessage(int32_t, const platform::IrcUser&, const std::string& text) override { CheckText(text); }
  void PublicAction(int32_t, const platform::IrcChannel&, const platform::IrcUser&, const std::string& text) override {
    CheckText(text);
  }
  void PrivateAction(int32_t, const platform::IrcUser&, const std::string& text) override { CheckText(text); }
  void PublicProtocol(int32_t, const platform::IrcChannel&, const platform::IrcUser&,
                      const std::string& text) override {
    CheckText(text);
  }
  void PrivateProtocol(int32_t, const platform::IrcUser&, const std::string& text) override { CheckText(text); }
  void UserList(int32_t, const platform::IrcChannel&, const std::vector<platform::IrcUser>& users) override {
    net_fuzz::Require(users.size() <= 1000);
  }
  void ChannelList(int32_t, const std::vector<platform::IrcChannel>& channels) override {
    net_fuzz::Require(channels.size() <= 1000);
  }
  void UserAddresses(const std::vector<platform::IrcUser>& users) override { net_fuzz::Require(users.size() == 1); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const std::string seeds[] = {
      ":srv 353 me = #game.duel :@host me +bob\r\n:srv 366 me #game.duel :End\r\n",
      ":bob!b@h PRIVMSG #game.duel :\x01VRASK SLOT 1 \"Bob\" 1 100 2 0\x01\r\n:host!h@h PRIVMSG me :\x01VRASK SNUM "
      "2\x01\r\n",
      ":host!h@h PRIVMSG #game.duel :\x01VRASKSTART 127.0.0.1\x01\nPING :x\r\n:srv 322 me #tavern 3 :t\r\n:srv 323 me "
      ":End\r\n",
      ":host!h@h MODE #game.duel +ol-o+k bob 4 carol key\r\n:host!h@h KICK #game.duel me :out\r\n:bob!b@h QUIT "
      ":bye\r\n",
  };
  std::vector<net_fuzz::Bytes> bytes;
  for (const std::string& seed : seeds) bytes.emplace_back(seed.begin(), seed.end());
  net_fuzz::WriteSeeds(*argc, *argv, bytes);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  platform::IrcMessage message;
  if (platform::ParseIrcLine(std::string_view(text, size), message))
    net_fuzz::Require(!message.command.empty() && message.params.size() <= platform::kIrcMaxParams);

  CheckingEvents events;
  platform::IrcClient client(events);
  // The channel is joined first, so that the input's lines find a current channel to act on.
  const std::string join =
      ":me!m@h JOIN #game.duel\r\n:srv 353 me = #game.duel :@host me\r\n:srv 366 me #game.duel :End\r\n";
  platform::IrcChannel channel;
  channel.type = platform::kIrcGameChannel;
  channel.name = "duel";
  client.ReceiveForTest("me", "", 0);
  client.JoinChannelWithKey(channel);
  client.ReceiveForTest("me", join.data(), join.size());
  client.ReceiveForTest("me", text, size);
  return 0;
}
