#include "platform/IrcLine.h"

#include <cctype>

namespace platform {

namespace {

void SkipBlanks(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
}

std::string_view NextWord(std::string_view& rest) {
  const size_t end = rest.find(' ');
  const std::string_view word = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  SkipBlanks(rest);
  return word;
}

}  // namespace

bool ParseIrcLine(std::string_view line, IrcMessage& out) {
  out = IrcMessage{};
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  std::string_view rest = line;
  SkipBlanks(rest);
  if (!rest.empty() && rest.front() == ':') {
    rest.remove_prefix(1);
    out.prefix = std::string(NextWord(rest));
  }
  const std::string_view command = NextWord(rest);
  if (command.empty()) return false;
  for (char c : command) out.command.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  while (!rest.empty()) {
    if (rest.front() == ':' || out.params.size() + 1 == kIrcMaxParams) {
      if (rest.front() == ':') rest.remove_prefix(1);
      out.params.emplace_back(rest);
      break;
    }
    out.params.emplace_back(NextWord(rest));
  }
  return true;
}

std::string IrcPrefixNick(std::string_view prefix) { return std::string(prefix.substr(0, prefix.find('!'))); }

bool IrcSameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string DropControlCharacters(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte != 127) out.push_back(c);
  }
  return out;
}

std::string CutUtf8(std::string_view text, size_t max) {
  if (text.size() <= max) return std::string(text);
  size_t end = max;
  // Back off over continuation bytes so that no character is split.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

bool IrcWordOk(std::string_view word) {
  if (word.empty() || word.front() == ':') return false;
  for (char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 32 || byte == 127 || c == ',') return false;
  }
  return true;
}

void IrcLineSplitter::Add(const char* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c == '\n') {
      if (!discarding_) {
        if (!buffer_.empty() && buffer_.back() == '\r') buffer_.pop_back();
        lines_.push_back(std::move(buffer_));
      }
      buffer_.clear();
      discarding_ = false;
      continue;
    }
    if (discarding_) continue;
    buffer_.push_back(c);
    if (buffer_.size() > kIrcMaxLineBytes) {
      buffer_.clear();
      discarding_ = true;
    }
  }
}

bool IrcLineSplitter::Next(std::string& line) {
  if (next_ >= lines_.size()) {
    lines_.clear();
    next_ = 0;
    return false;
  }
  line = std::move(lines_[next_++]);
  return true;
}

}  // namespace platform
