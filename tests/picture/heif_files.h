#pragma once

// HEIC and AVIF files coded by libheif's own encoders, and a grid HEIC put together from tiles
// that libheif coded, as phones store their photos.

#include <libheif/heif.h>

#include <QByteArray>
#include <QImage>
#include <QtEndian>
#include <cstring>
#include <utility>

namespace lunetta::testing {

struct HeifCoding {
  bool avif = false;
  int orientation = 1;      // EXIF's numbering, written as irot and imir properties
  int exifOrientation = 0;  // an Exif item giving this orientation; none with 0
};

/// `image`, opaque, coded at quality 90.
inline QByteArray HeifBytes(const QImage& image, const HeifCoding& coding = {}) {
  heif_init(nullptr);  // as the decoder does: its heif_deinit would take the encoders away
  heif_context* context = heif_context_alloc();
  heif_encoder* encoder = nullptr;
  heif_context_get_encoder_for_format(
      context, coding.avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder);
  heif_encoder_set_lossy_quality(encoder, 90);
  heif_image* picture = nullptr;
  heif_image_create(image.width(), image.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                    &picture);
  heif_image_add_plane(picture, heif_channel_interleaved, image.width(), image.height(), 8);
  int stride = 0;
  uint8_t* rows = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(rows + y * stride, rgb.constScanLine(y), std::size_t(3) * rgb.width());
  }
  heif_encoding_options* options = heif_encoding_options_alloc();
  options->image_orientation = static_cast<heif_orientation>(coding.orientation);
  options->macOS_compatibility_workaround = 0;  // no grid of one tile around a turned picture
  heif_image_handle* handle = nullptr;
  heif_context_encode_image(context, picture, encoder, options, &handle);
  if (coding.exifOrientation != 0) {
    // A big-endian TIFF structure of one entry: orientation (0x0112).
    QByteArray exif =
        QByteArray::fromHex("4D4D002A000000080001011200030000000100000000000000000000");
    exif[19] = static_cast<char>(coding.exifOrientation);
    heif_context_add_exif_metadata(context, handle, exif.constData(),
                                   static_cast<int>(exif.size()));
  }
  QByteArray bytes;
  heif_writer writer{1, [](heif_context*, const void* data, size_t size, void* out) {
                       static_cast<QByteArray*>(out)->append(static_cast<const char*>(data),
                                                             static_cast<qsizetype>(size));
                       return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
                     }};
  heif_context_write(context, &writer, &bytes);
  heif_image_handle_release(handle);
  heif_encoding_options_free(options);
  heif_image_release(picture);
  heif_encoder_release(encoder);
  heif_context_free(context);
  heif_deinit();
  return bytes;
}

inline QByteArray BigEndian(qint64 value, int bytes) {
  QByteArray out(4, '\0');
  qToBigEndian(static_cast<quint32>(value), out.data());
  return out.right(bytes);
}

inline QByteArray HeifBox(const char* type, const QByteArray& body) {
  return BigEndian(8 + body.size(), 4) + type + body;
}

inline QByteArray HeifFullBox(const char* type, int version, int flags, const QByteArray& body) {
  return HeifBox(type, BigEndian(version << 24 | flags, 4) + body);
}

/// The hvcC property and the coded data of a one-picture HEIC libheif wrote, data last.
inline std::pair<QByteArray, QByteArray> HevcPicture(const QByteArray& heic) {
  QByteArray meta, data;
  for (qsizetype at = 0; at + 8 <= heic.size();) {
    const auto size = static_cast<qsizetype>(qFromBigEndian<quint32>(heic.constData() + at));
    const QByteArray type = heic.mid(at + 4, 4);
    if (type == "meta") {
      meta = heic.mid(at, size);
    } else if (type == "mdat") {
      data = heic.mid(at + 8, size - 8);
    }
    at += size;
  }
  const qsizetype config = meta.indexOf("hvcC") - 4;
  return {meta.mid(config, qFromBigEndian<quint32>(meta.constData() + config)), data};
}

