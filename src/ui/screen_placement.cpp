#include "ui/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace lunetta {

QPoint CentredOn(const QRect& screen, const QSize& frame) {
  return {screen.x() + (screen.width() - frame.width()) / 2,
          screen.y() + (screen.height() - frame.height()) / 2};
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) {
    screen = QGuiApplication::primaryScreen();
  }
  if (screen == nullptr) {
    return;
  }
  window.move(CentredOn(screen->geometry(), window.frameGeometry().size()));
}

}  // namespace lunetta
