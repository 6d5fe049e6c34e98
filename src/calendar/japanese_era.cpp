#include "calendar/japanese_era.h"

#include <algorithm>

namespace lunetta {

using namespace std::chrono;

std::optional<EraYear> JapaneseEraYear(year_month_day date) {
  if (!date.ok() || date < kFirstEraDate) {
    return std::nullopt;
  }
  const auto next = std::find_if(JapaneseEras.begin(), JapaneseEras.end(),
                                 [date](const JapaneseEra& e) { return e.start > date; });
  const JapaneseEra& era = *std::prev(next);
  return EraYear{&era, static_cast<int>(date.year()) - static_cast<int>(era.start.year()) + 1};
}

std::vector<EraYear> JapaneseEraYearsOfMonth(int y, int m) {
  // std::chrono::year holds no more than 32767.
  if (m < 1 || m > 12 || y < 1 || y > 9999) {
    return {};
  }
  const year_month ym{year{y}, month{static_cast<unsigned>(m)}};
  std::vector<EraYear> result;
  if (const auto first = JapaneseEraYear(ym / 1)) {
    result.push_back(*first);
  }
  if (const auto end = JapaneseEraYear(ym / std::chrono::last);
      end && !result.empty() && *end != result[0]) {
    result.push_back(*end);
  }
  return result;
}

std::string FormatEraYear(const EraYear& eraYear, FirstEraYear first) {
  if (eraYear.era == nullptr) {
    return {};
  }
  std::string text(eraYear.era->name);
  text += eraYear.year == 1 && first == FirstEraYear::Gannen ? "元" : std::to_string(eraYear.year);
  return text + "年";
}

std::string JapaneseEraTitle(int y, int m, EraTitle style, FirstEraYear first) {
  const std::vector<EraYear> eras = JapaneseEraYearsOfMonth(y, m);
  if (eras.empty()) {
    return {};
  }
  std::string era;
  for (const EraYear& e : eras) {
    era += (era.empty() ? "" : "・") + FormatEraYear(e, first);
  }
  const std::string monthText = std::to_string(m) + "月";
  if (style == EraTitle::GregorianFirst) {
    return std::to_string(y) + "年（" + era + "）" + monthText;
  }
  return era + " " + monthText;
}

}  // namespace lunetta
