#include "picture/load_picture_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "platform/file_io.h"

namespace lunetta {

namespace {

// Raster formats a photograph comes in, with the suffixes their files go by, in the order an open
// dialog lists them. Vector and text formats (SVG, XPM) are left out: rendering them costs what the
// file asks for, and no camera writes them.
constexpr std::pair<std::string_view, std::array<std::string_view, 2>> kPhotoFormats[] = {
    {"jpeg", {"jpg", "jpeg"}}, {"png", {"png"}},   {"bmp", {"bmp"}},
    {"gif", {"gif"}},          {"webp", {"webp"}}, {"tiff", {"tif", "tiff"}}};

bool IsPhotoFormat(const QByteArray& format) {
  const std::string_view name(format.constData(), static_cast<std::size_t>(format.size()));
  return std::any_of(std::begin(kPhotoFormats), std::end(kPhotoFormats),
                     [&](const auto& known) { return known.first == name; });
}

Failure PictureFault(Fault fault, QString detail = {}) {
  return Failure(fault, {}, {}, std::move(detail));
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

Result<DecodedPicture> LoadPictureDevice(QIODevice& source, QSize fitSize) {
  ReadWatch device(source);
  QImageReader reader(&device);
  reader.setAutoTransform(true);
  reader.setAllocationLimit(static_cast<int>(kMaxDecodedBytes >> 20));

  const QByteArray format = reader.format();
  if (format.isEmpty() || !IsPhotoFormat(format)) {
    return PictureFault(Fault::UnknownFormat);
  }
  const QSize stored = reader.size();
  if (!stored.isValid() || stored.isEmpty()) {
    return PictureFault(Fault::UnreadableHeader);
  }
  if (qint64(stored.width()) * stored.height() * 4 > kMaxDecodedBytes) {
    Failure failure = PictureFault(Fault::TooLarge);
    failure.size = stored;
    return failure;
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
    return PictureFault(Fault::Undecodable, reader.errorString());
  }
  if (DataEndedEarly(format, device)) {
    return PictureFault(Fault::Truncated);
  }
  return DecodedPicture{std::move(image), turned ? stored.transposed() : stored};
}

Result<DecodedPicture> LoadPictureData(const QByteArray& bytes, QSize fitSize) {
  if (bytes.isEmpty()) {
    return PictureFault(Fault::EmptyFile);
  }
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  return LoadPictureDevice(buffer, fitSize);
}

Result<DecodedPicture> LoadPictureFile(const std::filesystem::path& path, QSize fitSize) {
  const auto fail = [&path](Fault fault, std::error_code cause = {}) {
    return Failure(fault, path, cause);
  };
  if (path.empty()) {
    return fail(Fault::NoFileNamed);
  }
  // Opened without blocking and checked before anything is read: a FIFO or a device would block or
  // read forever.
  std::error_code error;
  UniqueFd fd = OpenRegularFile(path, error);
  if (error) {
    return ReadingFailure(path, error);
  }
  QFile file;
  if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    return fail(Fault::CannotOpen);
  }
  fd.release();
  if (file.size() == 0) {
    return fail(Fault::EmptyFile);
  }
  Result<DecodedPicture> decoded = LoadPictureDevice(file, fitSize);
  if (!decoded) {
    Failure failure = decoded.failure();
    failure.file = path;
    return failure;
  }
  return decoded;
}

QStringList PhotoFilePatterns() {
  const QList<QByteArray> readable = QImageReader::supportedImageFormats();
  QStringList patterns;
  for (const auto& [format, suffixes] : kPhotoFormats) {
    if (!readable.contains(QByteArray(format.data(), static_cast<qsizetype>(format.size())))) {
      continue;
    }
    for (std::string_view suffix : suffixes) {
      if (!suffix.empty()) {
        patterns << QStringLiteral("*.") +
                        QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size()));
      }
    }
  }
  return patterns;
}

QString QtPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path FilePath(const QString& name) {
  return std::filesystem::path(QFile::encodeName(name).toStdString());
}

}  // namespace lunetta
