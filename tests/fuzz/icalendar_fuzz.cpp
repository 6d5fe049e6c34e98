#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "icalendar/icalendar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto skip = static_cast<lunetta::SkipInvalidDates>(size % 3);
  std::error_code error;
  const auto calendar =
      lunetta::ICalendar::Parse(text, {lunetta::CalendarFileKind::Days, skip}, error);
  if (!calendar) {
    return 0;
  }
  for (const auto& [year, month] : {std::pair{2026, 2}, std::pair{1970, 1}, std::pair{2199, 12}}) {
    int previous = 0;
    for (const lunetta::MarkedDay& d : calendar->daysInMonth(year, month).days) {
      if (d.day <= previous || d.day > 31 ||
          d.summaries.size() > lunetta::ICalendar::kMaxSummariesPerDay) {
        std::abort();
      }
      previous = d.day;
    }
  }
  return 0;
}
