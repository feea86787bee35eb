#pragma once
// What the fuzz targets that read files share: a folder of their own in memory (/dev/shm, so
// that the synced writes of the game's file layer cost nothing), message boxes answered at
// once without a word, and the program's fatal ends turned into an exception the target
// catches, so that one input's fatal configuration error does not end the run.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace fuzz {

struct ProgramEnded {
  int code;
};

// Called once: makes the folder (removed again when the run ends), enters it when the reader
// under test takes paths below the current directory, and installs the quiet box and the
// exit trap.
inline const std::string& Folder(const char* name, bool enter = false) {
  // Never destroyed: the clean-up at exit still needs it.
  static const std::string* folder = [name, enter] {
    auto* path = new std::string("/dev/shm/vrask-fuzz-" + std::string(name) + "-" + std::to_string(::getpid()));
    platform::MakeDirectory(*path);
    if (enter) platform::ChangeDirectory(*path);
    platform::SetMessageBoxHandler([](const platform::MessageBoxCall&) { return platform::kAnswerYes; });
    platform::SetExitHook([](int code) { throw ProgramEnded{code}; });
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Folder(nullptr), ignored);
    });
    return path;
  }();
  return *folder;
}

// A file of the folder.
inline std::string InFolder(const std::string& name) { return Folder(nullptr) + "/" + name; }

// Writes the input as a file of the folder.
inline void WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  platform::WriteWholeFile(InFolder(name), data, size);
}

}  // namespace fuzz
