#pragma once

#include <cstdint>
#include <span>
#include <variant>

namespace lunetta {

/// One image of a HEIF file as its decoder will make it, read from the boxes and from the codec's
/// own parameter sets: what a decode allocates follows from these, not from what the file says
/// the picture shows.
struct HeifImageLayout {
  std::uint32_t width = 0;  // the pixels the image is assembled or decoded at, before any crop
  std::uint32_t height = 0;
  std::uint32_t declaredWidth = 0;  // the size its boxes give: a grid's, else the item's extent
  std::uint32_t declaredHeight = 0;
  int sampleBytes = 1;  // 2 for more than 8 bits a sample
  bool grid = false;    // assembled from tiles, each decoded on its own
  bool av1 = false;     // coded in AV1 (else HEVC)
  std::uint32_t tiles = 1;
  // The largest coded picture the codec makes for the image (a tile of a grid): its pixels, and
  // the bytes of its planes, all components at their subsampling and depth.
  std::uint64_t codedPixels = 0;
  std::uint64_t codedBytes = 0;
  std::uint64_t tileCodedPixels = 0;  // of all its tiles, as often as the grid names each

  std::uint64_t pixels() const { return std::uint64_t(width) * height; }
};

/// What a HEIF or AVIF file's primary picture takes to decode and how it is to be shown.
struct HeifLayout {
  HeifImageLayout primary;
  bool hasAlpha = false;
  HeifImageLayout alpha;         // only with hasAlpha
  std::uint32_t shownWidth = 0;  // the picture's own size, turned as its transforms say
  std::uint32_t shownHeight = 0;
  bool transformed = false;  // irot or imir: the decoder turns the picture itself
  int exifOrientation = 1;   // 1..8, from the primary's Exif item
  // The data of every item, as many times as items share it: what libheif may copy as it reads
  // the boxes (metadata items whole) and decodes (the coded items).
  std::uint64_t itemBytes = 0;
};

/// Why a file's layout cannot be read.
enum class HeifLayoutFault {
  Truncated,    // a box or the data of a picture it needs ends past the end of the file
  Unsupported,  // not a picture this reader knows how to bound: say so rather than guess
};

/// Reads the boxes of the HEIF or AVIF file `file` (whole, in memory), and the parameter sets of
/// every coded picture its primary image needs: HEVC sequence parameter sets and AV1 sequence
/// headers, both in the item's configuration and in its data. Bounded work: each byte range of
/// coded data is looked at once.
std::variant<HeifLayout, HeifLayoutFault> ReadHeifLayout(std::span<const std::uint8_t> file);

}  // namespace lunetta
