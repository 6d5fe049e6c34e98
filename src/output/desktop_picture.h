#pragma once

#include <QString>
#include <functional>

namespace lunetta {

class CalendarSession;

/// The name the save dialog proposes and its one filter.
inline constexpr char kDesktopPictureName[] = "DeskTopImg.jpg";
inline constexpr char kDesktopPictureFilter[] = "Jpeg(*.jpg)";

/// The questions the save command asks. Tests replace them so that no modal dialog runs.
struct DesktopPictureDialogs {
  /// Asks for the target, starting in `startFolder` and proposing `proposedName` with the one
  /// filter `filter`; the confirmed name, or an empty string when the user cancels.
  std::function<QString(const QString& startFolder, const QString& proposedName,
                        const QString& filter)>
      askTarget;
  /// Tells the user that nothing was written.
  std::function<void(const QString& message)> reportFailure;
};

/// A save dialog without an owner that never asks before replacing a file and adds no suffix, and
/// a message box with the critical icon.
DesktopPictureDialogs StandardDesktopPictureDialogs();

enum class SaveOutcome { Saved, Cancelled, Failed };

/// What the save command did, and the file it wrote or failed to write (empty when cancelled).
struct SaveReport {
  SaveOutcome outcome = SaveOutcome::Cancelled;
  QString target;
};

/// Asks for a file name in `startFolder`, proposing "DeskTopImg.jpg", and writes the session's
/// picture there in the format of the name's extension, atomically. A failure is reported through
/// `dialogs.reportFailure`; a cancel writes nothing.
SaveReport SaveDesktopPicture(
    const CalendarSession& session, const QString& startFolder,
    const DesktopPictureDialogs& dialogs = StandardDesktopPictureDialogs());

}  // namespace lunetta
