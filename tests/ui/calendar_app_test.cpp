#include "ui/calendar_app.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QTimer>
#include <QWidget>

#include "ui/dialog_units.h"
#include "ui/main_dialog.h"

namespace lunetta {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(InterfaceLanguage, FollowsTheLocale) {
  const struct {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* language;
    InterfaceLanguage expected;
  } cases[] = {
      {nullptr, nullptr, nullptr, nullptr, InterfaceLanguage::Japanese},
      {nullptr, nullptr, "en_US.UTF-8", nullptr, InterfaceLanguage::English},
      {nullptr, nullptr, "ja_JP.UTF-8", nullptr, InterfaceLanguage::Japanese},
      // The C and POSIX locales keep the Japanese texts whatever LANGUAGE says.
      {nullptr, nullptr, "POSIX", "en", InterfaceLanguage::Japanese},
      {nullptr, "C.UTF-8", "en_US.UTF-8", nullptr, InterfaceLanguage::Japanese},
      {"C", nullptr, "en_US.UTF-8", nullptr, InterfaceLanguage::Japanese},
      // LC_ALL, then LC_MESSAGES, then LANG; an empty variable counts as unset.
      {"en_US.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", nullptr, InterfaceLanguage::English},
      {"", "en_US.UTF-8", "ja_JP.UTF-8", nullptr, InterfaceLanguage::English},
      // LANGUAGE's first entry decides over the locale's language.
      {nullptr, nullptr, "ja_JP.UTF-8", "en_GB:ja", InterfaceLanguage::English},
      {nullptr, nullptr, "en_US.UTF-8", "ja:en", InterfaceLanguage::Japanese},
  };
  for (const auto& c : cases) {
    QProcessEnvironment environment;
    for (const auto& [name, value] :
         {std::pair("LC_ALL", c.lcAll), std::pair("LC_MESSAGES", c.lcMessages),
          std::pair("LANG", c.lang), std::pair("LANGUAGE", c.language)}) {
      if (value != nullptr) {
        environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
      }
    }
    EXPECT_EQ(ChooseInterfaceLanguage(environment), c.expected) << "row " << &c - cases;
  }
}

// What the program showed: the modal windows in turn, and some texts of the main window.
struct Shown {
  int status = -1;
  QStringList windows;
  QString exitButton;
  QString exitTip;
  QString aboutEntry;  // the window's context-menu entry for the version dialog
  QString firstMonth;
  QString qtOpen;  // Qt's own word for the open button of its file dialog
};

// Starts the program and closes each modal window with Escape, so nothing is saved. Runs once per
// process: ctest starts this binary once for each locale.
Shown StartAndClose() {
  int argc = 1;
  char name[] = "lunetta";
  char* argv[] = {name, nullptr};
  CalendarApp app(argc, argv);

  Shown run;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, &app, [&run] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
      return;
    }
    run.windows << modal->metaObject()->className();
    if (qobject_cast<MainDialog*>(modal) != nullptr) {
      run.exitButton = FindControl<QAbstractButton>(modal, MainControl::Exit)->text();
      run.exitTip = FindControl(modal, MainControl::Exit)->toolTip();
      run.aboutEntry = modal->actions().value(0)->text();
      run.firstMonth = FindControl<QComboBox>(modal, MainControl::Month)->itemText(0);
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(modal, &escape);
  });
  answer.start(50);
  run.status = app.InitInstance();
  run.qtOpen = QCoreApplication::translate("QFileDialog", "&Open");
  // An icon that failed to render would be empty or one plain colour.
  const QImage icon = QApplication::windowIcon().pixmap(16).toImage();
  EXPECT_FALSE(icon.isNull());
  EXPECT_FALSE(icon.isGrayscale());
  return run;
}

TEST(CalendarApp, InJapaneseUnderTheCLocale) {
  const Shown run = StartAndClose();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.windows, (QStringList{"lunetta::TitleDialog", "lunetta::MainDialog"}));
  EXPECT_EQ(run.exitButton, u"終了"_s);
  EXPECT_EQ(run.aboutEntry, u"Lunetta のﾊﾞｰｼﾞｮﾝ情報(&A)..."_s);
  EXPECT_EQ(run.firstMonth, u"　１月"_s);
  // Qt's own dialogs speak Japanese where Qt's translations are installed.
  if (QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).exists("qtbase_ja.qm")) {
    EXPECT_EQ(run.qtOpen, u"開く(&O)"_s);
  }
}

TEST(CalendarApp, InEnglishUnderAnEnglishLocale) {
  const Shown run = StartAndClose();
  EXPECT_EQ(run.windows, (QStringList{"lunetta::TitleDialog", "lunetta::MainDialog"}));
  EXPECT_EQ(run.exitButton, u"Exit"_s);
  EXPECT_EQ(run.exitTip, u"Ends the program."_s);
  EXPECT_EQ(run.aboutEntry, u"&About Lunetta..."_s);
  EXPECT_EQ(run.firstMonth, u"Jan"_s);
  EXPECT_EQ(run.qtOpen, u"&Open"_s);
}

}  // namespace
}  // namespace lunetta
