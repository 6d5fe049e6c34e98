#include "render/font_substitutes.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>

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

// Each weekday name's ink stays inside its own cell, and neighbouring names are at least two blank
// columns apart: one blank column between antialiased letters reads as one word ("SunMon").
TEST(FontSubstitutesTest, TheDefaultBlocksWeekdayNamesNeverTouch) {
  // The default block, on white: the profile's defaults, May 2026 (six week rows).
  CalendarRenderer renderer;
  const CalendarSettings defaults;
  renderer.SetFontName(defaults.fontName);
  renderer.SetTextSize(defaults.textSize);
  renderer.SetBackColor(Qt::white);
  renderer.SetMonth(2026, 5);
  const QImage surface = renderer.Draw();
  const BlockGeometry block = renderer.geometry();
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

}  // namespace
}  // namespace lunetta
