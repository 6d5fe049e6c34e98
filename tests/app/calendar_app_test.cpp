#include "app/calendar_app.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTimer>

#include "app/title_dialog.h"
#include "settings/settings_store.h"
#include "ui/main_dialog.h"

namespace lunetta {
namespace {

// The start-up picture comes first, then the main window; each runs modally and the program ends
// when the main window closes. Escape closes both, so nothing is saved.
TEST(CalendarApp, ShowsTheStartUpPictureThenTheMainWindow) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir workDir;
  ASSERT_TRUE(workDir.isValid());
  ASSERT_TRUE(QDir::setCurrent(workDir.path()));
  const QString profile = QString::fromStdString(ProfilePath().string());
  QFile::remove(profile);

  int argc = 1;
  char name[] = "lunetta";
  char* argv[] = {name, nullptr};
  CalendarApp app(argc, argv);

  QStringList seen;
  QString startupDirectory;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, &app, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
      return;
    }
    if (qobject_cast<TitleDialog*>(modal) != nullptr) {
      seen << QStringLiteral("title");
    } else if (auto* main = qobject_cast<MainDialog*>(modal)) {
      seen << QStringLiteral("main");
      startupDirectory = QString::fromStdString(main->startupDirectory().string());
    } else {
      seen << QString::fromLatin1(modal->metaObject()->className());
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(modal, &escape);
  });
  answer.start(50);

  EXPECT_EQ(app.InitInstance(), 0);
  EXPECT_EQ(seen, (QStringList{"title", "main"}));
  EXPECT_EQ(QDir(startupDirectory), QDir(workDir.path()));
  EXPECT_TRUE(QFile::exists(QDir(QDir::tempPath()).filePath(QStringLiteral("Calendar.bmp"))));
  EXPECT_FALSE(QFile::exists(profile));
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  // Qt's own dialogs speak Japanese where Qt's translations are installed.
  if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                    QStringLiteral("/qtbase_ja.qm"))) {
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), QStringLiteral("開く(&O)"));
  }
}

}  // namespace
}  // namespace lunetta
