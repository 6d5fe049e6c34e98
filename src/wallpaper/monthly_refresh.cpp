#include "wallpaper/monthly_refresh.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "picture/load_picture_file.h"
#include "platform/file_io.h"
#include "wallpaper/external_tool.h"

namespace lunetta {

namespace {

// Quiet unless asked for (QT_LOGGING_RULES="lunetta.renewal.info=true"): lunetta-compose keeps
// standard error for its one line about a failure.
Q_LOGGING_CATEGORY(lcRenewal, "lunetta.renewal", QtWarningMsg)

constexpr char kTimerName[] = "lunetta-wallpaper.timer";
constexpr char kServiceName[] = "lunetta-wallpaper.service";
constexpr std::chrono::milliseconds kSystemctlTimeLimit{10000};

std::string HexEscape(unsigned char c) {
  std::array<char, 5> text{};
  std::snprintf(text.data(), text.size(), "\\x%02x", c);
  return text.data();
}

// One word of ExecStart: double-quoted, with C escapes; "%" starts a specifier, so it is doubled,
// and in an argument so is "$", which starts a variable there but not in the program's name.
std::string SystemdWord(std::string_view word, bool argument) {
  std::string quoted = "\"";
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      quoted += {'\\', c};
    } else if (c == '%' || (c == '$' && argument)) {
      quoted += {c, c};
    } else if (byte < 0x20 || byte == 0x7F) {
      quoted += HexEscape(byte);
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

// ExecStart's words. systemd refuses to run a program whose name holds a quote, a backslash or a
// control character; sh runs it from an argument, where anything may stand, without reading it as
// shell text.
std::string SystemdCommandLine(std::vector<std::string> arguments) {
  const std::string& program = arguments.front();
  if (std::any_of(program.begin(), program.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '"' || c == '\'' || c == '\\' || byte < 0x20 || byte == 0x7F;
      })) {
    arguments.insert(arguments.begin(), {"/bin/sh", "-c", "exec \"$0\" \"$@\""});
  }
  std::string line;
  for (const std::string& argument : arguments) {
    const bool first = line.empty();
    line += (first ? "" : " ") + SystemdWord(argument, !first);
  }
  return line;
}

// One argument of a desktop entry's Exec: double-quoted with """, "`", "$" and "\" escaped by a
// backslash; the value's own escapes then double every backslash and spell line breaks and tabs.
// "%" starts a field code, so it is doubled.
std::string DesktopEntryWord(std::string_view word) {
  std::string quoted = "\"";
  for (const char c : word) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') {
      quoted += '\\';
    }
    quoted += c;
  }
  quoted += '"';
  std::string value;
  for (const char c : quoted) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      case '%':
        value += "%%";
        break;
      default:
        value += c;
    }
  }
  return value;
}

std::string DesktopEntryCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    line += (line.empty() ? "" : " ") + DesktopEntryWord(argument);
  }
  return line;
}

std::filesystem::path ConfigFolder(const QProcessEnvironment& environment) {
  const QString config = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
  if (!config.isEmpty() && QDir::isAbsolutePath(config)) {
    return FilePath(config);
  }
  QString home = environment.value(QStringLiteral("HOME"));
  if (home.isEmpty()) {
    home = QDir::homePath();
  }
  return FilePath(home) / ".config";
}

// Tells a running systemd user instance; without one the timer starts with the next login, and
// the autostart entry renews meanwhile, so a failure here is only noted.
void TellSystemd(const QStringList& arguments, const QProcessEnvironment& environment) {
  if (FindProgram(QStringLiteral("systemctl"), environment).isEmpty()) {
    return;
  }
  const Result<QByteArray> told =
      RunTool(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments,
              environment, QDeadlineTimer(kSystemctlTimeLimit));
  if (!told) {
    qCInfo(lcRenewal).noquote() << "systemctl --user" << arguments.join(u' ')
                                << "failed:" << told.failure().detail;
  }
}

Status CreateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return error ? Status(WritingFailure(folder, error)) : Status();
}

Status RemoveFile(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::remove(file, error);
  return error ? Status(WritingFailure(file, error)) : Status();
}

}  // namespace

