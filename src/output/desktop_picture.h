#pragma once

#include <QString>
#include <QStringList>
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
  /// Asks `question` about replacing existing files; true to replace them.
  std::function<bool(const QString& question)> confirmReplace;
};

/// A save dialog without an owner that adds no suffix and leaves the question about an existing
/// file to the command, a message box with the critical icon, and a question box whose default is
/// not to replace.
DesktopPictureDialogs StandardDesktopPictureDialogs();

/// Whether one of `targets` is a photo the session uses (the main photo or a month's own, as the
/// same file under any name), which is then said through `reportFailure`: saving there would bake
/// a calendar into the photo.
bool RefusePhotoInUse(const CalendarSession& session, const QStringList& targets,
                      const std::function<void(const QString& message)>& reportFailure);

/// Of `targets`, the names of those that exist, in order.
QStringList ExistingFiles(const QStringList& targets);

/// Whether `targets` may be written: a photo in use is refused through `dialogs.reportFailure`,
/// and existing files are written over only once the user has agreed to it, asked once for all
/// of them.
bool MayWrite(const CalendarSession& session, const QStringList& targets,
              const DesktopPictureDialogs& dialogs);

enum class SaveOutcome { Saved, Cancelled, Failed };

/// What the save command did, and the file it wrote or failed to write (empty when cancelled).
struct SaveReport {
  SaveOutcome outcome = SaveOutcome::Cancelled;
  QString target;
};

/// Asks for a file name in `startFolder`, proposing "DeskTopImg.jpg", and writes the session's
/// picture there in the format of the name's extension, atomically. A name MayWrite refuses is
/// asked for again, starting at that name. A failure is reported through `dialogs.reportFailure`;
/// a cancel writes nothing.
SaveReport SaveDesktopPicture(
    const CalendarSession& session, const QString& startFolder,
    const DesktopPictureDialogs& dialogs = StandardDesktopPictureDialogs());

}  // namespace lunetta
