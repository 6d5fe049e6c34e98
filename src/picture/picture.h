#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringView>
#include <utility>

namespace lunetta {

/// A picture that loads itself from a file and saves itself in the format its target's extension
/// selects.
class Picture {
 public:
  Picture() = default;
  explicit Picture(QImage image) : image_(std::move(image)) {}

  /// False, and the picture left empty, when nothing decodes; the reason then goes to `error`.
  bool Load(const QString& path, QString* error = nullptr);

  /// Writes the picture atomically in the format chosen by `path`'s extension (JPEG at quality 75).
  /// False, with the reason in `error`, when nothing was written.
  bool Save(const QString& path, QString* error = nullptr) const;

  bool isEmpty() const { return image_.isNull(); }
  const QImage& image() const { return image_; }

 private:
  QImage image_;
};

/// From the last "." of the last path component to the end, dot included; empty without one.
QStringView FindExtension(QStringView path);

/// The first encoder of QImageWriter::supportedImageFormats() whose pattern "*.<format>" has the
/// extension of `path`, without regard to letter case; empty when there is none.
QByteArray EncoderForPath(const QString& path);

/// Why EncoderForPath finds no encoder for `path`, in words for a message.
QString NoEncoderReason(const QString& path);

}  // namespace lunetta
