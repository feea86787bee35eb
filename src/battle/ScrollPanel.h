#pragma once
// CScrollPanel: the story scroll. Reading an artifact or a scripted scroll opens a large
// parchment over the battle: it slides in, unrolls from the left, shows a heading and a body
// text from "text\scrolls.txt", and rolls away when clicked.
//
// text\scrolls.txt is a sequence of scrolls, each introduced by a header line holding a name
// in square brackets (the names are not used: scrolls are numbered 0, 1, 2 ... in file order).
// A scroll's text starts after the closing bracket and any white space and runs to the next
// header or the end of the file. In it "~HS" starts the heading and "~HE" ends it, "~BS"
// starts the body afresh and "~BE" ends the body and the scroll; other characters go to the
// part being collected, the body unless a marker says otherwise.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "battle/InterfacePanel.h"
#include "ui/Flatwin.h"
#include "ui/SlidePanel.h"

class CFont;
class CSoundInstance;

inline constexpr int kMaxScrolls = 100;
inline constexpr int kScrollWidth = 520;
inline constexpr int kScrollHeight = 364;
inline constexpr int kScrollBodyColumns = 428;  // the end piece is columns 428-520
inline constexpr int kScrollStartWidth = 80;    // the sliding panel's width: the first part shown
inline constexpr int kScrollOpenSound = 813;
inline constexpr int kScrollCloseSound = 812;

// The start offsets of the scrolls of a file's text: at most 100 (later headers are ignored).
std::vector<size_t> FindScrollStarts(const std::string& text);
// A scroll's heading and body from its text (from its start to the end of the file), split by
// the markers; no heading part gives "Heading".
void SplitScroll(const std::string& text, size_t start, std::string& heading, std::string& body);

class CScrollPanel : public CFlatWin, public CInterfacePanel {
 public:
  CScrollPanel() = default;
  ~CScrollPanel() override = default;

  // The panel's operations, in their order: Draw, LoadText (Init), Release, Load.
  // While shown: steps the slide, widens the visible part by the unroll step and draws the
  // unrolled body and the end piece after it; once the scroll has slid back out it is gone.
  void Draw() override;
  void Init() override { LoadText(); }
  void Release() override;
  // Creates the work surface when missing, and the restore callback (which shows the current
  // scroll again).
  void Load() override;

  // Program start: reads text\scrolls.txt (no file: no scrolls; a file that cannot be read
  // ends the program).
  void LoadText();
  void SetFont(CFont* bodyFont) { font_ = bodyFont; }

  // Opens a scroll: the parchment with its heading and body (an unknown index shows "Scroll
  // not defined in Scroll.txt") slides in with sound 813 and unrolls. A scroll already shown
  // is replaced and its slide starts again.
  void ShowScroll(int index);

  // A button release rolls the scroll away: sound 812, the window takes no more input, the
  // slide reversed until the parchment is off the screen.
  void OnMouse(int flags, CMouseEvent event) override;
  int IsTransparentAt(int, int) override { return 0; }

  bool Shown() const { return flag != 0; }
  int ScrollCount() const { return static_cast<int>(starts_.size()); }
  int CurrentScroll() const { return current_; }
  int UnrollStep() const { return unrollStep_; }
  int VisibleWidth() const { return visible_; }
  const CSlidePanel* Slide() const { return slide_.get(); }
  // The heading and body of the scroll shown last.
  const std::string& Heading() const { return heading_; }
  const std::string& Body() const { return body_; }
  // Where the scroll stands when open.
  int PlaceX() const;
  int PlaceY() const;

  CSurface surface;

 private:
  void Compose();
  void DrawUnrolled();

  CFont* font_ = nullptr;
  std::string text_;
  std::vector<size_t> starts_;
  int unrollStep_ = 1;
  int visible_ = kScrollStartWidth;
  int current_ = -1;
  std::unique_ptr<CSlidePanel> slide_;
  CSoundInstance* sound_ = nullptr;
  std::string heading_, body_;
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CScrollPanel g_scrollPanel;

// Program start: the scroll's body font and its texts.
void InitStoryScroll();
