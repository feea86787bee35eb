#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/Text.h"

namespace platform {
namespace {

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of 'directory' that matches 'name' without regard to case; an exact match
// wins, then the first match in sorted order. Empty when there is none.
std::string FindEntryNoCase(const std::string& directory, const std::string& name) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return {};
  std::vector<std::string> matches;
  while (dirent* entry = ::readdir(dir)) {
    if (EqualNoCase(entry->d_name, name)) matches.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  if (matches.empty()) return {};
  std::sort(matches.begin(), matches.end());
  return matches.front();
}

}  // namespace

namespace {
// The path as the walk below writes it back when every component exists as written: '\\'
// turned to '/'; empty when the walk would change it further (an empty or "." component, a
// separator at the end).
std::string PlainForm(std::string_view path) {
  std::string plain(path);
  std::replace(plain.begin(), plain.end(), '\\', '/');
  if (plain.empty() || plain.back() == '/') return {};
  size_t pos = plain[0] == '/' ? 1 : 0;
  while (pos <= plain.size()) {
    size_t end = plain.find('/', pos);
    if (end == std::string::npos) end = plain.size();
    const std::string_view component = std::string_view(plain).substr(pos, end - pos);
    if (component.empty() || component == ".") return {};
    pos = end + 1;
  }
  return plain;
}
}  // namespace

std::string ResolvePath(std::string_view path) {
  // A path that exists as written is its own answer: every component of it exists as written
  // too. One look instead of one a component (the settings reader resolves its file's path
  // for every key it reads).
  if (std::string plain = PlainForm(path); !plain.empty() && PathExists(plain)) return plain;
  std::string result;
  size_t pos = 0;
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) {
    result = "/";
    pos = 1;
  }
  bool missing = false;  // once a component is missing, the rest is kept as written
  while (pos <= path.size()) {
    size_t end = path.find_first_of("/\\", pos);
    if (end == std::string_view::npos) end = path.size();
    std::string component(path.substr(pos, end - pos));
    pos = end + 1;
    if (component.empty() || component == ".") {
      if (end == path.size()) break;
      continue;
    }
    std::string base = result.empty() ? std::string() : result;
    std::string candidate = base.empty() ? component : (base.back() == '/' ? base + component : base + "/" + component);
    if (!missing && component != ".." && !PathExists(candidate)) {
      std::string found = FindEntryNoCase(base.empty() ? "." : base, component);
      if (!found.empty()) {
        candidate = base.empty() ? found : (base.back() == '/' ? base + found : base + "/" + found);
      } else {
        missing = true;
      }
    }
    result = candidate;
    if (end == path.size()) break;
  }
  if (result.empty()) result = ".";
  return result;
}

FILE* OpenFile(std::string_view path, const char* mode) {
  if (path.empty()) return nullptr;
  return std::fopen(ResolvePath(path).c_str(), mode);
}

