#include "ui/settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <climits>

#include "calendar/proportional_layout.h"
#include "platform/c_runtime.h"
#include "render/drawing.h"
#include "render/font_substitutes.h"
#include "ui/calendar_files_box.h"
#include "ui/control_table.h"
#include "ui/dialog_units.h"
#include "ui/tool_tip_relay.h"

namespace lunetta {

namespace {

using Id = SettingsControl;
using Kind = ControlKind;

constexpr const char* kSizeTip =
    QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "印刷のベース画像の大きさを選択します。");
constexpr const char* kFitTip =
    QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "写真を画像の大きさに合わせる方法を選択します。");

// Two columns, so that the dialog fits a laptop's screen: on the left the picture (its size, how
// the photograph fills it, where the calendar goes on it), on the right the calendar's look (the
// template's calendar settings, then the display options). Each group keeps the template's
// controls, in their order and at their places within the group.
constexpr int kRight = 164;  // from a place in the left column to the same place in the right
constexpr int kWidth = 171 + 2 * kRight;
constexpr int kHeight = 264;
// The calendar files' group is a third column.
constexpr int kFilesLeft = 7 + 2 * kRight;
constexpr int kFilesHeight = 150;

constexpr const char* kWeekStartTip = QT_TRANSLATE_NOOP(
    "lunetta::SettingsDialog", "週の始まりを日曜日にするか月曜日にするかを選択します。");

