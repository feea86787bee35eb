#pragma once
// The online lobby's two screens as the forge writes them: their layout files, which the tests
// read to find the controls.

#include "forge/ScreenLayout.h"

namespace forge {

// "Interface\LobbyLogin\screen (Lobby Login).cfg": TEXT_1 and TEXT_2 (the captions),
// EDITBOX_1 (the lobby name), EDITBOX_2 (the password).
ScreenLayout LobbyLoginLayout();
// "Interface\LobbyChat\screen (Lobby Chat).cfg": TEXTBUTTON_1 (action), _2 (leave the lobby),
// _3 (join), _4 (leave the channel), _5 (refresh), _6 (ignore), _7 (ban), _8 (kick), _9 (away),
// _10 and _11 (unused), _12 (create a game); RADIOBUTTON_1 (chat channels), _2 (games);
// EDITBOX_1 (the line); MESSAGELISTBOX_1 (the console); LISTBOX_1 (channels), _2 (users);
// TEXT_1 (the current channel).
ScreenLayout LobbyChatLayout();

}  // namespace forge
