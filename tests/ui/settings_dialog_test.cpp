#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <climits>
#include <utility>
#include <vector>

#include "render/drawing.h"
#include "support/picture_printers.h"
#include "ui/calendar_files_box.h"
#include "ui/dialog_units.h"

namespace lunetta {
namespace {

using namespace Qt::Literals::StringLiterals;
using Errors = std::vector<std::pair<QString, QString>>;  // text, caption
using Id = SettingsControl;

QString PositionText(int maxX, int maxY) {
  return u"カレンダー位置が不適切です。Ｘ座標は 0～%1、Ｙ座標は 0～%2 の範囲で再入力して下さい。"_s
      .arg(maxX)
      .arg(maxY);
}
const QString kPositionText = PositionText(1500, 1500);
const QString kPositionCaption = u"数値エラー"_s;
const QString kUnsignedText = u"正の整数を入力してください。"_s;
// Face, size, text colour, back colour, transparency, x, y, pictSize, weight, italic, year, month.
const CalendarSettings kGiven{"DejaVu Sans", 20, 0x800000, 0x00FFFF, 77,   120,
                              340,           1,  700,      true,     2030, 4};

TEST(SettingsRules, SampleBoxIsCentred) {
  // The sample box is centred, and an offset that comes out negative becomes 2. Here it is
  // 6 × 10 + 12 × 5 = 120 by 20 + 4 = 24: {frame width, height, box left, top}.
  const int cases[][4] = {{200, 60, 40, 18}, {122, 26, 1, 1}, {120, 24, 0, 0},
                          {119, 23, 0, 0},   {118, 22, 2, 2}, {200, 10, 40, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(SampleTextBox({20, 5, 10}, c[0], c[1]), (Rect{c[2], c[3], c[2] + 120, c[3] + 24}));
  }
  // The font chooser opens at a pixel height rounded away from zero, saturated for an absurd
  // profile value: {textSize, dpi, height}.
  const int heights[][3] = {{28, 96, -37},
                            {3, 108, -5},  // −4.5
                            {1610612736, 96, -INT_MAX},
                            {INT_MIN, 96, INT_MAX}};
  for (const auto& h : heights) {
    EXPECT_EQ(FontDialogHeight(h[0], h[1]), h[2]) << h[0];
  }
  // Its points come back whole.
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
  std::optional<QColor> ChooseBackColor(QWidget*) override { return colorAnswer; }

  Errors errors;
  std::vector<FontSelection> fontRequests;
  std::optional<FontSelection> fontAnswer;
  std::optional<QColor> colorAnswer;
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
  T* Control(Id id) {
    return FindControl<T>(&dialog_, id);
  }
  void Click(Id id) { Click(Control(id)); }
  void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // A box or a radio is clicked on its mark, not in the middle of its text.
  void Tick(Id id) {
    QTest::mouseClick(Control(id), Qt::LeftButton, {}, {4, Control(id)->height() / 2});
  }

  SettingsDialog dialog_;
  FakePrompter* prompter_ = nullptr;
};

TEST_F(SettingsDialogTest, ShowsTheGivenSettings) {
  CalendarSettings settings = kGiven;
  settings.startX = -1;
  settings.weekStart = WeekStart::Monday;
  settings.weekNumbers = true;
  const std::pair<int, Id> radioFor[] = {
      {7, Id::Radio1280}, {0, Id::Radio800}, {1, Id::Radio1024}, {2, Id::Radio1280}};
  for (const auto& [pictSize, radio] : radioFor) {
    settings.pictSize = pictSize;
    Show(settings);
    EXPECT_TRUE(Control<QRadioButton>(radio)->isChecked()) << pictSize;
    EXPECT_EQ(dialog_.settings().pictSize, pictSize);
  }
  EXPECT_EQ(Control<QSlider>(Id::Slider)->value(), 77);
  EXPECT_TRUE(Control<QRadioButton>(Id::WeekMonday)->isChecked());
  EXPECT_EQ(std::tuple(Control<QCheckBox>(Id::JapaneseLabels)->isChecked(),
                       Control<QCheckBox>(Id::WeekNumbers)->isChecked(),
                       Control<QCheckBox>(Id::OpaqueText)->isChecked()),
            std::tuple(false, true, false));
  EXPECT_EQ(Control<QLineEdit>(Id::EditX)->text() + u' ' + Control<QLineEdit>(Id::EditY)->text(),
            u"4294967295 340"_s);
  // Tab runs through the controls as they are laid out, the left column first: each radio group
  // once, at its checked button (1280, stretch, Monday), the custom size's edits only while they
  // are enabled. The arrow keys move the check within a group.
  Control(Id::Ok)->setFocus();
  QStringList order;
  for (int i = 0; i < 22; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << QString::number(ControlId(QApplication::focusWidget()));
  }
  // The proportional layout's share and place only while it is on; then the calendar files' column.
  EXPECT_EQ(order.join(u' ').toStdString(),
            "1016 1021 1001 1002 1029 1041 1004 1008 1009 1025 1026 1027 1028 1042 1043 1044 0 0 0 "
            "0 0 1");
  for (const auto& [from, to] :
       {std::pair(Id::Radio1280, Id::Radio1024), std::pair(Id::FitStretch, Id::FitFill)}) {
    Control(from)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), from == Id::Radio1280 ? Qt::Key_Up : Qt::Key_Down);
    EXPECT_EQ(ControlId(QApplication::focusWidget()), static_cast<int>(to));
    EXPECT_TRUE(Control<QRadioButton>(to)->isChecked()) << static_cast<int>(to);
  }
  EXPECT_EQ(dialog_.settings().pictSize, 1);
  EXPECT_EQ(dialog_.settings().photoFit, PhotoFit::Fill);
  Click(Id::Ok);
  EXPECT_EQ(prompter_->errors, (Errors{{kPositionText, kPositionCaption}}));
}

// At most 620 pixels with a title bar at 96 dpi: 「OK」 stays on a 1366 × 768 screen with a panel.
TEST_F(SettingsDialogTest, FitsALaptopScreenWithAPanel) {
  Show(kGiven);
  ASSERT_EQ(dialog_.logicalDpiY(), 96);
  EXPECT_LE(dialog_.frameGeometry().height() + 30, 620);
}

TEST_F(SettingsDialogTest, OkChecksNineCharactersThenReadsTheWholeEdit) {
  const struct {
    Id id;
    const char16_t* text;
    int live;    // the position while the text stands: atoi of 9 characters
    int stored;  // after OK
    const QString* refusal;
    bool selected;  // the refusal puts the focus on the edit, its text selected
  } cases[] = {{Id::EditX, u"1500", 1500, 1500, nullptr, false},
               {Id::EditY, u"1501", 1501, 1501, &kPositionText, false},
               {Id::EditX, u"000000001500", 1, 1500, nullptr, false},
               {Id::EditX, u"0000000012000", 1, 1, &kPositionText, true},
               {Id::EditY, u"0000000012000", 1, 1, &kPositionText, true},
               {Id::EditY, u"4294967296", 429496729, 429496729, &kPositionText, false},
               {Id::EditY, u"         5", 0, 5, nullptr, false},
               {Id::EditX, u"", 0, 0, &kUnsignedText, true},
               {Id::EditX, u"+5", 5, 5, &kUnsignedText, true},
               {Id::EditY, u"１２", 0, 0, &kUnsignedText, true}};
  for (const auto& c : cases) {
    const QString text = QString::fromUtf16(c.text);
    SCOPED_TRACE(text.toStdString() + (c.id == Id::EditX ? " in X" : " in Y"));
    Show(kGiven);
    auto* edit = Control<QLineEdit>(c.id);
    edit->setText(text);  // unfiltered, as a paste is
    const int& position = c.id == Id::EditX ? dialog_.settings().startX : dialog_.settings().startY;
    EXPECT_EQ(position, c.live);
    Click(Id::Ok);
    EXPECT_EQ(position, c.stored);
    EXPECT_EQ(dialog_.isVisible(), c.refusal != nullptr);
    const QString caption = c.refusal == &kPositionText ? kPositionCaption : u"Lunetta"_s;
    EXPECT_EQ(prompter_->errors, (c.refusal ? Errors{{*c.refusal, caption}} : Errors{}));
    if (c.refusal && dialog_.isVisible()) {
      EXPECT_EQ(ControlId(QApplication::focusWidget()),
                static_cast<int>(c.selected ? c.id : Id::Ok));
      EXPECT_EQ(edit->selectedText(), c.selected ? text : QString());
    }
  }
}

// The position may reach the far edge of a screen-sized or custom picture; 1500 stays the limit
// where the picture is smaller. A custom side outside 320..7680 is refused first.
TEST_F(SettingsDialogTest, ThePositionRangeFollowsThePictureSize) {
  const QString kSizeText = u"画像サイズは幅、高さとも 320～7680 の範囲で入力して下さい。"_s;
  const QString kScreenText = PositionText(2560, 1500), kCustomText = PositionText(3840, 2160);
  const struct {
    Id size, fit;
    int width, height, x, y;
    const QString* refusal;
    Id focus;  // where a refusal puts the focus
  } cases[] = {
      {Id::RadioScreen, Id::FitFill, 1920, 1080, 2560, 1440, nullptr, Id::Ok},
      {Id::RadioScreen, Id::FitFill, 1920, 1080, 2561, 0, &kScreenText, Id::Ok},
      {Id::RadioCustom, Id::FitWhole, 3840, 2160, 3000, 2160, nullptr, Id::Ok},
      {Id::RadioCustom, Id::FitWhole, 3840, 2160, 0, 2161, &kCustomText, Id::Ok},
      {Id::RadioCustom, Id::FitStretch, 640, 480, 1501, 0, &kPositionText, Id::Ok},
      {Id::RadioCustom, Id::FitFill, 319, 480, 0, 0, &kSizeText, Id::EditWidth},
  };
  dialog_.setScreenSize(PictureSize{2560, 1440});
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Show(kGiven);
    EXPECT_EQ(Control<QRadioButton>(Id::RadioScreen)->text(), u"画面サイズ (2560 × 1440)"_s);
    Click(c.size);
    Click(c.fit);
    EXPECT_EQ(Control(Id::EditWidth)->isEnabled(), c.size == Id::RadioCustom);
    for (const auto& [id, text] :
         {std::pair(Id::EditWidth, c.width), std::pair(Id::EditHeight, c.height),
          std::pair(Id::EditX, c.x), std::pair(Id::EditY, c.y)}) {
      Control<QLineEdit>(id)->setText(QString::number(text));
    }
    Click(Id::Ok);
    EXPECT_EQ(dialog_.isVisible(), c.refusal != nullptr);
    EXPECT_EQ(prompter_->errors, (c.refusal ? Errors{{*c.refusal, kPositionCaption}} : Errors{}));
    if (c.refusal) {
      if (dialog_.isVisible()) {
        EXPECT_EQ(ControlId(QApplication::focusWidget()), static_cast<int>(c.focus));
      }
      continue;
    }
    CalendarSettings result;
    dialog_.applyTo(result);
    EXPECT_EQ(result.sizeKind, c.size == Id::RadioScreen ? SizeKind::Screen : SizeKind::Custom);
    EXPECT_EQ(result.pictSize, kGiven.pictSize);  // kept for builds that know only it
    EXPECT_EQ(result.photoFit, c.fit == Id::FitStretch ? PhotoFit::Stretch
                               : c.fit == Id::FitFill  ? PhotoFit::Fill
                                                       : PhotoFit::Fit);
    EXPECT_EQ(QSize(result.startX, result.startY), QSize(c.x, c.y));
    if (c.size == Id::RadioCustom) {
      EXPECT_EQ(QSize(result.customWidth, result.customHeight), QSize(c.width, c.height));
      // Shown again, the dialog opens on the custom size.
      Show(result);
      EXPECT_TRUE(Control<QRadioButton>(Id::RadioCustom)->isChecked());
      EXPECT_EQ(Control<QLineEdit>(Id::EditWidth)->text(), QString::number(c.width));
    }
  }
}

