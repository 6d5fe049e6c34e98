#include "app/calendar_app.h"

#include <QLibraryInfo>
#include <QLoggingCategory>

#include "app/title_dialog.h"
#include "platform/dialog_units.h"
#include "res/artwork.h"
#include "ui/main_dialog.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcApp, "lunetta.app")

}  // namespace

CalendarApp::CalendarApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The program lives in the dialogs' own loops; closing the start-up picture must not end it.
  setQuitOnLastWindowClosed(false);
  InstallFontSubstitutions();
  // Qt's own dialogs (open, print, colours) speak Japanese like the rest of the program.
  if (qtTranslator_.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(&qtTranslator_);
  } else {
    qCInfo(lcApp) << "Qt's Japanese translations are not installed";
  }
  setWindowIcon(ApplicationIcon());
}

int CalendarApp::InitInstance() {
  {
    TitleDialog title;
    title.exec();
  }
  MainDialog mainDialog;
  mainDialog.exec();
  return 0;
}

}  // namespace lunetta
