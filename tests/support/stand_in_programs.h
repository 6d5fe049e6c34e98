#pragma once

// Stand-ins for the desktops' programs this machine lacks: each records its arguments, then does
// what the test asks of it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace lunetta::test_support {

class StandInPrograms {
 public:
  /// The programs go into `subfolder` of a fresh temporary folder (made when not empty).
  explicit StandInPrograms(const QString& subfolder = {})
      : folder_(subfolder.isEmpty() ? root_.path() : root_.filePath(subfolder)),
        log_(root_.filePath("calls.log")) {
    QDir().mkpath(folder_);
  }

  /// Adds `name`: it appends its call to the log (the name, then each argument after U+001F, each
  /// call ended by U+001E: arguments may hold line breaks), then runs the shell commands `then`.
  void Add(const QString& name, const QString& then = {}) const {
    QFile script(QDir(folder_).filePath(name));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n"
                                "{ printf '%s' '%1'; for a in \"$@\"; do printf '\\037%s' \"$a\"; "
                                "done; printf '\\036'; } >> '%2'\n%3\n")
                     .arg(name, log_, then)
                     .toUtf8());
    script.close();
    ASSERT_TRUE(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
  }

  const QString& folder() const { return folder_; }
  QString path(const QString& name) const { return QDir(folder_).filePath(name); }

  /// Every call so far, in order: the program's name followed by its arguments.
  QList<QStringList> Calls() const {
    QFile file(log_);
    QList<QStringList> calls;
    if (!file.open(QIODevice::ReadOnly)) {
      return calls;
    }
    for (const QString& line :
         QString::fromUtf8(file.readAll()).split(QChar(0x1E), Qt::SkipEmptyParts)) {
      calls << line.split(QChar(0x1F));
    }
    return calls;
  }
  void ForgetCalls() const { QFile::remove(log_); }

 private:
  QTemporaryDir root_;
  QString folder_;
  QString log_;
};

}  // namespace lunetta::test_support
