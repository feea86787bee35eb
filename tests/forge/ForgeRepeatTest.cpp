// The forge run a second time, here, writes the same files with the same bytes as the run
// that made the build's data: nothing it writes depends on the clock, the threads or the
// order work finished in.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "forge/Forge.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

// The files the build's forge wrote, from its stamp.
std::set<std::string> StampedFiles(const std::string& root) {
  std::set<std::string> files;
  std::ifstream stamp(root + "/.forged");
  for (std::string line; std::getline(stamp, line);)
    if (!line.empty()) files.insert(line);
  return files;
}

TEST(Forge, WritesTheSameBytesASecondTime) {
  const std::string built = testing_support::ForgedDataDir();
  testing_support::TempDir dir;
  forge::Context ctx(dir.Path());
  const auto start = std::chrono::steady_clock::now();
  for (const forge::Step& step : forge::RegisteredSteps()) step.run(ctx);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("forge: %d files in %.1f s\n", ctx.FilesWritten(), seconds);

  const std::set<std::string> before = StampedFiles(built);
  ASSERT_GT(before.size(), 400u);
  EXPECT_EQ(ctx.WrittenFiles(), before);
  int compared = 0;
  for (const std::string& file : ctx.WrittenFiles()) {
    std::vector<uint8_t> first, second;
    ASSERT_TRUE(platform::ReadWholeFile(built + "/" + file, first)) << file;
    ASSERT_TRUE(platform::ReadWholeFile(dir.File(file), second)) << file;
    EXPECT_TRUE(first == second) << file << " differs (" << first.size() << " and " << second.size() << " bytes)";
    ++compared;
  }
  EXPECT_EQ(compared, static_cast<int>(before.size()));
}

}  // namespace
