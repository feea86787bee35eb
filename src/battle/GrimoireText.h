#pragma once
// The grimoire's text database: the whole of "Interface\grimoire\grimoire.txt" read into one
// buffer and split by its markup into 10 chapters of up to 100 sections, each section with up
// to five texts, one per knowledge level 0-4, so that the book tells more as the player's
// wizard learns more. It lives here, below the front end, because the battle's story scroll
// composes its pages from the same markup.
//
// Markup: a tilde starts a code whose letter follows in either case.
//   ~C<d>[-<iii>][-"name"]   chapter heading: chapter d, icon iii, name
//   ~S<dd>[-<iii>][-"name"]  section heading in the current chapter
//   ~L<d>                    the current section's text for knowledge level d starts here
//   ~[ ... ]                 comment; brackets nest inside it and nothing else counts
//   ~D ~G ~I ~N              display codes left in the text for the page composer
// The first heading of a chapter or section that gives an icon or a name fixes it. Each fault
// is shown in its own "Grimoire Text Error" box, and reading goes on.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kGrimoireChapters = 10;
inline constexpr int kGrimoireSlots = 100;
inline constexpr int kKnowledgeLevels = 5;
// Names keep at most this many characters; a longer one is reported and cut.
inline constexpr int kGrimoireNameLimit = 255;

inline constexpr const char* kGrimoireTextPath = "Interface\\grimoire\\grimoire.txt";
inline constexpr const char* kGrimoireCfgPath = "Interface\\Grimoire\\Grimoire.cfg";

struct CGrimoireSection {
  std::optional<std::string> name;
  int number = 0;
  int icon = -1;
  // Into the database's text buffer (or, for a generated contents section, the chapter's
  // contents); null for a level with no text.
  std::array<const char*, kKnowledgeLevels> texts{};
};

class CGrimoireChapter {
 public:
  // The slot whose index is the number when it holds that section, else the first slot that
  // does; null when none does.
  CGrimoireSection* FindSection(int number);
  const CGrimoireSection* FindSection(int number) const;
  // A new section in the slot of its number when that is empty, else in the first empty
  // slot; null when all 100 are taken.
  CGrimoireSection* MakeSection(int number, const char* name = nullptr);
  // The slot a section sits in, -1 for one not in this chapter.
  int SlotOf(const CGrimoireSection* section) const;
  // The sections in the next and previous slot (either may be empty: null).
  CGrimoireSection* NextSection(const CGrimoireSection* section) const;
  CGrimoireSection* PreviousSection(const CGrimoireSection* section) const;
  CGrimoireSection* Slot(int slot) const {
    return slot >= 0 && slot < kGrimoireSlots ? sections[static_cast<size_t>(slot)].get() : nullptr;
  }

  int icon = -1;
  std::optional<std::string> name;
  std::unique_ptr<char[]> contents;  // the generated contents text, owned here
  std::array<std::unique_ptr<CGrimoireSection>, kGrimoireSlots> sections;
};

class CGrimoireText {
 public:
  CGrimoireText() = default;
  CGrimoireText(const CGrimoireText&) = delete;
  CGrimoireText& operator=(const CGrimoireText&) = delete;

  // The section of a chapter, null for a chapter out of range or no such section.
  const CGrimoireSection* FindSection(int chapter, int section) const;

  std::array<CGrimoireChapter, kGrimoireChapters> chapters;
  std::vector<char> text;  // the file, NUL-terminated; section texts point into it
};

// Reads the text file into a database, sorts the chapters the configuration file asks for and
// builds every chapter's contents. Always answers a database: empty chapters when the file
// could not be read.
std::unique_ptr<CGrimoireText> LoadGrimoireText(const char* textPath, const char* cfgPath = kGrimoireCfgPath);

// The markup of a text already in memory (NUL-terminated; the tildes of headings become NULs),
// without sorting or contents.
void ParseGrimoireText(CGrimoireText& database);

// Sorts slots 1-99 of a chapter: named sections in the byte order of their names, then those
// without a name, then the empty slots.
void SortGrimoireChapter(CGrimoireChapter& chapter);

// Gives a chapter without a section 0 a generated contents section: one "~Ic,ss" line for each
// filled slot 1-99, in slot order.
void BuildGrimoireContents(CGrimoireChapter& chapter, int chapterNumber);

// How much the player's wizard knows of a section (0-4): its knowledge table's byte
// [chapter x 100 + section], 0 without a table, 4 everywhere under the SeeAllGrimoire option.
int GrimoireKnowledgeLevel(int chapter, int section);
// The text of the highest level up to the given one that has one; null when none has.
const char* VisibleGrimoireText(const CGrimoireSection* section, int level);
