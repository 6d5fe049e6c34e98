#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Japanese era years (和暦): 令和8年 for 2026.

namespace lunetta {

struct JapaneseEra {
  std::string_view name;    // UTF-8, e.g. "令和"
  std::string_view romaji;  // e.g. "Reiwa"
  std::chrono::year_month_day start;
};

inline constexpr std::array<JapaneseEra, 5> JapaneseEras = {{
    {"明治", "Meiji", std::chrono::year{1868} / 10 / 23},
    {"大正", "Taisho", std::chrono::year{1912} / 7 / 30},
    {"昭和", "Showa", std::chrono::year{1926} / 12 / 25},
    {"平成", "Heisei", std::chrono::year{1989} / 1 / 8},
    {"令和", "Reiwa", std::chrono::year{2019} / 5 / 1},
}};

/// Japan counts its era years by the Gregorian calendar from 1 January 1873 (明治6年); before, the
/// years followed the lunisolar calendar, which this table does not convert.
inline constexpr std::chrono::year_month_day kFirstEraDate = std::chrono::year{1873} / 1 / 1;

struct EraYear {
  const JapaneseEra* era = nullptr;
  int year = 0;  // 1 is the era's first year (元年)

  friend bool operator==(const EraYear&, const EraYear&) = default;
};

/// The era and its year on `date`; nothing before kFirstEraDate or for an invalid date.
std::optional<EraYear> JapaneseEraYear(std::chrono::year_month_day date);

/// The era years of a month: one, or two for a month in which an era begins after its first day
/// (January 1989: 昭和64年 and 平成元年); empty before kFirstEraDate or for a month outside 1..12.
std::vector<EraYear> JapaneseEraYearsOfMonth(int year, int month);

/// How the first year of an era is written.
enum class FirstEraYear {
  Numeral,  // 平成1年
  Gannen,   // 平成元年
};

/// "令和8年", or "令和元年" for a first year written as Gannen. Empty without an era.
std::string FormatEraYear(const EraYear& eraYear, FirstEraYear first = FirstEraYear::Gannen);

enum class EraTitle {
  EraOnly,         // 令和8年 12月
  GregorianFirst,  // 2026年（令和8年）12月
};

/// A month's title in era years, UTF-8. A month with two eras names both, joined by "・"
/// (昭和64年・平成元年 1月). Empty where JapaneseEraYearsOfMonth is.
std::string JapaneseEraTitle(int year, int month, EraTitle style,
                             FirstEraYear first = FirstEraYear::Gannen);

}  // namespace lunetta
