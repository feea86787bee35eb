#include "battle/GrimoirePage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "battle/GrimoireText.h"
#include "creatures/CreatureType.h"
#include "creatures/SpellDefinition.h"
#include "graphics/Font.h"
#include "graphics/Pictures.h"
#include "graphics/PixelFormat.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "platform/Files.h"
#include "ui/ControlArt.h"
#include "ui/SharedArt.h"

namespace {

constexpr int kMinWindowWidth = 32;   // width + 4 must exceed it
constexpr int kMinWindowHeight = 16;  // height + 4 must exceed it
constexpr int kWindowMargin = 2;
constexpr int kMagentaTolerance = 15;
constexpr int kLabelGap = 8;
constexpr int kBarSpacing = 4;
constexpr int kEntryNameOffset = 42;
constexpr int kEntryMinRoom = 41;
constexpr const char* kGrimoireFolder = "Interface\\Grimoire\\";

bool Inside(const platform::Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
bool IsPrintable(char c) { return c >= 0x20 && c < 0x7F; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EndsWithNoCase(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (Upper(s[s.size() - n + i]) != tail[i]) return false;
  return true;
}

// A picture name may only name a file of the grimoire's own folders.
bool IsPlainFileName(const std::string& name) {
  return name.find_first_of("\\/:") == std::string::npos && name.find("..") == std::string::npos;
}

// Reads the ~D block's parts from a text position, never past its end.
class BlockReader {
 public:
  explicit BlockReader(const char*& position) : p_(position) {}

  void Spaces() {
    while (*p_ == ' ' || *p_ == '\t') ++p_;
  }
  bool Quoted(std::string& out, size_t limit) {
    if (*p_ != '"') return false;
    ++p_;
    while (*p_ && *p_ != '"') {
      if (out.size() < limit) out.push_back(*p_);
      ++p_;
    }
    if (*p_ != '"') return false;
    ++p_;
    return true;
  }
  bool Number(int& out) {
    bool negative = false;
    if (*p_ == '-') negative = true, ++p_;
    if (!IsDigit(*p_)) return false;
    long value = 0;
    while (IsDigit(*p_)) {
      value = std::min<long>(value * 10 + (*p_ - '0'), 1000000);
      ++p_;
    }
    out = static_cast<int>(negative ? -value : value);
    return true;
  }
  // One character that separates two numbers (anything but the end of the text).
  bool Separator() {
    if (!*p_ || *p_ == '\n') return false;
    ++p_;
    return true;
  }
  bool Is(char c) const { return Upper(*p_) == c; }
  void Skip() {
    if (*p_) ++p_;
  }
  std::string Word() {
    std::string word;
    while (*p_ && !std::isspace(static_cast<unsigned char>(*p_)) && word.size() < 32) word.push_back(*p_++);
    return word;
  }
  bool Colour(int (&rgb)[3]) {
    return Number(rgb[0]) && Separator() && Number(rgb[1]) && Separator() && Number(rgb[2]);
  }

 private:
  const char*& p_;
};

bool IsType(int n) { return n >= 0 && n < kCreatureTypes; }
bool IsSpell(int n) { return n >= 0 && n < kSpellCount; }

}  // namespace

bool CRectQueue::Push(const platform::Rect& rect) {
  if (count_ >= kCapacity) return false;
  rects_[static_cast<size_t>(count_++)] = rect;
  return true;
}

bool CRectQueue::GetFirst(platform::Rect& out) {
  if (count_ == 0) return false;
  out = rects_[0];
  next_ = 1;
  return true;
}

bool CRectQueue::GetNext(platform::Rect& out) {
  if (next_ >= count_) return false;
  out = rects_[static_cast<size_t>(next_++)];
  return true;
}

int CRectQueue::ScanKeyAreas(CSurface* surface) {
  Clear();
  if (!surface || !surface->IsCreated()) return 0;
  surface->SnapToColourKey(255, 0, 255, kMagentaTolerance);
  uint16_t* pixels = surface->Lock();
  if (!pixels) return 0;
  // The key in the surface's own format: 0xF81F in 5-6-5, 0x7C1F in 5-5-5.
  const uint16_t key = PackColour(255, 0, 255);
  const int stride = surface->pitch / 2, width = surface->width, height = surface->height;
  auto isKey = [&](int x, int y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(stride) + x] == key; };
  // Every window counted, also those beyond 32, so that none of them is counted twice.
  std::vector<platform::Rect> found;
  int counted = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (!isKey(x, y)) continue;
      auto covering =
          std::find_if(found.begin(), found.end(), [&](const platform::Rect& r) { return Inside(r, x, y); });
      if (covering != found.end()) {
        x = std::max(x, covering->right - 1);
        continue;
      }
      int across = 0, down = 0;
      while (x + across < width && isKey(x + across, y)) ++across;
      while (y + down < height && isKey(x, y + down)) ++down;
      if (across + 2 * kWindowMargin <= kMinWindowWidth || down + 2 * kWindowMargin <= kMinWindowHeight) continue;
      const platform::Rect window{x - kWindowMargin, y - kWindowMargin, x + across + kWindowMargin,
                                  y + down + kWindowMargin};
      found.push_back(window);
      ++counted;
      Push(window);
      x = window.right - 1;
    }
  }
  surface->Unlock(pixels);
  return counted;
}

