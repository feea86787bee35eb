#include "ui/SpeechBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Font.h"
#include "graphics/PrintTarget.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "ui/SharedArt.h"

std::vector<CSpeechBoxLayout> g_speechBoxLayouts;
bool g_speechBoxLayoutsLoaded = false;

namespace {

constexpr int kMaxLayouts = 500;
// Positions and sizes of a layout are kept within this of 0: far beyond any screen, and far
// enough from the ends of the integer range that placing a box can never overflow.
constexpr int kLayoutCoordinateLimit = 1 << 16;

// Fills count fields from a key, each kept within -limit..limit; a missing key leaves them
// as they are.
void ReadNumbers(const std::string& path, const std::string& section, const char* key, int32_t* fields, int count,
                 int limit = kLayoutCoordinateLimit) {
  const std::string value = platform::ReadProfileString(section, key, "", path);
  if (value.empty()) return;
  const std::vector<int> numbers = platform::NumberList(value);
  for (int i = 0; i < count; ++i)
    fields[i] = i < static_cast<int>(numbers.size()) ? std::clamp(numbers[static_cast<size_t>(i)], -limit, limit) : 0;
}

bool HasHotSpot(const CSpeechBoxLayout& layout) { return layout.hotSpotX != -1 && layout.hotSpotY != -1; }

// What was reported about the box set now loaded; forgotten with the set.
std::set<std::string> g_reportedMissing;

// Reports a missing picture once per file; the box goes on without it.
void ReportMissingOnce(const std::string& path) {
  if (!g_reportedMissing.insert(path).second) return;
  platform::ShowMessageBox("Unable to load file: " + path, "FILE LOAD ERROR", WarningBoxFlags());
}

int Scaled(int v) { return static_cast<int>(v * 0.8); }

bool HighRes() { return g_prefs.isHighRes != 0; }
int ScreenWidth() { return HighRes() ? 800 : 640; }
int ScreenHeight() { return HighRes() ? 600 : 480; }

// The print target and clip rectangle, put back as they were when the scope ends.
struct SavedPrintTarget {
  SavedPrintTarget()
      : target(g_spriteTarget),
        pitch(g_spritePitch),
        rows(g_spriteRows),
        top(g_clipTop),
        left(g_clipLeft),
        right(g_clipRight),
        bottom(g_clipBottom) {}
  ~SavedPrintTarget() {
    SetSpriteTarget(target, pitch, rows);
    SetSpriteClipRect(top, left, right, bottom);
  }
  uint16_t* target;
  int pitch, rows, top, left, right, bottom;
};

}  // namespace

void LoadSpeechBoxConfig() {
  if (g_speechBoxLayoutsLoaded) return;
  char path[512];
  MakeCurrentDirPath("cfg\\speechbox.cfg", path, sizeof path);
  g_speechBoxLayouts.clear();
  int count = platform::ReadProfileInt("HEADER", "NumberBoxes", 0, path);
  count = count < 1 ? 0 : count >= kMaxLayouts ? kMaxLayouts : count;
  for (int n = 1; n <= count; ++n) {
    const std::string section = "SPEECHBOX_" + std::to_string(n);
    CSpeechBoxLayout layout;
    int32_t hotSpot[2] = {-1, -1};
    int32_t limit = 0x7FFFFFFF;
    ReadNumbers(path, section, "Heading", layout.heading, 4);
    ReadNumbers(path, section, "Body", layout.body, 4);
    int32_t pair[2] = {};
    ReadNumbers(path, section, "PicturePos", pair, 2);
    layout.pictureX = pair[0], layout.pictureY = pair[1];
    pair[0] = pair[1] = 0;
    ReadNumbers(path, section, "BoxPos", pair, 2);
    layout.boxX = pair[0], layout.boxY = pair[1];
    pair[0] = pair[1] = 0;
    ReadNumbers(path, section, "Size640", pair, 2);
    layout.width640 = pair[0], layout.height640 = pair[1];
    pair[0] = pair[1] = 0;
    ReadNumbers(path, section, "Size800", pair, 2);
    layout.width800 = pair[0], layout.height800 = pair[1];
    ReadNumbers(path, section, "HotSpot", hotSpot, 2);
    ReadNumbers(path, section, "StrLen", &limit, 1, 0x7FFFFFFF);
    layout.hotSpotX = hotSpot[0];
    layout.hotSpotY = hotSpot[1];
    layout.textLimit = limit;
    g_speechBoxLayouts.push_back(layout);
  }
  g_speechBoxLayoutsLoaded = true;
}

