#include "wallpaper/monthly_refresh.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "picture/load_picture_file.h"
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

class MonthlyRefreshTest : public testing::Test {
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

TEST_F(MonthlyRefreshTest, InstallsUnitsSystemdAcceptsAndAnEntryThatRunsTheCommand) {
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

  // A program systemd will not start by its name (a quote, a backslash), names that need
  // quoting, escaping and the doubling of "%" and "$".
  StandInPrograms odd(QStringLiteral("写真 100% \"引用\" $HOME `x` \\"));
  odd.Add("lunetta-compose");
  const RenewalCommand command{FilePath(odd.path("lunetta-compose")),
                               FilePath(odd.path("holiday.dat")),
                               "/photos/海 100%.jpg",
                               {}};
  ASSERT_TRUE(Succeeded(InstallMonthlyRefresh(command, environment_)));
  verify();
  EXPECT_EQ(systemctl_.Calls(),
            (QList<QStringList>{{"systemctl", "--user", "daemon-reload"},
                                {"systemctl", "--user", "start", "lunetta-wallpaper.timer"}}));

  // Installed again over the first; GLib launches the autostart entry with the command's words.
  // (GLib looks for a program whose name has a "%" without undoubling it, hence another folder.)
  StandInPrograms plain(QStringLiteral("写真 $HOME `x`"));
  plain.Add("lunetta-compose");
  const RenewalCommand second{FilePath(plain.path("lunetta-compose")),
                              {},
                              "/photos/line\nbreak 100% $x \"q\" \\.jpg",
                              "/home/u/it's.INI"};
  ASSERT_TRUE(Succeeded(InstallMonthlyRefresh(second, environment_)));
  verify();
  ASSERT_EQ(RunProgram("gio", {"launch", QtPath(files.autostart)}, tools).first, 0);
  for (QDeadlineTimer launched(10000); plain.Calls().isEmpty() && !launched.hasExpired();) {
    QThread::msleep(20);
  }
  EXPECT_EQ(plain.Calls(), (QList<QStringList>{{"lunetta-compose", "--set-wallpaper", "--photo",
                                                "/photos/line\nbreak 100% $x \"q\" \\.jpg",
                                                "--settings", "/home/u/it's.INI"}}));

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

TEST_F(MonthlyRefreshTest, AProgramThatIsNotThereIsRefusedAndNothingIsWritten) {
  const RenewalCommand command{FilePath(home_.filePath("lunetta-compose")), {}, {}, {}};
  const Status installed = InstallMonthlyRefresh(command, environment_);
  ASSERT_FALSE(installed.ok());
  EXPECT_EQ(installed.failure(), Failure(Fault::ToolNotFound, command.composeProgram));
  EXPECT_FALSE(QFileInfo::exists(home_.filePath("config")));
  EXPECT_TRUE(systemctl_.Calls().isEmpty());
}

}  // namespace
}  // namespace lunetta
