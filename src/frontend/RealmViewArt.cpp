// The realm view's art: the realm's map, the silhouettes that make its region map, the lit
// borders, the flag paths, the flags and markers, the four buttons, the region names and the
// tutorial's speech boxes; and the drawing of one frame.
#include <cstdio>
#include <cstring>
#include <memory>

#include "battle/TooltipManager.h"
#include "core/DataFile.h"
#include "core/Options.h"
#include "frontend/Grimoire.h"
#include "frontend/RealmView.h"
#include "frontend/RegionEntry.h"
#include "graphics/Display.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "ui/Button.h"
#include "ui/ControlArt.h"
#include "ui/Flatwin.h"
#include "ui/SharedArt.h"

namespace {

constexpr const char* kFolder = "Interface\\RealmViewer\\";
constexpr const char* kGeneric = "Generic\\";
constexpr int kButtonSize = 48, kButtonTop = 4, kButtonSpacing = 52;
constexpr int kFirstButtonLeft[2] = {748, 588};  // 800 x 600, 640 x 480

// The four buttons from the right: id, then the normal, pressed and highlighted frames.
struct RealmButton {
  int id, normal, pressed, highlighted;
};
constexpr RealmButton kButtons[4] = {
    {CRealmView::kSpellBoxButton, 6, 8, 7},
    {CRealmView::kGrimoireButton, 3, 5, 4},
    {CRealmView::kCharacterButton, 0, 2, 1},
    {CRealmView::kMiniMenuButton, 12, 14, 13},
};

bool IsPureBlue(const uint8_t* palette, int index) {
  return palette[index * 3] == 0 && palette[index * 3 + 1] == 0 && palette[index * 3 + 2] == 255;
}

std::string GenericFile(const std::string& name, const char* what, int n, const char* extension) {
  char path[512];
  std::snprintf(path, sizeof path, "%s%s%s_%s_%02i.%s", kFolder, kGeneric, name.c_str(), what, n, extension);
  return path;
}

std::string ResolutionFile(const std::string& name, const char* what, int n, const char* extension) {
  char path[512];
  if (n > 0)
    std::snprintf(path, sizeof path, "%s%ix%i\\%s_%s_%02i.%s", kFolder, ScreenWidth(), ScreenHeight(), name.c_str(),
                  what, n, extension);
  else
    std::snprintf(path, sizeof path, "%s%ix%i\\%s_%s.%s", kFolder, ScreenWidth(), ScreenHeight(), name.c_str(), what,
                  extension);
  return path;
}

void CreateScreenSurface(CSurface& surface) {
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = ScreenWidth();
  desc.height = ScreenHeight();
  surface.Create(&desc);
}

}  // namespace

void CRealmView::ScreenToMap(int& x, int& y) {
  if (ScreenWidth() != 640) return;
  x = x * 800 / 640;
  y = y * 600 / 480;
}

void CRealmView::MapToScreen(int& x, int& y) {
  if (ScreenWidth() != 640) return;
  x = x * 640 / 800;
  y = y * 480 / 600;
}

int CRealmView::RegionAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= kRealmMapWidth || y >= kRealmMapHeight) return 0;
  const int region = regionMap[static_cast<size_t>(y) * kRealmMapWidth + x];
  return region <= regionCount ? region : 0;
}

void CRealmView::ComputeAdjacency() {
  for (int a = 1; a <= kRealmRegions; ++a) {
    std::fill(std::begin(adjacency[a - 1]), std::end(adjacency[a - 1]), false);
    if (a > regionCount) continue;
    const CFixPoints& paths = flagPaths[a - 1];
    for (int p = 0; p < paths.PathCount(); ++p) {
      const RealmPoint end = paths.GetPathEnd(p);
      if (const int b = RegionAt(end.x, end.y); b > 0) adjacency[a - 1][b - 1] = true;
    }
  }
}

