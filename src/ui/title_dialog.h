#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>
#include <chrono>

namespace lunetta {

/// The start-up picture: frameless, on top of other windows, centred. It closes by itself after
/// `timeout`, or at once on Enter (accepted) or Escape (rejected); a click does nothing.
class TitleDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kTimeout{5000};

  explicit TitleDialog(std::chrono::milliseconds timeout = kTimeout, QWidget* parent = nullptr);

  bool timerActive() const { return timer_.isActive(); }

 public slots:
  /// Enter and the timer: stop the timer and close with Accepted.
  void OnOK();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPixmap picture_;
  QTimer timer_;
  std::chrono::milliseconds timeout_;
};

}  // namespace lunetta
