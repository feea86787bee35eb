#include "battle/GrimoireText.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/DataFile.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "creatures/WizardTable.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"

namespace {

constexpr const char* kTextErrorCaption = "Grimoire Text Error";

__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, again);
  va_end(again);
  return out;
}

void ShowTextFault(const std::string& message, int line) {
  platform::ShowMessageBox(Format("%s on line %i.\nGrimoire Index may not function correctly.", message.c_str(), line),
                           kTextErrorCaption, WarningBoxFlags());
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsPrintable(char c) { return c >= 0x20 && c < 0x7F; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// One pass over the buffer. Every read of a heading's characters is checked against the end of
// the text: a heading cut short by the end is reported and goes no further.
class GrimoireParser {
 public:
  explicit GrimoireParser(CGrimoireText& database)
      : db_(database), buf_(database.text.data()), size_(database.text.empty() ? 0 : database.text.size() - 1) {}

  void Run() {
    while (at_ < size_) {
      const char c = buf_[at_];
      if (c == '\n') {
        ++line_;
        ++at_;
      } else if (c == '\r') {
        ++at_;
      } else if (c == '~') {
        ControlCode();
      } else {
        if (!IsPrintable(c)) Fault(Format("Invalid char '%x'", static_cast<unsigned char>(c)));
        ++at_;
      }
    }
  }

 private:
  // The character at an offset, or none past the end.
  bool Has(size_t offset) const { return offset < size_; }
  void Fault(const std::string& message) const { ShowTextFault(message, line_); }
  void CutShort() {
    Fault("Heading cut short by the end of the text");
    at_ = size_;
  }

  void ControlCode() {
    const size_t tilde = at_;
    if (!Has(tilde + 1)) return CutShort();
    const char letter = buf_[tilde + 1];
    switch (Upper(letter)) {
      case '~':
        Fault("Nested Control Code '~'");
        at_ = tilde + 1;  // the second tilde starts a code of its own
        return;
      case ']':
        Fault("Comment end ']' found after Control Code '~'");
        at_ = tilde + 2;
        return;
      case '[':
        return Comment(tilde);
      case 'C':
        buf_[tilde] = '\0';
        return Chapter(tilde + 2);
      case 'S':
        buf_[tilde] = '\0';
        return Section(tilde + 2);
      case 'L':
        return Level(tilde);
      case 'D':
      case 'G':
      case 'I':
      case 'N':
        at_ = tilde + 2;  // the composer's
        return;
      default:
        Fault(Format("Unrecognised control code '%c'", letter));
        // A line feed after the tilde still counts as a line.
        at_ = letter == '\n' || letter == '\r' ? tilde + 1 : tilde + 2;
        return;
    }
  }

  void Comment(size_t tilde) {
    const int openedOn = line_;
    int depth = 1;
    size_t pos = tilde + 2;
    for (; pos < size_; ++pos) {
      const char c = buf_[pos];
      if (c == '\n') ++line_;
      if (c == '[') ++depth;
      if (c == ']' && --depth == 0) break;
    }
    if (pos >= size_) {
      ShowTextFault("Open Comment", openedOn);
      at_ = size_;
      return;
    }
    at_ = pos + 1;
  }

  void Chapter(size_t pos) {
    if (!Has(pos)) return CutShort();
    const char digit = buf_[pos];
    if (!IsDigit(digit)) Fault(Format("'%c' after Chapter heading is not a didgit", digit));
    const int number = digit - '0';
    if (number < 0 || number >= kGrimoireChapters) {
      Fault(Format("Chapter heading number (%i) out of range", number));
      at_ = pos + 1;
      return;
    }
    chapter_ = number;
    section_ = nullptr;
    CGrimoireChapter& chapter = db_.chapters[static_cast<size_t>(number)];
    size_t next = pos + 1;
    if (chapter.icon == -1 && !ReadIcon(next, "Chapter", chapter.icon)) return;
    if (!chapter.name && !ReadName(next, Format("Chapter %i", number), chapter.name)) return;
    at_ = next;
  }

  void Section(size_t pos) {
    if (chapter_ < 0) {
      Fault("Section Heading '~S' found before Chapter Heading '~C'");
      at_ = pos;
      return;
    }
    if (!Has(pos + 1)) return CutShort();
    const char tens = buf_[pos], units = buf_[pos + 1];
    if (!IsDigit(tens) || !IsDigit(units)) Fault(Format("'%c%c' after Section heading is not a didgit", tens, units));
    const int number = (tens - '0') * 10 + (units - '0');
    if (number < 0 || number >= kGrimoireSlots) {
      Fault(Format("Section heading number (%i) out of range", number));
      at_ = pos + 2;
      return;
    }
    CGrimoireChapter& chapter = db_.chapters[static_cast<size_t>(chapter_)];
    section_ = chapter.FindSection(number);
    if (!section_) section_ = chapter.MakeSection(number);
    if (!section_) {
      Fault(Format("Chapter %i Section %i could not be created", chapter_, number));
      at_ = pos + 2;
      return;
    }
    size_t next = pos + 2;
    if (section_->icon == -1 && !ReadIcon(next, "Section", section_->icon)) return;
    if (!section_->name && !ReadName(next, Format("Section %i", number), section_->name)) return;
    at_ = next;
  }

  void Level(size_t tilde) {
    if (chapter_ < 0 || !section_) {
      buf_[tilde] = '\0';
      Fault(chapter_ < 0 ? "Knowledge Level '~L' found before Chapter Heading '~C'"
                         : "Knowledge Level '~L' found before Section Heading '~S'");
      at_ = tilde + 2;
      return;
    }
    if (!Has(tilde + 2)) {
      buf_[tilde] = '\0';
      return CutShort();
    }
    const char digit = buf_[tilde + 2];
    if (!IsDigit(digit)) Fault(Format("'%c' after Knowledge level is not a didgit", digit));
    const int level = digit - '0';
    if (level < 0 || level >= kKnowledgeLevels) {
      Fault(Format("Knowledge level (%i) out of range", level));
      // The text goes on at the level already current: the code is blanked with characters
      // the composer and the line count both pass over, instead of ending that text.
      buf_[tilde] = buf_[tilde + 1] = '\r';
      if (IsPrintable(digit)) buf_[tilde + 2] = '\r';
      at_ = tilde + (IsPrintable(digit) ? 3 : 2);
      return;
    }
    buf_[tilde] = '\0';
    section_->texts[static_cast<size_t>(level)] = buf_ + tilde + 3;
    at_ = tilde + 3;
  }

  // "-iii" after a heading's number, unless a name follows the minus sign. False when the
  // heading was cut short.
  bool ReadIcon(size_t& pos, const char* heading, int& icon) {
    if (!Has(pos) || buf_[pos] != '-' || (Has(pos + 1) && buf_[pos + 1] == '"')) return true;
    if (!Has(pos + 3)) {
      CutShort();
      return false;
    }
    const char a = buf_[pos + 1], b = buf_[pos + 2], c = buf_[pos + 3];
    if (!IsDigit(a) || !IsDigit(b) || !IsDigit(c))
      Fault(Format("'%c%c%c' after %s heading is not a didgit", a, b, c, heading));
    icon = (a - '0') * 100 + (b - '0') * 10 + (c - '0');
    pos += 4;
    return true;
  }

  // "-"name"" at pos: the name runs to the next double quote or the end of the text.
  bool ReadName(size_t& pos, const std::string& owner, std::optional<std::string>& name) {
    if (!Has(pos + 1) || buf_[pos] != '-' || buf_[pos + 1] != '"') return true;
    size_t end = pos + 2;
    while (end < size_ && buf_[end] != '"') {
      if (buf_[end] == '\n') ++line_;
      ++end;
    }
    std::string found(buf_ + pos + 2, end - (pos + 2));
    if (found.size() > static_cast<size_t>(kGrimoireNameLimit)) {
      found.resize(static_cast<size_t>(kGrimoireNameLimit));
      Fault(Format("%s name to long '%s...'", owner.c_str(), found.c_str()));
    }
    name = std::move(found);
    pos = end < size_ ? end + 1 : size_;
    return true;
  }

  CGrimoireText& db_;
  char* buf_;
  size_t size_;
  size_t at_ = 0;
  int line_ = 0;
  int chapter_ = -1;
  CGrimoireSection* section_ = nullptr;
};

bool ReadTextFile(const char* path, std::vector<char>& text) {
  CDataFile file;
  if (!file.Open(path, "rb")) {
    ShowTextFault(Format("Could not open file %s", path), 0);
    return false;
  }
  const int size = file.GetSize(1);
  if (size < 0) {
    ShowTextFault(Format("Could not read file %s", path), 0);
    return false;
  }
  try {
    text.assign(static_cast<size_t>(size) + 1, '\0');
  } catch (const std::bad_alloc&) {
    ShowTextFault("Not enough memory", 0);
    return false;
  }
  if (!file.Read(text.data(), size)) {
    text.clear();
    ShowTextFault(Format("Could not read file %s", path), 0);
    return false;
  }
  return true;
}

bool IsTrue(const std::string& value) {
  return value.size() == 4 &&
         std::equal(value.begin(), value.end(), "TRUE", [](char a, char b) { return Upper(a) == b; });
}

}  // namespace

CGrimoireSection* CGrimoireChapter::FindSection(int number) {
  return const_cast<CGrimoireSection*>(static_cast<const CGrimoireChapter*>(this)->FindSection(number));
}

const CGrimoireSection* CGrimoireChapter::FindSection(int number) const {
  if (const CGrimoireSection* own = Slot(number); own && own->number == number) return own;
  for (const auto& slot : sections)
    if (slot && slot->number == number) return slot.get();
  return nullptr;
}

CGrimoireSection* CGrimoireChapter::MakeSection(int number, const char* sectionName) {
  int slot = number >= 0 && number < kGrimoireSlots && !sections[static_cast<size_t>(number)] ? number : -1;
  for (int i = 0; slot < 0 && i < kGrimoireSlots; ++i)
    if (!sections[static_cast<size_t>(i)]) slot = i;
  if (slot < 0) return nullptr;
  auto made = std::make_unique<CGrimoireSection>();
  made->number = number;
  if (sectionName) made->name = sectionName;
  sections[static_cast<size_t>(slot)] = std::move(made);
  return sections[static_cast<size_t>(slot)].get();
}

int CGrimoireChapter::SlotOf(const CGrimoireSection* section) const {
  for (int i = 0; section && i < kGrimoireSlots; ++i)
    if (sections[static_cast<size_t>(i)].get() == section) return i;
  return -1;
}

CGrimoireSection* CGrimoireChapter::NextSection(const CGrimoireSection* section) const {
  const int slot = SlotOf(section);
  return slot < 0 ? nullptr : Slot(slot + 1);
}

CGrimoireSection* CGrimoireChapter::PreviousSection(const CGrimoireSection* section) const {
  const int slot = SlotOf(section);
  return slot <= 0 ? nullptr : Slot(slot - 1);
}

const CGrimoireSection* CGrimoireText::FindSection(int chapter, int section) const {
  if (chapter < 0 || chapter >= kGrimoireChapters) return nullptr;
  return chapters[static_cast<size_t>(chapter)].FindSection(section);
}

void ParseGrimoireText(CGrimoireText& database) {
  if (database.text.empty()) return;
  database.text.back() = '\0';
  GrimoireParser(database).Run();
}

void SortGrimoireChapter(CGrimoireChapter& chapter) {
  // Named first, by the bytes of their names; then the unnamed; the empty slots last.
  auto rank = [](const std::unique_ptr<CGrimoireSection>& s) { return !s ? 2 : s->name ? 0 : 1; };
  std::stable_sort(chapter.sections.begin() + 1, chapter.sections.end(), [&](const auto& a, const auto& b) {
    const int ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb;
    return ra == 0 && std::strcmp(a->name->c_str(), b->name->c_str()) < 0;
  });
}

void BuildGrimoireContents(CGrimoireChapter& chapter, int chapterNumber) {
  if (chapter.FindSection(0)) return;  // a contents page written by hand wins
  CGrimoireSection* contents = chapter.MakeSection(0, chapter.name ? chapter.name->c_str() : nullptr);
  if (!contents) {
    platform::ShowMessageBox("Section index for automatic contents generation could not be allocated.",
                             kTextErrorCaption, WarningBoxFlags());
    return;
  }
  contents->icon = chapter.icon;
  std::string lines;
  for (int slot = 1; slot < kGrimoireSlots; ++slot)
    if (const CGrimoireSection* s = chapter.Slot(slot); s && s != contents)
      lines += Format("~I%d,%02d\n", chapterNumber, s->number % 100);
  chapter.contents.reset(new (std::nothrow) char[lines.size() + 1]);
  if (!chapter.contents) {
    platform::ShowMessageBox("Memory for automatic contents generation could not be allocated.", kTextErrorCaption,
                             WarningBoxFlags());
    return;
  }
  std::memcpy(chapter.contents.get(), lines.c_str(), lines.size() + 1);
  contents->texts[0] = chapter.contents.get();
}

std::unique_ptr<CGrimoireText> LoadGrimoireText(const char* textPath, const char* cfgPath) {
  auto database = std::make_unique<CGrimoireText>();
  if (ReadTextFile(textPath, database->text)) ParseGrimoireText(*database);
  for (int i = 0; i < kGrimoireChapters; ++i) {
    CGrimoireChapter& chapter = database->chapters[static_cast<size_t>(i)];
    if (IsTrue(platform::ReadProfileString("CHAPTERS", Format("C%i_SORTED", i), "", cfgPath)))
      SortGrimoireChapter(chapter);
    BuildGrimoireContents(chapter, i);
  }
  return database;
}

int GrimoireKnowledgeLevel(int chapter, int section) {
  if (g_seeAllGrimoire) return kKnowledgeLevels - 1;
  if (chapter < 0 || chapter >= kGrimoireChapters || section < 0 || section >= kGrimoireSlots) return 0;
  const CWizard* wizard = g_wizardTable.At(FindPlayerWizardIndex());
  const size_t index = static_cast<size_t>(chapter * kGrimoireSlots + section);
  if (!wizard || wizard->textBlock.size() <= index) return 0;
  return std::min<int>(wizard->textBlock[index], kKnowledgeLevels - 1);
}

const char* VisibleGrimoireText(const CGrimoireSection* section, int level) {
  if (!section) return nullptr;
  for (int l = std::min(level, kKnowledgeLevels - 1); l >= 0; --l)
    if (section->texts[static_cast<size_t>(l)]) return section->texts[static_cast<size_t>(l)];
  return nullptr;
}
