#pragma once
// What the test suites share: temporary folders, recorded message boxes, the exit trap, and
// the folder of the forged data.

#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace testing_support {

// The folder the build forged the game's data into.
std::string ForgedDataDir();

// The whole file as text; empty when it cannot be read.
std::string ReadText(const std::string& path);

// A fresh empty folder, removed with everything in it at the end of the scope. With
// enter = true the process's current directory moves into it for the scope.
class TempDir {
 public:
  explicit TempDir(bool enter = false);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  // path + "/" + name
  std::string File(const std::string& name) const;
  void Write(const std::string& name, const std::string& contents) const;
  void Write(const std::string& name, const std::vector<unsigned char>& contents) const;

 private:
  std::string path_;
  std::string previousDir_;
};

// A fresh folder holding a copy of the forged data, entered as the current directory for
// the scope. Code run with the data as its working directory may write there (the map
// generator's logs, layout files written back): the shared forged folder must stay as the
// forge left it, since every test and tool reads it.
class ForgedDataCopy {
 public:
  ForgedDataCopy();
  const std::string& Path() const { return dir_.Path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  TempDir dir_{true};
};

// Records every message box shown while it lives and answers each from a script of
// answers (then with the box's default).
class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<platform::MessageBoxCall>& Boxes() const { return boxes_; }
  size_t Count() const { return boxes_.size(); }
  bool Saw(const std::string& caption) const;
  void Clear() { boxes_.clear(); }

 private:
  std::vector<platform::MessageBoxCall> boxes_;
  std::vector<int> answers_;
};

// Thrown by the exit trap in place of ending the process.
struct ProcessExit {
  int code;
};

// While it lives, platform::ExitProcess throws ProcessExit instead of ending the process.
class ExitTrap {
 public:
  ExitTrap();
  ~ExitTrap();
  ExitTrap(const ExitTrap&) = delete;
  ExitTrap& operator=(const ExitTrap&) = delete;
};

// Runs fn and answers the exit code it ended with, or -1 when it returned.
int ExitCodeOf(const std::function<void()>& fn);

}  // namespace testing_support
