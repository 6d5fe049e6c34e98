// HEIC, AVIF and JPEG XL: each file shows as the library's own decoder tool shows it, or is refused
// with the fault that says why, before anything is decoded where the cap is the reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>
#include <algorithm>
#include <optional>
#include <vector>

#include "codecs/heif_decoder.h"
#include "picture/decoded_rows.h"
#include "picture/heif_files.h"
#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "support/picture_printers.h"
#ifdef LUNETTA_JPEG_XL
#include "codecs/jxl_decoder.h"
#endif

namespace lunetta {
namespace {

using namespace testing;
using namespace ::testing;

// The largest difference of any channel between two pictures, premultiplied; -1 for two sizes.
int LargestDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) {
    return -1;
  }
  const QImage left = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage right = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  int largest = 0;
  for (int y = 0; y < left.height(); ++y) {
    const auto* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
    const auto* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
    for (int x = 0; x < left.width(); ++x) {
      largest = std::max(
          {largest, std::abs(qRed(l[x]) - qRed(r[x])), std::abs(qGreen(l[x]) - qGreen(r[x])),
           std::abs(qBlue(l[x]) - qBlue(r[x])), std::abs(qAlpha(l[x]) - qAlpha(r[x]))});
    }
  }
  return largest;
}

/// Quadrants, 16 bits a channel, the right half half transparent.
QImage Translucent(int width, int height) {
  QImage image = Quadrants(width, height).convertToFormat(QImage::Format_RGBA64);
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  painter.fillRect(width / 2, 0, width / 2, height, QColor(0, 0, 0, 128));
  return image;
}

/// `heif` with its last extent property (the primary picture's, in libheif's files) claiming
/// `width` × `height`.
QByteArray WithExtent(QByteArray heif, quint32 width, quint32 height) {
  const qsizetype at = heif.lastIndexOf("ispe") + 8;
  qToBigEndian(width, heif.data() + at);
  qToBigEndian(height, heif.data() + at + 4);
  return heif;
}

/// `grid` (of GridHeic) with its grid claiming `width` × `height`.
QByteArray WithGridSize(QByteArray grid, quint16 width, quint16 height) {
  const qsizetype at = grid.lastIndexOf("idat") + 8;
  qToBigEndian(width, grid.data() + at);
  qToBigEndian(height, grid.data() + at + 2);
  return grid;
}

/// A JPEG XL codestream whose header claims `width` × `height` (above 2^18 a side), in
/// JPEG XL's least-significant-first bits, and nothing more.
QByteArray JxlClaiming(quint32 width, quint32 height) {
  std::vector<bool> bits;
  const auto put = [&bits](quint32 value, int count) {
    for (int i = 0; i < count; ++i) {
      bits.push_back((value >> i) & 1);
    }
  };
  put(0, 1);  // not a multiple of 8
  put(3, 2);  // the height in 30 bits
  put(height - 1, 30);
  put(0, 3);  // no ratio: the width follows
  put(3, 2);
  put(width - 1, 30);
  put(1, 1);  // the default image metadata
  QByteArray bytes = QByteArray::fromHex("FF0A");
  bytes.resize(2 + qsizetype(bits.size() + 7) / 8 + 16, '\0');
  for (std::size_t i = 0; i < bits.size(); ++i) {
    bytes[qsizetype(2 + i / 8)] = static_cast<char>(bytes[qsizetype(2 + i / 8)] | bits[i] << i % 8);
  }
  return bytes;
}

class LibraryDecodersTest : public ::testing::Test {
 protected:
  static bool Installed(std::initializer_list<const char*> programs) {
    return std::all_of(programs.begin(), programs.end(), [](const char* program) {
      return !QStandardPaths::findExecutable(program).isEmpty();
    });
  }

  /// What `program` makes of `bytes` (written with suffix `from`), read from its output file
  /// (suffix `to`); empty when it fails.
  QByteArray Run(const char* program, QStringList options, const QByteArray& bytes,
                 const char* from, const char* to) {
    const QString in = dir_.filePath(QString("in.") + from);
    const QString out = dir_.filePath(QString("out.") + to);
    QFile::remove(out);
    WriteBytes(in, bytes);
    QProcess process;
    process.start(program, options << in << out);
    const bool ran = process.waitForFinished(120000) && process.exitCode() == 0;
    EXPECT_TRUE(ran) << program << ": " << process.readAllStandardError().toStdString();
    return ran ? ReadBytes(out) : QByteArray();
  }
  QImage Shown(const char* program, const QByteArray& bytes, const char* from) {
    return QImage::fromData(Run(program, {}, bytes, from, "png"), "PNG");
  }

