#pragma once

#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace lunetta {

/// The holidays of one year, read from "holiday.dat".
class HolidayTable {
 public:
  static constexpr std::size_t kMaxFileBytes = 5120;
  static constexpr std::size_t kEntryChars = 100;  // 20 entries of 5 characters

  /// Reads "holiday.dat" in `directory` for `year`. A file that cannot be opened or read, or that
  /// is not a regular file, leaves the table as it was; the error only informs.
  std::error_code load(const std::filesystem::path& directory, int year);

  /// Reads the holiday file `file` (of any name) for `year`, as load does.
  std::error_code loadFile(const std::filesystem::path& file, int year);

  /// Applies the text of a holiday file (already cut at 5120 bytes) for `year`.
  void loadText(std::string_view text, int year);

  /// Day numbers of the entries for `month`, in file order (at most 20).
  std::vector<int> daysInMonth(int month) const;

  const std::array<char, kEntryChars>& holidays() const { return holidays_; }

  /// True when the last text applied had a line for its year, even one without entries; false
  /// until the first successful read.
  bool listsYear() const { return listsYear_; }

 private:
  std::array<char, kEntryChars> holidays_{};
  bool listsYear_ = false;
};

}  // namespace lunetta
