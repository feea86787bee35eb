#include "frontend/Grimoire.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/ErrorBox.h"
#include "frontend/ScreenTable.h"
#include "graphics/Display.h"
#include "graphics/Pictures.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "sound/SoundManager.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/SharedArt.h"

CGrimoire* g_grimoire = nullptr;

namespace {

constexpr const char* kFolder = "Interface\\Grimoire\\";
constexpr int kTurnTop = 100;
constexpr int kTurnHalf = 50;
constexpr int kMaxSpreads = 200;  // a section laid out to its end stops here whatever it holds
constexpr int kFadeFrames = 6;

bool FileThere(const std::string& path) { return platform::FileExists(path); }

void CreateSurface(CSurface& surface, int width, int height) {
  if (surface.IsCreated()) return;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = width;
  desc.height = height;
  surface.Create(&desc);
}

}  // namespace

void OpenGrimoire(int chapter, int section) {
  if (!g_grimoire) return;
  PushScreen(g_grimoire);
  g_grimoire->RequestOpen(chapter, section);
}

CGrimoire::CGrimoire() { id = kScreenGrimoire; }
CGrimoire::~CGrimoire() { Release(); }

std::string CGrimoire::ResolutionFolder() const {
  return std::string(kFolder) + std::to_string(ScreenWidth()) + "x" + std::to_string(ScreenHeight()) + "\\";
}

void CGrimoire::RequestOpen(int chapterNumber, int sectionNumber) {
  openRequested = true;
  requestChapter = chapterNumber;
  requestSection = sectionNumber;
}

void CGrimoire::Enter() {
  closing = false;
  fading = 0;
  loaded_ = Load();
  if (!loaded_) {
    platform::ShowMessageBox("The Grimoire could not be loaded", "Grimoire", WarningBoxFlags());
    Release();
    PopScreen();
  }
}

void CGrimoire::Exit() {
  Release();
  loaded_ = false;
}

void CGrimoire::Release() {
  ClearEntries();
  close_.reset();
  back_.reset();
  forward_.reset();
  for (auto& pair : tabs_)
    for (auto& tab : pair) tab.reset();
  callback_.reset();
  composer_.reset();
  areas_.reset();
  text_.reset();
  backdrop_.Release();
  for (CSurface& s : pages_) s.Release();
  for (CSurface& s : edges_) s.Release();
  icons_.Free();
  entryIcons_.Free();
  pageTurns_.Free();
}

bool CGrimoire::LoadPicture(CSurface& surface, const std::string& base) const {
  if (FileThere(base + ".JPG") && surface.LoadJpeg((base + ".JPG").c_str())) return true;
  return FileThere(base + ".BMP") && surface.LoadBitmap((base + ".BMP").c_str());
}

void CGrimoire::CountGenericPages() {
  auto count = [&](char side) {
    int n = 0;
    for (;; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "Generic%c%02i", side, n + 1);
      const std::string base = ResolutionFolder() + name;
      if (!FileThere(base + ".JPG") && !FileThere(base + ".BMP")) break;
    }
    return n;
  };
  genericLeftCount = count('L');
  genericRightCount = count('R');
}

