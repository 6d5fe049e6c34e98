#pragma once

// The desktops' programs in tests: gsettings read back, and stand-ins for the programs this
// machine lacks, each recording its arguments and then doing what the test asks of it.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

namespace lunetta::test_support {

/// What `gsettings get` prints for the key, run in `environment`.
inline QString GSetting(const char* schema, const char* key,
                        const QProcessEnvironment& environment) {
  QProcess gsettings;
  gsettings.setProcessEnvironment(environment);
  gsettings.start("gsettings", {"get", schema, key});
  EXPECT_TRUE(gsettings.waitForFinished());
  return QString::fromUtf8(gsettings.readAll()).trimmed();
}

/// The file GNOME's picture-uri names.
inline QString GnomeWallpaperFile(const QProcessEnvironment& environment) {
  const QString uri = GSetting("org.gnome.desktop.background", "picture-uri", environment);
  return QUrl(uri.mid(1).chopped(1)).toLocalFile();  // without GVariant's quotes
}

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

  /// Waits up to `milliseconds` until `count` calls are logged whole, and gives every call so far.
  QList<QStringList> WaitForCalls(int count, int milliseconds = 10000) const {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
      QFile file(log_);
      const QByteArray log = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
      // A call is whole once its end mark is written.
      if ((log.count('\x1E') >= count && log.endsWith('\x1E')) || waited.elapsed() > milliseconds) {
        return Calls();
      }
      QThread::msleep(20);
    }
  }

 private:
  QTemporaryDir root_;
  QString folder_;
  QString log_;
};

}  // namespace lunetta::test_support