bool FileExists(std::string_view path) {
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(std::string_view path) { return ::unlink(ResolvePath(path).c_str()) == 0; }

bool RenameFile(std::string_view from, std::string_view to) {
  return ::rename(ResolvePath(from).c_str(), ResolvePath(to).c_str()) == 0;
}

bool MakeDirectory(std::string_view path) {
  std::string real = ResolvePath(path);
  if (::mkdir(real.c_str(), 0755) == 0) return true;
  return errno == EEXIST && DirectoryExists(real);
}

bool MakeWritable(std::string_view path) {
  std::string real = ResolvePath(path);
  struct stat st;
  if (::stat(real.c_str(), &st) != 0) return false;
  return ::chmod(real.c_str(), st.st_mode | S_IWUSR) == 0;
}

int64_t FileSize(std::string_view path) {
  struct stat st;
  if (::stat(ResolvePath(path).c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t FileWriteTime(std::string_view path) {
  struct stat st;
  if (::stat(ResolvePath(path).c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool TruncateFile(std::string_view path, int64_t size) {
  return size >= 0 && ::truncate(ResolvePath(path).c_str(), static_cast<off_t>(size)) == 0;
}

bool SyncStream(FILE* stream) { return std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0; }

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) return {};
  return buffer;
}

bool ChangeDirectory(std::string_view path) { return ::chdir(ResolvePath(path).c_str()) == 0; }

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  const std::string path(buffer, static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || std::tolower(static_cast<unsigned char>(pattern[p])) ==
                                                        std::tolower(static_cast<unsigned char>(name[n])))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> ListDirectory(std::string_view directory, std::string_view pattern) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(ResolvePath(directory).c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (WildcardMatch(pattern, name)) names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool ReadWholeFile(std::string_view path, std::vector<uint8_t>& out) {
  out.clear();
  FILE* f = OpenFile(path, "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + got);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

namespace {

std::atomic<ReplacementFault> g_replacementFault{nullptr};

bool Fails(ReplacementStep step) {
  ReplacementFault fault = g_replacementFault.load();
  return fault != nullptr && fault(step);
}

// The file a path finally names: symbolic links followed (a relative link from its own
// folder), at most 40 of them, as the system follows them when it opens a file.
std::string FollowLinks(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
    if (length <= 0) return path;
    std::string link(buffer.data(), static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    path = link.front() == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

void SetReplacementFaultForTesting(ReplacementFault fault) { g_replacementFault.store(fault); }

bool ReplacementFile::Open(std::string_view path, FileAccess access) {
  const std::string target = FollowLinks(ResolvePath(path));
  return Open(target, target + ".writing", access);
}

bool ReplacementFile::Open(std::string_view path, std::string_view temporary, FileAccess access) {
  Abandon();
  target_ = FollowLinks(ResolvePath(path));
  temporary_ = ResolvePath(temporary);
  access_ = access;
  if (Fails(ReplacementStep::kCreate)) return false;
  if (access == FileAccess::kOwnerOnly) {
    // Created owner-only (and made so, should it exist already), so that the secret is
    // never readable by others, not even for the moment before the rename.
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) return false;
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0 || !(stream_ = ::fdopen(fd, "wb"))) {
      ::close(fd);
      ::unlink(temporary_.c_str());
      return false;
    }
    return true;
  }
  stream_ = std::fopen(temporary_.c_str(), "wb");
  return stream_ != nullptr;
}

bool ReplacementFile::Commit() {
  if (!stream_) return false;
  bool ok = !std::ferror(stream_) && !Fails(ReplacementStep::kWrite);
  ok = ok && std::fflush(stream_) == 0 && !Fails(ReplacementStep::kFlush);
  ok = ok && ::fsync(::fileno(stream_)) == 0 && !Fails(ReplacementStep::kSyncFile);
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  ok = ok && closed && !Fails(ReplacementStep::kClose);
  if (ok) {
    struct stat old;
    if (access_ == FileAccess::kAsBefore && ::stat(target_.c_str(), &old) == 0)
      ::chmod(temporary_.c_str(), old.st_mode & 07777);
    ok = !Fails(ReplacementStep::kRename) && ::rename(temporary_.c_str(), target_.c_str()) == 0;
  }
  if (!ok) {
    ::unlink(temporary_.c_str());
    return false;
  }
  // The new name must reach the disk as well; the file itself is whole already.
  return SyncFolder(FolderOf(target_)) && !Fails(ReplacementStep::kSyncFolder);
}

void ReplacementFile::Abandon() {
  if (!stream_) return;
  std::fclose(stream_);
  stream_ = nullptr;
  ::unlink(temporary_.c_str());
}

bool WriteWholeFile(std::string_view path, const void* data, size_t size, FileAccess access) {
  ReplacementFile file;
  if (!file.Open(path, access)) return false;
  if (size != 0 && std::fwrite(data, 1, size, file.Stream()) != size) return false;
  return file.Commit();
}

}  // namespace platform