bool CGrimoire::Load() {
  RestoreCursorBackground();
  text_ = LoadGrimoireText(kGrimoireTextPath, kGrimoireCfgPath);
  areas_ = std::make_unique<CRectQueue>();
  composer_ = std::make_unique<CGrimoirePage>();
  const int width = ScreenWidth(), height = ScreenHeight();
  for (CSurface& s : pages_) {
    CreateSurface(s, width / 2, height);
    s.SetColourKey(0, 0, 255);
  }
  pages_[1].x = pages_[3].x = width / 2;
  CountGenericPages();
  CreateSurface(backdrop_, width, height);
  const bool backdrop = backdrop_.IsCreated() && LoadPicture(backdrop_, ResolutionFolder() + "BACKDROP");
  icons_.Load((ResolutionFolder() + "Icons.spr").c_str(), 2);
  entryIcons_.Load((std::string(kFolder) + "Generic\\Icons.spr").c_str(), 2);
  pageTurns_.Load((std::string(kFolder) + "Generic\\PageTurns.spr").c_str(), 2);
  const bool pages = std::all_of(pages_.begin(), pages_.end(), [](const CSurface& s) { return s.IsCreated(); });
  if (!text_ || !areas_ || !backdrop || !composer_ || genericLeftCount < 1 || genericRightCount < 1 || !pages ||
      !entryIcons_.IsLoaded() || !pageTurns_.IsLoaded())
    return false;
  composer_->database = text_.get();
  composer_->iconSprite = &entryIcons_;
  composer_->icons = this;
  composer_->font = &g_bodyFont;
  composer_->headingFont = &g_headingFont;
  composer_->screenWidth = width;
  composer_->screenHeight = height;

  // The closed book while the pages are made.
  CSurface closed;
  CreateSurface(closed, width, height);
  if (closed.IsCreated() && LoadPicture(closed, ResolutionFolder() + "ClosedBook") && g_backBuffer.IsCreated()) {
    closed.BlitTo(&g_backBuffer, 0, 0);
    PresentWorkSurface();
  }
  for (CSurface& e : edges_) e.Release();
  MakeButtons();
  shown_ = 0;
  chapter = 0;
  section = 0;
  page = 1;
  forwardProgress = backwardProgress = turnSpeed = 0;
  SetEdges(0);
  GoTo(0, 0, true);
  return true;
}

int CGrimoire::LayoutValue(const char* sectionName, const std::string& key) const {
  const std::string value = platform::ReadProfileString(sectionName, key, "", kGrimoireCfgPath);
  if (value.empty()) {
    char message[512];
    std::snprintf(message, sizeof message, "%s Missing from [%s] in %s", key.c_str(), sectionName, kGrimoireCfgPath);
    platform::ShowMessageBox(message, "Error", WarningBoxFlags());
    return 0;
  }
  return std::atoi(value.c_str());
}

void CGrimoire::MakeButtons() {
  callback_ = std::make_unique<CFunctionCallback>([this](int id) { OnButton(id); });
  const std::string res = std::to_string(ScreenWidth()) + "x" + std::to_string(ScreenHeight()) + "_";
  auto make = [&](std::unique_ptr<CPanelButton>& button, CSprite* sprite, int normal, int lit, int id, int x, int y) {
    button = std::make_unique<CPanelButton>();
    button->SetSurface(&g_backBuffer);
    button->SetFrameSprite(sprite);
    button->SetStateFrames(normal, lit, -1, -1);
    const int w = std::max(1, sprite->GetFrame(normal) ? sprite->GetFrame(normal).Width() : 1);
    const int h = std::max(1, sprite->GetFrame(normal) ? sprite->GetFrame(normal).Height() : 1);
    button->Create(id, {x, y, x + w, y + h}, callback_.get(), nullptr, 1);
  };
  make(close_, &icons_, 0, 1, kGrimoireCloseId, LayoutValue("CLOSE_GRIMOIRE", res + "X"),
       LayoutValue("CLOSE_GRIMOIRE", res + "Y"));
  for (int n = 1; n <= kGrimoireTabs; ++n) {
    const int b = 2 + 4 * (n - 1);
    const std::string tab = res + std::to_string(n);
    make(tabs_[static_cast<size_t>(n - 1)][1], &icons_, b, b + 1, (n - 1) * 100, LayoutValue("TABS", tab + "RX"),
         LayoutValue("TABS", tab + "RY"));
    make(tabs_[static_cast<size_t>(n - 1)][0], &icons_, b + 2, b + 3, (n - 1) * 100, LayoutValue("TABS", tab + "LX"),
         LayoutValue("TABS", tab + "LY"));
  }
  make(back_, &pageTurns_, 0, 1, kGrimoireBackId, LayoutValue("PAGETURN_LEFT", res + "X"),
       LayoutValue("PAGETURN_LEFT", res + "Y"));
  make(forward_, &pageTurns_, 2, 3, kGrimoireForwardId, LayoutValue("PAGETURN_RIGHT", res + "X"),
       LayoutValue("PAGETURN_RIGHT", res + "Y"));
}

