#pragma once

#include <QByteArray>
#include <QImage>
#include <QStringView>
#include <filesystem>
#include <optional>
#include <utility>

#include "picture/failure.h"

namespace lunetta {

/// JPEG quality of saved pictures: the platform encoder's default.
inline constexpr int kDefaultJpegQuality = 75;

/// A picture that loads itself from a file and saves itself in the format its target's extension
/// selects.
class Picture {
 public:
  Picture() = default;
  explicit Picture(QImage image) : image_(std::move(image)) {}

  /// Decodes `path`; on failure the picture is left empty.
  Status Load(const std::filesystem::path& path);

  /// Writes the picture atomically in the format chosen by `path`'s extension; nothing is written
  /// on failure. A new file gets the usual mode of the user's files, or `mode` where given.
  Status Save(const std::filesystem::path& path, int jpegQuality = kDefaultJpegQuality,
              std::optional<std::filesystem::perms> mode = std::nullopt) const;

  bool isEmpty() const { return image_.isNull(); }
  const QImage& image() const { return image_; }

 private:
  QImage image_;
};

/// From the last "." of the last path component to the end, dot included; empty without one.
QStringView FindExtension(QStringView path);

/// The first encoder of QImageWriter::supportedImageFormats() whose pattern "*.<format>" has the
/// extension of `path`, without regard to letter case. NoExtension or NoEncoder (with the
/// extension as detail) when there is none.
Result<QByteArray> EncoderForPath(const std::filesystem::path& path);

}  // namespace lunetta
