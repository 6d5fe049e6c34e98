#include "picture/picture.h"

#include <QBuffer>
#include <QImageWriter>
#include <utility>

#include "picture/atomic_file_device.h"
#include "picture/jpeg_encoder.h"
#include "picture/load_picture_file.h"
#include "platform/file_io.h"

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

Status Picture::Save(const std::filesystem::path& path, int jpegQuality,
                     std::optional<std::filesystem::perms> mode) const {
  const Result<QByteArray> format = EncoderForPath(path);
  if (!format) {
    return format.failure();
  }
  if (image_.isNull()) {
    return Failure(Fault::NothingToWrite, path);
  }

  // A name the user gave: a link there is replaced, never followed, and a FIFO or device is
  // refused; the file gets the usual mode of the user's files.
  AtomicFileWriter file;
  AtomicWriteOptions options;
  options.flush = Flush::WhenReplacing;
  if (mode) {
    options.mode = mode;
    options.keepExistingMode = false;
  }
  if (const std::error_code error = file.open(path, options)) {
    return WritingFailure(path, error);
  }
  AtomicFileDevice device(file);
  Status encoded;
  if (format.value() == "jpeg" || format.value() == "jpg") {
    encoded = EncodeJpeg(image_, jpegQuality, device);
  } else if (QImageWriter writer(&device, format.value()); !writer.write(image_)) {
    encoded = Failure(Fault::EncodeFailed, {}, {}, writer.errorString());
  }
  if (const std::error_code error = device.Finish()) {
    return WritingFailure(path, error);
  }
  if (!encoded) {
    Failure failure = encoded.failure();
    failure.file = path;
    return failure;
  }
  if (const std::error_code error = file.commit()) {
    return WritingFailure(path, error);
  }
  return {};
}

}  // namespace lunetta