  struct Case {
    const char* name;
    QByteArray bytes;
    std::optional<Fault> fault;  // none: decoded as `shown`
    QImage shown = {};
    int tolerance = 0;
    QSize refusedSize = {};           // for TooLarge
    qint64 bound = kMaxDecodedBytes;  // through LoadPictureData at the cap
  };
  static Case TooLarge(const char* name, const QByteArray& bytes, QSize refused,
                       qint64 bound = kMaxDecodedBytes) {
    return {name, bytes, Fault::TooLarge, {}, 0, refused, bound};
  }

  // Each case decoded whole. A decode holds what it reckons: it takes a bound of exactly its
  // peak, and not one byte less.
  template <typename Decode>
  void Check(const std::vector<Case>& cases, Decode decode) {
    for (const Case& c : cases) {
      QBuffer buffer;
      buffer.setData(c.bytes);
      buffer.open(QIODevice::ReadOnly);
      const Result<DecodedPicture> decoded =
          c.bound == kMaxDecodedBytes ? LoadPictureData(c.bytes) : decode(buffer, c.bound);
      if (c.fault) {
        EXPECT_EQ(FaultOf(decoded.status()), c.fault) << c.name;
        if (c.fault == Fault::TooLarge && !decoded.ok()) {
          EXPECT_EQ(decoded.failure().size, c.refusedSize) << c.name;
        }
        continue;
      }
      ASSERT_TRUE(Succeeded(decoded.status())) << c.name;
      EXPECT_EQ(decoded->size, c.shown.size()) << c.name;
      EXPECT_THAT(LargestDifference(decoded->image, c.shown), AllOf(Ge(0), Le(c.tolerance)))
          << c.name;
      for (const qint64 bound : {decoded->peakBytes, decoded->peakBytes - 1}) {
        buffer.seek(0);
        EXPECT_EQ(FaultOf(decode(buffer, bound).status()),
                  bound < decoded->peakBytes ? std::optional(Fault::TooLarge) : std::nullopt)
            << c.name << " within " << bound;
      }
    }
  }

  QTemporaryDir dir_;
};

TEST_F(LibraryDecodersTest, EachHeifFileShowsAsHeifConvertShowsItOrIsRefused) {
  if (!Installed({"heif-convert", "avifenc"})) {
    GTEST_SKIP() << "libheif-examples and libavif-bin are not installed";
  }
  const QImage quadrants = Quadrants(64, 32);
  const QByteArray turned = HeifBytes(quadrants, {.orientation = 6});
  const QByteArray exif = HeifBytes(quadrants, {.exifOrientation = 6});
  const QByteArray phone = HeifBytes(quadrants, {.orientation = 6, .exifOrientation = 6});
  // libheif 1.15 mixes tiles up when it decodes several at once, as heif-convert does: the grid's
  // tiles are each shown by heif-convert, put together and turned a quarter counter-clockwise.
  QList<QByteArray> tiles;
  QImage tiled(128, 64, QImage::Format_RGB32);
  QPainter painter(&tiled);
  for (const QPoint at : {QPoint(0, 0), QPoint(64, 0), QPoint(0, 32), QPoint(64, 32)}) {
    tiles << HeifBytes(Quadrants(128, 64).copy(at.x(), at.y(), 64, 32));
    painter.drawImage(at, Shown("heif-convert", tiles.back(), "heic"));
  }
  painter.end();
  const QByteArray grid = GridHeic(tiles, 2, {128, 64}, 1);
  const QByteArray avif = HeifBytes(quadrants, {.avif = true});
  const QByteArray deep =
      Run("avifenc", {"-d", "10"}, Encode(Translucent(64, 48), "png"), "png", "avif");
  const QByteArray understated = WithExtent(HeifBytes(Filled({1024, 1024}, Qt::gray)), 64, 64);
  const QTransform quarter = QTransform().rotate(90);
  const std::vector<Case> cases = {
      {"turned by irot", turned, {}, Shown("heif-convert", turned, "heic")},
      // heif-convert leaves the EXIF orientation to the viewer.
      {"turned by EXIF", exif, {}, Shown("heif-convert", exif, "heic").transformed(quarter)},
      {"turned by irot and EXIF alike, as phones", phone, {}, Shown("heif-convert", phone, "heic")},
      {"a grid of 2 × 2 tiles turned by irot", grid, {}, tiled.transformed(quarter.inverted())},
      {"AVIF", avif, {}, Shown("heif-convert", avif, "avif")},
      {"10-bit AVIF with alpha", deep, {}, Shown("heif-convert", deep, "avif"), 2},
      {"cut in its coded data", turned.chopped(40), Fault::Truncated},
      {"cut in its boxes", turned.left(120), Fault::Truncated},
      TooLarge("extent claiming 50000²", WithExtent(turned, 50000, 50000), {50000, 50000}),
      TooLarge("grid claiming 30000²", WithGridSize(grid, 30000, 30000), {30000, 30000}),
      // Reckoned at the coded picture's size, which the decoder allocates, not the extent's.
      TooLarge("coded picture larger than its extent", understated, {64, 64}, qint64(4) << 20),
  };
  Check(cases, [](QIODevice& device, qint64 bound) {
    return DecodeHeif(device, {}, PhotoFit::Stretch, bound);
  });
}

