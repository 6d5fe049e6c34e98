#pragma once

#include <QString>
#include <functional>

#include "picture/failure.h"
#include "picture/page_placement.h"

class QImage;
class QPrinter;

namespace lunetta {

/// The document name the print job carries.
inline constexpr char kPrintDocumentName[] = "LUNETTA";

/// The questions the print command asks. Tests replace them so that no modal dialog runs.
struct PrintDialogs {
  /// Lets the user choose and set up `printer`, which comes set to the orientation that suits the
  /// picture, and how the picture goes on the page (Fit unless the user asks to stretch); false
  /// when the user cancels.
  std::function<bool(QPrinter& printer, PagePlacement& placement)> choosePrinter;
  /// Tells the user that nothing was printed.
  std::function<void(const QString& message)> reportFailure;
};

/// A print dialog without an owner, with the check box "用紙全体に引き伸ばす" (stretch over the
/// whole page) among its options, and a message box with the critical icon.
PrintDialogs StandardPrintDialogs();

enum class PrintOutcome { Printed, Cancelled, Failed };

/// Names the document "LUNETTA" and undoes what the print dialog chose about pages: all pages, no
/// CUPS page set or page ranges, which could drop the pages Lunetta prints. The copies and their
/// collation stay as chosen.
void ResetJobOptions(QPrinter& printer);

/// How many times Lunetta must paint each document itself: once where the print system makes the
/// copies (a printer), else the printer's copy count (a PDF file, which Qt writes once).
int CopiesToPaint(QPrinter& printer);

/// Prints `picture` on one page of a document named "LUNETTA", placed on the printable area as
/// `placement` says: as large as it goes in its own shape, centred, or stretched over the whole
/// area. The copies chosen are made, by the print system or as pages of the document; the page
/// range is reset to all pages. A PDF file is written atomically, so a failed print never destroys
/// an existing file. Nothing is printed, and NothingToWrite returned, for a null picture: an empty
/// sheet would look like a print that worked.
Status PrintComposedPicture(QPrinter& printer, const QImage& picture,
                            PagePlacement placement = PagePlacement::Fit);

/// Asks for a printer, set first to the orientation that suits `picture`, and prints it; a failure
/// is reported through `dialogs.reportFailure`, a cancel prints nothing.
PrintOutcome PrintPicture(const QImage& picture,
                          const PrintDialogs& dialogs = StandardPrintDialogs());

}  // namespace lunetta
