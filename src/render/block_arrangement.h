#pragma once

#include <QImage>
#include <optional>
#include <vector>

#include "calendar/calendar_settings.h"
#include "calendar/text_regions.h"
#include "picture/failure.h"
#include "placement/legibility.h"
#include "render/calendar_renderer.h"

// How a month's block comes out on one picture: the size, place and colours the settings leave to
// the picture (proportional layout, automatic placement, legible colours), decided in two steps:
// what the picture's size decides, before the photo is decoded, and what the photo decides.

namespace lunetta {

/// The calendar block of one month, drawn in the rectangle (0, 0, width, height) of its surface.
/// The surface holds no more of it than a picture can show.
struct CalendarBlock {
  QImage surface;
  int width = 0;
  int height = 0;
  /// With opaque text: the text alone on a transparent layer the surface's size, drawn over the
  /// blended card; the surface then holds the card only.
  QImage text;
  BlockGeometry geometry;  // as laid out, before the arrangement's scale
};

/// What automatic placement found.
struct PlacementChoice {
  bool admissible = false;     // some place keeps the margin and clears the panel bands
  bool preferredKept = false;  // the user's place was nearly as calm as the calmest
  double energy = 0;           // the detail under the block
  double calmestEnergy = 0;    // ... under the calmest admissible place
};

/// The block as it is drawn on one picture.
struct BlockArrangement {
  /// What it is drawn with: the settings, with the text size the proportional layout gives, the
  /// corner (startX, startY) where it lies, and the colours, card opacity and opaque text chosen
  /// for legibility.
  CalendarSettings settings;
  /// The block laid out at settings.textSize is drawn this many times as large.
  double scale = 1;
  /// Where it lies on the picture.
  Rect block;
  /// What automatic placement chose, when it ran.
  std::optional<PlacementChoice> placement;
  /// What legibility chose, when it ran.
  std::optional<Legibility> legibility;
  /// How far the past days fade towards the card.
  double fade = 0.5;
};

/// Whether the settings leave the block's place or colours to the photo.
bool FollowsPhoto(const CalendarSettings& settings);

/// The block of one month for one picture, between the two steps.
struct PreparedBlock {
  BlockArrangement arrangement;
  std::vector<int> holidays;
  DayMarks marks;
  PictureSize picture;
  /// Drawn as soon as nothing about it waits for the photo.
  std::optional<CalendarBlock> block;
  /// The texts, in picture pixels relative to the block, where legibility needs them: all of them,
  /// and the faded past days'.
  std::vector<TextRegion> regions;
  std::vector<TextRegion> pastDays;
};

/// The first step, for a picture of `picture` size: the text size and place the settings give
/// (in proportion to the picture, or at the stored corner moved to lie whole on it), and the
/// block drawn when the photo decides nothing about it. DateOutOfRange for a month the calendar
/// cannot place.
Result<PreparedBlock> PrepareBlock(const CalendarSettings& settings,
                                   const std::vector<int>& holidays, PictureSize picture,
                                   const DayMarks& marks = {});

/// The second step: the place and colours over `background` (the picture before the block goes
/// on) where the settings ask for them, and the block drawn if it is not yet.
void FinishBlock(PreparedBlock& prepared, const QImage& background);

/// The block of `arrangement` drawn for a picture of `picture` size (any size when not given).
/// Throws InvalidArgumentError for a month it cannot place.
CalendarBlock DrawArrangedBlock(const BlockArrangement& arrangement,
                                const std::vector<int>& holidays,
                                std::optional<PictureSize> picture, const DayMarks& marks);

}  // namespace lunetta
