#include "wallpaper/monthly_refresh.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "support/picture_printers.h"
#include "support/stand_in_programs.h"

namespace lunetta {
namespace {

using test_support::StandInPrograms;

// Exit status and everything said.
std::pair<int, QString> RunProgram(const QString& program, const QStringList& arguments,
                                   const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished()) << program.toStdString();
  return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

class MonthlyRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    systemctl_.Add("systemctl");
    environment_.insert("XDG_CONFIG_HOME", home_.filePath("config"));
    environment_.insert("PATH", systemctl_.folder());
  }

  QTemporaryDir home_;
  StandInPrograms systemctl_;
  QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

TEST_F(MonthlyRefreshTest, InstallsWhatTheSystemRuns) {
  const RenewalFiles files = RenewalFilesIn(environment_);
  QTemporaryDir runtime;  // systemd-analyze --user wants a runtime folder
  QProcessEnvironment tools = QProcessEnvironment::systemEnvironment();
  tools.insert("XDG_RUNTIME_DIR", runtime.path());
  const auto verify = [&] {
    const auto [verified, verifyOutput] = RunProgram(
        "systemd-analyze", {"verify", "--user", QtPath(files.timer), QtPath(files.service)}, tools);
    EXPECT_EQ(verified, 0) << verifyOutput.toStdString();
    const auto [valid, validateOutput] =
        RunProgram("desktop-file-validate", {QtPath(files.autostart)}, tools);
    EXPECT_EQ(valid, 0) << validateOutput.toStdString();
    EXPECT_EQ(std::filesystem::read_symlink(files.timerLink), files.timer);
  };

  // A program systemd will not start by its name (a quote, a backslash), one GLib would not find
  // by its name ("%"), names that need quoting, escaping and the doubling of "%" and "$".
  StandInPrograms odd(QStringLiteral("写真 100% \"引用\" $HOME `x` \\"));
  odd.Add("lunetta-compose");
  const RenewalCommand command{FilePath(odd.path("lunetta-compose")),
                               FilePath(odd.path("holiday 100% $x.dat")), "/home/u/it's.ini"};
  ASSERT_TRUE(Succeeded(InstallMonthlyRefresh(command, environment_)));
  verify();
  EXPECT_EQ(systemctl_.Calls(),
            (QList<QStringList>{{"systemctl", "--user", "daemon-reload"},
                                {"systemctl", "--user", "restart", "lunetta-wallpaper.timer"}}));
  // GLib launches the autostart entry with the command's words.
  ASSERT_EQ(RunProgram("gio", {"launch", QtPath(files.autostart)}, tools).first, 0);
  EXPECT_EQ(odd.WaitForCalls(1), (QList<QStringList>{{"lunetta-compose", "--set-wallpaper",
                                                      "--holidays", odd.path("holiday 100% $x.dat"),
                                                      "--settings", "/home/u/it's.ini"}}));

  // The first of every month just after midnight, or every day at 00:00:30, as systemd reads the
  // schedule; a time missed while off or asleep is made up.
  // The first `count` times, each the `i`th after the first one's date.
  const auto elapses = [&](int count, const std::function<QDateTime(QDate, int)>& expected) {
    const QString timer = QString::fromUtf8(testing::ReadBytes(QtPath(files.timer)));
    EXPECT_TRUE(timer.contains("\nPersistent=true\n"));
    const QString schedule = timer.section("OnCalendar=", 1).section('\n', 0, 0);
    const auto [read, said] =
        RunProgram("systemd-analyze",
                   {"calendar", QStringLiteral("--iterations=%1").arg(count), schedule}, tools);
    QList<QDateTime> times;
    for (const auto& next :
         QRegularExpression("(?:elapse|#\\d+): \\w+ (\\S+ \\S+)").globalMatch(said)) {
      times << QDateTime::fromString(next.captured(1), "yyyy-MM-dd HH:mm:ss");
    }
    ASSERT_EQ(times.size(), count) << read << ": " << said.toStdString();
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(times[i], expected(times[0].date(), i)) << i;
    }
  };
  elapses(13, [](QDate first, int i) {
    return QDateTime(QDate(first.year(), first.month(), 1).addMonths(i), QTime(0, 1));
  });
  RenewalCommand daily = command;
  daily.daily = true;
  ASSERT_TRUE(Succeeded(InstallMonthlyRefresh(daily, environment_)));
  verify();
  elapses(3, [](QDate first, int i) { return QDateTime(first.addDays(i), QTime(0, 0, 30)); });

