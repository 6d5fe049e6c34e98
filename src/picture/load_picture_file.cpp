#include "picture/load_picture_file.h"

#include <tiffio.h>

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QImageIOHandler>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPixelFormat>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>
#include <utility>

#include "picture/jpeg_decoder.h"
#include "picture/photo_codecs.h"
#include "platform/file_io.h"
#include "platform/stage_trace.h"

namespace lunetta {

namespace {

// Raster formats a photograph comes in, with the suffixes their files go by, in the order an open
// dialog lists them. Vector and text formats (SVG, XPM) are left out: rendering them costs what the
// file asks for, and no camera writes them.
constexpr std::pair<std::string_view, std::array<std::string_view, 3>> kPhotoFormats[] = {
    {"jpeg", {"jpg", "jpeg"}}, {"png", {"png"}},
    {"bmp", {"bmp"}},          {"heif", {"heic", "heif", "hif"}},
    {"avif", {"avif"}},        {"jxl", {"jxl"}},
    {"gif", {"gif"}},          {"webp", {"webp"}},
    {"tiff", {"tif", "tiff"}}};

// Formats decoded here through their own libraries rather than Qt's readers.
bool DecodedHere(std::string_view format) {
#ifdef LUNETTA_JPEG_XL
  if (format == "jxl") {
    return true;
  }
#endif
  return format == "heif" || format == "avif";
}

bool IsPhotoFormat(const QByteArray& format) {
  const std::string_view name(format.constData(), static_cast<std::size_t>(format.size()));
  return std::any_of(std::begin(kPhotoFormats), std::end(kPhotoFormats),
                     [&](const auto& known) { return known.first == name; });
}

Failure PictureFault(Fault fault, QString detail = {}) {
  return Failure(fault, {}, {}, std::move(detail));
}

// Passes reads through to the source and notes a read that came back short. The BMP reader asks
// for exactly the bytes of each row, so any short read means rows are missing, though Qt reports
// success.
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

  void resetWatch() { shortRead_ = false; }
  bool shortRead() const { return shortRead_; }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 count = source_.read(data, maxSize);
    if (count < maxSize) {
      shortRead_ = true;
    }
    return count;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QIODevice& source_;
  bool shortRead_ = false;
};

int CeilEighths(int side, int eighths) {
  return static_cast<int>((qint64(side) * eighths + 7) / 8);
}

// Bytes a pixel takes in the format the decoder produces; four when the reader does not say.
double DecodedBytesPerPixel(QImage::Format format) {
  if (format == QImage::Format_Invalid) {
    return 4;
  }
  return QImage::toPixelFormat(format).bitsPerPixel() / 8.0;
}

QLoggingCategory::CategoryFilter previousLogFilter = nullptr;

void SilenceDecoderCategories(QLoggingCategory* category) {
  if (previousLogFilter != nullptr) {
    previousLogFilter(category);
  }
  const std::string_view name = category->categoryName();
  if (name == "qt.gui.imageio" || name.starts_with("qt.gui.imageio.") ||
      name.starts_with("qt.imageformats.")) {
    for (const QtMsgType type : {QtDebugMsg, QtInfoMsg, QtWarningMsg}) {
      category->setEnabled(type, false);
    }
  }
}

// Qt's readers pass their decoders' warnings on, and libtiff prints its own: the failure a decode
// returns says what a user needs to know, in the program's own words.
void SilenceDecoders() {
  static std::once_flag once;
  std::call_once(once, [] {
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    previousLogFilter = QLoggingCategory::installFilter(SilenceDecoderCategories);
  });
}

// Skips a GIF's data sub-blocks up to and past their terminator; false when the file ends first.
bool SkipGifBlocks(QIODevice& device) {
  for (char length = 0; device.getChar(&length);) {
    const auto bytes = static_cast<unsigned char>(length);
    if (bytes == 0) {
      return true;
    }
    if (device.skip(bytes) != bytes) {
      return false;
    }
  }
  return false;
}

// Whether the first image of the GIF on `device`, which is what a photo shows, has all its data:
// Qt's reader hands over what it decoded of a file cut short as if it were whole.
bool GifImageWhole(QIODevice& device) {
  const auto skipColourTable = [&device](char flags) {
    const qint64 bytes = flags & 0x80 ? qint64(3) << ((flags & 7) + 1) : 0;
    return device.skip(bytes) == bytes;
  };
  const QByteArray screen = device.read(13);  // signature and logical screen
  if (screen.size() != 13 || !skipColourTable(screen[10])) {
    return false;
  }
  for (char introducer = 0; device.getChar(&introducer);) {
    if (introducer == 0x21) {  // an extension: its label, then its blocks
      if (!device.getChar(nullptr) || !SkipGifBlocks(device)) {
        return false;
      }
    } else if (introducer == 0x2C) {  // the image: its descriptor, colours, code size and data
      const QByteArray descriptor = device.read(9);
      return descriptor.size() == 9 && skipColourTable(descriptor[8]) && device.getChar(nullptr) &&
             SkipGifBlocks(device);
    } else {
      return false;
    }
  }
  return false;
}

}  // namespace