#ifdef LUNETTA_JPEG_XL
TEST_F(LibraryDecodersTest, EachJxlFileShowsAsDjxlShowsItOrIsRefused) {
  if (!Installed({"cjxl", "djxl"})) {
    GTEST_SKIP() << "libjxl-tools are not installed";
  }
  // cjxl keeps a JPEG's EXIF orientation as the codestream's own.
  const QByteArray turned =
      Run("cjxl", {}, WithOrientation(Encode(Quadrants(64, 32), "jpeg", 95), 6), "jpg", "jxl");
  const QByteArray alpha =
      Run("cjxl", {}, Encode(Translucent(64, 48).convertToFormat(QImage::Format_RGBA8888), "png"),
          "png", "jxl");
  const std::vector<Case> cases = {
      {"turned by its header", turned, {}, Shown("djxl", turned, "jxl")},
      {"with alpha", alpha, {}, Shown("djxl", alpha, "jxl"), 1},
      {"cut", turned.left(turned.size() / 2), Fault::Truncated},
      TooLarge("header claiming 50000²", JxlClaiming(50000, 50000), {50000, 50000}),
  };
  Check(cases, [](QIODevice& device, qint64 bound) {
    return DecodeJxl(device, {}, PhotoFit::Stretch, bound);
  });
}
#endif

// Rows that a library decoded whole are shrunk as the JPEG decoder shrinks its own: a fill shows
// the centred part in the picture's shape, a fit the whole; both at the size drawn, in the
// orientation shown. Alpha keeps the picture whole for the composition.
TEST(PictureFromRowsTest, ShrinksOpaqueRowsToTheSizeDrawn) {
  const QImage stored = Quadrants(256, 128).convertToFormat(QImage::Format_RGB888);
  DecodedRows rows{stored.constBits(), stored.bytesPerLine(), stored.size()};
  // Turned a quarter clockwise: blue and red above yellow and green, 128 × 256.
  const QImage filled = PictureFromRows(rows, {32, 32}, PhotoFit::Fill, 6);
  ASSERT_EQ(filled.size(), QSize(32, 32));
  EXPECT_EQ((QList{filled.pixelColor(4, 4), filled.pixelColor(28, 4), filled.pixelColor(4, 28),
                   filled.pixelColor(28, 28)}),
            (QList<QColor>{Qt::blue, Qt::red, Qt::yellow, Qt::green}));
  EXPECT_EQ(PictureFromRows(rows, {32, 32}, PhotoFit::Fit, 6).size(), QSize(16, 32));
  EXPECT_EQ(PictureFromRows(rows, {32, 32}, PhotoFit::Stretch, 6).size(), QSize(128, 256));
  // A transpose turns the fit as a quarter turn does.
  EXPECT_EQ(PictureFromRows(rows, {32, 64}, PhotoFit::Fit, 5).size(), QSize(32, 64));
  const QImage translucent = Translucent(256, 128).convertToFormat(QImage::Format_RGBA8888);
  rows = {translucent.constBits(), translucent.bytesPerLine(), translucent.size(), true};
  EXPECT_EQ(PictureFromRows(rows, {32, 32}, PhotoFit::Fill, 1).size(), QSize(256, 128));
}

TEST(PhotoFilePatternsTest, IncludeThePhotosOfPhones) {
  EXPECT_THAT(PhotoFilePatterns(), IsSupersetOf({"*.heic", "*.heif", "*.hif", "*.avif"}));
#ifdef LUNETTA_JPEG_XL
  EXPECT_THAT(PhotoFilePatterns(), Contains("*.jxl"));
#endif
}

}  // namespace
}  // namespace lunetta
