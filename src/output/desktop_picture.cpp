#include "output/desktop_picture.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "picture/picture.h"

namespace lunetta {

namespace {

QString RunSaveDialog(const QString& proposedName, const QString& filter) {
  // No owner, as the other common dialogs of the main window.
  QFileDialog dialog(nullptr);
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
  QMessageBox box(QMessageBox::Critical, QStringLiteral("保存エラー"), message, QMessageBox::Ok);
  box.exec();
}

}  // namespace

DesktopPictureDialogs StandardDesktopPictureDialogs() {
  return {RunSaveDialog, ShowSaveFailure};
}

bool WriteDesktopPicture(const QString& composedPicturePath, const QString& target,
                         QString* error) {
  const auto fail = [error](const QString& reason) {
    if (error != nullptr) {
      *error = reason;
    }
    return false;
  };
  // Checked before anything is decoded so that the message names the real cause.
  const QStringView extension = FindExtension(target);
  if (extension.size() <= 1) {
    return fail(
        QStringLiteral("ファイル名に拡張子がありません。"
                       "「.jpg」などの拡張子を付けてください。"));
  }
  if (EncoderForPath(target).isEmpty()) {
    return fail(QStringLiteral("拡張子「%1」の画像形式では保存できません。").arg(extension));
  }
  Picture picture;
  QString reason;
  if (!picture.Load(composedPicturePath, &reason)) {
    return fail(QStringLiteral("カレンダー画像を読み込めませんでした（%1: %2）。")
                    .arg(QDir::toNativeSeparators(composedPicturePath), reason));
  }
  if (!picture.Save(target, &reason)) {
    return fail(QStringLiteral("ファイルに書き込めませんでした: %1").arg(reason));
  }
  return true;
}

SaveOutcome SaveDesktopPicture(const QString& composedPicturePath,
                               const DesktopPictureDialogs& dialogs) {
  const QString target = dialogs.askTarget(QString::fromUtf8(kDesktopPictureName),
                                           QString::fromUtf8(kDesktopPictureFilter));
  if (target.isEmpty()) {
    return SaveOutcome::Cancelled;
  }
  QString reason;
  if (!WriteDesktopPicture(composedPicturePath, target, &reason)) {
    dialogs.reportFailure(QStringLiteral("画像を保存できませんでした。\n%1\n\n%2")
                              .arg(QDir::toNativeSeparators(target), reason));
    return SaveOutcome::Failed;
  }
  return SaveOutcome::Saved;
}

void SaveDesktopPicture(const QString& composedPicturePath) {
  SaveDesktopPicture(composedPicturePath, StandardDesktopPictureDialogs());
}

}  // namespace lunetta
