#pragma once

#include <QFont>
#include <QRect>
#include <type_traits>

class QWidget;

namespace lunetta {

/// A rectangle of a dialog template, in dialog units.
struct DialogRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

/// Converts dialog-template units to pixels from the dialog font's base units, as the platform the
/// templates were designed on does: x × baseX / 4 and y × baseY / 8, rounded.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& dialogFont);
  DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  int x(int units) const;
  int y(int units) const;
  QRect rect(int left, int top, int width, int height) const;
  QRect rect(const DialogRect& place) const {
    return rect(place.left, place.top, place.width, place.height);
  }

 private:
  int baseX_;
  int baseY_;
};

/// The dialog font of a template: `face` at `points` points.
QFont TemplateFont(const QString& face, int points);

/// Every control keeps its numeric identifier from the templates, so code and tests find it by
/// that.
void SetControlId(QWidget* control, int id);
int ControlId(const QWidget* control);
QWidget* FindControl(const QWidget* dialog, int id);

template <typename T>
T* FindControl(const QWidget* dialog, int id) {
  return qobject_cast<T*>(FindControl(dialog, id));
}

/// A dialog's identifiers are an enum of its own; these take them as they are.
template <typename Id>
requires std::is_enum_v<Id> QWidget* FindControl(const QWidget* dialog, Id id) {
  return FindControl(dialog, static_cast<int>(id));
}

template <typename T, typename Id>
requires std::is_enum_v<Id> T* FindControl(const QWidget* dialog, Id id) {
  return qobject_cast<T*>(FindControl(dialog, static_cast<int>(id)));
}

}  // namespace lunetta
