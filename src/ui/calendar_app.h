#pragma once

#include <QApplication>
#include <QTranslator>

#include "ui/interface_language.h"

namespace lunetta {

/// The application: the start-up picture, then the main window, then the end. The windows speak the
/// language the locale asks for (ChooseInterfaceLanguage).
class CalendarApp : public QApplication {
  Q_OBJECT

 public:
  CalendarApp(int& argc, char** argv);

  /// Shows the start-up picture and then the main window, each modally; returns the exit status
  /// once the main window has closed.
  int InitInstance();

 private:
  void InstallTranslators(InterfaceLanguage language);

  QTranslator qtTranslator_;  // Qt's own dialogs in Japanese
  QTranslator translator_;    // Lunetta's texts in English
};

}  // namespace lunetta