  systemctl_.ForgetCalls();
  for (int removal = 0; removal < 2; ++removal) {  // the second finds nothing to remove
    ASSERT_TRUE(Succeeded(RemoveMonthlyRefresh(environment_)));
    for (const auto& file : {files.timer, files.service, files.timerLink, files.autostart}) {
      EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(file))) << file;
    }
  }
  EXPECT_EQ(systemctl_.Calls().value(0),
            (QStringList{"systemctl", "--user", "stop", "lunetta-wallpaper.timer"}));
  EXPECT_EQ(systemctl_.Calls().value(1), (QStringList{"systemctl", "--user", "daemon-reload"}));
}

// A real systemd user instance, in a mount namespace of the test's own so that it may believe the
// machine booted with systemd: the service runs the command, and once the program is gone neither
// the service nor the timer does anything.
TEST_F(MonthlyRefreshTest, TheUnitsAreInertOnceTheProgramIsGone) {
  if (!QFileInfo("/lib/systemd/systemd").isExecutable() ||
      QProcess::execute("unshare", {"-m", "true"}) != 0) {
    GTEST_SKIP() << "no systemd, or no mount namespace for a user instance of it";
  }
  StandInPrograms program(QStringLiteral("bin 100% $x"));
  program.Add("lunetta-compose");
  const RenewalCommand command{
      FilePath(program.path("lunetta-compose")), {}, "/home/u/renewal 100%.ini"};
  ASSERT_TRUE(Succeeded(InstallMonthlyRefresh(command, environment_)));

  QTemporaryDir runtime(QDir::rootPath() + "tmp/lunetta-user-XXXXXX");  // short: a socket's path
  QProcessEnvironment manager = QProcessEnvironment::systemEnvironment();
  manager.insert("XDG_RUNTIME_DIR", runtime.path());
  manager.insert("XDG_CONFIG_HOME", home_.filePath("config"));
  manager.insert("PROGRAM", program.path("lunetta-compose"));
  // The instance starts again after the program goes, as at the next login.
  const QString script = R"sh(
    mount -t tmpfs none /run/systemd 2>/dev/null && mkdir /run/systemd/system || exit 77
    start() {
      rm -rf "$XDG_RUNTIME_DIR/systemd"
      /lib/systemd/systemd --user >/dev/null 2>&1 & manager=$!
      i=0; while [ ! -S "$XDG_RUNTIME_DIR/systemd/private" ] && [ $i -lt 100 ]; do
        sleep 0.1; i=$((i + 1)); done
    }
    start
    systemctl --user start lunetta-wallpaper.service || echo "failed with the program"
    kill $manager; wait $manager
    mv "$PROGRAM" "$PROGRAM.gone"
    start
    echo "timer $(systemctl --user is-active lunetta-wallpaper.timer)"
    systemctl --user start lunetta-wallpaper.service || echo "failed without the program"
    kill $manager; wait $manager
    mv "$PROGRAM.gone" "$PROGRAM"
  )sh";
  const auto [status, said] = RunProgram("unshare", {"-m", "sh", "-c", script}, manager);
  if (status == 77) {
    GTEST_SKIP() << "/run/systemd cannot be mounted over";
  }
  EXPECT_EQ(said.trimmed(), "timer inactive");
  EXPECT_EQ(program.Calls(), (QList<QStringList>{{"lunetta-compose", "--set-wallpaper",
                                                  "--settings", "/home/u/renewal 100%.ini"}}));
}

TEST_F(MonthlyRefreshTest, ARefusalWritesNothing) {
  systemctl_.Add("lunetta-compose");
  const struct {
    RenewalCommand command;
    Failure expected;
  } cases[] = {
      {{FilePath(home_.filePath("lunetta-compose")), {}, "/s.ini"},
       Failure(Fault::ToolNotFound, FilePath(home_.filePath("lunetta-compose")))},
      // Neither format holds a name that is not UTF-8 text, nor a line break.
      {{FilePath(systemctl_.path("lunetta-compose")), "/holidays/\x93\xfa.dat", "/s.ini"},
       Failure(Fault::UnstorableName, "/holidays/\x93\xfa.dat")},
      {{FilePath(systemctl_.path("lunetta-compose")), {}, "/line\nbreak.ini"},
       Failure(Fault::UnstorableName, "/line\nbreak.ini")},
  };
  for (const auto& c : cases) {
    const Status installed = InstallMonthlyRefresh(c.command, environment_);
    ASSERT_FALSE(installed.ok()) << c.command.settingsFile;
    EXPECT_EQ(installed.failure(), c.expected);
  }
  EXPECT_FALSE(QFileInfo::exists(home_.filePath("config")));
  EXPECT_TRUE(systemctl_.Calls().isEmpty());
}

}  // namespace
}  // namespace lunetta
