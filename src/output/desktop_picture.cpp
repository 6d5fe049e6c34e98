#include "output/desktop_picture.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "picture/load_picture_file.h"
#include "session/calendar_session.h"
#include "ui/failure_messages.h"

namespace lunetta {

namespace {

QString RunSaveDialog(const QString& startFolder, const QString& proposedName,
                      const QString& filter) {
  // No owner, as the other common dialogs of the main window.
  QFileDialog dialog(nullptr, QString(), startFolder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The name typed is the name written: no question before replacing a file, no added suffix.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setDefaultSuffix(QString());
  dialog.setNameFilter(filter);
  dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return dialog.selectedFiles().value(0);
}

void ShowSaveFailure(const QString& message) {
  QMessageBox box(QMessageBox::Critical,
                  QCoreApplication::translate("lunetta::DesktopPicture", "保存エラー"), message,
                  QMessageBox::Ok);
  box.exec();
}

}  // namespace

DesktopPictureDialogs StandardDesktopPictureDialogs() {
  return {RunSaveDialog, ShowSaveFailure};
}

SaveReport SaveDesktopPicture(const CalendarSession& session, const QString& startFolder,
                              const DesktopPictureDialogs& dialogs) {
  const QString target = dialogs.askTarget(startFolder, QString::fromUtf8(kDesktopPictureName),
                                           QString::fromUtf8(kDesktopPictureFilter));
  if (target.isEmpty()) {
    return {SaveOutcome::Cancelled, {}};
  }
  if (const Status saved = session.Save(FilePath(target)); !saved) {
    Failure failure = saved.failure();
    failure.file = FilePath(target);
    dialogs.reportFailure(
        QCoreApplication::translate("lunetta::DesktopPicture", "画像を保存できませんでした。\n\n%1")
            .arg(FailureMessage(failure)));
    return {SaveOutcome::Failed, target};
  }
  return {SaveOutcome::Saved, target};
}

}  // namespace lunetta