void CGrimoire::SetEdges(int chapterNumber) {
  const std::string folder = ResolutionFolder();
  for (int side = 0; side < 2; ++side) {
    CSurface& edge = edges_[static_cast<size_t>(side)];
    edge.Release();
    char name[32];
    std::snprintf(name, sizeof name, "EDGE%i%c.BMP", chapterNumber, side == 0 ? 'L' : 'R');
    CDibBitmap bitmap;
    if (!bitmap.Load((folder + name).c_str())) continue;
    CreateSurface(edge, bitmap.Width(), bitmap.Height());
    if (!edge.IsCreated()) continue;
    edge.DrawDib(bitmap);
    edge.SetColourKey(0, 0, 255);
    edge.x = side == 0 ? 0 : ScreenWidth() - bitmap.Width();
  }
  // Chapters passed stick out on the left, those ahead on the right.
  for (int n = 0; n < kGrimoireTabs; ++n) {
    auto& pair = tabs_[static_cast<size_t>(n)];
    if (!pair[0] || !pair[1]) continue;
    const bool passed = n <= chapterNumber;
    if (passed) {
      pair[0]->Enable();
      pair[1]->Disable();
    } else {
      pair[1]->Enable();
      pair[0]->Disable();
    }
  }
}

const char* CGrimoire::VisibleText(int chapterNumber, const CGrimoireSection* shown) const {
  return shown ? VisibleGrimoireText(shown, GrimoireKnowledgeLevel(chapterNumber, shown->number)) : nullptr;
}

const CGrimoireSection* CGrimoire::Current() const { return text_ ? text_->FindSection(chapter, section) : nullptr; }

void CGrimoire::ClearEntries() { entries_.clear(); }

void CGrimoire::AddPageIcon(int x, int y, int id, int frame, CSurface* surface) {
  if (static_cast<int>(entries_.size()) >= kGrimoireMaxEntries || !surface) return;
  auto button = std::make_unique<CPanelButton>();
  button->SetSurface(surface);
  button->SetFrameSprite(&entryIcons_);
  button->SetStateFrames(frame, frame, -1, -1);
  const CSpriteFrame image = entryIcons_.GetFrame(frame);
  const int w = image ? image.Width() : 36, h = image ? image.Height() : 36;
  const int left = surface->x + x, top = surface->y + y;
  button->Create(id, {left, top, left + w, top + h}, callback_.get(), nullptr, 1);
  entries_.push_back(std::move(button));
}

void CGrimoire::DrawPage(int chapterNumber, const CGrimoireSection* shown, int pageNumber, CSurface* surface) {
  const std::string folder = ResolutionFolder();
  // The section's own picture for the page, the first in name order; else a generic one.
  char pattern[64];
  std::snprintf(pattern, sizeof pattern, "C%iS%02iP%i*.*", chapterNumber, shown ? shown->number : 0, pageNumber);
  std::vector<std::string> own = platform::ListDirectory(folder, pattern);
  std::sort(own.begin(), own.end());
  bool drawn = false;
  for (const std::string& name : own) {
    const std::string path = folder + name;
    const bool jpeg = name.size() > 4 && platform::EqualNoCase(name.substr(name.size() - 4), ".JPG");
    drawn = jpeg ? surface->LoadJpeg(path.c_str()) : surface->LoadBitmap(path.c_str());
    break;
  }
  if (!drawn) {
    const bool right = pageNumber % 2 == 0;
    const int count = right ? genericRightCount : genericLeftCount;
    char name[32];
    std::snprintf(name, sizeof name, "Generic%c%02i", right ? 'R' : 'L',
                  count > 0 ? (chapterNumber + (shown ? shown->number : 0) + pageNumber) % count + 1 : 1);
    LoadPicture(*surface, folder + name);
  }
  // The text windows show plain paper: the backdrop under them.
  areas_->ScanKeyAreas(surface);
  surface->SnapToColourKey(0, 0, 255, 10);
  for (int i = 0; i < areas_->Count(); ++i) {
    const platform::Rect& w = areas_->At(i);
    const platform::Rect source{w.left + surface->x, w.top, w.right + surface->x, w.bottom};
    backdrop_.BlitRectTo(surface, &source, w.left, w.top);
  }
  if (pageNumber == 1) composer_->SetText(VisibleText(chapterNumber, shown));
  if (moreText || pageNumber == 1) {
    composer_->SetPage(areas_.get(), surface);
    if (pageNumber == 1 && shown && shown->name) composer_->AddText(shown->name->c_str());
    moreText = composer_->RenderAll();
  }
}

