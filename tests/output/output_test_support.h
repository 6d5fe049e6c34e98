#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <deque>
#include <functional>
#include <utility>

#include "calendar/composition.h"

namespace lunetta::testing {

// The composed test picture: a distinct colour in each quadrant and a centre box, so that a
// stretched copy shows where its corners and middle landed.
inline const QColor kTopLeft{230, 20, 20};
inline const QColor kTopRight{20, 190, 20};
inline const QColor kBottomLeft{20, 20, 230};
inline const QColor kBottomRight{240, 220, 20};
inline const QColor kCentre{200, 20, 200};

inline QImage QuadrantPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  QPainter painter(&image);
  const int halfW = width / 2;
  const int halfH = height / 2;
  painter.fillRect(0, 0, halfW, halfH, kTopLeft);
  painter.fillRect(halfW, 0, width - halfW, halfH, kTopRight);
  painter.fillRect(0, halfH, halfW, height - halfH, kBottomLeft);
  painter.fillRect(halfW, halfH, width - halfW, height - halfH, kBottomRight);
  painter.fillRect(width * 2 / 5, height * 2 / 5, width / 5, height / 5, kCentre);
  return image;
}

// Writes the quadrant picture as the composition does, and returns its path.
inline QString WriteComposedPicture(const QString& folder, int width, int height) {
  const QString path = folder + QStringLiteral("/Calendar.bmp");
  EXPECT_TRUE(SaveBitmapFile(QuadrantPicture(width, height), path));
  return path;
}

inline bool NearColour(QColor actual, QColor expected, int tolerance = 48) {
  return std::abs(actual.red() - expected.red()) <= tolerance &&
         std::abs(actual.green() - expected.green()) <= tolerance &&
         std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// Answers the modal dialogs that the code under test opens, from inside their event loops, in the
// order the steps were queued. Any other modal widget, or one that shows after the steps are used
// up, is recorded and closed, so a test can never hang on a dialog.
class ModalDriver {
 public:
  ModalDriver() {
    timer_.setInterval(20);
    timer_.callOnTimeout(&timer_, [this] { Poll(); });
    timer_.start();
  }

  template <typename W>
  void Then(std::function<void(W*)> action) {
    steps_.push_back([action = std::move(action)](QWidget* widget) {
      W* typed = qobject_cast<W*>(widget);
      if (typed == nullptr) {
        return false;
      }
      action(typed);
      return true;
    });
  }

  bool allStepsTaken() const { return steps_.empty(); }
  const QStringList& unexpected() const { return unexpected_; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      return;
    }
    if (modal == handled_) {
      // A step that failed half-way leaves its dialog open; close it rather than hang.
      if (++pollsSinceHandled_ == 50) {
        unexpected_ << QString::fromLatin1(modal->metaObject()->className()) +
                           QStringLiteral(" left open");
        Close(modal);
      }
      return;
    }
    handled_ = modal;
    pollsSinceHandled_ = 0;
    if (!steps_.empty() && steps_.front()(modal)) {
      steps_.pop_front();
      return;
    }
    unexpected_ << QString::fromLatin1(modal->metaObject()->className());
    Close(modal);
  }

  static void Close(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
  }

  QTimer timer_;
  std::deque<std::function<bool(QWidget*)>> steps_;
  QStringList unexpected_;
  int pollsSinceHandled_ = 0;
  QPointer<QWidget> handled_;  // cleared when it is destroyed, so a new dialog is never skipped
};

}  // namespace lunetta::testing
