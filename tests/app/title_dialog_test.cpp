#include "app/title_dialog.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

namespace lunetta {
namespace {

using std::chrono::milliseconds;

TEST(TitleDialog, ModalRunEndsOnTheTimer) {
  TitleDialog title(milliseconds(80));
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(title.exec(), QDialog::Accepted);
  EXPECT_GE(clock.elapsed(), 75);
  EXPECT_FALSE(title.timerActive());
}

struct KeyCase {
  const char* name;
  Qt::Key key;
  QDialog::DialogCode result;
};

class TitleDialogKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(TitleDialogKeyTest, ClosesAtOnce) {
  TitleDialog title(milliseconds(60000));
  title.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
  QTest::keyClick(&title, GetParam().key);
  EXPECT_FALSE(title.isVisible());
  EXPECT_EQ(title.result(), GetParam().result);
  EXPECT_FALSE(title.timerActive());
}

INSTANTIATE_TEST_SUITE_P(Keys, TitleDialogKeyTest,
                         testing::Values(KeyCase{"return", Qt::Key_Return, QDialog::Accepted},
                                         KeyCase{"enter", Qt::Key_Enter, QDialog::Accepted},
                                         KeyCase{"escape", Qt::Key_Escape, QDialog::Rejected}),
                         [](const testing::TestParamInfo<KeyCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(TitleDialog, AClickDoesNothing) {
  TitleDialog title(milliseconds(60000));
  title.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
  QTest::mouseClick(&title, Qt::LeftButton, Qt::NoModifier, QPoint(250, 165));
  QTest::keyClick(&title, Qt::Key_A);
  EXPECT_TRUE(title.isVisible());
  EXPECT_TRUE(title.timerActive());
}

}  // namespace
}  // namespace lunetta
