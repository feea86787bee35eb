#pragma once
// CMenuScreen: the base of every front-end and lobby screen. It owns a background picture, the
// controls read from the screen's layout file and at most one open message box; it runs the
// frame (a pending screen change after the fade-out, or Draw, the software cursor, the present,
// AfterDraw and the mouse dispatch) and hands the keys to the focused control or the message
// box. A derived screen loads, unloads and draws, and asks for changes through pendingPush,
// pendingPopTo and closeRequested, after BeginFadeOut.
//
// Layout files "Interface\<Screen>\screen (<Screen>).cfg" hold one INI section per widget,
// named by the widget type's prefix and the widget's number from 1 ("TEXTBUTTON_1"), and the
// screen's globals in "GLOBALS" (its "BackgroundFile").

#include <array>
#include <cstdint>
#include <vector>

#include "platform/Display.h"
#include "ui/Control.h"
#include "ui/Screen.h"

class CDialogBox;
class CFont;
class CSurface;

// Widget types, the index of their section prefixes.
enum WidgetType : int {
  kWidgetTextButton = 0,
  kWidgetEditBox = 1,
  kWidgetSliderBar = 2,
  kWidgetStandardButton = 3,
  kWidgetRadioButton = 4,
  kWidgetListBox = 5,
  kWidgetText = 6,
  kWidgetStatBar = 7,
  kWidgetSpriteBar = 8,
  kWidgetMessageListBox = 9,
  kWidgetPictureBox = 10,
  kWidgetTypeCount = 11,
};
extern const char* const kWidgetPrefixes[kWidgetTypeCount];

// One widget of a layout file.
struct CWidgetConfig {
  CFont* font = nullptr;                    // "Font": LARGE the heading font, TINY the small one, else the body font
  platform::Rect rect640{};                 // "Rect1", derived from Rect2 when missing
  platform::Rect rect800{};                 // "Rect2"
  char text[256] = {};                      // "Text"
  int spriteIndexes[3] = {};                // "SpriteIndexes"
  int minValue = 0;                         // "minValue"
  int maxValue = 0;                         // "maxValue"
  uint8_t textFlags = 0;                    // "TextFlags": alignment 1 left, 2 right, 4 centre
  std::vector<std::array<int, 3>> colours;  // "Colours": a count, then red, green, blue triples
  int step = 1;                             // "step"

  // The rectangle for the screen resolution in use.
  const platform::Rect& Rect() const;
};

// Reads section prefix-of-type + number of the layout file (below the current directory) into
// the record: 1, or 0 for a type outside 0..10. A missing file or section leaves the record as
// it was, but for the font, which becomes null. A missing "Rect1" is derived as 0.8 times
// "Rect2" and written back into the file (when "Rect2" is there; a file that cannot be written
// keeps the derived rectangle all the same).
int LoadWidgetConfig(const char* fileName, CWidgetConfig* record, int type, int number);
// Reads a key of the "GLOBALS" section into out (256 characters at least); out stays as it
// was when the key is missing.
void ReadScreenGlobal(const char* key, const char* fileName, char* out);

class CMenuScreen : public CScreen {
 public:
  CMenuScreen() = default;
  ~CMenuScreen() override;

  void Update() override;
  int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

  // Reads the screen's widget records.
  virtual void ReadConfig(const char*) {}
  // Frees what Load created and clears loaded.
  virtual void Unload() = 0;
  // Loads the background, creates the controls and sets loaded.
  virtual void Load() = 0;
  // Composes the whole screen on the work surface.
  virtual void Draw() = 0;
  // After the frame was presented.
  virtual void AfterDraw() {}

  // Draw, the software cursor (unless fading) and the present, at once.
  void DrawAndPresent();

  CSurface* background = nullptr;
  int screenValue1 = 0;  // for the derived screens
  int screenValue2 = 0;
  CControlList controls;
  CScreen* pendingPush = nullptr;
  CScreen* pendingPopTo = nullptr;
  CDialogBox* dialogBox = nullptr;
  std::vector<CWidgetConfig> widgetConfigs;
  int closeRequested = 0;

 private:
  void PresentFrame();
  // The focused control, when Enter may work it.
  CControl* EnterTarget() const;
};
