#pragma once

#include <QString>
#include <functional>

class QPrinter;

namespace lunetta {

/// The document name the print job carries.
inline constexpr char kPrintDocumentName[] = "LUNETTA";

/// The questions the print command asks. Tests replace them so that no modal dialog runs.
struct PrintDialogs {
  /// Lets the user choose and set up `printer`; false when the user cancels.
  std::function<bool(QPrinter& printer)> choosePrinter;
  /// Tells the user that nothing was printed.
  std::function<void(const QString& message)> reportFailure;
};

/// A print dialog without an owner, and a message box with the critical icon.
PrintDialogs StandardPrintDialogs();

enum class PrintOutcome { Printed, Cancelled, Failed };

/// Names the document "LUNETTA" and undoes what the print dialog chose about copies and pages: one
/// copy, all pages, no CUPS page set or page ranges. The picture is one page.
void ResetJobOptions(QPrinter& printer);

/// Prints the composed picture on exactly one page of a document named "LUNETTA", stretched over
/// the whole printable area without keeping the aspect ratio. The printer's copy count and page
/// range are reset: one copy, all pages. A PDF file is written atomically, so a failed print never
/// destroys an existing file. False, with the reason in `error`, when the printer cannot be started
/// or the file cannot be written. A composed picture that does not decode gives an empty page.
bool PrintComposedPicture(QPrinter& printer, const QString& composedPicturePath,
                          QString* error = nullptr);

/// Asks for a printer and prints the composed picture; a failure is reported through
/// `dialogs.reportFailure`, a cancel prints nothing.
PrintOutcome PrintPicture(const QString& composedPicturePath, const PrintDialogs& dialogs);

/// Asks for a printer and prints the composed picture on one page of a document named "LUNETTA",
/// stretched over the whole printable area.
void PrintPicture(const QString& composedPicturePath);

}  // namespace lunetta