void FreeSpeechBoxConfig() {
  g_speechBoxLayouts.clear();
  g_reportedMissing.clear();
  g_speechBoxLayoutsLoaded = false;
}

const CSpeechBoxLayout* SpeechBoxLayout(int boxNumber) {
  if (boxNumber < 1 || boxNumber > static_cast<int>(g_speechBoxLayouts.size())) return nullptr;
  return &g_speechBoxLayouts[static_cast<size_t>(boxNumber - 1)];
}

std::string SpeechBoxArtPath(int layoutNumber, int width, int height) {
  char path[128];
  std::snprintf(path, sizeof path, "Speechbox\\%ix%i\\Speech%ix%i-%i.jpg", ScreenWidth(), ScreenHeight(), width, height,
                layoutNumber);
  return path;
}

std::string PortraitPath(const std::string& name) {
  const int w = HighRes() ? 80 : 64, h = HighRes() ? 100 : 80;
  char size[32];
  std::snprintf(size, sizeof size, "%ix%i", w, h);
  return std::string("portraits\\") + size + "\\" + name + " " + size + ".JPG";
}

void BlitSpeechSurface(CSurface& source, CSurface* target, int x, int y) {
  if (!target || !source.IsCreated()) return;
  if (g_prefs.transparentBlits)
    source.BlitToKeyed(target, x, y);
  else
    source.BlitTo(target, x, y);
}

int CSpeechBox::ChooseLayout(int left, int top, int right, int bottom, int x, int y, int textLength) {
  int best = -1;
  int32_t limit = 0x7FFFFFFF;
  int bestScore = 0;
  const int centreX = (left + right) / 2, focusY = top + (bottom - top) / 4;
  for (size_t i = 0; i < g_speechBoxLayouts.size(); ++i) {
    const CSpeechBoxLayout& layout = g_speechBoxLayouts[i];
    if (layout.textLimit < textLength || layout.textLimit > limit || !HasHotSpot(layout)) continue;
    // A box without a size would "fit" anywhere, and cannot be drawn.
    if (layout.width800 <= 0 || layout.height800 <= 0) continue;
    const int boxLeft = x - layout.hotSpotX, boxTop = y - layout.hotSpotY;
    const int boxRight = boxLeft + layout.width800, boxBottom = boxTop + layout.height800;
    if (boxLeft <= left || boxTop <= top || boxRight >= right || boxBottom >= bottom) continue;
    const int score = std::abs((boxLeft + boxRight) / 2 - centreX) + std::abs((boxTop + boxBottom) / 2 - focusY);
    if (best < 0 || score < bestScore) {
      best = static_cast<int>(i);
      bestScore = score;
      limit = layout.textLimit;
    }
  }
  return best;
}

