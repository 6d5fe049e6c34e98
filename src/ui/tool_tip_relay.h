#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLabel;
class QWidget;

namespace lunetta {

/// Tool tips with their own timing: a tip shows once the pointer has rested on a control for
/// 100 ms, at most 320 pixels wide, and hides after 10 s, when the pointer leaves or on a click.
/// Qt's own tool tips would wait 700 ms and stay up for a time of their own choosing.
class ToolTipRelay : public QObject {
  Q_OBJECT

 public:
  explicit ToolTipRelay(QWidget* owner);

  /// One tool per control; the text is also the control's toolTip().
  void addTool(QWidget* control, const QString& text);
  void setActive(bool active);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowTip();
  void HideTip();

  QLabel* tip_ = nullptr;
  QHash<QWidget*, QString> texts_;
  QPointer<QWidget> current_;
  QTimer showTimer_;
  QTimer hideTimer_;
  bool active_ = false;
  bool poppedDown_ = false;  // the tip timed out; it shows again only after the pointer leaves
};

}  // namespace lunetta