// Template 169 grown by the size, fit and option groups, in tab order: OK first, then the left
// column's controls and the right column's, top to bottom. Each radio group is one tab stop, at
// its checked button; the arrow keys move within it.
constexpr ControlRow kControls[] = {
    {Id::Ok,
     Kind::PushButton,
     "OK",
     {110 + 2 * kRight, 249, 54, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダー設定を終了します。"),
     ControlFlag::Default},
    {Id::Radio800,
     Kind::RadioButton,
     "800 × 600",
     {19, 18, 52, 10},
     kSizeTip,
     ControlFlag::TabStop},
    {Id::Radio1024,
     Kind::RadioButton,
     "1024 × 768",
     {18, 30, 56, 10},
     kSizeTip,
     ControlFlag::TabStop},
    {Id::Radio1280,
     Kind::RadioButton,
     "1280 × 1024",
     {18, 42, 60, 10},
     kSizeTip,
     ControlFlag::TabStop},
    {Id::RadioScreen,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "画面サイズ"),
     {18, 54, 140, 10},
     kSizeTip,
     ControlFlag::TabStop},
    {Id::RadioCustom,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "指定サイズ"),
     {18, 66, 44, 10},
     kSizeTip,
     ControlFlag::TabStop},
    {Id::EditWidth,
     Kind::NumberEdit,
     {},
     {64, 65, 30, 12},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "画像の幅（ピクセル）")},
    {kNoId, Kind::StaticText, "×", {98, 67, 8, 8}},
    {Id::EditHeight,
     Kind::NumberEdit,
     {},
     {108, 65, 30, 12},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "画像の高さ（ピクセル）")},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "画像サイズ"),
     {7, 6, 157, 76}},
    {Id::FitStretch,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "引き伸ばす"),
     {18, 102, 52, 10},
     kFitTip,
     ControlFlag::TabStop},
    {Id::FitFill,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "切り抜いて全体に表示"),
     {18, 114, 92, 10},
     kFitTip,
     ControlFlag::TabStop},
    {Id::FitWhole,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "全体を収める"),
     {18, 126, 64, 10},
     kFitTip,
     ControlFlag::TabStop},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "写真の合わせ方"),
     {7, 90, 157, 48}},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "Ｘ座標"),
     {21, 161, 20, 8},
     {},
     ControlFlag::FitText},
    {Id::EditX,
     Kind::NumberEdit,
     {},
     {44, 161, 30, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーの位置（Ｘ座標）を設定します")},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "Ｙ座標"),
     {82, 161, 20, 8},
     {},
     ControlFlag::FitText},
    {Id::EditY,
     Kind::NumberEdit,
     {},
     {106, 161, 30, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーの位置（Ｙ座標）を設定します")},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダー位置（微調整）"),
     {7, 146, 157, 33}},
    {Id::Proportional,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "画像の大きさに合わせる"),
     {18, 198, 140, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog",
                       "カレンダーを画像の高さに対する割合で描き、選んだ位置に置きます。"
                       "画像サイズを変えても同じ割合と位置のままです。")},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "高さ"),
     {21, 212, 20, 8},
     {},
     ControlFlag::FitText},
    {Id::EditBlockHeight,
     Kind::NumberEdit,
     {},
     {44, 210, 22, 12},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーの高さ（画像の高さの 20～45 %）")},
    {kNoId, Kind::StaticText, "%", {68, 212, 8, 8}},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "余白"),
     {21, 226, 20, 8},
     {},
     ControlFlag::FitText},
    {Id::EditMargin,
     Kind::NumberEdit,
     {},
     {44, 224, 22, 12},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "画像の端からの余白（短い辺の 0～20 %）")},
    {kNoId, Kind::StaticText, "%", {68, 226, 8, 8}},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "位置"),
     {86, 212, 20, 8},
     {},
     ControlFlag::FitText},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 0),
     Kind::RadioButton,
     {},
     {110, 209, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "左上"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 1),
     Kind::RadioButton,
     {},
     {124, 209, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "上"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 2),
     Kind::RadioButton,
     {},
     {138, 209, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "右上"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 3),
     Kind::RadioButton,
     {},
     {110, 219, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "左"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 4),
     Kind::RadioButton,
     {},
     {124, 219, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "中央"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 5),
     Kind::RadioButton,
     {},
     {138, 219, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "右"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 6),
     Kind::RadioButton,
     {},
     {110, 229, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "左下"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 7),
     Kind::RadioButton,
     {},
     {124, 229, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "下"),
     ControlFlag::TabStop},
    {static_cast<Id>(static_cast<int>(Id::AnchorTopLeft) + 8),
     Kind::RadioButton,
     {},
     {138, 229, 10, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "右下"),
     ControlFlag::TabStop},
    {Id::AutoPlace,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "おまかせ配置"),
     {18, 241, 140, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog",
                       "写真のいちばん落ち着いた所にカレンダーを置きます。"
                       "上下のパネルの位置は避けます。ドラッグで置くと、その写真では止まります。")},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーの大きさと配置"),
     {7, 186, 157, 70}},
    {Id::FontButton,
     Kind::PushButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "フォント"),
     {43 + kRight, 24, 55, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーのフォントを設定します")},
    {Id::BackColorButton,
     Kind::PushButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "背景色"),
     {103 + kRight, 24, 54, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーの背景色を設定します")},
    {Id::SampleFrame, Kind::Custom, {}, {13 + kRight, 42, 145, 53}},
    {Id::TransparencyLabel,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "透過度"),
     {14 + kRight, 98, 44, 8}},
    {Id::Slider,
     Kind::Slider,
     {},
     {12 + kRight, 108, 144, 15},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダーの透過度を設定します")},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "カレンダー設定"),
     {7 + kRight, 6, 157, 124}},
    {Id::WeekSunday,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "日曜始まり"),
     {18 + kRight, 150, 62, 10},
     kWeekStartTip,
     ControlFlag::TabStop},
    {Id::WeekMonday,
     Kind::RadioButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "月曜始まり"),
     {84 + kRight, 150, 62, 10},
     kWeekStartTip,
     ControlFlag::TabStop},
    {Id::JapaneseLabels,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "年月・曜日を日本語で表示"),
     {18 + kRight, 162, 140, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog",
                       "タイトルと曜日を「2026年12月」「日 月 火 …」のように日本語で表示します。"
                       "オフのときは「2026 / December」「Sun Mon Tue …」です。")},
    {Id::WeekNumbers,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "週番号を表示"),
     {18 + kRight, 174, 140, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog",
                       "各週の左端に、その週の番号（ISO 8601）を表示します。")},
    {Id::OpaqueText,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "文字は透過させない"),
     {18 + kRight, 186, 140, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog",
                       "透過度を下げても文字は薄くせず、背景だけを透過させます。"
                       "写真の上でも文字が読みやすくなります。")},
    {Id::Legible,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "文字を読みやすく"),
     {18 + kRight, 198, 140, 10},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog",
                       "写真に合わせて文字色・背景色・透過度を選び、"
                       "すべての文字を 4.5:1 以上のコントラストで表示します。")},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "表示オプション"),
     {7 + kRight, 138, 157, 74}},
    {Id::SaturdayColorButton,
     Kind::PushButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "土曜の色"),
     {18 + kRight, 226, 62, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "土曜日の文字色を設定します")},
    {Id::SundayColorButton,
     Kind::PushButton,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "日曜・祝日の色"),
     {84 + kRight, 226, 74, 14},
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "日曜日と祝日の文字色を設定します")},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "曜日の色"),
     {7 + kRight, 216, 157, 30}},
};

