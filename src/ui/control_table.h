#pragma once

#include <QFlags>
#include <functional>
#include <span>
#include <type_traits>
#include <vector>

#include "ui/dialog_units.h"

class QWidget;

namespace lunetta {

class ToolTipRelay;

/// What a row of a dialog's control table creates.
enum class ControlKind {
  PushButton,       ///< QPushButton
  MultiLineButton,  ///< QPushButton whose caption wraps onto several lines
  NumberEdit,       ///< QLineEdit into which only digits can be typed
  ReadOnlyEdit,     ///< read-only QLineEdit on the window colour, focused by a click only
  Selector,         ///< editable QComboBox, 12 items visible; the row's height is the list's
  Slider,           ///< horizontal QSlider with a tick at every value
  RadioButton,      ///< QRadioButton, focused by a click but not by Tab
  CheckBox,         ///< QCheckBox
  StaticText,       ///< QLabel with plain text
  GroupBox,         ///< QGroupBox, lowered behind the controls it frames
  Frame,            ///< plain grey box, transparent for the mouse
  Custom,           ///< whatever the dialog's factory makes
};

enum class ControlFlag : unsigned {
  Default = 1u << 0,           ///< push buttons: the default button (Enter)
  FitText = 1u << 2,           ///< static text: at least as wide as its text
  MouseTransparent = 1u << 3,  ///< static text: mouse events go to the dialog beneath
  Border = 1u << 4,            ///< read-only edit: framed
  AlignRight = 1u << 5,        ///< read-only edit, static text: text to the right (else left)
  AlignCenter = 1u << 6,       ///< read-only edit: text centred
  TabStop = 1u << 7,           ///< radio buttons: the checked one of its group is a tab stop
};
Q_DECLARE_FLAGS(ControlFlags, ControlFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlFlags)

/// A row's control identifier: a value of the dialog's identifier enum, or kNoId.
class RowId {
 public:
  constexpr RowId() = default;
  template <typename Id>
  requires std::is_enum_v<Id>
  constexpr RowId(Id id) : value_(static_cast<int>(id)) {}

  constexpr int value() const { return value_; }
  constexpr bool operator==(const RowId&) const = default;

 private:
  int value_ = 0;
};

/// A control nothing refers to (labels, group boxes); it gets no control id.
inline constexpr RowId kNoId{};

/// One control of a dialog template. Its text and tool tip are UTF-8 source texts, translated in
/// the dialog's context (mark them with QT_TRANSLATE_NOOP and the dialog's class name); null for
/// none.
struct ControlRow {
  RowId id;
  ControlKind kind;
  const char* text;
  DialogRect place;
  const char* toolTip = nullptr;
  ControlFlags flags = {};
};

/// Makes the widget of a Custom row, as a child of `parent`.
using CustomControlFactory = std::function<QWidget*(const ControlRow& row, QWidget* parent)>;

/// The controls a table made, in table order, found by their identifiers.
class ControlSet {
 public:
  QWidget* find(RowId id) const;

  /// The control of `id` as a T; nullptr when there is none or it is not a T.
  template <typename T>
  T* get(RowId id) const {
    return qobject_cast<T*>(find(id));
  }

  /// Every control, one per row, in table order.
  const std::vector<QWidget*>& all() const { return controls_; }

 private:
  friend ControlSet BuildControls(QWidget& dialog, const DialogUnits& units,
                                  std::span<const ControlRow> rows, ToolTipRelay* toolTips,
                                  const CustomControlFactory& custom);

  std::vector<RowId> ids_;
  std::vector<QWidget*> controls_;
};

/// Creates the rows' controls on `dialog` in table order, which is their tab order: each at its
/// place converted by `units`, with its control id, its flags and, when the row has one, its tool
/// tip added to `toolTips` (may be null when no row has a tip). Texts and tips are translated with
/// the class name of `dialog` as the context. Custom rows are made by `custom`.
ControlSet BuildControls(QWidget& dialog, const DialogUnits& units,
                         std::span<const ControlRow> rows, ToolTipRelay* toolTips,
                         const CustomControlFactory& custom = {});

}  // namespace lunetta
