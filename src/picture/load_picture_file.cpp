#include "picture/load_picture_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QImageIOHandler>
#include <QImageReader>
#include <array>
#include <string_view>
#include <utility>

namespace lunetta {

namespace {

// Raster formats a photograph comes in. Vector and text formats (SVG, XPM) are left out: rendering
// them costs what the file asks for, and no camera writes them.
constexpr std::array<std::string_view, 6> kPhotoFormats = {"bmp", "jpeg", "png",
                                                           "gif", "webp", "tiff"};

bool IsPhotoFormat(const QByteArray& format) {
  const std::string_view name(format.constData(), static_cast<std::size_t>(format.size()));
  for (std::string_view known : kPhotoFormats) {
    if (name == known) {
      return true;
    }
  }
  return false;
}

DecodedPicture Failure(QString reason) {
  DecodedPicture result;
  result.size = QSize(0, 0);
  result.error = std::move(reason);
  return result;
}

// Passes reads through to the source and notes what the decoder asked for. Qt's JPEG decoder
// inserts an end-of-image marker when the data runs out and reports success with a grey lower part;
// a read at the end of the data is how a cut-off file shows.
class ReadWatch final : public QIODevice {
 public:
  explicit ReadWatch(QIODevice& source) : source_(source) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }

  bool isSequential() const override { return source_.isSequential(); }
  qint64 size() const override { return source_.size(); }
  bool seek(qint64 position) override {
    return source_.seek(position) && QIODevice::seek(position);
  }

  void resetWatch() {
    readAtEnd_ = false;
    shortRead_ = false;
  }
  bool readAtEnd() const { return readAtEnd_; }
  bool shortRead() const { return shortRead_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 count = source_.read(data, maxSize);
    if (maxSize > 0 && count == 0) {
      readAtEnd_ = true;
    }
    if (count < maxSize) {
      shortRead_ = true;
    }
    return count;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QIODevice& source_;
  bool readAtEnd_ = false;
  bool shortRead_ = false;
};

int CeilEighths(int side, int eighths) {
  return static_cast<int>((qint64(side) * eighths + 7) / 8);
}

// Whether the decoder stopped short of the picture's data. JPEG reads in blocks, so only a read at
// the very end counts; the BMP reader asks for exactly the bytes of each row, so any short read
// means rows are missing.
bool DataEndedEarly(const QByteArray& format, const ReadWatch& watch) {
  if (format == "jpeg") {
    return watch.readAtEnd();
  }
  if (format == "bmp") {
    return watch.shortRead();
  }
  return false;
}

}  // namespace

QSize ReducedDecodeSize(QSize pictureSize, QSize fitSize) {
  if (!fitSize.isValid() || fitSize.isEmpty() || pictureSize.isEmpty()) {
    return pictureSize;
  }
  for (int eighths = 1; eighths < 8; ++eighths) {
    const QSize scaled(CeilEighths(pictureSize.width(), eighths),
                       CeilEighths(pictureSize.height(), eighths));
    if (scaled.width() >= fitSize.width() && scaled.height() >= fitSize.height()) {
      return scaled;
    }
  }
  return pictureSize;
}

DecodedPicture LoadPictureDevice(QIODevice& source, QSize fitSize) {
  ReadWatch device(source);
  QImageReader reader(&device);
  reader.setAutoTransform(true);
  reader.setAllocationLimit(static_cast<int>(kMaxDecodedBytes >> 20));

  const QByteArray format = reader.format();
  if (format.isEmpty() || !IsPhotoFormat(format)) {
    return Failure(QStringLiteral("not a picture in a format Lunetta reads"));
  }
  const QSize stored = reader.size();
  if (!stored.isValid() || stored.isEmpty()) {
    return Failure(QStringLiteral("the picture's header cannot be read"));
  }
  if (qint64(stored.width()) * stored.height() * 4 > kMaxDecodedBytes) {
    return Failure(QStringLiteral("the picture is too large (%1 × %2 pixels)")
                       .arg(stored.width())
                       .arg(stored.height()));
  }

  // Scaled size and header are in the file's own orientation; the EXIF turn comes after decoding.
  const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
  if (fitSize.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
    const QSize reduced = ReducedDecodeSize(stored, turned ? fitSize.transposed() : fitSize);
    if (reduced != stored) {
      reader.setScaledSize(reduced);
    }
  }

  device.resetWatch();
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    const QString why = reader.errorString();
    return Failure(QStringLiteral("the picture cannot be decoded (%1)").arg(why));
  }
  if (DataEndedEarly(format, device)) {
    return Failure(QStringLiteral("the file ends before the picture's data does"));
  }

  DecodedPicture result;
  result.image = std::move(image);
  result.size = turned ? stored.transposed() : stored;
  return result;
}

DecodedPicture LoadPictureData(const QByteArray& bytes, QSize fitSize) {
  if (bytes.isEmpty()) {
    return Failure(QStringLiteral("the file is empty"));
  }
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  return LoadPictureDevice(buffer, fitSize);
}

DecodedPicture LoadPictureFile(const QString& path, QSize fitSize) {
  if (path.isEmpty()) {
    return Failure(QStringLiteral("no file named"));
  }
  // Checked before opening: opening a FIFO or a device would block or read forever.
  const QFileInfo info(path);
  if (!info.exists()) {
    return Failure(QStringLiteral("no such file"));
  }
  if (info.isDir()) {
    return Failure(QStringLiteral("it is a folder, not a file"));
  }
  if (!info.isFile()) {
    return Failure(QStringLiteral("not a regular file"));
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return Failure(file.error() == QFileDevice::PermissionsError
                       ? QStringLiteral("no permission to read it")
                       : QStringLiteral("it cannot be opened (%1)").arg(file.errorString()));
  }
  if (file.size() == 0) {
    return Failure(QStringLiteral("the file is empty"));
  }
  return LoadPictureDevice(file, fitSize);
}

}  // namespace lunetta