int CRealmView::LoadRealm(const char* name) {
  if (ArtLoaded()) Unload();
  const std::string realm = name ? name : "";
  // The regions are the silhouettes that follow each other from 01; one that is not a whole
  // 800 x 600 picture counts as missing.
  std::unique_ptr<CPcxImage> silhouettes[kRealmRegions];
  int count = 0;
  while (count < kRealmRegions) {
    silhouettes[count] = std::make_unique<CPcxImage>();
    CPcxImage& image = *silhouettes[count];
    if (!image.Load(GenericFile(realm, "Silhouette", count + 1, "PCX").c_str()) || image.width != kRealmMapWidth ||
        image.height != kRealmMapHeight || !image.palette)
      break;
    ++count;
  }
  if (count == 0) return 0;
  realmName = realm;
  regionCount = count;

  g_tooltipManager.LoadTexts("interface\\realmviewer\\realmviewtooltip.cfg");
  regionNamesText.clear();
  CDataFile names;
  const std::string namesPath = "Realms\\" + realm + "\\regionNames.txt";
  if (names.Open(namesPath.c_str(), "rb")) {
    const int size = names.GetSize(0);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0 && names.ReadAll(text.data())) regionNamesText = text;
  }
  for (int n = 1; n <= regionCount; ++n) flagPaths[n - 1].Load(GenericFile(realm, "FlagPath", n, "FP").c_str());

  CreateScreenSurface(borderSurface);
  borderSurface.SetColourKey(0, 0, 255);
  borderRegion = 0;
  std::vector<uint8_t> decoded(static_cast<size_t>(ScreenWidth()) * ScreenHeight());
  for (int n = 1; n <= regionCount; ++n) {
    borders[n - 1] = std::make_unique<CPcxImage>();
    CPcxImage& border = *borders[n - 1];
    borderBoxes[n - 1] = platform::Rect{};
    if (!border.Load(ResolutionFile(realm, "Border", n, "PCX").c_str()) || !border.palette ||
        border.width != ScreenWidth() || border.height != ScreenHeight())
      continue;
    border.Decode8(decoded.data(), ScreenWidth());
    platform::Rect box{ScreenWidth(), ScreenHeight(), 0, 0};
    for (int y = 0; y < ScreenHeight(); ++y)
      for (int x = 0; x < ScreenWidth(); ++x)
        if (!IsPureBlue(border.palette, decoded[static_cast<size_t>(y) * ScreenWidth() + x])) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x);
          box.bottom = std::max(box.bottom, y);
        }
    borderBoxes[n - 1] = box;
  }

  std::fill(regionMap.begin(), regionMap.end(), 0);
  std::vector<uint8_t> silhouette(static_cast<size_t>(kRealmMapWidth) * kRealmMapHeight);
  for (int n = 1; n <= regionCount; ++n) {
    const CPcxImage& image = *silhouettes[n - 1];
    image.Decode8(silhouette.data(), kRealmMapWidth);
    for (size_t i = 0; i < silhouette.size(); ++i)
      if (!IsPureBlue(image.palette, silhouette[i])) regionMap[i] = static_cast<uint8_t>(n);
  }

  CreateScreenSurface(mapSurface);
  mapSurface.LoadBitmap(ResolutionFile(realm, "Map", 0, "BMP").c_str());

  const std::string flagsSprite = std::string(kFolder) + kGeneric + "FLAGS.SPR";
  const std::string flagsAnimation = std::string(kFolder) + kGeneric + "FLAGS.ANI";
  if (this->flagsSprite.Load(flagsSprite.c_str(), 2) && this->flagsAnimation.Load(flagsAnimation.c_str())) {
    this->flagsAnimation.SetSprite(&this->flagsSprite);
    for (CAnimPlayer& player : regionFlags) player.SetAnimation(&this->flagsAnimation);
    for (CAnimPlayer& player : wizardFlags) player.SetAnimation(&this->flagsAnimation);
    for (int n = 1; n <= regionCount; ++n) StartFlag(regionFlags[n - 1], realmState.flags[realmState.OwnerOf(n)]);
    for (int w = 0; w < realmState.wizardCount; ++w) {
      if (!realmState.active[w]) continue;
      const bool home = realmState.movement[w].countdown == 0 && realmState.OwnerOf(realmState.locations[w]) == w;
      StartFlag(wizardFlags[w], realmState.icons[w] + (home ? 40 : 50));
    }
  }
  ComputeAdjacency();
  MakeButtons();
  texts.Load("cfg\\rv_text.cfg");
  return regionCount;
}

