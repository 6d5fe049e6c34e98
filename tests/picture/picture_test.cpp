#include "picture/picture.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <array>
#include <csignal>
#include <optional>
#include <tuple>

#include "picture/area_scaler.h"
#include "picture/jpeg_decoder.h"
#include "picture/libjpeg_files.h"
#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "picture/picture_painter.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

using namespace testing;

class PictureFilesTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) const {
    EXPECT_TRUE(WriteBytes(dir_.filePath(name), bytes));
    return dir_.filePath(name);
  }

  QTemporaryDir dir_;
};

TEST_F(PictureFilesTest, SavesTheFormatTheExtensionSelects) {
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.jpg"));
  Write("picture.bmp", "old");
  Write("DeskTopImg.", "keep me");
  ASSERT_TRUE(QFile::link(Write("elsewhere.bmp", "keep me"), dir_.filePath("link.bmp")));
  const QImage image = DetailedImage(64, 48);
  const std::tuple<const char*, const char*, std::optional<Fault>> cases[] = {
      // name, format written; or the fault, and nothing written
      {"DeskTopImg.jpg", "jpeg", {}},
      {"DESKTOP.JPG", "jpeg", {}},
      {"picture.bmp", "bmp", {}},
      {"link.bmp", "bmp", {}},  // the link is replaced, the file it names kept
      {"DeskTopImg", "", Fault::NoExtension},
      {"folder.jpg/DeskTopImg", "", Fault::NoExtension},
      {"DeskTopImg.", "", Fault::NoExtension},
      {"DeskTopImg.xyz", "", Fault::NoEncoder},
      {"no-such-folder/DeskTopImg.jpg", "", Fault::CannotWrite}};
  for (const auto& [name, format, fault] : cases) {
    const QString path = dir_.filePath(name);
    const Status saved = Picture(image).Save(FilePath(path));
    EXPECT_EQ(FaultOf(saved), fault) << name;
    if (!saved.ok()) {
      EXPECT_EQ(saved.failure().file, FilePath(path)) << name;
    }
    EXPECT_EQ(QImageReader::imageFormat(path), format) << name;
  }
  EXPECT_EQ(ReadBytes(dir_.filePath("DeskTopImg.")), "keep me");
  EXPECT_EQ(ReadBytes(dir_.filePath("elsewhere.bmp")), "keep me");
  EXPECT_FALSE(QFileInfo(dir_.filePath("link.bmp")).isSymLink());
  EXPECT_EQ(ReadBytes(dir_.filePath("DeskTopImg.jpg")), Encode(image, "jpeg", 75));
  // No temporary file left behind.
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"DESKTOP.JPG", "DeskTopImg.", "DeskTopImg.jpg", "elsewhere.bmp",
                         "link.bmp", "picture.bmp"}));
}

// The encoder itself refuses a picture wider than JPEG allows: the file it was to replace stays as
// it was, and no temporary file is left.
TEST_F(PictureFilesTest, AFailingEncoderReplacesNothing) {
  const QString target = Write("wide.jpg", "the old file");
  const Status saved = Picture(QImage(70000, 1, QImage::Format_RGB888)).Save(FilePath(target));
  EXPECT_EQ(FaultOf(saved), Fault::EncodeFailed);
  EXPECT_EQ(ReadBytes(target), "the old file");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"wide.jpg"});
  EXPECT_EQ(FaultOf(Picture().Save(FilePath(target))), Fault::NothingToWrite);
}

// A disk that fills while the encoder's rows are still gathered: the save fails with the reason,
// and the file it was to replace stays.
TEST_F(PictureFilesTest, AFullDiskReplacesNothing) {
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  for (const char* name : {"full.bmp", "full.jpg"}) {
    const QString target = Write(name, "the old file");
    rlimit small = previous;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status saved = Picture(DetailedImage(64, 48)).Save(FilePath(target));
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &previous), 0);
    EXPECT_EQ(FaultOf(saved), Fault::CannotWrite) << name;
    EXPECT_EQ(ReadBytes(target), "the old file") << name;
  }
  std::signal(SIGXFSZ, previousHandler);
}

