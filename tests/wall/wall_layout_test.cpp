#include "wall/wall_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace lunetta {

void PrintTo(const PixelRect& r, std::ostream* out) {
  *out << '(' << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ')';
}
void PrintTo(const PixelSize& s, std::ostream* out) {
  *out << s.width << " x " << s.height;
}

namespace {

constexpr double kTolerance = 0.001;

bool Inside(const PointRect& inner, const PointRect& outer) {
  return inner.x >= outer.x - kTolerance && inner.y >= outer.y - kTolerance &&
         inner.right() <= outer.right() + kTolerance &&
         inner.bottom() <= outer.bottom() + kTolerance;
}

bool Apart(const PointRect& a, const PointRect& b) {
  return a.right() <= b.x + kTolerance || b.right() <= a.x + kTolerance ||
         a.bottom() <= b.y + kTolerance || b.bottom() <= a.y + kTolerance;
}

struct PageCase {
  Paper paper;
  PageOrientation orientation;
  PhotoPosition position;
  bool weekNumbers;
};

class MonthPageTest : public ::testing::TestWithParam<PageCase> {};

// February 2026 begins on a Sunday and fills 5 rows; May 2026 begins on a Friday and needs 6.
TEST_P(MonthPageTest, DayCellsStayLargeEnoughToWriteInBesideThePhoto) {
  const WallOptions options{.paper = GetParam().paper,
                            .orientation = GetParam().orientation,
                            .photoPosition = GetParam().position,
                            .bleed = kStandardBleed,
                            .weekNumbers = GetParam().weekNumbers};
  const MonthPageLayout five = LayoutMonthPage(options, 2026, 2);
  const MonthPageLayout six = LayoutMonthPage(options, 2026, 5);
  ASSERT_EQ(five.rows, 5);
  ASSERT_EQ(six.rows, 6);
  EXPECT_NEAR(five.cellHeight, six.cellHeight * 6 / 5, kTolerance);
  EXPECT_GE(six.cellHeight, kMinCellHeight - kTolerance);
  EXPECT_GE(six.cellWidth, kMinCellWidth - kTolerance);
  EXPECT_TRUE(Inside(six.grid, six.frame.trim));
  EXPECT_TRUE(Apart(six.grid, six.photo));
  // The photo runs into the bleed on every page edge it touches.
  const PointRect& photo = six.photo;
  const PointRect& bleed = six.frame.bleed;
  const PhotoPosition position = GetParam().position;
  EXPECT_NEAR(photo.y, bleed.y, kTolerance);
  EXPECT_TRUE(position == PhotoPosition::Right || std::abs(photo.x - bleed.x) < kTolerance);
  EXPECT_TRUE(position == PhotoPosition::Left ||
              std::abs(photo.right() - bleed.right()) < kTolerance);
  EXPECT_TRUE(position == PhotoPosition::Top ||
              std::abs(photo.bottom() - bleed.bottom()) < kTolerance);
  ASSERT_EQ(six.days.size(), 31u);
  for (const DayCell& day : six.days) {
    EXPECT_TRUE(Inside(day.cell, six.dayRows)) << day.day;
    EXPECT_TRUE(Inside(day.number, day.cell)) << day.day;
    EXPECT_TRUE(Inside(day.names, day.cell)) << day.day;
  }
  EXPECT_EQ(six.weekNumberCells.size(), GetParam().weekNumbers ? 6u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Papers, MonthPageTest,
    ::testing::Values(PageCase{Paper::A4, PageOrientation::Portrait, PhotoPosition::Top, false},
                      PageCase{Paper::A4, PageOrientation::Landscape, PhotoPosition::Top, true},
                      PageCase{Paper::A4, PageOrientation::Portrait, PhotoPosition::Left, true},
                      PageCase{Paper::A3, PageOrientation::Portrait, PhotoPosition::Top, true},
                      PageCase{Paper::A3, PageOrientation::Landscape, PhotoPosition::Right, false},
                      PageCase{Paper::Letter, PageOrientation::Portrait, PhotoPosition::Top, false},
                      PageCase{Paper::Tabloid, PageOrientation::Landscape, PhotoPosition::Left,
                               false}));

TEST(MonthPage, AnA4PortraitHalfPhotoHasCellsOfThreeQuartersOfAnInchAcross) {
  const MonthPageLayout six = LayoutMonthPage(WallOptions{}, 2026, 5);
  const MonthPageLayout five = LayoutMonthPage(WallOptions{}, 2026, 2);
  EXPECT_NEAR(six.photo.height, 420.9449, kTolerance);
  EXPECT_NEAR(six.cellWidth, 74.8346, kTolerance);
  EXPECT_NEAR(six.cellHeight, 46.8346, kTolerance);
  EXPECT_NEAR(five.cellHeight, 56.2015, kTolerance);
  EXPECT_NEAR(six.days.front().cell.x, six.grid.x + 5 * six.cellWidth, kTolerance);  // a Friday
}

TEST(MonthPage, APhotoBesideAPortraitPageGivesWayToTheDayCells) {
  WallOptions options{.photoPosition = PhotoPosition::Left};
  EXPECT_LT(PhotoShare(options), 0.5);
  EXPECT_NEAR(LayoutMonthPage(options, 2026, 5).cellWidth, kMinCellWidth, 0.01);
  options.photoShare = 0.3;
  EXPECT_DOUBLE_EQ(PhotoShare(options), 0.3);
}

TEST(PageFrame, MarksGrowTheMediaBoxAroundTheTrim) {
  // The boxes share their centre: each is the media box inset on every side.
  struct Row {
    Paper paper;
    PageOrientation orientation;
    double bleed;
    bool marks;
    double width, height, bleedInset, trimInset;
  };
  const Row rows[] = {
      {Paper::A4, PageOrientation::Portrait, 0, false, 595.2756, 841.8898, 0, 0},
      {Paper::A4, PageOrientation::Portrait, kStandardBleed, false, 612.2835, 858.8976, 0, 8.5039},
      {Paper::A3, PageOrientation::Landscape, kStandardBleed, true, 1235.9055, 887.2441, 14.1732,
       22.6772},
      {Paper::Letter, PageOrientation::Portrait, 0, true, 657.3543, 837.3543, 22.6772, 22.6772},
      {Paper::Tabloid, PageOrientation::Landscape, -3, false, 1224, 792, 0, 0},
      {Paper::Tabloid, PageOrientation::Landscape, NAN, false, 1224, 792, 0, 0},
      {Paper::Letter, PageOrientation::Landscape, 1e9, false, 848.6929, 668.6929, 0, 28.3465},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "paper " << int(row.paper) << ", bleed " << row.bleed
                                      << ", marks " << row.marks);
    const PageFrame frame = FramePage({.paper = row.paper,
                                       .orientation = row.orientation,
                                       .bleed = row.bleed,
                                       .trimMarks = row.marks});
    for (const auto& [box, inset] : {std::pair{ToPdfBox(frame.media, frame), 0.0},
                                     {ToPdfBox(frame.bleed, frame), row.bleedInset},
                                     {ToPdfBox(frame.trim, frame), row.trimInset}}) {
      EXPECT_NEAR(box.left, inset, kTolerance);
      EXPECT_NEAR(box.bottom, inset, kTolerance);
      EXPECT_NEAR(box.right, row.width - inset, kTolerance);
      EXPECT_NEAR(box.top, row.height - inset, kTolerance);
    }
  }
}

TEST(PageFrame, TrimMarksLieOnTheTrimLinesOutsideTheBleed) {
  for (const double bleed : {0.0, kStandardBleed, 5 * kPointsPerMm}) {
    SCOPED_TRACE(bleed);
    const PageFrame frame = FramePage({.bleed = bleed, .trimMarks = true});
    const PointRect& t = frame.trim;
    const double gap = std::max(bleed, kStandardBleed);
    for (const PointLine& mark : TrimMarks(frame)) {
      const bool horizontal = mark.y1 == mark.y2;
      EXPECT_NEAR(std::hypot(mark.x2 - mark.x1, mark.y2 - mark.y1), kTrimMarkLength, kTolerance);
      const PointRect extent{std::min(mark.x1, mark.x2), std::min(mark.y1, mark.y2),
                             std::abs(mark.x2 - mark.x1), std::abs(mark.y2 - mark.y1)};
      EXPECT_TRUE(Apart(extent, frame.bleed));
      EXPECT_TRUE(Inside(extent, frame.media));
      if (horizontal) {
        EXPECT_TRUE(mark.y1 == t.y || mark.y1 == t.bottom());
        EXPECT_NEAR(std::min(std::abs(extent.right() - t.x), std::abs(extent.x - t.right())), gap,
                    kTolerance);
      } else {
        EXPECT_TRUE(mark.x1 == t.x || mark.x1 == t.right());
        EXPECT_NEAR(std::min(std::abs(extent.bottom() - t.y), std::abs(extent.y - t.bottom())), gap,
                    kTolerance);
      }
    }
  }
  const PointLine topLeft = TrimMarks(FramePage({.bleed = kStandardBleed, .trimMarks = true}))[0];
  EXPECT_NEAR(topLeft.x1, 0, kTolerance);  // the marks reach the media box's edge
  EXPECT_NEAR(topLeft.x2, 14.1732, kTolerance);
  EXPECT_NEAR(topLeft.y1, 22.6772, kTolerance);
}

TEST(PlaceNames, NamesShrinkToFitTheCellOrAreLeftOut) {
  // Half the font size per byte; a line is 1.25 times the size.
  const TextWidth width = [](std::string_view text, double size) { return text.size() * size / 2; };
  const PointRect area{0, 0, 50, 16};
  struct Row {
    std::vector<std::string> names;
    std::vector<std::pair<std::string, double>> placed;
  };
  const Row rows[] = {
      {{"Holiday"}, {{"Holiday", 6}}},
      {{std::string(20, 'a')}, {{std::string(20, 'a'), 5}}},  // 60 wide at 6: 5 fits 50
      {{std::string(21, 'b'), "Short"}, {{"Short", 6}}},      // below 5: left out
      {{"One", "Two", "Three"}, {{"One", 6}, {"Two", 6}}},    // a third line would pass 16
      {{}, {}},
  };
  for (const Row& row : rows) {
    const std::vector<WallDayMark> marks = {{7, DayMarkKind::Holiday, row.names},
                                            {8, DayMarkKind::Day, {"Another day"}}};
    const std::vector<PlacedName> placed = PlaceNames(area, 6, 5, marks, 7, width);
    ASSERT_EQ(placed.size(), row.placed.size()) << row.names.size();
    for (std::size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(placed[i].text, row.placed[i].first);
      EXPECT_NEAR(placed[i].size, row.placed[i].second, kTolerance);
      EXPECT_NEAR(placed[i].box.y, 7.5 * i * placed[i].size / 6, kTolerance);
    }
  }
}

TEST(PhotoPlacement, TheCropFillsTheAreaAtMostThreeHundredDpi) {
  struct Row {
    int width, height;
    PointSize area;
    PhotoCrop crop;
    PixelRect expected;
    PixelSize embedded;
  };
  const PointSize a4Top{612.2835, 429.4488};  // A4 with 3 mm bleed, the photo's half
  const Row rows[] = {
      {6000, 4000, a4Top, {}, {149, 0, 5703, 4000}, {2552, 1790}},
      {6000, 4000, a4Top, {0, 0.5}, {0, 0, 5703, 4000}, {2552, 1790}},
      {6000, 4000, a4Top, {1, 0.5}, {297, 0, 5703, 4000}, {2552, 1790}},
      {600, 900, a4Top, {}, {0, 240, 600, 421}, {600, 421}},
      {300, 300, {72, 72}, {}, {0, 0, 300, 300}, {300, 300}},  // exactly 300 dpi: kept
      {301, 301, {72, 72}, {}, {0, 0, 301, 301}, {300, 300}},
      {0, 0, {72, 72}, {}, {0, 0, 1, 1}, {1, 1}},  // an empty photo stays one pixel
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.width << " x " << row.height);
    const PixelRect crop = CropPhoto(row.width, row.height, row.area, row.crop);
    EXPECT_EQ(crop, row.expected);
    EXPECT_EQ(EmbeddedPixels(crop, row.area), row.embedded);
  }
  EXPECT_NEAR(EffectiveDpi({0, 0, 600, 421}, a4Top), 70.55, 0.01);
}

}  // namespace
}  // namespace lunetta
