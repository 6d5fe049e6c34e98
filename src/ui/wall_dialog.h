#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <utility>

#include "output/desktop_picture.h"
#include "output/print_picture.h"
#include "output/year_output.h"
#include "session/wall_plan.h"
#include "wall/wall_pdf.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace lunetta {

class CalendarSession;

/// A page of the wall calendar as it will print, with its photo; dragging the photo moves which
/// part of it shows.
class WallPagePreview : public QWidget {
  Q_OBJECT

 public:
  explicit WallPagePreview(QWidget* parent = nullptr);

  /// Shows `page` of `calendar`; `photo` is the page's whole photo decoded, or null.
  void Show(const WallCalendar& calendar, const WallPage& page, const QImage& photo);

 signals:
  /// The user dragged the photo: it now shows as `crop` says.
  void cropMoved(PhotoCrop crop);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  double Scale() const;  // widget pixels per point

  WallCalendar calendar_;
  WallPage page_;
  QImage photo_;
  PagePhoto place_;
  std::optional<QPointF> grab_;  // where the drag started, in points
  PhotoCrop grabbedCrop_;
};

/// The wall calendar dialog: a page preview, the paper and layout options, and output to a
/// printer or a PDF file for print. The options are the session's settings; the crops the user
/// makes are kept in `crops`.
class WallDialog : public QDialog {
  Q_OBJECT

 public:
  WallDialog(CalendarSession& session, WallCrops& crops, PrintDialogs printDialogs,
             DesktopPictureDialogs saveDialogs, YearRunner run, QString startFolder,
             QWidget* parent = nullptr);

  /// The calendar as the options and crops now make it.
  WallCalendar Calendar() const;
  /// What the notice under the options says.
  QString notice() const;
  /// The folder of the last PDF written, for the next save dialog.
  const QString& lastFolder() const { return startFolder_; }

 public slots:
  void OnPrint();
  void OnSavePdf();

 private:
  void OnOptionsChanged();
  void ShowPage();
  /// The page the selector shows; nothing while it shows none.
  std::optional<WallPage> ShownPage() const;
  void Tell(YearOutputOutcome result, const QString& done, const WallOutcome& outcome);

  CalendarSession& session_;
  WallCrops& crops_;
  PrintDialogs printDialogs_;
  DesktopPictureDialogs saveDialogs_;
  YearRunner run_;
  QString startFolder_;
  WallPagePreview* preview_;
  QComboBox* page_;
  QComboBox* paper_;
  QComboBox* orientation_;
  QComboBox* position_;
  QCheckBox* bleed_;
  QCheckBox* trimMarks_;
  QCheckBox* cover_;
  QCheckBox* planner_;
  QLabel* notice_;
  WallCalendar planned_;  // planned at each change of options; a crop moved only updates it
  std::filesystem::path decodedFile_;  // the preview's photo, kept while the page shows it
  QImage decoded_;
  QSize decodedSize_;  // the photo's own size
};

}  // namespace lunetta
