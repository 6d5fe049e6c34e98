// lunetta-holidaygen [first last]: prints holiday.dat for the years first..last to standard
// output; without years, from 2020 on as many years as the reader takes in.
// lunetta-holidaygen --list first last: prints every day off of those years with its names, one a
// line, for comparing the holiday engine with other references.
#include <charconv>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "calendar/japanese_holidays.h"
#include "holidaygen/holiday_file.h"

namespace {

bool ParseYear(std::string_view text, std::chrono::year& result) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < -32767 || value > 32767) {
    return false;
  }
  result = std::chrono::year{value};
  return lunetta::IsHolidayYear(result);
}

}  // namespace

int main(int argc, char** argv) {
  const bool list = argc == 4 && std::string_view(argv[1]) == "--list";
  std::chrono::year first{};
  std::chrono::year last{};
  if (argc != 1 && (argc != 3 + list || !ParseYear(argv[1 + list], first) ||
                    !ParseYear(argv[2 + list], last) || first > last)) {
    std::cerr << "usage: lunetta-holidaygen [--list] [first last]  (years "
              << lunetta::kFirstJapaneseHolidayYear << ".." << lunetta::kLastJapaneseHolidayYear
              << ", first <= last; --list needs them)\n";
    return 2;
  }
  try {
    if (list) {
      std::cout << lunetta::FormatHolidayList(first, last);
    } else if (argc == 1) {
      std::cout << lunetta::FormatHolidayFileFrom(lunetta::kFirstShippedYear);
    } else {
      std::cout << lunetta::FormatHolidayFile(first, last);
    }
    std::cout << std::flush;
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
