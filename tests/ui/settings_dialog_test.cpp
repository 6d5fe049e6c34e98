#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>
#include <ostream>

#include "platform/dialog_units.h"
#include "platform/drawing.h"
#include "ui/tool_tip_relay.h"

namespace lunetta {
namespace {

const QString kPositionText = QStringLiteral("カレンダー位置が不適切です。再入力して下さい。");
const QString kPositionCaption = QStringLiteral("数値エラー");
const QString kUnsignedText = QStringLiteral("正の整数を入力してください。");
const QString kUnsignedCaption = QStringLiteral("Lunetta");

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) {
      return false;
    }
    QTest::qWait(10);
  }
  return true;
}

// Answers the modal dialog that the code under test opens: `answer` runs on it once it is up.
// Whatever happens (no dialog, an answer that does not close it), every modal window is closed
// after a few seconds, so no test hangs.
void AnswerModal(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer(qApp);
  auto ticks = std::make_shared<int>(0);
  auto answered = std::make_shared<bool>(false);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, ticks, answered, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!*answered && modal != nullptr && modal->isVisible()) {
      *answered = true;
      answer(modal);
      return;
    }
    if (*answered && modal == nullptr) {
      timer->stop();
      timer->deleteLater();
      return;
    }
    if (++*ticks >= 500) {
      ADD_FAILURE() << "a modal dialog was not answered";
      while (QWidget* stuck = QApplication::activeModalWidget()) {
        stuck->close();
      }
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

struct Prompt {
  QString text;
  QString caption;
};

class FakePrompter : public SettingsPrompter {
 public:
  void ShowError(QWidget*, const QString& text, const QString& caption) override {
    errors.push_back({text, caption});
  }
  std::optional<FontSelection> ChooseFont(QWidget*, const FontSelection& initial) override {
    fontRequests.push_back(initial);
    return fontAnswer;
  }
  std::optional<ColorRef> ChooseBackColor(QWidget*) override {
    ++colorRequests;
    return colorAnswer;
  }

  std::vector<Prompt> errors;
  std::vector<FontSelection> fontRequests;
  std::optional<FontSelection> fontAnswer;
  int colorRequests = 0;
  std::optional<ColorRef> colorAnswer;
};

CalendarSettings Given() {
  CalendarSettings settings;
  settings.fontName = "DejaVu Sans";
  settings.textSize = 20;
  settings.textColor = 0x800000;
  settings.backColor = 0x00FFFF;
  settings.transparency = 77;
  settings.startX = 120;
  settings.startY = 340;
  settings.pictSize = 1;
  settings.fontWeight = 700;
  settings.fontItalic = 1;
  settings.year = 2030;
  settings.month = 4;
  return settings;
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto prompter = std::make_unique<FakePrompter>();
    prompter_ = prompter.get();
    dialog_.setPrompter(std::move(prompter));
  }

  void Show(const CalendarSettings& settings) {
    dialog_.setSettings(settings);
    dialog_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
  }

  template <typename T = QWidget>
  T* Control(int id) {
    T* control = FindControl<T>(&dialog_, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
  }

  void ClickOk() { QTest::mouseClick(Control<QPushButton>(1), Qt::LeftButton); }

  SettingsDialog dialog_;
  FakePrompter* prompter_ = nullptr;
};

struct PlacementCase {
  TextMetrics metrics;
  int frameWidth;
  int frameHeight;
  Rect expected;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
  *out << "frame " << c.frameWidth << "x" << c.frameHeight << " metrics " << c.metrics.height << "/"
       << c.metrics.aveCharWidth << "/" << c.metrics.maxCharWidth;
}

class SampleTextBoxTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(SampleTextBoxTest, CentresOrFallsBackToTwo) {
  const PlacementCase& c = GetParam();
  EXPECT_EQ(SampleTextBox(c.metrics, c.frameWidth, c.frameHeight), c.expected);
}

// Box 6 × 10 + 12 × 5 = 120 by 20 + 4 = 24.
constexpr TextMetrics kMetrics{20, 5, 10};
INSTANTIATE_TEST_SUITE_P(
    Frames, SampleTextBoxTest,
    ::testing::Values(PlacementCase{kMetrics, 200, 60, {40, 18, 160, 42}},
                      PlacementCase{kMetrics, 120, 24, {0, 0, 120, 24}},
                      PlacementCase{kMetrics, 121, 25, {0, 0, 120, 24}},
                      PlacementCase{kMetrics, 122, 26, {1, 1, 121, 25}},
                      // One pixel narrower: −1 / 2 truncates to 0, which stays 0.
                      PlacementCase{kMetrics, 119, 23, {0, 0, 120, 24}},
                      // Two and three pixels narrower: −1 becomes 2.
                      PlacementCase{kMetrics, 118, 22, {2, 2, 122, 26}},
                      PlacementCase{kMetrics, 117, 21, {2, 2, 122, 26}},
                      PlacementCase{kMetrics, 0, 0, {2, 2, 122, 26}},
                      PlacementCase{kMetrics, 200, 10, {40, 2, 160, 26}},
                      PlacementCase{TextMetrics{0, 0, 0}, 10, 10, {5, 3, 5, 7}}));

struct HeightCase {
  int textSize;
  int dpi;
  int height;
};

void PrintTo(const HeightCase& c, std::ostream* out) {
  *out << c.textSize << " at " << c.dpi << " dpi";
}

class FontDialogHeightTest : public ::testing::TestWithParam<HeightCase> {};

TEST_P(FontDialogHeightTest, RoundsHalvesAwayFromZero) {
  const HeightCase& c = GetParam();
  EXPECT_EQ(FontDialogHeight(c.textSize, c.dpi), c.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontDialogHeightTest,
                         ::testing::Values(HeightCase{28, 96, -37}, HeightCase{10, 96, -13},
                                           HeightCase{9, 96, -12}, HeightCase{28, 120, -47},
                                           HeightCase{3, 108, -5}, HeightCase{1, 108, -2},
                                           HeightCase{-3, 108, 5}, HeightCase{0, 96, 0},
                                           HeightCase{1000000, 2000, -27777778}));

TEST(FontDialogPointSize, ShowsTheTextSizeItStartedFrom) {
  // Opening and confirming the font chooser must not shrink or grow the text.
  for (const int dpi : {72, 96, 120, 144, 192}) {
    for (int textSize = 1; textSize <= 500; ++textSize) {
      ASSERT_EQ(FontDialogPointSize(FontDialogHeight(textSize, dpi), dpi), textSize)
          << textSize << " at " << dpi << " dpi";
    }
  }
  EXPECT_EQ(FontDialogPointSize(-37, 96), 28);
  EXPECT_EQ(FontDialogPointSize(-37, 0), 0);
}

TEST(WholePoints, TruncatesTenthsOfAPoint) {
  EXPECT_EQ(WholePoints(10.5), 10);
  EXPECT_EQ(WholePoints(10.0), 10);
  EXPECT_EQ(WholePoints(10.94), 10);
  EXPECT_EQ(WholePoints(9.96), 10);  // 99.6 tenths round to 100
  EXPECT_EQ(WholePoints(28), 28);
  EXPECT_EQ(WholePoints(0.04), 0);
  EXPECT_EQ(WholePoints(1e300), 100000000);
}

struct LeadingCase {
  const char16_t* text;
  std::int32_t value;
};

void PrintTo(const LeadingCase& c, std::ostream* out) {
  *out << '"' << QString::fromUtf16(c.text).toStdString() << '"';
}

class LeadingNumberTest : public ::testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberTest, ReadsLikeAtoiOfNineCharacters) {
  EXPECT_EQ(LeadingNumber(QString::fromUtf16(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumberTest,
                         ::testing::Values(LeadingCase{u"1500", 1500}, LeadingCase{u"", 0},
                                           LeadingCase{u"abc", 0}, LeadingCase{u"  42x", 42},
                                           LeadingCase{u"\t\n7", 7}, LeadingCase{u"+7", 7},
                                           LeadingCase{u"-1", -1}, LeadingCase{u"0000000012000", 1},
                                           LeadingCase{u"999999999999", 999999999},
                                           LeadingCase{u"4294967295", 429496729},
                                           LeadingCase{u"        5", 5},
                                           LeadingCase{u"         5", 0}, LeadingCase{u"１２", 0}));

struct UnsignedCase {
  const char16_t* text;
  std::optional<std::uint32_t> value;
};

void PrintTo(const UnsignedCase& c, std::ostream* out) {
  *out << '"' << QString::fromUtf16(c.text).toStdString() << '"';
}

class ReadUnsignedTest : public ::testing::TestWithParam<UnsignedCase> {};

TEST_P(ReadUnsignedTest, AcceptsBlanksAroundDigitsOnly) {
  EXPECT_EQ(ReadUnsigned(QString::fromUtf16(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadUnsignedTest,
    ::testing::Values(UnsignedCase{u"0", 0u}, UnsignedCase{u"1500", 1500u},
                      UnsignedCase{u" 12\t", 12u}, UnsignedCase{u"4294967295", 4294967295u},
                      UnsignedCase{u"00000000000000000000012", 12u},
                      UnsignedCase{u"", std::nullopt}, UnsignedCase{u"  ", std::nullopt},
                      UnsignedCase{u"4294967296", std::nullopt},
                      UnsignedCase{u"99999999999999999999", std::nullopt},
                      UnsignedCase{u"-1", std::nullopt}, UnsignedCase{u"+1", std::nullopt},
                      UnsignedCase{u"12abc", std::nullopt}, UnsignedCase{u"1 2", std::nullopt},
                      UnsignedCase{u"\n12", std::nullopt}, UnsignedCase{u"１２", std::nullopt}));

TEST(InitCustomColors, WhiteOnceThenKeptForTheRun) {
  QColorDialog::setCustomColor(0, QColor(Qt::green));
  InitCustomColors();
  for (int i = 0; i < QColorDialog::customCount(); ++i) {
    EXPECT_EQ(QColorDialog::customColor(i), QColor(Qt::white)) << i;
  }
  QColorDialog::setCustomColor(3, QColor(Qt::red));
  InitCustomColors();
  EXPECT_EQ(QColorDialog::customColor(3), QColor(Qt::red));
}

struct ControlCase {
  int id;
  const char* text;
  QRect units;
};

TEST_F(SettingsDialogTest, FollowsTheTemplate) {
  const DialogUnits du(TemplateFont(QStringLiteral("MS UI Gothic"), 10));
  EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("フォント設定"));
  EXPECT_EQ(dialog_.size(), QSize(du.x(171), du.y(258)));
  const ControlCase controls[] = {
      {1, "OK", {110, 235, 54, 14}},          {1001, nullptr, {44, 209, 30, 14}},
      {1002, nullptr, {106, 209, 30, 14}},    {1004, "フォント", {43, 84, 55, 14}},
      {1008, "背景色", {103, 84, 54, 14}},    {1011, nullptr, {13, 102, 145, 53}},
      {1005, "透過度", {14, 158, 44, 8}},     {1009, nullptr, {12, 168, 144, 15}},
      {1014, "800 × 600", {19, 18, 52, 10}},  {1015, "1024 × 768", {18, 30, 56, 10}},
      {1016, "1280 × 1024", {18, 42, 60, 10}}};
  for (const ControlCase& c : controls) {
    QWidget* control = Control(c.id);
    ASSERT_NE(control, nullptr);
    const QRect& u = c.units;
    EXPECT_EQ(control->geometry(), du.rect(u.x(), u.y(), u.width(), u.height())) << c.id;
    if (c.text != nullptr) {
      const QVariant text = control->property("text");
      EXPECT_EQ(text.toString(), QString::fromUtf8(c.text)) << c.id;
    }
  }
  const auto slider = Control<QSlider>(1009);
  EXPECT_EQ(slider->minimum(), 0);
  EXPECT_EQ(slider->maximum(), 255);
  EXPECT_EQ(slider->tickInterval(), 1);
  EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
  EXPECT_TRUE(Control<QPushButton>(1)->isDefault());
}

TEST_F(SettingsDialogTest, TabsThroughTheTemplateOrderFromOk) {
  Show(Given());
  EXPECT_EQ(QApplication::focusWidget(), Control(1));
  const int order[] = {1001, 1002, 1004, 1008, 1009, 1};
  for (const int id : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(ControlId(QApplication::focusWidget()), id);
  }
  for (const int id : {1014, 1015, 1016}) {
    EXPECT_FALSE(Control(id)->focusPolicy() & Qt::TabFocus) << id;
  }
}

TEST_F(SettingsDialogTest, TipShowsAfterTheDelayAndHidesOnLeave) {
  EXPECT_EQ(dialog_.toolTip()->initialDelay(), 100);
  EXPECT_EQ(dialog_.toolTip()->autoPopDelay(), 10000);
  EXPECT_EQ(dialog_.toolTip()->maxTipWidth(), 320);
  Show(Given());
  QWidget* edit = Control(1001);
  QEnterEvent enter(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)),
                    edit->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(edit, &enter);
  QLabel* tip = dialog_.toolTip()->tipWindow();
  ASSERT_TRUE(WaitFor([tip] { return tip->isVisible(); }));
  EXPECT_EQ(tip->text(), QStringLiteral("カレンダーの位置（Ｘ座標）を設定します"));
  EXPECT_LE(tip->width(), 320);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(edit, &leave);
  EXPECT_FALSE(tip->isVisible());
}

struct RadioCase {
  int pictSize;
  int checkedId;
};

void PrintTo(const RadioCase& c, std::ostream* out) {
  *out << "pictSize " << c.pictSize;
}

class InitialRadioTest : public SettingsDialogTest,
                         public ::testing::WithParamInterface<RadioCase> {};

TEST_P(InitialRadioTest, ChecksOneRadioAndKeepsPictSize) {
  CalendarSettings settings = Given();
  settings.pictSize = GetParam().pictSize;
  Show(settings);
  for (const int id : {1014, 1015, 1016}) {
    EXPECT_EQ(Control<QRadioButton>(id)->isChecked(), id == GetParam().checkedId) << id;
  }
  EXPECT_EQ(Control<QSlider>(1009)->value(), 77);
  EXPECT_EQ(Control<QLineEdit>(1001)->text(), QStringLiteral("120"));
  EXPECT_EQ(Control<QLineEdit>(1002)->text(), QStringLiteral("340"));

  ClickOk();
  CalendarSettings result;
  dialog_.applyTo(result);
  EXPECT_EQ(result.pictSize, GetParam().pictSize);
}

INSTANTIATE_TEST_SUITE_P(PictSizes, InitialRadioTest,
                         ::testing::Values(RadioCase{0, 1014}, RadioCase{1, 1015},
                                           RadioCase{2, 1016}, RadioCase{7, 1016},
                                           RadioCase{-1, 1016}));

TEST_F(SettingsDialogTest, ClickingARadioSetsPictSize) {
  CalendarSettings settings = Given();
  settings.pictSize = 7;
  Show(settings);
  QTest::mouseClick(Control(1016), Qt::LeftButton);
  EXPECT_EQ(dialog_.settings().pictSize, 2);
  QTest::mouseClick(Control(1014), Qt::LeftButton);
  EXPECT_EQ(dialog_.settings().pictSize, 0);
  EXPECT_TRUE(Control<QRadioButton>(1014)->isChecked());
  QTest::mouseClick(Control(1015), Qt::LeftButton);
  EXPECT_EQ(dialog_.settings().pictSize, 1);
}

TEST_F(SettingsDialogTest, EditsFollowTypingDigitsOnly) {
  Show(Given());
  auto* edit = Control<QLineEdit>(1001);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, QStringLiteral("1a2-3 "));
  EXPECT_EQ(edit->text(), QStringLiteral("123"));
  EXPECT_EQ(dialog_.settings().startX, 123);
}

struct OkCase {
  int editId;
  const char16_t* text;
  bool accepted;
  std::int32_t stored;     // startX or startY after OK
  const QString* message;  // refused: the message shown
};

void PrintTo(const OkCase& c, std::ostream* out) {
  *out << "edit " << c.editId << " \"" << QString::fromUtf16(c.text).toStdString() << '"';
}

class OkButtonTest : public SettingsDialogTest, public ::testing::WithParamInterface<OkCase> {};

TEST_P(OkButtonTest, ChecksThePositionThenReadsTheEdits) {
  const OkCase& c = GetParam();
  Show(Given());
  auto* edit = Control<QLineEdit>(c.editId);
  // As a paste would: the text is not filtered.
  edit->setText(QString::fromUtf16(c.text));
  ClickOk();
  if (c.accepted) {
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_TRUE(prompter_->errors.empty());
    CalendarSettings result;
    dialog_.applyTo(result);
    EXPECT_EQ(c.editId == 1001 ? result.startX : result.startY, c.stored);
    return;
  }
  EXPECT_NE(dialog_.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog_.isVisible());
  ASSERT_EQ(prompter_->errors.size(), 1u);
  EXPECT_EQ(prompter_->errors[0].text, *c.message);
  EXPECT_EQ(prompter_->errors[0].caption,
            c.message == &kPositionText ? kPositionCaption : kUnsignedCaption);
  EXPECT_EQ(edit->text(), QString::fromUtf16(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OkButtonTest,
    ::testing::Values(
        OkCase{1001, u"1500", true, 1500, nullptr}, OkCase{1002, u"1500", true, 1500, nullptr},
        OkCase{1001, u"0", true, 0, nullptr}, OkCase{1002, u" 12 ", true, 12, nullptr},
        OkCase{1001, u"000000001500", true, 1500, nullptr},
        OkCase{1001, u"1501", false, 0, &kPositionText},
        OkCase{1002, u"1501", false, 0, &kPositionText},
        OkCase{1001, u"-1", false, 0, &kPositionText},
        OkCase{1002, u"4294967296", false, 0, &kPositionText},
        // Nine characters read 1, which passes; the whole text is 12000.
        OkCase{1001, u"0000000012000", false, 0, &kPositionText},
        OkCase{1001, u"", false, 0, &kUnsignedText}, OkCase{1002, u"", false, 0, &kUnsignedText},
        OkCase{1001, u"12abc", false, 0, &kUnsignedText},
        OkCase{1002, u"+5", false, 0, &kUnsignedText}));

TEST_F(SettingsDialogTest, RefusedTextGetsTheFocusSelected) {
  Show(Given());
  auto* edit = Control<QLineEdit>(1002);
  edit->setText(QStringLiteral("12abc"));
  Control(1)->setFocus();
  ClickOk();
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->selectedText(), QStringLiteral("12abc"));

  edit->clear();
  Control(1)->setFocus();
  ClickOk();
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(prompter_->errors.back().text, kUnsignedText);

  edit->setText(QStringLiteral("0000000012000"));
  Control(1)->setFocus();
  ClickOk();
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->selectedText(), QStringLiteral("0000000012000"));
  EXPECT_EQ(prompter_->errors.back().text, kPositionText);
}

TEST_F(SettingsDialogTest, PastedTextIsNotFiltered) {
  Show(Given());
  auto* edit = Control<QLineEdit>(1001);
  QApplication::clipboard()->setText(QStringLiteral("-5"));
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QStringLiteral("-5"));
  EXPECT_EQ(dialog_.settings().startX, -5);
  ClickOk();
  EXPECT_EQ(prompter_->errors.at(0).text, kPositionText);
}

TEST_F(SettingsDialogTest, NegativePositionShowsUnsignedAndIsRefused) {
  CalendarSettings settings = Given();
  settings.startX = -1;
  Show(settings);
  auto* edit = Control<QLineEdit>(1001);
  EXPECT_EQ(edit->text(), QStringLiteral("4294967295"));
  ClickOk();
  ASSERT_EQ(prompter_->errors.size(), 1u);
  EXPECT_EQ(prompter_->errors[0].text, kPositionText);
  EXPECT_TRUE(dialog_.isVisible());

  edit->setText(QStringLiteral("15"));
  ClickOk();
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  EXPECT_EQ(dialog_.settings().startX, 15);
}

TEST_F(SettingsDialogTest, OkBringsBackAllTenFields) {
  Show(Given());
  Control<QSlider>(1009)->setValue(200);
  QTest::keyClick(Control(1002), Qt::Key_Return);
  ASSERT_EQ(dialog_.result(), QDialog::Accepted);
  CalendarSettings result;
  result.year = 2001;
  result.month = 2;
  dialog_.applyTo(result);
  CalendarSettings expected = Given();
  expected.transparency = 200;
  expected.year = 2001;
  expected.month = 2;
  EXPECT_EQ(result, expected);
}

TEST_F(SettingsDialogTest, EscapeCancels) {
  Show(Given());
  QTest::keyClick(Control(1001), Qt::Key_Escape);
  EXPECT_EQ(dialog_.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_TRUE(prompter_->errors.empty());
}

TEST_F(SettingsDialogTest, FontChoiceTakesFaceWholePointsColourWeightAndItalic) {
  Show(Given());
  prompter_->fontAnswer =
      FontSelection{QStringLiteral("Liberation Serif"), 10.5, 300, false, 0x0000FF};
  QTest::mouseClick(Control(1004), Qt::LeftButton);
  ASSERT_EQ(prompter_->fontRequests.size(), 1u);
  const FontSelection& asked = prompter_->fontRequests[0];
  EXPECT_EQ(asked.face, QStringLiteral("DejaVu Sans"));
  const int dpi = dialog_.logicalDpiY();
  EXPECT_EQ(asked.pointSize, FontDialogPointSize(FontDialogHeight(20, dpi), dpi));
  EXPECT_EQ(asked.weight, 700);
  EXPECT_TRUE(asked.italic);
  // The colour box starts at the text colour, not black.
  EXPECT_EQ(asked.color, 0x800000u);

  const CalendarSettings& now = dialog_.settings();
  EXPECT_EQ(now.fontName, "Liberation Serif");
  EXPECT_EQ(now.textSize, 10);
  EXPECT_EQ(now.textColor, 0x0000FFu);
  EXPECT_EQ(now.fontWeight, 300);
  EXPECT_EQ(now.fontItalic, 0);
}

TEST_F(SettingsDialogTest, CancelledChoicesChangeNothing) {
  Show(Given());
  QTest::mouseClick(Control(1004), Qt::LeftButton);
  QTest::mouseClick(Control(1008), Qt::LeftButton);
  EXPECT_EQ(prompter_->fontRequests.size(), 1u);
  EXPECT_EQ(prompter_->colorRequests, 1);
  CalendarSettings result = Given();
  dialog_.applyTo(result);
  EXPECT_EQ(result, Given());
}

QImage GrabSample(SettingsDialog& dialog) {
  QWidget* frame = FindControl(&dialog, 1011);
  return frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(SettingsDialogTest, SampleShowsTheTextOnTheBackColour) {
  Show(Given());
  const QImage sample = GrabSample(dialog_);
  ASSERT_FALSE(sample.isNull());
  const QColor back = ColorFromRef(0x00FFFF);
  EXPECT_EQ(sample.pixelColor(2, 2), back);
  EXPECT_EQ(sample.pixelColor(0, 0), QColor(Qt::black));

  const QFont font = CreateFont(QStringLiteral("DejaVu Sans"), 20, 700, true);
  const Rect box = SampleTextBox(MeasureFont(font), sample.width(), sample.height());
  int inked = 0;
  int strayInk = 0;
  for (int y = 1; y < sample.height() - 1; ++y) {
    for (int x = 1; x < sample.width() - 1; ++x) {
      const bool inBox = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      const bool ink = sample.pixelColor(x, y) != back;
      inked += inBox && ink;
      strayInk += !inBox && ink;
    }
  }
  EXPECT_GT(inked, 50);
  EXPECT_EQ(strayInk, 0);
}

TEST_F(SettingsDialogTest, ChosenBackColourRepaintsTheSample) {
  Show(Given());
  prompter_->colorAnswer = 0x00FF00;
  QTest::mouseClick(Control(1008), Qt::LeftButton);
  EXPECT_EQ(dialog_.settings().backColor, 0x00FF00u);
  ASSERT_TRUE(
      WaitFor([this] { return GrabSample(dialog_).pixelColor(2, 2) == QColor(Qt::green); }));
}

TEST(SettingsDialogPrompts, RealMessageBoxCanBeAnswered) {
  SettingsDialog dialog;
  CalendarSettings settings = Given();
  settings.startY = 2000;
  dialog.setSettings(settings);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  AnswerModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) {
      modal->close();
      return;
    }
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(FindControl(&dialog, 1), Qt::LeftButton);
  EXPECT_EQ(text, kPositionText);
  EXPECT_EQ(title, kPositionCaption);
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_TRUE(dialog.isVisible());
}

TEST(SettingsDialogPrompts, RealColourDialogReturnsTheChosenColour) {
  QWidget owner;
  QColor opened;
  AnswerModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QColorDialog*>(modal);
    if (dialog == nullptr) {
      modal->close();
      return;
    }
    opened = dialog->currentColor();
    dialog->setCurrentColor(QColor(0, 0, 255));
    dialog->accept();
  });
  const std::optional<ColorRef> chosen = MakeQtSettingsPrompter()->ChooseBackColor(&owner);
  EXPECT_EQ(chosen, std::optional<ColorRef>(0xFF0000));
  EXPECT_TRUE(opened.isValid());
}

TEST(SettingsDialogPrompts, RealFontChooserCancelledGivesNothing) {
  QWidget owner;
  bool sawChooser = false;
  AnswerModal([&](QWidget* modal) {
    sawChooser = qobject_cast<FontChooser*>(modal) != nullptr;
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  const FontSelection initial{QStringLiteral("DejaVu Sans"), 12, 400, false, 0x000000};
  EXPECT_EQ(MakeQtSettingsPrompter()->ChooseFont(&owner, initial), std::nullopt);
  EXPECT_TRUE(sawChooser);
}

TEST(SettingsDialogLook, Screenshot) {
  SettingsDialog dialog;
  dialog.setSettings(Given());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const QImage shot = dialog.grab().toImage();
  ASSERT_FALSE(shot.isNull());
  // Set LUNETTA_SCREENSHOT_DIR to look at the dialog.
  const QString folder = qEnvironmentVariable("LUNETTA_SCREENSHOT_DIR");
  if (!folder.isEmpty()) {
    QDir().mkpath(folder);
    EXPECT_TRUE(shot.save(folder + QStringLiteral("/settings_dialog.png")));
    FontChooser chooser(FontSelection{QStringLiteral("DejaVu Sans"), 20, 700, true, 0x800000});
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    EXPECT_TRUE(chooser.grab().save(folder + QStringLiteral("/font_chooser.png")));
  }
}

}  // namespace
}  // namespace lunetta
