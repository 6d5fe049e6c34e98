#include "render/font_substitutes.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

#include "calendar/calendar_settings.h"
#include "render/calendar_renderer.h"
#include "render/drawing.h"
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

// The default block, on white: the profile's defaults, May 2026 (six week rows).
std::pair<QImage, BlockGeometry> DefaultBlock() {
  CalendarRenderer renderer;
  const CalendarSettings defaults;
  renderer.SetFontName(defaults.fontName);
  renderer.SetTextSize(defaults.textSize);
  renderer.SetBackColor(Qt::white);
  renderer.SetMonth(2026, 5);
  const QImage surface = renderer.Draw();
  return {surface, renderer.geometry()};
}

// Each weekday name's ink stays inside its own cell, and neighbouring names are at least two blank
// columns apart: one blank column between antialiased letters reads as one word ("SunMon").
TEST(FontSubstitutesTest, TheDefaultBlocksWeekdayNamesNeverTouch) {
  const auto [surface, block] = DefaultBlock();
  // The weekday row lies between the title and the first week.
  const int top = 2 * block.cellHeight - block.cellHeight / 2;
  const auto inked = [&](int x) {
    for (int y = top; y < top + block.cellHeight; ++y) {
      if (surface.pixelColor(x, y) != QColor(Qt::white)) {
        return true;
      }
    }
    return false;
  };
  // Around each border between cells, the last ink before it and the first after it.
  for (int column = 1; column < 7; ++column) {
    int left = column * block.cellWidth - 1, right = left + 1;
    while (!inked(left)) {
      --left;
    }
    while (!inked(right)) {
      ++right;
    }
    EXPECT_GE(right - left - 1, 2) << "between columns " << column - 1 << " and " << column;
  }
}

// Prints the default block's size for the test below, which runs this in the other locale.
TEST(FontSubstitutesTest, DISABLED_PrintTheDefaultBlocksSize) {
  const BlockGeometry block = DefaultBlock().second;
  std::printf("block %dx%d\n", block.blockWidth, block.blockHeight);
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
  const BlockGeometry block = DefaultBlock().second;
  EXPECT_EQ(QSize(size.captured(1).toInt(), size.captured(2).toInt()),
            QSize(block.blockWidth, block.blockHeight))
      << "under " << other.toStdString();
}

}  // namespace
}  // namespace lunetta
