#include "picture/load_picture_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "picture/picture_files.h"

namespace lunetta {
namespace {

using testing::BmpBytes;
using testing::BmpClaimingSize;
using testing::DetailedImage;
using testing::JpegBytes;
using testing::PngClaimingSize;
using testing::TurnedJpegBytes;
using testing::WriteBytes;

class LoadPictureFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Write(const QString& name, const QByteArray& bytes) const {
    EXPECT_TRUE(WriteBytes(Path(name), bytes));
    return Path(name);
  }

  QTemporaryDir dir_;
};

struct BadFile {
  const char* name;
  // Creates the file in the folder and returns its path.
  std::function<QString(const QDir&)> make;
  const char* reason;  // part of the error text
};

void PrintTo(const BadFile& file, std::ostream* os) {
  *os << file.name;
}

QString Put(const QDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  EXPECT_TRUE(WriteBytes(path, bytes));
  return path;
}

class BadFileTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFileTest, DecodesNothingAndSaysWhy) {
  QTemporaryDir dir;
  const QString path = GetParam().make(QDir(dir.path()));
  for (const QSize fit : {QSize(), QSize(1280, 1024)}) {
    const DecodedPicture decoded = LoadPictureFile(path, fit);
    EXPECT_FALSE(decoded);
    EXPECT_TRUE(decoded.image.isNull());
    EXPECT_EQ(decoded.size, QSize(0, 0));
    EXPECT_TRUE(decoded.error.contains(QLatin1String(GetParam().reason)))
        << decoded.error.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BadFileTest,
    ::testing::Values(
        BadFile{"Missing", [](const QDir& d) { return d.filePath("none.jpg"); }, "no such file"},
        BadFile{"Empty", [](const QDir& d) { return Put(d, "empty.jpg", {}); }, "empty"},
        BadFile{"Folder",
                [](const QDir& d) {
                  d.mkdir("photo.jpg");
                  return d.filePath("photo.jpg");
                },
                "folder"},
        BadFile{"TextNamedJpg",
                [](const QDir& d) { return Put(d, "notes.jpg", "Shopping list:\n- milk\n"); },
                "not a picture"},
        BadFile{"TruncatedJpeg",
                [](const QDir& d) {
                  const QByteArray jpeg = JpegBytes(320, 240);
                  return Put(d, "cut.jpg", jpeg.left(jpeg.size() / 2));
                },
                "ends before"},
        BadFile{"TruncatedBmp",
                [](const QDir& d) {
                  const QByteArray bmp = BmpBytes(DetailedImage(64, 64));
                  return Put(d, "cut.bmp", bmp.left(bmp.size() - 10));
                },
                "ends before"},
        BadFile{"BmpHeaderClaimsMore",
                [](const QDir& d) {
                  return Put(d, "lies.bmp",
                             BmpClaimingSize(BmpBytes(DetailedImage(16, 16)), 4000, 3000));
                },
                "ends before"},
        BadFile{"BmpHeaderClaimsHuge",
                [](const QDir& d) {
                  return Put(d, "huge.bmp",
                             BmpClaimingSize(BmpBytes(DetailedImage(16, 16)), 60000, 60000));
                },
                "header"},
        BadFile{"PngClaimsHuge",
                [](const QDir& d) { return Put(d, "huge.png", PngClaimingSize(100000, 100000)); },
                "too large"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST_F(LoadPictureFileTest, RefusesAFileItCannotOpen) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not bind root";
  }
  const QString path = Write("locked.jpg", JpegBytes(32, 32));
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
  const DecodedPicture decoded = LoadPictureFile(path);
  EXPECT_FALSE(decoded);
  EXPECT_TRUE(decoded.error.contains("permission")) << decoded.error.toStdString();
}

TEST_F(LoadPictureFileTest, DecodesBmpAndJpegAtTheirOwnSize) {
  const QImage image = DetailedImage(64, 48);
  for (const auto& [name, bytes] :
       {std::pair{"a.bmp", BmpBytes(image)}, std::pair{"a.jpg", JpegBytes(64, 48)},
        std::pair{"a.png", testing::Encode(image, "png")}}) {
    const DecodedPicture decoded = LoadPictureFile(Write(name, bytes));
    ASSERT_TRUE(decoded) << name << ": " << decoded.error.toStdString();
    EXPECT_EQ(decoded.size, QSize(64, 48)) << name;
    EXPECT_EQ(decoded.image.size(), QSize(64, 48)) << name;
  }
  // Lossless formats come back pixel for pixel.
  const DecodedPicture bmp = LoadPictureFile(Path("a.bmp"));
  EXPECT_EQ(bmp.image.convertToFormat(QImage::Format_RGB32), image);
}

TEST_F(LoadPictureFileTest, AcceptsDataAfterTheEndOfAJpeg) {
  // Some cameras append data (a preview, a video) after the end-of-image marker.
  const DecodedPicture decoded =
      LoadPictureFile(Write("tail.jpg", JpegBytes(40, 30) + QByteArray(5000, 'x')));
  ASSERT_TRUE(decoded) << decoded.error.toStdString();
  EXPECT_EQ(decoded.size, QSize(40, 30));
}

TEST_F(LoadPictureFileTest, DecodesALargeJpegAtReducedScaleButNotBelowTheFit) {
  const QString path = Write("big.jpg", JpegBytes(4000, 3000));
  const DecodedPicture decoded = LoadPictureFile(path, QSize(1280, 1024));
  ASSERT_TRUE(decoded) << decoded.error.toStdString();
  EXPECT_EQ(decoded.size, QSize(4000, 3000));
  EXPECT_EQ(decoded.image.size(), QSize(1500, 1125));  // 3/8: the smallest that covers the fit

  const DecodedPicture full = LoadPictureFile(path);
  EXPECT_EQ(full.image.size(), QSize(4000, 3000));
}

TEST_F(LoadPictureFileTest, TurnsAPictureAsItsExifSays) {
  const DecodedPicture small = LoadPictureFile(Write("turned.jpg", TurnedJpegBytes(40, 20)));
  ASSERT_TRUE(small) << small.error.toStdString();
  EXPECT_EQ(small.size, QSize(20, 40));
  EXPECT_EQ(small.image.size(), QSize(20, 40));

  // The fit is in viewing orientation: a tall photo on a wide picture still covers it.
  const DecodedPicture big =
      LoadPictureFile(Write("turned-big.jpg", TurnedJpegBytes(4000, 2000)), QSize(1280, 1024));
  ASSERT_TRUE(big) << big.error.toStdString();
  EXPECT_EQ(big.size, QSize(2000, 4000));
  EXPECT_GE(big.image.width(), 1280);
  EXPECT_GE(big.image.height(), 1024);
  EXPECT_LT(big.image.width(), 2000);
}

TEST_F(LoadPictureFileTest, DecodesFromMemoryAsFromAFile) {
  const DecodedPicture decoded = LoadPictureData(JpegBytes(64, 48), QSize(32, 24));
  ASSERT_TRUE(decoded) << decoded.error.toStdString();
  EXPECT_EQ(decoded.size, QSize(64, 48));
  EXPECT_EQ(decoded.image.size(), QSize(32, 24));
  EXPECT_FALSE(LoadPictureData({}));
  const QByteArray jpeg = JpegBytes(64, 48);
  EXPECT_FALSE(LoadPictureData(jpeg.left(jpeg.size() - 100)));
}

struct Reduction {
  QSize picture;
  QSize fit;
  QSize expected;
};

void PrintTo(const Reduction& r, std::ostream* os) {
  *os << r.picture.width() << "x" << r.picture.height() << " into " << r.fit.width() << "x"
      << r.fit.height();
}

class ReducedDecodeSizeTest : public ::testing::TestWithParam<Reduction> {};

TEST_P(ReducedDecodeSizeTest, SmallestEighthThatCovers) {
  EXPECT_EQ(ReducedDecodeSize(GetParam().picture, GetParam().fit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReducedDecodeSizeTest,
    ::testing::Values(Reduction{{6000, 4000}, {1280, 1024}, {2250, 1500}},
                      Reduction{{4032, 3024}, {1280, 1024}, {1512, 1134}},
                      Reduction{{4032, 3024}, {800, 600}, {1008, 756}},
                      Reduction{{16000, 8000}, {800, 600}, {2000, 1000}},
                      Reduction{{6001, 4001}, {750, 500}, {751, 501}},  // sides round up
                      Reduction{{1600, 1200}, {1280, 1024}, {1400, 1050}},
                      Reduction{{1300, 1100}, {1280, 1024}, {1300, 1100}},  // 7/8 too small
                      Reduction{{640, 480}, {1280, 1024}, {640, 480}},
                      Reduction{{640, 480}, {}, {640, 480}}));

}  // namespace
}  // namespace lunetta