void CRealmView::MakeButtons() {
  buttonSprite_.Load((std::string(kFolder) + kGeneric + "Buttons.spr").c_str(), 2);
  buttonCallback_ = std::make_unique<CFunctionCallback>([this](int id) {
    if (id >= 1 && id <= 4) requests_[id] = 1;
  });
  const int lowRes = ScreenWidth() == 640 ? 1 : 0;
  for (int b = 0; b < 4; ++b) {
    const RealmButton& spec = kButtons[b];
    auto button = std::make_unique<CButton>();
    button->SetSurface(&g_backBuffer);
    button->SetFrameSprite(&buttonSprite_);
    button->SetFrames(spec.normal, spec.pressed, spec.normal);
    button->SetAltFrames(-1, spec.highlighted, -1);
    const int left = kFirstButtonLeft[lowRes] - kButtonSpacing * b;
    button->Create(spec.id, platform::Rect{left, kButtonTop, left + kButtonSize, kButtonTop + kButtonSize},
                   buttonCallback_.get(), nullptr, 1);
    // The grimoire's button stays greyed in a program without one.
    if (spec.id == kGrimoireButton && !g_grimoire) button->GreyOut();
    buttons_[b] = std::move(button);
  }
}

void CRealmView::Unload() {
  if (ArtLoaded()) {
    for (CFixPoints& paths : flagPaths) paths.Free();
    for (auto& border : borders) border.reset();
    std::fill(std::begin(borderBoxes), std::end(borderBoxes), platform::Rect{});
    std::fill(regionMap.begin(), regionMap.end(), 0);
    mapSurface.Release();
    borderSurface.Release();
    borderRegion = 0;
    for (CAnimPlayer& player : regionFlags) player.Clear();
    for (CAnimPlayer& player : wizardFlags) player.Clear();
    flagsAnimation.Free();
    flagsSprite.Free();
    texts.Free();
    messagePanels.Clear();
    buttonCallback_.reset();
    regionNamesText.clear();
    hoveredName.clear();
    tutorialBox.reset();
    realmName.clear();
  }
  for (auto& button : buttons_) button.reset();
  buttonSprite_.Free();
}

RealmPoint CRealmView::WizardMarkerPoint(int w) {
  const CRealmState& s = realmState;
  const CRealmMovement& m = s.movement[w];
  const int here = s.locations[w];
  if (m.countdown != 0) {
    if (m.oldRegion < 1 || m.oldRegion > regionCount) return {};
    const CFixPoints& paths = flagPaths[m.oldRegion - 1];
    int slot = m.pathSlot;
    if (slot < 0)
      for (int p = 0; p < paths.PathCount() && slot < 0; ++p) {
        const RealmPoint end = paths.GetPathEnd(p);
        if (RegionAt(end.x, end.y) == here) slot = p;
      }
    return paths.GetPathPoint(slot, paths.GetPathLength(slot) - m.countdown);
  }
  if (here >= 1 && here <= regionCount && s.OwnerOf(here) == w) return flagPaths[here - 1].flagPoint;
  return RealmPoint{m.x, m.y};
}