bool CSpeechBox::Show(const SpeechRequest& request, int speakerX, int speakerY) {
  Free();
  request_ = request;
  if (!HighRes()) {
    speakerX = speakerX * 100 / 80;
    speakerY = speakerY * 100 / 80;
  }
  int number = request.boxNumber;
  if (!request.fixedBox) {
    const int chosen = ChooseLayout(0, 0, 800, 600, speakerX, speakerY, static_cast<int>(request.text.size()));
    if (chosen >= 0) {
      number = chosen + 1;
    } else {
      speakerX = 400;
      speakerY = 300;
    }
  }
  const CSpeechBoxLayout* chosenLayout = SpeechBoxLayout(number);
  if (!chosenLayout) return false;  // a box number beyond the file's count
  CSpeechBoxLayout layout = *chosenLayout;
  int boxX = layout.boxX, boxY = layout.boxY;
  if (!request.fixedBox && !request.centred && HasHotSpot(layout)) {
    boxX = speakerX - layout.hotSpotX;
    boxY = speakerY - layout.hotSpotY;
  }
  int width = layout.width800, height = layout.height800;
  if (!HighRes()) {
    for (int32_t* v : {&layout.heading[0], &layout.heading[1], &layout.heading[2], &layout.heading[3], &layout.body[0],
                       &layout.body[1], &layout.body[2], &layout.body[3], &layout.pictureX, &layout.pictureY})
      *v = Scaled(*v);
    boxX = Scaled(boxX);
    boxY = Scaled(boxY);
    width = layout.width640;
    height = layout.height640;
  }
  if (width <= 0 || height <= 0 || width > ScreenWidth() || height > ScreenHeight()) {
    // A layout without a size, or larger than the screen, cannot be drawn: reported, and no
    // box is built.
    ReportMissingOnce("cfg\\speechbox.cfg: SPEECHBOX_" + std::to_string(number) + " has no size that fits the screen");
    return false;
  }
  layout_ = layout;
  layoutNumber_ = number;

  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = width;
  desc.height = height;
  if (!boxSurface.Create(&desc)) {
    ShowGeneralError("Failed to create surface");
    platform::ExitProcess(1);
  }
  boxSurface.x = boxX;
  boxSurface.y = boxY;
  artPath_ = SpeechBoxArtPath(number, width, height);
  hasArt_ = true;
  hasPortrait_ = false;
  if (!request.portrait.empty()) {
    SurfaceDesc portrait = desc;
    portrait.width = HighRes() ? 80 : 64;
    portrait.height = HighRes() ? 100 : 80;
    if (!portraitSurface.Create(&portrait)) {
      ShowGeneralError("Failed to create surface");
      platform::ExitProcess(1);
    }
    portraitPath_ = PortraitPath(request.portrait);
    hasPortrait_ = true;
  }
  Compose();
  boxSurface.restorer = this;
  return true;
}

bool CSpeechBox::LoadArt(CSurface& surface, const std::string& path) {
  surface.Fill(31);
  surface.SetColourKey(0, 0, 255);
  if (surface.LoadJpeg(path.c_str())) {
    surface.SnapToColourKey(0, 0, 255, 20);
    return true;
  }
  ReportMissingOnce(path);
  return false;
}

void CSpeechBox::Compose() {
  if (hasArt_ && !LoadArt(boxSurface, artPath_)) {
    // Without its art the box is a plain dark panel, so that the words stay readable.
    boxSurface.FillGradientV(0, 0, boxSurface.width, boxSurface.height, 60, 50, 40, 30, 24, 18);
    platform::Rect frame{0, 0, boxSurface.width, boxSurface.height};
    boxSurface.DrawBevel(frame, 60, 1, 0);
  }
  if (hasPortrait_ && LoadArt(portraitSurface, portraitPath_))
    BlitSpeechSurface(portraitSurface, &boxSurface, layout_.pictureX, layout_.pictureY);

  SavedPrintTarget saved;
  uint16_t* pixels = boxSurface.Lock();
  if (!pixels) return;
  SetSpriteTarget(pixels, boxSurface.pitch / 2, boxSurface.height);
  const TextRect heading{layout_.heading[0], layout_.heading[1], layout_.heading[2], layout_.heading[3]};
  SetSpriteClipRect(heading.top, heading.left, heading.right, heading.bottom);
  if (g_headingFont.IsLoaded())
    g_headingFont.PrintText(request_.heading.c_str(), heading, 90, 40, 10, kTextCentre | kTextCentreVertically);
  const TextRect body{layout_.body[0], layout_.body[1], layout_.body[2], layout_.body[3]};
  SetSpriteClipRect(body.top, body.left, body.right, body.bottom);
  if (g_bodyFont.IsLoaded()) g_bodyFont.PrintText(request_.text.c_str(), body, 36, 28, 20, kTextWordWrap);
  boxSurface.Unlock(pixels);
}

void CSpeechBox::RestoreSurface(int) { Compose(); }

void CSpeechBox::Draw(CSurface* target) { BlitSpeechSurface(boxSurface, target, boxSurface.x, boxSurface.y); }

void CSpeechBox::Free() {
  boxSurface.restorer = nullptr;
  boxSurface.Release();
  portraitSurface.Release();
  layoutNumber_ = 0;
}
