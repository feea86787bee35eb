// The profile functions against the Windows ones: each case's answer was recorded once by
// running the Windows profile functions (GetPrivateProfileStringA, GetPrivateProfileSectionA,
// GetPrivateProfileSectionNamesA, and the key-name listing of GetPrivateProfileStringA with no
// key) under Wine 8.0 on the same file text (tests/fixtures/ini holds the program that asked
// and the answers it got). Lists are shown joined by '|'.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

using testing_support::TempDir;

namespace {

enum class Query { kString, kKeyNames, kListing, kSectionNames };

struct WindowsCase {
  const char* name;
  const char* file;  // null: no file at all
  Query query;
  const char* section;
  const char* key;
  const char* defaultValue;
  const char* answer;
};

const WindowsCase kCases[] = {
    {"plain", "[Video]\nWidth=800\n", Query::kString, "Video", "Width", "d", "800"},
    {"noCase", "[Video]\nWidth=800\n", Query::kString, "vIDEO", "WIDTH", "d", "800"},
    {"blanksAroundNames", "[ Video ]\n  Width  =  800  \n", Query::kString, "Video", "Width", "d", "800"},
    {"tabsAroundValue", "[A]\nk=\t 7 \t\n", Query::kString, "A", "k", "d", "7"},
    {"doubleQuotes", "[A]\nName=\"Bob\"\n", Query::kString, "A", "Name", "d", "Bob"},
    {"singleQuotes", "[A]\nName='Bob'\n", Query::kString, "A", "Name", "d", "Bob"},
    {"mixedQuotes", "[A]\nName=\"Bob'\n", Query::kString, "A", "Name", "d", "\"Bob'"},
    {"quotedBlanks", "[A]\nName=\" Bob \"\n", Query::kString, "A", "Name", "d", " Bob "},
    {"quoteThenComment", "[A]\nName=\"Bob\" ;x\n", Query::kString, "A", "Name", "d", "\"Bob\" ;x"},
    {"loneQuote", "[A]\nName=\"\n", Query::kString, "A", "Name", "d", "\""},
    {"emptyQuotes", "[A]\nName=\"\"\n", Query::kString, "A", "Name", "d", ""},
    {"commentLine", "[A]\n;k=1\nk=2\n", Query::kString, "A", "k", "d", "2"},
    {"indentedComment", "[A]\n   ;k=1\n", Query::kString, "A", "k", "d", "d"},
    {"hashIsNoComment", "[A]\n#k=1\n", Query::kString, "A", "#k", "d", "1"},
    {"semicolonAfterValue", "[A]\nk=800 ; note\n", Query::kString, "A", "k", "d", "800 ; note"},
    {"equalsInValue", "[A]\nk=a=b\n", Query::kString, "A", "k", "d", "a=b"},
    {"emptyValue", "[A]\nk=\n", Query::kString, "A", "k", "d", ""},
    {"missingKey", "[A]\nk=1\n", Query::kString, "A", "x", "d", "d"},
    {"missingSection", "[A]\nk=1\n", Query::kString, "B", "k", "d", "d"},
    {"missingFile", nullptr, Query::kString, "A", "k", "d", "d"},
    {"firstKeyWins", "[A]\nk=1\nk=2\n", Query::kString, "A", "k", "d", "1"},
    {"firstSectionWins", "[A]\nk=1\n[A]\nk=2\n", Query::kString, "A", "k", "d", "1"},
    {"keyInSecondCopy", "[A]\nx=1\n[A]\nk=2\n", Query::kString, "A", "k", "d", "d"},
    {"crlf", "[A]\r\nk=1\r\n", Query::kString, "A", "k", "d", "1"},
    {"blankInKeyName", "[A]\nmy key=1\n", Query::kString, "A", "my key", "d", "1"},
    {"defaultTrailingBlanks", "[A]\n", Query::kString, "A", "k", "dflt  ", "dflt"},
    {"textAfterHeader", "[A] tail\nk=1\n", Query::kString, "A", "k", "d", "1"},
    {"indentedHeader", "   [A]\nk=1\n", Query::kString, "A", "k", "d", "1"},
    {"bomFirstSection",
     "\xef"
     "\xbb"
     "\xbf"
     "[Video]\nWidth=800\n",
     Query::kString, "Video", "Width", "d", "800"},
    {"bomSectionNames",
     "\xef"
     "\xbb"
     "\xbf"
     "[Video]\nWidth=800\n[Sound]\n",
     Query::kSectionNames, "", "", "", "Video|Sound"},
    {"lineWithoutEquals", "[A]\nnokey\nk=1\n", Query::kString, "A", "nokey", "d", "d"},
    {"lineWithoutEqualsKeyNames", "[A]\nnokey\nk=1\n", Query::kKeyNames, "A", "", "", "k"},
    {"lineWithoutEqualsListing", "[A]\nnokey\nk=1\n", Query::kListing, "A", "", "", "nokey|k=1"},
    {"quotesInListing", "[A]\nName=\"Bob\"\nb = 'x' \n", Query::kListing, "A", "", "", "Name=\"Bob\"|b='x'"},
    {"blanksInListing", "[A]\n  k  =  1  \n", Query::kListing, "A", "", "", "k=1"},
    {"commentsLeftOutOfListing", "[A]\n;c=1\n\nk=1\n", Query::kListing, "A", "", "", "k=1"},
    {"headerWithoutBracket", "[name\nk=1\n", Query::kString, "name", "k", "d", "d"},
    {"headerWithoutBracketNames", "[A]\n[name\nk=1\n", Query::kSectionNames, "", "", "", "A"},
    {"headerWithoutBracketEndsNothing", "[A]\n[name\nk=1\n", Query::kString, "A", "k", "d", "1"},
    {"sectionNames", "[A]\n[B]\nk=1\n[c d]\n", Query::kSectionNames, "", "", "", "A|B|c d"},
    {"keyNames", "[A]\n;c\nk=1\n l = 2\nk=3\n", Query::kKeyNames, "A", "", "", "k|l|k"},
    // Wine answered "v" here (answers.txt); the Windows functions answer the empty key name with
    // the default, and the reader follows them.
    {"emptyKeyName", "[A]\n=v\n", Query::kString, "A", "", "d", "d"},
};

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : "|") + item;
  return text;
}

