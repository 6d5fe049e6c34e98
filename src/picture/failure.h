#pragma once

#include <QSize>
#include <QString>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <variant>

namespace lunetta {

/// What stopped an operation. Below the user interface failures are values; each program says them
/// in its own words (the desktop program in Japanese, lunetta-compose in English).
enum class Fault {
  // Reading a file
  NoFileNamed,
  NotFound,
  IsFolder,
  NotRegularFile,
  NoPermission,
  CannotOpen,
  EmptyFile,
  // Decoding a picture
  UnknownFormat,
  UnreadableHeader,
  TooLarge,
  Undecodable,
  Truncated,
  // Writing a file
  NoExtension,
  NoEncoder,
  NothingToWrite,
  EncodeFailed,
  CannotWrite,
  // Composing and printing
  DateOutOfRange,
  ValueOutOfRange,  // detail: the setting, its range and the value refused
  PrinterNotStarted,
  // Setting the desktop wallpaper (file: the program, or the saved picture)
  DesktopNotSupported,  // detail: the desktop's name; file: the saved picture
  ToolNotFound,
  ToolFailed,  // detail: what the program said, or its exit status
  ToolTimedOut,
  NoWallpaperSetting,  // the desktop lists no wallpaper to change
  // The monthly renewal
  UnstorableName,  // file: a name its files cannot hold (not UTF-8 text, or a control character)
  // Exporting a year
  NoPhotosInFolder,  // file: the folder
};

struct Failure {
  Failure() = default;
  explicit Failure(Fault fault, std::filesystem::path file = {}, std::error_code cause = {},
                   QString detail = {})
      : fault(fault), file(std::move(file)), cause(cause), detail(std::move(detail)) {}

  Fault fault = Fault::CannotOpen;
  std::filesystem::path file;  // the file concerned; empty when there is none
  std::error_code cause;       // the system's reason, where there is one
  QString detail;              // a datum: the extension, the decoder's report, the date
  QSize size;                  // the picture's size, for TooLarge

  bool operator==(const Failure&) const = default;
};

/// The failure of reading `file` for the system's `cause`: NotFound, IsFolder, NotRegularFile or
/// NoPermission where the cause says so, CannotOpen otherwise.
Failure ReadingFailure(const std::filesystem::path& file, std::error_code cause);

/// The failure of writing `file` for the system's `cause`: NotRegularFile where the cause says so,
/// CannotWrite otherwise.
Failure WritingFailure(const std::filesystem::path& file, std::error_code cause);

/// Success, or the failure that stopped an operation.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: a failure is a status

  bool ok() const { return !failure_; }
  explicit operator bool() const { return ok(); }
  /// Only when !ok().
  const Failure& failure() const { return *failure_; }

 private:
  std::optional<Failure> failure_;
};

/// A value, or the failure that kept an operation from producing it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}            // NOLINT: implicit by design
  Result(Failure failure) : state_(std::move(failure)) {}  // NOLINT

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }
  /// Only when ok().
  const T& value() const& { return std::get<T>(state_); }
  T&& value() && { return std::get<T>(std::move(state_)); }
  const T* operator->() const { return &std::get<T>(state_); }
  /// Only when !ok().
  const Failure& failure() const { return std::get<Failure>(state_); }
  Status status() const { return ok() ? Status() : Status(failure()); }

 private:
  std::variant<T, Failure> state_;
};

}  // namespace lunetta
