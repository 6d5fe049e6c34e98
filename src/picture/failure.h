#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>
#include <variant>

namespace lunetta {

/// What stopped an operation. Below the user interface failures are values; each program says them
/// in its own words (the desktop program in Japanese, lunetta-compose in English), which kFaults
/// holds. A new fault goes at the end, with its row at the end of kFaults.
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
  // Calendar files (.ics); file: the calendar file, detail: the line where there is one
  NotCalendarFile,
  CalendarFileTooLarge,
  CalendarLineUnreadable,
  CalendarEventWithoutStart,
  CalendarRuleWithoutDates,
  CalendarUnknownTimeZone,
  CalendarTooManyEvents,
  CalendarRepeatsTooOften,  // a repeating event was cut off: days of the month may be missing
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

  /// TooLarge for a picture of `size`.
  static Failure TooLarge(QSize size) {
    Failure failure(Fault::TooLarge);
    failure.size = size;
    return failure;
  }

  bool operator==(const Failure&) const = default;
};

/// What a fault's words say of the failure's datum.
enum class FaultDatum {
  None,             // the words alone
  Cause,            // the words, then the system's cause, or else the detail, in parentheses
  Detail,           // "%1" in the words is the detail
  DetailOrUnknown,  // "%1" in the words is the detail, or "unknown" when there is none
  Size,             // the words, then the picture's size in parentheses where it is known
};

/// A fault and its words: the name test printers show, lunetta-compose's English and the window's
/// Japanese (translated in the context lunetta::FailureMessages).
struct FaultWords {
  Fault fault;
  const char* name;
  const char* english;
  const char* japanese;
  FaultDatum datum = FaultDatum::None;
};

