#include "platform/Text.h"

#include <cctype>
#include <cstdlib>

#include "platform/Numbers.h"

namespace platform {

namespace {
// The C library's tolower in the "C" locale the program runs in: only A-Z fold. Inline, as
// the settings reader compares names with it thousands of times at start-up.
constexpr unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::vector<std::string> SplitTokens(std::string_view text, std::string_view separators) {
  std::vector<std::string> tokens;
  size_t at = 0;
  while (at < text.size()) {
    size_t start = text.find_first_not_of(separators, at);
    if (start == std::string_view::npos) break;
    size_t end = text.find_first_of(separators, start);
    if (end == std::string_view::npos) end = text.size();
    tokens.emplace_back(text.substr(start, end - start));
    at = end;
  }
  return tokens;
}

std::vector<int> NumberList(std::string_view text) {
  std::vector<int> numbers;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view item = text.substr(start, comma - start);
    numbers.push_back(TextToInt(item.substr(0, item.find('='))));
    start = comma + 1;
  }
  return numbers;
}

}  // namespace platform
