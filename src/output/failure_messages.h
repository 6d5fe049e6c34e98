#pragma once

#include <QString>
#include <filesystem>
#include <optional>

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

/// One line for the main window's notice: the calendar of `year` shows no holidays of its own,
/// because no holiday file was found or read (`failure`), or because `file` has no line for it.
QString HolidayNotice(int year, const std::filesystem::path& file,
                      const std::optional<Failure>& failure);

}  // namespace lunetta
