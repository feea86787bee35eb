#pragma once
// Modal message boxes. The caption and text always go to stderr; with a display a real box
// (SDL) follows, and with none, or when the box cannot be shown, the box answers its default
// button. Tests can record the boxes and script the answers.

#include <functional>
#include <string>

namespace platform {

// Buttons, icon and behaviour of a box; combine one of each group.
enum MessageBoxFlags : unsigned {
  kBoxOk = 0x0,
  kBoxOkCancel = 0x1,
  kBoxAbortRetryIgnore = 0x2,
  kBoxYesNo = 0x4,
  kBoxYesNoCancel = 0x3,
  kBoxButtonsMask = 0xF,

  kBoxIconError = 0x10,
  kBoxIconQuestion = 0x20,
  kBoxIconWarning = 0x30,
  kBoxIconInformation = 0x40,
  kBoxIconMask = 0xF0,

  kBoxDefaultButton2 = 0x100,  // the second button is the default answer
  kBoxSystemModal = 0x1000,
  kBoxTaskModal = 0x2000,
  kBoxTopMost = 0x40000,
};

// The answers.
enum MessageBoxAnswer : int {
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerAbort = 3,
  kAnswerRetry = 4,
  kAnswerIgnore = 5,
  kAnswerYes = 6,
  kAnswerNo = 7,
};

struct MessageBoxCall {
  std::string caption;
  std::string text;
  unsigned flags = 0;
};

// Shows a box and answers the button chosen.
int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags);

// The short sound that goes with an error box.
void MessageBeep();

// The answer a box gives when nobody can choose: its default button.
int DefaultAnswer(unsigned flags);

// Replaces the box for tests: every call goes to the handler, which answers. Pass an empty
// function to go back to real boxes.
void SetMessageBoxHandler(std::function<int(const MessageBoxCall&)> handler);

// Whether boxes are also shown as windows (a display is there) or only written to stderr.
void SetMessageBoxesUseWindows(bool useWindows);

}  // namespace platform
