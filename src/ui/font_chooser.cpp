#include "ui/font_chooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace lunetta {

namespace {

constexpr std::array<const char*, 16> kColorNames = {
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "黒"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "栗色"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "緑"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "オリーブ"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "紺"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "紫"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "青緑"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "灰色"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "銀色"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "赤"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "ライム"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "黄"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "青"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "赤紫"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "水色"),
    QT_TRANSLATE_NOOP("lunetta::FontChooser", "白")};

QIcon Swatch(const QColor& color) {
  QPixmap pixmap(24, 12);
  pixmap.fill(color);
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return QIcon(pixmap);
}

QFont::Weight QtWeight(int weight) {
  // 0 means "don't care", drawn as normal.
  if (weight <= 0) {
    return QFont::Normal;
  }
  return static_cast<QFont::Weight>(std::min(weight, 1000));
}

}  // namespace

FontChooser::FontChooser(const FontSelection& initial, QWidget* parent)
    : QDialog(parent), requestedFace_(initial.face) {
  setWindowTitle(tr("フォント"));

  fontDialog_ = new QFontDialog(this);
  // Embedded as a plain widget: our own buttons end the choice.
  fontDialog_->setWindowFlags(Qt::Widget);
  fontDialog_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  QFont font(initial.face);
  if (initial.pointSize > 0) {
    font.setPointSizeF(initial.pointSize);
  }
  font.setWeight(QtWeight(initial.weight));
  font.setItalic(initial.italic);
  fontDialog_->setCurrentFont(font);
  shownFace_ = fontDialog_->currentFont().family();
  fontDialog_->setSizeGripEnabled(false);
  // Escape inside the embedded dialog would only hide it; it cancels the whole choice instead.
  connect(fontDialog_, &QDialog::rejected, this, &QDialog::reject);
  // Enter inside it would find no default button there; it confirms the whole choice instead.
  fontDialog_->installEventFilter(this);

  colorBox_ = new QComboBox(this);
  for (std::size_t i = 0; i < kColorNames.size(); ++i) {
    const QColor color = QColor::fromRgb(kStandardColors[i]);
    colorBox_->addItem(Swatch(color), tr(kColorNames[i]), color);
  }
  int index = colorBox_->findData(initial.color);
  if (index < 0) {
    // A colour outside the list stays choosable, so confirming does not change it.
    colorBox_->addItem(Swatch(initial.color), tr("カスタム"), initial.color);
    index = colorBox_->count() - 1;
  }
  colorBox_->setCurrentIndex(index);

  auto* colorLabel = new QLabel(tr("色(&C):"), this);
  colorLabel->setBuddy(colorBox_);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(tr("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(colorLabel);
  colorRow->addWidget(colorBox_);
  colorRow->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fontDialog_);
  layout->addLayout(colorRow);
  layout->addWidget(buttons);
}

bool FontChooser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == fontDialog_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

FontSelection FontChooser::selection() const {
  const QFont font = fontDialog_->currentFont();
  FontSelection result;
  result.face = font.family() == shownFace_ ? requestedFace_ : font.family();
  result.pointSize = font.pointSizeF();
  result.weight = static_cast<int>(font.weight());
  result.italic = font.italic();
  result.color = colorBox_->currentData().value<QColor>();
  return result;
}

}  // namespace lunetta
