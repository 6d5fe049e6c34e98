#include "platform/c_runtime.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

namespace lunetta {
namespace {

// Rows: text, value. Stored numbers are read by these rules, so every row is a file someone has.
using AtoiCase = std::tuple<std::string, int>;

class AtoiTest : public testing::TestWithParam<AtoiCase> {};

TEST_P(AtoiTest, ReadsLikeTheCLibrary) {
  const auto& [text, value] = GetParam();
  EXPECT_EQ(Atoi(text), value) << testing::PrintToString(text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AtoiTest,
    testing::Values(
        // Every character C's isspace accepts, one at a time, and its neighbours, which stop.
        AtoiCase{" 7", 7}, AtoiCase{"\t7", 7}, AtoiCase{"\n7", 7}, AtoiCase{"\v7", 7},
        AtoiCase{"\f7", 7}, AtoiCase{"\r7", 7}, AtoiCase{" \t\n\v\f\r-7", -7}, AtoiCase{"\b7", 0},
        AtoiCase{"\0167", 0}, AtoiCase{"\2407", 0},  // \016 and \240, then 7
        AtoiCase{"+7", 7}, AtoiCase{"007", 7}, AtoiCase{"12 3", 12}, AtoiCase{"- 7", 0},
        AtoiCase{"+-7", 0}, AtoiCase{"0x1F", 0}, AtoiCase{"", 0}, AtoiCase{"abc", 0},
        // Saturation on both sides, never wrapping to the other end.
        AtoiCase{"2147483647", INT_MAX}, AtoiCase{"2147483648", INT_MAX},
        AtoiCase{"99999999999999999999", INT_MAX}, AtoiCase{"-2147483648", INT_MIN},
        AtoiCase{"-2147483649", INT_MIN}, AtoiCase{"-99999999999999999999", INT_MIN}));

// Rows: a, b, c, a × b / c as the platform gives it.
using MulDivCase = std::tuple<int, int, int, int>;

class MulDivTest : public testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, MatchesTheWindowsFunction) {
  const auto& [a, b, c, result] = GetParam();
  EXPECT_EQ(MulDiv(a, b, c), result) << a << " * " << b << " / " << c;
}

INSTANTIATE_TEST_SUITE_P(
    Operands, MulDivTest,
    testing::Values(MulDivCase{28, 96, 72, 37}, MulDivCase{3, 1, 2, 2}, MulDivCase{-3, 1, 2, -2},
                    MulDivCase{-3, -1, -2, -2}, MulDivCase{5, 1, 3, 2},
                    // A 64-bit intermediate: the product alone would overflow.
                    MulDivCase{INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                    MulDivCase{INT_MIN, 1, 2, INT_MIN / 2},
                    // Undefined as a division: -1, as the platform returns.
                    MulDivCase{5, 3, 0, -1}, MulDivCase{INT_MAX, 2, 1, -1},
                    MulDivCase{1610612736, 96, 72, -1}, MulDivCase{INT_MIN, -1, 1, -1},
                    // INT_MIN itself is out too, so a result can always be negated.
                    MulDivCase{INT_MIN, 1, 1, -1}));

}  // namespace
}  // namespace lunetta
