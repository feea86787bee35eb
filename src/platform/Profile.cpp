#include "platform/Profile.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/Files.h"
#include "platform/Text.h"

namespace platform {
namespace {

struct Line {
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed and unquoted
};

struct ParsedFile {
  bool exists = false;
  std::vector<std::string> rawLines;  // as in the file, without line ends
  std::vector<Line> lines;
  bool crlf = false;
  // What the cache compares to see whether the file changed.
  int64_t size = -1;
  int64_t mtimeNs = 0;
  uint64_t inode = 0;
};

std::string_view Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return std::string(value.substr(1, value.size() - 2));
  return std::string(value);
}

Line ParseLine(std::string_view raw) {
  Line line;
  std::string_view text = Trim(raw);
  if (text.empty() || text.front() == ';') return line;
  if (text.front() == '[') {
    size_t close = text.find(']');
    line.kind = Line::kSection;
    line.name = std::string(Trim(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
    return line;
  }
  size_t eq = text.find('=');
  line.kind = Line::kKey;
  if (eq == std::string_view::npos) {
    line.name = std::string(text);
  } else {
    line.name = std::string(Trim(text.substr(0, eq)));
    line.value = Unquote(Trim(text.substr(eq + 1)));
  }
  return line;
}

bool StatFile(const std::string& real, ParsedFile& into) {
  struct stat st;
  if (::stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  into.size = st.st_size;
  into.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  into.inode = st.st_ino;
  return true;
}

void Parse(const std::string& real, ParsedFile& file) {
  std::vector<uint8_t> bytes;
  file.exists = StatFile(real, file) && ReadWholeFile(real, bytes);
  file.rawLines.clear();
  file.lines.clear();
  if (!file.exists) return;
  std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find('\n', pos);
    if (end == std::string_view::npos) end = all.size();
    std::string_view raw = all.substr(pos, end - pos);
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
      file.crlf = true;
    }
    file.rawLines.emplace_back(raw);
    file.lines.push_back(ParseLine(raw));
    pos = end + 1;
  }
}

std::mutex g_cacheMutex;
std::map<std::string, ParsedFile> g_cache;

// The parsed file for a path, read again when it changed. Caller holds g_cacheMutex.
const ParsedFile& Load(const std::string& real) {
  ParsedFile& cached = g_cache[real];
  ParsedFile now;
  bool present = StatFile(real, now);
  if (!present) {
    cached = ParsedFile{};
    return cached;
  }
  if (!cached.exists || cached.size != now.size || cached.mtimeNs != now.mtimeNs || cached.inode != now.inode)
    Parse(real, cached);
  return cached;
}

// Index of the first section line with this name, or -1.
int FindSection(const ParsedFile& file, std::string_view section) {
  for (size_t i = 0; i < file.lines.size(); ++i)
    if (file.lines[i].kind == Line::kSection && EqualNoCase(file.lines[i].name, Trim(section)))
      return static_cast<int>(i);
  return -1;
}

// Index of the first key line of the section starting at sectionLine, or -1.
int FindKey(const ParsedFile& file, int sectionLine, std::string_view key) {
  for (size_t i = sectionLine + 1; i < file.lines.size(); ++i) {
    if (file.lines[i].kind == Line::kSection) break;
    if (file.lines[i].kind == Line::kKey && EqualNoCase(file.lines[i].name, Trim(key))) return static_cast<int>(i);
  }
  return -1;
}

bool Lookup(std::string_view section, std::string_view key, std::string_view path, std::string& value) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const ParsedFile& file = Load(ResolvePath(path));
  if (!file.exists) return false;
  int s = FindSection(file, section);
  if (s < 0) return false;
  int k = FindKey(file, s, key);
  if (k < 0) return false;
  value = file.lines[k].value;
  return true;
}

bool Store(const std::string& real, const std::vector<std::string>& lines, bool crlf) {
  // A read-only file is not written, whoever runs the game (as the read-only attribute works).
  struct stat st;
  if (::stat(real.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0) return false;
  std::string text;
  const char* eol = crlf ? "\r\n" : "\n";
  for (const std::string& line : lines) {
    text += line;
    text += eol;
  }
  return WriteWholeFile(real, text.data(), text.size());
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              std::string_view path) {
  std::string value;
  if (Lookup(section, key, path, value)) return value;
  return std::string(defaultValue);
}

size_t ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue, char* out,
                         size_t size, std::string_view path) {
  if (size == 0 || out == nullptr) return 0;
  std::string value = ReadProfileString(section, key, defaultValue, path);
  size_t n = value.size() < size - 1 ? value.size() : size - 1;
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return n;
}

int ReadProfileInt(std::string_view section, std::string_view key, int defaultValue, std::string_view path) {
  std::string value;
  if (!Lookup(section, key, path, value)) return defaultValue;
  const char* p = value.c_str();
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = (*p++ == '-');
  if (!std::isdigit(static_cast<unsigned char>(*p))) return defaultValue;
  long long n = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    n = n * 10 + (*p++ - '0');
    if (n > 0xFFFFFFFFLL) n = 0xFFFFFFFFLL;
  }
  return static_cast<int>(static_cast<uint32_t>(negative ? -n : n));
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value, std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  std::string real = ResolvePath(path);
  ParsedFile file = Load(real);
  std::vector<std::string> lines = file.rawLines;
  std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  int s = FindSection(file, section);
  if (s < 0) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(Trim(section)) + "]");
    lines.push_back(entry);
  } else if (int k = FindKey(file, s, key); k >= 0) {
    lines[k] = entry;
  } else {
    // After the section's last non-blank line, so the blank line before the next section stays.
    size_t insert = s + 1;
    for (size_t i = s + 1; i < file.lines.size() && file.lines[i].kind != Line::kSection; ++i)
      if (!Trim(file.rawLines[i]).empty()) insert = i + 1;
    lines.insert(lines.begin() + static_cast<long>(insert), entry);
  }
  bool ok = Store(real, lines, file.crlf);
  g_cache.erase(real);
  return ok;
}

