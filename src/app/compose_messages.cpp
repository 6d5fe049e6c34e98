#include "app/compose_messages.h"

#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

QString Cause(const Failure& failure) {
  return failure.cause ? QString::fromStdString(failure.cause.message()) : failure.detail;
}

QString WithCause(const QString& sentence, const Failure& failure) {
  const QString cause = Cause(failure);
  return cause.isEmpty() ? sentence : QStringLiteral("%1 (%2)").arg(sentence, cause);
}

}  // namespace

QString EnglishReason(const Failure& failure) {
  switch (failure.fault) {
    case Fault::NoFileNamed:
      return QStringLiteral("no file named");
    case Fault::NotFound:
      return QStringLiteral("no such file");
    case Fault::IsFolder:
      return QStringLiteral("it is a folder, not a file");
    case Fault::NotRegularFile:
      return QStringLiteral("not a regular file");
    case Fault::NoPermission:
      return QStringLiteral("no permission to read it");
    case Fault::CannotOpen:
      return WithCause(QStringLiteral("it cannot be opened"), failure);
    case Fault::EmptyFile:
      return QStringLiteral("the file is empty");
    case Fault::UnknownFormat:
      return QStringLiteral("not a picture in a format Lunetta reads");
    case Fault::UnreadableHeader:
      return QStringLiteral("the picture's header cannot be read");
    case Fault::TooLarge:
      if (!failure.size.isValid()) {
        return QStringLiteral("the picture is too large");
      }
      return QStringLiteral("the picture is too large (%1 × %2 pixels)")
          .arg(failure.size.width())
          .arg(failure.size.height());
    case Fault::Undecodable:
      return WithCause(QStringLiteral("the picture cannot be decoded"), failure);
    case Fault::Truncated:
      return QStringLiteral("the file ends before the picture's data does");
    case Fault::NoExtension:
      return QStringLiteral("the name has no extension to choose a picture format by");
    case Fault::NoEncoder:
      return QStringLiteral("no picture format has the extension \"%1\"").arg(failure.detail);
    case Fault::NothingToWrite:
      return QStringLiteral("there is no picture to write");
    case Fault::EncodeFailed:
      return WithCause(QStringLiteral("the picture cannot be encoded"), failure);
    case Fault::CannotWrite:
      return WithCause(QStringLiteral("it cannot be written"), failure);
    case Fault::DateOutOfRange:
      return QStringLiteral("cannot draw %1").arg(failure.detail);
    case Fault::ValueOutOfRange:
      return failure.detail;
    case Fault::PrinterNotStarted:
      return QStringLiteral("the printer cannot be started");
    case Fault::DesktopNotSupported:
      return QStringLiteral(
                 "this desktop (%1) cannot be set automatically; choose the saved picture as "
                 "the wallpaper yourself")
          .arg(failure.detail.isEmpty() ? QStringLiteral("unknown") : failure.detail);
    case Fault::ToolNotFound:
      return QStringLiteral("the program is not installed");
    case Fault::ToolFailed:
      return WithCause(QStringLiteral("it failed"), failure);
    case Fault::ToolTimedOut:
      return QStringLiteral("it did not finish in time");
    case Fault::NoWallpaperSetting:
      return QStringLiteral("it lists no wallpaper to change");
    case Fault::UnstorableName:
      return QStringLiteral("the renewal's files can hold only names that are UTF-8 text");
    case Fault::NoPhotosInFolder:
      return QStringLiteral("the folder holds no pictures");
  }
  return QString();
}

QString EnglishMessage(const QString& what, const Failure& failure) {
  if (failure.file.empty()) {
    return QStringLiteral("%1: %2").arg(what, EnglishReason(failure));
  }
  return QStringLiteral("%1 \"%2\": %3").arg(what, QtPath(failure.file), EnglishReason(failure));
}

}  // namespace lunetta
