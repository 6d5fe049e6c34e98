#include "session/photo_backdrop.h"

#include <system_error>
#include <utility>

#include "platform/stage_trace.h"
#include "render/composition.h"

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

Status PhotoBackdrop::ChooseIfUsable(std::filesystem::path path, PictureSize size, PhotoFit fit) {
  Prepared candidate = Prepare(loader_, path, size, fit);
  if (candidate.failure) {
    Failure failure = *candidate.failure;
    failure.file = path;
    return failure;
  }
  Choose(std::move(path));
  Take(std::move(candidate));
  return {};
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
                                               const std::filesystem::path& path, PictureSize size,
                                               PhotoFit fit) {
  Prepared prepared;
  prepared.size = size;
  prepared.fit = fit;
  if (path.empty()) {
    prepared.background = PictureBackground(QImage(), size);
    return prepared;
  }
  // Stamped before reading: a change during the decode shows at the next composition.
  prepared.stamp = StampOf(path);
  Result<DecodedPicture> decoded = loader(path, QSize(size.width, size.height), fit);
  if (decoded) {
    // Handed over, so that it goes as soon as it is scaled.
    prepared.background = PictureBackground(std::move(decoded->image), size, fit);
    TraceStage("scaled");
  } else {
    prepared.failure = decoded.failure();
    prepared.background = PictureBackground(QImage(), size);
  }
  return prepared;
}

bool PhotoBackdrop::Current(PictureSize size, PhotoFit fit) const {
  if (!kept_ || prepared_.size != size || (prepared_.fit != fit && !path_.empty())) {
    return false;
  }
  // A file that was missing stays missing, or has appeared and is read now.
  return path_.empty() || StampOf(path_) == prepared_.stamp;
}

bool PhotoBackdrop::AtHand(PictureSize size, PhotoFit fit) const {
  // Without a photograph the background is only the desktop's colour.
  return path_.empty() ||
         (!pending_.valid() && Current(size, fit) && !prepared_.background.isNull());
}

void PhotoBackdrop::Take(Prepared prepared) {
  prepared_ = std::move(prepared);
  failure_ = prepared_.failure;
  kept_ = true;
}

void PhotoBackdrop::Prefetch(PictureSize size, PhotoFit fit) {
  if (pending_.valid() || Current(size, fit)) {
    return;
  }
  pending_ = std::async(std::launch::async, Prepare, loader_, path_, size, fit);
}

QImage PhotoBackdrop::TakeBackground(PictureSize size, PhotoFit fit) {
  if (pending_.valid()) {
    Take(pending_.get());
  }
  // Taken already and still current: placed again from the file, as nothing is kept.
  if (!Current(size, fit) || prepared_.background.isNull()) {
    Take(Prepare(loader_, path_, size, fit));
  }
  return std::move(prepared_.background);
}

}  // namespace lunetta