bool DeleteProfileKey(std::string_view section, std::string_view key, std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  std::string real = ResolvePath(path);
  ParsedFile file = Load(real);
  int s = FindSection(file, section);
  int k = s < 0 ? -1 : FindKey(file, s, key);
  if (k < 0) return true;
  std::vector<std::string> lines = file.rawLines;
  lines.erase(lines.begin() + k);
  bool ok = Store(real, lines, file.crlf);
  g_cache.erase(real);
  return ok;
}

std::vector<std::string> ReadProfileSectionNames(std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const ParsedFile& file = Load(ResolvePath(path));
  std::vector<std::string> names;
  for (const Line& line : file.lines)
    if (line.kind == Line::kSection) names.push_back(line.name);
  return names;
}

size_t ReadProfileSection(std::string_view section, char* out, size_t size, std::string_view path) {
  if (out == nullptr || size < 2) return 0;
  std::string list;  // every line with its terminator
  {
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    const ParsedFile& file = Load(ResolvePath(path));
    int s = FindSection(file, section);
    for (size_t i = s + 1; s >= 0 && i < file.lines.size() && file.lines[i].kind != Line::kSection; ++i) {
      const Line& line = file.lines[i];
      if (line.kind != Line::kKey) continue;
      list += line.name;
      if (Trim(file.rawLines[i]).find('=') != std::string_view::npos) list += "=" + line.value;
      list += '\0';
    }
  }
  if (list.size() + 1 <= size) {
    std::memcpy(out, list.data(), list.size());
    out[list.size()] = '\0';
    if (list.empty()) out[1] = '\0';
    return list.size();
  }
  std::memcpy(out, list.data(), size - 2);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

std::vector<std::string> ReadProfileKeyNames(std::string_view section, std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const ParsedFile& file = Load(ResolvePath(path));
  std::vector<std::string> names;
  int s = FindSection(file, section);
  if (s < 0) return names;
  for (size_t i = s + 1; i < file.lines.size() && file.lines[i].kind != Line::kSection; ++i)
    if (file.lines[i].kind == Line::kKey) names.push_back(file.lines[i].name);
  return names;
}

void FlushProfileCache() {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  g_cache.clear();
}

}  // namespace platform
