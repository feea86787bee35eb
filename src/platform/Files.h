#pragma once
// Files with the game's own paths: '\' and '/' both separate, and every component is
// matched without regard to case when the exact name is not there, as the game's data
// expects ("cfg\VRASK.CFG" finds cfg/vrask.cfg).

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The real path for a game path: separators turned to '/', and each existing component
// replaced by the directory entry that matches it without regard to case. Components that
// do not exist are kept as written, so a file about to be created gets the name asked for.
std::string ResolvePath(std::string_view path);

// fopen on the resolved path. Null on failure.
FILE* OpenFile(std::string_view path, const char* mode);

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);
bool RemoveFile(std::string_view path);
// Replaces the destination when it exists (atomically on one file system).
bool RenameFile(std::string_view from, std::string_view to);
// Makes the directory; true when it exists afterwards.
bool MakeDirectory(std::string_view path);
// Clears a read-only file's protection; true when the file is writable afterwards.
bool MakeWritable(std::string_view path);
// Size in bytes, or -1 when the file cannot be examined.
int64_t FileSize(std::string_view path);
// The last-write time in nanoseconds since the epoch, or -1 when the file cannot be examined.
int64_t FileWriteTime(std::string_view path);
// Cuts a file back to a size (a failed append gives back what it added).
bool TruncateFile(std::string_view path, int64_t size);
// Flushes a stream and has the system put its bytes on the disk.
bool SyncStream(FILE* stream);

// The process's current directory, without a trailing separator (empty on failure).
std::string CurrentDirectory();
bool ChangeDirectory(std::string_view path);
// The folder that holds the running program's file; empty when it cannot be told.
std::string ExecutableDirectory();

// Names of the entries of a directory whose names match a pattern of '*' and '?'
// without regard to case, sorted so that every machine sees the same order.
std::vector<std::string> ListDirectory(std::string_view directory, std::string_view pattern = "*");

// Who may read a file that is written: whoever the old file (or the process's defaults)
// let, or its owner alone, from the moment its first byte is written (for secrets).
enum class FileAccess { kAsBefore, kOwnerOnly };

bool ReadWholeFile(std::string_view path, std::vector<uint8_t>& out);
// Replaces the file with these bytes through a ReplacementFile: afterwards it holds either
// all of them or, when the write fails, what it held before.
bool WriteWholeFile(std::string_view path, const void* data, size_t size, FileAccess access = FileAccess::kAsBefore);

// A file that replaces another only once it is whole and on the disk: its bytes go to a file
// beside the one it replaces, which is flushed and synced, closed, given the old file's
// permissions (or the owner's alone) and renamed over it; the folder is synced after the rename, so that neither a
// killed process nor a power cut leaves a half-written file under the name. Written through a
// symbolic link, it replaces the file the link points to and the link stays. Destroyed
// without Commit, it removes what it wrote and leaves the old file alone.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile() { Abandon(); }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Starts the new file for a game path; false when it cannot be created. The bytes go to the
  // path + ".writing", or to a temporary file of the caller's naming in the same folder.
  bool Open(std::string_view path, FileAccess access = FileAccess::kAsBefore);
  bool Open(std::string_view path, std::string_view temporary, FileAccess access = FileAccess::kAsBefore);
  // The stream to write to, null when not open.
  FILE* Stream() const { return stream_; }
  // Puts the new file in the old one's place; false (and the old file untouched, unless only
  // the final folder sync failed) when any step fails.
  bool Commit();
  void Abandon();

 private:
  std::string target_, temporary_;
  FILE* stream_ = nullptr;
  FileAccess access_ = FileAccess::kAsBefore;
};

// The steps of a replacement, which a test can make fail one by one.
enum class ReplacementStep { kCreate, kWrite, kFlush, kSyncFile, kClose, kRename, kSyncFolder };
// Tests only: while set, every step for which the function answers true fails as its system
// call would. Null restores normal writing.
using ReplacementFault = bool (*)(ReplacementStep step);
void SetReplacementFaultForTesting(ReplacementFault fault);

// '*' and '?' matching without regard to case.
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace platform
