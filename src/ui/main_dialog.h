#pragma once

#include <QDialog>

namespace lunetta {

class MainDialog : public QDialog {
  Q_OBJECT

 public:
  explicit MainDialog(QWidget* parent = nullptr);
};

}  // namespace lunetta
