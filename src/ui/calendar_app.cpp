#include "ui/calendar_app.h"

#include <QLibraryInfo>
#include <QLoggingCategory>
#include <QProcessEnvironment>

#include "render/font_substitutes.h"
#include "res/artwork.h"
#include "ui/dialog_units.h"
#include "ui/main_dialog.h"
#include "ui/title_dialog.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcApp, "lunetta.app")

}  // namespace

CalendarApp::CalendarApp(int& argc, char** argv) : QApplication(argc, argv) {
  // The program lives in the dialogs' own loops; closing the start-up picture must not end it.
  setQuitOnLastWindowClosed(false);
  InstallFontSubstitutes();
  InstallTranslators(ChooseInterfaceLanguage(QProcessEnvironment::systemEnvironment()));
  setWindowIcon(ApplicationIcon());
}

void CalendarApp::InstallTranslators(InterfaceLanguage language) {
  if (language == InterfaceLanguage::English) {
    // Qt's own dialogs speak English without a translation of their own.
    if (translator_.load(QStringLiteral(":/lunetta/i18n/lunetta_en.qm"))) {
      installTranslator(&translator_);
    } else {
      qCWarning(lcApp) << "the English translation is missing; the window stays Japanese";
    }
    return;
  }
  // Qt's own dialogs (open, print, colours) speak Japanese like the rest of the program.
  if (qtTranslator_.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(&qtTranslator_);
  } else {
    qCInfo(lcApp) << "Qt's Japanese translations are not installed";
  }
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
