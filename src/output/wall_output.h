#pragma once

#include <QString>
#include <QStringList>

#include "output/desktop_picture.h"
#include "output/print_picture.h"
#include "output/year_output.h"
#include "wall/wall_pdf.h"

namespace lunetta {

class CalendarSession;

/// What a wall calendar command did: `target` is the PDF file written (empty for a printer).
struct WallOutputReport {
  YearOutputOutcome result = YearOutputOutcome::NotAsked;
  QString target;
  WallOutcome outcome;
};

/// The name the save dialog proposes: "wall-calendar-YYYY.pdf".
QString WallCalendarName(int year);

/// Asks for a PDF file in `startFolder` and writes `calendar` there for print, behind `run`'s
/// progress. A name MayWrite refuses (a photo in use, or an existing file the user will not
/// replace) is asked for again. A failure is reported through `dialogs.reportFailure`; a cancel
/// leaves whatever was at the name.
WallOutputReport SaveWallCalendar(const CalendarSession& session, const WallCalendar& calendar,
                                  const QString& startFolder, const DesktopPictureDialogs& dialogs,
                                  const YearRunner& run);

/// Asks for a printer, set to the calendar's paper with the bleed and marks on the page, and
/// prints `calendar` a page a sheet at the printer's resolution. A PDF file chosen in the print
/// dialog is the same file SaveWallCalendar writes, with its boxes for a print shop, and is
/// refused where it would replace a photo in use.
WallOutputReport PrintWallCalendar(const CalendarSession& session, const WallCalendar& calendar,
                                   const PrintDialogs& dialogs, const YearRunner& run);

/// The months of `pages` whose photo gives less than kLowResolutionDpi in print, each once, in page
/// order; 0 stands for the cover.
std::vector<int> LowResolutionPages(const std::vector<WallPageReport>& pages);

}  // namespace lunetta
