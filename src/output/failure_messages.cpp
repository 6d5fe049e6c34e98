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

// Lunetta's words for the cause, else the system's, or the datum the failure carries.
QString Cause(const Failure& failure) {
  if (failure.cause) {
    for (const KnownCause& known : kKnownCauses) {
      if (failure.cause == known.condition) {
        return Words::tr(known.words);
      }
    }
    return QString::fromStdString(failure.cause.message());
  }
  return failure.detail;
}

QString WithCause(const QString& sentence, const Failure& failure) {
  const QString cause = Cause(failure);
  return cause.isEmpty() ? sentence : Words::tr("%1（%2）").arg(sentence, cause);
}

}  // namespace

QString FailureReason(const Failure& failure) {
  switch (failure.fault) {
    case Fault::NoFileNamed:
      return Words::tr("ファイルが指定されていません");
    case Fault::NotFound:
      return Words::tr("ファイルが見つかりません");
    case Fault::IsFolder:
      return Words::tr("ファイルではなくフォルダーです");
    case Fault::NotRegularFile:
      return Words::tr("通常のファイルではありません");
    case Fault::NoPermission:
      return Words::tr("読み取る権限がありません");
    case Fault::CannotOpen:
      return WithCause(Words::tr("開けません"), failure);
    case Fault::EmptyFile:
      return Words::tr("ファイルが空です");
    case Fault::UnknownFormat:
      return Words::tr("対応している形式の画像ではありません");
    case Fault::UnreadableHeader:
      return Words::tr("画像のヘッダーを読み取れません");
    case Fault::TooLarge:
      if (!failure.size.isValid()) {
        return Words::tr("画像が大きすぎます");
      }
      return Words::tr("画像が大きすぎます（%1 × %2 ピクセル）")
          .arg(failure.size.width())
          .arg(failure.size.height());
    case Fault::Undecodable:
      return WithCause(Words::tr("画像を読み込めません"), failure);
    case Fault::Truncated:
      return Words::tr("ファイルが途中で切れています");
    case Fault::NoExtension:
      return Words::tr("ファイル名に拡張子がありません。「.jpg」などの拡張子を付けてください。");
    case Fault::NoEncoder:
      return Words::tr("拡張子「.%1」の画像形式では保存できません。").arg(failure.detail);
    case Fault::NothingToWrite:
      return Words::tr("保存する画像がありません");
    case Fault::EncodeFailed:
      return WithCause(Words::tr("画像を書き出せません"), failure);
    case Fault::CannotWrite:
      return WithCause(Words::tr("書き込めません"), failure);
    case Fault::DateOutOfRange:
      return WithCause(Words::tr("この年月のカレンダーは作れません"), failure);
    case Fault::ValueOutOfRange:
      return Words::tr("値が範囲外です：%1").arg(failure.detail);
    case Fault::PrinterNotStarted:
      return Words::tr("プリンタを開始できませんでした。");
    case Fault::DesktopNotSupported:
      return Words::tr(
                 "このデスクトップ（%1）の壁紙は自動では設定できません。保存した画像を壁紙に選んで"
                 "ください。")
          .arg(failure.detail.isEmpty() ? Words::tr("不明") : failure.detail);
    case Fault::ToolNotFound:
      return Words::tr("プログラムが見つかりません");
    case Fault::ToolFailed:
      return WithCause(Words::tr("プログラムが失敗しました"), failure);
    case Fault::ToolTimedOut:
      return Words::tr("プログラムが時間内に終わりませんでした");
    case Fault::NoWallpaperSetting:
      return Words::tr("変更できる壁紙の設定がありません");
    case Fault::UnstorableName:
      return Words::tr("自動更新のファイルには UTF-8 の文字だけの名前しか書けません");
    case Fault::NoPhotosInFolder:
      return Words::tr("フォルダーに写真がありません");
  }
  return QString();
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

QString HolidayNotice(int year, const std::filesystem::path& file,
                      const std::optional<Failure>& failure) {
  if ((failure && failure->fault == Fault::NotFound) || (!failure && file.empty())) {
    return Words::tr("祝日ファイル holiday.dat が見つからないため、%1 年の祝日を表示できません")
        .arg(year);
  }
  if (failure) {
    return Words::tr("%1 年の祝日を表示できません。%2 を読めません：%3")
        .arg(year)
        .arg(QDir::toNativeSeparators(QtPath(failure->file)), FailureReason(*failure));
  }
  return Words::tr("%1 年の祝日は %2 にありません")
      .arg(year)
      .arg(QDir::toNativeSeparators(QtPath(file)));
}

}  // namespace lunetta
