#pragma once
// What the fuzz targets of the game's data files share: the input written as one or more
// files below the target's folder (the current directory, as the game's data folder is), the
// profile reader's memory of the last input forgotten, and a check that stops the run.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "FuzzFiles.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace fuzz {

// Enters the target's folder and makes the sub-folders the files lie in, once.
inline void DataFolder(const char* name, std::initializer_list<const char*> folders) {
  static const bool ready = [&] {
    Folder(name, true);
    for (const char* folder : folders) platform::MakeDirectory(folder);
    return true;
  }();
  (void)ready;
}

// The input as each of the files named (paths below the folder, with '/').
inline void WriteInputAs(std::initializer_list<const char*> files, const uint8_t* data, size_t size) {
  for (const char* file : files) WriteInput(file, data, size);
  platform::FlushProfileCache();
}

// A value that stands outside the range its reader promises ends the run as a crash would.
inline void Expect(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace fuzz
