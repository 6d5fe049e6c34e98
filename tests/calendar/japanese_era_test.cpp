#include "calendar/japanese_era.h"

#include <gtest/gtest.h>

#include <string>

namespace lunetta {
namespace {

struct EraCase {
  int year, month;
  EraTitle style;
  FirstEraYear first;
  std::string title;
};

void PrintTo(const EraCase& c, std::ostream* out) {
  *out << c.year << '-' << c.month;
}

class JapaneseEraTitleTest : public testing::TestWithParam<EraCase> {};

TEST_P(JapaneseEraTitleTest, NamesTheMonthsEraYear) {
  const EraCase& c = GetParam();
  EXPECT_EQ(JapaneseEraTitle(c.year, c.month, c.style, c.first), c.title);
}

constexpr auto kEra = EraTitle::EraOnly;
constexpr auto kGannen = FirstEraYear::Gannen;

INSTANTIATE_TEST_SUITE_P(
    Months, JapaneseEraTitleTest,
    testing::Values(EraCase{2026, 12, kEra, kGannen, "令和8年 12月"},
                    EraCase{2026, 12, EraTitle::GregorianFirst, kGannen, "2026年（令和8年）12月"},
                    EraCase{2019, 5, kEra, kGannen, "令和元年 5月"},
                    EraCase{2019, 5, kEra, FirstEraYear::Numeral, "令和1年 5月"},
                    EraCase{2019, 4, kEra, kGannen, "平成31年 4月"},
                    EraCase{1989, 1, kEra, kGannen, "昭和64年・平成元年 1月"},
                    EraCase{1970, 1, kEra, kGannen, "昭和45年 1月"},
                    EraCase{1912, 7, kEra, kGannen, "明治45年・大正元年 7月"},
                    EraCase{1873, 1, kEra, kGannen, "明治6年 1月"},
                    EraCase{1872, 12, kEra, kGannen, ""}, EraCase{2026, 13, kEra, kGannen, ""}));

TEST(JapaneseEraYear, BeginsOnTheErasFirstDay) {
  using namespace std::chrono;
  EXPECT_EQ(FormatEraYear(*JapaneseEraYear(1989y / January / 7)), "昭和64年");
  EXPECT_EQ(FormatEraYear(*JapaneseEraYear(1989y / January / 8)), "平成元年");
  EXPECT_FALSE(JapaneseEraYear(2019y / February / 30));
}

}  // namespace
}  // namespace lunetta
