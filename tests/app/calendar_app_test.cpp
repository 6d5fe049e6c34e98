#include "app/calendar_app.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QTimer>
#include <QWidget>

namespace lunetta {
namespace {

TEST(CalendarApp, ShowsTheStartUpPictureThenTheMainWindow) {
  int argc = 1;
  char name[] = "lunetta";
  char* argv[] = {name, nullptr};
  CalendarApp app(argc, argv);

  // Each modal window in turn, closed with Escape, so nothing is saved.
  QStringList seen;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, &app, [&] {
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
      seen << modal->metaObject()->className();
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(modal, &escape);
    }
  });
  answer.start(50);
  EXPECT_EQ(app.InitInstance(), 0);
  EXPECT_EQ(seen, (QStringList{"lunetta::TitleDialog", "lunetta::MainDialog"}));
  // An icon that failed to render would be empty or one plain colour.
  const QImage icon = QApplication::windowIcon().pixmap(16).toImage();
  EXPECT_FALSE(icon.isNull() || icon.isGrayscale());
  // Qt's own dialogs speak Japanese where Qt's translations are installed.
  if (QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists("qtbase_ja.qm")) {
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"));
  }
}

}  // namespace
}  // namespace lunetta
