#pragma once
// CTooltipManager: the one tooltip that serves the controls of every screen, the battle's
// panels, the realm view and the spell box: a text box shown near the pointer after a hover
// delay (at once when another tooltip vanished a moment ago), gone when the pointer leaves.
// The controls reach it through g_controlHooks (InstallTooltipControlHooks); the battle, the
// realm view and the spell box call Update once a frame, which places the box and copies it
// over everything drawn that frame.
//
// Times are the platform's millisecond tick, compared by difference (now - then), so the
// tick's wrap at 2^32 changes nothing.

#include <cstdint>
#include <memory>

#include "battle/InterfacePanel.h"
#include "core/StringTable.h"
#include "platform/Display.h"
#include "ui/Control.h"

class CFont;
class CSprite;

inline constexpr int kTooltipMaxWidth = 300;
inline constexpr int kTooltipMaxLines = 8;

class CTooltipManager : public CInterfacePanel {
 public:
  CTooltipManager() = default;
  ~CTooltipManager() override = default;

  // The panel's operations: Draw is the per-frame Update.
  void Draw() override { Update(); }
  // Creates the work surface (cleared blue, keyed).
  void Init() override;
  // The restore callback and the surface go.
  void Release() override;
  // Creates the surface when missing, and the restore callback.
  void Load() override;

  // Once a frame: a pending tooltip whose time has come is placed at the pointer and shown;
  // a shown one is copied onto the back buffer (in the last pass when blits are deferred).
  void Update();

  // Paints the text's box and sets it pending: shown after the long delay, or at the next
  // Update when a tooltip was hidden less than the quick delay ago. Nothing while one is
  // shown, or for an empty text.
  void ShowForControl(const char* text);
  // The text of a table index.
  void ShowText(int index);
  // The pointer left a control, a click, a screen change: the tooltip goes (the time noted
  // when one was shown), and the interface is redrawn.
  void RestartHoverTimer();

  // Replaces the table with the STRINGS section of the file; a file that cannot be loaded
  // ends the program with its box.
  void LoadTexts(const char* file);
  // n empty slots of 256 characters for texts set at run time; failure ends the program.
  void AllocateTexts(int n);
  // A slot of a table made by AllocateTexts (null for a bad index).
  char* TextSlot(int index) { return texts.GetSlot(index); }
  void SetFont(CFont* font);
  // The frame style: -1 a plain box, else the nine-frame group s of the border sprite.
  void Enable(int style) { frameStyle = style; }

  bool Shown() const { return flag != 0; }
  bool Pending() const { return pending; }
  // Where the box lies on the screen (valid once shown), and its size.
  const platform::Rect& ScreenRect() const { return screenRect; }
  int BoxWidth() const { return boxWidth; }
  int BoxHeight() const { return boxHeight; }

  CFont* font = nullptr;
  int lineHeight = 20;
  int maxWidth = kTooltipMaxWidth;
  int boxHeight = 0;
  CStringTable texts;
  CSurface surface;
  uint32_t timeStamp = 0;  // pending: when to show; after a hide: when it was hidden
  platform::Rect boxRect{};
  platform::Rect screenRect{};
  bool pending = false;
  int boxWidth = 0;
  int frameStyle = -1;
  CSprite* frameSprite = nullptr;  // the border sprite; the shared one unless a test sets another

 private:
  void CreateSurface();
  void PaintBox(int width, int height);
  void TileFrames(int style, int width, int height);

  bool hiddenAfterShowing_ = false;  // timeStamp holds a hide time
  std::unique_ptr<CPanelRestoreCallback> restore_;
};

extern CTooltipManager g_tooltipManager;

// A measured line ends where the pen stands before its last character: this is how far the
// widest of the last glyphs of the font's last layout reaches beyond that, so that a box or a
// caret after the text clears it.
int LastGlyphOverhang(const CFont& font);

// The controls' hooks: their tooltips by number from the manager's table, the click sound
// through the sound manager.
class CTooltipControlHooks : public IControlHooks {
 public:
  void ShowTooltip(int tooltipId) override { g_tooltipManager.ShowText(tooltipId); }
  void RestartTooltipTimer() override { g_tooltipManager.RestartHoverTimer(); }
};
// Puts the tooltip manager's hooks in g_controlHooks.
void InstallTooltipControlHooks();
// Program start (the front-end root): the small font, the surface, the texts of
// cfg\tooltips.cfg and the framed style of the front end; the controls' hooks installed.
void InitTooltips();
