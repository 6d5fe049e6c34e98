#pragma once

#include <QColor>
#include <QDialog>
#include <QString>

class QComboBox;
class QFontDialog;

namespace lunetta {

/// What the font chooser edits: a face, a size in points as the dialog shows it, a weight on the
/// 1..1000 scale, italic and the text colour.
struct FontSelection {
  QString face;
  double pointSize = 0;  // 0 or less: the chooser's own default size
  int weight = 400;
  bool italic = false;
  QColor color = Qt::black;

  bool operator==(const FontSelection&) const = default;
};

/// The sixteen standard colours of the colour list, in its order (black … white), as 0xRRGGBB.
inline constexpr QRgb kStandardColors[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
    0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

/// Qt's font dialog has no colour box: this one embeds it beside a list of the standard colours.
class FontChooser : public QDialog {
  Q_OBJECT

 public:
  explicit FontChooser(const FontSelection& initial, QWidget* parent = nullptr);

  /// The choice as it stands. A face the machine lacks is shown as its nearest match; unless the
  /// user picks another face, the requested name is kept so that it is not lost.
  FontSelection selection() const;

  QFontDialog* fontDialog() const { return fontDialog_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QFontDialog* fontDialog_ = nullptr;
  QComboBox* colorBox_ = nullptr;
  QString requestedFace_;
  QString shownFace_;
};

}  // namespace lunetta
