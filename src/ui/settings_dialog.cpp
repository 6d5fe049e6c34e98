#include "ui/settings_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QColorDialog>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>
#include <vector>

#include "platform/c_runtime.h"
#include "platform/dialog_units.h"
#include "platform/drawing.h"
#include "ui/tool_tip_relay.h"

namespace lunetta {

namespace {

constexpr int kOkId = 1;
constexpr int kEditXId = 1001;
constexpr int kEditYId = 1002;
constexpr int kFontButtonId = 1004;
constexpr int kTransparencyLabelId = 1005;
constexpr int kBackColorButtonId = 1008;
constexpr int kSliderId = 1009;
constexpr int kSampleFrameId = 1011;
constexpr int kRadio800Id = 1014;
constexpr int kRadio1024Id = 1015;
constexpr int kRadio1280Id = 1016;

// The caption of the framework's own messages.
constexpr char kApplicationName[] = "Lunetta";

bool IsAsciiDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Digits only, as far as typing goes: pasted or programmatic text may still be anything, and the
// reading on OK judges it.
class NumberEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QString text = event->text();
    const bool command =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    const bool printable = !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                                          [](QChar c) { return c.isPrint(); });
    if (!command && printable && !std::all_of(text.begin(), text.end(), IsAsciiDigit)) {
      QApplication::beep();
      event->accept();
      return;
    }
    QLineEdit::keyPressEvent(event);
  }

  void inputMethodEvent(QInputMethodEvent* event) override {
    const QString commit = event->commitString();
    if (!std::all_of(commit.begin(), commit.end(), IsAsciiDigit)) {
      QApplication::beep();
      event->accept();
      return;
    }
    QLineEdit::inputMethodEvent(event);
  }
};

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

  std::optional<ColorRef> ChooseBackColor(QWidget* parent) override {
    InitCustomColors();
    QColorDialog dialog(parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
      return std::nullopt;
    }
    return RefFromColor(dialog.selectedColor());
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
                                settings.fontWeight, settings.fontItalic != 0);
  const Rect box = SampleTextBox(MeasureFont(font), frameWidth, frameHeight);
  const QRect textRect(box.left, box.top, box.right - box.left, box.bottom - box.top);

  painter.save();
  FillSolidRect(painter, QRect(0, 0, frameWidth, frameHeight), settings.backColor);
  painter.setFont(font);
  // A single line is clipped to its box.
  painter.setClipRect(textRect);
  DrawSingleLineText(painter, textRect, QStringLiteral("Sample"), TextAlign::Left,
                     settings.textColor);
  painter.restore();
}