TEST(PicturePainterTest, StretchesOverTheTargetInDevicePixels) {
  // Left half red, right half green: a kept aspect or a crop shows.
  QImage image = Filled({1280, 1024}, Qt::red, QImage::Format_RGB888);
  QPainter(&image).fillRect(640, 0, 640, 1024, Qt::green);

  PicturePainter painter;
  // On blue: the colours at the corners and either side of the middle.
  const auto stretched = [&](const QImage& picture) {
    QImage target = Filled({643, 482}, Qt::blue);
    QPainter onTarget(&target);
    painter.PaintStretched(picture, onTarget, 643, 482);
    onTarget.end();
    return QList{target.pixelColor(2, 2), target.pixelColor(300, 240), target.pixelColor(343, 240),
                 target.pixelColor(640, 479)};
  };
  EXPECT_EQ(stretched(image), (QList<QColor>{Qt::red, Qt::red, Qt::green, Qt::green}));
  EXPECT_EQ(stretched(QImage()), QList<QColor>(4, Qt::blue));
  EXPECT_DOUBLE_EQ(painter.scaleX(), 0.50234375);
  EXPECT_DOUBLE_EQ(painter.scaleY(), 0.470703125);

  // At a device pixel ratio of 2 the picture is stretched to the device's pixels: a column one
  // device pixel wide stays sharp.
  QImage column = Filled({1286, 964}, Qt::red);
  QPainter(&column).fillRect(641, 0, 1, 964, Qt::green);
  QImage device(1286, 964, QImage::Format_RGB32);
  device.setDevicePixelRatio(2);
  QPainter onDevice(&device);
  painter.PaintStretched(column, onDevice, 643, 482);
  onDevice.end();
  EXPECT_EQ((QList{device.pixelColor(640, 100), device.pixelColor(641, 100),
                   device.pixelColor(642, 100)}),
            (QList<QColor>{Qt::red, Qt::green, Qt::red}));
  EXPECT_DOUBLE_EQ(painter.scaleX(), 0.5);
}

// Each target pixel is the mean of the source area it covers: three values shrunk to two take one
// and a half each, in both directions.
TEST(AreaScalerTest, AveragesTheAreaEachPixelCovers) {
  const struct {
    QSize source, target;
    std::vector<std::uint8_t> values;  // the source's pixels, one grey byte each, row by row
    std::vector<std::uint8_t> expected;
  } cases[] = {
      {{3, 1}, {2, 1}, {0, 90, 180}, {30, 150}},
      {{1, 3}, {1, 2}, {0, 90, 180}, {30, 150}},
      {{4, 2}, {2, 1}, {0, 40, 80, 120, 255, 255, 255, 255}, {138, 178}},
      {{5, 1}, {5, 1}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}},
      {{7, 1}, {2, 1}, {255, 255, 255, 255, 255, 255, 255}, {255, 255}},  // uniform stays exact
      // Rounded once, at the end: 191.1 is 191.
      {{3, 3}, {2, 2}, {0, 100, 255, 255, 100, 200, 100, 100, 255}, {90, 191, 134, 191}},
  };
  for (const auto& c : cases) {
    QImage target(c.target, QImage::Format_RGB888);
    AreaScaler scaler(c.source.width(), c.source.height(), target);
    for (int y = 0; y < c.source.height(); ++y) {
      std::vector<std::uint8_t> row;
      for (int x = 0; x < c.source.width(); ++x) {
        row.insert(row.end(), 3, c.values[static_cast<std::size_t>(y * c.source.width() + x)]);
      }
      scaler.AddRow(row.data());
    }
    std::vector<std::uint8_t> got;
    for (int y = 0; y < c.target.height(); ++y) {
      for (int x = 0; x < c.target.width(); ++x) {
        got.push_back(static_cast<std::uint8_t>(qRed(target.pixel(x, y))));
      }
    }
    EXPECT_EQ(got, c.expected) << c.source.width() << " x " << c.source.height();
  }
  // The channels keep their places.
  QImage target(1, 1, QImage::Format_RGB888);
  AreaScaler scaler(2, 1, target);
  const std::uint8_t orange[] = {250, 120, 10, 250, 120, 10};
  scaler.AddRow(orange);
  EXPECT_EQ(target.pixelColor(0, 0), QColor(250, 120, 10));
}

