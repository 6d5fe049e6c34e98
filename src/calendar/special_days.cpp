#include "calendar/special_days.h"

#include <algorithm>

#include "calendar/japanese_holidays.h"
#include "calendar/month_model.h"

namespace lunetta {

HolidaySource HolidaySourceFor(int year, bool fileListsYear) {
  if (fileListsYear) {
    return HolidaySource::File;
  }
  if (year < kFirstJapaneseHolidayYear || year > kLastJapaneseHolidayYear) {
    return HolidaySource::None;
  }
  return JapaneseEquinoxesPredicted(year) ? HolidaySource::RulePredicted : HolidaySource::Rule;
}

std::vector<SpecialDay> MonthHolidays(HolidaySource source, const HolidayTable& table, int year,
                                      int month) {
  std::vector<SpecialDay> days;
  if (source == HolidaySource::None || month < 1 || month > 12) {
    return days;
  }
  const std::vector<JapaneseHoliday> rules = JapaneseHolidaysInMonth(year, month);
  const auto add = [&](int day) {
    const auto named = std::find_if(rules.begin(), rules.end(), [&](const JapaneseHoliday& h) {
      return static_cast<unsigned>(h.date.day()) == static_cast<unsigned>(day);
    });
    if (named == rules.end()) {
      AddSpecialDay(days, day, SpecialDayKind::Holiday);
    } else {
      AddSpecialDay(days, day, SpecialDayKind::Holiday, std::string(named->japaneseName),
                    std::string(named->englishName));
    }
  };
  if (source == HolidaySource::File) {
    // The file's entries are neither sorted nor checked: a day the month lacks marks nothing.
    const int length = MonthLength(year, month);
    for (const int day : table.daysInMonth(month)) {
      if (day >= 1 && day <= length) {
        add(day);
      }
    }
  } else {
    for (const JapaneseHoliday& holiday : rules) {
      add(static_cast<int>(static_cast<unsigned>(holiday.date.day())));
    }
  }
  return days;
}

void AddSpecialDay(std::vector<SpecialDay>& days, int day, SpecialDayKind kind,
                   const std::string& name, const std::string& englishName) {
  const auto before = [](const SpecialDay& d, std::pair<int, SpecialDayKind> key) {
    return std::pair(d.day, d.kind) < key;
  };
  auto at = std::lower_bound(days.begin(), days.end(), std::pair(day, kind), before);
  if (at == days.end() || at->day != day || at->kind != kind) {
    at = days.insert(at, SpecialDay{day, kind, {}, {}});
  }
  if (!name.empty() && std::find(at->names.begin(), at->names.end(), name) == at->names.end()) {
    at->names.push_back(name);
    if (!englishName.empty()) {
      at->englishNames.push_back(englishName);
    }
  }
}

std::vector<int> DaysOfKind(const std::vector<SpecialDay>& days, SpecialDayKind kind) {
  std::vector<int> result;
  for (const SpecialDay& d : days) {
    if (d.kind == kind) {
      result.push_back(d.day);
    }
  }
  return result;
}

}  // namespace lunetta