// clang-format off
inline constexpr FaultWords kFaults[] = {
    {Fault::NoFileNamed, "NoFileNamed", "no file named",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルが指定されていません")},
    {Fault::NotFound, "NotFound", "no such file",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルが見つかりません")},
    {Fault::IsFolder, "IsFolder", "it is a folder, not a file",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルではなくフォルダーです")},
    {Fault::NotRegularFile, "NotRegularFile", "not a regular file",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "通常のファイルではありません")},
    {Fault::NoPermission, "NoPermission", "no permission to read it",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "読み取る権限がありません")},
    {Fault::CannotOpen, "CannotOpen", "it cannot be opened",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "開けません"), FaultDatum::Cause},
    {Fault::EmptyFile, "EmptyFile", "the file is empty",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルが空です")},
    {Fault::UnknownFormat, "UnknownFormat", "not a picture in a format Lunetta reads",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "対応している形式の画像ではありません")},
    {Fault::UnreadableHeader, "UnreadableHeader", "the picture's header cannot be read",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "画像のヘッダーを読み取れません")},
    {Fault::TooLarge, "TooLarge", "the picture is too large",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "画像が大きすぎます"), FaultDatum::Size},
    {Fault::Undecodable, "Undecodable", "the picture cannot be decoded",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "画像を読み込めません"), FaultDatum::Cause},
    {Fault::Truncated, "Truncated", "the file ends before the picture's data does",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルが途中で切れています")},
    {Fault::NoExtension, "NoExtension", "the name has no extension to choose a picture format by",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "ファイル名に拡張子がありません。「.jpg」などの拡張子を付けてください。")},
    {Fault::NoEncoder, "NoEncoder", "no picture format has the extension \"%1\"",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "拡張子「.%1」の画像形式では保存できません。"),
     FaultDatum::Detail},
    {Fault::NothingToWrite, "NothingToWrite", "there is no picture to write",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "保存する画像がありません")},
    {Fault::EncodeFailed, "EncodeFailed", "the picture cannot be encoded",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "画像を書き出せません"), FaultDatum::Cause},
    {Fault::CannotWrite, "CannotWrite", "it cannot be written",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "書き込めません"), FaultDatum::Cause},
    {Fault::DateOutOfRange, "DateOutOfRange", "cannot draw %1",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "この年月のカレンダーは作れません（%1）"),
     FaultDatum::Detail},
    {Fault::ValueOutOfRange, "ValueOutOfRange", "%1",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "値が範囲外です：%1"), FaultDatum::Detail},
    {Fault::PrinterNotStarted, "PrinterNotStarted", "the printer cannot be started",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "プリンタを開始できませんでした。")},
    {Fault::DesktopNotSupported, "DesktopNotSupported",
     "this desktop (%1) cannot be set automatically; choose the saved picture as the wallpaper "
     "yourself",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "このデスクトップ（%1）の壁紙は自動では設定できません。保存した画像を壁紙に"
                       "選んでください。"),
     FaultDatum::DetailOrUnknown},
    {Fault::ToolNotFound, "ToolNotFound", "the program is not installed",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "プログラムが見つかりません")},
    {Fault::ToolFailed, "ToolFailed", "it failed",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "プログラムが失敗しました"), FaultDatum::Cause},
    {Fault::ToolTimedOut, "ToolTimedOut", "it did not finish in time",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "プログラムが時間内に終わりませんでした")},
    {Fault::NoWallpaperSetting, "NoWallpaperSetting", "it lists no wallpaper to change",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "変更できる壁紙の設定がありません")},
    {Fault::UnstorableName, "UnstorableName",
     "the renewal's files can hold only names that are UTF-8 text",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "自動更新のファイルには UTF-8 の文字だけの名前しか書けません")},
    {Fault::NoPhotosInFolder, "NoPhotosInFolder", "the folder holds no pictures",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "フォルダーに写真がありません")},
    {Fault::NotCalendarFile, "NotCalendarFile", "not an iCalendar (.ics) file",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "iCalendar 形式（.ics）のファイルではありません")},
    {Fault::CalendarFileTooLarge, "CalendarFileTooLarge",
     "the calendar file is larger than 4 MiB",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "カレンダーファイルが 4 MiB を超えています")},
    {Fault::CalendarLineUnreadable, "CalendarLineUnreadable",
     "line %1 cannot be read; its event is left out",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "%1 行目を読み取れないため、その予定を省きました"),
     FaultDatum::DetailOrUnknown},
    {Fault::CalendarEventWithoutStart, "CalendarEventWithoutStart",
     "the event on line %1 has no start date and is left out",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "%1 行目の予定には開始日がないため、省きました"),
     FaultDatum::DetailOrUnknown},
    {Fault::CalendarRuleWithoutDates, "CalendarRuleWithoutDates",
     "the repeat rule on line %1 gives no dates; its event is left out",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "%1 行目の繰り返しの規則から日付が決まらないため、その予定を省きました"),
     FaultDatum::DetailOrUnknown},
    {Fault::CalendarUnknownTimeZone, "CalendarUnknownTimeZone",
     "line %1 names a time zone Lunetta does not know; its times are read as local time",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "%1 行目のタイムゾーンがわからないため、この地域の時刻として読みました"),
     FaultDatum::DetailOrUnknown},
    {Fault::CalendarTooManyEvents, "CalendarTooManyEvents",
     "too many events; those from line %1 on are left out",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "予定が多すぎるため、%1 行目以降の予定を省きました"),
     FaultDatum::DetailOrUnknown},
    {Fault::CalendarRepeatsTooOften, "CalendarRepeatsTooOften",
     "an event repeats too often to follow; days of this month may be missing",
     QT_TRANSLATE_NOOP("lunetta::FailureMessages",
                       "繰り返しが多すぎる予定があるため、この月に表示されない日があるかもしれません")},
};
// clang-format on

constexpr bool FaultsInOrder() {
  for (std::size_t i = 0; i < std::size(kFaults); ++i) {
    if (kFaults[i].fault != static_cast<Fault>(i)) {
      return false;
    }
  }
  return true;
}
static_assert(FaultsInOrder(), "kFaults lists each fault at its place in the enum");

/// The row of `fault`.
const FaultWords& WordsOf(Fault fault);

/// How one language says a failure.
struct FaultLanguage {
  const char* FaultWords::*column;          // the language's words in the table
  QString (*translate)(const char* words);  // the words as the user reads them
  QString (*cause)(std::error_code cause);  // the system's reason in this language
  QString aside;                            // a sentence with a datum in parentheses: "%1 (%2)"
  QString size;                             // a picture's size: "%1 × %2 pixels"
  QString unknown;                          // stands for a detail that is missing
};

/// Why `failure` happened, in `language`, without the file.
QString SayFailure(const Failure& failure, const FaultLanguage& language);

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
