#include "ui/tool_tip_relay.h"

#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QToolTip>
#include <QWidget>

namespace lunetta {

namespace {

// A tip shows after the pointer has rested this long, stays up this long, and wraps at this
// width.
constexpr int kShowAfterMs = 100;
constexpr int kHideAfterMs = 10000;
constexpr int kMaxWidth = 320;

}  // namespace

ToolTipRelay::ToolTipRelay(QWidget* owner) : QObject(owner) {
  // A child window of the owner, shown on its own as a tip.
  tip_ = new QLabel(owner, Qt::ToolTip | Qt::BypassGraphicsProxyWidget);
  tip_->setObjectName(QStringLiteral("toolTipWindow"));
  tip_->setMargin(4);
  tip_->setFrameStyle(QFrame::Box | QFrame::Plain);
  tip_->setPalette(QToolTip::palette());
  tip_->setFont(QToolTip::font());
  tip_->setForegroundRole(QPalette::ToolTipText);
  tip_->setBackgroundRole(QPalette::ToolTipBase);
  tip_->setAutoFillBackground(true);
  tip_->hide();

  showTimer_.setSingleShot(true);
  hideTimer_.setSingleShot(true);
  showTimer_.setInterval(kShowAfterMs);
  hideTimer_.setInterval(kHideAfterMs);
  connect(&showTimer_, &QTimer::timeout, this, &ToolTipRelay::ShowTip);
  connect(&hideTimer_, &QTimer::timeout, this, [this] {
    HideTip();
    poppedDown_ = true;
  });
}

void ToolTipRelay::addTool(QWidget* control, const QString& text) {
  texts_.insert(control, text);
  control->setToolTip(text);
  control->installEventFilter(this);
  connect(control, &QObject::destroyed, this,
          [this, control] { texts_.remove(static_cast<QWidget*>(control)); });
}

void ToolTipRelay::setActive(bool active) {
  active_ = active;
  if (!active) {
    HideTip();
  }
}

bool ToolTipRelay::eventFilter(QObject* watched, QEvent* event) {
  auto* control = qobject_cast<QWidget*>(watched);
  if (control == nullptr || !texts_.contains(control)) {
    return QObject::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::ToolTip:
      // Ours show instead of Qt's.
      return true;
    case QEvent::Enter:
      current_ = control;
      poppedDown_ = false;
      if (active_) {
        showTimer_.start();
      }
      break;
    case QEvent::MouseMove:
      // The delay counts from when the pointer comes to rest.
      if (active_ && current_ == control && !tip_->isVisible() && !poppedDown_) {
        showTimer_.start();
      }
      break;
    case QEvent::Leave:
    case QEvent::Hide:
      if (current_ == control) {
        current_ = nullptr;
      }
      HideTip();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
      HideTip();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void ToolTipRelay::ShowTip() {
  if (!active_ || current_ == nullptr || !current_->isVisible()) {
    return;
  }
  tip_->setText(texts_.value(current_));
  // One line while it fits; wrapped at the greatest tip width otherwise.
  tip_->setWordWrap(false);
  QSize size = tip_->sizeHint();
  if (size.width() > kMaxWidth) {
    tip_->setWordWrap(true);
    size = QSize(kMaxWidth, tip_->heightForWidth(kMaxWidth));
  }
  tip_->resize(size);
  tip_->move(QCursor::pos() + QPoint(2, 20));
  tip_->show();
  tip_->raise();
  hideTimer_.start();
}

void ToolTipRelay::HideTip() {
  showTimer_.stop();
  hideTimer_.stop();
  tip_->hide();
}

}  // namespace lunetta
