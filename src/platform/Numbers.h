#pragma once
// Numbers read from text files. The game's readers take numbers as the C library's atoi and
// atof read them; these read the same text but never hand on a value the caller cannot hold:
// an integer beyond the int range stops at its end, and a real that is not a finite number
// ("nan", "inf", or beyond the range of double) counts as text that is no number, which atof
// reads as 0. Every later cast or sum then works on a finite value of known size.

#include <climits>
#include <string_view>

namespace platform {

// Leading blanks, an optional sign and decimal digits, as atoi reads them; the rest of the
// text is ignored and no digits give 0. Beyond the int range the result is INT_MIN or INT_MAX.
int TextToInt(std::string_view text);

// TextToInt kept within [low, high]: the one way a reader takes a number that later sums,
// products or indexes must be able to carry. Readers name the range the use can hold.
int TextToIntIn(std::string_view text, int low, int high);

// The real at the start of the text, as atof reads it; 0 for text that is no number and for
// a value that is not finite.
double TextToReal(std::string_view text);

// The real truncated toward zero and kept within [low, high]; NaN gives low.
int RealToInt(double value, int low = INT_MIN, int high = INT_MAX);

// The sum or the product of two ints, stopped at the ends of the int range.
int SaturatingAdd(int a, int b);
int SaturatingMultiply(int a, int b);

}  // namespace platform