bool FillGrimoireStatBar(const std::string& keyword, int n, int m, CGradientBar& bar) {
  const CTypeMaxima& top = g_typeMaxima;
  const int ratingMax = std::max(top.hth, top.lrc);
  const int speedMax = std::max(top.GroundSpeed, top.FlyingSpeed);
  const int rangeMax = std::max({top.FireRange, top.ViewRange, g_maxSpellRange});
  auto type = [&](int i) -> const CCreatureType& { return g_creatureTypes[i]; };
  auto set = [&](int value, int maximum) {
    bar.value = bar.secondValue = value;
    bar.maximum = maximum;
    return true;
  };
  if (keyword == "HTH" || keyword == "LRC") {
    if (!IsType(n) || !IsType(m)) return false;
    const int rating = keyword == "HTH" ? type(n).GetHthRating(m) : type(n).GetLrcRating(m);
    return (keyword == "HTH" || rating != 0) && set(rating, ratingMax);
  }
  if (keyword == "SPELL_RANGE") return IsSpell(n) && set(g_spellDefs[n].Range, rangeMax);
  if (keyword == "MANA_COST") return IsSpell(n) && set(g_spellDefs[n].ManaCost, g_maxSpellCost);
  struct TypeKey {
    const char* keyword;
    int32_t CCreatureType::*field;
    int maximum;
  };
  const TypeKey typeKeys[] = {
      {"HEALTH", &CCreatureType::Health, top.Health},
      {"MAGIC_RESIST", &CCreatureType::MagicResist, top.MagicResist},
      {"INTELLIGENCE", &CCreatureType::Intelligence, top.Intelligence},
      {"WEIGHT", &CCreatureType::Weight, top.Weight},
      {"VIEW_RANGE", &CCreatureType::ViewRange, std::max(top.FireRange, top.ViewRange)},
      {"FIRE_RANGE", &CCreatureType::FireRange, rangeMax},
      {"GROUND_SPEED", &CCreatureType::GroundSpeed, speedMax},
      {"FLYING_SPEED", &CCreatureType::FlyingSpeed, speedMax},
      {"BRAVERY", &CCreatureType::Bravery, top.Bravery},
  };
  for (const TypeKey& key : typeKeys) {
    if (keyword != key.keyword) continue;
    if (!IsType(n)) return false;
    const int value = type(n).*key.field;
    if (keyword == "FLYING_SPEED" && value == 0) return false;  // a walker has no flying bar
    return set(value, key.maximum);
  }
  return true;  // an unknown keyword: the bar keeps its defaults
}

void CGrimoirePage::Reset() {
  line_.clear();
  position_ = nullptr;
  commentDepth_ = 0;
  pendingCode_ = initialLetter_ = areaBreak_ = pageBreak_ = entry_ = false;
  entryChapter_ = entrySection_ = 0;
  picture_.clear();
  stat_.reset();
  areas_ = nullptr;
  hasArea_ = false;
  area_ = {};
  penX_ = penY_ = 0;
  target_ = nullptr;
  printed.clear();
  barsDrawn.clear();
  picturesDrawn.clear();
}

void CGrimoirePage::SetText(const char* text) {
  Reset();
  position_ = text;
  initialLetter_ = true;
  if (position_) ReadChunk();
}

void CGrimoirePage::SetPage(CRectQueue* areas, CSurface* target) {
  areas_ = areas;
  target_ = target;
  printed.clear();
  barsDrawn.clear();
  picturesDrawn.clear();
  hasArea_ = areas_ && areas_->GetFirst(area_);
  penX_ = area_.left;
  penY_ = area_.top;
}

CFont* CGrimoirePage::BodyFont() const { return font ? font : &g_bodyFont; }

