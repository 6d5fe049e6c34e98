#include "calendar/holiday_table.h"

#include <algorithm>
#include <string>

#include "platform/c_runtime.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

constexpr std::size_t kYearChars = 4;
constexpr std::size_t kEntriesStart = 5;  // year and one separator
constexpr std::size_t kEntryWidth = 5;    // MMDD and one separator

}  // namespace

std::error_code HolidayTable::load(const std::filesystem::path& directory, int year) {
  return loadFile(directory / "holiday.dat", year);
}

std::error_code HolidayTable::loadFile(const std::filesystem::path& path, int year) {
  // Read-only and non-blocking: a read-only file must still load, and a FIFO must not hang us.
  std::error_code error;
  const FileBytes file = ReadRegularFile(path, kMaxFileBytes, error);
  if (!error) {
    loadText(file.bytes, year);
  }
  return error;
}

void HolidayTable::loadText(std::string_view text, int year) {
  text = text.substr(0, std::min(text.size(), kMaxFileBytes));
  text = text.substr(0, text.find('\0'));
  holidays_.fill('\0');
  listsYear_ = false;

  const auto processLine = [&](std::string_view line) {
    if (Atoi(line.substr(0, std::min(line.size(), kYearChars))) != year) {
      return;
    }
    listsYear_ = true;
    // A later line for the same year replaces the year's holidays whole: what an earlier, longer
    // line held beyond it would mix stale days with the new ones.
    holidays_.fill('\0');
    if (line.size() <= kEntriesStart) {
      return;
    }
    const std::string_view entries =
        line.substr(kEntriesStart, std::min(line.size() - kEntriesStart, kEntryChars));
    std::copy(entries.begin(), entries.end(), holidays_.begin());
  };

  std::string line;
  for (const char c : text) {
    if (c == '\r') {
      continue;
    }
    if (c == '\n') {
      processLine(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!text.empty()) {
    processLine(line);
  }
}

std::vector<int> HolidayTable::daysInMonth(int month) const {
  std::vector<int> days;
  // Empty slots read as month 0, so only real months may be asked for.
  if (month < 1 || month > 12) {
    return days;
  }
  const std::string_view all(holidays_.data(), holidays_.size());
  for (std::size_t slot = 0; slot < kEntryChars; slot += kEntryWidth) {
    if (Atoi(all.substr(slot, 2)) == month) {
      days.push_back(Atoi(all.substr(slot + 2, 2)));
    }
  }
  return days;
}

}  // namespace lunetta