// A BMP whose info header claims `width` × `height` pixels over 16 × 16 pixels of data.
QByteArray LyingBmp(std::int32_t width, std::int32_t height) {
  QByteArray bmp = Encode(DetailedImage(16, 16), "bmp");
  qToLittleEndian(width, bmp.data() + 18);
  qToLittleEndian(height, bmp.data() + 22);
  return bmp;
}

TEST_F(PictureFilesTest, RefusesBadFilesWithTheirFault) {
  const QByteArray jpeg = JpegBytes(320, 240);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.jpg"));
  std::vector<std::pair<QString, Fault>> cases = {
      {dir_.filePath("none.jpg"), Fault::NotFound},
      {Write("empty.jpg", {}), Fault::EmptyFile},
      {dir_.filePath("folder.jpg"), Fault::IsFolder},
      {Write("notes.jpg", "Shopping list:\n- milk\n"), Fault::UnknownFormat},
      {Write("cut.jpg", jpeg.left(jpeg.size() / 2)), Fault::Truncated},
      {Write("lies.bmp", LyingBmp(4000, 3000)), Fault::Truncated},
      {Write("huge.bmp", LyingBmp(60000, 60000)), Fault::UnreadableHeader},
      {Write("wide.png", PngBomb(15000, 10000, 6, 8)), Fault::TooLarge},
      // The decode and its 32-bit copy pass 512 MiB by 64 KiB here (RGBA: 8 bytes a pixel), though
      // the pixels alone would not; one row less is just within it.
      {Write("over.png", PngBomb(8192, 8193, 6, 8)), Fault::TooLarge},
      {Write("within.png", PngBomb(8192, 8192, 6, 8)), Fault::Undecodable},
      // Small files of huge pictures: grey, palette, one bit a pixel, a GIF's screen, and a JPEG
      // too short for the blocks it claims.
      {Write("grey.png", PngBomb(11500, 11500, 0, 8)), Fault::TooLarge},
      {Write("palette.png", PngBomb(11500, 11500, 3, 8)), Fault::TooLarge},
      {Write("bits.png", PngBomb(11500, 11500, 0, 1)), Fault::TooLarge},
      {Write("screen.gif", GifBomb(11500, 11500)), Fault::TooLarge},
      {Write("claims.jpg", Claiming(jpeg, 11500, 11500)), Fault::Truncated},
      // Cut inside the image's data, and before the end of its blocks.
      {Write("cut.gif", GifBomb(16, 16).chopped(4)), Fault::Truncated},
      {Write("unended.gif", GifBomb(16, 16).chopped(2)), Fault::Truncated}};
  if (geteuid() != 0) {  // permissions do not bind root
    cases.emplace_back(Write("locked.jpg", jpeg), Fault::NoPermission);
    ASSERT_TRUE(QFile::setPermissions(cases.back().first, QFileDevice::WriteOwner));
  }
  for (const auto& [path, fault] : cases) {
    for (const QSize fit : {QSize(), QSize(1280, 1024)}) {
      const Result<DecodedPicture> decoded = LoadPictureFile(FilePath(path), fit);
      ASSERT_EQ(FaultOf(decoded.status()), fault) << path.toStdString();
      EXPECT_EQ(decoded.failure().file, FilePath(path));
    }
  }
  EXPECT_EQ(LoadPictureFile(FilePath(dir_.filePath("over.png"))).failure().size, QSize(8192, 8193));
}

