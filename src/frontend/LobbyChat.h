#pragma once
// CLobbyChatScreen: the online lobby itself. A console of chat lines, the channels of the kind
// chosen by the two radio buttons (chat channels or games), the users of the current channel
// (several may be selected: a line typed then goes privately to each), the line for typing, and
// buttons to act, join and leave channels, refresh, ignore, ban, kick, go away, create a game
// and leave the lobby. Creating a game leads to the host's battle set-up, choosing a listed
// game to the guest's; both then talk through the lobby session, and coming back here leaves
// the game channel. Leaving this screen logs off.
//
// A user line is the name, then " +" for a channel operator and " *" for this user; a selected
// line is used by its first word, so a channel line "name  count" gives the channel's name.

#include <string>
#include <vector>

#include "frontend/LobbyScreen.h"

class CEditBox;
class CListBox;
class CMessageListBox;
class CMultiplayerBattleSetupScreen;

class CLobbyChatScreen : public CLobbyScreen {
 public:
  enum Button {
    kAction = 0,
    kLeaveLobby,
    kJoin,
    kLeaveChannel,
    kRefresh,
    kIgnore,
    kBan,
    kKick,
    kAway,
    kUnused10,
    kUnused11,
    kCreateGame,
    kButtonCount
  };
  enum Radio { kChatChannels = 0, kGameChannels = 1 };
  enum ListIndex { kChannelList = 0, kUserList = 1 };

  CLobbyChatScreen();

  void Enter() override;
  void Exit() override;
  void Suspend() override;
  void Resume() override;
  void AfterDraw() override;
  void OnClick(int type, int index) override;

  // CNetScreen: the lobby's console and lists.
  void AddConsoleLine(const char* text, int red, int green, int blue) override;
  void BeginChannelList() override;
  void AddChannelLine(const char* text) override;
  void RemoveChannelLine(const char* text) override;
  void SetCurrentChannel(const char* channel) override;
  void BeginUserList() override;
  void AddUser(const char* name, uint8_t isOperator, uint8_t own) override;
  void RemoveUser(const char* name, uint8_t isOperator, uint8_t own) override;

  CMessageListBox* Console() const;
  CEditBox* Line() const;
  // The selected users' names (the first words of the selected lines).
  std::vector<std::string> SelectedUsers();
  // A channel line was chosen: joins it, and a game leads to the guest's set-up.
  void ChooseChannel();

 protected:
  void AfterLoad() override;

 private:
  void SendLine(bool action);
  void JoinTypedChannel();
  void LeaveChannel();
  void CreateGame();
  void Refresh();
  void FollowRadioButtons();
  void SelectRadio(int radio);
  void GoToSetup(CMultiplayerBattleSetupScreen* setup);
  std::string TakeLine();

  std::string rememberedChannel_;
  std::vector<std::string> rememberedUsers_;
  CMultiplayerBattleSetupScreen* setupNext_ = nullptr;  // the set-up screen being pushed
  std::unique_ptr<CCallback> channelChosen_;
};

// "name", "name +", "name *" or "name + *".
std::string LobbyUserLine(const char* name, uint8_t isOperator, uint8_t own);
// The first word of a list line ("" for none).
std::string FirstWord(const char* line);

extern CLobbyChatScreen* g_lobbyChat;
