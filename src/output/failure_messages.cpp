#include "output/failure_messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <system_error>

#include "picture/load_picture_file.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

// The context the words below are translated in.
struct Words {
  Q_DECLARE_TR_FUNCTIONS(lunetta::FailureMessages)
};

// The causes Lunetta meets, in its own words; the system's words (English) would stand out in a
// Japanese message.
struct KnownCause {
  std::error_condition condition;
  const char* words;
};

std::error_condition Condition(FileErrc error) {
  return {static_cast<int>(error), FileCategory()};
}

const KnownCause kKnownCauses[] = {
    {std::errc::permission_denied,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "権限がありません")},
    {std::errc::operation_not_permitted,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "操作が許可されていません")},
    {std::errc::read_only_file_system,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "読み取り専用のドライブです")},
    {std::errc::no_space_on_device,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ディスクの空きが足りません")},
#ifdef EDQUOT
    {std::error_condition(EDQUOT, std::generic_category()),
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ディスクの割り当てを超えました")},
#endif
    {std::errc::file_too_large,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルが大きすぎます")},
    {std::errc::no_such_file_or_directory,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "ファイルまたはフォルダーがありません")},
    {std::errc::not_a_directory,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "途中にフォルダーではないものがあります")},
    {std::errc::is_a_directory, QT_TRANSLATE_NOOP("lunetta::FailureMessages", "フォルダーです")},
    {std::errc::file_exists,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "同じ名前のものがすでにあります")},
    {std::errc::directory_not_empty,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "フォルダーが空ではありません")},
    {std::errc::too_many_symbolic_link_levels,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "シンボリックリンクが多すぎます")},
    {std::errc::filename_too_long,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "名前が長すぎます")},
    {std::errc::invalid_argument,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "名前または値が正しくありません")},
    {std::errc::cross_device_link,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "別のドライブへは移せません")},
    {std::errc::io_error,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "入出力エラーが起きました")},
    {std::errc::device_or_resource_busy,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "使用中です")},
    {std::errc::text_file_busy, QT_TRANSLATE_NOOP("lunetta::FailureMessages", "使用中です")},
    {std::errc::no_such_device_or_address,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "装置がないか、応答しません")},
    {std::errc::too_many_files_open,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "開いているファイルが多すぎます")},
    {std::errc::too_many_files_open_in_system,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "開いているファイルが多すぎます")},
    {std::errc::not_enough_memory,
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "メモリーが足りません")},
    {std::errc::timed_out, QT_TRANSLATE_NOOP("lunetta::FailureMessages", "時間切れになりました")},
    {std::errc::interrupted, QT_TRANSLATE_NOOP("lunetta::FailureMessages", "中断されました")},
    {Condition(FileErrc::not_regular_file),
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "通常のファイルではありません")},
    {Condition(FileErrc::too_large),
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "大きすぎて全体を読めません")},
    {Condition(FileErrc::read_only),
     QT_TRANSLATE_NOOP("lunetta::FailureMessages", "読み取り専用のファイルです")},
};

// Lunetta's words for the cause, else the system's.
QString CauseWords(std::error_code cause) {
  for (const KnownCause& known : kKnownCauses) {
    if (cause == known.condition) {
      return Words::tr(known.words);
    }
  }
  return QString::fromStdString(cause.message());
}

QString Translated(const char* words) {
  return Words::tr(words);
}

}  // namespace

QString FailureReason(const Failure& failure) {
  const FaultLanguage japanese{
      &FaultWords::japanese,         Translated,       CauseWords, Words::tr("%1（%2）"),
      Words::tr("%1 × %2 ピクセル"), Words::tr("不明")};
  return SayFailure(failure, japanese);
}

QString FailureMessage(const Failure& failure) {
  if (failure.file.empty()) {
    return FailureReason(failure);
  }
  return QStringLiteral("%1\n%2").arg(QDir::toNativeSeparators(QtPath(failure.file)),
                                      FailureReason(failure));
}

QString PhotoNotice(const Failure& failure) {
  return Words::tr("写真「%1」を使えません：%2")
      .arg(QFileInfo(QtPath(failure.file)).fileName(), FailureReason(failure));
}

QString CalendarNotice(const Failure& failure) {
  return Words::tr("カレンダーファイル %1：%2")
      .arg(QFileInfo(QtPath(failure.file)).fileName(), FailureReason(failure));
}

QString HolidayNotice(int year, HolidaySource source, const std::filesystem::path& file,
                      const std::optional<Failure>& failure) {
  QStringList notes;
  const bool missing = (failure && failure->fault == Fault::NotFound) || (!failure && file.empty());
  if (failure && !missing) {
    notes << Words::tr("祝日ファイル %1 を読めません：%2")
                 .arg(QDir::toNativeSeparators(QtPath(failure->file)), FailureReason(*failure));
  }
  switch (source) {
    case HolidaySource::File:
      break;
    case HolidaySource::Rule:
      if (!notes.isEmpty()) {
        notes << Words::tr("%1 年の祝日は法律の規則から求めています").arg(year);
      }
      break;
    case HolidaySource::RulePredicted:
      notes << Words::tr(
                   "%1 年の祝日は法律の規則から求めています。春分の日と秋分の日はまだ発表されて"
                   "いないため、予測です")
                   .arg(year);
      break;
    case HolidaySource::None:
      if (missing) {
        notes << Words::tr(
                     "祝日ファイル holiday.dat が見つからないため、%1 年の祝日を表示できません")
                     .arg(year);
      } else if (failure) {
        notes << Words::tr("%1 年の祝日を表示できません").arg(year);
      } else {
        notes << Words::tr("%1 年の祝日は %2 にありません")
                     .arg(year)
                     .arg(QDir::toNativeSeparators(QtPath(file)));
      }
      break;
  }
  return notes.join(Words::tr("。"));
}

}  // namespace lunetta
