#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <utility>
#include <vector>

#include "platform/dialog_units.h"
#include "platform/drawing.h"

namespace lunetta {
namespace {

using namespace Qt::Literals::StringLiterals;
using Errors = std::vector<std::pair<QString, QString>>;  // text, caption

const QString kPositionText = u"カレンダー位置が不適切です。再入力して下さい。"_s;
const QString kPositionCaption = u"数値エラー"_s;
const QString kUnsignedText = u"正の整数を入力してください。"_s;
// Face, size, text colour, back colour, transparency, x, y, pictSize, weight, italic, year, month.
const CalendarSettings kGiven{"DejaVu Sans", 20, 0x800000, 0x00FFFF, 77,   120,
                              340,           1,  700,      1,        2030, 4};

TEST(SettingsRules, SampleBoxAndFontSize) {
  // The sample box is centred, and an offset that comes out negative becomes 2. Here it is
  // 6 × 10 + 12 × 5 = 120 by 20 + 4 = 24: {frame width, height, box left, top}.
  const int cases[][4] = {{200, 60, 40, 18}, {122, 26, 1, 1}, {120, 24, 0, 0},
                          {119, 23, 0, 0},   {118, 22, 2, 2}, {200, 10, 40, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(SampleTextBox({20, 5, 10}, c[0], c[1]), (Rect{c[2], c[3], c[2] + 120, c[3] + 24}));
  }
  // The font chooser opens at a pixel height rounded away from zero; its points come back whole.
  EXPECT_EQ(FontDialogHeight(28, 96), -37);
  EXPECT_EQ(FontDialogHeight(3, 108), -5);  // −4.5
  EXPECT_EQ(WholePoints(10.5), 10);
  EXPECT_EQ(WholePoints(9.96), 10);  // 99.6 tenths round to 100
}

TEST(SettingsRules, CustomColoursWhiteOnceThenKeptForTheRun) {
  QColorDialog::setCustomColor(0, Qt::green);
  InitCustomColors();
  QColorDialog::setCustomColor(3, Qt::red);
  InitCustomColors();
  EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::white));
  EXPECT_EQ(QColorDialog::customColor(3), QColor(Qt::red));
}

class FakePrompter : public SettingsPrompter {
 public:
  void ShowError(QWidget*, const QString& text, const QString& caption) override {
    errors.emplace_back(text, caption);
  }
  std::optional<FontSelection> ChooseFont(QWidget*, const FontSelection& initial) override {
    fontRequests.push_back(initial);
    return fontAnswer;
  }
  std::optional<ColorRef> ChooseBackColor(QWidget*) override { return colorAnswer; }

  Errors errors;
  std::vector<FontSelection> fontRequests;
  std::optional<FontSelection> fontAnswer;
  std::optional<ColorRef> colorAnswer;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto prompter = std::make_unique<FakePrompter>();
    prompter_ = prompter.get();
    dialog_.setPrompter(std::move(prompter));
  }
  void Show(const CalendarSettings& settings) {
    prompter_->errors.clear();
    dialog_.setSettings(settings);
    dialog_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
  }
  template <typename T = QWidget>
  T* Control(int id) {
    return FindControl<T>(&dialog_, id);
  }
  void Click(int id) { QTest::mouseClick(Control(id), Qt::LeftButton); }

  SettingsDialog dialog_;
  FakePrompter* prompter_ = nullptr;
};

TEST_F(SettingsDialogTest, ShowsTheGivenSettingsAndRefusesANegativePosition) {
  CalendarSettings settings = kGiven;
  settings.startX = -1;
  const std::pair<int, int> radioFor[] = {{7, 1016}, {0, 1014}, {1, 1015}, {2, 1016}};
  for (const auto& [pictSize, radioId] : radioFor) {
    settings.pictSize = pictSize;
    Show(settings);
    EXPECT_TRUE(Control<QRadioButton>(radioId)->isChecked()) << pictSize;
    EXPECT_EQ(dialog_.settings().pictSize, pictSize);
  }
  EXPECT_EQ(Control<QSlider>(1009)->value(), 77);
  EXPECT_EQ(Control<QLineEdit>(1001)->text() + u' ' + Control<QLineEdit>(1002)->text(),
            u"4294967295 340"_s);
  Click(1);
  EXPECT_EQ(prompter_->errors, (Errors{{kPositionText, kPositionCaption}}));
}

