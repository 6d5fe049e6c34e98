#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "picture/failure.h"
#include "wall/wall_layout.h"

// A page's photo made ready for print: the JPEG data that go into the PDF, and how they lie on the
// page.

namespace lunetta {

/// A JPEG whose data a PDF can carry as they are (DCTDecode): 8-bit grey or colour, Huffman coded.
struct EmbeddableJpeg {
  int width = 0;  // as stored, before the orientation turns it
  int height = 0;
  int components = 3;   // 1: grey, 3: colour
  int orientation = 1;  // EXIF 1..8
  /// The segments before the scan that decoding needs (quantisation and Huffman tables, frame,
  /// restart interval, JFIF and Adobe markers), from the start of image on. Metadata (EXIF with its
  /// place and thumbnail, XMP, comments) is left behind.
  std::string header;
  std::uint64_t scanOffset = 0;  // where the first scan's marker starts in the file
  std::uint64_t end = 0;         // just past the end-of-image marker: nothing appended after it
};

/// What a JPEG file says of itself, when a PDF can carry its data as they are; nothing for any
/// other picture (CMYK, 12-bit, arithmetic coding, not a JPEG, or an image cut short).
std::optional<EmbeddableJpeg> InspectJpeg(std::string_view file);

/// The picture data of one page's photo in the PDF.
struct PrintPhoto {
  std::filesystem::path data;  // a JPEG file: the user's photo itself, or a re-encoded crop
  EmbeddableJpeg jpeg;
  bool original = false;  // `data` is the user's photo, used whole
  PixelRect crop;         // in the upright picture's pixels, what fills the area
  // For the report
  PixelSize photoSize;  // the user's photo, upright
  double dpi = 0;       // of the user's photo at its printed size
  PixelSize embedded;   // upright pixels in the PDF
};

/// Makes `place`'s photo ready for print. A JPEG of at most kPrintDpi at its printed size goes in
/// as it is (its image data; metadata and anything appended left behind); any other photo is
/// decoded (through LoadPictureFile and its memory cap, reduced where it is finer than kPrintDpi),
/// cut, scaled to kPrintDpi where it was finer, and encoded at a high quality as `scratch`.
Result<PrintPhoto> PreparePrintPhoto(const PagePhoto& place, const std::filesystem::path& scratch);

}  // namespace lunetta
