#pragma once
// Text as the game's names and lists are written: names compare without regard to case (as
// Windows compares them), and lists are split at any run of their separator characters, the
// way the game's readers split them.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Equal letter for letter when upper and lower case count as the same (ASCII letters).
bool EqualNoCase(std::string_view a, std::string_view b);

// The tokens of the text, in order: the runs of characters that are not separators. Empty
// tokens are never given (separators at the ends and side by side only separate).
std::vector<std::string> SplitTokens(std::string_view text, std::string_view separators);

// The comma-separated numbers of a configuration value, item by item: each item is cut at
// its first '=' and read as a decimal number (text that is no number, or an empty item,
// gives 0). An empty value gives one 0.
std::vector<int> NumberList(std::string_view text);

}  // namespace platform