// The size radios: a classic pictSize each, then the screen's and the custom size.
struct SizeRadio {
  SettingsControl id;
  SizeKind kind;
  std::int32_t pictSize;  // for SizeKind::Classic
};
constexpr SizeRadio kSizeRadios[] = {{Id::Radio800, SizeKind::Classic, 0},
                                     {Id::Radio1024, SizeKind::Classic, 1},
                                     {Id::Radio1280, SizeKind::Classic, 2},
                                     {Id::RadioScreen, SizeKind::Screen, 0},
                                     {Id::RadioCustom, SizeKind::Custom, 0}};

// The radio of the size the picture is drawn at: a value no radio chooses shows the size it falls
// back to.
bool ShowsSize(const CalendarSettings& settings, const SizeRadio& radio) {
  const SizeKind kind = SizeKindOf(settings);
  return radio.kind == kind &&
         (kind != SizeKind::Classic ||
          PictureDimensions(radio.pictSize) == PictureDimensions(settings.pictSize));
}

// pictSize keeps a classic size whatever else is chosen, for a build that knows no other.
void ChooseSize(CalendarSettings& settings, const SizeRadio& radio) {
  settings.sizeKind = radio.kind;
  if (radio.kind == SizeKind::Classic) {
    settings.pictSize = radio.pictSize;
  }
}

constexpr std::pair<SettingsControl, WeekStart> kWeekStartRadios[] = {
    {Id::WeekSunday, WeekStart::Sunday}, {Id::WeekMonday, WeekStart::Monday}};

// The block's on/off options.
struct OptionBox {
  SettingsControl id;
  bool (*on)(const CalendarSettings&);
  void (*set)(CalendarSettings&, bool);
};
constexpr OptionBox kOptionBoxes[] = {
    {Id::JapaneseLabels,
     [](const CalendarSettings& s) { return s.labels != LabelLanguage::English; },
     [](CalendarSettings& s, bool on) {
       s.labels = on ? LabelLanguage::Japanese : LabelLanguage::English;
     }},
    {Id::WeekNumbers, [](const CalendarSettings& s) { return s.weekNumbers; },
     [](CalendarSettings& s, bool on) { s.weekNumbers = on; }},
    {Id::OpaqueText, [](const CalendarSettings& s) { return s.opaqueText; },
     [](CalendarSettings& s, bool on) { s.opaqueText = on; }},
    {Id::Proportional, [](const CalendarSettings& s) { return s.proportional; },
     [](CalendarSettings& s, bool on) { s.proportional = on; }},
    {Id::AutoPlace, [](const CalendarSettings& s) { return s.autoPlace; },
     [](CalendarSettings& s, bool on) {
       // Turned on again, it places every photo anew.
       if (on && !s.autoPlace) {
         s.handPlacedPhoto.clear();
       }
       s.autoPlace = on;
     }},
    {Id::Legible, [](const CalendarSettings& s) { return s.legible; },
     [](CalendarSettings& s, bool on) { s.legible = on; }},
};

constexpr SettingsControl AnchorControl(int anchor) {
  return static_cast<SettingsControl>(static_cast<int>(Id::AnchorTopLeft) + anchor);
}

