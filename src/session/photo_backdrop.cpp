#include "session/photo_backdrop.h"

#include <system_error>
#include <utility>

#include "calendar/composition.h"

namespace lunetta {

PhotoBackdrop::PhotoBackdrop(PhotoLoader loader) : loader_(std::move(loader)) {}

PhotoBackdrop::~PhotoBackdrop() {
  // A decode still running uses the loader; it must finish before the loader goes.
  if (pending_.valid()) {
    pending_.wait();
  }
}

void PhotoBackdrop::Choose(std::filesystem::path path) {
  if (pending_.valid()) {
    pending_.wait();
    pending_ = {};
  }
  path_ = std::move(path);
  kept_ = false;
  failure_.reset();
}

std::optional<PhotoBackdrop::Stamp> PhotoBackdrop::StampOf(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    return std::nullopt;
  }
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
  if (error) {
    return std::nullopt;
  }
  return Stamp{size, modified};
}

PhotoBackdrop::Prepared PhotoBackdrop::Prepare(const PhotoLoader& loader,
                                               const std::filesystem::path& path,
                                               PictureSize size) {
  Prepared prepared;
  prepared.size = size;
  if (path.empty()) {
    prepared.background = PictureBackground(QImage(), size);
    return prepared;
  }
  // Stamped before reading: a change during the decode shows at the next composition.
  prepared.stamp = StampOf(path);
  Result<DecodedPicture> decoded = loader(path, QSize(size.width, size.height));
  if (decoded) {
    prepared.background = PictureBackground(decoded->image, size);
  } else {
    prepared.failure = decoded.failure();
    prepared.background = PictureBackground(QImage(), size);
  }
  return prepared;
}

bool PhotoBackdrop::Current(PictureSize size) const {
  if (!kept_ || prepared_.size != size) {
    return false;
  }
  // A file that was missing stays missing, or has appeared and is read now.
  return path_.empty() || StampOf(path_) == prepared_.stamp;
}

void PhotoBackdrop::Take(Prepared prepared) {
  prepared_ = std::move(prepared);
  failure_ = prepared_.failure;
  kept_ = true;
}

void PhotoBackdrop::Prefetch(PictureSize size) {
  if (pending_.valid() || Current(size)) {
    return;
  }
  pending_ = std::async(std::launch::async, Prepare, loader_, path_, size);
}

const QImage& PhotoBackdrop::Background(PictureSize size) {
  if (pending_.valid()) {
    Take(pending_.get());
  }
  if (!Current(size)) {
    Take(Prepare(loader_, path_, size));
  }
  return prepared_.background;
}

}  // namespace lunetta
