#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

const char* kSample =
    "; a comment line\n"
    "[Video]\n"
    "Width = 800 \n"
    "Title=\"  Realms of Vrask  \"\n"
    "Single='quoted'\n"
    "Mixed=\"open only\n"
    "Inline=value ; not a comment\n"
    "  ;Hidden=1\n"
    "Empty=\n"
    "width=640\n"
    "\n"
    "[ sound ]\r\n"
    "Volume=-300\r\n"
    "[VIDEO]\n"
    "Depth=32\n";

struct ReadCase {
  const char* section;
  const char* key;
  const char* expected;
};

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, GivesTheWindowsAnswer) {
  TempDir dir;
  dir.Write("game.cfg", kSample);
  const ReadCase& c = GetParam();
  EXPECT_EQ(platform::ReadProfileString(c.section, c.key, "<default>", dir.File("game.cfg")), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(ReadCase{"Video", "Width", "800"},                  // blanks trimmed
                      ReadCase{"video", "WIDTH", "800"},                  // case ignored, first match wins
                      ReadCase{"Video", "Title", "  Realms of Vrask  "},  // matching quotes removed, inside kept
                      ReadCase{"Video", "Single", "quoted"},
                      ReadCase{"Video", "Mixed", "\"open only"},  // unmatched quote kept
                      ReadCase{"Video", "Inline", "value ; not a comment"},
                      ReadCase{"Video", ";Hidden", "1"},  // a comment answers its whole text, ';' included
                      ReadCase{"Video", "Hidden", "<default>"}, ReadCase{"Video", "Empty", ""},  // present but empty
                      ReadCase{"Sound", "Volume", "-300"},      // section name trimmed, CRLF
                      ReadCase{"Video", "Depth", "<default>"},  // second [VIDEO] is not searched
                      ReadCase{"Missing", "Width", "<default>"}, ReadCase{"Video", "Missing", "<default>"}));

TEST(Profile, MissingFileGivesDefault) {
  TempDir dir;
  EXPECT_EQ(platform::ReadProfileString("A", "B", "dflt", dir.File("none.cfg")), "dflt");
  EXPECT_EQ(platform::ReadProfileInt("A", "B", 42, dir.File("none.cfg")), 42);
}

TEST(Profile, ResultIsCutToTheCallersSize) {
  TempDir dir;
  dir.Write("a.cfg", "[S]\nK=abcdefgh\n");
  char out[5] = "zzzz";
  EXPECT_EQ(platform::ReadProfileString("S", "K", "", out, sizeof out, dir.File("a.cfg")), 4u);
  EXPECT_STREQ(out, "abcd");
  char defaultOut[3];
  EXPECT_EQ(platform::ReadProfileString("S", "None", "long default", defaultOut, sizeof defaultOut, dir.File("a.cfg")),
            2u);
  EXPECT_STREQ(defaultOut, "lo");
}

TEST(Profile, IntegersAndTheirDefault) {
  TempDir dir;
  dir.Write("a.cfg", "[S]\nA=12\nB=-7 apples\nC=abc\nD= +3\n");
  std::string file = dir.File("a.cfg");
  EXPECT_EQ(platform::ReadProfileInt("S", "A", 0, file), 12);
  EXPECT_EQ(platform::ReadProfileInt("S", "B", 0, file), -7);
  EXPECT_EQ(platform::ReadProfileInt("S", "C", 9, file), 0);  // present without digits: 0, not the default
  EXPECT_EQ(platform::ReadProfileInt("S", "D", 0, file), 3);
}

TEST(Profile, WriteReplacesAppendsAndCreates) {
  TempDir dir;
  std::string file = dir.File("sub/new.cfg");
  // Creates the file and the section.
  ASSERT_FALSE(platform::WriteProfileString("Mouse", "Speed", "5", file));  // folder missing
  dir.Write("sub/keep.txt", "");
  ASSERT_TRUE(platform::WriteProfileString("Mouse", "Speed", "5", file));
  EXPECT_EQ(platform::ReadProfileString("mouse", "speed", "", file), "5");
  // Replaces the first match, appends a new key to its section, appends a new section.
  ASSERT_TRUE(platform::WriteProfileString("MOUSE", "speed", "7", file));
  ASSERT_TRUE(platform::WriteProfileString("Mouse", "Swap", "TRUE", file));
  ASSERT_TRUE(platform::WriteProfileString("Video", "Width", "640", file));
  ASSERT_TRUE(platform::WriteProfileString("Mouse", "Hover", "1", file));
  EXPECT_EQ(platform::ReadProfileString("Mouse", "Speed", "", file), "7");
  EXPECT_EQ(platform::ReadProfileString("Mouse", "Hover", "", file), "1");
  EXPECT_EQ(platform::ReadProfileString("Video", "Width", "", file), "640");
  auto keys = platform::ReadProfileKeyNames("Mouse", file);
  EXPECT_EQ(keys, (std::vector<std::string>{"speed", "Swap", "Hover"}));
  EXPECT_EQ(platform::ReadProfileSectionNames(file), (std::vector<std::string>{"Mouse", "Video"}));
}

TEST(Profile, WriteKeepsCommentsAndOtherLines) {
  TempDir dir;
  dir.Write("a.cfg", "; header\r\n[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n");
  std::string file = dir.File("a.cfg");
  ASSERT_TRUE(platform::WriteProfileString("S", "C", "3", file));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile(file, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "; header\r\n[S]\r\nA=1\r\nC=3\r\n\r\n[T]\r\nB=2\r\n");
}

TEST(Profile, ReadSeesTheFileChangeBehindItsBack) {
  TempDir dir;
  dir.Write("a.cfg", "[S]\nA=1\n");
  EXPECT_EQ(platform::ReadProfileInt("S", "A", 0, dir.File("a.cfg")), 1);
  dir.Write("a.cfg", "[S]\nA=22\n");
  EXPECT_EQ(platform::ReadProfileInt("S", "A", 0, dir.File("a.cfg")), 22);
}

}  // namespace

