#pragma once
// CGrimoire: the grimoire as an open book filling the display. Two pages of a section are shown
// at a time on page pictures, chapter tabs stick out of the book's edges (passed chapters on
// the left), page-turn buttons and a close seal sit on the book, and pages turn with an
// animation. What a section shows depends on what the player's wizard knows of it. Openers
// push the screen and then ask for a chapter and section with RequestOpen: the realm view (its
// realm's chapter), region entry (the region's section) and the spell box (the spells).

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "battle/GrimoirePage.h"
#include "battle/GrimoireText.h"
#include "battle/PanelButton.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "ui/Control.h"
#include "ui/Screen.h"

inline constexpr int kGrimoireCloseId = 3999;
inline constexpr int kGrimoireBackId = 1999;
inline constexpr int kGrimoireForwardId = 2999;
inline constexpr int kGrimoireTurnSound = 808;
inline constexpr int kGrimoireTabs = 8;
inline constexpr int kGrimoireMaxEntries = 32;
inline constexpr int kGrimoireSpellChapter = 5;

class CGrimoire : public CScreen, public IGrimoirePageIcons {
 public:
  CGrimoire();
  ~CGrimoire() override;

  void Enter() override;
  void Exit() override;
  void Update() override;
  // Escape closes the book as the close seal does.
  int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  // The section to open at (asked before or after pushing the screen), gone to once no turn
  // runs.
  void RequestOpen(int chapter, int section);

  // A contents entry's button at x, y of a page surface; at most 32 a spread.
  void AddPageIcon(int x, int y, int id, int frame, CSurface* page) override;

  // The moves of the page buttons, the tabs and the contents entries.
  void NextPage();
  void PreviousPage();
  void GoTo(int chapter, int section, bool forced);
  void OnButton(int id);

  // The section's text at the player's level; null when it shows nothing at any level.
  const char* VisibleText(int chapter, const CGrimoireSection* section) const;
  // Steps the page turn by one frame.
  void AdvanceTurn();

  int chapter = 0;
  int section = 0;
  int page = 1;           // odd: the left page of the spread shown
  bool moreText = false;  // the section goes on beyond this spread
  int forwardProgress = 0, backwardProgress = 0;
  int turnSpeed = 0;
  bool closing = false;
  bool openRequested = false;
  int requestChapter = 0, requestSection = 0;
  int genericLeftCount = 0, genericRightCount = 0;

  // Parts the tests look at.
  const CGrimoireText* Text() const { return text_.get(); }
  CPanelButton* Tab(int n, bool leftSide) { return tabs_[static_cast<size_t>(n)][leftSide ? 0 : 1].get(); }
  CPanelButton* CloseButton() { return close_.get(); }
  CPanelButton* BackButton() { return back_.get(); }
  CPanelButton* ForwardButton() { return forward_.get(); }
  int EntryCount() const { return static_cast<int>(entries_.size()); }
  CPanelButton* Entry(int i) { return entries_[static_cast<size_t>(i)].get(); }
  // The shown spread (0 left, 1 right) and the one turned to.
  CSurface* ShownPage(int side) { return &pages_[static_cast<size_t>(shown_ * 2 + side)]; }
  CSurface* TurnPage(int side) { return &pages_[static_cast<size_t>((1 - shown_) * 2 + side)]; }
  bool Loaded() const { return loaded_; }
  // Draws the frame's picture into the back buffer (the update's drawing, without presenting).
  void DrawFrame();

 private:
  bool Load();
  void Release();
  bool LoadPicture(CSurface& surface, const std::string& pathWithoutEnding) const;
  void CountGenericPages();
  void MakeButtons();
  void SetEdges(int chapterNumber);
  void DrawPage(int chapterNumber, const CGrimoireSection* shown, int pageNumber, CSurface* surface);
  void DrawSpread(int chapterNumber, const CGrimoireSection* shown, int pageNumber, bool intoTurn);
  // Lays the section out from page 1 up to the spread of pageNumber; with pageNumber 0, to its
  // last spread (answered).
  int LayOut(int chapterNumber, const CGrimoireSection* shown, int pageNumber, bool intoTurn);
  const CGrimoireSection* Current() const;
  const CGrimoireSection* FindNextSection(int& chapterOut) const;
  const CGrimoireSection* FindPreviousSection(int& chapterOut) const;
  void StartTurn(bool forwardTurn);
  void UpdatePageButtons();
  void DrawTurn();
  void ClearEntries();
  int LayoutValue(const char* sectionName, const std::string& key) const;
  std::string ResolutionFolder() const;

  bool loaded_ = false;
  std::unique_ptr<CGrimoireText> text_;
  std::unique_ptr<CRectQueue> areas_;
  std::unique_ptr<CGrimoirePage> composer_;
  CSurface backdrop_;
  std::array<CSurface, 4> pages_;
  int shown_ = 0;
  std::array<CSurface, 2> edges_;
  CSprite icons_, entryIcons_, pageTurns_;
  std::unique_ptr<CPanelButton> close_, back_, forward_;
  std::array<std::array<std::unique_ptr<CPanelButton>, 2>, kGrimoireTabs> tabs_;
  std::vector<std::unique_ptr<CPanelButton>> entries_;
  std::unique_ptr<CFunctionCallback> callback_;
};

extern CGrimoire* g_grimoire;

// Pushes the grimoire and asks for a section (nothing while there is no grimoire).
void OpenGrimoire(int chapter, int section);