/// A grid of the one-picture HEICs `tiles` (as HeifBytes makes them, row by row, each of the same
/// size), `columns` a row, `size` in all: the tiles hidden, the grid the primary picture, with an
/// irot property of `quarterTurns` counter-clockwise quarter turns.
inline QByteArray GridHeic(const QList<QByteArray>& tiles, int columns, QSize size,
                           int quarterTurns = 0) {
  const auto count = static_cast<int>(tiles.size());
  const int rows = count / columns;
  const int width = size.width() / columns, height = size.height() / rows;
  const int gridId = count + 1;
  QByteArray configs, data, infos, references, associations;
  QList<qsizetype> lengths;
  for (int i = 0; i < count; ++i) {
    const auto [config, coded] = HevcPicture(tiles[i]);
    configs += config;
    data += coded;
    lengths << coded.size();
    const int id = i + 1;
    infos += HeifFullBox("infe", 2, 1, BigEndian(id, 2) + BigEndian(0, 2) + "hvc1" + '\0');
    references += BigEndian(id, 2);
    // The tile's own hvcC (index i + 1, essential), then the tiles' extent.
    associations +=
        BigEndian(id, 2) + BigEndian(2, 1) + BigEndian(0x80 | (i + 1), 1) + BigEndian(count + 1, 1);
  }
  infos += HeifFullBox("infe", 2, 0, BigEndian(gridId, 2) + BigEndian(0, 2) + "grid" + '\0');
  const auto extent = [](int w, int h) {
    return HeifFullBox("ispe", 0, 0, BigEndian(w, 4) + BigEndian(h, 4));
  };
  const QByteArray properties = configs + extent(width, height) +
                                extent(size.width(), size.height()) +
                                HeifBox("irot", BigEndian(quarterTurns, 1));
  associations += BigEndian(gridId, 2) + BigEndian(2, 1) + BigEndian(count + 2, 1) +
                  BigEndian(0x80 | (count + 3), 1);
  const QByteArray descriptor = BigEndian(0, 2) + BigEndian(rows - 1, 1) +
                                BigEndian(columns - 1, 1) + BigEndian(size.width(), 2) +
                                BigEndian(size.height(), 2);
  const QByteArray ftyp = HeifBox("ftyp", QByteArray("heic") + BigEndian(0, 4) + "mif1heic");
  // Item locations: 4-byte offsets and lengths, the tiles' in the file, the grid's in idat.
  const auto meta = [&](qint64 dataStart) {
    QByteArray locations = BigEndian(0x4400, 2) + BigEndian(gridId, 2);  // tiles and the grid
    for (int i = 0; i < count; ++i) {
      locations += BigEndian(i + 1, 2) + BigEndian(0, 4) + BigEndian(1, 2) +
                   BigEndian(dataStart, 4) + BigEndian(lengths[i], 4);
      dataStart += lengths[i];
    }
    locations += BigEndian(gridId, 2) + BigEndian(1, 2) + BigEndian(0, 2) + BigEndian(1, 2) +
                 BigEndian(0, 4) + BigEndian(descriptor.size(), 4);
    return HeifFullBox(
        "meta", 0, 0,
        HeifFullBox("hdlr", 0, 0, BigEndian(0, 4) + "pict" + QByteArray(13, '\0')) +
            HeifFullBox("pitm", 0, 0, BigEndian(gridId, 2)) + HeifFullBox("iloc", 1, 0, locations) +
            HeifFullBox("iinf", 0, 0, BigEndian(gridId, 2) + infos) +
            HeifFullBox("iref", 0, 0,
                        HeifBox("dimg", BigEndian(gridId, 2) + BigEndian(count, 2) + references)) +
            HeifBox("iprp", HeifBox("ipco", properties) +
                                HeifFullBox("ipma", 0, 0, BigEndian(gridId, 4) + associations)) +
            HeifBox("idat", descriptor));
  };
  const qint64 dataStart = ftyp.size() + meta(0).size() + 8;
  return ftyp + meta(dataStart) + HeifBox("mdat", data);
}

}  // namespace lunetta::testing