TEST_F(SettingsDialogTest, OkChecksNineCharactersThenReadsTheWholeEdit) {
  const struct {
    int id;
    const char16_t* text;
    int live;    // the position while the text stands: atoi of 9 characters
    int stored;  // after OK
    const QString* refusal;
  } cases[] = {{1001, u"1500", 1500, 1500, nullptr},
               {1002, u"1501", 1501, 1501, &kPositionText},
               {1001, u"000000001500", 1, 1500, nullptr},
               {1001, u"0000000012000", 1, 1, &kPositionText},
               {1002, u"4294967296", 429496729, 429496729, &kPositionText},
               {1002, u"         5", 0, 5, nullptr},
               {1001, u"", 0, 0, &kUnsignedText},
               {1001, u"+5", 5, 5, &kUnsignedText},
               {1002, u"１２", 0, 0, &kUnsignedText}};
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(text.toStdString());
    Show(kGiven);
    auto* edit = Control<QLineEdit>(c.id);
    edit->setText(text);  // unfiltered, as a paste is
    const int& position = c.id == 1001 ? dialog_.settings().startX : dialog_.settings().startY;
    EXPECT_EQ(position, c.live);
    Click(1);
    EXPECT_EQ(position, c.stored);
    EXPECT_EQ(dialog_.isVisible(), c.refusal != nullptr);
    const QString caption = c.refusal == &kPositionText ? kPositionCaption : u"Lunetta"_s;
    EXPECT_EQ(prompter_->errors, (c.refusal ? Errors{{*c.refusal, caption}} : Errors{}));
    EXPECT_TRUE(c.refusal != &kUnsignedText ||
                (QApplication::focusWidget() == edit && edit->selectedText() == text));
  }
}

TEST_F(SettingsDialogTest, OkBringsBackEveryChoiceAfterTheSampleShowsIt) {
  Show(kGiven);
  Click(1004);
  Click(1008);
  EXPECT_EQ(dialog_.settings(), kGiven) << "cancelled choices change nothing";
  prompter_->fontAnswer = FontSelection{u"DejaVu Serif"_s, 10.5, 300, false, 0x0000FF};
  prompter_->colorAnswer = 0x00FF00;
  Click(1004);
  Click(1008);
  Click(1014);
  Control<QSlider>(1009)->setValue(200);
  auto* edit = Control<QLineEdit>(1002);
  edit->clear();
  QTest::keyClicks(edit, u"1a2-3 "_s);  // typing lets only digits through
  // The chooser opens on the current font and text colour, not on black.
  EXPECT_EQ(prompter_->fontRequests.at(1),
            (FontSelection{u"DejaVu Sans"_s, 20, 700, true, 0x800000}));

  QImage sample = Control(1011)->grab().toImage();
  const Rect b = SampleTextBox(MeasureFont(CreateFont(u"DejaVu Serif"_s, 10, 300, false)),
                               sample.width(), sample.height());
  const QRect box(b.left, b.top, b.right - b.left, b.bottom - b.top);
  QImage back(sample.size(), sample.format());
  back.fill(Qt::green);
  EXPECT_NE(sample.copy(box), back.copy(box)) << "the text is drawn in its box";
  QPainter(&sample).fillRect(box, Qt::green);
  const QRect inside = sample.rect() - QMargins(1, 1, 1, 1);  // within the black frame
  EXPECT_EQ(sample.copy(inside), back.copy(inside)) << "on the back colour, and nothing else";

  QTest::keyClick(edit, Qt::Key_Return);  // OK is the default button
  CalendarSettings result{.year = 2001, .month = 2};
  dialog_.applyTo(result);
  EXPECT_EQ(result, (CalendarSettings{"DejaVu Serif", 10, 0x0000FF, 0x00FF00, 200, 120, 123, 0, 300,
                                      0, 2001, 2}));
}

TEST(SettingsDialogPrompts, ErrorBoxShowsCaptionTextAndTheErrorIcon) {
  QWidget owner;
  QString shown;
  // Fires inside the box's own loop, so the box is up; closing it ends the loop.
  QTimer::singleShot(0, &owner, [&shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    shown = box->windowTitle() + u'/' + box->text() + u'/' + QString::number(box->icon());
    box->close();
  });
  MakeQtSettingsPrompter()->ShowError(&owner, u"text"_s, u"caption"_s);
  EXPECT_EQ(shown, u"caption/text/"_s + QString::number(QMessageBox::Critical));
}

TEST(FontChooser, KeepsWhatItCannotShowAndEndsOnEnterOrEscapeInTheFontList) {
  const FontSelection odd{u"No Such Face Lunetta"_s, 12, 400, false, 0x123456};
  const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Return, QDialog::Accepted},
                                          {Qt::Key_Escape, QDialog::Rejected}};
  for (const auto& [key, result] : keys) {
    FontChooser chooser(odd);
    chooser.setResult(-1);
    QTest::keyClick(chooser.fontDialog(), key);
    EXPECT_EQ(chooser.result(), result);
    EXPECT_EQ(chooser.selection(), odd);
  }
  FontChooser chooser(odd);
  chooser.fontDialog()->setCurrentFont(QFont(u"DejaVu Serif"_s, 14));
  EXPECT_EQ(chooser.selection().face, u"DejaVu Serif"_s);
}

}  // namespace
}  // namespace lunetta
