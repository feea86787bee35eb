// The lobby's set-up protocol lines as anyone in a game channel may send them: the first byte
// picks who hears the line (host or guest), whether the sender is the channel's operator and
// whether it came privately; the rest is the line. Whatever reaches the screen must be within
// its field's bounds.
#include <string>
#include <vector>

#include "NetFuzzSupport.h"
#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "net/LobbySession.h"
#include "net/NetScreen.h"

namespace {

bool Place(int place) { return place >= 0 && place < kPlayerSlotCount; }

struct CheckingScreen : CNetScreen {
  void OnRequestColour(int place, int steps) override { net_fuzz::Require(Place(place) && steps >= 1 && steps <= 12); }
  void OnRequestPortrait(int place, int steps) override {
    net_fuzz::Require(Place(place) && steps >= 1 && steps <= 12);
  }
  void OnSetHandicap(int place, int value) override {
    net_fuzz::Require(Place(place) && value >= 0 && value <= kMaxHandicap);
  }
  int FindPlayer(const char* name) override { return std::string(name) == "bob" ? 1 : -1; }
  void OnReady(int place) override { net_fuzz::Require(place == 1); }
  void UpdatePlayerRow(int place, const CPlayerSlot& slot) override {
    net_fuzz::Require(Place(place) && slot.colour >= -1 && slot.colour < kSlotColours && slot.portrait >= -1 &&
                      slot.portrait < kSlotPortraits);
  }
  void OnGameSettings(const CGameSettings& settings) override {
    net_fuzz::Require(settings.magicItems >= 0 && settings.magicItems <= kMaxMagicItems);
  }
  void OnSetSlot(int place) override { net_fuzz::Require(Place(place)); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  const std::string seeds[] = {std::string("\x01") + "GAME 3 500 400 5 30 1 2 3 10 2 4 6 1 20",
                               std::string("\x01") + "SLOT 2 \"Big Grey Wizard\" 4 80 6 1",
                               std::string("\x02") + "CHRQ COLOUR 1 3",
                               std::string("\x02") + "SRDY 1",
                               std::string("\x05") + "SNUM 3",
                               std::string("\x04") + "PING COLOUR 7"};
  std::vector<net_fuzz::Bytes> bytes;
  for (const std::string& seed : seeds) bytes.emplace_back(seed.begin(), seed.end());
  net_fuzz::WriteSeeds(*argc, *argv, bytes);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static CLobbySession session;  // never connected: nothing is sent
  CheckingScreen screen;
  session.handler = &screen;
  session.hostFlag = data[0] & 2 ? 1 : 0;
  session.colourPing = 7;
  session.colourRequest = "CHRQ COLOUR 1 2";
  platform::IrcUser sender;
  sender.name = session.hostFlag ? "bob" : "host";
  sender.isOperator = data[0] & 1;
  const std::string line(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 4)
    session.ParseLobbyPrivateMessage(sender, line.c_str());
  else
    session.ParseLobbyGameMessage(sender, line.c_str());
  session.handler = nullptr;
  return 0;
}
