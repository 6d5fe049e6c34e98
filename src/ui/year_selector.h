#pragma once

#include <QString>
#include <optional>

class QComboBox;

// The main window's year selector: the start year and the two after it, the years the user reached
// since, and a last item that asks for any other year the holidays cover.

namespace lunetta {

/// The years the selector can reach: those whose Japanese holidays the rules give.
inline constexpr int kFirstSelectableYear = 1970;
inline constexpr int kLastSelectableYear = 2199;

/// Fills `selector` with "`startYear` 年" and the two years after it, then the "other year" item.
void FillYearSelector(QComboBox* selector, int startYear);

/// The year of item `index`; nothing for the "other year" item or no item.
std::optional<int> YearAt(const QComboBox* selector, int index);

/// Selects the item of `year`, adding it in year order first when the selector lacks it.
void SelectYear(QComboBox* selector, int year);

/// The year typed text names ("2080", "2080 年", "２０８０年"), when the selector can reach it.
std::optional<int> TypedYear(const QString& text);

}  // namespace lunetta