TEST_F(PictureFilesTest, DecodesEachFormatForTheSizeDrawn) {
  const QImage image = DetailedImage(64, 48);
  const auto load = [&](const QString& name, const QByteArray& bytes, QSize fit = {},
                        PhotoFit how = PhotoFit::Stretch) {
    const Result<DecodedPicture> decoded = LoadPictureFile(FilePath(Write(name, bytes)), fit, how);
    EXPECT_TRUE(Succeeded(decoded.status())) << name.toStdString();
    return decoded ? decoded.value() : DecodedPicture{};
  };
  for (const char* format : {"bmp", "jpeg", "png", "gif"}) {
    const QByteArray bytes = *format == 'g' ? GifBomb(64, 48) : Encode(image, format);
    EXPECT_EQ(load(QString("a.") + format, bytes).image.size(), QSize(64, 48));
  }
  // PNGs of each depth, made 32-bit: Qt would scale others through a copy, and 16 bits a channel
  // through 64 bits a pixel.
  for (const QImage::Format format :
       {QImage::Format_Mono, QImage::Format_Indexed8, QImage::Format_Grayscale8,
        QImage::Format_Grayscale16, QImage::Format_RGB888, QImage::Format_RGBA64}) {
    const QImage original = image.convertToFormat(format);
    const QImage decoded = load("depth.png", Encode(original, "png")).image;
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
              original.convertToFormat(QImage::Format_RGB32))
        << format;
    EXPECT_EQ(decoded.depth(), 32) << format;
  }
  // Some cameras append data (a preview, a video) after the end-of-image marker; some leave the
  // marker out. Neither loses a pixel.
  const QImage tail = load("tail.jpg", JpegBytes(40, 30) + QByteArray(5000, 'x')).image;
  const QByteArray jpeg40 = JpegBytes(40, 30);
  EXPECT_EQ(load("no-end.jpg", jpeg40.left(jpeg40.size() - 2)).image, tail);
  // Stored top-down (a negative height), as many programs write BMPs.
  for (const QImage::Format format :
       {QImage::Format_Indexed8, QImage::Format_RGB888, QImage::Format_RGB32}) {
    const QImage original = DetailedImage(37, 23).convertToFormat(format);
    const QImage decoded = load("top-down.bmp", TopDownBmp(original)).image;
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
              original.convertToFormat(QImage::Format_RGB32))
        << format;
  }
  EXPECT_EQ(ReducedDecodeSize({6001, 4001}, {750, 500}), QSize(751, 501));      // sides round up
  EXPECT_EQ(ReducedDecodeSize({1300, 1100}, {1280, 1024}), QSize(1300, 1100));  // 7/8 too small
  // A fill covers the picture with the photo's shape (3840 × 2560 here); a fit needs only as much
  // as fits inside it (3240 × 2160).
  EXPECT_EQ(ReducedDecodeSize({6000, 4000}, {3840, 2160}, PhotoFit::Fill), QSize(4500, 3000));
  EXPECT_EQ(ReducedDecodeSize({6000, 4000}, {3840, 2160}, PhotoFit::Fit), QSize(3750, 2500));
  // A JPEG comes out of the decoder at the size it shows at, too small as it is (to be enlarged
  // afterwards), or as decoded when that is the size.
  EXPECT_EQ(load("big.jpg", JpegBytes(4000, 3000), {1280, 1024}).image.size(), QSize(1280, 1024));
  EXPECT_EQ(load("eighth.jpg", JpegBytes(4000, 3000), {1000, 750}).image.size(), QSize(1000, 750));
  EXPECT_EQ(load("fit.jpg", JpegBytes(3000, 2000), {1920, 1080}, PhotoFit::Fit).image.size(),
            QSize(1620, 1080));
  EXPECT_EQ(load("small.jpg", JpegBytes(640, 480), {1920, 1080}, PhotoFit::Fill).image.size(),
            QSize(640, 480));
}

int Distance(QColor a, QColor b) {
  return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                   std::abs(a.blue() - b.blue())});
}

Result<DecodedPicture> DecodeJpegBytes(QByteArray bytes, QSize fit, PhotoFit how, qint64 bound) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return DecodeJpeg(buffer, fit, how, bound);
}

