// lunetta-holidaygen [first last]: prints holiday.dat for the years first..last to standard
// output; without years, from 2020 on as many years as the reader takes in.
#include <charconv>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "holidaygen/holiday_rules.h"

namespace {

bool ParseYear(std::string_view text, std::chrono::year& result) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) {
    return false;
  }
  result = std::chrono::year{value};
  return result >= lunetta::kFirstHolidayYear && result <= lunetta::kLastHolidayYear;
}

}  // namespace

int main(int argc, char** argv) {
  std::chrono::year first{};
  std::chrono::year last{};
  if (argc != 1 &&
      (argc != 3 || !ParseYear(argv[1], first) || !ParseYear(argv[2], last) || first > last)) {
    std::cerr << "usage: lunetta-holidaygen [first last]  (years "
              << static_cast<int>(lunetta::kFirstHolidayYear) << ".."
              << static_cast<int>(lunetta::kLastHolidayYear) << ", first <= last)\n";
    return 2;
  }
  try {
    std::cout << (argc == 1 ? lunetta::FormatHolidayFileFrom(lunetta::kFirstHolidayYear)
                            : lunetta::FormatHolidayFile(first, last))
              << std::flush;
  } catch (const std::exception& e) {
    std::cerr << "lunetta-holidaygen: " << e.what() << '\n';
    return 1;
  }
  if (!std::cout) {
    std::cerr << "lunetta-holidaygen: cannot write to standard output\n";
    return 1;
  }
  return 0;
}
