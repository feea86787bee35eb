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
constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 text (after its mark) as UTF-8; a broken surrogate reads as U+FFFD, an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  auto unit = [&](size_t i) -> char32_t {
    const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    return static_cast<char32_t>(hi << 8 | lo);
  };
  std::string out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// The next code point of UTF-8 text; a malformed byte reads as U+FFFD and is stepped over alone.
char32_t NextUtf8(std::string_view text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  const int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
  if (lead < 0x80) return lead;
  if (extra == 0 || at + static_cast<size_t>(extra) > text.size()) return kReplacement;
  char32_t c = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    const auto next = static_cast<unsigned char>(text[at + static_cast<size_t>(k)]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    c = c << 6 | (next & 0x3F);
  }
  at += static_cast<size_t>(extra);
  return c;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::string out;
  auto put = [&](char32_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (size_t at = 0; at < text.size();) {
    const char32_t c = NextUtf8(text, at);
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

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

// A number as the profile functions read one: blanks, a sign, a base prefix ("0x", "0o", "0b")
// and the digits of that base up to the first other character. The sum wraps around at 32 bits
// as theirs does, and no digits at all read as 0.
uint32_t ParseProfileNumber(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ') ++at;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  uint32_t base = 10;
  if (text.size() - at >= 2 && text[at] == '0') {
    const char prefix = text[at + 1];
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) at += 2;
  }
  uint32_t total = 0;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    const uint32_t digit = c >= '0' && c <= '9'   ? static_cast<uint32_t>(c - '0')
                           : c >= 'a' && c <= 'z' ? static_cast<uint32_t>(c - 'a' + 10)
                           : c >= 'A' && c <= 'Z' ? static_cast<uint32_t>(c - 'A' + 10)
                                                  : 99;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return negative ? 0u - total : total;
}

}  // namespace

// --- ProfileText ---------------------------------------------------------------------------

ProfileText::Line ProfileText::ParseLine(std::string_view raw) {
  Line line;
  std::string_view text = Trim(raw);
  if (text.empty()) return line;
  // The name runs to the last ']', so "[x]y]" names "x]y".
  size_t close = text.rfind(']');
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

ProfileText::ProfileText(std::string_view bytes) {
  std::string decoded;
  std::string_view all = bytes;
  if (bytes.starts_with(kByteOrderMark)) {
    encoding_ = Encoding::kUtf8Mark;
    all.remove_prefix(kByteOrderMark.size());
  } else if (bytes.starts_with(kLittleEndianMark) || bytes.starts_with(kBigEndianMark)) {
    const bool big = bytes.starts_with(kBigEndianMark);
    encoding_ = big ? Encoding::kUtf16Big : Encoding::kUtf16Little;
    decoded = Utf16ToUtf8(bytes.substr(2), big);
    all = decoded;
  }
  bool lineEndSeen = false;
  size_t pos = 0;
  while (pos < all.size()) {
    // A line ends at LF, at CR LF, or at a CR alone.
    size_t end = all.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = all.size();
    size_t next = end + (all.substr(end, 2) == "\r\n" ? 2 : 1);
    if (!lineEndSeen && end < all.size()) {
      lineEnd_ = std::string(all.substr(end, next - end));
      lineEndSeen = true;
    }
    std::string_view raw = all.substr(pos, end - pos);
    raw_.emplace_back(raw);
    lines_.push_back(ParseLine(raw));
    pos = next;
  }
}

namespace {
std::string FoldedName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return folded;
}
}  // namespace

const std::map<std::string, int, std::less<>>& ProfileText::SectionStarts() const {
  if (!sectionStartsBuilt_) {
    sectionStarts_.clear();
    for (size_t i = 0; i < lines_.size(); ++i)
      if (lines_[i].kind == Line::kSection) sectionStarts_.emplace(FoldedName(lines_[i].name), static_cast<int>(i + 1));
    sectionStartsBuilt_ = true;
  }
  return sectionStarts_;
}

int ProfileText::FindSection(std::string_view section) const {
  // The lines before the first header answer to the empty name, and shadow any "[]".
  if (Trim(section).empty()) return 0;
  // emplace kept the first section of each name: the first match wins.
  const auto& starts = SectionStarts();
  const auto found = starts.find(FoldedName(Trim(section)));
  return found == starts.end() ? -1 : found->second;
}

int ProfileText::FindKey(int sectionStart, std::string_view key) const {
  // The profile functions answer the empty key name with the default, whatever "=value" lines hold.
  if (Trim(key).empty()) return -1;
  for (size_t i = static_cast<size_t>(sectionStart); i < lines_.size(); ++i) {
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
    if (line.kind == Line::kSection && !line.name.empty()) names.push_back(line.name);
  return names;
}

bool ProfileText::IsListed(const Line& line) { return line.kind == Line::kKey && !line.name.starts_with(';'); }

std::vector<std::string> ProfileText::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  int s = FindSection(section);
  for (size_t i = static_cast<size_t>(s); s >= 0 && i < lines_.size() && lines_[i].kind != Line::kSection; ++i)
    if (IsListed(lines_[i]) && lines_[i].hasEquals) names.push_back(lines_[i].name);
  return names;
}

std::string ProfileText::SectionListing(std::string_view section) const {
  std::string list;
  int s = FindSection(section);
  for (size_t i = static_cast<size_t>(s); s >= 0 && i < lines_.size() && lines_[i].kind != Line::kSection; ++i) {
    const Line& line = lines_[i];
    if (!IsListed(line)) continue;
    list += line.name;
    if (line.hasEquals) list += "=" + line.rawValue;
    list += '\0';
  }
  return list;
}

void ProfileText::Replace(size_t index, std::string raw) {
  lines_[index] = ParseLine(raw);
  sectionStartsBuilt_ = false;
  raw_[index] = std::move(raw);
}

void ProfileText::Insert(size_t index, std::string raw) {
  lines_.insert(lines_.begin() + static_cast<long>(index), ParseLine(raw));
  sectionStartsBuilt_ = false;
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
    size_t insert = static_cast<size_t>(s);
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
  sectionStartsBuilt_ = false;
  raw_.erase(raw_.begin() + k);
  return true;
}

std::string ProfileText::Bytes() const {
  std::string text;
  for (const std::string& line : raw_) {
    text += line;
    text += lineEnd_;
  }
  switch (encoding_) {
    case Encoding::kPlain:
      return text;
    case Encoding::kUtf8Mark:
      return std::string(kByteOrderMark) + text;
    case Encoding::kUtf16Little:
      return std::string(kLittleEndianMark) + Utf8ToUtf16(text, false);
    case Encoding::kUtf16Big:
      return std::string(kBigEndianMark) + Utf8ToUtf16(text, true);
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
bool Store(const std::string& real, const ProfileText& text, FileAccess access) {
  // A read-only file is not written, whoever runs the game (as the read-only attribute works).
  struct stat st;
  bool ok = !(::stat(real.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0);
  if (ok) {
    const std::string bytes = text.Bytes();
    ok = WriteWholeFile(real, bytes.data(), bytes.size(), access);
  }
  g_cache.erase(real);
  return ok;
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                              std::string_view path) {
  std::string value;
  if (Lookup(section, key, path, value)) return value;
  return Unquote(TrimDefault(defaultValue));
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
  if (!Lookup(section, key, path, value) || value.empty()) return defaultValue;
  return static_cast<int>(ParseProfileNumber(value));
}

bool WriteProfileStrings(std::span<const ProfileEntry> entries, std::string_view path, FileAccess access) {
  std::lock_guard<std::mutex> lock(g_cacheMutex);
  const std::string real = ResolvePath(path);
  ProfileText text = Load(real).text;
  for (const ProfileEntry& entry : entries) text.Set(entry.section, entry.key, entry.value);
  return Store(real, text, access);
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
  return Store(real, text, FileAccess::kAsBefore);
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
  // A list that would fill the buffer to its last character is answered as one that does not
  // fit (size - 2), as the profile functions answer it; the bytes copied are the same.
  if (list.size() + 2 <= size) {
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
