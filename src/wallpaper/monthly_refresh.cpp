#include "wallpaper/monthly_refresh.h"

#include <unistd.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <optional>
#include <string_view>
#include <system_error>

#include "picture/load_picture_file.h"
#include "platform/file_io.h"
#include "wallpaper/external_tool.h"
#include "wallpaper/wallpaper.h"

namespace lunetta {

namespace {

// Quiet unless asked for (QT_LOGGING_RULES="lunetta.renewal.info=true"): lunetta-compose keeps
// standard error for its one line about a failure.
Q_LOGGING_CATEGORY(lcRenewal, "lunetta.renewal", QtWarningMsg)

constexpr char kTimerName[] = "lunetta-wallpaper.timer";
constexpr char kServiceName[] = "lunetta-wallpaper.service";
constexpr std::chrono::milliseconds kSystemctlTimeLimit{10000};
constexpr std::size_t kMaxFileBytes = 64 * 1024;

// The words that start a program whose own name the file cannot give as the command.
const std::vector<std::string> kShellExec{"/bin/sh", "-c", "exec \"$0\" \"$@\""};

// Both formats are UTF-8 text, one setting a line: a name that is not, or that holds a control
// character, cannot be written in them.
bool IsStorableText(const std::string& bytes) {
  if (std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
      })) {
    return false;
  }
  const QByteArray raw = QByteArray::fromStdString(bytes);
  return QString::fromUtf8(raw).toUtf8() == raw;
}

// One word of ExecStart: double-quoted, with C escapes; "%" starts a specifier, so it is doubled,
// and in an argument so is "$", which starts a variable there but not in the program's name.
std::string SystemdWord(std::string_view word, bool argument) {
  std::string quoted = "\"";
  for (const char c : word) {
    if (c == '\\' || c == '"') {
      quoted += {'\\', c};
    } else if (c == '%' || (c == '$' && argument)) {
      quoted += {c, c};
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

// ExecStart's words. systemd refuses to run a program whose name holds a quote or a backslash; sh
// runs it from an argument, where anything may stand, without reading it as shell text.
std::string SystemdCommandLine(std::vector<std::string> arguments) {
  if (arguments.front().find_first_of("\"'\\") != std::string::npos) {
    arguments.insert(arguments.begin(), kShellExec.begin(), kShellExec.end());
  }
  std::string line;
  for (const std::string& argument : arguments) {
    const bool first = line.empty();
    line += (first ? "" : " ") + SystemdWord(argument, !first);
  }
  return line;
}

// A path in a condition: not unquoted, but specifiers are expanded.
std::string SystemdPath(std::string_view path) {
  std::string value;
  for (const char c : path) {
    value += c == '%' ? std::string("%%") : std::string(1, c);
  }
  return value;
}

// A desktop entry string value: a backslash is written doubled.
std::string DesktopEntryString(std::string_view text) {
  std::string value;
  for (const char c : text) {
    value += c == '\\' ? std::string("\\\\") : std::string(1, c);
  }
  return value;
}

// One argument of a desktop entry's Exec: double-quoted with """, "`", "$" and "\" escaped by a
// backslash; "%" starts a field code, so it is doubled; then the value's own escape doubles every
// backslash.
std::string DesktopEntryWord(std::string_view word) {
  std::string quoted = "\"";
  for (const char c : word) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') {
      quoted += '\\';
    }
    quoted += c == '%' ? std::string("%%") : std::string(1, c);
  }
  return DesktopEntryString(quoted + '"');
}

// GLib checks that an entry's program exists by its name as written, "%%" and all: a program whose
// name has a "%" is run by sh, which GLib does find.
std::string DesktopEntryCommandLine(std::vector<std::string> arguments) {
  if (arguments.front().find('%') != std::string::npos) {
    arguments.insert(arguments.begin(), kShellExec.begin(), kShellExec.end());
  }
  std::string line;
  for (const std::string& argument : arguments) {
    line += (line.empty() ? "" : " ") + DesktopEntryWord(argument);
  }
  return line;
}

// Reading the files back: each format's rules, as systemd and desktop-entry readers such as GLib
// read them, for what the writers above produce. Nothing for anything else.

// "%%" to "%" (and, where `dollars`, "$$" to "$"); another "%" or "$" would be expanded.
std::optional<std::string> Unspecify(std::string_view text, bool dollars) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' || (c == '$' && dollars)) {
      if (i + 1 >= text.size() || text[i + 1] != c) {
        return std::nullopt;
      }
      ++i;
    }
    plain += c;
  }
  return plain;
}