void CGrimoire::DrawSpread(int chapterNumber, const CGrimoireSection* shown, int pageNumber, bool intoTurn) {
  ClearEntries();
  CSurface* left = intoTurn ? TurnPage(0) : ShownPage(0);
  CSurface* right = intoTurn ? TurnPage(1) : ShownPage(1);
  if (pageNumber == 1) moreText = false;
  DrawPage(chapterNumber, shown, pageNumber, left);
  DrawPage(chapterNumber, shown, pageNumber + 1, right);
}

int CGrimoire::LayOut(int chapterNumber, const CGrimoireSection* shown, int pageNumber, bool intoTurn) {
  int p = 1;
  DrawSpread(chapterNumber, shown, p, intoTurn);
  for (int spreads = 1; spreads < kMaxSpreads; ++spreads) {
    if (pageNumber > 0 ? p >= pageNumber : !moreText) break;
    if (!moreText) break;
    p += 2;
    DrawSpread(chapterNumber, shown, p, intoTurn);
  }
  return p;
}

const CGrimoireSection* CGrimoire::FindNextSection(int& chapterOut) const {
  if (!text_) return nullptr;
  const CGrimoireChapter& own = text_->chapters[static_cast<size_t>(chapter)];
  const int slot = own.SlotOf(Current());
  for (int s = slot + 1; slot >= 0 && s < kGrimoireSlots && own.Slot(s); ++s)
    if (VisibleText(chapter, own.Slot(s))) {
      chapterOut = chapter;
      return own.Slot(s);
    }
  for (int c = chapter + 1; c < kGrimoireChapters; ++c) {
    const CGrimoireSection* first = text_->chapters[static_cast<size_t>(c)].Slot(0);
    if (first && VisibleText(c, first)) {
      chapterOut = c;
      return first;
    }
  }
  return nullptr;
}

const CGrimoireSection* CGrimoire::FindPreviousSection(int& chapterOut) const {
  if (!text_) return nullptr;
  const CGrimoireChapter& own = text_->chapters[static_cast<size_t>(chapter)];
  for (int s = own.SlotOf(Current()) - 1; s >= 0 && own.Slot(s); --s)
    if (VisibleText(chapter, own.Slot(s))) {
      chapterOut = chapter;
      return own.Slot(s);
    }
  for (int c = chapter - 1; c >= 0; --c) {
    const CGrimoireChapter& earlier = text_->chapters[static_cast<size_t>(c)];
    if (!earlier.Slot(0)) continue;
    const CGrimoireSection* last = nullptr;
    for (int s = 0; s < kGrimoireSlots && earlier.Slot(s); ++s)
      if (VisibleText(c, earlier.Slot(s))) last = earlier.Slot(s);
    if (last) {
      chapterOut = c;
      return last;
    }
  }
  return nullptr;
}