int CGrimoirePage::LineHeight() const { return std::max(BodyFont()->GetLineHeight(), 1); }

bool CGrimoirePage::NextArea() {
  hasArea_ = areas_ && areas_->GetNext(area_);
  penX_ = area_.left;
  penY_ = area_.top;
  return hasArea_;
}

void CGrimoirePage::NewLine() {
  if (penX_ <= area_.left) return;
  penX_ = area_.left;
  penY_ += LineHeight();
}

int CGrimoirePage::Print(CFont* with, const std::string& text, int x, int y, uint8_t flags, int right, int red) {
  printed.push_back({text, x, y});
  if (!target_ || !with->IsLoaded() || text.empty()) return x;
  SurfacePrinting printing(target_, area_);
  if (!printing) return x;
  const TextRect rect{flags & kTextRight ? area_.left : x, y, right < 0 ? area_.right : right, area_.bottom};
  TextPoint pen{x, y};
  with->PrintTextAt(text.c_str(), rect, x, red < 0 ? textRed : red, textGreen, textBlue, flags, &pen);
  // The pen stands where the last glyph was placed; a run that goes on later starts past that
  // glyph's right edge (a blank leaves the pen where the next glyph belongs).
  const char last = text.back();
  if (last == ' ' || last == '\n') return pen.x;
  const CSpriteFrame glyph = with->Glyph(last);
  return pen.x + (glyph ? std::max(0, glyph.Width() - glyph.HotspotX()) : 0);
}

bool CGrimoirePage::AddText(const char* heading) {
  if (!hasArea_ || !target_) return false;
  CFont* with = headingFont ? headingFont : BodyFont();
  const int line = std::max(with->GetLineHeight(), 1);
  while (area_.bottom - area_.top < line)
    if (!NextArea()) return false;
  int lines = 1;
  if (heading && *heading) {
    Print(with, heading, area_.left, area_.top, kTextCentre | kTextWordWrap);
    lines = std::max(with->LineCount(), 1);
  }
  area_.top += lines * line;
  penX_ = area_.left;
  penY_ = area_.top;
  if (area_.bottom - area_.top < LineHeight()) NextArea();
  return true;
}

bool CGrimoirePage::HasPending() const {
  return !line_.empty() || picture_.size() > 4 || areaBreak_ || pageBreak_ || stat_ || entry_;
}

bool CGrimoirePage::RenderAll() {
  while (hasArea_) {
    if (!HasPending()) {
      if (!position_) break;
      ReadChunk();
      if (!HasPending()) continue;
    }
    DrawPending();
  }
  return HasPending() || position_ != nullptr;
}

void CGrimoirePage::DrawPending() {
  DrawText();
  if (hasArea_ && picture_.size() > 4) DrawPicture();
  if (!picture_.empty() && picture_.size() <= 4) picture_.clear();
  if (hasArea_ && areaBreak_) {
    areaBreak_ = false;
    NextArea();
  }
  if (hasArea_ && pageBreak_) {
    pageBreak_ = false;
    hasArea_ = false;
    return;
  }
  if (hasArea_ && stat_) DrawStatBlock();
  if (hasArea_ && entry_) DrawEntry();
}

void CGrimoirePage::DrawText() {
  CFont* with = BodyFont();
  if (!with->IsLoaded()) {
    line_.clear();
    return;
  }
  const int line = LineHeight();
  while (!line_.empty() && hasArea_) {
    if (area_.bottom - penY_ < line) {
      NextArea();
      continue;
    }
    if (initialLetter_) {
      // The first letter of a text is set by itself, in a deeper red.
      initialLetter_ = false;
      if (line_[0] != '\n') {
        penX_ = Print(with, line_.substr(0, 1), penX_, penY_, kTextLeft, -1, 140);
        line_.erase(0, 1);
        continue;
      }
    }
    // Blanks that open a run after something printed on the line: the font would drop them at
    // the start of its layout.
    while (penX_ > area_.left && !line_.empty() && line_[0] == ' ') {
      const CSpriteFrame a = with->Glyph('a');  // a blank is as wide as an 'a'
      penX_ += (a ? std::max(0, a.Width() - a.HotspotX()) : 0) + with->spacing;
      line_.erase(0, 1);
    }
    if (line_.empty()) break;
    // One line at a time, from the pen to the area's right edge.
    const TextRect rest{penX_, penY_, area_.right, area_.bottom};
    with->MeasureText(line_.c_str(), rest, kTextLeft | kTextWordWrap);
    const int count = with->LineLength(0);
    if (count <= 0) {
      line_.clear();
      break;
    }
    std::string run = line_.substr(0, static_cast<size_t>(count));
    const TextRect unbounded{0, 0, 1 << 20, line};
    if (penX_ > area_.left && with->MeasureText(run.c_str(), unbounded, kTextLeft) > area_.right - penX_) {
      NewLine();  // the word does not fit after what the line holds: it starts the next line
      continue;
    }
    line_.erase(0, static_cast<size_t>(count));
    const bool endsLine = run.back() == '\n' || !line_.empty();
    if (run.back() == '\n') run.pop_back();
    const int end = run.empty() ? penX_ : Print(with, run, penX_, penY_, kTextLeft);
    if (endsLine) {
      penX_ = area_.left;
      penY_ += line;
    } else {
      penX_ = end;
    }
  }
}

