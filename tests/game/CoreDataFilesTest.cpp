// The core data files are looked at whole before the game reads them: a missing, empty,
// garbled or truncated file is named, the forged data passes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/CoreDataFiles.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

class CoreDataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"cfg/spells.cfg", "cfg/creature.cfg", "cfg/hth.cfg", "cfg/objects.cfg", "cfg/MItems.cfg",
                             "cfg/effects.cfg", "cfg/effectani.cfg", "wizards/_start.wzd"}) {
      fs::create_directories(fs::path(dir_.File(name)).parent_path());
      fs::copy_file(testing_support::ForgedDataDir() + "/" + name, dir_.File(name));
    }
  }
  std::string Text(const std::string& name) {
    std::ifstream in(dir_.File(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  testing_support::TempDir dir_{true};
};

TEST_F(CoreDataFiles, TheForgedDataIsWhole) { EXPECT_EQ(FirstDamagedCoreDataFile(), nullptr); }

TEST_F(CoreDataFiles, AMissingEmptyGarbledOrTruncatedFileIsNamed) {
  struct Case {
    const char* file;  // under the data folder
    const char* named;
    const char* damage;  // "missing", "empty", "garbage", "half" or a replacement text
  };
  const Case cases[] = {
      {"cfg/spells.cfg", "cfg\\spells.cfg", "empty"},
      {"cfg/spells.cfg", "cfg\\spells.cfg", "garbage"},
      {"cfg/spells.cfg", "cfg\\spells.cfg", "half"},
      {"cfg/creature.cfg", "cfg\\creature.cfg", "half"},
      {"cfg/creature.cfg", "cfg\\creature.cfg", "garbage"},
      {"cfg/hth.cfg", "cfg\\hth.cfg", "half"},
      {"cfg/objects.cfg", "cfg\\objects.cfg", "garbage"},
      {"cfg/objects.cfg", "cfg\\objects.cfg", "half"},
      {"cfg/objects.cfg", "cfg\\objects.cfg", "[HEADER]\nNumberOfObjects=0\n"},
      {"cfg/objects.cfg", "cfg\\objects.cfg", "[HEADER]\nNumberOfObjects=99999999999\n[OBJECT_0]\n"},
      {"cfg/MItems.cfg", "cfg\\MItems.cfg", "half"},
      {"cfg/MItems.cfg", "cfg\\MItems.cfg", "missing"},
      {"cfg/effects.cfg", "cfg\\effects.cfg", "missing"},
      {"cfg/effects.cfg", "cfg\\effects.cfg", "half"},
      {"cfg/effectani.cfg", "cfg\\effectani.cfg", "missing"},
      {"cfg/effectani.cfg", "cfg\\effectani.cfg", "garbage"},
      {"wizards/_start.wzd", "wizards\\_start.wzd", "half"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.damage);
    const std::string whole = Text(c.file);
    const std::string damage = c.damage;
    if (damage == "missing") {
      fs::remove(dir_.File(c.file));
    } else {
      std::string text = damage == "empty"     ? ""
                         : damage == "garbage" ? std::string("\x7f\x45LF\x02\x01 not a configuration\n[\n=x\n")
                         : damage == "half"    ? whole.substr(0, whole.size() / 2)
                                               : damage;
      dir_.Write(c.file, text);
    }
    platform::FlushProfileCache();
    const char* named = FirstDamagedCoreDataFile();
    ASSERT_NE(named, nullptr);
    EXPECT_STREQ(named, c.named);
    dir_.Write(c.file, whole);
    platform::FlushProfileCache();
    EXPECT_EQ(FirstDamagedCoreDataFile(), nullptr);
  }
}

}  // namespace
