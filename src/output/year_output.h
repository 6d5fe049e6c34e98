#pragma once

#include <QString>
#include <QWidget>

#include "output/desktop_picture.h"
#include "output/print_picture.h"
#include "output/year_progress.h"
#include "session/year_export.h"

namespace lunetta {

class CalendarSession;

enum class YearOutputOutcome { Done, Cancelled, Failed, NotAsked };

/// What a year command did. `target` is the folder of the pictures or the printer's PDF file
/// (empty for a printer); `outcome` the export's own account.
struct YearOutputReport {
  YearOutputOutcome result = YearOutputOutcome::NotAsked;
  QString target;
  YearOutcome outcome;
};

/// Runs an export behind a progress dialog over its window; tests run it directly.
using YearRunner = std::function<YearOutcome(const QString& label, const YearJob& job)>;

/// RunWithProgress over `window`.
YearRunner ProgressDialogRunner(QWidget* window);

/// The name the save dialog proposes for the year's pictures: "YYYY-01.jpg".
QString YearPictureName(int year);

/// Asks for a file name in `startFolder`, proposing YearPictureName, and writes the selected
/// year's twelve pictures beside it as YYYY-01 ... YYYY-12 with the extension of the confirmed
/// name, which chooses their format as for a single picture. The rest of the confirmed name is not
/// used. Names MayWrite refuses (a photo in use among them, or existing files the user will not
/// replace; asked once for the twelve) are asked for again. A failure is reported through
/// `dialogs.reportFailure`; a cancel in the progress dialog keeps the pictures written so far,
/// each complete.
YearOutputReport SaveYearPictures(const CalendarSession& session, const QString& startFolder,
                                  const DesktopPictureDialogs& dialogs, const YearRunner& run);

/// The PDF document at `once` written to `target`, atomically, with its pages in `order` (indexes
/// from 0; a page may come again, sharing its content with its first showing).
Status RepeatPdfFile(const std::filesystem::path& once, const std::vector<int>& order,
                     const std::filesystem::path& target);

/// `plan` with its months repeated for `copies` copies: set after set when collated, else each
/// month's copies together.
YearPlan WithCopies(YearPlan plan, int copies, bool collate);

/// Asks for a printer and prints the selected year, one month per page, each page turned to the
/// picture's shape and the picture fitted in it, as a document named "LUNETTA", in the copies and
/// collation the dialog chose. A PDF file is written atomically: a cancel or a failure leaves what
/// was there. A cancel on a printer aborts the job.
YearOutputReport PrintYear(const CalendarSession& session, const PrintDialogs& dialogs,
                           const YearRunner& run);

}  // namespace lunetta
