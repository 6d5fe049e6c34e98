#include "wallpaper/external_tool.h"

#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <QStandardPaths>

#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

// Enough of what a program says to tell the user why it failed; the rest is noise.
constexpr qsizetype kMaxReasonChars = 300;

QString FirstLine(const QByteArray& text) {
  for (const QByteArray& line : text.split('\n')) {
    const QString trimmed = QString::fromUtf8(line).trimmed();
    if (!trimmed.isEmpty()) {
      return trimmed.left(kMaxReasonChars);
    }
  }
  return {};
}

}  // namespace

QString FindProgram(const QString& name, const QProcessEnvironment& environment) {
  const QStringList folders =
      environment.value(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts);
  return folders.isEmpty() ? QString() : QStandardPaths::findExecutable(name, folders);
}

Result<QByteArray> RunTool(const QString& name, const QStringList& arguments,
                           const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  const std::filesystem::path named = FilePath(name);
  const QString program = FindProgram(name, environment);
  if (program.isEmpty()) {
    return Failure(Fault::ToolNotFound, named);
  }
  if (deadline.hasExpired()) {
    return Failure(Fault::ToolTimedOut, named);
  }
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setProcessEnvironment(environment);
  process.setStandardInputFile(QProcess::nullDevice());
  // A group of its own, so that a program that does not finish in time goes with everything it
  // started.
  process.setChildProcessModifier([] { ::setpgid(0, 0); });
  process.start();
  // Starting either works or fails at once; the deadline is for the program's work.
  if (!process.waitForStarted()) {
    return Failure(Fault::ToolFailed, named, {}, process.errorString());
  }
  if (!process.waitForFinished(static_cast<int>(deadline.remainingTime()))) {
    ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
    process.kill();
    process.waitForFinished();
    return Failure(Fault::ToolTimedOut, named);
  }
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    QString reason = FirstLine(process.readAllStandardError());
    if (reason.isEmpty()) {
      reason = process.exitStatus() == QProcess::NormalExit
                   ? QStringLiteral("exit status %1").arg(process.exitCode())
                   : process.errorString();
    }
    return Failure(Fault::ToolFailed, named, {}, reason);
  }
  return process.readAllStandardOutput();
}

}  // namespace lunetta
