#include "render/block_arrangement.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "calendar/color_contrast.h"
#include "calendar/month_model.h"
#include "calendar/proportional_layout.h"
#include "placement/energy_map.h"
#include "render/drawing.h"

namespace lunetta {

namespace {

double Share(std::int32_t thousandths, int low, int high) {
  return std::clamp(thousandths, low, high) / 1000.0;
}

double HeightShare(const CalendarSettings& settings) {
  return Share(settings.blockHeightShare, kMinBlockHeightShare, kMaxBlockHeightShare);
}

double MarginShare(const CalendarSettings& settings) {
  return Share(settings.marginShare, 0, kMaxMarginShare);
}

Anchor AnchorOf(const CalendarSettings& settings) {
  return settings.anchor >= 0 && settings.anchor < kAnchorCount
             ? static_cast<Anchor>(settings.anchor)
             : Anchor::BottomRight;
}

// Everything of `settings` the block's layout and drawing take.
void SetUp(CalendarRenderer& renderer, const CalendarSettings& settings,
           const std::vector<int>& holidays, const DayMarks& marks) {
  renderer.SetFontName(settings.fontName);
  renderer.SetTextColor(ColorFromRef(settings.textColor));
  renderer.SetBackColor(ColorFromRef(settings.backColor));
  renderer.SetWeekendColors(ColorFromRef(settings.saturdayColor),
                            ColorFromRef(settings.sundayColor));
  renderer.SetTextSize(settings.textSize);
  renderer.SetFontStyle(settings.fontWeight, settings.fontItalic);
  renderer.SetMonth(settings.year, settings.month);
  renderer.SetHolidays(holidays);
  renderer.SetWeekStart(WeekStartOf(settings));
  renderer.SetJapaneseLabels(settings.labels != LabelLanguage::English);
  renderer.SetWeekNumbers(settings.weekNumbers);
  renderer.SetDayMarks(marks);
  renderer.SetLegibleMarks(settings.legible);
  renderer.SetTitleEra(settings.titleEra);
  // The ring is a thin line: it needs the contrast asked of large text against the card.
  renderer.SetDayColor(ColorFromRef(
      AdjustForContrast(settings.dayColor, settings.backColor, 3.0).value_or(settings.dayColor)));
}

std::vector<TextRegion> Scaled(std::vector<TextRegion> regions, double scale) {
  for (TextRegion& region : regions) {
    region.rect = ScaleRect(region.rect, scale);
  }
  return regions;
}

BlockColors ColorsOf(const CalendarSettings& settings) {
  return {settings.textColor, settings.backColor, settings.saturdayColor, settings.sundayColor};
}

// The most the past days may fade, of 0.5, with every class of them still at the target over
// the picture: in sixteenths, by halving.
double LegibleFade(const PreparedBlock& prepared, const QImage& background) {
  const BlockArrangement& arranged = prepared.arrangement;
  const CalendarSettings& drawn = arranged.settings;
  LegibilityRequest request{background, arranged.block, prepared.pastDays, ColorsOf(drawn),
                            drawn.transparency};
  const auto passes = [&](int sixteenths) {
    const double share = sixteenths / 16.0;
    BlockColors faded = request.colors;
    for (ColorRef* color : {&faded.text, &faded.saturday, &faded.sunday}) {
      *color = RefFromColor(FadedColor(ColorFromRef(*color), ColorFromRef(faded.back), share));
    }
    const std::vector<ClassContrast> contrast =
        MeasureContrast(request, faded, drawn.transparency, TextBlend::Opaque);
    return std::all_of(contrast.begin(), contrast.end(),
                       [](const ClassContrast& c) { return c.ratio >= kLegibleRatio; });
  };
  int low = 0;  // passes: the colours the solver chose
  int high = 9;
  while (high - low > 1) {
    const int middle = (low + high) / 2;
    (passes(middle) ? low : high) = middle;
  }
  return low / 16.0;
}

}  // namespace

bool FollowsPhoto(const CalendarSettings& settings) {
  return settings.autoPlace || settings.legible;
}

CalendarBlock DrawArrangedBlock(const BlockArrangement& arrangement,
                                const std::vector<int>& holidays,
                                std::optional<PictureSize> picture, const DayMarks& marks) {
  CalendarRenderer renderer;
  if (picture) {
    renderer.SetSurfaceLimit(picture->width, picture->height);
  }
  const CalendarSettings& settings = arrangement.settings;
  SetUp(renderer, settings, holidays, marks);
  renderer.SetScale(arrangement.scale);
  renderer.SetFade(arrangement.fade);
  const bool opaqueText = settings.opaqueText;
  // The surface outlives the renderer: QImage shares it.
  CalendarBlock block{renderer.Draw(!opaqueText), renderer.blockWidth(), renderer.blockHeight(),
                      QImage(), renderer.geometry()};
  if (opaqueText) {
    block.text = QImage(block.surface.size(), QImage::Format_ARGB32_Premultiplied);
    block.text.fill(Qt::transparent);
    QPainter painter(&block.text);
    renderer.PaintText(painter);
  }
  return block;
}

Result<PreparedBlock> PrepareBlock(const CalendarSettings& settings,
                                   const std::vector<int>& holidays, PictureSize picture,
                                   const DayMarks& marks) {
  PreparedBlock prepared;
  prepared.arrangement.settings = settings;
  prepared.holidays = holidays;
  prepared.marks = marks;
  prepared.picture = picture;
  BlockArrangement& arranged = prepared.arrangement;
  CalendarRenderer renderer;
  SetUp(renderer, settings, holidays, marks);
  try {
    if (settings.proportional) {
      // Laid out for a month of five rows, so that every month of the year has the same text.
      const ProportionalSize size =
          SizeForShare(picture, HeightShare(settings), MarginShare(settings), [&](int textSize) {
            renderer.SetTextSize(textSize);
            return renderer.Measure(5);
          });
      arranged.settings.textSize = size.textSize;
      arranged.scale = size.scale;
      renderer.SetTextSize(size.textSize);
      renderer.SetScale(size.scale);
    }
    const bool follows = FollowsPhoto(settings);
    if (!settings.proportional && !follows) {
      // The stored corner needs only the block's size, which drawing it gives.
      prepared.block = DrawArrangedBlock(arranged, holidays, picture, marks);
      arranged.block = DrawnBlockRect(settings.startX, settings.startY, prepared.block->width,
                                      prepared.block->height, picture.width, picture.height);
      return prepared;
    }
    renderer.LayOut();
    const int width = renderer.blockWidth();
    const int height = renderer.blockHeight();
    arranged.block = settings.proportional
                         ? AnchorBlock(picture, width, height, AnchorOf(settings),
                                       MarginPixels(picture, MarginShare(settings)))
                         : DrawnBlockRect(settings.startX, settings.startY, width, height,
                                          picture.width, picture.height);
    arranged.settings.startX = arranged.block.left;
    arranged.settings.startY = arranged.block.top;
    if (!follows) {
      prepared.block = DrawArrangedBlock(arranged, holidays, picture, marks);
    } else if (settings.legible) {
      prepared.regions = Scaled(renderer.TextRegions(), arranged.scale);
      if (marks.dimBefore > 1) {
        prepared.pastDays = Scaled(renderer.TextRegions(marks.dimBefore), arranged.scale);
      }
    }
  } catch (const InvalidArgumentError&) {
    return Failure(Fault::DateOutOfRange, {}, {},
                   QStringLiteral("%1-%2").arg(settings.year).arg(settings.month));
  }
  return prepared;
}

void FinishBlock(PreparedBlock& prepared, const QImage& background) {
  if (prepared.block) {
    return;
  }
  BlockArrangement& arranged = prepared.arrangement;
  CalendarSettings& drawn = arranged.settings;
  const int width = arranged.block.right - arranged.block.left;
  const int height = arranged.block.bottom - arranged.block.top;
  if (drawn.autoPlace) {
    PlacementRequest request;
    request.blockWidth = width;
    request.blockHeight = height;
    request.preferred = arranged.block;
    request.margin = MarginPixels(prepared.picture, MarginShare(drawn));
    request.panelShare = Share(drawn.panelShare, 0, kMaxPanelShare);
    const Placement place = ChoosePlace(EnergyMap(background), request);
    arranged.placement =
        PlacementChoice{place.admissible, place.preferredKept, place.energy, place.calmestEnergy};
    arranged.block = place.block;
    drawn.startX = arranged.block.left;
    drawn.startY = arranged.block.top;
  }
  if (drawn.legible) {
    LegibilityRequest request{background, arranged.block, prepared.regions, ColorsOf(drawn),
                              drawn.transparency};
    request.targetRatio = kLegibleRatio;
    arranged.legibility = SolveLegibility(request);
    const Legibility& chosen = *arranged.legibility;
    drawn.textColor = chosen.colors.text;
    drawn.backColor = chosen.colors.back;
    drawn.saturdayColor = chosen.colors.saturday;
    drawn.sundayColor = chosen.colors.sunday;
    drawn.transparency = chosen.opacity;
    // The solver reads the text as drawn over the blended card, not blended with it.
    drawn.opaqueText = true;
    if (!prepared.pastDays.empty()) {
      arranged.fade = LegibleFade(prepared, background);
    }
  }
  prepared.block = DrawArrangedBlock(arranged, prepared.holidays, prepared.picture, prepared.marks);
}

}  // namespace lunetta
