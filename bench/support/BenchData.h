#pragma once
// The benches run in a copy of the forged data: building a map writes its logs into the
// current directory, and the forged folder is shared, read-only, by the tests and tools.

#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/Options.h"

// Copies the forged data next to it (once per process), enters the copy and removes it
// when the process ends.
inline void EnterForgedDataCopy() {
  namespace fs = std::filesystem;
  struct Copy {
    fs::path path;
    Copy() {
      path = fs::path(VRASK_FORGED_DATA).parent_path() / ("bench-data-" + std::to_string(::getpid()));
      fs::remove_all(path);
      fs::copy(VRASK_FORGED_DATA, path, fs::copy_options::recursive);
      fs::current_path(path);
    }
    ~Copy() {
      std::error_code ignored;
      fs::current_path(fs::path(VRASK_FORGED_DATA).parent_path(), ignored);
      fs::remove_all(path, ignored);
    }
  };
  static Copy copy;
}

// The options the game starts with: the built-in defaults, then the forged cfg\vrask.cfg.
inline void LoadForgedOptions() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  EnterForgedDataCopy();
  ResetGlobalOptions();
  ReadGlobalOptions();
}
