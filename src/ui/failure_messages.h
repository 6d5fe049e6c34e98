#pragma once

#include <QString>

#include "picture/failure.h"

namespace lunetta {

/// Why something failed, in the words of the desktop program: a Japanese sentence naming the file
/// where there is one.
QString FailureMessage(const Failure& failure);

/// The reason alone, without the file.
QString FailureReason(const Failure& failure);

}  // namespace lunetta