void CGrimoire::StartTurn(bool forwardTurn) {
  forwardProgress = forwardTurn ? 1 : 0;
  backwardProgress = forwardTurn ? 0 : 1;
  turnSpeed = 0;
  if (g_soundManager) g_soundManager->Play(kGrimoireTurnSound, 0, 0, nullptr, 0);
}

void CGrimoire::NextPage() {
  if (!text_ || forwardProgress || backwardProgress) return;
  if (moreText) {
    page += 2;
    DrawSpread(chapter, Current(), page, true);
  } else {
    int nextChapter = chapter;
    const CGrimoireSection* next = FindNextSection(nextChapter);
    if (!next) return;
    if (nextChapter != chapter) SetEdges(nextChapter);
    chapter = nextChapter;
    section = next->number;
    page = 1;
    DrawSpread(chapter, next, page, true);
  }
  StartTurn(true);
  UpdatePageButtons();
}

void CGrimoire::PreviousPage() {
  if (!text_ || forwardProgress || backwardProgress) return;
  if (page >= 3) {
    page -= 2;
    LayOut(chapter, Current(), page, true);
  } else {
    int previousChapter = chapter;
    const CGrimoireSection* previous = FindPreviousSection(previousChapter);
    if (!previous) return;
    if (previousChapter != chapter) SetEdges(previousChapter);
    chapter = previousChapter;
    section = previous->number;
    page = LayOut(chapter, previous, 0, true);
  }
  StartTurn(false);
  UpdatePageButtons();
}

void CGrimoire::GoTo(int chapterNumber, int sectionNumber, bool forced) {
  if (!text_ || chapterNumber < 0 || chapterNumber >= kGrimoireChapters) return;
  if (!forced && chapterNumber == chapter && sectionNumber == section) return;
  const CGrimoireSection* target = text_->FindSection(chapterNumber, sectionNumber);
  if (!target || !VisibleText(chapterNumber, target)) return;
  const CGrimoireSection* current = Current();
  // The book being opened shows its first spread at once; a turn under way is not interrupted.
  bool animate = loaded_ && !forwardProgress && !backwardProgress;
  bool forwardTurn = true;
  if (chapterNumber > chapter || (chapterNumber == chapter && section == 0)) {
    forwardTurn = true;
  } else if (chapterNumber < chapter || sectionNumber == 0) {
    forwardTurn = false;
  } else if (!target->name || !current || !current->name) {
    animate = false;
  } else {
    forwardTurn = std::strcmp(target->name->c_str(), current->name->c_str()) > 0;
  }
  if (chapterNumber != chapter || !animate) SetEdges(chapterNumber);
  chapter = chapterNumber;
  section = sectionNumber;
  page = 1;
  if (animate) {
    DrawSpread(chapter, target, page, true);
    StartTurn(forwardTurn);
  } else {
    forwardProgress = backwardProgress = 0;
    DrawSpread(chapter, target, page, false);
  }
  UpdatePageButtons();
}

void CGrimoire::OnButton(int id) {
  if (closing) return;
  if (id == kGrimoireCloseId) {
    BeginFadeOut();
    closing = true;
  } else if (id == kGrimoireBackId) {
    PreviousPage();
  } else if (id == kGrimoireForwardId) {
    NextPage();
  } else if (id >= 0 && id < kGrimoireChapters * 100) {
    GoTo(id / 100, id % 100, false);
  }
}

void CGrimoire::UpdatePageButtons() {
  if (!back_ || !forward_) return;
  back_->Disable();
  forward_->Disable();
  // A turn within the section shows the other frame of its button: the lit one.
  back_->SetStateFrames(page >= 3 ? 1 : 0, 1, -1, -1);
  forward_->SetStateFrames(moreText ? 3 : 2, 3, -1, -1);
  if (page > 1 || chapter != 0 || section != 0) back_->Enable();
  int ignored = 0;
  if (moreText || FindNextSection(ignored)) forward_->Enable();
}

