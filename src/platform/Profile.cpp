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

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

// The default loses its trailing blanks, as the profile functions hand it back.
std::string_view TrimDefault(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
    return std::string(value.substr(1, value.size() - 2));
  return std::string(value);
}

}  // namespace

// --- ProfileText ---------------------------------------------------------------------------

ProfileText::Line ProfileText::ParseLine(std::string_view raw) {
  Line line;
  std::string_view text = Trim(raw);
  if (text.empty() || text.front() == ';') return line;
  size_t close = text.find(']');
  if (text.front() == '[' && close != std::string_view::npos) {
    line.kind = Line::kSection;
    line.name = std::string(Trim(text.substr(1, close - 1)));
    return line;
  }
  size_t eq = text.find('=');
  line.kind = Line::kKey;
  if (eq == std::string_view::npos) {
    line.name = std::string(text);
  } else {
    line.name = std::string(Trim(text.substr(0, eq)));
    line.rawValue = std::string(Trim(text.substr(eq + 1)));
    line.value = Unquote(line.rawValue);
    line.hasEquals = true;
  }
  return line;
}

ProfileText::ProfileText(std::string_view all) {
  if (all.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    byteOrderMark_ = true;
    all.remove_prefix(kByteOrderMark.size());
  }
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find('\n', pos);
    if (end == std::string_view::npos) end = all.size();
    std::string_view raw = all.substr(pos, end - pos);
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
      crlf_ = true;
    }
    raw_.emplace_back(raw);
    lines_.push_back(ParseLine(raw));
    pos = end + 1;
  }
}

int ProfileText::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Line::kSection && EqualNoCase(lines_[i].name, Trim(section))) return static_cast<int>(i);
  return -1;
}

int ProfileText::FindKey(int sectionLine, std::string_view key) const {
  for (size_t i = static_cast<size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::kSection) break;
    if (lines_[i].kind == Line::kKey && EqualNoCase(lines_[i].name, Trim(key))) return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> ProfileText::Value(std::string_view section, std::string_view key) const {
  int s = FindSection(section);
  int k = s < 0 ? -1 : FindKey(s, key);
  // A line without '=' names no key: it gives the default.
  if (k < 0 || !lines_[static_cast<size_t>(k)].hasEquals) return std::nullopt;
  return lines_[static_cast<size_t>(k)].value;
}

std::vector<std::string> ProfileText::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& line : lines_)
    if (line.kind == Line::kSection) names.push_back(line.name);
  return names;
}

std::vector<std::string> ProfileText::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  int s = FindSection(section);
  for (size_t i = static_cast<size_t>(s) + 1; s >= 0 && i < lines_.size() && lines_[i].kind != Line::kSection; ++i)
    if (lines_[i].kind == Line::kKey && lines_[i].hasEquals) names.push_back(lines_[i].name);
  return names;
}

std::string ProfileText::SectionListing(std::string_view section) const {
  std::string list;
  int s = FindSection(section);
  for (size_t i = static_cast<size_t>(s) + 1; s >= 0 && i < lines_.size() && lines_[i].kind != Line::kSection; ++i) {
    const Line& line = lines_[i];
    if (line.kind != Line::kKey) continue;
    list += line.name;
    if (line.hasEquals) list += "=" + line.rawValue;
    list += '\0';
  }
  return list;
}

void ProfileText::Replace(size_t index, std::string raw) {
  lines_[index] = ParseLine(raw);
  raw_[index] = std::move(raw);
}

void ProfileText::Insert(size_t index, std::string raw) {
  lines_.insert(lines_.begin() + static_cast<long>(index), ParseLine(raw));
  raw_.insert(raw_.begin() + static_cast<long>(index), std::move(raw));
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  int s = FindSection(section);
  if (s < 0) {
    if (!raw_.empty() && !Trim(raw_.back()).empty()) Insert(raw_.size(), "");
    Insert(raw_.size(), "[" + std::string(Trim(section)) + "]");
    Insert(raw_.size(), entry);
  } else if (int k = FindKey(s, key); k >= 0) {
    // A line of the key's name without '=' is the key's line too: it takes the value.
    Replace(static_cast<size_t>(k), entry);
  } else {
    // After the section's last non-blank line, so the blank line before the next section stays.
    size_t insert = static_cast<size_t>(s) + 1;
    for (size_t i = insert; i < lines_.size() && lines_[i].kind != Line::kSection; ++i)
      if (!Trim(raw_[i]).empty()) insert = i + 1;
    Insert(insert, entry);
  }
}

