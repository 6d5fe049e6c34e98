#pragma once

#include <QString>

#include "picture/failure.h"

namespace lunetta {

/// Why something failed, in lunetta-compose's English, without the file.
QString EnglishReason(const Failure& failure);

/// "<what> "<file>": <reason>", or "<what>: <reason>" for a failure that names no file.
QString EnglishMessage(const QString& what, const Failure& failure);

}  // namespace lunetta
