#include "support/TestSupport.h"

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Profile.h"

namespace testing_support {

std::string ForgedDataDir() { return VRASK_FORGED_DATA; }

std::string ReadText(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) return {};
  return std::string(bytes.begin(), bytes.end());
}

TempDir::TempDir(bool enter) {
  static std::atomic<int> counter{0};
  namespace fs = std::filesystem;
  fs::path base = fs::path(VRASK_BUILD_DIR) / "test-tmp";
  fs::create_directories(base);
  path_ = (base / ("t" + std::to_string(::getpid()) + "_" + std::to_string(counter++))).string();
  fs::remove_all(path_);
  fs::create_directories(path_);
  if (enter) {
    previousDir_ = fs::current_path().string();
    fs::current_path(path_);
  }
  platform::FlushProfileCache();
}

TempDir::~TempDir() {
  namespace fs = std::filesystem;
  std::error_code ignored;
  if (!previousDir_.empty()) fs::current_path(previousDir_, ignored);
  fs::remove_all(path_, ignored);
  platform::FlushProfileCache();
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }

void TempDir::Write(const std::string& name, const std::string& contents) const {
  std::filesystem::create_directories(std::filesystem::path(File(name)).parent_path());
  std::ofstream(File(name), std::ios::binary) << contents;
}

void TempDir::Write(const std::string& name, const std::vector<unsigned char>& contents) const {
  Write(name, std::string(contents.begin(), contents.end()));
}

ForgedDataCopy::ForgedDataCopy() {
  namespace fs = std::filesystem;
  fs::copy(ForgedDataDir(), dir_.Path(), fs::copy_options::recursive);
  platform::FlushProfileCache();
}

BoxRecorder::BoxRecorder() {
  platform::SetMessageBoxHandler([this](const platform::MessageBoxCall& call) {
    boxes_.push_back(call);
    if (!answers_.empty()) {
      int answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    }
    return platform::DefaultAnswer(call.flags);
  });
}

BoxRecorder::~BoxRecorder() { platform::SetMessageBoxHandler({}); }

bool BoxRecorder::Saw(const std::string& caption) const {
  for (const auto& box : boxes_)
    if (box.caption == caption) return true;
  return false;
}

ExitTrap::ExitTrap() {
  platform::SetExitHook([](int code) { throw ProcessExit{code}; });
}

ExitTrap::~ExitTrap() { platform::SetExitHook({}); }

int ExitCodeOf(const std::function<void()>& fn) {
  ExitTrap trap;
  try {
    fn();
  } catch (const ProcessExit& e) {
    return e.code;
  }
  return -1;
}

}  // namespace testing_support
