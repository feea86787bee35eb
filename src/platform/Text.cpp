#include "platform/Text.h"

#include <cctype>

namespace platform {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
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

}  // namespace platform
