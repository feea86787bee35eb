#pragma once
// Speech boxes: the layouts of cfg\speechbox.cfg and CSpeechBox, which builds the picture of
// one box (its art, the speaker's portrait, a heading with the speaker's name and the spoken
// text) on a surface of its own and puts it on the screen.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Surface.h"

// One SPEECHBOX_<n> section. Positions are for the 800 x 600 screen; in 640 x 480 every
// rectangle and position is scaled by 0.8 and the 640 size is used.
struct CSpeechBoxLayout {
  int32_t heading[4] = {};  // left, top, right, bottom, in the box
  int32_t body[4] = {};
  int32_t pictureX = 0, pictureY = 0;  // where the portrait goes in the box
  int32_t boxX = 0, boxY = 0;          // on the screen, when the box is not placed at a speaker
  int32_t width640 = 0, height640 = 0;
  int32_t width800 = 0, height800 = 0;
  int32_t hotSpotX = -1, hotSpotY = -1;  // the box's point placed on the speaker; -1 none
  int32_t textLimit = 0x7FFFFFFF;        // the longest text the box is meant for
};

// The layouts, read once from cfg\speechbox.cfg (HEADER NumberBoxes, kept within 0..500).
extern std::vector<CSpeechBoxLayout> g_speechBoxLayouts;
extern bool g_speechBoxLayoutsLoaded;
void LoadSpeechBoxConfig();
void FreeSpeechBoxConfig();
// The layout of a 1-based box number, or null for a number outside the file's count.
const CSpeechBoxLayout* SpeechBoxLayout(int boxNumber);

// What a script asks to be said.
class ISpeechCallback {
 public:
  virtual ~ISpeechCallback() = default;
  // The box was dismissed.
  virtual void OnSpeechDone(int argument) = 0;
};

struct SpeechRequest {
  int x = -1, y = -1, level = -1;  // the speaker in map units (32 a tile, 16 a level); -1 none
  int boxNumber = 1;               // 1-based
  std::string text;
  std::string heading;   // the speaker's name
  std::string portrait;  // its picture's name, empty for none
  ISpeechCallback* callback = nullptr;
  int argument = 0;
  bool fixedBox = false;  // use the box number as it is
  bool centred = false;   // at the layout's box position
};

class CSpeechBox : public CSurfaceRestorer {
 public:
  CSpeechBox() = default;
  ~CSpeechBox() override { Free(); }
  CSpeechBox(const CSpeechBox&) = delete;
  CSpeechBox& operator=(const CSpeechBox&) = delete;

  // Builds the box for the request with the speaker at the screen point (speakerX,
  // speakerY); false (nothing built) when the box number has no layout.
  bool Show(const SpeechRequest& request, int speakerX, int speakerY);
  // Puts the box on the target surface at its position.
  void Draw(CSurface* target);
  void SetPos(int x, int y) {
    boxSurface.x = x;
    boxSurface.y = y;
  }
  void Free();
  bool IsShown() const { return boxSurface.IsCreated(); }
  // The layout in use (1-based), 0 before Show.
  int LayoutNumber() const { return layoutNumber_; }

  // The best layout for a speaker at (x, y) in 800 x 600 terms and a text length, searched
  // in the screen rectangle; -1 when none qualifies. Answers a 0-based index.
  static int ChooseLayout(int left, int top, int right, int bottom, int x, int y, int textLength);

  // Draws the box's content again after its surface was lost.
  void RestoreSurface(int reason) override;

  CSurface boxSurface;
  CSurface portraitSurface;

 private:
  void Compose();
  bool LoadArt(CSurface& surface, const std::string& path);

  SpeechRequest request_;
  CSpeechBoxLayout layout_;  // scaled for the screen
  int layoutNumber_ = 0;
  std::string artPath_, portraitPath_;
  bool hasArt_ = false, hasPortrait_ = false;
};

// The blit mode of the speech boxes: plain without transparent blits, else keyed.
void BlitSpeechSurface(CSurface& source, CSurface* target, int x, int y);

// The speech box art and portrait pictures of the screen size.
std::string SpeechBoxArtPath(int layoutNumber, int width, int height);
std::string PortraitPath(const std::string& name);
