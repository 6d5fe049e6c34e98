#pragma once

#include <QImage>
#include <QRect>
#include <filesystem>
#include <optional>
#include <vector>

#include "calendar/block_geometry.h"
#include "calendar/calendar_settings.h"
#include "picture/failure.h"
#include "render/block_arrangement.h"
#include "render/calendar_renderer.h"

namespace lunetta {

struct ComposedPicture {
  QImage picture;  // the picture size of the settings, 24 bits per pixel
  int blockWidth = 0;
  int blockHeight = 0;
  // Where the block is drawn: its stored place, moved just enough to lie whole on the picture.
  int blockX = 0;
  int blockY = 0;
  // How it came out: its size, place and colours on this picture.
  BlockArrangement arrangement;
};

/// The photograph (a null image for none) on a picture of `size`, 24 bits per pixel, placed as
/// `fit` asks (see PlacePhoto); the desktop colour shows where the photograph is absent, does not
/// reach or is see-through. A photograph handed over is let go as soon as it is scaled.
QImage PictureBackground(QImage photo, PictureSize size, PhotoFit fit = PhotoFit::Stretch);

/// The block of settings.year / settings.month in the settings' font and colours, `holidayDays` in
/// red, for a picture of `picture` size (any size when not given), with `marks` for the day it is
/// seen on. DateOutOfRange for a month the calendar cannot place.
Result<CalendarBlock> DrawCalendarBlock(const CalendarSettings& settings,
                                        const std::vector<int>& holidayDays,
                                        std::optional<PictureSize> picture = std::nullopt,
                                        const DayMarks& marks = {});

/// `block` blended over `background` with the opacity `transparency`, at (startX, startY) moved up
/// and left just enough for the whole block to show (see DrawnBlockRect).
ComposedPicture BlendCalendarBlock(QImage background, const CalendarBlock& block,
                                   const CalendarSettings& settings);

/// The block arranged for the background (PrepareBlock, FinishBlock), then BlendCalendarBlock.
Result<ComposedPicture> ComposeOver(QImage background, const CalendarSettings& settings,
                                    const std::vector<int>& holidayDays,
                                    const DayMarks& marks = {});

/// PictureBackground at the settings' picture size (PictureSizeOf with `screen`) and photo fit,
/// then ComposeOver.
Result<ComposedPicture> ComposeCalendar(const QImage& photo, const CalendarSettings& settings,
                                        const std::vector<int>& holidayDays,
                                        std::optional<PictureSize> screen = std::nullopt);

/// Blends `sourceRect` of `source` over `destinationRect` of `destination`: C = (A·α + B·(255 − α))
/// >> 8 per channel. Parts outside either image are cut off. False, and the destination unchanged,
/// for rectangles of different sizes, an opacity outside 0..255 or images that are not both 24 bits
/// per pixel.
bool BlendBlock(QImage& destination, const QRect& destinationRect, const QImage& source,
                const QRect& sourceRect, int opacity);

/// Writes `image` as a 24-bit bottom-up BMP with 14 + 40 byte headers, atomically.
Status SaveBitmapFile(const QImage& image, const std::filesystem::path& path);

}  // namespace lunetta