int FontDialogHeight(int textSize, int dpiY) {
  return -MulDiv(textSize, dpiY, 72);
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

std::unique_ptr<SettingsPrompter> MakeQtSettingsPrompter() {
  return std::make_unique<QtSettingsPrompter>();
}

SettingsDialog::SettingsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      prompter_(MakeQtSettingsPrompter()) {
  static const bool substituted = (InstallFontSubstitutions(), true);
  (void)substituted;

  settings_.fontName.clear();
  settings_.startX = 0;
  settings_.startY = 0;
  settings_.transparency = 0;

  setWindowTitle(QStringLiteral("フォント設定"));
  setFont(TemplateFont(QStringLiteral("MS UI Gothic"), 10));
  const DialogUnits du(font());
  setFixedSize(du.x(171), du.y(258));

  // Created in the template's order, which is also the tab order.
  okButton_ = new QPushButton(QStringLiteral("OK"), this);
  okButton_->setGeometry(du.rect(110, 235, 54, 14));
  okButton_->setDefault(true);
  SetControlId(okButton_, kOkId);

  editX_ = new NumberEdit(this);
  editX_->setGeometry(du.rect(44, 209, 30, 14));
  editX_->setInputMethodHints(Qt::ImhDigitsOnly);
  SetControlId(editX_, kEditXId);

  editY_ = new NumberEdit(this);
  editY_->setGeometry(du.rect(106, 209, 30, 14));
  editY_->setInputMethodHints(Qt::ImhDigitsOnly);
  SetControlId(editY_, kEditYId);

  auto* fontButton = new QPushButton(QStringLiteral("フォント"), this);
  fontButton->setGeometry(du.rect(43, 84, 55, 14));
  SetControlId(fontButton, kFontButtonId);

  auto* backColorButton = new QPushButton(QStringLiteral("背景色"), this);
  backColorButton->setGeometry(du.rect(103, 84, 54, 14));
  SetControlId(backColorButton, kBackColorButtonId);

  sampleFrame_ = new SampleFrame(settings_, this);
  sampleFrame_->setGeometry(du.rect(13, 102, 145, 53));
  SetControlId(sampleFrame_, kSampleFrameId);

  auto* transparencyLabel = new QLabel(QStringLiteral("透過度"), this);
  transparencyLabel->setGeometry(du.rect(14, 158, 44, 8));
  SetControlId(transparencyLabel, kTransparencyLabelId);

  slider_ = new QSlider(Qt::Horizontal, this);
  slider_->setGeometry(du.rect(12, 168, 144, 15));
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setTickInterval(1);
  SetControlId(slider_, kSliderId);

  std::vector<QGroupBox*> groups;
  const auto addGroup = [&](const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, this);
    group->setGeometry(geometry);
    groups.push_back(group);
  };
  addGroup(QStringLiteral("画像サイズ"), du.rect(7, 6, 157, 52));
  addGroup(QStringLiteral("カレンダー設定"), du.rect(7, 66, 157, 124));

  const auto addRadio = [&](const QString& text, QRect geometry, int id) {
    auto* radio = new QRadioButton(text, this);
    radio->setGeometry(geometry);
    // Not a tab stop, but a click still focuses it.
    radio->setFocusPolicy(Qt::ClickFocus);
    SetControlId(radio, id);
    return radio;
  };
  radio800_ = addRadio(QStringLiteral("800 × 600"), du.rect(19, 18, 52, 10), kRadio800Id);
  radio1024_ = addRadio(QStringLiteral("1024 × 768"), du.rect(18, 30, 56, 10), kRadio1024Id);
  radio1280_ = addRadio(QStringLiteral("1280 × 1024"), du.rect(18, 42, 60, 10), kRadio1280Id);
  auto* radios = new QButtonGroup(this);
  radios->addButton(radio800_);
  radios->addButton(radio1024_);
  radios->addButton(radio1280_);

  const auto addStatic = [&](const QString& text, QRect geometry) {
    auto* label = new QLabel(text, this);
    // The substitute face runs a little wider than the template's; let the text show whole.
    geometry.setWidth(std::max(geometry.width(), label->sizeHint().width()));
    label->setGeometry(geometry);
  };
  addStatic(QStringLiteral("Ｘ座標"), du.rect(21, 209, 20, 8));
  addStatic(QStringLiteral("Ｙ座標"), du.rect(82, 209, 20, 8));
  addGroup(QStringLiteral("カレンダー位置（微調整）"), du.rect(7, 194, 157, 33));

  // Group boxes only frame their controls; beneath them they cannot take the controls' clicks.
  for (QGroupBox* group : groups) {
    group->lower();
  }

  toolTip_ = new ToolTipRelay(this);
  toolTip_->setMaxTipWidth(320);
  toolTip_->setDelays(100, 10000);
  toolTip_->addTool(backColorButton, QStringLiteral("カレンダーの背景色を設定します"));
  toolTip_->addTool(fontButton, QStringLiteral("カレンダーのフォントを設定します"));
  toolTip_->addTool(okButton_, QStringLiteral("カレンダー設定を終了します。"));
  toolTip_->addTool(slider_, QStringLiteral("カレンダーの透過度を設定します"));
  toolTip_->addTool(editX_, QStringLiteral("カレンダーの位置（Ｘ座標）を設定します"));
  toolTip_->addTool(editY_, QStringLiteral("カレンダーの位置（Ｙ座標）を設定します"));
  for (QRadioButton* radio : {radio800_, radio1024_, radio1280_}) {
    toolTip_->addTool(radio, QStringLiteral("印刷のベース画像の大きさを選択します。"));
  }
  toolTip_->setActive(true);

  connect(fontButton, &QPushButton::clicked, this, &SettingsDialog::OnFontButton);
  connect(backColorButton, &QPushButton::clicked, this, &SettingsDialog::OnBackColorButton);
  connect(radio800_, &QRadioButton::clicked, this, &SettingsDialog::OnPictSize800);
  connect(radio1024_, &QRadioButton::clicked, this, &SettingsDialog::OnPictSize1024);
  connect(radio1280_, &QRadioButton::clicked, this, &SettingsDialog::OnPictSize1280);
  connect(okButton_, &QPushButton::clicked, this, &SettingsDialog::OnOKButton);
  connect(editX_, &QLineEdit::textChanged, this, &SettingsDialog::OnChangeX);
  connect(editY_, &QLineEdit::textChanged, this, &SettingsDialog::OnChangeY);

  LoadControls();
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

void SettingsDialog::setPrompter(std::unique_ptr<SettingsPrompter> prompter) {
  prompter_ = std::move(prompter);
}

void SettingsDialog::DrawSample() {
  sampleFrame_->update();
}

void SettingsDialog::LoadControls() {
  slider_->setRange(0, 255);
  slider_->setValue(settings_.transparency);
  // pictSize itself keeps its value until a radio button is clicked.
  switch (settings_.pictSize) {
    case 0:
      radio800_->setChecked(true);
      break;
    case 1:
      radio1024_->setChecked(true);
      break;
    default:
      radio1280_->setChecked(true);
      break;
  }
  // Setting the texts runs OnChangeX/OnChangeY, as typing does.
  editX_->setText(QString::number(static_cast<std::uint32_t>(settings_.startX)));
  editY_->setText(QString::number(static_cast<std::uint32_t>(settings_.startY)));
  okButton_->setFocus();
}

void SettingsDialog::OnFontButton() {
  const int dpi = logicalDpiY();
  FontSelection initial;
  initial.face = QString::fromStdString(settings_.fontName);
  initial.pointSize = FontDialogPointSize(FontDialogHeight(settings_.textSize, dpi), dpi);
  initial.weight = settings_.fontWeight;
  initial.italic = settings_.fontItalic != 0;
  // The colour box starts at the text colour, so confirming a new face keeps the colour.
  initial.color = settings_.textColor;

  const std::optional<FontSelection> chosen = prompter_->ChooseFont(this, initial);
  if (!chosen) {
    return;
  }
  settings_.fontName = chosen->face.toStdString();
  if (chosen->pointSize > 0) {
    settings_.textSize = WholePoints(chosen->pointSize);
  }
  settings_.textColor = chosen->color;
  settings_.fontWeight = chosen->weight;
  settings_.fontItalic = chosen->italic ? 1 : 0;
  DrawSample();
}

void SettingsDialog::OnBackColorButton() {
  const std::optional<ColorRef> chosen = prompter_->ChooseBackColor(this);
  if (!chosen) {
    return;
  }
  settings_.backColor = *chosen;
  DrawSample();
}

void SettingsDialog::OnPictSize800() {
  settings_.pictSize = 0;
}

void SettingsDialog::OnPictSize1024() {
  settings_.pictSize = 1;
}

void SettingsDialog::OnPictSize1280() {
  settings_.pictSize = 2;
}

void SettingsDialog::OnChangeX() {
  settings_.startX = LeadingNumber(editX_->text());
}

void SettingsDialog::OnChangeY() {
  settings_.startY = LeadingNumber(editY_->text());
}

void SettingsDialog::OnOKButton() {
  if (static_cast<std::uint32_t>(settings_.startX) > kMaxCalendarPosition ||
      static_cast<std::uint32_t>(settings_.startY) > kMaxCalendarPosition) {
    prompter_->ShowError(this, QStringLiteral("カレンダー位置が不適切です。再入力して下さい。"),
                         QStringLiteral("数値エラー"));
    return;
  }
  if (OnOK()) {
    accept();
  }
}

bool SettingsDialog::OnOK() {
  const QString notUnsigned = QStringLiteral("正の整数を入力してください。");
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
  if (*x > kMaxCalendarPosition || *y > kMaxCalendarPosition) {
    RefuseEdit(*x > kMaxCalendarPosition ? editX_ : editY_,
               QStringLiteral("カレンダー位置が不適切です。再入力して下さい。"),
               QStringLiteral("数値エラー"));
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
