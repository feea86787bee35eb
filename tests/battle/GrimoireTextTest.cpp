// The grimoire's text database: headings, levels and comments as a table of small texts, the
// fault of each kind with the line it names, headings cut short by the end of the text, the
// slots of sections, sorting by the configuration file, and the generated contents.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "battle/GrimoireText.h"
#include "core/Options.h"
#include "creatures/WizardTable.h"
#include "support/TestSupport.h"

namespace {

using testing_support::BoxRecorder;
using testing_support::TempDir;

std::unique_ptr<CGrimoireText> Parse(const std::string& text) {
  auto database = std::make_unique<CGrimoireText>();
  database->text.assign(text.begin(), text.end());
  database->text.push_back('\0');
  database->text.shrink_to_fit();  // so that a read past the end is a read past the buffer
  ParseGrimoireText(*database);
  return database;
}

// A text as the composer reads it: the carriage returns left out.
std::string Shown(const char* text) {
  std::string out = text ? text : "";
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  return out;
}

std::string FaultBox(const std::string& message, int line) {
  return message + " on line " + std::to_string(line) + ".\nGrimoire Index may not function correctly.";
}

TEST(GrimoireText, HeadingsLevelsAndComments) {
  BoxRecorder boxes;
  {
    SCOPED_TRACE("the first chapter heading that gives an icon or a name fixes it");
    auto db = Parse("~C3\n~C3-012-\"Lore\"\n~c3-045-\"Other\"");
    EXPECT_EQ(db->chapters[3].icon, 12);
    EXPECT_EQ(db->chapters[3].name.value_or("none"), "Lore");
  }
  {
    SCOPED_TRACE("a name without an icon, then an icon");
    auto db = Parse("~C4-\"Beasts\"~C4-007");
    EXPECT_EQ(db->chapters[4].icon, 7);
    EXPECT_EQ(db->chapters[4].name.value_or("none"), "Beasts");
  }
  {
    SCOPED_TRACE("sections, their levels and the NULs that end each text");
    auto db = Parse("~C1~S02-003-\"Imp\"~L0small~L2more~S03~L1other");
    const CGrimoireSection* imp = db->FindSection(1, 2);
    ASSERT_NE(imp, nullptr);
    EXPECT_EQ(imp->icon, 3);
    EXPECT_EQ(imp->name.value_or("none"), "Imp");
    EXPECT_STREQ(imp->texts[0], "small");
    EXPECT_EQ(imp->texts[1], nullptr);
    EXPECT_STREQ(imp->texts[2], "more");
    EXPECT_STREQ(VisibleGrimoireText(imp, 1), "small");
    EXPECT_STREQ(VisibleGrimoireText(imp, 4), "more");
    const CGrimoireSection* other = db->FindSection(1, 3);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(other->name.has_value());
    EXPECT_EQ(VisibleGrimoireText(other, 0), nullptr);
  }
  {
    SCOPED_TRACE("display codes stay in the text");
    auto db = Parse("~C0~S01~L0a~NLb~G\"x.bmp\"~I1,02");
    EXPECT_STREQ(db->FindSection(0, 1)->texts[0], "a~NLb~G\"x.bmp\"~I1,02");
  }
  {
    SCOPED_TRACE("comments hold tildes and nested brackets");
    auto db = Parse("~C0~S01~L0a~[ ~C9 [~L3 [x]] ~S02 ]b");
    EXPECT_STREQ(db->FindSection(0, 1)->texts[0], "a~[ ~C9 [~L3 [x]] ~S02 ]b");
    EXPECT_EQ(db->FindSection(0, 2), nullptr);
    EXPECT_EQ(db->FindSection(9, 0), nullptr);
  }
  EXPECT_EQ(boxes.Count(), 0u);
  {
    SCOPED_TRACE("a level out of range leaves its text on the level before");
    auto db = Parse("~C0~S01~L1first ~L5second");
    EXPECT_EQ(Shown(db->FindSection(0, 1)->texts[1]), "first second");
    EXPECT_EQ(db->FindSection(0, 1)->texts[0], nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, FaultBox("Knowledge level (5) out of range", 0));
  }
}

TEST(GrimoireText, EachFaultNamesItsLine) {
  const std::string longName = "%s%n" + std::string(300, 'n');
  struct Case {
    const char* name;
    std::string text;
    std::string message;
    int line;
  };
  const Case cases[] = {
      {"unprintable", "\n\n\x01", "Invalid char '1'", 2},
      {"high byte", "~C0~S01~L0\xe9", "Invalid char 'e9'", 0},
      {"tilde after tilde", "~~C1", "Nested Control Code '~'", 0},
      {"chapter letter", "\n~Cx", "'x' after Chapter heading is not a didgit", 1},
      {"chapter out of range", "~Cx", "Chapter heading number (72) out of range", 0},
      {"icon digits", "~C1-0a2", "'0a2' after Chapter heading is not a didgit", 0},
      {"chapter name", "~C1-\"" + longName + "\"", "Chapter 1 name to long '" + longName.substr(0, 255) + "...'", 0},
      {"section first", "~S01", "Section Heading '~S' found before Chapter Heading '~C'", 0},
      {"section digits", "~C1~S0x", "'0x' after Section heading is not a didgit", 0},
      {"section out of range", "~C1~Sx0", "Section heading number (720) out of range", 0},
      {"section name", "~C1\n~S04-\"" + longName + "\"", "Section 4 name to long '" + longName.substr(0, 255) + "...'",
       1},
      {"level first", "~L1", "Knowledge Level '~L' found before Chapter Heading '~C'", 0},
      {"level before section", "~C1\n~L1", "Knowledge Level '~L' found before Section Heading '~S'", 1},
      {"level letter", "~C1~S01~Lx", "'x' after Knowledge level is not a didgit", 0},
      {"comment end", "~]", "Comment end ']' found after Control Code '~'", 0},
      {"unknown letter", "\n\n\n~q", "Unrecognised control code 'q'", 3},
      {"open comment", "a\n~[ [ ]\n\n", "Open Comment", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoxRecorder boxes;
    Parse(c.text);
    ASSERT_GE(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Grimoire Text Error");
    std::string seen;
    for (const auto& box : boxes.Boxes()) seen += box.text + "\n";
    EXPECT_NE(seen.find(FaultBox(c.message, c.line)), std::string::npos) << seen;
  }
}

TEST(GrimoireText, HeadingsCutShortByTheEnd) {
  const char* texts[] = {"~", "~C", "~C1-", "~C1-01", "~C1~S", "~C1~S0", "~C1~S01-", "~C1~S01-00", "~C1~S01~L", "x\n~"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    BoxRecorder boxes;
    auto db = Parse(text);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("cut short"), std::string::npos);
  }
  BoxRecorder boxes;
  auto db = Parse("~C1~S01-\"Unclosed");
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(db->FindSection(1, 1)->name.value_or("none"), "Unclosed");
}

TEST(GrimoireText, SectionSlots) {
  CGrimoireChapter chapter;
  chapter.sections[5] = std::make_unique<CGrimoireSection>();
  chapter.sections[5]->number = 17;
  EXPECT_EQ(chapter.FindSection(17), chapter.Slot(5));
  CGrimoireSection* five = chapter.MakeSection(5, "Five");
  ASSERT_NE(five, nullptr);
  EXPECT_EQ(chapter.SlotOf(five), 0);
  EXPECT_EQ(chapter.FindSection(5), five);
  EXPECT_EQ(five->icon, -1);
  EXPECT_EQ(chapter.NextSection(five), nullptr);  // slot 1 is empty
  EXPECT_EQ(chapter.PreviousSection(five), nullptr);
  EXPECT_EQ(chapter.PreviousSection(chapter.Slot(5)), nullptr);
  chapter.MakeSection(4);
  EXPECT_EQ(chapter.NextSection(chapter.FindSection(4)), chapter.Slot(5));

  // With all 100 slots taken nothing more is made, and no contents page can be.
  CGrimoireChapter full;
  for (int n = 1; n < 100; ++n) ASSERT_NE(full.MakeSection(n), nullptr);
  ASSERT_NE(full.MakeSection(1), nullptr);
  EXPECT_EQ(full.MakeSection(0), nullptr);
  BoxRecorder boxes;
  BuildGrimoireContents(full, 2);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Section index for automatic contents generation could not be allocated.");
  EXPECT_EQ(full.contents, nullptr);
}

TEST(GrimoireText, SortingAndContents) {
  TempDir dir;
  dir.Write("grimoire.txt",
            "~C0-001-\"Realms\"~S00~L0by hand~S01~L0a\n"
            "~C2-002-\"Beasts\"~S03-\"Wolf\"~L0w~S01-\"Ape\"~L0a~S07~L0x~S05-\"Bat\"~L0b\n"
            "~C4-\"Spells\"~S03-\"Zap\"~L0z~S01-\"Ash\"~L0a\n");
  dir.Write("grimoire.cfg", "[CHAPTERS]\nC2_SORTED=true\nC4_SORTED=no\n");
  BoxRecorder boxes;
  auto db = LoadGrimoireText(dir.File("grimoire.txt").c_str(), dir.File("grimoire.cfg").c_str());
  EXPECT_EQ(boxes.Count(), 0u);
  // A contents page written by hand wins.
  EXPECT_STREQ(db->FindSection(0, 0)->texts[0], "by hand");
  // Sorted: named by name, then unnamed; the contents follow the slots.
  const CGrimoireSection* contents = db->FindSection(2, 0);
  ASSERT_NE(contents, nullptr);
  EXPECT_EQ(contents->name.value_or("none"), "Beasts");
  EXPECT_EQ(contents->icon, 2);
  EXPECT_STREQ(contents->texts[0], "~I2,01\n~I2,05\n~I2,03\n~I2,07\n");
  EXPECT_EQ(db->chapters[2].Slot(1)->name.value_or(""), "Ape");
  // Unsorted: slot order.
  EXPECT_STREQ(db->FindSection(4, 0)->texts[0], "~I4,01\n~I4,03\n");
  // A chapter without sections gets an empty contents page.
  const CGrimoireSection* empty = db->FindSection(7, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty->texts[0], "");
  EXPECT_FALSE(empty->name.has_value());
}

TEST(GrimoireText, MissingFileGivesEmptyChaptersAndOneBox) {
  TempDir dir;
  BoxRecorder boxes;
  const std::string path = dir.File("none.txt");
  auto db = LoadGrimoireText(path.c_str(), dir.File("none.cfg").c_str());
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, FaultBox("Could not open file " + path, 0));
  for (int c = 0; c < kGrimoireChapters; ++c) EXPECT_STREQ(db->FindSection(c, 0)->texts[0], "");
}

TEST(GrimoireText, KnowledgeLevels) {
  g_wizardTable.Clear();
  g_seeAllGrimoire = 0;
  EXPECT_EQ(GrimoireKnowledgeLevel(1, 5), 0);  // no player wizard
  CWizard& player = g_wizardTable.records[0];
  player.inUse = 1;
  player.computer = 0;
  player.textBlock.clear();  // clearing the table keeps a record's seen table; this player has none yet
  EXPECT_EQ(GrimoireKnowledgeLevel(1, 5), 0);  // no table
  player.NoteSeen(1, 5);
  EXPECT_EQ(GrimoireKnowledgeLevel(1, 5), 1);
  EXPECT_EQ(GrimoireKnowledgeLevel(1, 6), 0);
  EXPECT_EQ(GrimoireKnowledgeLevel(10, 0), 0);
  EXPECT_EQ(GrimoireKnowledgeLevel(1, 100), 0);
  g_seeAllGrimoire = 1;
  EXPECT_EQ(GrimoireKnowledgeLevel(1, 6), 4);
  g_seeAllGrimoire = 0;
  g_wizardTable.Clear();
}

}  // namespace
