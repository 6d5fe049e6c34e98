// The module's one visible symbol: the table of its decoders, which the picture layer looks up
// by name once it has loaded the module.
#include <string_view>

#include "codecs/heif_decoder.h"
#include "picture/photo_codecs.h"
#ifdef LUNETTA_JPEG_XL
#include "codecs/jxl_decoder.h"
#endif

static_assert(std::string_view(lunetta::kPhotoCodecsEntry) == "lunetta_photo_codecs");

extern "C" __attribute__((visibility("default"))) const lunetta::PhotoCodecs*
lunetta_photo_codecs() {
#ifdef LUNETTA_JPEG_XL
  static constexpr lunetta::PhotoCodecs kCodecs{&lunetta::DecodeHeif, &lunetta::DecodeJxl};
#else
  static constexpr lunetta::PhotoCodecs kCodecs{&lunetta::DecodeHeif, nullptr};
#endif
  return &kCodecs;
}
