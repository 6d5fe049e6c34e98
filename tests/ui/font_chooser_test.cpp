#include "ui/font_chooser.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QTest>

namespace lunetta {
namespace {

TEST(FontChooser, OpensAtTheGivenFontAndColour) {
  const FontSelection initial{QStringLiteral("DejaVu Sans"), 20, 700, true, 0x808000};
  FontChooser chooser(initial);
  EXPECT_EQ(chooser.colorBox()->count(), 16);
  EXPECT_EQ(chooser.colorBox()->currentIndex(), 6);  // teal
  EXPECT_EQ(chooser.selection(), initial);
}

TEST(FontChooser, ListsTheSixteenStandardColoursInOrder) {
  FontChooser chooser(FontSelection{QStringLiteral("DejaVu Sans"), 12, 400, false, 0});
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(chooser.colorBox()->itemData(i).value<ColorRef>(), kStandardColors[i]) << i;
  }
  EXPECT_EQ(chooser.colorBox()->itemText(0), QStringLiteral("黒"));
  EXPECT_EQ(chooser.colorBox()->itemText(15), QStringLiteral("白"));
  chooser.colorBox()->setCurrentIndex(9);
  EXPECT_EQ(chooser.selection().color, 0x0000FFu);  // red
}

TEST(FontChooser, KeepsAColourOutsideTheList) {
  FontChooser chooser(FontSelection{QStringLiteral("DejaVu Sans"), 12, 400, false, 0x123456});
  EXPECT_EQ(chooser.colorBox()->count(), 17);
  EXPECT_EQ(chooser.selection().color, 0x123456u);
}

TEST(FontChooser, KeepsAMissingFaceUntilAnotherIsPicked) {
  const QString missing = QStringLiteral("No Such Face Lunetta");
  FontChooser chooser(FontSelection{missing, 12, 400, false, 0});
  EXPECT_EQ(chooser.selection().face, missing);

  QFont other(QStringLiteral("DejaVu Serif"));
  other.setPointSize(14);
  ASSERT_TRUE(QFontDatabase::families().contains(other.family()));
  chooser.fontDialog()->setCurrentFont(other);
  EXPECT_EQ(chooser.selection().face, QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(chooser.selection().pointSize, 14);
}

TEST(FontChooser, EscapeInTheFontListCancelsTheWholeChoice) {
  FontChooser chooser(FontSelection{QStringLiteral("DejaVu Sans"), 12, 400, false, 0});
  chooser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
  QTest::keyClick(chooser.fontDialog(), Qt::Key_Escape);
  EXPECT_EQ(chooser.result(), QDialog::Rejected);
  EXPECT_FALSE(chooser.isVisible());
}

TEST(FontChooser, EnterInTheFontListConfirms) {
  FontChooser chooser(FontSelection{QStringLiteral("DejaVu Sans"), 12, 400, false, 0});
  chooser.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
  QTest::keyClick(chooser.fontDialog(), Qt::Key_Return);
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace lunetta
