#pragma once

#include <QImage>
#include <QSize>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>

#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "picture/load_picture_file.h"

namespace lunetta {

/// Decodes a photograph for a picture of a given size, on which it is placed with `fit`;
/// LoadPictureFile in the programs, a counting stand-in in tests.
using PhotoLoader = std::function<Result<DecodedPicture>(const std::filesystem::path& path,
                                                         QSize fitSize, PhotoFit fit)>;

/// A photograph decoded once and placed on the picture, so that changing the month, the year or the
/// block's look composes from memory. The placed photograph is handed over to the caller, who keeps
/// it (under the calendar block) while it stays current: until the photo is chosen again, the
/// picture size or the fit changes, or the file changes on disk (size or modification time).
class PhotoBackdrop {
 public:
  explicit PhotoBackdrop(PhotoLoader loader);
  ~PhotoBackdrop();
  PhotoBackdrop(const PhotoBackdrop&) = delete;
  PhotoBackdrop& operator=(const PhotoBackdrop&) = delete;

  /// Forgets what is kept; an empty path means no photograph.
  void Choose(std::filesystem::path path);

  /// Chooses `path` only when it decodes for `size` and `fit`, keeping that decode for the next
  /// TakeBackground; otherwise everything stays as it was and the failure says why.
  Status ChooseIfUsable(std::filesystem::path path, PictureSize size, PhotoFit fit);

  /// Starts decoding for `size` and `fit` on a worker thread when the picture last taken would not
  /// do, so the caller can get on with other work; TakeBackground then waits for it.
  void Prefetch(PictureSize size, PhotoFit fit);

  /// The photograph placed with `fit` on a picture of `size` (see PictureBackground), 24 bits per
  /// pixel, handed over: the backdrop keeps no pixels, so the caller may draw on it without a copy.
  QImage TakeBackground(PictureSize size, PhotoFit fit);

  /// Whether the picture last taken is still the one for `size` and `fit`.
  bool Current(PictureSize size, PhotoFit fit) const;
  /// Whether TakeBackground would neither decode nor wait for a decode.
  bool AtHand(PictureSize size, PhotoFit fit) const;

  const std::filesystem::path& path() const { return path_; }
  /// Why the photograph is not in the background; nothing when it is, or when none is chosen.
  const std::optional<Failure>& failure() const { return failure_; }

  struct Stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    bool operator==(const Stamp&) const = default;
  };
  /// A photograph decoded and placed for one picture size and fit.
  struct Prepared {
    QImage background;
    std::optional<Failure> failure;
    std::optional<Stamp> stamp;
    PictureSize size;
    PhotoFit fit = PhotoFit::Stretch;
  };

  /// Decodes `path` and places it; touches nothing shared, so it may run on any thread.
  static Prepared Prepare(const PhotoLoader& loader, const std::filesystem::path& path,
                          PictureSize size, PhotoFit fit);
  /// Keeps a decode of the chosen photo made elsewhere for the next TakeBackground.
  void Take(Prepared prepared);

 private:
  static std::optional<Stamp> StampOf(const std::filesystem::path& path);

  PhotoLoader loader_;
  std::filesystem::path path_;
  bool kept_ = false;
  Prepared prepared_;
  std::optional<Failure> failure_;
  std::future<Prepared> pending_;
};

}  // namespace lunetta
