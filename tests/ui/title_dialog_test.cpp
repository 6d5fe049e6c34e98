#include "ui/title_dialog.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QScreen>
#include <QTest>

#include "support/picture_printers.h"
#include "ui/screen_placement.h"

namespace lunetta {
namespace {

TEST(TitleDialog, ModalRunEndsOnTheTimer) {
  TitleDialog title(std::chrono::milliseconds(80));
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(title.exec(), QDialog::Accepted);
  EXPECT_GE(clock.elapsed(), 75);
}

TEST(TitleDialog, ClosesOnlyOnAKey) {
  for (const auto& [key, result] :
       {std::pair(Qt::Key_Return, QDialog::Accepted), std::pair(Qt::Key_Enter, QDialog::Accepted),
        std::pair(Qt::Key_Escape, QDialog::Rejected)}) {
    TitleDialog title(std::chrono::milliseconds(60000));
    title.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
    // A picture that failed to render would leave the window one plain colour.
    EXPECT_FALSE(title.grab().toImage().isGrayscale());
    QTest::mouseClick(&title, Qt::LeftButton, Qt::NoModifier, QPoint(250, 165));
    QTest::keyClick(&title, Qt::Key_A);
    EXPECT_TRUE(title.isVisible());
    QTest::keyClick(&title, key);
    EXPECT_FALSE(title.isVisible());
    EXPECT_FALSE(title.timerActive());
    EXPECT_EQ(title.result(), result);
  }
}

TEST(ScreenPlacement, CentresOnTheScreenWhereverItLies) {
  // {screen x, y, width, height, frame width, height, expected x, y}: halves truncate toward zero,
  // and a window larger than its screen keeps the negative offset.
  const int cases[][8] = {{0, 0, 1920, 1080, 500, 330, 710, 375},
                          {1920, 0, 1280, 1024, 500, 330, 2310, 347},
                          {-1280, -200, 1280, 1024, 501, 331, -891, 146},
                          {0, 0, 640, 480, 801, 600, -80, -60}};
  for (const auto& c : cases) {
    EXPECT_EQ(CentredOn(QRect(c[0], c[1], c[2], c[3]), QSize(c[4], c[5])), QPoint(c[6], c[7]))
        << c[0] << ',' << c[1];
  }
  // The start-up picture on the second monitor, to the right of the first, is centred on that one.
  const QList<QScreen*> screens = QGuiApplication::screens();
  ASSERT_EQ(screens.size(), 2) << "the test platform gives two screens side by side";
  TitleDialog title(std::chrono::milliseconds(60000));
  title.move(screens.at(1)->geometry().topLeft() + QPoint(10, 10));
  title.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
  EXPECT_EQ(title.frameGeometry().topLeft(), QPoint(2310, 347));
}

}  // namespace
}  // namespace lunetta
