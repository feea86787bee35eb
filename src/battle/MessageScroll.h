#pragma once
// CMessageScroll: the small parchment at the top-left of the battle screen that unrolls with
// one message at a time: game messages by their number in cfg\messages.cfg, named messages
// ("<name> <text>") and free texts. Messages wait in a queue of ten; each shows for 50
// frames, and a click dismisses it at once and shows the next.

#include <deque>
#include <memory>
#include <string>

#include "battle/InterfacePanel.h"
#include "core/StringTable.h"
#include "ui/Flatwin.h"

class CFont;

inline constexpr int kMessageQueueSize = 10;
inline constexpr int kMessageFrames = 50;
inline constexpr int kMessageEndColumns = 24;
inline constexpr int kMessageUnrollStep = 44;
inline constexpr int kMessageScrollX = 10, kMessageScrollY = 10;
inline constexpr int kMessageScrollSound = 808;

// While set, queued messages are ignored (scripted scenes keep the scroll quiet).
extern int g_suppressMessages;

class CMessageScroll : public CFlatWin, public CInterfacePanel {
 public:
  // The panel's operations, in their order: Draw, DoNothing (Init), Release, Load.
  // While a message lasts: the unrolled columns and the end piece after them, widening by 44
  // a frame, then the whole picture; when it ends the next queued message shows.
  void Draw() override;
  void Init() override { DoNothing(); }
  void Release() override;
  // Reads cfg\messages.cfg (a missing file ends the program), creates the work surface at
  // the picture's size at (10, 10) and registers the window over it.
  void Load() override;

  void SetFont(CFont* font) { font_ = font; }
  // Appends a message number; ignored with ten waiting or while messages are suppressed.
  // Shown at once when the scroll is idle.
  void QueueMessage(int index);
  // Shows "<name> <text of the message>" at once.
  void ShowNamedMessage(const char* name, int index);
  // Shows a text at once.
  void ShowText(const char* text);

  // A button release dismisses the message and shows the next one.
  void OnMouse(int flags, CMouseEvent event) override;
  int IsTransparentAt(int, int) override { return 0; }

  int FramesLeft() const { return framesLeft_; }
  int UnrolledWidth() const { return unrolled_; }
  int FullWidth() const { return fullWidth_; }
  int Queued() const { return static_cast<int>(queue_.size()); }
  const std::string& Text() const { return text_; }

  CSurface surface;

 private:
  void ShowNext();
  void Dismiss();

  CStringTable messages_;
  CFont* font_ = nullptr;
  std::deque<int> queue_;
  int framesLeft_ = 0;
  int unrolled_ = kMessageEndColumns;
  int fullWidth_ = 0;
  int pictureWidth_ = 0, pictureHeight_ = 0;
  std::string text_;
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CMessageScroll g_messageScroll;
