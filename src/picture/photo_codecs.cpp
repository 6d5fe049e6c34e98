#include "picture/photo_codecs.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>

namespace lunetta {

namespace {

// Brands of files whose pictures libheif decodes: HEVC and AV1 images and sequences, and the
// brands of the image file format itself.
constexpr std::string_view kBrands[] = {"heic", "heix", "heim", "heis", "hevc",
                                        "hevx", "mif1", "msf1", "avif", "avis"};

// The module sits at the same place relative to the program wherever both are: in the build tree
// and as installed. The program's own path comes from the kernel, never from the working folder or
// the environment, which others may choose.
std::optional<std::filesystem::path> ModulePath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !program.is_absolute()) {
    return std::nullopt;
  }
  return (program.parent_path() / LUNETTA_CODECS_FROM_BINDIR / "photo-codecs.so")
      .lexically_normal();
}

struct LoadedModule {
  const PhotoCodecs* codecs = nullptr;
  QString why;  // when codecs is null
};

LoadedModule LoadModule() {
  const std::optional<std::filesystem::path> path = ModulePath();
  if (!path) {
    return {nullptr, QStringLiteral("the program's own folder is unknown")};
  }
  // Never closed: libheif keeps threads and registered plugins until the process ends.
  void* module = dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    return {nullptr, QString::fromLocal8Bit(dlerror())};
  }
  using Entry = const PhotoCodecs* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, kPhotoCodecsEntry));
  if (entry == nullptr) {
    return {nullptr, QString::fromLocal8Bit(dlerror())};
  }
  return {entry(), {}};
}

}  // namespace

bool IsHeif(const QByteArray& head) {
  if (head.size() < 12 || head.mid(4, 4) != "ftyp") {
    return false;
  }
  const auto brand = [&head](qsizetype at) {
    const std::string_view name(head.constData() + at, 4);
    return std::find(std::begin(kBrands), std::end(kBrands), name) != std::end(kBrands);
  };
  if (brand(8)) {
    return true;
  }
  const qsizetype boxEnd =
      std::min<qsizetype>(head.size(), qsizetype{static_cast<unsigned char>(head[2])} << 8 |
                                           static_cast<unsigned char>(head[3]));
  for (qsizetype at = 16; at + 4 <= boxEnd; at += 4) {
    if (brand(at)) {
      return true;
    }
  }
  return false;
}

bool IsJxl(const QByteArray& head) {
  return head.startsWith(QByteArray::fromHex("FF0A")) ||
         head.startsWith(QByteArray::fromHex("0000000C4A584C200D0A870A"));
}

Result<const PhotoCodecs*> LoadedPhotoCodecs() {
  static const LoadedModule loaded = LoadModule();
  if (loaded.codecs == nullptr) {
    return Failure(Fault::Undecodable, {}, {}, loaded.why);
  }
  return loaded.codecs;
}

}  // namespace lunetta
