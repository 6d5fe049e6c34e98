#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// holiday.dat from the holiday engine of the core.

namespace lunetta {

/// The first year of the shipped file: the Emperor's Birthday has been 23 February since 2020.
inline constexpr std::chrono::year kFirstShippedYear{2020};

/// The holiday table keeps at most this many entries of a year, and reads at most this many bytes
/// of the file.
inline constexpr std::size_t kMaxHolidaysPerLine = 20;
inline constexpr std::size_t kMaxHolidayFileBytes = 5120;

/// True for the years the holiday engine computes.
bool IsHolidayYear(std::chrono::year year);

/// The days of `year` that its holiday.dat line lists: every day off, except in a year with more
/// than kMaxHolidaysPerLine of them (2024, 2052, 2080), where the holidays that fall on a Sunday
/// are left out; the calendar draws Sundays red anyway. Throws std::out_of_range for a year
/// IsHolidayYear refuses.
std::vector<std::chrono::year_month_day> ListedHolidays(std::chrono::year year);

/// One holiday.dat line without its line end, e.g. "2026,0101,0112,0211". Throws
/// std::length_error for more than kMaxHolidaysPerLine days, std::invalid_argument for a day that
/// is not a valid date of `year` or does not follow its predecessor.
std::string FormatHolidayLine(std::chrono::year year,
                              const std::vector<std::chrono::year_month_day>& days);

/// The lines of ListedHolidays for the years `first`..`last`, each ending in a line feed. Throws
/// std::length_error when the text would exceed kMaxHolidayFileBytes (the reader would silently
/// drop the years behind), std::invalid_argument when `first` is after `last`, and as
/// ListedHolidays does.
std::string FormatHolidayFile(std::chrono::year first, std::chrono::year last);

/// The lines of the years from `first` on, as many as fit in kMaxHolidayFileBytes. Throws as
/// FormatHolidayFile does.
std::string FormatHolidayFileFrom(std::chrono::year first);

/// Every day off of the years `first`..`last`, one a line: "2026-01-01 元日 New Year's Day",
/// for comparing the engine with other references. Throws as FormatHolidayFile does.
std::string FormatHolidayList(std::chrono::year first, std::chrono::year last);

}  // namespace lunetta