// A share in thousandths as the whole percent the dialog shows.
QString Percent(std::int32_t thousandths) {
  return QString::number((thousandths + 5) / 10);
}

constexpr std::pair<SettingsControl, PhotoFit> kFitRadios[] = {{Id::FitStretch, PhotoFit::Stretch},
                                                               {Id::FitFill, PhotoFit::Fill},
                                                               {Id::FitWhole, PhotoFit::Fit}};

constexpr const char* kNumericCaption = QT_TRANSLATE_NOOP("lunetta::SettingsDialog", "数値エラー");

// The refusal names the range, which follows the picture's size.
QString PositionRefused(QSize limits) {
  return SettingsDialog::
      tr("カレンダー位置が不適切です。Ｘ座標は 0～%1、Ｙ座標は 0～%2 の範囲で再入力して下さい。")
          .arg(limits.width())
          .arg(limits.height());
}

// The caption of the framework's own messages.
constexpr char kApplicationName[] = "Lunetta";

bool IsAsciiDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The black frame the sample is painted into.
class SampleFrame : public QWidget {
 public:
  SampleFrame(const CalendarSettings& settings, QWidget* parent)
      : QWidget(parent), settings_(settings) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PaintSample(painter, width(), height(), settings_);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }

 private:
  const CalendarSettings& settings_;
};

class QtSettingsPrompter final : public SettingsPrompter {
 public:
  void ShowError(QWidget* parent, const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
  }

  std::optional<FontSelection> ChooseFont(QWidget* parent, const FontSelection& initial) override {
    FontChooser chooser(initial, parent);
    if (chooser.exec() != QDialog::Accepted) {
      return std::nullopt;
    }
    return chooser.selection();
  }

  std::optional<QColor> ChooseBackColor(QWidget* parent) override {
    return ChooseColor(parent, QColor());
  }

  std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override {
    InitCustomColors();
    QColorDialog dialog(parent);
    if (initial.isValid()) {
      dialog.setCurrentColor(initial);
    }
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
      return std::nullopt;
    }
    return dialog.selectedColor();
  }
};

}  // namespace

Rect SampleTextBox(const TextMetrics& metrics, int frameWidth, int frameHeight) {
  const int width = 6 * metrics.maxCharWidth + 12 * metrics.aveCharWidth;
  const int height = metrics.height + 4;
  int left = (frameWidth - width) / 2;
  int top = (frameHeight - height) / 2;
  if (left < 0) {
    left = 2;
  }
  if (top < 0) {
    top = 2;
  }
  return Rect{left, top, left + width, top + height};
}

void PaintSample(QPainter& painter, int frameWidth, int frameHeight,
                 const CalendarSettings& settings) {
  const QFont font = CreateFont(QString::fromStdString(settings.fontName), settings.textSize,
                                settings.fontWeight, settings.fontItalic);
  const Rect box = SampleTextBox(MeasureFont(font), frameWidth, frameHeight);
  const QRect textRect(box.left, box.top, box.right - box.left, box.bottom - box.top);

  painter.save();
  FillSolidRect(painter, QRect(0, 0, frameWidth, frameHeight), ColorFromRef(settings.backColor));
  painter.setFont(font);
  // A single line is clipped to its box.
  painter.setClipRect(textRect);
  DrawSingleLineText(painter, textRect, QStringLiteral("Sample"), TextAlign::Left,
                     ColorFromRef(settings.textColor));
  painter.restore();
}

int FontDialogHeight(int textSize, int dpiY) {
  // In 64 bits and saturated: Text Size=1610612736 at 96 dpi is 2^31 pixels, and negating the
  // minimum int is undefined.
  const std::int64_t product = std::int64_t{textSize} * dpiY;
  const std::int64_t magnitude =
      std::min<std::int64_t>(((product < 0 ? -product : product) + 36) / 72, INT_MAX);
  return static_cast<int>(product < 0 ? magnitude : -magnitude);
}

int FontDialogPointSize(int height, int dpiY) {
  if (dpiY <= 0) {
    return 0;
  }
  return MulDiv(height < 0 ? -height : height, 72, dpiY);
}