// Splits a line of double-quoted words, each backslash escaping one of `escapable`; the
// specifiers are then undone (a "$" too in the arguments after the first when `dollars`).
std::optional<std::vector<std::string>> QuotedWords(std::string_view line,
                                                    std::string_view escapable, bool dollars) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == ' ') {
      ++i;
      continue;
    }
    if (line[i] != '"') {
      return std::nullopt;
    }
    std::string word;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\') {
        if (++i >= line.size() || escapable.find(line[i]) == std::string_view::npos) {
          return std::nullopt;
        }
      }
      word += line[i];
    }
    if (i++ >= line.size()) {
      return std::nullopt;
    }
    const std::optional<std::string> plain = Unspecify(word, dollars && !words.empty());
    if (!plain) {
      return std::nullopt;
    }
    words.push_back(*plain);
  }
  return words;
}

std::optional<std::vector<std::string>> SystemdWords(std::string_view line) {
  return QuotedWords(line, "\\\"", true);
}

std::optional<std::string> DesktopEntryValue(std::string_view text) {
  std::string value;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      value += text[i];
      continue;
    }
    if (++i >= text.size() || text[i] != '\\') {
      return std::nullopt;
    }
    value += '\\';
  }
  return value;
}

std::optional<std::vector<std::string>> DesktopEntryWords(std::string_view text) {
  const std::optional<std::string> value = DesktopEntryValue(text);
  if (!value) {
    return std::nullopt;
  }
  return QuotedWords(*value, "\"`$\\", false);
}

// The value of the line "key=..." in `text`.
std::optional<std::string_view> Setting(std::string_view text, std::string_view key) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end;
    const std::string_view line = text.substr(start, end - start);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
      return line.substr(key.size() + 1);
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::vector<std::string> WithoutShell(std::vector<std::string> words) {
  if (words.size() > kShellExec.size() &&
      std::equal(kShellExec.begin(), kShellExec.end(), words.begin())) {
    words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(kShellExec.size()));
  }
  return words;
}

// True when the file holds `written` byte for byte and says the command and the program as each
// format reads them.
bool ReadsBack(const std::filesystem::path& file, const std::string& written, bool systemd,
               const RenewalCommand& command) {
  std::error_code error;
  const FileBytes read = ReadRegularFile(file, kMaxFileBytes, error);
  if (error || !read.complete || read.bytes != written ||
      QString::fromUtf8(QByteArray::fromStdString(read.bytes)).toUtf8().toStdString() !=
          read.bytes) {
    return false;
  }
  const std::string& program = command.composeProgram.native();
  if (systemd) {
    const auto condition = Setting(read.bytes, "ConditionFileIsExecutable");
    if (!condition || Unspecify(*condition, false) != program) {
      return false;
    }
    const auto exec = Setting(read.bytes, "ExecStart");
    if (!exec) {
      return true;  // the timer
    }
    const auto words = SystemdWords(*exec);
    return words && WithoutShell(*words) == command.Arguments();
  }
  const auto tryExec = Setting(read.bytes, "TryExec");
  const auto exec = Setting(read.bytes, "Exec");
  if (!tryExec || DesktopEntryValue(*tryExec) != program || !exec) {
    return false;
  }
  const auto words = DesktopEntryWords(*exec);
  return words && WithoutShell(*words) == command.Arguments();
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

// Without a home there is no configuration folder: never files in the working directory.
Status CheckFolder(const RenewalFiles& files) {
  if (!files.timer.is_absolute()) {
    return WritingFailure(files.timer, std::make_error_code(std::errc::no_such_file_or_directory));
  }
  return {};
}

Status RemoveFiles(const RenewalFiles& files) {
  for (const auto& file : {files.timerLink, files.timer, files.service, files.autostart}) {
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
      return WritingFailure(file, error);
    }
  }
  return {};
}

// The timer's link, replaced in one step: another install at the same moment finds either link.
Status LinkTimer(const RenewalFiles& files) {
  const std::filesystem::path temporary =
      files.timerLink.parent_path() /
      ("." + std::string(kTimerName) + "." + std::to_string(::getpid()) + "~");
  std::error_code error;
  std::filesystem::remove(temporary, error);
  std::filesystem::create_symlink(files.timer, temporary, error);
  if (!error) {
    std::filesystem::rename(temporary, files.timerLink, error);
  }
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return WritingFailure(files.timerLink, error);
  }
  return {};
}