bool ProfileText::Delete(std::string_view section, std::string_view key) {
  int s = FindSection(section);
  int k = s < 0 ? -1 : FindKey(s, key);
  if (k < 0) return false;
  lines_.erase(lines_.begin() + k);
  raw_.erase(raw_.begin() + k);
  return true;
}

std::string ProfileText::Bytes() const {
  std::string text = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
  const char* eol = crlf_ ? "\r\n" : "\n";
  for (const std::string& line : raw_) {
    text += line;
    text += eol;
  }
  return text;
}

// --- the files -----------------------------------------------------------------------------

namespace {

struct ParsedFile {
  bool exists = false;
  ProfileText text;
  // What the cache compares to see whether the file changed.
  int64_t size = -1;
  int64_t mtimeNs = 0;
  uint64_t inode = 0;
};

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
  file.text = file.exists ? ProfileText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))
                          : ProfileText();
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

bool Lookup(std::string_view section, std::string_view key, std::string_view path, std::string& value) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const ParsedFile& file = Load(ResolvePath(path));
  if (!file.exists) return false;
  std::optional<std::string> found = file.text.Value(section, key);
  if (!found) return false;
  value = std::move(*found);
  return true;
}

// Writes the changed text over the file in one replacement. Caller holds g_cacheMutex.
bool Store(const std::string& real, const ProfileText& text) {
  // A read-only file is not written, whoever runs the game (as the read-only attribute works).
  struct stat st;
  bool ok = !(::stat(real.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0);
  if (ok) {
    const std::string bytes = text.Bytes();
    ok = WriteWholeFile(real, bytes.data(), bytes.size());
  }
  g_cache.erase(real);
  return ok;
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              std::string_view path) {
  std::string value;
  if (Lookup(section, key, path, value)) return value;
  return std::string(TrimDefault(defaultValue));
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
  // The profile functions answer an unsigned 32-bit number: larger ones stop at its end.
  long long n = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    n = n * 10 + (*p++ - '0');
    if (n > 0xFFFFFFFFLL) n = 0xFFFFFFFFLL;
  }
  return static_cast<int>(static_cast<uint32_t>(negative ? -n : n));
}

bool WriteProfileStrings(std::span<const ProfileEntry> entries, std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const std::string real = ResolvePath(path);
  ProfileText text = Load(real).text;
  for (const ProfileEntry& entry : entries) text.Set(entry.section, entry.key, entry.value);
  return Store(real, text);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value, std::string_view path) {
  const ProfileEntry entry{std::string(section), std::string(key), std::string(value)};
  return WriteProfileStrings(std::span<const ProfileEntry>(&entry, 1), path);
}

std::string QuoteProfileValue(std::string_view value) {
  const bool trimmed = Trim(value).size() != value.size();
  const bool unquoted = value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
  if (!trimmed && !unquoted) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

bool DeleteProfileKey(std::string_view section, std::string_view key, std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const std::string real = ResolvePath(path);
  ProfileText text = Load(real).text;
  if (!text.Delete(section, key)) return true;
  return Store(real, text);
}

std::vector<std::string> ReadProfileSectionNames(std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  return Load(ResolvePath(path)).text.SectionNames();
}

std::vector<std::string> ReadProfileKeyNames(std::string_view section, std::string_view path) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  return Load(ResolvePath(path)).text.KeyNames(section);
}

size_t ReadProfileSection(std::string_view section, char* out, size_t size, std::string_view path) {
  if (out == nullptr || size < 2) return 0;
  std::string list;  // every line with its terminator
  {
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    list = Load(ResolvePath(path)).text.SectionListing(section);
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

void FlushProfileCache() {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  g_cache.clear();
}

}  // namespace platform