TEST_F(SettingsDialogTest, OkBringsBackEveryChoiceAfterTheSampleShowsIt) {
  Show(kGiven);
  Click(Id::FontButton);
  Click(Id::BackColorButton);
  EXPECT_EQ(dialog_.settings(), kGiven) << "cancelled choices change nothing";
  prompter_->fontAnswer = FontSelection{u"DejaVu Serif"_s, 10.5, 300, false, QColor(Qt::red)};
  prompter_->colorAnswer = QColor(Qt::green);
  Click(Id::FontButton);
  Click(Id::BackColorButton);
  Click(Id::Radio800);
  Control<QSlider>(Id::Slider)->setValue(200);
  Click(Id::SaturdayColorButton);
  for (const Id option : {Id::WeekMonday, Id::JapaneseLabels, Id::OpaqueText}) {
    Tick(option);
  }
  // Calendar files: added once each, the first removed; the day colour and the era.
  CalendarFilesBox* files = dialog_.calendarFilesBox();
  QStringList answers = {u"/c/us.ics"_s, u"/c/family.ics"_s, u"/c/family.ics"_s};
  files->setFileQuestion([&](QWidget*) { return std::optional(answers.takeFirst()); });
  files->setColorQuestion([](QWidget*, const QColor&) { return std::optional<QColor>(Qt::red); });
  const QList<QPushButton*> buttons = files->findChildren<QPushButton*>();  // as they were made
  for (const int button : {0, 1, 1}) {
    Click(buttons.at(button));
  }
  files->findChild<QListWidget*>()->setCurrentRow(0);
  Click(buttons.at(2));
  Click(buttons.at(3));
  auto* era = files->findChild<QComboBox*>();
  era->setCurrentIndex(2);
  emit era->activated(2);
  auto* edit = Control<QLineEdit>(Id::EditY);
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, u"1a2-3 "_s);  // typing lets only digits through
  // The chooser opens on the current font and text colour, not on black.
  EXPECT_EQ(prompter_->fontRequests.at(1),
            (FontSelection{u"DejaVu Sans"_s, 20, 700, true, QColor(0, 0, 0x80)}));

  QImage sample = Control(Id::SampleFrame)->grab().toImage();
  const Rect b = SampleTextBox(MeasureFont(CreateFont(u"DejaVu Serif"_s, 10, 300, false)),
                               sample.width(), sample.height());
  const QRect box(b.left, b.top, b.right - b.left, b.bottom - b.top);
  QImage back(sample.size(), sample.format());
  back.fill(Qt::green);
  EXPECT_NE(sample.copy(box), back.copy(box)) << "the text is drawn in its box";
  QPainter(&sample).fillRect(box, Qt::green);
  const QRect inside = sample.rect() - QMargins(1, 1, 1, 1);  // within the black frame
  EXPECT_EQ(sample.copy(inside), back.copy(inside)) << "on the back colour, and nothing else";

  for (const Id option : {Id::Proportional, Id::AnchorTopLeft, Id::AutoPlace, Id::Legible}) {
    Tick(option);
  }
  EXPECT_FALSE(edit->isEnabled()) << "the anchor places the block in proportion, not the corner";
  auto* height = Control<QLineEdit>(Id::EditBlockHeight);
  height->setText(u"50"_s);
  QTest::keyClick(height, Qt::Key_Return);  // OK is the default button
  ASSERT_EQ(prompter_->errors.size(), 1U) << "a block higher than 45 % is refused";
  EXPECT_TRUE(height->hasFocus());
  height->setText(u"35"_s);
  QTest::keyClick(height, Qt::Key_Return);
  CalendarSettings result{.year = 2001, .month = 2};
  dialog_.applyTo(result);
  CalendarSettings expected{"DejaVu Serif", 10,   0x0000FF, 0x00FF00, 200, 120, 123, 0, 300,
                            false,          2001, 2};
  expected.weekStart = WeekStart::Monday;
  expected.labels = LabelLanguage::Japanese;
  expected.opaqueText = true;
  expected.titleEra = TitleEra::GregorianFirst;
  expected.dayColor = 0x0000FF;
  expected.calendarFiles = {{"/c/family.ics", SpecialDayKind::Day}};
  expected.proportional = true;
  expected.anchor = 0;
  expected.blockHeightShare = 350;
  expected.autoPlace = true;
  expected.legible = true;
  expected.saturdayColor = 0x00FF00;
  EXPECT_EQ(result, expected);
}

TEST(SettingsDialogPrompts, ErrorBoxIsAnError) {
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

TEST(FontChooser, KeepsWhatItCannotShow) {
  const FontSelection odd{u"No Such Face Lunetta"_s, 12, 400, false, QColor(0x56, 0x34, 0x12)};
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
