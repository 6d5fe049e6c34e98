#include "app/title_dialog.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

namespace lunetta {
namespace {

TEST(TitleDialog, ModalRunEndsOnTheTimer) {
  TitleDialog title(std::chrono::milliseconds(80));
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(title.exec(), QDialog::Accepted);
  EXPECT_GE(clock.elapsed(), 75);
}

TEST(TitleDialog, ShowsThePictureEnterAndEscapeCloseAtOnceAClickDoesNothing) {
  for (const auto& [key, result] :
       {std::pair(Qt::Key_Return, QDialog::Accepted), std::pair(Qt::Key_Enter, QDialog::Accepted),
        std::pair(Qt::Key_Escape, QDialog::Rejected)}) {
    TitleDialog title(std::chrono::milliseconds(60000));
    title.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
    // A picture that failed to render would leave the window one plain colour.
    EXPECT_FALSE(title.grab().toImage().isGrayscale());
    EXPECT_EQ(title.size(), QSize(500, 330));
    QTest::mouseClick(&title, Qt::LeftButton, Qt::NoModifier, QPoint(250, 165));
    QTest::keyClick(&title, Qt::Key_A);
    EXPECT_TRUE(title.isVisible());
    QTest::keyClick(&title, key);
    EXPECT_FALSE(title.isVisible() || title.timerActive());
    EXPECT_EQ(title.result(), result);
  }
}

}  // namespace
}  // namespace lunetta
