#include <gtest/gtest.h>

#include <cstring>

#include "core/DataPath.h"
#include "core/ErrorBox.h"
#include "core/RealmPath.h"
#include "platform/MessageBox.h"
#include "support/TestSupport.h"

TEST(RealmPath, NameIsTheFolderThatHoldsTheFile) {
  struct Case {
    const char* path;
    bool valid;
    const char* name;
  };
  const Case cases[] = {
      {"realms\\moorland\\moorland.cfg", true, "moorland"},
      {"realms/ice/ice.cfg", true, "ice"},
      {"a/b\\c\\d.cfg", true, "c"},
      {"moorland.cfg", false, ""},
      {"moorland\\moorland.cfg", false, ""},           // what remains has no separator
      {"realms\\\\x.cfg", false, ""},                  // empty folder name
      {"..\\..\\..\\..\\..\\etc\\passwd", false, ""},  // climbs out of the data folder
      {"realms\\..\\..\\x\\x.cfg", false, ""},
      {"realms/../x.cfg", false, ""},
      {"/etc/realm/realm.cfg", false, ""},  // absolute
      {"\\realms\\x\\x.cfg", false, ""},
      {"C:\\realms\\x\\x.cfg", false, ""},  // a drive
      {"realms\\.\\x.cfg", false, ""},
      {"realms\\..x\\..x.cfg", true, "..x"},  // dots inside a name are a name
  };
  for (const Case& c : cases) {
    char name[256] = "unchanged";
    EXPECT_EQ(IsValidRealmPath(c.path, name, sizeof name), c.valid) << c.path;
    EXPECT_STREQ(name, c.valid ? c.name : "unchanged") << c.path;
  }
  char path[256];
  MakeRealmCfgPath("moorland", path, sizeof path);
  EXPECT_STREQ(path, "realms\\moorland\\moorland.cfg");
}

TEST(RealmPath, NamesAndDataFileNamesStayInsideTheDataFolder) {
  struct Case {
    const char* text;
    bool inside;  // IsInsideDataFolder
    bool name;    // IsValidRealmName
  };
  const Case cases[] = {
      {"moorland", true, true},
      {"creatures\\wizard1", true, false},
      {"16Mb Anims/wizard2", true, false},
      {"", false, false},
      {"..", false, false},
      {".", true, false},
      {"../../../../etc/passwd", false, false},
      {"a\\..\\..\\b", false, false},
      {"a/..", false, false},
      {"/etc/passwd", false, false},
      {"\\\\server\\share", false, false},
      {"C:moor", false, false},
      {"..moor", true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsInsideDataFolder(c.text), c.inside) << c.text;
    EXPECT_EQ(IsValidRealmName(c.text), c.name) << c.text;
  }
  EXPECT_FALSE(IsValidRealmName(nullptr));
}

TEST(ErrorBoxes, FileLoadErrorShowsItsBoxAndEndsWithCodeOne) {
  testing_support::BoxRecorder boxes;
  int code = testing_support::ExitCodeOf([] { ShowFileLoadError("cfg\\spells.cfg"); });
  EXPECT_EQ(code, 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "FILE LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load file: cfg\\spells.cfg, Exiting Program");
  EXPECT_EQ(boxes.Boxes()[0].flags & platform::kBoxIconMask, platform::kBoxIconWarning);
  EXPECT_TRUE(boxes.Boxes()[0].flags & platform::kBoxTopMost);
}

TEST(ErrorBoxes, LongFileNameIsCutAndTheMessageKeepsItsEnd) {
  testing_support::BoxRecorder boxes;
  std::string name(400, 'n');
  testing_support::ExitCodeOf([&] { ShowFileLoadError(name.c_str()); });
  ASSERT_EQ(boxes.Count(), 1u);
  const std::string& text = boxes.Boxes()[0].text;
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.substr(text.size() - 17), ", Exiting Program");
}

TEST(ErrorBoxes, GeneralErrorReturnsTheAnswer) {
  testing_support::BoxRecorder boxes;
  boxes.QueueAnswer(platform::kAnswerOk);
  EXPECT_EQ(ShowGeneralError("invalid realm path"), platform::kAnswerOk);
  EXPECT_TRUE(boxes.Saw("GENERAL ERROR"));
}
