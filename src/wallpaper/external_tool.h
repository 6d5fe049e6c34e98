#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "picture/failure.h"

namespace lunetta {

/// The program `name` as found on the PATH of `environment`; empty when it is not there.
QString FindProgram(const QString& name, const QProcessEnvironment& environment);

/// Runs a desktop's program found on the PATH of `environment`, with `arguments` as a list (no
/// shell), in that environment, until `deadline`. Its standard output on success; ToolNotFound,
/// ToolTimedOut (the program is killed with every process it started) or ToolFailed (with the first
/// line it wrote to standard error, or its exit status) naming the program otherwise.
Result<QByteArray> RunTool(const QString& name, const QStringList& arguments,
                           const QProcessEnvironment& environment, QDeadlineTimer deadline);

}  // namespace lunetta