std::string Answer(const WindowsCase& c, const std::string& path) {
  switch (c.query) {
    case Query::kString: {
      char out[256];
      platform::ReadProfileString(c.section, c.key, c.defaultValue, out, sizeof out, path);
      return out;
    }
    case Query::kKeyNames:
      return Joined(platform::ReadProfileKeyNames(c.section, path));
    case Query::kSectionNames:
      return Joined(platform::ReadProfileSectionNames(path));
    case Query::kListing: {
      char out[1024];
      platform::ReadProfileSection(c.section, out, sizeof out, path);
      std::vector<std::string> lines;
      for (const char* at = out; *at; at += lines.back().size() + 1) lines.emplace_back(at);
      return Joined(lines);
    }
  }
  return {};
}

TEST(ProfileAgainstWindows, EveryCaseGivesTheRecordedAnswer) {
  TempDir dir;
  const std::string path = dir.File("case.ini");
  for (const WindowsCase& c : kCases) {
    platform::RemoveFile(path);
    if (c.file) dir.Write("case.ini", c.file);
    platform::FlushProfileCache();
    EXPECT_EQ(Answer(c, path), c.answer) << c.name;
  }
}

// Writing keeps what it does not change byte for byte; these two files came out of the
// Windows functions exactly so.
TEST(ProfileAgainstWindows, WritingKeepsTheMarkAndTakesOverALineWithoutEquals) {
  TempDir dir;
  const std::string path = dir.File("case.ini");
  std::vector<uint8_t> bytes;
  dir.Write("case.ini", "\xEF\xBB\xBF[Video]\r\nWidth=800\r\n");
  ASSERT_TRUE(platform::WriteProfileString("Video", "Width", "640", path));
  ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "\xEF\xBB\xBF[Video]\r\nWidth=640\r\n");

  dir.Write("case.ini", "[A]\r\nk\r\n");
  ASSERT_TRUE(platform::WriteProfileString("A", "k", "1", path));
  ASSERT_TRUE(platform::ReadWholeFile(path, bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[A]\r\nk=1\r\n");
}

}  // namespace