int WholePoints(double pointSize) {
  // The font dialog offers a few hundred points at most; the clamp only keeps qRound defined.
  const double tenths = std::clamp(pointSize * 10.0, -1e9, 1e9);
  return qRound(tenths) / 10;
}

std::int32_t LeadingNumber(const QString& text) {
  return Atoi(QStringView(text).left(9).toUtf8().toStdString());
}

std::optional<std::uint32_t> ReadUnsigned(const QString& text) {
  qsizetype i = 0;
  const qsizetype size = text.size();
  while (i < size && IsBlank(text[i])) {
    ++i;
  }
  const qsizetype firstDigit = i;
  std::uint64_t value = 0;
  while (i < size && IsAsciiDigit(text[i])) {
    value = value * 10 + (text[i].unicode() - u'0');
    if (value > 0xFFFFFFFFu) {
      return std::nullopt;
    }
    ++i;
  }
  if (i == firstDigit) {
    return std::nullopt;
  }
  while (i < size && IsBlank(text[i])) {
    ++i;
  }
  if (i != size) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

void InitCustomColors() {
  static const bool done = [] {
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
      QColorDialog::setCustomColor(i, QColor(Qt::white));
    }
    return true;
  }();
  (void)done;
}

QSize CalendarPositionLimits(const CalendarSettings& settings, std::optional<PictureSize> screen) {
  const PictureSize limits = BlockPositionLimits(settings, screen);
  return QSize(limits.width, limits.height);
}

QString ScreenSizeLabel(std::optional<PictureSize> screen) {
  if (!screen) {
    return SettingsDialog::tr("画面サイズ");
  }
  return SettingsDialog::tr("画面サイズ (%1 × %2)").arg(screen->width).arg(screen->height);
}

std::unique_ptr<SettingsPrompter> MakeQtSettingsPrompter() {
  return std::make_unique<QtSettingsPrompter>();
}

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      prompter_(MakeQtSettingsPrompter()) {
  // Until setSettings, the dialog shows no face, the corner and a clear block.
  settings_.fontName.clear();
  settings_.startX = 0;
  settings_.startY = 0;
  settings_.transparency = 0;

  const ControlSet controls = BuildFromTemplate();
  ConnectChoices(controls);
  ConnectCommands(controls);
  setScreenSize(std::nullopt);
  LoadControls();
}

ControlSet SettingsDialog::BuildFromTemplate() {
  InstallFontSubstitutes();
  setWindowTitle(tr("画像・配置・フォントの設定"));
  setFont(TemplateFont(QStringLiteral("MS UI Gothic"), 10));
  const DialogUnits du(font());
  setFixedSize(du.x(kWidth), du.y(kHeight));

  auto* toolTips = new ToolTipRelay(this);
  ControlSet controls = BuildControls(
      *this, du, kControls, toolTips,
      [this](const ControlRow&, QWidget* parent) { return new SampleFrame(settings_, parent); });
  toolTips->setActive(true);

  okButton_ = controls.get<QPushButton>(Id::Ok);
  editX_ = controls.get<QLineEdit>(Id::EditX);
  editY_ = controls.get<QLineEdit>(Id::EditY);
  sampleFrame_ = controls.find(Id::SampleFrame);
  slider_ = controls.get<QSlider>(Id::Slider);
  editWidth_ = controls.get<QLineEdit>(Id::EditWidth);
  editHeight_ = controls.get<QLineEdit>(Id::EditHeight);
  screenRadio_ = controls.get<QRadioButton>(Id::RadioScreen);
  calendarFiles_ = new CalendarFilesBox(settings_, this);
  calendarFiles_->Place(du, kFilesLeft, 6, 157, kFilesHeight);
  editBlockHeight_ = controls.get<QLineEdit>(Id::EditBlockHeight);
  editMargin_ = controls.get<QLineEdit>(Id::EditMargin);
  layoutControls_ = {editBlockHeight_, editMargin_};
  for (int anchor = 0; anchor < kAnchorCount; ++anchor) {
    layoutControls_.push_back(controls.find(AnchorControl(anchor)));
  }
  return controls;
}

