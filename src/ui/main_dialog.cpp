#include "ui/main_dialog.h"

namespace lunetta {

MainDialog::MainDialog(QWidget* parent) : QDialog(parent) {}

}  // namespace lunetta
