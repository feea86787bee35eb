#pragma once
// CMessagePanel: timed lines of text centred at the top of the battle screen: game messages,
// the frame rate and the sprite count. Lines are painted into a 404 x 80 work surface, one
// band of the font's line height each, and copied to the screen while their frames last.

#include <vector>

#include "battle/InterfacePanel.h"
#include "core/StringTable.h"

class CFont;

inline constexpr int kMessagePanelWidth = 404;
inline constexpr int kMessagePanelHeight = 80;
inline constexpr int kDebugLineFrames = 100;

class CMessagePanel : public CInterfacePanel {
 public:
  // The panel's operations, in their order. Draw copies every line with frames left and
  // counts them down.
  void Draw() override;
  // Creates the work surface (keyed blue, or black without TransParentBlits); lines may be
  // printed from now on.
  void Init() override;
  void Release() override;
  // The same as Init when the surface is missing; every line is blanked.
  void Load() override;

  // The line height and count (80 / line height) come from the font; every line is blank.
  void SetFont(CFont* font);
  // Prints the text in the line for that many frames (at least 1); ignored for a line out
  // of range or while the panel is not enabled.
  void PrintLine(const char* text, int line, int frames);
  // The frame-rate lines, only while frameRateLines is set: "FPS : a[ : b]" and
  // "Sprites printed: n" in the line before the last, the debug text in the last.
  void DrawFps(int fps, int second);
  void DrawSpriteCount(int count);
  void PrintDebugLine(const char* text);
  // Reads cfg\messages.cfg; a missing file ends the program.
  void LoadMessages();
  const char* Message(int index) const { return messages_.Get(index); }

  int LineCount() const { return lineCount_; }
  int LineHeight() const { return lineHeight_; }
  int FramesLeft(int line) const { return InRange(line) ? lines_[line].framesLeft : 0; }
  int ScreenX(int line) const { return InRange(line) ? lines_[line].screenX : 0; }
  platform::Rect LineRect(int line) const { return InRange(line) ? lines_[line].rect : platform::Rect{}; }

  bool frameRateLines = false;
  CSurface surface;

 private:
  struct Line {
    int framesLeft = 0;
    platform::Rect rect{};
    int screenX = 0;
  };
  bool InRange(int line) const { return line >= 0 && line < lineCount_; }
  void CreateSurface();

  CStringTable messages_;
  CFont* font_ = nullptr;
  int lineHeight_ = 0;
  int lineCount_ = 0;
  std::vector<Line> lines_;
};

extern CMessagePanel g_messagePanel;

// Program start: the message panel (font yellowtext, cfg\messages.cfg, its surface), the
// message scroll's font and the spot icons' sprite (a missing one ends the program).
void InitMessagePanels();
