#include "platform/Numbers.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

int Saturate(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

int TextToInt(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  int64_t value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    // Beyond the int range every further digit changes nothing: stop growing there.
    if (value <= int64_t{INT_MAX} + 1) value = value * 10 + (text[at] - '0');
  }
  return Saturate(negative ? -value : value);
}

int TextToIntIn(std::string_view text, int low, int high) {
  const int value = TextToInt(text);
  return value < low ? low : value > high ? high : value;
}

double TextToReal(std::string_view text) {
  const std::string copy(text);  // strtod needs a terminated text
  const double value = std::strtod(copy.c_str(), nullptr);
  return std::isfinite(value) ? value : 0.0;
}

int RealToInt(double value, int low, int high) {
  if (std::isnan(value) || value <= low) return low;
  if (value >= high) return high;
  return static_cast<int>(value);
}

int SaturatingAdd(int a, int b) { return Saturate(int64_t{a} + b); }

int SaturatingMultiply(int a, int b) { return Saturate(int64_t{a} * b); }

}  // namespace platform
