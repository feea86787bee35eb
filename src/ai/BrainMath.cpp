// The two numerical tools of experience processing: the inverse of the normal distribution
// function and the inverse of a matrix, both in single precision in a fixed order.
#include <cmath>

#include "ai/Brain.h"

namespace {

constexpr float kSqrtTwo = 1.41421356f;
constexpr float kSqrtTwoPi = 2.50662827f;
constexpr float kSqrtHalfPi = 1.25331414f;
constexpr int kMostNewtonSteps = 100;  // Newton converges in a handful; this only stops a runaway

// exp(z^2) x erfc(|z|) by the rational approximation whose fractional error is below 1.2e-7.
float ScaledErfc(float z) {
  const float t = 1.0f / (1.0f + 0.5f * std::fabs(z));
  const float polynomial =
      -1.26551223f +
      t * (1.00002368f +
           t * (0.37409196f +
                t * (0.09678418f +
                     t * (-0.18628806f +
                          t * (0.27886807f +
                               t * (-1.13520398f + t * (1.48851587f + t * (-0.82215223f + t * 0.17087277f))))))));
  return t * std::exp(polynomial);
}

}  // namespace

float InverseNormal(float p) {
  if (p < 0.000001f) return -5.0f;
  if (p > 0.999999f) return 5.0f;
  if (std::isnan(p)) return 0.0f;
  float x = 0.0f;
  for (int step = 0; step < kMostNewtonSteps; ++step) {
    const float z = x / kSqrtTwo;
    const float tail = kSqrtHalfPi * ScaledErfc(z);
    // (p - Phi(x)) x sqrt(2 pi) x exp(x^2 / 2), with Phi(x) = 1 - erfc(z) / 2 above 0 and
    // erfc(-z) / 2 below.
    const float growth = kSqrtTwoPi * std::exp(z * z);
    const float delta = x >= 0.0f ? (p - 1.0f) * growth + tail : p * growth - tail;
    x = x + delta;
    if (std::fabs(delta) <= 0.01f) break;
  }
  return x;
}

// Sweeps each diagonal element in turn (elimination without row exchanges, in place), which
// leaves minus the inverse; every product is formed alike for (i, j) and (j, i), so a
// symmetric matrix gives an exactly symmetric inverse.
int InvertMatrix(std::vector<std::vector<float>>& a) {
  const size_t n = a.size();
  if (n == 0) return -2;
  for (const std::vector<float>& row : a)
    if (row.size() != n) return -2;
  for (size_t k = 0; k < n; ++k) {
    const float d = a[k][k];
    if (!(d > 0.0f)) return -1;
    for (size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      for (size_t j = 0; j < n; ++j)
        if (j != k) a[i][j] = a[i][j] - a[i][k] * a[k][j] / d;
    }
    for (size_t i = 0; i < n; ++i) {
      if (i == k) continue;
      a[i][k] = a[i][k] / d;
      a[k][i] = a[k][i] / d;
    }
    a[k][k] = -1.0f / d;
  }
  for (std::vector<float>& row : a)
    for (float& value : row) value = -value;
  return 0;
}
