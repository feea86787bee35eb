#pragma once
// The grimoire's page composer. A page picture marks in pure magenta the windows where text may
// go; CRectQueue::ScanKeyAreas finds them, and CGrimoirePage flows a section's text through
// them window by window and page by page, with the display codes of the markup:
//   ~D "label" x[xy] w,h r,g,b r,g,b KEYWORD n[,m]   a statistic bar of a creature type or spell
//   ~G"name.bmp"                                      a picture (BMP or PCX) from the grimoire's folders
//   ~Ic,ss                                            a contents entry: icon button and section name
//   ~NL ~NB ~NP                                       line, area and page break
// One composer serves the spreads of a section in turn: its text position and whatever is still
// pending carry over from one page to the next. The grimoire screen and the battle's story
// scroll both compose with it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Display.h"
#include "ui/ValueBars.h"

class CFont;
class CGrimoireText;
class CSprite;
class CSurface;

// At most 32 rectangles (right and bottom exclusive), handed out in order.
class CRectQueue {
 public:
  static constexpr int kCapacity = 32;

  void Clear() { count_ = next_ = 0; }
  // False when 32 are held.
  bool Push(const platform::Rect& rect);
  // The first rectangle (and the next to hand out is the second); false when empty.
  bool GetFirst(platform::Rect& out);
  bool GetNext(platform::Rect& out);
  int Count() const { return count_; }
  const platform::Rect& At(int i) const { return rects_[static_cast<size_t>(i)]; }

  // The text windows of a page picture: pixels within 15 of magenta are snapped to it, then
  // each run of key pixels not inside a window found so far starts one, as wide as the key
  // pixels to its right and as high as those below it. A window of at least 29 x 13 counts,
  // and while fewer than 32 are held it is pushed with a margin of 2 pixels on every side.
  // Answers the windows counted, those beyond 32 too.
  int ScanKeyAreas(CSurface* surface);

 private:
  std::array<platform::Rect, kCapacity> rects_{};
  int count_ = 0;
  int next_ = 0;
};

// A wizard definition's text: 1000 characters and a length.
struct CTextBlock {
  void Clear() {
    text.fill('\0');
    length = 0;
  }
  std::array<char, 1000> text{};
  int32_t length = 0;
};

// Where a composer's contents entries become buttons: the grimoire screen adds one at x, y of
// the page surface, with the entry's id (chapter x 100 + section) and icon frame.
class IGrimoirePageIcons {
 public:
  virtual ~IGrimoirePageIcons() = default;
  virtual void AddPageIcon(int x, int y, int id, int frame, CSurface* page) = 0;
};

// A statistic bar read from ~D, waiting to be drawn.
struct CGrimoireStatBlock {
  CGradientBar bar;
  std::string label;
  int x = 0, y = 0, width = 0, height = 0;
};

class CGrimoirePage {
 public:
  static constexpr int kLineBufferSize = 2045;
  static constexpr int kPictureNameLimit = 256;
  static constexpr int kEntryHeight = 40;

  // Empties the line buffer, drops every pending element, and forgets the text, areas and target.
  void Reset();
  // Resets, then starts composing a text (the first letter printed by itself) and reads its
  // first chunk.
  void SetText(const char* text);
  // The page to compose next: its windows (the first becomes the current area) and surface.
  void SetPage(CRectQueue* areas, CSurface* target);
  // Prints a heading at the current area's top, word-wrapped; areas too low for a line are
  // skipped first, and the area's top moves below the heading. False without an area or target.
  bool AddText(const char* heading);
  // Composes until the text and pending elements are used up or no area is left; true when
  // something is left for the next page.
  bool RenderAll();

  // Reads one chunk of the text into the pending elements; false once the text has ended.
  bool ReadChunk();

  bool HasArea() const { return hasArea_; }
  const platform::Rect& Area() const { return area_; }
  int PenX() const { return penX_; }
  int PenY() const { return penY_; }
  bool TextEnded() const { return !position_; }
  const std::string& LineBuffer() const { return line_; }
  const std::string& PictureName() const { return picture_; }
  const CGrimoireStatBlock* StatBlock() const { return stat_.get(); }
  bool HasEntry() const { return entry_; }
  int EntryChapter() const { return entryChapter_; }
  int EntrySection() const { return entrySection_; }
  bool AreaBreak() const { return areaBreak_; }
  bool PageBreak() const { return pageBreak_; }

  // What the composer has put on the page since SetPage, for those who look: each run of text
  // and where it went, each bar and picture drawn.
  struct PrintedText {
    std::string text;
    int x, y;
  };
  std::vector<PrintedText> printed;
  std::vector<CGradientBar> barsDrawn;
  std::vector<platform::Rect> picturesDrawn;

  // Set by the owner.
  CFont* font = nullptr;          // body text and headings; the shared body font when null
  CFont* headingFont = nullptr;   // the heading; the body font when null
  CSprite* iconSprite = nullptr;  // contents entries' icons
  const CGrimoireText* database = nullptr;
  IGrimoirePageIcons* icons = nullptr;
  int screenWidth = 800, screenHeight = 600;  // the resolution whose pictures are used
  int textRed = 40, textGreen = 24, textBlue = 8;

 private:
  bool HasPending() const;
  void DrawPending();
  void DrawText();
  void DrawPicture();
  void DrawStatBlock();
  void DrawEntry();
  bool NextArea();
  void NewLine();
  int LineHeight() const;
  CFont* BodyFont() const;
  // Prints text at x, y of the target within the current area; answers its width.
  int Print(CFont* with, const std::string& text, int x, int y, uint8_t flags = 0x1, int right = -1, int red = -1);

  void ReadCode(char letter);
  void ReadPictureName();
  void ReadEntry();
  void ReadStatBlock();

  std::string line_;
  const char* position_ = nullptr;
  int commentDepth_ = 0;
  bool pendingCode_ = false;
  bool initialLetter_ = false;
  bool areaBreak_ = false, pageBreak_ = false;
  bool entry_ = false;
  int entryChapter_ = 0, entrySection_ = 0;
  std::string picture_;
  std::unique_ptr<CGrimoireStatBlock> stat_;
  CRectQueue* areas_ = nullptr;
  platform::Rect area_{};
  bool hasArea_ = false;
  int penX_ = 0, penY_ = 0;
  CSurface* target_ = nullptr;
};

// The bar of a ~D keyword for a creature type n (and m for HTH and LRC) or spell n: its value
// and maximum. False when the block is dropped: a number that names no type or spell, or a
// long-range rating or flying speed of 0. An unknown keyword keeps the bar's defaults.
bool FillGrimoireStatBar(const std::string& keyword, int n, int m, CGradientBar& bar);
