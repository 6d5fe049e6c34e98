#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "wall/print_photo.h"

// A JPEG's header, read to carry its data into a PDF as they are: whatever it says, what comes
// back describes a picture, keeps no more than the bytes before its first scan, and ends within
// the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const std::optional<lunetta::EmbeddableJpeg> jpeg = lunetta::InspectJpeg(file);
  if (jpeg && (jpeg->width <= 0 || jpeg->height <= 0 || jpeg->orientation < 1 ||
               jpeg->orientation > 8 || jpeg->scanOffset >= jpeg->end || jpeg->end > size ||
               jpeg->header.size() > jpeg->scanOffset || jpeg->header.substr(0, 2) != "\xFF\xD8")) {
    std::abort();
  }
  return 0;
}