void SettingsDialog::ConnectChoices(const ControlSet& controls) {
  // Each radio group is exclusive, one tab stop, and takes the arrow keys.
  auto* sizes = new QButtonGroup(this);
  for (const SizeRadio& row : kSizeRadios) {
    AddChoice(
        controls.get<QRadioButton>(row.id), sizes,
        [row](const CalendarSettings& s) { return ShowsSize(s, row); },
        [row](CalendarSettings& s, bool) { ChooseSize(s, row); });
  }
  auto* fits = new QButtonGroup(this);
  for (const auto& [id, fit] : kFitRadios) {
    AddChoice(
        controls.get<QRadioButton>(id), fits,
        [fit = fit](const CalendarSettings& s) { return PhotoFitOf(s) == fit; },
        [fit = fit](CalendarSettings& s, bool) { s.photoFit = fit; });
  }
  auto* weekStarts = new QButtonGroup(this);
  for (const auto& [id, start] : kWeekStartRadios) {
    AddChoice(
        controls.get<QRadioButton>(id), weekStarts,
        [start = start](const CalendarSettings& s) { return WeekStartOf(s) == start; },
        [start = start](CalendarSettings& s, bool) { s.weekStart = start; });
  }
  auto* anchors = new QButtonGroup(this);
  for (int anchor = 0; anchor < kAnchorCount; ++anchor) {
    AddChoice(
        controls.get<QRadioButton>(AnchorControl(anchor)), anchors,
        [anchor](const CalendarSettings& s) { return s.anchor == anchor; },
        [anchor](CalendarSettings& s, bool) { s.anchor = anchor; });
  }
  for (const OptionBox& box : kOptionBoxes) {
    AddChoice(controls.get<QCheckBox>(box.id), nullptr, box.on, box.set);
  }
  connect(controls.get<QCheckBox>(Id::Proportional), &QCheckBox::toggled, this,
          &SettingsDialog::EnableLayout);
}

void SettingsDialog::AddChoice(QAbstractButton* button, QButtonGroup* group,
                               std::function<bool(const CalendarSettings&)> chosen,
                               std::function<void(CalendarSettings&, bool)> choose) {
  if (group != nullptr) {
    // A radio chooses when it is clicked; the size it chooses decides whether the custom size's
    // edits may be used.
    group->addButton(button);
    connect(button, &QAbstractButton::clicked, this, [this, choose] {
      choose(settings_, true);
      EnableCustomSize();
    });
  } else {
    connect(button, &QAbstractButton::toggled, this,
            [this, choose](bool on) { choose(settings_, on); });
  }
  choices_.push_back({button, std::move(chosen), std::move(choose)});
}