QSize ReducedDecodeSize(QSize pictureSize, QSize fitSize, PhotoFit fit) {
  const int eighths = ReducedDecodeEighths(pictureSize, fitSize, fit);
  return QSize(CeilEighths(pictureSize.width(), eighths),
               CeilEighths(pictureSize.height(), eighths));
}

Result<DecodedPicture> LoadPictureDevice(QIODevice& source, QSize fitSize, PhotoFit fit) {
  // The first bytes, before any reader moves the device.
  const QByteArray head = source.peek(64);
  if (IsJpeg(head)) {
    // libjpeg directly: it decodes at any eighth of the size, where Qt's reader goes by halves,
    // and it tells a picture cut short from one that only lacks its end marker. No Qt plugin is
    // involved, so a photo can decode on a worker thread while the application starts.
    return DecodeJpeg(source, fitSize, fit, kMaxDecodedBytes);
  }
  if (const bool heif = IsHeif(head); heif || IsJxl(head)) {
    const Result<const PhotoCodecs*> codecs = LoadedPhotoCodecs();
    if (!codecs) {
      return codecs.failure();
    }
    if (const PhotoCodecs::Decode decode =
            heif ? codecs.value()->decodeHeif : codecs.value()->decodeJxl) {
      return decode(source, fitSize, fit, kMaxDecodedBytes);
    }
  }
  SilenceDecoders();
  ReadWatch device(source);
  QImageReader reader(&device);
  const QByteArray format = reader.format();
  if (format.isEmpty() || !IsPhotoFormat(format)) {
    return PictureFault(Fault::UnknownFormat);
  }
  QSize stored = reader.size();
  // A BMP stored top-down gives its height as a negative number.
  if (format == "bmp" && stored.height() < 0) {
    stored.setHeight(-stored.height());
  }
  // Qt gives a GIF's first frame, but decodes onto the whole logical screen the header names.
  if (format == "gif" && head.size() >= 10 && head.startsWith("GIF8")) {
    stored = stored.expandedTo(QSize(qFromLittleEndian<quint16>(head.constData() + 6),
                                     qFromLittleEndian<quint16>(head.constData() + 8)));
  }
  if (!stored.isValid() || stored.isEmpty()) {
    return PictureFault(Fault::UnreadableHeader);
  }
  // Read from the start and back there for the reader.
  if (format == "gif" && !(source.seek(0) && GifImageWhole(source) && source.seek(0))) {
    return PictureFault(Fault::Truncated);
  }
  const QImageIOHandler::Transformations transformation = reader.transformation();
  const bool turned = transformation.testFlag(QImageIOHandler::TransformationRotate90);
  const QSize size = turned ? stored.transposed() : stored;

  // The decoded picture and the one copy that turning it or making it 32-bit for scaling takes,
  // counted before anything is decoded: a small palette or one-bit file may stand for a huge
  // picture.
  const double decodedBytes = DecodedBytesPerPixel(reader.imageFormat());
  const double copyBytes =
      transformation == QImageIOHandler::TransformationNone ? 4 : std::max(4.0, decodedBytes);
  const double peak = double(stored.width()) * stored.height() * (decodedBytes + copyBytes);
  if (peak > double(kMaxDecodedBytes)) {
    Failure failure = PictureFault(Fault::TooLarge);
    failure.size = size;
    return failure;
  }
  reader.setAutoTransform(true);
  reader.setAllocationLimit(static_cast<int>(kMaxDecodedBytes >> 20));
  device.resetWatch();
  QImage image;
  if (!reader.read(&image) || image.isNull()) {
    return PictureFault(Fault::Undecodable, reader.errorString());
  }
  if (format == "bmp" && device.shortRead()) {
    return PictureFault(Fault::Truncated);
  }
  // Scaling converts any other format to one of these, on a copy of the picture it makes first
  // (and 16 bits a channel through 64 bits a pixel): converted here, where nothing shares the
  // picture, it costs only the copy counted above.
  const QImage::Format scalable =
      image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
  if (image.format() != scalable) {
    image = std::move(image).convertToFormat(scalable);
  }
  return DecodedPicture{std::move(image), size, static_cast<qint64>(peak)};
}

Result<DecodedPicture> LoadPictureData(const QByteArray& bytes, QSize fitSize, PhotoFit fit) {
  if (bytes.isEmpty()) {
    return PictureFault(Fault::EmptyFile);
  }
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  return LoadPictureDevice(buffer, fitSize, fit);
}

Result<DecodedPicture> LoadPictureFile(const std::filesystem::path& path, QSize fitSize,
                                       PhotoFit fit) {
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
  TraceStage("decoding");
  Result<DecodedPicture> decoded = LoadPictureDevice(file, fitSize, fit);
  TraceStage("decoded");
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
    if (!DecodedHere(format) &&
        !readable.contains(QByteArray(format.data(), static_cast<qsizetype>(format.size())))) {
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
