#include "ui/tool_tip_relay.h"

#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QToolTip>
#include <QWidget>

namespace lunetta {

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
  setDelays(100, 10000);
  connect(&showTimer_, &QTimer::timeout, this, &ToolTipRelay::ShowTip);
  connect(&hideTimer_, &QTimer::timeout, this, [this] {
    HideTip();
    poppedDown_ = true;
  });
}

void ToolTipRelay::setMaxTipWidth(int pixels) {
  maxWidth_ = pixels;
}

void ToolTipRelay::setDelays(int initialMs, int autoPopMs) {
  showTimer_.setInterval(initialMs);
  hideTimer_.setInterval(autoPopMs);
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
  if (size.width() > maxWidth_) {
    tip_->setWordWrap(true);
    size = QSize(maxWidth_, tip_->heightForWidth(maxWidth_));
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
