#include "ui/control_table.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "ui/tool_tip_relay.h"

namespace lunetta {

namespace {

bool IsAsciiDigit(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Digits only, as far as typing goes: pasted or programmatic text may still be anything, and the
// dialog judges it when it reads the edit.
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

class MultiLineButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    style()->drawItemText(&painter, contents, Qt::AlignCenter | Qt::TextWordWrap, palette(),
                          isEnabled(), caption, QPalette::ButtonText);
  }
};

QString Translated(const char* context, const char* text) {
  return text == nullptr ? QString() : QCoreApplication::translate(context, text);
}

QWidget* MakeButton(const ControlRow& row, const QString& text, QWidget* dialog) {
  QPushButton* button = row.kind == ControlKind::PushButton ? new QPushButton(text, dialog)
                                                            : new MultiLineButton(text, dialog);
  button->setDefault(row.flags.testFlag(ControlFlag::Default));
  return button;
}

QWidget* MakeNumberEdit(const QString& text, QWidget* dialog) {
  auto* edit = new NumberEdit(text, dialog);
  edit->setInputMethodHints(Qt::ImhDigitsOnly);
  return edit;
}

QWidget* MakeReadOnlyEdit(const ControlRow& row, const QString& text, QWidget* dialog) {
  auto* edit = new QLineEdit(text, dialog);
  edit->setReadOnly(true);
  edit->setFrame(row.flags.testFlag(ControlFlag::Border));
  edit->setAlignment(row.flags.testFlag(ControlFlag::AlignRight)    ? Qt::AlignRight
                     : row.flags.testFlag(ControlFlag::AlignCenter) ? Qt::AlignCenter
                                                                    : Qt::AlignLeft);
  edit->setFocusPolicy(Qt::ClickFocus);
  // A read-only edit of the templates is painted in the window colour, not as an entry field.
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  edit->setPalette(palette);
  return edit;
}

QWidget* MakeSelector(QWidget* dialog) {
  auto* selector = new QComboBox(dialog);
  selector->setEditable(true);
  selector->setInsertPolicy(QComboBox::NoInsert);
  selector->setMaxVisibleItems(12);
  return selector;
}

QWidget* MakeSlider(QWidget* dialog) {
  auto* slider = new QSlider(Qt::Horizontal, dialog);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  return slider;
}

QWidget* MakeRadioButton(const ControlRow& row, const QString& text, QWidget* dialog) {
  auto* radio = new QRadioButton(text, dialog);
  // Not a tab stop, but a click still focuses it. Qt makes the checked button of an exclusive
  // group a tab stop whenever the check moves; the templates' radio buttons never are. A TabStop
  // row's checked button is, so that Tab reaches the group at its choice.
  const bool tabStop = row.flags.testFlag(ControlFlag::TabStop);
  radio->setFocusPolicy(Qt::ClickFocus);
  QObject::connect(radio, &QAbstractButton::toggled, radio, [radio, tabStop](bool checked) {
    radio->setFocusPolicy(tabStop && checked ? Qt::StrongFocus : Qt::ClickFocus);
  });
  return radio;
}

QWidget* MakeStaticText(const ControlRow& row, const QString& text, QWidget* dialog) {
  auto* label = new QLabel(text, dialog);
  label->setTextFormat(Qt::PlainText);
  if (row.flags.testFlag(ControlFlag::AlignRight)) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  label->setAttribute(Qt::WA_TransparentForMouseEvents,
                      row.flags.testFlag(ControlFlag::MouseTransparent));
  return label;
}

QWidget* MakeGroupBox(const QString& text, QWidget* dialog) {
  auto* group = new QGroupBox(text, dialog);
  group->setFocusPolicy(Qt::NoFocus);
  // Beneath the controls it frames, so it cannot take their clicks.
  group->lower();
  return group;
}

QWidget* MakeFrame(QWidget* dialog) {
  auto* frame = new QFrame(dialog);
  frame->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette palette = frame->palette();
  palette.setColor(QPalette::WindowText, Qt::gray);
  frame->setPalette(palette);
  frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  return frame;
}

QWidget* MakeControl(const ControlRow& row, const QString& text, QWidget* dialog,
                     const CustomControlFactory& custom) {
  switch (row.kind) {
    case ControlKind::PushButton:
    case ControlKind::MultiLineButton:
      return MakeButton(row, text, dialog);
    case ControlKind::NumberEdit:
      return MakeNumberEdit(text, dialog);
    case ControlKind::ReadOnlyEdit:
      return MakeReadOnlyEdit(row, text, dialog);
    case ControlKind::Selector:
      return MakeSelector(dialog);
    case ControlKind::Slider:
      return MakeSlider(dialog);
    case ControlKind::RadioButton:
      return MakeRadioButton(row, text, dialog);
    case ControlKind::CheckBox:
      return new QCheckBox(text, dialog);
    case ControlKind::StaticText:
      return MakeStaticText(row, text, dialog);
    case ControlKind::GroupBox:
      return MakeGroupBox(text, dialog);
    case ControlKind::Frame:
      return MakeFrame(dialog);
    case ControlKind::Custom:
      return custom ? custom(row, dialog) : nullptr;
  }
  return nullptr;
}

QRect Geometry(const ControlRow& row, QWidget* control, const DialogUnits& units) {
  QRect place = units.rect(row.place);
  switch (row.kind) {
    case ControlKind::Selector:
      // The template's height includes the drop-down list; the field itself is one line high.
      place.setHeight(control->sizeHint().height());
      break;
    case ControlKind::StaticText:
      if (row.flags.testFlag(ControlFlag::FitText)) {
        // The substitute face runs a little wider than the template's; let the text show whole.
        place.setWidth(std::max(place.width(), control->sizeHint().width()));
      }
      break;
    default:
      break;
  }
  return place;
}

}  // namespace

QWidget* ControlSet::find(RowId id) const {
  if (id == kNoId) {
    return nullptr;
  }
  const auto found = std::find(ids_.begin(), ids_.end(), id);
  return found == ids_.end() ? nullptr : controls_[static_cast<std::size_t>(found - ids_.begin())];
}

ControlSet BuildControls(QWidget& dialog, const DialogUnits& units,
                         std::span<const ControlRow> rows, ToolTipRelay* toolTips,
                         const CustomControlFactory& custom) {
  const char* context = dialog.metaObject()->className();
  ControlSet made;
  made.ids_.reserve(rows.size());
  made.controls_.reserve(rows.size());
  for (const ControlRow& row : rows) {
    // Created in table order: Qt's tab order is the order in which siblings are created.
    QWidget* control = MakeControl(row, Translated(context, row.text), &dialog, custom);
    Q_ASSERT_X(control != nullptr, "BuildControls", "a Custom row needs a factory");
    made.ids_.push_back(row.id);
    made.controls_.push_back(control);
    if (control == nullptr) {
      continue;
    }
    control->setGeometry(Geometry(row, control, units));
    if (row.id != kNoId) {
      SetControlId(control, row.id.value());
    }
    if (row.toolTip != nullptr && *row.toolTip != '\0' && toolTips != nullptr) {
      toolTips->addTool(control, Translated(context, row.toolTip));
    }
  }
  return made;
}

}  // namespace lunetta
