#include "ui/title_dialog.h"

#include <QKeyEvent>
#include <QPainter>

#include "res/artwork.h"
#include "ui/screen_placement.h"

namespace lunetta {

TitleDialog::TitleDialog(std::chrono::milliseconds timeout, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(TitlePicture()),
      timeout_(timeout) {
  setObjectName(QStringLiteral("title"));
  setFixedSize(picture_.size());
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TitleDialog::OnOK);
}

void TitleDialog::OnOK() {
  timer_.stop();
  accept();
}

void TitleDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnScreen(*this);
  raise();
  activateWindow();
  // Counted from the moment the picture shows, so a slow start does not eat into it.
  timer_.start(timeout_);
}

void TitleDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

void TitleDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OnOK();
      return;
    case Qt::Key_Escape:
      timer_.stop();
      reject();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace lunetta
