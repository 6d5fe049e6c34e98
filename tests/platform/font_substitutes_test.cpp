#include "platform/font_substitutes.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <climits>
#include <cstdio>
#include <vector>

#include "calendar/calendar_renderer.h"
#include "calendar/calendar_settings.h"
#include "platform/drawing.h"
#include "support/picture_printers.h"

namespace lunetta {
namespace {

// Every face of the table is drawn in its first substitute: a package missing from the set-up or a
// misspelt family would fall back to fontconfig's choice, which differs between locales.
TEST(FontSubstitutesTest, EveryWindowsFaceIsDrawnInItsFirstSubstitute) {
  for (const FontSubstitute& substitute : FontSubstitutes()) {
    const QString face = substitute.face.toString();
    const QString family = substitute.families[0].toString();
    EXPECT_TRUE(QFontDatabase::hasFamily(family)) << family.toStdString() << " is not installed";
    // Compared as Qt names them: in the user's language, with a foundry where two provide one.
    EXPECT_EQ(QFontInfo(CreateFont(face, 28, 400, false)).family(),
              QFontInfo(QFont(family)).family())
        << face.toStdString();
  }
  EXPECT_GE(QFontInfo(CreateFont("Arial Black", 28, 400, false)).weight(), QFont::Black);
  EXPECT_EQ(QFontInfo(CreateFont("arial", 28, 700, false)).weight(), QFont::Bold);
}

struct DrawnBlock {
  QImage surface;
  QSize size;
  int cellWidth = 0;
  int cellHeight = 0;
};

// The default block, on white: the profile's defaults, May 2026 (six week rows).
DrawnBlock DefaultBlock() {
  CalendarRenderer renderer;
  const CalendarSettings defaults;
  renderer.SetFontName(defaults.fontName);
  renderer.SetTextSize(defaults.textSize);
  renderer.SetBackColor(0xFFFFFF);
  renderer.SetMonth(2026, 5);
  QImage surface = renderer.Draw();
  return {surface, QSize(renderer.blockWidth(), renderer.blockHeight()), renderer.cellWidth(),
          renderer.cellHeight()};
}

// The leftmost and rightmost column of each 8-connected piece of ink in `band`.
std::vector<std::pair<int, int>> InkPieces(const QImage& image, const QRect& band) {
  const auto ink = [&](int x, int y) {
    return band.contains(x, y) && image.pixelColor(x, y) != QColor(Qt::white);
  };
  std::vector<bool> seen(static_cast<std::size_t>(band.width() * band.height()));
  const auto index = [&](int x, int y) {
    return static_cast<std::size_t>((y - band.top()) * band.width() + (x - band.left()));
  };
  std::vector<std::pair<int, int>> pieces;
  for (int y = band.top(); y <= band.bottom(); ++y) {
    for (int x = band.left(); x <= band.right(); ++x) {
      if (!ink(x, y) || seen[index(x, y)]) {
        continue;
      }
      std::pair<int, int> extent{x, x};
      std::vector<QPoint> stack{{x, y}};
      seen[index(x, y)] = true;
      while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        extent = {std::min(extent.first, p.x()), std::max(extent.second, p.x())};
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (ink(q.x(), q.y()) && !seen[index(q.x(), q.y())]) {
              seen[index(q.x(), q.y())] = true;
              stack.push_back(q);
            }
          }
        }
      }
      pieces.push_back(extent);
    }
  }
  return pieces;
}

// Each weekday name's ink stays inside its own cell, and neighbouring names are at least two blank
// columns apart: one blank column between antialiased letters reads as one word ("SunMon").
TEST(FontSubstitutesTest, TheDefaultBlocksWeekdayNamesNeverTouch) {
  const DrawnBlock block = DefaultBlock();
  const int cell = block.cellWidth;
  // The weekday row lies between the title and the first week.
  const int top = 2 * block.cellHeight - block.cellHeight / 2;
  std::vector<std::pair<int, int>> names(7, {INT_MAX, INT_MIN});  // each name's ink columns
  for (const auto& [left, right] :
       InkPieces(block.surface, QRect(0, top, 7 * cell, block.cellHeight))) {
    ASSERT_EQ(left / cell, right / cell) << "ink from x " << left << " to " << right;
    auto& name = names[static_cast<std::size_t>(left / cell)];
    name = {std::min(name.first, left), std::max(name.second, right)};
  }
  for (std::size_t column = 1; column < names.size(); ++column) {
    EXPECT_GE(names[column].first - names[column - 1].second - 1, 2)
        << "between columns " << column - 1 << " and " << column;
  }
}

// Prints the default block's size for the test below, which runs this in the other locale.
TEST(FontSubstitutesTest, DISABLED_PrintTheDefaultBlocksSize) {
  const QSize size = DefaultBlock().size;
  std::printf("block %dx%d\n", size.width(), size.height());
}

TEST(FontSubstitutesTest, TheDefaultBlockHasTheSameSizeInEveryLocale) {
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  const QString other = environment.value("LANG").startsWith("ja") ? "C.UTF-8" : "ja_JP.UTF-8";
  environment.insert("LANG", other);
  environment.insert("LC_ALL", other);
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_also_run_disabled_tests",
               "--gtest_filter=FontSubstitutesTest.DISABLED_PrintTheDefaultBlocksSize"});
  ASSERT_TRUE(child.waitForFinished(60000));
  const QRegularExpressionMatch size = QRegularExpression("block (\\d+)x(\\d+)")
                                           .match(QString::fromUtf8(child.readAllStandardOutput()));
  ASSERT_TRUE(size.hasMatch()) << "no size from the run under " << other.toStdString();
  EXPECT_EQ(QSize(size.captured(1).toInt(), size.captured(2).toInt()), DefaultBlock().size)
      << "under " << other.toStdString();
}

}  // namespace
}  // namespace lunetta
