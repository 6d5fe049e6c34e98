#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calendar/holiday_table.h"
#include "platform/c_runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data),
                              std::min(size, lunetta::HolidayTable::kMaxFileBytes));
  // The year of the first line, so that matching lines are found often.
  const int year = lunetta::Atoi(text.substr(0, std::min<std::size_t>(text.size(), 4)));
  lunetta::HolidayTable table;
  table.loadText(text, year);
  for (int month = 0; month <= 13; ++month) {
    const auto days = table.daysInMonth(month);
    if (days.size() > 20 || ((month < 1 || month > 12) && !days.empty())) {
      std::abort();
    }
  }
  return 0;
}
