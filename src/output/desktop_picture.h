#pragma once

#include <QString>
#include <functional>

namespace lunetta {

/// The name the save dialog proposes and its one filter.
inline constexpr char kDesktopPictureName[] = "DeskTopImg.jpg";
inline constexpr char kDesktopPictureFilter[] = "Jpeg(*.jpg)";

/// The questions the save command asks. Tests replace them so that no modal dialog runs.
struct DesktopPictureDialogs {
  /// Asks for the target proposing `proposedName` with the one filter `filter`; the confirmed
  /// name, or an empty string when the user cancels.
  std::function<QString(const QString& proposedName, const QString& filter)> askTarget;
  /// Tells the user that nothing was written.
  std::function<void(const QString& message)> reportFailure;
};

/// A save dialog without an owner that never asks before replacing a file and adds no suffix, and
/// a message box with the critical icon.
DesktopPictureDialogs StandardDesktopPictureDialogs();

enum class SaveOutcome { Saved, Cancelled, Failed };

/// Writes the composed picture to `target` in the format of its extension, atomically. False, with
/// the reason in `error`, when nothing was written: no extension, no encoder for it, a composed
/// picture that does not decode, or a target that cannot be written.
bool WriteDesktopPicture(const QString& composedPicturePath, const QString& target,
                         QString* error = nullptr);

/// Asks for a file name and writes the composed picture there; a failure is reported through
/// `dialogs.reportFailure`, a cancel writes nothing.
SaveOutcome SaveDesktopPicture(const QString& composedPicturePath,
                               const DesktopPictureDialogs& dialogs);

/// Asks for a file name, proposing "DeskTopImg.jpg", and writes the composed picture there in the
/// format of the name's extension. Tells the user when nothing could be written.
void SaveDesktopPicture(const QString& composedPicturePath);

}  // namespace lunetta