void CGrimoire::AdvanceTurn() {
  int* progress = forwardProgress ? &forwardProgress : backwardProgress ? &backwardProgress : nullptr;
  if (!progress) return;
  if (turnSpeed < 40 && *progress < kTurnHalf)
    turnSpeed += 2;
  else if (turnSpeed > 2 && *progress > kTurnHalf)
    turnSpeed -= 2;
  *progress += turnSpeed;
  if (*progress > kTurnTop) {
    forwardProgress = backwardProgress = 0;
    turnSpeed = 0;
    shown_ = 1 - shown_;
  }
}

void CGrimoire::DrawTurn() {
  const int half = ScreenWidth() / 2, height = ScreenHeight();
  CSurface* oldLeft = ShownPage(0);
  CSurface* oldRight = ShownPage(1);
  CSurface* newLeft = TurnPage(0);
  CSurface* newRight = TurnPage(1);
  auto whole = [&](CSurface* s, int x) { s->BlitToKeyed(&g_backBuffer, x, 0); };
  // A page squeezed against the spine: its whole picture in the visible width.
  auto squeezed = [&](CSurface* s, bool leftOfSpine, int visible) {
    if (visible <= 0) return;
    platform::Rect source{0, 0, half, height};
    platform::Rect target{leftOfSpine ? half - visible : half, 0, leftOfSpine ? half : half + visible, height};
    s->StretchBlitToKeyed(&g_backBuffer, &source, &target);
  };
  const bool forwardTurn = forwardProgress > 0;
  const int p = forwardTurn ? forwardProgress : backwardProgress;
  const int folding = std::clamp(half * (kTurnHalf - p) / kTurnHalf, 0, half);
  const int unfolding = std::clamp(half * (p - kTurnHalf) / kTurnHalf, 0, half);
  if (forwardTurn) {
    whole(oldLeft, 0);
    whole(newRight, half);
    squeezed(oldRight, false, folding);
    squeezed(newLeft, true, unfolding);
  } else {
    whole(newLeft, 0);
    whole(oldRight, half);
    squeezed(oldLeft, true, folding);
    squeezed(newRight, false, unfolding);
  }
}

void CGrimoire::DrawFrame() {
  if (!g_backBuffer.IsCreated()) return;
  backdrop_.BlitTo(&g_backBuffer, 0, 0);
  for (auto& pair : tabs_)
    for (auto& tab : pair)
      if (tab && tab->state != kStateDisabled) tab->Draw();
  for (CSurface& edge : edges_)
    if (edge.IsCreated()) edge.BlitToKeyed(&g_backBuffer, edge.x, 0);
  if (forwardProgress || backwardProgress) {
    DrawTurn();
  } else {
    ShownPage(0)->BlitToKeyed(&g_backBuffer, 0, 0);
    ShownPage(1)->BlitToKeyed(&g_backBuffer, ScreenWidth() / 2, 0);
  }
  if (close_) close_->Draw();
  if (back_ && back_->state != kStateDisabled) back_->Draw();
  if (forward_ && forward_->state != kStateDisabled) forward_->Draw();
}

void CGrimoire::Update() {
  if (!loaded_) return;
  if (closing) {
    // The book dims for six frames, then the screen below comes back.
    if (fading && fadeStep < kFadeFrames) {
      if (g_backBuffer.IsCreated()) g_backBuffer.Dim();
      ++fadeStep;
      PresentWorkSurface();
      return;
    }
    fading = 0;
    PopScreen();
    return;
  }
  DrawFrame();
  AdvanceTurn();
  if (!forwardProgress && !backwardProgress && openRequested) {
    openRequested = false;
    GoTo(requestChapter, requestSection, false);
  }
  DrawSoftwareCursor();
  PresentWorkSurface();
  DispatchMouseEvents();
}

int CGrimoire::OnMessage(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  if (message == platform::WM_KEYDOWN && static_cast<int>(wParam) == platform::VK_ESCAPE && loaded_ && !closing)
    OnButton(kGrimoireCloseId);
  return 0;
}
