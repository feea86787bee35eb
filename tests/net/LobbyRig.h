#pragma once
// What the lobby tests share: a network screen that records every call, lobby sessions logged
// in to a local chat server, and pumping several of them until something holds.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "net/LobbySession.h"
#include "net/NetScreen.h"
#include "support/IrcServer.h"

namespace lobby_test {

// Every call a transport makes on its screen, as text, in order.
class RecordingScreen : public CNetScreen {
 public:
  void AddConsoleLine(const char* text, int, int, int) override {
    Note("console", text);
    consoles.push_back(text);
  }
  void BeginChannelList() override { channels.clear(); }
  void AddChannelLine(const char* text) override { channels.push_back(text); }
  void SetCurrentChannel(const char* channel) override { Note("channel", channel); }
  void BeginUserList() override { users.clear(); }
  void AddUser(const char* name, uint8_t op, uint8_t own) override {
    users.push_back(name);
    Note("adduser", name);
  }
  void RemoveUser(const char* name, uint8_t, uint8_t own) override { Note("removeuser", name); }
  void ShowMessageBox(const char* text, int value) override {
    boxes.push_back(text);
    boxValues.push_back(value);
  }
  void Abort() override { ++aborts; }
  void OnRequestColour(int place, int steps) override { Note("colour", place, steps); }
  void OnRequestPortrait(int place, int steps) override { Note("portrait", place, steps); }
  void OnSetHandicap(int place, int value) override { Note("handicap", place, value); }
  int FindPlayer(const char* name) override {
    for (size_t i = 0; i < places.size(); ++i)
      if (places[i] == name) return static_cast<int>(i);
    return -1;
  }
  void OnReady(int place) override { Note("ready", place); }
  void UpdatePlayerRow(int place, const CPlayerSlot& slot) override {
    Note("slot", place);
    lastSlot = slot;
  }
  void OnGameSettings(const CGameSettings& settings) override {
    Note("game");
    lastSettings = settings;
  }
  void OnSetSlot(int ownPlace) override { Note("snum", ownPlace); }
  void CreateSession() override { Note("create"); }
  void JoinSession(const char* address) override { Note("join", address); }

  // The calls of one kind, e.g. "colour 1 3".
  std::vector<std::string> Calls(const std::string& kind) const {
    std::vector<std::string> out;
    for (const std::string& call : calls)
      if (call.rfind(kind, 0) == 0) out.push_back(call);
    return out;
  }
  bool SawConsole(const std::string& part) const {
    for (const std::string& line : consoles)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }

  std::vector<std::string> calls, consoles, channels, users, boxes;
  std::vector<int> boxValues;
  std::vector<std::string> places;  // the host's seating, for FindPlayer
  int aborts = 0;
  CPlayerSlot lastSlot;
  CGameSettings lastSettings;

 private:
  void Note(const std::string& kind, const std::string& text = "") {
    calls.push_back(kind + (text.empty() ? "" : " " + text));
  }
  void Note(const std::string& kind, int a) { Note(kind, std::to_string(a)); }
  void Note(const std::string& kind, int a, int b) { Note(kind, std::to_string(a) + " " + std::to_string(b)); }
};

// One user of the lobby: a session of its own with its recording screen.
struct LobbyUser {
  CLobbySession session;
  RecordingScreen screen;
  LobbyUser() {
    session.handler = &screen;
    session.pumpWindow = nullptr;
  }
  ~LobbyUser() { session.Release(); }
};

// Points the lobby options at the server and loads chat strings "STR_nn a b c" that name
// themselves; puts the options back at the end.
class LobbyOptions {
 public:
  explicit LobbyOptions(uint16_t port, int timeOutMs = 15000);
  ~LobbyOptions();

 private:
  testing_support::TempDir dir_{true};  // the string table is read from the current folder
  int port_, timeOut_;
};

// Pumps the sessions until the condition holds; false after the limit. The server lets each
// connection through at about three lines a second, so a busy user may wait a few seconds.
bool PumpUntil(std::initializer_list<LobbyUser*> users, const std::function<bool()>& condition, int limitMs = 15000);
// Logs the user in with the server's password; true when connected.
bool LogIn(LobbyUser& user, const std::string& name, const std::string& password);

}  // namespace lobby_test
