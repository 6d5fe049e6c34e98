#pragma once

#include <QApplication>
#include <QTranslator>

namespace lunetta {

/// The application: the start-up picture, then the main window, then the end.
class CalendarApp : public QApplication {
  Q_OBJECT

 public:
  CalendarApp(int& argc, char** argv);

  /// Shows the start-up picture and then the main window, each modally; returns the exit status
  /// once the main window has closed.
  int InitInstance();

 private:
  QTranslator qtTranslator_;
};

}  // namespace lunetta
