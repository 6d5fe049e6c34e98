#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

#include "platform/c_runtime.h"

namespace lunetta {

namespace {

constexpr char kControlIdProperty[] = "controlId";

}  // namespace

DialogUnits::DialogUnits(const QFont& dialogFont) {
  const QFontMetrics metrics(dialogFont);
  // The platform averages the 52 Latin letters and rounds to the nearest pixel.
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (letters / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::x(int units) const {
  return MulDiv(units, baseX_, 4);
}

int DialogUnits::y(int units) const {
  return MulDiv(units, baseY_, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const {
  return QRect(x(left), y(top), x(width), y(height));
}

QFont TemplateFont(const QString& face, int points) {
  QFont font(face);
  font.setPointSize(points);
  return font;
}

void SetControlId(QWidget* control, int id) {
  control->setProperty(kControlIdProperty, id);
}

int ControlId(const QWidget* control) {
  bool ok = false;
  const int id = control->property(kControlIdProperty).toInt(&ok);
  return ok ? id : 0;
}

QWidget* FindControl(const QWidget* dialog, int id) {
  const auto children = dialog->findChildren<QWidget*>();
  for (QWidget* child : children) {
    if (ControlId(child) == id) {
      return child;
    }
  }
  return nullptr;
}

}  // namespace lunetta
