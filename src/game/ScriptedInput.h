#pragma once
// Scripted input for runs with no one at the keyboard (end-to-end tests on a display that no
// one sees, demonstrations). When the environment variable VRASK_SCRIPT names a file, the main
// loop hands every frame to ScriptedInputFrame after the frame was shown: it notes the screen
// on top, sends the clicks and keys the script gives for that frame as the system would (they
// arrive with the next frame's messages), and saves the frame as a PNG file.
//
// The script holds one command a line; '#' begins a comment:
//   log <file>              the screen log: a line "<frame> <screen id>" each time another
//                           screen comes on top (0 when none is left)
//   <frame> move <x> <y>    the pointer moved there (what lies under it, and the cursor,
//                           are known from the next frame on, as for a hand on the mouse)
//   <frame> click <x> <y>   a left click at a point of the client area
//   <frame> rclick <x> <y>  a right click
//   <frame> press <x> <y>   the left button pressed there (and held)
//   <frame> release <x> <y> the left button released there: a drag with a press before
//   <frame> key <key>       a key pressed and released: RETURN, ESCAPE, TAB, SPACE, UP, DOWN,
//                           LEFT, RIGHT, SHIFT, CTRL, ALT, PGUP, PGDN, HOME, END, BACK,
//                           DELETE, INSERT, F1 to F12, a letter, digit or punctuation character
//                           (which it also types, letters in lower case), or a virtual key
//                           code of two or more digits
//   <frame> keydown <key>   a key pressed and held (it types its character once)
//   <frame> keyup <key>     a held key let go
//   <frame> png <file>      the frame as the window shows it
//   <frame> close           the window closed, as by the user
//   <frame> seed <n>        the front end's generator (g_random) seeded with n, so that a run
//                           draws the same opponents and battle seeds every time
//   <frame> battle won      the running battle ends as the player's victory, or
//   <frame> battle lost     as its defeat, through the battle's own end (its countdown, then
//                           the end screen of a campaign battle); nothing without a battle
//   on <screen id> [<n>]    the commands after it count their frames from the frame in which
//                           that screen first came on top (frame 1: that frame), or came on top
//                           for the n-th time (a menu returned to after a battle), until the
//                           next "on"; "on 0" counts from the start again. A road between
//                           programs whose pace differs waits so for the screens it needs.
// Frames count from 1. A line that cannot be read is reported on stderr and left out.

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct ScriptCommand {
  enum Kind { kClick, kRightClick, kPress, kRelease, kKey, kKeyDown, kKeyUp, kPng, kClose, kSeed, kMove };
  int frame = 0;
  Kind kind = kClick;
  int x = 0, y = 0;
  int key = 0;
  char typed = 0;  // the character the key types, 0 for none
  uint32_t seed = 0;
  // A test's action on the game itself rather than an input: the running battle decided.
  enum Action { kNoAction, kWinBattle, kLoseBattle };
  Action action = kNoAction;
  std::string file;
  int screen = 0;  // counted from this screen's first frame on top; 0 from the start
  int screenTime = 1;  // ... or from the frame it came on top for this time
};

struct InputScript {
  std::string logFile;
  std::vector<ScriptCommand> commands;  // in frame order, each frame's in the script's order
  std::vector<ScriptCommand> onScreen;  // the commands counted from a screen, in the script's order
  std::vector<std::string> errors;      // "line <n>: <what>"
};

// Reads a script's text.
InputScript ParseInputScript(const std::string& text);

class CScriptedInput {
 public:
  ~CScriptedInput();
  // Reads the script file; false when it cannot be read (reported on stderr).
  bool Load(const char* path);
  void Use(InputScript script);
  // The work of one frame, after it was shown.
  void Frame(int frame, int topScreenId);

 private:
  void Run(const ScriptCommand& command);
  InputScript script_;
  size_t next_ = 0;
  int lastScreen_ = -1;
  std::map<std::pair<int, int>, int> framesOn_;  // (screen id, n): the frame it came on top the n-th time
  std::map<int, int> timesOn_;                   // screen id: how often it came on top
  std::vector<bool> onScreenDone_;
  FILE* log_ = nullptr;
};

// Starts the scripted input when VRASK_SCRIPT is set (start-up, before the main loop).
void StartScriptedInput();
// Called by the main loop once a frame; nothing without a script.
void ScriptedInputFrame();
// Saves what the primary surface shows as a PNG file; false when it cannot.
bool SaveShownFrame(const std::string& path);