// JPEGs coded every way libjpeg offers, whole, cut or in a tight bound: each decoded whole within
// its bound, or refused with the fault that says why. Some bounds are the bytes of the 1024 × 768
// picture's coefficients, which a decoder of several scans holds whole and one of a single scan
// never does.
TEST(JpegDecoderTest, DecodesOnlyWhatIsWholeWithinItsBound) {
  constexpr qint64 kCoefficients = (128 * 96 + 2 * 64 * 48) * 128;
  const QByteArray baseline = LibjpegBytes(1024, 768);
  const QByteArray progressive = LibjpegBytes(1024, 768, {.progressive = true});
  const QByteArray perComponent = LibjpegBytes(1024, 768, {.scanPerComponent = true});
  const QByteArray arithmetic = LibjpegBytes(1024, 768, {.arithmetic = true});
  const QByteArray claims = Claiming(LibjpegBytes(64, 64, {.arithmetic = true}), 65500, 65500);
  // Inverted CMYK (255, 128, 0, 200) is red 200, green 100.
  const std::vector<JSAMPLE> ink = {255, 128, 0, 200};
  const QByteArray cmyk = LibjpegBytes(64, 640, {.space = JCS_CMYK}, ink);
  const QByteArray ycck = LibjpegBytes(64, 640, {.space = JCS_YCCK}, ink);
  const QColor inked(200, 100, 0);
  struct Case {
    const char* name;
    QByteArray bytes;
    std::optional<Fault> fault;  // none: decoded
    qint64 bound = kMaxDecodedBytes;
    QSize fit = {128, 96};
    PhotoFit how = PhotoFit::Stretch;
    QColor middle = {};  // the decoded picture's, where given
  };
  const Case cases[] = {
      {"baseline", baseline, {}, kCoefficients},
      {"baseline larger than its bound", baseline, Fault::TooLarge, baseline.size() - 1},
      {"progressive", progressive, Fault::TooLarge, kCoefficients},
      {"a scan a component", perComponent, Fault::TooLarge, kCoefficients},
      {"arithmetic without its end marker", arithmetic.chopped(2), {}},
      {"progressive without its end marker", progressive.chopped(2), {}},
      {"a scan a component without its end marker", perComponent.chopped(2), {}},
      {"arithmetic cut", arithmetic.left(arithmetic.size() / 10), Fault::Truncated},
      // Refused for its few bytes before its size is looked at.
      {"arithmetic claiming 65500²", claims, Fault::Truncated, kCoefficients},
      {"progressive cut before its last scan", CutBeforeLastScan(progressive), Fault::Truncated},
      {"a scan a component cut before the last", CutBeforeLastScan(perComponent), Fault::Truncated},
      {"CMYK", cmyk, {}, kMaxDecodedBytes, {}, PhotoFit::Stretch, inked},
      {"CMYK filled", cmyk, {}, kMaxDecodedBytes, {8, 32}, PhotoFit::Fill, inked},
      {"YCCK", ycck, {}, kMaxDecodedBytes, {}, PhotoFit::Stretch, inked},
  };
  for (const Case& c : cases) {
    const Result<DecodedPicture> decoded = DecodeJpegBytes(c.bytes, c.fit, c.how, c.bound);
    EXPECT_EQ(FaultOf(decoded.status()), c.fault) << c.name;
    if (c.fault == Fault::TooLarge) {
      EXPECT_EQ(decoded.failure().size, QSize(1024, 768)) << c.name;
    }
    if (decoded) {
      EXPECT_LE(decoded->peakBytes, c.bound) << c.name;
      const QImage& image = decoded->image;
      const QColor middle = image.pixelColor(image.width() / 2, image.height() / 2);
      EXPECT_TRUE(!c.middle.isValid() || Distance(middle, c.middle) <= 3)
          << c.name << ": " << middle.name().toStdString();
    }
  }
}

// A complete picture decoded at a quarter of its size fits a bound of exactly what that decode
// takes, and not of one byte less.
TEST(JpegDecoderTest, RefusesAPictureOneBytePastItsBound) {
  const QByteArray jpeg = LibjpegBytes(2048, 1536);
  const QSize fit(512, 384);
  const Result<DecodedPicture> unbounded =
      DecodeJpegBytes(jpeg, fit, PhotoFit::Stretch, kMaxDecodedBytes);
  ASSERT_TRUE(Succeeded(unbounded.status()));
  const qint64 peak = unbounded->peakBytes;
  // The file, and the output at the size decoded, once: a picture that is not turned is not
  // copied.
  const qint64 output = 512 * 384 * 4;
  EXPECT_GE(peak, jpeg.size() + output);
  EXPECT_LT(peak, jpeg.size() + 2 * output);
  EXPECT_TRUE(Succeeded(DecodeJpegBytes(jpeg, fit, PhotoFit::Stretch, peak).status()));
  const Result<DecodedPicture> past = DecodeJpegBytes(jpeg, fit, PhotoFit::Stretch, peak - 1);
  EXPECT_EQ(FaultOf(past.status()), Fault::TooLarge);
  EXPECT_EQ(past.failure().size, QSize(2048, 1536));
}

