#pragma once

// JPEGs coded by libjpeg itself, in the ways Qt's writer does not offer: scan scripts, arithmetic
// coding, CMYK. Rows are made one at a time, so a picture of any size costs one row of memory.

#include <QByteArray>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace lunetta::testing {

struct JpegCoding {
  bool arithmetic = false;
  bool progressive = false;       // libjpeg's own progression
  bool scanPerComponent = false;  // sequential, each component in a scan of its own
  J_COLOR_SPACE space =
      JCS_YCbCr;  // JCS_CMYK or JCS_YCCK: rows of CMYK stored inverted, as Adobe's
};

/// A `width` × `height` JPEG at quality 90, 4:2:0, coded as `coding` says, whose row y `fill(y,
/// row)` writes: RGB, or four bytes of CMYK a pixel for the CMYK spaces.
inline QByteArray LibjpegBytes(int width, int height, const JpegCoding& coding,
                               const std::function<void(int y, JSAMPLE* row)>& fill) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  const bool cmyk = coding.space == JCS_CMYK || coding.space == JCS_YCCK;
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = cmyk ? 4 : 3;
  info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, coding.space);
  jpeg_set_quality(&info, 90, TRUE);
  info.arith_code = coding.arithmetic ? TRUE : FALSE;
  if (coding.progressive) {
    jpeg_simple_progression(&info);
  }
  std::vector<jpeg_scan_info> scans(static_cast<std::size_t>(info.num_components));
  if (coding.scanPerComponent) {
    for (int c = 0; c < info.num_components; ++c) {
      scans[static_cast<std::size_t>(c)] = {1, {c}, 0, 63, 0, 0};
    }
    info.scan_info = scans.data();
    info.num_scans = info.num_components;
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width * info.input_components));
  while (info.next_scanline < info.image_height) {
    fill(static_cast<int>(info.next_scanline), row.data());
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return bytes;
}

/// The pattern of DetailedImage, coded as `coding` says.
inline QByteArray DetailedLibjpeg(int width, int height, const JpegCoding& coding = {}) {
  return LibjpegBytes(width, height, coding, [width](int y, JSAMPLE* row) {
    for (int x = 0; x < width; ++x, row += 3) {
      row[0] = static_cast<JSAMPLE>(200 - x / 40);
      row[1] = static_cast<JSAMPLE>(x ^ y);
      row[2] = static_cast<JSAMPLE>((x * y) >> 6);
    }
  });
}

/// One colour all over: `pixel`'s bytes (three, or four of CMYK) in every pixel.
inline QByteArray FlatLibjpeg(int width, int height, const JpegCoding& coding,
                              std::vector<JSAMPLE> pixel) {
  return LibjpegBytes(width, height, coding, [width, pixel](int, JSAMPLE* row) {
    for (int x = 0; x < width; ++x, row += pixel.size()) {
      std::copy(pixel.begin(), pixel.end(), row);
    }
  });
}

/// `jpeg` cut just before the start of its last scan: every scan it keeps is whole.
inline QByteArray CutBeforeLastScan(const QByteArray& jpeg) {
  return jpeg.left(jpeg.lastIndexOf(QByteArray::fromHex("FFDA")));
}

}  // namespace lunetta::testing