void CGrimoirePage::DrawPicture() {
  const std::string name = picture_;
  picture_.clear();
  if (!(EndsWithNoCase(name, "BMP") || EndsWithNoCase(name, "PCX")) || !IsPlainFileName(name)) return;
  char path[600];
  std::snprintf(path, sizeof path, "%s%ix%i\\%s", kGrimoireFolder, screenWidth, screenHeight, name.c_str());
  if (!platform::FileExists(path)) std::snprintf(path, sizeof path, "%sGENERIC\\%s", kGrimoireFolder, name.c_str());
  CSurface picture;
  CDibBitmap bitmap;
  CPcxImage pcx;
  const bool isBmp = EndsWithNoCase(name, "BMP");
  int width = 0, height = 0;
  if (isBmp ? bitmap.Load(path) : pcx.Load(path)) {
    width = isBmp ? bitmap.Width() : pcx.width;
    height = isBmp ? bitmap.Height() : pcx.height;
  }
  if (width <= 0 || height <= 0) return;
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = width;
  desc.height = height;
  if (!picture.Create(&desc)) return;
  if (isBmp)
    picture.DrawDib(bitmap);
  else
    pcx.Draw(&picture);
  picture.SetColourKey(0, 0, 255);
  NewLine();
  const bool fresh = penY_ == area_.top;
  if (!fresh && (width > area_.right - area_.left || height > area_.bottom - penY_)) {
    if (!NextArea()) {
      picture_ = name;  // on the next page
      return;
    }
  }
  if (target_) {
    // Cut to the area: a picture larger than any window shows what fits.
    platform::Rect part{0, 0, std::min(width, area_.right - area_.left), std::min(height, area_.bottom - penY_)};
    if (part.right > 0 && part.bottom > 0) picture.BlitRectToKeyed(target_, &part, area_.left, penY_);
  }
  picturesDrawn.push_back({area_.left, penY_, area_.left + width, penY_ + height});
  penY_ += height;
  penX_ = area_.left;
}

void CGrimoirePage::DrawStatBlock() {
  NewLine();
  const int line = LineHeight();
  auto place = [&] {
    CGradientBar& bar = stat_->bar;
    bar.x0 = area_.left + stat_->x;
    bar.y0 = penY_ + stat_->y;
    bar.x1 = bar.x0 + stat_->width;
    bar.y1 = bar.y0 + std::max(stat_->height, line);
    return bar.x1 <= area_.right && bar.y1 <= area_.bottom;
  };
  if (!place() && penY_ != area_.top) {
    if (!NextArea()) return;  // stays pending for the next page
    place();
  }
  const CGradientBar bar = stat_->bar;
  if (!stat_->label.empty()) Print(BodyFont(), stat_->label, area_.left, bar.y0, kTextRight, bar.x0 - kLabelGap);
  if (target_) bar.Draw(target_);
  barsDrawn.push_back(bar);
  penY_ = bar.y1 + kBarSpacing;
  penX_ = area_.left;
  stat_.reset();
}

void CGrimoirePage::DrawEntry() {
  const CGrimoireSection* section = database ? database->FindSection(entryChapter_, entrySection_) : nullptr;
  if (!section || !VisibleGrimoireText(section, GrimoireKnowledgeLevel(entryChapter_, entrySection_))) {
    entry_ = false;
    return;
  }
  NewLine();
  if (area_.bottom - penY_ < kEntryMinRoom && !NextArea()) return;  // on the next page
  entry_ = false;
  const int top = penY_, left = area_.left;
  const bool hasIcon = section->icon >= 0 && iconSprite && iconSprite->IsLoaded();
  if (hasIcon) {
    const int frame = section->icon < iconSprite->FrameCount() ? section->icon : 0;
    if (icons) icons->AddPageIcon(left, top, entryChapter_ * 100 + entrySection_, frame, target_);
    if (target_) {
      SurfacePrinting printing(target_, area_);
      if (printing) PrintControlFrame(iconSprite, frame, left, top);
    }
  } else {
    Print(BodyFont(), "X", left + 12, top + (kEntryHeight - LineHeight()) / 2, kTextLeft);
  }
  if (section->name)
    Print(BodyFont(), *section->name, left + kEntryNameOffset, top + (kEntryHeight - LineHeight()) / 2,
          kTextLeft | kTextWordWrap);
  penY_ = top + kEntryHeight;
  penX_ = area_.left;
}

