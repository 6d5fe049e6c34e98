#include "picture/decoded_rows.h"

#include <QTransform>
#include <optional>
#include <utility>

#include "picture/area_scaler.h"

namespace lunetta {

namespace {

// A stretch keeps the picture whole for its own averaging.
std::optional<Shrink> RowsShrinkFor(QSize stored, QSize fitSize, PhotoFit fit) {
  return fit == PhotoFit::Stretch ? std::nullopt : ShrinkFor(stored, fitSize, fit);
}

QSize StoredFit(QSize fitSize, int orientation) {
  return orientation >= 5 ? fitSize.transposed() : fitSize;
}

QImage Oriented(QImage image, int orientation) {
  switch (orientation) {
    case 2:
      return image.mirrored(true, false);
    case 3:
      return image.mirrored(true, true);
    case 4:
      return image.mirrored(false, true);
    case 5:
      return image.mirrored(false, true).transformed(QTransform().rotate(90));
    case 6:
      return image.transformed(QTransform().rotate(90));
    case 7:
      return image.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8:
      return image.transformed(QTransform().rotate(270));
    default:
      return image;
  }
}

}  // namespace

QImage PictureFromRows(const DecodedRows& rows, QSize fitSize, PhotoFit fit, int orientation) {
  const std::optional<Shrink> shrink =
      rows.alpha ? std::nullopt : RowsShrinkFor(rows.size, StoredFit(fitSize, orientation), fit);
  QImage image;
  if (shrink) {
    image = QImage(shrink->size, QImage::Format_RGB888);
    if (image.isNull()) {
      return image;
    }
    AreaScaler scaler(shrink->part.width(), shrink->part.height(), image);
    for (int y = shrink->part.top(); y <= shrink->part.bottom(); ++y) {
      scaler.AddRow(rows.bits + y * rows.stride + qsizetype{3} * shrink->part.left());
    }
  } else {
    const QImage::Format format = !rows.alpha          ? QImage::Format_RGB888
                                  : rows.premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                       : QImage::Format_RGBA8888;
    // Over the library's pixels, read only: the conversion makes the picture's own copy.
    const QImage view(rows.bits, rows.size.width(), rows.size.height(), rows.stride, format);
    image = view.convertToFormat(rows.alpha ? QImage::Format_ARGB32_Premultiplied
                                            : QImage::Format_RGB32);
  }
  return Oriented(std::move(image), orientation);
}

qint64 PictureFromRowsBytes(QSize size, bool alpha, QSize fitSize, PhotoFit fit, int orientation) {
  qint64 bytes = 0;
  const std::optional<Shrink> shrink =
      alpha ? std::nullopt : RowsShrinkFor(size, StoredFit(fitSize, orientation), fit);
  if (shrink) {
    // The rows, and the scaler's sums: about 32 bytes a column and 8 a row of the part it shrinks.
    bytes = qint64(3 * shrink->size.width() + 3) / 4 * 4 * shrink->size.height() +
            32 * qint64(shrink->part.width()) + 8 * qint64(shrink->part.height()) +
            16 * qint64(shrink->size.width());
  } else {
    bytes = 4 * qint64(size.width()) * size.height();
  }
  return orientation == 1 ? bytes : 2 * bytes;  // turning makes a copy
}

}  // namespace lunetta