void SettingsDialog::ConnectCommands(const ControlSet& controls) {
  connect(editWidth_, &QLineEdit::textChanged, this,
          [this] { settings_.customWidth = LeadingNumber(editWidth_->text()); });
  connect(editHeight_, &QLineEdit::textChanged, this,
          [this] { settings_.customHeight = LeadingNumber(editHeight_->text()); });
  connect(controls.get<QPushButton>(Id::FontButton), &QPushButton::clicked, this,
          &SettingsDialog::OnFontButton);
  connect(controls.get<QPushButton>(Id::BackColorButton), &QPushButton::clicked, this,
          &SettingsDialog::OnBackColorButton);
  connect(controls.get<QPushButton>(Id::SaturdayColorButton), &QPushButton::clicked, this,
          [this] { OnWeekendColorButton(&CalendarSettings::saturdayColor); });
  connect(controls.get<QPushButton>(Id::SundayColorButton), &QPushButton::clicked, this,
          [this] { OnWeekendColorButton(&CalendarSettings::sundayColor); });
  connect(okButton_, &QPushButton::clicked, this, &SettingsDialog::OnOKButton);
  connect(editX_, &QLineEdit::textChanged, this, &SettingsDialog::OnChangeX);
  connect(editY_, &QLineEdit::textChanged, this, &SettingsDialog::OnChangeY);
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::setSettings(const CalendarSettings& settings) {
  settings_ = settings;
  LoadControls();
  DrawSample();
}

void SettingsDialog::applyTo(CalendarSettings& settings) const {
  const int year = settings.year;
  const int month = settings.month;
  settings = settings_;
  settings.year = year;
  settings.month = month;
}

void SettingsDialog::setScreenSize(std::optional<PictureSize> screen) {
  screen_ = screen;
  screenRadio_->setText(ScreenSizeLabel(screen));
  screenRadio_->adjustSize();
  screenRadio_->setEnabled(screen.has_value());
}

void SettingsDialog::setPrompter(std::unique_ptr<SettingsPrompter> prompter) {
  prompter_ = std::move(prompter);
}

void SettingsDialog::DrawSample() {
  sampleFrame_->update();
}

void SettingsDialog::LoadControls() {
  slider_->setRange(0, 255);
  slider_->setValue(settings_.transparency);
  // Each choice shows what the settings hold; a value no radio chooses shows what it falls back
  // to, and keeps its value until a radio is clicked.
  for (const Choice& choice : choices_) {
    choice.button->setChecked(choice.chosen(settings_));
  }
  editWidth_->setText(QString::number(settings_.customWidth));
  editHeight_->setText(QString::number(settings_.customHeight));
  EnableCustomSize();
  editBlockHeight_->setText(Percent(settings_.blockHeightShare));
  editMargin_->setText(Percent(settings_.marginShare));
  EnableLayout();
  // Setting the texts runs OnChangeX/OnChangeY, as typing does.
  editX_->setText(QString::number(static_cast<std::uint32_t>(settings_.startX)));
  editY_->setText(QString::number(static_cast<std::uint32_t>(settings_.startY)));
  calendarFiles_->Load();
  okButton_->setFocus();
}

void SettingsDialog::OnFontButton() {
  const int dpi = logicalDpiY();
  FontSelection initial;
  initial.face = QString::fromStdString(settings_.fontName);
  initial.pointSize = FontDialogPointSize(FontDialogHeight(settings_.textSize, dpi), dpi);
  initial.weight = settings_.fontWeight;
  initial.italic = settings_.fontItalic;
  // The colour box starts at the text colour, so confirming a new face keeps the colour.
  initial.color = ColorFromRef(settings_.textColor);

  const std::optional<FontSelection> chosen = prompter_->ChooseFont(this, initial);
  if (!chosen) {
    return;
  }
  settings_.fontName = chosen->face.toStdString();
  if (chosen->pointSize > 0) {
    settings_.textSize = WholePoints(chosen->pointSize);
  }
  settings_.textColor = RefFromColor(chosen->color);
  settings_.fontWeight = chosen->weight;
  settings_.fontItalic = chosen->italic;
  DrawSample();
}

void SettingsDialog::OnBackColorButton() {
  const std::optional<QColor> chosen = prompter_->ChooseBackColor(this);
  if (!chosen) {
    return;
  }
  settings_.backColor = RefFromColor(*chosen);
  DrawSample();
}

void SettingsDialog::OnWeekendColorButton(ColorRef CalendarSettings::*color) {
  const std::optional<QColor> chosen = prompter_->ChooseColor(this, ColorFromRef(settings_.*color));
  if (chosen) {
    settings_.*color = RefFromColor(*chosen);
  }
}

// In proportional layout the block's share and anchor place it; otherwise its corner does.
void SettingsDialog::EnableLayout() {
  const bool proportional = settings_.proportional;
  for (QWidget* control : layoutControls_) {
    control->setEnabled(proportional);
  }
  editX_->setEnabled(!proportional);
  editY_->setEnabled(!proportional);
}

// The shares as typed, kept as they were when their text is unchanged (a share given in tenths of
// a percent on the command line stays exact).
bool SettingsDialog::ReadLayout() {
  const struct {
    QLineEdit* edit;
    std::int32_t CalendarSettings::*share;
    int low, high;
  } shares[] = {
      {editBlockHeight_, &CalendarSettings::blockHeightShare, kMinBlockHeightShare,
       kMaxBlockHeightShare},
      {editMargin_, &CalendarSettings::marginShare, 0, kMaxMarginShare},
  };
  for (const auto& [edit, share, low, high] : shares) {
    if (edit->text() == Percent(settings_.*share)) {
      continue;
    }
    const std::optional<std::uint32_t> percent = ReadUnsigned(edit->text());
    if (!percent || *percent * 10 < static_cast<std::uint32_t>(low) ||
        *percent * 10 > static_cast<std::uint32_t>(high)) {
      RefuseEdit(edit,
                 tr("カレンダーの高さは %1～%2 %、余白は 0～%3 % の範囲で入力して下さい。")
                     .arg(kMinBlockHeightShare / 10)
                     .arg(kMaxBlockHeightShare / 10)
                     .arg(kMaxMarginShare / 10),
                 tr(kNumericCaption));
      return false;
    }
    settings_.*share = static_cast<std::int32_t>(*percent * 10);
  }
  return true;
}

void SettingsDialog::EnableCustomSize() {
  const bool custom = SizeKindOf(settings_) == SizeKind::Custom;
  editWidth_->setEnabled(custom);
  editHeight_->setEnabled(custom);
}

void SettingsDialog::OnChangeX() {
  settings_.startX = LeadingNumber(editX_->text());
}

void SettingsDialog::OnChangeY() {
  settings_.startY = LeadingNumber(editY_->text());
}

void SettingsDialog::OnOKButton() {
  // The position's range follows the picture's size, so a custom size is checked first.
  if (SizeKindOf(settings_) == SizeKind::Custom) {
    for (auto [edit, side] : {std::pair(editWidth_, &CalendarSettings::customWidth),
                              std::pair(editHeight_, &CalendarSettings::customHeight)}) {
      const std::optional<std::uint32_t> value = ReadUnsigned(edit->text());
      if (!value || *value < static_cast<std::uint32_t>(kMinPictureSide) ||
          *value > static_cast<std::uint32_t>(kMaxPictureSide)) {
        RefuseEdit(edit,
                   tr("画像サイズは幅、高さとも %1～%2 の範囲で入力して下さい。")
                       .arg(kMinPictureSide)
                       .arg(kMaxPictureSide),
                   tr(kNumericCaption));
        return;
      }
      settings_.*side = static_cast<std::int32_t>(*value);
    }
  }
  const QSize limits = CalendarPositionLimits(settings_, screen_);
  if (static_cast<std::uint32_t>(settings_.startX) > static_cast<std::uint32_t>(limits.width()) ||
      static_cast<std::uint32_t>(settings_.startY) > static_cast<std::uint32_t>(limits.height())) {
    prompter_->ShowError(this, PositionRefused(limits), tr(kNumericCaption));
    return;
  }
  if (settings_.proportional && !ReadLayout()) {
    return;
  }
  if (OnOK()) {
    accept();
  }
}

bool SettingsDialog::OnOK() {
  const QString notUnsigned = tr("正の整数を入力してください。");
  const QString caption = QString::fromLatin1(kApplicationName);
  const std::optional<std::uint32_t> x = ReadUnsigned(editX_->text());
  if (!x) {
    RefuseEdit(editX_, notUnsigned, caption);
    return false;
  }
  const std::optional<std::uint32_t> y = ReadUnsigned(editY_->text());
  if (!y) {
    RefuseEdit(editY_, notUnsigned, caption);
    return false;
  }
  // The check before saw only the first nine characters; a longer text such as "0000000012000"
  // must not bring in a position out of range.
  const QSize limits = CalendarPositionLimits(settings_, screen_);
  const auto maxX = static_cast<std::uint32_t>(limits.width());
  const auto maxY = static_cast<std::uint32_t>(limits.height());
  if (*x > maxX || *y > maxY) {
    RefuseEdit(*x > maxX ? editX_ : editY_, PositionRefused(limits), tr(kNumericCaption));
    return false;
  }
  settings_.startX = static_cast<std::int32_t>(*x);
  settings_.startY = static_cast<std::int32_t>(*y);
  settings_.transparency = slider_->value();
  return true;
}

void SettingsDialog::RefuseEdit(QLineEdit* edit, const QString& text, const QString& caption) {
  prompter_->ShowError(this, text, caption);
  edit->setFocus();
  edit->selectAll();
}

}  // namespace lunetta
