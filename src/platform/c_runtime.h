#pragma once

#include <climits>
#include <cstdint>
#include <string_view>

// The C runtime's and the platform's integer arithmetic that stored files and dialog geometry rely
// on. Standard library only, so the core may use it too.

namespace lunetta {

/// The C library's atoi on exactly these characters: white space, an optional sign, then decimal
/// digits up to the first other character; no digits gives 0. Saturates instead of overflowing.
constexpr int Atoi(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate towards the sign so that INT_MIN is reachable.
  int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (negative) {
      value = value < (INT_MIN + digit) / 10 ? INT_MIN : value * 10 - digit;
    } else {
      value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
  }
  return value;
}

/// a × b / c with a 64-bit intermediate, rounded to the nearest integer, halves away from zero.
/// Defined for every input, as the platform function is: a divisor of 0, or a result outside
/// -INT_MAX..INT_MAX, gives -1. So the result can always be negated.
constexpr int MulDiv(int a, int b, int c) {
  if (c == 0) {
    return -1;
  }
  // |a × b| ≤ 2^62 and |c| ≤ 2^31: no step below leaves the 64-bit range.
  const std::int64_t product = std::int64_t{a} * b;
  const std::int64_t divisor = c;
  const bool negative = (product < 0) != (divisor < 0);
  const std::int64_t productMagnitude = product < 0 ? -product : product;
  const std::int64_t divisorMagnitude = divisor < 0 ? -divisor : divisor;
  const std::int64_t magnitude = (productMagnitude + divisorMagnitude / 2) / divisorMagnitude;
  if (magnitude > INT_MAX) {
    return -1;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace lunetta