namespace {

// The section as a list of its lines, read through a buffer of the given size.
std::vector<std::string> SectionLines(const std::string& path, const char* section, size_t size, size_t& result) {
  std::vector<char> buffer(size, 'x');
  result = platform::ReadProfileSection(section, buffer.data(), buffer.size(), path);
  std::vector<std::string> lines;
  for (size_t at = 0; at < size && buffer[at] != '\0'; at += lines.back().size() + 1) lines.emplace_back(&buffer[at]);
  return lines;
}

// The text's sections are looked up through an index of their names: what is written must be
// found at once, in any case, and the first of two sections of one name still wins.
TEST(ProfileTextEdits, WhatIsWrittenIsFoundAndTheFirstSectionStillWins) {
  platform::ProfileText text("[Video]\nwidth=800\n[video]\nwidth=640\n");
  EXPECT_EQ(text.Value("VIDEO", "width"), "800");
  text.Set("Sound", "volume", "7");
  EXPECT_EQ(text.Value("sound", "VOLUME"), "7");
  text.Set("video", "depth", "16");
  EXPECT_EQ(text.Value("Video", "depth"), "16");
  EXPECT_TRUE(text.Delete("VIDEO", "width"));
  EXPECT_EQ(text.Value("video", "width"), std::nullopt);  // the first section's key is gone
  EXPECT_EQ(text.Value("sound", "volume"), "7");         // lines moved up: the index follows
}

TEST(ProfileSection, ListsKeyLinesWithoutComments) {
  TempDir dir;
  dir.Write("s.ini", "[Sounds]\n; comment\n801 = click\n\n802=\"two\"\nalone\n[Other]\n1=x\n");
  size_t result = 0;
  std::vector<std::string> lines = SectionLines(dir.File("s.ini"), "sounds", 256, result);
  EXPECT_EQ(lines, (std::vector<std::string>{"801=click", "802=\"two\"", "alone"}));  // quotes kept
  EXPECT_EQ(result, std::string("801=click").size() + 1 + std::string("802=\"two\"").size() + 1 + 5 + 1);
  EXPECT_TRUE(SectionLines(dir.File("s.ini"), "Missing", 256, result).empty());
  EXPECT_EQ(result, 0u);
  EXPECT_TRUE(SectionLines(dir.File("none.ini"), "Sounds", 256, result).empty());
}

TEST(ProfileSection, ASectionThatDoesNotFitAnswersSizeLessTwo) {
  TempDir dir;
  dir.Write("s.ini", "[Sounds]\n1=aaaa\n2=bbbb\n");
  size_t result = 0;
  // "1=aaaa\0" "2=bbbb\0" and the final '\0' need 15 characters: a buffer of exactly 15 gets
  // the whole list, yet the answer is the one for a list that did not fit (15 - 2).
  std::vector<std::string> whole = SectionLines(dir.File("s.ini"), "Sounds", 15, result);
  EXPECT_EQ(result, 13u);
  EXPECT_EQ(whole, (std::vector<std::string>{"1=aaaa", "2=bbbb"}));
  SectionLines(dir.File("s.ini"), "Sounds", 16, result);
  EXPECT_EQ(result, 14u);
  std::vector<std::string> cut = SectionLines(dir.File("s.ini"), "Sounds", 12, result);
  EXPECT_EQ(result, 10u);
  EXPECT_EQ(cut.front(), "1=aaaa");  // what fits, properly ended
}

}  // namespace

namespace {

// Files as other tools write them, read as the profile functions read them.
struct FileCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  const char* defaultValue;
  const char* expected;
};

std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return bytes;
}

