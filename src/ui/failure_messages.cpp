#include "ui/failure_messages.h"

#include <QDir>
#include <QFileInfo>

#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

// The system's own words for the cause, or the datum the failure carries.
QString Cause(const Failure& failure) {
  if (failure.cause) {
    return QString::fromStdString(failure.cause.message());
  }
  return failure.detail;
}

QString WithCause(const QString& sentence, const Failure& failure) {
  const QString cause = Cause(failure);
  return cause.isEmpty() ? sentence : QStringLiteral("%1（%2）").arg(sentence, cause);
}

}  // namespace

QString FailureReason(const Failure& failure) {
  switch (failure.fault) {
    case Fault::NoFileNamed:
      return QStringLiteral("ファイルが指定されていません");
    case Fault::NotFound:
      return QStringLiteral("ファイルが見つかりません");
    case Fault::IsFolder:
      return QStringLiteral("ファイルではなくフォルダーです");
    case Fault::NotRegularFile:
      return QStringLiteral("通常のファイルではありません");
    case Fault::NoPermission:
      return QStringLiteral("読み取る権限がありません");
    case Fault::CannotOpen:
      return WithCause(QStringLiteral("開けません"), failure);
    case Fault::EmptyFile:
      return QStringLiteral("ファイルが空です");
    case Fault::UnknownFormat:
      return QStringLiteral("対応している形式の画像ではありません");
    case Fault::UnreadableHeader:
      return QStringLiteral("画像のヘッダーを読み取れません");
    case Fault::TooLarge:
      return QStringLiteral("画像が大きすぎます（%1 × %2 ピクセル）")
          .arg(failure.size.width())
          .arg(failure.size.height());
    case Fault::Undecodable:
      return WithCause(QStringLiteral("画像を読み込めません"), failure);
    case Fault::Truncated:
      return QStringLiteral("ファイルが途中で切れています");
    case Fault::NoExtension:
      return QStringLiteral(
          "ファイル名に拡張子がありません。「.jpg」などの拡張子を付けてください。");
    case Fault::NoEncoder:
      return QStringLiteral("拡張子「.%1」の画像形式では保存できません。").arg(failure.detail);
    case Fault::NothingToWrite:
      return QStringLiteral("保存する画像がありません");
    case Fault::EncodeFailed:
      return WithCause(QStringLiteral("画像を書き出せません"), failure);
    case Fault::CannotWrite:
      return WithCause(QStringLiteral("書き込めません"), failure);
    case Fault::DateOutOfRange:
      return WithCause(QStringLiteral("この年月のカレンダーは作れません"), failure);
    case Fault::PrinterNotStarted:
      return QStringLiteral("プリンタを開始できませんでした。");
    case Fault::DesktopNotSupported:
      return QStringLiteral(
                 "このデスクトップ（%1）の壁紙は自動では設定できません。保存した画像を壁紙に選んで"
                 "ください。")
          .arg(failure.detail.isEmpty() ? QStringLiteral("不明") : failure.detail);
    case Fault::ToolNotFound:
      return QStringLiteral("プログラムが見つかりません");
    case Fault::ToolFailed:
      return WithCause(QStringLiteral("プログラムが失敗しました"), failure);
    case Fault::ToolTimedOut:
      return QStringLiteral("プログラムが時間内に終わりませんでした");
    case Fault::NoWallpaperSetting:
      return QStringLiteral("変更できる壁紙の設定がありません");
    case Fault::NoPhotosInFolder:
      return QStringLiteral("フォルダーに写真がありません");
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
  return QStringLiteral("写真「%1」を使えません：%2")
      .arg(QFileInfo(QtPath(failure.file)).fileName(), FailureReason(failure));
}

QString HolidayNotice(int year, const std::filesystem::path& file,
                      const std::optional<Failure>& failure) {
  if ((failure && failure->fault == Fault::NotFound) || (!failure && file.empty())) {
    return QStringLiteral(
               "祝日ファイル holiday.dat が見つからないため、%1 年の祝日を表示できません")
        .arg(year);
  }
  if (failure) {
    return QStringLiteral("%1 年の祝日を表示できません。%2 を読めません：%3")
        .arg(year)
        .arg(QDir::toNativeSeparators(QtPath(failure->file)), FailureReason(*failure));
  }
  return QStringLiteral("%1 年の祝日は %2 にありません")
      .arg(year)
      .arg(QDir::toNativeSeparators(QtPath(file)));
}

}  // namespace lunetta
