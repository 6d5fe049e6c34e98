#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <ostream>

#include "platform/dialog_units.h"
#include "platform/screen_placement.h"

// A failed comparison prints the point, not its bytes.
void PrintTo(const QPoint& point, std::ostream* out) {
  *out << '(' << point.x() << ", " << point.y() << ')';
}

namespace lunetta {
namespace {

constexpr int kWeb = AboutDialog::kWebLinkId;
constexpr int kMail = AboutDialog::kMailLinkId;

TEST(AboutDialog, LinksTurnOrangeUnderThePointerAndOpenOnAReleaseOverThePressedLink) {
  InstallFontSubstitutions();
  AboutDialog dialog;
  QStringList opened;
  dialog.setUrlOpener([&](const QUrl& url) {
    opened << url.toString();
    return true;
  });
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // 'W' the web link, 'M' the mail link, '-' a place off both.
  const auto at = [&](char place) {
    return place == '-' ? QPoint(5, dialog.height() - 5)
                        : FindControl(&dialog, place == 'W' ? kWeb : kMail)->geometry().center();
  };
  // The links' text colours, web first: navy #000080, orange #ff8000.
  const auto colors = [&] {
    return FindControl(&dialog, kWeb)->palette().color(QPalette::WindowText).name() + ' ' +
           FindControl(&dialog, kMail)->palette().color(QPalette::WindowText).name();
  };
  // The logo, at the top left, is drawn in colour.
  EXPECT_FALSE(dialog.grab(QRect(0, 0, 100, 40)).toImage().isGrayscale());

  const char* hovered[] = {"#ff8000 #000080", "#000080 #ff8000", "#000080 #000080"};
  for (int i = 0; i < 3; ++i) {
    QTest::mouseMove(&dialog, at("WM-"[i]));
    EXPECT_EQ(colors(), hovered[i]);
    EXPECT_EQ(dialog.cursor().shape(), i < 2 ? Qt::BitmapCursor : Qt::ArrowCursor);
  }
  QTest::mouseMove(&dialog, at('W'));
  EXPECT_EQ(dialog.cursor().hotSpot(), QPoint(6, 3));
  QEvent leave(QEvent::Leave);  // leaving the dialog straight from a link
  QApplication::sendEvent(&dialog, &leave);
  EXPECT_EQ(colors(), "#000080 #000080");

  // Where the pointer is pressed, passes and is released, and what that opens.
  const char* paths[] = {"WWW", "MMM", "W-W", "WWM", "WW-", "--W"};
  const char* site = "https://lunetta.example.com/";
  const char* opens[] = {site, "mailto:support@lunetta.example.com", site, "", "", ""};
  for (int i = 0; i < 6; ++i) {
    opened.clear();
    QTest::mouseMove(&dialog, at(paths[i][0]));
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, at(paths[i][0]));
    QTest::mouseMove(&dialog, at(paths[i][1]));
    QTest::mouseMove(&dialog, at(paths[i][2]));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, at(paths[i][2]));
    EXPECT_EQ(opened.join(' '), opens[i]) << paths[i];
    // An opened link turns navy at once, although the pointer is still over it.
    EXPECT_TRUE(*opens[i] == '\0' || colors() == "#000080 #000080");
  }
}

TEST(AboutDialog, ShortenedAndCentredOnTheScreenItIsOn) {
  // The second monitor lies to the right of the first, so its origin is not 0.
  const QList<QScreen*> screens = QGuiApplication::screens();
  ASSERT_EQ(screens.size(), 2) << "the test platform gives two screens side by side";
  for (QScreen* screen : screens) {
    AboutDialog dialog;
    dialog.move(screen->geometry().topLeft() + QPoint(10, 10));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const DialogUnits du(dialog.font());
    EXPECT_EQ(dialog.height(), du.y(240) - 210);
    const QRect frame = dialog.frameGeometry();
    EXPECT_EQ(frame.topLeft(), CentredOn(screen->geometry(), frame.size()))
        << screen->name().toStdString();
  }
}

}  // namespace
}  // namespace lunetta
