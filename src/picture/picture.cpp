#include "picture/picture.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>
#include <utility>

#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

bool IsPathSeparator(QChar c) {
#ifdef Q_OS_WIN
  return c == u'/' || c == u'\\';
#else
  return c == u'/';
#endif
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

Result<QByteArray> EncoderForPath(const std::filesystem::path& path) {
  const QString name = QtPath(path);
  const QStringView extension = FindExtension(name);
  if (extension.size() <= 1) {
    return Failure(Fault::NoExtension, path);
  }
  for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
    const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format);
    if (FindExtension(pattern).compare(extension, Qt::CaseInsensitive) == 0) {
      return format;
    }
  }
  return Failure(Fault::NoEncoder, path, {}, extension.mid(1).toString());
}

Status Picture::Load(const std::filesystem::path& path) {
  Result<DecodedPicture> decoded = LoadPictureFile(path);
  if (!decoded) {
    image_ = QImage();
    return decoded.failure();
  }
  image_ = std::move(decoded).value().image;
  return {};
}

Status Picture::Save(const std::filesystem::path& path, int jpegQuality) const {
  const Result<QByteArray> format = EncoderForPath(path);
  if (!format) {
    return format.failure();
  }
  if (image_.isNull()) {
    return Failure(Fault::NothingToWrite, path);
  }

  QSaveFile file(QtPath(path));
  if (!file.open(QIODevice::WriteOnly)) {
    return Failure(Fault::CannotWrite, path, {}, file.errorString());
  }
  QImageWriter writer(&file, format.value());
  if (format.value() == "jpeg" || format.value() == "jpg") {
    writer.setQuality(jpegQuality);
  }
  if (!writer.write(image_)) {
    file.cancelWriting();
    return Failure(Fault::EncodeFailed, path, {}, writer.errorString());
  }
  if (!file.commit()) {
    return Failure(Fault::CannotWrite, path, {}, file.errorString());
  }
  return {};
}

}  // namespace lunetta
