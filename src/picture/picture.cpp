#include "picture/picture.h"

#include <QImageWriter>
#include <QSaveFile>
#include <utility>

#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

constexpr int kJpegQuality = 75;  // the platform encoder's default

bool IsPathSeparator(QChar c) {
#ifdef Q_OS_WIN
  return c == u'/' || c == u'\\';
#else
  return c == u'/';
#endif
}

bool Fail(QString* error, QString reason) {
  if (error != nullptr) {
    *error = std::move(reason);
  }
  return false;
}

}  // namespace

QStringView FindExtension(QStringView path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i) {
    if (IsPathSeparator(path[i])) {
      break;
    }
    if (path[i] == u'.') {
      return path.mid(i);
    }
  }
  return {};
}

QByteArray EncoderForPath(const QString& path) {
  const QStringView extension = FindExtension(path);
  if (extension.isEmpty()) {
    return {};
  }
  for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
    const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format);
    if (FindExtension(pattern).compare(extension, Qt::CaseInsensitive) == 0) {
      return format;
    }
  }
  return {};
}

QString NoEncoderReason(const QString& path) {
  const QStringView extension = FindExtension(path);
  if (extension.size() <= 1) {
    return QStringLiteral("the name has no extension to choose a picture format by");
  }
  return QStringLiteral("no picture format has the extension \"%1\"").arg(extension.mid(1));
}

bool Picture::Load(const QString& path, QString* error) {
  DecodedPicture decoded = LoadPictureFile(path);
  if (!decoded) {
    image_ = QImage();
    return Fail(error, decoded.error);
  }
  image_ = std::move(decoded.image);
  return true;
}

bool Picture::Save(const QString& path, QString* error) const {
  if (image_.isNull()) {
    return Fail(error, QStringLiteral("there is no picture to save"));
  }
  const QByteArray format = EncoderForPath(path);
  if (format.isEmpty()) {
    const QStringView extension = FindExtension(path);
    return Fail(
        error,
        extension.size() <= 1
            ? QStringLiteral("the name has no extension to choose a format by")
            : QStringLiteral("no picture format has the extension \"%1\"").arg(extension.mid(1)));
  }

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return Fail(error, file.errorString());
  }
  QImageWriter writer(&file, format);
  if (format == "jpeg" || format == "jpg") {
    writer.setQuality(kJpegQuality);
  }
  if (!writer.write(image_)) {
    file.cancelWriting();
    return Fail(error, writer.errorString());
  }
  if (!file.commit()) {
    return Fail(error, file.errorString());
  }
  return true;
}

}  // namespace lunetta
