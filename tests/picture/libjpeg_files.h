#pragma once

// JPEGs coded by libjpeg itself, in the ways Qt's writer does not offer, a row at a time.

#include <QByteArray>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

/// A `width` × `height` JPEG at quality 90, 4:2:0, coded as `coding` says. Each pixel is `pixel`'s
/// bytes (three of RGB, or four of CMYK for the CMYK spaces); without one, the pattern of
/// DetailedImage.
inline QByteArray LibjpegBytes(int width, int height, const JpegCoding& coding = {},
                               const std::vector<JSAMPLE>& pixel = {}) {
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
  std::vector<jpeg_scan_info> scans;
  for (int c = 0; coding.scanPerComponent && c < info.num_components; ++c) {
    scans.push_back({1, {c}, 0, 63, 0, 0});
  }
  if (!scans.empty()) {
    info.scan_info = scans.data();
    info.num_scans = info.num_components;
  }
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width * info.input_components));
  for (int y = 0; info.next_scanline < info.image_height; ++y) {
    for (int x = 0; x < width; ++x) {
      JSAMPLE* out = row.data() + x * info.input_components;
      if (pixel.empty()) {
        out[0] = static_cast<JSAMPLE>(200 - x / 40);
        out[1] = static_cast<JSAMPLE>(x ^ y);
        out[2] = static_cast<JSAMPLE>((x * y) >> 6);
      } else {
        std::copy(pixel.begin(), pixel.end(), out);
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return bytes;
}

/// `jpeg` cut just before the start of its last scan: every scan it keeps is whole.
inline QByteArray CutBeforeLastScan(const QByteArray& jpeg) {
  return jpeg.left(jpeg.lastIndexOf(QByteArray::fromHex("FFDA")));
}

}  // namespace lunetta::testing
