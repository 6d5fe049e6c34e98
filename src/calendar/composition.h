#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "calendar/calendar_settings.h"
#include "picture/load_picture_file.h"

namespace lunetta {

struct ComposedPicture {
  QImage picture;  // the picture size of settings.pictSize, 24 bits per pixel
  int blockWidth = 0;
  int blockHeight = 0;
};

/// Decodes the photograph for a picture of `pictSize`: a photo much larger than the picture is
/// decoded at a reduced scale that still covers it, which is what keeps large JPEGs fast.
DecodedPicture LoadPhotograph(const QString& path, std::int32_t pictSize);

/// The photograph (a null image for none) stretched to the picture size, the block of
/// settings.year / settings.month drawn with `holidayDays` in red and blended at (startX, startY)
/// with the opacity `transparency`. Throws InvalidArgumentError for a month it cannot place.
ComposedPicture ComposeCalendar(const QImage& photo, const CalendarSettings& settings,
                                const std::vector<int>& holidayDays);

/// Blends the source rectangle over the destination rectangle: C = (A·α + B·(255 − α)) >> 8 per
/// channel. Parts outside the destination are cut off. False, and the destination unchanged, for an
/// opacity outside 0..255 or images that are not 24 bits per pixel.
bool BlendBlock(QImage& destination, int x, int y, int width, int height, const QImage& source,
                int sourceX, int sourceY, int sourceWidth, int sourceHeight, int opacity);

/// The composed picture's file: "Calendar.bmp" in the temporary folder.
QString ComposedPicturePath();

/// Writes `image` as a 24-bit bottom-up BMP with 14 + 40 byte headers, atomically.
bool SaveBitmapFile(const QImage& image, const QString& path);

}  // namespace lunetta
