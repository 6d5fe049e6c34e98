#pragma once

#include <QImage>
#include <vector>

#include "calendar/block_geometry.h"
#include "calendar/text_regions.h"

namespace lunetta {

/// A block over a picture, and the colours and card opacity it is asked to be drawn with.
struct LegibilityRequest {
  /// The picture under the block, before the block is blended over it (any format).
  QImage background;
  /// The block's rectangle on the picture; parts outside the picture do not count.
  Rect block;
  /// The block's texts, in block coordinates (BlockTextRegions).
  std::vector<TextRegion> regions;
  /// The user's colours and card opacity (0..255).
  BlockColors colors;
  int opacity = 90;
  /// The card is never made more transparent than this.
  int minimumOpacity = 0;
  /// What every text class must reach over the worst `worstShare` of the pixels behind it.
  double targetRatio = 4.5;
  double worstShare = 0.05;
};

/// How a text is put on the picture: opaque over the blended card, or blended with the card.
enum class TextBlend { Opaque, WithCard };

struct ClassContrast {
  TextClass textClass = TextClass::Title;
  /// The contrast ratio that all but the worst `worstShare` of its pixels reach or exceed.
  double ratio = 0;
};

/// The contrast of every class that has pixels on the picture, in TextClass order, for the block
/// drawn in `colors` with a card of `opacity` over the picture, each pixel blended as the
/// composition blends it: C = (card·α + picture·(255 − α)) >> 8.
std::vector<ClassContrast> MeasureContrast(const LegibilityRequest& request,
                                           const BlockColors& colors, int opacity, TextBlend blend);

struct Legibility {
  BlockColors colors;
  int opacity = 255;  // of the card; the text is drawn opaque over it
  /// False when no choice reaches the target: the block is then black on an opaque white card.
  bool reached = false;
  /// The user's text and card colours were kept (Saturday's and Sunday's may still be adjusted).
  bool userColorsKept = false;
  /// As MeasureContrast gives it for the choice, at full resolution.
  std::vector<ClassContrast> contrast;
};

/// The colours and the smallest card opacity (not below minimumOpacity) with which every text of
/// the block reaches targetRatio over the worst worstShare of its pixels, the text drawn opaque:
/// - the user's text and card colours when they reach it at the user's opacity or below;
/// - else, of the user's colours, black text on a light card and white text on a dark card (the
///   user's card when it has 7:1 against that text, else white or black), the one that needs the
///   least opacity; ties go to the user's colours, then to the text nearer the user's in
///   luminance.
/// Saturday's and Sunday's colours keep their hue and are darkened (or lightened, on a card darker
/// than the text) only as far as they must, and keep at least 40 % of their colourfulness while any
/// opacity allows it, so they stay apart from the text. The same request always gives the same
/// answer.
Legibility SolveLegibility(const LegibilityRequest& request);

}  // namespace lunetta
