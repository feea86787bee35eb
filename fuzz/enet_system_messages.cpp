// What a member machine sends beside the game's bytes: players added and removed, the session
// flags, and the envelopes of game messages and chat lines. Each reader refuses what is
// malformed; what it takes, the writer gives back byte for byte.
#include <cstring>
#include <string>

#include "NetFuzzSupport.h"
#include "platform/EnetWire.h"

using namespace platform::enetwire;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const uint8_t frame[24] = {0, 0, 0, 0, 1, 0, 0, 0, 24};
  net_fuzz::WriteSeeds(
      *argc, *argv,
      {EncodePlayerAdd(PlayerChange{PlayerIdOf(2, 1), false, "Ann"}), EncodePlayerAdd(PlayerChange{1, true, ""}),
       EncodePlayerRemove(PlayerIdOf(2, 1)), EncodeFlags(0x65), EncodeData(PlayerIdOf(2, 1), 1, frame, sizeof frame),
       EncodeChat(PlayerIdOf(2, 1), 0, "hello")});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes input(data, data + size);
  PlayerChange change;
  if (DecodePlayerAdd(data, size, change)) {
    net_fuzz::Require(change.name.size() <= kMaxNameBytes && change.name.find('\0') == std::string::npos);
    net_fuzz::Require(EncodePlayerAdd(change) == input);
  }
  uint32_t id = 0, flags = 0;
  if (DecodePlayerRemove(data, size, id)) net_fuzz::Require(EncodePlayerRemove(id) == input);
  if (DecodeFlags(data, size, flags)) net_fuzz::Require(EncodeFlags(flags) == input);
  Envelope envelope;
  if (DecodeData(data, size, envelope)) {
    net_fuzz::Require(envelope.bytes + envelope.size == data + size);
    net_fuzz::Require(EncodeData(envelope.from, envelope.to, envelope.bytes, envelope.size) == input);
  }
  uint32_t from = 0, to = 0;
  std::string text;
  if (DecodeChat(data, size, from, to, text)) {
    net_fuzz::Require(text.size() <= kMaxChatBytes && text.find('\0') == std::string::npos);
    net_fuzz::Require(EncodeChat(from, to, text) == input);
  }
  return 0;
}