const FileCase kFileCases[] = {
    {"quotedDefault", "[A]\n", "A", "k", "\"quoted\"", "quoted"},
    {"singleQuotedDefaultWithBlanks", "[A]\n", "A", "k", "' x '  ", " x "},
    {"headerToItsLastBracket", "[x]y]\nk=1\n", "x]y", "k", "d", "1"},
    {"headerNotToItsFirstBracket", "[x]y]\nk=1\n", "x", "k", "d", "d"},
    {"headerEndingInTwoBrackets", "[a]]\nk=1\n", "a]", "k", "d", "1"},
    {"keysBeforeAnyHeaderAnswerTheEmptyName", "k=1\n[A]\nk=2\n", "", "k", "d", "1"},
    {"keysBeforeAnyHeaderAreInNoNamedSection", "k=1\n[A]\nj=2\n", "A", "k", "d", "d"},
    {"emptyHeaderIsShadowedByTheLinesBeforeIt", "[]\nk=1\n", "", "k", "d", "d"},
    {"crOnlyLineEnds", "[A]\rk=1\rj=2\r[B]\rk=3\r", "B", "k", "d", "3"},
    {"crOnlyKeepsKeysApart", "[A]\rk=1\rj=2\r", "A", "k", "d", "1"},
    {"utf16Little", Utf16("[A]\r\nk=\"16\"\r\n", false), "A", "k", "d", "16"},
    {"utf16Big", Utf16("[A]\nk=be\n", true), "a", "K", "d", "be"},
    {"commentFoundByItsWholeText", "[A]\n  ;k=1\n", "A", ";k", "d", "1"},
    {"emptyKeyName", "[A]\n=v\n", "A", "  ", "d", "d"},
};

TEST(ProfileFiles, ReadAsTheProfileFunctionsRead) {
  TempDir dir;
  const std::string path = dir.File("case.ini");
  for (const FileCase& c : kFileCases) {
    dir.Write("case.ini", c.file);
    platform::FlushProfileCache();
    EXPECT_EQ(platform::ReadProfileString(c.section, c.key, c.defaultValue, path), c.expected) << c.name;
  }
}

// Integers as the profile functions read them. A number past 32 bits wraps around modulo 2^32
// (the sum of the digits is kept in 32 bits and never checked), it does not stop at the largest.
TEST(ProfileFiles, IntegersReadWithTheirBaseAndWrapAround) {
  const struct {
    const char* value;
    int expected;
  } cases[] = {
      {"0x10", 16},        {"0xff", 255},
      {"-0x10", -16},      {"0o17", 15},
      {"0b101", 5},        {"0X10", 0},
      {"010", 10},         {"abc", 0},
      {"- 5", 0},          {"+", 0},
      {"\"42\"", 42},      {"4294967295", -1},
      {"4294967297", 1},   {"99999999999", 1215752191},
      {"-4294967297", -1}, {"12abc", 12},
  };
  TempDir dir;
  const std::string path = dir.File("n.ini");
  for (const auto& c : cases) {
    dir.Write("n.ini", std::string("[N]\nk=") + c.value + "\n");
    platform::FlushProfileCache();
    EXPECT_EQ(platform::ReadProfileInt("N", "k", 77, path), c.expected) << c.value;
  }
  dir.Write("n.ini", "[N]\nk=\nq=\"\"\n");
  platform::FlushProfileCache();
  EXPECT_EQ(platform::ReadProfileInt("N", "k", 77, path), 77);  // empty value: the default
  EXPECT_EQ(platform::ReadProfileInt("N", "q", 77, path), 77);
}

TEST(ProfileFiles, ListingsLeaveOutCommentsAndTheEmptySectionName) {
  TempDir dir;
  const std::string path = dir.File("l.ini");
  dir.Write("l.ini", "top=1\r[]\r[x]y]\r;c=1\rk=2\r");
  EXPECT_EQ(platform::ReadProfileSectionNames(path), (std::vector<std::string>{"x]y"}));
  EXPECT_EQ(platform::ReadProfileKeyNames("x]y", path), (std::vector<std::string>{"k"}));
  EXPECT_EQ(platform::ReadProfileKeyNames("", path), (std::vector<std::string>{"top"}));
}

// A file read as UTF-16 or with lone CR line ends is written back the same way.
TEST(ProfileFiles, WritingKeepsTheFilesEncodingAndLineEnds) {
  TempDir dir;
  const std::string path = dir.File("w.ini");
  std::vector<uint8_t> bytes;
  dir.Write("w.ini", Utf16("[A]\r\nk=1\r\n", false));
  ASSERT_TRUE(platform::WriteProfileString("A", "j", "\xC3\xA9", path));  // an e with an acute accent
  ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Utf16("[A]\r\nk=1\r\nj=\xE9\r\n", false));
  EXPECT_EQ(platform::ReadProfileString("A", "j", "", path), "\xC3\xA9");

  dir.Write("w.ini", "[A]\rk=1\r");
  ASSERT_TRUE(platform::WriteProfileString("A", "k", "2", path));
  ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[A]\rk=2\r");
}

}  // namespace