std::vector<std::string> RenewalCommand::Arguments() const {
  std::vector<std::string> arguments{composeProgram.native(), "--set-wallpaper"};
  const std::pair<const char*, const std::filesystem::path*> files[] = {
      {"--holidays", &holidayFile}, {"--photo", &photo}, {"--settings", &settingsFile}};
  for (const auto& [option, file] : files) {
    if (!file->empty()) {
      arguments.insert(arguments.end(), {option, file->native()});
    }
  }
  return arguments;
}

RenewalFiles RenewalFilesIn(const QProcessEnvironment& environment) {
  const std::filesystem::path config = ConfigFolder(environment);
  const std::filesystem::path units = config / "systemd" / "user";
  return {units / kTimerName, units / kServiceName, units / "timers.target.wants" / kTimerName,
          config / "autostart" / "lunetta-wallpaper.desktop"};
}

std::string ServiceUnitText(const RenewalCommand& command) {
  return "[Unit]\n"
         "Description=Lunetta: this month's calendar as the desktop wallpaper\n"
         "\n"
         "[Service]\n"
         "Type=oneshot\n"
         "ExecStart=" +
         SystemdCommandLine(command.Arguments()) + "\n";
}

std::string TimerUnitText() {
  return "[Unit]\n"
         "Description=Lunetta: renew the calendar wallpaper on the first of every month\n"
         "\n"
         "[Timer]\n"
         "OnCalendar=*-*-01 00:01:00\n"
         "Persistent=true\n"
         "\n"
         "[Install]\n"
         "WantedBy=timers.target\n";
}

std::string AutostartEntryText(const RenewalCommand& command) {
  // X-systemd-skip: where systemd runs the autostart entries, its timer already renews.
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Lunetta wallpaper renewal\n"
         "Name[ja]=Lunetta 壁紙カレンダーの更新\n"
         "Comment=Sets this month's calendar as the desktop wallpaper\n"
         "Comment[ja]=今月のカレンダーをデスクトップの壁紙にします\n"
         "Exec=" +
         DesktopEntryCommandLine(command.Arguments()) +
         "\n"
         "Icon=lunetta\n"
         "Terminal=false\n"
         "NoDisplay=true\n"
         "X-systemd-skip=true\n";
}

Status InstallMonthlyRefresh(const RenewalCommand& command,
                             const QProcessEnvironment& environment) {
  const QFileInfo program(QtPath(command.composeProgram));
  if (!program.isAbsolute() || !program.isFile() || !program.isExecutable()) {
    return Failure(Fault::ToolNotFound, command.composeProgram);
  }
  const RenewalFiles files = RenewalFilesIn(environment);
  for (const auto& folder : {files.service.parent_path(), files.timerLink.parent_path(),
                             files.autostart.parent_path()}) {
    if (Status created = CreateFolder(folder); !created) {
      return created;
    }
  }
  const std::pair<const std::filesystem::path&, std::string> contents[] = {
      {files.service, ServiceUnitText(command)},
      {files.timer, TimerUnitText()},
      {files.autostart, AutostartEntryText(command)}};
  for (const auto& [file, text] : contents) {
    if (const std::error_code error = WriteFileAtomically(file, text)) {
      return WritingFailure(file, error);
    }
  }
  // What `systemctl --user enable` would make; it works before the instance has read the files.
  if (Status removed = RemoveFile(files.timerLink); !removed) {
    return removed;
  }
  std::error_code error;
  std::filesystem::create_symlink(files.timer, files.timerLink, error);
  if (error) {
    return WritingFailure(files.timerLink, error);
  }
  TellSystemd({QStringLiteral("daemon-reload")}, environment);
  TellSystemd({QStringLiteral("start"), QString::fromLatin1(kTimerName)}, environment);
  return {};
}

Status RemoveMonthlyRefresh(const QProcessEnvironment& environment) {
  TellSystemd({QStringLiteral("stop"), QString::fromLatin1(kTimerName)}, environment);
  const RenewalFiles files = RenewalFilesIn(environment);
  for (const auto& file : {files.timerLink, files.timer, files.service, files.autostart}) {
    if (Status removed = RemoveFile(file); !removed) {
      return removed;
    }
  }
  TellSystemd({QStringLiteral("daemon-reload")}, environment);
  return {};
}

}  // namespace lunetta
