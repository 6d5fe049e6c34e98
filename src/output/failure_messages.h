#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "calendar/special_days.h"
#include "picture/failure.h"

namespace lunetta {

/// Why something failed, in the words of the desktop program: a Japanese sentence naming the file
/// where there is one.
QString FailureMessage(const Failure& failure);

/// The reason alone, without the file.
QString FailureReason(const Failure& failure);

/// One line for the main window's notice: the photograph `failure.file` is not in the picture, and
/// why.
QString PhotoNotice(const Failure& failure);

/// One line for the main window's notice: a calendar file cannot be read, or leaves something out.
QString CalendarNotice(const Failure& failure);

/// One line for the main window's notice about the holidays of `year`, which come from `source`:
/// the holiday file `file` could not be read (`failure`, other than NotFound), the equinox days are
/// predicted, or the calendar shows no holidays; empty when there is nothing to say.
QString HolidayNotice(int year, HolidaySource source, const std::filesystem::path& file,
                      const std::optional<Failure>& failure);

}  // namespace lunetta
