// The battle set-up protocol of the lobby: single lines of words, sent as tagged chat lines.
// The host decides, guests ask; what a line asks for is obeyed only when it comes from whom
// it may (see LobbySession.h) and every number stays within what its field can hold.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "net/LobbySession.h"
#include "net/NetHooks.h"
#include "net/NetScreen.h"
#include "platform/IrcLine.h"

namespace {

constexpr int kMaxRequestSteps = 12;
constexpr int kMaxPingNumber = 1 << 30;

// Reads a line word by word; numbers are whole decimal words within a range.
class Words {
 public:
  explicit Words(std::string_view text) : rest_(text) {}
  std::string_view Next() {
    while (!rest_.empty() && rest_.front() == ' ') rest_.remove_prefix(1);
    const size_t end = rest_.find(' ');
    const std::string_view word = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end);
    return word;
  }
  bool Int(int32_t& out, int64_t low, int64_t high) {
    const std::string_view word = Next();
    size_t at = word.substr(0, 1) == "-" ? 1 : 0;
    if (word.size() == at || word.size() - at > 10) return false;
    int64_t value = 0;
    for (; at < word.size(); ++at) {
      if (word[at] < '0' || word[at] > '9') return false;
      value = value * 10 + (word[at] - '0');
    }
    if (word[0] == '-') value = -value;
    if (value < low || value > high) return false;
    out = static_cast<int32_t>(value);
    return true;
  }
  // The rest of the line after the blanks that follow the last word read.
  std::string_view Rest() {
    while (!rest_.empty() && rest_.front() == ' ') rest_.remove_prefix(1);
    return rest_;
  }
  bool AtEnd() { return Rest().empty(); }

 private:
  std::string_view rest_;
};

bool ReadPlace(Words& words, int32_t& place) { return words.Int(place, 0, kPlayerSlotCount - 1); }

// The 14 numbers of a GAME line into a record that passes the peers' settings check.
bool ReadGameLine(Words& words, CGameSettings& settings) {
  CGameSettings record;
  for (int i = 0; i < kGameSettingsFields; ++i)
    if (!words.Int(*GameSettingsField(record, i), INT32_MIN, INT32_MAX)) return false;
  if (!words.AtEnd()) return false;
  uint8_t bytes[kGameSettingsBytes];
  WriteGameSettings(record, bytes);
  if (!g_netHooks.records->CheckGameSettings(bytes)) return false;
  settings = record;
  return true;
}

}  // namespace

void CLobbySession::SendProtocol(const std::string& text) {
  if (platform::IrcClient* component = Component()) component->SendPublicProtocol(text);
}

void CLobbySession::RequestColour(int place) {
  if (hostFlag) {
    if (handler) handler->OnRequestColour(place, 1);
    return;
  }
  colourSteps = std::min(colourSteps + 1, kMaxRequestSteps);
  colourRequest = "CHRQ COLOUR " + std::to_string(place) + " " + std::to_string(colourSteps);
  colourPing = colourPing % kMaxPingNumber + 1;
  SendProtocol("PING COLOUR " + std::to_string(colourPing));
}

void CLobbySession::RequestPortrait(int place) {
  if (hostFlag) {
    if (handler) handler->OnRequestPortrait(place, 1);
    return;
  }
  portraitSteps = std::min(portraitSteps + 1, kMaxRequestSteps);
  portraitRequest = "CHRQ PORTRAIT " + std::to_string(place) + " " + std::to_string(portraitSteps);
  portraitPing = portraitPing % kMaxPingNumber + 1;
  SendProtocol("PING PORTRAIT " + std::to_string(portraitPing));
}

void CLobbySession::SetHandicap(int place, int value) {
  if (hostFlag) {
    if (handler) handler->OnSetHandicap(place, value);
    return;
  }
  handicapRequest = "CHRQ HANDICAP " + std::to_string(place) + " " + std::to_string(value);
  handicapPing = handicapPing % kMaxPingNumber + 1;
  SendProtocol("PING HANDICAP " + std::to_string(handicapPing));
}

void CLobbySession::SendPlayerSlot(int place, const CPlayerSlot& slot) {
  CPlayerSlot copy = slot;
  SendProtocol("SLOT " + std::to_string(place) + " " + FormatPlayerSlotText(copy));
  if (handler) handler->UpdatePlayerRow(place, slot);
}

void CLobbySession::SendGameSettings(const CGameSettings& settings) {
  std::string line = "GAME";
  for (int i = 0; i < kGameSettingsFields; ++i) line += " " + std::to_string(*GameSettingsField(settings, i));
  SendProtocol(line);
  if (handler) handler->OnGameSettings(settings);
}

