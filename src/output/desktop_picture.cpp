#include "output/desktop_picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <filesystem>
#include <system_error>
#include <vector>

#include "output/failure_messages.h"
#include "picture/load_picture_file.h"
#include "session/calendar_session.h"

namespace lunetta {

namespace {

QString RunSaveDialog(const QString& startFolder, const QString& proposedName,
                      const QString& filter) {
  // No owner, as the other common dialogs of the main window.
  QFileDialog dialog(nullptr, QString(), startFolder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The name typed is the name written, with no added suffix. The command asks about an existing
  // file itself, once for the twelve of a year.
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

bool AskToReplace(const QString& question) {
  QMessageBox box(QMessageBox::Question,
                  QCoreApplication::translate("lunetta::DesktopPicture", "上書きの確認"), question,
                  QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

QString Native(const QString& path) {
  return QDir::toNativeSeparators(path);
}

// Of `targets`, the first that is a photo the session uses, as the same file under any name.
QString PhotoInUse(const CalendarSession& session, const QStringList& targets) {
  std::vector<std::filesystem::path> photos{session.photoPath()};
  for (int month = 1; month <= 12; ++month) {
    photos.push_back(session.monthPhotoPath(month));
  }
  for (const QString& target : targets) {
    for (const std::filesystem::path& photo : photos) {
      std::error_code error;
      if (!photo.empty() && std::filesystem::equivalent(FilePath(target), photo, error)) {
        return target;
      }
    }
  }
  return {};
}

}  // namespace

DesktopPictureDialogs StandardDesktopPictureDialogs() {
  return {RunSaveDialog, ShowSaveFailure, AskToReplace};
}

bool RefusePhotoInUse(const CalendarSession& session, const QStringList& targets,
                      const std::function<void(const QString& message)>& reportFailure) {
  const QString photo = PhotoInUse(session, targets);
  if (photo.isEmpty()) {
    return false;
  }
  reportFailure(
      QCoreApplication::translate(
          "lunetta::DesktopPicture",
          "「%1」はカレンダーに使っている写真です。写真を上書きしないよう、保存しませんでした。"
          "別の名前を選んで下さい。")
          .arg(Native(photo)));
  return true;
}

QStringList ExistingFiles(const QStringList& targets) {
  QStringList existing;
  for (const QString& target : targets) {
    std::error_code error;
    // A link counts, dangling or not: it is replaced too.
    if (std::filesystem::exists(std::filesystem::symlink_status(FilePath(target), error))) {
      existing << target;
    }
  }
  return existing;
}

bool MayWrite(const CalendarSession& session, const QStringList& targets,
              const DesktopPictureDialogs& dialogs) {
  if (RefusePhotoInUse(session, targets, dialogs.reportFailure)) {
    return false;
  }
  const QStringList existing = ExistingFiles(targets);
  if (existing.isEmpty()) {
    return true;
  }
  if (existing.size() == 1) {
    return dialogs.confirmReplace(
        QCoreApplication::translate("lunetta::DesktopPicture",
                                    "「%1」はすでにあります。置き換えますか？")
            .arg(Native(existing.front())));
  }
  QStringList names;
  for (const QString& file : existing) {
    names << QFileInfo(file).fileName();
  }
  return dialogs.confirmReplace(
      QCoreApplication::translate("lunetta::DesktopPicture",
                                  "%1 には同じ名前のファイルが %2 個あります：%3\n置き換えますか？")
          .arg(Native(QFileInfo(existing.front()).absolutePath()))
          .arg(existing.size())
          .arg(names.join(
              QCoreApplication::translate("lunetta::DesktopPicture", "、", "between file names"))));
}

SaveReport SaveDesktopPicture(const CalendarSession& session, const QString& startFolder,
                              const DesktopPictureDialogs& dialogs) {
  QString folder = startFolder;
  QString name = QString::fromUtf8(kDesktopPictureName);
  QString target;
  for (;;) {
    target = dialogs.askTarget(folder, name, QString::fromUtf8(kDesktopPictureFilter));
    if (target.isEmpty()) {
      return {SaveOutcome::Cancelled, {}};
    }
    if (MayWrite(session, {target}, dialogs)) {
      break;
    }
    // Asked again where the user was, as the platform's own question would.
    const QFileInfo chosen(target);
    folder = chosen.absolutePath();
    name = chosen.fileName();
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