bool CGrimoirePage::ReadChunk() {
  while (position_) {
    if (line_.size() >= static_cast<size_t>(kLineBufferSize)) return true;  // a full buffer is printed first
    const char c = *position_;
    if (c == '\0') {
      position_ = nullptr;
      return false;
    }
    ++position_;
    if (c == '\n' || c == '\r') continue;
    if (commentDepth_ > 0) {
      if (c == '[') ++commentDepth_;
      if (c == ']') --commentDepth_;
      continue;
    }
    if (pendingCode_) {
      pendingCode_ = false;
      const char letter = Upper(c);
      ReadCode(letter);
      if (letter == 'D' || letter == 'G' || letter == 'I' || letter == 'N' || letter == 'C' || letter == 'L' ||
          letter == 'S' || letter == ']')
        return true;
      continue;
    }
    if (c == '~') {
      pendingCode_ = true;
      continue;
    }
    if (IsPrintable(c)) line_.push_back(c);
  }
  return false;
}

void CGrimoirePage::ReadCode(char letter) {
  switch (letter) {
    case 'D':
      return ReadStatBlock();
    case 'G':
      return ReadPictureName();
    case 'I':
      return ReadEntry();
    case 'N': {
      const char kind = Upper(*position_);
      if (kind == '\0') return;
      ++position_;
      if (kind == 'B') areaBreak_ = true;
      if (kind == 'L') line_.push_back('\n');
      if (kind == 'P') pageBreak_ = true;
      return;
    }
    case '[':
      commentDepth_ = 1;
      return;
    default:
      return;
  }
}

void CGrimoirePage::ReadPictureName() {
  std::string name;
  BlockReader reader(position_);
  reader.Spaces();
  if (reader.Quoted(name, kPictureNameLimit)) picture_ = name;
}

void CGrimoirePage::ReadEntry() {
  const char* p = position_;
  if (!IsDigit(p[0]) || p[1] != ',' || !IsDigit(p[2]) || !IsDigit(p[3])) return;
  entry_ = true;
  entryChapter_ = p[0] - '0';
  entrySection_ = (p[2] - '0') * 10 + (p[3] - '0');
  position_ += 4;
}

void CGrimoirePage::ReadStatBlock() {
  auto block = std::make_unique<CGrimoireStatBlock>();
  BlockReader in(position_);
  int start[3] = {}, end[3] = {}, n = 0, m = 0;
  in.Spaces();
  if (!in.Quoted(block->label, kPictureNameLimit)) return;
  in.Spaces();
  if (!in.Number(block->x)) return;
  if (in.Is('X')) {
    in.Skip();
    if (!in.Number(block->y)) return;
  }
  in.Spaces();
  if (!in.Number(block->width) || !in.Separator() || !in.Number(block->height)) return;
  in.Spaces();
  if (!in.Colour(start)) return;
  in.Spaces();
  if (!in.Colour(end)) return;
  in.Spaces();
  const std::string keyword = in.Word();
  in.Spaces();
  if (!in.Number(n)) return;
  if ((keyword == "HTH" || keyword == "LRC") && !(in.Separator() && in.Number(m))) return;
  if (!FillGrimoireStatBar(keyword, n, m, block->bar)) return;
  if (screenWidth < 800) {
    for (int* v : {&block->x, &block->y, &block->width, &block->height}) *v = *v * 8 / 10;
  }
  block->width = std::clamp(block->width, 0, 4096);
  block->height = std::clamp(block->height, 0, 4096);
  block->x = std::clamp(block->x, -4096, 4096);
  block->y = std::clamp(block->y, -4096, 4096);
  CGradientBar& bar = block->bar;
  bar.startRed = start[0], bar.startGreen = start[1], bar.startBlue = start[2];
  bar.endRed = end[0], bar.endGreen = end[1], bar.endBlue = end[2];
  stat_ = std::move(block);
}
