#include "ui/control_table.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <iterator>

#include "ui/tool_tip_relay.h"

namespace lunetta {
namespace {

enum class Id {
  Exit = 1,
  Open = 1008,
  Year = 1018,
  Preview = 1015,
  Size = 1019,
  Position = 1020,
  Custom = 1100
};
using Kind = ControlKind;

constexpr auto kCentredInABox = ControlFlag::AlignCenter | ControlFlag::Border;

// A main window in small: every kind the windows use, a group box created after the button it
// frames, a frame and a label over the place a click must reach the window.
constexpr ControlRow kRows[] = {
    {Id::Exit, Kind::MultiLineButton, "終了", {100, 100, 40, 24}, "exit tip", ControlFlag::Default},
    {Id::Open, Kind::MultiLineButton, "画像ファイルを開く", {100, 10, 40, 24}},
    {Id::Year, Kind::Selector, {}, {100, 40, 40, 56}, "year tip"},
    {Id::Preview, Kind::Frame, {}, {4, 4, 80, 80}},
    {kNoId, Kind::StaticText, "(0,0)", {4, 4, 14, 8}, {}, ControlFlag::MouseTransparent},
    {Id::Size, Kind::ReadOnlyEdit, {}, {4, 90, 40, 12}, {}, ControlFlag::AlignRight},
    {Id::Position, Kind::ReadOnlyEdit, {}, {50, 90, 40, 14}, {}, kCentredInABox},
    {Id::Custom, Kind::Custom, "made", {50, 110, 10, 10}},
    {kNoId, Kind::GroupBox, "①", {96, 0, 50, 40}},
};

class ClickCounter : public QDialog {
 public:
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

TEST(ControlTable, BuildsEachRowAsItsTableSays) {
  ClickCounter dialog;
  const DialogUnits du(8, 16);  // two pixels per unit both ways
  dialog.resize(400, 300);
  ToolTipRelay tips(&dialog);
  const ControlSet made =
      BuildControls(dialog, du, kRows, &tips, [](const ControlRow& row, QWidget* parent) {
        return new QLabel(QString::fromUtf8(row.text), parent);
      });
  int opened = 0;
  QObject::connect(made.get<QPushButton>(Id::Open), &QPushButton::clicked, &dialog,
                   [&opened] { ++opened; });
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  EXPECT_EQ(made.find(Id::Exit), FindControl(&dialog, Id::Exit));
  EXPECT_EQ(made.get<QLabel>(Id::Custom)->geometry(), QRect(100, 220, 20, 20));
  EXPECT_EQ(made.find(Id::Open)->geometry(), QRect(200, 20, 80, 48));
  EXPECT_EQ(made.find(Id::Exit)->toolTip().toStdString(), "exit tip");

  // The selector is one line high; the row's height is its list's.
  auto* year = made.get<QComboBox>(Id::Year);
  EXPECT_LT(year->height(), du.y(56) / 2);
  EXPECT_TRUE(year->isEditable());

  auto* size = made.get<QLineEdit>(Id::Size);
  auto* position = made.get<QLineEdit>(Id::Position);
  EXPECT_TRUE(size->isReadOnly());
  EXPECT_EQ(size->alignment(), Qt::AlignRight);
  EXPECT_EQ(position->alignment(), Qt::AlignCenter);
  EXPECT_FALSE(size->hasFrame());
  EXPECT_TRUE(position->hasFrame());

  // Tab runs through the tab stops in table order and skips what only a click focuses.
  made.find(Id::Exit)->setFocus();
  QStringList order;
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << QString::number(ControlId(QApplication::focusWidget()));
  }
  EXPECT_EQ(order.join(' ').toStdString(), "1008 1018 1");
  // Enter in another control presses the default button.
  int exits = 0;
  QObject::connect(made.get<QPushButton>(Id::Exit), &QPushButton::clicked, &dialog,
                   [&exits] { ++exits; });
  QTest::keyClick(size, Qt::Key_Return);
  EXPECT_EQ(exits, 1);

  // A click on the button inside the group box reaches the button; one on the frame or the label
  // over it reaches the window beneath.
  QTest::mouseClick(made.find(Id::Open), Qt::LeftButton);
  EXPECT_EQ(opened, 1);
  QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(12, 12));
  QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  EXPECT_EQ(dialog.presses, 2);
}

}  // namespace
}  // namespace lunetta
