#pragma once
// The network battle's set-up screens as the forge writes them: their layout files, which the
// tests read to find the controls.

#include "forge/ScreenLayout.h"

namespace forge {

// "Interface\MultiplayerBattleSetup\screen (MultiPlayer Battle Setup).cfg": TEXT_1-4 (names
// of places 0-3), _5-8 (their handicaps), _9-12 (where the own handicap slider goes), _13
// (status), _14 (region), _15-27 (captions), _28-40 (the settings); TEXTBUTTON_1 (send), _2
// (back); MESSAGELISTBOX_1; EDITBOX_1 (chat line); STANDARDBUTTON_1-4 (portraits), _5-8
// (colours); SLIDERBAR_1-4 (the handicap of places 0-3).
ScreenLayout MultiplayerSetupLayout();
// "... (MultiPlayer Battle Create).cfg", the host's part: SLIDERBAR_1-13 (the settings),
// TEXTBUTTON_1 (choose the map), _2 (start), STANDARDBUTTON_1-3 (remove places 1-3).
ScreenLayout MultiplayerCreateLayout();
// "... (Multiplayer Battle Join).cfg", the guest's part: TEXTBUTTON_1 (ready).
ScreenLayout MultiplayerJoinLayout();
// "Interface\JoinMultiplayerScreen\screen (Join Multiplayer Game).cfg": TEXT_1-3,
// RADIOBUTTON_1-3 (connection), TEXTBUTTON_1 (continue), _2 (back), EDITBOX_1 (name).
ScreenLayout JoinMultiplayerLayout();
// "Interface\MultiplayerGameSelect\screen (Multiplayer Game Selection).cfg": TEXT_1,
// LISTBOX_1 (sessions), TEXTBUTTON_1 (join), _2 (back).
ScreenLayout MultiplayerGameSelectLayout();
// "Interface\SetMultiplayerScreen\screen (Set Multiplayer Game).cfg": TEXT_1-4, EDITBOX_1
// (session name), _2 (player name), RADIOBUTTON_1-3, TEXTBUTTON_1 (create), _2 (back).
ScreenLayout SetMultiplayerLayout();

}  // namespace forge