bool CLobbySession::SendSlotNumber(const char* playerName, int place) {
  platform::IrcClient* component = Component();
  if (!component || !playerName) return false;
  component->SendPrivateProtocol(playerName, "SNUM " + std::to_string(place));
  return true;
}

void CLobbySession::SendReady(int place) {
  for (std::string* queued : {&colourRequest, &portraitRequest, &handicapRequest}) {
    if (queued->empty()) continue;
    SendProtocol(*queued);
    queued->clear();
  }
  colourSteps = portraitSteps = 0;
  SendProtocol("SRDY " + std::to_string(place));
}

void CLobbySession::ParseLobbyGameMessage(const platform::IrcUser& sender, const char* text) {
  if (!text || !handler) return;
  const std::string copy = platform::DropControlCharacters(text);
  Words words(copy);
  const std::string_view kind = words.Next();
  int32_t place = 0;
  if (kind == "SLOT" || kind == "GAME") {
    // The host's records: from the channel's operator alone, never acted on by the host itself.
    if (!sender.isOperator || sender.self || hostFlag) return;
    if (kind == "SLOT") {
      if (!ReadPlace(words, place)) return;
      CPlayerSlot slot;
      slot.Reset();
      const std::string rest(words.Rest());
      if (ParsePlayerSlotText(rest.c_str(), slot)) handler->UpdatePlayerRow(place, slot);
      return;
    }
    CGameSettings settings;
    if (ReadGameLine(words, settings)) handler->OnGameSettings(settings);
    return;
  }
  if (!hostFlag) return;  // requests and readiness are the host's to hear
  if (kind == "CHRQ") {
    ParseRequest(sender, copy.c_str() + 4);
  } else if (kind == "PING") {
    const std::string_view pingKind = words.Next();
    int32_t number = 0;
    if ((pingKind == "COLOUR" || pingKind == "PORTRAIT" || pingKind == "HANDICAP") && words.Int(number, 0, INT32_MAX) &&
        words.AtEnd())
      if (platform::IrcClient* component = Component()) component->SendPrivateProtocol(sender.name, copy);
  } else if (kind == "SRDY") {
    if (ReadPlace(words, place) && words.AtEnd() && handler->FindPlayer(sender.name.c_str()) == place)
      handler->OnReady(place);
  }
}

void CLobbySession::ParseRequest(const platform::IrcUser& sender, const char* rest) {
  Words words(rest);
  const std::string_view kind = words.Next();
  int32_t place = 0, value = 0;
  if (!ReadPlace(words, place) || handler->FindPlayer(sender.name.c_str()) != place) return;
  if (kind == "COLOUR" && words.Int(value, 1, kMaxRequestSteps))
    handler->OnRequestColour(place, value);
  else if (kind == "PORTRAIT" && words.Int(value, 1, kMaxRequestSteps))
    handler->OnRequestPortrait(place, value);
  else if (kind == "HANDICAP" && words.Int(value, 0, kMaxHandicap))
    handler->OnSetHandicap(place, value);
}

void CLobbySession::ParseLobbyPrivateMessage(const platform::IrcUser& sender, const char* text) {
  if (!text || !handler || !sender.isOperator || sender.self || hostFlag) return;
  const std::string copy = platform::DropControlCharacters(text);
  Words words(copy);
  const std::string_view kind = words.Next();
  if (kind == "SNUM") {
    int32_t place = 0;
    if (ReadPlace(words, place) && words.AtEnd()) handler->OnSetSlot(place);
  } else if (kind == "PING") {
    ParsePingReturn(copy.c_str() + 4);
  }
}

void CLobbySession::ParsePingReturn(const char* rest) {
  Words words(rest);
  const std::string_view kind = words.Next();
  int32_t number = 0;
  if (!words.Int(number, 0, INT32_MAX)) return;
  std::string* queued = nullptr;
  int32_t* steps = nullptr;
  if (kind == "COLOUR" && number == colourPing) {
    queued = &colourRequest;
    steps = &colourSteps;
  } else if (kind == "PORTRAIT" && number == portraitPing) {
    queued = &portraitRequest;
    steps = &portraitSteps;
  } else if (kind == "HANDICAP" && number == handicapPing) {
    queued = &handicapRequest;
  }
  if (!queued) return;
  if (!queued->empty()) SendProtocol(*queued);
  queued->clear();
  if (steps) *steps = 0;
}