Status WriteFiles(const RenewalFiles& files, const RenewalCommand& command) {
  for (const auto& folder : {files.service.parent_path(), files.timerLink.parent_path(),
                             files.autostart.parent_path()}) {
    if (Status created = CreateFolder(folder); !created) {
      return created;
    }
  }
  const struct {
    const std::filesystem::path& file;
    std::string text;
    bool systemd;
  } contents[] = {{files.service, ServiceUnitText(command), true},
                  {files.timer, TimerUnitText(command), true},
                  {files.autostart, AutostartEntryText(command), false}};
  for (const auto& [file, text, systemd] : contents) {
    if (const std::error_code error = WriteFileAtomically(file, text)) {
      return WritingFailure(file, error);
    }
  }
  if (Status linked = LinkTimer(files); !linked) {
    return linked;
  }
  for (const auto& [file, text, systemd] : contents) {
    if (!ReadsBack(file, text, systemd, command)) {
      return WritingFailure(file, std::make_error_code(std::errc::io_error));
    }
  }
  std::error_code error;
  if (std::filesystem::read_symlink(files.timerLink, error) != files.timer) {
    return WritingFailure(files.timerLink,
                          error ? error : std::make_error_code(std::errc::io_error));
  }
  return {};
}

}  // namespace

std::vector<std::string> RenewalCommand::Arguments() const {
  std::vector<std::string> arguments{composeProgram.native(), "--set-wallpaper"};
  if (!holidayFile.empty()) {
    arguments.insert(arguments.end(), {"--holidays", holidayFile.native()});
  }
  arguments.insert(arguments.end(), {"--settings", settingsFile.native()});
  return arguments;
}

RenewalFiles RenewalFilesIn(const QProcessEnvironment& environment) {
  const std::filesystem::path config = ConfigHome(LookupIn(environment));
  const std::filesystem::path units = config / "systemd" / "user";
  return {units / kTimerName, units / kServiceName, units / "timers.target.wants" / kTimerName,
          config / "autostart" / "lunetta-wallpaper.desktop"};
}

std::string ServiceUnitText(const RenewalCommand& command) {
  return "[Unit]\n"
         "Description=Lunetta: this month's calendar as the desktop wallpaper\n"
         "ConditionFileIsExecutable=" +
         SystemdPath(command.composeProgram.native()) +
         "\n"
         "\n"
         "[Service]\n"
         "Type=oneshot\n"
         "ExecStart=" +
         SystemdCommandLine(command.Arguments()) + "\n";
}

std::string TimerUnitText(const RenewalCommand& command) {
  // Persistent: a time that passed while the machine was off runs at the next start, and one that
  // passed during a suspend runs on waking.
  return std::string(
             "[Unit]\n"
             "Description=Lunetta: renew the calendar wallpaper ") +
         (command.daily ? "every day" : "on the first of every month") +
         "\n"
         "ConditionFileIsExecutable=" +
         SystemdPath(command.composeProgram.native()) +
         "\n"
         "\n"
         "[Timer]\n"
         "OnCalendar=" +
         (command.daily ? "*-*-* 00:00:30" : "*-*-01 00:01:00") +
         "\n"
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
         "TryExec=" +
         DesktopEntryString(command.composeProgram.native()) +
         "\n"
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
  for (const auto& name : {command.composeProgram, command.holidayFile, command.settingsFile}) {
    if (!IsStorableText(name.native())) {
      return Failure(Fault::UnstorableName, name);
    }
  }
  const RenewalFiles files = RenewalFilesIn(environment);
  if (Status checked = CheckFolder(files); !checked) {
    return checked;
  }
  if (Status written = WriteFiles(files, command); !written) {
    // Half a renewal would disagree with what the user was told.
    (void)RemoveFiles(files);
    return written;
  }
  TellSystemd({QStringLiteral("daemon-reload")}, environment);
  // Restarted, not started: a timer that runs already takes a changed schedule (monthly to daily).
  TellSystemd({QStringLiteral("restart"), QString::fromLatin1(kTimerName)}, environment);
  return {};
}

Status RemoveMonthlyRefresh(const QProcessEnvironment& environment) {
  const RenewalFiles files = RenewalFilesIn(environment);
  if (Status checked = CheckFolder(files); !checked) {
    return checked;
  }
  TellSystemd({QStringLiteral("stop"), QString::fromLatin1(kTimerName)}, environment);
  if (Status removed = RemoveFiles(files); !removed) {
    return removed;
  }
  TellSystemd({QStringLiteral("daemon-reload")}, environment);
  return {};
}

}  // namespace lunetta