void CRealmView::Draw(int hovered) {
  if (!g_backBuffer.IsCreated()) return;
  mapSurface.BlitTo(&g_backBuffer, 0, 0);
  const int player = realmState.playerWizard;
  if (hovered > 0 && IsRegionVisible(hovered, player) && borders[hovered - 1] && borders[hovered - 1]->palette) {
    if (borderRegion != hovered) {
      borders[hovered - 1]->Draw(&borderSurface);
      borderRegion = hovered;
    }
    const platform::Rect box = borderBoxes[hovered - 1];
    if (box.right >= box.left) {
      const platform::Rect source{box.left, box.top, box.right + 1, box.bottom + 1};
      if (g_deferBlits)
        borderSurface.QueueBlit(0, &g_backBuffer, &source, box.left, box.top, 0);
      else
        borderSurface.BlitRectToKeyed(&g_backBuffer, &source, box.left, box.top);
    }
  }
  if (realmState.IsActiveWizard(player)) {
    const CRealmMovement& m = realmState.movement[player];
    const int from = m.countdown != 0 ? m.oldRegion : realmState.locations[player];
    if (from >= 1 && from <= regionCount) flagPaths[from - 1].DrawPaths(&g_backBuffer);
  }
  {
    SurfacePrinting printing(&g_backBuffer);
    auto printFlag = [&](CAnimPlayer& flag, RealmPoint at) {
      if (at.x < 0 || at.y < 0 || !flag.animation) return;
      const int frame = flag.CurrentFrame();
      const int step = flag.frameStep;
      int x = at.x + (step >= 0 ? flag.animation->Step(step).x : 0);
      int y = at.y + (step >= 0 ? flag.animation->Step(step).y : 0);
      MapToScreen(x, y);
      if (printing) PrintControlFrame(&flagsSprite, frame >= 0 && frame < flagsSprite.FrameCount() ? frame : 0, x, y);
    };
    for (int n = 1; n <= regionCount; ++n) {
      if (IsRegionVisible(n, player)) printFlag(regionFlags[n - 1], flagPaths[n - 1].flagPoint);
      regionFlags[n - 1].Advance();
    }
    for (int w = 0; w < realmState.wizardCount; ++w) {
      if (!realmState.active[w]) continue;
      if (w != player && !IsRegionVisible(realmState.locations[w], player)) continue;
      printFlag(wizardFlags[w], WizardMarkerPoint(w));
      wizardFlags[w].Advance();
    }
  }
  for (const auto& button : buttons_)
    if (button) button->Draw();
  if (tutorialBox) tutorialBox->Draw(&g_backBuffer);
  g_tooltipManager.Update();
  messagePanels.Draw();
  messagePanels.Step();
}

void CRealmView::SelectRegionName(int region) {
  // A region the names file does not name has no name here (and so no tooltip).
  hoveredName = RegionNameFromText(regionNamesText, region);
  if (hoveredName == CRegionEntryScreen::kInvalidRegionName) hoveredName.clear();
}

bool CRealmView::ShowTutorialDialog(int step) {
  const std::string path = platform::CurrentDirectory() + "\\interface\\realmviewer\\tutorial.cfg";
  const std::string section = "DIALOG_" + std::to_string(step);
  const int box = platform::ReadProfileInt(section, "speechBoxNum", 1, path);
  static constexpr const char* kMissing = "\x01";
  const std::string name = platform::ReadProfileString(section, "Name", kMissing, path);
  const std::string speech = platform::ReadProfileString(section, "Speech", kMissing, path);
  const std::string face = platform::ReadProfileString(section, "Face", "Raven Left", path);
  if (name == kMissing || speech == kMissing) return false;
  auto speechBox = std::make_unique<CSpeechBox>();
  SpeechRequest request;
  request.boxNumber = box;
  request.heading = name;
  request.text = speech;
  request.portrait = face;
  request.fixedBox = true;
  request.centred = true;
  if (!speechBox->Show(request, -1, -1)) return false;
  tutorialBox = std::move(speechBox);
  return true;
}
