#include "output/year_progress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <thread>

namespace lunetta {

namespace {

// Short exports finish without a dialog flashing up.
constexpr int kShowAfterMs = 400;

}  // namespace

YearOutcome RunWithProgress(QWidget* window, const QString& label, const YearJob& job) {
  QProgressDialog dialog(label, QCoreApplication::translate("lunetta::YearProgress", "キャンセル"),
                         0, 12, window);
  dialog.setWindowTitle(QStringLiteral("Lunetta"));
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setMinimumDuration(kShowAfterMs);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setValue(0);

  QEventLoop loop;
  YearOutcome outcome;
  std::stop_source stop;
  QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&stop, &dialog] {
    stop.request_stop();
    dialog.setLabelText(QCoreApplication::translate("lunetta::YearProgress", "中止しています…"));
  });
  {
    // Declared after the dialog and the loop: it is joined before they go, so no queued call can
    // reach them afterwards.
    std::jthread worker([&] {
      outcome = job(
          [&dialog](int done, int total) {
            QMetaObject::invokeMethod(
                &dialog,
                [&dialog, done, total] {
                  dialog.setMaximum(total);
                  dialog.setValue(done);
                },
                Qt::QueuedConnection);
          },
          stop.get_token());
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
  }
  return outcome;
}

}  // namespace lunetta