// Red, green above blue, yellow, as each EXIF orientation shows them, decoded for a 256 × 512
// picture: the turned ones at a quarter of their size, the others at half and shrunk across.
TEST(JpegDecoderTest, ShowsEachExifOrientation) {
  const QByteArray jpeg = Encode(Quadrants(2048, 1024), "jpeg", 90);
  const QColor r = Qt::red, g = Qt::green, b = Qt::blue, y = Qt::yellow;
  const std::array<QColor, 4> corners[] = {// top left, top right, bottom left, bottom right
                                           {r, g, b, y}, {g, r, y, b}, {y, b, g, r}, {b, y, r, g},
                                           {r, b, g, y}, {b, r, y, g}, {y, g, b, r}, {g, y, r, b}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (const bool xmpFirst : {false, true}) {
      const Result<DecodedPicture> decoded =
          LoadPictureData(WithOrientation(jpeg, orientation, xmpFirst), {256, 512});
      ASSERT_TRUE(Succeeded(decoded.status())) << orientation;
      const bool turned = orientation >= 5;
      EXPECT_EQ(decoded->size, turned ? QSize(1024, 2048) : QSize(2048, 1024)) << orientation;
      const QImage& image = decoded->image;
      EXPECT_EQ(image.size(), QSize(256, 512)) << orientation;
      for (int i = 0; i < 4; ++i) {  // the middle of each quarter
        const QColor seen = image.pixelColor((1 + i % 2 * 2) * image.width() / 4,
                                             (1 + i / 2 * 2) * image.height() / 4);
        EXPECT_LE(Distance(seen, corners[orientation - 1][static_cast<std::size_t>(i)]), 8)
            << "orientation " << orientation << ", corner " << i;
      }
    }
  }
}

// libpng's warning about a damaged chunk and libtiff's about a tag it does not know stay off
// standard error: the picture decodes, and a failure would say what matters.
TEST(PictureDecodersTest, KeepTheirWarningsOffStandardError) {
  const QImage image = Filled({16, 16}, Qt::red);
  QByteArray png = Encode(image, "png");
  QByteArray text = PngChunk("tEXt", QByteArray("Key\0value", 9));
  text.back() = static_cast<char>(~text.back());  // a bad CRC
  png.insert(33, text);                           // after the header
  QByteArray tiff = Encode(image, "tiff");
  tiff.replace(QByteArray::fromHex("28010300"), QByteArray::fromHex("E8FD0300"));  // tag 65000
  for (const QByteArray& bytes : {png, tiff}) {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(Succeeded(LoadPictureData(bytes).status()));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
}

// The decoder is libjpeg's own: every pixel as djpeg makes it, at full size and at 3/8.
TEST_F(PictureFilesTest, JpegsDecodeAsLibjpegDoes) {
  if (QStandardPaths::findExecutable("djpeg").isEmpty()) {
    GTEST_SKIP() << "libjpeg-turbo-progs are not installed";
  }
  const QString jpeg = Write("tall.jpg", JpegBytes(1000, 1400));
  for (const auto& [fit, scale] : {std::pair{QSize(), "8/8"}, std::pair{QSize(375, 525), "3/8"}}) {
    QProcess djpeg;
    djpeg.start("djpeg", {"-scale", scale, "-ppm", jpeg});
    ASSERT_TRUE(djpeg.waitForFinished(60000));
    const QImage expected = QImage::fromData(djpeg.readAllStandardOutput(), "PPM");
    const Result<DecodedPicture> decoded = LoadPictureFile(FilePath(jpeg), fit);
    ASSERT_TRUE(Succeeded(decoded.status()));
    EXPECT_EQ(decoded->image.convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32))
        << scale;
  }
}

}  // namespace
}  // namespace lunetta
